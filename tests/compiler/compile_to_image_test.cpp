#include "compiler/compile_to_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "compiler/element_encoders.h"
#include "image_bytes.h"
#include "macro/macro_database.h"
#include "macro/macro_row.h"
#include "model/settings_page.h"
#include "pictures/picture_library.h"
#include "platform/gbk.h"
#include "platform/image_codec.h"
#include "support/temp_dir.h"

namespace dravik::compiler {
namespace {

using model::PageRecord;
using model::ProjectImage;
using namespace model::settings;
using test::ImageBytes;

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void UsePage(ProjectImage& project, int n) {
  PageRecord& p = project.Page(n);
  p.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
  p.PageStrings[model::kPageNumberText].Assign(std::to_string(n));
  p.PageStrings[model::kPageBackColorText].Assign("16777215");
  p.PageStrings[model::kPageRegisterOffsetText].Assign("0");
}

void PutText(PageRecord& p, int s, std::string_view a, std::string_view b) {
  p.ElemKind[s] = 1;
  p.ElemLeft[s] = 10;
  p.ElemTop[s] = 10;
  p.ElemWidth[s] = 76;
  p.ElemHeight[s] = 26;
  p.ElemTextA[s].Assign(a);
  p.ElemTextB[s].Assign(b);
}

class CompileToImageTest : public testing::Test {
 protected:
  CompileToImageTest() : project_(std::make_unique<ProjectImage>()) {
    model::ApplySettingsDefaults(project_->Settings());
  }

  CompileResult Compile() {
    return CompileToImage(*project_, CompanionFiles::Beside(projectFile_));
  }
  PageRecord& Settings() { return project_->Settings(); }

