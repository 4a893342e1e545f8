// dravik-cli new and info, including what damaged files do to info.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "cli_runner.h"
#include "model/page_record.h"
#include "model/settings_page.h"
#include "platform/zstd_codec.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

namespace fs = std::filesystem;
using platform::Bytes;
using test::RunCli;
using test::TempDir;

// Every file of a folder with its bytes, to show that a command touched nothing.
std::map<std::string, Bytes> FolderContents(const fs::path& folder) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] = test::ReadAll(entry.path());
  }
  return files;
}

TEST(CliNew, WritesAProjectThatZstdRestoresToThreeRecords) {
  TempDir dir;
  const auto project = dir / "demo.QX3";
  test::CliRun run = RunCli({"new", project.string()});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(std::filesystem::exists(project)) << "written to exactly the path given";

  if (std::system("command -v zstd >/dev/null 2>&1") != 0) GTEST_SKIP() << "no zstd program";
  const std::string command =
      "zstd -q -d -f '" + project.string() + "' -o '" + (dir / "records").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const Bytes records = test::ReadAll(dir / "records");
  ASSERT_EQ(records.size(), 3 * model::kPageRecordSize);
  const auto* pages = reinterpret_cast<const model::PageRecord*>(records.data());
  EXPECT_TRUE(model::HasFileMarkers(pages[0]));
  EXPECT_EQ(model::At(pages[0], model::settings::kLedRegister), 2100);
  EXPECT_EQ(pages[1].PageStrings[model::kPageName].View(), "Window1");
  EXPECT_EQ(pages[1].PageStrings[model::kPageInUse].View(), "Use");
}

// The example with its picture library and clock macro, as a user has it beside the new
// project they are about to make.
class CliNewOverExisting : public testing::Test {
 protected:
  void SetUp() override {
    const fs::path examples = fs::path(DRAVIK_TEST_SOURCE_DIR) / "data" / "examples";
    for (const char* extension : {".QX3", ".PIC", ".M"}) {
      fs::copy_file(examples / (std::string("茶叶整形机") + extension), file(extension));
    }
    ASSERT_NE(RunCli({"picture", "list", project()}).out, "") << "the example has pictures";
  }
  std::string file(const char* extension) const {
    return (dir / (std::string("茶叶整形机") + extension)).string();
  }
  std::string project() const { return file(".QX3"); }
  // What a project made in an empty folder holds after `macro export` made its ".M".
  Bytes FreshMacroExport() const {
    const std::string fresh = (dir / "fresh" / "f.QX3").string();
    fs::create_directory(dir / "fresh");
    EXPECT_EQ(RunCli({"new", fresh}).status, 0);
    EXPECT_EQ(RunCli({"macro", "export", fresh, (dir / "fresh" / "f.Mac").string()}).status, 0);
    return test::ReadAll(dir / "fresh" / "f.Mac");
  }
  TempDir dir;
};

TEST_F(CliNewOverExisting, IsRefusedAndTouchesNothing) {
  const auto before = FolderContents(dir.path());
  test::CliRun run = RunCli({"new", project()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(project()), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(FolderContents(dir.path()), before);
}

TEST_F(CliNewOverExisting, ForceReplacesTheProjectAndItsCompanions) {
  test::CliRun run = RunCli({"new", "--force", project()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(RunCli({"info", project()}).out.find("pages in use:   1"), std::string::npos);
  test::CliRun pictures = RunCli({"picture", "list", project()});
  EXPECT_EQ(pictures.status, 0) << pictures.err;
  EXPECT_EQ(pictures.out, "") << "the old pictures must not come with the new project";
  ASSERT_EQ(RunCli({"macro", "export", project(), (dir / "m.Mac").string()}).status, 0);
  EXPECT_EQ(test::ReadAll(dir / "m.Mac"), FreshMacroExport()) << "nor the old clock macro";
  fs::remove(dir / "m.Mac");
  fs::remove_all(dir / "fresh");
  std::vector<std::string> names;
  for (const auto& [name, bytes] : FolderContents(dir.path())) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"茶叶整形机.M", "茶叶整形机.PIC", "茶叶整形机.QX3"}))
      << "no temporary or backup file stays behind";
}

TEST(CliNew, ACompanionLeftWithoutItsProjectIsNotInherited) {
  TempDir dir;
  const fs::path examples = fs::path(DRAVIK_TEST_SOURCE_DIR) / "data" / "examples";
  fs::copy_file(examples / "茶叶整形机.PIC", dir / "p.PIC");
  const std::string project = (dir / "p.QX3").string();

  test::CliRun refused = RunCli({"new", project});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find((dir / "p.PIC").string()), std::string::npos) << refused.err;
  EXPECT_FALSE(fs::exists(project));

  ASSERT_EQ(RunCli({"new", project, "--force"}).status, 0);
  EXPECT_EQ(RunCli({"picture", "list", project}).out, "");
}

