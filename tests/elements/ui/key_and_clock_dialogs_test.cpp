// The function key dialog and the date and time dialog: what they show of a slot, the
// function key's radio interlock and jump-target list, the clock's captions and formats
// by kind, and what OK stores.

#include <QCheckBox>
#include <QKeyEvent>
#include <QRadioButton>

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/group_box_date.h"
#include "elements/ui/group_box_fun_key.h"

namespace dravik::elements {
namespace {

class FunKeyDialog : public ElementDialogTest {
 protected:
  TGroupBoxFunKey dialog;

  void ExpectJumping(bool jumping) {
    EXPECT_EQ(dialog.PageJumpRadio()->isChecked(), jumping);
    EXPECT_EQ(dialog.PanelFunctionRadio()->isChecked(), !jumping);
    EXPECT_EQ(dialog.JumpTargetCombo()->isEnabled(), jumping);
    EXPECT_EQ(dialog.FunctionCombo()->isEnabled(), !jumping);
  }
};

TEST_F(FunKeyDialog, AFreshKeyJumpsToTheCurrentPage) {
  const int s = Place(kKindFunctionKey);
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    EXPECT_EQ(dialog.LanguageOne()->text(), "功能键");
    EXPECT_EQ(dialog.LanguageTwo()->text(), "FunKey");
    ExpectJumping(true);
    EXPECT_EQ(dialog.JumpTargetCombo()->count(), 256);
    EXPECT_EQ(dialog.JumpTargetCombo()->currentText(), "当前页");
    EXPECT_EQ(dialog.FunctionCombo()->currentText(), "配方保存");
    EXPECT_FALSE(dialog.TransparentCheck()->isEnabled());
    EXPECT_FALSE(dialog.TransparentCheck()->isChecked());
    EXPECT_FALSE(dialog.PasswordCheck()->isChecked());
    EXPECT_EQ(dialog.Format().border->currentText(), "三维");
    EXPECT_EQ(dialog.Format().font->currentText(), "24X24");
    EXPECT_FALSE(dialog.Format().alignment->isEnabled());
    EXPECT_FALSE(dialog.Format().level->isEnabled());
    EXPECT_EQ(dialog.Frame()->BackColour()->Colour(), 0xFF00u);
  }));
  EXPECT_EQ(dialog.windowTitle(), "功能键属性 ");
  expected->ElemWordD[s] = 4;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(FunKeyDialog, APanelFunctionKeepsTheJumpTargetChosen) {
  const int s = Place(kKindFunctionKey);
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.JumpTargetCombo()->setCurrentIndex(5);
    dialog.PanelFunctionRadio()->click();
    ExpectJumping(false);
    dialog.FunctionCombo()->setCurrentIndex(3);
    EXPECT_EQ(dialog.FunctionCombo()->currentText(), "语言转换");
  }));
  expected->ElemWordD[s] = 8;
  expected->ElemWordE[s] = 3;
  expected->ElemLongD[s] = 5;
  EXPECT_TRUE(SameBytes(*expected));

  // Back to a page jump: the function chosen stays stored too.
  EXPECT_TRUE(Run(dialog, s, [&] {
    ExpectJumping(false);
    EXPECT_EQ(dialog.JumpTargetCombo()->currentIndex(), 5);
    dialog.PageJumpRadio()->click();
    ExpectJumping(true);
  }));
  expected->ElemWordD[s] = 4;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(FunKeyDialog, FlagsShownAndStored) {
  struct Case {
    std::uint16_t stored;
    bool jumping, transparent, password;
    std::uint16_t written;
  };
  // One dialog for all rows, in this order: a key without an action after a key with a
  // panel function still opens as a page jump.
  const Case cases[] = {
      {0x0224, true, false, false, 0x4}, {0x000B, false, true, true, 0xB},
      {0x0000, true, false, false, 0x4}, {0x000C, false, false, false, 0x8},
      {0xFF03, true, true, true, 0x7},
  };
  for (const Case& c : cases) {
    const int s = Place(kKindFunctionKey);
    page().ElemWordD[s] = c.stored;
    EXPECT_TRUE(Run(dialog, s, [&] {
      ExpectJumping(c.jumping);
      EXPECT_EQ(dialog.TransparentCheck()->isChecked(), c.transparent) << c.stored;
      EXPECT_EQ(dialog.PasswordCheck()->isChecked(), c.password) << c.stored;
    }));
    EXPECT_EQ(page().ElemWordD[s], c.written) << c.stored;
  }
}

