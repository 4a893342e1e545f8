#pragma once
// A panel that floats inside the macro editor's window: a title bar it is dragged by and
// a close image, over a body the editor fills. Dragging keeps it inside the window, at
// least 9 pixels from the right edge and 35 from the bottom edge, where the window's own
// frame and the grid's last row would otherwise hide it.

#include <QFrame>
#include <QPoint>

class QLabel;
class QToolButton;

namespace dravik::macro {

class MacFloatingPanel : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kRightMargin = 9;
  static constexpr int kBottomMargin = 35;

  // `name` is the object name; the title label and close image are named after it.
  MacFloatingPanel(QWidget* parent, const QString& name, const char* title);

  QWidget* Body() const { return body_; }
  QLabel* TitleLabel() const { return title_; }
  QToolButton* CloseImage() const { return close_; }
  void SetTitle(const QString& title);

  // Moves the panel to `topLeft`, kept where dragging may put it.
  void MoveWithin(QPoint topLeft);
  // Centred on the window it floats in.
  void CentreInParent();

 signals:
  void closeRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* titleBar_ = nullptr;
  QLabel* title_ = nullptr;
  QToolButton* close_ = nullptr;
  QWidget* body_ = nullptr;
  QPoint grabOffset_;
  bool dragging_ = false;
};

}  // namespace dravik::macro
