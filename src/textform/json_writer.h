#pragma once
// The one JSON writer of the program: it places the commas and escapes strings, so a
// caller only says what it writes. Compact by default (the commands' --json output); in
// the line layout every member and array item gets a line of its own, indented by two
// spaces per level, except inside containers opened on one line.
//   JsonWriter json;
//   json.BeginObject().Key("page").Number(1).Key("name").String(name).EndObject();

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::textform {

// `text` (UTF-8) as a JSON string with its quotes: quote, backslash and the control
// characters escaped, everything else as it is.
std::string JsonQuoted(std::string_view text);

enum class JsonLayout { Compact, Lines };

class JsonWriter {
 public:
  explicit JsonWriter(JsonLayout layout = JsonLayout::Compact) : layout_(layout) {}

  // `oneLine` keeps the container (and all inside it) on one line in the line layout.
  JsonWriter& BeginObject(bool oneLine = false);
  JsonWriter& EndObject();
  JsonWriter& BeginArray(bool oneLine = false);
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(std::int64_t value);
  JsonWriter& Null();
  JsonWriter& Bool(bool value);
  // The number, or null when there is none.
  JsonWriter& Number(const std::optional<int>& value);

  const std::string& Text() const { return text_; }
  // The text written so far, leaving the writer empty but where it was.
  std::string Take() {
    std::string out;
    out.swap(text_);
    return out;
  }

 private:
  struct Open {
    bool empty = true;
    bool oneLine = false;
  };
  void BeforeValue();
  void NewLine(std::size_t depth);
  JsonWriter& OpenContainer(char bracket, bool oneLine);
  JsonWriter& Close(char bracket);

  JsonLayout layout_;
  std::string text_;
  std::vector<Open> open_;
  bool afterKey_ = false;
};

}  // namespace dravik::textform
