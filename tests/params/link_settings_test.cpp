#include "params/link_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace dravik::params {
namespace {

using model::PageRecord;

// Every setting of a link a value of its own, so one landing on another's entry shows.
// protocol, controller ID, baud, time-out, parity, data bits, stop bits, port
constexpr LinkSettings kDistinct{11, 12, 4, 14, 1, 0, 1, 2};

// The entries the panel reads each link from, spelled out as arrays and positions.
struct Case {
  const char* name;
  std::size_t link;
  int (*entry)(const PageRecord&);
  int expected;
};

// clang-format off
const Case kCases[] = {
    {"Link 1 protocol",      kLink1, [](const PageRecord& s) -> int { return s.ElemHeight[0]; }, 11},
    {"Link 1 controller ID", kLink1, [](const PageRecord& s) -> int { return s.ElemLongC[0]; }, 12},
    {"Link 1 baud",          kLink1, [](const PageRecord& s) -> int { return s.ElemLongC[1]; }, 4},
    {"Link 1 time-out",      kLink1, [](const PageRecord& s) -> int { return s.ElemLongC[2]; }, 14},
    {"Link 1 parity",        kLink1, [](const PageRecord& s) -> int { return s.ElemLeft[0]; }, 1},
    {"Link 1 data bits",     kLink1, [](const PageRecord& s) -> int { return s.ElemTop[0]; }, 0},
    {"Link 1 stop bits",     kLink1, [](const PageRecord& s) -> int { return s.ElemWidth[0]; }, 1},
    {"Link 1 port",          kLink1, [](const PageRecord& s) -> int { return s.ElemLongC[30]; }, 2},
    {"Link 2 device table",  kLink2, [](const PageRecord& s) -> int { return s.ElemHeight[1]; }, 11},
    {"Link 2 controller ID", kLink2, [](const PageRecord& s) -> int { return s.ElemLongC[20]; }, 12},
    {"Link 2 baud",          kLink2, [](const PageRecord& s) -> int { return s.ElemLongC[21]; }, 4},
    {"Link 2 time-out",      kLink2, [](const PageRecord& s) -> int { return s.ElemLongC[22]; }, 14},
    {"Link 2 parity",        kLink2, [](const PageRecord& s) -> int { return s.ElemLeft[1]; }, 1},
    {"Link 2 data bits",     kLink2, [](const PageRecord& s) -> int { return s.ElemTop[1]; }, 0},
    {"Link 2 stop bits",     kLink2, [](const PageRecord& s) -> int { return s.ElemWidth[1]; }, 1},
    {"Link 2 port",          kLink2, [](const PageRecord& s) -> int { return s.ElemLongC[31]; }, 2},
};
// clang-format on

std::unique_ptr<PageRecord> Filled() {
  // A byte no setting here uses, so an entry left unwritten keeps it.
  auto settings = std::make_unique<PageRecord>();
  auto* bytes = reinterpret_cast<unsigned char*>(settings.get());
  std::fill(bytes, bytes + sizeof(PageRecord), 0x5A);
  return settings;
}

TEST(LinkSettingsTest, EachLinkWritesItsOwnEntriesAndNoneOfTheOthers) {
  for (std::size_t link = 0; link < kLinkCount; ++link) {
    const auto before = Filled();
    auto settings = Filled();
    WriteLinkSettings(*settings, link, kDistinct);
    for (const Case& c : kCases) {
      const int expected = c.link == link ? c.expected : c.entry(*before);
      EXPECT_EQ(c.entry(*settings), expected) << c.name << ", writing link " << link + 1;
    }
  }
}

TEST(LinkSettingsTest, EachLinkReadsBackWhatItWrote) {
  auto settings = Filled();
  LinkSettings second = kDistinct;
  second.port = 0;
  second.controllerId = 99;
  WriteLinkSettings(*settings, kLink1, kDistinct);
  WriteLinkSettings(*settings, kLink2, second);
  EXPECT_EQ(ReadLinkSettings(*settings, kLink1), kDistinct);
  EXPECT_EQ(ReadLinkSettings(*settings, kLink2), second);
}

}  // namespace
}  // namespace dravik::params
