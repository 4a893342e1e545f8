#include "app/save_backup_frm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/dialog_buttons.h"

namespace dravik::app {

const Bilingual kIntervalMissingMessage{"请输入保存间隔分钟数 ！", "Please enter the minutes between saves!"};

TSaveBackupFrm::TSaveBackupFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SaveBackupFrm"));
  setWindowTitle(QStringLiteral("保存和备份"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral(" 文件安全措施 "), this);
  group->setObjectName(QStringLiteral("SafetyGroup"));
  auto* groupLayout = new QVBoxLayout(group);
  autoSave_ = new QCheckBox(QStringLiteral("自动保存(&U)"), group);
  autoSave_->setObjectName(QStringLiteral("AutoSaveCheck"));
  auto* minutesRow = new QHBoxLayout;
  auto* minutesLabel = new QLabel(QStringLiteral("保存间隔分钟数(&M)"), group);
  minutesLabel->setObjectName(QStringLiteral("MinutesLabel"));
  minutes_ = new QLineEdit(group);
  minutes_->setObjectName(QStringLiteral("MinutesEdit"));
  minutes_->setMaxLength(2);
  minutes_->setFixedWidth(40);
  minutes_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,2}")), minutes_));
  minutesLabel->setBuddy(minutes_);
  minutesRow->addWidget(minutesLabel);
  minutesRow->addWidget(minutes_);
  minutesRow->addStretch();
  auto* extension = new QLabel(QStringLiteral("临时文件的扩展名: bak$"), group);
  extension->setObjectName(QStringLiteral("ExtensionLabel"));
  backup_ = new QCheckBox(QStringLiteral("每次保存均创建备份(&B)"), group);
  backup_->setObjectName(QStringLiteral("BackupCheck"));
  groupLayout->addWidget(autoSave_);
  groupLayout->addLayout(minutesRow);
  groupLayout->addWidget(extension);
  groupLayout->addWidget(backup_);
  layout->addWidget(group);

  const ui::DialogButtons buttons = ui::AddDialogButtons(*this, *layout, QStringLiteral("确认(&Y)"));
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;

  connect(autoSave_, &QCheckBox::toggled, minutes_, &QLineEdit::setEnabled);
  // A pause of zero minutes would save without a break: "0" becomes "1" while typing.
  connect(minutes_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (text == QLatin1String("0")) minutes_->setText(QStringLiteral("1"));
  });
  connect(okButton_, &QPushButton::clicked, this, &TSaveBackupFrm::Confirm);
}

void TSaveBackupFrm::Load(const model::BackupSettings& settings) {
  settings_ = settings;
  autoSave_->setChecked(settings.AutoSavBakFun);
  minutes_->setEnabled(settings.AutoSavBakFun);
  minutes_->setText(QString::number(settings.AutoSavBakInterval));
  backup_->setChecked(settings.AutoTempBakFun);
}

bool TSaveBackupFrm::Confirm() {
  bool ok = false;
  const int interval = minutes_->text().toInt(&ok);
  if (!ok || interval < 1) {
    if (warn) warn(kIntervalMissingMessage);
    minutes_->setFocus();
    return false;
  }
  settings_.AutoSavBakFun = autoSave_->isChecked();
  settings_.AutoSavBakInterval = interval;
  settings_.AutoTempBakFun = backup_->isChecked();
  accept();
  return true;
}

}  // namespace dravik::app
