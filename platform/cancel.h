#pragma once
// A stop request shared between the thread that asks and the worker that polls: every wait
// of a worker goes through sleepFor (or polls cancelled() between short steps), so a stop
// ends it within one poll.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

class CancelToken {
 public:
  CancelToken() = default;
  CancelToken(const CancelToken&) = delete;
  CancelToken& operator=(const CancelToken&) = delete;

  bool cancelled() const { return flag_.load(); }
  void cancel() {
    {
      std::lock_guard<std::mutex> lock(lock_);
      flag_ = true;
    }
    wake_.notify_all();
  }
  // Sleeps up to ms; false when the token was (or became) cancelled.
  bool sleepFor(int ms) const {
    std::unique_lock<std::mutex> lock(lock_);
    return !wake_.wait_for(lock, std::chrono::milliseconds(ms < 0 ? 0 : ms),
                           [this] { return flag_.load(); });
  }
  // For the ports that poll a plain flag during their own waits.
  const std::atomic<bool>* flag() const { return &flag_; }

  // A token nobody cancels, for callers that have no stop to offer.
  static const CancelToken& never() {
    static const CancelToken token;
    return token;
  }

 private:
  std::atomic<bool> flag_{false};
  mutable std::mutex lock_;
  mutable std::condition_variable wake_;
};

}  // namespace platform
