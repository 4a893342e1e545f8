#include "compiler/compile_to_image.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "compiler/element_encoders.h"
#include "compiler/image_writer.h"
#include "compiler/int_text.h"
#include "compiler/page_block_writer.h"
#include "compiler/rgb565.h"
#include "elements/element_fields.h"
#include "elements/element_kind.h"
#include "macro/change_mac_cmd.h"
#include "macro/macro_database.h"
#include "model/settings_page.h"
#include "pictures/picture_library.h"
#include "pictures/picture_section.h"
#include "platform/files.h"

namespace dravik::compiler {

const Bilingual kImageTooLargeMessage = Both("目标文件超过 150 KB ！\r已放弃生成目标文件 ！");
const Bilingual kCompilerFailedMessage{"编译程序失败 ！", "Compiler failed!"};
const Bilingual kCompileSucceededStatus{"编译成功!", "Compiler Succeed!"};

namespace {

using model::PageRecord;
using namespace model::settings;

// Link 1 protocols whose pages carry a register address offset in their last two key bytes.
bool HasRegisterOffset(int protocol) {
  return protocol == 1 || protocol == 2;
}

// Settings block, offsets 4..117: single values are mostly written as a byte followed by a
// 0 byte, so that the panel reads the block as 16-bit words.
void WriteSettingsBlock(const PageRecord& s, ImageWriter& w) {
  const auto byteAnd0 = [&w](std::size_t offset, std::int64_t value) {
    w.PatchU8(offset, static_cast<std::uint8_t>(value));
    w.PatchU8(offset + 1, 0);
  };
  const auto byte = [&w](std::size_t offset, std::int64_t value) {
    w.PatchU8(offset, static_cast<std::uint8_t>(value));
  };
  const auto word = [&w](std::size_t offset, std::int64_t value) {
    w.PatchU16le(offset, static_cast<std::uint16_t>(value));
  };

  // Protocol 10 reaches the panel as 9.
  const int protocol = At(s, kLink1Protocol) == 10 ? 9 : int{At(s, kLink1Protocol)};

  byteAnd0(4, At(s, kPanelModel) & 0x3F);
  byteAnd0(6, At(s, kStartLanguage));
  byteAnd0(8, At(s, kLink1ControllerId));
  byteAnd0(10, At(s, kLink1Baud));
  byteAnd0(12, At(s, kLink1Timeout));
  byteAnd0(14, At(s, kLink1Parity));
  byteAnd0(16, At(s, kLink1DataBits) + 6);  // 6, 7 or 8 bits
  byteAnd0(18, At(s, kLink1StopBits) + 1);  // 1 or 2 bits
  byteAnd0(20, protocol);
  byteAnd0(22, At(s, kInitialPage));
  byteAnd0(24, At(s, kScreenSaverMinutes));
  byteAnd0(26, At(s, kReservedLongC5));
  byteAnd0(28, At(s, kLink1FailureAlarm));
  word(30, Rgb565(At(s, kFocusColor)));
  byteAnd0(32, At(s, kFollowPageRegister));
  byteAnd0(34, At(s, kReportCurrentPage));
  byteAnd0(36, At(s, kPageAfterPassword));
  byteAnd0(38, 0);
  word(40, ParseIntTextOr(At(s, kSuperPassword).View(), 0));
  word(42, At(s, kPageSelectRegister));
  word(44, At(s, kPageReportRegister));
  word(46, At(s, kKeyRegister));
  word(48, At(s, kLedRegister));
  word(50, At(s, kFastWriteStart));
  word(52, At(s, kFastWriteLength));
  word(54, At(s, kFastReadStart));
  word(56, At(s, kFastReadLength));
  byteAnd0(58, At(s, kLink1Port));
  byteAnd0(60, At(s, kFastReadKind));
  byteAnd0(62, At(s, kLink2ControllerId));
  byteAnd0(64, At(s, kLink2Baud));
  byteAnd0(66, At(s, kLink2Timeout));
  byteAnd0(68, At(s, kLink2Parity));
  byteAnd0(70, At(s, kLink2DataBits) + 6);
  byteAnd0(72, At(s, kLink2StopBits) + 1);
  byteAnd0(74, At(s, kRs485IdMode));
  byteAnd0(76, At(s, kRegistersPerId));
  byteAnd0(78, At(s, kAlarmKind));
  word(80, At(s, kAlarmStart));
  byteAnd0(82, std::min<int>(At(s, kAlarmCount), kMaxAlarms));
  byteAnd0(84, At(s, kAlarmFont));
  byteAnd0(86, At(s, kCanBaud));
  byteAnd0(88, At(s, kCanFrameFormat));
  byteAnd0(90, At(s, kCanFrameType));
  byteAnd0(92, At(s, kCanOpenNodeId));
  byte(94, At(s, kCanOpenNodeStart));
  byte(95, At(s, kCanFunction));
  word(96, At(s, kCanOpenTpdoInhibit));
  word(98, At(s, kCanShareOwnId));
  word(100, At(s, kCanAcceptance3));
  word(102, At(s, kCanAcceptance4));
  word(104, At(s, kCanAcceptance5));
  word(106, At(s, kCanSlaveOwnId));
  word(108, At(s, kCanAcceptance6));
  byteAnd0(110, At(s, kAdInputMode));
  byte(112, At(s, kDaOutputMode));
  byte(113, At(s, kExtensionBoard));
  word(114, At(s, kAdDataRegister));
  word(116, At(s, kDaDataRegister));
  w.PatchU16le(kImageMarkerField, kImageMarker);
}

Bilingual PageFailure(int page, std::string_view chinese, std::string_view english) {
  return {"画面 " + std::to_string(page) + ": " + std::string(chinese),
          "Page " + std::to_string(page) + ": " + std::string(english)};
}

// Writes one page block; a text that must be a number and is not stops the compile.
std::optional<Bilingual> WritePageBlock(PageRecord& page, int number,
                                        const EncodeSettings& settings, ImageWriter& w,
                                        bool& projectChanged) {
  const std::optional<std::int32_t> pageNumber =
      ParseIntText(page.PageStrings[model::kPageNumberText].View());
  if (!pageNumber)
    return PageFailure(number, "画面号不是数字 ！", "the page number is not a number!");

  w.PutBytes(kPageBlockMarker);
  w.PutU8(static_cast<std::uint8_t>(*pageNumber));
  const std::size_t countTable = w.Position();
  for (int i = 0; i < kKindCountTableSize; ++i) w.PutU8(0);

  const std::int32_t background =
      ParseIntTextOr(page.PageStrings[model::kPageBackColorText].View(), 0xFFFFFF);
  w.PutU16le(Rgb565(background));

  const std::size_t keys = w.Position();
  for (int row = 0; row < model::kPageKeyRows; ++row) {
    const std::string_view text = model::PageKeyJump(page, row).View();
    std::int32_t target = 0;
    if (!text.empty()) {
      const std::optional<std::int32_t> parsed = ParseIntText(text);
      if (!parsed) {
        return PageFailure(number, "按键跳转画面号不是数字 ！",
                           "a key jump target is not a number!");
      }
      target = *parsed;
    }
    w.PutU8(static_cast<std::uint8_t>(target));
  }
  if (HasRegisterOffset(settings.protocol) && !w.Overflowed()) {
    const std::int32_t offset =
        ParseIntTextOr(page.PageStrings[model::kPageRegisterOffsetText].View(), 0);
    w.PatchU16le(keys + 20, static_cast<std::uint16_t>(offset));
  }

  PageBlockWriter records(w, countTable);
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    const elements::LampElement lamp(std::as_const(page), slot);
    if (lamp.kind() == elements::kKindLamp && (lamp.offText().Empty() || lamp.onText().Empty())) {
      projectChanged = true;
    }
    EncodeElement(page, slot, settings, records);
    if (w.Overflowed()) return std::nullopt;  // judged as too large by the caller
  }
  // The panel reads each count from one byte; a page with more records of one kind (dates
  // and times add three register records each) cannot be described to it.
  if (records.CountOverflowed()) {
    return PageFailure(number, "同类元件记录超过 255 个 ！", "more than 255 records of one kind!");
  }
  return std::nullopt;
}

void WriteAlarmTable(const PageRecord& s, ImageWriter& w) {
  // The dialog allows 80 alarms, the number of text entries reserved for them.
  const int count = std::min<int>(At(s, kAlarmCount), kMaxAlarms);
  for (int i = 0; i < count; ++i) {
    const std::string_view text = s.ElemTextA[kAlarmTextFirst + i].View();
    w.PutText(text.empty() ? std::string_view(".") : text);
  }
}

CompileResult TooLarge(CompileResult result) {
  result.ok = false;
  result.image.clear();
  result.messages.push_back({kCaptionBuild, MessageIcon::Warning, kImageTooLargeMessage});
  return result;
}

}  // namespace

