#include "runners/uninstall_component.h"

#include <cstdio>
#include <utility>

#include "platform/installer_caption.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

DUninstallComponent::DUninstallComponent(int index, int count, RemovalItem item)
    : ui::Window(kTemplateId, "Uninstall Components", ui::dluX(334), ui::dluY(212)),
      link_(std::make_shared<WorkerLink>(this)),
      index_(index),
      count_(count),
      item_(std::move(item)) {
  using ui::ControlKind;
  addControl(IDC_TEXT, ControlKind::Static, ui::dluRect(14, 76, 306, 10),
             "Uninstalling... Please wait...");
  ui::Control& bar = addControl(IDC_PROGRESS, ControlKind::Progress, ui::dluRect(14, 98, 306, 12));
  bar.rangeMin = 0;
  bar.rangeMax = 1000;
  addControl(IDC_ABORT, ControlKind::Button, ui::dluRect(142, 190, 50, 14), "Abort");
}

DUninstallComponent::~DUninstallComponent() { stopWorker(); }

void DUninstallComponent::stopWorker() { worker_.stop("DUninstallComponent"); }

void DUninstallComponent::onInitDialog() {
  char title[256];
  std::snprintf(title, sizeof title, "Uninstalling component %d of %d", index_, count_);
  setCaption(std::string(kInstallerCaption) + " - Uninstall Components");

  ui::Rect band{0, 0, width(), 100};
  if (!control(IDC_HEADER)) addControl(IDC_HEADER, ui::ControlKind::Header, band);
  ui::Control* header = control(IDC_HEADER);
  header->rect = band;
  header->text = title;
  header->subtitle = item_.name;
  header->image = "138";
  header->visible = true;
  controlChanged(IDC_HEADER);

  setProgressRange(IDC_PROGRESS, 0, 1000);
  setProgressPosition(IDC_PROGRESS, 0);

  auto link = link_;
  tasks::Removal removal = item_.removal;
  worker_.start(link, [link, removal] {
    link->send(WM_RUNNER_NOTIFY, kStarted, 0);
    int result = kRemoved;
    tasks::TaskResult removed = tasks::remove(removal, link->token);
    // A stopped removal reports nothing: nobody is left to read it.
    if (removed.cancelled()) return;
    if (!removed.ok()) {
      ui::messageBox(nullptr,
                     "Unable to uninstall the product. Please click on the 'Abort' button to "
                     "cancel the operation.",
                     "", win::MB_OK);
      result = kFailed;
    }
    link->send(WM_RUNNER_NOTIFY, static_cast<uintptr_t>(result), 0);
  });
}

long DUninstallComponent::onMessage(unsigned msg, uintptr_t wParam, intptr_t) {
  if (msg != WM_RUNNER_NOTIFY) return 0;
  switch (static_cast<int>(wParam)) {
    case kStarted:
      setProgressPosition(IDC_PROGRESS, 0);
      setTimer(kUninstallTimer, 750);
      break;
    case kRemoved:
      setProgressPosition(IDC_PROGRESS, 1000);
      killTimer(kUninstallTimer);
      endDialog(win::IDOK);
      break;
    case kFailed:
      // Stays open: the user acknowledges the failure with Abort.
      setProgressPosition(IDC_PROGRESS, 0);
      killTimer(kUninstallTimer);
      break;
    default:
      break;
  }
  return 0;
}

void DUninstallComponent::onTimer(int id) {
  if (id != kUninstallTimer) return;
  int position = progressPosition(IDC_PROGRESS);
  if (position < 1000) setProgressPosition(IDC_PROGRESS, position + 1);
}

void DUninstallComponent::onCancel() {
  if (ui::messageBox(this, "Do you want to abort uninstallation of the selected components?",
                     "Confirmation", win::MB_YESNO | win::MB_ICONQUESTION) == win::IDYES)
    endDialog(win::IDCANCEL);
}
