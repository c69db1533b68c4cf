#include "app/page_base.h"

#include <exception>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

qnDPropertyPageBase::qnDPropertyPageBase(int templateId, const std::string& title,
                                         const std::string& headerTitle)
    : ui::PropertyPage(templateId, title), headerTitle_(headerTitle) {}

qnDPrismalSDKInstallerSheet* qnDPropertyPageBase::installerSheet() const {
  return dynamic_cast<qnDPrismalSDKInstallerSheet*>(sheet());
}

void qnDPropertyPageBase::bindText(int controlId, const std::string* text) {
  bindings_.emplace_back(controlId, text);
}

void qnDPropertyPageBase::updateData() {
  ++dataExchanges_;
  for (const auto& [id, text] : bindings_)
    if (control(id) && this->text(id) != *text) setText(id, *text);
}

void qnDPropertyPageBase::evaluateAll() {
  if (manager_.count() != 0)
    manager_.updateComponentStates(0, static_cast<int>(manager_.count()) - 1);
}

void qnDPropertyPageBase::onInitDialog() {
  // The banner across the top and the picture down the left side.
  auto& header = addControl(kHeaderId, ui::ControlKind::Header, {0, 0, width(), 70},
                            headerTitle_);
  header.image = "129";
  auto& side = addControl(kSideBannerId, ui::ControlKind::ImageStatic, {0, 70, 165, height()});
  side.image = "134";
  initPageControls();
}

bool qnDPropertyPageBase::onSetActive() {
  evaluateAll();
  updateData();
  refreshControls();
  // The property page repeats its data exchange on every activation after the first.
  if (activatedBefore_) updateData();
  activatedBefore_ = true;
  return true;
}

long qnDPropertyPageBase::onWizardNext() {
  auto* sheet = installerSheet();
  return sheet && sheet->goToNextPage() != -1 ? -1 : 0;
}

long qnDPropertyPageBase::onWizardBack() {
  auto* sheet = installerSheet();
  return sheet && sheet->goToPreviousPage() != -1 ? -1 : 0;
}

void qnDPropertyPageBase::onTimer(int id) {
  if (id != kProgressTimer) return;
  killTimer(kProgressTimer);
  updateData();
  refreshControls();
  setTimer(kProgressTimer, 2000);
}

void qnDPropertyPageBase::onCommand(int id) {
  if (id == kDownloadInstallablesId) {
    bool skipAllErrors = false;  // each press starts with "Ignore All" cleared
    runDownloadAllComponents(&skipAllErrors);
  }
}

int qnDPropertyPageBase::guarded(const std::function<int()>& operation) {
  setTimer(kProgressTimer, 2000);
  int result = 0;
  try {
    result = operation();
  } catch (...) {
    ui::messageBox(this, "Unexpected Error 101", ui::applicationTitle(), win::MB_OK);
    result = 0;
  }
  killTimer(kProgressTimer);
  evaluateAll();
  updateData();
  refreshControls();
  return result;
}

int qnDPropertyPageBase::runInstallComponents(int first, int last, bool checkWholeList) {
  return guarded([&] { return manager_.installComponents(first, last, checkWholeList); });
}

int qnDPropertyPageBase::runInstallSelectedComponents(const int* indices, int n) {
  return guarded([&] { return manager_.installSelectedComponents(indices, n); });
}

int qnDPropertyPageBase::runUninstallComponents(int first, int last) {
  return guarded([&] { return manager_.uninstallComponents(first, last); });
}

int qnDPropertyPageBase::runDownloadAllComponents(bool* skipAllErrors) {
  return guarded([&] { return manager_.downloadAllComponents(true, skipAllErrors); });
}

int qnDPropertyPageBase::runDownloadSelectedComponents(const int* indices, int n,
                                                       bool* skipAllErrors) {
  return guarded(
      [&] { return manager_.downloadSelectedComponents(indices, n, false, skipAllErrors); });
}

void qnDPropertyPageBase::showRepairWarning() {
  static const std::pair<const char*, const char*> kWarnings[] = {
      {"Version Mismatch",
       "Warning: Incorrect version is currently installed for one or more components.\n"
       "Please click on the 'Install' button to install the required version."},
      {"Reinstall Needed",
       "Warning: All the dependencies are not installed for one or more components.\n"
       "Please click on the 'Install' button to install the required dependencies."},
      {"Multiple Versions",
       "Warning: Multiple versions are currently installed for one or more components.\n"
       "Please click on the 'Install' button to repair the installation."},
      {"Incomplete Module",
       "Warning: Installation for one or more components is incomplete.\n"
       "Please click on the 'Install' button to repair the installation."},
  };
  for (unsigned i = 0; i < manager_.count(); ++i) {
    const ComponentEntry* e = manager_.entry(i);
    if (!e) continue;
    for (const auto& [state, message] : kWarnings) {
      if (e->state() == state) {
        ui::messageBox(this, message, kInstallerCaption, win::MB_OK);
        return;
      }
    }
  }
}
