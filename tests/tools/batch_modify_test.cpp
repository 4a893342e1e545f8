#include "tools/batch_modify.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "elements/element_kind.h"
#include "tools_project.h"

namespace dravik::tools {
namespace {

using namespace elements;

class BatchModifyTest : public testing::Test {
 protected:
  BatchModifyTest() {
    p.UsePage(1, "一");
    p.UsePage(2, "二");
  }

  // An element of `kind` on page `n` with its format and flag words set.
  int Element(int n, int kind, std::uint16_t format = 0, std::uint16_t flags = 0) {
    const int slot = p.Place(n, kind);
    p.image->Page(n).ElemWordC[static_cast<std::size_t>(slot)] = format;
    p.image->Page(n).ElemWordD[static_cast<std::size_t>(slot)] = flags;
    return slot;
  }

  static BatchOptions Options(BatchMode mode, std::initializer_list<BatchAttribute> checked) {
    BatchOptions options;
    options.mode = mode;
    for (BatchAttribute a : checked) options.use[a] = true;
    options.firstPage = 1;
    options.lastPage = 240;
    return options;
  }

  model::PageRecord& Page(int n) { return p.image->Page(n); }

  ToolsProject p;
};

TEST_F(BatchModifyTest, EachAttributeWritesItsOwnBitsOnly) {
  struct Case {
    const char* name;
    BatchMode mode;
    int kind;
    BatchAttribute attribute;
    int value;
    std::uint16_t formatBefore, flagsBefore, formatAfter, flagsAfter;
  };
  const Case cases[] = {
      {"register frame 3-D", BatchMode::kRegister, kKindRegister, kBatchFrame, 2, 0x0123, 0, 0x2123,
       0},
      {"register font", BatchMode::kRegister, kKindRegister, kBatchFont, 2, 0x1F23, 0, 0x1223, 0},
      {"register alignment", BatchMode::kRegister, kKindRegister, kBatchAlignment, 1, 0x12F3, 0,
       0x1213, 0},
      {"register level", BatchMode::kRegister, kKindRegister, kBatchLevel, 5, 0x123F, 0, 0x1235, 0},
      {"text transparency sets the whole word", BatchMode::kText, kKindText, kBatchTransparent, 1,
       0, 0x0F0, 0, 0x001},
      {"register transparency sets bit 0", BatchMode::kRegister, kKindRegister, kBatchTransparent,
       1, 0, 0x0F0, 0, 0x0F1},
      {"dynamic text password on", BatchMode::kDynamicText, kKindDynamicText, kBatchPassword, 1, 0,
       0x0F1, 0, 0x0F3},
      {"dynamic text password off", BatchMode::kDynamicText, kKindDynamicText, kBatchPassword, 0, 0,
       0x0F3, 0, 0x0F1},
      // Texts are not offered frames: a checked box the mode hides writes nothing.
      {"text ignores a frame", BatchMode::kText, kKindText, kBatchFrame, 2, 0x0123, 0, 0x0123, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int slot = Element(1, c.kind, c.formatBefore, c.flagsBefore);
    BatchOptions options = Options(c.mode, {c.attribute, kBatchBack});
    options.frame = options.font = options.alignment = options.level = c.value;
    options.transparent = options.password = c.value;
    RunBatchModify(*p.image, options);
    EXPECT_EQ(Page(1).ElemWordC[static_cast<std::size_t>(slot)], c.formatAfter);
    EXPECT_EQ(Page(1).ElemWordD[static_cast<std::size_t>(slot)], c.flagsAfter);
    Page(1).ElemKind[static_cast<std::size_t>(slot)] = 0;
  }
}

TEST_F(BatchModifyTest, ColoursAndSizesGoToTheModesFields) {
  const int text = Element(1, kKindText);
  const int rectangle = Element(2, kKindRectangle);
  const int ascii = Element(1, kKindAsciiChinese);
  const std::int32_t asciiBack = Page(1).ElemLongA[static_cast<std::size_t>(ascii)];

  BatchOptions options =
      Options(BatchMode::kText, {kBatchBack, kBatchFront, kBatchWidth, kBatchHeight});
  options.backColour = 0x0000FF;
  options.frontColour = 0xFF0000;
  options.width = 50;
  options.height = 9;
  RunBatchModify(*p.image, options);
  const auto t = static_cast<std::size_t>(text);
  EXPECT_EQ(Page(1).ElemLongA[t], 0x0000FF);
  EXPECT_EQ(Page(1).ElemLongB[t], 0xFF0000);
  EXPECT_EQ(Page(1).ElemWidth[t], 100);
  EXPECT_EQ(Page(1).ElemHeight[t], 18);
  // ASCII-Chinese is another kind.
  EXPECT_EQ(Page(1).ElemLongA[static_cast<std::size_t>(ascii)], asciiBack);

  // A rectangle's edge ("边线:") is ElemLongB and its fill ("填充:") ElemLongA.
  options.mode = BatchMode::kRectangle;
  RunBatchModify(*p.image, options);
  const auto r = static_cast<std::size_t>(rectangle);
  EXPECT_EQ(Page(2).ElemLongB[r], 0x0000FF);
  EXPECT_EQ(Page(2).ElemLongA[r], 0xFF0000);
}

TEST_F(BatchModifyTest, ThePagesModeSetsTheBackgroundOfUsedPagesInTheRange) {
  p.UsePage(5, "五");
  p.image->Page(3).PageStrings[model::kPageBackColorText] = "7";  // page 3 is not in use
  BatchOptions options = Options(BatchMode::kPages, {kBatchBack});
  options.backColour = 255;
  options.firstPage = 2;
  options.lastPage = 4;
  const BatchUndo undo = RunBatchModify(*p.image, options);
  EXPECT_NE(Page(1).PageStrings[model::kPageBackColorText].View(), "255");
  EXPECT_EQ(Page(2).PageStrings[model::kPageBackColorText].View(), "255");
  EXPECT_EQ(Page(3).PageStrings[model::kPageBackColorText].View(), "7");
  EXPECT_NE(Page(5).PageStrings[model::kPageBackColorText].View(), "255");
  EXPECT_EQ(undo.Pages(), std::vector<int>{2});
}

TEST_F(BatchModifyTest, CheckRefusesNoAttributeFirstThenAnEndBeforeTheStart) {
  BatchOptions options = Options(BatchMode::kPages, {});
  options.firstPage = 10;
  options.lastPage = 5;
  ASSERT_TRUE(CheckBatch(options));
  EXPECT_EQ(CheckBatch(options)->message.chinese, "没有选择修改属性 ！");
  // A box the mode does not offer counts as none.
  options.use[kBatchWidth] = true;
  EXPECT_EQ(CheckBatch(options)->message, kNoBatchAttributeMessage);

  options.use[kBatchBack] = true;
  ASSERT_TRUE(CheckBatch(options));
  EXPECT_EQ(CheckBatch(options)->message.english,
            "The end of the screen number must be greater than the start screen number!");
  EXPECT_TRUE(CheckBatch(options)->focusFirstPage);
  // Refused options write nothing.
  EXPECT_TRUE(RunBatchModify(*p.image, options).Empty());

  options.lastPage = 10;
  EXPECT_FALSE(CheckBatch(options));
}

TEST_F(BatchModifyTest, CountTakesUsedPagesInTheRangeThatHoldTheKind) {
  Element(1, kKindRegister);
  Element(1, kKindRegister);
  Element(2, kKindText);
  p.Place(3, kKindRegister);  // not in use
  EXPECT_EQ(CountBatchChanges(*p.image, Options(BatchMode::kRegister, {})), (BatchCount{1, 2}));
  EXPECT_EQ(CountBatchChanges(*p.image, Options(BatchMode::kPages, {})), (BatchCount{2, 0}));
  BatchOptions reversed = Options(BatchMode::kRegister, {});
  reversed.firstPage = 2;
  reversed.lastPage = 1;
  EXPECT_EQ(CountBatchChanges(*p.image, reversed), (BatchCount{0, 0}));
}

TEST(BatchConfirmation, ListsTheModeTheAttributesAndTheCountInBothLanguages) {
  const Bilingual text =
      BatchConfirmation(BatchMode::kRegister, "寄存器", {"边框:", "字体:"}, {3, 12});
  EXPECT_EQ(text.chinese,
            "您选择结果为:\r\r修改项目 = 【寄存器】\r\r修改属性 = 【边框:】\r\r           【字体:】"
            "\r\r修改数量 = 【3 个画面, 12 个元素】\r\r批量修改后不能被恢复，是否修改 ？");
  EXPECT_EQ(text.english,
            "You choose the results:\r\rModify project = 【寄存器】\r\rModify the properties = "
            "【边框:】\r\r           【字体:】\r\rAmount of changes = 【12 elements on 3 pages】"
            "\r\rBatch changes cannot be recovered, whether to modify?");
  EXPECT_NE(
      BatchConfirmation(BatchMode::kPages, "Page", {"Back:"}, {4, 0}).english.find("【4 pages】"),
      std::string::npos);
}

TEST_F(BatchModifyTest, UndoPutsTheTouchedPagesBackOnce) {
  Element(1, kKindRegister, 0x0123);
  auto before = std::make_unique<model::PageRecord>(Page(1));
  BatchOptions options = Options(BatchMode::kRegister, {kBatchFrame, kBatchWidth});
  options.frame = 2;
  BatchUndo undo = RunBatchModify(*p.image, options);
  ASSERT_EQ(undo.Pages(), std::vector<int>{1});
  EXPECT_NE(std::memcmp(&Page(1), before.get(), sizeof(model::PageRecord)), 0);

  EXPECT_TRUE(undo.Restore(*p.image));
  EXPECT_EQ(std::memcmp(&Page(1), before.get(), sizeof(model::PageRecord)), 0);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(BatchModifyTest, UndoIsRefusedWhenAPageWasEditedSince) {
  const int slot = Element(1, kKindRegister, 0x0123);
  BatchOptions options = Options(BatchMode::kRegister, {kBatchFrame});
  options.frame = 2;
  BatchUndo undo = RunBatchModify(*p.image, options);
  Page(1).ElemLeft[static_cast<std::size_t>(slot)] = 99;  // a later edit

  const Status restored = undo.Restore(*p.image);
  ASSERT_FALSE(restored);
  EXPECT_EQ(restored.error().Text(), kBatchUndoChangedMessage);
  EXPECT_EQ(Page(1).ElemLeft[static_cast<std::size_t>(slot)], 99);
  EXPECT_EQ(Page(1).ElemWordC[static_cast<std::size_t>(slot)], 0x2123);
  EXPECT_TRUE(undo.Empty());
}

}  // namespace
}  // namespace dravik::tools
