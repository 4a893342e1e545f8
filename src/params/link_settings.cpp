#include "params/link_settings.h"

#include <cstdint>

#include "model/settings_page.h"

namespace dravik::params {

using model::At;

namespace {

using namespace model::settings;

// Where a link's settings live in the settings page.
struct LinkEntries {
  Height protocol;
  LongC controllerId;
  LongC baud;
  LongC timeout;
  Left parity;
  Top dataBits;
  Width stopBits;
  LongC port;
};

constexpr std::array<LinkEntries, kLinkCount> kLinkEntries{{
    {kLink1Protocol, kLink1ControllerId, kLink1Baud, kLink1Timeout, kLink1Parity, kLink1DataBits,
     kLink1StopBits, kLink1Port},
    {kLink2Table, kLink2ControllerId, kLink2Baud, kLink2Timeout, kLink2Parity, kLink2DataBits,
     kLink2StopBits, kLink2Port},
}};

}  // namespace

LinkSettings ReadLinkSettings(const model::PageRecord& s, std::size_t link) {
  const LinkEntries& at = kLinkEntries.at(link);
  LinkSettings v;
  v.protocol = At(s, at.protocol);
  v.controllerId = At(s, at.controllerId);
  v.baud = At(s, at.baud);
  v.timeout = At(s, at.timeout);
  v.parity = At(s, at.parity);
  v.dataBits = At(s, at.dataBits);
  v.stopBits = At(s, at.stopBits);
  v.port = At(s, at.port);
  return v;
}

void WriteLinkSettings(model::PageRecord& s, std::size_t link, const LinkSettings& v) {
  const LinkEntries& at = kLinkEntries.at(link);
  At(s, at.protocol) = static_cast<std::uint16_t>(v.protocol);
  At(s, at.controllerId) = v.controllerId;
  At(s, at.baud) = v.baud;
  At(s, at.timeout) = v.timeout;
  At(s, at.parity) = static_cast<std::uint16_t>(v.parity);
  At(s, at.dataBits) = static_cast<std::uint16_t>(v.dataBits);
  At(s, at.stopBits) = static_cast<std::uint16_t>(v.stopBits);
  At(s, at.port) = v.port;
}

}  // namespace dravik::params
