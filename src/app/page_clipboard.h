#pragma once
// The page channel of the clipboard shared by running instances: the copied page goes to
// the work file "MCopy.Temp" and a marker text naming what was copied goes on the system
// clipboard. Every instance that sees a marker loads the work file into its clipboard
// page. Element and area markers share the format; only whole pages are pasted here.

#include <filesystem>
#include <optional>
#include <string>

#include "editor/element_clipboard.h"
#include "model/page_record.h"
#include "platform/result.h"

namespace dravik::app {

using editor::kAreaMarkerCode;
using editor::kClipboardFileName;
using editor::kMarkerPrefix;
using editor::kPageMarkerCode;

// "zr_QX:" + the code as two upper-case hexadecimal digits.
std::string ClipboardMarker(int code);

// The code of a marker text (255 a page, 238 an area, else the slot); nothing when the
// text is no well-formed marker.
std::optional<int> MarkerCode(const std::string& text);

std::filesystem::path ClipboardFilePath(const std::filesystem::path& workDir);
// The page as the file's only record, written crash-safely under the work folder's lock.
Status WriteClipboardFile(const std::filesystem::path& workDir, const model::PageRecord& page);
// The file's first record; a missing or short file is an error and `page` is untouched.
Status ReadClipboardFile(const std::filesystem::path& workDir, model::PageRecord& page);

}  // namespace dravik::app
