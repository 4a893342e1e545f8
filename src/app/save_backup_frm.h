#pragma once
// "保存和备份": automatic saving, its interval in minutes and the backup copy made before
// every save.

#include <QDialog>
#include <functional>

#include "model/project_session.h"
#include "platform/bilingual.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace dravik::app {

extern const Bilingual kIntervalMissingMessage;

class TSaveBackupFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TSaveBackupFrm(QWidget* parent = nullptr);

  void Load(const model::BackupSettings& settings);
  // "确认(&Y)": the settings from the controls; false (dialog stays open, nothing
  // changed) when the minutes edit is empty.
  bool Confirm();
  const model::BackupSettings& Settings() const { return settings_; }

  QCheckBox* AutoSaveCheck() const { return autoSave_; }
  QLineEdit* MinutesEdit() const { return minutes_; }
  QCheckBox* BackupCheck() const { return backup_; }

  std::function<void(const Bilingual& message)> warn;

 private:
  model::BackupSettings settings_;
  QCheckBox* autoSave_ = nullptr;
  QLineEdit* minutes_ = nullptr;
  QCheckBox* backup_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
};

}  // namespace dravik::app
