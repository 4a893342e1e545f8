#include "elements/operand_choice.h"

#include <algorithm>

#include "tools/device_tables.h"

namespace dravik::elements {

namespace {

bool IsDigitOf(char c, bool hexadecimal) {
  if (c >= '0' && c <= '9') return true;
  return hexadecimal && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'));
}

OperandView UnknownOperand(AddressCategory category, int kind, bool chinese) {
  OperandView view;
  view.kindName = params::UnknownTableName(kind).In(chinese);
  view.kindItems = {view.kindName};
  view.kindItem = 0;
  view.kind = kind;
  view.known = false;
  view.maximum = kRegisterFieldMax;
  view.bitCount = category == AddressCategory::kBit ? kHighestBitNumber : 0;
  return view;
}

}  // namespace

std::string CaptionWithKind(const KindCaption& caption, std::string_view kindName, bool chinese,
                            bool colon) {
  std::string text = chinese ? caption.chinese : caption.english;
  text += kindName;
  if (colon) text += ':';
  return text;
}

bool OperandKindsKnown(const params::DeviceLists& lists, int link, AddressCategory category) {
  const bool tableKnown = link == 0 ? lists.Link1Known() : !lists.unknownLink2Table.has_value();
  return tableKnown && !tools::DeviceNames(lists, link, category).empty();
}

OperandView ViewOperand(const params::DeviceLists& lists, int link, AddressCategory category,
                        int kind, bool chinese) {
  if (!OperandKindsKnown(lists, link, category)) return UnknownOperand(category, kind, chinese);
  OperandView view;
  view.kindItems = tools::DeviceNames(lists, link, category);
  const int count = static_cast<int>(view.kindItems.size());
  view.kindItem = kind >= 0 && kind < count ? kind : count - 1;
  view.kind = view.kindItem;
  const tools::DeviceInfo device = tools::DeviceOf(lists, link, category, view.kind);
  view.kindName = std::string(device.name);
  view.maximum = static_cast<int>(std::clamp<std::int64_t>(device.maximum, 0, kRegisterFieldMax));
  view.bitCount =
      category == AddressCategory::kBit ? std::min(device.bitInfo, kHighestBitNumber) : 0;
  return view;
}

int LowerTo(int value, int maximum) {
  return std::min(value, maximum);
}

std::string RegisterNumberText(int value, bool hexadecimal) {
  return tools::AddressNumberText(value, hexadecimal);
}

std::string RegisterRangeHint(int maximum, bool hexadecimal) {
  return "0 ~ " + RegisterNumberText(maximum, hexadecimal);
}

bool RegisterTextAllowed(std::string_view text, bool hexadecimal) {
  return text.size() <= static_cast<std::size_t>(kRegisterTextLength) &&
         std::all_of(text.begin(), text.end(),
                     [hexadecimal](char c) { return IsDigitOf(c, hexadecimal); });
}

int TakeRegisterText(std::string_view text, bool hexadecimal, int maximum, int previous) {
  const std::optional<std::int64_t> number = tools::ParseAddressNumber(text, hexadecimal);
  if (!number) return previous;
  return static_cast<int>(std::min<std::int64_t>(*number, maximum));
}

}  // namespace dravik::elements
