#include "params/ui/key_led_frm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "params/work_parameters.h"

namespace dravik::params {

namespace {

// Before any protocol has set MaxReg.
constexpr int kRegisterFieldMax = 65535;

template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QLatin1String(name));
  return widget;
}

struct PairRow {
  QLabel* lowLabel;
  QSpinBox* low;
  QLabel* highLabel;
  QSpinBox* high;
};

// One group: the first register and its follower, which shows the first plus 1 and is
// not typed into.
QGroupBox* PairGroup(QWidget* parent, const char* name, const char* title, const char* prefix,
                     PairRow& row) {
  auto* group = Named(new QGroupBox(QString::fromUtf8(title), parent), name);
  const QString base = QString::fromUtf8(prefix);
  row.lowLabel = new QLabel(group);
  row.lowLabel->setObjectName(base + QStringLiteral("LowLabel"));
  row.low = new QSpinBox(group);
  row.low->setObjectName(base + QStringLiteral("LowSpin"));
  row.highLabel = new QLabel(group);
  row.highLabel->setObjectName(base + QStringLiteral("HighLabel"));
  row.high = new QSpinBox(group);
  row.high->setObjectName(base + QStringLiteral("HighSpin"));
  row.high->setReadOnly(true);
  row.high->setButtonSymbols(QAbstractSpinBox::NoButtons);
  row.high->setFocusPolicy(Qt::NoFocus);
  row.lowLabel->setBuddy(row.low);
  for (QObject* runtime : {static_cast<QObject*>(row.lowLabel), static_cast<QObject*>(row.low),
                           static_cast<QObject*>(row.highLabel), static_cast<QObject*>(row.high)}) {
    MarkRuntimeText(runtime);
  }
  auto* grid = new QGridLayout(group);
  grid->addWidget(row.lowLabel, 0, 0);
  grid->addWidget(row.low, 0, 1);
  grid->addWidget(row.highLabel, 1, 0);
  grid->addWidget(row.high, 1, 1);
  return group;
}

void SetLimit(QSpinBox* spin, int max) {
  spin->setRange(0, max);
  spin->setToolTip(QString::fromStdString(LimitHint(max)));
}

}  // namespace

TKeyLedFrm::TKeyLedFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("KeyLedFrm"));
  setWindowTitle(QStringLiteral("设定下键盘按键&指示灯"));

  PairRow keys{};
  PairRow leds{};
  QGroupBox* keyGroup = PairGroup(this, "KeyGroup", "按键 K00-K31 ", "Key", keys);
  QGroupBox* ledGroup = PairGroup(this, "LedGroup", "指示灯 LED00-LED31 ", "Led", leds);
  keyLowLabel_ = keys.lowLabel;
  keyLow_ = keys.low;
  keyHighLabel_ = keys.highLabel;
  keyHigh_ = keys.high;
  ledLowLabel_ = leds.lowLabel;
  ledLow_ = leds.low;
  ledHighLabel_ = leds.highLabel;
  ledHigh_ = leds.high;

  okButton_ = Named(new QPushButton(QStringLiteral("确定(&Y)"), this), "OkButton");
  cancelButton_ = Named(new QPushButton(QStringLiteral("取消(&N)"), this), "CancelButton");
  okButton_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(keyGroup);
  layout->addWidget(ledGroup);
  layout->addLayout(buttons);

  connect(okButton_, &QPushButton::clicked, this, &TKeyLedFrm::ConfirmClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(keyLow_, &QSpinBox::valueChanged, this,
          [this](int value) { keyHigh_->setValue(Follower(value)); });
  connect(ledLow_, &QSpinBox::valueChanged, this,
          [this](int value) { ledHigh_->setValue(Follower(value)); });
}

void TKeyLedFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  PlaceAboveMiddle(this, kDialogAboveMiddle);
}

bool TKeyLedFrm::ShowKeyLed(model::PageRecord& settings, const DeviceLists& lists) {
  FormShow(settings, lists);
  return ExecDialog(hooks_, this) == QDialog::Accepted;
}

void TKeyLedFrm::FormShow(model::PageRecord& settings, const DeviceLists& lists) {
  settings_ = &settings;
  setResult(QDialog::Rejected);
  const bool chinese = IsChinese(hooks_);
  const std::string& kind = ListEntry(lists.W_DeviceName, 0);
  const QString low = QString::fromStdString(KeyLedLowCaption(kind, chinese));
  const QString high = QString::fromStdString(KeyLedHighCaption(kind, chinese));
  keyLowLabel_->setText(low);
  ledLowLabel_->setText(low);
  keyHighLabel_->setText(high);
  ledHighLabel_->setText(high);

  // Lists never loaded give no MaxReg to judge by: the registers are shown as stored.
  const bool loaded = !lists.LinkUseCount.empty();
  const int maxReg = loaded ? lists.MaxReg : kRegisterFieldMax;
  SetLimit(keyLow_, maxReg);
  SetLimit(ledLow_, maxReg);
  // The follower of the highest register lies one above it; it still shows what the panel
  // will use.
  SetLimit(keyHigh_, Follower(maxReg));
  SetLimit(ledHigh_, Follower(maxReg));
  keyHigh_->setToolTip(keyLow_->toolTip());
  ledHigh_->setToolTip(ledLow_->toolTip());

  const KeyLedRegisters registers = ReadKeyLedRegisters(settings, maxReg);
  keyLow_->setValue(registers.key);
  ledLow_->setValue(registers.led);
  keyHigh_->setValue(Follower(registers.key));
  ledHigh_->setValue(Follower(registers.led));
}

KeyLedRegisters TKeyLedFrm::Registers() const {
  return {keyLow_->value(), ledLow_->value()};
}

void TKeyLedFrm::ConfirmClick() {
  if (settings_ == nullptr) return;
  const KeyLedRegisters registers = Registers();
  const bool changed = !(registers == ReadKeyLedRegisters(*settings_, kRegisterFieldMax));
  WriteKeyLedRegisters(*settings_, registers);
  if (changed && hooks_.enableSave) hooks_.enableSave();
  accept();
}

TKeyLedFrm* KeyLedForm(QWidget* parent) {
  if (parent != nullptr) {
    if (auto* form = parent->findChild<TKeyLedFrm*>(QString(), Qt::FindDirectChildrenOnly))
      return form;
  }
  return new TKeyLedFrm(parent);
}

bool ShowKeyLedParameters(QWidget* parent, model::ProjectImage& image, const DeviceLists& lists,
                          const SettingsDialogHooks& hooks) {
  TKeyLedFrm* form = KeyLedForm(parent);
  form->SetHooks(hooks);
  const bool confirmed = form->ShowKeyLed(image.Settings(), lists);
  if (parent == nullptr) delete form;
  return confirmed;
}

}  // namespace dravik::params
