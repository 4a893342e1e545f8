#pragma once
// A JSON document in memory: the model the text form of a project is built as, written
// from and read into. Objects keep their members in order; numbers are whole numbers
// (the text form has no others).

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace dravik::textform {

struct JsonMember;

struct JsonValue {
  enum class Type { Null, Bool, Number, String, Array, Object };

  Type type = Type::Null;
  bool boolean = false;
  std::int64_t number = 0;
  std::string text;
  std::vector<JsonValue> items;     // Array
  std::vector<JsonMember> members;  // Object
  bool oneLine = false;             // written on one line in the line layout

  static JsonValue Bool(bool value);
  static JsonValue Number(std::int64_t value);
  static JsonValue String(std::string value);
  static JsonValue Array(bool oneLine = false);
  static JsonValue Object(bool oneLine = false);

  bool IsObject() const { return type == Type::Object; }
  bool IsArray() const { return type == Type::Array; }
  bool IsNumber() const { return type == Type::Number; }
  bool IsString() const { return type == Type::String; }

  // Object building: appends a member and returns its value.
  JsonValue& Add(std::string key, JsonValue value);
  // The member `key`; nullptr when there is none (or this is no object).
  const JsonValue* Find(std::string_view key) const;

  bool operator==(const JsonValue& other) const;
};

struct JsonMember {
  std::string key;
  JsonValue value;
  bool operator==(const JsonMember&) const = default;
};

// The document as text in the line layout, ending with a newline.
std::string WriteJson(const JsonValue& value);
// The value on one line (for messages and the diff).
std::string WriteCompactJson(const JsonValue& value);

// Parses a whole document; the error names the line and column. A number with a fraction
// or an exponent, or out of the 64-bit range, is refused.
Result<JsonValue> ParseJson(std::string_view text);
// The same, handing each item of the top-level member `streamedMember` (an array) to
// `handler` as soon as it is parsed instead of keeping it: the member stays an empty array.
// A failure of the handler ends the parse with its error.
using JsonItemHandler = std::function<Status(std::size_t index, const JsonValue& item)>;
Result<JsonValue> ParseJson(std::string_view text, std::string_view streamedMember,
                            const JsonItemHandler& handler);

class JsonWriter;
// Writes `value` through `json`.
void EmitJson(JsonWriter& json, const JsonValue& value);

}  // namespace dravik::textform
