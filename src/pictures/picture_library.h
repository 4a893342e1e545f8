#pragma once
// The project's picture library (".PIC"): a password-protected database beside the project
// file whose table "PData" keeps the BMP and JPEG files that picture elements show, each
// under its ID. This is the library window's logic without the window: attaching,
// listing, previewing, adding, replacing, exporting, deleting, converting and storing
// edited pictures, and compacting.
//
// Messages come back in the language chosen with `SetChinese` (the one shown at the
// moment of the call). Picture names cross this interface as UTF-8; the database keeps
// them as GBK bytes like every other stored text.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bilingual.h"
#include "platform/desktop_db.h"
#include "platform/image_codec.h"
#include "platform/result.h"

namespace dravik::pictures {

using platform::RgbImage;

inline constexpr char kPicturePassword[] = "mqzvb.tk";
inline constexpr char kPictureTable[] = "PData";
inline constexpr char kPictureExtension[] = ".PIC";
inline constexpr char kOldSharedLibraryName[] = "PicData.pdb";  // moved into a project once
inline constexpr std::int64_t kProjectGroup = 1;                // PID of the project's own pictures
inline constexpr int kReservedId = 0;  // ID 0 can be used, not replaced or deleted
inline constexpr int kNoSelection = -1;

// Messages of the library.
extern const Bilingual kPictureMissingMessage;   // "该图片已经不存在 ！"
extern const Bilingual kReservedReplaceMessage;  // "0 是系统保留库 ！" (replace)
extern const Bilingual kReservedDeleteMessage;   // "0 是系统保留库 ！" (delete)
extern const Bilingual kDeleteQuestion;          // "你确定删除 ？"
extern const Bilingual kCompactFailedNotice;     // "数据压缩修复失败 ！"
extern const Bilingual kCompactButtonCaption;    // "压缩图库"
extern const Bilingual kCompactBusyCaption;      // "请等待..."
extern const Bilingual kKeepEditedQuestion;  // "观看转换后之图,(是)接受/(否)舍弃 ？"
extern const Bilingual kNewNameCaption;      // "请输入新的图名 "
extern const Bilingual kNewNamePrompt;       // "新图片名称 "
extern const Bilingual kPlaceholderText;     // "图形库中已经不存在该图片 ！"
extern const Bilingual kNameColumnCaption;   // "图片名称"
inline constexpr int kPlaceholderWidth = 165;  // the placeholder's framed rectangle
inline constexpr int kPlaceholderHeight = 23;
inline constexpr int kPlaceholderTextX = 5;
inline constexpr int kPlaceholderTextY = 5;

// "<project>.PIC" for "<project>.QX3".
std::filesystem::path PictureLibraryPath(const std::filesystem::path& projectFile);

// The bytes of an empty library (the table and nothing in it), made in `folder`, where it
// is meant to go.
Result<std::vector<std::uint8_t>> NewPictureLibrary(const std::filesystem::path& folder);

// Creates an empty library at `path`, complete or not at all, with the permissions of
// `permissionsOf` (the project file) when that exists. Something already at `path` is
// kept (false).
Result<bool> CreatePictureDatabase(const std::filesystem::path& path,
                                   const std::filesystem::path& permissionsOf = {});

// The picture format a file name asks for: ".bmp" for *.bmp, ".jpg" for *.jpg and *.jpeg
// (in any case), "" for any other name.
std::string PictureFormatForName(const std::filesystem::path& file);
extern const Bilingual kExportNames;  // "图片只能导出为 .bmp 或 .jpg 文件 ！"

// One row of the library list: the pictures of group 1 in stored order.
struct PictureEntry {
  int id = 0;
  std::string name;  // FName, UTF-8
};

// One record of "PData" with the columns as the tool writes them.
struct PictureRecord {
  int id = 0;
  int pid = static_cast<int>(kProjectGroup);
  std::string fileName;  // FName, UTF-8
  std::string ext;       // ".bmp" or ".jpg"
  std::vector<std::uint8_t> pic;
  int folder = 0;
  bool bmark = false;
  std::string pass;
  std::string note;  // display name, UTF-8
};

// Decodes a stored picture by its extension field. `retryWithoutLastTwoBytes` gives a BMP
// a second chance without its last two bytes, as the preview does (some writers pad BMP
// files oddly). A stored extension other than ".bmp" and ".jpg" gives no picture and the
// error text names the extension.
platform::DecodeResult DecodeStoredPicture(std::string_view ext, std::span<const std::uint8_t> pic,
                                           bool retryWithoutLastTwoBytes);

// The size panel: width "(W)*" height "(H)   " then the blob size as "<KB>.<rest> KB" —
// 1,500 bytes read "1.476 KB" (the remainder in bytes, not a decimal fraction).
std::string PreviewSizeText(int width, int height, std::size_t blobBytes);

// What the preview shows for a record.
struct Preview {
  std::string note;                // the name panel (Note)
  bool hasPicture = false;         // false: the preview is cleared
  RgbImage image;                  // when hasPicture
  std::string sizeText;            // when hasPicture
  std::optional<Bilingual> error;  // a picture that cannot be decoded
};

// What the page window and the picture element dialog draw for a picture ID.
struct GainedImage {
  enum class Kind {
    Picture,      // `picture` holds it
    Placeholder,  // the ID is not in the library: draw the placeholder
    Empty,        // listed, but without a picture (Folder set, or it cannot be decoded)
  };
  Kind kind = Kind::Placeholder;
  RgbImage picture;
};

// The questions of BMP<=>JPG conversion for a picture called `name` (its Note) whose
// stored extension is `storedExt`: a JPEG becomes a BMP, anything else a JPEG.
struct ConversionPlan {
  std::string newName;               // name with ".jpg" or ".bmp"
  Bilingual question;                // "您确定将: …"
  std::optional<Bilingual> warning;  // BMP to JPG only: "由BMP转换为JPG可能会造成颜色信息丢失…"
};
ConversionPlan PlanConversion(std::string_view name, std::string_view storedExt);

// The bytes of a library holding exactly `records` (every column as given), built in
// `folder`, where it is meant to go.
Result<std::vector<std::uint8_t>> PictureLibraryBytes(const std::filesystem::path& folder,
                                            std::span<const PictureRecord> records);

class PictureLibrary {
 public:
  explicit PictureLibrary(bool isChinese = false) : isChinese_(isChinese) {}

