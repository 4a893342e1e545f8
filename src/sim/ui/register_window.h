#pragma once
// The simulator's register window `TRegisterFrm`: a watch list of registers by name, their
// values in decimal and hexadecimal, edited in either column; bits show 0 or 1 and a
// double click toggles them.

#include <QDialog>
#include <QTimer>
#include <vector>

#include "sim/register_memory.h"
#include "sim/register_names.h"
#include "ui/desktop_hooks.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace dravik::sim {

class TRegisterFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TRegisterFrm(ui::DesktopHooks desktop, QWidget* parent = nullptr);

  // The registers shown and edited, named by `naming`; nothing (an empty list) while no
  // panel runs.
  void SetMemory(RegisterMemory* memory, RegisterNaming naming = {});
  // Adds the register named `name` to the list; false with the reason shown when the
  // name is not one.
  bool AddWatch(const QString& name);
  // Writes `text` (decimal, or hexadecimal with 0x / in the hexadecimal column) into the
  // register of `row`.
  bool SetValue(int row, const QString& text, bool hexadecimal);
  void RemoveSelected();

  QLineEdit* NameEdit() const { return name_; }
  QTableWidget* Table() const { return table_; }

 signals:
  void changed();

 private:
  void ShowValues();
  void CellChanged(QTableWidgetItem* item);
  void CellDoubleClicked(int row, int column);
  QString Text(const Bilingual& text) const { return desktop_.Text(text); }

  ui::DesktopHooks desktop_;
  RegisterMemory* memory_ = nullptr;
  RegisterNaming naming_;
  std::vector<RegisterAddress> watched_;
  bool showing_ = false;  // the table is being filled, not edited
  QTimer timer_;

  QLineEdit* name_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* remove_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace dravik::sim
