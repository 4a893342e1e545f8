// The clock macro editor on real widgets: rows entered through the panels, the row
// commands, undo and redo, saving with the label check, ".Mac" files and closing.

#include "macro/ui/macro_edit_frm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <deque>
#include <string>
#include <vector>

#include "macro/mac_file.h"
#include "macro/macro_database.h"
#include "macro/macro_rows.h"
#include "macro/ui/mac_floating_panel.h"
#include "support/qt_app.h"
#include "support/temp_dir.h"

namespace dravik::macro {
namespace {

namespace fs = std::filesystem;
using fixture::Comment;
using fixture::K;
using fixture::R;
using fixture::Row;

constexpr std::uint8_t kDW = kMacDoubleWord;
constexpr std::uint8_t kSigned = kMacSigned;

// The editor of a saved project in a fresh folder, with hooks that record what a user
// would have been shown and answer questions and file dialogs from queues.
class MacroEditFrm : public test::QtTest {
 protected:
  MacroEditFrm() {
    test::WriteText(project, "");
    ui::DesktopHooks hooks;
    hooks.message = [this](const QString&, const QString& text, QMessageBox::Icon) {
      messages.push_back(text.toStdString());
    };
    hooks.question = [this](const QString&, const QString& text, QMessageBox::StandardButtons) {
      questions.push_back(text.toStdString());
      const QMessageBox::StandardButton answer =
          answers.empty() ? QMessageBox::Yes : answers.front();
      if (!answers.empty()) answers.pop_front();
      return answer;
    };
    hooks.openFile = [this](const QString&, const QString&, const QString&) {
      return Next(openPaths);
    };
    hooks.saveFile = [this](const QString&, const QString&, const QString&) {
      return Next(savePaths);
    };
    hooks.execDialog = [](QDialog*) { return static_cast<int>(QDialog::Rejected); };
    frm.SetHooks(hooks);
  }

  ~MacroEditFrm() override {
    frm.OperandPanel()->hide();
    frm.CommandPanel()->hide();
    answers = {QMessageBox::No};
    frm.close();
  }

  static QString Next(std::deque<std::string>& paths) {
    if (paths.empty()) return {};
    const std::string path = paths.front();
    paths.pop_front();
    return QString::fromStdString(path);
  }

  void Open(const MacRegisterArea& area = {"D", 4095}) { ASSERT_TRUE(frm.ShowFor(project, area)); }

  void Store(const std::vector<MacroRow>& rows) {
    ASSERT_TRUE(ADOSaveFile(MacroDatabasePath(project), rows, true).ok());
  }

  MacroRows Stored() {
    MacroRows rows{};
    EXPECT_TRUE(ADOLoadFile(MacroDatabasePath(project), rows, true).ok());
    return rows;
  }

  const MacroRow& RowAt(int number) const { return frm.Editor().Rows()[number - 1]; }
  QString GridText(int number) const { return frm.Grid()->item(number - 1, 0)->text(); }
  bool Enabled(const char* action) const { return frm.MenuCommand(action)->isEnabled(); }

  // What a user does on the panels.
  void Choose(int code) {
    frm.PanelButton("MacOpButton")->click();
    ASSERT_TRUE(frm.CommandPanel()->isVisible());
    frm.findChild<QRadioButton*>(QStringLiteral("MacCommand%1").arg(code))->click();
    frm.PanelButton("MacCommandOkButton")->click();
  }
  void Enter(int operand, bool isRegister, const char* text) {
    frm.OperandButton(operand)->click();
    ASSERT_TRUE(frm.OperandPanel()->isVisible());
    (isRegister ? frm.RegisterKind() : frm.ConstantKind())->click();
    frm.OperandEntry()->setText(QString::fromUtf8(text));
    QTest::keyClick(frm.OperandEntry(), Qt::Key_Return);
  }
  void EnterText(int operand, const char* text) {
    frm.OperandButton(operand)->click();
    ASSERT_TRUE(frm.CommentPanel()->isVisible());
    frm.CommentEntry()->setText(QString::fromUtf8(text));
    frm.PanelButton("MacCommentOkButton")->click();
  }
  // Row `number` becomes `ADD D<value> = D1 + 1`.
  void WriteAdd(int number, int value) {
    frm.SelectRow(number - 1);
    Choose(1);
    Enter(0, true, std::to_string(value).c_str());
    Enter(1, true, "1");
    Enter(2, false, "1");
    frm.PanelButton("MacUpdateButton")->click();
  }

