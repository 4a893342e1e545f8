#include "pictures/picture_library.h"

#include <algorithm>
#include <set>

#include "platform/files.h"
#include "platform/gbk.h"

namespace dravik::pictures {

namespace fs = std::filesystem;
using platform::DesktopDb;
using platform::OpenMode;

const Bilingual kPictureMissingMessage{"该图片已经不存在 ！",
                                       "The picture does not already exist!"};
const Bilingual kReservedReplaceMessage{"0 是系统保留库 ！",
                                        "0 Is reserved for the system library!"};
const Bilingual kReservedDeleteMessage{"0 是系统保留库 ！",
                                       "0 is reserved for the system library!"};
const Bilingual kDeleteQuestion{"你确定删除 ？", "Are you sure Delete?"};
const Bilingual kCompactFailedNotice{"数据压缩修复失败 ！", "Data compression Failure!"};
const Bilingual kCompactButtonCaption{"压缩图库", "Compression Library"};
const Bilingual kCompactBusyCaption{"请等待...", "Please wait ..."};
const Bilingual kKeepEditedQuestion{"观看转换后之图,(是)接受/(否)舍弃 ？",
                                    "Watch after conversion chart, (Y)accept/(N)to abandon?"};
const Bilingual kNewNameCaption{"请输入新的图名 ", "Please enter a new name"};
const Bilingual kNewNamePrompt{"新图片名称 ", "New picture name "};
const Bilingual kPlaceholderText{"图形库中已经不存在该图片 ！",
                                 "Not exist in the graphic library!"};
const Bilingual kNameColumnCaption{"图片名称", "Picture name"};
const Bilingual kExportNames{"图片只能导出为 .bmp 或 .jpg 文件 ！",
                             "A picture can only be exported as a .bmp or .jpg file!"};

namespace {

// Messages of this implementation for failures the window never had to name.
const Bilingual kOpenFailed{"图形库打开失败 ！", "The picture library cannot be opened!"};
const Bilingual kDatabaseFailed{"图形库读写失败 ！",
                                "The picture library cannot be read or written!"};
const Bilingual kNotAttached{"没有打开的图形库 ！", "No picture library is open!"};
const Bilingual kUnsupportedFile{"只能添加 BMP 或 JPG 图片 ！",
                                 "Only BMP and JPG pictures can be added!"};
const Bilingual kFileUnreadable{"无法读取图片文件 ！", "The picture file cannot be read!"};
const Bilingual kFileEmpty{"图片文件是空的 ！", "The picture file is empty!"};
const Bilingual kFileTooLarge{"图片文件太大 ！", "The picture file is too large!"};
const Bilingual kExportFailed{"图片导出失败 ！", "The picture cannot be exported!"};
const Bilingual kUnknownExtension{"图片类型未知 ！", "Unknown picture type!"};

constexpr char kCreateTable[] =
    "create table PData ("
    "ID integer primary key, "  // unique; also makes the stored order the ID order
    "PID integer not null default 1, "
    "FName text not null default '', "
    "Ext text not null default '', "
    "Pic blob, "
    "Folder integer not null default 0, "
    "BMark integer not null default 0, "
    "Pass text not null default '', "
    "Note text not null default '')";

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The extension of a picture name, with the dot ("" when there is none).
std::string ExtensionOf(std::string_view name) {
  std::size_t slash = name.find_last_of("/\\");
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return std::string(name.substr(dot));
}

// `name` with its extension replaced by (or, without one, extended by) `ext`.
std::string ChangeExtension(std::string_view name, std::string_view ext) {
  std::string current = ExtensionOf(name);
  std::string out(name.substr(0, name.size() - current.size()));
  out += ext;
  return out;
}

bool IsStorableExtension(std::string_view lowerExt) {
  return lowerExt == ".bmp" || lowerExt == ".jpg";
}

// The picture as a file of the format `lowerExt` (".bmp" or ".jpg").
Result<std::vector<std::uint8_t>> EncodeAs(const RgbImage& image, std::string_view lowerExt) {
  if (lowerExt == ".jpg") return platform::EncodeJpeg(image);
  return platform::EncodeBmp(image);
}

// The record at the recordset's current row.
PictureRecord CurrentRecord(const platform::Recordset& rows) {
  PictureRecord record;
  record.id = static_cast<int>(rows.Int("ID"));
  record.pid = static_cast<int>(rows.Int("PID"));
  record.fileName = platform::GbkToUtf8(rows.Text("FName"));
  record.ext = rows.Text("Ext");
  record.pic = rows.Bytes("Pic");
  record.folder = static_cast<int>(rows.Int("Folder"));
  record.bmark = rows.Int("BMark") != 0;
  record.pass = platform::GbkToUtf8(rows.Text("Pass"));
  record.note = platform::GbkToUtf8(rows.Text("Note"));
  return record;
}

}  // namespace

std::string PictureFormatForName(const fs::path& file) {
  const std::string extension = Lower(file.extension().string());
  if (extension == ".bmp") return ".bmp";
  if (extension == ".jpg" || extension == ".jpeg") return ".jpg";
  return {};
}

fs::path PictureLibraryPath(const fs::path& projectFile) {
  fs::path library = projectFile;
  library.replace_extension(kPictureExtension);
  return library;
}

Result<platform::Bytes> NewPictureLibrary(const fs::path& folder) {
  return platform::NewDatabaseBytes(folder, kPicturePassword, kCreateTable);
}

Result<bool> CreatePictureDatabase(const fs::path& path, const fs::path& permissionsOf) {
  return platform::CreateDatabaseNoOverwrite(path, kPicturePassword, kCreateTable, permissionsOf);
}

platform::DecodeResult DecodeStoredPicture(std::string_view ext, std::span<const std::uint8_t> pic,
                                           bool retryWithoutLastTwoBytes) {
  std::string lower = Lower(ext);
  if (lower == ".bmp") {
    platform::DecodeResult decoded = platform::DecodeBmp(pic);
    if (!decoded.ok && retryWithoutLastTwoBytes && pic.size() > 2) {
      platform::DecodeResult retry = platform::DecodeBmp(pic.first(pic.size() - 2));
      if (retry.ok) return retry;
    }
    return decoded;
  }
  if (lower == ".jpg") return platform::DecodeJpeg(pic);
  platform::DecodeResult unknown;
  unknown.error = {kUnknownExtension,
                   "the stored extension \"" + std::string(ext) + "\" is neither .bmp nor .jpg"};
  return unknown;
}

std::string PreviewSizeText(int width, int height, std::size_t blobBytes) {
  return std::to_string(width) + "(W)*" + std::to_string(height) + "(H)   " +
         std::to_string(blobBytes / 1024) + "." + std::to_string(blobBytes % 1024) + " KB";
}

ConversionPlan PlanConversion(std::string_view name, std::string_view storedExt) {
  ConversionPlan plan;
  // The stored format decides the direction: a name without its extension, or with a
  // stray one, must not turn a JPEG into a JPEG.
  if (Lower(storedExt) != ".jpg") {
    plan.newName = ChangeExtension(name, ".jpg");
    std::string n(name);
    plan.question = {"您确定将: " + n + "\r\r转 换 为: " + plan.newName + " ？",
                     "Are you sure: " + n + "\r\rConversion to: " + plan.newName + " ？"};
    plan.warning = Bilingual{
        "由BMP转换为JPG可能会造成颜色信息丢失。\r您要继续吗 ？",
        "Transition from BMP to JPG may cause some loss of color information.\rYou have to "
        "continue?"};
  } else {
    plan.newName = ChangeExtension(name, ".bmp");
    std::string n(name);
    plan.question = {"您确定将: " + n + "\r\r转 换 为: " + plan.newName + " ?",
                     "Are you sure: " + n + "\r\rConversion to: " + plan.newName + " ?"};
  }
  return plan;
}

// ---------------------------------------------------------------------------------------

Error PictureLibrary::Fail(const Bilingual& message, std::string_view detail) const {
  std::string text = Text(message);
  if (!detail.empty()) text += " (" + std::string(detail) + ")";
  return Error{std::move(text)};
}

Error PictureLibrary::Fail(const Bilingual& message, const Error& detail) const {
  return Fail(message, detail.In(isChinese_));
}

Status PictureLibrary::ADOConnected(const fs::path& projectFile) {
  Close();
  path_ = PictureLibraryPath(projectFile);
  if (!platform::Exists(path_)) {
    fs::path folder = projectFile.parent_path();
    fs::path old = (folder.empty() ? fs::path(".") : folder) / kOldSharedLibraryName;
    if (platform::Exists(old)) {
      auto copied = platform::CopyFileNoOverwrite(old, path_);
      if (!copied) return Fail(kOpenFailed, copied.error());
      // Moved, not shared: the old file must not be attached to a second project.
      if (*copied) (void)platform::RemoveFileIfPresent(old);
    } else {
      // Made here and now, never copied from a shared place. Another instance making it
      // at the same moment is no failure: theirs is kept.
      auto made = CreatePictureDatabase(path_, projectFile);
      if (!made) return Fail(kOpenFailed, made.error());
    }
  }
  return Reopen();
}

Status PictureLibrary::Reopen() {
  db_.reset();
  entries_.clear();
  auto db = DesktopDb::Open(path_, kPicturePassword, OpenMode::ReadWrite);
  if (!db) return Fail(kOpenFailed, db.message());
  db_.emplace(std::move(db).value());
  // A file without the picture table (or with other columns) is no picture library.
  Status filled = LoadEntries();
  if (!filled) {
    db_.reset();
    return Fail(kOpenFailed, filled.message());
  }
  return Status::Ok();
}

void PictureLibrary::Close() {
  if (db_) db_->Close();
  db_.reset();
  entries_.clear();
}

bool PictureLibrary::Contains(int id) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [id](const PictureEntry& entry) { return entry.id == id; });
}

