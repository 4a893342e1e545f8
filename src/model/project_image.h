#pragma once
// The whole project in memory: record 0 is the settings page, records 1..240 the pages.
// Everything else in the program reads and writes project data by indexing into it.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "model/page_record.h"
#include "platform/bilingual.h"

namespace dravik::model {

inline constexpr int kRecordCount = 241;
inline constexpr int kMaxPage = 240;
inline constexpr int kTextTableFirstSlot = 135;  // dynamic text and its relatives live here
inline constexpr int kLastUsableSlot = 199;

class ProjectImage {
 public:
  ProjectImage();
  ProjectImage(const ProjectImage&) = delete;
  ProjectImage& operator=(const ProjectImage&) = delete;

  // Record n, 0..240 (0 is the settings page).
  PageRecord& Page(int n) { return records_[n]; }
  const PageRecord& Page(int n) const { return records_[n]; }
  PageRecord& Settings() { return records_[0]; }
  const PageRecord& Settings() const { return records_[0]; }

  bool IsPageUsed(int n) const;
  int HighestUsedPage() const;  // 0 when no page is used
  int FirstUsedPage() const;    // 0 when no page is used

  // Empties every slot and every page string of records 0..240 (length bytes only).
  void ClearPagesForLoad();
  // The same for pages first..last only (New keeps the settings page).
  void ClearPages(int first, int last);

  // Records first..first+count-1 as the bytes they are stored as.
  std::span<std::uint8_t> RecordBytes(int first, int count);
  std::span<const std::uint8_t> RecordBytes(int first, int count) const;

 private:
  std::unique_ptr<PageRecord[]> records_;
};

bool IsPageUsed(const PageRecord& page);

extern const Bilingual kNoFreeSlotMessage;

// The DynTextStates entry of state `state` (from 0) in `language` (0 or 1) of the element
// in `slot`; nothing for slots outside 135..199 or states beyond the slot's count.
std::optional<int> TextEntry(int slot, int language, int state);
// How many states per language a slot holds: 100, 20, or 0 outside the text-table slots.
int StatesPerLanguage(int slot);

// Copies one element (all 24 slot entries and, between text-table slots, the states
// both slots can hold).
void CopyElement(const PageRecord& source, int sourceSlot, PageRecord& destination,
                 int destinationSlot);

// The records of the undo ring and the page clipboard: the same layout, never saved.
class RecordStore {
 public:
  explicit RecordStore(int count);
  PageRecord& operator[](int i) { return records_[i]; }
  const PageRecord& operator[](int i) const { return records_[i]; }
  int size() const { return count_; }

 private:
  std::unique_ptr<PageRecord[]> records_;
  int count_;
};


}  // namespace dravik::model
