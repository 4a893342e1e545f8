#pragma once
// Batch modify: sets chosen attributes of every element of one kind, or the background
// colour of every page, across a range of pages in one action. The run writes the page
// records directly; what it overwrote is kept so that the whole batch can be taken back
// once, as long as its pages are still as the batch left them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/project_image.h"
#include "platform/bilingual.h"
#include "platform/result.h"

namespace dravik::tools {

// What is modified; the values are the dialog's tags.
enum class BatchMode : int {
  kPages = 1,        // the pages' background colour
  kText = 2,         // text elements (kind 1)
  kRegister = 3,     // registers (kind 2)
  kDynamicText = 4,  // dynamic texts (kind 7)
  kRectangle = 5,    // rectangles (kind 20)
};
inline constexpr int kBatchModeCount = 5;

// The ten attributes, in the order of their boxes.
enum BatchAttribute : int {
  kBatchBack = 0,   // colour: page background, element background, rectangle edge
  kBatchFront = 1,  // colour: element foreground, rectangle fill
  kBatchWidth = 2,  // in units of two pixels
  kBatchHeight = 3,
  kBatchFrame = 4,        // 0 none, 1 plain, 2 3-D
  kBatchFont = 5,         // 0 "16X16", 1 "24X24", 2 "32X32"
  kBatchAlignment = 6,    // 0 left, 1 centre, 2 right
  kBatchTransparent = 7,  // 0 off, 1 on
  kBatchPassword = 8,     // 0 off, 1 on
  kBatchLevel = 9,        // 0 "普通" .. 5 "超级"
};
inline constexpr int kBatchAttributeCount = 10;

// The size inputs' ranges (units of two pixels) and defaults.
inline constexpr int kBatchSizeMin = 8;
inline constexpr int kBatchWidthMax = 320;
inline constexpr int kBatchHeightMax = 240;
inline constexpr int kBatchFirstPageDefault = 1;
inline constexpr int kBatchLastPageDefault = 50;

struct BatchOptions {
  BatchMode mode = BatchMode::kPages;
  std::array<bool, kBatchAttributeCount> use{};
  std::uint32_t backColour = 0;  // 0x00BBGGRR
  std::uint32_t frontColour = 0;
  int width = kBatchWidthMax;
  int height = kBatchHeightMax;
  int frame = 0;
  int font = 0;
  int alignment = 0;
  int transparent = 0;
  int password = 0;
  int level = 0;
  int firstPage = kBatchFirstPageDefault;
  int lastPage = kBatchLastPageDefault;
};

// The element kind a mode changes; 0 for the pages mode.
int BatchKind(BatchMode mode);
// Whether a mode offers an attribute (the dialog shows only those panels).
bool BatchOffers(BatchMode mode, int attribute);

// The box and question captions.
inline const Bilingual kBatchCaption{"批量修改", "Bulk changes"};
inline constexpr char kBatchQuestionCaption[] = "Bulk Changes";
extern const Bilingual kNoBatchAttributeMessage;
extern const Bilingual kBatchEndBeforeStartMessage;
extern const Bilingual kBatchUndoChangedMessage;

// How much a run would write: the pages in use in the range that it changes and, for
// element modes, the elements of the mode's kind on them.
struct BatchCount {
  int pages = 0;
  int elements = 0;
  bool operator==(const BatchCount&) const = default;
};
BatchCount CountBatchChanges(const model::ProjectImage& image, const BatchOptions& options);

// The question asked before a run: the mode's caption, the checked attributes' captions
// in box order (as the dialog shows them), how much the run will write (pages alone in
// the pages mode), and that the page editor's Undo cannot take it back. Lines are
// separated by "\r".
Bilingual BatchConfirmation(BatchMode mode, std::string_view modeCaption,
                            const std::vector<std::string>& attributeCaptions, BatchCount count);

// Why a run is refused, checked after the confirmation: no attribute chosen, or an end
// page below the start page (the dialog then puts the focus on the start page).
struct BatchRefusal {
  Bilingual message;
  bool focusFirstPage = false;
};
std::optional<BatchRefusal> CheckBatch(const BatchOptions& options);

// What a run overwrote: the fields it writes, of every page it touched, as they were
// before, and a fingerprint of each whole page as the run left it.
class BatchUndo {
 public:
  BatchUndo() = default;
  bool Empty() const { return pages_.empty(); }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  const std::vector<int>& Pages() const { return pages_; }

  // Puts the touched pages back as they were before the run, all or nothing: refused
  // when any of them was changed since the run (a later edit would be lost). Empties the
  // undo either way once it has been used.
  Status Restore(model::ProjectImage& image);

 private:
  friend BatchUndo RunBatchModify(model::ProjectImage& image, const BatchOptions& options);
  // The only fields a run writes.
  struct WrittenFields {
    model::ShortString20 backColorText;
    model::SlotArray<model::I32le> ElemLongA, ElemLongB;
    model::SlotArray<model::U16le> ElemWidth, ElemHeight, ElemWordC, ElemWordD;
  };
  static WrittenFields Keep(const model::PageRecord& page);
  static void Put(const WrittenFields& fields, model::PageRecord& page);

  std::vector<int> pages_;
  std::vector<WrittenFields> before_;
  std::vector<std::uint64_t> after_;
};

// Writes the checked attributes the mode offers to every element of the mode's kind (or
// the background of every page) on the pages in use from firstPage to lastPage; other
// pages and every other bit of the fields written stay as they were. Sizes are stored
// doubled. The options must have passed CheckBatch; otherwise nothing is written.
BatchUndo RunBatchModify(model::ProjectImage& image, const BatchOptions& options);

}  // namespace dravik::tools
