#include "elements/slot_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "elements/element_fields.h"
#include "elements/element_kinds.h"

namespace dravik::elements {
namespace {

// A name must stand for one field of a kind, or reading a text form back would put a
// value in the wrong array.
TEST(SlotFieldsTest, EveryKindNamesEachFieldOnceAndDistinctly) {
  for (const KindDescriptor& kind : AllKinds()) {
    std::set<std::string_view> names;
    for (int f = 0; f < kSlotFieldCount; ++f) {
      const NamedField named = FieldNameFor(kind.code, static_cast<SlotField>(f));
      EXPECT_EQ(named.field, static_cast<SlotField>(f));
      EXPECT_TRUE(names.insert(named.name).second) << "kind " << kind.code << ": " << named.name;
      const auto back = FieldNamedBy(kind.code, named.name);
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(back->field, named.field);
      // The array's own name reaches the field too.
      EXPECT_EQ(FieldNamedBy(kind.code, ArrayName(named.field))->field, named.field);
    }
  }
}

TEST(SlotFieldsTest, NamesAreThoseOfTheFieldViews) {
  model::PageRecord page{};
  RegisterElement reg(page, 7);
  reg.upperLimit() = 1234;
  reg.keypadCaptionOne() = "caption";
  EXPECT_EQ(NumberAt(page, FieldNamedBy(kKindRegister, "upperLimit")->field, 7), 1234);
  EXPECT_EQ(TextAt(page, FieldNamedBy(kKindRegister, "keypadCaptionOne")->field, 7), "caption");
  BitSwitchElement bit(page, 8);
  bit.onBackColour() = 0x123456;
  const auto colour = FieldNamedBy(kKindBitSwitch, "onBackColour");
  EXPECT_TRUE(colour->colour);
  EXPECT_EQ(NumberAt(page, colour->field, 8), 0x123456);
  EXPECT_FALSE(FieldNamedBy(kKindText, "upperLimit"));
}

TEST(SlotFieldsTest, NumbersKeepTheirTypesRange) {
  model::PageRecord page{};
  SetNumberAt(page, SlotField::LongC, 3, MinimumOf(FieldType::Long));
  EXPECT_EQ(page.ElemLongC[3], MinimumOf(FieldType::Long));
  SetNumberAt(page, SlotField::WordE, 3, MaximumOf(FieldType::Word));
  EXPECT_EQ(page.ElemWordE[3], 0xFFFF);
  SetNumberAt(page, SlotField::ByteF, 3, 255);
  EXPECT_EQ(page.ElemByteF[3], 255);
  EXPECT_EQ(TextCapacity(TypeOf(SlotField::NameB)), 20u);
  EXPECT_EQ(TextCapacity(TypeOf(SlotField::TextB)), 50u);
}

}  // namespace
}  // namespace dravik::elements
