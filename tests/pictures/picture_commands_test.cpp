#include "pictures/picture_commands.h"

#include <gtest/gtest.h>

#include "pictures/picture_fixtures.h"
#include "support/temp_dir.h"

namespace dravik::pictures {
namespace {

namespace fs = std::filesystem;

TEST(PictureCommands, AddListExportDelete) {
  test::TempDir dir;
  const auto project = dir / "demo.QX3";
  test::WriteText(project, "project");
  const auto bmp = test::MakeBmp({.bits = 24}, 320, 2);
  const auto jpeg = test::MakeJpeg(12, 10);
  test::WriteAll(dir / "a.bmp", bmp);
  test::WriteAll(dir / "b.jpg", jpeg);

  auto first = AddProjectPicture(project, dir / "a.bmp", false);
  ASSERT_TRUE(first.ok()) << first.message();
  EXPECT_EQ(*first, 0);
  auto second = AddProjectPicture(project, dir / "b.jpg", false);
  ASSERT_TRUE(second.ok());
  EXPECT_EQ(*second, 1);

  auto list = ListProjectPictures(project, false);
  ASSERT_TRUE(list.ok()) << list.message();
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ((*list)[0].id, 0);
  EXPECT_EQ((*list)[0].name, "a.bmp");
  EXPECT_EQ((*list)[0].sizeText, "320(W)*2(H)   1.950 KB");  // 1,974 bytes
  EXPECT_EQ((*list)[1].name, "b.jpg");
  EXPECT_TRUE((*list)[1].problem.empty());

  auto exported = ExportProjectPicture(project, 1, dir / "copy.jpg", false);
  ASSERT_TRUE(exported.ok()) << exported.message();
  EXPECT_EQ(*exported, dir / "copy.jpg");
  EXPECT_EQ(test::ReadAll(*exported), jpeg);
  // Asked for as the other format, the picture is converted to it.
  exported = ExportProjectPicture(project, 1, dir / "copy.bmp", false);
  ASSERT_TRUE(exported.ok()) << exported.message();
  const platform::DecodeResult converted = platform::DecodeBmp(test::ReadAll(dir / "copy.bmp"));
  ASSERT_TRUE(converted.ok) << converted.error.detail;
  EXPECT_EQ(converted.image.width, 12);
  EXPECT_EQ(converted.image.height, 10);

  EXPECT_EQ(DeleteProjectPicture(project, 0, false).message(),
            "0 is reserved for the system library!");
  ASSERT_TRUE(DeleteProjectPicture(project, 1, false).ok());
  list = ListProjectPictures(project, false);
  ASSERT_TRUE(list.ok());
  EXPECT_EQ(list->size(), 1u);
}

TEST(PictureCommands, RefusedWork) {
  test::TempDir dir;
  auto missing = ListProjectPictures(dir / "none.QX3", true);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.message().rfind("工程文件不存在 ！", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(dir / "none.PIC"));

  const auto project = dir / "demo.QX3";
  test::WriteText(project, "project");
  auto none = ListProjectPictures(project, false);
  ASSERT_TRUE(none.ok()) << none.message();
  EXPECT_TRUE(none->empty());
  EXPECT_FALSE(ExportProjectPicture(project, 0, dir / "x.bmp", false).ok());
  EXPECT_FALSE(fs::exists(dir / "demo.PIC")) << "reading a project without library makes none";

  test::WriteAll(dir / "empty.bmp", {});
  auto empty = AddProjectPicture(project, dir / "empty.bmp", true);
  ASSERT_FALSE(empty.ok());
  EXPECT_EQ(empty.message().rfind("图片文件是空的 ！", 0), 0u);
  EXPECT_FALSE(ExportProjectPicture(project, 3, dir / "x.bmp", false).ok());

  test::WriteAll(dir / "a.bmp", test::MakeBmp({.bits = 24}, 4, 4));
  ASSERT_TRUE(AddProjectPicture(project, dir / "a.bmp", true).ok());
  auto unnamed = ExportProjectPicture(project, 0, dir / "x.png", true);
  ASSERT_FALSE(unnamed.ok());
  EXPECT_EQ(unnamed.message().rfind("图片只能导出为 .bmp 或 .jpg 文件 ！", 0), 0u)
      << unnamed.message();
  EXPECT_FALSE(fs::exists(dir / "x.png"));
}

}  // namespace
}  // namespace dravik::pictures
