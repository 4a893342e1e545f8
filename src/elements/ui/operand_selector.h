#pragma once
// The register an element refers to, as the element dialogs offer it: the hidden link
// list that carries the stored link through the dialog, the register kinds of that link,
// the register number limited to the kind's maximum (written in the kind's way), the bit
// number for kinds with bits inside a register, and "?" for the PLC device help. Every
// change of kind relabels the register field and limits the numbers again.
//
// When the work parameters' lists say nothing about the link's kinds, the stored kind is
// shown as "unknown (N)" and kind, number and bit are given back as they were.

#include <QWidget>
#include <vector>

#include "elements/operand_choice.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSpinBox;

namespace dravik::elements {

class RegisterNumberSpin;

struct OperandSelectorOptions {
  AddressCategory category = AddressCategory::kWord;
  KindCaption registerCaption = kRegisterCaption;
  const char* kindComboName = "ComboBox3";
  const char* registerName = "SpinEdit3";  // nullptr: the dialog keeps register fields of its own
  const char* bitName = "SpinEdit14";      // bit kinds only
  bool withLink = true;                    // false: always Link 1 (the register)
};

class OperandSelector : public QWidget {
  Q_OBJECT

 public:
  OperandSelector(QWidget* parent, const OperandSelectorOptions& options);

  // Shows the stored operand; `lists` may be null (nothing known).
  void Load(const params::DeviceLists* lists, int link, int kind, int number, int bit,
            bool chinese);

  // Shows kind `kind` as chosen, as if the user had picked it; with nothing known about
  // the link the stored kind stays.
  void ChooseKind(int kind);
  // While held, the kind list shows its choice but cannot be opened: a rule of the dialog
  // decides the kind.
  void HoldKind(bool held);

  int Link() const;
  int Kind() const { return view_.kind; }
  int Number() const;
  int Bit() const;
  const OperandView& View() const { return view_; }

  // The grid the selector's rows stand in; a dialog may add rows of its own below them.
  QGridLayout* Grid() const { return grid_; }
  QComboBox* LinkCombo() const { return link_; }  // ComboBox9, hidden; null without a link
  QComboBox* KindCombo() const { return kind_; }
  QLabel* RegisterLabel() const { return registerLabel_; }  // null without a register number
  RegisterNumberSpin* NumberSpin() const { return number_; }
  QSpinBox* BitSpin() const { return bit_; }  // bit kinds only
  QLabel* DotLabel() const { return dot_; }
  QPushButton* HelpButton() const { return help_; }  // BitBtn2

 signals:
  // The kind changed (also while loading): captions and limits that follow it may update.
  void kindChanged();
  void helpRequested(int link);

 private:
  void AddNumberRow();
  // The rule run on every change of link or kind.
  void ShowKind(int kind);

  OperandSelectorOptions options_;  // before the widgets: they are made from it
  const params::DeviceLists* lists_ = nullptr;
  bool chinese_ = true;
  bool kindHeld_ = false;
  int storedLink_ = 0;
  OperandView view_;
  QGridLayout* grid_ = nullptr;
  QComboBox* link_ = nullptr;
  QComboBox* kind_ = nullptr;
  QLabel* registerLabel_ = nullptr;
  RegisterNumberSpin* number_ = nullptr;
  QLabel* dot_ = nullptr;
  QSpinBox* bit_ = nullptr;
  QPushButton* help_ = nullptr;
};

}  // namespace dravik::elements