CompanionFiles CompanionFiles::Beside(const std::filesystem::path& projectFile) {
  return {macro::MacroDatabasePath(projectFile), pictures::PictureLibraryPath(projectFile)};
}

CompileResult CompileToImage(model::ProjectImage& project, const CompanionFiles& files) {
  CompileResult result;
  ImageWriter w(kImageBufferSize);
  const PageRecord& settings = project.Settings();

  WriteSettingsBlock(settings, w);
  w.Seek(kPageCountField);
  w.PutU8(0);

  const EncodeSettings encode{At(settings, kLink1Protocol)};
  const int lastPage = project.HighestUsedPage();
  for (int number = 1; number <= lastPage; ++number) {
    if (!project.IsPageUsed(number)) continue;
    w.PatchU8(kPageCountField, static_cast<std::uint8_t>(w.ByteAt(kPageCountField) + 1));
    if (std::optional<Bilingual> failure =
            WritePageBlock(project.Page(number), number, encode, w, result.projectChanged)) {
      result.failure = std::move(*failure);
      return result;
    }
    if (w.Overflowed()) return TooLarge(std::move(result));
  }

  w.PatchU32le(kAlarmTableOffsetField, static_cast<std::uint32_t>(w.Position()));
  WriteAlarmTable(settings, w);
  w.PatchU32le(kPictureSectionOffsetField, static_cast<std::uint32_t>(w.Position()));

  if (std::optional<Bilingual> warning =
          macro::ChangeMacCmd(files.macroDatabase, w.Region(0, kHeaderSize))) {
    result.messages.push_back({kCaptionDravik, MessageIcon::Warning, std::move(*warning)});
  }

  const std::vector<std::uint8_t> pictureSection =
      pictures::BuildPictureSection(files.pictureLibrary);
  w.PutBytes(pictureSection);

  if (w.Overflowed() || w.Position() > kMaxImageSize) return TooLarge(std::move(result));
  result.image = std::move(w).TakeWritten();
  result.ok = true;
  return result;
}

Status WriteImageFile(const std::filesystem::path& path, std::span<const std::uint8_t> image) {
  return platform::WriteFileAtomic(path, image);
}

}  // namespace dravik::compiler
