// The dynamic text dialog: what it shows of a slot and its states, the count and the
// grids as the user edits them, the refusals of OK and what OK stores byte for byte.

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTabWidget>

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/group_box_dtext.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"
#include "elements/ui/state_grid.h"
#include "model/project_image.h"

namespace dravik::elements {
namespace {

constexpr int kValue = StateGrid::kValueColumn;
constexpr int kText = StateGrid::kTextColumn;

class DynamicTextDialog : public ElementDialogTest {
 protected:
  TGroupBoxDText dialog;

  int PlaceText() { return Place(kKindDynamicText); }
  // A dynamic text placed with the text-table slots below `slot` taken.
  int PlaceAt(int slot) {
    for (int s = model::kTextTableFirstSlot; s < slot; ++s) page().ElemKind[s] = kKindText;
    return PlaceText();
  }
  void SetEntry(model::PageRecord& p, int slot, int language, int state, std::string_view text) {
    p.DynTextStates[*model::TextEntry(slot, language, state)].Assign(text);
  }
  std::string Entry(int slot, int language, int state) {
    return std::string(page().DynTextStates[*model::TextEntry(slot, language, state)].View());
  }
  QString Cell(int language, int state, int column) {
    return dialog.Grid(language)->item(state, column)->text();
  }
  void SetCell(int language, int state, int column, const QString& text) {
    dialog.Grid(language)->item(state, column)->setText(text);
  }
  int ShownRows(int language) {
    int shown = 0;
    for (int r = 0; r < dialog.Grid(language)->rowCount(); ++r) {
      if (!dialog.Grid(language)->isRowHidden(r)) ++shown;
    }
    return shown;
  }
  // Opens the editor of a cell, as a double click does.
  QLineEdit* EditCell(StateGrid* grid, int state, int column) {
    grid->setCurrentCell(state, column);
    grid->editItem(grid->item(state, column));
    return qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
  }
};

TEST_F(DynamicTextDialog, ANewElementShowsOneStateInBothLanguages) {
  const int s = PlaceText();
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.StateCountSpin()->value(), 1);
        EXPECT_EQ(dialog.StateCountSpin()->maximum(), 100);
        EXPECT_TRUE(dialog.StateCountSpin()->findChild<QLineEdit*>()->isReadOnly());
        for (int language : {0, 1}) {
          EXPECT_EQ(dialog.Grid(language)->rowCount(), 100);
          EXPECT_EQ(ShownRows(language), 1);
          EXPECT_EQ(Cell(language, 0, StateGrid::kIdColumn), " 0");
          EXPECT_EQ(Cell(language, 0, kValue), "0");
          EXPECT_EQ(dialog.Grid(language)->currentRow(), 0);
          EXPECT_EQ(dialog.Grid(language)->horizontalHeaderItem(kValue)->text(), "数值");
          EXPECT_EQ(dialog.Grid(language)->horizontalHeaderItem(kText)->text(), " 内 容");
          EXPECT_EQ(dialog.Grid(language)->columnWidth(kValue), 47);
        }
        EXPECT_EQ(Cell(0, 0, kText), "动态文字串");
        EXPECT_EQ(Cell(1, 0, kText), "D.Text");
        EXPECT_EQ(dialog.LanguageTabs()->tabText(0), "语言一");
        EXPECT_EQ(dialog.LanguageTabs()->tabText(1), "语言二");
        EXPECT_FALSE(dialog.InputCheck()->isChecked());
        EXPECT_FALSE(dialog.ZeroOnLeaveCheck()->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.TransparentCheck()->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.Format().alignment->isEnabled());
        EXPECT_FALSE(dialog.Format().level->isEnabled());
        EXPECT_EQ(dialog.Format().border->currentIndex(), 2);
        EXPECT_EQ(dialog.Format().font->currentIndex(), 1);
        EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "寄存器号D:");
      },
      Finish::Cancel);
  EXPECT_EQ(dialog.objectName(), "GroupBoxDText");
  EXPECT_EQ(dialog.windowTitle(), " 动态文本属性 ");

  chinese_ = false;
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.Grid(1)->horizontalHeaderItem(kValue)->text(), "Value");
        EXPECT_EQ(dialog.Grid(1)->horizontalHeaderItem(kText)->text(), "Conten");
        EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "RegisterD:");
      },
      Finish::Cancel);
}