TEST(CliInfo, DescribesAProject) {
  TempDir dir;
  const auto project = (dir / "demo.QX3").string();
  ASSERT_EQ(RunCli({"new", project}).status, 0);
  test::CliRun run = RunCli({"info", project});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("VM20(320*240)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("pages in use:   1"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Window1  (0 elements)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("link 1:"), std::string::npos) << run.out;
}

TEST(CliInfo, JsonListsEveryElementWithItsPageGeometry) {
  const std::string example = (fs::path(DRAVIK_TEST_SOURCE_DIR) / "data" / "examples" / "茶叶整形机.QX3").string();
  test::CliRun run = RunCli({"info", "--json", example});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\"pagesInUse\":5,\"pages\":[{\"page\":1,"), std::string::npos) << run.out;
  // Positions as the dialogs show them: the window's 5-pixel margin taken off.
  EXPECT_NE(run.out.find("{\"slot\":1,\"kind\":10,\"kindName\":\"Date\",\"left\":8,\"top\":40,"
                         "\"width\":180,\"height\":28,\"locked\":false}"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.back(), '\n');

  TempDir dir;
  const auto empty = (dir / "empty.QX3").string();
  ASSERT_EQ(RunCli({"new", empty}).status, 0);
  EXPECT_NE(RunCli({"info", empty, "--json"}).out.find("\"name\":\"Window1\",\"elements\":[]"), std::string::npos);
}

TEST(CliUsage, WrongArgumentsExitTwo) {
  EXPECT_EQ(RunCli({}).status, 2);
  EXPECT_EQ(RunCli({"info"}).status, 2);
  EXPECT_EQ(RunCli({"info", "a", "b"}).status, 2);
  EXPECT_EQ(RunCli({"info", "--json"}).status, 2);
  EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
  EXPECT_EQ(RunCli({"--lang", "fr", "info", "x"}).status, 2);
  EXPECT_EQ(RunCli({"--help"}).status, 0);
}

TEST(CliUsage, AnUnknownOptionIsNamed) {
  TempDir dir;
  const std::string project = (dir / "p.QX3").string(), out = (dir / "x").string();
  ASSERT_EQ(RunCli({"new", project}).status, 0);
  for (const std::vector<std::string>& args : {
           std::vector<std::string>{"new", (dir / "q.QX3").string(), "--foo"},
           {"info", project, "--foo"},
           {"picture", "list", project, "--foo"},
           {"macro", "export", project, out, "--foo"},
       }) {
    test::CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_NE(run.err.find("unknown option --foo"), std::string::npos)
        << args[0] << ": " << run.err;
  }
  EXPECT_FALSE(fs::exists(dir / "q.QX3"));
}

