#include "sim/ui/register_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <variant>

namespace dravik::sim {
namespace {

enum Column { kName, kDecimal, kHex, kColumnCount };

constexpr int kRefreshMs = 200;
constexpr std::int64_t kWordLowest = -32768;
constexpr std::int64_t kWordHighest = 65535;

std::optional<std::int64_t> ParseValue(QString text, bool hexadecimal) {
  text = text.trimmed();
  bool ok = false;
  std::int64_t value = 0;
  if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
    value = text.mid(2).toLongLong(&ok, 16);
  } else {
    value = text.toLongLong(&ok, hexadecimal ? 16 : 10);
  }
  if (!ok) return std::nullopt;
  return value;
}

}  // namespace

TRegisterFrm::TRegisterFrm(ui::DesktopHooks desktop, QWidget* parent)
    : QDialog(parent), desktop_(std::move(desktop)) {
  setObjectName(QStringLiteral("TRegisterFrm"));
  setWindowTitle(Text({"寄存器", "Registers"}));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(Text({"寄存器(&N):", "&Name:"}), this);
  name_ = new QLineEdit(this);
  name_->setObjectName(QStringLiteral("RegisterName"));
  name_->setAccessibleName(Text({"寄存器名称", "Register name"}));
  name_->setPlaceholderText(QStringLiteral("D100, M5, D.b100.A"));
  label->setBuddy(name_);
  add_ = new QPushButton(Text({"添加(&A)", "&Add"}), this);
  add_->setObjectName(QStringLiteral("AddWatch"));
  remove_ = new QPushButton(Text({"删除(&D)", "&Delete"}), this);
  remove_->setObjectName(QStringLiteral("RemoveWatch"));
  row->addWidget(label);
  row->addWidget(name_, 1);
  row->addWidget(add_);
  row->addWidget(remove_);
  layout->addLayout(row);

  table_ = new QTableWidget(0, kColumnCount, this);
  table_->setObjectName(QStringLiteral("WatchList"));
  table_->setAccessibleName(Text({"监视列表", "Watch list"}));
  table_->setHorizontalHeaderLabels({Text({"名称", "Name"}), Text({"十进制", "Decimal"}),
                                     Text({"十六进制", "Hexadecimal"})});
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->verticalHeader()->hide();
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  layout->addWidget(table_);
  resize(360, 320);

  connect(add_, &QPushButton::clicked, this, [this] {
    if (AddWatch(name_->text())) name_->clear();
  });
  // Enter in the name field adds through the dialog's default button (once).
  add_->setDefault(true);
  connect(remove_, &QPushButton::clicked, this, &TRegisterFrm::RemoveSelected);
  connect(table_, &QTableWidget::itemChanged, this, &TRegisterFrm::CellChanged);
  connect(table_, &QTableWidget::cellDoubleClicked, this, &TRegisterFrm::CellDoubleClicked);
  connect(&timer_, &QTimer::timeout, this, &TRegisterFrm::ShowValues);
  timer_.start(kRefreshMs);
}

void TRegisterFrm::SetMemory(RegisterMemory* memory, RegisterNaming naming) {
  memory_ = memory;
  naming_ = std::move(naming);
  ShowValues();
}

bool TRegisterFrm::AddWatch(const QString& name) {
  if (memory_ == nullptr) return false;
  Result<RegisterAddress> parsed = ParseRegisterName(naming_, name.trimmed().toStdString());
  if (!parsed) {
    desktop_.Show(this, parsed.error().Text(), QMessageBox::Warning);
    return false;
  }
  watched_.push_back(*parsed);
  ShowValues();
  return true;
}

bool TRegisterFrm::SetValue(int row, const QString& text, bool hexadecimal) {
  if (memory_ == nullptr || row < 0 || row >= static_cast<int>(watched_.size())) return false;
  const auto value = ParseValue(text, hexadecimal);
  const RegisterAddress& target = watched_[static_cast<std::size_t>(row)];
  const bool isWord = std::holds_alternative<WordAddress>(target);
  // A word takes -32768..65535 (a negative value as its two's complement), a bit 0 or 1.
  const bool inRange = value && (isWord ? *value >= kWordLowest && *value <= kWordHighest
                                        : *value == 0 || *value == 1);
  if (!inRange) {
    const std::string range = isWord ? "-32768 ~ 65535" : "0 ~ 1";
    desktop_.Show(this, Bilingual{"数值无效或超出范围 (" + range + "): " + text.toStdString(),
                                  "Not a value in " + range + ": " + text.toStdString()},
                  QMessageBox::Warning);
    ShowValues();
    return false;
  }
  if (const auto* word = std::get_if<WordAddress>(&target)) {
    memory_->SetWord(*word, static_cast<std::uint16_t>(*value));
  } else {
    memory_->SetBit(std::get<BitAddress>(target), *value != 0);
  }
  ShowValues();
  emit changed();
  return true;
}

void TRegisterFrm::RemoveSelected() {
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(watched_.size())) return;
  watched_.erase(watched_.begin() + row);
  ShowValues();
}

void TRegisterFrm::ShowValues() {
  showing_ = true;
  table_->setRowCount(static_cast<int>(watched_.size()));
  for (int row = 0; row < static_cast<int>(watched_.size()); ++row) {
    const RegisterAddress& target = watched_[static_cast<std::size_t>(row)];
    QString name, decimal, hex;
    if (memory_ != nullptr) {
      name = QString::fromStdString(RegisterName(naming_, target));
      if (const auto* word = std::get_if<WordAddress>(&target)) {
        const std::uint16_t value = memory_->Word(*word);
        decimal = QString::number(value);
        hex = QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0')).toUpper().replace(
            QStringLiteral("0X"), QStringLiteral("0x"));
      } else {
        decimal = memory_->Bit(std::get<BitAddress>(target)) ? QStringLiteral("1") : QStringLiteral("0");
      }
    }
    const auto put = [&](int column, const QString& text, bool editable) {
      QTableWidgetItem* item = table_->item(row, column);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        table_->setItem(row, column, item);
      }
      // A cell being edited keeps what the user is typing.
      if (table_->currentItem() != item || !table_->viewport()->isAncestorOf(QApplication::focusWidget())) {
        item->setText(text);
      }
      item->setFlags(editable ? item->flags() | Qt::ItemIsEditable : item->flags() & ~Qt::ItemIsEditable);
    };
    const bool isWord = std::holds_alternative<WordAddress>(target);
    put(kName, name, false);
    put(kDecimal, decimal, true);
    put(kHex, hex, isWord);
  }
  showing_ = false;
}

void TRegisterFrm::CellChanged(QTableWidgetItem* item) {
  if (showing_ || item == nullptr || item->column() == kName) return;
  SetValue(item->row(), item->text(), item->column() == kHex);
}

void TRegisterFrm::CellDoubleClicked(int row, int) {
  if (memory_ == nullptr || row < 0 || row >= static_cast<int>(watched_.size())) return;
  const auto* bit = std::get_if<BitAddress>(&watched_[static_cast<std::size_t>(row)]);
  if (bit == nullptr) return;
  memory_->SetBit(*bit, !memory_->Bit(*bit));
  ShowValues();
  emit changed();
}

}  // namespace dravik::sim