TEST_F(DynamicTextDialog, EntriesSplitIntoValueAndText) {
  const int s = PlaceText();
  page().ElemByteB[s] = 4;
  SetEntry(page(), s, 0, 1, "Run00FF");
  SetEntry(page(), s, 0, 2, "OFF");  // no value: the state's index
  SetEntry(page(), s, 1, 3, Gbk("停止0010"));
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(ShownRows(0), 4);
        EXPECT_EQ(Cell(0, 1, kValue), "255");
        EXPECT_EQ(Cell(0, 1, kText), "Run");
        EXPECT_EQ(Cell(0, 2, kValue), "2");
        EXPECT_EQ(Cell(0, 2, kText), "OFF");
        EXPECT_EQ(Cell(1, 3, kValue), "16");
        EXPECT_EQ(Cell(1, 3, kText), "停止");
        EXPECT_EQ(Cell(1, 3, StateGrid::kIdColumn), " 3");
      },
      Finish::Cancel);
}

TEST_F(DynamicTextDialog, RaisingTheCountNumbersTheNewStates) {
  const int s = PlaceText();
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.StateCountSpin()->stepBy(2);
    for (int language : {0, 1}) {
      EXPECT_EQ(ShownRows(language), 3);
      EXPECT_EQ(Cell(language, 1, kValue), "1");
      EXPECT_EQ(Cell(language, 2, kValue), "2");
      EXPECT_EQ(Cell(language, 2, kText), "");
      EXPECT_EQ(Cell(language, 2, StateGrid::kIdColumn), " 2");
      EXPECT_EQ(dialog.Grid(language)->currentRow(), 2);
    }
    SetCell(0, 1, kText, "运行");
  }));
  expected->ElemByteB[s] = 3;
  SetEntry(*expected, s, 0, 1, Gbk("运行") + "0001");
  SetEntry(*expected, s, 0, 2, "0002");
  SetEntry(*expected, s, 1, 1, "0001");
  SetEntry(*expected, s, 1, 2, "0002");
  // The element's own texts become the texts of state 0, without the value.
  expected->ElemTextA[s].Assign(Gbk("动态文字串"));
  expected->ElemTextB[s].Assign("D.Text");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DynamicTextDialog, CountChangesRenumberZerosOnlyAndKeepHiddenRows) {
  const int s = PlaceText();
  page().ElemByteB[s] = 3;
  SetEntry(page(), s, 0, 1, "a0007");
  SetEntry(page(), s, 0, 2, "b0000");  // value 0: renumbered when the count changes
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.StateCountSpin()->setValue(1);
    EXPECT_EQ(ShownRows(0), 1);
    dialog.StateCountSpin()->setValue(3);
    EXPECT_EQ(Cell(0, 1, kValue), "7");
    EXPECT_EQ(Cell(0, 1, kText), "a");
    EXPECT_EQ(Cell(0, 2, kValue), "2");
    dialog.StateCountSpin()->setValue(1);
  }));
  // States beyond the count keep what they held.
  expected->ElemByteB[s] = 1;
  expected->ElemTextA[s].Assign(Gbk("动态文字串"));
  expected->ElemTextB[s].Assign("D.Text");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DynamicTextDialog, TheSlotDecidesHowManyStates) {
  struct Case {
    int slot;
    int most;
    const char* lastEntry;  // the new last state: no text, its index as value
  };
  for (const Case c : {Case{149, 100, "0063"}, Case{150, 20, "0013"}, Case{199, 20, "0013"}}) {
    page_ = std::make_unique<model::PageRecord>();
    const int s = PlaceAt(c.slot);
    ASSERT_EQ(s, c.slot);
    EXPECT_TRUE(Run(dialog, s, [&] {
      EXPECT_EQ(dialog.StateCountSpin()->maximum(), c.most) << c.slot;
      EXPECT_EQ(dialog.Grid(1)->rowCount(), c.most) << c.slot;
      dialog.StateCountSpin()->setValue(c.most + 5);
      EXPECT_EQ(ShownRows(1), c.most) << c.slot;
    }));
    EXPECT_EQ(page().ElemByteB[s], c.most);
    EXPECT_EQ(Entry(s, 1, c.most - 1), c.lastEntry) << c.slot;
  }
}

