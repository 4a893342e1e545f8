// The register search window with real keys and clicks: the address field's keys and its
// completion against the device kind's maximum, the list and the caption a search makes,
// the show steps, and the jump a double-click asks for.

#include "tools/ui/lookup_frm.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

#include "elements/element_kind.h"
#include "support/qt_app.h"
#include "tools/tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

class LookupFrmTest : public test::QtTest {
 protected:
  LookupFrmTest() {
    hooks.isChinese = [this] { return chinese; };
    frm.SetHooks(hooks);
    frm.Attach(*p.image, lists);
    frm.FormShow();
  }

  // Chooses category, link and device kind as the user would, one combo after the other.
  void Choose(int category, int link, int device) {
    frm.CategoryBox()->setCurrentIndex(category);
    frm.LinkBox()->setCurrentIndex(link);
    frm.DeviceBox()->setCurrentIndex(device);
  }

  // Types `keys` into an emptied address field and presses Enter.
  void Type(const char* keys) {
    frm.AddressEdit()->clear();
    QTest::keyClicks(frm.AddressEdit(), QString::fromLatin1(keys));
    typed = frm.AddressEdit()->text().toStdString();
    QTest::keyClick(frm.AddressEdit(), Qt::Key_Return);
  }

  std::vector<std::string> Rows(int column) {
    std::vector<std::string> rows;
    for (int i = 0; i < frm.List()->topLevelItemCount(); ++i) {
      rows.push_back(frm.List()->topLevelItem(i)->text(column).toStdString());
    }
    return rows;
  }

  ToolsProject p;
  params::DeviceLists lists = TestLists();
  bool chinese = true;
  ui::DesktopHooks hooks;
  TLookupFrm frm;
  std::string typed;
};

struct AddressCase {
  const char* name;
  int category, link, device;
  const char* keys;
  const char* typed;      // what the field takes of the keys
  const char* completed;  // after Enter
  const char* hint;
};

class AddressField : public LookupFrmTest, public testing::WithParamInterface<AddressCase> {};

TEST_P(AddressField, TakesOnlyItsDigitsAndStaysWithinTheMaximum) {
  const AddressCase& c = GetParam();
  Choose(c.category, c.link, c.device);
  Type(c.keys);
  EXPECT_EQ(typed, c.typed);
  EXPECT_EQ(frm.AddressEdit()->text().toStdString(), c.completed);
  EXPECT_EQ(frm.AddressEdit()->toolTip().toStdString(), c.hint);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddressField,
    testing::Values(
        AddressCase{"WordWithinItsMaximum", 0, 0, 0, "100", "100", "100", "0 ~ 65000"},
        AddressCase{"WordAboveItsMaximum", 0, 0, 0, "70000", "70000", "65000", "0 ~ 65000"},
        AddressCase{"AtMostFiveCharacters", 0, 0, 0, "1234567", "12345", "12345", "0 ~ 65000"},
        AddressCase{"MaximumThatIsNoNumberIsZero", 0, 0, 1, "12", "12", "0", "0 ~ 0"},
        AddressCase{"DecimalBitsRefuseLetters", 1, 0, 1, "7F1", "71", "71", "0 ~ 8191"},
        AddressCase{"HexadecimalBitsTakeHexDigits", 1, 0, 2, "7fG", "7f", "7f", "0 ~ 1FFF"},
        AddressCase{"HexadecimalAboveItsMaximum", 1, 0, 2, "FFFFF", "FFFFF", "1FFF", "0 ~ 1FFF"},
        AddressCase{"EmptyIsZero", 0, 0, 0, "", "", "0", "0 ~ 65000"},
        AddressCase{"StationIds", 2, 0, 0, "99999", "99999", "65535", "0 ~ 65535"},
        AddressCase{"Link2Words", 0, 1, 0, "65536", "65536", "65535", "0 ~ 65535"},
        AddressCase{"SignsAndBlanksAreDropped", 0, 0, 0, "-1 2+", "12", "12", "0 ~ 65000"}),
    [](const testing::TestParamInfo<AddressCase>& info) { return std::string(info.param.name); });

TEST_F(LookupFrmTest, TheDeviceKindsFollowCategoryAndLink) {
  const auto items = [](QComboBox* box) {
    std::vector<std::string> texts;
    for (int i = 0; i < box->count(); ++i) texts.push_back(box->itemText(i).toStdString());
    return texts;
  };
  EXPECT_EQ(items(frm.LinkBox()), (std::vector<std::string>{"Link 1", "Link 2"}));
  EXPECT_EQ(items(frm.DeviceBox()), (std::vector<std::string>{"D", "R"}));
  EXPECT_EQ(frm.DeviceBox()->currentIndex(), 0) << "the first kind at first";
  Choose(1, 0, 2);
  EXPECT_EQ(items(frm.DeviceBox()), (std::vector<std::string>{"D.b", "M", "X"}));
  EXPECT_TRUE(frm.Field().hexadecimal);
  frm.AddressEdit()->setText(QStringLiteral("1F"));
  frm.LinkBox()->setCurrentIndex(1);
  EXPECT_EQ(items(frm.DeviceBox()), std::vector<std::string>{"0X"});
  EXPECT_EQ(frm.DeviceBox()->currentIndex(), 0) << "the last kind where the list is shorter";
  EXPECT_EQ(frm.AddressEdit()->text(), QStringLiteral("0"))
      << "a hexadecimal address is not read as decimal";
  frm.CategoryBox()->setCurrentIndex(2);
  EXPECT_EQ(items(frm.DeviceBox()), std::vector<std::string>{"ID"});
}