TEST(PanelEmulator, HelpIsNoError) {
  test::CliRun help = test::RunProgram(DRAVIK_PANEL_EMU, {"--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_NE(help.out.find("usage: dravik-panel-emu"), std::string::npos) << help.out;
  EXPECT_EQ(test::RunProgram(DRAVIK_PANEL_EMU, {"--frobnicate"}).status, 2);
}

// A zstd frame written by hand: a header that claims `claimed` bytes of content, then the
// given record 0 as raw blocks and `zeroBlocks` RLE blocks of 128 KiB zeros, with no last
// block, so the frame never ends.
Bytes HostileFrame(std::uint64_t claimed, const Bytes& record0, int zeroBlocks) {
  Bytes frame{0x28, 0xB5, 0x2F, 0xFD};
  frame.push_back(0xC4);  // 8-byte content size, checksum flag, window descriptor follows
  frame.push_back(0x80);  // window 64 MiB, the most a project file may ask for
  for (int i = 0; i < 8; ++i) frame.push_back(static_cast<std::uint8_t>(claimed >> (8 * i)));
  auto blockHeader = [&](std::uint32_t type, std::uint32_t size) {
    const std::uint32_t header = (size << 3) | (type << 1);
    for (int i = 0; i < 3; ++i) frame.push_back(static_cast<std::uint8_t>(header >> (8 * i)));
  };
  constexpr std::uint32_t kBlock = 128 * 1024;
  for (std::size_t at = 0; at < record0.size(); at += kBlock) {
    const auto size =
        static_cast<std::uint32_t>(std::min<std::size_t>(kBlock, record0.size() - at));
    blockHeader(0, size);
    frame.insert(frame.end(), record0.begin() + at, record0.begin() + at + size);
  }
  for (int i = 0; i < zeroBlocks; ++i) {
    blockHeader(1, kBlock);
    frame.push_back(0);
  }
  return frame;
}

TEST(CliInfo, DamagedFilesGiveAMessageAndExitOne) {
  TempDir dir;
  const auto good = dir / "good.QX3";
  ASSERT_EQ(RunCli({"new", good.string()}).status, 0);
  const Bytes frame = test::ReadAll(good);

  Bytes record0(model::kPageRecordSize, 0);
  model::SetFileMarkers(*reinterpret_cast<model::PageRecord*>(record0.data()));
  Bytes unmarked(model::kPageRecordSize, 0);

  struct Case {
    const char* name;
    Bytes file;
    const char* message;
  };
  const Case cases[] = {
      {"not zstd", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}, "not a project file"},
      {"empty", Bytes{}, "not a project file"},
      {"truncated", Bytes(frame.begin(), frame.begin() + frame.size() / 2), "damaged"},
      {"shorter than one record", *platform::ZstdCompress(Bytes(5000, 7)), "shorter than one"},
      {"wrong markers", *platform::ZstdCompress(Bytes(3 * model::kPageRecordSize, 0)),
       "File is the wrong version ！"},
      {"claims 8 GiB, holds 2 MiB", HostileFrame(8ull << 30, record0, 16), "damaged"},
      {"claims 8 GiB without markers", HostileFrame(8ull << 30, unmarked, 16),
       "File is the wrong version ！"},
  };
  for (const Case& c : cases) {
    const auto file = dir / "bad.QX3";
    test::WriteAll(file, c.file);
    const auto start = std::chrono::steady_clock::now();
    test::CliRun run = RunCli({"info", file.string()}, 20);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(run.status, 1) << c.name << ": " << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
    RecordProperty(c.name, std::to_string(seconds.count()));
  }
}

TEST(CliInfo, AFrameThatReallyHoldsGigabytesStopsAtPage240) {
  // Valid markers followed by 4 GiB of zero pages: read as a file of more than 241
  // records, whose pages past 240 are never decoded.
  TempDir dir;
  Bytes record0(model::kPageRecordSize, 0);
  model::SetFileMarkers(*reinterpret_cast<model::PageRecord*>(record0.data()));
  test::WriteAll(dir / "big.QX3", HostileFrame(4ull << 30, record0, 32768));
  test::CliRun run = RunCli({"info", (dir / "big.QX3").string()}, 20);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("pages in use:   0"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace dravik
