#pragma once
// Small projects compiled to device images for the simulator's tests: a project in a
// temporary folder, elements placed with the editor's own placement, the image read back.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "compiler/compile_to_image.h"
#include "compiler/image_reader.h"
#include "elements/placement.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "support/temp_dir.h"

namespace dravik::sim::test {

class TestProject {
 public:
  TestProject() : project_(std::make_unique<model::ProjectImage>()) {
    model::InitializeNewProject(*project_);
  }

  model::ProjectImage& Project() { return *project_; }
  model::PageRecord& Settings() { return project_->Settings(); }
  std::filesystem::path File() const { return file_; }

  // Page `number` in use, empty, with a white background.
  model::PageRecord& UsePage(int number) {
    model::PageRecord& p = project_->Page(number);
    p.ElemKind.fill(0);
    p.PageStrings[model::kPageNumberText].Assign(std::to_string(number));
    p.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
    p.PageStrings[model::kPageBackColorText].Assign(std::to_string(0xFFFFFF));
    return p;
  }

  // An element of `kind` with its placement defaults at page pixels (x, y).
  int Place(int page, int kind, int x, int y, int width = 60, int height = 24) {
    elements::Placement placement;
    placement.kind = kind;
    placement.x = x + 5;
    placement.y = y + 5;
    placement.width = width;
    placement.height = height;
    placement.pageBackColor = 0xFFFFFF;
    const auto slot = elements::PlaceElement(project_->Page(page), project_->Settings(), placement);
    EXPECT_TRUE(slot.has_value());
    return slot.value_or(0);
  }

  // The image written beside the project as QX.bin, where Dravik's compile leaves it.
  std::filesystem::path WriteImage() {
    const std::filesystem::path image = dir_ / "QX.bin";
    dravik::test::WriteAll(image, CompiledBytes());
    return image;
  }

  compiler::DecodedImage Compile() {
    auto decoded = compiler::ReadDeviceImage(CompiledBytes());
    EXPECT_TRUE(decoded) << (decoded ? "" : decoded.message());
    return decoded ? std::move(*decoded) : compiler::DecodedImage{};
  }

 private:
  std::vector<std::uint8_t> CompiledBytes() {
    const compiler::CompileResult compiled =
        compiler::CompileToImage(*project_, compiler::CompanionFiles::Beside(file_));
    EXPECT_TRUE(compiled.ok) << compiled.failure.english;
    return compiled.image;
  }

  dravik::test::TempDir dir_;
  std::filesystem::path file_ = dir_ / "P.QX3";
  std::unique_ptr<model::ProjectImage> project_;
};

}  // namespace dravik::sim::test
