#include "params/ui/alarm_set_frm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "params/alarm_settings.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"
#include "ui/gbk_limit.h"

namespace dravik::params {

namespace {

using model::settings::kMaxAlarms;

constexpr int kAddressColumn = 0;
constexpr int kTextColumn = 1;

// The text column's editor holds at most 50 GBK bytes: a Chinese character counts two
// and is never cut in half.
class AlarmTextDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
        QString kept = text;
        while (ui::ToGbk(kept).size() > static_cast<std::size_t>(kAlarmTextBytes)) {
          kept.chop(kept.size() >= 2 && kept.back().isLowSurrogate() ? 2 : 1);
        }
        if (kept != text) edit->setText(kept);
      });
    }
    return editor;
  }
};

QTableWidget* AlarmGrid(QWidget* parent, const char* name) {
  auto* grid = ui::Named(new QTableWidget(0, 2, parent), name);
  grid->verticalHeader()->hide();
  grid->setColumnWidth(kTextColumn, kAlarmTextColumnWidth);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setItemDelegateForColumn(kTextColumn, new AlarmTextDelegate(grid));
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  MarkRuntimeText(grid);
  return grid;
}

}  // namespace

TAlarmSetFrm::TAlarmSetFrm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AlarmSetFrm"));
  setWindowTitle(QStringLiteral("报警列表设置"));

  kind_ = ui::Named(new QComboBox(this), "KindCombo");
  MarkRuntimeText(kind_);
  auto* kindLabel = ui::Label(this, "KindLabel", "元件种类:");
  start_ = ui::Spin(this, "StartSpin", 0, kAlarmStartMax);
  startLabel_ = ui::Label(this, "StartLabel", "寄存器号:");
  MarkRuntimeText(startLabel_);
  count_ = ui::Spin(this, "CountSpin", 0, kMaxAlarms);
  auto* countLabel = ui::Label(this, "CountLabel", "报警数目:");
  font_ = ui::Combo(this, "FontCombo", kAlarmFontNames);
  auto* fontLabel = ui::Label(this, "FontLabel", "列表字体:");

  pages_ = ui::Named(new QTabWidget(this), "PageControl1");
  const char* const sheets[] = {"Language1Sheet", "Language2Sheet"};
  const char* const captions[] = {"语言一", "语言二"};
  const char* const grids[] = {"AlarmGrid1", "AlarmGrid2"};
  for (std::size_t i = 0; i < grids_.size(); ++i) {
    auto* sheet = ui::Named(new QWidget, sheets[i]);
    pages_->addTab(sheet, QString::fromUtf8(captions[i]));
    grids_[i] = AlarmGrid(sheet, grids[i]);
    auto* sheetLayout = new QVBoxLayout(sheet);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    sheetLayout->addWidget(grids_[i]);
  }

  okButton_ = ui::Named(new QPushButton(QStringLiteral("确认(&Y)"), this), "OkButton");
  clearButton_ = ui::Named(new QPushButton(QStringLiteral("清空(&C)"), this), "ClearButton");
  cancelButton_ = ui::Named(new QPushButton(QStringLiteral("取消(&N)"), this), "CancelButton");
  okButton_->setDefault(true);

  auto* fields = new QGridLayout;
  ui::Pair(fields, 0, 0, kindLabel, kind_);
  ui::Pair(fields, 0, 2, startLabel_, start_);
  ui::Pair(fields, 1, 0, countLabel, count_);
  ui::Pair(fields, 1, 2, fontLabel, font_);
  auto* buttons = ui::ButtonRow({okButton_, clearButton_, cancelButton_});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(pages_, 1);
  layout->addLayout(buttons);
  resize(420, 460);

  connect(okButton_, &QPushButton::clicked, this, &TAlarmSetFrm::ConfirmClick);
  connect(clearButton_, &QPushButton::clicked, this, &TAlarmSetFrm::ClearClick);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(kind_, &QComboBox::currentIndexChanged, this, &TAlarmSetFrm::ComputeAddresses);
  connect(start_, &QSpinBox::valueChanged, this, &TAlarmSetFrm::ComputeAddresses);
  connect(count_, &QSpinBox::valueChanged, this, &TAlarmSetFrm::ComputeAddresses);
}

void TAlarmSetFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ui::PlaceAboveCentre(this, kDialogAboveMiddle);
}

bool TAlarmSetFrm::ShowAlarmSettings(model::PageRecord& settings, const DeviceLists& lists) {
  FormShow(settings, lists);
  return hooks_.desktop.Exec(this) == QDialog::Accepted;
}

