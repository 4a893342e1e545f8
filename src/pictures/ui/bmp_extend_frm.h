#pragma once
// The stretch dialog "拉伸设置": a borderless box with a navy title strip, the new width and
// height of the previewed picture, and "确定(&Y)"/"取消(&N)". Confirming draws the picture
// stretched in place of the fields and closes; the library window then takes that
// picture. Made once for the whole run.

#include <QDialog>

#include "platform/image_codec.h"

class QLabel;
class QPushButton;
class QSpinBox;
class QStackedWidget;

namespace dravik::pictures {

using platform::RgbImage;

class TBmpExtendFrm : public QDialog {
  Q_OBJECT

 public:
  explicit TBmpExtendFrm(QWidget* parent = nullptr);

  // Presets the fields with the size of `picture`, the one to stretch, and shows the
  // fields again.
  void FormShow(const RgbImage& picture);
  // "确定(&Y)": the picture stretched to the fields' size, shown, then the dialog closes.
  void ConfirmClick();
  // The picture as confirming drew it; empty before.
  const RgbImage& Stretched() const { return stretched_; }

  QSpinBox* WidthSpin() const { return width_; }
  QSpinBox* HeightSpin() const { return height_; }
  QLabel* PictureLabel() const { return picture_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Centred on the screen, its top never above the screen's.
  void CentreOnScreen();

  RgbImage source_;
  RgbImage stretched_;
  QStackedWidget* pages_ = nullptr;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QLabel* picture_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace dravik::pictures
