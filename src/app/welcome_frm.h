#pragma once
// The welcome form shown at start when nothing else was asked: new project, the last
// project, open a project, open an example. Each button describes itself while the mouse
// is over it; a click closes the form after telling the main window what to do.

#include <QDialog>
#include <QIcon>
#include <string>

class QLabel;
class QToolButton;

namespace dravik::app {

class TWelcomeFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TWelcomeFrm(QWidget* parent = nullptr);

  // Before showing: the language of the descriptions and the recent-file caption.
  void Prepare(bool isChinese, const std::string& recentCaption);

  QString Message() const;
  QToolButton* NewButton() const { return newButton_; }
  QToolButton* LastButton() const { return lastButton_; }
  QToolButton* OpenButton() const { return openButton_; }
  QToolButton* ExamplesButton() const { return examplesButton_; }

  // The description the form shows while the mouse is over `button` (nullptr: the form).
  void Describe(QToolButton* button);

 signals:
  void NewRequested();
  void LastFileRequested();
  void OpenRequested();
  void ExamplesRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QToolButton* AddButton(const char* name, const QString& caption, const QIcon& icon);

  bool isChinese_ = true;
  std::string recentPath_;
  QLabel* message_ = nullptr;
  QLabel* mail_ = nullptr;
  QLabel* web_ = nullptr;
  QToolButton* newButton_ = nullptr;
  QToolButton* lastButton_ = nullptr;
  QToolButton* openButton_ = nullptr;
  QToolButton* examplesButton_ = nullptr;
};

// The contact texts of the about box and the welcome form.
extern const char kMakerText[];
extern const char kMailText[];
extern const char kWebText[];

}  // namespace dravik::app
