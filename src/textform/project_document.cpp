#include "textform/project_document.h"

#include <array>
#include <cctype>
#include <charconv>
#include <limits>
#include <set>

#include "elements/element_kinds.h"
#include "elements/kind_name_table.h"
#include "elements/slot_fields.h"
#include "macro/mac_label_check.h"
#include "macro/macro_database.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "platform/files.h"
#include "platform/gbk.h"
#include "textform/digest.h"
#include "textform/json_writer.h"

namespace dravik::textform {

namespace {

namespace fs = std::filesystem;
using elements::FieldType;
using elements::SlotField;
using model::PageRecord;
using Type = JsonValue::Type;

// ---------------------------------------------------------------- the names

template <auto Array>
constexpr SlotField kFieldOf = SlotField::ByteF;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemWordA> = SlotField::WordA;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemLongC> = SlotField::LongC;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemLongD> = SlotField::LongD;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemByteB> = SlotField::ByteB;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemByteC> = SlotField::ByteC;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemByteD> = SlotField::ByteD;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemLeft> = SlotField::Left;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemTop> = SlotField::Top;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemWidth> = SlotField::Width;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemHeight> = SlotField::Height;
template <>
constexpr SlotField kFieldOf<&PageRecord::ElemTextA> = SlotField::TextA;

struct SettingName {
  std::string_view name;
  SlotField field;
  int index;
  bool colour;
};

template <auto Array>
constexpr SettingName Named(std::string_view name, model::SettingEntry<Array> entry,
                            bool colour = false) {
  return {name, kFieldOf<Array>, entry.index, colour};
}

namespace s = model::settings;

// clang-format off
constexpr std::array kSettingNames{
    Named("panelModel", s::kPanelModel),
    Named("startLanguage", s::kStartLanguage),
    Named("clockMacroEnabled", s::kClockMacroEnabled),
    Named("extensionBoard", s::kExtensionBoard),
    Named("initialPage", s::kInitialPage),
    Named("screenSaverMinutes", s::kScreenSaverMinutes),
    Named("focusColour", s::kFocusColor, true),
    Named("superPassword", s::kSuperPassword),
    Named("defaultPageColour", s::kDefaultPageColor, true),
    Named("defaultTextFont", s::kDefaultTextFont),
    Named("defaultTextBackColour", s::kDefaultTextBackColor, true),
    Named("defaultTextForeColour", s::kDefaultTextForeColor, true),
    Named("link1Protocol", s::kLink1Protocol),
    Named("link1ControllerId", s::kLink1ControllerId),
    Named("link1Baud", s::kLink1Baud),
    Named("link1Timeout", s::kLink1Timeout),
    Named("link1Parity", s::kLink1Parity),
    Named("link1DataBits", s::kLink1DataBits),
    Named("link1StopBits", s::kLink1StopBits),
    Named("link1Port", s::kLink1Port),
    Named("rs485IdMode", s::kRs485IdMode),
    Named("registersPerId", s::kRegistersPerId),
    Named("link1FailureAlarm", s::kLink1FailureAlarm),
    Named("link2Table", s::kLink2Table),
    Named("link2ControllerId", s::kLink2ControllerId),
    Named("link2Baud", s::kLink2Baud),
    Named("link2Timeout", s::kLink2Timeout),
    Named("link2Parity", s::kLink2Parity),
    Named("link2DataBits", s::kLink2DataBits),
    Named("link2StopBits", s::kLink2StopBits),
    Named("link2Port", s::kLink2Port),
    Named("link2Enabled", s::kLink2Enabled),
    Named("followPageRegister", s::kFollowPageRegister),
    Named("pageSelectRegister", s::kPageSelectRegister),
    Named("reportCurrentPage", s::kReportCurrentPage),
    Named("pageReportRegister", s::kPageReportRegister),
    Named("fastReadKind", s::kFastReadKind),
    Named("fastReadStart", s::kFastReadStart),
    Named("fastReadLength", s::kFastReadLength),
    Named("fastWriteEnabled", s::kFastWriteEnabled),
    Named("fastWriteStart", s::kFastWriteStart),
    Named("fastWriteLength", s::kFastWriteLength),
    Named("adInputMode", s::kAdInputMode),
    Named("daOutputMode", s::kDaOutputMode),
    Named("adDataRegister", s::kAdDataRegister),
    Named("daDataRegister", s::kDaDataRegister),
    Named("canFunction", s::kCanFunction),
    Named("canBaud", s::kCanBaud),
    Named("canFrameFormat", s::kCanFrameFormat),
    Named("canFrameType", s::kCanFrameType),
    Named("canOpenNodeId", s::kCanOpenNodeId),
    Named("canOpenNodeStart", s::kCanOpenNodeStart),
    Named("canOpenTpdoInhibit", s::kCanOpenTpdoInhibit),
    Named("canShareOwnId", s::kCanShareOwnId),
    Named("canAcceptance3", s::kCanAcceptance3),
    Named("canAcceptance4", s::kCanAcceptance4),
    Named("canAcceptance5", s::kCanAcceptance5),
    Named("canSlaveOwnId", s::kCanSlaveOwnId),
    Named("canAcceptance6", s::kCanAcceptance6),
    Named("keyRegister", s::kKeyRegister),
    Named("ledRegister", s::kLedRegister),
    Named("pageAfterPassword", s::kPageAfterPassword),
    Named("alarmKind", s::kAlarmKind),
    Named("alarmStart", s::kAlarmStart),
    Named("alarmCount", s::kAlarmCount),
    Named("alarmFont", s::kAlarmFont),
    Named("reservedLongC5", s::kReservedLongC5),
    Named("reservedLongC14", s::kReservedLongC14),
    Named("reservedLongC63", s::kReservedLongC63),
    Named("reservedByteC2", s::kReservedByteC2),
};
// clang-format on

struct PageStringName {
  std::string_view name;
  int index;
};
constexpr std::array<PageStringName, 7> kPageStringNames{{
    {"name", model::kPageName},
    {"numberText", model::kPageNumberText},
    {"backColourText", model::kPageBackColorText},
    {"registerOffsetText", model::kPageRegisterOffsetText},
    {"ownSize", model::kPageOwnSize},
    {"ownWidth", model::kPageOwnWidth},
    {"ownHeight", model::kPageOwnHeight},
}};

bool IsNamedPageString(int index) {
  if (index == model::kPageInUse) return true;
  if (index >= model::kPageKeyJumpFirst && index < model::kPageKeyJumpFirst + model::kPageKeyRows)
    return true;
  for (const PageStringName& named : kPageStringNames) {
    if (named.index == index) return true;
  }
  return false;
}

// The entries of the settings page the text form names, besides kSettingNames: the alarm
// texts and the file markers (which every save writes).
bool IsAlarmText(SlotField field, int index) {
  return (field == SlotField::TextA || field == SlotField::TextB) &&
         index >= s::kAlarmTextFirst && index < s::kAlarmTextFirst + s::kMaxAlarms;
}

bool IsNamedSetting(SlotField field, int index) {
  if (IsAlarmText(field, index)) return true;
  if (field == SlotField::WordA && index == s::kFileMarkerWord.index) return true;
  for (const SettingName& named : kSettingNames) {
    if (named.field == field && named.index == index) return true;
  }
  return false;
}

std::string Indexed(std::string_view name, int index) {
  std::string key(name);
  key += '[';
  key += std::to_string(index);
  key += ']';
  return key;
}

// "Name[12]" as its name and index.
bool SplitIndexed(std::string_view key, std::string_view& name, int& index) {
  const std::size_t open = key.find('[');
  if (open == std::string_view::npos || key.size() < open + 3 || key.back() != ']') return false;
  name = key.substr(0, open);
  const std::string_view digits = key.substr(open + 1, key.size() - open - 2);
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  return error == std::errc() && end == digits.data() + digits.size() && index >= 0;
}

// ---------------------------------------------------------------- writing values

bool AllAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

constexpr char kHex[] = "0123456789abcdef";

// A stored text as Unicode; bytes that are no GBK text keep their exact form as hex.
JsonValue TextValue(std::string_view gbk) {
  if (AllAscii(gbk)) return JsonValue::String(std::string(gbk));
  std::string utf8 = platform::GbkToUtf8(gbk);
  if (platform::Utf8ToGbk(utf8) == gbk) return JsonValue::String(std::move(utf8));
  std::string hex;
  for (char c : gbk) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kHex[byte >> 4];
    hex += kHex[byte & 0xF];
  }
  JsonValue raw = JsonValue::Object(true);
  raw.Add("gbk", JsonValue::String(std::move(hex)));
  return raw;
}

// 0x00BBGGRR as "#RRGGBB"; a value with its top byte set stays a number.
JsonValue ColourValue(std::int64_t value) {
  if (value < 0 || value > 0xFFFFFF) return JsonValue::Number(value);
  std::string text = "#";
  for (int shift : {0, 8, 16}) {
    const auto byte = static_cast<unsigned>((value >> shift) & 0xFF);
    text += static_cast<char>(std::toupper(kHex[byte >> 4]));
    text += static_cast<char>(std::toupper(kHex[byte & 0xF]));
  }
  return JsonValue::String(std::move(text));
}

JsonValue FieldValue(const PageRecord& record, SlotField field, int index, bool colour) {
  if (elements::IsText(elements::TypeOf(field))) return TextValue(elements::TextAt(record, field, index));
  const std::int64_t value = elements::NumberAt(record, field, index);
  return colour ? ColourValue(value) : JsonValue::Number(value);
}

// ---------------------------------------------------------------- the document

}  // namespace

