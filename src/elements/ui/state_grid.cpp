#include "elements/ui/state_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "ui/gbk_limit.h"

namespace dravik::elements {

namespace {

constexpr int kIdWidth = 36;
constexpr int kValueWidth = 47;
constexpr int kTextWidth = 170;

// Where a text cell keeps the text it was given and the bytes it came from.
constexpr int kShownRole = Qt::UserRole;
constexpr int kStoredRole = Qt::UserRole + 1;

bool IsEnter(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// The cells' editor: it holds the column's limit while typing and hands over to the next
// row when the limit is passed or Enter is pressed.
class StateCellDelegate : public QStyledItemDelegate {
 public:
  explicit StateCellDelegate(StateGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const int limit = StateGrid::ColumnLimit(index.column());
    connect(editor, &QLineEdit::textEdited, editor, [this, editor, limit](const QString& text) {
      if (static_cast<int>(ui::ToGbk(text).size()) <= limit) return;
      QString cut = text;
      while (!cut.isEmpty() && static_cast<int>(ui::ToGbk(cut).size()) > limit) cut.chop(1);
      editor->setText(cut);
      grid_->FinishCell(editor);
    });
    return editor;
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor != nullptr && event->type() == QEvent::KeyPress &&
        IsEnter(static_cast<QKeyEvent*>(event))) {
      grid_->FinishCell(editor);
      return true;
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  StateGrid* grid_;
};

QTableWidgetItem* IdItem(int state) {
  auto* item = new QTableWidgetItem(QStringLiteral(" %1").arg(state));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

QTableWidgetItem* TextItem(const std::string& gbk) {
  const QString shown = ui::FromGbk(gbk);
  auto* item = new QTableWidgetItem(shown);
  item->setData(kShownRole, shown);
  item->setData(kStoredRole, QByteArray::fromStdString(gbk));
  return item;
}

std::string CellText(const QTableWidgetItem* item) {
  if (item == nullptr) return {};
  if (item->text() == item->data(kShownRole).toString()) {
    return item->data(kStoredRole).toByteArray().toStdString();
  }
  return ui::ToGbk(item->text());
}

}  // namespace

StateGrid::StateGrid(QWidget* parent, const char* name) : QTableWidget(parent) {
  setObjectName(QString::fromLatin1(name));
  setColumnCount(3);
  verticalHeader()->hide();
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setStretchLastSection(true);
  setColumnWidth(kIdColumn, kIdWidth);
  setColumnWidth(kValueColumn, kValueWidth);
  setColumnWidth(kTextColumn, kTextWidth);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setItemDelegate(new StateCellDelegate(this));
  SetHeaders(true);
}

int StateGrid::ColumnLimit(int column) {
  if (column == kValueColumn) return kStateValueChars;
  if (column == kTextColumn) return kStateTextBytes;
  return 0;
}

void StateGrid::SetHeaders(bool chinese) {
  setHorizontalHeaderLabels({QStringLiteral("ID"),
                             chinese ? QStringLiteral("数值") : QStringLiteral("Value"),
                             chinese ? QStringLiteral(" 内 容") : QStringLiteral("Conten")});
}

void StateGrid::Load(const std::vector<StateRow>& rows, int count) {
  clearContents();
  setRowCount(static_cast<int>(rows.size()));
  for (int i = 0; i < rowCount(); ++i) {
    const StateRow& row = rows[static_cast<std::size_t>(i)];
    setItem(i, kIdColumn, IdItem(i));
    setItem(i, kValueColumn, new QTableWidgetItem(QString::fromStdString(row.value)));
    setItem(i, kTextColumn, TextItem(row.text));
  }
  count_ = std::min(count, rowCount());
  for (int i = 0; i < rowCount(); ++i) setRowHidden(i, i >= count_);
  if (count_ > 0) ShowState(0);
}

void StateGrid::SetCount(int count) {
  CloseEditor();
  count_ = std::clamp(count, 0, rowCount());
  for (int i = 0; i < rowCount(); ++i) {
    setRowHidden(i, i >= count_);
    if (i >= count_) continue;
    item(i, kIdColumn)->setText(QStringLiteral(" %1").arg(i));
    QTableWidgetItem* value = item(i, kValueColumn);
    value->setText(QString::fromStdString(RenumberedValue(value->text().toStdString(), i)));
  }
  if (count_ > 0)
    ShowState(count_ - 1, currentColumn() > kIdColumn ? currentColumn() : kValueColumn);
}

std::vector<StateRow> StateGrid::Rows() const {
  std::vector<StateRow> rows;
  for (int i = 0; i < rowCount(); ++i) {
    const QTableWidgetItem* value = item(i, kValueColumn);
    rows.push_back({value != nullptr ? value->text().toStdString() : std::string(),
                    CellText(item(i, kTextColumn))});
  }
  return rows;
}

void StateGrid::ShowState(int state, int column) {
  setCurrentCell(state, column);
  scrollToItem(item(state, column));
}

void StateGrid::CloseEditor() {
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

void StateGrid::FinishCell(QWidget* editor) {
  commitData(editor);
  closeEditor(editor, QAbstractItemDelegate::NoHint);
  MoveToNextRow();
}

void StateGrid::MoveToNextRow() {
  const int row = currentRow();
  if (row + 1 < count_) ShowState(row + 1, std::max(currentColumn(), int{kValueColumn}));
}

void StateGrid::keyPressEvent(QKeyEvent* event) {
  if (IsEnter(event) && state() != QAbstractItemView::EditingState) {
    MoveToNextRow();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

}  // namespace dravik::elements
