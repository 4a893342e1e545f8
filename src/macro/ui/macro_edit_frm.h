#pragma once
// The clock macro editor "Clock 宏 (100ms)": a grid of the 100 rows in their text forms,
// four floating panels to build a row (input, command, operand, comment), a context menu
// with editing, undo, file and print commands. It edits the rows in memory; the project's
// macro database gets them on Save. Made once for the whole run, shown and hidden.

#include <QPrinter>
#include <QWidget>
#include <array>
#include <filesystem>

#include "macro/mac_operand.h"
#include "macro/macro_editor.h"
#include "ui/desktop_hooks.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace dravik::macro {

class MacFloatingPanel;

class TMacroEditFrm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 666;
  static constexpr int kHeight = 665;
  static constexpr int kTop = 30;

  explicit TMacroEditFrm(QWidget* parent = nullptr);

  void SetHooks(ui::DesktopHooks hooks) { hooks_ = std::move(hooks); }

  // Shows the macro of `projectFile` with register operands in `area`. A project that was
  // never saved (an empty `projectFile`) has no macro yet: the user is told, and false asks
  // the caller to save it.
  // A window already showing is brought forward as it is, unsaved rows and all; a macro
  // database that cannot be read is reported and the window stays hidden.
  bool ShowFor(const std::filesystem::path& projectFile, const MacRegisterArea& area);
  // The rows from the database again, as showing does; false (and the reason shown) when
  // they cannot be read.
  bool FormShow();

  // Asks about unsaved changes; false when the window must stay open.
  bool CloseQuery();

  const MacroEditor& Editor() const { return editor_; }
  const MacInputPanel& Panel() const { return panel_; }
  std::filesystem::path MacroDatabase() const { return macroDatabase_; }
  QPrinter& Printer() { return printer_; }

  // The commands, for the menu, the panels and the tests.
  void SelectRow(int row);
  void UpdateClick();
  void InsertClick();
  void DeleteClick();  // the panel's button, which asks first
  void DeleteRowClick();
  void DeleteAllClick();
  void CutClick();
  void CopyClick();
  void PasteClick();
  void UndoClick();
  void RedoClick();
  bool SaveClick();
  void OpenMacFileClick();
  void SaveMacFileClick();
  void PrintClick();
  void PreviousClick();
  void NextClick();
  // The command panel with the input panel's command chosen; confirming makes `code`
  // the input panel's command.
  void OpButtonClick();
  void ConfirmCommand(int code);
  // The operand (or, for a text, the comment) panel for operand 0..2.
  void OperandButtonClick(int operand);
  // Enters `text` as the open operand panel's value; false (and the message shown) when
  // refused.
  bool ConfirmOperand(bool isRegister, const QString& text);
  void ConfirmText(const QString& text);

  // The printout's text: the heading, the underscores, an empty line, then the rows.
  QStringList PrintText() const;

  QTableWidget* Grid() const { return grid_; }
  QMenu* ContextMenu() const { return menu_; }
  QAction* MenuCommand(const char* objectName) const;
  MacFloatingPanel* InputPanel() const { return inputPanel_; }
  MacFloatingPanel* CommandPanel() const { return commandPanel_; }
  MacFloatingPanel* OperandPanel() const { return operandPanel_; }
  MacFloatingPanel* CommentPanel() const { return commentPanel_; }
  QLineEdit* ExpressionLine() const { return expression_; }
  QLineEdit* OperandField(int operand) const { return operandFields_[operand]; }
  QPushButton* OperandButton(int operand) const { return operandButtons_[operand]; }
  QCheckBox* DoubleWordCheck() const { return doubleWord_; }
  QCheckBox* SignedCheck() const { return signed_; }
  QLabel* RangeHint() const { return rangeHint_; }
  QRadioButton* RegisterKind() const { return registerKind_; }
  QRadioButton* ConstantKind() const { return constantKind_; }
  QLineEdit* OperandEntry() const { return operandEntry_; }
  QLineEdit* CommentEntry() const { return commentEntry_; }
  QPushButton* PanelButton(const char* objectName) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateGrid();
  void CreateMenu();
  void CreateInputPanel();
  void CreateCommandPanel();
  void CreateOperandPanel();
  void CreateCommentPanel();

  bool Chinese() const { return hooks_.Chinese(); }
  void Warn(const Bilingual& message);
  void ShowFailure(const Status& status, QMessageBox::Icon icon = QMessageBox::Warning);
  QString RegisterName() const;

  // The grid and everything that follows the rows (menu enabling, the input panel).
  void RefreshRows();
  // ... and the input panel loaded from the selected row again.
  void RefreshRowsAndPanel();
  void RefreshCommands();
  // Loads the selected row into the input panel (InputFrmShowEQU).
  void InputFrmShowEQU();
  // Shows the panel's command and its rules (CommandsChange).
  void CommandsChange();
  void ShowPanelFields();
  void ShowOperandHint();
  // A modal panel opens or closes: the input panel and the grid wait for it.
  void OpenModalPanel(MacFloatingPanel* panel, QWidget* focus);
  void CloseModalPanel(MacFloatingPanel* panel);

  ui::DesktopHooks hooks_;
  MacroEditor editor_;
  MacInputPanel panel_;
  MacRegisterArea area_;
  std::filesystem::path macroDatabase_;
  int operandOpen_ = -1;  // the operand the operand panel is entering
  QPrinter printer_;

  QTableWidget* grid_ = nullptr;
  QMenu* menu_ = nullptr;
  MacFloatingPanel* inputPanel_ = nullptr;
  MacFloatingPanel* commandPanel_ = nullptr;
  MacFloatingPanel* operandPanel_ = nullptr;
  MacFloatingPanel* commentPanel_ = nullptr;

  QLineEdit* expression_ = nullptr;
  QLabel* commandName_ = nullptr;
  std::array<QPushButton*, 3> operandButtons_{};
  std::array<QLineEdit*, 3> operandFields_{};
  QCheckBox* doubleWord_ = nullptr;
  QCheckBox* signed_ = nullptr;

  QButtonGroup* commands_ = nullptr;
  QLabel* rangeHint_ = nullptr;
  QRadioButton* constantKind_ = nullptr;
  QRadioButton* registerKind_ = nullptr;
  QLineEdit* operandEntry_ = nullptr;
  QLineEdit* commentEntry_ = nullptr;
};

}  // namespace dravik::macro
