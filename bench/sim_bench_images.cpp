#include "sim_bench_images.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "all_kinds_page.h"
#include "compiler/compile_to_image.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"

namespace dravik::bench {

compiler::DecodedImage Decode(const std::vector<std::uint8_t>& bytes) {
  auto decoded = compiler::ReadDeviceImage(bytes);
  if (!decoded) std::abort();
  return std::move(*decoded);
}

std::vector<std::uint8_t> MixedPageImage() {
  auto project = std::make_unique<model::ProjectImage>();
  model::InitializeNewProject(*project);
  FillMixedPage(*project, 1);
  model::At(project->Settings(), model::settings::kInitialPage) = 1;
  const auto compiled = compiler::CompileToImage(*project, {});
  if (!compiled.ok) std::abort();
  return compiled.image;
}

std::vector<std::uint8_t> ExampleImage() {
  const std::filesystem::path file =
      std::filesystem::path(DRAVIK_SOURCE_DIR) / "data" / "examples" / "茶叶整形机.QX3";
  auto project = std::make_unique<model::ProjectImage>();
  if (model::ReadProjectFile(*project, file).has_value()) std::abort();
  const auto compiled = compiler::CompileToImage(*project, compiler::CompanionFiles::Beside(file));
  if (!compiled.ok) std::abort();
  return compiled.image;
}

}  // namespace dravik::bench
