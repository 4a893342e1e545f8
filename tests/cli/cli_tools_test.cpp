// dravik-cli search, stats and xref on projects made through the core.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "cli_runner.h"
#include "elements/element_kind.h"
#include "elements/placement.h"
#include "model/project_session.h"
#include "model/settings_page.h"
#include "platform/gbk.h"
#include "support/temp_dir.h"

namespace dravik {
namespace {

using test::CliRun;
using test::RunCli;

// Protocol 0 (the panel's own registers): word kinds D, R, ...; bit kinds D.b, M, ... .
// Protocol 10: bit kind 0 is X, numbered in hexadecimal. Link 2's table 1: word kinds 4X, 3X.
class CliTools : public testing::Test {
 protected:
  CliTools() { model::InitializeNewProject(*image_); }

  model::PageRecord& Page(int n, const std::string& name) {
    model::PageRecord& page = image_->Page(n);
    page.PageStrings[model::kPageInUse].Assign(model::kPageInUseMarker);
    page.PageStrings[model::kPageNumberText].Assign(std::to_string(n));
    page.PageStrings[model::kPageName].Assign(platform::Utf8ToGbk(name));
    return page;
  }
  void Place(int page, int kind, std::uint16_t address, std::uint8_t operandByte) {
    auto slot =
        elements::PlaceElement(image_->Page(page), image_->Settings(), {kind, 20, 20, 40, 20, 0});
    ASSERT_TRUE(slot.has_value());
    image_->Page(page).ElemWordA[*slot] = address;
    image_->Page(page).ElemByteB[*slot] = operandByte;
  }
  void Save(int protocol = 0) {
    model::At(image_->Settings(), model::settings::kLink1Protocol) =
        static_cast<std::uint16_t>(protocol);
    ASSERT_TRUE(model::WriteProjectFile(*image_, project()).ok());
  }
  // Page 1 "主画面": a register and a bar graph on D100, a lamp on D.b100.3, a Float
  // register on R5; page 2 "A\"B": a trend chart on D100 and a bar graph on Link 2's 3X7.
  void MakeProject() {
    Page(1, "主画面");
    Place(1, elements::kKindRegister, 100, 0x00);
    Place(1, elements::kKindBarGraph, 100, 0x00);
    Place(1, elements::kKindLamp, 100, 0x03);
    Place(1, elements::kKindRegister, 5, 0x90);
    Page(2, "A\"B");
    Place(2, elements::kKindTrendChart, 100, 0x00);
    Place(2, elements::kKindBarGraph, 7, 0x90);
    Save();
  }
  std::string project() const { return (dir_ / "p.QX3").string(); }

