#pragma once
// The modal progress dialog in which one component is removed; a worker runs the
// catalogue's removal for the entry.
#include <memory>
#include <string>

#include "engine/component_entry.h"
#include "platform/ui/window.h"
#include "runners/worker_link.h"

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

  DUninstallComponent(int index, int count, const ComponentEntry* entry);
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
  ComponentEntry entry_;  // a copy without the page's strings, for the worker
};
