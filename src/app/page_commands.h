#pragma once
// The page list's rules without the widgets: the texts of the tree, the jump-target list
// and the key rows, and the page commands (new page, page attributes, delete, paste a
// copied page) as changes of the project image. Texts come back as UTF-8; page names
// stay GBK in the image.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "elements/bit_properties.h"
#include "model/project_image.h"
#include "platform/bilingual.h"

namespace dravik::app {

inline constexpr int kJumpTargetCount = 256;  // position = page number
inline constexpr int kPasswordInputPage = 250;

// Picture numbers of the tree's nodes; a click acts by them.
enum TreePicture : int {
  kPictureRoot = 24,
  kPictureSettings = 17,
  kPictureAlarms = 88,
  kPictureMacros = 87,
  kPicturePageGroup = 42,
  kPicturePage = 43,
  kPictureSelectedPage = 41,
};

struct TreeNodeTexts {
  std::string root, settings, alarms, macros, pageGroup;
};
TreeNodeTexts TreeTexts(bool isChinese);

// PageNumberText + ":" + PageName: the page node and the caption of the page's window.
std::string PageNodeText(const model::PageRecord& page);
// The page number before the ":" of a node text; nothing when the text does not begin
// with a number.
std::optional<int> PageNumberOfNodeText(const std::string& text);
// " 画面数: " + count / " Window sum: " + count.
std::string PageTabCaption(int count, bool isChinese);

// The 256 texts of the jump-target list.
std::vector<std::string> JumpTargetTexts(const model::ProjectImage& image, bool isChinese);

using elements::PanelKeyNames;
// "[" + name + "]键" / "[" + name + "]Key".
std::string KeyRowCaption(const std::string& name, bool isChinese);
// Rows of the page-attribute key grid: 20 where pages carry a register offset (Link 1
// protocols 1 and 2), else 22; the register-offset row shows exactly then.
bool PageRegisterOffsetShown(const model::PageRecord& settings);
int PageKeyRowCount(const model::PageRecord& settings);

Bilingual PageExistsMessage(int number);   // N + " 号画面已存在 ！"
extern const Bilingual kDeletePageQuestion;

// The number a new page is offered: the current page + 1 within 1..240.
int NewPageNumberOffered(int currentPage);
// The name offered with a number: "Window" + number.
std::string NewPageNameOffered(int number);
// While the number changes, a name that still begins with "Window" follows it.
bool NewPageNameFollowsNumber(const std::string& name);

// New page `number` with `nameGbk`: marker, number, default background, offset "0" and
// no elements; every other field keeps what the record held. False (nothing written)
// when the page is in use.
bool CreatePage(model::ProjectImage& image, int number, std::string_view nameGbk);

// The fields the page-attribute dialog writes on confirmation.
struct PageAttributes {
  int number = 1;
  std::string nameGbk;
  std::int32_t backColor = 0xFFFFFF;
  int registerOffset = 0;
  int pageAfterPassword = 1;
};
// The dialog's values for page `current` (an unreadable colour gives white, an unreadable
// offset 0).
PageAttributes LoadPageAttributes(const model::ProjectImage& image, int current);
// Confirm: the fields are written first; then a changed number moves the record. Returns
// the page that is now current, or nothing when the number is taken (the fields stay
// written, the record stays where it was).
std::optional<int> ConfirmPageAttributes(model::ProjectImage& image, int current,
                                         const PageAttributes& attributes);

// The key-jump row's target as the dialog shows it: the number in PageKeyJump, 0 when the
// text is not a number in 0..255.
int KeyJumpTarget(const model::PageRecord& page, int row);
void SetKeyJumpTarget(model::PageRecord& page, int row, int target);

// Clears the marker of page `number`; its data stay until the number is used again.
void DeletePage(model::ProjectImage& image, int number);

// Pastes the copied page as page `number`: the whole record, renamed "新"/"New" + its
// name (cut to 20 bytes) and renumbered. False (nothing written) when the page is in use.
bool PastePageAs(model::ProjectImage& image, const model::PageRecord& clipboardPage, int number,
                 bool isChinese);

}  // namespace dravik::app
