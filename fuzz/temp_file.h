#pragma once
// A file of this process's own for the parsers that take a path: each input is written
// to it before the parser reads it back, and it is removed at exit. It lives in memory
// (/dev/shm) where there is such a place: rewriting a file on ext4 flushes it to the disk
// each time (truncation makes the file system write the replaced data out), which made
// the file-reading targets spend most of each run waiting for the disk.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

namespace dravik::fuzz {

class TempFile {
 public:
  explicit TempFile(const std::string& suffix) {
    std::string pattern = (Folder() / ("dravik-fuzz-XXXXXX" + suffix)).string();
    const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0) std::abort();
    close(fd);
    path_ = pattern;
  }
  ~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::filesystem::path& Holding(std::span<const std::uint8_t> bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
    return path_;
  }
  // For a parser's own writes (a save read back).
  const std::filesystem::path& Path() const { return path_; }

 private:
  static std::filesystem::path Folder() {
    std::error_code ignored;
    const std::filesystem::path memory = "/dev/shm";
    if (std::filesystem::is_directory(memory, ignored) && access(memory.c_str(), W_OK) == 0) {
      return memory;
    }
    return std::filesystem::temp_directory_path();
  }

  std::filesystem::path path_;
};

}  // namespace dravik::fuzz
