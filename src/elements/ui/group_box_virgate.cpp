#include "elements/ui/group_box_virgate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include "editor/render/element_renderers.h"
#include "elements/register_properties.h"
#include "elements/ui/chart_fields.h"
#include "elements/ui/colour_panel.h"
#include "elements/ui/operand_selector.h"
#include "elements/ui/register_number_spin.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

static_assert(kFillPatternCount == editor::kBarFillPatterns);

// The pattern list draws its items: each one a sample of its pattern, as the page fills a
// bar with it. The samples are made once, with the dialog, and go with it.
class FillPatternDelegate : public QStyledItemDelegate {
 public:
  explicit FillPatternDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    for (int pattern = 0; pattern < kFillPatternCount; ++pattern) {
      samples_[static_cast<std::size_t>(pattern)] =
          editor::BarFillSample(pattern, kPatternSampleWidth, kPatternSampleHeight);
    }
  }

  const QImage& Sample(int pattern) const { return samples_.at(static_cast<std::size_t>(pattern)); }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
    const int row = index.row();
    if (row < 0 || row >= kFillPatternCount) return;
    painter->drawImage(option.rect.topLeft() + QPoint(kPatternSampleInset, kPatternSampleInset),
                       Sample(row));
  }

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {kPatternSampleWidth + 2 * kPatternSampleInset, kPatternItemHeight};
  }

 private:
  std::array<QImage, kFillPatternCount> samples_;
};

QComboBox* FillPatternList(QWidget* parent) {
  auto* combo = ui::Named(new QComboBox(parent), "ComboBox3");
  // Its items are samples, not texts a language file could replace.
  params::MarkRuntimeText(combo);
  auto* delegate = new FillPatternDelegate(combo);
  combo->setItemDelegate(delegate);
  // The closed list shows the chosen sample too.
  combo->setIconSize({kPatternSampleWidth, kPatternSampleHeight});
  for (int pattern = 0; pattern < kFillPatternCount; ++pattern) {
    combo->addItem(QIcon(QPixmap::fromImage(delegate->Sample(pattern))), QString());
  }
  return combo;
}

QCheckBox* IndirectCheck(QWidget* parent, const char* name) {
  auto* check = ui::Named(new QCheckBox(QStringLiteral("间接  D:"), parent), name);
  params::MarkRuntimeText(check);
  return check;
}

RegisterNumberSpin* IndirectRegister(QWidget* parent, const char* name) {
  auto* spin = new RegisterNumberSpin(parent, name);
  params::MarkRuntimeText(spin);
  return spin;
}

QSpinBox* ScaleSpin(QWidget* parent, const char* name) {
  auto* spin = ui::Named(new QSpinBox(parent), name);
  params::MarkRuntimeText(spin);  // its hint follows the data type
  return spin;
}

}  // namespace

TGroupBoxVirgate::TGroupBoxVirgate(QWidget* parent)
    : TElementDialog(parent, "GroupBoxVirgate", " 棒状图属性 ") {
  // ---- the register and how the bar looks
  auto* registerGroup = ui::Group(this, "RegisterGroup", "寄存器");
  operand_ = new OperandSelector(registerGroup, {.category = AddressCategory::kWord,
                                                 .registerCaption = kRegisterCaption,
                                                 .kindComboName = "ComboBox4",
                                                 .registerName = "SpinEdit3"});
  dataType_ = ui::Combo(registerGroup, "ComboBox1", kDataTypeNames);
  direction_ = ui::Combo(registerGroup, "ComboBox2", kBarDirectionNames);
  pattern_ = FillPatternList(registerGroup);
  patternLabel_ = ui::Label(registerGroup, "PatternLabel", "显示图案:");
  QGridLayout* registerGrid = operand_->Grid();
  ui::Pair(registerGrid, 3, 0, ui::Label(registerGroup, "DataTypeLabel", "数据类型:"), dataType_);
  ui::Pair(registerGrid, 4, 0, ui::Label(registerGroup, "DirectionLabel", "显示格式:"), direction_);
  ui::Pair(registerGrid, 5, 0, patternLabel_, pattern_);
  // The pattern is kept, not offered: the device image does not carry it.
  patternLabel_->hide();
  pattern_->hide();
  (new QHBoxLayout(registerGroup))->addWidget(operand_);

  // ---- full scale and zero, constants or registers
  auto* controlGroup = ui::Group(this, "ControlGroup", "控制");
  fullScale_ = ScaleSpin(controlGroup, "SpinEdit31");
  zero_ = ScaleSpin(controlGroup, "SpinEdit32");
  fullScaleIndirect_ = IndirectCheck(controlGroup, "CheckBox14");
  zeroIndirect_ = IndirectCheck(controlGroup, "CheckBox15");
  fullScaleRegister_ = IndirectRegister(controlGroup, "SpinEdit12");
  zeroRegister_ = IndirectRegister(controlGroup, "SpinEdit15");
  auto* controlGrid = new QGridLayout(controlGroup);
  ui::Pair(controlGrid, 0, 0, ui::Label(controlGroup, "FullScaleLabel", "满额度值:"), fullScale_);
  controlGrid->addWidget(fullScaleIndirect_, 1, 0);
  controlGrid->addWidget(fullScaleRegister_, 1, 1);
  ui::Pair(controlGrid, 2, 0, ui::Label(controlGroup, "ZeroLabel", "零额度值:"), zero_);
  controlGrid->addWidget(zeroIndirect_, 3, 0);
  controlGrid->addWidget(zeroRegister_, 3, 1);

  auto* row = new QHBoxLayout;
  row->addWidget(registerGroup);
  row->addWidget(controlGroup);
  Body()->addLayout(row);

  OfferDeviceHelp(operand_);
  connect(operand_, &OperandSelector::kindChanged, this, &TGroupBoxVirgate::KindShown);
  connect(dataType_, &QComboBox::currentIndexChanged, this, &TGroupBoxVirgate::DataTypeShown);
  connect(fullScaleIndirect_, &QCheckBox::toggled, this, &TGroupBoxVirgate::UpdateEnabling);
  connect(zeroIndirect_, &QCheckBox::toggled, this, &TGroupBoxVirgate::UpdateEnabling);
}

