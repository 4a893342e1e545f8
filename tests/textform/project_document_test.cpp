#include "textform/project_document.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "compiler/compile_to_image.h"
#include "elements/slot_fields.h"
#include "model/settings_page.h"
#include "platform/gbk.h"
#include "rich_project.h"
#include "support/temp_dir.h"
#include "textform/digest.h"

namespace dravik::textform {
namespace {

using fixture::RichProject;
using fixture::SlotOf;

std::string TextOf(const ProjectContent& project) {
  return WriteJson(ProjectToDocument(project));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every slot entry of every used slot, and the page strings, as values.
void ExpectSameRecord(const model::PageRecord& a, const model::PageRecord& b, bool settings) {
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    if (!settings && a.ElemKind[slot] == 0) {
      EXPECT_EQ(b.ElemKind[slot], 0) << "slot " << slot;
      continue;
    }
    if (!(settings && slot == model::settings::kFileMarkerKind.index)) {
      EXPECT_EQ(a.ElemKind[slot], b.ElemKind[slot]) << "slot " << slot;
    }
    for (int f = 0; f < elements::kSlotFieldCount; ++f) {
      const auto field = static_cast<elements::SlotField>(f);
      if (settings && field == elements::SlotField::WordA && slot == model::settings::kFileMarkerWord.index)
        continue;
      EXPECT_EQ(elements::NumberAt(a, field, slot), elements::NumberAt(b, field, slot))
          << elements::ArrayName(field) << "[" << slot << "]";
      EXPECT_EQ(elements::TextAt(a, field, slot), elements::TextAt(b, field, slot))
          << elements::ArrayName(field) << "[" << slot << "]";
    }
  }
  for (int i = 0; i < model::kPageStringCount; ++i) {
    EXPECT_EQ(a.PageStrings[i].View(), b.PageStrings[i].View()) << "PageStrings[" << i << "]";
  }
}

TEST(ProjectDocumentTest, RoundTripKeepsEveryValueAndTheText) {
  auto original = RichProject();
  const std::string text = TextOf(*original);
  auto back = std::make_unique<ProjectContent>();
  const Status read = ReadDocument(text, *back);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(TextOf(*back), text);

  ExpectSameRecord(original->image.Settings(), back->image.Settings(), true);
  for (int n = 1; n <= model::kMaxPage; ++n) {
    ASSERT_EQ(original->image.IsPageUsed(n), back->image.IsPageUsed(n)) << "page " << n;
    if (original->image.IsPageUsed(n)) ExpectSameRecord(original->image.Page(n), back->image.Page(n), false);
  }
  const int dynamic = SlotOf(original->image.Page(2), elements::kKindDynamicText);
  for (int language = 0; language < 2; ++language) {
    for (int state = 0; state < model::StatesPerLanguage(dynamic); ++state) {
      const int entry = *model::TextEntry(dynamic, language, state);
      EXPECT_EQ(original->image.Page(2).DynTextStates[entry].View(), back->image.Page(2).DynTextStates[entry].View());
    }
  }
  for (int row = 0; row < macro::kMacroRowCount; ++row) {
    EXPECT_EQ(macro::ToBytes(original->macro[row]), macro::ToBytes(back->macro[row])) << "row " << row;
  }
  ASSERT_EQ(back->pictures.size(), 2u);
  EXPECT_EQ(back->pictures[1].pic, original->pictures[1].pic);
  EXPECT_EQ(back->pictures[1].note, "five");
  EXPECT_EQ(back->pictures[1].fileName, "五.bmp");
}

TEST(ProjectDocumentTest, TextsAreUnicodeAndUndecodableBytesKeepTheirExactForm) {
  const std::string text = TextOf(*RichProject());
  EXPECT_NE(text.find("\"superPassword\": \"密码\""), std::string::npos);
  EXPECT_NE(text.find("[\"温度过高\", \"Too hot\"]"), std::string::npos);
  EXPECT_NE(text.find("\"keypadCaptionOne\": "), std::string::npos);
  EXPECT_NE(text.find("{\"gbk\": \"c4e3ba\"}"), std::string::npos);
  EXPECT_NE(text.find("\"ElemLongC[70]\": 1234"), std::string::npos);
  EXPECT_NE(text.find("\"backColour\": \"#"), std::string::npos);
}

TEST(ProjectDocumentTest, TheStreamedTextIsTheDocumentsTextAndStable) {
  auto project = RichProject();
  std::string streamed;
  int chunks = 0;
  const Status written = WriteDocument(*project, {}, [&](std::string_view chunk) {
    streamed += chunk;
    ++chunks;
    return true;
  });
  ASSERT_TRUE(written.ok());
  EXPECT_GT(chunks, 2);
  EXPECT_EQ(streamed, TextOf(*project));
  EXPECT_EQ(TextOf(*project), TextOf(*project));
}

TEST(ProjectDocumentTest, OneFieldChangeChangesThatFieldsLineOnly) {
  auto project = RichProject();
  const std::vector<std::string> before = Lines(TextOf(*project));
  const int slot = SlotOf(project->image.Page(1), elements::kKindRegister);
  project->image.Page(1).ElemLongC[slot] = 4321;
  const std::vector<std::string> after = Lines(TextOf(*project));
  ASSERT_EQ(before.size(), after.size());
  std::vector<std::string> changed;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (before[i] != after[i]) changed.push_back(after[i]);
  }
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_EQ(changed[0], "            \"upperLimit\": 4321,");
}

TEST(ProjectDocumentTest, FreeSlotsAndWhatTheyStillHoldAreLeftOut) {
  auto project = RichProject();
  const std::string text = TextOf(*project);
  model::PageRecord& page = project->image.Page(1);
  page.ElemTextA[199] = "stale";
  page.ElemLongC[199] = 77;
  page.DynTextStates[*model::TextEntry(199, 0, 0)] = "stale state";
  EXPECT_EQ(TextOf(*project), text);
}

// The device image of a project written from its text form is the original's.
TEST(ProjectDocumentTest, TheImportedProjectCompilesToTheSameImage) {
  test::TempDir dir;
  auto original = RichProject();
  const auto originalFile = dir / "A.QX3";
  ASSERT_TRUE(WriteProjectContent(*original, originalFile, false).ok());
  auto reread = std::make_unique<ProjectContent>();
  ASSERT_TRUE(ReadProjectContent(originalFile, *reread, false).ok());
  const std::string text = TextOf(*reread);
  EXPECT_EQ(text, TextOf(*original));

  auto imported = std::make_unique<ProjectContent>();
  ASSERT_TRUE(ReadDocument(text, *imported).ok());
  const auto importedFile = dir / "B.QX3";
  ASSERT_TRUE(WriteProjectContent(*imported, importedFile, false).ok());

  auto first = std::make_unique<ProjectContent>(), second = std::make_unique<ProjectContent>();
  ASSERT_TRUE(ReadProjectContent(originalFile, *first, false).ok());
  ASSERT_TRUE(ReadProjectContent(importedFile, *second, false).ok());
  const compiler::CompileResult a = compiler::CompileToImage(first->image, compiler::CompanionFiles::Beside(originalFile));
  const compiler::CompileResult b = compiler::CompileToImage(second->image, compiler::CompanionFiles::Beside(importedFile));
  ASSERT_TRUE(a.ok);
  ASSERT_TRUE(b.ok);
  EXPECT_EQ(a.image, b.image);
  EXPECT_EQ(TextOf(*second), text);
}

// ----------------------------------------------------------------- refusals

JsonValue& At(JsonValue& value, std::initializer_list<std::string_view> steps) {
  // A step is a key, an index, or "kind:N" for the first element of that kind.
  JsonValue* at = &value;
  for (std::string_view step : steps) {
    JsonValue* next = nullptr;
    if (step.substr(0, 5) == "kind:") {
      const int kind = std::stoi(std::string(step.substr(5)));
      for (JsonValue& item : at->items) {
        if (next == nullptr && item.Find("kind")->number == kind) next = &item;
      }
    } else if (!step.empty() && step[0] >= '0' && step[0] <= '9') {
      next = &at->items.at(static_cast<std::size_t>(std::stoi(std::string(step))));
    } else {
      for (JsonMember& member : at->members) {
        if (member.key == step) next = &member.value;
      }
    }
    if (next == nullptr) throw std::runtime_error("no " + std::string(step) + " in the document");
    at = next;
  }
  return *at;
}

struct Refusal {
  const char* what;
  void (*spoil)(JsonValue& document);
  const char* path;
};

const Refusal kRefusals[] = {
    {"unknown kind", [](JsonValue& d) { At(d, {"pages", "0", "elements", "0", "kind"}).number = 30; },
     "$.pages[0].elements[0].kind: unknown element kind 30"},
    {"byte out of range", [](JsonValue& d) { At(d, {"pages", "0", "elements", "0", "fields", "moveLock"}).number = 256; },
     "$.pages[0].elements[0].fields.moveLock: out of range 0..255"},
    {"word below zero", [](JsonValue& d) { At(d, {"pages", "0", "elements", "kind:2", "fields", "registerNumber"}).number = -1; },
     ".fields.registerNumber: out of range 0..65535"},
    {"long too large", [](JsonValue& d) { At(d, {"pages", "0", "elements", "kind:2", "fields", "upperLimit"}).number = 1LL << 31; },
     ".fields.upperLimit: out of range -2147483648..2147483647"},
    {"text too long", [](JsonValue& d) { At(d, {"pages", "0", "elements", "0", "fields", "languageOneText"}).text = std::string(17 * 3, 'x'); },
     "$.pages[0].elements[0].fields.languageOneText: text too long for its GBK limit (51 / 50"},
    {"Chinese text too long", [](JsonValue& d) {
       std::string text;
       for (int i = 0; i < 11; ++i) text += "温";
       At(d, {"pages", "0", "elements", "0", "fields", "ElemNameA"}) = JsonValue::String(text);
     }, "$.pages[0].elements[0].fields.ElemNameA: text too long for its GBK limit (22 / 20"},
    {"character GBK lacks", [](JsonValue& d) { At(d, {"pages", "0", "name"}).text = "\xF0\x9F\x98\x80"; },
     "$.pages[0].name: holds characters GBK cannot store"},
    {"number as text", [](JsonValue& d) { At(d, {"settings", "initialPage"}) = JsonValue::String("1"); },
     "$.settings.initialPage: must be a whole number"},
    {"bad colour", [](JsonValue& d) { At(d, {"settings", "focusColour"}).text = "#12345"; },
     "$.settings.focusColour: a colour must be written #RRGGBB"},
    {"unknown field", [](JsonValue& d) { At(d, {"pages", "0", "elements", "0", "fields"}).Add("upperLimit", JsonValue::Number(1)); },
     "$.pages[0].elements[0].fields.upperLimit: no such field for this kind"},
    {"field twice", [](JsonValue& d) { At(d, {"pages", "0", "elements", "0", "fields"}).Add("ElemTextA", JsonValue::String("")); },
     "$.pages[0].elements[0].fields.ElemTextA: the field appears twice"},
    {"duplicate slot", [](JsonValue& d) {
       JsonValue& list = At(d, {"pages", "0", "elements"});
       list.items.push_back(list.items[3]);
     }, "$.pages[0].elements[36].slot: slot 3 is used twice"},
    {"duplicate page", [](JsonValue& d) {
       JsonValue& pages = At(d, {"pages"});
       pages.items.push_back(pages.items[0]);
     }, "$.pages[2].page: page 1 appears twice"},
    {"page out of range", [](JsonValue& d) { At(d, {"pages", "1", "page"}).number = 241; },
     "$.pages[1].page: out of range 1..240"},
    {"states without a table", [](JsonValue& d) {
       JsonValue states = JsonValue::Object();
       states.Add("one", JsonValue::Array());
       At(d, {"pages", "0", "elements", "0"}).Add("states", states);
     }, "$.pages[0].elements[0].states: this slot has no state texts"},
    {"picture that does not decode", [](JsonValue& d) {
       JsonValue& picture = At(d, {"pictures", "0"});
       const std::vector<std::uint8_t> junk{'B', 'M', 1, 2, 3};
       At(picture, {"bytes"}).text = Base64Encode(junk);
       At(picture, {"sha256"}).text = Sha256Hex(junk);
     }, "$.pictures[0].bytes: the picture does not decode"},
    {"digest that does not match", [](JsonValue& d) { At(d, {"pictures", "1", "sha256"}).text = std::string(64, '0'); },
     "$.pictures[1].sha256: does not match the picture's bytes"},
    {"not Base64", [](JsonValue& d) { At(d, {"pictures", "1", "bytes"}).text = "@@@"; },
     "$.pictures[1].bytes: is not Base64"},
    {"duplicate picture", [](JsonValue& d) { At(d, {"pictures", "1", "id"}).number = 0; },
     "$.pictures[1].id: picture ID 0 appears twice"},
    {"macro operand out of range", [](JsonValue& d) { At(d, {"macro", "1", "a1"}).items[1].number = 65536; },
     "$.macro[1].a1[1]: out of range 0..65535"},
    {"unknown top-level key", [](JsonValue& d) { d.Add("extra", JsonValue::Number(1)); }, "$.extra: unknown key"},
    {"other format", [](JsonValue& d) { At(d, {"format"}).text = "something"; }, "$.format: must be \"dravik-project\""},
};

TEST(ProjectDocumentTest, ImportRefusesBadValuesNamingTheirJsonPath) {
  const JsonValue good = ProjectToDocument(*RichProject());
  for (const Refusal& refusal : kRefusals) {
    JsonValue document = good;
    refusal.spoil(document);
    auto project = std::make_unique<ProjectContent>();
    const Status streamed = ReadDocument(WriteJson(document), *project);
    ASSERT_FALSE(streamed.ok()) << refusal.what;
    EXPECT_NE(streamed.message().find(refusal.path), std::string::npos)
        << refusal.what << ": " << streamed.message();
    auto fromTree = std::make_unique<ProjectContent>();
    const Status tree = DocumentToProject(document, *fromTree);
    ASSERT_FALSE(tree.ok()) << refusal.what;
    EXPECT_EQ(tree.message(), streamed.message()) << refusal.what;
  }
}

TEST(ProjectDocumentTest, AHandWrittenDocumentMayLeaveOutFieldsAndUseNumbersForColours) {
  const std::string text = R"({"format": "dravik-project", "version": 1,
    "pages": [{"page": 3, "name": "画面", "elements": [
      {"slot": 4, "kind": 20, "fields": {"left": 10, "colour": "#FF0000", "secondColour": 255}}]}]})";
  auto project = std::make_unique<ProjectContent>();
  const Status read = ReadDocument(text, *project);
  ASSERT_TRUE(read.ok()) << read.message();
  const model::PageRecord& page = project->image.Page(3);
  EXPECT_TRUE(project->image.IsPageUsed(3));
  EXPECT_EQ(page.PageStrings[model::kPageName].View(), platform::Utf8ToGbk("画面"));
  EXPECT_EQ(page.ElemKind[4], 20);
  EXPECT_EQ(page.ElemLeft[4], 10);
  EXPECT_EQ(page.ElemLongB[4], 0x0000FF);  // red is the low byte
  EXPECT_EQ(page.ElemLongA[4], 255);
}

TEST(ProjectDocumentTest, AMalformedDocumentNamesItsLine) {
  auto project = std::make_unique<ProjectContent>();
  const Status read = ReadDocument("{\n  \"format\": \"dravik-project\",\n  \"pages\": [1.5]\n}", *project);
  ASSERT_FALSE(read.ok());
  EXPECT_NE(read.message().find("line 3:"), std::string::npos) << read.message();
  EXPECT_NE(read.message().find("whole numbers"), std::string::npos) << read.message();
}

}  // namespace
}  // namespace dravik::textform
