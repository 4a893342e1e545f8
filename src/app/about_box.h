#pragma once
// "About Dravik ": the version and who to contact.

#include <QDialog>

class QLabel;

namespace dravik::app {

class TAboutBox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  QString VersionText() const;

 private:
  QLabel* version_ = nullptr;
};

}  // namespace dravik::app