void TGroupBoxVirgate::Load(const model::PageRecord& page, int slot) {
  stored_ = ReadBarGraphProperties(page, slot);
  const BarGraphProperties& bar = stored_;
  {
    const QSignalBlocker b1(dataType_), b2(fullScaleIndirect_), b3(zeroIndirect_);
    ui::SetIndex(dataType_, bar.operand.dataType);
    fullScaleIndirect_->setChecked(bar.fullScaleIndirect);
    zeroIndirect_->setChecked(bar.zeroIndirect);
  }
  DataTypeShown();
  // The stored registers first: the kind's maximum then lowers them where it must.
  fullScaleRegister_->SetMode(false, kRegisterFieldMax);
  zeroRegister_->SetMode(false, kRegisterFieldMax);
  fullScaleRegister_->setValue(bar.fullScaleRegister);
  zeroRegister_->setValue(bar.zeroRegister);
  operand_->Load(Context().lists, bar.operand.link, bar.operand.kind, bar.operand.registerNumber, 0,
                 Chinese());
  fullScale_->setValue(bar.fullScale);
  zero_->setValue(bar.zeroValue);
  ui::SetIndex(direction_, bar.direction);
  ShowHiddenSelection(pattern_, bar.pattern);
  const std::array<Bilingual, kFillPatternCount>& names = kFillPatternNames;
  for (int pattern = 0; pattern < kFillPatternCount; ++pattern) {
    pattern_->setItemData(
        pattern, QString::fromStdString(names[static_cast<std::size_t>(pattern)].In(Chinese())),
        Qt::AccessibleTextRole);
  }
  Frame()->BackColour()->SetColour(bar.backColour);
  Frame()->ForeColour()->SetColour(bar.foreColour);
  UpdateEnabling();
}

bool TGroupBoxVirgate::Store(model::PageRecord& page, int slot) {
  BarGraphProperties bar = stored_;
  bar.frame = FrameShown();
  bar.operand = {operand_->Link(), operand_->Kind(), operand_->Number(), bar.operand.dataType};
  ui::TakeIndex(dataType_, bar.operand.dataType);
  ui::TakeIndex(direction_, bar.direction);
  bar.pattern = HiddenSelection(pattern_);
  bar.fullScaleIndirect = fullScaleIndirect_->isChecked();
  bar.zeroIndirect = zeroIndirect_->isChecked();
  bar.fullScale = fullScale_->value();
  bar.zeroValue = zero_->value();
  bar.fullScaleRegister = fullScaleRegister_->value();
  bar.zeroRegister = zeroRegister_->value();
  bar.backColour = Frame()->BackColour()->Colour();
  bar.foreColour = Frame()->ForeColour()->Colour();
  if (const std::optional<Bilingual> refusal = CheckBarGraph(bar)) {
    Hooks().Show(this, *refusal, QMessageBox::Warning);
    fullScale_->setFocus();
    return false;
  }
  WriteBarGraphProperties(page, slot, bar);
  return true;
}

void TGroupBoxVirgate::DataTypeShown() {
  int dataType = stored_.operand.dataType;
  ui::TakeIndex(dataType_, dataType);
  SetScaleRange(fullScale_, FullScaleRange(dataType));
  SetScaleRange(zero_, BarZeroRange(dataType));
}

void TGroupBoxVirgate::KindShown() {
  const OperandView& view = operand_->View();
  const bool chinese = Chinese();
  const QString indirect =
      QString::fromStdString(CaptionWithKind(kIndirectCaption, view.kindName, chinese));
  fullScaleIndirect_->setText(indirect);
  zeroIndirect_->setText(indirect);
  fullScaleRegister_->SetMode(view.Hexadecimal(), view.maximum);
  zeroRegister_->SetMode(view.Hexadecimal(), view.maximum);
  // The boxes name both registers on the screen; a screen reader needs names of its own.
  fullScaleRegister_->setAccessibleName(chinese ? QStringLiteral("满额度寄存器")
                                                : QStringLiteral("Full scale register"));
  zeroRegister_->setAccessibleName(chinese ? QStringLiteral("零额度寄存器")
                                           : QStringLiteral("Zero register"));
}

void TGroupBoxVirgate::UpdateEnabling() {
  const bool fullScaleIndirect = fullScaleIndirect_->isChecked();
  const bool zeroIndirect = zeroIndirect_->isChecked();
  fullScale_->setEnabled(!fullScaleIndirect);
  fullScaleRegister_->setEnabled(fullScaleIndirect);
  zero_->setEnabled(!zeroIndirect);
  zeroRegister_->setEnabled(zeroIndirect);
}

}  // namespace dravik::elements
