// The uninstall runner and the wait notices, on a fresh machine with the scripted UI.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "engine/check_installations.h"
#include "engine/component_entry.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "runners/please_wait.h"
#include "runners/uninstall_component.h"
#include "tests/support/temp_machine.h"

namespace files = platform::files;

namespace {

const char* const kRuntimeName = "Corvanta Version XI 11.0.0.614 Runtime";
const char* const kRuntimeCode = "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}";

// Presses Abort whenever the worker reports a failure, as a user acknowledging it would.
class AbortingUninstall : public DUninstallComponent {
 public:
  AbortingUninstall(const ComponentEntry* entry, int presses)
      : DUninstallComponent(1, 1, itemOf(*entry)), presses_(presses) {}
  static RemovalItem itemOf(const ComponentEntry& entry) {
    return {entry.name, [entry](const platform::CancelToken& cancel) {
              return mxCheckInstallations::removeComponent(entry, cancel);
            }};
  }
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    if (msg == WM_RUNNER_NOTIFY) {
      codes.push_back(static_cast<int>(wParam));
      if (wParam == kStarted) creeping = hasTimer(kUninstallTimer);
    }
    long r = DUninstallComponent::onMessage(msg, wParam, lParam);
    if (msg == WM_RUNNER_NOTIFY && wParam == kStarted) creeping = hasTimer(kUninstallTimer);
    if (msg == WM_RUNNER_NOTIFY && wParam == kFailed) {
      stayedOpen = isOpen();
      for (int i = 0; i < presses_ && !ended(); ++i) click(IDC_ABORT);
    }
    return r;
  }
  bool stayedOpen = false;
  bool creeping = false;  // the bar's timer ran after the start notice
  std::vector<int> codes;

 private:
  int presses_;
};

class Runners : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    ui_.setModalLimit(20000);
    detachedBefore_ = WorkerThread::detachedCount();
  }
  void TearDown() override {
    // Every worker honoured its stop request: none was left running.
    EXPECT_EQ(WorkerThread::detachedCount(), detachedBefore_);
    ui::setBackend(nullptr);
  }

  ComponentEntry entry(const char* name) {
    return ComponentEntry(name, "", "", " ", "C:\\App", false, false, &name_, &state_,
                          &progress_, "Tests");
  }
  bool productRegistered(const std::string& code) {
    for (const auto& p : platform::machine::products())
      if (p.code == code) return true;
    return false;
  }

  TempMachine machine_;
  ui::ScriptedUi ui_;
  std::string name_, state_, progress_;
  int detachedBefore_ = 0;
};

TEST_F(Runners, UninstallRemovesTheProductAndCloses) {
  platform::machine::Product product;
  product.code = kRuntimeCode;
  product.properties = {{"VersionString", "11.0.0.614"}, {"InstalledProductName", kRuntimeName}};
  platform::machine::registerProduct(product);
  ComponentEntry e = entry(kRuntimeName);
  AbortingUninstall dialog(&e, 0);

  EXPECT_EQ(dialog.doModal(), win::IDOK);
  EXPECT_EQ(dialog.codes, (std::vector<int>{102, 104}));
  EXPECT_TRUE(dialog.creeping);

  EXPECT_FALSE(productRegistered(kRuntimeCode));
  EXPECT_EQ(dialog.progressPosition(DUninstallComponent::IDC_PROGRESS), 1000);
  EXPECT_FALSE(dialog.hasTimer(DUninstallComponent::kUninstallTimer));
  EXPECT_EQ(dialog.caption(),
            "Corvanta Vision Software Version XI 11.0.0.614 Installer - Uninstall Components");
  EXPECT_EQ(dialog.control(DUninstallComponent::IDC_HEADER)->text,
            "Uninstalling component 1 of 1");
  EXPECT_EQ(dialog.text(DUninstallComponent::IDC_TEXT), "Uninstalling... Please wait...");
  EXPECT_EQ(dialog.control(DUninstallComponent::IDC_HEADER)->subtitle, kRuntimeName);
  EXPECT_TRUE(ui_.messages().empty());
  // The page's strings belong to the UI thread: the worker left them alone.
  EXPECT_EQ(progress_, "");
}

TEST_F(Runners, FailedUninstallStaysOpenUntilAborted) {
  const char* kFailure =
      "Unable to uninstall the product. Please click on the 'Abort' button to cancel the "
      "operation.";
  const char* kQuestion = "Do you want to abort uninstallation of the selected components?";
  // First press answered No (nothing changes), the second Yes.
  ui_.answer(win::IDNO);
  ui_.answer(win::IDYES);
  ComponentEntry e = entry("Not In Catalogue");
  AbortingUninstall dialog(&e, 2);

  EXPECT_EQ(dialog.doModal(), win::IDCANCEL);

  EXPECT_TRUE(dialog.stayedOpen);
  EXPECT_EQ(dialog.codes, (std::vector<int>{102, 105}));
  EXPECT_TRUE(dialog.creeping);
  auto messages = ui_.messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].text, kFailure);
  EXPECT_EQ(messages[0].caption, ui::applicationTitle());
  EXPECT_EQ(messages[1].text, kQuestion);
  EXPECT_EQ(messages[1].caption, "Confirmation");
  EXPECT_EQ(messages[1].answer, win::IDNO);
  EXPECT_EQ(messages[2].answer, win::IDYES);
  EXPECT_EQ(dialog.progressPosition(DUninstallComponent::IDC_PROGRESS), 0);
  EXPECT_FALSE(dialog.hasTimer(DUninstallComponent::kUninstallTimer));
}

