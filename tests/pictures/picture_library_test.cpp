#include "pictures/picture_library.h"

#include <gtest/gtest.h>

#include <fstream>

#include "pictures/picture_operations.h"
#include "pictures/picture_fixtures.h"
#include "platform/desktop_db.h"
#include "platform/paths.h"
#include "support/temp_dir.h"

namespace dravik::pictures {
namespace {

namespace fs = std::filesystem;
using platform::DesktopDb;
using platform::OpenMode;
using test::MakeBmp;
using test::MakeJpeg;

class PictureLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    project_ = dir_ / "demo.QX3";
    test::WriteText(project_, "project");
    ASSERT_TRUE(library_.ADOConnected(project_).ok());
  }

  fs::path WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    fs::path file = dir_ / name;
    test::WriteAll(file, bytes);
    return file;
  }

  int Add(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    auto id = library_.AddPicture(WriteFile(name, bytes));
    EXPECT_TRUE(id.ok()) << (id.ok() ? "" : id.message());
    return id.ok() ? *id : -1;
  }

  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const auto& entry : library_.Entries()) ids.push_back(entry.id);
    return ids;
  }

  struct Row {
    int id;
    int pid;
    std::string ext;
    std::vector<std::uint8_t> pic;
    int folder = 0;
  };

  // Stores records directly, as another tool or an old library might have.
  void Insert(const std::vector<Row>& records) {
    library_.Close();
    {
      auto db =
          DesktopDb::Open(PictureLibraryPath(project_), kPicturePassword, OpenMode::ReadWrite);
      ASSERT_TRUE(db.ok()) << db.message();
      for (const Row& r : records) {
        auto rows = db->Query("select * from PData where ID=" + std::to_string(r.id));
        ASSERT_TRUE(rows.ok()) << rows.message();
        ASSERT_TRUE(rows->Append().ok());
        rows->SetInt("ID", r.id);
        rows->SetInt("PID", r.pid);
        rows->SetText("FName", "raw" + r.ext);
        rows->SetText("Ext", r.ext);
        rows->SetBytes("Pic", r.pic);
        rows->SetInt("Folder", r.folder);
        rows->SetText("Note", "raw" + r.ext);
        ASSERT_TRUE(rows->Post().ok());
      }
    }
    ASSERT_TRUE(library_.ADOConnected(project_).ok());
  }

  test::TempDir dir_;
  fs::path project_;
  PictureLibrary library_;
};

TEST_F(PictureLibraryTest, AttachMakesANewEmptyLibraryAndNothingInTheWorkFolder) {
  EXPECT_TRUE(fs::exists(dir_ / "demo.PIC"));
  EXPECT_TRUE(library_.IsOpen());
  EXPECT_TRUE(library_.Entries().empty());
  auto work = platform::WorkDir();
  ASSERT_TRUE(work.ok());
  EXPECT_FALSE(fs::exists(*work / "TPicData.pdb"));
}

TEST_F(PictureLibraryTest, TheLibraryOpensOnlyWithItsPassword) {
  Add("a.bmp", MakeBmp({.bits = 24}, 3, 3));
  library_.Close();
  const fs::path file = dir_ / "demo.PIC";
  EXPECT_FALSE(DesktopDb::Open(file, "", OpenMode::ReadOnly).ok());
  EXPECT_FALSE(DesktopDb::Open(file, "wrong", OpenMode::ReadOnly).ok());
  EXPECT_TRUE(DesktopDb::Open(file, kPicturePassword, OpenMode::ReadOnly).ok());
  // Nothing of the content shows in the file.
  std::vector<std::uint8_t> raw = test::ReadAll(file);
  std::string text(raw.begin(), raw.end());
  EXPECT_EQ(text.find("SQLite format"), std::string::npos);
  EXPECT_EQ(text.find("PData"), std::string::npos);
  EXPECT_EQ(text.find("a.bmp"), std::string::npos);
}

