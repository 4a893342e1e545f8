// The device-image reader: what the compiler writes reads back field for field (the bundled
// examples and a project with every kind, alarms, macro and pictures), and damaged or
// hostile images are refused with what is wrong and where.

#include "compiler/image_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "all_kinds_page.h"
#include "compiler/compile_to_image.h"
#include "compiler/element_encoders.h"
#include "compiler/int_text.h"
#include "compiler/rgb565.h"
#include "elements/element_kind.h"
#include "macro/macro_database.h"
#include "macro/macro_row.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "pictures/picture_library.h"
#include "platform/image_codec.h"
#include "support/temp_dir.h"

namespace dravik::compiler {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using model::PageRecord;
using model::ProjectImage;
using namespace model::settings;

// What the encoder writes for one slot on its own: the records the page block must hold
// for it, in order.
Bytes EncodeSlot(PageRecord& page, int slot, const EncodeSettings& settings) {
  ImageWriter scratch(8192);
  scratch.Seek(kKindCountTableSize);
  PageBlockWriter out(scratch, 0);
  EncodeElement(page, slot, settings, out);
  const auto written = scratch.Written().subspan(kKindCountTableSize);
  return {written.begin(), written.end()};
}

std::uint16_t GeometryWord(const std::array<std::uint8_t, 8>& geometry, int index) {
  return static_cast<std::uint16_t>(geometry[2 * index] | geometry[2 * index + 1] << 8);
}

std::string Text(const ImageRecord& record, std::string_view key) {
  const RecordValue* value = record.Find(key);
  return value != nullptr ? value->text : "<none>";
}

// The fields of a record that come straight from the element's slot arrays.
void ExpectElementFields(const PageRecord& p, int s, const ImageRecord& record) {
  const int kind = p.ElemKind[s];
  ASSERT_EQ(record.Kind(), kind);
  if (kind != elements::kKindLine) {
    const auto geometry =
        GeometryBlock(p.ElemLeft[s], p.ElemTop[s], p.ElemWidth[s], p.ElemHeight[s]);
    const char* keys[] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(record.Number(keys[i]), GeometryWord(geometry, i)) << keys[i];
  }
  if (record.Find("id") != nullptr) {
    EXPECT_EQ(record.Number("id"), std::uint32_t(s + 1));
  }
  const std::uint16_t a = Rgb565(p.ElemLongA[s]);
  const std::uint16_t b = Rgb565(p.ElemLongB[s]);
  if (record.Find("backColour") != nullptr && kind != elements::kKindBitSwitch) {
    EXPECT_EQ(record.Number("backColour"), a);
    EXPECT_EQ(record.Number("foreColour"), b);
  }
  if (record.Find("colour") != nullptr) {
    EXPECT_EQ(record.Number("colour"), b);
  }
  if (record.Find("register") != nullptr) {
    EXPECT_EQ(record.Number("register"), p.ElemWordA[s]);
  }
  switch (kind) {
    case elements::kKindText:
      EXPECT_EQ(Text(record, "textOne"),
                p.ElemTextA[s].Empty() ? "\xD6\xD0" : p.ElemTextA[s].View());
      break;
    case elements::kKindLamp:
      EXPECT_EQ(record.Number("offColour"), a);
      EXPECT_EQ(Text(record, "offText"), p.ElemTextA[s].View());
      EXPECT_EQ(Text(record, "onText"), p.ElemTextB[s].View());
      break;
    case elements::kKindRegister:
      EXPECT_EQ(record.Find("upperLimit")->Signed(), p.ElemLongC[s]);
      EXPECT_EQ(record.Find("lowerLimit")->Signed(), p.ElemLongD[s]);
      break;
    case elements::kKindDynamicText: {
      const std::size_t states = *record.Number("stateCount");
      ASSERT_EQ(record.statesOne.size(), states);
      ASSERT_EQ(record.statesTwo.size(), states);
      for (std::size_t i = 0; i < states; ++i) {
        const int index = static_cast<int>(i);
        const DynTextState one =
            SplitStateText(p.DynTextStates[*model::TextEntry(s, 0, index)].View(), index, 0);
        EXPECT_EQ(record.statesOne[i].value, static_cast<std::uint8_t>(one.value));
        EXPECT_EQ(record.statesOne[i].text, one.text);
        EXPECT_EQ(record.statesTwo[i].value, i);
      }
      break;
    }
    case elements::kKindPicture:
      EXPECT_EQ(record.Number("picture"), p.ElemWordE[s] & 0xFF);
      break;
    default:
      break;
  }
}

// Decodes the compiled image of `project` and holds every part of it against the project
// and against what the encoders write slot by slot.
void ExpectRoundTrip(const ProjectImage& project, const CompileResult& compiled) {
  ASSERT_TRUE(compiled.ok);
  const Result<DecodedImage> decoded = ReadDeviceImage(compiled.image);
  ASSERT_TRUE(decoded) << decoded.message();
  EXPECT_EQ(decoded->Size(), compiled.image.size());

  const PageRecord& settings = project.Settings();
  EXPECT_EQ(decoded->Setting(image_field::kInitialPage), At(settings, kInitialPage) & 0xFF);
  EXPECT_EQ(decoded->Setting(image_field::kAlarmStart), At(settings, kAlarmStart));
  EXPECT_EQ(decoded->Setting(image_field::kFocusColour), Rgb565(At(settings, kFocusColor)));
  EXPECT_EQ(decoded->Settings().size(), kSettingsFields.size());

  std::vector<int> used;
  for (int n = 1; n <= model::kMaxPage; ++n) {
    if (project.IsPageUsed(n)) used.push_back(n);
  }
  ASSERT_EQ(decoded->Pages().size(), used.size());
  const EncodeSettings encode{At(settings, kLink1Protocol)};
  const auto bytes = decoded->Bytes();
  for (std::size_t i = 0; i < used.size(); ++i) {
    SCOPED_TRACE("page " + std::to_string(used[i]));
    PageRecord page = project.Page(used[i]);
    const ImagePage& read = decoded->Pages()[i];
    EXPECT_EQ(read.number, *ParseIntText(page.PageStrings[model::kPageNumberText].View()) & 0xFF);
    std::size_t next = 0;
    for (int slot = 0; slot < model::kSlotCount; ++slot) {
      SCOPED_TRACE("slot " + std::to_string(slot));
      const Bytes expected = EncodeSlot(page, slot, encode);
      const std::size_t first = next;
      Bytes got;
      while (got.size() < expected.size() && next < read.records.size()) {
        const ImageRecord& record = read.records[next++];
        const auto span = bytes.subspan(record.offset, record.size);
        got.insert(got.end(), span.begin(), span.end());
      }
      ASSERT_EQ(got, expected);
      const int kind = page.ElemKind[slot];
      if (!expected.empty() && kind != elements::kKindDate && kind != elements::kKindTime) {
        EXPECT_EQ(next - first, 1u);
        ExpectElementFields(page, slot, read.records[first]);
      }
    }
    EXPECT_EQ(next, read.records.size()) << "records beyond the page's slots";
  }

  const int alarms = std::min<int>(At(settings, kAlarmCount), kMaxAlarms);
  ASSERT_EQ(decoded->Alarms().size(), static_cast<std::size_t>(alarms));
  for (int i = 0; i < alarms; ++i) {
    const std::string_view text = settings.ElemTextA[kAlarmTextFirst + i].View();
    EXPECT_EQ(decoded->Alarms()[i], text.empty() ? "." : text);
  }
}

class ImageReaderTest : public testing::Test {
 protected:
  ImageReaderTest() : project_(std::make_unique<ProjectImage>()) {
    model::InitializeNewProject(*project_);
  }
  CompileResult Compile() { return CompileToImage(*project_, CompanionFiles::Beside(file_)); }

