// Every kind the system knows, walked through its description, the compiler and the
// renderers: a kind added in one place and forgotten in another shows up here.

#include "elements/element_kinds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "compiler/element_encoders.h"
#include "compiler/image_writer.h"
#include "editor/render/element_renderers.h"
#include "editor_test_support.h"
#include "elements/ghost_size_table.h"
#include "elements/kind_name_table.h"
#include "elements/placement.h"
#include "model/project_image.h"
#include "model/project_session.h"
#include "model/settings_page.h"

namespace dravik::elements {
namespace {

// What each kind is expected to be. The names are the sixteen kinds the commands place;
// the panel has records for those alone; the editor draws them and the relatives that old
// pages may hold.
struct KindCase {
  int code;
  bool named;
  bool inImage;
  bool drawn;
};
// clang-format off
constexpr KindCase kCases[] = {
    // code                    named  image  drawn
    {kKindText,                true,  true,  true},
    {kKindRegister,            true,  true,  true},
    {kKindLamp,                true,  true,  true},
    {kKindTrendChart,          true,  true,  true},
    {kKindBarGraph,            true,  true,  true},
    {kKindPicture,             true,  true,  true},
    {kKindDynamicText,         true,  true,  true},
    {kKindFunctionKey,         true,  true,  true},
    {kKindAsciiChinese,        true,  true,  true},
    {kKindDate,                true,  true,  true},
    {kKindTime,                true,  true,  true},
    {kKindTextListA,           false, false, false},
    {kKindTextListB,           false, false, false},
    {kKindTextListC,           false, false, false},
    {kKindWideTextList,        false, false, false},
    {kKindSmallRegister,       false, false, true},
    {kKindBitButton,           false, false, false},
    {kKindWordField,           false, false, false},
    {kKindStationText,         false, false, true},
    {kKindRectangle,           true,  true,  true},
    {kKindRectangleVariant1,   false, false, true},
    {kKindRectangleVariant2,   false, false, true},
    {kKindRectangleVariant3,   false, false, true},
    {kKindRectangleVariant4,   false, false, true},
    {kKindScale,               true,  true,  true},
    {kKindEllipse,             true,  true,  true},
    {kKindLine,                true,  true,  true},
    {kKindMovingShape,         false, false, false},
    {kKindTrendChartVariant,   false, false, true},
    {kKindRegisterText,        false, false, false},
    {kKindWordPanel,           false, false, false},
    {kKindStateTextStrip,      false, false, true},
    {kKindBitSwitch,           true,  true,  true},
    {kKindTextStrip,           false, false, false},
};
// clang-format on

const KindCase* CaseOf(int code) {
  for (const KindCase& c : kCases) {
    if (c.code == code) return &c;
  }
  return nullptr;
}

class EveryKind : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    model::InitializeNewProject(*image);
  }

  // Places `kind` on an empty page 1 with its own frame; the slot it took.
  std::optional<int> PlaceAlone(const KindDescriptor& kind) {
    model::PageRecord& page = image->Page(1);
    page.ElemKind.fill(0);
    const GhostSize size =
        GhostSizeTable(kind.code, At(image->Settings(), model::settings::kDefaultTextFont));
    return PlaceElement(
        page, image->Settings(),
        {kind.code, 20, 20, std::max(size.width, 16), std::max(size.height, 16), 0xFFFFFF});
  }

  std::unique_ptr<model::ProjectImage> image = std::make_unique<model::ProjectImage>();
};

TEST_F(EveryKind, EveryKnownCodeHasAnExpectation) {
  std::set<int> described;
  for (const KindDescriptor& kind : AllKinds()) {
    EXPECT_NE(CaseOf(kind.code), nullptr) << "kind " << kind.code << " is new: add its row";
    EXPECT_TRUE(described.insert(kind.code).second) << "kind " << kind.code << " twice";
    EXPECT_EQ(FindKind(kind.code), &kind);
  }
  EXPECT_EQ(described.size(), std::size(kCases));
  for (int unknown : {0, 30, 36, 255}) EXPECT_EQ(FindKind(unknown), nullptr) << unknown;
}

TEST_F(EveryKind, HasItsNameFrameAndSlots) {
  for (const KindDescriptor& kind : AllKinds()) {
    SCOPED_TRACE("kind " + std::to_string(kind.code));
    const KindCase* expected = CaseOf(kind.code);
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(!KindNameOf(kind.code, true).empty(), expected->named);
    EXPECT_EQ(!KindNameOf(kind.code, false).empty(), expected->named);
    // The text on a register has never had a frame of its own.
    const bool framed = kind.code != kKindRegisterText;
    const GhostSize ghost = GhostSizeTable(kind.code, 0);
    EXPECT_EQ(ghost.width > 0 && ghost.height > 0, framed);

    EXPECT_NE(kind.writeDefaults, nullptr);
    const std::optional<int> slot = PlaceAlone(kind);
    ASSERT_TRUE(slot.has_value());
    EXPECT_EQ(*slot, kind.slotRange.first);
    EXPECT_EQ(image->Page(1).ElemKind[*slot], kind.code);
  }
}

TEST_F(EveryKind, IsEncodedOnlyWhenThePanelHasARecordForIt) {
  for (const KindDescriptor& kind : AllKinds()) {
    SCOPED_TRACE("kind " + std::to_string(kind.code));
    const bool inImage = CaseOf(kind.code)->inImage;
    EXPECT_EQ(compiler::EncoderForKind(kind.code) != nullptr, inImage);

    const int slot = *PlaceAlone(kind);
    compiler::ImageWriter writer(4096);
    writer.Seek(compiler::kKindCountTableSize);
    compiler::PageBlockWriter records(writer, 0);
    compiler::EncodeElement(image->Page(1), slot, {}, records);
    EXPECT_EQ(writer.Position() > compiler::kKindCountTableSize, inImage);
  }
}

TEST_F(EveryKind, IsDrawnWhenTheEditorHasARendererForIt) {
  for (const KindDescriptor& kind : AllKinds()) {
    SCOPED_TRACE("kind " + std::to_string(kind.code));
    const bool drawn = CaseOf(kind.code)->drawn;
    EXPECT_EQ(editor::RendererForKind(kind.code) != nullptr, drawn);

    const int slot = *PlaceAlone(kind);
    const editor::RenderSettings settings;
    editor::ElementImage element;
    editor::DrawElement({image->Page(1), image->Settings(), settings, slot}, element);
    EXPECT_EQ(element.drawn, drawn);
    EXPECT_EQ(!element.shown.isNull(), drawn);
  }
}

}  // namespace
}  // namespace dravik::elements
