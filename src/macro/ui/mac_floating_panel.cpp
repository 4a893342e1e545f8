#include "macro/ui/mac_floating_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace dravik::macro {

MacFloatingPanel::MacFloatingPanel(QWidget* parent, const QString& name, const char* title)
    : QFrame(parent) {
  setObjectName(name);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(2);
  setAutoFillBackground(true);

  titleBar_ = new QWidget(this);
  titleBar_->setAutoFillBackground(true);
  QPalette bar = titleBar_->palette();
  bar.setColor(QPalette::Window, QColor(0x00, 0x00, 0x80));
  bar.setColor(QPalette::WindowText, Qt::white);
  titleBar_->setPalette(bar);
  titleBar_->setCursor(Qt::SizeAllCursor);
  titleBar_->installEventFilter(this);

  title_ = new QLabel(QString::fromUtf8(title), titleBar_);
  title_->setObjectName(name + QStringLiteral("Title"));
  title_->installEventFilter(this);
  close_ = new QToolButton(titleBar_);
  close_->setObjectName(name + QStringLiteral("Close"));
  close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close_->setAutoRaise(true);
  close_->setToolTip(QStringLiteral("关闭"));
  close_->setAccessibleName(QStringLiteral("关闭"));
  connect(close_, &QToolButton::clicked, this, &MacFloatingPanel::closeRequested);

  auto* barLayout = new QHBoxLayout(titleBar_);
  barLayout->setContentsMargins(4, 1, 1, 1);
  barLayout->addWidget(title_, 1);
  barLayout->addWidget(close_);

  body_ = new QWidget(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(titleBar_);
  layout->addWidget(body_, 1);
  hide();
}

void MacFloatingPanel::SetTitle(const QString& title) {
  title_->setText(title);
  setAccessibleName(title);
}

void MacFloatingPanel::MoveWithin(QPoint topLeft) {
  const QWidget* window = parentWidget();
  if (window == nullptr) {
    move(topLeft);
    return;
  }
  const int maxX = std::max(0, window->width() - width() - kRightMargin);
  const int maxY = std::max(0, window->height() - height() - kBottomMargin);
  move(std::clamp(topLeft.x(), 0, maxX), std::clamp(topLeft.y(), 0, maxY));
}

void MacFloatingPanel::CentreInParent() {
  adjustSize();
  if (const QWidget* window = parentWidget()) {
    MoveWithin({(window->width() - width()) / 2, (window->height() - height()) / 2});
  }
}

bool MacFloatingPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != titleBar_ && watched != title_) return QFrame::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton) break;
      dragging_ = true;
      grabOffset_ = mapFromGlobal(mouse->globalPosition().toPoint());
      raise();
      return true;
    }
    case QEvent::MouseMove:
      if (!dragging_ || parentWidget() == nullptr) break;
      MoveWithin(parentWidget()->mapFromGlobal(
                     static_cast<QMouseEvent*>(event)->globalPosition().toPoint()) -
                 grabOffset_);
      return true;
    case QEvent::MouseButtonRelease:
      dragging_ = false;
      break;
    default:
      break;
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace dravik::macro
