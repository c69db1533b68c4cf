// Microsoft prerequisites, Reader, TightVNC, the controller product and the AVT library.
#include <cstdlib>

#include "engine/check_installations.h"
#include "engine/check_support.h"
#include "engine/lookups.h"
#include "engine/platform_needs.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/win_types.h"

namespace files = platform::files;
namespace reg = platform::registry;
using namespace check_support;

namespace {

const char* const kCueKeeperVersion = "Cue Keeper 1.0.0.1(3587)";
const char* const kCueKeeperFiles[] = {
    "gui\\AxINTERNETMESSENGERLib.dll", "gui\\INTERNETMESSENGERLib.dll",
    "gui\\NLog.dll",                   "gui\\CueKeeper.client.dll",
    "gui\\CueKeeper.core.dll",         "gui\\CueKeeper.gui.exe",
    "gui\\CueKeeper.RemoteInterfaces.dll", "client\\NLog.dll",
    "client\\CueKeeper.client.dll",    "client\\CueKeeper.RemoteInterfaces.dll"};

std::string shortcutName() { return std::string(kCueKeeperVersion) + ".lnk"; }

// Deletes every file in folder that matches the controller's shortcut name.
void deleteShortcuts(const std::string& folder) {
  for (const auto& found : files::find(folder + "\\" + shortcutName()))
    deleteWithArchive(folder + "\\" + found.name);
}

std::string avtReference(const std::string& rt, const std::string& libraryName) {
  return rt + "_Ref\\AVT\\" + libraryName;
}

}  // namespace

bool mxCheckInstallations::isDotNet2Installed() {
  reg::Value install;
  return lookups::queryValue(reg::Hive::LocalMachine,
                             "SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727",
                             "Install", install, 4) == win::ERROR_SUCCESS &&
         install.asDword() == 1;
}

bool mxCheckInstallations::isWindowsInstaller31Installed() {
  std::string version;
  if (lookups::fileVersion(systemFolderForward() + "\\Msi.dll", version, 256) !=
      win::ERROR_SUCCESS)
    return false;
  std::string major = version.substr(0, version.find('.'));
  return std::strtol(major.c_str(), nullptr, 10) > 2;
}

bool mxCheckInstallations::isAdobeReaderInstalled() {
  if (lookups::keyExists(reg::Hive::LocalMachine, "SOFTWARE\\Adobe\\Acrobat Reader")) return true;
  // The 64-bit view is named explicitly, and only where there is one.
  return platform_needs::nativeProcessorArchitecture() ==
             platform_needs::PROCESSOR_ARCHITECTURE_AMD64 &&
         lookups::keyExists(reg::Hive::LocalMachine,
                            "SOFTWARE\\Wow6432Node\\Adobe\\Acrobat Reader");
}

bool mxCheckInstallations::isTightVncInstalled(const std::string& productCode) {
  return isUninstallKeyPresent("TightVNC") || isMsiProductInstalled(productCode);
}

bool mxCheckInstallations::isTightVncVersionDifferent(const std::string& productCode) {
  if (auto registered = readUninstallValue("TightVNC", "DisplayVersion"))
    return *registered != "2.6.4.0";
  std::string version;
  if (isMsiProductInstalled(productCode) &&
      lookups::productInfo(productCode, "VersionString", version, 512) == win::ERROR_SUCCESS)
    return !equalsNoCase(version, "2.6.4.0");
  return true;
}

bool mxCheckInstallations::removeTightVnc(const std::string& productCode) {
  std::string title;
  if (auto name = reg::readString(reg::Hive::LocalMachine, std::string(kUninstallKey) + "TightVNC",
                                  "DisplayName", 4096))
    title = *name + " Uninstall ";
  runWatchedUninstaller("TightVNC", title);
  // An installation from the Windows Installer package may be left after its uninstaller.
  if (isMsiProductInstalled(productCode)) return removeMsiProduct(productCode);
  return true;
}

bool mxCheckInstallations::getProgramFilesFolder(std::string& folder) {
  std::string value = platform::shell::environmentValue("ProgramFiles");
  if (value.empty()) value = platform::shell::environmentValue("ProgramFiles(x86)");
  if (value.empty()) return false;
  if (value.back() == '\\' || value.back() == '/') value.pop_back();
  folder = value;
  return true;
}

bool mxCheckInstallations::getCueKeeperFolder(std::string& folder) {
  std::string programFiles;
  if (!getProgramFilesFolder(programFiles)) return false;
  folder = programFiles + "\\Brenholm AS\\Cue Keeper";
  return true;
}

bool mxCheckInstallations::isCueKeeperInstalled() {
  std::string folder;
  if (!getCueKeeperFolder(folder) || !lookups::exists(folder)) return false;
  for (const char* name : kCueKeeperFiles)
    if (!lookups::exists(folder + "\\" + name)) return false;
  return true;
}

bool mxCheckInstallations::isCueKeeperVersionDifferent() {
  std::string folder;
  if (!getCueKeeperFolder(folder) || !lookups::exists(folder)) return false;
  std::string path = folder + "\\version.txt";
  std::string text;
  if (!lookups::exists(path) || !files::readFile(path, text)) return false;
  // The first line, as a text-mode read gives it.
  std::string line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line != kCueKeeperVersion;
}

bool mxCheckInstallations::removeCueKeeper() {
  std::string desktop;
  if (platform::shell::getFolderPath(platform::shell::CSIDL_COMMON_DESKTOPDIRECTORY, desktop))
    deleteShortcuts(desktop);
  std::string programs;
  if (platform::shell::getFolderPath(platform::shell::CSIDL_COMMON_PROGRAMS, programs)) {
    std::string menu = programs + "\\Brenholm Software Solutions\\Cue Keeper";
    if (fileExists(menu)) {
      deleteShortcuts(menu);
      deleteFolderRecursive(menu, menu);
      files::removeDirectory(menu);
    }
  }
  std::string folder;
  if (!getCueKeeperFolder(folder)) return false;
  deleteFolderRecursive(folder, folder);
  return true;
}

bool mxCheckInstallations::isAvtLibraryActive(const std::string& libraryName) {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  // isSameFile holds only when both files exist.
  return isSameFile(rt + "uniAVTGrab.dll", avtReference(rt, libraryName));
}

bool mxCheckInstallations::activateAvtLibrary(const std::string& libraryName) {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  std::string reference = avtReference(rt, libraryName);
  if (!fileExists(reference)) return false;
  return replaceFile(reference, rt + "uniAVTGrab.dll");
}
