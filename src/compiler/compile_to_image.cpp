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

static_assert(model::kPageKeyRows == kKeyJumpBytes);

// Settings block, offsets 4..117, field by field.
void WriteSettingsBlock(const PageRecord& s, ImageWriter& w) {
  const auto put = [&w](const SettingsField& field, std::int64_t value) {
    switch (field.width) {
      case SettingsWidth::ByteAnd0:
        w.PatchU8(field.offset, static_cast<std::uint8_t>(value));
        w.PatchU8(field.offset + 1, 0);
        break;
      case SettingsWidth::Byte:
        w.PatchU8(field.offset, static_cast<std::uint8_t>(value));
        break;
      case SettingsWidth::Word:
        w.PatchU16le(field.offset, static_cast<std::uint16_t>(value));
        break;
    }
  };

  // Protocol 10 reaches the panel as 9.
  const int protocol = At(s, kLink1Protocol) == 10 ? 9 : int{At(s, kLink1Protocol)};

  put(image_field::kPanelModel, At(s, kPanelModel) & 0x3F);
  put(image_field::kStartLanguage, At(s, kStartLanguage));
  put(image_field::kLink1ControllerId, At(s, kLink1ControllerId));
  put(image_field::kLink1Baud, At(s, kLink1Baud));
  put(image_field::kLink1Timeout, At(s, kLink1Timeout));
  put(image_field::kLink1Parity, At(s, kLink1Parity));
  put(image_field::kLink1DataBits, At(s, kLink1DataBits) + 6);  // 6, 7 or 8 bits
  put(image_field::kLink1StopBits, At(s, kLink1StopBits) + 1);  // 1 or 2 bits
  put(image_field::kLink1Protocol, protocol);
  put(image_field::kInitialPage, At(s, kInitialPage));
  put(image_field::kScreenSaverMinutes, At(s, kScreenSaverMinutes));
  put(image_field::kReservedLongC5, At(s, kReservedLongC5));
  put(image_field::kLink1FailureAlarm, At(s, kLink1FailureAlarm));
  put(image_field::kFocusColour, Rgb565(At(s, kFocusColor)));
  put(image_field::kFollowPageRegister, At(s, kFollowPageRegister));
  put(image_field::kReportCurrentPage, At(s, kReportCurrentPage));
  put(image_field::kPageAfterPassword, At(s, kPageAfterPassword));
  put(image_field::kReserved38, 0);
  put(image_field::kSuperPassword, ParseIntTextOr(At(s, kSuperPassword).View(), 0));
  put(image_field::kPageSelectRegister, At(s, kPageSelectRegister));
  put(image_field::kPageReportRegister, At(s, kPageReportRegister));
  put(image_field::kKeyRegister, At(s, kKeyRegister));
  put(image_field::kLedRegister, At(s, kLedRegister));
  put(image_field::kFastWriteStart, At(s, kFastWriteStart));
  put(image_field::kFastWriteLength, At(s, kFastWriteLength));
  put(image_field::kFastReadStart, At(s, kFastReadStart));
  put(image_field::kFastReadLength, At(s, kFastReadLength));
  put(image_field::kLink1Port, At(s, kLink1Port));
  put(image_field::kFastReadKind, At(s, kFastReadKind));
  put(image_field::kLink2ControllerId, At(s, kLink2ControllerId));
  put(image_field::kLink2Baud, At(s, kLink2Baud));
  put(image_field::kLink2Timeout, At(s, kLink2Timeout));
  put(image_field::kLink2Parity, At(s, kLink2Parity));
  put(image_field::kLink2DataBits, At(s, kLink2DataBits) + 6);
  put(image_field::kLink2StopBits, At(s, kLink2StopBits) + 1);
  put(image_field::kRs485IdMode, At(s, kRs485IdMode));
  put(image_field::kRegistersPerId, At(s, kRegistersPerId));
  put(image_field::kAlarmKind, At(s, kAlarmKind));
  put(image_field::kAlarmStart, At(s, kAlarmStart));
  put(image_field::kAlarmCount, std::min<int>(At(s, kAlarmCount), kMaxAlarms));
  put(image_field::kAlarmFont, At(s, kAlarmFont));
  put(image_field::kCanBaud, At(s, kCanBaud));
  put(image_field::kCanFrameFormat, At(s, kCanFrameFormat));
  put(image_field::kCanFrameType, At(s, kCanFrameType));
  put(image_field::kCanOpenNodeId, At(s, kCanOpenNodeId));
  put(image_field::kCanOpenNodeStart, At(s, kCanOpenNodeStart));
  put(image_field::kCanFunction, At(s, kCanFunction));
  put(image_field::kCanOpenTpdoInhibit, At(s, kCanOpenTpdoInhibit));
  put(image_field::kCanShareOwnId, At(s, kCanShareOwnId));
  put(image_field::kCanAcceptance3, At(s, kCanAcceptance3));
  put(image_field::kCanAcceptance4, At(s, kCanAcceptance4));
  put(image_field::kCanAcceptance5, At(s, kCanAcceptance5));
  put(image_field::kCanSlaveOwnId, At(s, kCanSlaveOwnId));
  put(image_field::kCanAcceptance6, At(s, kCanAcceptance6));
  put(image_field::kAdInputMode, At(s, kAdInputMode));
  put(image_field::kDaOutputMode, At(s, kDaOutputMode));
  put(image_field::kExtensionBoard, At(s, kExtensionBoard));
  put(image_field::kAdDataRegister, At(s, kAdDataRegister));
  put(image_field::kDaDataRegister, At(s, kDaDataRegister));
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
  if (ProtocolHasRegisterOffset(settings.protocol) && !w.Overflowed()) {
    const std::int32_t offset =
        ParseIntTextOr(page.PageStrings[model::kPageRegisterOffsetText].View(), 0);
    w.PatchU16le(keys + kRegisterOffsetKeyByte, static_cast<std::uint16_t>(offset));
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
