#pragma once
// How a long transfer shows on stderr. On a terminal everything happens on one line that
// is rewritten in place: the step (with a detail such as the setting being tried), then
// the transfer's percentage, bytes, rate and time left. In a log or a pipe each step is one
// line and the transfer one line per 10 %. No line is printed twice, and the transfer
// never shows less than it has already shown.

#include <chrono>
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

#include "platform/bilingual.h"

namespace dravik::cli {

class ProgressPrinter {
 public:
  ProgressPrinter(std::ostream& err, bool isChinese, bool terminal);
  ~ProgressPrinter() { Finish(); }
  ProgressPrinter(const ProgressPrinter&) = delete;
  ProgressPrinter& operator=(const ProgressPrinter&) = delete;

  // A step of the work. `detail` shows only on a terminal, beside the step.
  void Step(const Bilingual& step, const Bilingual& detail = {});
  // `done` of `total` bytes sent.
  void Transfer(std::size_t done, std::size_t total);
  // Ends the line a terminal shows, so what follows starts on a line of its own.
  void Finish();

 private:
  using SteadyClock = std::chrono::steady_clock;
  std::string TransferText(std::size_t done, std::size_t total, int percent);
  void Show(const std::string& text);

  std::ostream& err_;
  bool chinese_;
  bool terminal_;
  std::string step_;       // the step shown last
  std::string shown_;      // the text of the terminal's line
  bool lineOpen_ = false;  // the terminal's line waits to be rewritten or ended
  int shownPercent_ = -1;  // the most of the transfer shown so far
  int shownTenth_ = 0;     // the last 10 % step logged
  std::optional<SteadyClock::time_point> transferStart_;
  std::size_t startBytes_ = 0;
};

}  // namespace dravik::cli
