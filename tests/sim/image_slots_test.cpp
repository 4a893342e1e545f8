// Image records back in slot arrays: encoding the rebuilt slot gives the record's bytes
// again, for the bundled examples and a project with every kind, so the renderers draw
// what the compiler was given. What the image does not keep is listed where it is held.

#include "sim/image_slots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "all_kinds_page.h"
#include "compiler/element_encoders.h"
#include "compiler/image_writer.h"
#include "compiler/rgb565.h"
#include "elements/element_kind.h"
#include "sim_test_project.h"

namespace dravik::sim {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes EncodeSlot(model::PageRecord& page, int slot, int protocol) {
  compiler::ImageWriter scratch(8192);
  scratch.Seek(compiler::kKindCountTableSize);
  compiler::PageBlockWriter out(scratch, 0);
  compiler::EncodeElement(page, slot, {protocol}, out);
  const auto written = scratch.Written().subspan(compiler::kKindCountTableSize);
  return {written.begin(), written.end()};
}

// Every record of every page, rebuilt into its slot and encoded again, gives its bytes;
// a clock field is written with its slot's ID in place of its clock tag, which is the one
// byte that differs.
void ExpectRecordsComeBack(const compiler::DecodedImage& image) {
  const int protocol = image.Setting(compiler::image_field::kLink1Protocol);
  const auto bytes = image.Bytes();
  for (const compiler::ImagePage& page : image.Pages()) {
    SCOPED_TRACE("page " + std::to_string(page.number));
    RebuiltPage rebuilt = RebuildPage(page, protocol);
    for (std::size_t i = 0; i < page.records.size(); ++i) {
      const compiler::ImageRecord& record = page.records[i];
      SCOPED_TRACE("record " + std::to_string(i) + " kind " + std::to_string(record.Kind()));
      const int slot = rebuilt.slotOfRecord[i];
      // Dates and times expand into several records, so a full page may hold more
      // records than a page has slots; those beyond are not shown.
      if (slot < 0 && page.records.size() > static_cast<std::size_t>(model::kSlotCount)) continue;
      ASSERT_GE(slot, 0);
      EXPECT_EQ(rebuilt.page->ElemKind[slot], record.Kind());
      const auto original = bytes.subspan(record.offset, record.size);
      Bytes expected(original.begin(), original.end());
      Bytes got = EncodeSlot(*rebuilt.page, slot, protocol);
      if (IsClockField(record)) {
        ASSERT_EQ(got.size(), expected.size());
        got.back() = expected.back();
      }
      EXPECT_EQ(got, expected);
    }
    const auto shown = std::count_if(rebuilt.slotOfRecord.begin(), rebuilt.slotOfRecord.end(),
                                     [](int slot) { return slot >= 0; });
    EXPECT_EQ(static_cast<std::size_t>(shown),
              std::min(page.records.size(), static_cast<std::size_t>(model::kSlotCount)));
  }
}

TEST(ImageSlotsTest, TheBundledExamplesComeBackRecordForRecord) {
  const fs::path examples = fs::path(DRAVIK_TEST_SOURCE_DIR) / "data" / "examples";
  int seen = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() != ".QX3") continue;
    SCOPED_TRACE(entry.path().filename().string());
    test::TestProject project;
    for (const char* extension : {".QX3", ".M", ".PIC"}) {
      fs::path from = entry.path();
      from.replace_extension(extension);
      fs::path to = project.File();
      to.replace_extension(extension);
      if (fs::exists(from)) fs::copy_file(from, to);
    }
    ASSERT_FALSE(model::ReadProjectFile(project.Project(), project.File()).has_value());
    ExpectRecordsComeBack(project.Compile());
    ++seen;
  }
  EXPECT_GE(seen, 2);
}

TEST(ImageSlotsTest, EveryKindComesBackIncludingDatesAndTimesInEveryFormat) {
  test::TestProject project;
  bench::FillAllKindsPage(project.Project(), 1);
  bench::FillMixedPage(project.Project(), 3);
  model::PageRecord& page = project.Project().Page(1);
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    const int kind = page.ElemKind[slot];
    if (kind != elements::kKindDate && kind != elements::kKindTime) continue;
    for (int format = 1; format <= 2; ++format) {
      model::PageRecord& other = project.Project().Page(3 + format);
      other = page;
      other.PageStrings[model::kPageNumberText].Assign(std::to_string(3 + format));
      other.ElemByteB[slot] = static_cast<std::uint8_t>(format);
    }
  }
  ExpectRecordsComeBack(project.Compile());
}

TEST(ImageSlotsTest, RecordsKeepTheirSlotsAndThePageItsBackgroundAndKeys) {
  test::TestProject project;
  model::PageRecord& p = project.UsePage(7);
  p.PageStrings[model::kPageBackColorText].Assign(std::to_string(0x0000FF));
  model::PageKeyJump(p, 3).Assign("9");
  const int line = project.Place(7, elements::kKindLine, 10, 10, 40, 20);
  const int lamp = project.Place(7, elements::kKindLamp, 50, 10);
  const int date = project.Place(7, elements::kKindDate, 10, 60, 160, 24);
  const compiler::DecodedImage image = project.Compile();
  const auto page = std::find_if(image.Pages().begin(), image.Pages().end(),
                                 [](const compiler::ImagePage& at) { return at.number == 7; });
  ASSERT_NE(page, image.Pages().end());
  const RebuiltPage rebuilt = RebuildPage(*page, 0);
  const model::PageRecord& back = *rebuilt.page;
  EXPECT_EQ(back.ElemKind[line], elements::kKindLine);
  EXPECT_EQ(back.ElemLeft[line], p.ElemLeft[line]);
  EXPECT_EQ(back.ElemHeight[line], p.ElemHeight[line]);
  EXPECT_EQ(back.ElemKind[lamp], elements::kKindLamp);
  EXPECT_EQ(back.ElemKind[date], elements::kKindRectangle);  // the date's frame
  EXPECT_EQ(back.PageStrings[model::kPageNumberText].View(), "7");
  EXPECT_EQ(back.PageStrings[model::kPageBackColorText].View(),
            std::to_string(ColourFromRgb565(compiler::Rgb565(0x0000FF))));
  EXPECT_EQ(model::PageKeyJump(const_cast<model::PageRecord&>(back), 3).View(), "9");
}

TEST(ImageSlotsTest, ColoursWidenSoTheyNarrowToTheSameRgb565) {
  for (std::uint32_t colour = 0; colour <= 0xFFFF; colour += 7) {
    ASSERT_EQ(compiler::Rgb565(ColourFromRgb565(static_cast<std::uint16_t>(colour))), colour);
  }
  EXPECT_EQ(ColourFromRgb565(0xF800), 0x0000FF);  // red in the low byte
  EXPECT_EQ(ColourFromRgb565(0xFFFF), 0xFFFFFF);
}

}  // namespace
}  // namespace dravik::sim
