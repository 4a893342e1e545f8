#include "cli/json_writer.h"

namespace dravik::cli {

std::string JsonQuoted(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (byte < 0x20) {
          quoted += "\\u00";
          quoted += kHex[byte >> 4];
          quoted += kHex[byte & 0x0F];
        } else {
          quoted += c;
        }
    }
  }
  quoted += '"';
  return quoted;
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!empty_.empty()) {
    if (!empty_.back()) text_ += ',';
    empty_.back() = false;
  }
}

JsonWriter& JsonWriter::Open(char bracket) {
  BeforeValue();
  text_ += bracket;
  empty_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  text_ += bracket;
  if (!empty_.empty()) empty_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::BeginObject() {
  return Open('{');
}
JsonWriter& JsonWriter::EndObject() {
  return Close('}');
}
JsonWriter& JsonWriter::BeginArray() {
  return Open('[');
}
JsonWriter& JsonWriter::EndArray() {
  return Close(']');
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  text_ += JsonQuoted(name);
  text_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  BeforeValue();
  text_ += JsonQuoted(text);
  return *this;
}

JsonWriter& JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Number(const std::optional<int>& value) {
  return value ? Number(*value) : Null();
}

}  // namespace dravik::cli
