#include "app/start_decision.h"

#include "model/project_session.h"

namespace dravik::app {

std::string CommandLinePath(const std::vector<std::string>& parameters) {
  std::string path;
  for (const std::string& p : parameters) {
    if (p.empty()) continue;
    if (!path.empty()) path += ' ';
    path += p;
  }
  const auto first = path.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : path.substr(first);
}

StartDecision DecideStart(const std::string& commandLinePath,
                          const std::optional<std::string>& clipboardText) {
  if (!commandLinePath.empty()) return {StartDecision::OpenCommandLine, commandLinePath, false};
  if (!clipboardText) return {};
  const model::StartCommand command = model::ParseStartCommand(*clipboardText);
  switch (command.kind) {
    case model::StartCommand::OpenFile:
      return {StartDecision::OpenFromClipboard, command.path, true};
    case model::StartCommand::NewProject:
      return {StartDecision::NewFromClipboard, {}, true};
    case model::StartCommand::None:
      break;
  }
  return {};
}

}  // namespace dravik::app
