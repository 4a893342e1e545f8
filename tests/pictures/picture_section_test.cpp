#include "pictures/picture_section.h"

#include <gtest/gtest.h>

#include "pictures/picture_fixtures.h"
#include "pictures/picture_library.h"
#include "platform/desktop_db.h"
#include "support/temp_dir.h"

namespace dravik::pictures {
namespace {

namespace fs = std::filesystem;
using platform::DesktopDb;
using platform::OpenMode;
using test::MakeBmp;
using test::MakeJpeg;

TEST(PackRgb565, PacksFiveSixFiveBits) {
  struct Case {
    std::uint8_t r, g, b;
    std::uint16_t expected;
  } cases[] = {
      {255, 255, 255, 0xFFFF}, {0, 0, 0, 0x0000}, {255, 0, 0, 0xF800}, {0, 255, 0, 0x07E0},
      {0, 0, 255, 0x001F},     {8, 4, 8, 0x0821}, {7, 3, 7, 0x0000},   {0x80, 0x40, 0x20, 0x8204},
  };
  for (const Case& c : cases) EXPECT_EQ(PackRgb565(c.r, c.g, c.b), c.expected);
}

// Reads a section back: pictures as (width, height, RGB565 pixels).
struct SectionPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint16_t> pixels;
  bool operator==(const SectionPicture&) const = default;
};

std::vector<SectionPicture> ParseSection(const std::vector<std::uint8_t>& section) {
  std::vector<SectionPicture> pictures;
  if (section.empty()) return pictures;
  std::size_t at = 1;
  auto u16 = [&]() {
    std::uint16_t v = static_cast<std::uint16_t>(section.at(at) | (section.at(at + 1) << 8));
    at += 2;
    return v;
  };
  for (int i = 0; i < section[0]; ++i) {
    SectionPicture picture;
    picture.width = u16();
    picture.height = u16();
    for (int p = 0; p < picture.width * picture.height; ++p) picture.pixels.push_back(u16());
    pictures.push_back(std::move(picture));
  }
  EXPECT_EQ(at, section.size()) << "bytes after the last picture";
  return pictures;
}

SectionPicture Expected(const platform::RgbImage& image) {
  SectionPicture picture{image.width, image.height, {}};
  for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
    picture.pixels.push_back(PackRgb565(image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]));
  }
  return picture;
}

class PictureSectionTest : public testing::Test {
 protected:
  void SetUp() override {
    project_ = dir_ / "demo.QX3";
    test::WriteText(project_, "project");
    PictureLibrary library;
    ASSERT_TRUE(library.ADOConnected(project_).ok());
  }

  fs::path Library() const { return PictureLibraryPath(project_); }

  struct Row {
    int id;
    int pid;
    std::string ext;
    std::vector<std::uint8_t> pic;
  };

  // Stores records directly (one connection: opening a protected database is slow on
  // purpose).
  void Insert(const std::vector<Row>& records) {
    auto db = DesktopDb::Open(Library(), kPicturePassword, OpenMode::ReadWrite);
    ASSERT_TRUE(db.ok()) << db.message();
    auto transaction = platform::DbTransaction::Begin(*db);
    ASSERT_TRUE(transaction.ok());
    for (const Row& r : records) {
      auto rows = db->Query("select * from PData where ID=" + std::to_string(r.id));
      ASSERT_TRUE(rows.ok()) << rows.message();
      ASSERT_TRUE(rows->Append().ok());
      rows->SetInt("ID", r.id);
      rows->SetInt("PID", r.pid);
      rows->SetText("FName", "p" + r.ext);
      rows->SetText("Ext", r.ext);
      rows->SetBytes("Pic", r.pic);
      rows->SetText("Note", "p" + r.ext);
      ASSERT_TRUE(rows->Post().ok());
    }
    ASSERT_TRUE(transaction->Commit().ok());
  }

  test::TempDir dir_;
  fs::path project_;
};