  test::TempDir dir_;
  std::unique_ptr<model::ProjectImage> image_ = std::make_unique<model::ProjectImage>();
};

TEST_F(CliTools, SearchFindsTheElementsOnAnAddress) {
  MakeProject();
  CliRun json = RunCli({"search", project(), "--word", "100", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"matches\":["
            "{\"page\":1,\"name\":\"主画面\",\"slot\":0,\"kind\":2,\"kindName\":\"Register\"},"
            "{\"page\":1,\"name\":\"主画面\",\"slot\":1,\"kind\":5,\"kindName\":\"Bar graph\"},"
            "{\"page\":2,\"name\":\"A\\\"B\",\"slot\":0,\"kind\":4,"
            "\"kindName\":\"Tendency chart\"}]}\n");

  CliRun text = RunCli({"--lang", "zh", "search", project(), "--bit", "100"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(text.out, "1:主画面\t指示灯\tslot 2\n寄存器查找 -> 共计: 1 条\n");

  // The Float register stays on Link 1; Link 2's word kind 1 holds only the bar graph.
  EXPECT_EQ(RunCli({"search", project(), "--word", "--device", "1", "5"}).out,
            "1:主画面\tRegister\tslot 3\nSearch Register -> Total: 1 Item\n");
  EXPECT_EQ(RunCli({"search", project(), "--word", "--link", "2", "--device", "1", "7"}).out,
            "2:A\"B\tBar graph\tslot 1\nSearch Register -> Total: 1 Item\n");
  EXPECT_EQ(RunCli({"search", project(), "--id", "100", "--json"}).out, "{\"matches\":[]}\n");
}

TEST_F(CliTools, HexadecimalBitDevicesTakeHexadecimalAddresses) {
  Page(1, "Main");
  Place(1, elements::kKindLamp, 0x7FF, 0x00);
  Save(10);
  EXPECT_EQ(RunCli({"search", project(), "--bit", "7ff"}).out,
            "1:Main\tLamp\tslot 0\nSearch Register -> Total: 1 Item\n");
  EXPECT_EQ(RunCli({"search", project(), "--bit", "7FE"}).out,
            "Search Register -> Total: 0 Item\n");
  CliRun refused = RunCli({"search", project(), "--bit", "G"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("not within X's range 0 ~ 1FFF"), std::string::npos) << refused.err;
  EXPECT_EQ(RunCli({"search", project(), "--bit", "2047"}).status, 2) << "0x2047 is above 1FFF";
}

TEST_F(CliTools, SearchUsageErrors) {
  MakeProject();
  const std::vector<std::vector<std::string>> lines = {
      {"search", project(), "100"},                           // no category
      {"search", project(), "--word", "--bit", "100"},        // two categories
      {"search", project(), "--word"},                        // no address
      {"search", project(), "--word", "--link", "3", "1"},    // no such link
      {"search", project(), "--word", "--device", "8", "1"},  // beyond an element's kinds
      {"search", project(), "--word", "--link", "2", "--device", "7", "1"},  // not on Link 2
      {"search", project(), "--word", "65001"},                              // above D's maximum
      {"search", project(), "--word", "-5"},
  };
  for (const auto& line : lines) {
    SCOPED_TRACE(line.back());
    CliRun run = RunCli(line);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("usage: dravik-cli search"), std::string::npos) << run.err;
  }
  CliRun chinese =
      RunCli({"--lang", "zh", "search", project(), "--word", "--link", "2", "--device", "7", "1"});
  EXPECT_NE(chinese.err.find("连接2 没有设备 7"), std::string::npos) << chinese.err;
  EXPECT_EQ(RunCli({"search", (dir_ / "none.QX3").string(), "--word", "1"}).status, 1);
}

TEST_F(CliTools, StatsCountsTheNamedKindsPerUsedPage) {
  MakeProject();
  CliRun json = RunCli({"stats", project(), "--page", "2", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"pages\":[{\"page\":2,\"name\":\"A\\\"B\",\"counts\":{\"1\":0,\"2\":0,\"3\":0,"
            "\"4\":1,\"5\":1,\"6\":0,\"7\":0,\"8\":0,\"9\":0,\"10\":0,\"11\":0,\"20\":0,\"25\":0,"
            "\"26\":0,\"27\":0,\"34\":0},\"sum\":2}]}\n");

  CliRun all = RunCli({"stats", project()});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out.find("1:主画面\nText\t0\nRegister\t2\nLamp\t1\n"), 0u) << all.out;
  EXPECT_NE(all.out.find("\nSum:\t4\n\n2:A\"B\n"), std::string::npos) << all.out;

  EXPECT_EQ(RunCli({"stats", project(), "--page", "3"}).status, 1) << "page 3 is not in use";
  EXPECT_EQ(RunCli({"stats", project(), "--page", "0"}).status, 2);
  EXPECT_EQ(RunCli({"stats", project(), "--page", "241"}).status, 2);
}

TEST_F(CliTools, XrefListsEveryAddressSorted) {
  MakeProject();
  CliRun json = RunCli({"xref", project(), "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const std::string d100 = R"({"link":1,"device":"D","address":100,"bit":null,)";
  EXPECT_EQ(json.out,
            "{\"refs\":[" + d100 + R"("page":1,"slot":0,"kind":2},)" + d100 +
                R"("page":1,"slot":1,"kind":5},)" + d100 + R"("page":2,"slot":0,"kind":4},)" +
                R"({"link":1,"device":"R","address":5,"bit":null,"page":1,"slot":3,"kind":2},)" +
                R"({"link":1,"device":"D.b","address":100,"bit":3,"page":1,"slot":2,"kind":3},)" +
                R"({"link":2,"device":"3X","address":7,"bit":null,"page":2,"slot":1,"kind":5}]})" +
                "\n");

  CliRun csv = RunCli({"xref", project(), "--csv"});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(csv.out,
            "link,device,address,bit,page,slot,kind\n1,D,100,,1,0,2\n1,D,100,,1,1,5\n"
            "1,D,100,,2,0,4\n1,R,5,,1,3,2\n1,D.b,100,3,1,2,3\n2,3X,7,,2,1,5\n");

  CliRun text = RunCli({"xref", project()});
  EXPECT_NE(text.out.find("Link 1\tD.b100.3\t1:主画面\tslot 2\tLamp\n"), std::string::npos)
      << text.out;
  EXPECT_EQ(RunCli({"xref", project(), "--json", "--csv"}).status, 2);
}

}  // namespace
}  // namespace dravik