  test::TempDir dir_;
  fs::path file_ = dir_ / "P.QX3";
  std::unique_ptr<ProjectImage> project_;
};

TEST_F(ImageReaderTest, TheBundledExamplesReadBackFieldForField) {
  const fs::path examples = fs::path(DRAVIK_TEST_SOURCE_DIR) / "data" / "examples";
  int seen = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(examples)) {
    if (entry.path().extension() != ".QX3") continue;
    SCOPED_TRACE(entry.path().filename().string());
    // The compiler opens the companion files; it works on copies so the tree stays as it is.
    for (const char* extension : {".QX3", ".M", ".PIC"}) {
      fs::path from = entry.path();
      from.replace_extension(extension);
      fs::path to = file_;
      to.replace_extension(extension);
      fs::remove(to);
      if (fs::exists(from)) fs::copy_file(from, to);
    }
    ASSERT_FALSE(model::ReadProjectFile(*project_, file_).has_value());
    const CompileResult compiled = Compile();
    ExpectRoundTrip(*project_, compiled);
    ++seen;
  }
  EXPECT_GE(seen, 2);
}

TEST_F(ImageReaderTest, EveryKindAlarmsMacroAndPicturesReadBack) {
  bench::FillAllKindsPage(*project_, 1);
  bench::FillMixedPage(*project_, 3);
  // Dates and times in each of their formats.
  PageRecord& page = project_->Page(1);
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (page.ElemKind[slot] == elements::kKindDate || page.ElemKind[slot] == elements::kKindTime) {
      for (int format = 1; format <= 3; ++format) {
        PageRecord& other = project_->Page(3 + format);
        other = page;
        other.PageStrings[model::kPageNumberText].Assign(std::to_string(3 + format));
        other.ElemByteB[slot] = static_cast<std::uint8_t>(format);
      }
    }
  }
  PageRecord& settings = project_->Settings();
  At(settings, kAlarmCount) = 3;
  settings.ElemTextA[kAlarmTextFirst].Assign("Overheat");
  settings.ElemTextA[kAlarmTextFirst + 2].Assign("\xB1\xA8\xBE\xAF");  // 报警

  const fs::path database = macro::MacroDatabasePath(file_);
  ASSERT_TRUE(macro::EnsureMacroDatabase(database, false).ok());
  macro::MacroRows rows{};
  rows[0].OPt = 1;  // ADD D10 = D10 + 7
  rows[0].A1t = macro::kKindRegister;
  rows[0].A1v = 10;
  rows[0].A2t = macro::kKindRegister;
  rows[0].A2v = 10;
  rows[0].A3v = 7;
  rows[1] = rows[0];
  rows[1].OPt = 2;
  rows[1].BIT = 1;
  rows[1].A1v = 11;
  rows[1].A2v = 12;
  ASSERT_TRUE(macro::ADOSaveFile(database, std::span(rows).first(2), false).ok());

  const platform::RgbImage red{3, 2, Bytes(18, 0)};
  const fs::path bmp = dir_ / "three.bmp";
  test::WriteAll(bmp, platform::EncodeBmp(red));
  {
    pictures::PictureLibrary library;
    ASSERT_TRUE(library.ADOConnected(file_).ok());
    ASSERT_TRUE(library.AddPicture(bmp).ok());
    ASSERT_TRUE(library.AddPicture(bmp).ok());
  }

  const CompileResult compiled = Compile();
  ExpectRoundTrip(*project_, compiled);

  const Result<DecodedImage> decoded = ReadDeviceImage(compiled.image);
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->Macro().size(), 2u);
  const ImageMacroInstruction& second = decoded->Macro()[1];
  EXPECT_EQ(second.code, 2);
  EXPECT_EQ(second.BitMode(), 1);
  EXPECT_TRUE(second.OperandIsRegister(0));
  EXPECT_TRUE(second.OperandIsRegister(1));
  EXPECT_FALSE(second.OperandIsRegister(2));
  EXPECT_EQ(second.operands, (std::array<std::uint16_t, 3>{11, 12, 7}));

  ASSERT_EQ(decoded->Pictures().size(), 2u);
  for (const ImagePicture& picture : decoded->Pictures()) {
    EXPECT_EQ(picture.width, 3);
    EXPECT_EQ(picture.height, 2);
    EXPECT_EQ(decoded->PicturePixels(picture).size(), 12u);
  }
  EXPECT_EQ(decoded->Pictures().back().pixelOffset + 12, compiled.image.size());

  std::set<int> kinds;
  for (const ImagePage& read : decoded->Pages()) {
    for (const ImageRecord& record : read.records) kinds.insert(record.Kind());
  }
  for (const RecordLayout& layout : kRecordLayouts) {
    EXPECT_TRUE(kinds.count(layout.kind)) << "no record of kind " << layout.kind;
  }
}

