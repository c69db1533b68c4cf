#include "runners/please_wait.h"

#include "platform/process.h"
#include "platform/win_types.h"

namespace {

constexpr const char* kWaitText = "Finishing the installation.\nPlease wait...";
// The watcher asks the dialog to start its closing timer: timers belong to the UI thread.
constexpr unsigned WM_WATCH_ENDED = 0x400 + 7;

}  // namespace

DPleaseWaitDlg::DPleaseWaitDlg()
    : ui::Window(kTemplateId, "Please wait...", ui::dluX(140), ui::dluY(41)) {
  // A notice, not a window to close: it goes when the work is done.
  setSystemMenu(false);
  setCentredOnOwner(true);
  addControl(IDC_TEXT, ui::ControlKind::Static, ui::dluRect(7, 7, 126, 27), kWaitText);
}

DOpcScoutInstallPleaseWait::DOpcScoutInstallPleaseWait(const std::string& programPath,
                                                       ui::Window* parent)
    : ui::Window(kTemplateId, "Please wait...", ui::dluX(140), ui::dluY(41)),
      link_(std::make_shared<WorkerLink>(this)),
      programPath_(programPath) {
  setParent(parent);
  addControl(IDC_TEXT, ui::ControlKind::Static, ui::dluRect(7, 7, 126, 27), kWaitText);
}

DOpcScoutInstallPleaseWait::~DOpcScoutInstallPleaseWait() { stopWorker(); }

void DOpcScoutInstallPleaseWait::setWatchLimits(int appearPolls, int runningPolls) {
  appearPolls_ = appearPolls;
  runningPolls_ = runningPolls;
}

void DOpcScoutInstallPleaseWait::stopWorker() { watcher_.stop("DOpcScoutInstallPleaseWait"); }

void DOpcScoutInstallPleaseWait::onInitDialog() {
  auto link = link_;
  std::string path = programPath_;
  int appear = appearPolls_, running = runningPolls_;
  watcher_.start(link, [link, path, appear, running] {
    // A program that never starts or never ends does not hold the notice up for good.
    for (int i = 0; i < appear && !platform::process::isProcessRunning(path); ++i)
      if (!link->sleepFor(25)) return;
    for (int i = 0; i < running && platform::process::isProcessRunning(path); ++i)
      if (!link->sleepFor(1000)) return;
    if (!link->cancelled()) link->post(WM_WATCH_ENDED, 0, 0);
  });
}

long DOpcScoutInstallPleaseWait::onMessage(unsigned msg, uintptr_t, intptr_t) {
  if (msg == WM_WATCH_ENDED) setTimer(kCloseTimer, 1000);
  return 0;
}

void DOpcScoutInstallPleaseWait::onTimer(int id) {
  if (id != kCloseTimer) return;
  killTimer(kCloseTimer);
  endDialog(win::IDOK);
}

void DOpcScoutInstallPleaseWait::onDestroy() {
  killTimer(kCloseTimer);
  stopWorker();
}
