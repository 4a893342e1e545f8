// The trend chart and bar graph dialogs: what they show of a slot and store back, the
// ranges that follow the data type, the captions that name the register kind, the bar's
// "间接" boxes, the refusal of a zero not below the full scale, the hidden lists, and
// registers whose kind the work parameters cannot describe.

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionViewItem>

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/group_box_current.h"
#include "elements/ui/group_box_virgate.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"

namespace dravik::elements {
namespace {

// Chooses a kind in the operand's list as the user does.
void ChooseKind(OperandSelector* operand, int item) {
  operand->KindCombo()->setCurrentIndex(item);
  emit operand->KindCombo()->activated(item);
}

// Presses OK with the dialog on the screen, so the field it focuses can be seen.
bool OkOnScreen(TElementDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.OkButton()->click();
  return dialog.result() == QDialog::Accepted;
}

class TrendChartDialog : public ElementDialogTest {
 protected:
  TGroupBoxCurrent dialog;
};

TEST_F(TrendChartDialog, AFreshChartShowsItsValuesInTheirRanges) {
  const int s = Place(kKindTrendChart);
  auto expected = Copy();
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.windowTitle(), "历史趋势图属性 ");
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "数据来源D:");
    EXPECT_EQ(dialog.DataTypeCombo()->currentText(), "16 位");
    EXPECT_EQ(dialog.GridColumnsSpin()->value(), 6);
    EXPECT_EQ(dialog.GridRowsSpin()->value(), 3);
    EXPECT_EQ(dialog.GridColumnsSpin()->toolTip(), "0  ~ 15");
    EXPECT_EQ(dialog.GridRowsSpin()->toolTip(), "0  ~ 31");
    EXPECT_EQ(dialog.FullScaleSpin()->value(), 1000);
    EXPECT_EQ(dialog.FullScaleSpin()->toolTip(), "0 ~ 65535");
    EXPECT_EQ(dialog.ZeroSpin()->toolTip(), "0 ~ 65535");
    EXPECT_EQ(dialog.DataPointsSpin()->value(), 63);  // placed as 256
    EXPECT_EQ(dialog.DataPointsSpin()->toolTip(), "0 ~ 63");
    EXPECT_EQ(dialog.IntervalSpin()->value(), 0x300);
    EXPECT_EQ(dialog.IntervalSpin()->toolTip(), "0 ~ 60000");
    EXPECT_FALSE(dialog.GridCheck()->isChecked());
    EXPECT_TRUE(dialog.LabelFormatCombo()->isHidden());
    EXPECT_TRUE(dialog.LabelFontCombo()->isHidden());
    EXPECT_TRUE(dialog.TimeLabelsCheck()->isHidden());
    EXPECT_EQ(dialog.LabelFormatCombo()->currentIndex(), -1);  // placed as 48
    EXPECT_EQ(dialog.LabelFontCombo()->currentIndex(), 0);
  });
  expected->ElemWordC[s] = 63;
  expected->ElemByteF[s] = 255;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(TrendChartDialog, OkStoresEveryFieldPacked) {
  const int s = Place(kKindTrendChart);
  page().ElemByteF[s] = 1;  // HH:MM
  page().ElemWordE[s] = 3;
  page().ElemByteC[s] = 1;  // time labels from elsewhere
  auto expected = Copy();
  nextColour_ = 0x00FF00;
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.LabelFormatCombo()->currentText(), "HH:MM");
    EXPECT_EQ(dialog.LabelFontCombo()->currentText(), "48*48");
    ChooseKind(dialog.Operand(), 1);
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "数据来源R:");
    TypeAndLeave(dialog.Operand()->NumberSpin(), "321");
    dialog.DataTypeCombo()->setCurrentIndex(1);
    dialog.GridColumnsSpin()->setValue(15);
    dialog.GridRowsSpin()->setValue(31);
    TypeAndLeave(dialog.FullScaleSpin(), "100000");
    TypeAndLeave(dialog.ZeroSpin(), "20");
    dialog.DataPointsSpin()->setValue(10);
    dialog.IntervalSpin()->setValue(60000);
    dialog.GridCheck()->setChecked(true);
    dialog.Frame()->ForeColour()->click();
    dialog.Frame()->LeftSpin()->setValue(10);
  });
  expected->ElemLeft[s] = 15;
  expected->ElemByteB[s] = 0x11;  // data type 32 bit, kind R, Link 1
  expected->ElemWordA[s] = 321;
  expected->ElemWordB[s] = 0x0F1F;
  expected->ElemLongC[s] = 100000;
  expected->ElemLongD[s] = 20;
  expected->ElemWordC[s] = 10;
  expected->ElemWordD[s] = 60000;
  expected->ElemByteE[s] = 1;
  expected->ElemByteC[s] = 0;  // the time labels are always written off
  expected->ElemLongB[s] = 0x00FF00;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(TrendChartDialog, StoredValuesOutsideTheRangesComeBackAtTheNearerBound) {
  struct Case {
    const char* name;
    std::function<void(model::PageRecord&, int)> stored;
    std::function<void(model::PageRecord&, int)> confirmed;
  };
  const Case cases[] = {
      {"grid", [](auto& p, int s) { p.ElemWordB[s] = 0x0128; },
       [](auto& p, int s) { p.ElemWordB[s] = 0x021F; }},
      {"interval", [](auto& p, int s) { p.ElemWordD[s] = 0; },
       [](auto& p, int s) { p.ElemWordD[s] = 1; }},
      {"16-bit full scale", [](auto& p, int s) { p.ElemLongC[s] = 70000; },
       [](auto& p, int s) { p.ElemLongC[s] = 65535; }},
      {"32-bit full scale",
       [](auto& p, int s) {
         p.ElemByteB[s] = 1;
         p.ElemLongC[s] = 70000;
       },
       nullptr},
      {"zero stays 16 bit",
       [](auto& p, int s) {
         p.ElemByteB[s] = 1;
         p.ElemLongC[s] = 100000;
         p.ElemLongD[s] = 70000;
       },
       [](auto& p, int s) { p.ElemLongD[s] = 65535; }},
      {"label font", [](auto& p, int s) { p.ElemWordE[s] = 9; },
       [](auto& p, int s) { p.ElemWordE[s] = 65535; }},
  };
  for (const Case& c : cases) {
    const int s = Place(kKindTrendChart);
    page().ElemWordC[s] = 20;
    page().ElemByteF[s] = 0;
    c.stored(page(), s);
    auto expected = Copy();
    if (c.confirmed) c.confirmed(*expected, s);
    EXPECT_TRUE(Run(dialog, s)) << c.name;
    EXPECT_TRUE(SameBytes(*expected)) << c.name;
  }
}

