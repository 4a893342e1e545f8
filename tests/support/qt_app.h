#pragma once
// What every GUI test program shares: one QApplication for the whole program (offscreen
// unless QT_QPA_PLATFORM names a platform, so no display is needed), a way to let the
// event loop run until something holds, and a fixture whose widgets come after it.

#include <gtest/gtest.h>

#include <QApplication>
#include <functional>

namespace dravik::test {

// The program's QApplication, made on first use.
QApplication& EnsureApplication();

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
bool WaitFor(const std::function<bool()>& done, int ms = 5000);

// The first member of a fixture that holds widgets: the application exists before them.
struct WithApplication {
  WithApplication() { EnsureApplication(); }
};

// A test whose members may be widgets.
class QtTest : public testing::Test {
 private:
  WithApplication application_;
};

}  // namespace dravik::test
