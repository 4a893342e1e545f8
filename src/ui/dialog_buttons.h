#pragma once
// The button row the program's dialogs end with.

#include <QString>
#include <initializer_list>

class QBoxLayout;
class QDialog;
class QHBoxLayout;
class QPushButton;

namespace dravik::ui {

struct DialogButtons {
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};

// The object names the language files know the two buttons by; older dialogs keep the
// names of their own entries.
struct DialogButtonNames {
  const char* ok = "OkButton";
  const char* cancel = "CancelButton";
};

// The buttons in order, right-aligned on one row.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

// Adds the confirm and cancel row to `layout`: confirm is the default button, so Enter
// confirms; cancel rejects the dialog. What confirm does is the caller's.
DialogButtons AddDialogButtons(QDialog& dialog, QBoxLayout& layout, const QString& okCaption,
                               const DialogButtonNames& names = {});

}  // namespace dravik::ui
