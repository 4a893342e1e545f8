#include "tools/ui/for_use_dpreview.h"

#include <QAction>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "editor/editor_state.h"
#include "editor/render/font_tables.h"
#include "editor/render/system_colour_table.h"
#include "editor/ui/structure_page.h"
#include "model/project_image.h"
#include "platform/gbk.h"
#include "tools/address_xref.h"
#include "tools/ui/bitmap_export.h"
#include "tools/ui/preview_menu.h"

namespace dravik::tools {

namespace {

// The page window's canvas sits at (5, 5); the preview puts the page's corner at (1, 1).
constexpr int kWindowPictureShift = 4;
// The legend stands this far from the screen's top and right edges.
constexpr int kLegendMargin = 2;
// The labels are written in the window colour.
constexpr std::uint32_t kLabelTextColour = editor::SystemColour(editor::kSysWindow);
// The labels are the desktop's plain 9-point text, without smoothing.
constexpr int kLabelPoints = 9;

// A label of the legend: the link's colour behind the window colour.
QLabel* LegendLabel(QWidget* parent, const char* name, const char* caption, std::uint32_t colour) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, editor::ResolveQColor(colour));
  palette.setColor(QPalette::WindowText, editor::ResolveQColor(kLabelTextColour));
  label->setPalette(palette);
  label->setMargin(2);
  return label;
}

}  // namespace

QImage UsedDataPicture(const QImage& windowPicture, QSize pageSize, const model::PageRecord& page,
                       const params::DeviceLists& lists) {
  QImage picture(pageSize.width() + 1, pageSize.height() + 1, QImage::Format_RGB32);
  if (picture.isNull()) return picture;
  picture.fill(Qt::black);
  QPainter painter(&picture);
  painter.drawImage(QPoint(-kWindowPictureShift, -kWindowPictureShift), windowPicture);

  painter.setFont(editor::SongFont(kLabelPoints, false));
  const QFontMetrics metrics(painter.font());
  painter.setPen(editor::ResolveQColor(kLabelTextColour));
  for (int slot = 0; slot < model::kSlotCount; ++slot) {
    const UsedDataLabel label = UsedDataLabelOf(page, slot, lists);
    if (label.text.empty()) continue;
    const auto s = static_cast<std::size_t>(slot);
    const QString text = QString::fromStdString(label.text);
    const QRect box(
        QPoint(page.ElemLeft[s] - editor::kCanvasOffset, page.ElemTop[s] - editor::kCanvasOffset),
        QSize(metrics.horizontalAdvance(text), metrics.height()));
    painter.fillRect(
        box, editor::ResolveQColor(label.link == 1 ? kLink2LabelColour : kLink1LabelColour));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
  }
  return picture;
}

QSize PreviewDisplaySize(QSize pageSize, const QString& zoom) {
  const int w = pageSize.width();
  const int h = pageSize.height();
  QSize scaled(w, h);
  if (zoom == QLatin1String("25%")) {
    scaled = {w / 4, h / 4};
  } else if (zoom == QLatin1String("50%")) {
    scaled = {w / 2, h / 2};
  } else if (zoom == QLatin1String("150%")) {
    scaled = {w * 3 / 2, h * 3 / 2};
  } else if (zoom == QLatin1String("200%")) {
    scaled = {w * 2, h * 2};
  }
  return scaled + QSize(1, 1);
}

TForUseDpreview::TForUseDpreview(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  editor::InstallSongSubstitution();
  setObjectName(QStringLiteral("ForUseDpreview"));
  setWindowTitle(QStringLiteral("预览画面使用数据"));
  setModal(true);
  setAttribute(Qt::WA_OpaquePaintEvent);

  legend_ = new QFrame(this);
  legend_->setObjectName(QStringLiteral("Panel1"));
  legend_->setFrameShape(QFrame::Panel);
  legend_->setFrameShadow(QFrame::Raised);
  legend_->setAutoFillBackground(true);
  link1_ = LegendLabel(legend_, "Label1", " Link1 数据颜色", kLink1LabelColour);
  link2_ = LegendLabel(legend_, "Label2", " Link2 数据颜色", kLink2LabelColour);
  auto* layout = new QVBoxLayout(legend_);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(4);
  layout->addWidget(link1_);
  layout->addWidget(link2_);

  const PreviewMenu menu = AddPreviewMenu(this, QKeySequence(Qt::Key_F2));
  exit_ = menu.exit;
  save_ = menu.save;
  connect(exit_, &QAction::triggered, this, &QDialog::accept);
  connect(save_, &QAction::triggered, this, &TForUseDpreview::SaveBmpClick);
}

void TForUseDpreview::Fill(const QImage& windowPicture, QSize pageSize,
                           const model::PageRecord& page, std::uint32_t background,
                           const params::DeviceLists& lists, const QString& zoom) {
  picture_ = UsedDataPicture(windowPicture, pageSize, page, lists);
  displaySize_ = PreviewDisplaySize(pageSize, zoom);
  pageNumberText_ =
      QString::fromStdString(platform::GbkToUtf8(page.PageStrings[model::kPageNumberText].View()));
  QPalette palette = legend_->palette();
  palette.setColor(QPalette::Window, editor::ResolveQColor(background));
  legend_->setPalette(palette);
  legend_->adjustSize();
  PlaceLegend();
  update();
}

void TForUseDpreview::ShowPreview(editor::TStructureP& window, const params::DeviceLists& lists,
                                  const QString& zoom) {
  window.Deselect();
  Fill(window.PagePicture(), QSize(window.CanvasWidth(), window.CanvasHeight()),
       window.Scene().Record(), window.BackgroundColour(), lists, zoom);
  setWindowState(windowState() | Qt::WindowFullScreen);
  hooks_.Exec(this);
}

void TForUseDpreview::SaveBmpClick() {
  const QString name = pageNumberText_ +
                       (hooks_.Chinese() ? QStringLiteral("号画面D") : QStringLiteral("#Window_D"));
  SaveBitmapAs(hooks_, this, name, picture_);
}

void TForUseDpreview::PlaceLegend() {
  legend_->move(width() - legend_->width() - kLegendMargin, kLegendMargin);
  legend_->raise();
}

void TForUseDpreview::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!picture_.isNull()) painter.drawImage(QRect(QPoint(0, 0), displaySize_), picture_);
}

void TForUseDpreview::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceLegend();
}

void TForUseDpreview::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    accept();
    return;
  }
  QDialog::mousePressEvent(event);
}

}  // namespace dravik::tools