  test::TempDir dir;
  fs::path project = dir / "p.QX3";
  TMacroEditFrm frm;
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<std::string> openPaths;
  std::deque<std::string> savePaths;
};

void ExpectSameRow(const MacroRow& actual, const MacroRow& expected) {
  const MacroRowBytes a = ToBytes(actual);
  const MacroRowBytes e = ToBytes(expected);
  EXPECT_EQ(std::vector<std::uint8_t>(a.begin(), a.end()),
            std::vector<std::uint8_t>(e.begin(), e.end()));
}

// ---------------------------------------------------------------------------------------
// Entering rows through the panels

struct PanelCase {
  const char* name;
  int code;
  // Operands as the user enters them: 'R' register, 'K' constant, 'T' text; '-' none.
  const char* kinds;
  std::vector<const char*> values;
  bool doubleWord;
  bool isSigned;
  MacroRow expected;
  const char* text;  // the grid's text form
};

class PanelEntry : public MacroEditFrm, public testing::WithParamInterface<PanelCase> {};

TEST_P(PanelEntry, GivesTheRowBytes) {
  const PanelCase& c = GetParam();
  Open();
  frm.SelectRow(1);
  Choose(c.code);
  for (int i = 0; i < 3 && c.kinds[i] != '\0'; ++i) {
    if (c.kinds[i] == 'T')
      EnterText(i, c.values[i]);
    else if (c.kinds[i] != '-')
      Enter(i, c.kinds[i] == 'R', c.values[i]);
  }
  if (c.doubleWord && frm.DoubleWordCheck()->isEnabled()) frm.DoubleWordCheck()->setChecked(true);
  if (c.isSigned) frm.SignedCheck()->setChecked(true);
  frm.PanelButton("MacUpdateButton")->click();
  EXPECT_TRUE(messages.empty()) << messages.front();
  ExpectSameRow(RowAt(2), c.expected);
  EXPECT_EQ(GridText(2).toStdString(), c.text);
  EXPECT_TRUE(Enabled("MacSave"));
}

INSTANTIATE_TEST_SUITE_P(
    Panels, PanelEntry,
    testing::Values(
        PanelCase{"Arithmetic",
                  1,
                  "RRK",
                  {"10", "11", "5"},
                  true,
                  true,
                  Row(1, R(10), R(11), K(5), kDW | kSigned),
                  "D10 = D11 + 5 ( Signed DW )"},
        PanelCase{"SignedConstant",
                  2,
                  "RKK",
                  {"3", "-1", "2"},
                  false,
                  true,
                  Row(2, R(3), K(0xFFFF), K(2), kSigned),
                  "D3 = -1 - 2 ( Signed )"},
        PanelCase{"Logic",
                  6,
                  "RRR",
                  {"1", "2", "3"},
                  true,
                  false,
                  Row(6, R(1), R(2), R(3), kDW),
                  "D1 = D2 | D3 ( DW )"},
        PanelCase{
            "Move", 11, "RK", {"7", "65535"}, false, false, Row(11, R(7), K(65535)), "D7 = 65535"},
        PanelCase{"Compare",
                  18,
                  "RKK",
                  {"4", "-5", "3"},
                  false,
                  true,
                  Row(18, R(4), K(0xFFFB), K(3), kSigned),
                  "IF  D4 >= -5 THEN  GOTO  LABEL 3 ( Signed )"},
        PanelCase{"Goto", 25, "K", {"9"}, false, false, Row(25, K(9)), "GOTO  LABEL  9"},
        PanelCase{"Label", 26, "K", {"9"}, false, false, Row(26, K(9)), "LABEL  9"},
        PanelCase{"End", 29, "", {}, false, false, Row(29), "END"},
        PanelCase{"Comment",
                  34,
                  "T",
                  {"温度 ok"},
                  false,
                  false,
                  Comment("\xCE\xC2\xB6\xC8 ok"),
                  "#温度 ok"}),
    [](const testing::TestParamInfo<PanelCase>& info) { return std::string(info.param.name); });

TEST_F(MacroEditFrm, PanelsFollowTheCommandAndWaitForEachOther) {
  Open();
  frm.SelectRow(0);
  EXPECT_TRUE(frm.InputPanel()->isVisible());
  EXPECT_EQ(frm.InputPanel()->TitleLabel()->text(), "Clock 宏 (100ms) - L#1");
  EXPECT_FALSE(frm.PanelButton("MacUpdateButton")->isEnabled());  // no command yet

  Choose(25);  // GOTO: one constant, no options
  EXPECT_EQ(frm.ExpressionLine()->text(), "GOTO LABEL A1");
  EXPECT_TRUE(frm.OperandButton(0)->isEnabled());
  EXPECT_FALSE(frm.OperandButton(1)->isEnabled());
  EXPECT_FALSE(frm.DoubleWordCheck()->isEnabled());
  EXPECT_TRUE(frm.PanelButton("MacInsertButton")->isEnabled());
  EXPECT_FALSE(frm.PanelButton("MacDeleteButton")->isEnabled());  // the row is empty

  frm.OperandButton(0)->click();
  EXPECT_FALSE(frm.Grid()->isEnabled());
  EXPECT_FALSE(frm.InputPanel()->isEnabled());
  EXPECT_FALSE(frm.RegisterKind()->isEnabled());
  EXPECT_TRUE(frm.ConstantKind()->isChecked());
  EXPECT_EQ(frm.RangeHint()->text(), "( K: 0~65535 )");
  QTest::keyClick(frm.OperandEntry(), Qt::Key_Escape);
  EXPECT_FALSE(frm.OperandPanel()->isVisible());
  EXPECT_TRUE(frm.Grid()->isEnabled());

  Choose(1);  // another command starts with empty operands
  EXPECT_EQ(frm.OperandField(0)->text(), "");
  frm.OperandButton(0)->click();  // A1 of ADD is a register only
  EXPECT_FALSE(frm.ConstantKind()->isEnabled());
  EXPECT_TRUE(frm.RegisterKind()->isChecked());
  EXPECT_EQ(frm.RegisterKind()->text(), "D  (寄存器)");
  EXPECT_EQ(frm.RangeHint()->text(), "( D: 0~4095 )");
}

TEST_F(MacroEditFrm, RefusesOperandsOutOfRange) {
  Open({"D", 100});
  frm.SelectRow(0);
  Choose(1);
  Enter(0, true, "200");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "D 记忆体范围: 0 ~ 100 ！");
  EXPECT_TRUE(frm.OperandPanel()->isVisible());  // the entry keeps the focus
  frm.OperandEntry()->setText("100");
  frm.PanelButton("MacOperandOkButton")->click();
  EXPECT_FALSE(frm.OperandPanel()->isVisible());
  EXPECT_EQ(frm.OperandField(0)->text(), "D100");

