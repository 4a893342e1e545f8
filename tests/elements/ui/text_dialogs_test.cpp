// The text dialog and the ASCII-Chinese dialog: what they show of a slot, what OK stores,
// and the common frame they share with every element dialog.

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/group_box_text.h"
#include "elements/ui/group_changing_letter.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"

namespace dravik::elements {
namespace {

class TextDialog : public ElementDialogTest {
 protected:
  TGroupBoxText dialog;
};

TEST_F(TextDialog, ShowsTheTextAndTheFrame) {
  const int s = Place(kKindText, 5, 12);
  page().ElemByteA[s] = 1;
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.LanguageOne()->text(), "文字串");
        EXPECT_EQ(dialog.LanguageTwo()->text(), "Text");
        EXPECT_EQ(dialog.FontCombo()->currentIndex(), 1);  // the settings' default text font
        EXPECT_FALSE(dialog.AlignmentCombo()->isEnabled());
        EXPECT_EQ(dialog.Frame()->LeftSpin()->value(), 0);
        EXPECT_EQ(dialog.Frame()->TopSpin()->value(), 7);
        EXPECT_EQ(dialog.Frame()->LeftSpin()->maximum(), 232);
        EXPECT_EQ(dialog.Frame()->WidthSpin()->maximum(), 240);
        EXPECT_EQ(dialog.Frame()->HeightSpin()->minimum(), 8);
        EXPECT_TRUE(dialog.Frame()->MoveLock()->isChecked());
        EXPECT_EQ(dialog.Frame()->BackColour()->Colour(), 0xFFFF00u);
      },
      Finish::Cancel);
  EXPECT_EQ(dialog.objectName(), "GroupBoxText");
  EXPECT_EQ(dialog.windowTitle(), " 文本属性 ");
}

TEST_F(TextDialog, OkStoresTheFieldsAndDropsBorderAndLevel) {
  const int s = Place(kKindText, 5, 5);
  page().ElemWordC[s] = 0x2115;  // border 2, level 5 from elsewhere
  auto expected = Copy();
  nextColour_ = 0x00FF00;
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.Frame()->LeftSpin()->setValue(10);
    dialog.Frame()->MoveLock()->setChecked(true);
    dialog.LanguageTwo()->setText("Hi");
    dialog.FontCombo()->setCurrentIndex(3);
    dialog.Frame()->BackColour()->click();
  }));
  EXPECT_EQ(chooserStartedFrom_, 0xFFFF00u);
  expected->ElemLeft[s] = 15;
  expected->ElemByteA[s] = 1;
  expected->ElemTextB[s].Assign("Hi");
  expected->ElemWordC[s] = 0x0310;
  expected->ElemLongA[s] = 0x00FF00;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(TextDialog, TextsAreLimitedInGbkBytesWhileTyping) {
  const int s = Place(kKindText);
  Run(dialog, s, [&] {
    dialog.LanguageOne()->clear();
    for (int i = 0; i < 30; ++i) {  // 30 x "中", 60 bytes, typed one by one
      QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x4E2D)));
      QApplication::sendEvent(dialog.LanguageOne(), &key);
    }
    EXPECT_EQ(dialog.LanguageOne()->text().size(), 25);
    dialog.LanguageTwo()->clear();
    QTest::keyClicks(dialog.LanguageTwo(), QString(60, 'a'));
    EXPECT_EQ(dialog.LanguageTwo()->text().size(), 50);
  });
  EXPECT_EQ(page().ElemTextA[s].View(), Gbk(QString(25, QChar(0x4E2D)).toStdString()));
  EXPECT_EQ(page().ElemTextB[s].Length(), 50u);
}