JsonValue SettingsSection(const PageRecord& settings) {
  JsonValue out = JsonValue::Object();
  for (const SettingName& named : kSettingNames) {
    out.Add(std::string(named.name), FieldValue(settings, named.field, named.index, named.colour));
  }
  JsonValue alarms = JsonValue::Array();
  int lastAlarm = -1;
  for (int i = 0; i < s::kMaxAlarms; ++i) {
    if (!settings.ElemTextA[s::kAlarmTextFirst + i].Empty() ||
        !settings.ElemTextB[s::kAlarmTextFirst + i].Empty())
      lastAlarm = i;
  }
  for (int i = 0; i <= lastAlarm; ++i) {
    JsonValue pair = JsonValue::Array(true);
    pair.items.push_back(TextValue(settings.ElemTextA[s::kAlarmTextFirst + i].View()));
    pair.items.push_back(TextValue(settings.ElemTextB[s::kAlarmTextFirst + i].View()));
    alarms.items.push_back(std::move(pair));
  }
  out.Add("alarmTexts", std::move(alarms));

  // Whatever else the settings page holds, by array and index.
  JsonValue other = JsonValue::Object();
  for (int i = 0; i < model::kPageStringCount; ++i) {
    if (!settings.PageStrings[i].Empty())
      other.Add(Indexed("PageStrings", i), TextValue(settings.PageStrings[i].View()));
  }
  for (int i = 0; i < model::kDynTextStateCount; ++i) {
    if (!settings.DynTextStates[i].Empty())
      other.Add(Indexed("DynTextStates", i), TextValue(settings.DynTextStates[i].View()));
  }
  for (int i = 0; i < model::kSlotCount; ++i) {
    if (settings.ElemKind[i] != 0 && i != s::kFileMarkerKind.index)
      other.Add(Indexed("ElemKind", i), JsonValue::Number(settings.ElemKind[i]));
  }
  for (int f = 0; f < elements::kSlotFieldCount; ++f) {
    const auto field = static_cast<SlotField>(f);
    const bool text = elements::IsText(elements::TypeOf(field));
    for (int i = 0; i < model::kSlotCount; ++i) {
      if (IsNamedSetting(field, i)) continue;
      const bool set = text ? !elements::TextAt(settings, field, i).empty()
                            : elements::NumberAt(settings, field, i) != 0;
      if (set) other.Add(Indexed(elements::ArrayName(field), i), FieldValue(settings, field, i, false));
    }
  }
  out.Add("other", std::move(other));
  return out;
}

