#pragma once
// The state grid of the dynamic text dialog, one per language: a header row, then one row
// per state with its ID, its value and its text. It holds a row for every state the slot
// has room for and shows the first ones, as many as the element has states, so rows that
// go out of view come back as they were. Typing past a cell's limit cuts the text there
// and goes on in the next row, and Enter moves down a row.

#include <QTableWidget>
#include <vector>

#include "elements/dynamic_text_properties.h"

namespace dravik::elements {

class StateGrid : public QTableWidget {
  Q_OBJECT

 public:
  static constexpr int kIdColumn = 0;
  static constexpr int kValueColumn = 1;
  static constexpr int kTextColumn = 2;

  StateGrid(QWidget* parent, const char* name);

  void SetHeaders(bool chinese);
  // Every row the slot has room for; the first `count` are shown, with state 0 selected.
  void Load(const std::vector<StateRow>& rows, int count);
  // Shows `count` rows: value cells that read "0" take their state's index, and the last
  // row is selected.
  void SetCount(int count);
  int Count() const { return count_; }
  // Every row, shown or not. A text left as it was shown gives back its stored bytes.
  std::vector<StateRow> Rows() const;
  // Selects the cell of `state` in `column` and brings it into view.
  void ShowState(int state, int column = kValueColumn);

  // The limit of a column in GBK bytes (0: not editable).
  static int ColumnLimit(int column);
  // A cell being edited keeps what was typed and stops being edited.
  void CloseEditor();
  // A cell's editor reached its limit or took Enter: its text goes into the cell and the
  // selection moves to the next shown row.
  void FinishCell(QWidget* editor);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void MoveToNextRow();

  int count_ = 0;
};

}  // namespace dravik::elements