  dravik::test::TempDir dir_;
  std::filesystem::path projectFile_ = dir_ / "P.QX3";
  std::unique_ptr<ProjectImage> project_;
};

TEST_F(CompileToImageTest, HeaderByteForByte) {
  PageRecord& s = Settings();
  At(s, kPanelModel) = 0x45;
  At(s, kStartLanguage) = 1;
  At(s, kLink1ControllerId) = 0x1FE;
  At(s, kLink1Baud) = 4;
  At(s, kLink1Timeout) = 200;
  At(s, kLink1Parity) = 2;
  At(s, kLink1DataBits) = 1;
  At(s, kLink1StopBits) = 1;
  At(s, kLink1Protocol) = 10;
  At(s, kInitialPage) = 3;
  At(s, kScreenSaverMinutes) = 60;
  At(s, kReservedLongC5) = 0x101;
  At(s, kLink1FailureAlarm) = 1;
  At(s, kFocusColor) = 0x0000FF;
  At(s, kFollowPageRegister) = 1;
  At(s, kReportCurrentPage) = 1;
  At(s, kPageAfterPassword) = 252;
  At(s, kSuperPassword) = "4826";
  At(s, kPageSelectRegister) = 0x12345;
  At(s, kPageReportRegister) = 1180;
  At(s, kKeyRegister) = 0x0102;
  At(s, kLedRegister) = 2100;
  At(s, kFastWriteStart) = 0x0304;
  At(s, kFastWriteLength) = 50;
  At(s, kFastReadStart) = 0x0506;
  At(s, kFastReadLength) = 100;
  At(s, kLink1Port) = 2;
  At(s, kFastReadKind) = 8;
  At(s, kLink2ControllerId) = 2;
  At(s, kLink2Baud) = 3;
  At(s, kLink2Timeout) = 100;
  At(s, kLink2Parity) = 1;
  At(s, kLink2DataBits) = 2;
  At(s, kLink2StopBits) = 0;
  At(s, kRs485IdMode) = 1;
  At(s, kRegistersPerId) = 19;
  At(s, kAlarmKind) = 3;
  At(s, kAlarmStart) = 0x0708;
  At(s, kAlarmCount) = 0;
  At(s, kAlarmFont) = 1;
  At(s, kCanBaud) = 7;
  At(s, kCanFrameFormat) = 1;
  At(s, kCanFrameType) = 1;
  At(s, kCanOpenNodeId) = 127;
  At(s, kCanOpenNodeStart) = 1;
  At(s, kCanFunction) = 2;
  At(s, kCanOpenTpdoInhibit) = 4000;
  At(s, kCanShareOwnId) = 2038;
  At(s, kCanAcceptance3) = 0;
  At(s, kCanAcceptance4) = 0x65;
  At(s, kCanAcceptance5) = 0x66;
  At(s, kCanSlaveOwnId) = 0xC9;
  At(s, kCanAcceptance6) = 0xC8;
  At(s, kAdInputMode) = 4;
  At(s, kDaOutputMode) = 1;
  At(s, kExtensionBoard) = 1;
  At(s, kAdDataRegister) = 0x0A0B;
  At(s, kDaDataRegister) = 0x0C0D;

  struct Field {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  };
  const Field fields[] = {
      {4, {5, 0}},         {6, {1, 0}},         {8, {0xFE, 0}},     {10, {4, 0}},
      {12, {200, 0}},      {14, {2, 0}},        {16, {7, 0}},       {18, {2, 0}},
      {20, {9, 0}},        {22, {3, 0}},        {24, {60, 0}},      {26, {1, 0}},
      {28, {1, 0}},        {30, {0x00, 0xF8}},  {32, {1, 0}},       {34, {1, 0}},
      {36, {252, 0}},      {38, {0, 0}},        {40, {0xDA, 0x12}}, {42, {0x45, 0x23}},
      {44, {0x9C, 0x04}},  {46, {0x02, 0x01}},  {48, {0x34, 0x08}}, {50, {0x04, 0x03}},
      {52, {50, 0}},       {54, {0x06, 0x05}},  {56, {100, 0}},     {58, {2, 0}},
      {60, {8, 0}},        {62, {2, 0}},        {64, {3, 0}},       {66, {100, 0}},
      {68, {1, 0}},        {70, {8, 0}},        {72, {1, 0}},       {74, {1, 0}},
      {76, {19, 0}},       {78, {3, 0}},        {80, {0x08, 0x07}}, {82, {0, 0}},
      {84, {1, 0}},        {86, {7, 0}},        {88, {1, 0}},       {90, {1, 0}},
      {92, {127, 0}},      {94, {1, 2}},        {96, {0xA0, 0x0F}}, {98, {0xF6, 0x07}},
      {100, {0, 0}},       {102, {0x65, 0}},    {104, {0x66, 0}},   {106, {0xC9, 0}},
      {108, {0xC8, 0}},    {110, {4, 0}},       {112, {1, 1}},      {114, {0x0B, 0x0A}},
      {116, {0x0D, 0x0C}}, {126, {0x16, 0xE9}},
  };
  std::vector<std::uint8_t> expected(800, 0);
  for (const Field& f : fields)
    std::copy(f.bytes.begin(), f.bytes.end(), expected.begin() + f.offset);

  const CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  ASSERT_GE(result.image.size(), 800u);
  std::vector<std::uint8_t> header(result.image.begin(), result.image.begin() + 800);
  // The two section offsets are judged separately.
  for (std::size_t at : {0u, 122u}) std::fill_n(header.begin() + at, 4, 0);
  for (std::size_t i = 0; i < 800; ++i) EXPECT_EQ(header[i], expected[i]) << "offset " << i;
}

TEST_F(CompileToImageTest, OnlyProtocolTenIsRenumbered) {
  for (int protocol : {0, 3, 9, 11}) {
    At(Settings(), kLink1Protocol) = static_cast<std::uint16_t>(protocol);
    EXPECT_EQ(Compile().image[20], protocol);
  }
}

TEST_F(CompileToImageTest, ProjectWithoutPages) {
  const CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(result.messages.empty());
  ASSERT_EQ(result.image.size(), 802u) << "header, page count 0, picture count 0";
  EXPECT_EQ(result.image[800], 0);
  EXPECT_EQ(result.image[801], 0);
  EXPECT_EQ(U32At(result.image, 122), 801u);
  EXPECT_EQ(U32At(result.image, 0), 801u);
  for (std::size_t i = 150; i < 800; ++i) ASSERT_EQ(result.image[i], 0) << i;
}

TEST_F(CompileToImageTest, PageBlocksInAscendingOrderWithKeysAndBackground) {
  UsePage(*project_, 5);
  UsePage(*project_, 2);
  project_->Page(3).PageStrings[model::kPageNumberText].Assign("3");  // not in use
  PageRecord& two = project_->Page(2);
  two.PageStrings[model::kPageBackColorText].Assign("255");
  model::PageKeyJump(two, 0).Assign("3");
  model::PageKeyJump(two, 20).Assign("250");
  model::PageKeyJump(two, 21).Assign("$FF");
  project_->Page(5).PageStrings[model::kPageBackColorText].Assign("");

  const auto block = [](int number, unsigned colour, std::vector<unsigned> keys) {
    ImageBytes b;
    b.raw({0xEE, 0xEE, 0x11, 0x11, 0xEE, 0xEE}).u8(number);
    for (int i = 0; i < 50; ++i) b.u8(0);
    b.u16(colour);
    keys.resize(22, 0);
    for (unsigned k : keys) b.u8(k);
    return b.bytes();
  };
  std::vector<unsigned> keysOfTwo(22, 0);
  keysOfTwo[0] = 3;
  keysOfTwo[20] = 250;
  keysOfTwo[21] = 255;

  const CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  const std::vector<std::uint8_t> pages(result.image.begin() + 800, result.image.end());
  EXPECT_EQ(pages, ImageBytes()
                       .u8(2)
                       .append(block(2, 0xF800, keysOfTwo))
                       .append(block(5, 0xFFFF, {}))
                       .u8(0)
                       .bytes());
  EXPECT_EQ(U32At(result.image, 122), 801u + 2 * 81);
}

TEST_F(CompileToImageTest, RegisterOffsetReplacesTheLastTwoKeysOnProtocolsOneAndTwo) {
  UsePage(*project_, 1);
  PageRecord& page = project_->Page(1);
  model::PageKeyJump(page, 19).Assign("7");
  model::PageKeyJump(page, 20).Assign("8");
  model::PageKeyJump(page, 21).Assign("9");
  page.PageStrings[model::kPageRegisterOffsetText].Assign("300");
  const std::size_t keys = 801 + 6 + 1 + 50 + 2;

  struct Case {
    int protocol;
    const char* offsetText;
    std::uint8_t key20, key21;
  };
  const Case cases[] = {{0, "300", 8, 9},
                        {1, "300", 0x2C, 0x01},
                        {2, "300", 0x2C, 0x01},
                        {2, "none", 0, 0},
                        {3, "300", 8, 9}};
  for (const Case& c : cases) {
    At(Settings(), kLink1Protocol) = static_cast<std::uint16_t>(c.protocol);
    page.PageStrings[model::kPageRegisterOffsetText].Assign(c.offsetText);
    const CompileResult result = Compile();
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.image[keys + 19], 7) << c.protocol;
    EXPECT_EQ(result.image[keys + 20], c.key20) << c.protocol;
    EXPECT_EQ(result.image[keys + 21], c.key21) << c.protocol;
  }
}

TEST_F(CompileToImageTest, TextsThatMustBeNumbersStopTheCompile) {
  UsePage(*project_, 4);
  project_->Page(4).PageStrings[model::kPageNumberText].Assign("four");
  CompileResult result = Compile();
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.image.empty());
  EXPECT_TRUE(result.messages.empty()) << "the caller reports the failure";
  EXPECT_NE(result.failure.english.find("Page 4"), std::string::npos);

