#pragma once
// Reads a device image (QX.bin) back into what it holds: the settings block, the page
// blocks with their element records in compiled form, the alarm texts, the macro
// instructions and the pictures. It reads by the same layout the compiler writes by
// (image_layout.h) and trusts nothing in the file: every offset, count and length is
// checked against the image before it is used, and a file that is not an image as the
// compiler writes it is refused with what is wrong and where.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/image_layout.h"
#include "platform/result.h"

namespace dravik::compiler {

// One field of a record as the image holds it; texts are GBK bytes.
struct RecordValue {
  const RecordField* field = nullptr;
  std::uint32_t number = 0;  // S32 values are their two's complement
  std::string text;          // Text fields only

  std::string_view Key() const { return field->key; }
  FieldType Type() const { return field->type; }
  std::int32_t Signed() const { return static_cast<std::int32_t>(number); }
};

// A state of a dynamic text: the value (language one) or index (language two) byte and
// its text.
struct ImageState {
  std::uint8_t value = 0;
  std::string text;  // GBK
};

struct ImageRecord {
  const RecordLayout* layout = nullptr;
  std::size_t offset = 0;  // of its kind byte in the image
  std::size_t size = 0;
  std::vector<RecordValue> values;  // in the layout's order
  std::vector<ImageState> statesOne;
  std::vector<ImageState> statesTwo;

  int Kind() const { return layout->kind; }
  // The value of the field `key`; nothing when the record has no such field.
  const RecordValue* Find(std::string_view key) const;
  std::optional<std::uint32_t> Number(std::string_view key) const;
};

struct ImagePage {
  std::size_t offset = 0;  // of its marker
  int number = 0;          // the page number byte
  std::array<std::uint8_t, kKindCountTableSize> kindCounts{};
  std::uint16_t background = 0;  // RGB565
  std::array<std::uint8_t, kKeyJumpBytes> keyJumps{};
  std::vector<ImageRecord> records;

  // Key bytes 20 and 21 read as the page's register offset (the protocols that have one).
  std::uint16_t RegisterOffset() const;
};

// One instruction of the macro block: the command code, the bit mode and operand flags
// byte, and the three operand values.
struct ImageMacroInstruction {
  std::uint8_t code = 0;
  std::uint8_t flags = 0;
  std::array<std::uint16_t, 3> operands{};

  int BitMode() const;
  bool OperandIsRegister(int index) const;
};

struct ImagePicture {
  int width = 0;
  int height = 0;
  std::size_t pixelOffset = 0;  // width x height u16 RGB565 pixels from here
};

struct SettingsValue {
  const SettingsField* field = nullptr;
  std::uint16_t value = 0;
};

// A decoded image. It keeps its own copy of the bytes, which the pictures' pixels are
// read from.
class DecodedImage {
 public:
  std::span<const std::uint8_t> Bytes() const { return bytes_; }
  std::size_t Size() const { return bytes_.size(); }

  std::uint32_t PictureSectionOffset() const { return pictureSection_; }
  std::uint32_t AlarmTableOffset() const { return alarmTable_; }
  // The settings block's fields in the order of their offsets.
  const std::vector<SettingsValue>& Settings() const { return settings_; }
  std::uint16_t Setting(const SettingsField& field) const;
  const std::vector<ImageMacroInstruction>& Macro() const { return macro_; }
  const std::vector<ImagePage>& Pages() const { return pages_; }
  const std::vector<std::string>& Alarms() const { return alarms_; }  // GBK
  const std::vector<ImagePicture>& Pictures() const { return pictures_; }
  std::span<const std::uint8_t> PicturePixels(const ImagePicture& picture) const;

 private:
  friend class ImageParser;
  std::vector<std::uint8_t> bytes_;
  std::uint32_t pictureSection_ = 0;
  std::uint32_t alarmTable_ = 0;
  std::vector<SettingsValue> settings_;
  std::vector<ImageMacroInstruction> macro_;
  std::vector<ImagePage> pages_;
  std::vector<std::string> alarms_;
  std::vector<ImagePicture> pictures_;
};

// Decodes `image`, or says in both languages why it is not a device image as the compiler
// writes it, naming the place (offset) where it goes wrong.
Result<DecodedImage> ReadDeviceImage(std::span<const std::uint8_t> image);

}  // namespace dravik::compiler
