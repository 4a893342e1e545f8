#pragma once
// "画面属性": the number, background, name, key jumps, register offset of the current page
// and the page shown after a correct password. Key jumps are written the moment they are
// chosen (and stay when the dialog is cancelled); the other fields on confirmation.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/bilingual.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QGroupBox;
class QWidget;

namespace dravik::model {
class ProjectImage;
}

namespace dravik::app {

class TPageAttributeFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TPageAttributeFrm(QWidget* parent = nullptr);

  // The jump-target list as the page list last built it.
  void SetJumpTargets(const std::vector<std::string>& texts);
  // Loads page `current` of `image` into the controls (before showing).
  void Load(model::ProjectImage& image, int current, bool isChinese);
  // The OK button: writes the fields; true when the dialog closed. `NewCurrentPage`
  // then tells the page that is current now.
  bool Confirm();
  int NewCurrentPage() const { return newCurrentPage_; }

  // Row selection and the jump controls, as a click does them.
  void SelectKeyRow(int row);
  void ChooseJumpTarget(int target);

  QSpinBox* NumberEdit() const { return number_; }
  QLineEdit* NameEdit() const { return name_; }
  QSpinBox* OffsetEdit() const { return offset_; }
  QSpinBox* JumpEdit() const { return jumpSpin_; }
  QSpinBox* PasswordPageEdit() const { return passwordPage_; }
  QListWidget* JumpList() const { return jumpList_; }
  QTableWidget* KeyGrid() const { return keyGrid_; }
  QWidget* OffsetRow() const { return offsetRow_; }
  QWidget* PasswordRow() const { return passwordRow_; }
  std::int32_t BackColor() const { return backColor_; }
  void SetBackColor(std::int32_t colour);

  // Supplied by the main window.
  std::function<void(const Bilingual& message)> warn;
  std::function<void()> modified;  // enables Save
  std::function<std::optional<std::uint32_t>(std::uint32_t current, QWidget* anchor)> chooseColour;

 private:
  void ShowRowTarget(int row);
  void WriteJump(int target);
  // Puts `target` into the spin and `listRow` into the list, scrolled into sight, with the
  // password row that page 250 needs.
  void ShowJumpTarget(int target, int listRow);
  void UpdateJumpCaption();

  model::ProjectImage* image_ = nullptr;
  int current_ = 0;
  int loadedNumber_ = 0;
  int newCurrentPage_ = 0;
  bool isChinese_ = true;
  std::int32_t backColor_ = 0xFFFFFF;

  QSpinBox* number_ = nullptr;
  QPushButton* colourPanel_ = nullptr;
  QLineEdit* name_ = nullptr;
  QGroupBox* keyGroup_ = nullptr;
  QTableWidget* keyGrid_ = nullptr;
  QLabel* jumpLabel_ = nullptr;
  QListWidget* jumpList_ = nullptr;
  QSpinBox* jumpSpin_ = nullptr;
  QWidget* offsetRow_ = nullptr;
  QSpinBox* offset_ = nullptr;
  QWidget* passwordRow_ = nullptr;
  QSpinBox* passwordPage_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace dravik::app
