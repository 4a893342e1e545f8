// dravik-make-gallery: draws the sample pictures of the picture library's gallery
// (data/gallery, shipped as the program folder's "Gallery"): arrows, a motor, a valve, a
// pump, a tank, lamps, start and stop buttons and the bicycle the add-from-gallery command
// proposes. Small pictures in the sizes a panel screen uses, drawn from shapes only (no
// fonts), so they come out the same on every machine. Usage: dravik-make-gallery FOLDER

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "editor/render/rgb_image_bridge.h"
#include "platform/files.h"
#include "platform/image_codec.h"

namespace {

namespace fs = std::filesystem;
using Draw = std::function<void(QPainter&, const QSize&)>;

const QColor kOutline(40, 40, 40);
const QColor kSteel(150, 160, 170);
const QColor kWater(60, 130, 210);

void Arrow(QPainter& p, const QSize& size, int quarterTurns) {
  p.translate(size.width() / 2.0, size.height() / 2.0);
  p.rotate(90.0 * quarterTurns);
  const double r = size.width() / 2.0 - 3;
  QPainterPath path;
  path.moveTo(r, 0);
  path.lineTo(0, -r);
  path.lineTo(0, -r / 2);
  path.lineTo(-r, -r / 2);
  path.lineTo(-r, r / 2);
  path.lineTo(0, r / 2);
  path.lineTo(0, r);
  path.closeSubpath();
  p.setPen(QPen(kOutline, 1.5));
  p.setBrush(QColor(30, 150, 60));
  p.drawPath(path);
}

void Motor(QPainter& p, const QSize&) {
  p.setPen(QPen(kOutline, 2));
  p.setBrush(kSteel);
  p.drawRect(QRectF(36, 20, 9, 8));  // the shaft
  QRadialGradient body(QPointF(18, 18), 22);
  body.setColorAt(0, QColor(220, 225, 230));
  body.setColorAt(1, QColor(110, 120, 130));
  p.setBrush(body);
  p.drawEllipse(QRectF(4, 6, 34, 34));
  // The letter M, drawn as lines.
  p.setPen(QPen(QColor(20, 20, 120), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.drawPolyline(QPolygonF({{13, 31}, {13, 15}, {21, 25}, {29, 15}, {29, 31}}));
}

void Valve(QPainter& p, const QSize&) {
  p.setPen(QPen(kOutline, 2));
  p.drawLine(QPointF(2, 22), QPointF(8, 22));
  p.drawLine(QPointF(40, 22), QPointF(46, 22));
  p.setBrush(QColor(230, 120, 30));
  p.drawPolygon(QPolygonF({{8, 12}, {24, 22}, {8, 32}}));
  p.drawPolygon(QPolygonF({{40, 12}, {24, 22}, {40, 32}}));
  p.drawLine(QPointF(24, 22), QPointF(24, 8));
  p.setBrush(kSteel);
  p.drawRect(QRectF(16, 3, 16, 6));  // the hand wheel
}

void Pump(QPainter& p, const QSize& size) {
  QLinearGradient floor(0, 0, 0, size.height());
  floor.setColorAt(0, QColor(235, 240, 245));
  floor.setColorAt(1, QColor(190, 200, 210));
  p.fillRect(QRect(QPoint(0, 0), size), floor);
  p.setPen(QPen(kOutline, 2));
  p.setBrush(kWater);
  p.drawRect(QRectF(2, 28, 18, 8));  // inlet
  p.drawRect(QRectF(36, 6, 8, 18));  // outlet
  QRadialGradient casing(QPointF(26, 26), 20);
  casing.setColorAt(0, QColor(120, 200, 255));
  casing.setColorAt(1, QColor(20, 80, 160));
  p.setBrush(casing);
  p.drawEllipse(QRectF(14, 16, 28, 28));
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({{22, 24}, {36, 30}, {22, 36}}));
}

void Tank(QPainter& p, const QSize& size) {
  const QRectF body(5, 4, size.width() - 10, size.height() - 8);
  p.setPen(Qt::NoPen);
  p.setBrush(kWater);
  p.drawRoundedRect(body.adjusted(0, body.height() * 0.4, 0, 0), 6, 6);
  p.setPen(QPen(kOutline, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(body, 6, 6);
  p.setPen(QPen(Qt::white, 1, Qt::DashLine));
  p.drawLine(QPointF(body.left() + 3, body.top() + body.height() * 0.4),
             QPointF(body.right() - 3, body.top() + body.height() * 0.4));
}

void Lamp(QPainter& p, const QSize& size, bool on) {
  const QRectF bulb(3, 3, size.width() - 6, size.height() - 6);
  QRadialGradient glow(bulb.center() - QPointF(4, 4), bulb.width() / 2);
  glow.setColorAt(0, on ? QColor(255, 255, 200) : QColor(200, 200, 200));
  glow.setColorAt(1, on ? QColor(240, 190, 0) : QColor(90, 90, 90));
  p.setPen(QPen(kOutline, 2));
  p.setBrush(glow);
  p.drawEllipse(bulb);
}

// IEC symbols: "I" starts, "O" stops.
void PushButton(QPainter& p, const QSize& size, bool start) {
  const QRectF face(2, 2, size.width() - 4, size.height() - 4);
  p.setPen(QPen(kOutline, 2));
  p.setBrush(start ? QColor(40, 160, 60) : QColor(200, 40, 40));
  p.drawRoundedRect(face, 5, 5);
  p.setPen(QPen(Qt::white, 3));
  p.setBrush(Qt::NoBrush);
  const QPointF c = face.center();
  if (start)
    p.drawLine(c + QPointF(0, -8), c + QPointF(0, 8));
  else
    p.drawEllipse(c, 7, 7);
}

void Bicycle(QPainter& p, const QSize&) {
  p.setPen(QPen(kOutline, 2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(14, 26), 11, 11);
  p.drawEllipse(QPointF(50, 26), 11, 11);
  p.setPen(QPen(QColor(200, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  // Frame: rear hub, crank, seat post, head tube, front hub.
  p.drawPolyline(QPolygonF({{14, 26}, {30, 26}, {24, 12}, {14, 26}}));
  p.drawPolyline(QPolygonF({{30, 26}, {44, 12}, {24, 12}}));
  p.drawLine(QPointF(44, 12), QPointF(50, 26));
  p.setPen(QPen(kOutline, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(20, 8), QPointF(28, 8));  // saddle
  p.drawLine(QPointF(24, 12), QPointF(24, 8));
  p.drawLine(QPointF(43, 6), QPointF(49, 6));  // handlebar
  p.drawLine(QPointF(44, 12), QPointF(45, 6));
  p.drawEllipse(QPointF(30, 26), 2, 2);  // crank
}

struct Picture {
  const char* file;
  QSize size;
  Draw draw;
};

bool Write(const fs::path& file, const QImage& image) {
  const dravik::platform::RgbImage picture = dravik::editor::ToRgbImage(image);
  std::vector<std::uint8_t> bytes;
  if (file.extension() == ".jpg") {
    auto encoded = dravik::platform::EncodeJpeg(picture);
    if (!encoded) return false;
    bytes = std::move(encoded).value();
  } else {
    bytes = dravik::platform::EncodeBmp(picture);
  }
  return dravik::platform::WriteFileAtomic(file, bytes).ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: dravik-make-gallery FOLDER\n");
    return 2;
  }
  QGuiApplication application(argc, argv);
  const fs::path folder = argv[1];
  std::error_code error;
  fs::create_directories(folder, error);
  const Picture pictures[] = {
      {"Bicycle.bmp", {64, 40}, Bicycle},
      {"ArrowRight.bmp", {32, 32}, [](QPainter& p, const QSize& s) { Arrow(p, s, 0); }},
      {"ArrowDown.bmp", {32, 32}, [](QPainter& p, const QSize& s) { Arrow(p, s, 1); }},
      {"ArrowLeft.bmp", {32, 32}, [](QPainter& p, const QSize& s) { Arrow(p, s, 2); }},
      {"ArrowUp.bmp", {32, 32}, [](QPainter& p, const QSize& s) { Arrow(p, s, 3); }},
      {"Motor.bmp", {48, 46}, Motor},
      {"Valve.bmp", {48, 36}, Valve},
      {"Tank.bmp", {40, 56}, Tank},
      {"LampOn.bmp", {32, 32}, [](QPainter& p, const QSize& s) { Lamp(p, s, true); }},
      {"LampOff.bmp", {32, 32}, [](QPainter& p, const QSize& s) { Lamp(p, s, false); }},
      {"ButtonStart.bmp", {48, 32}, [](QPainter& p, const QSize& s) { PushButton(p, s, true); }},
      {"ButtonStop.bmp", {48, 32}, [](QPainter& p, const QSize& s) { PushButton(p, s, false); }},
      {"Pump.jpg", {48, 48}, Pump},
  };
  for (const Picture& picture : pictures) {
    QImage image(picture.size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      picture.draw(painter, picture.size);
    }
    if (!Write(folder / picture.file, image)) {
      std::fprintf(stderr, "cannot write %s\n", (folder / picture.file).c_str());
      return 1;
    }
  }
  return 0;
}
