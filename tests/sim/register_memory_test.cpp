#include "sim/register_memory.h"

#include <gtest/gtest.h>

#include "params/device_resources.h"

namespace dravik::sim {
namespace {

RegisterKinds PanelKinds() {
  params::DeviceLists lists;
  lists.W_DeviceName = {"D", "R"};
  lists.W_DeviceMax = {"65000", "32767"};
  lists.B_DeviceName = {"D.b", "M", "IR"};
  lists.B_DeviceBit = {"15", "0", "15"};
  lists.B_DeviceMax = {"65000", "8191", "511"};
  return RegisterKinds::FromLists(lists);
}

TEST(RegisterMemoryTest, BitsInsideWordsShareTheirWord) {
  RegisterMemory memory(PanelKinds());
  memory.SetBit({0, 0, 100, 3}, true);  // D.b100.3
  EXPECT_EQ(memory.Word({0, 0, 100}), 8);
  memory.SetWord({0, 0, 100}, 0x8001);
  EXPECT_TRUE(memory.Bit({0, 0, 100, 15}));
  EXPECT_FALSE(memory.Bit({0, 0, 100, 3}));
  EXPECT_EQ(memory.PlainBits().size(), 0u);
}

TEST(RegisterMemoryTest, PlainBitsAndBitKindsWithoutAWordKindKeepTheirOwn) {
  RegisterMemory memory(PanelKinds());
  memory.SetBit({0, 1, 5, 7}, true);  // M5: the bit number of a plain kind means nothing
  EXPECT_TRUE(memory.Bit({0, 1, 5, 0}));
  memory.SetBit({0, 2, 20, 4}, true);  // IR20.4: no word kind IR in this list
  EXPECT_EQ(memory.BitKindWords().at({0, 2, 20}), 16);
  EXPECT_TRUE(memory.Words().empty());
}

TEST(RegisterMemoryTest, DoubleWordsAreLowWordFirstAndZeroWordsAreNotKept) {
  RegisterMemory memory(PanelKinds());
  memory.SetDoubleWord({0, 1, 10}, 0x12345678);
  EXPECT_EQ(memory.Word({0, 1, 10}), 0x5678);
  EXPECT_EQ(memory.Word({0, 1, 11}), 0x1234);
  const auto before = memory.Version();
  memory.SetWord({0, 1, 10}, 0x5678);  // no change, no redraw
  EXPECT_EQ(memory.Version(), before);
  memory.SetDoubleWord({0, 1, 10}, 0);
  EXPECT_TRUE(memory.Words().empty());
  EXPECT_GT(memory.Version(), before);
}

TEST(RegisterMemoryTest, KindsThatDoNotExistReadZeroAndStillStore) {
  RegisterMemory memory(PanelKinds());
  EXPECT_EQ(memory.Kinds().Word(0, 7), nullptr);
  memory.SetWord({1, 3, 2}, 9);  // Link 2 with no lists: still a register of its own
  EXPECT_EQ(memory.Word({1, 3, 2}), 9);
  EXPECT_FALSE(memory.Bit({1, 9, 2, 0}));
}

}  // namespace
}  // namespace dravik::sim
