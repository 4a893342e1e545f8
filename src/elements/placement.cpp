#include "elements/placement.h"

#include "elements/element_fields.h"
#include "elements/element_kinds.h"
#include "model/project_image.h"

namespace dravik::elements {

namespace {

using model::PageRecord;

void WriteCommonValues(PageRecord& p, int s, const Placement& placement) {
  p.ElemKind[s] = static_cast<std::uint8_t>(placement.kind);
  p.ElemLeft[s] = static_cast<std::uint16_t>(placement.x);
  p.ElemTop[s] = static_cast<std::uint16_t>(placement.y);
  p.ElemByteA[s] = 0;
  p.ElemWidth[s] = static_cast<std::uint16_t>(placement.width);
  p.ElemHeight[s] = static_cast<std::uint16_t>(placement.height);
  p.ElemLongA[s] = placement.pageBackColor;
  p.ElemLongB[s] = 0;
  p.ElemWordA[s] = 0;
  p.ElemByteB[s] = 0;
  p.ElemByteC[s] = 0;
  p.ElemByteD[s] = 0;
  p.ElemByteE[s] = 0;
  p.ElemLongC[s] = 0xFFFF;
  p.ElemLongD[s] = 0;
  p.ElemWordB[s] = 0x400;
  p.ElemWordC[s] = 0x2100;
  p.ElemWordD[s] = 0;
  p.ElemWordE[s] = 0;
  p.ElemByteF[s] = 0;
}

}  // namespace

std::optional<int> FindFreeSlot(const PageRecord& page, int code) {
  const KindDescriptor* kind = FindKind(code);
  const SlotRange range = kind != nullptr ? kind->slotRange : kAnySlot;
  for (int slot = range.first; slot <= range.last; ++slot) {
    if (ElementFields(page, slot).kind() == kKindEmpty) return slot;
  }
  return std::nullopt;
}

void ResetDynTextStates(PageRecord& p, int s) {
  const int perLanguage = model::StatesPerLanguage(s);
  if (perLanguage == 0) return;
  for (int language = 0; language < 2; ++language) {
    for (int j = 0; j < perLanguage; ++j) {
      p.DynTextStates[*model::TextEntry(s, language, j)].ClearLength();
    }
  }
  const DynamicTextElement text(p, s);
  p.DynTextStates[*model::TextEntry(s, 0, 0)].Assign(text.languageOneText().View());
  p.DynTextStates[*model::TextEntry(s, 1, 0)].Assign(text.languageTwoText().View());
}

void WriteKindDefaults(PageRecord& p, int s, int kind, const PageRecord& settings) {
  if (const KindDescriptor* descriptor = FindKind(kind)) descriptor->writeDefaults(p, s, settings);
}

std::optional<int> PlaceElement(PageRecord& page, const PageRecord& settings,
                                const Placement& placement) {
  const std::optional<int> slot = FindFreeSlot(page, placement.kind);
  if (!slot) return std::nullopt;
  WriteCommonValues(page, *slot, placement);
  WriteKindDefaults(page, *slot, placement.kind, settings);
  if (placement.kind == kKindDynamicText) ResetDynTextStates(page, *slot);
  return slot;
}

}  // namespace dravik::elements
