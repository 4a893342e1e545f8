#include "app/page_clipboard.h"

namespace dravik::app {

std::string ClipboardMarker(int code) {
  if (code == kPageMarkerCode) return editor::MarkerText(editor::PageMarker{});
  return editor::MarkerText(editor::ElementMarker{code});
}

std::optional<int> MarkerCode(const std::string& text) {
  const std::optional<editor::ClipboardMarker> marker = editor::ParseMarker(text);
  if (!marker) return std::nullopt;
  return editor::MarkerCode(*marker);
}

std::filesystem::path ClipboardFilePath(const std::filesystem::path& workDir) {
  return editor::ClipboardFilePath(workDir);
}

Status WriteClipboardFile(const std::filesystem::path& workDir, const model::PageRecord& page) {
  return editor::WriteClipboardFile(workDir, page);
}

Status ReadClipboardFile(const std::filesystem::path& workDir, model::PageRecord& page) {
  return editor::ReadClipboardFile(workDir, page);
}

}  // namespace dravik::app
