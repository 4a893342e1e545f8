#include "macro/macro_editor.h"

#include <algorithm>
#include <cstring>

#include "macro/mac_command.h"
#include "macro/mac_file.h"
#include "macro/macro_database.h"

namespace dravik::macro {

namespace {

constexpr int kLastRow = kMacroRowCount - 1;

bool SameRows(const MacroRows& a, const MacroRows& b) {
  return std::memcmp(a.data(), b.data(), sizeof(MacroRows)) == 0;
}

void EmptyRow(MacroRow& row) {
  row.OPt = 0;
  row.BIT = 0;
}

// The row's operand fields in order, as (kind, value) pairs.
struct OperandRefs {
  std::uint8_t* kind;
  model::U16le* value;
};

std::array<OperandRefs, 3> OperandsOf(MacroRow& row) {
  return {{{&row.A1t, &row.A1v}, {&row.A2t, &row.A2v}, {&row.A3t, &row.A3v}}};
}

Bilingual UndefinedOperand(int operand) {
  return Both("A" + std::to_string(operand + 1) + " 未定义 ！");
}

}  // namespace

MacPanelRules MacPanelRulesOf(int code) {
  MacPanelRules rules;
  const MacCommand* command = FindMacCommand(code);
  if (command == nullptr) return rules;
  for (int i = 0; i < 3; ++i) rules.operandEnabled[i] = command->UsesOperand(i);
  // The text of CHR is entered through A2, the comment through A1.
  if (command->text == MacTextUse::ChrText) rules.operandEnabled[1] = true;
  if (command->text == MacTextUse::Comment) rules.operandEnabled[0] = true;
  rules.doubleWordEnabled = command->offersDoubleWord;
  rules.signedEnabled = command->offersSigned;
  return rules;
}

void ApplyCommandRules(MacInputPanel& panel) {
  const MacPanelRules rules = MacPanelRulesOf(panel.code);
  for (int i = 0; i < 3; ++i) {
    if (!rules.operandEnabled[i]) panel.operands[i] = {};
  }
  const MacCommand* command = FindMacCommand(panel.code);
  if (command == nullptr || command->text == MacTextUse::None) panel.text.clear();
  if (!rules.doubleWordEnabled) panel.doubleWord = false;
  if (!rules.signedEnabled) panel.isSigned = false;
  if (command != nullptr && command->doubleWordAlways) panel.doubleWord = true;
}

MacInputPanel MacPanelFromRow(const MacroRow& row) {
  MacInputPanel panel;
  panel.code = row.OPt;
  const MacCommand* command = FindMacCommand(row.OPt);
  if (command != nullptr) {
    MacroRow copy = row;
    const auto fields = OperandsOf(copy);
    for (int i = 0; i < 3; ++i) {
      if (!command->UsesOperand(i)) continue;
      panel.operands[i] = {*fields[i].kind, *fields[i].value, true};
    }
    if (command->text != MacTextUse::None) panel.text = row.Comment.Str();
  }
  panel.doubleWord = (row.BIT & kMacDoubleWord) != 0;
  panel.isSigned = (row.BIT & kMacSigned) != 0;
  ApplyCommandRules(panel);
  return panel;
}

bool ChooseCommand(MacInputPanel& panel, int code) {
  const bool changed = panel.code != code;
  panel.code = code;
  if (changed) {
    panel.operands = {};
    panel.text.clear();
  }
  ApplyCommandRules(panel);
  return changed;
}

std::string MacFieldText(const MacInputPanel& panel, int operand, std::string_view RegisterName) {
  const MacCommand* command = FindMacCommand(panel.code);
  if (command != nullptr) {
    if (command->text == MacTextUse::Comment && operand == 0) return panel.text;
    if (command->text == MacTextUse::ChrText && operand == 1) return panel.text;
  }
  const MacOperandField& field = panel.operands[operand];
  if (!field.defined) return {};
  const std::uint8_t BIT = panel.isSigned ? kMacSigned : 0;
  return MacReStr(field.kind, field.value, BIT, RegisterName);
}

void MacroEditor::Select(int row) {
  selected_ = std::clamp(row, 0, kLastRow);
}

Status MacroEditor::Load(const std::filesystem::path& macroDatabase, bool isChinese) {
  if (Status loaded = ADOLoadFile(macroDatabase, rows_, isChinese); !loaded) return loaded;
  StartHistory();
  modified_ = false;
  return Status::Ok();
}

Status MacroEditor::Save(const std::filesystem::path& macroDatabase, bool isChinese) {
  if (Status saved = ADOSaveFile(macroDatabase, rows_, isChinese); !saved) return saved;
  modified_ = false;
  return Status::Ok();
}

Status MacroEditor::Import(const std::filesystem::path& file, bool isChinese) {
  if (Status imported = ImportMacRows(file, rows_, isChinese); !imported) return imported;
  StartHistory();
  modified_ = true;
  return Status::Ok();
}

Status MacroEditor::Export(const std::filesystem::path& file, bool isChinese) const {
  return WriteMacFile(file, rows_, isChinese);
}

std::optional<Bilingual> MacroEditor::WritePanel(const MacInputPanel& panel, MacroRow& row) const {
  row.OPt = static_cast<std::uint8_t>(panel.code);
  const MacCommand* command = FindMacCommand(panel.code);
  if (command == nullptr) return std::nullopt;
  const MacPanelRules rules = MacPanelRulesOf(panel.code);
  const auto fields = OperandsOf(row);
  for (int i = 0; i < 3; ++i) {
    if (!rules.operandEnabled[i] || !command->UsesOperand(i)) continue;
    if (!panel.operands[i].defined) {
      row.OPt = 0;
      return UndefinedOperand(i);
    }
    *fields[i].kind = panel.operands[i].kind;
    *fields[i].value = panel.operands[i].value;
  }
  if (command->text != MacTextUse::None) {
    row.Comment.Assign(panel.text);
  } else {
    row.BIT = static_cast<std::uint8_t>((panel.doubleWord ? kMacDoubleWord : 0) |
                                        (panel.isSigned ? kMacSigned : 0));
  }
  return std::nullopt;
}

std::optional<Bilingual> MacroEditor::Update(const MacInputPanel& panel) {
  const MacroRows before = rows_;
  std::optional<Bilingual> refused = WritePanel(panel, rows_[selected_]);
  // A refused update has emptied the row: that is a change like any other, so it can be
  // undone.
  if (!refused || !SameRows(before, rows_)) EditFileBackup();
  return refused;
}

std::optional<Bilingual> MacroEditor::Insert(const MacInputPanel& panel) {
  std::copy_backward(rows_.begin() + selected_, rows_.end() - 1, rows_.end());
  return Update(panel);
}

void MacroEditor::DeleteRow() {
  const int last = LastUsedRow(rows_);
  EmptyRow(rows_[selected_]);
  if (selected_ < last) {
    std::copy(rows_.begin() + selected_ + 1, rows_.begin() + last, rows_.begin() + selected_);
    EmptyRow(rows_[last - 1]);
  }
  EditFileBackup();
}

void MacroEditor::DeleteAll() {
  for (MacroRow& row : rows_) EmptyRow(row);
  EditFileBackup();
}

void MacroEditor::Cut() {
  Copy();
  EmptyRow(rows_[selected_]);
  EditFileBackup();
}

void MacroEditor::Copy() {
  clipboard_ = rows_[selected_];
}

void MacroEditor::Paste() {
  rows_[selected_] = clipboard_;
  EditFileBackup();
}

bool MacroEditor::Undo() {
  if (!history_.Undo(rows_)) return false;
  modified_ = true;
  return true;
}

bool MacroEditor::Redo() {
  if (!history_.Redo(rows_)) return false;
  modified_ = true;
  return true;
}

std::vector<std::string> MacroEditor::PrintLines(std::string_view RegisterName) const {
  std::vector<std::string> lines;
  const int last = LastUsedRow(rows_);
  for (int i = 0; i < last; ++i) lines.push_back(MacCodeToStr(rows_[i], RegisterName).text);
  return lines;
}

void MacroEditor::EditFileBackup() {
  history_.Push(rows_);
  modified_ = true;
}

void MacroEditor::StartHistory() {
  history_.Start(rows_);
}

}  // namespace dravik::macro
