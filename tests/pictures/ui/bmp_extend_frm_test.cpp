// The stretch dialog: its fields, what confirming draws, and the ways out that change
// nothing.

#include "pictures/ui/bmp_extend_frm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "pictures/picture_fixtures.h"
#include "pictures/picture_operations.h"
#include "support/qt_app.h"

namespace dravik::pictures {
namespace {

using test::PatternImage;

class BmpExtendFrmTest : public test::QtTest {
 protected:
  TBmpExtendFrm form;
};

TEST_F(BmpExtendFrmTest, FieldsStartAtThePicturesSizeWithinTheLimits) {
  form.FormShow(PatternImage(30, 20));
  EXPECT_EQ(form.windowTitle(), "拉伸设置");
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.findChild<QLabel*>("TitleStrip")->text(), " 拉 伸 设 置");
  EXPECT_EQ(form.WidthSpin()->value(), 30);
  EXPECT_EQ(form.HeightSpin()->value(), 20);
  EXPECT_EQ(form.WidthSpin()->minimum(), 8);
  EXPECT_EQ(form.WidthSpin()->maximum(), 1280);
  EXPECT_EQ(form.HeightSpin()->minimum(), 8);
  EXPECT_EQ(form.HeightSpin()->maximum(), 1024);
  EXPECT_EQ(form.findChild<QLabel*>("WidthLabel")->buddy(), form.WidthSpin());
  EXPECT_TRUE(form.Stretched().empty());
}

TEST_F(BmpExtendFrmTest, ConfirmDrawsThePictureStretchedAndCloses) {
  form.FormShow(PatternImage(6, 4));
  form.show();
  form.WidthSpin()->selectAll();
  QTest::keyClicks(form.WidthSpin(), "24");  // typed, not yet taken by the field
  form.HeightSpin()->setValue(9);
  form.findChild<QPushButton*>("OkButton")->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  RgbImage expected = PatternImage(6, 4);
  StretchPicture(expected, 24, 9);
  EXPECT_EQ(form.Stretched(), expected);
  EXPECT_EQ(form.PictureLabel()->pixmap().size(), QSize(24, 9));
  EXPECT_TRUE(form.isHidden());

  // Shown again, it offers its fields for the next picture.
  form.FormShow(PatternImage(10, 10));
  EXPECT_TRUE(form.Stretched().empty());
  EXPECT_FALSE(form.WidthSpin()->isHidden());
}

TEST_F(BmpExtendFrmTest, CancelDoubleClickAndExitChangeNothing) {
  form.FormShow(PatternImage(6, 4));
  form.show();
  form.findChild<QPushButton*>("CancelButton")->click();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_TRUE(form.Stretched().empty());

  form.FormShow(PatternImage(6, 4));
  form.show();
  form.setResult(QDialog::Accepted);
  QTest::mouseDClick(form.PictureLabel(), Qt::LeftButton);
  EXPECT_EQ(form.result(), QDialog::Rejected);

  form.FormShow(PatternImage(6, 4));
  form.show();
  form.setResult(QDialog::Accepted);
  auto* exit = form.findChild<QAction*>("ExitItem");
  ASSERT_NE(exit, nullptr);
  EXPECT_EQ(exit->text(), "退出(&E)");
  exit->trigger();
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_TRUE(form.Stretched().empty());
}

}  // namespace
}  // namespace dravik::pictures
