#pragma once
// The help window: the HTML user guide shown inside Dravik, so help works on any machine,
// with or without a web browser. Contents, back and forward, and a search in the page.

#include <QWidget>
#include <filesystem>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolBar;

namespace dravik::app {

class THelpFrm : public QWidget {
  Q_OBJECT

 public:
  explicit THelpFrm(QWidget* parent = nullptr);

  // Shows `page` (an HTML file of the help folder) and brings the window to the front.
  void ShowPage(const std::filesystem::path& page, bool chinese);
  // Searches the page for `text` from the cursor on, wrapping once at the end; false when
  // the page does not hold it.
  bool FindInPage(const QString& text, bool backwards = false);

  QTextBrowser* Browser() const { return browser_; }
  QLineEdit* FindField() const { return findField_; }
  QAction* BackAction() const { return back_; }
  QAction* ForwardAction() const { return forward_; }
  QAction* ContentsAction() const { return contents_; }

 private:
  void SetLanguage(bool chinese);
  void FindNext(bool backwards);

  QToolBar* bar_ = nullptr;
  QTextBrowser* browser_ = nullptr;
  QAction* contents_ = nullptr;
  QAction* back_ = nullptr;
  QAction* forward_ = nullptr;
  QLabel* findLabel_ = nullptr;
  QLineEdit* findField_ = nullptr;
  QLabel* findResult_ = nullptr;
  std::filesystem::path contentsPage_;
  bool chinese_ = true;
};

}  // namespace dravik::app
