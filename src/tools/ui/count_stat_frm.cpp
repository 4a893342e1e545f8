#include "tools/ui/count_stat_frm.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "elements/kind_name_table.h"
#include "model/page_record.h"
#include "platform/gbk.h"
#include "tools/ui/bitmap_export.h"
#include "tools/ui/preview_menu.h"
#include "ui/dialog_place.h"

namespace dravik::tools {

namespace {

QLabel* RuntimeLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  // The page's own texts and counts, made afresh at every showing.
  label->setProperty("dravikRuntimeText", true);
  return label;
}

}  // namespace

TCountStatFrm::TCountStatFrm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("CountStatFrm"));
  setWindowTitle(QStringLiteral("元件统计"));
  setModal(true);

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setLineWidth(2);
  title_ = RuntimeLabel(panel, "Label1");
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  names_ = RuntimeLabel(panel, "Label2");
  counts_ = RuntimeLabel(panel, "Label3");
  counts_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  names_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(14, 10, 14, 10);
  grid->setHorizontalSpacing(28);
  grid->addWidget(title_, 0, 0, 1, 2);
  grid->addWidget(names_, 1, 0);
  grid->addWidget(counts_, 1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  const PreviewMenu menu = AddPreviewMenu(this, QKeySequence(Qt::Key_F4));
  exit_ = menu.exit;
  save_ = menu.save;
  connect(exit_, &QAction::triggered, this, &QDialog::accept);
  connect(save_, &QAction::triggered, this, &TCountStatFrm::SaveBmpClick);
}

void TCountStatFrm::Fill(const model::ProjectImage& project, int page) {
  const bool isChinese = hooks_.Chinese();
  statistics_ = CountElements(project, page);
  pageNumberText_ = QString::fromStdString(
      platform::GbkToUtf8(project.Page(page).PageStrings[model::kPageNumberText].View()));

  QStringList names;
  QStringList counts;
  for (const int kind : ListedKinds()) {
    const std::string_view name = elements::KindNameOf(kind, isChinese);
    names << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    counts << QString::number(statistics_.counts[static_cast<std::size_t>(kind)]);
  }
  names << QString() << QStringLiteral("Sum:");
  counts << QString() << QString::number(statistics_.sum);
  title_->setText(QString::fromStdString(statistics_.caption));
  names_->setText(names.join(QLatin1Char('\n')));
  counts_->setText(counts.join(QLatin1Char('\n')));
  adjustSize();
}

void TCountStatFrm::ShowStatistics(const model::ProjectImage& project, int page) {
  Fill(project, page);
  ui::PlaceAboveCentre(this, 0);
  hooks_.Exec(this);
}

QImage TCountStatFrm::Picture() {
  return grab().toImage();
}

void TCountStatFrm::SaveBmpClick() {
  const QString name = pageNumberText_ + (hooks_.Chinese() ? QStringLiteral("号画面统计信息")
                                                           : QStringLiteral("#Window Info"));
  SaveBitmapAs(hooks_, this, name, Picture());
}

void TCountStatFrm::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    accept();
    return;
  }
  QDialog::mousePressEvent(event);
}

void TCountStatFrm::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    accept();
    return;
  }
  QDialog::mouseDoubleClickEvent(event);
}

}  // namespace dravik::tools
