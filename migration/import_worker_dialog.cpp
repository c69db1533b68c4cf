#include "migration/import_worker_dialog.h"

#include "platform/installer_caption.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

void DImportWorkerDialog::onOK() {
  if (running_) {
    ui::messageBox(this,
                   "Import processing is on.\nPlease abort the process before closing the "
                   "dialog.",
                   kInstallerCaption, win::MB_OK);
    return;
  }
  stopWorker();
  endDialog(1);
}

void DImportWorkerDialog::onCancel() {
  stopWorker();
  endDialog(2);
}

void DImportWorkerDialog::stopWorker() {
  if (worker_.started()) worker_.stop(className_);
  link_.reset();
}
