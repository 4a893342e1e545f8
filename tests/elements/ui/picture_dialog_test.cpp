// The picture element dialog over a real picture library: the picture shown and chosen
// anew (the element takes its size), a picture gone from the library, the bit that may
// hide the picture, and what OK packs into the operand byte.

#include <QCheckBox>
#include <QLabel>
#include <QPixmap>

#include "element_dialog_fixture.h"
#include "elements/element_kind.h"
#include "elements/ui/group_box_bmp.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"
#include "pictures/picture_fixtures.h"
#include "pictures/picture_library.h"
#include "support/temp_dir.h"

namespace dravik::elements {
namespace {

class PictureDialog : public ElementDialogTest {
 protected:
  PictureDialog() {
    test::WriteText(project, "project");
    EXPECT_TRUE(library.ADOConnected(project).ok());
    wide = Add("wide.bmp", 64, 32);
    tall = Add("tall.bmp", 20, 50);
  }

  int Add(const std::string& name, int width, int height) {
    const std::filesystem::path file = dir / name;
    test::WriteAll(file, test::MakeBmp({}, width, height));
    Result<int> id = library.AddPicture(file);
    EXPECT_TRUE(id.ok());
    return id.ok() ? *id : -1;
  }

  // The dialog with the library, and a library window that answers `answer`.
  bool RunWithLibrary(int slot, const std::function<void()>& act, Finish finish = Finish::Ok) {
    hooks_.execDialog = [&](QDialog* shown) {
      if (act) act();
      if (finish == Finish::Ok) dialog.OkButton()->click();
      if (finish == Finish::Cancel) dialog.CancelButton()->click();
      return shown->result();
    };
    PropertyContext context = Context();
    context.pictures = &library;
    context.choosePicture = [this](int chosenId) {
      windowOpenedWith.push_back(chosenId);
      return answer.value_or(chosenId);
    };
    return dialog.Edit(page(), slot, context);
  }

  QSize PreviewSize() const { return dialog.Preview()->pixmap().size(); }
  void DoubleClickPreview() { QTest::mouseDClick(dialog.Preview(), Qt::LeftButton); }