  project_->Page(4).PageStrings[model::kPageNumberText].Assign("4");
  model::PageKeyJump(project_->Page(4), 3).Assign("x1");
  EXPECT_FALSE(Compile().ok);

  model::PageKeyJump(project_->Page(4), 3).Assign("");
  EXPECT_TRUE(Compile().ok) << "an empty key jump means stay";
}

TEST_F(CompileToImageTest, AlarmTexts) {
  At(Settings(), kAlarmCount) = 3;
  Settings().ElemTextA[100].Assign("A1");
  Settings().ElemTextA[101].Assign("");
  Settings().ElemTextA[102].Assign(platform::Utf8ToGbk("报警"));
  Settings().ElemTextB[100].Assign("language two stays out");
  const CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.image[82], 3);
  const std::vector<std::uint8_t> tail(result.image.begin() + 801, result.image.end());
  EXPECT_EQ(tail, ImageBytes().text("A1").text(".").text("\xB1\xA8\xBE\xAF").u8(0).bytes());
  EXPECT_EQ(U32At(result.image, 122), 801u);
  EXPECT_EQ(U32At(result.image, 0), 801u + 3 + 2 + 5);
}

TEST_F(CompileToImageTest, AlarmCountBeyondItsEntriesIsHeldAtEighty) {
  // A damaged count must not read past the 80 alarm entries of the settings page.
  At(Settings(), kAlarmCount) = 500;
  const CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.image[82], 80);
  EXPECT_EQ(result.image.size(), 801u + 80 * 2 + 1);
}

