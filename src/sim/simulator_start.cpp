#include "sim/simulator_start.h"

#include <utility>

#include "compiler/compile_project.h"
#include "compiler/image_layout.h"
#include "params/device_resources.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace dravik::sim {

namespace fs = std::filesystem;

Result<fs::path> DefaultImagePath() {
  Result<fs::path> work = platform::WorkDir();
  if (!work) return work.error();
  return *work / compiler::kCompiledImageName;
}

int Link1Protocol(const compiler::DecodedImage& image) {
  return image.Setting(compiler::image_field::kLink1Protocol);
}

Result<PanelSession> StartFromFile(const fs::path& imageFile, const fs::path& resources,
                                   SessionOptions options) {
  Result<platform::Bytes> bytes = platform::ReadFileBytes(imageFile, compiler::kMaxImageSize);
  if (!bytes) return bytes.error();
  Result<compiler::DecodedImage> image = compiler::ReadDeviceImage(*bytes);
  if (!image) return image.error();
  RegisterKinds kinds;
  Result<params::DeviceLists> lists =
      params::LoadDeviceLists(resources, Link1Protocol(*image), /*link2TableIndex=*/0);
  if (lists) kinds = RegisterKinds::FromLists(*lists);
  return PanelSession::Start(std::move(*image), std::move(kinds), std::move(options));
}

}  // namespace dravik::sim
