#pragma once
// The serial settings the download tries, in turn, while it searches for the panel, and
// the signature the panel answers the probe with.

#include <array>
#include <cstdint>

#include "comm/vor_comm_driver.h"

namespace dravik::comm {

struct SerialProfile {
  TComPortBaudRate baudRate;
  TComPortDataBits dataBits;
  TComPortParity parity;
  TComPortStopBits stopBits;
};

namespace detail {
constexpr SerialProfile Even(TComPortBaudRate rate, TComPortDataBits bits) {
  return {rate, bits, TComPortParity::ptEVEN, TComPortStopBits::sb1BITS};
}
inline constexpr auto k576_8 = Even(TComPortBaudRate::br57600, TComPortDataBits::db8BITS);
inline constexpr auto k576_7 = Even(TComPortBaudRate::br57600, TComPortDataBits::db7BITS);
inline constexpr auto k1152_8 = Even(TComPortBaudRate::br115200, TComPortDataBits::db8BITS);
inline constexpr auto k1152_7 = Even(TComPortBaudRate::br115200, TComPortDataBits::db7BITS);
inline constexpr auto k96_8 = Even(TComPortBaudRate::br9600, TComPortDataBits::db8BITS);
inline constexpr auto k96_7 = Even(TComPortBaudRate::br9600, TComPortDataBits::db7BITS);
inline constexpr auto k192_8 = Even(TComPortBaudRate::br19200, TComPortDataBits::db8BITS);
inline constexpr auto k192_7 = Even(TComPortBaudRate::br19200, TComPortDataBits::db7BITS);
inline constexpr auto k384_8 = Even(TComPortBaudRate::br38400, TComPortDataBits::db8BITS);
inline constexpr auto k384_7 = Even(TComPortBaudRate::br38400, TComPortDataBits::db7BITS);
}  // namespace detail

// Every entry is even parity, one stop bit. Entry 1 is also the transfer's setting.
inline constexpr std::array<SerialProfile, 32> SerialProfileTable = {
    detail::k576_8, detail::k1152_8, detail::k96_8,  detail::k1152_8,  //  0 ..  3
    detail::k192_8, detail::k1152_7, detail::k384_8, detail::k1152_7,  //  4 ..  7
    detail::k576_7, detail::k1152_8, detail::k96_7,  detail::k192_7,   //  8 .. 11
    detail::k384_7, detail::k576_7,  detail::k576_8, detail::k1152_7,  // 12 .. 15
    detail::k576_8, detail::k1152_8, detail::k96_8,  detail::k1152_8,  // 16 .. 19
    detail::k192_8, detail::k1152_7, detail::k96_7,  detail::k1152_7,  // 20 .. 23
    detail::k576_7, detail::k1152_8, detail::k96_7,  detail::k192_7,   // 24 .. 27
    detail::k384_7, detail::k96_8,   detail::k576_8, detail::k1152_7,  // 28 .. 31
};

// The profile of the transfer: 115,200 baud, 8 data bits, even parity, 1 stop bit.
inline constexpr int kTransferProfile = 1;

// The probe is 15 question marks, unframed; the panel answers with these six bytes.
inline constexpr std::uint8_t kProbeByte = 0x3F;
inline constexpr int kProbeLength = 15;
inline constexpr std::array<std::uint8_t, 6> ProbeSignature = {0x79, 0x16, 0x55, 0x7A, 0x0E, 0x7E};

}  // namespace dravik::comm
