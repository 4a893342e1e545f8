#pragma once
// The simulated panel's screen as a picture: the page the session shows, drawn by the page
// window's own renderers with the values of the moment, the entry field being typed, the
// alarm line, all in the panel's 16-bit colours. The window and the headless run both
// paint with it.

#include <QImage>
#include <vector>

#include "compiler/image_reader.h"
#include "sim/panel_session.h"

namespace dravik::sim {

class ScreenPainter {
 public:
  explicit ScreenPainter(const compiler::DecodedImage& image);

  // The screen at the panel's own size. The entry being typed is drawn into the screen's
  // page, which is why it is taken by reference.
  QImage Paint(Screen& screen);

 private:
  const QImage& Picture(int index);

  const compiler::DecodedImage& image_;
  std::vector<QImage> pictures_;  // made on first use
  std::vector<bool> made_;
};

// A panel colour as Qt shows it.
QColor PanelColour(std::uint16_t rgb565);

}  // namespace dravik::sim