void TAlarmSetFrm::FormShow(model::PageRecord& settings, const DeviceLists& lists) {
  settings_ = &settings;
  setResult(QDialog::Rejected);
  const bool chinese = Chinese();
  const QStringList headers{QString::fromStdString(kAlarmAddressHeader.In(chinese)),
                            QString::fromStdString(kAlarmTextHeader.In(chinese))};
  const AlarmSettings stored = ReadAlarmSettings(settings);
  for (std::size_t language = 0; language < grids_.size(); ++language) {
    grids_[language]->clearContents();
    grids_[language]->setRowCount(0);
    grids_[language]->setHorizontalHeaderLabels(headers);
    const auto& texts = language == 0 ? stored.textsA : stored.textsB;
    for (std::size_t i = 0; i < texts.size(); ++i) texts_[language][i] = ui::FromGbk(texts[i]);
  }
  {
    const QSignalBlocker kindBlocker(kind_);
    const QSignalBlocker startBlocker(start_);
    const QSignalBlocker countBlocker(count_);
    kind_->clear();
    for (const std::string& name : AlarmKindNames(lists)) {
      if (!name.empty()) kind_->addItem(QString::fromStdString(name));
    }
    // The stored kind is shown as it is, so confirming without touching it keeps it.
    kind_->setCurrentIndex(stored.kind < kind_->count() ? stored.kind : kind_->count() - 1);
    start_->setValue(stored.start);
    count_->setValue(stored.count);
    font_->setCurrentIndex(stored.font < font_->count() ? stored.font : -1);
  }
  pages_->setCurrentIndex(0);
  ComputeAddresses();
}

void TAlarmSetFrm::KeepGridTexts() {
  for (std::size_t language = 0; language < grids_.size(); ++language) {
    QTableWidget* grid = grids_[language];
    for (int row = 0; row < grid->rowCount() && row < kMaxAlarms; ++row) {
      const QTableWidgetItem* item = grid->item(row, kTextColumn);
      texts_[language][static_cast<std::size_t>(row)] = item != nullptr ? item->text() : QString();
    }
  }
}

void TAlarmSetFrm::ComputeAddresses() {
  KeepGridTexts();
  const int kind = kind_->currentIndex();
  const std::string kindName = kind_->currentText().toStdString();
  startLabel_->setText(QString::fromStdString(AlarmStartCaption(kindName, Chinese())));
  const int count = count_->value();
  for (std::size_t language = 0; language < grids_.size(); ++language) {
    QTableWidget* grid = grids_[language];
    grid->setRowCount(count);
    for (int row = 0; row < count; ++row) {
      auto* address = new QTableWidgetItem(
          QString::fromStdString(AlarmAddress(kind, kindName, start_->value(), row + 1)));
      address->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      grid->setItem(row, kAddressColumn, address);
      grid->setItem(row, kTextColumn,
                    new QTableWidgetItem(texts_[language][static_cast<std::size_t>(row)]));
    }
  }
}

void TAlarmSetFrm::ConfirmClick() {
  if (settings_ == nullptr) return;
  KeepGridTexts();
  AlarmSettings alarms = ReadAlarmSettings(*settings_);
  // No kind to choose (a protocol without bit kinds) reads as bits inside words.
  alarms.kind = std::max(kind_->currentIndex(), kAlarmKindWordBit);
  alarms.start = start_->value();
  alarms.count = count_->value();
  if (font_->currentIndex() >= 0) alarms.font = font_->currentIndex();
  for (int i = 0; i < alarms.count; ++i) {
    const auto at = static_cast<std::size_t>(i);
    alarms.textsA[at] = ui::ToGbk(texts_[0][at]);
    alarms.textsB[at] = ui::ToGbk(texts_[1][at]);
  }
  WriteAlarmSettings(*settings_, alarms);
  if (hooks_.enableSave) hooks_.enableSave();
  accept();
}

void TAlarmSetFrm::ClearClick() {
  const int count = count_->value();
  for (auto& texts : texts_) {
    for (int i = 0; i < count; ++i) texts[static_cast<std::size_t>(i)].clear();
  }
  for (QTableWidget* grid : grids_) grid->clearContents();
  if (count == 0) {
    ComputeAddresses();
  } else {
    count_->setValue(0);
  }
}

TAlarmSetFrm* AlarmSettingsForm(QWidget* parent) {
  if (parent != nullptr) {
    if (auto* form = parent->findChild<TAlarmSetFrm*>(QString(), Qt::FindDirectChildrenOnly))
      return form;
  }
  return new TAlarmSetFrm(parent);
}

bool ShowAlarmSettings(QWidget* parent, model::ProjectImage& image, const DeviceLists& lists,
                       const SettingsDialogHooks& hooks) {
  TAlarmSetFrm* form = AlarmSettingsForm(parent);
  form->SetHooks(hooks);
  const bool confirmed = form->ShowAlarmSettings(image.Settings(), lists);
  if (parent == nullptr) delete form;
  return confirmed;
}

}  // namespace dravik::params
