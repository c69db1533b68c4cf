// The per-entry end of the install manager's batches: install one component through the
// download dialog and its post-install action, remove one through the uninstall runner.
#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <functional>

#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "engine/check_support.h"
#include "engine/install_manager.h"
#include "engine/platform_needs.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/portable.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "runners/please_wait.h"
#include "runners/uninstall_component.h"
#include "runners/unzipper.h"

namespace files = platform::files;
namespace reg = platform::registry;
using C = mxCheckInstallations;
using check_support::replaceFile;

namespace {

void showError(const std::string& text) {
  ui::messageBox(appContext().mainWindow, text, kInstallerCaption, win::MB_OK);
}


const char* const kCueKeeperVersion = "Cue Keeper 1.0.0.1(3587)";

// The modeless please-wait notice, closed when the step ends whichever way.
class PleaseWait {
 public:
  PleaseWait() {
    dialog_.createModeless(appContext().mainWindow);
    ui::Window::pumpMessages();
  }
  ~PleaseWait() { close(); }
  void close() {
    if (dialog_.isOpen()) dialog_.destroyWindow();
  }

 private:
  DPleaseWaitDlg dialog_;
};

// ---- packages unpacked into the runtime folder ----

struct RuntimePackage {
  ComponentId component;
  const char* package;
  const char* target;  // below the runtime folder; "" is the runtime folder itself
  bool waitNotice;
  bool appendToPath;   // the target joins the machine's Path
  bool replacesModule; // the build's Python\cv2.pyd becomes the runtime's
  const char* extractError;
};

constexpr RuntimePackage kRuntimePackages[] = {
    {ComponentId::OpenCv249, "opencv-249_py27_bin.zip", "OpenCV249Py27", true, true, true,
     "Error: Unable to extract the OpenCV 2.4.9 files. Please try again."},
    {ComponentId::OpenCv300, "opencv-300_bin.zip", "OpenCV300", true, true, true,
     "Error: Unable to extract the OpenCV 3.0.0 files. Please try again."},
    {ComponentId::Ipp, "Corvanta_9.3.0.524_IPP.zip", "IPP924", true, true, false,
     "Error: Unable to extract the IPP module files. Please try again."},
    {ComponentId::VantorApi, "vantorapi-1.0.0.3.zip", "Python", false, false, false,
     "Error: Unable to extract the Vantor API module files. Please try again."},
    {ComponentId::SmCamera, "SMCameraClient-1.0.0.5.zip", "", false, false, false,
     "Error: Unable to extract the Shared Memory Camera Driver files. Please try again."},
};

bool installRuntimePackage(const RuntimePackage& p, const ComponentEntry& e) {
  // A missing package fails without a message: the entry then shows "Failed".
  std::string package = e.downloadFolder + "\\" + p.package;
  if (!fileExists(package)) return false;
  std::string rt;
  if (!C::getRuntimeFolder(rt)) return false;
  std::string target = rt + p.target;
  if (*p.target && !fileExists(target)) files::createDirectory(target);
  std::unique_ptr<PleaseWait> wait;
  if (p.waitNotice) wait = std::make_unique<PleaseWait>();
  if (!CUnzipper::unzip(package, target.empty() ? rt : target)) {
    wait.reset();
    showError(p.extractError);
    return false;
  }
  wait.reset();
  bool result = true;
  if (p.appendToPath) result = C::appendToSystemPath(target);
  if (p.replacesModule) {
    std::string module = target + "\\Python\\cv2.pyd";
    if (!fileExists(module)) return false;
    return replaceFile(module, rt + "Python\\cv2.pyd") && result;
  }
  return result;
}

// ---- packages unpacked into a scratch folder and run from there ----

// "<application folder>\<parent>\YYYYMMDDhhmmss", emptied and created anew.
std::string makeScratchFolder(const char* parent) {
  std::time_t now = std::time(nullptr);
  std::tm local = platform::localTime(now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%.4d%.2d%.2d%.2d%.2d%.2d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  std::string folder = appContext().applicationFolder + "\\" + parent + "\\" + stamp;
  if (fileExists(folder)) deleteFolderRecursive(folder, folder);
  CUnzipper::createFolderTree(folder);
  return folder;
}

bool installOpcScout(const ComponentEntry& e) {
  std::string package = e.downloadFolder + "\\SIMATIC_NET_OPC_Client_V6.2_3133.zip";
  if (!fileExists(package)) return false;
  std::string scratch = makeScratchFolder("_CorvantaInstallData\\Utilities");
  PleaseWait wait;
  auto fail = [&](const char* message) {
    deleteFolderRecursive(scratch, scratch);
    wait.close();
    showError(message);
    return false;
  };
  if (!CUnzipper::unzip(package, scratch))
    return fail("Error: Unable to extract the OPC Scout files. Please try again.");
  std::string disk1 = scratch + "\\disk1";
  std::string setup = disk1 + "\\setup.exe";
  if (!fileExists(setup))
    return fail("Error: Unable to locate OPC Scout setup file. Please try again.");
  // The setup hands over to its clean-up program; the notice below waits for that one.
  if (!platform::process::start(setup, "\"" + setup + "\" \\silent"))
    platform::debugOutput("mxInstallManagerBase::runPostInstallActions - Unable to start " +
                          setup + "\n");
  wait.close();
  {
    DOpcScoutInstallPleaseWait notice(disk1 + "\\_isdel.exe", appContext().mainWindow);
    notice.setWatchLimits(watchTimings().opcScoutAppearPolls, watchTimings().opcScoutRunningPolls);
    notice.doModal();
  }
  deleteFolderRecursive(scratch, scratch);
  return true;
}

bool installImagingSourceDriver(const ComponentEntry& e) {
  std::string package = e.downloadFolder + "\\usbcam_2.6.5_tis_02.zip";
  if (!fileExists(package)) return false;
  std::string scratch = makeScratchFolder("_CorvantaInstallData\\Installations3rdParty");
  PleaseWait wait;
  const char* message =
      "Error: Unable to extract the Imaging Source Camera Driver files. Please try again.";
  std::string installer = scratch + "\\drvInstaller.exe";
  if (!CUnzipper::unzip(package, scratch) || !fileExists(installer)) {
    deleteFolderRecursive(scratch, scratch);
    wait.close();
    showError(message);
    return false;
  }
  platform::process::startAndWait(installer, "\"" + installer + "\"");
  wait.close();
  deleteFolderRecursive(scratch, scratch);
  return true;
}

// ---- the controller product: unpacked into program files, with its version file and
// shortcuts ----

bool installCueKeeper(const ComponentEntry& e) {
  std::string package = e.downloadFolder + "\\" + e.fileName;
  if (!fileExists(package)) {
    showError("Error: Unable to locate the downloaded file. Please try again.");
    return false;
  }
  std::string programFiles;
  if (!C::getProgramFilesFolder(programFiles)) {
    showError("Error: Unable to locate the target directory. Please try again.");
    return false;
  }
  std::string maker = programFiles + "\\Brenholm AS";
  std::string folder = maker + "\\Cue Keeper";
  if (!fileExists(maker)) files::createDirectory(maker);
  if (!fileExists(folder)) files::createDirectory(folder);
  if (!CUnzipper::unzip(package, folder)) {
    showError("Error: Unable to extract the Cue Keeper files. Please try again.");
    return false;
  }
  std::string versionFile = folder + "\\version.txt";
  deleteFileIfPresent(versionFile);
  auto out = files::OutputFile::create(versionFile);
  if (!out) {
    showError("Error: Unable to create the version info file. Please try again.");
    return false;
  }
  out->write(kCueKeeperVersion, std::char_traits<char>::length(kCueKeeperVersion));
  out->close();

  std::string target = folder + "\\gui\\CueKeeper.gui.exe";
  std::string working = folder + "\\gui";
  std::string desktop;
  if (mxInstallManagerBase::getCommonDesktopFolder(desktop))
    mxInstallManagerBase::createControllerShortcut(desktop, target, working);
  std::string programs;
  if (mxInstallManagerBase::getCommonProgramsFolder(programs)) {
    std::string group = programs + "\\Brenholm Software Solutions";
    std::string menu = group + "\\Cue Keeper";
    if (!fileExists(group)) files::createDirectory(group);
    if (!fileExists(menu)) files::createDirectory(menu);
    mxInstallManagerBase::createControllerShortcut(menu, target, working);
  }
  return true;  // the shortcuts are a convenience; the product is in place
}

// ---- OpcRelay: its Python module joins the runtime's ----

bool installOpcRelayModule(const ComponentEntry&) {
  if (!C::isMsiProductInstalled("{58D6B910-EFAA-4131-A0FC-3F095362B947}")) return false;
  const char* warning =
      "Warning: Unable to copy 'opcrelayx.py' file to '[Corvanta Runtime]\\Python' directory.";
  std::string rt, relay;
  if (!C::getRuntimeFolder(rt) || !mxInstallManagerBase::getOpcRelayFolder(relay) ||
      !fileExists(rt + "Python") || !fileExists(relay + "Python\\opcrelayx.py")) {
    showError(warning);
    return true;
  }
  if (!replaceFile(relay + "Python\\opcrelayx.py", rt + "Python\\opcrelayx.py")) showError(warning);
  return true;
}

bool appendBuildToPath(C::OpenCvBuild build) {
  std::string rt;
  return C::getRuntimeFolder(rt) && C::appendToSystemPath(rt + C::openCvFolderName(build));
}

const RuntimePackage* runtimePackage(ComponentId id) {
  for (const RuntimePackage& p : kRuntimePackages)
    if (p.component == id) return &p;
  return nullptr;
}

}  // namespace

bool mxInstallManagerBase::isDownloadOnlyComponent(const std::string& name) {
  std::optional<ComponentId> id = findComponent(name);
  return id && componentRecord(*id).downloadOnly;
}

int mxInstallManagerBase::installComponent(const ComponentEntry& e, int position, int total) {
  if (isComponentInstalled(e)) {
    e.setProgress(ComponentProgress::Ok);
    return 1;
  }
  e.setProgress(ComponentProgress::Installing);
  {
    DDownloadAndInstallComponent dialog(position, total, &e, isDownloadOnlyComponent(e.name),
                                        false, true);
    dialog.doModal();  // its result is not used: the presence test below decides
  }
  if (!runPostInstallActions(e) || !isComponentInstalled(e)) {
    e.setProgress(ComponentProgress::Failed);
    return -1;
  }
  if (!executeCustomActions(e))
    showError("Warning: Unable to excute custom actions. Continuing with the further "
              "installations.");
  e.setProgress(ComponentProgress::Ok);
  e.setState(ComponentState::Installed);
  return 1;
}

int mxInstallManagerBase::uninstallComponent(const ComponentEntry& e, int position, int total) {
  if (!isComponentInstalled(e)) {
    e.setProgress(ComponentProgress::Ok);
    return 1;
  }
  e.setProgress(ComponentProgress::Uninstalling);
  {
    // The worker gets a copy without the page's strings: those belong to the UI thread.
    ComponentEntry entry = e;
    entry.nameText = entry.stateText = entry.progressText = nullptr;
    DUninstallComponent dialog(position, total,
                               {e.name, [entry](const platform::CancelToken& cancel) {
                                  return mxCheckInstallations::removeComponent(entry, cancel);
                                }});
    dialog.doModal();  // the worker reports a failed removal itself
  }
  if (isComponentInstalled(e)) {
    e.setProgress(ComponentProgress::UninstallError);
    return -1;
  }
  e.setProgress(ComponentProgress::Ok);
  e.setState(ComponentState::NotInstalled);
  return 1;
}

bool mxInstallManagerBase::runPostInstallActions(const ComponentEntry& e) {
  if (!e.id) return true;
  switch (componentRecord(*e.id).postInstall) {
    case PostInstall::None: return true;
    case PostInstall::RuntimePackage: {
      const RuntimePackage* p = runtimePackage(*e.id);
      return p && installRuntimePackage(*p, e);
    }
    case PostInstall::ControllerPackage: return installCueKeeper(e);
    case PostInstall::OpcScoutPackage: return installOpcScout(e);
    case PostInstall::CameraDriverPackage: return installImagingSourceDriver(e);
    case PostInstall::OpcRelayModule: return installOpcRelayModule(e);
  }
  return true;
}

bool mxInstallManagerBase::executeCustomActions(const ComponentEntry& e) {
  if (!e.id) return true;
  switch (componentRecord(*e.id).customAction) {
    case CustomAction::None: return true;
    case CustomAction::ConfigurePyWin32: return C::configurePyWin32();
    case CustomAction::OpenCv249OnPath: return appendBuildToPath(C::OpenCvBuild::V249);
    case CustomAction::OpenCv300OnPath: return appendBuildToPath(C::OpenCvBuild::V300);
    case CustomAction::ActivateAvtUniversal:
      return C::activateAvtLibrary("uniAVTGrab_Universal_2_2_0.dll");
    case CustomAction::ActivateAvtFire: return C::activateAvtLibrary("uniAVTGrab_Fire_2_11.dll");
  }
  return true;
}

bool mxInstallManagerBase::getOpcRelayFolder(std::string& folder) {
  std::string key = std::string(check_support::kMakerKey) + "Corvanta OpcRelay 1.9.0.26";
  if (!reg::keyExists(reg::Hive::LocalMachine, key)) return false;
  folder = reg::readString(reg::Hive::LocalMachine, key, "InstallPath", 260).value_or("");
  // The module path is appended to the folder; a folder written without its final
  // backslash must not run into the file name.
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return true;
}

bool mxInstallManagerBase::getCommonProgramsFolder(std::string& folder) {
  return platform::shell::getFolderPath(platform::shell::CSIDL_COMMON_PROGRAMS, folder);
}

bool mxInstallManagerBase::getCommonDesktopFolder(std::string& folder) {
  return platform::shell::getFolderPath(platform::shell::CSIDL_COMMON_DESKTOPDIRECTORY, folder);
}

bool mxInstallManagerBase::createControllerShortcut(const std::string& linkFolder,
                                                    const std::string& target,
                                                    const std::string& workingFolder) {
  return platform_needs::createShellLink(
      linkFolder + "\\" + kCueKeeperVersion + ".lnk", target, "", workingFolder);
}