TEST_F(DynamicTextDialog, ASlotWithoutStatesOpensAndKeepsItsRecord) {
  // A file made elsewhere may hold a dynamic text below the text-table slots.
  const int s = 10;
  page().ElemKind[s] = kKindDynamicText;
  page().ElemByteB[s] = 3;
  page().ElemWordC[s] = 0x2100;
  page().ElemLeft[s] = page().ElemTop[s] = 20;
  page().ElemWidth[s] = page().ElemHeight[s] = 30;
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Grid(0)->rowCount(), 0);
    EXPECT_EQ(dialog.StateCountSpin()->maximum(), 0);
  }));
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DynamicTextDialog, OkStoresEveryField) {
  const int s = PlaceText();
  page().ElemWordD[s] = 0x0001;  // transparent, from elsewhere: carried through
  auto expected = Copy();
  nextColour_ = 0x00FF00;
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.Frame()->LeftSpin()->setValue(10);
    dialog.Frame()->ForeColour()->click();
    dialog.Operand()->KindCombo()->setCurrentIndex(1);
    emit dialog.Operand()->KindCombo()->activated(1);
    dialog.Operand()->NumberSpin()->setValue(300);
    dialog.PasswordCheck()->setChecked(true);
    dialog.Format().border->setCurrentIndex(1);
    dialog.Format().font->setCurrentIndex(3);
    dialog.StateCountSpin()->setValue(2);
    SetCell(0, 1, kValue, "65535");
    SetCell(0, 1, kText, "Max");
    SetCell(1, 0, kValue, "01");
    SetCell(1, 0, kText, "Zero");
  }));
  expected->ElemLeft[s] = 15;
  expected->ElemLongB[s] = 0x00FF00;
  expected->ElemWordA[s] = 300;
  expected->ElemWordD[s] = 0x0103;  // transparent + password, kind R, Link 1
  expected->ElemWordC[s] = 0x1300;
  expected->ElemByteB[s] = 2;
  SetEntry(*expected, s, 0, 1, "MaxFFFF");
  SetEntry(*expected, s, 1, 0, "Zero0001");
  SetEntry(*expected, s, 1, 1, "0001");  // "01" and "1" are not the same text
  expected->ElemTextA[s].Assign(Gbk("动态文字串"));
  expected->ElemTextB[s].Assign("Zero");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DynamicTextDialog, OkRefusesRepeatedOrImpossibleValues) {
  struct Case {
    const char* name;
    int language, state;
    QString value;
    bool chinese;
    std::string message;
  };
  const Case cases[] = {
      {"language two repeats", 1, 2, "1", false,
       "Language 2 numeric Bar, there are 2 numerical repetition!\nLook ID:1  ID:2"},
      {"language one repeats", 0, 1, "0", true, "语言一数值栏，有2个数值重复 ！\n看看ID:0  ID:1"},
      {"above 65535", 1, 1, "65536", true,
       "语言二数值栏，ID:1 的数值 \"65536\" 不是 0 ~ 65535 的整数 ！"},
      {"not a number", 0, 2, "x", false,
       "Language 1 numeric Bar, the value \"x\" of ID:2 is not a whole number from 0 to 65535!"},
      {"negative", 0, 1, "-1", false,
       "Language 1 numeric Bar, the value \"-1\" of ID:1 is not a whole number from 0 to 65535!"},
  };
  for (const Case& c : cases) {
    page_ = std::make_unique<model::PageRecord>();
    const int s = PlaceText();
    page().ElemByteB[s] = 3;
    auto expected = Copy();
    messages_.clear();
    chinese_ = c.chinese;
    EXPECT_FALSE(Run(
        dialog, s,
        [&] {
          SetCell(c.language, c.state, kValue, c.value);
          dialog.OkButton()->click();
          // The dialog stays open on the state the message names.
          EXPECT_EQ(dialog.LanguageTabs()->currentIndex(), c.language) << c.name;
          EXPECT_EQ(dialog.Grid(c.language)->currentRow(), c.state) << c.name;
          dialog.CancelButton()->click();
        },
        Finish::Nothing))
        << c.name;
    EXPECT_EQ(messages_, std::vector<std::string>{c.message}) << c.name;
    EXPECT_TRUE(SameBytes(*expected)) << c.name;
  }
}

