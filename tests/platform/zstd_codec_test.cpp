#include "platform/zstd_codec.h"

#include <gtest/gtest.h>

#include <numeric>

namespace dravik::platform {
namespace {

Bytes Sample(std::size_t size) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 9));
  return data;
}

TEST(Zstd, RoundTripIntoExactBuffer) {
  const Bytes data = Sample(300000);
  Result<Bytes> frame = ZstdCompress(data);
  ASSERT_TRUE(frame.ok());
  Bytes out(data.size());
  ZstdReader reader(*frame);
  EXPECT_EQ(reader.Read(out), data.size());
  EXPECT_TRUE(reader.Finished());
  EXPECT_EQ(out, data);
}

TEST(Zstd, ReadsInPiecesAndStopsAtTheEnd) {
  const Bytes data = Sample(1000);
  Result<Bytes> frame = ZstdCompress(data);
  ASSERT_TRUE(frame.ok());
  ZstdReader reader(*frame);
  Bytes first(400), rest(5000);
  EXPECT_EQ(reader.Read(first), 400u);
  EXPECT_EQ(reader.Read(rest), 600u);
  EXPECT_TRUE(reader.Finished());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), data.begin()));
}

TEST(Zstd, NeverWritesBeyondTheBufferWhateverTheFrameHolds) {
  // 64 MB of zeros compress to a few kB: a reader must stop at its buffer.
  const Bytes huge(64u << 20, 0);
  Result<Bytes> frame = ZstdCompress(huge);
  ASSERT_TRUE(frame.ok());
  ASSERT_LT(frame->size(), 20000u);
  Bytes out(4096, 0xAA);
  ZstdReader reader(*frame);
  EXPECT_EQ(reader.Read(out), out.size());
  EXPECT_FALSE(reader.Finished());
  EXPECT_EQ(reader.fault(), ZstdFault::None);
}

TEST(Zstd, ReportsDamage) {
  const Bytes data = Sample(50000);
  Bytes frame = *ZstdCompress(data);

  struct Case {
    const char* name;
    Bytes input;
    ZstdFault fault;
  };
  Bytes truncated(frame.begin(), frame.begin() + frame.size() / 2);
  Bytes flipped = frame;
  flipped[flipped.size() - 2] ^= 0x55;  // inside the content checksum
  Bytes noChecksum(frame.begin(), frame.end() - 4);
  const Case cases[] = {
      {"not zstd", Bytes{'P', 'K', 3, 4, 0, 0, 0, 0}, ZstdFault::NotZstd},
      {"empty", Bytes{}, ZstdFault::NotZstd},
      {"cut in half", truncated, ZstdFault::Truncated},
      {"checksum cut off", noChecksum, ZstdFault::Truncated},
      {"checksum wrong", flipped, ZstdFault::Damaged},
  };
  for (const Case& c : cases) {
    Bytes out(data.size());
    ZstdReader reader(c.input);
    reader.Read(out);
    EXPECT_FALSE(reader.Finished()) << c.name;
    EXPECT_EQ(reader.fault(), c.fault) << c.name;
    EXPECT_FALSE(reader.detail().empty()) << c.name;
  }
}

}  // namespace
}  // namespace dravik::platform