TEST_F(PictureLibraryTest, AnOldSharedLibraryIsMovedIntoANewProject) {
  Add("old.bmp", MakeBmp({.bits = 8}, 4, 2));
  library_.Close();
  fs::path other = dir_ / "sub";
  fs::create_directory(other);
  fs::rename(dir_ / "demo.PIC", other / kOldSharedLibraryName);
  test::WriteText(other / "second.QX3", "project");

  PictureLibrary second;
  ASSERT_TRUE(second.ADOConnected(other / "second.QX3").ok());
  ASSERT_EQ(second.Entries().size(), 1u);
  EXPECT_EQ(second.Entries()[0].name, "old.bmp");
  EXPECT_FALSE(fs::exists(other / kOldSharedLibraryName));
  EXPECT_TRUE(fs::exists(other / "second.PIC"));
}

TEST_F(PictureLibraryTest, ALibraryThatIsNotOneIsRefused) {
  library_.Close();
  test::WriteText(dir_ / "demo.PIC", "garbage, not a database at all");
  Status attached = library_.ADOConnected(project_);
  EXPECT_FALSE(attached.ok());
  EXPECT_NE(attached.message().find("The picture library cannot be opened!"), std::string::npos);
  EXPECT_FALSE(library_.IsOpen());
  // Nothing of the user's file is lost.
  EXPECT_EQ(test::ReadAll(dir_ / "demo.PIC").size(),
            std::string("garbage, not a database at all").size());
}

TEST_F(PictureLibraryTest, PicturesComeBackFromExportUnchanged) {
  struct Case {
    const char* file;
    std::vector<std::uint8_t> bytes;
    const char* ext;
  } cases[] = {
      {"photo24.bmp", MakeBmp({.bits = 24}, 7, 5), ".bmp"},
      {"Palette8.BMP", MakeBmp({.bits = 8}, 9, 4), ".bmp"},
      {"shot.jpg", MakeJpeg(33, 17), ".jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    int id = Add(c.file, c.bytes);
    auto record = library_.Read(id);
    ASSERT_TRUE(record.ok());
    EXPECT_EQ(record->pid, 1);
    EXPECT_EQ(record->fileName, c.file);
    EXPECT_EQ(record->note, c.file);
    EXPECT_EQ(record->ext, c.ext);
    EXPECT_EQ(record->folder, 0);
    EXPECT_FALSE(record->bmark);
    EXPECT_EQ(record->pass, "");
    auto written = library_.ExportPicture(id, dir_ / ("out" + std::to_string(id)));
    ASSERT_TRUE(written.ok()) << written.message();
    EXPECT_EQ(written->filename().string(), "out" + std::to_string(id) + c.ext);
    EXPECT_EQ(test::ReadAll(*written), c.bytes);
  }
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2}));
  // A name that already ends with the extension keeps it once.
  auto again = library_.ExportPicture(0, dir_ / "keep.bmp");
  ASSERT_TRUE(again.ok());
  EXPECT_EQ(*again, dir_ / "keep.bmp");
}

TEST_F(PictureLibraryTest, ANewPictureTakesTheSmallestFreeId) {
  const auto bmp = MakeBmp({.bits = 24}, 2, 2);
  for (int i = 0; i < 5; ++i) Add("p" + std::to_string(i) + ".bmp", bmp);
  ASSERT_TRUE(library_.DeletePicture(3).ok());
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2, 4}));
  EXPECT_EQ(Add("x.bmp", bmp), 3);
  EXPECT_EQ(Add("y.bmp", bmp), 5);
  // IDs of other groups are taken too, though not listed.
  Insert({{6, 2, ".bmp", bmp}});
  EXPECT_FALSE(library_.Contains(6));
  EXPECT_EQ(Add("z.bmp", bmp), 7);
}

TEST_F(PictureLibraryTest, IdZeroIsNeitherReplacedNorDeleted) {
  Add("zero.bmp", MakeBmp({.bits = 24}, 2, 2));
  const fs::path other = WriteFile("other.bmp", MakeBmp({.bits = 8}, 3, 3));
  struct Case {
    bool chinese;
    const char* replace;
    const char* remove;
  } cases[] = {
      {false, "0 Is reserved for the system library!", "0 is reserved for the system library!"},
      {true, "0 是系统保留库 ！", "0 是系统保留库 ！"}};
  for (const Case& c : cases) {
    library_.SetChinese(c.chinese);
    for (int id : {0, kNoSelection}) {
      Status replaced = library_.ModifyPic(id, other);
      EXPECT_FALSE(replaced.ok());
      EXPECT_EQ(replaced.message(), c.replace);
      Status deleted = library_.DeletePicture(id);
      EXPECT_FALSE(deleted.ok());
      EXPECT_EQ(deleted.message(), c.remove);
    }
  }
  EXPECT_EQ(library_.Read(0)->fileName, "zero.bmp");
}