TEST_F(CompileToImageTest, SizeLimit) {
  // Six full pages of 200 texts with 50-byte texts (117 bytes each, 81 per page block) and
  // one of 101 texts: 801 + 6 * 23,481 + 11,898 + 1 picture count byte = 153,586 bytes.
  const std::string fifty(50, 'x');
  for (int n = 1; n <= 7; ++n) {
    UsePage(*project_, n);
    for (int s = 0; s < (n < 7 ? 200 : 101); ++s) PutText(project_->Page(n), s, fifty, fifty);
  }
  CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  ASSERT_EQ(result.image.size(), 153586u);

  At(Settings(), kAlarmCount) = 7;  // seven "." alarms of two bytes each
  result = Compile();
  ASSERT_TRUE(result.ok) << "exactly 150 KB is accepted";
  EXPECT_EQ(result.image.size(), kMaxImageSize);

  Settings().ElemTextA[100].Assign("..");
  result = Compile();
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.image.empty());
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].caption, "Build");
  EXPECT_EQ(result.messages[0].text.chinese, "目标文件超过 150 KB ！\r已放弃生成目标文件 ！");
  EXPECT_EQ(result.messages[0].text.english, result.messages[0].text.chinese);
}

TEST_F(CompileToImageTest, ProjectFarBeyondTheLimitIsRefusedAsTooLarge) {
  for (int n = 1; n <= model::kMaxPage; ++n) {
    UsePage(*project_, n);
    for (int s = 0; s < 200; ++s) PutText(project_->Page(n), s, "text", "text");
  }
  const CompileResult result = Compile();
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.image.empty());
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].text, kImageTooLargeMessage);
}

TEST_F(CompileToImageTest, TooManyRecordsOfOneKindInAPage) {
  // 86 dates give 258 register records; their count would not fit its byte.
  UsePage(*project_, 1);
  for (int s = 0; s < 86; ++s) {
    PageRecord& p = project_->Page(1);
    p.ElemKind[s] = 10;
    p.ElemLeft[s] = 5;
    p.ElemTop[s] = 5;
    p.ElemWidth[s] = 180;
    p.ElemHeight[s] = 28;
    p.ElemWordC[s] = 0x100;
  }
  EXPECT_FALSE(Compile().ok);
  project_->Page(1).ElemKind[85] = 0;
  const CompileResult result = Compile();
  ASSERT_TRUE(result.ok) << "85 dates give 255 register records";
  EXPECT_EQ(result.image[801 + 7 + 1], 255);
  EXPECT_EQ(result.image[801 + 7 + 19], 85);
}

