// The drawing dialog: the fields each of its four kinds shows, its caption, the line's end
// points, and what OK keeps.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/group_draw_picture.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"

namespace dravik::elements {
namespace {

class DrawingDialog : public ElementDialogTest {
 protected:
  TGroupDrawPicture dialog;
};

TEST_F(DrawingDialog, EachKindShowsItsOwnFields) {
  struct Case {
    int kind;
    const char* caption;
    bool registers, outline, display, scaleFields, lineWidth, flag;
    const char* flagCaption;
  };
  const Case cases[] = {
      {kKindRectangle, "长方形元素属性", true, true, false, false, false, true, "填充"},
      {kKindEllipse, "椭圆形元素属性", true, false, false, false, false, true, "填充"},
      {kKindScale, "刻度元素属性", false, false, true, true, false, true, "显示坐标轴"},
      {kKindLine, "线元素属性", false, false, true, false, true, false, nullptr},
  };
  for (const Case& c : cases) {
    const int s = Place(c.kind);
    Run(
        dialog, s,
        [&] {
          EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(c.caption));
          EXPECT_EQ(!dialog.RegisterGroup()->isHidden(), c.registers) << c.caption;
          EXPECT_EQ(!dialog.OutlineCombo()->isHidden(), c.outline) << c.caption;
          EXPECT_EQ(!dialog.DisplayGroup()->isHidden(), c.display) << c.caption;
          EXPECT_EQ(!dialog.MajorSpin()->isHidden(), c.scaleFields) << c.caption;
          EXPECT_EQ(!dialog.LineWidthSpin()->isHidden(), c.lineWidth) << c.caption;
          EXPECT_EQ(!dialog.FlagCheck()->isHidden(), c.flag) << c.caption;
          if (c.flagCaption != nullptr) {
            EXPECT_EQ(dialog.FlagCheck()->text(), QString::fromUtf8(c.flagCaption));
          }
          EXPECT_EQ(dialog.Frame()->BackColour(), nullptr);
          if (c.kind != kKindLine) {
            EXPECT_EQ(dialog.Frame()->WidthSpin()->minimum(), 2) << c.caption;
            EXPECT_TRUE(dialog.Frame()->WidthSpin()->isEnabled()) << c.caption;
          }
        },
        Finish::Cancel);
  }
  chinese_ = false;
  Run(
      dialog, Place(kKindRectangle),
      [&] {
        EXPECT_EQ(dialog.windowTitle(), "Rectangle Element Attribute");
        EXPECT_EQ(dialog.FlagCheck()->text(), "Fill");
        EXPECT_EQ(dialog.Frame()->FieldLabels()[3]->text(), "High:");
        // After a line, the frame is a frame again.
        EXPECT_TRUE(dialog.Frame()->LeftSpin()->isEnabled());
        EXPECT_EQ(dialog.Frame()->WidthSpin()->minimum(), 2);
        EXPECT_EQ(dialog.Register(TGroupDrawPicture::kVertical).label->text(), "RegisterD:");
      },
      Finish::Cancel);
}

TEST_F(DrawingDialog, ALineShowsItsEndPointsAndKeepsItsGeometry) {
  const int s = Place(kKindLine);
  page().ElemLeft[s] = 15;
  page().ElemTop[s] = 25;
  page().ElemWidth[s] = 40;
  page().ElemHeight[s] = 20;
  auto expected = Copy();
  Run(dialog, s, [&] {
    EXPECT_EQ(dialog.Frame()->FieldLabels()[0]->text(), "X1:");
    EXPECT_EQ(dialog.Frame()->LeftSpin()->value(), 11);
    EXPECT_EQ(dialog.Frame()->TopSpin()->value(), 22);
    EXPECT_EQ(dialog.Frame()->WidthSpin()->value(), 49);
    EXPECT_EQ(dialog.Frame()->HeightSpin()->value(), 39);
    EXPECT_FALSE(dialog.Frame()->LeftSpin()->isEnabled());
    dialog.LineWidthSpin()->setValue(2);
  });
  expected->ElemWordC[s] = 2;
  EXPECT_TRUE(SameBytes(*expected));

  page().ElemByteD[s] = 1;  // rising
  Run(
      dialog, s,
      [&] {
        EXPECT_EQ(dialog.Frame()->TopSpin()->value(), 39);
        EXPECT_EQ(dialog.Frame()->HeightSpin()->value(), 21);
      },
      Finish::Cancel);
}

TEST_F(DrawingDialog, RectangleRegistersFollowTheirBoxesAndTheKind) {
  const int s = Place(kKindRectangle);
  page().ElemLongC[s] = 1234;
  Run(dialog, s, [&] {
    const auto& horizontal = dialog.Register(TGroupDrawPicture::kHorizontal);
    EXPECT_FALSE(horizontal.number->isEnabled());
    EXPECT_FALSE(horizontal.label->isEnabled());
    EXPECT_EQ(horizontal.label->text(), "寄存器号D:");
    EXPECT_EQ(horizontal.number->toolTip(), "0 ~ 65000");
    dialog.Register(TGroupDrawPicture::kVisibility).check->setChecked(true);
    EXPECT_TRUE(dialog.Register(TGroupDrawPicture::kVisibility).number->isEnabled());
    dialog.Register(TGroupDrawPicture::kVisibility).number->setValue(40000);
    dialog.Operand()->KindCombo()->setCurrentIndex(1);
    emit dialog.Operand()->KindCombo()->activated(1);
    EXPECT_EQ(dialog.Register(TGroupDrawPicture::kVisibility).number->value(), 32767);
    EXPECT_EQ(horizontal.label->text(), "寄存器号R:");
    dialog.OutlineCombo()->setCurrentIndex(1);
    dialog.FlagCheck()->setChecked(true);
  });
  // The cleared box still stores the number its field shows.
  EXPECT_EQ(page().ElemByteC[s], 0);
  EXPECT_EQ(page().ElemLongC[s], 1234);
  EXPECT_EQ(page().ElemByteE[s], 1);
  EXPECT_EQ(page().ElemWordA[s], 32767);
  EXPECT_EQ(page().ElemWordE[s], 1);
  EXPECT_EQ(page().ElemWordD[s], 0x0101);
}

TEST_F(DrawingDialog, ScaleStoresItsDivisionsAndKeepsWhatItDoesNotShow) {
  const int s = Place(kKindScale);
  page().ElemWordD[s] = 0x0801;  // Link 2, axis shown
  auto expected = Copy();
  Run(dialog, s, [&] {
    EXPECT_TRUE(dialog.FlagCheck()->isChecked());
    EXPECT_EQ(dialog.DirectionCombo()->currentIndex(), 2);
    EXPECT_EQ(dialog.MajorSpin()->value(), 5);
    dialog.DirectionCombo()->setCurrentIndex(0);
    dialog.MajorSpin()->setValue(12);
    dialog.MinorSpin()->setValue(3);
    dialog.FlagCheck()->setChecked(false);
  });
  expected->ElemWordB[s] = 0;
  expected->ElemWordA[s] = 12;
  expected->ElemByteB[s] = 3;
  expected->ElemWordD[s] = 0x0800;
  // The line width is not the scale's: ElemWordC keeps its placement value.
  EXPECT_TRUE(SameBytes(*expected));
}

}  // namespace
}  // namespace dravik::elements