TEST_F(LookupFrmTest, ASearchListsTheMatchesAndCountsThemInTheCaption) {
  p.UsePage(1, "主画面");
  p.UsePage(3, "趋势");
  const int reg = p.PlaceOperand(1, kKindRegister, 100, 0x00);
  const int bar = p.PlaceOperand(1, kKindBarGraph, 100, 0x00);
  p.PlaceOperand(1, kKindLamp, 100, 0x00);
  const int chart = p.PlaceOperand(3, kKindTrendChart, 100, 0x00);
  p.PlaceOperand(2, kKindRegister, 100, 0x00);  // page 2 is not in use
  frm.SetRowIcon(frm.style()->standardIcon(QStyle::SP_FileIcon));

  Type("100");
  EXPECT_EQ(Rows(kLookupColumnPage), (std::vector<std::string>{"1:主画面", "1:主画面", "3:趋势"}));
  EXPECT_EQ(Rows(kLookupColumnKind), (std::vector<std::string>{"寄存器", "棒状图", "趋势图"}));
  EXPECT_EQ(
      Rows(kLookupColumnSlot),
      (std::vector<std::string>{std::to_string(reg), std::to_string(bar), std::to_string(chart)}));
  EXPECT_TRUE(frm.List()->isColumnHidden(kLookupColumnSlot));
  EXPECT_FALSE(frm.List()->topLevelItem(0)->icon(kLookupColumnPage).isNull());
  EXPECT_EQ(frm.windowTitle(), QStringLiteral("寄存器查找 -> 共计: 3 条"));

  chinese = false;
  frm.AddressEdit()->setText(QStringLiteral("101"));
  QTest::mouseClick(frm.FindButton(), Qt::LeftButton);
  EXPECT_EQ(frm.List()->topLevelItemCount(), 0);
  EXPECT_EQ(frm.windowTitle(), QStringLiteral("Search Register -> Total: 0 Item"));

  frm.AddressEdit()->setText(QStringLiteral("100"));
  frm.FindButton()->click();
  EXPECT_EQ(Rows(kLookupColumnKind),
            (std::vector<std::string>{"Register", "Bar graph", "Tendency chart"}));

  // The show steps start afresh, in the language of the moment.
  frm.FormShow();
  EXPECT_EQ(frm.windowTitle(), QStringLiteral("Search Register"));
  EXPECT_EQ(frm.List()->headerItem()->text(kLookupColumnPage), QStringLiteral("The Window name"));
  EXPECT_EQ(frm.List()->topLevelItemCount(), 0);
}

TEST_F(LookupFrmTest, ALampOnAHexadecimalDeviceIsFoundByItsHexadecimalAddress) {
  p.UsePage(1, "灯");
  const int lamp = p.PlaceOperand(1, kKindLamp, 0x7F, 0x20);  // X07F on Link 1
  p.PlaceOperand(1, kKindLamp, 0x7F, 0x10);                   // M127
  Choose(1, 0, 2);
  Type("7f");
  ASSERT_EQ(frm.Matches().size(), 1u);
  EXPECT_EQ(frm.Matches()[0].slot, lamp);
  EXPECT_EQ(Rows(kLookupColumnKind), std::vector<std::string>{"指示灯"});
}

TEST_F(LookupFrmTest, ADoubleClickAsksForTheElement) {
  p.UsePage(4, "四");
  p.PlaceOperand(4, kKindRegister, 9, 0x00);
  const int second = p.PlaceOperand(4, kKindRegister, 9, 0x00);
  QSignalSpy jumps(&frm, &TLookupFrm::jumpRequested);
  frm.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
  Type("9");
  ASSERT_EQ(frm.List()->topLevelItemCount(), 2);

  QTreeWidgetItem* row = frm.List()->topLevelItem(1);
  const QPoint at = frm.List()->visualItemRect(row).center();
  QTest::mouseClick(frm.List()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  QTest::mouseDClick(frm.List()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_EQ(jumps.count(), 1);
  EXPECT_EQ(jumps[0][0].toInt(), 4);
  EXPECT_EQ(jumps[0][1].toInt(), second);

  p.image->Page(4).PageStrings[model::kPageInUse].Assign("");
  frm.ListView1DblClick(1);
  EXPECT_EQ(jumps.count(), 1) << "a page deleted since the search has nothing to show";
}

TEST_F(LookupFrmTest, EscClosesTheWindow) {
  frm.ShowLookup();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
  EXPECT_FALSE(frm.isModal());
  QTest::keyClick(frm.AddressEdit(), Qt::Key_Escape);
  EXPECT_FALSE(frm.isVisible());
}

}  // namespace
}  // namespace dravik::tools