TEST_F(PictureLibraryTest, ReplaceKeepsTheIdAndTakesTheNewFile) {
  Add("zero.bmp", MakeBmp({.bits = 24}, 2, 2));
  Add("first.bmp", MakeBmp({.bits = 24}, 2, 2));
  const auto jpeg = MakeJpeg(20, 10);
  ASSERT_TRUE(library_.ModifyPic(1, WriteFile("Second.JPG", jpeg)).ok());
  auto record = library_.Read(1);
  ASSERT_TRUE(record.ok());
  EXPECT_EQ(record->fileName, "Second.JPG");
  EXPECT_EQ(record->note, "Second.JPG");
  EXPECT_EQ(record->ext, ".jpg");
  EXPECT_EQ(record->pic, jpeg);
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1}));
  EXPECT_EQ(library_.Entries()[1].name, "Second.JPG");
}

TEST_F(PictureLibraryTest, MissingPicturesAreReported) {
  Add("zero.bmp", MakeBmp({.bits = 24}, 2, 2));
  for (bool chinese : {false, true}) {
    library_.SetChinese(chinese);
    const std::string expected =
        chinese ? "该图片已经不存在 ！" : "The picture does not already exist!";
    auto preview = library_.showPic(9);
    ASSERT_FALSE(preview.ok());
    EXPECT_EQ(preview.message(), expected);
    EXPECT_EQ(library_.DeletePicture(9).message(), expected);
    EXPECT_EQ(library_.ExportPicture(9, dir_ / "x").message(), expected);
    EXPECT_EQ(library_.ModifyPic(9, WriteFile("n.bmp", MakeBmp({.bits = 24}, 2, 2))).message(),
              expected);
  }
}

TEST_F(PictureLibraryTest, DamagedInputIsRefusedAndNothingChanges) {
  Add("zero.bmp", MakeBmp({.bits = 24}, 2, 2));
  std::vector<std::uint8_t> huge = MakeBmp({.bits = 24}, 4, 4);
  test::SetBmpSize(huge, 60000, 60000);
  std::vector<std::uint8_t> hugeJpeg = MakeJpeg(16, 16);
  test::SetJpegSize(hugeJpeg, 60000, 60000);
  const auto jpeg = MakeJpeg(64, 48);
  struct Case {
    const char* file;
    std::vector<std::uint8_t> bytes;
    const char* message;
  } cases[] = {
      {"empty.bmp", {}, "The picture file is empty!"},
      {"empty.jpg", {}, "The picture file is empty!"},
      {"huge.bmp", huge, "BMP Image Format Exception"},
      {"huge.jpg", hugeJpeg, "JPEG Image Format Exception"},
      {"half.jpg",
       {jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2)},
       "JPEG Image Format Exception"},
      {"garbage.bmp", std::vector<std::uint8_t>(300, 0x5A), "BMP Image Format Exception"},
      {"jpeg-named.bmp", jpeg, "BMP Image Format Exception"},
      {"picture.png", MakeBmp({.bits = 24}, 2, 2), "Only BMP and JPG pictures can be added!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path file = WriteFile(c.file, c.bytes);
    auto added = library_.AddPicture(file);
    ASSERT_FALSE(added.ok());
    EXPECT_EQ(added.message().rfind(c.message, 0), 0u) << added.message();
    Status replaced = library_.ModifyPic(0 + 1, file);  // no picture 1: refused all the same
    EXPECT_FALSE(replaced.ok());
  }
  EXPECT_EQ(Ids(), (std::vector<int>{0}));
  EXPECT_FALSE(library_.AddPicture(dir_ / "absent.bmp").ok());
  library_.SetChinese(true);
  EXPECT_EQ(
      library_.AddPicture(WriteFile("g.bmp", {1, 2, 3})).message().rfind("BMP 图像格式异常 ！", 0),
      0u);
}