namespace {

JsonValue StatesDocument(const PageRecord& page, int slot) {
  const int count = model::StatesPerLanguage(slot);
  JsonValue states = JsonValue::Object();
  bool any = false;
  for (int language = 0; language < 2; ++language) {
    JsonValue texts = JsonValue::Array();
    int last = -1;
    for (int state = 0; state < count; ++state) {
      if (!page.DynTextStates[*model::TextEntry(slot, language, state)].Empty()) last = state;
    }
    for (int state = 0; state <= last; ++state) {
      texts.items.push_back(TextValue(page.DynTextStates[*model::TextEntry(slot, language, state)].View()));
    }
    any = any || last >= 0;
    states.Add(language == 0 ? "one" : "two", std::move(texts));
  }
  return any ? states : JsonValue();
}

JsonValue ElementDocument(const PageRecord& page, int slot) {
  const int kind = page.ElemKind[slot];
  JsonValue element = JsonValue::Object();
  element.Add("slot", JsonValue::Number(slot));
  element.Add("kind", JsonValue::Number(kind));
  element.Add("kindName", JsonValue::String(std::string(elements::KindNameOf(kind, false))));
  JsonValue& fields = element.Add("fields", JsonValue::Object());
  for (int f = 0; f < elements::kSlotFieldCount; ++f) {
    const elements::NamedField named = elements::FieldNameFor(kind, static_cast<SlotField>(f));
    fields.Add(std::string(named.name), FieldValue(page, named.field, slot, named.colour));
  }
  if (model::StatesPerLanguage(slot) > 0) {
    JsonValue states = StatesDocument(page, slot);
    if (states.IsObject()) element.Add("states", std::move(states));
  }
  return element;
}

}  // namespace

JsonValue PageSection(const PageRecord& page, int number) {
  JsonValue out = JsonValue::Object();
  out.Add("page", JsonValue::Number(number));
  for (const PageStringName& named : kPageStringNames) {
    out.Add(std::string(named.name), TextValue(page.PageStrings[named.index].View()));
  }
  JsonValue keys = JsonValue::Array(true);
  for (int row = 0; row < model::kPageKeyRows; ++row) {
    keys.items.push_back(TextValue(page.PageStrings[model::kPageKeyJumpFirst + row].View()));
  }
  out.Add("keyJumps", std::move(keys));
  JsonValue other = JsonValue::Object();
  for (int i = 0; i < model::kPageStringCount; ++i) {
    if (!IsNamedPageString(i) && !page.PageStrings[i].Empty())
      other.Add(Indexed("PageStrings", i), TextValue(page.PageStrings[i].View()));
  }
  if (!other.members.empty()) out.Add("otherStrings", std::move(other));
  JsonValue& elementList = out.Add("elements", JsonValue::Array());
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (page.ElemKind[slot] != 0) elementList.items.push_back(ElementDocument(page, slot));
  }
  return out;
}

namespace {

JsonValue OperandValue(std::uint8_t kind, std::uint16_t value) {
  JsonValue operand = JsonValue::Array(true);
  operand.items.push_back(JsonValue::Number(kind));
  operand.items.push_back(JsonValue::Number(value));
  return operand;
}

}  // namespace

JsonValue MacroSection(const macro::MacroRows& rows, std::string_view registerName) {
  JsonValue out = JsonValue::Array();
  const int last = macro::LastUsedRow(rows);
  for (int i = 0; i < last; ++i) {
    const macro::MacroRow& row = rows[static_cast<std::size_t>(i)];
    JsonValue line = JsonValue::Object(true);
    line.Add("row", JsonValue::Number(i + 1));
    line.Add("text", TextValue(macro::MacCodeToStr(row, registerName).text));
    line.Add("code", JsonValue::Number(row.OPt));
    line.Add("options", JsonValue::Number(row.BIT));
    line.Add("a1", OperandValue(row.A1t, row.A1v));
    line.Add("a2", OperandValue(row.A2t, row.A2v));
    line.Add("a3", OperandValue(row.A3t, row.A3v));
    line.Add("comment", TextValue(row.Comment.View()));
    out.items.push_back(std::move(line));
  }
  return out;
}

JsonValue PicturesSection(const std::vector<pictures::PictureRecord>& records) {
  JsonValue out = JsonValue::Array();
  for (const pictures::PictureRecord& record : records) {
    JsonValue picture = JsonValue::Object();
    picture.Add("id", JsonValue::Number(record.id));
    picture.Add("name", JsonValue::String(record.fileName));
    if (record.note != record.fileName) picture.Add("note", JsonValue::String(record.note));
    picture.Add("ext", JsonValue::String(record.ext));
    if (record.pid != pictures::kProjectGroup) picture.Add("group", JsonValue::Number(record.pid));
    if (record.folder != 0) picture.Add("folder", JsonValue::Number(record.folder));
    if (record.bmark) picture.Add("bookmark", JsonValue::Number(1));
    if (!record.pass.empty()) picture.Add("pass", JsonValue::String(record.pass));
    picture.Add("sha256", JsonValue::String(Sha256Hex(record.pic)));
    picture.Add("bytes", JsonValue::String(Base64Encode(record.pic)));
    out.items.push_back(std::move(picture));
  }
  return out;
}

