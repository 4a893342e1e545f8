#pragma once
// The slot arrays of a page as values: which array, of which type, and the names each kind
// gives them. What a field means for a kind is in element_fields.h; these names are the
// same ones, for whatever shows or reads an element field by field (the text form of a
// project). A field a kind does not name goes by its array's name.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "model/page_record.h"

namespace dravik::elements {

// Every slot array except ElemKind, in record order.
enum class SlotField : std::uint8_t {
  TextA, TextB, NameA, NameB, Left, Top, ByteA, Width, Height, LongA, LongB, WordA,
  ByteB, ByteC, ByteD, ByteE, LongC, LongD, WordB, WordC, WordD, WordE, ByteF,
};
inline constexpr int kSlotFieldCount = 23;

enum class FieldType : std::uint8_t { Byte, Word, Long, Text20, Text50 };

FieldType TypeOf(SlotField field);
bool IsText(FieldType type);
std::size_t TextCapacity(FieldType type);  // GBK bytes; 0 for numbers
// The lowest and highest number the field's type stores.
std::int64_t MinimumOf(FieldType type);
std::int64_t MaximumOf(FieldType type);

// "ElemTextA", "ElemWordC", ...
std::string_view ArrayName(SlotField field);
std::optional<SlotField> FieldByArrayName(std::string_view name);

// Entry `index` of the field's array in `record`.
std::int64_t NumberAt(const model::PageRecord& record, SlotField field, int index);
void SetNumberAt(model::PageRecord& record, SlotField field, int index, std::int64_t value);
std::string_view TextAt(const model::PageRecord& record, SlotField field, int index);
void SetTextAt(model::PageRecord& record, SlotField field, int index, std::string_view gbk);

// A field as a kind names it.
struct NamedField {
  SlotField field;
  std::string_view name;
  bool colour = false;  // 0x00BBGGRR
};

// The name `kind` gives `field` (with whether it is a colour); the array's name when the
// kind gives none.
NamedField FieldNameFor(int kind, SlotField field);
// The field `kind` calls `name` (its own names, then the array names).
std::optional<NamedField> FieldNamedBy(int kind, std::string_view name);

}  // namespace dravik::elements
