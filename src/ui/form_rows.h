#pragma once
// The small pieces the settings dialogs are built from: named controls (the language files
// and the tests find them by object name), a label beside its control on a grid row, and
// list positions read from and shown in combo boxes.

#include <QComboBox>
#include <QString>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace dravik::ui {

template <class W>
W* Named(W* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

QLabel* Label(QWidget* parent, const QString& name, const char* text);
QGroupBox* Group(QWidget* parent, const QString& name, const char* title);

// A combo box offering `items` (UTF-8 texts) in order.
template <class List>
QComboBox* Combo(QWidget* parent, const QString& name, const List& items) {
  auto* combo = Named(new QComboBox(parent), name);
  for (const char* item : items) combo->addItem(QString::fromUtf8(item));
  return combo;
}

// A spin box over min..max whose hint is `hint`, or "min ~ max" without one.
QSpinBox* Spin(QWidget* parent, const QString& name, int min, int max, const QString& hint = {});

// An edit that takes digits only, at most `maxLength` of them; `hint` may be null.
QLineEdit* DigitsEdit(QWidget* parent, const QString& name, int maxLength, const char* hint);

// A label and its control side by side on one row of a grid from `column` on; the label
// names the control for screen readers and its shortcut.
void Pair(QGridLayout* grid, int row, int column, QLabel* label, QWidget* control);
// A label and its control at the start of a grid row, and what follows them (a unit).
void Row(QGridLayout* grid, int row, QLabel* label, QWidget* control, QWidget* after = nullptr);

// A list position shown in a combo box: none selected past the end of the list.
void SetIndex(QComboBox* combo, int index);
// The selected position into `field`; with nothing selected the field stays as it was.
void TakeIndex(const QComboBox* combo, int& field);

}  // namespace dravik::ui