  Enter(2, false, "-");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], "不是有效的常数 ！");
}

TEST_F(MacroEditFrm, AnUnknownProtocolKeepsStoredOperandsAsTheyAre) {
  Store({Row(1, R(5000), R(6000), K(7))});
  Open({"D", 0});  // empty register lists: no range at all
  frm.SelectRow(0);
  frm.PanelButton("MacUpdateButton")->click();
  ExpectSameRow(RowAt(1), Row(1, R(5000), R(6000), K(7)));
  EXPECT_TRUE(messages.empty());
}

TEST_F(MacroEditFrm, AnUndefinedOperandEmptiesTheRowAndThatCanBeUndone) {
  Store({Row(29)});
  Open();
  frm.SelectRow(0);
  Choose(1);
  Enter(0, true, "5");
  Enter(1, true, "6");
  frm.PanelButton("MacUpdateButton")->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "A3 未定义 ！");
  EXPECT_TRUE(RowAt(1).Empty());
  // The panel keeps what was entered, so A3 can still be given.
  EXPECT_EQ(frm.OperandField(0)->text(), "D5");
  ASSERT_TRUE(Enabled("MacUndo"));
  frm.MenuCommand("MacUndo")->trigger();
  EXPECT_EQ(RowAt(1).OPt, 29);
}

