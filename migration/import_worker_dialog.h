#pragma once
// What the two import dialogs share: a worker that copies while the dialog shows progress,
// and closing refused while it runs.
#include <memory>
#include <string>

#include "platform/ui/window.h"
#include "runners/worker_link.h"

class DImportWorkerDialog : public ui::Window {
 public:
  DImportWorkerDialog(int templateId, const std::string& caption, int width, int height,
                      const char* className)
      : ui::Window(templateId, caption, width, height), className_(className) {}

  bool running() const { return running_; }

  // OK closes only once the worker has ended; Cancel stops it first.
  void onOK() override;
  void onCancel() override;

 protected:
  // Stops the worker and drops its link. Each dialog calls it in its own destructor too,
  // while the members its worker reads still exist.
  void stopWorker();

  bool running_ = false;
  bool hasRun_ = false;
  WorkerThread worker_;
  std::shared_ptr<WorkerLink> link_;

 private:
  const char* className_;
};
