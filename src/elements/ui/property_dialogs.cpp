#include "elements/ui/property_dialogs.h"

#include <array>
#include <span>

#include "elements/element_kind.h"
#include "elements/ui/group_box_bmp.h"
#include "elements/ui/group_box_current.h"
#include "elements/ui/group_box_dtext.h"
#include "elements/ui/group_box_date.h"
#include "elements/ui/group_box_fun_but.h"
#include "elements/ui/group_box_fun_key.h"
#include "elements/ui/group_box_lamp.h"
#include "elements/ui/group_box_register.h"
#include "elements/ui/group_box_text.h"
#include "elements/ui/group_box_virgate.h"
#include "elements/ui/group_changing_letter.h"
#include "elements/ui/group_draw_picture.h"

namespace dravik::elements {

namespace {

template <class Dialog>
TElementDialog* Make(QWidget* parent) {
  return new Dialog(parent);
}

using DialogMaker = TElementDialog* (*)(QWidget*);

constexpr int kTextKinds[] = {kKindText};
constexpr int kRegisterKinds[] = {kKindRegister};
constexpr int kLampKinds[] = {kKindLamp};
constexpr int kAsciiChineseKinds[] = {kKindAsciiChinese};
constexpr int kBitSwitchKinds[] = {kKindBitSwitch};
constexpr int kDynamicTextKinds[] = {kKindDynamicText};
constexpr int kDrawingKinds[] = {kKindRectangle,         kKindRectangleVariant1,
                                 kKindRectangleVariant2, kKindRectangleVariant3,
                                 kKindRectangleVariant4, kKindScale,
                                 kKindEllipse,           kKindLine};
constexpr int kPictureKinds[] = {kKindPicture};
constexpr int kTrendChartKinds[] = {kKindTrendChart};
constexpr int kBarGraphKinds[] = {kKindBarGraph};
constexpr int kFunctionKeyKinds[] = {kKindFunctionKey};
constexpr int kClockKinds[] = {kKindDate, kKindTime};

// One row per dialog: how it is made and the kinds it edits.
struct DialogRow {
  DialogMaker make;
  std::span<const int> kinds;
};
// clang-format off
constexpr std::array<DialogRow, 12> kDialogRows{{
  {Make<TGroupBoxText>,        kTextKinds},
  {Make<TGroupBoxRegister>,    kRegisterKinds},
  {Make<TGroupBoxLamp>,        kLampKinds},
  {Make<TGroupChangingLetter>, kAsciiChineseKinds},
  {Make<TGroupBoxFunBut>,      kBitSwitchKinds},
  {Make<TGroupDrawPicture>,    kDrawingKinds},
  {Make<TGroupBoxBmp>,         kPictureKinds},
  {Make<TGroupBoxCurrent>,     kTrendChartKinds},
  {Make<TGroupBoxVirgate>,     kBarGraphKinds},
  {Make<TGroupBoxDText>,       kDynamicTextKinds},
  {Make<TGroupBoxFunKey>,      kFunctionKeyKinds},
  {Make<TGroupBoxDate>,        kClockKinds},
}};
// clang-format on

}  // namespace

PropertyDialogs::PropertyDialogs(QWidget* parent) {
  for (const DialogRow& row : kDialogRows) dialogs_.push_back(row.make(parent));
}

TElementDialog* PropertyDialogs::DialogFor(int kind) const {
  for (std::size_t i = 0; i < kDialogRows.size(); ++i) {
    for (int edited : kDialogRows[i].kinds) {
      if (edited == kind) return dialogs_[i];
    }
  }
  return nullptr;
}

bool PropertyDialogs::Open(model::PageRecord& page, int slot,
                           const PropertyContext& context) const {
  if (slot < 0 || slot >= model::kSlotCount) return false;
  TElementDialog* dialog = DialogFor(page.ElemKind[static_cast<std::size_t>(slot)]);
  return dialog != nullptr && dialog->Edit(page, slot, context);
}

}  // namespace dravik::elements
