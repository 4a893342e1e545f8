#pragma once
// What the clock macro editor does to the 100 rows, apart from showing them: the input
// panel's content and its rules, the row commands (update, insert, delete, cut, copy,
// paste), the one-row clipboard, undo and redo, the unsaved-changes flag, and loading,
// saving, importing and exporting. The window shows this and asks the user; nothing here
// asks anyone.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/mac_text.h"
#include "macro/macro_row.h"
#include "model/snapshot_ring.h"
#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::macro {

// One operand field of the input panel: its kind byte and value, kept apart from the
// text the field shows.
struct MacOperandField {
  std::uint8_t kind = 0;
  std::uint16_t value = 0;
  bool defined = false;  // a value was entered or loaded; an empty field has none
};

// The input panel: the row being built.
struct MacInputPanel {
  int code = 0;
  std::array<MacOperandField, 3> operands{};
  std::string text;  // GBK: the comment (code 34) or the string of CHR (code 14)
  bool doubleWord = false;
  bool isSigned = false;
};

// What the panel offers for its command.
struct MacPanelRules {
  std::array<bool, 3> operandEnabled{};
  bool doubleWordEnabled = false;
  bool signedEnabled = false;
};

MacPanelRules MacPanelRulesOf(int code);

// The panel loaded from a row, with the rules of the row's command applied.
MacInputPanel MacPanelFromRow(const MacroRow& row);

// Applies the command's rules: the fields of operands it does not use are cleared,
// options it does not offer unchecked, and code 33 always takes the double word.
void ApplyCommandRules(MacInputPanel& panel);

// The command chosen on the command panel. Another command than before starts with empty
// operand fields; true when it was another.
bool ChooseCommand(MacInputPanel& panel, int code);

// The text an operand field shows: empty for an empty field.
std::string MacFieldText(const MacInputPanel& panel, int operand, std::string_view RegisterName);

class MacroEditor {
 public:
  MacroEditor() = default;

  const MacroRows& Rows() const { return rows_; }
  // The selected row, 0 to 99.
  int Selected() const { return selected_; }
  void Select(int row);

  // Unsaved changes: what enables the editor's "保存(&S)".
  bool Modified() const { return modified_; }
  void DiscardChanges() { modified_ = false; }
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }

  // Rows from the project's macro database, made empty when there is none; a new
  // history with nothing to undo, nothing unsaved. On failure the rows stay as they were.
  Status Load(const std::filesystem::path& macroDatabase, bool isChinese);
  // The label check, then the rows into the database; saved, nothing is unsaved.
  Status Save(const std::filesystem::path& macroDatabase, bool isChinese);
  // The rows of a ".Mac" file: a new history, and unsaved until saved to the database. A
  // refused file changes nothing.
  Status Import(const std::filesystem::path& file, bool isChinese);
  Status Export(const std::filesystem::path& file, bool isChinese) const;

  // Writes the panel into the selected row. An operand the command uses without a value
  // empties the row and comes back as the message to show.
  std::optional<Bilingual> Update(const MacInputPanel& panel);
  // Moves the selected row and those below it one row down (the last row's content is
  // lost), then updates the selected row.
  std::optional<Bilingual> Insert(const MacInputPanel& panel);
  // Empties the selected row and closes the gap up to the last used row.
  void DeleteRow();
  void DeleteAll();
  void Cut();
  void Copy();
  void Paste();

  // False when there is no step to take.
  bool Undo();
  bool Redo();

  // The printout's rows: the text form of rows 1 to the last used row, an empty line for
  // an empty row.
  std::vector<std::string> PrintLines(std::string_view RegisterName) const;

 private:
  // The snapshot after every change.
  void EditFileBackup();
  void StartHistory();
  std::optional<Bilingual> WritePanel(const MacInputPanel& panel, MacroRow& row) const;

  MacroRows rows_{};
  int selected_ = 0;
  MacroRow clipboard_{};
  model::SnapshotRing<MacroRows> history_;
  bool modified_ = false;
};

}  // namespace dravik::macro
