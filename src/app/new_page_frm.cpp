#include "app/new_page_frm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/dialog_buttons.h"
#include "ui/gbk_limit.h"
#include "app/page_commands.h"
#include "model/project_image.h"

namespace dravik::app {

TNewPageFrm::TNewPageFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("NewPageFrm"));
  setWindowTitle(QStringLiteral("新键画面"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  number_ = new QSpinBox(this);
  number_->setObjectName(QStringLiteral("PageNumberEdit"));
  number_->setRange(1, model::kMaxPage);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("PageNameEdit"));
  name_->setMinimumWidth(180);
  ui::LimitGbkBytes(name_, 20);
  auto* numberLabel = new QLabel(QStringLiteral("画面号:"), this);
  numberLabel->setObjectName(QStringLiteral("PageNumberLabel"));
  auto* nameLabel = new QLabel(QStringLiteral("画面名称:"), this);
  nameLabel->setObjectName(QStringLiteral("PageNameLabel"));
  form->addRow(numberLabel, number_);
  form->addRow(nameLabel, name_);
  layout->addLayout(form);

  const ui::DialogButtons buttons = ui::AddDialogButtons(*this, *layout, QStringLiteral("确定(&Y)"));
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;

  connect(okButton_, &QPushButton::clicked, this, &TNewPageFrm::Confirm);
  connect(number_, &QSpinBox::valueChanged, this, &TNewPageFrm::NumberChanged);
}

void TNewPageFrm::Prepare(int currentPage) {
  const int offered = NewPageNumberOffered(currentPage);
  number_->blockSignals(true);
  number_->setValue(offered);
  number_->blockSignals(false);
  name_->setText(QString::fromStdString(NewPageNameOffered(offered)));
  name_->setFocus();
  name_->selectAll();
}

void TNewPageFrm::NumberChanged(int number) {
  if (NewPageNameFollowsNumber(name_->text().toStdString())) {
    name_->setText(QString::fromStdString(NewPageNameOffered(number)));
  }
}

bool TNewPageFrm::Confirm() {
  if (acceptNumber && !acceptNumber(Number())) return false;
  accept();
  return true;
}

int TNewPageFrm::Number() const { return number_->value(); }

std::string TNewPageFrm::NameGbk() const { return ui::ToGbk(name_->text()); }

}  // namespace dravik::app
