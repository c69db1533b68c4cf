#include "engine/install_manager.h"

#include <new>
#include <set>

#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "engine/lookups.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/custom_exception.h"
#include "runners/download_and_install_component.h"
#include "runners/worker_link.h"

namespace {

int showMessage(const std::string& text, unsigned type = win::MB_OK) {
  return ui::messageBox(appContext().mainWindow, text, kInstallerCaption, type);
}

// The summaries are formatted into a 512-byte buffer: a long data folder path shortens
// the text instead of overflowing it.
std::string boundedText(std::string text) {
  if (text.size() > 511) text.resize(511);
  return text;
}

}  // namespace

mxInstallManagerBase::~mxInstallManagerBase() { releaseComponents(); }

int mxInstallManagerBase::setComponents(unsigned count, ComponentEntry* const* entries) {
  // A list set over an earlier one would otherwise be lost with everything it owns.
  releaseComponents();
  count_ = count;
  entries_ = count ? new (std::nothrow) ComponentEntry*[count] : nullptr;
  if (!entries_) {
    if (count) platform::debugOutput("mxInstallManagerBase::setComponents - out of memory\n");
    count_ = 0;
    return count ? -1 : 1;
  }
  for (unsigned i = 0; i < count; ++i)
    entries_[i] = entries[i] ? new (std::nothrow) ComponentEntry(*entries[i]) : nullptr;
  return 1;
}

void mxInstallManagerBase::releaseComponents() {
  if (entries_) {
    for (unsigned i = 0; i < count_; ++i) delete entries_[i];
    delete[] entries_;
  }
  entries_ = nullptr;
  count_ = 0;
}

int mxInstallManagerBase::updateComponentStates(int first, int last) {
  int result = 1;
  for (int i = first; i <= last; ++i) {
    ComponentEntry* e = entry(static_cast<unsigned>(i));
    if (!e) continue;
    // The presence test and the state tests of one entry ask many of the same questions.
    lookups::EvaluationScope scope;
    if (!isComponentInstalled(*e)) {
      e->setState(ComponentState::NotInstalled);
      result = -1;
    } else if (!evaluateComponentState(*e)) {
      result = -1;
    }
  }
  return result;
}

bool mxInstallManagerBase::repairLoop(int first, int last) {
  for (;;) {
    bool found = false;
    for (int i = first; i <= last && !found; ++i)
      if (ComponentEntry* e = entry(static_cast<unsigned>(i))) found = needsRepair(*e);
    if (!found) return true;
    int answer = showMessage(
        "Errors are observed in existing installations. \nDo you want to repair these "
        "components?\n\nClick 'Yes' to repair and proceed.\nClick 'No' to abort the "
        "installation.",
        win::MB_YESNO);
    if (answer != win::IDYES) return false;
    for (int i = first; i <= last; ++i) {
      ComponentEntry* e = entry(static_cast<unsigned>(i));
      if (e && repairComponent(*e) <= 0) break;
    }
    updateComponentStates(first, last);
  }
}

int mxInstallManagerBase::installComponents(int first, int last, bool checkWholeList) {
  if (checkWholeList) {
    if (count_ == 0) return -1;
    if (!repairLoop(0, static_cast<int>(count_) - 1)) return -1;
  } else if (!repairLoop(first, last)) {
    return -1;
  }
  for (unsigned i = 0; i < count_; ++i)
    if (entries_[i])
      entries_[i]->setProgress(static_cast<int>(i) >= first && static_cast<int>(i) <= last
                                   ? ComponentProgress::Pending : ComponentProgress::None);
  for (int j = first; j < static_cast<int>(count_) && j <= last; ++j) {
    ComponentEntry* e = entry(static_cast<unsigned>(j));
    if (!e || installComponent(*e, j - first + 1, last - first + 1) <= 0) return -1;
  }
  return 1;
}

int mxInstallManagerBase::installSelectedComponents(const int* indices, int n) {
  if (!indices || n <= 0) return -1;
  if (count_ > 0 && !repairLoop(0, static_cast<int>(count_) - 1)) return -1;
  std::set<int> selected(indices, indices + n);
  for (unsigned i = 0; i < count_; ++i)
    if (entries_[i]) entries_[i]->setProgress(selected.count(static_cast<int>(i)) ? ComponentProgress::Pending
                                                                   : ComponentProgress::None);
  for (int j = 0; j < n; ++j) {
    ComponentEntry* e = entry(static_cast<unsigned>(indices[j]));
    if (!e || installComponent(*e, j + 1, n) <= 0) return -1;
  }
  return 1;
}

