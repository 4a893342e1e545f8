// The register dialog: its interlocks, the preview it builds, the refusal of limits that
// leave no room, and registers whose kind the work parameters cannot describe.

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"
#include "elements/ui/group_box_register.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"

namespace dravik::elements {
namespace {

class RegisterDialog : public ElementDialogTest {
 protected:
  TGroupBoxRegister dialog;
};

TEST_F(RegisterDialog, PreviewFollowsDigitsDecimalsAndSign) {
  struct Case {
    int digits, decimals;
    bool isSigned;
    const char* preview;
  };
  const Case cases[] = {{5, 2, false, "123.45"}, {5, 2, true, "-123.45"}, {3, 3, false, "0.123"}};
  for (const Case& c : cases) {
    const int s = Place(kKindRegister);
    Run(dialog, s, [&] {
      dialog.DigitsSpin()->setValue(c.digits);
      dialog.DecimalsSpin()->setValue(c.decimals);
      dialog.SignedCheck()->setChecked(c.isSigned);
    });
    EXPECT_EQ(page().ElemTextA[s].View(), c.preview) << c.preview;
    EXPECT_EQ(page().ElemWordB[s], c.digits * 256 + c.decimals) << c.preview;
  }
}

TEST_F(RegisterDialog, DigitsAndDecimalsFollowEachOther) {
  const int s = Place(kKindRegister);
  Run(
      dialog, s,
      [&] {
        dialog.DigitsSpin()->setValue(6);
        dialog.DecimalsSpin()->setValue(4);
        dialog.DigitsSpin()->setValue(3);
        EXPECT_EQ(dialog.DecimalsSpin()->value(), 3);
        dialog.DecimalsSpin()->setValue(8);
        EXPECT_EQ(dialog.DigitsSpin()->value(), 8);
      },
      Finish::Cancel);
}

TEST_F(RegisterDialog, WithInputTenDigitsBecomeNine) {
  const int s = Place(kKindRegister);
  Run(dialog, s, [&] {
    EXPECT_FALSE(dialog.UpperSpin()->isEnabled());
    dialog.InputCheck()->setChecked(true);
    EXPECT_TRUE(dialog.UpperSpin()->isEnabled());
    EXPECT_TRUE(dialog.IndirectRadio()->isEnabled());
    dialog.DigitsSpin()->setValue(10);
  });
  EXPECT_EQ(page().ElemWordB[s], 0x0900);
  EXPECT_EQ(page().ElemTextA[s].View(), "123456789");
  EXPECT_EQ(page().ElemByteC[s], 1);
}

TEST_F(RegisterDialog, FloatIsASigned32BitValue) {
  const int s = Place(kKindRegister);
  Run(dialog, s, [&] {
    dialog.DataFormatCombo()->setCurrentIndex(1);
    EXPECT_EQ(dialog.DataTypeCombo()->currentIndex(), 1);
    EXPECT_TRUE(dialog.SignedCheck()->isChecked());
    EXPECT_FALSE(dialog.DataTypeCombo()->isEnabled());
    EXPECT_FALSE(dialog.SignedCheck()->isEnabled());
    EXPECT_EQ(dialog.LowerSpin()->minimum(), -999999999);
    dialog.DataFormatCombo()->setCurrentIndex(0);
    EXPECT_TRUE(dialog.DataTypeCombo()->isEnabled());
    dialog.DataFormatCombo()->setCurrentIndex(1);
  });
  EXPECT_EQ(page().ElemByteB[s], 0x81);
  EXPECT_EQ(page().ElemByteD[s], 1);
}

TEST_F(RegisterDialog, DirectLimitsWithoutRoomAreRefused) {
  const int s = Place(kKindRegister);
  bool firstOk = true;
  const bool accepted = Run(dialog, s, [&] {
    dialog.InputCheck()->setChecked(true);
    dialog.UpperSpin()->setValue(100);
    dialog.LowerSpin()->setValue(100);
    dialog.OkButton()->click();
    firstOk = dialog.result() == QDialog::Accepted;
    EXPECT_EQ(page().ElemByteC[s], 0);  // nothing written yet
    dialog.LowerSpin()->setValue(99);
  });
  EXPECT_FALSE(firstOk);
  EXPECT_EQ(messages_, std::vector<std::string>{"直接上限K值必须 > 直接下限K值 ！"});
  EXPECT_TRUE(accepted);
  EXPECT_EQ(page().ElemLongC[s], 100);
  EXPECT_EQ(page().ElemLongD[s], 99);
}

TEST_F(RegisterDialog, LimitRangesFollowTypeSignAndIndirection) {
  const int s = Place(kKindRegister);
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.UpperSpin()->maximum(), 65535);
        EXPECT_EQ(dialog.UpperSpin()->toolTip(), "0 ~ 65535");
        dialog.SignedCheck()->setChecked(true);
        EXPECT_EQ(dialog.UpperSpin()->minimum(), -32768);
        EXPECT_EQ(dialog.UpperSpin()->value(), 32767);  // 65535 no longer fits
        dialog.DataTypeCombo()->setCurrentIndex(1);
        EXPECT_EQ(dialog.UpperSpin()->maximum(), 999999999);
        dialog.IndirectRadio()->setChecked(true);
        EXPECT_EQ(dialog.UpperSpin()->minimum(), 0);
        EXPECT_EQ(dialog.UpperSpin()->maximum(), 65000);  // the register kind's maximum
        EXPECT_EQ(dialog.LowerSpin()->minimum(), -999999999);
      },
      Finish::Cancel);
}