namespace {

// ---------------------------------------------------------------- reading values

Error Fault(const std::string& path, const std::string& chinese, const std::string& english) {
  return Error{Bilingual{path + ": " + chinese, path + ": " + english}};
}

std::string Member(const std::string& path, std::string_view key) {
  std::string out = path;
  out += '.';
  out += key;
  return out;
}

std::string Item(const std::string& path, std::size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

Status ExpectType(const JsonValue& value, Type type, const std::string& path) {
  if (value.type == type) return Status::Ok();
  static constexpr std::array<std::pair<const char*, const char*>, 6> kNames{{
      {"空值", "null"}, {"真假值", "a boolean"}, {"整数", "a whole number"},
      {"字符串", "a string"}, {"数组", "an array"}, {"对象", "an object"}}};
  const auto& name = kNames[static_cast<std::size_t>(type)];
  return Fault(path, std::string("应当是") + name.first, std::string("must be ") + name.second);
}

// Rejects a key met twice in one object (a merge gone wrong would otherwise lose one).
Status NoDuplicateKeys(const JsonValue& object, const std::string& path) {
  std::set<std::string_view> seen;
  for (const JsonMember& member : object.members) {
    if (!seen.insert(member.key).second)
      return Fault(Member(path, member.key), "键重复", "the key appears twice");
  }
  return Status::Ok();
}

Status UnknownKey(const std::string& path) {
  return Fault(path, "未知的键", "unknown key");
}

Status ReadNumber(const JsonValue& value, const std::string& path, std::int64_t minimum,
                  std::int64_t maximum, std::int64_t& out) {
  if (Status typed = ExpectType(value, Type::Number, path); !typed) return typed;
  if (value.number < minimum || value.number > maximum) {
    const std::string range = std::to_string(minimum) + ".." + std::to_string(maximum);
    return Fault(path, "超出范围 " + range, "out of range " + range);
  }
  out = value.number;
  return Status::Ok();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

Status ReadColour(const JsonValue& value, const std::string& path, std::int64_t& out) {
  if (!value.IsString()) {
    return ReadNumber(value, path, elements::MinimumOf(FieldType::Long),
                      elements::MaximumOf(FieldType::Long), out);
  }
  const std::string& text = value.text;
  std::array<int, 6> digits{};
  bool valid = text.size() == 7 && text[0] == '#';
  for (std::size_t i = 0; valid && i < 6; ++i) {
    digits[i] = HexDigit(text[i + 1]);
    valid = digits[i] >= 0;
  }
  if (!valid) return Fault(path, "颜色应当写作 #RRGGBB", "a colour must be written #RRGGBB");
  const std::int64_t red = digits[0] * 16 + digits[1];
  const std::int64_t green = digits[2] * 16 + digits[3];
  const std::int64_t blue = digits[4] * 16 + digits[5];
  out = red | (green << 8) | (blue << 16);
  return Status::Ok();
}

Status ReadText(const JsonValue& value, const std::string& path, std::size_t capacity,
                std::string& gbk) {
  if (value.IsObject()) {
    const JsonValue* hex = value.Find("gbk");
    if (value.members.size() != 1 || hex == nullptr || !hex->IsString() || hex->text.size() % 2 != 0)
      return Fault(path, "应当是字符串或 {\"gbk\": 十六进制}", "must be a string or {\"gbk\": hex}");
    gbk.clear();
    for (std::size_t i = 0; i < hex->text.size(); i += 2) {
      const int high = HexDigit(hex->text[i]), low = HexDigit(hex->text[i + 1]);
      if (high < 0 || low < 0) return Fault(Member(path, "gbk"), "不是十六进制", "is not hex");
      gbk += static_cast<char>(high * 16 + low);
    }
  } else {
    if (Status typed = ExpectType(value, Type::String, path); !typed) return typed;
    if (AllAscii(value.text)) {
      gbk = value.text;
    } else {
      gbk = platform::Utf8ToGbk(value.text);
      if (platform::GbkToUtf8(gbk) != value.text)
        return Fault(path, "含有 GBK 无法保存的字符", "holds characters GBK cannot store");
    }
  }
  if (gbk.size() > capacity) {
    const std::string sizes = std::to_string(gbk.size()) + " / " + std::to_string(capacity);
    return Fault(path, "文本超过 GBK 字节上限 (" + sizes + ")",
                 "text too long for its GBK limit (" + sizes + " bytes)");
  }
  return Status::Ok();
}

Status ReadField(const JsonValue& value, const std::string& path, PageRecord& record,
                 SlotField field, int index, bool colour) {
  const FieldType type = elements::TypeOf(field);
  if (elements::IsText(type)) {
    std::string gbk;
    if (Status read = ReadText(value, path, elements::TextCapacity(type), gbk); !read) return read;
    elements::SetTextAt(record, field, index, gbk);
    return Status::Ok();
  }
  std::int64_t number = 0;
  Status read = colour && (value.IsString() || type == FieldType::Long)
                    ? ReadColour(value, path, number)
                    : ReadNumber(value, path, elements::MinimumOf(type), elements::MaximumOf(type), number);
  if (!read) return read;
  elements::SetNumberAt(record, field, index, number);
  return Status::Ok();
}

// ---------------------------------------------------------------- reading the document

Status ReadSettings(const JsonValue& value, const std::string& path, PageRecord& settings) {
  if (Status typed = ExpectType(value, Type::Object, path); !typed) return typed;
  if (Status unique = NoDuplicateKeys(value, path); !unique) return unique;
  for (const JsonMember& member : value.members) {
    const std::string at = Member(path, member.key);
    if (member.key == "alarmTexts") {
      if (Status typed = ExpectType(member.value, Type::Array, at); !typed) return typed;
      if (member.value.items.size() > static_cast<std::size_t>(s::kMaxAlarms))
        return Fault(at, "最多 80 条报警文本", "at most 80 alarm texts");
      for (std::size_t i = 0; i < member.value.items.size(); ++i) {
        const JsonValue& pair = member.value.items[i];
        const std::string itemPath = Item(at, i);
        if (Status typed = ExpectType(pair, Type::Array, itemPath); !typed) return typed;
        if (pair.items.size() != 2)
          return Fault(itemPath, "应当是两种语言的两段文本", "must hold the two languages' texts");
        const int index = s::kAlarmTextFirst + static_cast<int>(i);
        if (Status read = ReadField(pair.items[0], Item(itemPath, 0), settings, SlotField::TextA, index, false); !read)
          return read;
        if (Status read = ReadField(pair.items[1], Item(itemPath, 1), settings, SlotField::TextB, index, false); !read)
          return read;
      }
      continue;
    }
    if (member.key == "other") {
      if (Status typed = ExpectType(member.value, Type::Object, at); !typed) return typed;
      if (Status unique = NoDuplicateKeys(member.value, at); !unique) return unique;
      for (const JsonMember& entry : member.value.members) {
        const std::string entryPath = Member(at, entry.key);
        std::string_view name;
        int index = 0;
        if (!SplitIndexed(entry.key, name, index)) return UnknownKey(entryPath);
        if (name == "PageStrings" && index < model::kPageStringCount) {
          std::string gbk;
          if (Status read = ReadText(entry.value, entryPath, 20, gbk); !read) return read;
          settings.PageStrings[index].Assign(gbk);
        } else if (name == "DynTextStates" && index < model::kDynTextStateCount) {
          std::string gbk;
          if (Status read = ReadText(entry.value, entryPath, 30, gbk); !read) return read;
          settings.DynTextStates[index].Assign(gbk);
        } else if (name == "ElemKind" && index < model::kSlotCount &&
                   index != s::kFileMarkerKind.index) {
          std::int64_t number = 0;
          if (Status read = ReadNumber(entry.value, entryPath, 0, 0xFF, number); !read) return read;
          settings.ElemKind[index] = static_cast<std::uint8_t>(number);
        } else if (auto field = elements::FieldByArrayName(name);
                   field && index < model::kSlotCount && !IsNamedSetting(*field, index)) {
          if (Status read = ReadField(entry.value, entryPath, settings, *field, index, false); !read)
            return read;
        } else {
          return UnknownKey(entryPath);
        }
      }
      continue;
    }
    const SettingName* named = nullptr;
    for (const SettingName& candidate : kSettingNames) {
      if (candidate.name == member.key) named = &candidate;
    }
    if (named == nullptr) return UnknownKey(at);
    if (Status read = ReadField(member.value, at, settings, named->field, named->index, named->colour); !read)
      return read;
  }
  return Status::Ok();
}

Status ReadStates(const JsonValue& value, const std::string& path, PageRecord& page, int slot) {
  const int count = model::StatesPerLanguage(slot);
  if (count == 0)
    return Fault(path, "此位置没有状态文本表", "this slot has no state texts (only slots 135..199 do)");
  if (Status typed = ExpectType(value, Type::Object, path); !typed) return typed;
  if (Status unique = NoDuplicateKeys(value, path); !unique) return unique;
  for (const JsonMember& member : value.members) {
    const std::string at = Member(path, member.key);
    const int language = member.key == "one" ? 0 : member.key == "two" ? 1 : -1;
    if (language < 0) return UnknownKey(at);
    if (Status typed = ExpectType(member.value, Type::Array, at); !typed) return typed;
    if (member.value.items.size() > static_cast<std::size_t>(count)) {
      return Fault(at, "此位置最多 " + std::to_string(count) + " 个状态",
                   "this slot holds at most " + std::to_string(count) + " states");
    }
    for (std::size_t state = 0; state < member.value.items.size(); ++state) {
      std::string gbk;
      if (Status read = ReadText(member.value.items[state], Item(at, state), 30, gbk); !read) return read;
      page.DynTextStates[*model::TextEntry(slot, language, static_cast<int>(state))].Assign(gbk);
    }
  }
  return Status::Ok();
}

Status ReadElement(const JsonValue& value, const std::string& path, PageRecord& page,
                   std::array<bool, model::kSlotCount>& taken) {
  if (Status typed = ExpectType(value, Type::Object, path); !typed) return typed;
  if (Status unique = NoDuplicateKeys(value, path); !unique) return unique;
  const JsonValue* slotValue = value.Find("slot");
  const JsonValue* kindValue = value.Find("kind");
  if (slotValue == nullptr) return Fault(Member(path, "slot"), "缺少", "missing");
  if (kindValue == nullptr) return Fault(Member(path, "kind"), "缺少", "missing");
  std::int64_t slot = 0, kind = 0;
  if (Status read = ReadNumber(*slotValue, Member(path, "slot"), 0, model::kLastUsableSlot, slot); !read)
    return read;
  if (taken[static_cast<std::size_t>(slot)])
    return Fault(Member(path, "slot"), "位置 " + std::to_string(slot) + " 重复",
                 "slot " + std::to_string(slot) + " is used twice");
  taken[static_cast<std::size_t>(slot)] = true;
  if (Status read = ReadNumber(*kindValue, Member(path, "kind"), 0, 0xFF, kind); !read) return read;
  if (elements::FindKind(static_cast<int>(kind)) == nullptr)
    return Fault(Member(path, "kind"), "未知的元件种类 " + std::to_string(kind),
                 "unknown element kind " + std::to_string(kind));
  const int s = static_cast<int>(slot);
  page.ElemKind[s] = static_cast<std::uint8_t>(kind);
  for (const JsonMember& member : value.members) {
    const std::string at = Member(path, member.key);
    if (member.key == "slot" || member.key == "kind") continue;
    if (member.key == "kindName") {
      if (Status typed = ExpectType(member.value, Type::String, at); !typed) return typed;
    } else if (member.key == "fields") {
      if (Status typed = ExpectType(member.value, Type::Object, at); !typed) return typed;
      std::array<bool, elements::kSlotFieldCount> seen{};
      for (const JsonMember& field : member.value.members) {
        const std::string fieldPath = Member(at, field.key);
        const auto named = elements::FieldNamedBy(static_cast<int>(kind), field.key);
        if (!named) return Fault(fieldPath, "此种类没有这个字段", "no such field for this kind");
        bool& once = seen[static_cast<std::size_t>(named->field)];
        if (once) return Fault(fieldPath, "字段重复", "the field appears twice");
        once = true;
        if (Status read = ReadField(field.value, fieldPath, page, named->field, s, named->colour); !read)
          return read;
      }
    } else if (member.key == "states") {
      if (Status read = ReadStates(member.value, at, page, s); !read) return read;
    } else {
      return UnknownKey(at);
    }
  }
  return Status::Ok();
}

Status ReadPage(const JsonValue& value, const std::string& path, model::ProjectImage& image,
                std::array<bool, model::kRecordCount>& seen) {
  if (Status typed = ExpectType(value, Type::Object, path); !typed) return typed;
  if (Status unique = NoDuplicateKeys(value, path); !unique) return unique;
  const JsonValue* number = value.Find("page");
  if (number == nullptr) return Fault(Member(path, "page"), "缺少", "missing");
  std::int64_t n = 0;
  if (Status read = ReadNumber(*number, Member(path, "page"), 1, model::kMaxPage, n); !read) return read;
  if (seen[static_cast<std::size_t>(n)])
    return Fault(Member(path, "page"), "画面 " + std::to_string(n) + " 重复",
                 "page " + std::to_string(n) + " appears twice");
  seen[static_cast<std::size_t>(n)] = true;
  PageRecord& page = image.Page(static_cast<int>(n));
  page.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
  for (const JsonMember& member : value.members) {
    const std::string at = Member(path, member.key);
    if (member.key == "page") continue;
    std::string gbk;
    if (member.key == "keyJumps") {
      if (Status typed = ExpectType(member.value, Type::Array, at); !typed) return typed;
      if (member.value.items.size() > static_cast<std::size_t>(model::kPageKeyRows))
        return Fault(at, "最多 22 行", "at most 22 rows");
      for (std::size_t row = 0; row < member.value.items.size(); ++row) {
        if (Status read = ReadText(member.value.items[row], Item(at, row), 20, gbk); !read) return read;
        model::PageKeyJump(page, static_cast<int>(row)).Assign(gbk);
      }
    } else if (member.key == "otherStrings") {
      if (Status typed = ExpectType(member.value, Type::Object, at); !typed) return typed;
      if (Status unique = NoDuplicateKeys(member.value, at); !unique) return unique;
      for (const JsonMember& entry : member.value.members) {
        std::string_view name;
        int index = 0;
        const std::string entryPath = Member(at, entry.key);
        if (!SplitIndexed(entry.key, name, index) || name != "PageStrings" ||
            index >= model::kPageStringCount || IsNamedPageString(index))
          return UnknownKey(entryPath);
        if (Status read = ReadText(entry.value, entryPath, 20, gbk); !read) return read;
        page.PageStrings[index].Assign(gbk);
      }
    } else if (member.key == "elements") {
      if (Status typed = ExpectType(member.value, Type::Array, at); !typed) return typed;
      std::array<bool, model::kSlotCount> taken{};
      for (std::size_t i = 0; i < member.value.items.size(); ++i) {
        if (Status read = ReadElement(member.value.items[i], Item(at, i), page, taken); !read) return read;
      }
    } else {
      const PageStringName* named = nullptr;
      for (const PageStringName& candidate : kPageStringNames) {
        if (candidate.name == member.key) named = &candidate;
      }
      if (named == nullptr) return UnknownKey(at);
      if (Status read = ReadText(member.value, at, 20, gbk); !read) return read;
      page.PageStrings[named->index].Assign(gbk);
    }
  }
  return Status::Ok();
}

Status ReadOperand(const JsonValue& value, const std::string& path, std::uint8_t& kind,
                   model::U16le& number) {
  if (Status typed = ExpectType(value, Type::Array, path); !typed) return typed;
  if (value.items.size() != 2) return Fault(path, "应当是 [种类, 值]", "must be [kind, value]");
  std::int64_t k = 0, v = 0;
  if (Status read = ReadNumber(value.items[0], Item(path, 0), 0, 0xFF, k); !read) return read;
  if (Status read = ReadNumber(value.items[1], Item(path, 1), 0, 0xFFFF, v); !read) return read;
  kind = static_cast<std::uint8_t>(k);
  number = static_cast<std::uint16_t>(v);
  return Status::Ok();
}

Status ReadMacro(const JsonValue& value, const std::string& path, macro::MacroRows& rows) {
  if (Status typed = ExpectType(value, Type::Array, path); !typed) return typed;
  std::array<bool, macro::kMacroRowCount> seen{};
  for (std::size_t i = 0; i < value.items.size(); ++i) {
    const JsonValue& line = value.items[i];
    const std::string at = Item(path, i);
    if (Status typed = ExpectType(line, Type::Object, at); !typed) return typed;
    if (Status unique = NoDuplicateKeys(line, at); !unique) return unique;
    const JsonValue* number = line.Find("row");
    if (number == nullptr) return Fault(Member(at, "row"), "缺少", "missing");
    std::int64_t n = 0;
    if (Status read = ReadNumber(*number, Member(at, "row"), 1, macro::kMacroRowCount, n); !read) return read;
    if (seen[static_cast<std::size_t>(n - 1)])
      return Fault(Member(at, "row"), "行 " + std::to_string(n) + " 重复",
                   "row " + std::to_string(n) + " appears twice");
    seen[static_cast<std::size_t>(n - 1)] = true;
    macro::MacroRow& row = rows[static_cast<std::size_t>(n - 1)];
    for (const JsonMember& member : line.members) {
      const std::string memberPath = Member(at, member.key);
      std::int64_t byte = 0;
      if (member.key == "row") continue;
      if (member.key == "text") {
        if (Status typed = ExpectType(member.value, Type::String, memberPath); !typed && !member.value.IsObject())
          return typed;
      } else if (member.key == "code" || member.key == "options") {
        if (Status read = ReadNumber(member.value, memberPath, 0, 0xFF, byte); !read) return read;
        (member.key == "code" ? row.OPt : row.BIT) = static_cast<std::uint8_t>(byte);
      } else if (member.key == "a1") {
        if (Status read = ReadOperand(member.value, memberPath, row.A1t, row.A1v); !read) return read;
      } else if (member.key == "a2") {
        if (Status read = ReadOperand(member.value, memberPath, row.A2t, row.A2v); !read) return read;
      } else if (member.key == "a3") {
        if (Status read = ReadOperand(member.value, memberPath, row.A3t, row.A3v); !read) return read;
      } else if (member.key == "comment") {
        std::string gbk;
        if (Status read = ReadText(member.value, memberPath, macro::kMacCommentCapacity, gbk); !read)
          return read;
        row.Comment.Assign(gbk);
      } else {
        return UnknownKey(memberPath);
      }
    }
  }
  if (auto labelError = macro::CheckMacLabels(rows)) {
    return Error{Bilingual{path + ": " + labelError->chinese, path + ": " + labelError->english}};
  }
  return Status::Ok();
}

Status ReadPictureText(const JsonValue& value, const std::string& path, std::string& out) {
  if (Status typed = ExpectType(value, Type::String, path); !typed) return typed;
  out = value.text;
  return Status::Ok();
}

Status ReadPicture(const JsonValue& value, const std::string& path, pictures::PictureRecord& record) {
  if (Status typed = ExpectType(value, Type::Object, path); !typed) return typed;
  if (Status unique = NoDuplicateKeys(value, path); !unique) return unique;
  bool noteGiven = false;
  std::string sha256;
  const JsonValue* bytes = nullptr;
  for (const JsonMember& member : value.members) {
    const std::string at = Member(path, member.key);
    std::int64_t number = 0;
    Status read;
    if (member.key == "id") {
      read = ReadNumber(member.value, at, 0, std::numeric_limits<std::int32_t>::max(), number);
      record.id = static_cast<int>(number);
    } else if (member.key == "group") {
      read = ReadNumber(member.value, at, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max(), number);
      record.pid = static_cast<int>(number);
    } else if (member.key == "folder") {
      read = ReadNumber(member.value, at, std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max(), number);
      record.folder = static_cast<int>(number);
    } else if (member.key == "bookmark") {
      read = ReadNumber(member.value, at, 0, 1, number);
      record.bmark = number != 0;
    } else if (member.key == "name") {
      read = ReadPictureText(member.value, at, record.fileName);
    } else if (member.key == "note") {
      noteGiven = true;
      read = ReadPictureText(member.value, at, record.note);
    } else if (member.key == "ext") {
      read = ReadPictureText(member.value, at, record.ext);
    } else if (member.key == "pass") {
      read = ReadPictureText(member.value, at, record.pass);
    } else if (member.key == "sha256") {
      read = ReadPictureText(member.value, at, sha256);
    } else if (member.key == "bytes") {
      read = ExpectType(member.value, Type::String, at);
      bytes = &member.value;
    } else {
      read = UnknownKey(at);
    }
    if (!read) return read;
  }
  if (value.Find("id") == nullptr) return Fault(Member(path, "id"), "缺少", "missing");
  if (bytes == nullptr) return Fault(Member(path, "bytes"), "缺少", "missing");
  if (!noteGiven) record.note = record.fileName;
  auto decoded = Base64Decode(bytes->text);
  if (!decoded) return Fault(Member(path, "bytes"), "不是 Base64", "is not Base64");
  record.pic = std::move(*decoded);
  if (!sha256.empty() && Sha256Hex(record.pic) != sha256)
    return Fault(Member(path, "sha256"), "与图片内容不符", "does not match the picture's bytes");
  // A record kept as a folder entry carries no picture.
  if (record.folder == 0) {
    const platform::DecodeResult picture = pictures::DecodeStoredPicture(record.ext, record.pic, true);
    if (!picture.ok) {
      return Fault(Member(path, "bytes"), "图片无法解码: " + picture.error.reason.chinese,
                   "the picture does not decode: " + picture.error.reason.english);
    }
  }
  return Status::Ok();
}

Status ReadPictures(const JsonValue& value, const std::string& path,
                    std::vector<pictures::PictureRecord>& records) {
  if (Status typed = ExpectType(value, Type::Array, path); !typed) return typed;
  std::set<int> ids;
  for (std::size_t i = 0; i < value.items.size(); ++i) {
    pictures::PictureRecord record;
    if (Status read = ReadPicture(value.items[i], Item(path, i), record); !read) return read;
    if (!ids.insert(record.id).second)
      return Fault(Member(Item(path, i), "id"), "图片 ID " + std::to_string(record.id) + " 重复",
                   "picture ID " + std::to_string(record.id) + " appears twice");
    records.push_back(std::move(record));
  }
  return Status::Ok();
}

// Reads a document whose pages may come one by one while it is parsed, then the rest.
class DocumentReader {
 public:
  explicit DocumentReader(ProjectContent& project) : project_(project) {}

  Status Page(std::size_t index, const JsonValue& page) {
    return ReadPage(page, Item("$.pages", index), project_.image, seenPages_);
  }

  // Everything but the pages' items.
  Status Rest(const JsonValue& document) {
    const std::string root = "$";
    if (Status typed = ExpectType(document, Type::Object, root); !typed) return typed;
    if (Status unique = NoDuplicateKeys(document, root); !unique) return unique;
    const JsonValue* format = document.Find("format");
    if (format == nullptr || !format->IsString() || format->text != kDocumentFormat)
      return Fault("$.format", "应当是 \"dravik-project\"", "must be \"dravik-project\"");
    const JsonValue* version = document.Find("version");
    if (version == nullptr || !version->IsNumber() || version->number != kDocumentVersion)
      return Fault("$.version", "不支持的版本", "unsupported version (this program reads 1)");
    for (const JsonMember& member : document.members) {
      const std::string at = Member(root, member.key);
      Status read;
      if (member.key == "format" || member.key == "version") continue;
      if (member.key == "settings") {
        read = ReadSettings(member.value, at, project_.image.Settings());
      } else if (member.key == "pages") {
        read = ExpectType(member.value, Type::Array, at);
      } else if (member.key == "macro") {
        read = ReadMacro(member.value, at, project_.macro);
      } else if (member.key == "pictures") {
        read = ReadPictures(member.value, at, project_.pictures);
      } else {
        read = UnknownKey(at);
      }
      if (!read) return read;
    }
    return Status::Ok();
  }

 private:
  ProjectContent& project_;
  std::array<bool, model::kRecordCount> seenPages_{};
};

}  // namespace

namespace {

// The members before "pages", the pages, and the members after them, as the document has
// them.
JsonValue DocumentHead(const ProjectContent& project) {
  JsonValue head = JsonValue::Object();
  head.Add("format", JsonValue::String(std::string(kDocumentFormat)));
  head.Add("version", JsonValue::Number(kDocumentVersion));
  head.Add("settings", SettingsSection(project.image.Settings()));
  return head;
}

JsonValue DocumentTail(const ProjectContent& project, const DocumentOptions& options) {
  JsonValue tail = JsonValue::Object();
  tail.Add("macro", MacroSection(project.macro, options.macroRegisterName));
  tail.Add("pictures", PicturesSection(project.pictures));
  return tail;
}

constexpr char kPagesKey[] = "pages";

}  // namespace

JsonValue ProjectToDocument(const ProjectContent& project, const DocumentOptions& options) {
  JsonValue document = DocumentHead(project);
  JsonValue& pages = document.Add(kPagesKey, JsonValue::Array());
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (project.image.IsPageUsed(n)) pages.items.push_back(PageSection(project.image.Page(n), n));
  }
  for (JsonMember& member : DocumentTail(project, options).members) document.members.push_back(std::move(member));
  return document;
}

Status WriteDocument(const ProjectContent& project, const DocumentOptions& options, const TextSink& sink) {
  // One page at a time: a full project's text form is tens of megabytes, its tree several
  // times that.
  JsonWriter json(JsonLayout::Lines);
  const auto flush = [&json, &sink]() -> Status {
    const std::string chunk = json.Take();
    if (!sink(chunk)) return Error{Bilingual{"文本形式写入失败", "cannot write the text form"}};
    return Status::Ok();
  };
  json.BeginObject();
  for (const JsonMember& member : DocumentHead(project).members) {
    json.Key(member.key);
    EmitJson(json, member.value);
  }
  json.Key(kPagesKey).BeginArray();
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (!project.image.IsPageUsed(n)) continue;
    EmitJson(json, PageSection(project.image.Page(n), n));
    if (Status flushed = flush(); !flushed) return flushed;
  }
  json.EndArray();
  for (const JsonMember& member : DocumentTail(project, options).members) {
    json.Key(member.key);
    EmitJson(json, member.value);
  }
  json.EndObject();
  if (Status flushed = flush(); !flushed) return flushed;
  return sink("\n") ? Status::Ok() : Status(Error{Bilingual{"文本形式写入失败", "cannot write the text form"}});
}

