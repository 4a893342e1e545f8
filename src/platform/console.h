#pragma once
// The terminal a command-line run talks to: whether its messages go to one, and Ctrl+C as
// a request to stop the work in hand rather than the end of the program.

#include <atomic>

namespace dravik::platform {

// Standard error is a terminal (not a file or a pipe).
bool StderrIsTerminal();

// The user's locale is Chinese (LC_ALL, else LC_MESSAGES, else LANG begins with "zh"):
// the interface language of a program that is told no other.
bool LocaleIsChinese();

// While it lives, the first SIGINT (Ctrl+C) sets `flag` and the program goes on, so the
// work in hand can stop where it may and say what it left behind; a second SIGINT ends
// the program as usual. One at a time; `flag` must outlive it.
class InterruptRequest {
 public:
  explicit InterruptRequest(std::atomic<bool>& flag);
  ~InterruptRequest();
  InterruptRequest(const InterruptRequest&) = delete;
  InterruptRequest& operator=(const InterruptRequest&) = delete;
};

}  // namespace dravik::platform