// Every kind the compiler writes a record for has the field layout the reader reads by;
// dates and times are written as records of other kinds.
TEST(ImageLayoutTest, EveryEncodedKindHasItsLayout) {
  for (int kind = 0; kind < 256; ++kind) {
    const bool expanded = kind == elements::kKindDate || kind == elements::kKindTime;
    EXPECT_EQ(EncoderForKind(kind) != nullptr && !expanded, FindRecordLayout(kind) != nullptr)
        << "kind " << kind;
  }
}

// A small image to damage: pages 1 and 2 with a text, a register and a dynamic text each,
// two alarms, one macro instruction and a 2 x 1 picture.
class HostileImageTest : public ImageReaderTest {
 protected:
  Bytes GoodImage() {
    for (int n : {1, 2}) {
      PageRecord& p = project_->Page(n);
      p.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
      p.PageStrings[model::kPageNumberText].Assign(std::to_string(n));
      p.ElemKind[0] = elements::kKindText;
      p.ElemKind[1] = elements::kKindRegister;
      p.ElemKind[135] = elements::kKindDynamicText;
      p.ElemByteB[135] = 2;
      for (int s : {0, 1, 135}) {
        p.ElemLeft[s] = 20;
        p.ElemTop[s] = 20 + s;
        p.ElemWidth[s] = 40;
        p.ElemHeight[s] = 20;
      }
    }
    At(project_->Settings(), kAlarmCount) = 2;
    CompileResult compiled = Compile();
    EXPECT_TRUE(compiled.ok);
    Bytes image = compiled.image;
    const Bytes macro = {0x16, 0xE9, 1, 1, 0xE9, 0x16, 1, 4, 10, 0, 7, 0, 0, 0};
    std::copy(macro.begin(), macro.end(), image.begin() + 150);
    image.back() = 1;  // one picture of 2 x 1
    image.insert(image.end(), {2, 0, 1, 0, 0x00, 0xF8, 0x1F, 0x00});
    return image;
  }
};

