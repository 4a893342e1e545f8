#pragma once
// The text form of a whole project: the settings page, every page in use with its
// elements, the clock macro and the pictures as one JSON document whose keys come in a
// fixed order, one element per block of lines, so that versions of a project can be
// compared, reviewed and merged as text. Free slots and what they still hold are left
// out; everything else comes back byte for byte when the document is read again.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "macro/mac_text.h"
#include "macro/macro_row.h"
#include "model/project_image.h"
#include "pictures/picture_library.h"
#include "platform/result.h"
#include "textform/json_value.h"

namespace dravik::textform {

inline constexpr std::string_view kDocumentFormat = "dravik-project";
inline constexpr int kDocumentVersion = 1;

// A project with what lies beside it: the pages, the ".M" rows and the ".PIC" records.
struct ProjectContent {
  model::ProjectImage image;
  macro::MacroRows macro{};
  std::vector<pictures::PictureRecord> pictures;
};

struct DocumentOptions {
  // The register name the macro rows' text shows (Link 1's first word kind).
  std::string macroRegisterName{macro::kDefaultRegisterName};
};

JsonValue ProjectToDocument(const ProjectContent& project, const DocumentOptions& options = {});

// The sections of the document: the settings page, one page in use, the macro rows, the
// pictures.
JsonValue SettingsSection(const model::PageRecord& settings);
JsonValue PageSection(const model::PageRecord& page, int number);
JsonValue MacroSection(const macro::MacroRows& rows, std::string_view registerName);
JsonValue PicturesSection(const std::vector<pictures::PictureRecord>& records);

// The document's text, WriteJson(ProjectToDocument(...)) byte for byte, handed to `sink`
// a page at a time (false from the sink stops the writing).
using TextSink = std::function<bool(std::string_view)>;
Status WriteDocument(const ProjectContent& project, const DocumentOptions& options, const TextSink& sink);

// Fills `project` (fresh, all zero) from the document, checking every value: the error
// names the JSON path of the first fault ("$.pages[2].elements[5].fields.upperLimit").
Status DocumentToProject(const JsonValue& document, ProjectContent& project);
// The same from the document's text, parsed a page at a time.
Status ReadDocument(std::string_view text, ProjectContent& project);

// Reads the project file as Open does (markers, settings repairs) with its macro and
// pictures when they exist beside it; creates nothing.
Status ReadProjectContent(const std::filesystem::path& projectFile, ProjectContent& project,
                          bool isChinese);

// Writes the project file with a new ".M" and ".PIC" beside it, all three together or
// none (each built in the project's folder, then renamed into place).
Status WriteProjectContent(ProjectContent& project, const std::filesystem::path& projectFile,
                           bool isChinese);

}  // namespace dravik::textform