TEST_F(TrendChartDialog, TheDataTypeSetsTheFullScaleRange) {
  const int s = Place(kKindTrendChart);
  page().ElemByteB[s] = 1;
  page().ElemLongC[s] = 100000;
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.FullScaleSpin()->value(), 100000);
    EXPECT_EQ(dialog.FullScaleSpin()->toolTip(), "0 ~ 999999999");
    dialog.DataTypeCombo()->setCurrentIndex(0);
    EXPECT_EQ(dialog.FullScaleSpin()->value(), 65535);
    EXPECT_EQ(dialog.FullScaleSpin()->toolTip(), "0 ~ 65535");
    dialog.DataTypeCombo()->setCurrentIndex(1);
    EXPECT_EQ(dialog.FullScaleSpin()->maximum(), 999999999);
    EXPECT_EQ(dialog.FullScaleSpin()->value(), 65535);  // lowered, not given back
  });
  EXPECT_EQ(page().ElemLongC[s], 65535);
  EXPECT_EQ(page().ElemByteB[s], 1);
}

TEST_F(TrendChartDialog, AZeroNotBelowTheFullScaleIsRefusedWithTheFullScaleFocused) {
  const int s = Place(kKindTrendChart);
  bool firstOk = true;
  const bool accepted = Run(dialog, s, [&] {
    dialog.FullScaleSpin()->setValue(100);
    dialog.ZeroSpin()->setValue(100);
    dialog.GridCheck()->setChecked(true);
    firstOk = OkOnScreen(dialog);
    EXPECT_TRUE(dialog.FullScaleSpin()->hasFocus());
    EXPECT_EQ(page().ElemByteE[s], 0);  // nothing written yet
    dialog.ZeroSpin()->setValue(99);
  });
  EXPECT_FALSE(firstOk);
  EXPECT_EQ(messages_, std::vector<std::string>{"满额度值必须 > 零额度值 ！"});
  EXPECT_TRUE(accepted);
  EXPECT_EQ(page().ElemLongC[s], 100);
  EXPECT_EQ(page().ElemLongD[s], 99);
  EXPECT_EQ(page().ElemByteE[s], 1);

  chinese_ = false;
  messages_.clear();
  Run(
      dialog, s, [&] { dialog.ZeroSpin()->setValue(200); }, Finish::Ok);
  EXPECT_EQ(messages_, std::vector<std::string>{"Full limit value must be > zero limit value!"});
}

