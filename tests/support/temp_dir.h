#pragma once
// A fresh folder per test, removed afterwards, so tests never see each other's files.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& file);
void WriteAll(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::filesystem::path& file, std::string_view text);
std::string ReadText(const std::filesystem::path& file);

// The folder that holds the built program data (QXRes.Dat and friends).
std::filesystem::path ProgramDir();

}  // namespace dravik::test
