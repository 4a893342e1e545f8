#include "model/project_session.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <system_error>

#include "model/settings_page.h"
#include "platform/files.h"
#include "platform/zstd_codec.h"

namespace dravik::model {

namespace fs = std::filesystem;

const Bilingual kMemoryMessage =
    Both("内存分配失败，可能被杀毒软件错误拦截！\r\r请暂时关闭杀毒软件测试看看。");
const Bilingual kWrongVersionMessage = Both("File is the wrong version ！");

// The English texts are the panel's own; the Chinese ones follow the interface language.
const Bilingual kStatusDecompressing{" 正在解压文件，请稍候......", " To Decompress the file, please wait......"};
const Bilingual kStatusDecompressed{" 文件解压成功", " File decompression success"};
const Bilingual kStatusOpened{" 打开文件成功", " Open the file Success"};
const Bilingual kStatusCompressing{" 正在压缩文件，请稍候......", " Start the compressed file, please wait......"};
const Bilingual kStatusCompressed{" 文件压缩成功", " The compressed file success"};

namespace {

constexpr char kBackupExtension[] = ".BAK";
constexpr char kProjectExtension[] = ".QX3";

Bilingual WithDetail(const Bilingual& message, const Error& detail) {
  return {message.chinese + "\r\r" + detail.In(true), message.english + "\r\r" + detail.message};
}

// "Open:<path> Failed ！" with the cause, the same frame in both languages.
Bilingual OpenFailed(const std::string& path, const Bilingual& cause) {
  const std::string head = "Open:" + path + " Failed ！" + "\r" + "\r" + "Cause:";
  return {head + cause.chinese, head + cause.english};
}

Bilingual CauseOf(const platform::ZstdReader& reader) {
  if (reader.fault() == platform::ZstdFault::OutOfMemory) return kMemoryMessage;
  const Bilingual& detail = reader.detailText();
  return {"文件已损坏，或不是工程文件（" + detail.chinese + "）",
          "the file is damaged or is not a project file (" + detail.english + ")"};
}

// 240 pages and the settings are 47.5 MB before compression, and zstd adds only a few
// bytes per block to data it cannot shrink: a larger file is no project, and reading it
// whole (or a pipe or a device without end) could take all the memory there is.
constexpr std::size_t kMaxProjectFileBytes = std::size_t{64} << 20;

const Bilingual kShorterThanOneRecord{"文件不足一个画面记录", "the file is shorter than one page record"};

// Page 1 alone, the settings page left as it is.
void InitializeNewPages(ProjectImage& image) {
  image.ClearPages(1, kMaxPage);
  PageRecord& page = image.Page(1);
  page.PageStrings[kPageName] = "Window1";
  page.PageStrings[kPageNumberText] = "1";
  page.PageStrings[kPageInUse] = kPageInUseMarker;
  page.PageStrings[kPageBackColorText] =
      std::to_string(static_cast<std::int32_t>(At(image.Settings(), settings::kDefaultPageColor)));
}

std::string FileNamePart(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The record file

void InitializeNewProject(ProjectImage& image) {
  ApplySettingsDefaults(image.Settings());
  InitializeNewPages(image);
}

int RecordCountToSave(const ProjectImage& image) {
  const int highest = image.HighestUsedPage();
  const int lastPage = highest == 0 ? 1 : std::min(highest + 1, kMaxPage);
  return lastPage + 1;
}

Status CompressProjectTo(ProjectImage& image, const platform::ByteSink& sink) {
  SetFileMarkers(image.Settings());
  return platform::ZstdCompressTo(image.RecordBytes(0, RecordCountToSave(image)), sink);
}

Status WriteProjectFile(ProjectImage& image, const fs::path& file) {
  return platform::WriteFileAtomicStreamed(
      file, [&](const platform::ByteSink& sink) { return CompressProjectTo(image, sink); });
}

std::optional<ReadFailure> ReadProjectFile(ProjectImage& image, const fs::path& file) {
  image.ClearPagesForLoad();
  Result<platform::Bytes> compressed = platform::ReadFileBytes(
      file, kMaxProjectFileBytes, [&](std::uintmax_t size) {
        const std::string n = std::to_string(size);
        return Error{OpenFailed(file.string(), {"文件过大（" + n + " 字节），不是工程文件",
                                                "the file is too large to be a project file (" +
                                                    n + " bytes)"})};
      });
  if (!compressed) return ReadFailure{compressed.error().Text()};
  return ReadProjectBytes(image, *compressed, file.string());
}

std::optional<ReadFailure> ReadProjectBytes(ProjectImage& image,
                                            std::span<const std::uint8_t> compressed,
                                            const std::string& path) {
  image.ClearPagesForLoad();
  platform::ZstdReader reader(compressed);
  auto settings = std::make_unique<PageRecord>();
  auto settingsBytes = std::span(reinterpret_cast<std::uint8_t*>(settings.get()), kPageRecordSize);
  const std::size_t first = reader.Read(settingsBytes);
  if (reader.fault() != platform::ZstdFault::None) {
    return ReadFailure{OpenFailed(path, CauseOf(reader))};
  }
  if (first < kPageRecordSize) return ReadFailure{OpenFailed(path, kShorterThanOneRecord)};
  if (!HasFileMarkers(*settings)) return ReadFailure{kWrongVersionMessage};

  const std::size_t pageBytes = reader.Read(image.RecordBytes(1, kMaxPage));
  const int pages = static_cast<int>(pageBytes / kPageRecordSize);
  const bool fullImage = pages == kMaxPage;
  // A file of more than 240 pages is read up to page 240; the rest is never decoded.
  if (!fullImage && !reader.Finished()) {
    image.ClearPagesForLoad();
    return ReadFailure{OpenFailed(path, CauseOf(reader))};
  }
  // Bytes after the last whole record are no page: leave that record as cleared.
  if (pages < kMaxPage) image.ClearPages(pages + 1, pages + 1);
  image.Settings() = *settings;
  return std::nullopt;
}

// ---------------------------------------------------------------------------------------
// Names

std::string DropLastCharacters(const std::string& text, std::size_t n) {
  std::size_t end = text.size();
  while (n > 0 && end > 0) {
    --end;
    // Step over UTF-8 continuation bytes to the start of the character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    --n;
  }
  return text.substr(0, end);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  const std::string name = FileNamePart(path);
  const auto dot = name.find_last_of('.');
  const std::string base = dot == std::string::npos
                               ? path
                               : path.substr(0, path.size() - (name.size() - dot));
  return base + extension;
}

SaveLocation SaveLocationForChosenName(const std::string& chosen) {
  std::string file = chosen;
  // Only the file name decides: a folder whose name happens to hold ".QX3" must not
  // stop the extension from being added.
  if (FileNamePart(file).find(kProjectExtension) == std::string::npos) file += kProjectExtension;
  SaveLocation location;
  location.folder = DropLastCharacters(file, 4);
  location.projectFile = location.folder + "/" + FileNamePart(file);
  return location;
}

StartCommand ParseStartCommand(const std::string& text) {
  const std::string openPrefix = kOpenCommandPrefix;
  const std::string newPrefix = "Dravik  .New.FileName:=";
  if (text.rfind(openPrefix, 0) == 0) return {StartCommand::OpenFile, text.substr(openPrefix.size())};
  if (text.rfind(newPrefix, 0) == 0) return {StartCommand::NewProject, {}};
  return {};
}

// ---------------------------------------------------------------------------------------
// The session

ProjectSession::ProjectSession(ProjectImage& image, ProjectSessionHooks hooks)
    : image_(image), hooks_(std::move(hooks)) {}

void ProjectSession::ShowStatus(const Bilingual& text) const {
  if (hooks_.showStatus) hooks_.showStatus(text);
}

void ProjectSession::Busy(bool busy) const {
  if (hooks_.setBusy) hooks_.setBusy(busy);
}

CommandResult ProjectSession::New() {
  if (ProjectOpen) {
    if (hooks_.handOverToNewInstance) hooks_.handOverToNewInstance(kNewCommand);
    return {CommandOutcome::HandedOver};
  }
  ApplySettingsDefaults(image_.Settings());
  if (hooks_.confirmWorkParameters && !hooks_.confirmWorkParameters()) {
    return {CommandOutcome::Cancelled};
  }
  // The defaults were written before the dialog: what it confirmed stays.
  InitializeNewPages(image_);
  ProjectFileName = kUnsavedProjectName;
  ProjectOpen = true;
  SaveAsPending = false;
  Modified = true;  // the page list refresh enables Save
  return {CommandOutcome::Done, std::nullopt, 1};
}

CommandResult ProjectSession::Open(const std::string& path) {
  if (ProjectOpen) {
    OpenPending.clear();
    if (hooks_.handOverToNewInstance) hooks_.handOverToNewInstance(kOpenCommandPrefix + path);
    return {CommandOutcome::HandedOver};
  }
  OpenPending.clear();
  ShowStatus(kStatusDecompressing);
  Busy(true);
  std::optional<ReadFailure> failure = ReadProjectFile(image_, path);
  ProjectFileName = path;
  Busy(false);
  if (failure) return {CommandOutcome::Failed, failure->message};

  ShowStatus(kStatusDecompressed);
  if (hooks_.attachPictureLibrary) hooks_.attachPictureLibrary();
  ShowStatus(kStatusOpened);
  ProjectOpen = true;
  SaveAsPending = false;
  RepairSettingsOnOpen(image_.Settings());
  // What was just read is what the file holds: only edits from here on ask for a save.
  Modified = false;
  return {CommandOutcome::Done, std::nullopt, image_.FirstUsedPage()};
}

CommandResult ProjectSession::SaveAs() {
  PreviousFileName = ProjectFileName;
  SaveAsPending = true;
  ProjectFileName = kUnsavedProjectName;
  Modified = true;
  return Save();
}

CommandResult ProjectSession::Save() {
  if (ProjectFileName == kUnsavedProjectName) {
    CommandResult named = SaveUnderChosenName();
    if (!named.done()) return named;
  }
  return WriteProjectFile();
}

CommandResult ProjectSession::SaveUnderChosenName() {
  std::optional<std::string> chosen;
  if (hooks_.chooseSavePath) chosen = hooks_.chooseSavePath(ProjectFileName);
  if (!chosen || chosen->empty()) {
    if (SaveAsPending) {
      SaveAsPending = false;
      ProjectFileName = PreviousFileName;
    }
    return {CommandOutcome::Cancelled};
  }
  const SaveLocation location = SaveLocationForChosenName(*chosen);
  std::error_code error;
  fs::create_directories(location.folder, error);
  if (error) {
    if (SaveAsPending) {
      SaveAsPending = false;
      ProjectFileName = PreviousFileName;
    }
    const std::string rest = " " + location.folder + ": " + error.message();
    return {CommandOutcome::Failed,
            Bilingual{"无法建立文件夹" + rest, "cannot create the folder" + rest}};
  }
  ProjectFileName = location.projectFile;
  if (SaveAsPending && PreviousFileName != kUnsavedProjectName) {
    // Companion files follow the project, but never replace what the new place has.
    for (const char* extension : {".PIC", ".M"}) {
      Result<bool> copied = platform::CopyFileNoOverwrite(
          WithExtension(PreviousFileName, extension), WithExtension(ProjectFileName, extension));
      if (!copied) return {CommandOutcome::Failed, copied.error().Text()};
    }
  }
  if (hooks_.attachPictureLibrary) hooks_.attachPictureLibrary();
  SaveAsPending = false;
  return {};
}

CommandResult ProjectSession::WriteProjectFile() {
  const std::string backupFile = DropLastCharacters(ProjectFileName, 4) + kBackupExtension;
  // An opened ".BAK" is its own backup: copying it onto itself would gain nothing.
  if (backup.AutoTempBakFun && backupFile != ProjectFileName) {
    std::error_code error;
    const Status backedUp = fs::exists(ProjectFileName, error)
                                ? platform::CopyFileReplacing(ProjectFileName, backupFile)
                                : platform::RemoveFileIfPresent(backupFile);
    if (!backedUp) return {CommandOutcome::Failed, backedUp.error().Text()};
  }
  Busy(true);
  Modified = false;
  ShowStatus(kStatusCompressing);
  const Status written = model::WriteProjectFile(image_, ProjectFileName);
  Busy(false);
  if (!written) return {CommandOutcome::Failed, WithDetail(kMemoryMessage, written.error())};
  ShowStatus(kStatusCompressed);
  return {};
}

}  // namespace dravik::model