Status DocumentToProject(const JsonValue& document, ProjectContent& project) {
  DocumentReader reader(project);
  if (const JsonValue* pages = document.Find(kPagesKey); pages != nullptr && pages->IsArray()) {
    for (std::size_t i = 0; i < pages->items.size(); ++i) {
      if (Status read = reader.Page(i, pages->items[i]); !read) return read;
    }
  }
  return reader.Rest(document);
}

Status ReadDocument(std::string_view text, ProjectContent& project) {
  DocumentReader reader(project);
  Result<JsonValue> document = ParseJson(
      text, kPagesKey, [&reader](std::size_t index, const JsonValue& page) { return reader.Page(index, page); });
  if (!document) return document.error();
  return reader.Rest(*document);
}

Status ReadProjectContent(const fs::path& projectFile, ProjectContent& project, bool isChinese) {
  if (auto failure = model::ReadProjectFile(project.image, projectFile))
    return Error{failure->message};
  model::RepairSettingsOnOpen(project.image.Settings());
  const fs::path macroFile = macro::MacroDatabasePath(projectFile);
  if (platform::Exists(macroFile)) {
    if (Status loaded = macro::ADOLoadFile(macroFile, project.macro, isChinese); !loaded) return loaded;
  }
  if (platform::Exists(pictures::PictureLibraryPath(projectFile))) {
    pictures::PictureLibrary library(isChinese);
    if (Status opened = library.ADOConnected(projectFile); !opened) return opened;
    auto records = library.ReadAll();
    library.Close();
    if (!records) return records.error();
    project.pictures = std::move(records).value();
  }
  return Status::Ok();
}

