#include "textform/json_value.h"

#include <charconv>
#include <optional>
#include <string>

#include "textform/json_writer.h"

namespace dravik::textform {

JsonValue JsonValue::Bool(bool value) {
  JsonValue v;
  v.type = Type::Bool;
  v.boolean = value;
  return v;
}

JsonValue JsonValue::Number(std::int64_t value) {
  JsonValue v;
  v.type = Type::Number;
  v.number = value;
  return v;
}

JsonValue JsonValue::String(std::string value) {
  JsonValue v;
  v.type = Type::String;
  v.text = std::move(value);
  return v;
}

JsonValue JsonValue::Array(bool oneLine) {
  JsonValue v;
  v.type = Type::Array;
  v.oneLine = oneLine;
  return v;
}

JsonValue JsonValue::Object(bool oneLine) {
  JsonValue v;
  v.type = Type::Object;
  v.oneLine = oneLine;
  return v;
}

JsonValue& JsonValue::Add(std::string key, JsonValue value) {
  members.push_back({std::move(key), std::move(value)});
  return members.back().value;
}

const JsonValue* JsonValue::Find(std::string_view key) const {
  for (const JsonMember& member : members) {
    if (member.key == key) return &member.value;
  }
  return nullptr;
}

bool JsonValue::operator==(const JsonValue& other) const {
  if (type != other.type) return false;
  switch (type) {
    case Type::Null: return true;
    case Type::Bool: return boolean == other.boolean;
    case Type::Number: return number == other.number;
    case Type::String: return text == other.text;
    case Type::Array: return items == other.items;
    case Type::Object: return members == other.members;
  }
  return false;
}

void EmitJson(JsonWriter& json, const JsonValue& value) {
  switch (value.type) {
    case JsonValue::Type::Null: json.Null(); break;
    case JsonValue::Type::Bool: json.Bool(value.boolean); break;
    case JsonValue::Type::Number: json.Number(value.number); break;
    case JsonValue::Type::String: json.String(value.text); break;
    case JsonValue::Type::Array:
      json.BeginArray(value.oneLine);
      for (const JsonValue& item : value.items) EmitJson(json, item);
      json.EndArray();
      break;
    case JsonValue::Type::Object:
      json.BeginObject(value.oneLine);
      for (const JsonMember& member : value.members) {
        json.Key(member.key);
        EmitJson(json, member.value);
      }
      json.EndObject();
      break;
  }
}

namespace {

class Parser {
 public:
  Parser(std::string_view text, std::string_view streamedMember, const JsonItemHandler* handler)
      : text_(text), streamedMember_(streamedMember), handler_(handler) {}

  Result<JsonValue> Document() {
    JsonValue value;
    if (!ParseValue(value, 0)) {
      if (handlerFailed_) return handlerError_;
      return Failure();
    }
    SkipSpace();
    if (pos_ != text_.size()) {
      Fail("text after the document");
      return Failure();
    }
    return value;
  }

 private:
  static constexpr int kMaxDepth = 64;
  static constexpr std::size_t kObjectReserve = 24;

  Error Failure() const {
    int line = 1, column = 1;
    for (std::size_t i = 0; i < errorPos_ && i < text_.size(); ++i) {
      if (text_[i] == '\n') {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    const std::string where = std::to_string(line) + ":" + std::to_string(column);
    return Error{Bilingual{"JSON 第 " + where + " 处有误: " + error_,
                           "JSON error at line " + where + ": " + error_}};
  }

  // Steps over the opening bracket; true (and past `close`) when the list is empty.
  bool OpensEmpty(char close) {
    ++pos_;
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == close) {
      ++pos_;
      return true;
    }
    return false;
  }

  // After an item of an array or object: ',' asks for another (true), `close` ends the
  // list (false); anything else is a fault (nothing).
  std::optional<bool> AfterItem(char close) {
    SkipSpace();
    if (pos_ >= text_.size()) {
      Fail(close == ']' ? "unterminated array" : "unterminated object");
      return std::nullopt;
    }
    if (text_[pos_] == ',') {
      ++pos_;
      return true;
    }
    if (text_[pos_] == close) {
      ++pos_;
      return false;
    }
    Fail(std::string("expected ',' or '") + close + "'");
    return std::nullopt;
  }

  bool Fail(std::string what) {
    if (error_.empty()) {
      error_ = std::move(what);
      errorPos_ = pos_;
    }
    return false;
  }

  void SkipSpace() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r' || text_[pos_] == '\t'))
      ++pos_;
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return Fail("unexpected character");
    pos_ += word.size();
    return true;
  }

  bool ParseValue(JsonValue& value, int depth) {
    if (depth > kMaxDepth) return Fail("nested too deeply");
    SkipSpace();
    if (pos_ >= text_.size()) return Fail("unexpected end");
    const char c = text_[pos_];
    switch (c) {
      case '{': return ParseObject(value, depth);
      case '[': return ParseArray(value, depth);
      case '"':
        value.type = JsonValue::Type::String;
        return ParseString(value.text);
      case 't':
        value.type = JsonValue::Type::Bool;
        value.boolean = true;
        return Literal("true");
      case 'f':
        value.type = JsonValue::Type::Bool;
        return Literal("false");
      case 'n': return Literal("null");
      default:
        if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber(value);
        return Fail("unexpected character");
    }
  }

