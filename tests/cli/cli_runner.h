#pragma once
// Runs dravik-cli as a child process and collects what it says.

#include <string>
#include <vector>

namespace dravik::test {

struct CliRun {
  int status = -1;  // exit status, or -1 when it did not exit normally (killed, hung)
  std::string out;
  std::string err;
};

// Runs dravik-cli with `args`; a run that takes longer than `timeoutSeconds` is killed.
CliRun RunCli(const std::vector<std::string>& args, int timeoutSeconds = 20);

}  // namespace dravik::test
