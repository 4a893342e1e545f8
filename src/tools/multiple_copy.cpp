#include "tools/multiple_copy.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "editor/element_clipboard.h"
#include "elements/element_operands.h"
#include "model/settings_page.h"
#include "tools/device_tables.h"

namespace dravik::tools {

namespace {

using elements::AddressCategory;
using elements::AddressRole;
using elements::ElementAddress;

// The register number lives in a 16-bit field, whatever a device list claims.
constexpr std::int64_t kFieldMaximum = 0xFFFF;
// The highest bit number the operand byte can hold.
constexpr int kHighestBitNumber = 15;

// The device an address steps on, as far as the project's lists know it.
struct StepDevice {
  std::int64_t limit = kFieldMaximum;
  int bitInfo = 0;  // >0 highest bit number in a word, 0 plain bits, -1 hexadecimal
  bool octal = false;
};

bool LinkListsKnown(const params::DeviceLists& lists, int link) {
  return link == 0 ? lists.Link1Known() : !lists.unknownLink2Table.has_value();
}

StepDevice StepDeviceOf(const AddressStepRules& rules, const ElementAddress& address) {
  StepDevice device;
  const int link = address.selector.Link();
  if (rules.lists == nullptr || !address.selector.Valid() || !LinkListsKnown(*rules.lists, link)) {
    return device;
  }
  const DeviceInfo info = DeviceOf(*rules.lists, address);
  // A device the lists do not name, or whose maximum is no number, gives no limit: the
  // compile check judges such addresses, the copy does not lower them to 0.
  if (!info.name.empty() && info.maximum > 0) device.limit = std::min(info.maximum, kFieldMaximum);
  device.bitInfo = info.bitInfo;
  device.octal = address.category == AddressCategory::kBit &&
                 OctalNumbered(rules.protocolIndex[static_cast<std::size_t>(link)],
                               address.selector.Device(), info.bitInfo);
  return device;
}

std::uint16_t Capped(std::int64_t address, std::int64_t limit) {
  return static_cast<std::uint16_t>(std::clamp<std::int64_t>(address, 0, limit));
}

void StepBitInWord(model::PageRecord& page, std::size_t s, const StepDevice& device) {
  const int highestBit = std::min(device.bitInfo, kHighestBitNumber);
  int bit = page.ElemByteB[s] & 0x0F;
  std::int64_t word = page.ElemWordA[s];
  if (bit < highestBit) {
    ++bit;
  } else if (word < device.limit) {
    ++word;
    bit = 0;
  }  // the device's last bit: further copies repeat it
  page.ElemWordA[s] = Capped(word, device.limit);
  page.ElemByteB[s] = static_cast<std::uint8_t>((page.ElemByteB[s] & 0xF0) | bit);
}

void StepPlainBit(model::PageRecord& page, std::size_t s, const StepDevice& device) {
  const std::int64_t address = page.ElemWordA[s];
  const std::int64_t next = device.octal ? NextOctalAddress(address) : address + 1;
  page.ElemWordA[s] = Capped(next, device.limit);
}

const ElementAddress* OperandOf(const elements::ElementAddresses& addresses) {
  for (const ElementAddress& address : addresses) {
    if (address.role == AddressRole::kOperand && address.category != AddressCategory::kStationId) {
      return &address;
    }
  }
  return nullptr;
}

// The fields an address step writes, kept to take a step back.
struct AddressFields {
  std::uint16_t word;
  std::uint8_t operandByte;
};

}  // namespace

AddressStepRules AddressStepRulesOf(const params::DeviceLists& lists,
                                    const model::PageRecord& settings) {
  return {&lists,
          {model::At(settings, model::settings::kLink1Protocol),
           model::At(settings, model::settings::kLink2Table)}};
}

std::int64_t NextOctalAddress(std::int64_t address) {
  std::int64_t next = address + 1;
  // Carry every digit that has gone past 7 into the one above it.
  for (std::int64_t place = 1; place <= next && (next / place) % 10 > 7; place *= 10) {
    next += (10 - (next / place) % 10) * place;
  }
  return next;
}

bool IncreaseAddress(model::PageRecord& page, int slot, const AddressStepRules& rules) {
  const elements::ElementAddresses addresses = elements::AddressesOf(page, slot);
  const ElementAddress* operand = OperandOf(addresses);
  if (operand == nullptr) return false;
  const StepDevice device = StepDeviceOf(rules, *operand);
  // Every kind with an operand keeps its register number in ElemWordA and, for bits, the
  // bit number in the low half of ElemByteB.
  const auto s = static_cast<std::size_t>(slot);
  if (operand->category == AddressCategory::kBit) {
    if (device.bitInfo > 0) {
      StepBitInWord(page, s, device);
    } else {
      StepPlainBit(page, s, device);
    }
  } else {
    page.ElemWordA[s] = Capped(page.ElemWordA[s] + 1, device.limit);
  }
  return true;
}

MultipleCopyOutcome RunMultipleCopy(const MultipleCopyOptions& options,
                                    const AddressStepRules& rules, model::PageRecord& clipboardPage,
                                    int sourceSlot, model::PageRecord& page,
                                    editor::PageSize pageSize, const CopyProgress& progress) {
  MultipleCopyOutcome outcome;
  if (sourceSlot < 0 || sourceSlot >= model::kSlotCount) return outcome;
  const auto s = static_cast<std::size_t>(sourceSlot);
  const int x0 = clipboardPage.ElemLeft[s];
  const int y0 = clipboardPage.ElemTop[s];
  const int stepX = clipboardPage.ElemWidth[s] + options.horizontalGap;
  const int stepY = clipboardPage.ElemHeight[s] + options.verticalGap;
  const int perRow = std::clamp(options.perRow, kCopyCountMin, kCopyCountMax);
  const int perColumn = std::clamp(options.perColumn, kCopyCountMin, kCopyCountMax);
  const int lines = options.rowOrder ? perColumn : perRow;
  const int perLine = options.rowOrder ? perRow : perColumn;

  // Positions are worked out in plain integers: a line starts one step before the
  // source's edge, which may lie left of or above the canvas.
  int left = x0;
  int top = y0;
  for (int line = 0; line < lines; ++line) {
    const int copies = line == 0 ? perLine - 1 : perLine;
    if (progress) progress(0, copies);
    for (int c = 0; c < copies; ++c) {
      if (options.rowOrder) {
        left += stepX;
      } else {
        top += stepY;
      }
      const AddressFields before{clipboardPage.ElemWordA[s], clipboardPage.ElemByteB[s]};
      if (options.increaseAddress) IncreaseAddress(clipboardPage, sourceSlot, rules);
      const std::optional<int> slot =
          editor::PasteElementAt(clipboardPage, sourceSlot, page, pageSize, left, top);
      if (!slot) {
        // The clipboard keeps the last copy that was made.
        clipboardPage.ElemWordA[s] = before.word;
        clipboardPage.ElemByteB[s] = before.operandByte;
        outcome.PasteFailed = true;
        return outcome;
      }
      outcome.created.push_back(*slot);
      // A copy pushed back inside the page moves the rest of its line with it.
      left = clipboardPage.ElemLeft[s];
      top = clipboardPage.ElemTop[s];
      if (progress) progress(c + 1, copies);
    }
    if (options.rowOrder) {
      left = x0 - stepX;
      top += stepY;
    } else {
      left += stepX;
      top = y0 - stepY;
    }
  }
  return outcome;
}

}  // namespace dravik::tools