Status PictureLibrary::LoadEntries() {
  entries_.clear();
  if (!IsOpen()) return Fail(kNotAttached);
  auto rows = db_->Query("select ID, FName from PData where PID=" + std::to_string(kProjectGroup));
  if (!rows) return Error{rows.message()};
  for (; !rows->Eof(); rows->Next()) {
    entries_.push_back(
        {static_cast<int>(rows->Int("ID")), platform::GbkToUtf8(rows->Text("FName"))});
  }
  return Status::Ok();
}

Status PictureLibrary::Refill() {
  Status loaded = LoadEntries();
  if (!loaded && IsOpen()) return Fail(kDatabaseFailed, loaded.message());
  return loaded;
}

Result<int> PictureLibrary::NextFreeId() {
  if (!IsOpen()) return Fail(kNotAttached);
  // All groups count: IDs are unique across the table, listed or not.
  auto rows = db_->Query("select ID from PData");
  if (!rows) return Fail(kDatabaseFailed, rows.message());
  std::set<std::int64_t> used;
  for (; !rows->Eof(); rows->Next()) used.insert(rows->Int("ID"));
  int id = 0;
  while (used.count(id) != 0) ++id;
  return id;
}

Result<PictureRecord> PictureLibrary::Read(int id) {
  if (!IsOpen()) return Fail(kNotAttached);
  auto rows = db_->Query("select * from PData where ID=" + std::to_string(id));
  if (!rows) return Fail(kDatabaseFailed, rows.message());
  if (rows->Eof()) return Fail(kPictureMissingMessage);
  return CurrentRecord(*rows);
}

