#pragma once
// The thread a device dialog runs its protocol on, so the dialog stays responsive while
// the protocol waits on the line. The work reports back by queued calls to the dialog;
// the dialog joins the thread when the work has said it is done, and at the latest in
// its destructor.

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>
#include <utility>

namespace dravik::comm {

// Runs `call` on `receiver`'s thread (the user-interface thread) as soon as its event loop
// gets to it; dropped when the receiver is gone by then.
template <class F>
void PostTo(QObject* receiver, F&& call) {
  QMetaObject::invokeMethod(receiver, std::forward<F>(call), Qt::QueuedConnection);
}

class ProtocolThread {
 public:
  ProtocolThread() = default;
  ~ProtocolThread() { Join(); }
  ProtocolThread(const ProtocolThread&) = delete;
  ProtocolThread& operator=(const ProtocolThread&) = delete;

  // Runs `work` on a new thread. The previous work must have ended.
  void Start(std::function<void()> work) {
    Join();
    running_.store(true);
    thread_ = std::thread([this, work = std::move(work)] {
      work();
      running_.store(false);
    });
  }
  // Runs a device job on a new thread: `job(report)` runs the protocol, handing each
  // progress view to `report`; every view goes to `onProgress` and the outcome to `onEnd`,
  // both on `dialog`'s thread.
  template <class Dialog, class Progress, class Outcome, class Job>
  void StartJob(Dialog* dialog, void (Dialog::*onProgress)(const Progress&),
                void (Dialog::*onEnd)(const Outcome&), Job job) {
    using Report = std::function<void(const Progress&)>;
    Start([dialog, onProgress, onEnd, job = std::move(job)] {
      const Report report = [dialog, onProgress](const Progress& view) {
        PostTo(dialog, [dialog, onProgress, view] { (dialog->*onProgress)(view); });
      };
      const Outcome outcome = job(report);
      PostTo(dialog, [dialog, onEnd, outcome] { (dialog->*onEnd)(outcome); });
    });
  }
  // True from Start until the work has returned.
  bool Running() const { return running_.load(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> running_{false};
  std::thread thread_;
};

}  // namespace dravik::comm
