#pragma once
// A panel emulator on a pseudo-terminal behind the download dialog, and what the dialog
// showed while it ran: the download form tests and the Download command tests share them.

#include <QObject>
#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "comm/com_port_map.h"
#include "comm/ui/download_form.h"
#include "emulators/emulated_line.h"
#include "emulators/panel_emulator.h"

namespace dravik::test {

// A panel emulator on a pseudo-terminal; COM1 names its line.
struct EmulatedPanel {
  explicit EmulatedPanel(PanelOptions options = {})
      : panel(std::move(options)), line(panel), ports(comm::ComPortMap::Single(line.SlavePath())) {}

  template <class F>
  auto Observe(F f) {
    std::lock_guard lock(line.Mutex());
    return f(panel);
  }

  PanelEmulator panel;
  test::EmulatedLine line;
  comm::ComPortMap ports;
};

// Every label and progress value the dialog showed, in order (repeats left out).
struct Shown {
  std::vector<std::string> labels;
  std::vector<int> progress;

  void Watch(comm::TDownloadForm& form) {
    QObject::connect(&form, &comm::TDownloadForm::progressShown, &form,
                     [this](const comm::DownloadProgress& p) {
                       if (labels.empty() || labels.back() != p.label.chinese)
                         labels.push_back(p.label.chinese);
                       if (progress.empty() || progress.back() != p.progressBar)
                         progress.push_back(p.progressBar);
                     });
  }
  bool SawLabel(const std::string& label) const {
    return std::find(labels.begin(), labels.end(), label) != labels.end();
  }
};

}  // namespace dravik::test
