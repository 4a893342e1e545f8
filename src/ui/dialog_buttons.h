#pragma once
// The confirm and cancel row the program's dialogs end with.

#include <QString>

class QBoxLayout;
class QDialog;
class QPushButton;

namespace dravik::ui {

struct DialogButtons {
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};

// Adds the row, right-aligned, to `layout`: "OkButton" (the default, so Enter confirms)
// and "CancelButton" (rejects the dialog). The names are the ones the language files use.
DialogButtons AddDialogButtons(QDialog& dialog, QBoxLayout& layout, const QString& okCaption);

}  // namespace dravik::ui