Status WriteProjectContent(ProjectContent& project, const fs::path& projectFile, bool isChinese) {
  const fs::path folder = projectFile.parent_path().empty() ? fs::path(".") : projectFile.parent_path();
  auto pictureBytes = pictures::PictureLibraryBytes(folder, project.pictures);
  if (!pictureBytes) return pictureBytes.error();
  auto macroBytes = macro::MacroDatabaseBytes(folder, project.macro, isChinese);
  if (!macroBytes) return macroBytes.error();
  const fs::path pictureFile = pictures::PictureLibraryPath(projectFile);
  const fs::path macroFile = macro::MacroDatabasePath(projectFile);
  const std::vector<platform::FileToWrite> files{
      {pictureFile, [&](const platform::ByteSink& sink) { return platform::WriteWhole(*pictureBytes, sink); }},
      {macroFile, [&](const platform::ByteSink& sink) { return platform::WriteWhole(*macroBytes, sink); }},
      // The project file comes last: once it is the new one, so is everything beside it.
      {projectFile, [&](const platform::ByteSink& sink) { return model::CompressProjectTo(project.image, sink); }},
  };
  Status written = platform::WriteFilesTogether(files);
  if (!written) return written;
  // An old database's rollback journal would be played into the new one.
  for (const fs::path& database : {pictureFile, macroFile})
    (void)platform::RemoveFileIfPresent(database.string() + "-journal");
  return written;
}

}  // namespace dravik::textform
