#include "app/ini_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <system_error>

#include "platform/files.h"

namespace dravik::app {

namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

std::optional<long long> ParseInteger(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  Section* current = &ini.SectionNamed("");
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      current = &ini.SectionNamed(Trim(line.substr(1, close == std::string_view::npos
                                                          ? std::string_view::npos
                                                          : close - 1)));
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty()) continue;
    // The first occurrence of a key wins, as with the desktop's INI functions.
    const bool known = std::any_of(current->entries.begin(), current->entries.end(),
                                   [&](const Entry& e) { return SameName(e.key, key); });
    if (!known) current->entries.push_back({std::string(key), std::string(Trim(line.substr(equals + 1)))});
  }
  return ini;
}

Result<IniFile> IniFile::Load(const std::filesystem::path& file) {
  // A settings file holds a few dozen keys; a pipe or a device in its place would hold up
  // the start for ever, and a huge file all the memory there is.
  constexpr std::size_t kMaxIniBytes = std::size_t{1} << 20;
  Result<platform::Bytes> bytes = platform::ReadFileBytes(file, kMaxIniBytes);
  if (!bytes) return bytes.error();
  return Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

const IniFile::Entry* IniFile::Find(std::string_view section, std::string_view key) const {
  for (const Section& s : sections_) {
    if (!SameName(s.name, section)) continue;
    for (const Entry& e : s.entries) {
      if (SameName(e.key, key)) return &e;
    }
  }
  return nullptr;
}

IniFile::Section& IniFile::SectionNamed(std::string_view name) {
  for (Section& s : sections_) {
    if (SameName(s.name, name)) return s;
  }
  sections_.push_back({std::string(name), {}});
  return sections_.back();
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
  const Entry* entry = Find(section, key);
  if (entry == nullptr) return std::nullopt;
  return entry->value;
}

long long IniFile::Integer(std::string_view section, std::string_view key, long long fallback) const {
  const Entry* entry = Find(section, key);
  if (entry == nullptr) return fallback;
  return ParseInteger(entry->value).value_or(fallback);
}

bool IniFile::Flag(std::string_view section, std::string_view key, bool fallback) const {
  const Entry* entry = Find(section, key);
  if (entry == nullptr) return fallback;
  const auto number = ParseInteger(entry->value);
  return number ? *number != 0 : fallback;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string value) {
  Section& s = SectionNamed(section);
  for (Entry& e : s.entries) {
    if (SameName(e.key, key)) {
      e.value = std::move(value);
      return;
    }
  }
  s.entries.push_back({std::string(key), std::move(value)});
}

void IniFile::SetInteger(std::string_view section, std::string_view key, long long value) {
  Set(section, key, std::to_string(value));
}

void IniFile::SetFlag(std::string_view section, std::string_view key, bool value) {
  Set(section, key, value ? "1" : "0");
}

std::string IniFile::Text() const {
  std::string text;
  for (const Section& s : sections_) {
    if (s.name.empty() && s.entries.empty()) continue;
    if (!s.name.empty()) text += "[" + s.name + "]\n";
    for (const Entry& e : s.entries) text += e.key + "=" + e.value + "\n";
  }
  return text;
}

Status IniFile::Save(const std::filesystem::path& file) const {
  std::error_code error;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), error);
  if (error) return Error{"cannot create " + file.parent_path().string() + ": " + error.message()};
  const std::string text = Text();
  return platform::WriteFileAtomic(
      file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace dravik::app
