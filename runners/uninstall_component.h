#pragma once
// The modal progress dialog in which one component is removed; a worker runs the removal
// task for it.
#include <memory>
#include <string>

#include "platform/ui/window.h"
#include "runners/tasks.h"
#include "runners/worker_link.h"

// The component to remove: its name for the banner and what removes it (run on the worker,
// with the worker's token).
struct RemovalItem {
  std::string name;
  tasks::Removal removal;
};

class DUninstallComponent : public ui::Window {
 public:
  static constexpr int kTemplateId = 141;
  static constexpr int IDC_HEADER = 9702;
  static constexpr int IDC_PROGRESS = 1101;
  static constexpr int IDC_TEXT = 1103;
  static constexpr int IDC_ABORT = 2;
  static constexpr int kUninstallTimer = 783;
  static constexpr unsigned WM_RUNNER_NOTIFY = 0x400 + 5;
  static constexpr int kStarted = 102;
  static constexpr int kRemoved = 104;
  static constexpr int kFailed = 105;

  DUninstallComponent(int index, int count, RemovalItem item);
  ~DUninstallComponent() override;

  void stopWorker();

  void onInitDialog() override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
  void onTimer(int id) override;
  void onCancel() override;

 private:
  std::shared_ptr<WorkerLink> link_;
  WorkerThread worker_;
  int index_, count_;
  RemovalItem item_;
};