TEST_F(FunKeyDialog, PasswordAndFormatAreStored) {
  const int s = Place(kKindFunctionKey);
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.PasswordCheck()->click();
    dialog.Format().border->setCurrentIndex(1);
    dialog.Format().font->setCurrentIndex(4);
    dialog.LanguageTwo()->setText("Next");
  }));
  expected->ElemWordD[s] = 6;
  expected->ElemWordC[s] = 0x1400;
  expected->ElemTextB[s].Assign("Next");
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(FunKeyDialog, CaptionsTakeTwentyCharactersWhileTyping) {
  const int s = Place(kKindFunctionKey);
  Run(dialog, s, [&] {
    dialog.LanguageOne()->clear();
    for (int i = 0; i < 25; ++i) {  // "中" typed one by one
      QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x4E2D)));
      QApplication::sendEvent(dialog.LanguageOne(), &key);
    }
    EXPECT_EQ(dialog.LanguageOne()->text().size(), 20);
    dialog.LanguageTwo()->clear();
    QTest::keyClicks(dialog.LanguageTwo(), QString(30, 'k'));
    EXPECT_EQ(dialog.LanguageTwo()->text().size(), 20);
  });
  EXPECT_EQ(page().ElemTextA[s].View(), Gbk(QString(20, QChar(0x4E2D)).toStdString()));
  EXPECT_EQ(page().ElemTextB[s].View(), std::string(20, 'k'));
}

TEST_F(FunKeyDialog, WhatTheDialogCannotShowIsKept) {
  const int s = Place(kKindFunctionKey);
  // A caption longer than the dialog takes, a jump target and a function beyond the lists,
  // a font and a level the lists do not have.
  page().ElemTextA[s].Assign("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
  page().ElemLongD[s] = 300;
  page().ElemWordE[s] = 9;
  page().ElemWordC[s] = 0x2907;
  page().ElemWordD[s] = 8;
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    EXPECT_EQ(dialog.JumpTargetCombo()->currentIndex(), -1);
    EXPECT_EQ(dialog.FunctionCombo()->currentIndex(), -1);
  }));
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(FunKeyDialog, TheJumpListIsTheOneOfTheMomentItOpens) {
  const int s = Place(kKindFunctionKey);
  page().ElemLongD[s] = 3;
  jumpTargets_[3] = "3: Pump";
  Run(
      dialog, s, [&] { EXPECT_EQ(dialog.JumpTargetCombo()->currentText(), "3: Pump"); },
      Finish::Cancel);
  // The page list changed meanwhile, in English.
  jumpTargets_[0] = "Current page";
  jumpTargets_[3] = "3: Valves";
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.JumpTargetCombo()->currentText(), "3: Valves");
        EXPECT_EQ(dialog.JumpTargetCombo()->itemText(0), "Current page");
        EXPECT_EQ(dialog.JumpTargetCombo()->count(), 256);
      },
      Finish::Cancel);
}

class DateDialog : public ElementDialogTest {
 protected:
  TGroupBoxDate dialog;

  int CheckedFormat() const {
    for (int tag = 0; tag < kClockFormatCount; ++tag) {
      if (dialog.FormatRadio(tag)->isChecked()) return tag;
    }
    return -1;
  }
};

