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

// A few header bytes name the window the decoder must keep, and it allocates that window
// before reading a block: a 13-byte file could cost 128 MB. Frames that ask for more than
// any project file needs are refused as damaged before anything is allocated for them.
TEST(Zstd, RefusesAWindowBeyondWhatAProjectNeeds) {
  const std::uint8_t oneRawByte[] = {0x09, 0x00, 0x00, 'x'};  // last block, raw, 1 byte
  auto frame = [&](std::initializer_list<std::uint8_t> header) {
    Bytes bytes{0x28, 0xB5, 0x2F, 0xFD};
    bytes.insert(bytes.end(), header);
    bytes.insert(bytes.end(), std::begin(oneRawByte), std::end(oneRawByte));
    return bytes;
  };
  struct Case {
    const char* name;
    Bytes input;
  };
  const auto windowDescriptor = static_cast<std::uint8_t>((kMaxZstdWindowLog + 1 - 10) << 3);
  const Case cases[] = {
      // No content size; the window descriptor asks for 2^(kMaxZstdWindowLog + 1) bytes.
      {"window descriptor", frame({0x00, windowDescriptor})},
      // A single segment: the window is the claimed content size, 2^kMaxZstdWindowLog + 1.
      {"single segment", frame({0xA0, 0x01, 0x00, 0x00, 0x04})},
  };
  for (const Case& c : cases) {
    Bytes out(16);
    ZstdReader reader(c.input);
    EXPECT_EQ(reader.Read(out), 0u) << c.name;
    EXPECT_EQ(reader.fault(), ZstdFault::Damaged) << c.name;
    EXPECT_FALSE(reader.detail().empty()) << c.name;
  }
}

}  // namespace
}  // namespace dravik::platform
