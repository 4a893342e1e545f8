#pragma once
// What every element property dialog shares: it is made once for the whole run, opens
// modally over one slot of the page being edited, shows the common frame (position, size,
// move lock, colours) beside its own fields, and writes the slot only when "确定(&Y)"
// accepts; "取消(&N)" writes nothing. A dialog is a view of its kind's property values
// (elements/*_properties.h): it loads them from the slot and stores them back.

#include <QDialog>
#include <string>

#include "elements/ui/frame_fields.h"
#include "elements/ui/property_context.h"
#include "model/page_record.h"
#include "ui/desktop_hooks.h"
#include "ui/dialog_buttons.h"

class QLineEdit;
class QVBoxLayout;

namespace dravik::elements {

class OperandSelector;

// Where the element dialogs open: this far above the middle of the screen.
inline constexpr int kElementDialogAboveMiddle = 100;

class TElementDialog : public QDialog {
  Q_OBJECT

 public:
  // Shows the element in `slot` of `page` and runs the dialog; true after OK (the slot
  // holds what the dialog showed), false after Cancel (nothing was written).
  bool Edit(model::PageRecord& page, int slot, const PropertyContext& context);

  // "确定(&Y)": checks, writes the slot and closes. A refusal is shown and the dialog stays
  // open with nothing written.
  void RzDialogButtons1ClickOk();

  QPushButton* OkButton() const { return buttons_.ok; }
  QPushButton* CancelButton() const { return buttons_.cancel; }
  FrameFields* Frame() const { return frame_; }

 protected:
  TElementDialog(QWidget* parent, const char* objectName, const char* caption,
                 ColourCaptions colours = {});

  // Shows the slot's own fields; the frame's position and size are already shown.
  virtual void Load(const model::PageRecord& page, int slot) = 0;
  // Writes the slot from the fields; false when the values are refused (after telling why).
  virtual bool Store(model::PageRecord& page, int slot) = 0;
  // The field that has the focus when the dialog opens; none by default.
  virtual QWidget* FirstFocus() const { return nullptr; }
  // The smallest width and height the frame accepts.
  virtual int MinElementSize() const { return kMinElementSize; }

  void showEvent(QShowEvent* event) override;

  const PropertyContext& Context() const { return context_; }
  const ui::DesktopHooks& Hooks() const;
  bool Chinese() const { return Hooks().Chinese(); }
  // The layout the dialog's own fields go into, above the frame.
  QVBoxLayout* Body() const { return body_; }
  // "?" of the operand opens the PLC device help of its link.
  void OfferDeviceHelp(OperandSelector* operand);
  // The frame as the fields show it now.
  FrameValues FrameShown() const { return frame_->Values(); }

 private:
  PropertyContext context_;
  ui::DesktopHooks plainDesktop_;
  model::PageRecord* page_ = nullptr;
  int slot_ = -1;
  QVBoxLayout* body_ = nullptr;
  FrameFields* frame_ = nullptr;
  ui::DialogButtons buttons_;
};

// An edit for a text the model keeps as a short string: it holds at most `bytes` GBK
// bytes while typing.
QLineEdit* ModelTextEdit(QWidget* parent, const char* name, int bytes);
// Shows a stored GBK text.
void ShowModelText(QLineEdit* edit, const std::string& gbk);
// The edit's text as the model keeps it. A text left as it was shown gives back the stored
// bytes, so a text the desktop cannot show exactly survives a dialog that did not touch it.
std::string ModelText(const QLineEdit* edit);

}  // namespace dravik::elements
