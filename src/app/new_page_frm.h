#pragma once
// "新键画面": the number and name of a new page. Enter confirms, Escape cancels; a number
// already in use is refused by the caller's check and the dialog stays open.

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QSpinBox;
class QPushButton;

namespace dravik::app {

class TNewPageFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TNewPageFrm(QWidget* parent = nullptr);

  // Number = current page + 1 (within 1..240), name "Window" + number, focus on the name.
  void Prepare(int currentPage);
  // Runs the confirmation as the OK button does; true when the dialog closed.
  bool Confirm();

  int Number() const;
  std::string NameGbk() const;
  QSpinBox* NumberEdit() const { return number_; }
  QLineEdit* NameEdit() const { return name_; }

  // Asked on confirmation; false keeps the dialog open (the check shows its message).
  std::function<bool(int number)> acceptNumber;

 private:
  void NumberChanged(int number);

  QSpinBox* number_ = nullptr;
  QLineEdit* name_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace dravik::app