  bool ParseNumber(JsonValue& value) {
    const char* begin = text_.data() + pos_;
    const char* end = text_.data() + text_.size();
    std::int64_t number = 0;
    const auto [next, error] = std::from_chars(begin, end, number);
    if (error != std::errc()) return Fail("number out of range or malformed");
    pos_ += static_cast<std::size_t>(next - begin);
    if (pos_ < text_.size() && (text_[pos_] == '.' || text_[pos_] == 'e' || text_[pos_] == 'E'))
      return Fail("only whole numbers are allowed");
    value.type = JsonValue::Type::Number;
    value.number = number;
    return true;
  }

  static void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool Hex4(std::uint32_t& code) {
    if (pos_ + 4 > text_.size()) return Fail("short \\u escape");
    code = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = text_[pos_++];
      code <<= 4;
      if (h >= '0' && h <= '9') code |= static_cast<std::uint32_t>(h - '0');
      else if (h >= 'a' && h <= 'f') code |= static_cast<std::uint32_t>(h - 'a' + 10);
      else if (h >= 'A' && h <= 'F') code |= static_cast<std::uint32_t>(h - 'A' + 10);
      else return Fail("bad \\u escape");
    }
    return true;
  }

  bool ParseString(std::string& out) {
    ++pos_;  // the quote
    while (true) {
      const std::size_t run = pos_;
      while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\\' &&
             static_cast<unsigned char>(text_[pos_]) >= 0x20)
        ++pos_;
      out.append(text_.substr(run, pos_ - run));
      if (pos_ >= text_.size()) return Fail("unterminated string");
      const char c = text_[pos_];
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c != '\\') return Fail("control character in a string");
      if (++pos_ >= text_.size()) return Fail("unterminated string");
      const char e = text_[pos_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          std::uint32_t code = 0;
          if (!Hex4(code)) return false;
          if (code >= 0xD800 && code < 0xDC00) {
            std::uint32_t low = 0;
            if (text_.substr(pos_, 2) != "\\u") return Fail("lone surrogate");
            pos_ += 2;
            if (!Hex4(low) || low < 0xDC00 || low > 0xDFFF) return Fail("lone surrogate");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            return Fail("lone surrogate");
          }
          AppendUtf8(out, code);
          break;
        }
        default: return Fail("bad escape");
      }
    }
  }

  bool ParseArray(JsonValue& value, int depth) {
    value.type = JsonValue::Type::Array;
    if (OpensEmpty(']')) return true;
    while (true) {
      value.items.emplace_back();
      if (!ParseValue(value.items.back(), depth + 1)) return false;
      const std::optional<bool> more = AfterItem(']');
      if (!more) return false;
      if (!*more) return true;
    }
  }

  // An array whose items go to the handler one by one.
  bool ParseStreamedArray(JsonValue& value) {
    value.type = JsonValue::Type::Array;
    if (OpensEmpty(']')) return true;
    for (std::size_t index = 0;; ++index) {
      JsonValue item;
      if (!ParseValue(item, 2)) return false;
      if (Status handled = (*handler_)(index, item); !handled) {
        handlerFailed_ = true;
        handlerError_ = handled.error();
        return false;
      }
      const std::optional<bool> more = AfterItem(']');
      if (!more) return false;
      if (!*more) return true;
    }
  }

  bool ParseObject(JsonValue& value, int depth) {
    value.type = JsonValue::Type::Object;
    if (OpensEmpty('}')) return true;
    while (true) {
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a key");
      // An element's fields are some two dozen members: one allocation, no moves.
      if (value.members.empty()) value.members.reserve(kObjectReserve);
      JsonMember& member = value.members.emplace_back();
      if (!ParseString(member.key)) return false;
      SkipSpace();
      if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':'");
      ++pos_;
      if (depth == 0 && handler_ != nullptr && member.key == streamedMember_) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '[') {
          if (!ParseStreamedArray(member.value)) return false;
        } else if (!ParseValue(member.value, depth + 1)) {
          return false;
        }
      } else if (!ParseValue(member.value, depth + 1)) {
        return false;
      }
      const std::optional<bool> more = AfterItem('}');
      if (!more) return false;
      if (!*more) return true;
    }
  }

  std::string_view text_;
  std::string_view streamedMember_;
  const JsonItemHandler* handler_ = nullptr;
  bool handlerFailed_ = false;
  Error handlerError_;
  std::size_t pos_ = 0;
  std::string error_;
  std::size_t errorPos_ = 0;
};

}  // namespace

std::string WriteJson(const JsonValue& value) {
  JsonWriter json(JsonLayout::Lines);
  EmitJson(json, value);
  std::string text = json.Take();
  text += '\n';
  return text;
}

std::string WriteCompactJson(const JsonValue& value) {
  JsonWriter json;
  EmitJson(json, value);
  return json.Take();
}

Result<JsonValue> ParseJson(std::string_view text) {
  return Parser(text, {}, nullptr).Document();
}

Result<JsonValue> ParseJson(std::string_view text, std::string_view streamedMember,
                            const JsonItemHandler& handler) {
  return Parser(text, streamedMember, &handler).Document();
}

}  // namespace dravik::textform
