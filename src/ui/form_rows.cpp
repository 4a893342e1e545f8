#include "ui/form_rows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSpinBox>

namespace dravik::ui {

QLabel* Label(QWidget* parent, const QString& name, const char* text) {
  return Named(new QLabel(QString::fromUtf8(text), parent), name);
}

QGroupBox* Group(QWidget* parent, const QString& name, const char* title) {
  return Named(new QGroupBox(QString::fromUtf8(title), parent), name);
}

QSpinBox* Spin(QWidget* parent, const QString& name, int min, int max, const QString& hint) {
  auto* spin = Named(new QSpinBox(parent), name);
  spin->setRange(min, max);
  spin->setToolTip(hint.isEmpty() ? QStringLiteral("%1 ~ %2").arg(min).arg(max) : hint);
  return spin;
}

QLineEdit* DigitsEdit(QWidget* parent, const QString& name, int maxLength, const char* hint) {
  auto* edit = Named(new QLineEdit(parent), name);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setMaxLength(maxLength);
  if (hint != nullptr) edit->setToolTip(QString::fromUtf8(hint));
  return edit;
}

void Pair(QGridLayout* grid, int row, int column, QLabel* label, QWidget* control) {
  grid->addWidget(label, row, column);
  grid->addWidget(control, row, column + 1);
  label->setBuddy(control);
}

void Row(QGridLayout* grid, int row, QLabel* label, QWidget* control, QWidget* after) {
  Pair(grid, row, 0, label, control);
  if (after != nullptr) grid->addWidget(after, row, 2);
}

void SetIndex(QComboBox* combo, int index) {
  combo->setCurrentIndex(index < combo->count() ? index : -1);
}

void TakeIndex(const QComboBox* combo, int& field) {
  if (combo->currentIndex() >= 0) field = combo->currentIndex();
}

}  // namespace dravik::ui
