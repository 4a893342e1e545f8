#include "velnor/package_image.h"

#include <system_error>

#include "comm/device_image_check.h"
#include "comm/download_session.h"
#include "comm/update_package.h"
#include "platform/files.h"

namespace dravik::velnor {

namespace fs = std::filesystem;

fs::path ImageBeside(const fs::path& programFolder) {
  return programFolder / comm::kPackageImage;
}

Result<std::vector<std::uint8_t>> LoadPackageImage(const fs::path& file) {
  const std::string name = file.string();
  std::error_code error;
  if (!fs::exists(file, error)) {
    return Error{Bilingual{"找不到画面数据文件 " + name + "。更新包应在本程序旁边带有 Dat.bin。",
                           "The device image " + name +
                               " was not found. An update package keeps Dat.bin beside this "
                               "program."}};
  }
  const auto tooBig = [&](std::uintmax_t size) {
    const std::string bytes = std::to_string(size);
    return Error{Bilingual{
        name + " 有 " + bytes + " 字节，超过面板能容纳的 153600 字节，不是画面数据文件。",
        name + " has " + bytes +
            " bytes, more than the 153,600 bytes the panel holds: it is no device image."}};
  };
  Result<platform::Bytes> bytes = platform::ReadFileBytes(file, comm::kMaxImageSize, tooBig);
  if (!bytes) return bytes.error();
  if (Status check = comm::CheckDeviceImage(*bytes); !check) {
    return Explained({name + "：", name + ": "}, check.error());
  }
  return std::move(*bytes);
}

Bilingual ImageSummary(const fs::path& file, std::size_t size) {
  const std::string bytes = std::to_string(size);
  return {file.string() + "（" + bytes + " 字节）", file.string() + " (" + bytes + " bytes)"};
}

}  // namespace dravik::velnor
