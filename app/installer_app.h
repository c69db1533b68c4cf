#pragma once
// The one process-wide application object: records and probes the folder of the
// executable, clears the temporary sub-folder, holds the upgrade information records,
// refuses to run beside a second copy and runs the wizard.
#include <memory>
#include <string>

#include "app/installer_sheet.h"
#include "updates/upgrade_info.h"

class CCorvantaPrismalSDKInstallerApp {
 public:
  // The start-up sequence. modulePath stands for GetModuleFileName(NULL); empty means the
  // path is unavailable.
  // makePages gives the wizard its pages.
  explicit CCorvantaPrismalSDKInstallerApp(
      const std::string& modulePath, qnDPrismalSDKInstallerSheet::PageFactory makePages = {});
  ~CCorvantaPrismalSDKInstallerApp();

  // Single-instance check, then the wizard; always false (the process then ends).
  bool InitInstance();
  int ExitInstance();

  static CCorvantaPrismalSDKInstallerApp* instance();

  std::string applicationFolder;
  // The class library's name for the application: the module's file name without extension.
  std::string applicationName;
  bool isFolderWritable = false;
  // Shared with the sheet's background check, which may still be reading one when the
  // application object goes first.
  std::shared_ptr<UpgradeInfo> regularUpgradeInfo;
  std::shared_ptr<UpgradeInfo> betaUpgradeInfo;
  std::string newInstallerPath;
  std::string newInstallerFileName;

 private:
  qnDPrismalSDKInstallerSheet::PageFactory makePages_;
};

// Folder of an executable path: cut at the last "/" or "\"; a path without one is kept.
std::string folderOfModulePath(const std::string& modulePath);
// The write probe: creates and removes "%s\testFile.txt" in folder.
bool probeFolderWritable(const std::string& folder);
bool cleanUpTempSubFolder();
// Processes whose module base name is the installer's own file name.
int countRunningInstallers();
// Base URL of the repository folder holding the content lists and upgrade information.
std::string repositoryBaseUrl();
