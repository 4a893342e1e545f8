// The page channel of the clipboard: marker texts and the work file.

#include "app/page_clipboard.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/temp_dir.h"

namespace dravik::app {
namespace {

TEST(ClipboardMarker, TwoUpperCaseHexadecimalDigits) {
  EXPECT_EQ(ClipboardMarker(255), "zr_QX:FF");
  EXPECT_EQ(ClipboardMarker(10), "zr_QX:0A");
  EXPECT_EQ(ClipboardMarker(199), "zr_QX:C7");
}

TEST(ClipboardMarker, CodeOfAText) {
  struct Case {
    const char* text;
    std::optional<int> code;
  } cases[] = {
      {"zr_QX:FF", 255},
      {"zr_QX:0A", 10},
      {"zr_QX:c7", 199},
      {"zr_QX:EE02001000100020003003C7", 238},
      {"zr_QX:EE020010001000200030", std::nullopt},  // claims two slots, holds none
      {"zr_QX:ZZ", std::nullopt},
      {"zr_QX:", std::nullopt},
      {"zr_QX", std::nullopt},
      {"Dravik  .New.FileName:=QXP1.QX3", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(MarkerCode(c.text), c.code) << c.text;
}

TEST(ClipboardFile, HoldsExactlyOnePage) {
  test::TempDir dir;
  auto page = std::make_unique<model::PageRecord>();
  page->PageStrings[model::kPageName] = "copied";
  page->ElemKind[17] = 5;
  ASSERT_TRUE(WriteClipboardFile(dir.path(), *page));
  EXPECT_EQ(std::filesystem::file_size(ClipboardFilePath(dir.path())), model::kPageRecordSize);

  auto read = std::make_unique<model::PageRecord>();
  ASSERT_TRUE(ReadClipboardFile(dir.path(), *read));
  EXPECT_EQ(read->PageStrings[model::kPageName].View(), "copied");
  EXPECT_EQ(read->ElemKind[17], 5);
}

TEST(ClipboardFile, AMissingOrShortFileChangesNothing) {
  test::TempDir dir;
  auto page = std::make_unique<model::PageRecord>();
  page->PageStrings[model::kPageName] = "kept";
  EXPECT_FALSE(ReadClipboardFile(dir.path(), *page));
  test::WriteAll(ClipboardFilePath(dir.path()), std::vector<std::uint8_t>(1000, 7));
  EXPECT_FALSE(ReadClipboardFile(dir.path(), *page));
  EXPECT_EQ(page->PageStrings[model::kPageName].View(), "kept");
}

}  // namespace
}  // namespace dravik::app
