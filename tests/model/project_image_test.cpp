#include "model/project_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "model/settings_page.h"

namespace dravik::model {
namespace {

TEST(ShortString, KeepsBytesAfterTheTextAndCutsByBytes) {
  ShortString20 s;
  s.Assign("ABCDEFGH");
  s.Assign("xy");
  EXPECT_EQ(s.View(), "xy");
  EXPECT_EQ(s.RawChars()[2], 'C') << "bytes after a shorter text stay as they were";

  s.Assign("123456789012345678901");  // 21 bytes
  EXPECT_EQ(s.View(), "12345678901234567890");
  // A double-byte character at the edge is cut in half, as the file format does.
  const std::string endsInChinese = std::string(19, 'a') + "\xD6\xD0";
  s.Assign(endsInChinese);
  EXPECT_EQ(s.Length(), 20u);
  EXPECT_EQ(static_cast<unsigned char>(s.View().back()), 0xD6);
}

TEST(ShortString, EqualityComparesLengthAndText) {
  ShortString20 a, b;
  a.Assign("Use-extra");
  a.Assign("Use");
  b.Assign("Use");
  EXPECT_EQ(a, b) << "stale bytes after the text do not count";
  EXPECT_TRUE(a == "Use");
  EXPECT_FALSE(a == "Use ");
}

TEST(ShortString, ADamagedLengthByteIsClampedToTheCapacity) {
  ShortString20 s;
  std::memset(reinterpret_cast<unsigned char*>(&s), 200, 1);
  EXPECT_EQ(s.Length(), 20u);
}

TEST(PageRecord, FieldsLandAtTheirFileOffsets) {
  // The static_asserts pin the offsets; this checks the byte order of the values.
  auto record = std::make_unique<PageRecord>();
  record->ElemLongA[1] = -2;
  record->ElemWordA[0] = 0x257B;
  record->PageStrings[kPageInUse] = "Use";
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.get());
  EXPECT_EQ(bytes[190952 + 4], 0xFE);
  EXPECT_EQ(bytes[190952 + 7], 0xFF);
  EXPECT_EQ(bytes[192560], 0x7B);
  EXPECT_EQ(bytes[192561], 0x25);
  EXPECT_EQ(bytes[42], 3);
  EXPECT_EQ(std::memcmp(bytes + 43, "Use", 3), 0);
}

class ImageTest : public testing::Test {
 protected:
  void Use(int n) { image.Page(n).PageStrings[kPageInUse] = "Use"; }
  ProjectImage image;
};

TEST_F(ImageTest, InUseMeansExactlyUse) {
  const char* markers[] = {"use", "Use ", "USE", "Us", ""};
  for (const char* marker : markers) {
    image.Page(3).PageStrings[kPageInUse] = marker;
    EXPECT_FALSE(image.IsPageUsed(3)) << '"' << marker << '"';
  }
  Use(3);
  EXPECT_TRUE(image.IsPageUsed(3));
}

TEST_F(ImageTest, HighestAndFirstUsedPage) {
  EXPECT_EQ(image.HighestUsedPage(), 0);
  EXPECT_EQ(image.FirstUsedPage(), 0);
  Use(240);
  EXPECT_EQ(image.HighestUsedPage(), 240);
  EXPECT_EQ(image.FirstUsedPage(), 240);
  Use(7);
  EXPECT_EQ(image.HighestUsedPage(), 240);
  EXPECT_EQ(image.FirstUsedPage(), 7);
}

TEST_F(ImageTest, ClearPagesForLoadTouchesOnlyKindsAndStringLengths) {
  PageRecord& page = image.Page(5);
  page.ElemKind[10] = 2;
  page.ElemWordA[10] = 77;
  page.PageStrings[kPageName] = "Motor";
  image.Settings().ElemKind[198] = 168;
  image.ClearPagesForLoad();
  EXPECT_EQ(page.ElemKind[10], 0);
  EXPECT_EQ(page.ElemWordA[10], 77);
  EXPECT_TRUE(page.PageStrings[kPageName].Empty());
  EXPECT_EQ(page.PageStrings[kPageName].RawChars()[0], 'M');
  EXPECT_EQ(image.Settings().ElemKind[198], 0);
}

TEST(TextEntry, AddressesBothLanguagesOfBothSlotRanges) {
  EXPECT_EQ(TextEntry(135, 0, 0), 0);
  EXPECT_EQ(TextEntry(135, 1, 0), 100);
  EXPECT_EQ(TextEntry(149, 1, 99), 200 * 14 + 199);
  EXPECT_EQ(TextEntry(150, 0, 0), 3010);
  EXPECT_EQ(TextEntry(150, 1, 19), 3049);
  EXPECT_EQ(TextEntry(199, 1, 19), 3010 + 40 * 49 + 39);
  EXPECT_EQ(TextEntry(134, 0, 0), std::nullopt);
  EXPECT_EQ(TextEntry(200, 0, 0), std::nullopt);
  EXPECT_EQ(TextEntry(160, 0, 20), std::nullopt);
}

TEST(CopyElement, CopiesAllEntriesAndTheStatesBothSlotsHold) {
  auto from = std::make_unique<PageRecord>();
  auto to = std::make_unique<PageRecord>();
  from->ElemKind[140] = 7;
  from->ElemLongD[140] = 123456;
  from->ElemTextB[140] = "B-text";
  for (int j = 0; j < 100; ++j) {
    from->DynTextStates[*TextEntry(140, 0, j)] = "one" + std::to_string(j);
    from->DynTextStates[*TextEntry(140, 1, j)] = "two" + std::to_string(j);
  }

  CopyElement(*from, 140, *to, 160);
  EXPECT_EQ(to->ElemKind[160], 7);
  EXPECT_EQ(to->ElemLongD[160], 123456);
  EXPECT_EQ(to->ElemTextB[160].View(), "B-text");
  EXPECT_EQ(to->DynTextStates[*TextEntry(160, 0, 19)].View(), "one19");
  EXPECT_EQ(to->DynTextStates[*TextEntry(160, 1, 0)].View(), "two0");
  EXPECT_EQ(to->DynTextStates[*TextEntry(160, 1, 19)].View(), "two19");
  EXPECT_TRUE(to->DynTextStates[*TextEntry(161, 0, 0)].Empty()) << "states 20.. have no place in slot 160";

  // Into a low slot no state is copied.
  auto low = std::make_unique<PageRecord>();
  CopyElement(*from, 140, *low, 3);
  EXPECT_EQ(low->ElemKind[3], 7);
  for (const auto& state : low->DynTextStates) ASSERT_TRUE(state.Empty());
}

TEST(SettingsOnOpen, AFastReadKindZeroIsKeptInAFileDravikWrote) {
  auto image = std::make_unique<ProjectImage>();
  PageRecord& s = image->Settings();
  // A file from before the entries existed: both 0, read as kind 8.
  At(s, settings::kFastReadKind) = 0;
  At(s, settings::kReservedLongC63) = 0;
  RepairSettingsOnOpen(s);
  EXPECT_EQ(At(s, settings::kFastReadKind), 8);
  EXPECT_EQ(At(s, settings::kReservedLongC63), 8);
  // The user chose the protocol's first kind and saved: it survives the next open.
  At(s, settings::kFastReadKind) = 0;
  RepairSettingsOnOpen(s);
  EXPECT_EQ(At(s, settings::kFastReadKind), 0);
}

}  // namespace
}  // namespace dravik::model
