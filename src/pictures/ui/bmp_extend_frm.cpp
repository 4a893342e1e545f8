#include "pictures/ui/bmp_extend_frm.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/render/rgb_image_bridge.h"
#include "params/ui/settings_dialog_hooks.h"
#include "pictures/picture_operations.h"
#include "ui/dialog_buttons.h"
#include "ui/dialog_place.h"
#include "ui/form_rows.h"

namespace dravik::pictures {

namespace {

constexpr char kTitleStripStyle[] =
    "background-color: navy; color: white; font-weight: bold; padding: 4px;";

}  // namespace

TBmpExtendFrm::TBmpExtendFrm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("BmpExtendFrm"));
  setWindowTitle(QStringLiteral("拉伸设置"));
  // Without a border the box needs an edge of its own to stand out from what is behind it.
  setStyleSheet(QStringLiteral("TBmpExtendFrm { border: 1px solid navy; }"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  auto* strip =
      ui::Named(new QLabel(QStringLiteral(" 拉 伸 设 置"), this), QStringLiteral("TitleStrip"));
  strip->setStyleSheet(QString::fromLatin1(kTitleStripStyle));
  layout->addWidget(strip);

  pages_ = new QStackedWidget(this);
  layout->addWidget(pages_);

  auto* fields = new QWidget(pages_);
  auto* fieldsLayout = new QVBoxLayout(fields);
  auto* grid = new QGridLayout;
  width_ = ui::Spin(fields, QStringLiteral("WidthEdit"), kStretchMinSide, kStretchMaxWidth);
  height_ = ui::Spin(fields, QStringLiteral("HeightEdit"), kStretchMinSide, kStretchMaxHeight);
  ui::Row(grid, 0, ui::Label(fields, QStringLiteral("WidthLabel"), "宽度:"), width_);
  ui::Row(grid, 1, ui::Label(fields, QStringLiteral("HeightLabel"), "高度:"), height_);
  fieldsLayout->addLayout(grid);
  const ui::DialogButtons buttons =
      ui::AddDialogButtons(*this, *fieldsLayout, QStringLiteral("确定(&Y)"));
  ok_ = buttons.ok;
  connect(ok_, &QPushButton::clicked, this, &TBmpExtendFrm::ConfirmClick);
  pages_->addWidget(fields);

  picture_ = ui::Named(new QLabel(pages_), QStringLiteral("StretchedImage"));
  picture_->setAlignment(Qt::AlignCenter);
  picture_->setAccessibleName(QStringLiteral("拉伸设置"));
  picture_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* exit =
      ui::Named(new QAction(QStringLiteral("退出(&E)"), picture_), QStringLiteral("ExitItem"));
  connect(exit, &QAction::triggered, this, &QDialog::reject);
  picture_->addAction(exit);
  picture_->installEventFilter(this);
  pages_->addWidget(picture_);
}

void TBmpExtendFrm::FormShow(const RgbImage& picture) {
  source_ = picture;
  stretched_ = {};
  width_->setValue(picture.width);
  height_->setValue(picture.height);
  picture_->clear();
  pages_->setCurrentIndex(0);
  adjustSize();
  ui::PlaceAboveCentre(this, params::kDialogAboveMiddle);
  width_->setFocus();
  width_->selectAll();
}

void TBmpExtendFrm::ConfirmClick() {
  // A value typed but not yet taken by the spin box counts as what the user sees.
  width_->interpretText();
  height_->interpretText();
  stretched_ = source_;
  StretchPicture(stretched_, width_->value(), height_->value());
  picture_->setPixmap(QPixmap::fromImage(editor::ToQImage(stretched_)));
  pages_->setCurrentIndex(1);
  adjustSize();
  CentreOnScreen();
  accept();
}

bool TBmpExtendFrm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture_ && event->type() == QEvent::MouseButtonDblClick) {
    reject();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TBmpExtendFrm::CentreOnScreen() {
  QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = frameSize();
  move(area.left() + (area.width() - size.width()) / 2,
       std::max(area.top(), area.top() + (area.height() - size.height()) / 2));
}

}  // namespace dravik::pictures