TEST_F(TrendChartDialog, Link2AndEnglishCaptions) {
  chinese_ = false;
  const int s = Place(kKindTrendChart);
  page().ElemByteB[s] = 0x90;  // Link 2, kind 1 (3X, up to 500)
  page().ElemWordA[s] = 800;
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Operand()->KindCombo()->currentText(), "3X");
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "DatSources3X:");
    EXPECT_EQ(dialog.Operand()->NumberSpin()->value(), 500);
    dialog.Operand()->HelpButton()->click();
  });
  EXPECT_EQ(page().ElemByteB[s], 0x90);
  EXPECT_EQ(page().ElemWordA[s], 500);
  EXPECT_EQ(helpLinks_, std::vector<int>{1});
}

class BarGraphDialog : public ElementDialogTest {
 protected:
  TGroupBoxVirgate dialog;
};

TEST_F(BarGraphDialog, AFreshBarKeepsSolidUpward) {
  const int s = Place(kKindBarGraph);
  auto expected = Copy();
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.windowTitle(), " 棒状图属性 ");
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "寄存器号D:");
    EXPECT_EQ(dialog.DirectionCombo()->currentText(), "向上");
    EXPECT_EQ(dialog.PatternCombo()->currentIndex(), 0);
    EXPECT_TRUE(dialog.PatternCombo()->isHidden());
    EXPECT_EQ(dialog.FullScaleSpin()->value(), 65535);
    EXPECT_EQ(dialog.FullScaleIndirectCheck()->text(), "间接 D:");
    EXPECT_EQ(dialog.ZeroIndirectCheck()->text(), "间接 D:");
    EXPECT_EQ(dialog.FullScaleRegisterSpin()->toolTip(), "0 ~ 65000");
    EXPECT_TRUE(dialog.FullScaleSpin()->isEnabled());
    EXPECT_FALSE(dialog.FullScaleRegisterSpin()->isEnabled());
    EXPECT_TRUE(dialog.ZeroSpin()->isEnabled());
    EXPECT_FALSE(dialog.ZeroRegisterSpin()->isEnabled());
  });
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(BarGraphDialog, IndirectBoxesSwapConstantForRegister) {
  const int s = Place(kKindBarGraph);
  page().ElemByteE[s] = 1;
  page().ElemWordD[s] = 44;
  auto expected = Copy();
  Run(dialog, s, [&] {
    // Applied when the dialog opens.
    EXPECT_TRUE(dialog.ZeroRegisterSpin()->isEnabled());
    EXPECT_FALSE(dialog.ZeroSpin()->isEnabled());
    EXPECT_EQ(dialog.ZeroRegisterSpin()->value(), 44);
    dialog.FullScaleIndirectCheck()->setChecked(true);
    EXPECT_TRUE(dialog.FullScaleRegisterSpin()->isEnabled());
    EXPECT_FALSE(dialog.FullScaleSpin()->isEnabled());
    TypeAndLeave(dialog.FullScaleRegisterSpin(), "70000");  // above D's 65000
    dialog.ZeroIndirectCheck()->setChecked(false);
    EXPECT_TRUE(dialog.ZeroSpin()->isEnabled());
    EXPECT_FALSE(dialog.ZeroRegisterSpin()->isEnabled());
  });
  expected->ElemByteC[s] = 1;
  expected->ElemByteE[s] = 0;
  expected->ElemWordB[s] = 65000;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(BarGraphDialog, OkStoresEveryFieldPacked) {
  const int s = Place(kKindBarGraph);
  page().ElemWordC[s] = 0x0005;  // rising diagonals, up
  auto expected = Copy();
  Run(dialog, s, [&] {
    ChooseKind(dialog.Operand(), 1);
    TypeAndLeave(dialog.Operand()->NumberSpin(), "77");
    dialog.DataTypeCombo()->setCurrentIndex(1);
    dialog.DirectionCombo()->setCurrentIndex(2);
    TypeAndLeave(dialog.FullScaleSpin(), "123456789");
    TypeAndLeave(dialog.ZeroSpin(), "100000");
    dialog.ZeroIndirectCheck()->setChecked(true);
    TypeAndLeave(dialog.ZeroRegisterSpin(), "12");
    dialog.Frame()->MoveLock()->setChecked(true);
  });
  expected->ElemByteA[s] = 1;
  expected->ElemByteB[s] = 0x11;
  expected->ElemWordA[s] = 77;
  expected->ElemWordC[s] = 0x0205;  // the hidden pattern carried through
  expected->ElemLongC[s] = 123456789;
  expected->ElemLongD[s] = 100000;
  expected->ElemByteE[s] = 1;
  expected->ElemWordD[s] = 12;
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(BarGraphDialog, SixteenBitsLowerBothConstants) {
  const int s = Place(kKindBarGraph);
  page().ElemByteB[s] = 1;
  page().ElemLongC[s] = 100000;
  page().ElemLongD[s] = 90000;
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.ZeroSpin()->toolTip(), "0 ~ 999999999");
    dialog.DataTypeCombo()->setCurrentIndex(0);
    EXPECT_EQ(dialog.FullScaleSpin()->value(), 65535);
    EXPECT_EQ(dialog.ZeroSpin()->value(), 65535);
    EXPECT_EQ(dialog.ZeroSpin()->toolTip(), "0 ~ 65535");
    dialog.ZeroSpin()->setValue(0);
  });
  EXPECT_EQ(page().ElemByteB[s], 0);
  EXPECT_EQ(page().ElemLongC[s], 65535);
  EXPECT_EQ(page().ElemLongD[s], 0);
}

