#include "cli/project_loader.h"

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
  if (names && index >= 0 && index < static_cast<int>(names->size())) {
    return (*names)[index] + " (" + std::to_string(index) + ")";
  }
  return "protocol " + std::to_string(index);
}

}  // namespace dravik::cli
