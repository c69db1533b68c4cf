// The per-entry end of the install manager's batches: install one component through the
// download dialog and its post-install action, remove one through the uninstall runner.
#include <algorithm>
#include <array>
#include <strings.h>

#include "engine/app_context.h"
#include "engine/install_manager.h"
#include "platform/debug.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "runners/uninstall_component.h"

namespace {

bool sameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

constexpr std::array kDownloadOnly = {
    "OpenCV 2.4.9 (Python 27)",
    "OpenCV 3.0.0",
    "Corvanta 9.3.0.524 IPP",
    "Vantor API 1.0.0.3 Files",
    "Shared Memory Camera Driver",
    "Cue Keeper 1.0.0.1(3587)",
    "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)",
    "Imaging Source Camera Driver",
    "Corvanta Prismal SDK Version XI 11.0.0.614 Installer",
};

// Components whose installation is completed by an action of their own after the
// download; the actions that are not built yet fail so that the entry shows "Failed".
constexpr std::array kWithPostInstallAction = {
    "OpenCV 2.4.9 (Python 27)",
    "OpenCV 3.0.0",
    "Corvanta 9.3.0.524 IPP",
    "Vantor API 1.0.0.3 Files",
    "Shared Memory Camera Driver",
    "Cue Keeper 1.0.0.1(3587)",
    "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)",
    "Imaging Source Camera Driver",
    "Corvanta OpcRelay 1.9.0.26",
};

}  // namespace

bool mxInstallManagerBase::isDownloadOnlyComponent(const std::string& name) {
  return std::any_of(kDownloadOnly.begin(), kDownloadOnly.end(),
                     [&](const char* n) { return sameName(name, n); });
}

int mxInstallManagerBase::installComponent(const ComponentEntry& e, int position, int total) {
  if (isComponentInstalled(e)) {
    e.setProgress("Ok");
    return 1;
  }
  e.setProgress("Installing...");
  {
    DDownloadAndInstallComponent dialog(position, total, &e, isDownloadOnlyComponent(e.name),
                                        false, true);
    dialog.doModal();  // its result is not used: the presence test below decides
  }
  if (!runPostInstallActions(e) || !isComponentInstalled(e)) {
    e.setProgress("Failed");
    return -1;
  }
  if (!executeCustomActions(e))
    ui::messageBox(appContext().mainWindow,
                   "Warning: Unable to excute custom actions. Continuing with the further "
                   "installations.",
                   kInstallerCaption, win::MB_OK);
  e.setProgress("Ok");
  e.setState("Installed");
  return 1;
}

int mxInstallManagerBase::uninstallComponent(const ComponentEntry& e, int position, int total) {
  if (!isComponentInstalled(e)) {
    e.setProgress("Ok");
    return 1;
  }
  e.setProgress("Uninstalling...");
  {
    DUninstallComponent dialog(position, total, &e);
    dialog.doModal();  // the worker reports a failed removal itself
  }
  if (isComponentInstalled(e)) {
    e.setProgress("Uninstall Error");
    return -1;
  }
  e.setProgress("Ok");
  e.setState("Not Installed");
  return 1;
}

bool mxInstallManagerBase::runPostInstallActions(const ComponentEntry& e) {
  bool hasAction = std::any_of(kWithPostInstallAction.begin(), kWithPostInstallAction.end(),
                               [&](const char* n) { return sameName(e.name, n); });
  if (!hasAction) return true;
  platform::debugOutput("mxInstallManagerBase::runPostInstallActions - no action for " +
                        e.name + "\n");
  return false;
}

bool mxInstallManagerBase::executeCustomActions(const ComponentEntry& e) { return true; }
