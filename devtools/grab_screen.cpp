// dravik-grab-screen: saves the whole X screen, or one window of it, as a PNG (the
// screenshot script runs it under Xvfb, which has no screenshot program).
// Usage: dravik-grab-screen OUT.png [WINDOW-ID]   (the ID as xdotool prints it)

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  QGuiApplication application(argc, argv);
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: dravik-grab-screen OUT.png [WINDOW-ID]\n");
    return 2;
  }
  WId window = 0;  // the root window: the whole screen
  if (argc == 3) {
    char* end = nullptr;
    window = static_cast<WId>(std::strtoull(argv[2], &end, 0));
    if (end == argv[2] || *end != '\0') {
      std::fprintf(stderr, "not a window ID: %s\n", argv[2]);
      return 2;
    }
  }
  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    std::fprintf(stderr, "no screen\n");
    return 1;
  }
  const QPixmap shot = screen->grabWindow(window);
  if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "cannot grab the screen into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
