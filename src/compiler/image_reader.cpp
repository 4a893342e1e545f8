#include "compiler/image_reader.h"

#include <algorithm>
#include <utility>

#include "macro/change_mac_cmd.h"

namespace dravik::compiler {

namespace {

std::string Num(std::size_t value) {
  return std::to_string(value);
}

Error NotAnImage(const Bilingual& reason) {
  return Error{Bilingual{
      "这不是编译器生成的画面数据文件（QX.bin）：" + reason.chinese + "。",
      "This is not a device image (QX.bin) as the compiler writes it: " + reason.english + "."}};
}

// The page blocks' failures share their opening, so that a reader of the message knows
// which part of the file is at fault before the details.
Error PagesWrong(const Bilingual& detail) {
  return NotAnImage(
      {"页面块与第 800 字节处的页面数不符：" + detail.chinese,
       "its page blocks do not match the page count at offset 800: " + detail.english});
}

std::uint16_t U16At(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t U32At(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t SettingAt(std::span<const std::uint8_t> bytes, const SettingsField& field) {
  return field.width == SettingsWidth::Word ? U16At(bytes, field.offset) : bytes[field.offset];
}

// Reads forward through [position, end) of the image; a read that would pass `end` reads
// nothing and answers false, so no length in the file can reach past its section.
class Cursor {
 public:
  Cursor(std::span<const std::uint8_t> bytes, std::size_t position, std::size_t end)
      : bytes_(bytes), position_(position), end_(end) {}

  std::size_t Position() const { return position_; }
  std::size_t End() const { return end_; }
  std::size_t Left() const { return end_ - position_; }

  bool Skip(std::size_t count) {
    if (Left() < count) return false;
    position_ += count;
    return true;
  }
  bool U8(std::uint8_t& value) {
    if (Left() < 1) return false;
    value = bytes_[position_++];
    return true;
  }
  bool U16(std::uint16_t& value) {
    if (Left() < 2) return false;
    value = U16At(bytes_, position_);
    position_ += 2;
    return true;
  }
  bool U32(std::uint32_t& value) {
    if (Left() < 4) return false;
    value = U32At(bytes_, position_);
    position_ += 4;
    return true;
  }
  bool Text(std::string& text) {
    std::uint8_t length = 0;
    if (!U8(length) || Left() < length) return false;
    const auto first = bytes_.begin() + static_cast<std::ptrdiff_t>(position_);
    text.assign(first, first + length);
    position_ += length;
    return true;
  }
  bool Matches(std::span<const std::uint8_t> expected) const {
    return Left() >= expected.size() &&
           std::equal(expected.begin(), expected.end(),
                      bytes_.begin() + static_cast<std::ptrdiff_t>(position_));
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_;
  std::size_t end_;
};

bool ReadValue(Cursor& in, const RecordField& field, RecordValue& value) {
  value.field = &field;
  switch (field.type) {
    case FieldType::U8: {
      std::uint8_t byte = 0;
      if (!in.U8(byte)) return false;
      value.number = byte;
      return true;
    }
    case FieldType::U16:
    case FieldType::Colour: {
      std::uint16_t word = 0;
      if (!in.U16(word)) return false;
      value.number = word;
      return true;
    }
    case FieldType::U32:
    case FieldType::S32:
      return in.U32(value.number);
    case FieldType::Text:
      return in.Text(value.text);
  }
  return false;
}

bool ReadStates(Cursor& in, std::size_t count, std::vector<ImageState>& states) {
  for (std::size_t i = 0; i < count; ++i) {
    ImageState state;
    if (!in.U8(state.value) || !in.Text(state.text)) return false;
    states.push_back(std::move(state));
  }
  return true;
}

}  // namespace

class ImageParser {
 public:
  explicit ImageParser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  Result<DecodedImage> Parse() && {
    if (Status status = Header(); !status) return status.error();
    ReadSettings();
    if (Status status = Macro(); !status) return status.error();
    if (Status status = Pages(); !status) return status.error();
    if (Status status = Alarms(); !status) return status.error();
    if (Status status = Pictures(); !status) return status.error();
    image_.bytes_.assign(bytes_.begin(), bytes_.end());
    return std::move(image_);
  }

 private:
  Status Header() {
    const std::string size = Num(bytes_.size());
    if (bytes_.size() < kSmallestImage) {
      return NotAnImage({"它只有 " + size + " 字节，画面数据至少有 802 字节",
                         "it has " + size + " bytes, and a device image has at least 802"});
    }
    if (bytes_.size() > kMaxImageSize) {
      return NotAnImage({"它有 " + size + " 字节，超过面板能容纳的 153600 字节",
                         "it has " + size + " bytes, more than the 153,600 bytes the panel holds"});
    }
    if (U16At(bytes_, kImageMarkerField) != kImageMarker) {
      return NotAnImage(
          {"第 126 字节处没有标记 0xE916", "the marker 0xE916 at offset 126 is missing"});
    }
    const std::uint32_t alarms = U32At(bytes_, kAlarmTableOffsetField);
    const std::uint32_t pictures = U32At(bytes_, kPictureSectionOffsetField);
    if (alarms < kFirstPageBlock || alarms > pictures || pictures >= bytes_.size()) {
      const std::string where = Num(alarms) + ", " + Num(pictures) + ", " + size;
      return NotAnImage(
          {"报警文字表和图片区的位置（第 122 和第 0 字节处）与文件长度不符（" + where + "）",
           "the offsets of the alarm texts and the pictures (at offsets 122 and 0) "
           "do not fit its length (" +
               where + ")"});
    }
    image_.alarmTable_ = alarms;
    image_.pictureSection_ = pictures;
    return {};
  }

  void ReadSettings() {
    image_.settings_.reserve(kSettingsFields.size());
    for (const SettingsField& field : kSettingsFields) {
      image_.settings_.push_back({&field, SettingAt(bytes_, field)});
    }
  }

  Status Macro() {
    const auto marker = bytes_.subspan(macro::kMacAreaStart, 6);
    if (std::all_of(marker.begin(), marker.end(), [](std::uint8_t b) { return b == 0; })) {
      return {};
    }
    const std::uint8_t count = marker[2];
    const std::array<std::uint8_t, 6> expected = macro::MacMarker(count);
    if (count == 0 || count > macro::kMacMaxInstructions ||
        !std::equal(marker.begin(), marker.end(), expected.begin())) {
      return NotAnImage(
          {"第 150 字节处的宏标记不完整", "the macro marker at offset 150 is damaged"});
    }
    for (int k = 0; k < count; ++k) {
      const std::size_t at = macro::kMacCodeStart + macro::kMacInstructionSize * k;
      ImageMacroInstruction instruction{bytes_[at], bytes_[at + 1], {}};
      for (int i = 0; i < 3; ++i) instruction.operands[i] = U16At(bytes_, at + 2 + 2 * i);
      image_.macro_.push_back(instruction);
    }
    return {};
  }

  Status Pages() {
    const int count = bytes_[kPageCountField];
    if (count > kMaxImagePages) {
      return PagesWrong({"页面数 " + Num(count) + " 超过 240",
                         "the page count " + Num(count) + " is more than 240"});
    }
    Cursor in(bytes_, kFirstPageBlock, image_.alarmTable_);
    for (int n = 1; n <= count; ++n) {
      if (Status status = Page(in, n); !status) return status;
    }
    if (in.Position() != in.End()) {
      return PagesWrong({"页面块在第 " + Num(in.Position()) + " 字节处结束，而报警文字表从第 " +
                             Num(in.End()) + " 字节开始",
                         "the page blocks end at offset " + Num(in.Position()) +
                             ", but the alarm table begins at " + Num(in.End())});
    }
    return {};
  }

  Status Page(Cursor& in, int n) {
    ImagePage page;
    page.offset = in.Position();
    const std::string block = Num(n), at = Num(page.offset);
    if (in.Left() < kPageBlockHeadSize) {
      return PagesWrong({"第 " + block + " 个页面块（第 " + at + " 字节处）被截断",
                         "page block " + block + " at offset " + at + " is cut short"});
    }
    if (!in.Matches(kPageBlockMarker)) {
      return PagesWrong({"第 " + block + " 个页面块（第 " + at + " 字节处）没有页面块标记",
                         "page block " + block + " at offset " + at + " has no marker"});
    }
    std::uint8_t number = 0;
    // The head fits (checked above), so these reads cannot fail.
    (void)in.Skip(sizeof(kPageBlockMarker));
    (void)in.U8(number);
    page.number = number;
    for (std::uint8_t& kindCount : page.kindCounts) (void)in.U8(kindCount);
    (void)in.U16(page.background);
    for (std::uint8_t& key : page.keyJumps) (void)in.U8(key);

    std::array<int, kKindCountTableSize> seen{};
    int records = 0;
    for (const std::uint8_t kindCount : page.kindCounts) records += kindCount;
    for (int r = 0; r < records; ++r) {
      Result<ImageRecord> record = Record(in, page, seen);
      if (!record) return record.error();
      page.records.push_back(std::move(*record));
    }
    image_.pages_.push_back(std::move(page));
    return {};
  }

  Result<ImageRecord> Record(Cursor& in, const ImagePage& page,
                             std::array<int, kKindCountTableSize>& seen) {
    ImageRecord record;
    record.offset = in.Position();
    const std::string at = Num(record.offset);
    std::uint8_t kind = 0;
    if (!in.U8(kind)) return RecordCut(record.offset, in.End());
    record.layout = FindRecordLayout(kind);
    if (record.layout == nullptr) {
      return PagesWrong({"第 " + at + " 字节处的元件记录类型 " + Num(kind) + " 不存在",
                         "the record at offset " + at + " has the kind code " + Num(kind) +
                             ", which has no record"});
    }
    if (++seen[kind - 1] > page.kindCounts[kind - 1]) {
      const std::string counted = Num(page.kindCounts[kind - 1]);
      return PagesWrong(
          {"第 " + at + " 字节处的类型 " + Num(kind) + " 记录多于页面块记下的 " + counted + " 个",
           "the record at offset " + at + " is one more of kind " + Num(kind) + " than the " +
               counted + " its page block counts"});
    }
    record.values.reserve(record.layout->fields.size());
    for (const RecordField& field : record.layout->fields) {
      RecordValue value;
      if (!ReadValue(in, field, value)) return RecordCut(record.offset, in.End());
      record.values.push_back(std::move(value));
    }
    if (record.layout->statesFollow) {
      const std::size_t states = *record.Number("stateCount");
      if (!ReadStates(in, states, record.statesOne) || !ReadStates(in, states, record.statesTwo)) {
        return RecordCut(record.offset, in.End());
      }
    }
    record.size = in.Position() - record.offset;
    return record;
  }

  static Error RecordCut(std::size_t record, std::size_t end) {
    return PagesWrong(
        {"第 " + Num(record) + " 字节处的元件记录越过了页面块的末尾（第 " + Num(end) + " 字节）",
         "the record at offset " + Num(record) +
             " runs past the end of the page blocks at offset " + Num(end)});
  }

  Status Alarms() {
    const int count = bytes_[kAlarmCountField];
    Cursor in(bytes_, image_.alarmTable_, image_.pictureSection_);
    for (int i = 0; i < count; ++i) {
      std::string text;
      if (!in.Text(text)) break;
      image_.alarms_.push_back(std::move(text));
    }
    if (image_.alarms_.size() != static_cast<std::size_t>(count) || in.Left() != 0) {
      const std::string where = Num(image_.alarmTable_) + ".." + Num(image_.pictureSection_);
      return NotAnImage(
          {"报警文字与第 82 字节处的报警数量 " + Num(count) + " 不符（第 " + where + " 字节）",
           "its alarm texts do not match the alarm count " + Num(count) +
               " at offset 82 (offsets " + where + ")"});
    }
    return {};
  }

  Status Pictures() {
    Cursor in(bytes_, image_.pictureSection_, bytes_.size());
    std::uint8_t count = 0;
    (void)in.U8(count);  // the header check left at least this byte
    for (int i = 0; i < count; ++i) {
      const std::size_t at = in.Position();
      std::uint16_t width = 0, height = 0;
      const bool sized = in.U16(width) && in.U16(height);
      const std::size_t pixelBytes = 2 * std::size_t{width} * height;
      if (!sized || in.Left() < pixelBytes) {
        return NotAnImage({"图片区的图片没有在文件末尾结束：第 " + Num(i + 1) + " 幅图片（第 " +
                               Num(at) + " 字节处）超出了文件",
                           "its pictures do not end where the file ends: picture " + Num(i + 1) +
                               " at offset " + Num(at) + " runs past the end"});
      }
      image_.pictures_.push_back({width, height, in.Position()});
      (void)in.Skip(pixelBytes);
    }
    if (in.Left() != 0) {
      return NotAnImage({"图片区的图片没有在文件末尾结束：第 " + Num(in.Position()) +
                             " 字节之后还有 " + Num(in.Left()) + " 字节",
                         "its pictures do not end where the file ends: " + Num(in.Left()) +
                             " bytes follow them at offset " + Num(in.Position())});
    }
    return {};
  }

  std::span<const std::uint8_t> bytes_;
  DecodedImage image_;
};

const RecordValue* ImageRecord::Find(std::string_view key) const {
  for (const RecordValue& value : values) {
    if (value.Key() == key) return &value;
  }
  return nullptr;
}

std::optional<std::uint32_t> ImageRecord::Number(std::string_view key) const {
  const RecordValue* value = Find(key);
  if (value == nullptr || value->Type() == FieldType::Text) return std::nullopt;
  return value->number;
}

std::uint16_t ImagePage::RegisterOffset() const {
  return static_cast<std::uint16_t>(keyJumps[kRegisterOffsetKeyByte] |
                                    keyJumps[kRegisterOffsetKeyByte + 1] << 8);
}

int ImageMacroInstruction::BitMode() const {
  return flags & macro::kMacBitModeMask;
}

bool ImageMacroInstruction::OperandIsRegister(int index) const {
  return index >= 0 && index < 3 && (flags & macro::kMacRegisterOperandFlags[index]) != 0;
}

std::uint16_t DecodedImage::Setting(const SettingsField& field) const {
  return SettingAt(bytes_, field);
}

std::span<const std::uint8_t> DecodedImage::PicturePixels(const ImagePicture& picture) const {
  return std::span(bytes_).subspan(picture.pixelOffset,
                                   2 * std::size_t{static_cast<std::uint16_t>(picture.width)} *
                                       static_cast<std::uint16_t>(picture.height));
}

Result<DecodedImage> ReadDeviceImage(std::span<const std::uint8_t> image) {
  return ImageParser(image).Parse();
}

}  // namespace dravik::compiler
