#include "updates/new_version_dialog.h"

#include "app/installer_app.h"
#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "engine/install_manager.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/portable.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "updates/sha256.h"
#include "updates/upgrade_info_check.h"

DNewVersionAvailable::DNewVersionAvailable(const std::string& releaseNotesPath,
                                           const std::string& currentVersion,
                                           const std::string& newVersion)
    : ui::Window(kTemplateId, "Installer Version Available", 520, 400),
      notesPath_(releaseNotesPath), current_(currentVersion), latest_(newVersion) {}

void DNewVersionAvailable::onInitDialog() {
  using ui::ControlKind;
  addControl(kText, ControlKind::Static, {15, 12, 505, 30},
             "A newer version of the installer application is available.");
  addControl(kCurrentLabel, ControlKind::Static, {15, 40, 110, 58}, "Current version:");
  addControl(kCurrent, ControlKind::Static, {115, 40, 505, 58}, current_);
  addControl(kNewLabel, ControlKind::Static, {15, 62, 110, 80}, "New version:");
  addControl(kNew, ControlKind::Static, {115, 62, 505, 80}, latest_);
  addControl(kNotesLabel, ControlKind::Static, {15, 92, 505, 110}, "New version information:");
  std::string notes;
  // Without its release notes there is nothing to decide on: the dialog goes at once.
  if (!fileExists(notesPath_) || !platform::files::readFile(notesPath_, notes)) {
    endDialog(win::IDCANCEL);
    return;
  }
  addControl(kNotes, ControlKind::RichText, {15, 112, 505, 340}, notes);
  addControl(win::IDOK, ControlKind::Button, {320, 355, 405, 380}, "Download");
  addControl(win::IDCANCEL, ControlKind::Button, {420, 355, 505, 380}, "Ignore");
}

int showNewVersionDialog(UpgradeInfo& info) {
  if (info.state != 2) {
    ui::messageBox(nullptr, "Unable to download new version. Please try again",
                   kInstallerCaption, win::MB_OK);
    return -1;
  }
  DNewVersionAvailable dialog(info.releaseNotesPath, info.currentVersionName,
                              info.latestVersionName);
  if (dialog.doModal() != win::IDOK) return -1;
  return downloadNewInstaller(info) ? 1 : -1;
}

bool downloadNewInstaller(UpgradeInfo& info) {
  const std::string ini = info.tempFolder + "\\" + info.fileName;
  if (info.tempFolder.empty() || !fileExists(ini)) return false;
  const std::string file = readUpgradeValue(ini, "InstallerFileName");
  const std::string path = readUpgradeValue(ini, "InstallerFilePath");
  const std::string checksum = readUpgradeValue(ini, "InstallerSHA256");
  // The file is started with administrator rights: the same rules as the check.
  if (!isPlainFileName(file) || !isWebAddress(path) ||
      (!checksum.empty() && !isSha256Text(checksum)))
    return false;
  const std::string number = readUpgradeValue(ini, "LatestVersionNumber");

  std::string folder;
  if (appContext().isFolderWritable) {
    folder = appContext().applicationFolder + "\\_CorvantaInstallers";
    platform::files::createDirectory(folder);
  } else {
    folder = ui::backend().browseForFolder(nullptr, "Select Download Directory");
  }
  if (folder.empty()) return false;

  std::string name, state, progress;
  ComponentEntry entry("New Version Installer", (path + file).c_str(), file.c_str(), "",
                       folder.c_str(), false, false, &name, &state, &progress,
                       "Installer Application");
  const std::string target = folder + "\\" + file;
  // An older download of the same name is no proof of this one.
  deleteFileIfPresent(target);
  if (fileExists(target)) return false;
  {
    mxInstallManagerBase manager;
    ComponentEntry* entries[] = {&entry};
    manager.setComponents(1, entries);
    bool skipAll = false;
    if (manager.downloadAllComponents(false, &skipAll) < 1 || !fileExists(target)) return false;
  }
  if (!checksum.empty()) {
    auto digest = sha256OfFile(target);
    if (!digest || !platform::equalsNoCase(*digest, checksum)) {
      deleteFileIfPresent(target);
      ui::messageBox(nullptr,
                     "Error: The downloaded installer does not match its published checksum "
                     "and was deleted. Please try again later.",
                     kInstallerCaption, win::MB_OK);
      return false;
    }
  }
  ui::messageBox(nullptr,
                 "Successfully downloaded the installer version " + number + ".\n" + folder +
                     "\\" + file,
                 kInstallerCaption, win::MB_OK);
  if (auto* app = CCorvantaPrismalSDKInstallerApp::instance()) {
    app->newInstallerPath = target;
    app->newInstallerFileName = file;
  }
  if (appContext().mainWindow)
    appContext().mainWindow->sendMessage(qnDPrismalSDKInstallerSheet::WM_START_NEW_INSTALLER, 0,
                                         0);
  return true;
}
