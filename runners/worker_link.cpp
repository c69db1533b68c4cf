#include "runners/worker_link.h"

#include <chrono>
#include <limits>

#include "platform/debug.h"
#include "platform/ui/ui.h"
#include "platform/ui/window.h"

namespace {
std::atomic<int> detachedWorkers{0};
}  // namespace

int WorkerThread::detachedCount() { return detachedWorkers.load(); }

long WorkerLink::send(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard<std::timed_mutex> lock(windowLock_);
  return window_ ? window_->sendMessage(msg, wParam, lParam) : 0;
}

void WorkerLink::post(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard<std::timed_mutex> lock(windowLock_);
  if (window_) window_->postMessage(msg, wParam, lParam);
}

void WorkerLink::cut() {
  // A worker may sit in a synchronous send that needs this (UI) thread to be handled.
  // The wait is on the system clock: the steady-clock form locks through a call the thread
  // checker does not see, which then reports the unlock below as a fault.
  while (!windowLock_.try_lock_until(std::chrono::system_clock::now() +
                                     std::chrono::milliseconds(10)))
    ui::Window::pumpMessages();
  window_ = nullptr;
  windowLock_.unlock();
}

WorkerThread::~WorkerThread() {
  if (thread_.joinable()) stop("WorkerThread");
}

void WorkerThread::start(std::shared_ptr<WorkerLink> link, std::function<void()> body) {
  link_ = link;
  thread_ = std::thread([link, body = std::move(body)] {
    body();
    link->finished = true;
  });
}

void WorkerThread::stop(const std::string& owner, int boundMs) {
  if (!thread_.joinable()) return;
  link_->requestCancel();
  auto link = link_;
  bool ended = ui::waitPumping([link] { return link->finished.load(); }, boundMs);
  if (ended) {
    thread_.join();
  } else {
    // Never killed: it keeps its cancel flag and finds the link cut.
    platform::debugOutput(owner + "::stopWorker - Worker did not end in time, detached\n");
    thread_.detach();
    ++detachedWorkers;
  }
  link_->cut();
}

void runBesideUi(const std::function<void(const platform::CancelToken&)>& work) {
  auto link = std::make_shared<WorkerLink>(nullptr);
  WorkerThread worker;
  // The work may use what the caller holds: it is waited for to its end, never left behind.
  worker.start(link, [link, &work] { work(link->token); });
  ui::waitPumping([link] { return link->finished.load(); }, std::numeric_limits<int>::max());
  worker.stop("runBesideUi");
}
