#include "app/paste_page_frm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/dialog_buttons.h"
#include "app/page_commands.h"
#include "model/project_image.h"

namespace dravik::app {

TPastePageFrm::TPastePageFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PastePageFrm"));
  setWindowTitle(QStringLiteral("粘贴画面"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(QStringLiteral("粘贴画面到:"), this);
  label->setObjectName(QStringLiteral("PasteToLabel"));
  number_ = new QSpinBox(this);
  number_->setObjectName(QStringLiteral("PasteNumberEdit"));
  number_->setRange(1, model::kMaxPage);
  row->addWidget(label);
  row->addWidget(number_);
  layout->addLayout(row);
  const ui::DialogButtons buttons = ui::AddDialogButtons(*this, *layout, QStringLiteral("确定(&Y)"));
  okButton_ = buttons.ok;
  cancelButton_ = buttons.cancel;
  connect(okButton_, &QPushButton::clicked, this, &TPastePageFrm::Confirm);
}

void TPastePageFrm::Prepare(int currentPage) {
  number_->setValue(NewPageNumberOffered(currentPage));
  number_->setFocus();
  number_->selectAll();
}

bool TPastePageFrm::Confirm() {
  if (acceptNumber && !acceptNumber(Number())) return false;
  accept();
  return true;
}

int TPastePageFrm::Number() const { return number_->value(); }

}  // namespace dravik::app
