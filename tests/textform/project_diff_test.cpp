#include "textform/project_diff.h"

#include <gtest/gtest.h>

#include <functional>

#include "model/settings_page.h"
#include "rich_project.h"

namespace dravik::textform {
namespace {

using Change = Difference::Change;
using fixture::RichProject;
using fixture::SlotOf;

struct Pair {
  const char* what;
  std::function<void(ProjectContent&)> change;
  std::vector<std::string> lines;  // DifferencesAsText, line by line
};

const std::vector<Pair>& Pairs() {
  static const std::vector<Pair> pairs{
      {"nothing", [](ProjectContent&) {}, {}},
      {"one field",
       [](ProjectContent& p) { p.image.Page(1).ElemLongC[SlotOf(p.image.Page(1), elements::kKindRegister)] = 4321; },
       {"page 1 slot 3 Register fields upperLimit: 65535 → 4321"}},
      {"a colour",
       [](ProjectContent& p) { p.image.Page(1).ElemLongB[SlotOf(p.image.Page(1), elements::kKindLine)] = 0x0000FF; },
       {"page 1 slot 33 Line fields colour: \"#C00000\" → \"#FF0000\""}},
      {"an element moved to a free slot",
       [](ProjectContent& p) {
         model::PageRecord& page = p.image.Page(1);
         const int from = SlotOf(page, elements::kKindLamp);
         model::CopyElement(page, from, page, 120);
         page.ElemKind[from] = 0;
       },
       {"page 1 slot 5 Lamp: moved to slot 120"}},
      {"an element removed and one added",
       [](ProjectContent& p) {
         model::PageRecord& page = p.image.Page(1);
         page.ElemKind[SlotOf(page, elements::kKindLamp)] = 0;
         page.ElemKind[121] = elements::kKindRectangle;
       },
       {"page 1 slot 5 Lamp: removed \"Lamp\"", "page 1 slot 121 Rectangle: added \"Rectangle\""}},
      {"pages added and removed",
       [](ProjectContent& p) {
         p.image.Page(2).PageStrings[model::kPageInUse].ClearLength();
         p.image.Page(9).PageStrings[model::kPageInUse] = model::kPageInUseMarker;
         p.image.Page(9).PageStrings[model::kPageName] = "New";
       },
       {"page 2: removed \"Mixed\"", "page 9: added \"New\""}},
      {"page name and key jump",
       [](ProjectContent& p) {
         p.image.Page(1).PageStrings[model::kPageName] = "Renamed";
         p.image.Page(1).PageStrings[model::kPageKeyJumpFirst] = "2";
       },
       {"page 1 name: \"All kinds\" → \"Renamed\"", "page 1 keyJumps[0]: \"\" → \"2\""}},
      {"a setting and an alarm text",
       [](ProjectContent& p) {
         model::At(p.image.Settings(), model::settings::kInitialPage) = 2;
         p.image.Settings().ElemTextB[model::settings::kAlarmTextFirst + 1] = "Door shut";
       },
       {"settings initialPage: 1 → 2", "settings alarmTexts[1]: [\"\",\"Door open\"] → [\"\",\"Door shut\"]"}},
      {"a macro row",
       [](ProjectContent& p) { p.macro[1].A2v = 8; },
       {"macro row 2: \"D100 = 7 + 0\" → \"D100 = 8 + 0\"", "macro row 2 a2: [0,7] → [0,8]"}},
      {"a picture",
       [](ProjectContent& p) { p.pictures[1].pic = fixture::SmallBmp(201); },
       {"picture 5 sha256: "}},
  };
  return pairs;
}

TEST(ProjectDiffTest, PreparedPairsShowWhatChanged) {
  for (const Pair& pair : Pairs()) {
    auto before = RichProject();
    auto after = RichProject();
    pair.change(*after);
    const std::vector<Difference> differences = DiffProjects(*before, *after);
    const std::string text = DifferencesAsText(differences);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find('\n', start);
      lines.push_back(text.substr(start, end - start));
      start = end + 1;
    }
    ASSERT_EQ(lines.size(), pair.lines.size()) << pair.what << ":\n" << text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(lines[i].substr(0, pair.lines[i].size()), pair.lines[i]) << pair.what;
    }
    // The documents' diff sees what the projects' diff sees.
    EXPECT_EQ(DifferencesAsText(DiffDocuments(ProjectToDocument(*before), ProjectToDocument(*after))), text)
        << pair.what;
  }
}

TEST(ProjectDiffTest, JsonFormSaysWhetherEqualAndListsEachChange) {
  auto before = RichProject();
  auto after = RichProject();
  EXPECT_EQ(DifferencesAsJson(DiffProjects(*before, *after)), "{\n  \"equal\": true,\n  \"differences\": []\n}\n");
  model::At(after->image.Settings(), model::settings::kInitialPage) = 2;
  const std::string json = DifferencesAsJson(DiffProjects(*before, *after));
  EXPECT_NE(json.find("\"equal\": false"), std::string::npos) << json;
  EXPECT_NE(json.find("{\"where\": \"settings initialPage\", \"change\": \"changed\", \"before\": 1, \"after\": 2}"),
            std::string::npos)
      << json;
  EXPECT_TRUE(ParseJson(json).ok());
}

}  // namespace
}  // namespace dravik::textform
