#pragma once
// A small writer of compact JSON for the commands' --json output: it places the commas
// and escapes strings, so a command only says what it writes.
//   JsonWriter json;
//   json.BeginObject().Key("page").Number(1).Key("name").String(name).EndObject();

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravik::cli {

// `text` (UTF-8) as a JSON string with its quotes: quote, backslash and the control
// characters escaped, everything else as it is.
std::string JsonQuoted(std::string_view text);

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(std::int64_t value);
  JsonWriter& Null();
  JsonWriter& Bool(bool value);
  // The number, or null when there is none.
  JsonWriter& Number(const std::optional<int>& value);

  const std::string& Text() const { return text_; }

 private:
  void BeforeValue();
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);

  std::string text_;
  std::vector<bool> empty_;  // per open container: nothing written into it yet
  bool afterKey_ = false;
};

}  // namespace dravik::cli