TEST_F(PictureLibraryTest, PreviewShowsThePictureAndItsSize) {
  EXPECT_EQ(PreviewSizeText(320, 240, 1500), "320(W)*240(H)   1.476 KB");
  EXPECT_EQ(PreviewSizeText(8, 8, 1024), "8(W)*8(H)   1.0 KB");
  const auto bmp = MakeBmp({.bits = 4}, 11, 6);
  int id = Add("four.bmp", bmp);
  auto preview = library_.showPic(id);
  ASSERT_TRUE(preview.ok());
  EXPECT_TRUE(preview->hasPicture);
  EXPECT_EQ(preview->note, "four.bmp");
  EXPECT_EQ(preview->image, test::PatternImage(11, 6, 8));
  EXPECT_EQ(preview->sizeText, PreviewSizeText(11, 6, bmp.size()));
}

TEST_F(PictureLibraryTest, RecordsWithoutAPictureShowNone) {
  const auto bmp = MakeBmp({.bits = 24}, 3, 3);
  Insert({{4, 1, ".bmp", bmp, 1},                            // a folder record
          {5, 1, ".bmp", std::vector<std::uint8_t>(40, 1)},  // damaged
          {6, 1, ".gif", bmp}});                             // a foreign type
  auto folder = library_.showPic(4);
  ASSERT_TRUE(folder.ok());
  EXPECT_FALSE(folder->hasPicture);
  EXPECT_FALSE(folder->error);
  auto damaged = library_.showPic(5);
  ASSERT_TRUE(damaged.ok());
  EXPECT_FALSE(damaged->hasPicture);
  ASSERT_TRUE(damaged->error);
  EXPECT_EQ(*damaged->error, platform::kBmpFormatError);
  auto foreign = library_.showPic(6);
  ASSERT_TRUE(foreign.ok());
  EXPECT_FALSE(foreign->hasPicture);
}

TEST_F(PictureLibraryTest, GainImageGivesThePictureOrSaysThePlaceholderIsDue) {
  Add("zero.bmp", MakeBmp({.bits = 24}, 5, 4));
  Insert({{1, 1, ".bmp", std::vector<std::uint8_t>(40, 1)},
          {2, 2, ".bmp", MakeBmp({.bits = 24}, 5, 4)}});  // another group: not in the list
  GainedImage picture = library_.GainImage(0);
  EXPECT_EQ(picture.kind, GainedImage::Kind::Picture);
  EXPECT_EQ(picture.picture, test::PatternImage(5, 4));
  EXPECT_EQ(library_.GainImage(1).kind, GainedImage::Kind::Empty);
  EXPECT_EQ(library_.GainImage(2).kind, GainedImage::Kind::Placeholder);
  EXPECT_EQ(library_.GainImage(42).kind, GainedImage::Kind::Placeholder);
  EXPECT_EQ(kPlaceholderText.english, "Not exist in the graphic library!");
}

