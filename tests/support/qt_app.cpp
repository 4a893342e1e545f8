#include "support/qt_app.h"

#include <QElapsedTimer>
#include <QTest>

namespace dravik::test {

QApplication& EnsureApplication() {
  static int argc = 1;
  static char name[] = "dravik_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *application;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QTest::qWait(5);
  }
  return true;
}

}  // namespace dravik::test
