// Modbus RTU frames of the download: CRC, frame layout, and how replies are judged.

#include "comm/modbus_rtu.h"

#include <gtest/gtest.h>

namespace dravik::comm {
namespace {

TEST(Crc16Modbus, KnownValues) {
  const std::uint8_t check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Crc16Modbus(check), 0x4B37);
  const std::uint8_t request[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A};
  EXPECT_EQ(Crc16Modbus(request), 0xCDC5);
  EXPECT_EQ(Crc16Modbus({}), 0xFFFF);
}

TEST(ModbusFrames, ReadRequestIsEightBytesCrcLowFirst) {
  Bytes frame = ReadRegistersFrame(3900, 3);
  ASSERT_EQ(frame.size(), 8u);
  EXPECT_EQ(frame[0], 0xFF);
  EXPECT_EQ(frame[1], 0x03);
  EXPECT_EQ(frame[2], 0x0F);  // 3900 = 0x0F3C
  EXPECT_EQ(frame[3], 0x3C);
  EXPECT_EQ(frame[4], 0x00);
  EXPECT_EQ(frame[5], 0x03);
  const std::uint16_t crc = Crc16Modbus(std::span(frame).first(6));
  EXPECT_EQ(frame[6], crc & 0xFF);
  EXPECT_EQ(frame[7], crc >> 8);
}

TEST(ModbusFrames, WriteFrameCarriesRegistersHighByteFirst) {
  RegisterMirror mirror;
  mirror[3910] = 0x3412;
  mirror[3911] = 0xBEEF;
  for (std::uint8_t count : {std::uint8_t{10}, std::uint8_t{24}, std::uint8_t{100}}) {
    Bytes frame = WriteRegistersFrame(mirror, 3910, count);
    ASSERT_EQ(frame.size(), 9u + 2u * count);
    EXPECT_EQ(frame[0], 0xFF);
    EXPECT_EQ(frame[1], 0x10);
    EXPECT_EQ(frame[2], 0x0F);
    EXPECT_EQ(frame[3], 0x46);  // 3910 = 0x0F46
    EXPECT_EQ(frame[4], 0x00);
    EXPECT_EQ(frame[5], count);
    EXPECT_EQ(frame[6], 2 * count);
    EXPECT_EQ(frame[7], 0x34);
    EXPECT_EQ(frame[8], 0x12);
    EXPECT_EQ(frame[9], 0xBE);
    EXPECT_EQ(frame[10], 0xEF);
    EXPECT_EQ(Crc16Modbus(frame), 0) << "a frame with its CRC checks to zero";
  }
}

TEST(ModbusReplies, WriteEchoNeedsAllSixBytes) {
  RegisterMirror mirror;
  const Bytes request = WriteRegistersFrame(mirror, 3900, 10);
  Bytes echo(request.begin(), request.begin() + 6);
  AppendCrc(echo);
  EXPECT_TRUE(IsWriteEcho(echo, request));
  Bytes wrongCrc = echo;
  wrongCrc[7] ^= 0xFF;
  EXPECT_TRUE(IsWriteEcho(wrongCrc, request)) << "the echo's CRC is not examined";
  Bytes otherStart = echo;
  otherStart[3] ^= 1;
  EXPECT_FALSE(IsWriteEcho(otherStart, request));
  EXPECT_FALSE(IsWriteEcho(std::span(echo).first(5), request));
  EXPECT_FALSE(IsWriteEcho({}, request));
}

TEST(ModbusReplies, ReadReplyIsTakenIntoTheMirrorWhenItsCrcHolds) {
  RegisterMirror mirror;
  mirror[3900] = 0xFFFF;
  Bytes reply = {0xFF, 0x03, 0x06, 0x00, 0x00, 0x87, 0x65, 0xAA, 0xAA};
  AppendCrc(reply);
  EXPECT_FALSE(TakeReadReply(std::span(reply).first(10), 3900, 3, mirror)) << "one byte short";
  EXPECT_EQ(mirror[3900], 0xFFFF);
  Bytes bad = reply;
  bad[4] ^= 1;
  EXPECT_FALSE(TakeReadReply(bad, 3900, 3, mirror));
  EXPECT_EQ(mirror[3900], 0xFFFF);
  ASSERT_TRUE(TakeReadReply(reply, 3900, 3, mirror));
  EXPECT_EQ(mirror[3900], 0x0000);
  EXPECT_EQ(mirror[3901], 0x8765);
  EXPECT_EQ(mirror[3902], 0xAAAA);
}

}  // namespace
}  // namespace dravik::comm