  test::TempDir dir;
  std::filesystem::path project = dir / "p.QX3";
  pictures::PictureLibrary library;
  int wide = -1;
  int tall = -1;
  std::optional<int> answer;
  std::vector<int> windowOpenedWith;
  TGroupBoxBmp dialog;
};

TEST_F(PictureDialog, AtTheCornerOfThePageShowsZeroAndStoresFive) {
  const int s = Place(kKindPicture, 5, 5);
  page().ElemWordE[s] = static_cast<std::uint16_t>(wide);
  RunWithLibrary(s, [&] {
    EXPECT_EQ(dialog.Frame()->LeftSpin()->value(), 0);
    EXPECT_EQ(dialog.Frame()->TopSpin()->value(), 0);
    EXPECT_EQ(PreviewSize(), QSize(64, 32));
    EXPECT_TRUE(dialog.Frame()->WidthSpin()->isReadOnly());
    EXPECT_EQ(dialog.Frame()->ForeColour(), nullptr);
  });
  EXPECT_EQ(page().ElemLeft[s], 5);
  EXPECT_EQ(page().ElemTop[s], 5);
}

TEST_F(PictureDialog, ChoosingAPictureTakesItsSize) {
  const int s = Place(kKindPicture);
  page().ElemWordE[s] = static_cast<std::uint16_t>(tall);
  answer = wide;
  RunWithLibrary(s, [&] {
    DoubleClickPreview();
    EXPECT_EQ(dialog.Frame()->WidthSpin()->value(), 64);
    EXPECT_EQ(dialog.Frame()->HeightSpin()->value(), 32);
    EXPECT_EQ(PreviewSize(), QSize(64, 32));
  });
  EXPECT_EQ(windowOpenedWith, std::vector<int>{tall});
  EXPECT_EQ(page().ElemWordE[s], wide);
  EXPECT_EQ(page().ElemWidth[s], 64);
  EXPECT_EQ(page().ElemHeight[s], 32);
}

TEST_F(PictureDialog, CancelAfterChoosingWritesNothing) {
  const int s = Place(kKindPicture);
  auto expected = Copy();
  answer = wide;
  EXPECT_FALSE(RunWithLibrary(s, [&] { DoubleClickPreview(); }, Finish::Cancel));
  EXPECT_TRUE(SameBytes(*expected));
}

TEST_F(PictureDialog, APictureGoneFromTheLibraryShowsThePlaceholderAndKeepsItsId) {
  const int s = Place(kKindPicture);
  page().ElemWordE[s] = 99;
  page().ElemWidth[s] = 40;
  page().ElemHeight[s] = 30;
  // The library window cancelled: the ID stays, and so does the element's size.
  RunWithLibrary(s, [&] {
    EXPECT_EQ(PreviewSize(), QSize(165, 23));
    DoubleClickPreview();
    EXPECT_EQ(dialog.Frame()->WidthSpin()->value(), 40);
  });
  EXPECT_EQ(page().ElemWordE[s], 99);
  EXPECT_EQ(page().ElemWidth[s], 40);
  EXPECT_EQ(page().ElemHeight[s], 30);
}

TEST_F(PictureDialog, VisibilityFieldsOnlyWhileControlled) {
  const int s = Place(kKindPicture);
  RunWithLibrary(s, [&] {
    EXPECT_FALSE(dialog.VisibilityCheck()->isChecked());
    EXPECT_FALSE(dialog.Operand()->KindCombo()->isEnabled());
    dialog.VisibilityCheck()->setChecked(true);
    EXPECT_TRUE(dialog.Operand()->KindCombo()->isEnabled());
    EXPECT_TRUE(dialog.Operand()->NumberSpin()->isEnabled());
  });
  EXPECT_EQ(page().ElemByteD[s], 1);
}

TEST_F(PictureDialog, OperandByteHoldsKindBitAndLink) {
  lists_.B_DeviceName = {"D.b", "M", "W.b"};
  lists_.B_DeviceBit = {"15", "0", "15"};
  lists_.B_DeviceMax = {"65000", "8191", "4095"};
  struct Case {
    int storedLink;
    int kind, number, bit;
    int operandByte;
  };
  const Case cases[] = {{0, 2, 100, 3, 0x23}, {1, 1, 7, 9, 0x80 | 0x10 | 9}};
  for (const Case& c : cases) {
    const int s = Place(kKindPicture);
    page().ElemByteB[s] = static_cast<std::uint8_t>(c.storedLink << 7);
    RunWithLibrary(s, [&] {
      dialog.VisibilityCheck()->setChecked(true);
      dialog.Operand()->KindCombo()->setCurrentIndex(c.kind);
      emit dialog.Operand()->KindCombo()->activated(c.kind);
      dialog.Operand()->NumberSpin()->setValue(c.number);
      dialog.Operand()->BitSpin()->setValue(c.bit);
    });
    EXPECT_EQ(page().ElemByteB[s], c.operandByte) << c.operandByte;
    EXPECT_EQ(page().ElemWordA[s], c.number) << c.operandByte;
  }
}

TEST_F(PictureDialog, HexadecimalKindLowersTypedAddressToItsMaximum) {
  const int s = Place(kKindPicture);
  page().ElemByteB[s] = 2 << 4;  // X: addresses in hexadecimal up to 2047
  page().ElemWordA[s] = 2047;
  page().ElemByteD[s] = 1;
  RunWithLibrary(s, [&] {
    EXPECT_EQ(Shown(dialog.Operand()->NumberSpin()), "7FF");
    TypeAndLeave(dialog.Operand()->NumberSpin(), "800");
    EXPECT_EQ(Shown(dialog.Operand()->NumberSpin()), "7FF");
  });
  EXPECT_EQ(page().ElemWordA[s], 2047);
}

}  // namespace
}  // namespace dravik::elements
