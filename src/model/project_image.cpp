#include "model/project_image.h"

#include <algorithm>
#include <cstring>

namespace dravik::model {

const Bilingual kNoFreeSlotMessage{"不再有这种类型的部件 ！",
                                   "There is no longer such types of components!"};

ProjectImage::ProjectImage() : records_(std::make_unique<PageRecord[]>(kRecordCount)) {}

bool IsPageUsed(const PageRecord& page) {
  return page.PageStrings[kPageInUse] == kPageInUseMarker;
}

bool ProjectImage::IsPageUsed(int n) const {
  return n >= 1 && n <= kMaxPage && model::IsPageUsed(records_[n]);
}

int ProjectImage::HighestUsedPage() const {
  for (int n = kMaxPage; n >= 1; --n) {
    if (IsPageUsed(n)) return n;
  }
  return 0;
}

int ProjectImage::FirstUsedPage() const {
  for (int n = 1; n <= kMaxPage; ++n) {
    if (IsPageUsed(n)) return n;
  }
  return 0;
}

void ProjectImage::ClearPages(int first, int last) {
  for (int n = first; n <= last; ++n) {
    PageRecord& page = records_[n];
    page.ElemKind.fill(0);
    for (auto& text : page.PageStrings) text.ClearLength();
  }
}

void ProjectImage::ClearPagesForLoad() { ClearPages(0, kMaxPage); }

std::span<std::uint8_t> ProjectImage::RecordBytes(int first, int count) {
  return {reinterpret_cast<std::uint8_t*>(&records_[first]), count * kPageRecordSize};
}

std::span<const std::uint8_t> ProjectImage::RecordBytes(int first, int count) const {
  return {reinterpret_cast<const std::uint8_t*>(&records_[first]), count * kPageRecordSize};
}

int StatesPerLanguage(int slot) {
  if (slot >= 135 && slot <= 149) return 100;
  if (slot >= 150 && slot <= 199) return 20;
  return 0;
}

std::optional<int> TextEntry(int slot, int language, int state) {
  const int n = StatesPerLanguage(slot);
  if (n == 0 || language < 0 || language > 1 || state < 0 || state >= n) return std::nullopt;
  if (slot <= 149) return 200 * (slot - 135) + language * 100 + state;
  return 3010 + 40 * (slot - 150) + language * 20 + state;
}

void CopyElement(const PageRecord& source, int s, PageRecord& destination, int d) {
  PageRecord& to = destination;
  const PageRecord& from = source;
  to.ElemKind[d] = from.ElemKind[s];
  to.ElemTextA[d] = from.ElemTextA[s];
  to.ElemTextB[d] = from.ElemTextB[s];
  to.ElemNameA[d] = from.ElemNameA[s];
  to.ElemNameB[d] = from.ElemNameB[s];
  to.ElemLeft[d] = from.ElemLeft[s];
  to.ElemTop[d] = from.ElemTop[s];
  to.ElemByteA[d] = from.ElemByteA[s];
  to.ElemWidth[d] = from.ElemWidth[s];
  to.ElemHeight[d] = from.ElemHeight[s];
  to.ElemLongA[d] = from.ElemLongA[s];
  to.ElemLongB[d] = from.ElemLongB[s];
  to.ElemWordA[d] = from.ElemWordA[s];
  to.ElemByteB[d] = from.ElemByteB[s];
  to.ElemByteC[d] = from.ElemByteC[s];
  to.ElemByteD[d] = from.ElemByteD[s];
  to.ElemByteE[d] = from.ElemByteE[s];
  to.ElemLongC[d] = from.ElemLongC[s];
  to.ElemLongD[d] = from.ElemLongD[s];
  to.ElemWordB[d] = from.ElemWordB[s];
  to.ElemWordC[d] = from.ElemWordC[s];
  to.ElemWordD[d] = from.ElemWordD[s];
  to.ElemWordE[d] = from.ElemWordE[s];
  to.ElemByteF[d] = from.ElemByteF[s];

  const int states = std::min(StatesPerLanguage(s), StatesPerLanguage(d));
  for (int language = 0; language < 2; ++language) {
    for (int j = 0; j < states; ++j) {
      to.DynTextStates[*TextEntry(d, language, j)] = from.DynTextStates[*TextEntry(s, language, j)];
    }
  }
}

RecordStore::RecordStore(int count)
    : records_(std::make_unique<PageRecord[]>(count)), count_(count) {}

}  // namespace dravik::model