TEST_F(Runners, AbortedUninstallStopsItsRemoval) {
  ui_.answer(win::IDYES);
  std::atomic<bool> stopped{false};
  DUninstallComponent dialog(1, 1, {"Waiting", [&](const platform::CancelToken& cancel) {
                                      // An uninstaller that would wait a minute for a window.
                                      stopped = !cancel.sleepFor(60000);
                                      return true;
                                    }});
  ui_.after(200, [&] { dialog.click(DUninstallComponent::IDC_ABORT); });

  EXPECT_EQ(dialog.doModal(), win::IDCANCEL);
  dialog.stopWorker();
  EXPECT_TRUE(stopped.load());
  // Stopped removals say nothing: the only message was the question.
  EXPECT_EQ(ui_.messages().size(), 1u);
}

// A program of the machine that runs until a stop file appears.
class WatchedProgram {
 public:
  explicit WatchedProgram(const TempMachine& machine) {
    files::createDirectory("C:\\Tools");
    files::writeFile(kPath, "#!/bin/sh\nwhile [ ! -e \"$1\" ]; do sleep 0.02; done\n");
    stopFile_ = machine.root() + "/stop-watched";
    process_ = platform::process::start(kPath, std::string(kPath) + " " + stopFile_);
  }
  ~WatchedProgram() {
    stop();
    if (process_) process_->wait(5000);
  }
  void stop() { std::ofstream(stopFile_) << "stop"; }
  bool ended() { return !process_ || process_->wait(0); }
  bool started() const { return process_ != nullptr; }
  static constexpr const char* kPath = "C:\\Tools\\OpcCleanup.exe";

 private:
  std::string stopFile_;
  std::unique_ptr<platform::process::Process> process_;
};

TEST_F(Runners, OpcNoticeWaitsForTheProgramToEnd) {
  WatchedProgram program(machine_);
  ASSERT_TRUE(program.started());
  // The comparison ignores case.
  DOpcScoutInstallPleaseWait notice("C:\\TOOLS\\OPCCLEANUP.EXE", nullptr);
  // Had the notice not seen the program, it would close on its own after about one second
  // while the program still runs.
  notice.setWatchLimits(4, 600);
  ui_.after(1500, [&] { program.stop(); });

  EXPECT_EQ(notice.doModal(), win::IDOK);
  EXPECT_TRUE(program.ended());
  EXPECT_TRUE(ui_.wasShown("Finishing the installation.\nPlease wait..."));
}

TEST_F(Runners, OpcNoticeWaitsForAProgramThatStartsLate) {
  std::unique_ptr<WatchedProgram> program;
  DOpcScoutInstallPleaseWait notice(WatchedProgram::kPath, nullptr);
  // Starts after the notice is up, runs a while, ends.
  ui_.after(300, [&] { program = std::make_unique<WatchedProgram>(machine_); });
  ui_.after(1300, [&] {
    ASSERT_TRUE(program && program->started());
    EXPECT_TRUE(notice.isOpen());
    program->stop();
  });

  EXPECT_EQ(notice.doModal(), win::IDOK);
  ASSERT_TRUE(program);
  // Closed only after the program had ended, not when the first wait ran out.
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(ui_.timedOut(), 0);
}

TEST_F(Runners, OpcNoticeGivesUpOnAProgramThatNeverStarts) {
  DOpcScoutInstallPleaseWait notice("C:\\Tools\\Never.exe", nullptr);
  notice.setWatchLimits(4, 600);
  EXPECT_EQ(notice.doModal(), win::IDOK);
}

TEST_F(Runners, ClosingTheOpcNoticeEndsTheWatcher) {
  WatchedProgram program(machine_);
  ASSERT_TRUE(program.started());
  DOpcScoutInstallPleaseWait notice(WatchedProgram::kPath, nullptr);
  ui_.after(200, [&] { notice.click(2); });

  EXPECT_EQ(notice.doModal(), win::IDCANCEL);
  // The watcher was stopped with the window: no closing timer is left behind.
  EXPECT_FALSE(notice.hasTimer(DOpcScoutInstallPleaseWait::kCloseTimer));
  EXPECT_FALSE(program.ended());
}

}  // namespace