TEST_F(CompileToImageTest, SecondCompileGivesTheSameBytes) {
  UsePage(*project_, 1);
  UsePage(*project_, 9);
  PageRecord& page = project_->Page(9);
  PutText(page, 0, "a", "");
  page.ElemKind[3] = 3;  // a lamp without state texts
  page.ElemKind[140] = 7;
  page.ElemByteB[140] = 2;
  At(Settings(), kAlarmCount) = 1;

  const CompileResult first = Compile();
  ASSERT_TRUE(first.ok);
  EXPECT_TRUE(first.projectChanged);
  EXPECT_EQ(page.ElemTextA[3].View(), "0");
  EXPECT_EQ(page.ElemTextB[3].View(), "1");

  const CompileResult second = Compile();
  ASSERT_TRUE(second.ok);
  EXPECT_FALSE(second.projectChanged);
  EXPECT_EQ(first.image, second.image);
}

TEST_F(CompileToImageTest, MacroBlockFromTheProjectsMacroDatabase) {
  const std::filesystem::path database = macro::MacroDatabasePath(projectFile_);
  ASSERT_TRUE(macro::EnsureMacroDatabase(database, false).ok());
  macro::MacroRows rows{};
  rows[0].OPt = 1;  // ADD D10 = D11 + 5, signed double word
  rows[0].BIT = macro::kMacDoubleWord | macro::kMacSigned;
  rows[0].A1t = macro::kKindRegister;
  rows[0].A1v = 10;
  rows[0].A2t = macro::kKindRegister;
  rows[0].A2v = 11;
  rows[0].A3v = 5;
  ASSERT_TRUE(macro::ADOSaveFile(database, std::span(rows).first(1), false).ok());

  CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  const std::vector<std::uint8_t> area(result.image.begin() + 150, result.image.begin() + 164);
  EXPECT_EQ(area, (std::vector<std::uint8_t>{0x16, 0xE9, 1, 1, 0xE9, 0x16, 0x01, 0x0F, 0x0A, 0x00,
                                             0x0B, 0x00, 0x05, 0x00}));
  EXPECT_EQ(result.image.size(), 802u) << "the macro block does not move the write position";

  // More than 80 instructions: the warning, and no macro block.
  for (int i = 0; i < 81; ++i) rows[i] = rows[0];
  ASSERT_TRUE(macro::ADOSaveFile(database, std::span(rows).first(81), false).ok());
  result = Compile();
  ASSERT_TRUE(result.ok) << "compiling goes on";
  ASSERT_EQ(result.messages.size(), 1u);
  EXPECT_EQ(result.messages[0].caption, "Dravik ");
  for (std::size_t i = 150; i < 800; ++i) ASSERT_EQ(result.image[i], 0) << i;
}

TEST_F(CompileToImageTest, PictureSectionFromTheProjectsLibrary) {
  platform::RgbImage picture{2, 1, {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF}};  // red, blue
  const std::filesystem::path bmp = dir_ / "two.bmp";
  const std::vector<std::uint8_t> file = platform::EncodeBmp(picture);
  dravik::test::WriteAll(bmp, file);
  {
    pictures::PictureLibrary library;
    ASSERT_TRUE(library.ADOConnected(projectFile_).ok());
    ASSERT_TRUE(library.AddPicture(bmp).ok());
  }
  At(Settings(), kAlarmCount) = 1;
  const CompileResult result = Compile();
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(U32At(result.image, 0), 801u + 2);
  const std::vector<std::uint8_t> section(result.image.begin() + 803, result.image.end());
  EXPECT_EQ(section, ImageBytes().u8(1).u16(2).u16(1).u16(0xF800).u16(0x001F).bytes());
}

TEST(WriteImageFileTest, ReplacesTheFileWholeOrNotAtAll) {
  dravik::test::TempDir dir;
  const std::filesystem::path target = dir / "QX.bin";
  dravik::test::WriteAll(target, {1, 2, 3});
  const std::vector<std::uint8_t> image(802, 0x5A);
  ASSERT_TRUE(WriteImageFile(target, image).ok());
  EXPECT_EQ(dravik::test::ReadAll(target), image);

  const std::filesystem::path nowhere = dir / "missing" / "QX.bin";
  EXPECT_FALSE(WriteImageFile(nowhere, image).ok());
  EXPECT_FALSE(std::filesystem::exists(nowhere));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary file is left behind";
}

}  // namespace
}  // namespace dravik::compiler
