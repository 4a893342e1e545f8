#pragma once
// The simulator without a window, for scripts and tests: start on an image, show a page,
// set registers, press keys and touch the screen, let time pass, then write the screen to
// a picture and list the registers.

#include <QImage>
#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "sim/panel_session.h"

namespace dravik::sim {

struct HeadlessStep {
  enum class Kind { Key, Touch };
  Kind kind = Kind::Key;
  int key = 0;       // Key: pressed and released
  int x = 0, y = 0;  // Touch: touched and released, in screen pixels
};

struct HeadlessPlan {
  std::optional<int> page;
  std::vector<std::string> assignments;  // "D100=42", in order
  std::vector<HeadlessStep> steps;       // in order, after the assignments
  std::chrono::milliseconds after{0};    // time let pass after the steps
  std::filesystem::path screenshot;      // PNG; none when empty
  int scale = 1;
  bool dumpRegisters = false;
};

inline constexpr int kHeadlessDone = 0;
inline constexpr int kHeadlessFailed = 1;

// Runs `plan` on `session`; reports on `out` (the register listing) and `err` (what went
// wrong, in the interface language). Needs a QGuiApplication for the screenshot.
int RunHeadless(PanelSession& session, const HeadlessPlan& plan, bool isChinese,
                std::ostream& out, std::ostream& err);

// The screen of the moment, painted at `scale` (1..3).
QImage ScreenShot(PanelSession& session, int scale);

}  // namespace dravik::sim
