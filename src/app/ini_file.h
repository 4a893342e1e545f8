#pragma once
// A small INI file: sections of "key=value" lines, looked up without regard to case as
// the desktop's own INI functions do. Values are kept as texts; readers that want a
// number or a flag say what to fall back on when the text is none.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace dravik::app {

class IniFile {
 public:
  // Parses INI text: "[section]" headers, "key=value" lines (blanks around both trimmed),
  // ";" and "#" comment lines. Lines before the first header belong to section "".
  static IniFile Parse(std::string_view text);
  // Reads a file; a missing file is an error the caller can tell apart with `exists`.
  static Result<IniFile> Load(const std::filesystem::path& file);

  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // A decimal integer (optionally signed); `fallback` when missing or not a number.
  long long Integer(std::string_view section, std::string_view key, long long fallback) const;
  // "0" is false, any other number is true; `fallback` when missing or not a number.
  bool Flag(std::string_view section, std::string_view key, bool fallback) const;

  void Set(std::string_view section, std::string_view key, std::string value);
  void SetInteger(std::string_view section, std::string_view key, long long value);
  void SetFlag(std::string_view section, std::string_view key, bool value);  // "1" / "0"

  std::string Text() const;
  // Written crash-safely; the folder is created when missing.
  Status Save(const std::filesystem::path& file) const;

 private:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Entry* Find(std::string_view section, std::string_view key) const;
  Section& SectionNamed(std::string_view name);

  std::vector<Section> sections_;
};

}  // namespace dravik::app
