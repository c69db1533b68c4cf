#pragma once
// Wait notices: DPleaseWaitDlg is shown modeless while the UI thread finishes an
// installation; DOpcScoutInstallPleaseWait stays up (modal) while a given program runs.
#include <memory>
#include <string>

#include "platform/ui/window.h"
#include "runners/worker_link.h"

class DPleaseWaitDlg : public ui::Window {
 public:
  static constexpr int kTemplateId = 153;
  static constexpr int IDC_TEXT = 1103;
  DPleaseWaitDlg();
};

class DOpcScoutInstallPleaseWait : public ui::Window {
 public:
  static constexpr int kTemplateId = 181;
  static constexpr int IDC_TEXT = 1103;
  static constexpr int kCloseTimer = 1047;

  DOpcScoutInstallPleaseWait(const std::string& programPath, ui::Window* parent);
  ~DOpcScoutInstallPleaseWait() override;

  // How long the watcher waits: polls of 25 ms for the program to appear (4800, about
  // 120 s) and of 1000 ms while it runs (600, 10 minutes).
  void setWatchLimits(int appearPolls, int runningPolls);
  const std::string& programPath() const { return programPath_; }
  void stopWorker();

  void onInitDialog() override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
  void onTimer(int id) override;
  void onDestroy() override;

 private:
  std::shared_ptr<WorkerLink> link_;
  WorkerThread watcher_;
  std::string programPath_;
  int appearPolls_ = 4800;
  int runningPolls_ = 600;
};
