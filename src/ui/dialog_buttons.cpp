#include "ui/dialog_buttons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

namespace dravik::ui {

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : buttons) row->addWidget(button);
  return row;
}

DialogButtons AddDialogButtons(QDialog& dialog, QBoxLayout& layout, const QString& okCaption,
                               const DialogButtonNames& names) {
  DialogButtons buttons;
  buttons.ok = new QPushButton(okCaption, &dialog);
  buttons.ok->setObjectName(QString::fromLatin1(names.ok));
  buttons.ok->setDefault(true);
  buttons.cancel = new QPushButton(QStringLiteral("取消(&N)"), &dialog);
  buttons.cancel->setObjectName(QString::fromLatin1(names.cancel));
  layout.addLayout(ButtonRow({buttons.ok, buttons.cancel}));
  QObject::connect(buttons.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  return buttons;
}

}  // namespace dravik::ui