// ---------------------------------------------------------------------------------------
// Row commands

TEST_F(MacroEditFrm, InsertPushesRowsDownAndDropsTheLastOne) {
  std::vector<MacroRow> rows(kMacroRowCount, Row(26, K(1)));
  for (int i = 0; i < kMacroRowCount; ++i)
    rows[i] = Row(11, R(static_cast<std::uint16_t>(i + 1)), K(0));
  Store(rows);
  Open();
  frm.SelectRow(2);
  Choose(29);
  frm.PanelButton("MacInsertButton")->click();
  EXPECT_EQ(RowAt(3).OPt, 29);
  EXPECT_EQ(RowAt(4).A1v, 3);
  EXPECT_EQ(RowAt(100).A1v, 99);  // row 100's instruction is gone
}

TEST_F(MacroEditFrm, DeleteClosesTheGapAfterAsking) {
  Store({Row(11, R(1), K(0)), Row(11, R(2), K(0)), Row(11, R(3), K(0))});
  Open();
  frm.SelectRow(0);
  answers = {QMessageBox::No};
  frm.PanelButton("MacDeleteButton")->click();
  EXPECT_EQ(questions.back(), "确定要删除目前指令吗 ？");
  EXPECT_EQ(RowAt(1).A1v, 1);

  frm.PanelButton("MacDeleteButton")->click();  // Yes
  EXPECT_EQ(RowAt(1).A1v, 2);
  EXPECT_EQ(RowAt(2).A1v, 3);
  EXPECT_TRUE(RowAt(3).Empty());
  EXPECT_EQ(LastUsedRow(frm.Editor().Rows()), 2);

  frm.MenuCommand("MacDeleteAll")->trigger();
  EXPECT_EQ(LastUsedRow(frm.Editor().Rows()), 0);
}

TEST_F(MacroEditFrm, PreviousAndNextStayWithinTheRows) {
  Open();
  frm.SelectRow(0);
  frm.PanelButton("MacPreviousButton")->click();
  EXPECT_EQ(frm.Editor().Selected(), 0);
  frm.PanelButton("MacNextButton")->click();
  EXPECT_EQ(frm.Editor().Selected(), 1);
  EXPECT_EQ(frm.InputPanel()->TitleLabel()->text(), "Clock 宏 (100ms) - L#2");
  frm.SelectRow(99);
  frm.PanelButton("MacNextButton")->click();
  EXPECT_EQ(frm.Editor().Selected(), 99);
}

TEST_F(MacroEditFrm, CutCopyAndPasteOneRow) {
  Store({Row(11, R(1), K(0)), Row(11, R(2), K(0))});
  Open();
  frm.SelectRow(4);
  frm.MenuCommand("MacPaste")->trigger();  // nothing copied yet: the row is emptied
  EXPECT_TRUE(RowAt(5).Empty());

  frm.SelectRow(0);
  frm.MenuCommand("MacCopy")->trigger();
  frm.SelectRow(4);
  frm.MenuCommand("MacPaste")->trigger();
  ExpectSameRow(RowAt(5), RowAt(1));

  frm.SelectRow(1);
  frm.MenuCommand("MacCut")->trigger();
  EXPECT_TRUE(RowAt(2).Empty());
  frm.SelectRow(2);
  frm.MenuCommand("MacPaste")->trigger();
  EXPECT_EQ(RowAt(3).A1v, 2);
}

// ---------------------------------------------------------------------------------------
// Undo and redo

struct UndoCase {
  const char* name;
  const char* steps;  // 'E' an edit (row 1 becomes D<n> = D1 + 1 for the nth edit), 'U', 'R'
  int state;          // row 1's A1 afterwards: 0 as loaded, n after the nth edit
  bool canUndo;
  bool canRedo;
};

