// The lamp and the bit switch dialogs: the bit operand editor they share (bit number,
// hexadecimal register numbers, the up and down buttons), the lamp's texts and the bit
// switch's panel keys, action and format.

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>

#include "element_dialog_fixture.h"
#include "elements/bit_properties.h"
#include "elements/element_kind.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/group_box_fun_but.h"
#include "elements/ui/group_box_lamp.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"

namespace dravik::elements {
namespace {

class LampDialog : public ElementDialogTest {
 protected:
  // A lamp on Link 1's bit kind `kind` at register `number`, bit `bit`.
  int PlaceLamp(int kind, int number, int bit = 0) {
    const int s = Place(kKindLamp);
    page().ElemByteB[s] = static_cast<std::uint8_t>(kind * 16 + bit);
    page().ElemWordA[s] = static_cast<std::uint16_t>(number);
    return s;
  }
  OperandSelector& operand() { return *dialog.Operand(); }
  TGroupBoxLamp dialog;
};

TEST_F(LampDialog, TheBitNumberShowsOnlyForBitsInAWord) {
  struct Case {
    const char* name;
    int kind;
    bool bitShown;
    int storedBit;
  };
  const Case cases[] = {
      {"bits in a word", 0, true, 12},
      // A plain bit kind hides the field: the bit number stays what it held.
      {"plain bits", 1, false, 5},
      {"hexadecimal bits", 2, false, 0},
  };
  for (const Case& c : cases) {
    const int s = PlaceLamp(c.kind, 100, c.storedBit);
    Run(dialog, s, [&] {
      EXPECT_EQ(!operand().BitSpin()->isHidden(), c.bitShown) << c.name;
      EXPECT_EQ(!operand().DotLabel()->isHidden(), c.bitShown) << c.name;
      if (c.bitShown) {
        EXPECT_EQ(operand().BitSpin()->toolTip(), "0 ~ 15") << c.name;
      }
    });
    EXPECT_EQ(page().ElemByteB[s], c.kind * 16 + c.storedBit) << c.name;
  }
}

TEST_F(LampDialog, HexadecimalRegisterNumbers) {
  const int s = PlaceLamp(2, 2047);
  Run(dialog, s, [&] {
    RegisterNumberSpin* number = operand().NumberSpin();
    EXPECT_EQ(Shown(number), "7FF");
    EXPECT_EQ(number->toolTip(), "0 ~ 7FF");
    EXPECT_EQ(operand().RegisterLabel()->text(), "寄存器号X:");
    TypeAndLeave(number, "1a");
    EXPECT_EQ(number->value(), 26);
    EXPECT_EQ(Shown(number), "01A");
    TypeAndLeave(number, "800");  // above the maximum
    EXPECT_EQ(number->value(), 2047);
    EXPECT_EQ(Shown(number), "7FF");
    TypeAndLeave(number, "7fg");  // "g" is no key of the field
    EXPECT_EQ(number->value(), 127);
    TypeAndLeave(number, "7ff");
  });
  EXPECT_EQ(page().ElemWordA[s], 2047);
}

TEST_F(LampDialog, DecimalRegisterNumbersAndTheStepButtons) {
  const int s = PlaceLamp(1, 8191);
  Run(dialog, s, [&] {
    RegisterNumberSpin* number = operand().NumberSpin();
    EXPECT_EQ(number->toolTip(), "0 ~ 8191");
    number->stepUp();  // at the maximum
    EXPECT_EQ(number->value(), 8191);
    TypeAndLeave(number, "");
    EXPECT_EQ(number->value(), 0);
    number->stepDown();  // at 0
    EXPECT_EQ(number->value(), 0);
    number->stepUp();
    EXPECT_EQ(number->value(), 1);
    TypeAndLeave(number, "a");  // letters are no keys of a decimal field
    EXPECT_EQ(number->value(), 1);
    TypeAndLeave(number, "123456");  // five characters at most
    EXPECT_EQ(number->value(), 8191);
  });
  EXPECT_EQ(page().ElemWordA[s], 8191);
}

TEST_F(LampDialog, ChangingTheKindModeAndLimits) {
  const int s = PlaceLamp(0, 9000, 12);
  Run(dialog, s, [&] {
    operand().KindCombo()->setCurrentIndex(2);
    emit operand().KindCombo()->activated(2);
    EXPECT_EQ(operand().NumberSpin()->value(), 2047);
    EXPECT_EQ(Shown(operand().NumberSpin()), "7FF");
    EXPECT_TRUE(operand().BitSpin()->isHidden());
  });
  EXPECT_EQ(page().ElemWordA[s], 2047);
  EXPECT_EQ(page().ElemByteB[s], 0x2C);  // the hidden bit number as it was
}

TEST_F(LampDialog, OkPacksTheOperandAndTheLamp) {
  const int s = Place(kKindLamp);
  page().ElemByteB[s] = 0x80;  // Link 2, 0X
  auto expected = Copy();
  nextColour_ = 0x0000FF;
  EXPECT_TRUE(Run(dialog, s, [&] {
    ASSERT_EQ(operand().KindCombo()->count(), 2);
    operand().KindCombo()->setCurrentIndex(1);
    emit operand().KindCombo()->activated(1);
    operand().NumberSpin()->setValue(321);
    operand().BitSpin()->setValue(3);
    dialog.NegativeRadio()->setChecked(true);
    dialog.LampTypeCombo()->setCurrentIndex(2);
    dialog.StateTwo()->setText("RUN");
    dialog.Frame()->ForeColour()->click();
  }));
  expected->ElemByteB[s] = 0x93;
  expected->ElemWordA[s] = 321;
  expected->ElemByteD[s] = 1;
  expected->ElemByteF[s] = 2;
  expected->ElemTextB[s].Assign("RUN");
  expected->ElemLongB[s] = 0xFF;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(LampDialog, StateTextsOnlyForDynamicCharactersYetKept) {
  const int s = Place(kKindLamp);
  page().ElemByteF[s] = 1;  // square
  page().ElemTextA[s].Assign("AUS");
  auto expected = Copy();
  Run(dialog, s, [&] {
    EXPECT_FALSE(dialog.StateOne()->isEnabled());
    EXPECT_FALSE(dialog.StateTwo()->isEnabled());
    dialog.LampTypeCombo()->setCurrentIndex(2);
    EXPECT_TRUE(dialog.StateOne()->isEnabled());
    dialog.LampTypeCombo()->setCurrentIndex(1);
  });
  EXPECT_TRUE(SameBytes(*expected));
  EXPECT_EQ(dialog.windowTitle(), " 指示灯属性 ");
}

class BitSwitchDialog : public ElementDialogTest {
 protected:
  BitSwitchDialog() {
    const std::vector<std::string> names{"F1", "F2", "F3",   "F4",   "F5", "F6", "∧", "∨",
                                         "＜", "＞", "监视", "诊断", "0",  "1",  "2", "3",
                                         "4",  "5",  "6",    "7",    "8",  "9"};
    panelKeys_ = PanelKeyItems(names, 22, true);
  }
  TGroupBoxFunBut dialog;
};

TEST_F(BitSwitchDialog, ShowsTheStoredSwitch) {
  const int s = Place(kKindBitSwitch);
  page().ElemWordE[s] = 2;
  page().ElemWordC[s] = 0x2314;
  page().ElemByteC[s] = 1;
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
        EXPECT_TRUE(dialog.ActionRadio(2)->isChecked());
        EXPECT_EQ(dialog.PanelKeyCombo()->count(), 23);
        EXPECT_EQ(dialog.PanelKeyCombo()->currentIndex(), 13);  // "1"
        EXPECT_EQ(dialog.PanelKeyCombo()->itemText(22), "光标焦点");
        EXPECT_EQ(dialog.Format().border->currentIndex(), 2);
        EXPECT_EQ(dialog.Format().font->currentIndex(), 3);
        EXPECT_EQ(dialog.Format().alignment->currentIndex(), 1);
        EXPECT_EQ(dialog.Format().level->currentIndex(), 4);
        EXPECT_FALSE(dialog.Format().level->isEnabled());
        EXPECT_FALSE(dialog.Format().alignment->isEnabled());
        EXPECT_TRUE(dialog.PasswordCheck()->isChecked());
        EXPECT_EQ(dialog.LanguageOne()->text(), "1 键");
        EXPECT_EQ(dialog.LanguageTwo()->text(), "1 Key");
        EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "寄存器号 D.b:");
      },
      Finish::Cancel);
}

