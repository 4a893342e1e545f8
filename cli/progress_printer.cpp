#include "cli/progress_printer.h"

#include <cstdio>

namespace dravik::cli {
namespace {

// "1:05": minutes and seconds.
std::string Clock(double seconds) {
  const long whole = static_cast<long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

std::string Kilobytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", bytes / 1024.0);
  return text;
}

}  // namespace

ProgressPrinter::ProgressPrinter(std::ostream& err, bool isChinese, bool terminal)
    : err_(err), chinese_(isChinese), terminal_(terminal) {}

void ProgressPrinter::Step(const Bilingual& step, const Bilingual& detail) {
  const std::string& text = step.In(chinese_);
  if (terminal_) {
    const std::string& more = detail.In(chinese_);
    Show(more.empty() ? text : text + " " + more);
  } else if (text != step_) {
    err_ << text << '\n';
  }
  step_ = text;
}

void ProgressPrinter::Transfer(std::size_t done, std::size_t total) {
  if (total == 0) return;
  const int percent = static_cast<int>(done * 100 / total);
  if (percent < shownPercent_) return;  // a transfer never goes back
  if (!transferStart_) {
    transferStart_ = SteadyClock::now();
    startBytes_ = done;
  }
  if (terminal_) {
    shownPercent_ = percent;
    Show(TransferText(done, total, percent));
    return;
  }
  const int tenth = percent / 10;
  if (tenth <= shownTenth_) return;
  shownTenth_ = tenth;
  shownPercent_ = percent;
  err_ << TransferText(done, total, percent) << '\n';
}

std::string ProgressPrinter::TransferText(std::size_t done, std::size_t total, int percent) {
  const double seconds =
      std::chrono::duration<double>(SteadyClock::now() - *transferStart_).count();
  const double rate = seconds > 0 ? static_cast<double>(done - startBytes_) / seconds : 0;
  char head[32];
  std::snprintf(head, sizeof head, "%3d%%", percent);
  std::string text = std::string(head) + "  " + Kilobytes(static_cast<double>(done)) + " / " +
                     Kilobytes(static_cast<double>(total)) + " KB";
  if (rate <= 0) return text;
  const std::string left = Clock(static_cast<double>(total - done) / rate);
  text += "  " + Kilobytes(rate) + " KB/s  ";
  text += chinese_ ? "剩余 " + left : left + " left";
  return text;
}

void ProgressPrinter::Show(const std::string& text) {
  if (lineOpen_ && text == shown_) return;
  // Back to the start of the line, the new text, and away with the rest of the old one.
  err_ << '\r' << text << "\x1b[K" << std::flush;
  shown_ = text;
  lineOpen_ = true;
}

void ProgressPrinter::Finish() {
  if (!lineOpen_) return;
  err_ << '\n' << std::flush;
  lineOpen_ = false;
}

}  // namespace dravik::cli
