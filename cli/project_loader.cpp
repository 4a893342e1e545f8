#include "cli/project_loader.h"

#include <ostream>

#include "compiler/compile_project.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "params/device_resources.h"

namespace dravik::cli {

bool LoadProject(const CommandContext& context, model::ProjectImage& image,
                 const std::string& path) {
  if (auto failure = model::ReadProjectFile(image, path)) {
    context.Report(failure->message);
    return false;
  }
  model::RepairSettingsOnOpen(image.Settings());
  return true;
}

std::string Link1ProtocolText(const model::PageRecord& settings) {
  const int index = model::At(settings, model::settings::kLink1Protocol);
  Result<std::vector<std::string>> names = params::LoadDeviceSort(params::DeviceResourcesPath());
  if (!names) return "protocol " + std::to_string(index);
  if (index >= 0 && index < static_cast<int>(names->size())) {
    return (*names)[index] + " (" + std::to_string(index) + ")";
  }
  return params::UnknownTableName(index).english;
}

Result<params::DeviceLists> ListsFor(const model::PageRecord& settings) {
  using namespace model::settings;
  return params::LoadDeviceLists(params::DeviceResourcesPath(),
                                 model::At(settings, kLink1Protocol),
                                 model::At(settings, kLink2Table));
}

void PrintCheckRows(const CommandContext& context, const compiler::CheckReport& report) {
  for (const compiler::CheckRow& row : report.rows) {
    // A row about the work parameters has no slot.
    const std::string slot = row.slot >= 0 ? "slot " + std::to_string(row.slot) : "-";
    context.out << row.caption << '\t' << row.kindName << '\t' << slot << '\t' << row.message
                << '\n';
  }
}

std::optional<std::vector<std::uint8_t>> CompileProjectFile(const CommandContext& context,
                                                            const std::string& path,
                                                            bool runCheck) {
  model::ProjectImage image;
  if (!LoadProject(context, image, path)) return std::nullopt;
  // Only the check reads the register-kind lists; the image does not depend on them, so
  // skipping the check needs no device resources at all.
  params::DeviceLists lists;
  if (runCheck) {
    Result<params::DeviceLists> loaded = ListsFor(image.Settings());
    if (!loaded) {
      context.Report(loaded.error().Text());
      return std::nullopt;
    }
    lists = std::move(loaded).value();
  }
  compiler::CompileProjectOptions options;
  options.runCheck = runCheck;
  options.isChinese = context.isChinese;
  compiler::ProjectCompileResult result = compiler::CompileProject(image, path, lists, options);
  PrintCheckRows(context, result.check);
  for (const auto& message : result.messages) context.Report(message.text);
  if (!result.ok()) {
    if (!result.failure.english.empty()) context.Report(result.failure);
    return std::nullopt;
  }
  return std::move(result.image);
}

}  // namespace dravik::cli
