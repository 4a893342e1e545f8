#include "editor/element_clipboard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "elements/placement.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::editor {

namespace {

// Marker layout after "zr_QX:": the code (2 digits); for an area then the count (2), the
// frame's left, top, width and height (4 each) and the slots (2 each).
constexpr std::size_t kCodeDigits = 2;
constexpr std::size_t kCountDigits = 2;
constexpr std::size_t kFrameDigits = 4;
constexpr std::size_t kSlotDigits = 2;
constexpr std::size_t kPrefixLength = sizeof kMarkerPrefix - 1;
constexpr std::size_t kShortMarkerLength = kPrefixLength + kCodeDigits;
constexpr std::size_t kAreaHeaderLength = kShortMarkerLength + kCountDigits + 4 * kFrameDigits;

// `value` as `digits` upper-case hexadecimal digits (the low ones, should it be larger).
std::string Hex(int value, std::size_t digits) {
  const unsigned mask = (1u << (4 * digits)) - 1;
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", static_cast<int>(digits),
                static_cast<unsigned>(value) & mask);
  return text;
}

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// `digits` read as a hexadecimal number; nothing unless every character is a digit.
std::optional<int> HexValue(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  int value = 0;
  for (char c : digits) {
    const int digit = DigitValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

bool IsSlot(int value) {
  return value >= 0 && value <= model::kLastUsableSlot;
}

// Reads the fields of a text one after another; any bad field spoils the whole.
class FieldReader {
 public:
  FieldReader(std::string_view text, std::size_t at) : text_(text), at_(at) {}
  std::optional<int> Next(std::size_t digits) {
    if (at_ + digits > text_.size()) return std::nullopt;
    const std::optional<int> value = HexValue(text_.substr(at_, digits));
    at_ += digits;
    return value;
  }

 private:
  std::string_view text_;
  std::size_t at_;
};

std::optional<ClipboardMarker> ParseArea(std::string_view text) {
  if (text.size() < kAreaHeaderLength) return std::nullopt;
  FieldReader fields(text, kShortMarkerLength);
  const std::optional<int> count = fields.Next(kCountDigits);
  if (!count || *count == 0) return std::nullopt;
  if (text.size() != kAreaHeaderLength + kSlotDigits * static_cast<std::size_t>(*count)) {
    return std::nullopt;
  }
  AreaMarker area;
  for (int* field : {&area.frame.left, &area.frame.top, &area.frame.width, &area.frame.height}) {
    const std::optional<int> value = fields.Next(kFrameDigits);
    if (!value) return std::nullopt;
    *field = *value;
  }
  if (area.frame.left + area.frame.width > kMaxPageWidth ||
      area.frame.top + area.frame.height > kMaxPageHeight) {
    return std::nullopt;
  }
  for (int i = 0; i < *count; ++i) {
    const std::optional<int> slot = fields.Next(kSlotDigits);
    if (!slot || !IsSlot(*slot)) return std::nullopt;
    area.slotList.push_back(*slot);
  }
  return area;
}

// `position` moved by `shift`, kept so that `size` still fits below `limit`, and never
// before the canvas's origin (an element larger than the page stays at its edge).
int ShiftedInside(int position, int shift, int size, int limit) {
  return std::max(0, std::min(position + shift, limit - size));
}

// The slots a marker takes its elements from.
std::vector<int> SourceSlots(const ClipboardMarker& marker) {
  if (const auto* element = std::get_if<ElementMarker>(&marker)) return {element->slot};
  if (const auto* area = std::get_if<AreaMarker>(&marker)) return area->slotList;
  return {};
}

bool HoldsElements(const model::PageRecord& page, const std::vector<int>& slotList) {
  return std::all_of(slotList.begin(), slotList.end(),
                     [&](int slot) { return page.ElemKind[static_cast<std::size_t>(slot)] != 0; });
}

}  // namespace

std::string MarkerText(const ClipboardMarker& marker) {
  std::string text = kMarkerPrefix;
  if (std::holds_alternative<PageMarker>(marker)) return text + Hex(kPageMarkerCode, kCodeDigits);
  if (const auto* element = std::get_if<ElementMarker>(&marker)) {
    return text + Hex(element->slot, kCodeDigits);
  }
  const auto& area = std::get<AreaMarker>(marker);
  text +=
      Hex(kAreaMarkerCode, kCodeDigits) + Hex(static_cast<int>(area.slotList.size()), kCountDigits);
  for (int value : {area.frame.left, area.frame.top, area.frame.width, area.frame.height}) {
    text += Hex(value, kFrameDigits);
  }
  for (int slot : area.slotList) text += Hex(slot, kSlotDigits);
  return text;
}

std::optional<ClipboardMarker> ParseMarker(std::string_view text) {
  if (!text.starts_with(kMarkerPrefix) || text.size() < kShortMarkerLength) return std::nullopt;
  const std::optional<int> code = HexValue(text.substr(kPrefixLength, kCodeDigits));
  if (!code) return std::nullopt;
  if (*code == kAreaMarkerCode) return ParseArea(text);
  if (text.size() != kShortMarkerLength) return std::nullopt;
  if (*code == kPageMarkerCode) return PageMarker{};
  if (IsSlot(*code)) return ElementMarker{*code};
  return std::nullopt;
}

int MarkerCode(const ClipboardMarker& marker) {
  if (std::holds_alternative<PageMarker>(marker)) return kPageMarkerCode;
  if (const auto* element = std::get_if<ElementMarker>(&marker)) return element->slot;
  return kAreaMarkerCode;
}

std::optional<int> Paste1PcsOrgan(model::PageRecord& clipboardPage, int sourceSlot,
                                  model::PageRecord& page, PageSize pageSize) {
  if (!IsSlot(sourceSlot)) return std::nullopt;
  const auto a = static_cast<std::size_t>(sourceSlot);
  return PasteElementAt(clipboardPage, sourceSlot, page, pageSize,
                        clipboardPage.ElemLeft[a] + kPasteShiftX,
                        clipboardPage.ElemTop[a] + kPasteShiftY);
}

std::optional<int> PasteElementAt(model::PageRecord& clipboardPage, int sourceSlot,
                                  model::PageRecord& page, PageSize pageSize, int left, int top) {
  if (!IsSlot(sourceSlot)) return std::nullopt;
  const auto a = static_cast<std::size_t>(sourceSlot);
  const int kind = clipboardPage.ElemKind[a];
  if (kind == 0) return std::nullopt;
  const std::optional<int> slot = elements::FindFreeSlot(page, kind);
  if (!slot) return std::nullopt;

  clipboardPage.ElemLeft[a] = static_cast<std::uint16_t>(
      ShiftedInside(left, 0, clipboardPage.ElemWidth[a], pageSize.width));
  clipboardPage.ElemTop[a] = static_cast<std::uint16_t>(
      ShiftedInside(top, 0, clipboardPage.ElemHeight[a], pageSize.height));
  model::CopyElement(clipboardPage, sourceSlot, page, *slot);
  return slot;
}

PasteOutcome PasteArea(model::PageRecord& clipboardPage, AreaMarker& area, model::PageRecord& page,
                       PageSize pageSize) {
  WindowRect& frame = area.frame;
  frame.left = ShiftedInside(frame.left, kPasteShiftX, frame.width, pageSize.width);
  frame.top = ShiftedInside(frame.top, kPasteShiftY, frame.height, pageSize.height);
  PasteOutcome outcome;
  outcome.frame = frame;
  for (int source : area.slotList) {
    if (const std::optional<int> slot = Paste1PcsOrgan(clipboardPage, source, page, pageSize)) {
      outcome.PickList.push_back(*slot);
    } else {
      outcome.PasteFailed = true;
      ++outcome.notPasted;
    }
  }
  return outcome;
}

std::optional<PasteCommand> ClipboardState::Receive(std::string_view text,
                                                    const PageReader& readPage) {
  std::optional<ClipboardMarker> marker = ParseMarker(text);
  if (!marker) return std::nullopt;
  if (!readPage(incoming_[0])) return std::nullopt;
  // A page written by another copy than the one the marker names may lack its elements.
  if (!HoldsElements(incoming_[0], SourceSlots(*marker))) return std::nullopt;
  std::swap(page_, incoming_);
  marker_ = std::move(marker);
  return EnabledPaste();
}

std::optional<PasteCommand> ClipboardState::EnabledPaste() const {
  if (!marker_) return std::nullopt;
  return std::holds_alternative<PageMarker>(*marker_) ? PasteCommand::Page : PasteCommand::Element;
}

std::optional<int> ClipboardState::ClipboardCode() const {
  if (!marker_) return std::nullopt;
  return MarkerCode(*marker_);
}

PasteOutcome ClipboardState::Paste(model::PageRecord& page, PageSize pageSize) {
  if (!marker_) return {};
  if (auto* area = std::get_if<AreaMarker>(&*marker_)) {
    return PasteArea(ClipboardPage(), *area, page, pageSize);
  }
  PasteOutcome outcome;
  if (const auto* element = std::get_if<ElementMarker>(&*marker_)) {
    if (const std::optional<int> slot =
            Paste1PcsOrgan(ClipboardPage(), element->slot, page, pageSize)) {
      outcome.PickList.push_back(*slot);
    } else {
      outcome.PasteFailed = true;
      outcome.notPasted = 1;
    }
  }
  return outcome;
}

bool OrganSendToBack(model::PageRecord& page, int slot) {
  if (slot < 0 || slot >= model::kTextTableFirstSlot) return false;
  if (slot == 0) return true;
  // One element's entries, held aside while the others move up.
  const auto held = std::make_unique<model::PageRecord>();
  model::CopyElement(page, slot, *held, 0);
  for (int i = slot; i > 0; --i) model::CopyElement(page, i - 1, page, i);
  model::CopyElement(*held, 0, page, 0);
  return true;
}

std::filesystem::path ClipboardFilePath(const std::filesystem::path& workDir) {
  return workDir / kClipboardFileName;
}

Status WriteClipboardFile(const std::filesystem::path& workDir, const model::PageRecord& page) {
  Result<platform::WorkDirLock> lock = platform::WorkDirLock::Acquire(workDir);
  if (!lock) return lock.error();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&page);
  return platform::WriteFileAtomic(ClipboardFilePath(workDir),
                                   std::span(bytes, model::kPageRecordSize));
}

Status ReadClipboardFile(const std::filesystem::path& workDir, model::PageRecord& page) {
  Result<platform::Bytes> bytes = [&]() -> Result<platform::Bytes> {
    Result<platform::WorkDirLock> lock = platform::WorkDirLock::Acquire(workDir);
    if (!lock) return lock.error();
    return platform::ReadFileBytes(ClipboardFilePath(workDir), platform::Links::Refuse);
  }();
  if (!bytes) return bytes.error();
  if (bytes->size() < model::kPageRecordSize) {
    return Error{ClipboardFilePath(workDir).string() + " is shorter than one page record"};
  }
  std::memcpy(&page, bytes->data(), model::kPageRecordSize);
  return {};
}

}  // namespace dravik::editor
