#include "app/installer_app.h"

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/operation_log.h"
#include "platform/portable.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

namespace files = platform::files;

namespace {

CCorvantaPrismalSDKInstallerApp* theApp = nullptr;

const char* const kInstallerFileName = "CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe";

}  // namespace

std::string folderOfModulePath(const std::string& modulePath) {
  auto cut = modulePath.find_last_of("/\\");
  return cut == std::string::npos ? modulePath : modulePath.substr(0, cut);
}

bool probeFolderWritable(const std::string& folder) {
  std::string probe = folder + "\\testFile.txt";
  if (fileExists(probe)) {
    files::setAttributes(probe, win::FILE_ATTRIBUTE_ARCHIVE);
    files::deleteFile(probe);
  }
  bool writable = false;
  if (auto file = files::OutputFile::create(probe)) {
    writable = true;
    file->close();
  }
  if (fileExists(probe)) {
    files::setAttributes(probe, win::FILE_ATTRIBUTE_ARCHIVE);
    files::deleteFile(probe);
  }
  return writable;
}

bool cleanUpTempSubFolder() {
  std::string temp;
  if (!platform::shell::getTempPath(temp)) {
    platform::debugOutput("cleanUpTempSubFolder - unable to get temp directory\n");
    return false;
  }
  std::string folder = temp + "Corvanta10_9267";
  platform::debugOutput(folder);
  platform::debugOutput("\n");
  if (fileExists(folder)) {
    for (const auto& entry : files::find(folder + "\\*.*")) {
      if (entry.name == "." || entry.name == ".." ||
          (entry.attributes & win::FILE_ATTRIBUTE_DIRECTORY))
        continue;
      std::string path = folder + "/" + entry.name;
      files::setAttributes(path, win::FILE_ATTRIBUTE_ARCHIVE);
      files::deleteFile(path);
    }
  } else {
    files::createDirectory(folder);
  }
  if (fileExists(folder)) return true;
  platform::debugOutput("cleanUpTempSubFolder - unable to create temp sub-folder\n");
  return false;
}

int countRunningInstallers() {
  int count = 0;
  for (const auto& process : platform::process::list())
    if (platform::equalsNoCase(process.baseName, kInstallerFileName)) ++count;
  return count;
}

std::string repositoryBaseUrl() {
  return downloadServerBaseUrl() +
         "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
}

CCorvantaPrismalSDKInstallerApp::CCorvantaPrismalSDKInstallerApp(
    const std::string& modulePath, qnDPrismalSDKInstallerSheet::PageFactory makePages)
    : makePages_(std::move(makePages)) {
  theApp = this;
  if (modulePath.empty()) {
    ui::messageBox(nullptr,
                   "Unexpected Error. Unable to get the application path.\nSome of the "
                   "features may not be available.",
                   kInstallerCaption, win::MB_OK);
  } else {
    applicationFolder = folderOfModulePath(modulePath);
  }
  applicationName = modulePath.substr(modulePath.find_last_of("\\/") + 1);
  applicationName = applicationName.substr(0, applicationName.rfind('.'));
  isFolderWritable = probeFolderWritable(applicationFolder);
  // What the installer does to this station is kept beside it, where it can be found.
  if (isFolderWritable && !applicationFolder.empty() &&
      platform::openOperationLog(applicationFolder))
    platform::logOperation("Installer started from " + modulePath);
  cleanUpTempSubFolder();
  regularUpgradeInfo = std::make_shared<UpgradeInfo>(
      repositoryBaseUrl() + "614UpgradeInfo.ini.txt", "614UpgradeInfo.ini.txt");
  betaUpgradeInfo = std::make_shared<UpgradeInfo>(
      repositoryBaseUrl() + "614UpgradeInfoBeta.ini.txt", "614UpgradeInfoBeta.ini.txt");
  appContext().applicationFolder = applicationFolder;
  appContext().isFolderWritable = isFolderWritable;
}

CCorvantaPrismalSDKInstallerApp::~CCorvantaPrismalSDKInstallerApp() {
  if (theApp == this) theApp = nullptr;
  platform::closeOperationLog();
}

CCorvantaPrismalSDKInstallerApp* CCorvantaPrismalSDKInstallerApp::instance() { return theApp; }

bool CCorvantaPrismalSDKInstallerApp::InitInstance() {
  // The class library keeps its per-user settings under this key.
  platform::registry::createKey(platform::registry::Hive::CurrentUser,
                                "Software\\Local AppWizard-Generated Applications\\" +
                                    applicationName);
  if (countRunningInstallers() >= 2) {
    ui::messageBox(nullptr,
                   "Error: Another instance of the installer is already running. Unable to "
                   "load the second instance.\n\nPlease close all other instances of the "
                   "installer application and try again.\n\n",
                   kInstallerCaption, win::MB_OK);
    return false;
  }
  {
    qnDPrismalSDKInstallerSheet sheet(makePages_);
    appContext().mainWindow = &sheet;
    sheet.doModal();
    appContext().mainWindow = nullptr;
  }
  return false;
}

int CCorvantaPrismalSDKInstallerApp::ExitInstance() {
  regularUpgradeInfo.reset();
  betaUpgradeInfo.reset();
  return 0;
}
