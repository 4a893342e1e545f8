#include "elements/ui/operand_selector.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "elements/ui/register_number_spin.h"
#include "params/ui/settings_dialog_hooks.h"
#include "ui/form_rows.h"

namespace dravik::elements {

namespace {

const params::DeviceLists& NothingKnown() {
  static const params::DeviceLists none;
  return none;
}

}  // namespace

OperandSelector::OperandSelector(QWidget* parent, const OperandSelectorOptions& options)
    : QWidget(parent), options_(options) {
  kind_ = ui::Named(new QComboBox(this), options.kindComboName);
  params::MarkRuntimeText(kind_);
  help_ = ui::Named(new QPushButton(QStringLiteral("?"), this), "BitBtn2");
  help_->setToolTip(QStringLiteral("PLC 元件说明"));
  help_->setFixedWidth(28);

  grid_ = new QGridLayout(this);
  grid_->setContentsMargins(0, 0, 0, 0);
  if (options.withLink) {
    // An element keeps the link it has; the hidden list only carries it through the
    // dialog.
    auto* linkLabel = ui::Label(this, "LinkLabel", "通道连接:");
    link_ = ui::Named(new QComboBox(this), "ComboBox9");
    params::MarkRuntimeText(link_);
    ui::Pair(grid_, 0, 0, linkLabel, link_);
    linkLabel->hide();
    link_->hide();
    connect(link_, &QComboBox::activated, this, [this] { ShowKind(view_.kind); });
  }
  ui::Pair(grid_, 1, 0, ui::Label(this, "KindLabel", "元件种类:"), kind_);
  grid_->addWidget(help_, 1, 2);
  if (options.registerName != nullptr) AddNumberRow();
  grid_->setColumnStretch(1, 1);

  connect(kind_, &QComboBox::activated, this, [this](int item) { ShowKind(item); });
  connect(help_, &QPushButton::clicked, this, [this] { emit helpRequested(Link()); });
}

void OperandSelector::AddNumberRow() {
  registerLabel_ = ui::Label(this, "RegisterLabel", "寄存器号:");
  params::MarkRuntimeText(registerLabel_);
  number_ = new RegisterNumberSpin(this, options_.registerName);
  params::MarkRuntimeText(number_);
  auto* numberRow = new QHBoxLayout;
  numberRow->addWidget(number_, 1);
  if (options_.category == AddressCategory::kBit) {
    dot_ = ui::Label(this, "DotLabel", ".");
    bit_ = ui::Named(new QSpinBox(this), options_.bitName);
    params::MarkRuntimeText(bit_);
    dot_->setBuddy(bit_);
    numberRow->addWidget(dot_);
    numberRow->addWidget(bit_);
  }
  grid_->addWidget(registerLabel_, 2, 0);
  grid_->addLayout(numberRow, 2, 1, 1, 2);
  registerLabel_->setBuddy(number_);
}

void OperandSelector::Load(const params::DeviceLists* lists, int link, int kind, int number,
                           int bit, bool chinese) {
  lists_ = lists;
  chinese_ = chinese;
  storedLink_ = link_ != nullptr ? link : 0;
  if (link_ != nullptr) {
    const QSignalBlocker blocker(link_);
    link_->clear();
    for (const std::string& name : (lists != nullptr ? *lists : NothingKnown()).LinkUseCount) {
      link_->addItem(QString::fromStdString(name));
    }
    ui::SetIndex(link_, storedLink_);
  }
  // The stored values first: the kind's limits then lower them where they must.
  if (number_ != nullptr) {
    number_->SetMode(false, kRegisterFieldMax);
    number_->setValue(number);
  }
  if (bit_ != nullptr) {
    bit_->setRange(0, kHighestBitNumber);
    bit_->setValue(bit);
  }
  ShowKind(kind);
}

void OperandSelector::ChooseKind(int kind) {
  if (view_.known && kind != view_.kind) ShowKind(kind);
}

void OperandSelector::HoldKind(bool held) {
  kindHeld_ = held;
  kind_->setEnabled(view_.known && !kindHeld_);
}

int OperandSelector::Link() const {
  int link = storedLink_;
  if (link_ != nullptr) ui::TakeIndex(link_, link);
  return link;
}

int OperandSelector::Number() const {
  return number_ != nullptr ? number_->value() : 0;
}

int OperandSelector::Bit() const {
  return bit_ != nullptr ? bit_->value() : 0;
}

void OperandSelector::ShowKind(int kind) {
  const params::DeviceLists& lists = lists_ != nullptr ? *lists_ : NothingKnown();
  view_ = ViewOperand(lists, Link(), options_.category, kind, chinese_);
  {
    const QSignalBlocker blocker(kind_);
    kind_->clear();
    for (const std::string& name : view_.kindItems) kind_->addItem(QString::fromStdString(name));
    kind_->setCurrentIndex(view_.kindItem);
    kind_->setEnabled(view_.known && !kindHeld_);
  }
  if (number_ != nullptr) {
    registerLabel_->setText(QString::fromStdString(
        CaptionWithKind(options_.registerCaption, view_.kindName, chinese_)));
    number_->SetMode(view_.Hexadecimal(), view_.maximum);
  }
  if (bit_ != nullptr) {
    const bool shown = view_.ShowsBitNumber();
    dot_->setVisible(shown);
    bit_->setVisible(shown);
    bit_->setAccessibleName(chinese_ ? QStringLiteral("位号") : QStringLiteral("Bit number"));
    if (shown) {
      bit_->setMaximum(view_.bitCount);
      bit_->setToolTip(QStringLiteral("0 ~ %1").arg(view_.bitCount));
    }
  }
  emit kindChanged();
}

}  // namespace dravik::elements