int mxInstallManagerBase::uninstallComponents(int first, int last) {
  for (unsigned i = 0; i < count_; ++i)
    if (entries_[i])
      entries_[i]->setProgress(static_cast<int>(i) >= first && static_cast<int>(i) <= last
                                   ? ComponentProgress::Pending : ComponentProgress::None);
  for (int i = last; i >= first && i >= 0; --i) {
    ComponentEntry* e = entry(static_cast<unsigned>(i));
    if (!e || uninstallComponent(*e, last - i + 1, last - first + 1) <= 0) return -1;
  }
  return 1;
}

int mxInstallManagerBase::downloadAllComponents(bool showSummary, bool* skipAllErrors) {
  std::vector<int> all(count_);
  for (unsigned i = 0; i < count_; ++i) all[i] = static_cast<int>(i);
  return downloadSelectedComponents(all.empty() ? nullptr : all.data(),
                                    static_cast<int>(all.size()), showSummary, skipAllErrors);
}

int mxInstallManagerBase::downloadSelectedComponents(const int* indices, int n,
                                                     bool showSummary, bool* skipAllErrors) {
  if (!indices || n < 1 || !skipAllErrors) return -1;
  std::set<int> selected(indices, indices + n);
  for (unsigned i = 0; i < count_; ++i)
    if (entries_[i]) entries_[i]->setProgress(selected.count(static_cast<int>(i)) ? ComponentProgress::Pending
                                                                   : ComponentProgress::None);
  for (int pos = 0; pos < n; ++pos) {
    ComponentEntry* e = entry(static_cast<unsigned>(indices[pos]));
    if (!e) continue;
    for (;;) {
      if (downloadComponent(*e, pos + 1, n) > 0 || *skipAllErrors) break;
      DDownloadErrorHandlingOption dialog;
      dialog.message = "Error - Unable to download the component '" + e->fileName + "'";
      int closed = dialog.doModal();
      if (closed != win::IDOK || dialog.choice == 0) return -1;
      if (dialog.choice == 1) continue;  // Retry: the same entry again
      if (dialog.choice == 3) *skipAllErrors = true;
      break;
    }
  }
  if (showSummary)
    showMessage(boundedText("Successfully downloaded the files.\nDownload directory - " +
                            dataFolder()));
  return 1;
}

int mxInstallManagerBase::downloadComponent(const ComponentEntry& e, int position, int total) {
  e.setProgress(ComponentProgress::Downloading);
  DDownloadAndInstallComponent dialog(position, total, &e, true, false, true);
  // Only a file is the download; a folder of that name makes the runner fail with its message.
  unsigned long attributes = platform::files::getAttributes(dialog.targetPath());
  bool isFile = attributes != win::INVALID_FILE_ATTRIBUTES &&
                (attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0;
  bool ok = isFile || dialog.doModal() == win::IDOK;
  e.setProgress(ok ? ComponentProgress::Downloaded : ComponentProgress::DownloadError);
  return ok ? 1 : -1;
}

int mxInstallManagerBase::deleteOldDownloads(bool onlyRefreshable, bool showSummary) {
  for (unsigned i = 0; i < count_; ++i) {
    ComponentEntry* e = entries_[i];
    if (!e || (onlyRefreshable && !e->alwaysRefresh)) continue;
    if (deleteOldDownload(*e, static_cast<int>(i) + 1, static_cast<int>(count_)) <= 0)
      return -1;
  }
  if (showSummary)
    showMessage(boundedText("Successfully deleted the old downloads.\nFrom directory - " +
                            dataFolder()));
  return 1;
}

int mxInstallManagerBase::deleteOldDownload(const ComponentEntry& e, int position, int total) {
  DDownloadAndInstallComponent dialog(position, total, &e, true, false, true);
  if (dialog.deleteDownloadedFiles()) return 1;
  showMessage("Error - Unable to delete the old download file for the component '" + e.name +
              "'. Please confirm whether the file is in use.");
  return -1;
}

bool mxInstallManagerBase::isComponentInstalled(const ComponentEntry& e) {
  return mxCheckInstallations::isComponentInstalled(e);
}

bool mxInstallManagerBase::evaluateComponentState(const ComponentEntry& e) {
  ComponentState state = mxCheckInstallations::evaluateComponentState(e);
  e.setState(state);
  return state == ComponentState::Installed;
}

bool mxInstallManagerBase::needsRepair(const ComponentEntry& e) {
  return mxCheckInstallations::needsRepair(e);
}

int mxInstallManagerBase::repairComponent(const ComponentEntry& e) {
  // An uninstaller may wait minutes for a window: the repair runs beside the UI thread,
  // which keeps painting meanwhile. The copy leaves the page's strings to the UI thread.
  ComponentEntry entry = e;
  entry.nameText = entry.stateText = entry.progressText = nullptr;
  int result = -1;
  runBesideUi([&](const platform::CancelToken& cancel) {
    result = mxCheckInstallations::repairComponent(entry, cancel);
  });
  return result;
}

std::string mxInstallManagerBase::dataFolder() const {
  return appContext().applicationFolder + "\\_CorvantaInstallData";
}
