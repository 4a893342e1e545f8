// "Dravik.ini": the defaults of a first start, keys missing from an existing file, the
// ranges a hand-edited file is held to, and the round trip through exit and start.

#include "app/configuration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/ini_file.h"
#include "support/temp_dir.h"

namespace dravik::app {
namespace {

using test::TempDir;
using test::WriteText;

TEST(Configuration, FirstStartWithoutFileUsesEveryDefault) {
  TempDir dir;
  auto read = ReadConfiguration(dir / "Dravik.ini");
  ASSERT_TRUE(read) << read.message();
  EXPECT_FALSE(read->fileFound);
  const Configuration& c = read->configuration;
  EXPECT_TRUE(c.Language);
  EXPECT_EQ(c.GriX, 32);
  EXPECT_EQ(c.GriY, 16);
  EXPECT_EQ(c.GriddingColor, editor::SystemColour(11));
  EXPECT_TRUE(c.backup.AutoSavBakFun);
  EXPECT_EQ(c.backup.AutoSavBakInterval, 5);
  EXPECT_FALSE(c.backup.AutoTempBakFun);
  EXPECT_EQ(c.LastFileOpenItem, "最近文件");
  EXPECT_TRUE(c.N2);
  EXPECT_FALSE(c.N23);
  EXPECT_EQ(c.ComPort, 0);
  EXPECT_EQ(c.DownMode, 0);
}

TEST(Configuration, KeysMissingFromAnExistingFileKeepTheBuiltInValues) {
  TempDir dir;
  WriteText(dir / "Dravik.ini", "[configure]\nGriX=40\nLanguage=0\n");
  auto read = ReadConfiguration(dir / "Dravik.ini");
  ASSERT_TRUE(read) << read.message();
  EXPECT_TRUE(read->fileFound);
  const Configuration& c = read->configuration;
  EXPECT_EQ(c.GriX, 40);
  EXPECT_FALSE(c.Language);
  EXPECT_EQ(c.GriY, 16);
  // The backup values are 0 until a file or the first-start branch sets them.
  EXPECT_FALSE(c.backup.AutoSavBakFun);
  EXPECT_FALSE(c.backup.AutoTempBakFun);
  EXPECT_EQ(c.LastFileOpenItem, "");
}

TEST(Configuration, APipeOrAHugeFileInPlaceOfTheSettingsIsRefusedWithoutWaiting) {
  TempDir dir;
  ASSERT_EQ(::mkfifo((dir / "pipe.ini").c_str(), 0600), 0);
  WriteText(dir / "huge.ini", "[configure]\n");
  std::filesystem::resize_file(dir / "huge.ini", std::uintmax_t{2} << 20);
  for (const char* name : {"pipe.ini", "huge.ini"}) {
    auto read = ReadConfiguration(dir / name);
    EXPECT_FALSE(read) << name;
    // What Dravik writes at exit replaces the file with sound settings.
    ASSERT_TRUE(WriteConfiguration(dir / name, Configuration{}).ok()) << name;
    auto again = ReadConfiguration(dir / name);
    ASSERT_TRUE(again) << name << ": " << again.message();
    EXPECT_TRUE(again->fileFound);
  }
}

TEST(Configuration, RoundTripKeepsEveryValue) {
  TempDir dir;
  Configuration c;
  c.GriddingColor = 0x00123456;
  c.GriX = 8;
  c.GriY = 72;
  c.ComPort = 3;
  c.DownMode = 1;
  c.Language = false;
  c.N23 = true;
  c.N2 = false;
  c.backup = {false, 12, true};
  c.LastFileOpenItem = "&1 /home/u/工程/泵站.QX3";
  ASSERT_TRUE(WriteConfiguration(dir / "cfg" / "Dravik.ini", c));

  auto read = ReadConfiguration(dir / "cfg" / "Dravik.ini");
  ASSERT_TRUE(read) << read.message();
  const Configuration& r = read->configuration;
  EXPECT_EQ(r.GriddingColor, c.GriddingColor);
  EXPECT_EQ(r.GriX, 8);
  EXPECT_EQ(r.GriY, 72);
  EXPECT_EQ(r.ComPort, 3);
  EXPECT_EQ(r.DownMode, 1);
  EXPECT_FALSE(r.Language);
  EXPECT_TRUE(r.N23);
  EXPECT_FALSE(r.N2);
  EXPECT_FALSE(r.backup.AutoSavBakFun);
  EXPECT_EQ(r.backup.AutoSavBakInterval, 12);
  EXPECT_TRUE(r.backup.AutoTempBakFun);
  EXPECT_EQ(r.LastFileOpenItem, c.LastFileOpenItem);
}

TEST(Configuration, FlagsAreWrittenAsOneAndZeroAndColoursAsSignedIntegers) {
  TempDir dir;
  Configuration c;  // grid colour: system colour 11 (top byte 0xFF)
  c.N23 = true;
  ASSERT_TRUE(WriteConfiguration(dir / "Dravik.ini", c));
  auto ini = IniFile::Load(dir / "Dravik.ini");
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->Value("configure", "N23"), "1");
  EXPECT_EQ(ini->Value("configure", "N2"), "1");
  EXPECT_EQ(ini->Value("configure", "Language"), "1");
  EXPECT_EQ(ini->Value("configure", "AutoTempBakFun"), "0");
  EXPECT_EQ(ini->Value("configure", "GriddingColor"), "-16777205");
}

TEST(Configuration, HandEditedValuesAreHeldToTheDialogsRanges) {
  struct Case {
    const char* text;
    int griX, griY, interval;
  } cases[] = {
      {"GriX=0\nGriY=500\nAutoSavBakInterval=0", 2, 72, 1},
      {"GriX=-3\nGriY=1\nAutoSavBakInterval=1000", 2, 2, 99},
      {"GriX=abc\nGriY=\nAutoSavBakInterval=x", 32, 16, 1},
  };
  for (const Case& c : cases) {
    TempDir dir;
    WriteText(dir / "Dravik.ini", std::string("[configure]\nAutoSavBakFun=1\n") + c.text + "\n");
    auto read = ReadConfiguration(dir / "Dravik.ini");
    ASSERT_TRUE(read) << c.text;
    EXPECT_EQ(read->configuration.GriX, c.griX) << c.text;
    EXPECT_EQ(read->configuration.GriY, c.griY) << c.text;
    EXPECT_EQ(read->configuration.backup.AutoSavBakInterval, c.interval) << c.text;
  }
}

TEST(Configuration, KeysAndSectionsAreFoundWithoutRegardToCase) {
  TempDir dir;
  WriteText(dir / "Dravik.ini", "; written by hand\r\n[CONFIGURE]\r\n griy = 24 \r\nlanguage=0\r\n");
  auto read = ReadConfiguration(dir / "Dravik.ini");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->configuration.GriY, 24);
  EXPECT_FALSE(read->configuration.Language);
}

