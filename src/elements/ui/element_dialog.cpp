#include "elements/ui/element_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "elements/ui/operand_selector.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"
#include "ui/gbk_limit.h"

namespace dravik::elements {

namespace {

// Where an edit keeps the text it was given and the bytes it came from.
constexpr char kShownText[] = "dravikShownText";
constexpr char kStoredBytes[] = "dravikStoredBytes";

}  // namespace

TElementDialog::TElementDialog(QWidget* parent, const char* objectName, const char* caption,
                               ColourCaptions colours)
    : QDialog(parent) {
  setObjectName(QString::fromLatin1(objectName));
  setWindowTitle(QString::fromUtf8(caption));
  auto* layout = new QVBoxLayout(this);
  body_ = new QVBoxLayout;
  layout->addLayout(body_);
  frame_ = new FrameFields(this, colours);
  layout->addWidget(frame_);
  buttons_ = ui::AddDialogButtons(*this, *layout, QStringLiteral("确定(&Y)"));
  connect(buttons_.ok, &QPushButton::clicked, this, &TElementDialog::RzDialogButtons1ClickOk);
}

const ui::DesktopHooks& TElementDialog::Hooks() const {
  return context_.hooks != nullptr ? *context_.hooks : plainDesktop_;
}

bool TElementDialog::Edit(model::PageRecord& page, int slot, const PropertyContext& context) {
  context_ = context;
  page_ = &page;
  slot_ = slot;
  frame_->SetHooks(&Hooks());
  frame_->Load(ReadFrame(page, slot),
               FrameRangesFor(context.pageWidth, context.pageHeight, MinElementSize()));
  Load(page, slot);
  setResult(QDialog::Rejected);
  const bool accepted = Hooks().Exec(this) == QDialog::Accepted;
  page_ = nullptr;
  return accepted;
}

void TElementDialog::RzDialogButtons1ClickOk() {
  if (page_ == nullptr || !Store(*page_, slot_)) return;
  accept();
}

void TElementDialog::OfferDeviceHelp(OperandSelector* operand) {
  connect(operand, &OperandSelector::helpRequested, this, [this](int link) {
    if (context_.deviceHelp) context_.deviceHelp(link);
  });
}

void TElementDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui::PlaceAboveCentre(this, kElementDialogAboveMiddle);
  if (QWidget* field = FirstFocus()) field->setFocus();
}

QLineEdit* ModelTextEdit(QWidget* parent, const char* name, int bytes) {
  auto* edit = ui::Named(new QLineEdit(parent), name);
  ui::LimitGbkBytes(edit, bytes);
  return edit;
}

void ShowModelText(QLineEdit* edit, const std::string& gbk) {
  edit->setText(ui::FromGbk(gbk));
  edit->setProperty(kShownText, edit->text());
  edit->setProperty(kStoredBytes, QByteArray::fromStdString(gbk));
}

std::string ModelText(const QLineEdit* edit) {
  if (edit->text() == edit->property(kShownText).toString()) {
    return edit->property(kStoredBytes).toByteArray().toStdString();
  }
  return ui::ToGbk(edit->text());
}

}  // namespace dravik::elements