Result<std::vector<PictureRecord>> PictureLibrary::ReadAll() {
  if (!IsOpen()) return Fail(kNotAttached);
  auto rows = db_->Query("select * from PData order by ID");
  if (!rows) return Fail(kDatabaseFailed, rows.message());
  std::vector<PictureRecord> records;
  for (; !rows->Eof(); rows->Next()) records.push_back(CurrentRecord(*rows));
  return records;
}

Result<platform::Bytes> PictureLibraryBytes(const fs::path& folder,
                                            std::span<const PictureRecord> records) {
  return platform::BuildDatabaseBytes(folder, kPicturePassword, [records](DesktopDb& db) {
    if (Status made = db.Execute(kCreateTable); !made) return made;
    auto rows = db.Query("select * from PData");
    if (!rows) return Status(rows.error());
    for (const PictureRecord& record : records) {
      if (Status appended = rows->Append(); !appended) return appended;
      rows->SetInt("ID", record.id);
      rows->SetInt("PID", record.pid);
      rows->SetText("FName", platform::Utf8ToGbk(record.fileName));
      rows->SetText("Ext", record.ext);
      rows->SetBytes("Pic", record.pic);
      rows->SetInt("Folder", record.folder);
      rows->SetInt("BMark", record.bmark ? 1 : 0);
      rows->SetText("Pass", platform::Utf8ToGbk(record.pass));
      rows->SetText("Note", platform::Utf8ToGbk(record.note));
      if (Status posted = rows->Post(); !posted) return posted;
    }
    return Status::Ok();
  });
}