TEST_F(RegisterDialog, TheKindRelabelsAndLimitsTheRegisterFields) {
  const int s = Place(kKindRegister);
  page().ElemWordE[s] = 40000;
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "寄存器号D:");
    EXPECT_EQ(dialog.KeyRegisterLabel()->text(), "关键寄存器D:");
    EXPECT_EQ(dialog.IndirectRadio()->text(), "间接上限D");
    dialog.Operand()->KindCombo()->setCurrentIndex(1);
    emit dialog.Operand()->KindCombo()->activated(1);
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "寄存器号R:");
    EXPECT_EQ(dialog.KeyRegisterLabel()->text(), "关键寄存器R:");
    EXPECT_EQ(dialog.IndirectRadio()->text(), "间接上限R");
    EXPECT_EQ(dialog.KeyRegisterSpin()->maximum(), 32767);
    EXPECT_EQ(dialog.KeyRegisterSpin()->value(), 32767);
    EXPECT_EQ(dialog.KeyRegisterSpin()->toolTip(), "0 ~ 32767");
  });
  EXPECT_EQ(page().ElemByteB[s], 0x10);
  EXPECT_EQ(page().ElemWordE[s], 32767);
}

TEST_F(RegisterDialog, EnglishCaptions) {
  chinese_ = false;
  const int s = Place(kKindRegister);
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "Register D:");
        EXPECT_EQ(dialog.KeyRegisterLabel()->text(), "KeyRegisterD:");
        EXPECT_EQ(dialog.IndirectRadio()->text(), "IndirectUpLimitD");
      },
      Finish::Cancel);
}

TEST_F(RegisterDialog, TheKeyActionWaitsForACondition) {
  const int s = Place(kKindRegister);
  Run(dialog, s, [&] {
    EXPECT_FALSE(dialog.ActionCombo()->isEnabled());
    dialog.ConditionCombo()->setCurrentIndex(2);
    EXPECT_TRUE(dialog.ActionCombo()->isEnabled());
    dialog.ActionCombo()->setCurrentIndex(1);
    dialog.PasswordCheck()->setChecked(true);
    dialog.LeadingZerosCheck()->setChecked(true);
    dialog.Format().level->setCurrentIndex(4);
  });
  EXPECT_EQ(page().ElemByteF[s], 0x21);
  EXPECT_EQ(page().ElemWordD[s], 3);
  EXPECT_EQ(page().ElemWordC[s], 0x2104);
}

// A protocol the device resources do not have: the stored kind and number are shown and
// kept, not lowered to what an empty list would allow.
TEST_F(RegisterDialog, AnUnknownProtocolKeepsKindAndNumber) {
  const int s = Place(kKindRegister);
  page().ElemByteB[s] = 0x30;  // kind 3
  page().ElemWordA[s] = 60000;
  page().ElemWordE[s] = 50000;
  lists_.unknownLink1Protocol = 40;
  auto expected = Copy();
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Operand()->KindCombo()->currentText(), "未知 (3)");
    EXPECT_FALSE(dialog.Operand()->KindCombo()->isEnabled());
    EXPECT_EQ(dialog.Operand()->NumberSpin()->value(), 60000);
    EXPECT_EQ(dialog.KeyRegisterSpin()->value(), 50000);
  });
  EXPECT_TRUE(SameBytes(*expected));

  // Lists never loaded say as little.
  hooks_.execDialog = [&](QDialog*) {
    dialog.OkButton()->click();
    return dialog.result();
  };
  PropertyContext nothing = Context();
  nothing.lists = nullptr;
  EXPECT_TRUE(dialog.Edit(page(), s, nothing));
  EXPECT_TRUE(SameBytes(*expected));
}

}  // namespace
}  // namespace dravik::elements
