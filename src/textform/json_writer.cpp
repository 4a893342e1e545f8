#include "textform/json_writer.h"

namespace dravik::textform {

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

void JsonWriter::NewLine(std::size_t depth) {
  text_ += '\n';
  text_.append(2 * depth, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (open_.empty()) return;
  Open& container = open_.back();
  if (!container.empty) text_ += ',';
  if (layout_ == JsonLayout::Lines) {
    if (!container.oneLine) {
      NewLine(open_.size());
    } else if (!container.empty) {
      text_ += ' ';
    }
  }
  container.empty = false;
}

JsonWriter& JsonWriter::OpenContainer(char bracket, bool oneLine) {
  BeforeValue();
  text_ += bracket;
  const bool inOneLine = !open_.empty() && open_.back().oneLine;
  open_.push_back({true, oneLine || inOneLine});
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  if (!open_.empty()) {
    const Open closing = open_.back();
    open_.pop_back();
    if (layout_ == JsonLayout::Lines && !closing.oneLine && !closing.empty) NewLine(open_.size());
  }
  text_ += bracket;
  return *this;
}

JsonWriter& JsonWriter::BeginObject(bool oneLine) {
  return OpenContainer('{', oneLine);
}
JsonWriter& JsonWriter::EndObject() {
  return Close('}');
}
JsonWriter& JsonWriter::BeginArray(bool oneLine) {
  return OpenContainer('[', oneLine);
}
JsonWriter& JsonWriter::EndArray() {
  return Close(']');
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  text_ += JsonQuoted(name);
  text_ += layout_ == JsonLayout::Lines ? ": " : ":";
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

}  // namespace dravik::textform
