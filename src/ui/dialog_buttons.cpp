#include "ui/dialog_buttons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace dravik::ui {

DialogButtons AddDialogButtons(QDialog& dialog, QBoxLayout& layout, const QString& okCaption) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  DialogButtons buttons;
  buttons.ok = new QPushButton(okCaption, &dialog);
  buttons.ok->setObjectName(QStringLiteral("OkButton"));
  buttons.ok->setDefault(true);
  buttons.cancel = new QPushButton(QStringLiteral("取消(&N)"), &dialog);
  buttons.cancel->setObjectName(QStringLiteral("CancelButton"));
  row->addWidget(buttons.ok);
  row->addWidget(buttons.cancel);
  layout.addLayout(row);
  QObject::connect(buttons.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace dravik::ui