TEST_F(BarGraphDialog, EqualConstantsAreRefusedUntilOneIsIndirect) {
  const int s = Place(kKindBarGraph);
  bool firstOk = true;
  const bool accepted = Run(dialog, s, [&] {
    dialog.FullScaleSpin()->setValue(100);
    dialog.ZeroSpin()->setValue(100);
    firstOk = OkOnScreen(dialog);
    EXPECT_TRUE(dialog.FullScaleSpin()->hasFocus());
    EXPECT_EQ(page().ElemLongC[s], 65535);  // nothing written yet
    dialog.FullScaleIndirectCheck()->setChecked(true);
  });
  EXPECT_FALSE(firstOk);
  EXPECT_EQ(messages_, std::vector<std::string>{"满额度值必须 > 零额度值 ！"});
  EXPECT_TRUE(accepted);
  EXPECT_EQ(page().ElemByteC[s], 1);
  EXPECT_EQ(page().ElemLongC[s], 100);
  EXPECT_EQ(page().ElemLongD[s], 100);
}

TEST_F(BarGraphDialog, TheKindNamesAndLimitsTheIndirectRegisters) {
  const int s = Place(kKindBarGraph);
  page().ElemWordB[s] = 40000;
  page().ElemWordD[s] = 30000;
  Run(dialog, s, [&] {
    ChooseKind(dialog.Operand(), 1);  // R, up to 32767
    EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "寄存器号R:");
    EXPECT_EQ(dialog.FullScaleIndirectCheck()->text(), "间接 R:");
    EXPECT_EQ(dialog.ZeroIndirectCheck()->text(), "间接 R:");
    EXPECT_EQ(dialog.FullScaleRegisterSpin()->maximum(), 32767);
    EXPECT_EQ(dialog.FullScaleRegisterSpin()->toolTip(), "0 ~ 32767");
    EXPECT_EQ(dialog.ZeroRegisterSpin()->toolTip(), "0 ~ 32767");
    EXPECT_EQ(dialog.FullScaleRegisterSpin()->value(), 32767);
    EXPECT_EQ(dialog.ZeroRegisterSpin()->value(), 30000);
  });
  EXPECT_EQ(page().ElemWordB[s], 32767);
  EXPECT_EQ(page().ElemWordD[s], 30000);

  chinese_ = false;
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.FullScaleIndirectCheck()->text(), "Indirect R:");
        EXPECT_EQ(dialog.Operand()->RegisterLabel()->text(), "Register R:");
      },
      Finish::Cancel);
}