class UndoSequence : public MacroEditFrm, public testing::WithParamInterface<UndoCase> {};

TEST_P(UndoSequence, LeavesTheRowsInTheExpectedState) {
  const UndoCase& c = GetParam();
  Open();
  int edits = 0;
  for (const char* step = c.steps; *step != '\0'; ++step) {
    if (*step == 'E') WriteAdd(1, ++edits);
    if (*step == 'U') frm.MenuCommand("MacUndo")->trigger();
    if (*step == 'R') frm.MenuCommand("MacRedo")->trigger();
  }
  EXPECT_EQ(RowAt(1).A1v, c.state);
  EXPECT_EQ(Enabled("MacUndo"), c.canUndo);
  EXPECT_EQ(Enabled("MacRedo"), c.canRedo);
}

INSTANTIATE_TEST_SUITE_P(
    Undo, UndoSequence,
    testing::Values(
        UndoCase{"NothingToUndoAfterLoading", "", 0, false, false},
        UndoCase{"SixEditsFiveUndosReachTheFirstEdit", "EEEEEEUUUUU", 1, false, true},
        UndoCase{"TwoUndosTwoRedosReachTheNewest", "EEEUURR", 3, true, false},
        UndoCase{"AnEditAfterUndoKeepsTheRestoredStateAsTheOnlyStepBack", "EEUEU", 1, false, true},
        UndoCase{"AnEditAfterRedoKeepsTheRestoredStateAsTheOnlyStepBack", "EEURE", 3, true, false}),
    [](const testing::TestParamInfo<UndoCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Saving, files and closing

TEST_F(MacroEditFrm, SaveRefusesUndefinedLabelsAndStaysUnsaved) {
  Open();
  frm.SelectRow(3);
  Choose(25);
  Enter(0, false, "9");
  frm.PanelButton("MacUpdateButton")->click();
  frm.MenuCommand("MacSave")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "L# 4, LABEL 9 未定义！");
  EXPECT_TRUE(Enabled("MacSave"));
  EXPECT_EQ(LastUsedRow(Stored()), 0);

  // Closing with Yes tries the save again, which fails: the window stays.
  answers = {QMessageBox::Yes};
  EXPECT_FALSE(frm.close());
  EXPECT_EQ(questions.back(), "保存更改到 Clock 宏 (100ms) ？");
  EXPECT_TRUE(frm.isVisible());
}

TEST_F(MacroEditFrm, SavedRowsReachTheDatabase) {
  Open();
  WriteAdd(2, 7);
  frm.MenuCommand("MacSave")->trigger();
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(Enabled("MacSave"));
  ExpectSameRow(Stored()[1], RowAt(2));
  // Undoing a saved edit leaves rows the database does not have: unsaved again.
  frm.MenuCommand("MacUndo")->trigger();
  EXPECT_TRUE(RowAt(2).Empty());
  EXPECT_TRUE(Enabled("MacSave"));
}

TEST_F(MacroEditFrm, ClosingAsksAboutUnsavedRows) {
  Store({Row(29)});
  Open();
  WriteAdd(1, 7);
  answers = {QMessageBox::No};
  EXPECT_TRUE(frm.close());
  EXPECT_EQ(questions.back(), "保存更改到 Clock 宏 (100ms) ？");
  EXPECT_EQ(Stored()[0].OPt, 29);
  // Shown again, the window has the database's rows.
  Open();
  EXPECT_EQ(RowAt(1).OPt, 29);

  WriteAdd(1, 8);
  answers = {QMessageBox::Yes};
  EXPECT_TRUE(frm.close());
  EXPECT_EQ(Stored()[0].A1v, 8);

  // A panel that waits for an answer keeps the window open.
  Open();
  frm.SelectRow(0);
  frm.PanelButton("MacOpButton")->click();
  EXPECT_FALSE(frm.close());
}

TEST_F(MacroEditFrm, NeverSavedProjectsAreRefused) {
  EXPECT_FALSE(frm.ShowFor({}, {}));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], " 请先保存此新工程 ！");
  EXPECT_FALSE(frm.isVisible());
}

