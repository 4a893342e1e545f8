#pragma once
// Which PLC addresses an element uses: the register search finds elements by them, the
// used-data preview and the cross-reference write them out, and the compile check judges
// the device kind they name. Each kind keeps its addresses and its device selector in
// arrays of its own; this is the one place that knows which.

#include <array>
#include <cstdint>
#include <optional>

#include "model/page_record.h"

namespace dravik::elements {

enum class AddressCategory {
  kWord,       // a word register of a link's word kinds
  kBit,        // a bit of a link's bit kinds
  kStationId,  // the ID of a station on the bus, not a register
};

// The device an address is on: bit 3 of the selector chooses Link 2, bits 0..2 the kind in
// that link's word or bit list. The word panel keeps its selector as a whole number, which
// a project made elsewhere may hold out of range; such a selector names no device.
struct DeviceSelector {
  std::int64_t code = 0;  // link x 8 + kind index

  static constexpr DeviceSelector Of(int link, int device) { return {link * 8 + device}; }
  constexpr bool Valid() const { return code >= 0 && code <= 15; }
  constexpr int Link() const { return Valid() ? static_cast<int>(code >> 3) : 0; }
  constexpr int Device() const { return Valid() ? static_cast<int>(code & 7) : -1; }
  bool operator==(const DeviceSelector&) const = default;
};

// What an address does for its element.
enum class AddressRole {
  kOperand,         // the register or bit the element shows, sets or is shown by
  kHorizontalMove,  // a drawing element's horizontal position
  kVerticalMove,    // its vertical position
  kVisibility,      // whether it is shown
  kStation,         // the station an element talks to
};

struct ElementAddress {
  AddressCategory category = AddressCategory::kWord;
  AddressRole role = AddressRole::kOperand;
  std::int64_t address = 0;  // register number, or the station ID
  DeviceSelector selector;   // unused for station IDs
  int bit = 0;               // bit addresses: the bit number 0..15 of the operand byte
  bool operator==(const ElementAddress&) const = default;
};

// When a drawing element's address counts as enabled by its flag (ElemByteC, ElemByteD,
// ElemByteE): the preview writes every address whose flag is not 0, while the search
// takes a flag as set only when it is exactly 1. Dialogs only ever write 0 or 1.
enum class FlagRule { kNonZero, kExactlyOne };

// The addresses of one element, at most three (a drawing element's movement and
// visibility registers), in the order the preview writes them.
class ElementAddresses {
 public:
  void Add(const ElementAddress& address) { items_[count_++] = address; }
  const ElementAddress* begin() const { return items_.data(); }
  const ElementAddress* end() const { return items_.data() + count_; }
  int size() const { return count_; }
  bool empty() const { return count_ == 0; }
  const ElementAddress& operator[](int i) const { return items_[static_cast<std::size_t>(i)]; }

 private:
  std::array<ElementAddress, 3> items_{};
  int count_ = 0;
};

// The addresses the element in `slot` uses; none for empty slots and kinds that use none.
ElementAddresses AddressesOf(const model::PageRecord& page, int slot,
                             FlagRule flags = FlagRule::kNonZero);

// Where the element keeps the device of its registers, whether or not it uses one now;
// nothing for kinds that name no device. The register's operand byte keeps its Float flag
// where others keep the link, so a register is always on Link 1.
std::optional<DeviceSelector> DeviceSelectorOf(const model::PageRecord& page, int slot);

}  // namespace dravik::elements
