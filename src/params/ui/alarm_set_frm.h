#pragma once
// The alarm list dialog "报警列表设置": the bit kind, the start register, the number of
// alarms and the list font, and one text per alarm in each panel language, on two tabs
// whose grids show every alarm's address next to its text. Nothing is written before
// "确认(&Y)".

#include <QDialog>
#include <QString>
#include <array>

#include "model/page_record.h"
#include "model/project_image.h"
#include "model/settings_page.h"
#include "params/device_resources.h"
#include "params/ui/settings_dialog_hooks.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace dravik::params {

inline constexpr int kAlarmTextColumnWidth = 220;

class TAlarmSetFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TAlarmSetFrm(QWidget* parent = nullptr);

  void SetHooks(SettingsDialogHooks hooks) { hooks_ = std::move(hooks); }

  // Shows the dialog for `settings`; true after "确认(&Y)".
  bool ShowAlarmSettings(model::PageRecord& settings, const DeviceLists& lists);

  // What showing does before the modal loop, and the three buttons.
  void FormShow(model::PageRecord& settings, const DeviceLists& lists);
  void ConfirmClick();
  void ClearClick();

  QComboBox* KindCombo() const { return kind_; }
  QSpinBox* StartSpin() const { return start_; }
  QSpinBox* CountSpin() const { return count_; }
  QLabel* StartLabel() const { return startLabel_; }
  // The grid of language 0 ("语言一") or 1 ("语言二").
  QTableWidget* Grid(int language) const { return grids_[static_cast<std::size_t>(language)]; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ComputeAddresses();
  // The texts typed into the grids go back to the texts kept for all 80 alarms, so
  // lowering the count and raising it again brings them back.
  void KeepGridTexts();
  bool Chinese() const { return hooks_.desktop.Chinese(); }

  SettingsDialogHooks hooks_;
  model::PageRecord* settings_ = nullptr;
  std::array<std::array<QString, model::settings::kMaxAlarms>, 2> texts_;

  QComboBox* kind_ = nullptr;
  QLabel* startLabel_ = nullptr;
  QSpinBox* start_ = nullptr;
  QSpinBox* count_ = nullptr;
  QComboBox* font_ = nullptr;
  QTabWidget* pages_ = nullptr;
  std::array<QTableWidget*, 2> grids_{};
  QPushButton* okButton_ = nullptr;
  QPushButton* clearButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

TAlarmSetFrm* AlarmSettingsForm(QWidget* parent);

// Shows the alarm list for the project; true when confirmed (`hooks.enableSave` is
// called then).
bool ShowAlarmSettings(QWidget* parent, model::ProjectImage& image, const DeviceLists& lists,
                       const SettingsDialogHooks& hooks);

}  // namespace dravik::params