void PutU32(Bytes& b, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST_F(HostileImageTest, DamagedImagesAreRefusedWithWhatAndWhere) {
  const Bytes good = GoodImage();
  const Result<DecodedImage> reference = ReadDeviceImage(good);
  ASSERT_TRUE(reference) << reference.message();
  ASSERT_EQ(reference->Pages().size(), 2u);
  const ImagePage& first = reference->Pages()[0];
  const ImagePage& second = reference->Pages()[1];
  ASSERT_EQ(first.records.size(), 3u);
  const ImageRecord& dynamicText = second.records[2];
  ASSERT_EQ(dynamicText.Kind(), elements::kKindDynamicText);
  const std::size_t alarms = reference->AlarmTableOffset();
  const std::size_t pictures = reference->PictureSectionOffset();
  const std::string second_at = std::to_string(second.offset);
  const std::string alarms_at = std::to_string(alarms);

  struct Case {
    const char* name;
    std::function<void(Bytes&)> damage;
    std::string reason;  // part of the English text
  };
  const Case cases[] = {
      {"header cut", [](Bytes& b) { b.resize(600); },
       "has 600 bytes, and a device image has at least 802"},
      {"larger than the panel holds", [](Bytes& b) { b.resize(kMaxImageSize + 1); }, "153,600"},
      {"no image marker", [](Bytes& b) { b[127] = 0; }, "marker 0xE916 at offset 126"},
      {"picture section past the end",
       [](Bytes& b) { PutU32(b, 0, static_cast<std::uint32_t>(b.size() + 100)); },
       "(at offsets 122 and 0)"},
      {"alarm table inside the header", [](Bytes& b) { PutU32(b, 122, 10); },
       "(at offsets 122 and 0)"},
      {"alarm table behind the pictures", [](Bytes& b) { PutU32(b, 122, GetU32(b, 0) + 1); },
       "(at offsets 122 and 0)"},
      {"macro count beyond 80", [](Bytes& b) { b[152] = b[153] = 81; },
       "macro marker at offset 150"},
      {"page count beyond 240", [](Bytes& b) { b[800] = 241; },
       "the page count 241 is more than 240"},
      {"a page more than there are blocks", [](Bytes& b) { b[800] = 3; },
       "page block 3 at offset " + alarms_at + " is cut short"},
      {"a page less than there are blocks", [](Bytes& b) { b[800] = 1; },
       "the page blocks end at offset " + second_at + ", but the alarm table begins at " +
           alarms_at},
      {"second block without its marker", [&](Bytes& b) { b[second.offset + 2] = 0; },
       "page block 2 at offset " + second_at + " has no marker"},
      {"a text record counted as a register",
       [&](Bytes& b) {
         --b[first.offset + 7 + elements::kKindText - 1];
         ++b[first.offset + 7 + elements::kKindRegister - 1];
       },
       "the record at offset " + std::to_string(first.records[0].offset) +
           " is one more of kind 1 than the 0 its page block counts"},
      {"a record counted that is not there",
       [&](Bytes& b) { ++b[first.offset + 7 + elements::kKindText - 1]; },
       "the record at offset " + second_at + " has the kind code 238, which has no record"},
      {"a state text longer than the page blocks",  // the length of the last text, "N1"
       [&](Bytes& b) { b[dynamicText.offset + dynamicText.size - 3] = 200; },
       "the record at offset " + std::to_string(dynamicText.offset) +
           " runs past the end of the page blocks at offset " + alarms_at},
      {"more states than the record holds", [&](Bytes& b) { b[dynamicText.offset + 19] = 255; },
       "the record at offset " + std::to_string(dynamicText.offset) + " runs past the end"},
      {"alarm table cut into by the pictures",
       [&](Bytes& b) { PutU32(b, 0, static_cast<std::uint32_t>(pictures - 1)); },
       "its alarm texts do not match the alarm count 2 at offset 82"},
      {"an alarm more than the texts", [](Bytes& b) { b[82] = 3; }, "alarm count 3 at offset 82"},
      {"a picture larger than the file", [&](Bytes& b) { b[pictures + 1] = 0xFF; },
       "picture 1 at offset " + std::to_string(pictures + 1) + " runs past the end"},
      {"a byte after the pictures", [](Bytes& b) { b.push_back(0); },
       "1 bytes follow them at offset " + std::to_string(good.size())},
      {"a bitmap",
       [](Bytes& b) {
         b.assign(3000, 0x7F);
         b[0] = 'B';
         b[1] = 'M';
       },
       "marker 0xE916"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes image = good;
    c.damage(image);
    const Result<DecodedImage> read = ReadDeviceImage(image);
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().In(false).find(c.reason), std::string::npos) << read.error().In(false);
    EXPECT_NE(read.error().In(true).find("QX.bin"), std::string::npos);
    EXPECT_NE(read.error().In(true), read.error().In(false)) << "a Chinese text of its own";
  }
}

// Whatever a byte of an image says, the reader either decodes it or refuses it: every
// single-byte change of the small image is read without reaching outside it.
TEST_F(HostileImageTest, EveryByteChangedIsReadOrRefused) {
  const Bytes good = GoodImage();
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (std::uint8_t value :
         {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{0x7F}, std::uint8_t{0xFF}}) {
      Bytes image = good;
      image[at] = value;
      const Result<DecodedImage> read = ReadDeviceImage(image);
      if (read) {
        ASSERT_EQ(read->Size(), image.size());
      }
    }
  }
}

}  // namespace
}  // namespace dravik::compiler
