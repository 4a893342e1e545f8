#include "cli_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string_view>
#include <thread>

#include "support/temp_dir.h"

namespace dravik::test {

namespace {

// The test's environment with the run's changes, built before fork (the child only execs).
std::vector<std::string> ChildEnvironment(const CliEnvironment& changes) {
  std::vector<std::string> entries;
  auto changed = [&](std::string_view entry) {
    const std::string_view name = entry.substr(0, entry.find('='));
    for (const auto& unset : changes.unset) {
      if (name == unset) return true;
    }
    for (const auto& [set, value] : changes.set) {
      if (name == set) return true;
    }
    return false;
  };
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!changed(*entry)) entries.emplace_back(*entry);
  }
  for (const auto& [name, value] : changes.set) entries.push_back(name + "=" + value);
  return entries;
}

std::string Slurp(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, int timeoutSeconds) {
  return RunProgram(DRAVIK_CLI, args, {}, timeoutSeconds);
}

CliRun RunCli(const std::vector<std::string>& args, const CliEnvironment& environment,
              int timeoutSeconds) {
  return RunProgram(DRAVIK_CLI, args, environment, timeoutSeconds);
}

CliRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                  const CliEnvironment& environment, int timeoutSeconds) {
  TempDir dir;
  const auto outFile = dir / "out", errFile = dir / "err";
  std::vector<std::string> environmentEntries = ChildEnvironment(environment);
  std::vector<char*> envp;
  for (auto& entry : environmentEntries) envp.push_back(entry.data());
  envp.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    std::string path = program;
    argv.push_back(path.data());
    std::vector<std::string> copies = args;
    for (auto& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execve(path.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  CliRun run;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == child) break;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      run.out = Slurp(outFile);
      run.err = Slurp(errFile) + "\n[killed: did not finish in time]";
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = Slurp(outFile);
  run.err = Slurp(errFile);
  return run;
}

}  // namespace dravik::test

#include <poll.h>

namespace dravik::test {

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    ::dup2(pipeFds[1], 1);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    std::vector<std::string> copies = argv;
    std::vector<char*> args;
    for (auto& arg : copies) args.push_back(arg.data());
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    _exit(127);
  }
  ::close(pipeFds[1]);
  outFd_ = pipeFds[0];
}

BackgroundProcess::~BackgroundProcess() {
  Stop();
  if (outFd_ >= 0) ::close(outFd_);
}

std::string BackgroundProcess::FirstLine(int timeoutSeconds) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd ready{outFd_, POLLIN, 0};
    if (::poll(&ready, 1, 50) <= 0) continue;
    char c = 0;
    if (::read(outFd_, &c, 1) != 1) break;
    if (c == '\n') return line;
    line += c;
  }
  return line;
}

int BackgroundProcess::Stop() {
  if (pid_ <= 0) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace dravik::test
