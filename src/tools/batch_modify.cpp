#include "tools/batch_modify.h"

#include <algorithm>
#include <cstring>

#include "elements/element_kind.h"
#include "elements/format_word.h"

namespace dravik::tools {

const Bilingual kNoBatchAttributeMessage{"没有选择修改属性 ！",
                                         "No. Choice Modify the properties!"};
const Bilingual kBatchEndBeforeStartMessage{
    "结束画面号必须大于开始画面号 ！",
    "The end of the screen number must be greater than the start screen number!"};
const Bilingual kBatchUndoChangedMessage{
    "批量修改之后这些画面又被修改过，不能恢复 ！",
    "The pages have been changed since the batch change; it cannot be undone!"};

namespace {

using model::PageRecord;

// Which attributes each mode offers, by box (1..10 from the left).
constexpr std::array<std::array<bool, kBatchAttributeCount>, kBatchModeCount> kOffered{{
    {true, false, false, false, false, false, false, false, false, false},  // pages
    {true, true, true, true, false, true, true, true, false, false},        // text
    {true, true, true, true, true, true, true, true, true, true},           // register
    {true, true, true, true, true, true, true, true, true, true},           // dynamic text
    {true, true, true, true, false, false, false, false, false, false},     // rectangle
}};

int ModeIndex(BatchMode mode) {
  return static_cast<int>(mode) - 1;
}

bool ValidMode(BatchMode mode) {
  return ModeIndex(mode) >= 0 && ModeIndex(mode) < kBatchModeCount;
}

// The pages a run looks at: those in use in the range, clipped to the project's pages.
template <class Visit>
void ForEachPageInRange(const model::ProjectImage& image, const BatchOptions& options,
                        Visit visit) {
  const int first = std::max(options.firstPage, 1);
  const int last = std::min(options.lastPage, model::kMaxPage);
  for (int n = first; n <= last; ++n) {
    if (image.IsPageUsed(n)) visit(n);
  }
}

int ElementsOfKind(const PageRecord& page, int kind) {
  return static_cast<int>(std::count(page.ElemKind.begin(), page.ElemKind.end(), kind));
}

bool AnyChecked(const BatchOptions& options) {
  for (int a = 0; a < kBatchAttributeCount; ++a) {
    if (options.use[static_cast<std::size_t>(a)] && BatchOffers(options.mode, a)) return true;
  }
  return false;
}

bool Writes(const BatchOptions& options, BatchAttribute attribute) {
  return options.use[attribute] && BatchOffers(options.mode, attribute);
}

std::uint16_t WithBits(std::uint16_t word, int shift, int width, int value) {
  const unsigned mask = ((1u << width) - 1u) << shift;
  return static_cast<std::uint16_t>((word & ~mask) |
                                    ((static_cast<unsigned>(value) << shift) & mask));
}

void WriteElement(PageRecord& page, std::size_t s, const BatchOptions& options) {
  const bool rectangle = options.mode == BatchMode::kRectangle;
  // A rectangle keeps its edge in ElemLongB and its fill in ElemLongA, the other way
  // round from the texts' background and foreground.
  auto& backField = rectangle ? page.ElemLongB[s] : page.ElemLongA[s];
  auto& frontField = rectangle ? page.ElemLongA[s] : page.ElemLongB[s];
  if (Writes(options, kBatchBack)) backField = static_cast<std::int32_t>(options.backColour);
  if (Writes(options, kBatchFront)) frontField = static_cast<std::int32_t>(options.frontColour);
  if (Writes(options, kBatchWidth))
    page.ElemWidth[s] = static_cast<std::uint16_t>(2 * options.width);
  if (Writes(options, kBatchHeight))
    page.ElemHeight[s] = static_cast<std::uint16_t>(2 * options.height);

  std::uint16_t format = page.ElemWordC[s];
  if (Writes(options, kBatchFrame)) format = WithBits(format, 12, 4, options.frame);
  if (Writes(options, kBatchFont)) format = WithBits(format, 8, 4, options.font);
  if (Writes(options, kBatchAlignment)) format = WithBits(format, 4, 4, options.alignment);
  if (Writes(options, kBatchLevel)) format = WithBits(format, 0, 4, options.level);
  page.ElemWordC[s] = format;

  std::uint16_t flags = page.ElemWordD[s];
  if (Writes(options, kBatchTransparent)) {
    // A text keeps nothing else in that word, so it is set whole.
    flags = options.mode == BatchMode::kText ? static_cast<std::uint16_t>(options.transparent)
                                             : WithBits(flags, 0, 1, options.transparent);
  }
  if (Writes(options, kBatchPassword)) flags = WithBits(flags, 1, 1, options.password);
  page.ElemWordD[s] = flags;
}

void WritePage(PageRecord& page, const BatchOptions& options) {
  if (options.mode == BatchMode::kPages) {
    if (Writes(options, kBatchBack)) {
      page.PageStrings[model::kPageBackColorText] =
          std::to_string(static_cast<std::int32_t>(options.backColour));
    }
    return;
  }
  const int kind = BatchKind(options.mode);
  for (std::size_t s = 0; s < page.ElemKind.size(); ++s) {
    if (page.ElemKind[s] == kind) WriteElement(page, s, options);
  }
}

// A fingerprint of a whole record, to tell whether a page was changed after a run.
std::uint64_t Fingerprint(const PageRecord& page) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&page);
  std::uint64_t hash = 0xcbf29ce484222325ull;
  std::size_t i = 0;
  for (; i + 8 <= sizeof(PageRecord); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    hash = (hash ^ word) * 0x100000001b3ull;
    hash ^= hash >> 29;
  }
  for (; i < sizeof(PageRecord); ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
  return hash;
}

std::string CountText(BatchCount count, bool chinese, bool pagesMode) {
  const std::string pages = std::to_string(count.pages);
  const std::string elements = std::to_string(count.elements);
  if (chinese) {
    return pagesMode ? pages + " 个画面" : pages + " 个画面, " + elements + " 个元素";
  }
  return pagesMode ? pages + " pages" : elements + " elements on " + pages + " pages";
}

}  // namespace

