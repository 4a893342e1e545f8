#pragma once
// The values each kind writes at placement over the ones every kind starts with. Texts
// are written where the kind has them; the other texts and names of the slot keep what
// they held. `settings` supplies the text kind's colours and font.

#include <string_view>

#include "model/page_record.h"

namespace dravik::elements {

using model::PageRecord;

void WriteTextDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteRegisterDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteLampDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteTrendChartDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteBarGraphDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WritePictureDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteDynamicTextDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteFunctionKeyDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteAsciiChineseDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteDateDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteTimeDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteRectangleDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteEllipseDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteScaleDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteLineDefaults(PageRecord& page, int slot, const PageRecord& settings);
void WriteBitSwitchDefaults(PageRecord& page, int slot, const PageRecord& settings);
// Codes no command places keep the values every kind starts with.
void KeepCommonValues(PageRecord& page, int slot, const PageRecord& settings);

// The hexadecimal text a new trend chart carries in ElemTextA (first 50 characters) and
// ElemTextB (the other 49).
std::string_view TrendChartPlacementText();

}  // namespace dravik::elements