TEST(Configuration, WritingKeepsKeysItDoesNotKnow) {
  TempDir dir;
  WriteText(dir / "Dravik.ini", "[configure]\nComPortDevice1=/dev/ttyUSB3\n[other]\nx=1\n");
  ASSERT_TRUE(WriteConfiguration(dir / "Dravik.ini", Configuration{}));
  auto ini = IniFile::Load(dir / "Dravik.ini");
  ASSERT_TRUE(ini);
  EXPECT_EQ(ini->Value("configure", "ComPortDevice1"), "/dev/ttyUSB3");
  EXPECT_EQ(ini->Value("other", "x"), "1");
  EXPECT_EQ(ini->Value("configure", "GriX"), "32");
}

TEST(RecentFile, CaptionAndPath) {
  EXPECT_EQ(RecentFileCaption("/p/泵站.QX3"), "&1 /p/泵站.QX3");
  EXPECT_EQ(RecentFilePath("&1 /p/泵站.QX3"), "/p/泵站.QX3");
  EXPECT_TRUE(HasRecentFile("&1 /p/a.QX3"));
  EXPECT_FALSE(HasRecentFile("最近文件"));
  EXPECT_FALSE(HasRecentFile(""));
  // The built-in caption counts characters, not bytes.
  EXPECT_EQ(RecentFilePath("最近文件"), "件");
}

TEST(RecentFile, ExitWritesTheProjectOnlyWhenItHasARealName) {
  EXPECT_EQ(LastFileOpenItemAtExit("/p/a.QX3", "&1 /old.QX3"), "&1 /p/a.QX3");
  EXPECT_EQ(LastFileOpenItemAtExit("QXP1.QX3", "&1 /old.QX3"), "&1 /old.QX3");
  EXPECT_EQ(LastFileOpenItemAtExit("", "最近文件"), "最近文件");
}

}  // namespace
}  // namespace dravik::app