TEST_F(TextDialog, ATextNobodyTouchedKeepsItsBytes) {
  const int s = Place(kKindText);
  // A lead byte without its second byte: the desktop cannot show it exactly.
  page().ElemTextA[s].Assign(std::string("AB\x81", 3));
  auto expected = Copy();
  expected->ElemWordC[s] = expected->ElemWordC[s] & 0x0FF0;
  EXPECT_TRUE(Run(dialog, s));
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(TextDialog, CancelWritesNothing) {
  const int s = Place(kKindText);
  auto expected = Copy();
  nextColour_ = 0x123456;
  EXPECT_FALSE(Run(
      dialog, s,
      [&] {
        dialog.LanguageOne()->setText("x");
        dialog.Frame()->WidthSpin()->setValue(100);
        dialog.Frame()->ForeColour()->click();
      },
      Finish::Cancel));
  EXPECT_TRUE(SameBytes(*expected));
}

class AsciiChineseDialog : public ElementDialogTest {
 protected:
  TGroupChangingLetter dialog;
};

TEST_F(AsciiChineseDialog, ALink2ElementShowsLink2sKinds) {
  const int s = Place(kKindAsciiChinese);
  page().ElemWordD[s] = 0x0D00;  // Link 2, kind 5: Link 2 has two word kinds
  page().ElemWordA[s] = 9000;
  chinese_ = false;
  Run(dialog, s, [&] {
    OperandSelector* operand = dialog.Operand();
    ASSERT_EQ(operand->KindCombo()->count(), 2);
    EXPECT_EQ(operand->KindCombo()->currentText(), "3X");  // the last kind
    EXPECT_EQ(operand->RegisterLabel()->text(), "Register3X:");
    EXPECT_EQ(operand->NumberSpin()->value(), 500);  // lowered to 3X's maximum
    EXPECT_EQ(operand->NumberSpin()->toolTip(), "0 ~ 500");
    EXPECT_TRUE(operand->LinkCombo()->isHidden());
    EXPECT_EQ(operand->LinkCombo()->currentIndex(), 1);
  });
  EXPECT_EQ(page().ElemWordD[s], 0x0900);  // Link 2 kept, kind 1
  EXPECT_EQ(page().ElemWordA[s], 500);
}

TEST_F(AsciiChineseDialog, ChangingTheKindLowersTheNumberToItsMaximum) {
  const int s = Place(kKindAsciiChinese);
  page().ElemWordD[s] = 0x0800;  // Link 2, 4X
  page().ElemWordA[s] = 9000;
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Operand()->NumberSpin()->value(), 9000);
    dialog.Operand()->KindCombo()->setCurrentIndex(1);
    emit dialog.Operand()->KindCombo()->activated(1);
    EXPECT_EQ(dialog.Operand()->NumberSpin()->value(), 500);
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "寄存器号3X:");
  });
  EXPECT_EQ(page().ElemWordA[s], 500);
  EXPECT_EQ(page().ElemWordD[s], 0x0900);
}

TEST_F(AsciiChineseDialog, OkPacksFormatAndLinkWords) {
  const int s = Place(kKindAsciiChinese);
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    EXPECT_EQ(dialog.FontCombo()->count(), 10);
    dialog.Operand()->NumberSpin()->setValue(1200);
    dialog.Operand()->KindCombo()->setCurrentIndex(1);
    emit dialog.Operand()->KindCombo()->activated(1);
    dialog.LengthSpin()->setValue(50);
    dialog.BorderCombo()->setCurrentIndex(2);
    dialog.FontCombo()->setCurrentIndex(9);
    dialog.AlignmentCombo()->setCurrentIndex(1);
  }));
  expected->ElemWordA[s] = 1200;
  expected->ElemByteB[s] = 50;
  expected->ElemWordC[s] = 0x2910;
  expected->ElemWordD[s] = 0x0100;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(AsciiChineseDialog, OpensWithTheFocusOnTheRegisterNumber) {
  const int s = Place(kKindAsciiChinese);
  Run(dialog, s, [&] {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.Operand()->NumberSpin());
  });
  dialog.hide();
}

TEST_F(AsciiChineseDialog, QuestionMarkOpensTheDeviceHelpOfTheLink) {
  const int s = Place(kKindAsciiChinese);
  page().ElemWordD[s] = 0x0800;
  Run(
      dialog, s, [&] { dialog.Operand()->HelpButton()->click(); }, Finish::Cancel);
  EXPECT_EQ(helpLinks_, std::vector<int>{1});
}

}  // namespace
}  // namespace dravik::elements