TEST_F(BarGraphDialog, APatternTheListLacksIsStoredAsNoneAndKeepsTheDirection) {
  const int s = Place(kKindBarGraph);
  page().ElemWordC[s] = 0x0209;  // right, pattern 9
  Run(dialog, s, [&] { EXPECT_EQ(dialog.PatternCombo()->currentIndex(), -1); });
  EXPECT_EQ(page().ElemWordC[s], 0x02FF);
}

// The list draws its own items: a 52 x 16 sample 2 pixels in, on items 20 high.
TEST_F(BarGraphDialog, ThePatternListDrawsItsSamples) {
  QComboBox* list = dialog.PatternCombo();
  ASSERT_EQ(list->count(), 8);
  QAbstractItemDelegate* delegate = list->itemDelegate();
  QStyleOptionViewItem option;
  option.rect = QRect(0, 0, 60, 20);
  option.palette = list->palette();
  option.palette.setColor(QPalette::Base, Qt::red);
  EXPECT_EQ(delegate->sizeHint(option, list->model()->index(0, 0)).height(), 20);
  struct Case {
    int pattern;
    QRgb inside;  // the sample's first pixel
  };
  for (const Case& c : {Case{0, qRgb(0, 0, 0)}, Case{1, qRgb(255, 255, 255)},
                        Case{2, qRgb(0, 0, 0)}, Case{3, qRgb(0, 0, 0)}}) {
    QImage item(60, 20, QImage::Format_RGB32);
    item.fill(Qt::blue);
    {
      QPainter painter(&item);
      delegate->paint(&painter, option, list->model()->index(c.pattern, 0));
    }
    EXPECT_EQ(item.pixel(1, 1), qRgb(255, 0, 0)) << c.pattern << ": the item's ground";
    EXPECT_EQ(item.pixel(2, 2), c.inside) << c.pattern;
    EXPECT_EQ(item.pixel(2 + 52, 2), qRgb(255, 0, 0)) << c.pattern << ": 52 wide";
    EXPECT_EQ(item.pixel(2, 2 + 16), qRgb(255, 0, 0)) << c.pattern << ": 16 high";
  }
  // Horizontal lines every eighth row, white between them.
  QImage item(60, 20, QImage::Format_RGB32);
  {
    QPainter painter(&item);
    delegate->paint(&painter, option, list->model()->index(2, 0));
  }
  EXPECT_EQ(item.pixel(10, 2 + 1), qRgb(255, 255, 255));
  EXPECT_EQ(item.pixel(10, 2 + 8), qRgb(0, 0, 0));
  EXPECT_FALSE(list->itemIcon(0).isNull());
}

// A protocol the device resources do not have: kind, register and the bar's indirect
// registers are shown and kept, not lowered to what an empty list would allow.
TEST_F(BarGraphDialog, AnUnknownProtocolKeepsKindAndRegisters) {
  lists_.unknownLink1Protocol = 40;
  TGroupBoxCurrent chart;
  for (int kind : {kKindTrendChart, kKindBarGraph}) {
    const int s = Place(kind);
    page().ElemByteB[s] = 0x50;  // kind 5
    page().ElemWordA[s] = 65535;
    if (kind == kKindBarGraph) {
      page().ElemByteC[s] = 1;
      page().ElemWordB[s] = 65535;
      page().ElemWordD[s] = 60000;
    } else {
      page().ElemWordC[s] = 20;
      page().ElemByteF[s] = 0;
    }
    auto expected = Copy();
    TElementDialog& shown = kind == kKindBarGraph ? static_cast<TElementDialog&>(dialog) : chart;
    Run(shown, s, [&] {
      auto* operand = shown.findChild<OperandSelector*>();
      EXPECT_EQ(operand->KindCombo()->currentText(), "未知 (5)") << kind;
      EXPECT_EQ(operand->NumberSpin()->value(), 65535) << kind;
    });
    EXPECT_TRUE(SameBytes(*expected)) << kind;
  }
}

}  // namespace
}  // namespace dravik::elements
