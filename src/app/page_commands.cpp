#include "app/page_commands.h"

#include <algorithm>
#include <charconv>

#include "model/settings_page.h"
#include "platform/gbk.h"

namespace dravik::app {

using model::PageRecord;
using model::ProjectImage;

namespace {

constexpr char kWindowPrefix[] = "Window";

// A decimal integer filling the whole text (blanks around it allowed).
std::optional<long long> DecimalOf(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Utf8(std::string_view gbk) { return platform::GbkToUtf8(gbk); }

std::string DefaultBackColorText(const ProjectImage& image) {
  return std::to_string(
      static_cast<std::int32_t>(At(image.Settings(), model::settings::kDefaultPageColor)));
}

}  // namespace

const Bilingual kDeletePageQuestion{"您确定删除该画面 ？", "Are you sure you want to delete this window?"};

TreeNodeTexts TreeTexts(bool isChinese) {
  if (isChinese) return {"工程", "系统设置", "报警设置", "Clock宏", "画面"};
  return {"Project", "System Setup", "Alarm Setup", "ClockMacro", "Window"};
}

std::string PageNodeText(const PageRecord& page) {
  return Utf8(page.PageStrings[model::kPageNumberText].View()) + ":" +
         Utf8(page.PageStrings[model::kPageName].View());
}

std::optional<int> PageNumberOfNodeText(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto number = DecimalOf(std::string_view(text).substr(0, colon));
  if (!number || *number < 1 || *number > model::kMaxPage) return std::nullopt;
  return static_cast<int>(*number);
}

std::string PageTabCaption(int count, bool isChinese) {
  return (isChinese ? " 画面数: " : " Window sum: ") + std::to_string(count);
}

std::vector<std::string> JumpTargetTexts(const ProjectImage& image, bool isChinese) {
  std::vector<std::string> texts;
  texts.reserve(kJumpTargetCount);
  texts.push_back(isChinese ? "当前页" : "Current page");
  for (int n = 1; n <= model::kMaxPage; ++n) {
    const PageRecord& page = image.Page(n);
    if (!image.IsPageUsed(n)) {
      texts.push_back(std::to_string(n) + ": ÷÷÷÷÷÷");
    } else {
      texts.push_back(Utf8(page.PageStrings[model::kPageNumberText].View()) + ": " +
                      Utf8(page.PageStrings[model::kPageName].View()));
    }
  }
  const std::string reserved = isChinese ? ": 系统保留" : ": Sys.Reserve";
  for (int n = 241; n <= 249; ++n) texts.push_back(std::to_string(n) + reserved);
  if (isChinese) {
    texts.insert(texts.end(), {"250: 密码输入画面", "251: 报警记录画面", "252: 系统画面",
                               "253: 系统语言画面", "254: 系统保留", "255: 系统保留"});
  } else {
    texts.insert(texts.end(), {"250: Password input Window", "251: Alarm record Window",
                               "252: System Window", "253: Language Window",
                               "254: Sys.Reserve", "255: Sys.Reserve"});
  }
  return texts;
}

std::string KeyRowCaption(const std::string& name, bool isChinese) {
  return "[" + name + (isChinese ? "]键" : "]Key");
}

bool PageRegisterOffsetShown(const PageRecord& settings) {
  const int protocol = At(settings, model::settings::kLink1Protocol);
  return protocol == 1 || protocol == 2;
}

int PageKeyRowCount(const PageRecord& settings) {
  return PageRegisterOffsetShown(settings) ? 20 : model::kPageKeyRows;
}

Bilingual PageExistsMessage(int number) {
  const std::string n = std::to_string(number);
  return {n + " 号画面已存在 ！", kWindowPrefix + n + " already exists ！"};
}

int NewPageNumberOffered(int currentPage) { return std::clamp(currentPage + 1, 1, model::kMaxPage); }

std::string NewPageNameOffered(int number) { return kWindowPrefix + std::to_string(number); }

bool NewPageNameFollowsNumber(const std::string& name) { return name.rfind(kWindowPrefix, 0) == 0; }

bool CreatePage(ProjectImage& image, int number, std::string_view nameGbk) {
  if (number < 1 || number > model::kMaxPage || image.IsPageUsed(number)) return false;
  PageRecord& page = image.Page(number);
  page.PageStrings[model::kPageName] = nameGbk;
  page.PageStrings[model::kPageNumberText] = std::to_string(number);
  page.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
  page.PageStrings[model::kPageBackColorText] = DefaultBackColorText(image);
  page.PageStrings[model::kPageRegisterOffsetText] = "0";
  page.ElemKind.fill(0);
  return true;
}

PageAttributes LoadPageAttributes(const ProjectImage& image, int current) {
  const PageRecord& page = image.Page(current);
  PageAttributes a;
  a.number = current;
  if (auto n = DecimalOf(page.PageStrings[model::kPageNumberText].View());
      n && *n >= 1 && *n <= model::kMaxPage) {
    a.number = static_cast<int>(*n);
  }
  a.nameGbk = page.PageStrings[model::kPageName].Str();
  const auto color = DecimalOf(page.PageStrings[model::kPageBackColorText].View());
  a.backColor = color && *color >= INT32_MIN && *color <= UINT32_MAX
                    ? static_cast<std::int32_t>(static_cast<std::uint32_t>(*color))
                    : 0xFFFFFF;
  const auto offset = DecimalOf(page.PageStrings[model::kPageRegisterOffsetText].View());
  a.registerOffset = offset && *offset >= 0 && *offset <= 60000 ? static_cast<int>(*offset) : 0;
  a.pageAfterPassword =
      std::clamp<int>(At(image.Settings(), model::settings::kPageAfterPassword), 1, 255);
  return a;
}

std::optional<int> ConfirmPageAttributes(ProjectImage& image, int current,
                                         const PageAttributes& a) {
  PageRecord& page = image.Page(current);
  page.PageStrings[model::kPageName] = a.nameGbk;
  page.PageStrings[model::kPageBackColorText] = std::to_string(a.backColor);
  page.PageStrings[model::kPageRegisterOffsetText] = std::to_string(a.registerOffset);
  At(image.Settings(), model::settings::kPageAfterPassword) = a.pageAfterPassword;
  if (a.number == current) return current;

  const std::string wanted = std::to_string(a.number);
  for (int i = 1; i <= model::kMaxPage; ++i) {
    if (i == current || !image.IsPageUsed(i)) continue;
    // The record at the new number counts even if its number text was damaged: moving
    // onto a page in use would lose it.
    if (i == a.number || image.Page(i).PageStrings[model::kPageNumberText] == wanted) {
      return std::nullopt;
    }
  }
  page.PageStrings[model::kPageNumberText] = wanted;
  image.Page(a.number) = page;
  page.PageStrings[model::kPageInUse].ClearLength();
  return a.number;
}

int KeyJumpTarget(const PageRecord& page, int row) {
  const auto target = DecimalOf(page.PageStrings[model::kPageKeyJumpFirst + row].View());
  return target && *target >= 0 && *target < kJumpTargetCount ? static_cast<int>(*target) : 0;
}

void SetKeyJumpTarget(PageRecord& page, int row, int target) {
  model::PageKeyJump(page, row) = std::to_string(target);
}

void DeletePage(ProjectImage& image, int number) {
  if (number < 1 || number > model::kMaxPage) return;
  image.Page(number).PageStrings[model::kPageInUse].ClearLength();
}

bool PastePageAs(ProjectImage& image, const PageRecord& clipboardPage, int number, bool isChinese) {
  if (number < 1 || number > model::kMaxPage || image.IsPageUsed(number)) return false;
  PageRecord& page = image.Page(number);
  page = clipboardPage;
  const std::string prefix = platform::Utf8ToGbk(isChinese ? "新" : "New");
  page.PageStrings[model::kPageName] = prefix + clipboardPage.PageStrings[model::kPageName].Str();
  page.PageStrings[model::kPageNumberText] = std::to_string(number);
  // The copy comes from a page in use; a damaged clipboard file must still give a page
  // that shows in the list rather than one that silently vanishes.
  page.PageStrings[model::kPageInUse] = model::kPageInUseMarker;
  return true;
}

}  // namespace dravik::app