  void SetChinese(bool isChinese) { isChinese_ = isChinese; }

  // Attaches the library of `projectFile` (".PIC" beside it), made first from the old
  // shared "PicData.pdb" in the project's folder (moved in) or else new and empty, and
  // refills the list.
  Status ADOConnected(const std::filesystem::path& projectFile);
  void Close();
  bool IsOpen() const { return db_.has_value() && db_->IsOpen(); }
  const std::filesystem::path& path() const { return path_; }

  const std::vector<PictureEntry>& Entries() const { return entries_; }
  bool Contains(int id) const;
  Status Refill();
  // The smallest ID from 0 up that no record uses.
  Result<int> NextFreeId();

  Result<PictureRecord> Read(int id);
  // Every record of every group, by ID.
  Result<std::vector<PictureRecord>> ReadAll();
  Result<Preview> showPic(int id);
  GainedImage GainImage(int id);

  // Adds the BMP or JPEG file under the next free ID, which is returned. The file must
  // decode; nothing is stored otherwise.
  Result<int> AddPicture(const std::filesystem::path& file);
  // Replaces the picture `id` (not 0) with the file.
  Status ModifyPic(int id, const std::filesystem::path& file);
  // The same with the picture given as a name (with its extension) and its file bytes.
  Status ModifyPic(int id, std::string_view fileName, std::span<const std::uint8_t> bytes);
  // Deletes the picture `id` (not 0) and refills the list; the caller compacts next.
  Status DeletePicture(int id);
  // Writes the stored file unchanged to `target`, with the picture's extension appended
  // unless `target` already ends with it. Returns the file written.
  Result<std::filesystem::path> ExportPicture(int id, const std::filesystem::path& target);
  // Writes picture `id` to exactly `target` in the format its name asks for: the stored
  // file unchanged when that is its format, else the picture converted to it.
  Status ExportPictureAs(int id, const std::filesystem::path& target);
  // BMP<=>JPG: stores the decoded picture in the other format under
  // PlanConversion(Note, Ext).newName, keeping the ID. Returns the new name.
  Result<std::string> ConvertPicture(int id);
  // Stores an edited preview under `newName` (without extension; the record's current
  // extension is appended) in the record `id`.
  Status EditSavePic(int id, const RgbImage& edited, std::string_view newName);
  // Compacts the library file and reopens it. On failure the text is "Data compression
  // Failure!\r\r" + the engine's text; kCompactFailedNotice follows it in the window.
  Status CompactLibrary();

 private:
  const std::string& Text(const Bilingual& message) const { return message.In(isChinese_); }
  Error Fail(const Bilingual& message, std::string_view detail = {}) const;
  Error Fail(const Bilingual& message, const Error& detail) const;
  Status Store(int id, std::string_view fileName, std::span<const std::uint8_t> bytes, bool append);
  Result<std::vector<std::uint8_t>> ReadPictureFile(const std::filesystem::path& file) const;
  Status CheckDecodes(std::string_view ext, std::span<const std::uint8_t> bytes) const;
  Status Reopen();
  Status LoadEntries();

  bool isChinese_ = false;
  std::filesystem::path path_;
  std::optional<platform::DesktopDb> db_;
  std::vector<PictureEntry> entries_;
};

}  // namespace dravik::pictures