TEST_F(PictureSectionTest, WritesEachPictureAsDecodingGivesIt) {
  const auto bmp24 = MakeBmp({.bits = 24}, 5, 3);
  const auto bmp8 = MakeBmp({.bits = 8, .topDown = true}, 4, 2);
  const auto jpeg = MakeJpeg(9, 7);
  {
    PictureLibrary library;
    ASSERT_TRUE(library.ADOConnected(project_).ok());
    for (const auto& [name, bytes] :
         {std::pair{"a.bmp", bmp24}, std::pair{"b.BMP", bmp8}, std::pair{"c.jpg", jpeg}}) {
      test::WriteAll(dir_ / name, bytes);
      ASSERT_TRUE(library.AddPicture(dir_ / name).ok());
    }
  }
  std::vector<std::uint8_t> section = BuildPictureSection(Library());
  ASSERT_EQ(section[0], 3);
  // The first picture's header, byte by byte: width 5 and height 3, little-endian.
  EXPECT_EQ(std::vector<std::uint8_t>(section.begin() + 1, section.begin() + 5),
            (std::vector<std::uint8_t>{5, 0, 3, 0}));
  std::vector<SectionPicture> pictures = ParseSection(section);
  ASSERT_EQ(pictures.size(), 3u);
  EXPECT_EQ(pictures[0], Expected(platform::DecodeBmp(bmp24).image));
  EXPECT_EQ(pictures[1], Expected(platform::DecodeBmp(bmp8).image));
  EXPECT_EQ(pictures[2], Expected(platform::DecodeJpeg(jpeg).image));
  // The top-left pixel of the pattern is black, the next one red... in RGB565.
  EXPECT_EQ(pictures[0].pixels[0], 0x0000);
}

TEST_F(PictureSectionTest, OnlyGroupOneBelowFiftyInStoredOrder) {
  const auto small = MakeBmp({.bits = 24}, 1, 1);
  const auto two = MakeBmp({.bits = 24}, 2, 1);
  const auto three = MakeBmp({.bits = 24}, 3, 1);
  Insert({{49, 1, ".bmp", three},
          {50, 1, ".bmp", small},
          {77, 1, ".bmp", small},
          {5, 2, ".bmp", small},
          {0, 1, ".bmp", two}});
  std::vector<SectionPicture> pictures = ParseSection(BuildPictureSection(Library()));
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].width, 2);  // ID 0 first: the library keeps its pictures in ID order
  EXPECT_EQ(pictures[1].width, 3);
}

TEST_F(PictureSectionTest, SixtyPicturesGiveTheFirstFifty) {
  const auto bmp = MakeBmp({.bits = 1}, 2, 2);
  std::vector<Row> records;
  for (int id = 0; id < 60; ++id) records.push_back({id, 1, ".bmp", bmp});
  Insert(records);
  std::vector<std::uint8_t> section = BuildPictureSection(Library());
  EXPECT_EQ(section[0], 50);
  EXPECT_EQ(section.size(), 1u + 50 * (4 + 2 * 2 * 2));
}

TEST_F(PictureSectionTest, DamagedAndForeignRecordsAreLeftOut) {
  const auto good = MakeBmp({.bits = 24}, 2, 2);
  auto halfJpeg = MakeJpeg(32, 32);
  halfJpeg.resize(halfJpeg.size() / 2);
  Insert({{0, 1, ".bmp", good},
          {1, 1, ".bmp", {}},
          {2, 1, ".jpg", halfJpeg},
          {3, 1, ".png", good},
          {4, 1, ".BMP", good}});  // the extension is compared in lower case
  std::vector<SectionPicture> pictures = ParseSection(BuildPictureSection(Library()));
  EXPECT_EQ(pictures.size(), 2u);
}

TEST_F(PictureSectionTest, AnUnreadableLibraryGivesAnEmptySection) {
  EXPECT_EQ(BuildPictureSection(dir_ / "absent.PIC"), (std::vector<std::uint8_t>{0}));
  test::WriteText(dir_ / "junk.PIC", "not a database");
  EXPECT_EQ(BuildPictureSection(dir_ / "junk.PIC"), (std::vector<std::uint8_t>{0}));
  EXPECT_EQ(BuildPictureSection(Library()), (std::vector<std::uint8_t>{0}));  // empty library
}

TEST_F(PictureSectionTest, StopsOnceTheSectionCanNoLongerFitAnImage) {
  // 200 x 200 pictures take 80,004 bytes each; the second crosses the limit.
  const auto big = MakeBmp({.bits = 24}, 200, 200);
  std::vector<Row> records;
  for (int id = 0; id < 5; ++id) records.push_back({id, 1, ".bmp", big});
  Insert(records);
  std::vector<std::uint8_t> section = BuildPictureSection(Library());
  EXPECT_EQ(section[0], 2);
  EXPECT_EQ(section.size(), 1u + 2 * 80'004);
  EXPECT_GT(section.size(), kSectionStopBytes);
}

}  // namespace
}  // namespace dravik::pictures
