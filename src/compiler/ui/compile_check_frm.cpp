#include "compiler/ui/compile_check_frm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace dravik::compiler {

namespace {

constexpr int kSlotColumnWidth = 1;

}  // namespace

TCompileCheckFrm::TCompileCheckFrm(QWidget* parent) : QDockWidget(parent) {
  // Object names are what the language files address.
  setObjectName(QStringLiteral("CompileCheckFrm"));
  setWindowTitle(QStringLiteral("编译失败"));
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
  setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);

  auto* body = new QWidget(this);
  body->setObjectName(QStringLiteral("Panel1"));
  label_ = new QLabel(QStringLiteral("编译错误信息:"), body);
  label_->setObjectName(QStringLiteral("Label3"));
  close_ = new QToolButton(body);
  close_->setObjectName(QStringLiteral("CloseButton"));
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setAutoRaise(true);
  close_->setToolTip(QStringLiteral("关闭"));
  connect(close_, &QToolButton::clicked, this, &QWidget::hide);

  list_ = new QTreeWidget(body);
  list_->setObjectName(QStringLiteral("ListView1"));
  list_->setColumnCount(4);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setColumnWidth(kColumnPage, 180);
  list_->setColumnWidth(kColumnKind, 100);
  list_->setColumnWidth(kColumnSlot, kSlotColumnWidth);
  list_->setColumnHidden(kColumnSlot, true);
  // The header follows the interface language at every check, not the language files.
  list_->setProperty("dravikRuntimeText", true);
  SetHeaders(true);
  connect(list_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { ListView1Click(list_->indexOfTopLevelItem(item)); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this,
          [this](QTreeWidgetItem* item) { ListView1DblClick(list_->indexOfTopLevelItem(item)); });

  auto* top = new QHBoxLayout;
  top->addWidget(label_, 1);
  top->addWidget(close_);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(4, 2, 4, 4);
  layout->addLayout(top);
  layout->addWidget(list_, 1);
  setWidget(body);
  hide();
}

void TCompileCheckFrm::SetHeaders(bool isChinese) {
  list_->setHeaderLabels(
      isChinese
          ? QStringList{QStringLiteral("错误画面/模块"), QStringLiteral("错误元件"), QString(),
                        QStringLiteral("错 误 提 示")}
          : QStringList{QStringLiteral("Error window/module"), QStringLiteral("Error element"),
                        QString(), QStringLiteral("Error hint")});
}

void TCompileCheckFrm::SetLanguage(bool isChinese) {
  SetHeaders(isChinese);
  if (!rows_.empty()) label_->setText(QString::fromStdString(CheckSummaryLabel(rows_.size()).In(isChinese)));
}

CheckReport TCompileCheckFrm::StartCheck(model::ProjectImage& project,
                                         const params::DeviceLists& lists, bool isChinese) {
  hide();
  list_->clear();
  rows_.clear();
  list_->setToolTip(QString());

  CheckReport report = compiler::StartCheck(project, lists, isChinese);
  if (report.keyboardClamped) {
    desktop_.Show(this, {kCaptionDravik, MessageIcon::Error, kKeyboardLedMessage});
    if (keyboardDialog_) keyboardDialog_();
  }
  rows_ = report.rows;
  if (!report.Failed()) return report;

  Fill(isChinese);
  SetLanguage(isChinese);
  desktop_.Show(this, {kCaptionDravik, MessageIcon::Error, CheckSummaryMessage(rows_.size())});
  show();
  raise();
  return report;
}

void TCompileCheckFrm::Fill(bool isChinese) {
  SetHeaders(isChinese);
  QList<QTreeWidgetItem*> items;
  for (const CheckRow& row : rows_) {
    auto* item = new QTreeWidgetItem;
    item->setText(kColumnPage, QString::fromStdString(row.caption));
    item->setText(kColumnKind, QString::fromStdString(row.kindName));
    item->setText(kColumnSlot, QString::number(row.slot));
    item->setText(kColumnMessage, QString::fromStdString(row.message));
    items << item;
  }
  list_->addTopLevelItems(items);
}

void TCompileCheckFrm::ListView1Click(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const QString hint = QString::fromStdString(CheckRowHint(rows_[row]));
  list_->setToolTip(hint);
  desktop_.ShowStatus(0, QStringLiteral(" ") + hint);
}

void TCompileCheckFrm::ListView1DblClick(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  emit pageRequested(rows_[row].page);
  emit elementRequested(rows_[row].page, rows_[row].slot);
}

}  // namespace dravik::compiler
