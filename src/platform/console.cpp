#include "platform/console.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace dravik::platform {
namespace {

// A signal handler may only store into a lock-free atomic.
static_assert(std::atomic<bool>::is_always_lock_free);

std::atomic<bool>* interruptFlag = nullptr;
struct sigaction previousAction {};

void OnInterrupt(int) {
  if (interruptFlag != nullptr) interruptFlag->store(true);
}

}  // namespace

bool StderrIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

InterruptRequest::InterruptRequest(std::atomic<bool>& flag) {
  interruptFlag = &flag;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // The handler is used once: the next Ctrl+C finds the default action again. Interrupted
  // calls restart, so a wait on the line is not cut short.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  ::sigaction(SIGINT, &action, &previousAction);
}

InterruptRequest::~InterruptRequest() {
  ::sigaction(SIGINT, &previousAction, nullptr);
  interruptFlag = nullptr;
}

bool LocaleIsChinese() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return std::strncmp(value, "zh", 2) == 0;
  }
  return false;
}

}  // namespace dravik::platform