Result<Preview> PictureLibrary::showPic(int id) {
  auto record = Read(id);
  if (!record) return record.error();
  Preview preview;
  preview.note = record->note;
  if (record->folder != 0) return preview;
  std::string ext = Lower(record->ext);
  if (!IsStorableExtension(ext)) return preview;
  platform::DecodeResult decoded = DecodeStoredPicture(ext, record->pic, true);
  if (!decoded.ok) {
    preview.error = decoded.error.message;
    return preview;
  }
  preview.hasPicture = true;
  preview.sizeText = PreviewSizeText(decoded.image.width, decoded.image.height, record->pic.size());
  preview.image = std::move(decoded.image);
  return preview;
}

GainedImage PictureLibrary::GainImage(int id) {
  GainedImage gained;
  if (!Contains(id)) return gained;  // the placeholder
  auto record = Read(id);
  if (!record) return gained;
  gained.kind = GainedImage::Kind::Empty;
  if (record->folder != 0) return gained;
  platform::DecodeResult decoded = DecodeStoredPicture(record->ext, record->pic, true);
  if (!decoded.ok) return gained;
  gained.kind = GainedImage::Kind::Picture;
  gained.picture = std::move(decoded.image);
  return gained;
}

Result<std::vector<std::uint8_t>> PictureLibrary::ReadPictureFile(const fs::path& file) const {
  bool tooLarge = false;
  auto bytes = platform::ReadFileBytes(
      file, static_cast<std::size_t>(platform::kMaxPictureFileBytes), [&](std::uintmax_t size) {
        tooLarge = true;
        return Fail(kFileTooLarge, file.string() + ": " + std::to_string(size) + " bytes");
      });
  if (!bytes) return tooLarge ? bytes.error() : Fail(kFileUnreadable, bytes.error());
  if (bytes->empty()) return Fail(kFileEmpty, file.string());
  return std::move(bytes).value();
}

Status PictureLibrary::CheckDecodes(std::string_view ext,
                                    std::span<const std::uint8_t> bytes) const {
  std::string lower = Lower(ext);
  if (!IsStorableExtension(lower)) return Fail(kUnsupportedFile, std::string(ext));
  platform::DecodeResult decoded = DecodeStoredPicture(lower, bytes, false);
  if (!decoded.ok) return Fail(decoded.error.message, decoded.error.reason.In(isChinese_));
  return Status::Ok();
}

Status PictureLibrary::Store(int id, std::string_view fileName, std::span<const std::uint8_t> bytes,
                             bool append) {
  const std::string name = platform::Utf8ToGbk(fileName);
  const std::string ext = Lower(ExtensionOf(fileName));
  auto rows = db_->Query("select * from PData where ID=" + std::to_string(id));
  if (!rows) return Fail(kDatabaseFailed, rows.message());
  Status started;
  if (append) {
    started = rows->Append();
    if (started) {
      rows->SetInt("ID", id);
      rows->SetInt("PID", kProjectGroup);
      rows->SetInt("Folder", 0);
      rows->SetInt("BMark", 0);
      rows->SetText("Pass", "");
    }
  } else {
    if (rows->Eof()) return Fail(kPictureMissingMessage);
    started = rows->Edit();
  }
  if (!started) return Fail(kDatabaseFailed, started.message());
  rows->SetText("FName", name);
  rows->SetText("Ext", ext);
  rows->SetBytes("Pic", bytes);
  rows->SetText("Note", name);
  Status posted = rows->Post();
  if (!posted) return Fail(kDatabaseFailed, posted.message());
  return Refill();
}

Result<int> PictureLibrary::AddPicture(const fs::path& file) {
  if (!IsOpen()) return Fail(kNotAttached);
  const std::string fileName = file.filename().string();
  const std::string ext = Lower(ExtensionOf(fileName));
  if (!IsStorableExtension(ext)) return Fail(kUnsupportedFile, fileName);
  auto bytes = ReadPictureFile(file);
  if (!bytes) return bytes.error();
  Status decodes = CheckDecodes(ext, *bytes);
  if (!decodes) return decodes.error();
  auto id = NextFreeId();
  if (!id) return id.error();
  Status stored = Store(*id, fileName, *bytes, true);
  if (!stored) return stored.error();
  return *id;
}

Status PictureLibrary::ModifyPic(int id, const fs::path& file) {
  if (id <= kReservedId) return Fail(kReservedReplaceMessage);
  const std::string fileName = file.filename().string();
  if (!IsStorableExtension(Lower(ExtensionOf(fileName)))) return Fail(kUnsupportedFile, fileName);
  auto bytes = ReadPictureFile(file);
  if (!bytes) return bytes.error();
  return ModifyPic(id, fileName, *bytes);
}

