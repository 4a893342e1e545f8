#pragma once
// "粘贴画面": the page number the copied page is pasted as. Enter confirms, Escape
// cancels; a number in use is refused by the caller's check and the dialog stays open.

#include <QDialog>
#include <functional>

class QSpinBox;
class QPushButton;

namespace dravik::app {

class TPastePageFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TPastePageFrm(QWidget* parent = nullptr);

  void Prepare(int currentPage);  // preset to the current page + 1
  bool Confirm();
  int Number() const;
  QSpinBox* NumberEdit() const { return number_; }

  std::function<bool(int number)> acceptNumber;

 private:
  QSpinBox* number_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace dravik::app
