#pragma once
// The settings of one PLC link. The panel has two: Link 1, the PLC link, and Link 2, the
// Modbus master link. Both keep the same settings, each at entries of its own in the
// settings page, so reading and writing a link is one path over a table of its entries.

#include <array>
#include <cstddef>

#include "model/page_record.h"

namespace dravik::params {

inline constexpr std::size_t kLink1 = 0;
inline constexpr std::size_t kLink2 = 1;
inline constexpr std::size_t kLinkCount = 2;

// Positions are list positions of the dialog (baud, parity, data and stop bits, port).
struct LinkSettings {
  int protocol = 0;  // Link 1: the protocol; Link 2: its device table
  int controllerId = 0;
  int baud = 0;
  int timeout = 0;  // ms
  int parity = 0;
  int dataBits = 0;
  int stopBits = 0;
  int port = 0;

  bool operator==(const LinkSettings&) const = default;
};

// What a new project holds for each link.
inline constexpr std::array<LinkSettings, kLinkCount> kLinkDefaults{{
    // protocol, controller ID, baud, time-out, parity, data bits, stop bits, port
    {0, 1, 3, 200, 2, 2, 0, 0},
    {1, 2, 3, 100, 0, 2, 0, 1},
}};

LinkSettings ReadLinkSettings(const model::PageRecord& settings, std::size_t link);
void WriteLinkSettings(model::PageRecord& settings, std::size_t link, const LinkSettings& values);

}  // namespace dravik::params
