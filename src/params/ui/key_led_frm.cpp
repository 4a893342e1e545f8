#include "params/ui/key_led_frm.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "params/work_parameters.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"

namespace dravik::params {

namespace {

// Before any protocol has set MaxReg.
constexpr int kRegisterFieldMax = 65535;

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
  QGroupBox* group = ui::Group(parent, name, title);
  const QString base = QString::fromUtf8(prefix);
  row.lowLabel = ui::Label(group, base + QStringLiteral("LowLabel"), "");
  row.low = ui::Named(new QSpinBox(group), base + QStringLiteral("LowSpin"));
  row.highLabel = ui::Label(group, base + QStringLiteral("HighLabel"), "");
  row.high = ui::Named(new QSpinBox(group), base + QStringLiteral("HighSpin"));
  row.high->setReadOnly(true);
  row.high->setButtonSymbols(QAbstractSpinBox::NoButtons);
  row.high->setFocusPolicy(Qt::NoFocus);
  for (QObject* runtime : {static_cast<QObject*>(row.lowLabel), static_cast<QObject*>(row.low),
                           static_cast<QObject*>(row.highLabel), static_cast<QObject*>(row.high)}) {
    MarkRuntimeText(runtime);
  }
  auto* grid = new QGridLayout(group);
  ui::Pair(grid, 0, 0, row.lowLabel, row.low);
  // The follower is not typed into: its label names no control to jump to.
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

  okButton_ = ui::Named(new QPushButton(QStringLiteral("确定(&Y)"), this), "OkButton");
  cancelButton_ = ui::Named(new QPushButton(QStringLiteral("取消(&N)"), this), "CancelButton");
  okButton_->setDefault(true);
  auto* buttons = ui::ButtonRow({okButton_, cancelButton_});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(keyGroup);
  layout->addWidget(ledGroup);
  layout->addLayout(buttons);

  connect(okButton_, &QPushButton::clicked, this, &TKeyLedFrm::ConfirmClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(keyLow_, &QSpinBox::valueChanged, this,
          [this](int value) { FirstRegisterChanged(keyLow_, keyHigh_, value); });
  connect(ledLow_, &QSpinBox::valueChanged, this,
          [this](int value) { FirstRegisterChanged(ledLow_, ledHigh_, value); });
}

void TKeyLedFrm::FirstRegisterChanged(QSpinBox* first, QSpinBox* follower, int value) {
  const int highest = HighestFirstRegister(maxReg_);
  if (value <= highest) {
    follower->setValue(Follower(value));
    return;
  }
  // Setting the value runs this again with the lowered one, which moves the follower.
  first->setValue(highest);
  hooks_.desktop.Show(this, FollowerBeyondMaxRegMessage(maxReg_), QMessageBox::Information);
}

void TKeyLedFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui::PlaceAboveCentre(this, kDialogAboveMiddle);
}

bool TKeyLedFrm::ShowKeyLed(model::PageRecord& settings, const DeviceLists& lists) {
  FormShow(settings, lists);
  return hooks_.desktop.Exec(this) == QDialog::Accepted;
}

void TKeyLedFrm::FormShow(model::PageRecord& settings, const DeviceLists& lists) {
  settings_ = &settings;
  setResult(QDialog::Rejected);
  const bool chinese = hooks_.desktop.Chinese();
  const std::string& kind = ListEntry(lists.W_DeviceName, 0);
  const QString low = QString::fromStdString(KeyLedLowCaption(kind, chinese));
  const QString high = QString::fromStdString(KeyLedHighCaption(kind, chinese));
  keyLowLabel_->setText(low);
  ledLowLabel_->setText(low);
  keyHighLabel_->setText(high);
  ledHighLabel_->setText(high);

  // Lists never loaded, or kept from before for a protocol the device resources do not
  // have, give no MaxReg to judge by: only the range of a register number bounds the pairs.
  const bool loaded = !lists.LinkUseCount.empty() && lists.Link1Known();
  const int maxReg = loaded ? lists.MaxReg : kRegisterFieldMax;
  const KeyLedRegisters registers = ReadKeyLedRegisters(settings, maxReg);
  {
    // Loading lowers a stored register quietly, as every register limit of the settings does.
    const QSignalBlocker keyBlocker(keyLow_);
    const QSignalBlocker ledBlocker(ledLow_);
    maxReg_ = maxReg;
    for (QSpinBox* spin : {keyLow_, ledLow_}) SetLimit(spin, maxReg);
    // Only a register area without room for a pair (MaxReg 0) makes a follower pass MaxReg.
    const int followerMax = std::max(maxReg, Follower(HighestFirstRegister(maxReg)));
    for (QSpinBox* spin : {keyHigh_, ledHigh_}) SetLimit(spin, followerMax);
    keyLow_->setValue(registers.key);
    ledLow_->setValue(registers.led);
  }
  keyHigh_->setValue(Follower(registers.key));
  ledHigh_->setValue(Follower(registers.led));
}

KeyLedRegisters TKeyLedFrm::Registers() const {
  return {keyLow_->value(), ledLow_->value()};
}

void TKeyLedFrm::ConfirmClick() {
  if (settings_ == nullptr) return;
  const KeyLedRegisters registers = Registers();
  const bool changed = !(registers == StoredKeyLedRegisters(*settings_));
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
