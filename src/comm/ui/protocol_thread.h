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
  // True from Start until the work has returned.
  bool Running() const { return running_.load(); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> running_{false};
  std::thread thread_;
};

// Runs `call` on `receiver`'s thread (the user-interface thread) as soon as its event loop
// gets to it; dropped when the receiver is gone by then.
template <class F>
void PostTo(QObject* receiver, F&& call) {
  QMetaObject::invokeMethod(receiver, std::forward<F>(call), Qt::QueuedConnection);
}

}  // namespace dravik::comm
