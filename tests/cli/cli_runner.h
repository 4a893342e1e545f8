#pragma once
// Runs dravik-cli (or another program of the build) as a child process and collects what
// it says.

#include <string>
#include <utility>
#include <vector>

namespace dravik::test {

struct CliRun {
  int status = -1;  // exit status, or -1 when it did not exit normally (killed, hung)
  std::string out;
  std::string err;
};

// Changes to the test's own environment for one run.
struct CliEnvironment {
  std::vector<std::pair<std::string, std::string>> set;
  std::vector<std::string> unset;
};

// Runs dravik-cli with `args`; a run that takes longer than `timeoutSeconds` is killed.
CliRun RunCli(const std::vector<std::string>& args, int timeoutSeconds = 20);
CliRun RunCli(const std::vector<std::string>& args, const CliEnvironment& environment,
              int timeoutSeconds = 20);
// The same for any program.
CliRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                  const CliEnvironment& environment = {}, int timeoutSeconds = 20);

}  // namespace dravik::test

namespace dravik::test {

// A program running beside the test (an emulator); stopped with SIGTERM when destroyed.
class BackgroundProcess {
 public:
  explicit BackgroundProcess(const std::vector<std::string>& argv);
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // The first line the program printed (waits for it up to `timeoutSeconds`).
  std::string FirstLine(int timeoutSeconds = 10);
  // Stops the program and returns its exit status (-1 when it did not exit normally).
  int Stop();

 private:
  int pid_ = -1;
  int outFd_ = -1;
};

}  // namespace dravik::test