TEST_F(DateDialog, AFreshTimeTakesFormat0) {
  const int s = Place(kKindTime);
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    EXPECT_EQ(CheckedFormat(), 0);
    EXPECT_EQ(dialog.Format().border->currentText(), "无");
    EXPECT_EQ(dialog.Format().font->currentText(), "24X24");
    EXPECT_EQ(dialog.Format().alignment->currentText(), "左边");
    EXPECT_FALSE(dialog.Format().alignment->isEnabled());
    EXPECT_FALSE(dialog.InputAllowedCheck()->isChecked());
  }));
  expected->ElemTextA[s].Assign(Gbk("HH时MM分"));
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DateDialog, CaptionAndFormatsFollowKindAndLanguage) {
  struct Case {
    int kind;
    bool chinese;
    const char* caption;
    const char* formats[3];
  };
  const Case cases[] = {
      {kKindDate, true, " 日期属性", {"YYYY-MM-DD", "MM/DD/YYYY", "YYYY/MM/DD"}},
      {kKindTime, false, " Time attribute", {"HH时MM分", "HH:MM:SS", "HH:MM"}},
      {kKindDate, false, " Date attribute", {"YYYY-MM-DD", "MM/DD/YYYY", "YYYY/MM/DD"}},
      {kKindTime, true, " 时间属性", {"HH时MM分", "HH:MM:SS", "HH:MM"}},
  };
  for (const Case& c : cases) {
    chinese_ = c.chinese;
    const int s = Place(c.kind);
    Run(
        dialog, s,
        [&] {
          EXPECT_EQ(dialog.windowTitle(), c.caption);
          for (int tag = 0; tag < 3; ++tag) {
            EXPECT_EQ(dialog.FormatRadio(tag)->text(), QString::fromUtf8(c.formats[tag]));
          }
        },
        Finish::Cancel);
  }
}

TEST_F(DateDialog, FormatWordShownAndStored) {
  struct Case {
    std::uint16_t stored;
    int border, font;  // shown; -1: none
    std::uint16_t written;
  };
  const Case cases[] = {
      {0x0100, 0, 1, 0x0100},  {0x1000, 1, 0, 0x1000},
      {0x2000, 1, 0, 0x1000},  // a border field of 2 or more shows and stores 3-D
      {0x2100, 1, 1, 0x1100},  {0xF135, 1, 1, 0x1100},  // alignment and level do not stay
      {0x0500, 0, -1, 0x0500},                          // a font the list does not have stays
  };
  for (const Case& c : cases) {
    const int s = Place(kKindDate);
    page().ElemWordC[s] = c.stored;
    EXPECT_TRUE(Run(dialog, s, [&] {
      EXPECT_EQ(dialog.Format().border->currentIndex(), c.border) << c.stored;
      EXPECT_EQ(dialog.Format().font->currentIndex(), c.font) << c.stored;
    }));
    EXPECT_EQ(page().ElemWordC[s], c.written) << c.stored;
  }
}

TEST_F(DateDialog, OkStoresFormatTextInputAndStyle) {
  const int s = Place(kKindDate);
  auto expected = Copy();
  nextColour_ = 0x0000FF;
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.FormatRadio(2)->click();
    dialog.InputAllowedCheck()->click();
    dialog.Format().border->setCurrentIndex(1);
    dialog.Format().font->setCurrentIndex(0);
    dialog.Frame()->ForeColour()->click();
    dialog.Frame()->TopSpin()->setValue(40);
  }));
  expected->ElemByteB[s] = 2;
  expected->ElemTextA[s].Assign("YYYY/MM/DD");
  expected->ElemByteC[s] = 1;
  expected->ElemWordC[s] = 0x1000;
  expected->ElemLongB[s] = 0x0000FF;
  expected->ElemTop[s] = 45;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(DateDialog, AFormatNoButtonCarriesChecksNoneAndStays) {
  const int first = Place(kKindTime);
  EXPECT_TRUE(Run(dialog, first, [&] { dialog.FormatRadio(1)->click(); }));
  EXPECT_EQ(page().ElemByteB[first], 1);
  EXPECT_EQ(page().ElemTextA[first].View(), "HH:MM:SS");

  const int s = Place(kKindTime);
  page().ElemByteB[s] = 7;
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] { EXPECT_EQ(CheckedFormat(), -1); }));
  EXPECT_TRUE(SameBytes(*expected));
}

}  // namespace
}  // namespace dravik::elements
