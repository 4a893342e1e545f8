#include "velnor/headless_update.h"

#include "comm/device_jobs.h"

namespace dravik::velnor {

Bilingual DownloadResultText(const comm::DownloadOutcome& outcome, std::size_t imageSize) {
  if (outcome.ok()) {
    const std::string n = std::to_string(imageSize);
    return {"更新完成：面板已收下全部 " + n + " 字节。",
            "Update complete: the panel took all " + n + " bytes."};
  }
  if (outcome.notice) return *outcome.notice;
  if (outcome.portError) return outcome.portError->Message();
  if (outcome.end == comm::DownloadEnd::Cancelled) return comm::SearchCancelledText();
  if (outcome.message) return *outcome.message;
  return outcome.label;
}

int UpdateHeadless(const std::string& device, std::span<const std::uint8_t> image, bool isChinese,
                   std::ostream& out, std::ostream& err, std::atomic<bool>* cancel) {
  std::string shownLabel;
  int shownTenth = -1;
  const auto show = [&](const comm::DownloadProgress& view) {
    if (view.state == comm::DownloadState::Transferring) {
      // Every tenth of the image the panel has taken, once.
      if (view.imageSize == 0 || view.bytesSent == 0) return;
      const int percent = static_cast<int>(view.bytesSent * 100 / view.imageSize);
      if (percent / 10 <= shownTenth) return;
      shownTenth = percent / 10;
      err << percent << "%  " << comm::TransferLabel(view.bytesSent, view.imageSize) << std::endl;
      return;
    }
    if (view.state != comm::DownloadState::Searching &&
        view.state != comm::DownloadState::Synchronising) {
      return;  // the end is told once, by the result
    }
    // The search appends a dot for every setting it tries; its line is said once.
    std::string label = view.label.In(isChinese);
    while (!label.empty() && label.back() == '.') label.pop_back();
    if (label.empty() || label == shownLabel) return;
    shownLabel = label;
    err << label << std::endl;
  };
  const comm::DownloadOutcome outcome =
      comm::RunDownload(comm::DeviceLine::Named(device), image, show, cancel);
  const std::string result = DownloadResultText(outcome, image.size()).In(isChinese);
  (outcome.ok() ? out : err) << result << std::endl;
  return outcome.ok() ? kExitUpdated : kExitFailed;
}

}  // namespace dravik::velnor
