// The stop rule of the runner dialogs: a worker that outlives the bound is detached, and
// from then on reaches nobody, even once its dialog is gone.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/debug.h"
#include "platform/ui/scripted_ui.h"
#include "runners/worker_link.h"

namespace {

class CountingWindow : public ui::Window {
 public:
  CountingWindow() : ui::Window(1, "Worker test", 100, 100) {}
  long onMessage(unsigned, uintptr_t wParam, intptr_t) override {
    ++handled;
    return static_cast<long>(wParam);
  }
  int handled = 0;
};

class Workers : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    platform::setDebugSink([this](const std::string& line) {
      std::lock_guard<std::mutex> lock(mutex_);
      debug_ += line;
    });
  }
  void TearDown() override {
    platform::setDebugSink(nullptr);
    ui::setBackend(nullptr);
  }
  ui::ScriptedUi ui_;
  std::mutex mutex_;
  std::string debug_;
};

TEST_F(Workers, CooperativeWorkerIsJoinedAndItsSendsArrive) {
  CountingWindow window;
  window.beginShow();
  auto link = std::make_shared<WorkerLink>(&window);
  auto answer = std::make_shared<std::atomic<long>>(0);
  WorkerThread worker;
  worker.start(link, [link, answer] {
    *answer = link->send(0x405, 42, 0);
    link->sleepFor(60000);  // ends as soon as cancel is set
  });
  ASSERT_TRUE(ui::waitPumping([&] { return answer->load() != 0; }, 5000));

  worker.stop("Workers");

  EXPECT_EQ(*answer, 42);
  EXPECT_EQ(window.handled, 1);
  EXPECT_TRUE(link->finished);
  EXPECT_EQ(debug_, "");
  window.endShow();
}

TEST_F(Workers, StuckWorkerIsDetachedAndReachesNobody) {
  auto window = std::make_unique<CountingWindow>();
  window->beginShow();
  auto link = std::make_shared<WorkerLink>(window.get());
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto answer = std::make_shared<std::atomic<long>>(-1);
  WorkerThread worker;
  // Ignores cancel, as a worker stuck in a call that cannot be interrupted would.
  worker.start(link, [link, release, answer] {
    while (!*release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    *answer = link->send(0x405, 7, 0);
  });

  worker.stop("DTestDialog", 50);
  window->endShow();
  window.reset();
  *release = true;
  ASSERT_TRUE(ui::waitPumping([&] { return link->finished.load(); }, 5000));

  EXPECT_EQ(*answer, 0);
  EXPECT_TRUE(link->cancelled());
  EXPECT_NE(debug_.find("DTestDialog::stopWorker - "), std::string::npos);
}

// Long work started from the UI thread runs elsewhere while the UI thread goes on handling
// its own work, and the call returns only once the work is over.
TEST_F(Workers, WorkBesideTheUiLetsTheUiRun) {
  std::atomic<bool> uiRan{false};
  ui_.after(20, [&] { uiRan = true; });
  bool sawUi = false;
  std::thread::id workThread;
  runBesideUi([&](const platform::CancelToken& cancel) {
    workThread = std::this_thread::get_id();
    for (int i = 0; i < 500 && !uiRan; ++i) cancel.sleepFor(10);
    sawUi = uiRan.load();
  });
  EXPECT_TRUE(sawUi);
  EXPECT_NE(workThread, std::this_thread::get_id());
}

}  // namespace
