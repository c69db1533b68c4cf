#pragma once
// What a runner dialog shares with its worker thread. The worker never holds a pointer to
// the dialog itself: it reaches it through the link, which the dialog cuts before it goes
// away, so a worker that outlives its dialog (detached after the stop bound) talks to
// nobody.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/cancel.h"

namespace ui { class Window; }

class WorkerLink {
 public:
  explicit WorkerLink(ui::Window* window) : window_(window) {}

  // The worker's stop request; the tasks it runs take it.
  platform::CancelToken token;
  std::atomic<bool> finished{false};

  bool cancelled() const { return token.cancelled(); }
  // SendMessage to the dialog; 0 once the link is cut.
  long send(unsigned msg, uintptr_t wParam, intptr_t lParam);
  // PostMessage to the dialog; dropped once the link is cut.
  void post(unsigned msg, uintptr_t wParam, intptr_t lParam);
  // Sleeps up to ms; false when cancel was set meanwhile.
  bool sleepFor(int ms) { return token.sleepFor(ms); }
  void requestCancel() { token.cancel(); }
  // Cuts the link. Called on the UI thread; a send in flight is let through meanwhile.
  void cut();

 private:
  std::timed_mutex windowLock_;
  ui::Window* window_;
};

// One worker thread and the stop rule every runner dialog uses.
class WorkerThread {
 public:
  WorkerThread() = default;
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // body runs on the new thread; it must only use what it captured by value (the link
  // and copies), never the dialog.
  void start(std::shared_ptr<WorkerLink> link, std::function<void()> body);
  bool started() const { return thread_.joinable(); }
  // stopWorker: sets cancel, waits up to boundMs letting UI work through, and detaches
  // the thread when it is still running (its result is then ignored). Cuts the link.
  // owner names the dialog in the debug line written on a detach.
  void stop(const std::string& owner, int boundMs = 5000);
  // How many workers were ever left running past their bound (none, when every wait
  // honours its token).
  static int detachedCount();

 private:
  std::thread thread_;
  std::shared_ptr<WorkerLink> link_;
};

// Runs work on a worker thread while the calling thread keeps handling its window messages,
// and returns when the work has ended: long work started from the UI thread without freezing
// it. The work gets the worker's token.
void runBesideUi(const std::function<void(const platform::CancelToken&)>& work);
