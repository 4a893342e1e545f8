#include "app/page_clipboard.h"

#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace dravik::app {

std::string ClipboardMarker(int code) {
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", code & 0xFF);
  return std::string(kMarkerPrefix) + digits;
}

std::optional<int> MarkerCode(const std::string& text) {
  const std::string prefix = kMarkerPrefix;
  if (text.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  const std::string digits = text.substr(prefix.size(), 2);
  if (digits.size() != 2) return kPageMarkerCode;
  int value = 0;
  for (char c : digits) {
    int nibble = 0;
    if (c >= '0' && c <= '9') nibble = c - '0';
    else if (c >= 'A' && c <= 'F') nibble = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') nibble = c - 'a' + 10;
    else return kPageMarkerCode;
    value = value * 16 + nibble;
  }
  return value;
}

std::filesystem::path ClipboardFilePath(const std::filesystem::path& workDir) {
  return workDir / kClipboardFileName;
}

Status WriteClipboardFile(const std::filesystem::path& workDir, const model::PageRecord& page) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&page);
  return platform::WriteFileAtomic(ClipboardFilePath(workDir),
                                   std::span(bytes, model::kPageRecordSize));
}

Status ReadClipboardFile(const std::filesystem::path& workDir, model::PageRecord& page) {
  Result<platform::Bytes> bytes = platform::ReadFileBytes(ClipboardFilePath(workDir), platform::Links::Refuse);
  if (!bytes) return bytes.error();
  if (bytes->size() < model::kPageRecordSize) {
    return Error{ClipboardFilePath(workDir).string() + " is shorter than one page record"};
  }
  std::memcpy(&page, bytes->data(), model::kPageRecordSize);
  return {};
}

}  // namespace dravik::app
