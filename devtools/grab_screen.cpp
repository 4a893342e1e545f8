// dravik-grab-screen: saves the whole X screen as a PNG (the screenshot script runs it
// under Xvfb, which has no screenshot program). Usage: dravik-grab-screen OUT.png

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: dravik-grab-screen OUT.png\n");
    return 2;
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    std::fprintf(stderr, "no screen\n");
    return 1;
  }
  const QPixmap shot = screen->grabWindow(0);
  if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "cannot grab the screen into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