int BatchKind(BatchMode mode) {
  switch (mode) {
    case BatchMode::kText:
      return elements::kKindText;
    case BatchMode::kRegister:
      return elements::kKindRegister;
    case BatchMode::kDynamicText:
      return elements::kKindDynamicText;
    case BatchMode::kRectangle:
      return elements::kKindRectangle;
    case BatchMode::kPages:
      break;
  }
  return 0;
}

bool BatchOffers(BatchMode mode, int attribute) {
  if (!ValidMode(mode) || attribute < 0 || attribute >= kBatchAttributeCount) return false;
  return kOffered[static_cast<std::size_t>(ModeIndex(mode))][static_cast<std::size_t>(attribute)];
}

BatchCount CountBatchChanges(const model::ProjectImage& image, const BatchOptions& options) {
  BatchCount count;
  if (!ValidMode(options.mode)) return count;
  const int kind = BatchKind(options.mode);
  ForEachPageInRange(image, options, [&](int n) {
    if (kind == 0) {
      ++count.pages;
      return;
    }
    const int elements = ElementsOfKind(image.Page(n), kind);
    if (elements == 0) return;
    ++count.pages;
    count.elements += elements;
  });
  return count;
}

Bilingual BatchConfirmation(BatchMode mode, std::string_view modeCaption,
                            const std::vector<std::string>& attributeCaptions, BatchCount count) {
  std::string list;
  for (std::size_t i = 0; i < attributeCaptions.size(); ++i) {
    list += (i == 0 ? "【" : "\r\r           【") + attributeCaptions[i] + "】";
  }
  const std::string caption(modeCaption);
  const bool pagesMode = mode == BatchMode::kPages;
  Bilingual text;
  text.chinese = "您选择结果为:\r\r修改项目 = 【" + caption + "】\r\r修改属性 = " + list +
                 "\r\r修改数量 = 【" + CountText(count, true, pagesMode) + "】" +
                 "\r\r批量修改后不能被恢复，是否修改 ？";
  text.english = "You choose the results:\r\rModify project = 【" + caption +
                 "】\r\rModify the properties = " + list + "\r\rAmount of changes = 【" +
                 CountText(count, false, pagesMode) + "】" +
                 "\r\rBatch changes cannot be recovered, whether to modify?";
  return text;
}

std::optional<BatchRefusal> CheckBatch(const BatchOptions& options) {
  if (!AnyChecked(options)) return BatchRefusal{kNoBatchAttributeMessage, false};
  if (options.lastPage < options.firstPage) return BatchRefusal{kBatchEndBeforeStartMessage, true};
  return std::nullopt;
}

BatchUndo RunBatchModify(model::ProjectImage& image, const BatchOptions& options) {
  BatchUndo undo;
  if (!ValidMode(options.mode) || CheckBatch(options)) return undo;
  const int kind = BatchKind(options.mode);
  std::vector<int> touched;
  ForEachPageInRange(image, options, [&](int n) {
    if (kind == 0 || ElementsOfKind(image.Page(n), kind) > 0) touched.push_back(n);
  });
  undo.before_.reserve(touched.size());
  undo.after_.reserve(touched.size());
  for (int n : touched) {
    undo.before_.push_back(BatchUndo::Keep(image.Page(n)));
    WritePage(image.Page(n), options);
    undo.after_.push_back(Fingerprint(image.Page(n)));
  }
  undo.pages_ = std::move(touched);
  return undo;
}

BatchUndo::WrittenFields BatchUndo::Keep(const PageRecord& page) {
  return {page.PageStrings[model::kPageBackColorText],
          page.ElemLongA,
          page.ElemLongB,
          page.ElemWidth,
          page.ElemHeight,
          page.ElemWordC,
          page.ElemWordD};
}

void BatchUndo::Put(const WrittenFields& fields, PageRecord& page) {
  page.PageStrings[model::kPageBackColorText] = fields.backColorText;
  page.ElemLongA = fields.ElemLongA;
  page.ElemLongB = fields.ElemLongB;
  page.ElemWidth = fields.ElemWidth;
  page.ElemHeight = fields.ElemHeight;
  page.ElemWordC = fields.ElemWordC;
  page.ElemWordD = fields.ElemWordD;
}

Status BatchUndo::Restore(model::ProjectImage& image) {
  bool unchanged = true;
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    if (Fingerprint(image.Page(pages_[i])) != after_[i]) unchanged = false;
  }
  if (unchanged) {
    for (std::size_t i = 0; i < pages_.size(); ++i) Put(before_[i], image.Page(pages_[i]));
  }
  pages_.clear();
  before_.clear();
  after_.clear();
  if (!unchanged) return Error{kBatchUndoChangedMessage};
  return Status::Ok();
}

}  // namespace dravik::tools