TEST_F(PictureLibraryTest, ConversionSwapsTheFormatAndKeepsTheId) {
  Add("zero.bmp", MakeBmp({.bits = 24}, 2, 2));
  int id = Add("logo.bmp", test::MakeBmp({.bits = 24}, 16, 8));

  ConversionPlan toJpeg = PlanConversion("logo.bmp", ".bmp");
  EXPECT_EQ(toJpeg.newName, "logo.jpg");
  EXPECT_EQ(toJpeg.question.chinese, "您确定将: logo.bmp\r\r转 换 为: logo.jpg ？");
  EXPECT_EQ(toJpeg.question.english, "Are you sure: logo.bmp\r\rConversion to: logo.jpg ？");
  ASSERT_TRUE(toJpeg.warning);
  EXPECT_EQ(toJpeg.warning->chinese, "由BMP转换为JPG可能会造成颜色信息丢失。\r您要继续吗 ？");

  auto converted = library_.ConvertPicture(id);
  ASSERT_TRUE(converted.ok()) << converted.message();
  EXPECT_EQ(*converted, "logo.jpg");
  auto record = library_.Read(id);
  ASSERT_TRUE(record.ok());
  EXPECT_EQ(record->ext, ".jpg");
  EXPECT_EQ(record->fileName, "logo.jpg");
  EXPECT_EQ(record->note, "logo.jpg");
  platform::DecodeResult jpeg = platform::DecodeJpeg(record->pic);
  ASSERT_TRUE(jpeg.ok);
  EXPECT_EQ(jpeg.image.width, 16);
  EXPECT_EQ(jpeg.image.height, 8);

  ConversionPlan toBmp = PlanConversion("logo.jpg", ".jpg");
  EXPECT_EQ(toBmp.newName, "logo.bmp");
  EXPECT_EQ(toBmp.question.english, "Are you sure: logo.jpg\r\rConversion to: logo.bmp ?");
  EXPECT_FALSE(toBmp.warning);
  auto back = library_.ConvertPicture(id);
  ASSERT_TRUE(back.ok());
  record = library_.Read(id);
  EXPECT_EQ(record->ext, ".bmp");
  platform::DecodeResult bmp = platform::DecodeBmp(record->pic);
  ASSERT_TRUE(bmp.ok);
  EXPECT_EQ(bmp.image, jpeg.image);  // BMP keeps every pixel of what it was given
  EXPECT_EQ(Ids(), (std::vector<int>{0, 1}));
}

TEST_F(PictureLibraryTest, EditedPicturesAreStoredUnderTheirNewName) {
  Add("zero.bmp", MakeBmp({.bits = 24}, 2, 2));
  int id = Add("pic.bmp", MakeBmp({.bits = 8}, 6, 3));
  auto preview = library_.showPic(id);
  ASSERT_TRUE(preview.ok());
  RgbImage edited = preview->image;
  InvertColours(edited);
  RotateClockwise90(edited);
  ASSERT_TRUE(library_.EditSavePic(id, edited, "turned").ok());
  auto record = library_.Read(id);
  EXPECT_EQ(record->fileName, "turned.bmp");
  EXPECT_EQ(record->ext, ".bmp");
  auto shown = library_.showPic(id);
  ASSERT_TRUE(shown.ok());
  EXPECT_EQ(shown->image, edited);
  EXPECT_EQ(shown->image.width, 3);
}

TEST_F(PictureLibraryTest, DeleteAndCompactKeepTheOtherPictures) {
  const auto a = MakeBmp({.bits = 24}, 30, 30);
  const auto b = MakeJpeg(40, 40);
  Add("a.bmp", a);
  Add("b.jpg", b);
  Add("c.bmp", a);
  ASSERT_TRUE(library_.DeletePicture(1).ok());
  ASSERT_TRUE(library_.CompactLibrary().ok());
  EXPECT_TRUE(library_.IsOpen());
  EXPECT_FALSE(fs::exists(platform::CompactionPath(dir_ / "demo.PIC")));
  EXPECT_EQ(Ids(), (std::vector<int>{0, 2}));
  EXPECT_EQ(library_.Read(2)->pic, a);
  EXPECT_EQ(kCompactFailedNotice.chinese, "数据压缩修复失败 ！");
}

TEST_F(PictureLibraryTest, NamesTravelAsUtf8) {
  int id = Add("图片.bmp", MakeBmp({.bits = 24}, 2, 2));
  EXPECT_EQ(library_.Entries()[0].name, "图片.bmp");
  EXPECT_EQ(library_.Read(id)->note, "图片.bmp");
  // The database holds GBK bytes ("图片" is CD BC C6 AC).
  library_.Close();
  auto db = DesktopDb::Open(dir_ / "demo.PIC", kPicturePassword, OpenMode::ReadOnly);
  ASSERT_TRUE(db.ok());
  auto rows = db->Query("select FName from PData");
  ASSERT_TRUE(rows.ok());
  EXPECT_EQ(rows->Text("FName"), "\xCD\xBC\xC6\xAC.bmp");
}

}  // namespace
}  // namespace dravik::pictures
