#pragma once
// What the program does once its main window is shown: open the project named on the
// command line, answer a start command another instance left on the clipboard, or greet
// the user with the welcome form.

#include <optional>
#include <string>
#include <vector>

namespace dravik::app {

// The non-empty parameters joined by single blanks, leading blanks removed, so a path
// with blanks given unquoted still arrives whole.
std::string CommandLinePath(const std::vector<std::string>& parameters);

struct StartDecision {
  enum Kind {
    OpenCommandLine,    // open `path` (the pending command-line path)
    OpenFromClipboard,  // another instance asked this one to open `path`
    NewFromClipboard,   // another instance asked this one to create a project
    Welcome,            // nothing asked: show the welcome form
  } kind = Welcome;
  std::string path;
  // The clipboard gets the answer "OK" (the asking instance's command was taken).
  bool answerClipboard = false;
};

// `clipboardText` is nothing when the clipboard could not be read or holds no text.
StartDecision DecideStart(const std::string& commandLinePath,
                          const std::optional<std::string>& clipboardText);

}  // namespace dravik::app
