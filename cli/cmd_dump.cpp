// dravik-cli dump: what a device image (QX.bin) holds, as text or JSON.

#include <cstdio>
#include <ostream>
#include <string>

#include "cli/cli_command.h"
#include "textform/json_writer.h"
#include "compiler/image_reader.h"
#include "macro/mac_command.h"
#include "platform/files.h"
#include "platform/gbk.h"

namespace dravik::cli {

namespace {

using compiler::DecodedImage;
using textform::JsonQuoted;
using textform::JsonWriter;
using compiler::FieldType;
using compiler::ImageMacroInstruction;
using compiler::ImagePage;
using compiler::ImageRecord;
using compiler::ImageState;
using compiler::RecordValue;

std::string Hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// Texts are GBK in the image; shown as UTF-8 in quotes, control characters escaped.
std::string Quoted(std::string_view gbk) {
  return JsonQuoted(platform::GbkToUtf8(gbk));
}

std::string_view MacroName(int code) {
  const macro::MacCommand* command = macro::FindMacCommand(code);
  return command != nullptr && !command->panelName.empty() ? command->panelName : "?";
}

bool HasRegisterOffset(const DecodedImage& image) {
  return compiler::ProtocolHasRegisterOffset(image.Setting(compiler::image_field::kLink1Protocol));
}

// ---- text ------------------------------------------------------------------------------

std::string ValueText(const RecordValue& value) {
  switch (value.Type()) {
    case FieldType::Colour:
      return Hex(value.number, 4);
    case FieldType::U32:
      return Hex(value.number, 8);
    case FieldType::S32:
      return std::to_string(value.Signed());
    case FieldType::Text:
      return Quoted(value.text);
    case FieldType::U8:
    case FieldType::U16:
      break;
  }
  return std::to_string(value.number);
}

void PrintStates(std::ostream& out, std::string_view language,
                 const std::vector<ImageState>& states) {
  if (states.empty()) return;
  out << "      " << language << ':';
  for (const ImageState& state : states) {
    out << ' ' << int{state.value} << '=' << Quoted(state.text);
  }
  out << '\n';
}

void PrintRecord(std::ostream& out, const ImageRecord& record) {
  out << "    " << record.layout->name << " (kind " << record.Kind() << ") at " << record.offset
      << ':';
  for (const RecordValue& value : record.values)
    out << ' ' << value.Key() << ' ' << ValueText(value);
  out << '\n';
  PrintStates(out, "language one", record.statesOne);
  PrintStates(out, "language two", record.statesTwo);
}

void PrintPage(std::ostream& out, const ImagePage& page, bool registerOffset) {
  out << "  page " << page.number << " at " << page.offset << ": background "
      << Hex(page.background, 4) << ", " << page.records.size() << " records, key jumps";
  const int keys = registerOffset ? compiler::kRegisterOffsetKeyByte : compiler::kKeyJumpBytes;
  for (int k = 0; k < keys; ++k) out << ' ' << int{page.keyJumps[k]};
  if (registerOffset) out << ", register offset " << page.RegisterOffset();
  out << '\n';
  for (const ImageRecord& record : page.records) PrintRecord(out, record);
}

void PrintText(std::ostream& out, const DecodedImage& image) {
  out << "device image: " << image.Size() << " bytes, " << image.Pages().size() << " pages, "
      << image.Alarms().size() << " alarms, " << image.Macro().size() << " macro instructions, "
      << image.Pictures().size() << " pictures\n";
  out << "settings:\n";
  for (const compiler::SettingsValue& setting : image.Settings()) {
    out << "  " << setting.field->key << ' ' << setting.value << '\n';
  }
  out << "macro:\n";
  for (std::size_t i = 0; i < image.Macro().size(); ++i) {
    const ImageMacroInstruction& m = image.Macro()[i];
    out << "  " << i + 1 << ": " << MacroName(m.code) << " (code " << int{m.code} << "), bit mode "
        << m.BitMode();
    for (int k = 0; k < 3; ++k) {
      out << ", A" << k + 1 << ' ' << (m.OperandIsRegister(k) ? "register " : "constant ")
          << m.operands[k];
    }
    out << '\n';
  }
  out << "pages:\n";
  for (const ImagePage& page : image.Pages()) PrintPage(out, page, HasRegisterOffset(image));
  out << "alarms:\n";
  for (std::size_t i = 0; i < image.Alarms().size(); ++i) {
    out << "  " << i + 1 << ": " << Quoted(image.Alarms()[i]) << '\n';
  }
  out << "pictures:\n";
  for (std::size_t i = 0; i < image.Pictures().size(); ++i) {
    const compiler::ImagePicture& picture = image.Pictures()[i];
    out << "  " << i << ": " << picture.width << " x " << picture.height << " at "
        << picture.pixelOffset << '\n';
  }
}

// ---- JSON ------------------------------------------------------------------------------

void WriteStates(JsonWriter& json, std::string_view key, const std::vector<ImageState>& states) {
  json.Key(key).BeginArray();
  for (const ImageState& state : states) {
    json.BeginObject().Key("value").Number(state.value);
    json.Key("text").String(platform::GbkToUtf8(state.text)).EndObject();
  }
  json.EndArray();
}

void WriteRecord(JsonWriter& json, const ImageRecord& record) {
  json.BeginObject().Key("kind").Number(record.Kind()).Key("name").String(record.layout->name);
  json.Key("offset").Number(static_cast<std::int64_t>(record.offset));
  json.Key("size").Number(static_cast<std::int64_t>(record.size));
  json.Key("fields").BeginObject();
  for (const RecordValue& value : record.values) {
    json.Key(value.Key());
    if (value.Type() == FieldType::Text) {
      json.String(platform::GbkToUtf8(value.text));
    } else if (value.Type() == FieldType::S32) {
      json.Number(value.Signed());
    } else {
      json.Number(value.number);
    }
  }
  json.EndObject();
  if (record.layout->statesFollow) {
    WriteStates(json, "statesOne", record.statesOne);
    WriteStates(json, "statesTwo", record.statesTwo);
  }
  json.EndObject();
}

void WritePage(JsonWriter& json, const ImagePage& page, bool registerOffset) {
  json.BeginObject().Key("number").Number(page.number);
  json.Key("offset").Number(static_cast<std::int64_t>(page.offset));
  json.Key("background").Number(page.background);
  json.Key("keyJumps").BeginArray();
  for (const std::uint8_t key : page.keyJumps) json.Number(key);
  json.EndArray();
  if (registerOffset) json.Key("registerOffset").Number(page.RegisterOffset());
  json.Key("kindCounts").BeginObject();
  for (int k = 0; k < compiler::kKindCountTableSize; ++k) {
    if (page.kindCounts[k] != 0) json.Key(std::to_string(k + 1)).Number(page.kindCounts[k]);
  }
  json.EndObject();
  json.Key("records").BeginArray();
  for (const ImageRecord& record : page.records) WriteRecord(json, record);
  json.EndArray().EndObject();
}

std::string Json(const DecodedImage& image) {
  JsonWriter json;
  json.BeginObject().Key("size").Number(static_cast<std::int64_t>(image.Size()));
  json.Key("alarmTableOffset").Number(image.AlarmTableOffset());
  json.Key("pictureSectionOffset").Number(image.PictureSectionOffset());
  json.Key("settings").BeginObject();
  for (const compiler::SettingsValue& setting : image.Settings()) {
    json.Key(setting.field->key).Number(setting.value);
  }
  json.EndObject();
  json.Key("macro").BeginArray();
  for (const ImageMacroInstruction& m : image.Macro()) {
    json.BeginObject().Key("code").Number(m.code).Key("name").String(MacroName(m.code));
    json.Key("bitMode").Number(m.BitMode()).Key("operands").BeginArray();
    for (int k = 0; k < 3; ++k) {
      json.BeginObject().Key("register").Bool(m.OperandIsRegister(k));
      json.Key("value").Number(m.operands[k]).EndObject();
    }
    json.EndArray().EndObject();
  }
  json.EndArray();
  json.Key("pages").BeginArray();
  for (const ImagePage& page : image.Pages()) WritePage(json, page, HasRegisterOffset(image));
  json.EndArray();
  json.Key("alarms").BeginArray();
  for (const std::string& alarm : image.Alarms()) json.String(platform::GbkToUtf8(alarm));
  json.EndArray();
  json.Key("pictures").BeginArray();
  for (const compiler::ImagePicture& picture : image.Pictures()) {
    json.BeginObject().Key("width").Number(picture.width).Key("height").Number(picture.height);
    json.Key("offset").Number(static_cast<std::int64_t>(picture.pixelOffset)).EndObject();
  }
  json.EndArray().EndObject();
  return json.Text();
}

}  // namespace

int RunDump(const CommandContext& context) {
  ParsedArgs args = context.Parse({}, {"--json"});
  if (!args.error.empty() || args.positional.size() != 1) {
    context.Report("usage: dravik-cli dump [--json] QX.bin");
    return kExitUsage;
  }
  Result<platform::Bytes> bytes =
      platform::ReadFileBytes(args.positional[0], compiler::kMaxImageSize);
  if (!bytes) {
    context.Report(bytes.error());
    return kExitRefused;
  }
  Result<DecodedImage> image = compiler::ReadDeviceImage(*bytes);
  if (!image) {
    context.Report(image.error());
    return kExitRefused;
  }
  if (args.Has("--json")) {
    context.out << Json(*image) << '\n';
  } else {
    PrintText(context.out, *image);
  }
  return kExitOk;
}

}  // namespace dravik::cli
