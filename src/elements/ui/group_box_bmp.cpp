#include "elements/ui/group_box_bmp.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "editor/render/element_renderers.h"
#include "elements/ui/operand_selector.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

// The preview shows pictures up to this size whole; a larger one scrolls.
constexpr int kPreviewWidth = 240;
constexpr int kPreviewHeight = 160;

// The picture's size is the element's: the fields show it and cannot be typed into.
void ShowOnly(QSpinBox* spin) {
  spin->setReadOnly(true);
  spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
}

}  // namespace

TGroupBoxBmp::TGroupBoxBmp(QWidget* parent)
    : TElementDialog(parent, "GroupBoxBmp", " 图片属性 ", {nullptr, nullptr}) {
  Frame()->setTitle(QStringLiteral("位置"));
  ShowOnly(Frame()->WidthSpin());
  ShowOnly(Frame()->HeightSpin());

  auto* previewGroup = ui::Group(this, "PreviewGroup", "图片");
  preview_ = ui::Named(new QLabel(previewGroup), "Image1");
  preview_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  preview_->setToolTip(QStringLiteral("双击更换图片"));
  preview_->setAccessibleDescription(preview_->toolTip());
  preview_->installEventFilter(this);
  auto* scroll = new QScrollArea(previewGroup);
  scroll->setWidget(preview_);
  scroll->setWidgetResizable(false);
  scroll->setMinimumSize(kPreviewWidth, kPreviewHeight);
  (new QVBoxLayout(previewGroup))->addWidget(scroll);

  auto* visibilityGroup = ui::Group(this, "VisibilityGroup", "可见度");
  visibility_ = ui::Named(new QCheckBox(QStringLiteral("可见度控制"), visibilityGroup), "CheckBox1");
  operand_ = new OperandSelector(visibilityGroup, {.category = AddressCategory::kBit,
                                                   .registerCaption = kRegisterCaption,
                                                   .kindComboName = "ComboBox2",
                                                   .registerName = "SpinEdit13",
                                                   .bitName = "SpinEdit14"});
  auto* visibilityLayout = new QVBoxLayout(visibilityGroup);
  visibilityLayout->addWidget(visibility_);
  visibilityLayout->addWidget(operand_);
  visibilityLayout->addStretch(1);

  auto* row = new QHBoxLayout;
  row->addWidget(previewGroup, 1);
  row->addWidget(visibilityGroup);
  Body()->addLayout(row);

  OfferDeviceHelp(operand_);
  connect(visibility_, &QCheckBox::toggled, this, &TGroupBoxBmp::VisibilityShown);
}

void TGroupBoxBmp::Load(const model::PageRecord& page, int slot) {
  const PictureProperties picture = ReadPictureProperties(page, slot);
  chosenId_ = picture.pictureId;
  ShowChosenPicture(false);
  operand_->Load(Context().lists, picture.operand.link, picture.operand.kind,
                 picture.operand.registerNumber, picture.operand.bit, Chinese());
  visibility_->setChecked(picture.visibilityByBit);
  VisibilityShown();
}

bool TGroupBoxBmp::Store(model::PageRecord& page, int slot) {
  PictureProperties picture = ReadPictureProperties(page, slot);
  picture.frame = FrameShown();
  picture.pictureId = chosenId_;
  picture.visibilityByBit = visibility_->isChecked();
  picture.operand = {operand_->Link(), operand_->Kind(), operand_->Number(), operand_->Bit()};
  WritePictureProperties(page, slot, picture);
  return true;
}

bool TGroupBoxBmp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == preview_ && event->type() == QEvent::MouseButtonDblClick) {
    ChangePicture();
    return true;
  }
  return TElementDialog::eventFilter(watched, event);
}

void TGroupBoxBmp::ChangePicture() {
  if (!Context().choosePicture) return;
  chosenId_ = Context().choosePicture(chosenId_);
  ShowChosenPicture(true);
}

void TGroupBoxBmp::ShowChosenPicture(bool takeSize) {
  const editor::ShownPicture shown = editor::PictureShown(Context().pictures, chosenId_, Chinese());
  preview_->setPixmap(QPixmap::fromImage(shown.image));
  preview_->resize(shown.image.isNull() ? QSize(kPreviewWidth, kPreviewHeight) : shown.image.size());
  if (takeSize && shown.fromLibrary) {
    Frame()->WidthSpin()->setValue(shown.image.width());
    Frame()->HeightSpin()->setValue(shown.image.height());
  }
}

void TGroupBoxBmp::VisibilityShown() {
  operand_->setEnabled(visibility_->isChecked());
}

}  // namespace dravik::elements