TEST_F(MacroEditFrm, AnUnreadableDatabaseIsReportedAndNothingShown) {
  test::WriteText(MacroDatabasePath(project), "not a database");
  EXPECT_TRUE(frm.ShowFor(project, {}));
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_FALSE(frm.isVisible());
  EXPECT_EQ(test::ReadText(MacroDatabasePath(project)), "not a database");
}

TEST_F(MacroEditFrm, MacFilesRoundTripByteForByte) {
  Store({Comment("start"),
         Row(26, K(3)),
         Row(1, R(10), R(11), K(0xFFFF), kDW | kSigned),
         {},
         Row(25, K(3))});
  const fs::path reference = dir / "reference.Mac";
  ASSERT_TRUE(ExportMacFile(project, reference, true).ok());

  Open();
  savePaths = {(dir / "exported").string()};  // the extension is added
  frm.MenuCommand("MacSaveFile")->trigger();
  EXPECT_EQ(test::ReadAll(dir / "exported.Mac"), test::ReadAll(reference));

  frm.MenuCommand("MacDeleteAll")->trigger();
  openPaths = {reference.string()};
  frm.MenuCommand("MacOpenFile")->trigger();
  EXPECT_TRUE(Enabled("MacSave"));  // imported rows reach the database only when saved
  EXPECT_FALSE(Enabled("MacUndo"));
  savePaths = {(dir / "again.Mac").string()};
  frm.MenuCommand("MacSaveFile")->trigger();
  EXPECT_EQ(test::ReadAll(dir / "again.Mac"), test::ReadAll(reference));
  EXPECT_TRUE(messages.empty());
}

TEST_F(MacroEditFrm, AFileOfAnotherVersionChangesNothing) {
  Store({Row(29)});
  Open();
  test::WriteAll(dir / "bad.Mac", std::vector<std::uint8_t>(kMacroRowSize, 0));
  openPaths = {(dir / "bad.Mac").string()};
  frm.MenuCommand("MacOpenFile")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "文件版本错误 ！");
  EXPECT_EQ(RowAt(1).OPt, 29);
}

TEST_F(MacroEditFrm, PrintsTheUsedRows) {
  Store({Comment("go"), {}, Row(29)});
  Open();
  const QStringList lines = frm.PrintText();
  ASSERT_EQ(lines.size(), 6);
  EXPECT_TRUE(lines[0].startsWith("【 Clock 宏 (100ms) 】   打印时间："));
  EXPECT_EQ(lines[1], QString(87, '_'));
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "#go");
  EXPECT_EQ(lines[4], "");
  EXPECT_EQ(lines[5], "END");
}

TEST_F(MacroEditFrm, GridShowsTheRowsAndTheMenuStartsDisabled) {
  Store({Comment("note"), Row(29)});
  Open();
  EXPECT_EQ(GridText(1), "#note");
  EXPECT_EQ(GridText(2), "END");
  EXPECT_EQ(frm.Grid()->verticalHeaderItem(99)->text(), " 100");
  EXPECT_EQ(frm.size(), QSize(666, 665));
  EXPECT_FALSE(Enabled("MacUndo"));
  EXPECT_FALSE(Enabled("MacRedo"));
  EXPECT_FALSE(Enabled("MacSave"));
  EXPECT_EQ(frm.MenuCommand("MacUndo")->shortcut(), QKeySequence("Ctrl+Z"));
  EXPECT_EQ(frm.MenuCommand("MacPrint")->shortcut(), QKeySequence("Ctrl+P"));
}

TEST_F(MacroEditFrm, PanelsAreDraggedOnlyWithinTheWindow) {
  Open();
  MacFloatingPanel* panel = frm.InputPanel();
  panel->show();
  panel->MoveWithin({5000, 5000});
  EXPECT_EQ(panel->x(), frm.width() - panel->width() - 9);
  EXPECT_EQ(panel->y(), frm.height() - panel->height() - 35);
  panel->MoveWithin({-50, -50});
  EXPECT_EQ(panel->pos(), QPoint(0, 0));
}

}  // namespace
}  // namespace dravik::macro
