#pragma once
// The keyboard LED dialog "设定下键盘按键&指示灯": the first register of the keys'
// pair and of the LEDs' pair; the second register of each pair follows the first.

#include <QDialog>

#include "model/page_record.h"
#include "model/project_image.h"
#include "params/device_resources.h"
#include "params/key_led.h"
#include "params/ui/settings_dialog_hooks.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace dravik::params {

class TKeyLedFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TKeyLedFrm(QWidget* parent = nullptr);

  void SetHooks(SettingsDialogHooks hooks) { hooks_ = std::move(hooks); }

  // Shows the dialog for `settings`; true after "确定(&Y)".
  bool ShowKeyLed(model::PageRecord& settings, const DeviceLists& lists);

  // What showing does before the modal loop, and confirming.
  void FormShow(model::PageRecord& settings, const DeviceLists& lists);
  void ConfirmClick();

  KeyLedRegisters Registers() const;
  QSpinBox* KeySpin() const { return keyLow_; }
  QSpinBox* KeyFollowerSpin() const { return keyHigh_; }
  QSpinBox* LedSpin() const { return ledLow_; }
  QSpinBox* LedFollowerSpin() const { return ledHigh_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // A first register at MaxReg would put its follower beyond it: it is lowered, and said so.
  void FirstRegisterChanged(QSpinBox* first, QSpinBox* follower, int value);

  SettingsDialogHooks hooks_;
  model::PageRecord* settings_ = nullptr;
  int maxReg_ = 0;

  QLabel* keyLowLabel_ = nullptr;
  QLabel* keyHighLabel_ = nullptr;
  QLabel* ledLowLabel_ = nullptr;
  QLabel* ledHighLabel_ = nullptr;
  QSpinBox* keyLow_ = nullptr;
  QSpinBox* keyHigh_ = nullptr;
  QSpinBox* ledLow_ = nullptr;
  QSpinBox* ledHigh_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

TKeyLedFrm* KeyLedForm(QWidget* parent);

// Shows the keyboard LED parameters for the project; true when confirmed. A confirmation
// that changed a register calls `hooks.enableSave`, so the change is not lost unsaved.
bool ShowKeyLedParameters(QWidget* parent, model::ProjectImage& image, const DeviceLists& lists,
                          const SettingsDialogHooks& hooks);

}  // namespace dravik::params
