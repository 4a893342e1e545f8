// The clipboard between page windows and instances: marker texts, what a received marker
// changes, pasting elements and areas, moving an element to the bottom, and the work file.

#include "editor/element_clipboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace dravik::editor {
namespace {

using model::PageRecord;

constexpr PageSize kPageSize{480, 320};

std::unique_ptr<PageRecord> NewPage() {
  return std::make_unique<PageRecord>();
}

void Put(PageRecord& page, int slot, int kind, int left, int top, int width = 40, int height = 20) {
  const auto s = static_cast<std::size_t>(slot);
  page.ElemKind[s] = static_cast<std::uint8_t>(kind);
  page.ElemLeft[s] = static_cast<std::uint16_t>(left);
  page.ElemTop[s] = static_cast<std::uint16_t>(top);
  page.ElemWidth[s] = static_cast<std::uint16_t>(width);
  page.ElemHeight[s] = static_cast<std::uint16_t>(height);
}

struct Position {
  int left;
  int top;
  bool operator==(const Position&) const = default;
};
Position PositionOf(const PageRecord& page, int slot) {
  const auto s = static_cast<std::size_t>(slot);
  return {page.ElemLeft[s], page.ElemTop[s]};
}

// ---------------------------------------------------------------------------------------
// Marker texts

struct MarkerCase {
  const char* name;
  ClipboardMarker marker;
  const char* text;
};

class MarkerFormat : public testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerFormat, WritesAndReadsBack) {
  const MarkerCase& c = GetParam();
  EXPECT_EQ(MarkerText(c.marker), c.text);
  EXPECT_EQ(ParseMarker(c.text), c.marker);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    ElementClipboard, MarkerFormat,
    testing::Values(
        MarkerCase{"Page", PageMarker{}, "zr_QX:FF"},
        MarkerCase{"Slot0", ElementMarker{0}, "zr_QX:00"},
        MarkerCase{"Slot10", ElementMarker{10}, "zr_QX:0A"},
        MarkerCase{"Slot199", ElementMarker{199}, "zr_QX:C7"},
        // an area: prefix, code, count, left, top, width, height, slots
        MarkerCase{"Area", AreaMarker{{16, 32, 100, 50}, {3, 140, 7}},
                   "zr_QX:" "EE" "03" "0010" "0020" "0064" "0032" "038C07"},
        MarkerCase{"AreaFillingTheLargestPage", AreaMarker{{0, 0, 1280, 1024}, {199}},
                   "zr_QX:" "EE" "01" "0000" "0000" "0500" "0400" "C7"}),
    [](const testing::TestParamInfo<MarkerCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(ElementClipboard, MarkerCodes) {
  EXPECT_EQ(MarkerCode(PageMarker{}), 255);
  EXPECT_EQ(MarkerCode(ElementMarker{17}), 17);
  EXPECT_EQ(MarkerCode(AreaMarker{{}, {1}}), 238);
  EXPECT_EQ(ParseMarker("zr_QX:c7"), ClipboardMarker(ElementMarker{199}));
}

// Clipboard texts are any program's input: a text that only looks like a marker is none.
TEST(ElementClipboard, RefusesTextsThatAreNoMarker) {
  // clang-format off
  const char* texts[] = {
      "",
      "hello",
      "zr_QX",
      "zr_QX:",
      "zr_QX:F",
      "zr_QX:ZZ",                                              // not hexadecimal
      "zr_QX:0G",
      "zr_QX: A",
      "zr_QX:C8",                                              // slot 200
      "zr_QX:ED",                                              // no slot, page or area
      "zr_QX:0A ",                                             // more than a marker
      "zr_QX:FF\n",
      "ZR_QX:0A",
      " zr_QX:0A",
      "zr_QX:EE",                                              // an area cut short
      "zr_QX:EE01000000000010001",
      "zr_QX:" "EE" "02" "0000" "0000" "0010" "0010" "05",     // claims two slots, holds one
      "zr_QX:" "EE" "01" "0000" "0000" "0010" "0010" "0506",   // holds more than it claims
      "zr_QX:" "EE" "00" "0000" "0000" "0010" "0010",          // no slot at all
      "zr_QX:" "EE" "01" "0000" "0000" "0010" "0010" "C8",     // slot 200
      "zr_QX:" "EE" "01" "0000" "0000" "0010" "0010" "0x",
      "zr_QX:" "EE" "01" "00-1" "0000" "0010" "0010" "05",
      "zr_QX:" "EE" "01" "04F8" "0000" "0010" "0010" "05",     // frame beyond the largest page
      "zr_QX:" "EE" "01" "0000" "03F8" "0010" "0010" "05",
      "zr_QX:" "EE" "01" "0000" "0000" "FFFF" "FFFF" "05",
  };
  // clang-format on
  for (const char* text : texts) EXPECT_EQ(ParseMarker(text), std::nullopt) << '"' << text << '"';
}

// ---------------------------------------------------------------------------------------
// Receiving a marker

class Receiving : public testing::Test {
 protected:
  // A reader that hands over `page`, or fails after scribbling over what it was given.
  static ClipboardState::PageReader Reads(const PageRecord& page) {
    return [&page](PageRecord& into) {
      into = page;
      return Status{};
    };
  }
  static Status FailsHalfway(PageRecord& into) {
    into.ElemKind.fill(9);
    return Error{"cannot read"};
  }
  void ExpectStillHoldsThePage() {
    EXPECT_EQ(state.EnabledPaste(), PasteCommand::Page);
    EXPECT_EQ(state.ClipboardCode(), 255);
    EXPECT_EQ(state.ClipboardPage().PageStrings[model::kPageName].View(), "first");
  }

  ClipboardState state;
  std::unique_ptr<PageRecord> first = NewPage();
  std::unique_ptr<PageRecord> second = NewPage();
};

TEST_F(Receiving, NothingIsEnabledBeforeAMarker) {
  EXPECT_EQ(state.EnabledPaste(), std::nullopt);
  EXPECT_EQ(state.ClipboardCode(), std::nullopt);
  EXPECT_EQ(state.Receive("some text", Reads(*first)), std::nullopt);
  EXPECT_EQ(state.EnabledPaste(), std::nullopt);
}

TEST_F(Receiving, TakesTheMarkerAndThePageTogetherOrNeither) {
  first->PageStrings[model::kPageName] = "first";
  second->PageStrings[model::kPageName] = "second";
  Put(*second, 10, 1, 0, 0);
  ASSERT_EQ(state.Receive("zr_QX:FF", Reads(*first)), PasteCommand::Page);
  ExpectStillHoldsThePage();

  EXPECT_EQ(state.Receive("zr_QX:0A", FailsHalfway), std::nullopt);
  ExpectStillHoldsThePage();
  EXPECT_EQ(state.Receive("zr_QX:0B", Reads(*second)), std::nullopt) << "slot 11 is empty";
  ExpectStillHoldsThePage();
  EXPECT_EQ(state.Receive("zr_QX:ZZ", Reads(*second)), std::nullopt);
  ExpectStillHoldsThePage();
  EXPECT_EQ(state.Receive("from another program", Reads(*second)), std::nullopt);
  ExpectStillHoldsThePage();

  EXPECT_EQ(state.Receive("zr_QX:0A", Reads(*second)), PasteCommand::Element);
  EXPECT_EQ(state.ClipboardCode(), 10);
  EXPECT_EQ(state.ClipboardPage().PageStrings[model::kPageName].View(), "second");
}

// ---------------------------------------------------------------------------------------
// Pasting

TEST(ElementClipboard, RepeatedPastesWalkOn) {
  auto clipboard = NewPage();
  auto page = NewPage();
  Put(*clipboard, 5, 1, 100, 50);
  const Position expected[] = {{110, 56}, {120, 62}, {130, 68}};
  for (int i = 0; i < 3; ++i) {
    const std::optional<int> slot = Paste1PcsOrgan(*clipboard, 5, *page, kPageSize);
    ASSERT_EQ(slot, i);
    EXPECT_EQ(PositionOf(*page, *slot), expected[i]);
    EXPECT_EQ(page->ElemKind[static_cast<std::size_t>(*slot)], 1);
  }
}

TEST(ElementClipboard, PastedElementsStayOnThePage) {
  struct Case {
    const char* name;
    int left, top, width, height;
    Position first, second;
  } cases[] = {
      {"AtTheRightEdge", 440, 50, 40, 20, {440, 56}, {440, 62}},
      {"AtTheBottomEdge", 100, 300, 40, 20, {110, 300}, {120, 300}},
      {"WiderAndTallerThanThePage", 0, 0, 600, 400, {0, 0}, {0, 0}},
  };
  for (const Case& c : cases) {
    auto clipboard = NewPage();
    auto page = NewPage();
    Put(*clipboard, 0, 1, c.left, c.top, c.width, c.height);
    for (const Position& expected : {c.first, c.second}) {
      const std::optional<int> slot = Paste1PcsOrgan(*clipboard, 0, *page, kPageSize);
      ASSERT_TRUE(slot) << c.name;
      EXPECT_EQ(PositionOf(*page, *slot), expected) << c.name;
    }
  }
}

TEST(ElementClipboard, DynamicTextFindsASmallerSlotWithItsFirstStates) {
  auto clipboard = NewPage();
  auto page = NewPage();
  Put(*clipboard, 140, 7, 10, 10);
  for (int language = 0; language < 2; ++language) {
    for (int state = 0; state < 100; ++state) {
      clipboard->DynTextStates[*model::TextEntry(140, language, state)] =
          std::to_string(language * 1000 + state);
    }
  }
  for (int slot = 135; slot <= 149; ++slot) Put(*page, slot, 7, 0, 0);

  const std::optional<int> slot = Paste1PcsOrgan(*clipboard, 140, *page, kPageSize);
  ASSERT_TRUE(slot);
  EXPECT_GE(*slot, 150);
  EXPECT_EQ(page->ElemKind[static_cast<std::size_t>(*slot)], 7);
  for (int language = 0; language < 2; ++language) {
    for (int state = 0; state < 20; ++state) {
      EXPECT_EQ(page->DynTextStates[*model::TextEntry(*slot, language, state)].View(),
                std::to_string(language * 1000 + state));
    }
  }
}

TEST(ElementClipboard, AnAreaPastesWhatFindsASlotAndWalksOnWithItsFrame) {
  auto page = NewPage();
  for (int slot = 135; slot <= 149; ++slot) Put(*page, slot, 7, 0, 0);
  auto source = NewPage();
  Put(*source, 140, 12, 20, 20);  // a hundred-state kind: no slot left for it
  Put(*source, 3, 1, 30, 40);
  Put(*source, 141, 12, 20, 60);
  Put(*source, 4, 2, 80, 40);
  ClipboardState state;
  const std::string marker = MarkerText(AreaMarker{{20, 20, 100, 60}, {140, 3, 141, 4}});
  ASSERT_EQ(state.Receive(marker,
                          [&](PageRecord& into) {
                            into = *source;
                            return Status{};
                          }),
            PasteCommand::Element);

  PasteOutcome first = state.Paste(*page, kPageSize);
  EXPECT_EQ(first.PickList, (std::vector<int>{0, 1}));
  EXPECT_TRUE(first.PasteFailed);
  EXPECT_EQ(first.notPasted, 2);
  EXPECT_EQ(first.frame, (WindowRect{30, 26, 100, 60}));
  EXPECT_EQ(PositionOf(*page, 0), (Position{40, 46}));
  EXPECT_EQ(PositionOf(*page, 1), (Position{90, 46}));

  PasteOutcome second = state.Paste(*page, kPageSize);
  EXPECT_EQ(second.PickList, (std::vector<int>{2, 3}));
  EXPECT_EQ(second.frame, (WindowRect{40, 32, 100, 60}));
  EXPECT_EQ(PositionOf(*page, 2), (Position{50, 52}));
}

TEST(ElementClipboard, APageMarkerPastesNoElement) {
  ClipboardState state;
  auto page = NewPage();
  Put(*page, 0, 1, 0, 0);
  EXPECT_TRUE(state.Paste(*page, kPageSize).PickList.empty());
  ASSERT_TRUE(state.Receive("zr_QX:FF", [&](PageRecord& into) {
    into = *page;
    return Status{};
  }));
  EXPECT_TRUE(state.Paste(*page, kPageSize).PickList.empty());
  EXPECT_EQ(page->ElemKind[1], 0);
}

// ---------------------------------------------------------------------------------------
// Moving an element to the bottom

TEST(ElementClipboard, OrganSendToBack) {
  struct Case {
    const char* name;
    int slot;
    bool moved;
    std::vector<int> lefts;  // ElemLeft of slots 0..3 afterwards
  } cases[] = {
      {"SlotZeroStays", 0, true, {0, 1, 2, 3}},
      {"SlotThreeGoesUnderTheOthers", 3, true, {3, 0, 1, 2}},
      {"ATextTableSlotIsRefused", 140, false, {0, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    auto page = NewPage();
    for (int slot = 0; slot < 4; ++slot) Put(*page, slot, slot + 1, slot, 0);
    Put(*page, 140, 7, 140, 0);
    EXPECT_EQ(OrganSendToBack(*page, c.slot), c.moved) << c.name;
    for (int slot = 0; slot < 4; ++slot) {
      EXPECT_EQ(PositionOf(*page, slot).left, c.lefts[static_cast<std::size_t>(slot)]) << c.name;
      EXPECT_EQ(page->ElemKind[static_cast<std::size_t>(slot)],
                c.lefts[static_cast<std::size_t>(slot)] + 1)
          << c.name;
    }
    EXPECT_EQ(PositionOf(*page, 140).left, 140) << c.name;
  }
}

// ---------------------------------------------------------------------------------------
// The work file

TEST(ClipboardFile, HoldsExactlyOnePage) {
  test::TempDir dir;
  auto page = NewPage();
  page->PageStrings[model::kPageName] = "copied";
  page->ElemKind[17] = 5;
  ASSERT_TRUE(WriteClipboardFile(dir.path(), *page));
  EXPECT_EQ(std::filesystem::file_size(ClipboardFilePath(dir.path())), model::kPageRecordSize);

  auto read = NewPage();
  ASSERT_TRUE(ReadClipboardFile(dir.path(), *read));
  EXPECT_EQ(std::memcmp(read.get(), page.get(), model::kPageRecordSize), 0);
}

TEST(ClipboardFile, AMissingShortOrLinkedFileChangesNothing) {
  test::TempDir dir;
  auto page = NewPage();
  page->PageStrings[model::kPageName] = "kept";
  EXPECT_FALSE(ReadClipboardFile(dir.path(), *page));
  test::WriteAll(ClipboardFilePath(dir.path()), std::vector<std::uint8_t>(1000, 7));
  EXPECT_FALSE(ReadClipboardFile(dir.path(), *page));
  std::filesystem::remove(ClipboardFilePath(dir.path()));
  test::WriteAll(dir / "elsewhere", std::vector<std::uint8_t>(model::kPageRecordSize, 7));
  std::filesystem::create_symlink(dir / "elsewhere", ClipboardFilePath(dir.path()));
  EXPECT_FALSE(ReadClipboardFile(dir.path(), *page));
  EXPECT_EQ(page->PageStrings[model::kPageName].View(), "kept");
}

// Instances copy and paste at the same time: every page read is one that was written,
// whole, never a mixture or a part.
TEST(ClipboardFile, AReaderOnlyEverSeesWholePages) {
  test::TempDir dir;
  constexpr int kWrites = 40;
  std::atomic<bool> writing{true};
  const auto writer = [&](std::uint8_t fill) {
    auto page = NewPage();
    std::memset(static_cast<void*>(page.get()), fill, model::kPageRecordSize);
    for (int i = 0; i < kWrites; ++i) ASSERT_TRUE(WriteClipboardFile(dir.path(), *page));
  };
  {
    auto initial = NewPage();
    std::memset(static_cast<void*>(initial.get()), 0x11, model::kPageRecordSize);
    ASSERT_TRUE(WriteClipboardFile(dir.path(), *initial));
  }
  std::thread first(writer, std::uint8_t{0x11});
  std::thread second(writer, std::uint8_t{0x22});
  std::thread stop([&] {
    first.join();
    second.join();
    writing = false;
  });

  auto read = NewPage();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(read.get());
  int reads = 0;
  int faults = 0;
  while (writing || reads == 0) {
    ++reads;
    const bool whole = ReadClipboardFile(dir.path(), *read).ok() &&
                       (bytes[0] == 0x11 || bytes[0] == 0x22) &&
                       std::all_of(bytes, bytes + model::kPageRecordSize,
                                   [&](std::uint8_t b) { return b == bytes[0]; });
    if (!whole) ++faults;
  }
  stop.join();
  EXPECT_EQ(faults, 0) << "of " << reads << " reads";
}

}  // namespace
}  // namespace dravik::editor
