#pragma once
// The page channel of the clipboard shared by running instances: the copied page goes to
// the work file "MCopy.Temp" and a marker text naming what was copied goes on the system
// clipboard. Every instance that sees a marker loads the work file into its clipboard
// page. Element and area markers share the format; only whole pages are pasted here.

#include <filesystem>
#include <optional>
#include <string>

#include "model/page_record.h"
#include "platform/result.h"

namespace dravik::app {

inline constexpr char kClipboardFileName[] = "MCopy.Temp";
inline constexpr char kMarkerPrefix[] = "zr_QX:";
inline constexpr int kPageMarkerCode = 255;  // "FF": a whole page
inline constexpr int kAreaMarkerCode = 238;  // "EE": a selected area

// "zr_QX:" + the code as two upper-case hexadecimal digits.
std::string ClipboardMarker(int code);

// The code of a marker text: characters 7 and 8 read as hexadecimal, 255 when they are
// not; nothing when the text is no marker.
std::optional<int> MarkerCode(const std::string& text);

std::filesystem::path ClipboardFilePath(const std::filesystem::path& workDir);
// The page as the file's only record, written crash-safely.
Status WriteClipboardFile(const std::filesystem::path& workDir, const model::PageRecord& page);
// The file's first record; a missing or short file is an error and `page` is untouched.
Status ReadClipboardFile(const std::filesystem::path& workDir, model::PageRecord& page);

}  // namespace dravik::app