TEST_F(BitSwitchDialog, ChoosingAPanelKeyNamesTheSwitch) {
  const int s = Place(kKindBitSwitch);
  Run(dialog, s, [&] {
    dialog.PanelKeyCombo()->setCurrentIndex(2);
    emit dialog.PanelKeyCombo()->activated(2);
    EXPECT_EQ(dialog.LanguageOne()->text(), "F3 键");
    EXPECT_EQ(dialog.LanguageTwo()->text(), "F3 Key");
  });
  EXPECT_EQ(page().ElemTextA[s].View(), Gbk("F3 键"));
  EXPECT_EQ(page().ElemNameA[s].View(), "F3 Key");
  EXPECT_EQ(page().ElemWordB[s], 2);

  chinese_ = false;
  panelKeys_.back() = "Cursor";
  Run(dialog, s, [&] {
    dialog.PanelKeyCombo()->setCurrentIndex(22);
    emit dialog.PanelKeyCombo()->activated(22);
  });
  EXPECT_EQ(page().ElemTextA[s].View(), "Cursor");
  EXPECT_EQ(page().ElemNameA[s].View(), "Cursor");
  EXPECT_EQ(page().ElemWordB[s], 22);
}

TEST_F(BitSwitchDialog, OkPacksTheSwitchAndLeavesTheOnStateAlone) {
  const int s = Place(kKindBitSwitch);
  page().ElemNameB[s].Assign("ON two");
  page().ElemLongD[s] = 0x0A0B0C;
  auto expected = Copy();
  EXPECT_TRUE(Run(dialog, s, [&] {
    dialog.ActionRadio(3)->setChecked(true);
    dialog.InvisibleCheck()->setChecked(true);
    dialog.PasswordCheck()->setChecked(true);
    dialog.Format().border->setCurrentIndex(1);
    dialog.Format().font->setCurrentIndex(2);
    dialog.Operand()->KindCombo()->setCurrentIndex(1);
    emit dialog.Operand()->KindCombo()->activated(1);
    dialog.Operand()->NumberSpin()->setValue(77);
    dialog.LanguageTwo()->setText(QString(30, 'k'));  // 20 bytes at most
  }));
  expected->ElemWordE[s] = 3;
  expected->ElemByteD[s] = 1;
  expected->ElemByteC[s] = 1;
  expected->ElemWordC[s] = 0x1200;
  expected->ElemByteB[s] = 0x10;
  expected->ElemWordA[s] = 77;
  expected->ElemNameA[s].Assign(std::string(20, 'k'));
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(BitSwitchDialog, AnActionNoButtonCarriesIsKept) {
  const int s = Place(kKindBitSwitch);
  page().ElemWordE[s] = 9;
  page().ElemWordB[s] = 40;  // beyond the key list
  auto expected = Copy();
  Run(dialog, s, [&] {
    for (int tag = 0; tag < 4; ++tag) EXPECT_FALSE(dialog.ActionRadio(tag)->isChecked());
    EXPECT_EQ(dialog.PanelKeyCombo()->currentIndex(), -1);
  });
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(BitSwitchDialog, AnUnknownLink2TableKeepsTheOperand) {
  const int s = Place(kKindBitSwitch);
  page().ElemByteB[s] = 0xB7;  // Link 2, kind 3, bit 7
  page().ElemWordA[s] = 65535;
  lists_.unknownLink2Table = 9;
  auto expected = Copy();
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Operand()->KindCombo()->currentText(), "未知 (3)");
    EXPECT_FALSE(dialog.Operand()->BitSpin()->isHidden());
    EXPECT_EQ(dialog.Operand()->BitSpin()->value(), 7);
  });
  EXPECT_TRUE(SameBytes(*expected));
}

}  // namespace
}  // namespace dravik::elements