TEST_F(DynamicTextDialog, InputAllowedTakesTheFirstKind) {
  const int s = PlaceText();
  page().ElemWordD[s] = 0x0100;  // second word kind
  page().ElemByteC[s] = 1;
  page().ElemWordA[s] = 40000;  // above R's maximum, within D's
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Operand()->KindCombo()->currentIndex(), 0);
    EXPECT_FALSE(dialog.Operand()->KindCombo()->isEnabled());
    EXPECT_TRUE(dialog.ZeroOnLeaveCheck()->isVisibleTo(&dialog));
    dialog.InputCheck()->setChecked(false);
    EXPECT_TRUE(dialog.Operand()->KindCombo()->isEnabled());
    EXPECT_FALSE(dialog.ZeroOnLeaveCheck()->isVisibleTo(&dialog));
    dialog.ZeroOnLeaveCheck()->setChecked(true);  // hidden, written all the same
    dialog.InputCheck()->setChecked(true);
  }));
  expected->ElemWordD[s] = 0x0000;
  expected->ElemByteD[s] = 1;
  expected->ElemTextA[s].Assign(Gbk("动态文字串"));
  expected->ElemTextB[s].Assign("D.Text");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DynamicTextDialog, UnknownKindsAreKeptEvenWithInput) {
  lists_ = {};
  const int s = PlaceText();
  page().ElemWordD[s] = 0x0A02;  // password, kind 2, Link 2
  page().ElemByteC[s] = 1;
  page().ElemWordA[s] = 65535;
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Operand()->KindCombo()->currentText(), "未知 (2)");
    EXPECT_EQ(dialog.Operand()->NumberSpin()->value(), 65535);
  }));
  expected->ElemTextA[s].Assign(Gbk("动态文字串"));
  expected->ElemTextB[s].Assign("D.Text");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DynamicTextDialog, CellsStopAtTheirLimitAndGoOnInTheNextRow) {
  const int s = PlaceText();
  page().ElemByteB[s] = 3;
  Run(
      dialog, s,
      [&] {
        StateGrid* grid = dialog.Grid(0);
        QLineEdit* editor = EditCell(grid, 0, kText);
        ASSERT_NE(editor, nullptr);
        editor->clear();
        QTest::keyClicks(editor, QString(27, 'a'));
        EXPECT_EQ(Cell(0, 0, kText), QString(26, 'a'));
        EXPECT_EQ(grid->currentRow(), 1);
        EXPECT_EQ(grid->currentColumn(), kText);

        // Chinese characters count two bytes each.
        editor = EditCell(grid, 1, kText);
        ASSERT_NE(editor, nullptr);
        for (int i = 0; i < 14; ++i) {
          QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x4E2D)));
          QApplication::sendEvent(editor, &key);
        }
        EXPECT_EQ(Cell(0, 1, kText), QString(13, QChar(0x4E2D)));
        EXPECT_EQ(grid->currentRow(), 2);

        editor = EditCell(grid, 2, kValue);
        ASSERT_NE(editor, nullptr);
        editor->clear();
        QTest::keyClicks(editor, "123456");
        EXPECT_EQ(Cell(0, 2, kValue), "12345");
        EXPECT_EQ(grid->currentRow(), 2) << "not past the last shown row";
      },
      Finish::Cancel);
}

TEST_F(DynamicTextDialog, EnterMovesToTheNextRow) {
  const int s = PlaceText();
  page().ElemByteB[s] = 3;
  Run(
      dialog, s,
      [&] {
        StateGrid* grid = dialog.Grid(1);
        grid->setCurrentCell(0, kValue);
        QTest::keyClick(grid, Qt::Key_Return);
        EXPECT_EQ(grid->currentRow(), 1);
        QLineEdit* editor = EditCell(grid, 1, kValue);
        ASSERT_NE(editor, nullptr);
        editor->clear();
        QTest::keyClicks(editor, "9");
        QTest::keyClick(editor, Qt::Key_Enter);
        EXPECT_EQ(Cell(1, 1, kValue), "9");
        EXPECT_EQ(grid->currentRow(), 2);
        QTest::keyClick(grid, Qt::Key_Return);
        EXPECT_EQ(grid->currentRow(), 2);
      },
      Finish::Cancel);
}

TEST_F(DynamicTextDialog, OkTakesTheCellBeingEdited) {
  const int s = PlaceText();
  EXPECT_TRUE(Run(dialog, s, [&] {
    QLineEdit* editor = EditCell(dialog.Grid(1), 0, kText);
    ASSERT_NE(editor, nullptr);
    editor->clear();
    QTest::keyClicks(editor, "Typed");
  }));
  EXPECT_EQ(Entry(s, 1, 0), "Typed0000");
  EXPECT_EQ(page().ElemTextB[s].Str(), "Typed");
}

TEST_F(DynamicTextDialog, AnUntouchedTextKeepsItsStoredBytes) {
  const int s = PlaceText();
  page().ElemByteB[s] = 2;
  // Bytes that are no GBK text: shown as they can be, given back as they were.
  SetEntry(page(), s, 0, 1,
           "\xFF"
           "x0001");
  SetEntry(page(), s, 1, 1, "y0001");
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s));
  EXPECT_EQ(Entry(s, 0, 1),
            "\xFF"
            "x0001");
  expected->ElemTextA[s].Assign(Gbk("动态文字串"));
  expected->ElemTextB[s].Assign("D.Text");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DynamicTextDialog, CancelWritesNothing) {
  const int s = PlaceText();
  auto expected = Copy();
  nextColour_ = 0x123456;
  EXPECT_FALSE(Run(
      dialog, s,
      [&] {
        dialog.StateCountSpin()->setValue(5);
        SetCell(0, 3, kText, "x");
        SetCell(1, 0, kValue, "9");
        dialog.InputCheck()->setChecked(true);
        dialog.Frame()->BackColour()->click();
      },
      Finish::Cancel));
  EXPECT_TRUE(SameBytes(*expected));
}

}  // namespace
}  // namespace dravik::elements
