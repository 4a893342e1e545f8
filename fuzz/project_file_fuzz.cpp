// Opening a project file: the zstd frame and the records in it. Whatever the frame
// claims, the image is the only place pages go; a refusal leaves no page loaded and the
// settings record as the open's own clearing left it; an opened project saves and opens
// again to the same records.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"

using namespace dravik;
using model::ProjectImage;

namespace {

// Two images of 241 records each, made once: a fresh 47 MB allocation per input would
// only measure the allocator.
ProjectImage& Opened() {
  static auto image = std::make_unique<ProjectImage>();
  return *image;
}
ProjectImage& Reopened() {
  static auto image = std::make_unique<ProjectImage>();
  return *image;
}

std::vector<std::uint8_t> Copy(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

void CheckSavesAndReopens(ProjectImage& image) {
  std::vector<std::uint8_t> file;
  const Status compressed =
      model::CompressProjectTo(image, [&](std::span<const std::uint8_t> bytes) {
        file.insert(file.end(), bytes.begin(), bytes.end());
        return true;
      });
  FUZZ_CHECK(compressed.ok());
  const int records = model::RecordCountToSave(image);
  const std::vector<std::uint8_t> saved = Copy(image.RecordBytes(0, records));

  ProjectImage& again = Reopened();
  FUZZ_CHECK(!model::ReadProjectBytes(again, file, "fuzz.QX3").has_value());
  FUZZ_CHECK(std::memcmp(again.RecordBytes(0, records).data(), saved.data(), saved.size()) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ProjectImage& image = Opened();
  image.ClearPagesForLoad();
  const std::vector<std::uint8_t> settingsBefore = Copy(image.RecordBytes(0, 1));

  const auto failure = model::ReadProjectBytes(image, std::span(data, size), "fuzz.QX3");
  if (failure) {
    FUZZ_CHECK(!failure->message.english.empty() && !failure->message.chinese.empty());
    FUZZ_CHECK(image.HighestUsedPage() == 0);
    FUZZ_CHECK(std::memcmp(image.RecordBytes(0, 1).data(), settingsBefore.data(),
                           settingsBefore.size()) == 0);
    return 0;
  }
  FUZZ_CHECK(model::HasFileMarkers(image.Settings()));
  CheckSavesAndReopens(image);
  return 0;
}