Status PictureLibrary::ModifyPic(int id, std::string_view fileName,
                                 std::span<const std::uint8_t> bytes) {
  if (id <= kReservedId) return Fail(kReservedReplaceMessage);
  if (!IsOpen()) return Fail(kNotAttached);
  if (bytes.empty()) return Fail(kFileEmpty, std::string(fileName));
  Status decodes = CheckDecodes(ExtensionOf(fileName), bytes);
  if (!decodes) return decodes;
  return Store(id, fileName, bytes, false);
}

Status PictureLibrary::DeletePicture(int id) {
  if (id <= kReservedId) return Fail(kReservedDeleteMessage);
  auto record = Read(id);
  if (!record) return record.error();
  Status deleted = db_->Execute("delete from PData where ID=" + std::to_string(id));
  if (!deleted) return Fail(kDatabaseFailed, deleted.message());
  return Refill();
}

Result<fs::path> PictureLibrary::ExportPicture(int id, const fs::path& target) {
  auto record = Read(id);
  if (!record) return record.error();
  fs::path file = target;
  std::string name = target.filename().string();
  // The name gets the picture's extension once, not a second time.
  if (Lower(ExtensionOf(name)) != Lower(record->ext)) file += record->ext;
  Status written = platform::WriteFileAtomic(file, record->pic);
  if (!written) return Fail(kExportFailed, written.error());
  return file;
}

Status PictureLibrary::ExportPictureAs(int id, const fs::path& target) {
  const std::string format = PictureFormatForName(target);
  if (format.empty()) return Fail(kExportNames, target.string());
  auto record = Read(id);
  if (!record) return record.error();
  std::vector<std::uint8_t> converted;
  if (Lower(record->ext) != format) {
    platform::DecodeResult decoded = DecodeStoredPicture(record->ext, record->pic, true);
    if (!decoded.ok) return Fail(decoded.error.message, decoded.error.reason.In(isChinese_));
    auto encoded = EncodeAs(decoded.image, format);
    if (!encoded) return Fail(kExportFailed, encoded.error());
    converted = std::move(encoded).value();
  }
  const std::span<const std::uint8_t> bytes = converted.empty() ? record->pic : converted;
  Status written = platform::WriteFileAtomic(target, bytes);
  if (!written) return Fail(kExportFailed, written.error());
  return Status::Ok();
}

Result<std::string> PictureLibrary::ConvertPicture(int id) {
  auto record = Read(id);
  if (!record) return record.error();
  platform::DecodeResult decoded = DecodeStoredPicture(record->ext, record->pic, true);
  if (!decoded.ok) return Fail(decoded.error.message, decoded.error.reason.In(isChinese_));
  ConversionPlan plan = PlanConversion(record->note, record->ext);
  auto bytes = EncodeAs(decoded.image, Lower(ExtensionOf(plan.newName)));
  if (!bytes) return Fail(kDatabaseFailed, bytes.error());
  Status stored = Store(id, plan.newName, *bytes, false);
  if (!stored) return stored.error();
  return plan.newName;
}

Status PictureLibrary::EditSavePic(int id, const RgbImage& edited, std::string_view newName) {
  auto record = Read(id);
  if (!record) return record.error();
  if (edited.empty()) return Fail(platform::kBmpFormatError, "the edited picture is empty");
  const std::string ext = Lower(record->ext);
  std::vector<std::uint8_t> bytes;
  if (ext == ".jpg") {
    auto encoded = platform::EncodeJpeg(edited);
    if (!encoded) return Fail(platform::kJpegFormatError, encoded.error());
    bytes = std::move(encoded).value();
  } else if (ext == ".bmp") {
    bytes = platform::EncodeBmp(edited);
  } else {
    return Fail(kUnknownExtension, record->ext);
  }
  return Store(id, std::string(newName) + ext, bytes, false);
}

Status PictureLibrary::CompactLibrary() {
  if (path_.empty()) return Fail(kNotAttached);
  Close();
  Status compacted = platform::CompactInPlace(path_, kPicturePassword);
  Status reopened = Reopen();
  if (!compacted) return Error{"Data compression Failure!\r\r" + compacted.message()};
  return reopened;
}

}  // namespace dravik::pictures
