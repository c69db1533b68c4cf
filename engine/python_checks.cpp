// Python 2.7, its extension modules, the OpenCV builds and the runtime's module packages.
#include <atomic>
#include <cctype>
#include <thread>

#include "engine/check_installations.h"
#include "engine/check_support.h"
#include "engine/lookups.h"
#include "engine/platform_needs.h"
#include "engine/uninstall_commands.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/operation_log.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/win_types.h"

namespace files = platform::files;
namespace reg = platform::registry;
using namespace check_support;

namespace {

bool isPython27Name(const std::string& name) { return name.rfind("Python 2.7", 0) == 0; }

// The product codes of every installed product whose name begins with "Python 2.7". The
// enumeration ends at the first answer other than success, so a failing installer
// database cannot keep it going.
std::vector<std::string> python27Products() {
  // Within one evaluation the presence and the state test both ask: the walk over every
  // product is made once and remembered as one answer.
  if (auto kept = lookups::recall("python27Products")) {
    std::vector<std::string> codes;
    for (size_t at = 0, end; (end = kept->find(';', at)) != std::string::npos; at = end + 1)
      codes.push_back(kept->substr(at, end - at));
    return codes;
  }
  std::vector<std::string> codes;
  for (unsigned index = 0;; ++index) {
    std::string code;
    unsigned r = lookups::enumProducts(index, code, false);
    if (r != win::ERROR_SUCCESS) {
      if (r != win::ERROR_NO_MORE_ITEMS)
        platform::debugOutput("mxCheckInstallations::countPython27Products - enumeration "
                              "failed with " + std::to_string(r) + "\n");
      break;
    }
    for (auto context : kInstallContexts) {
      std::string name;
      if (lookups::productInfoEx(code, context, "InstalledProductName", name, 1024, false) ==
          win::ERROR_SUCCESS) {
        if (isPython27Name(name)) codes.push_back(code);
        break;
      }
    }
  }
  std::string joined;
  for (const std::string& c : codes) joined += c + ";";
  lookups::remember("python27Products", joined);
  return codes;
}

// Answers the dialogs of a module uninstaller: Yes to "Please confirm", then closes
// "Uninstall Finished!". Gives up when its polls run out or the uninstaller has ended
// (no window of it can come any more).
void confirmModuleDialogs(const std::atomic<bool>* ended, const platform::CancelToken* token) {
  const platform::CancelToken& cancel = *token;
  const WatchTimings t = watchTimings();
  auto poll = [&](const char* title, int pollMs, int polls) -> platform_needs::WindowHandle {
    for (int i = 0; i < polls; ++i) {
      if (auto w = platform_needs::findWindow(title)) return w;
      if (ended->load() || !cancel.sleepFor(pollMs)) return 0;
    }
    return 0;
  };
  constexpr int IDYES = 6;
  if (auto w = poll("Please confirm", t.confirmPollMs, t.confirmPolls))
    platform_needs::sendCommand(w, IDYES);
  if (auto w = poll("Uninstall Finished!", t.finishedPollMs, t.finishedPolls))
    platform_needs::closeWindow(w);
}

// Runs a module uninstaller with its confirmation watcher beside it and waits for it.
bool runWithConfirmationWatcher(const UninstallCommand& command) {
  std::atomic<bool> ended{false};
  // The watcher runs on its own thread: it gets the removal's token itself.
  const platform::CancelToken& cancel = removalToken();
  std::thread watcher(confirmModuleDialogs, &ended, &cancel);
  bool started = platform::process::startAndWait(command.program, command.commandLine, nullptr,
                                                 cancel.flag());
  ended = true;
  // The watcher stops within one poll once the uninstaller is gone.
  watcher.join();
  return started;
}

std::string runtimePath(const std::string& rt, const std::string& rest) { return rt + rest; }

const char* const kOpenCv249Modules[] = {
    "calib3d", "contrib", "core", "features2d", "ffmpeg", "flann", "gpu",
    "highgui", "imgproc", "legacy", "ml", "nonfree", "objdetect", "ocl",
    "photo", "stitching", "superres", "video", "videostab"};

std::vector<std::string> openCvLibraries(mxCheckInstallations::OpenCvBuild build) {
  std::vector<std::string> libs;
  if (build == mxCheckInstallations::OpenCvBuild::V249) {
    for (const char* m : kOpenCv249Modules) libs.push_back(std::string("opencv_") + m + "249.dll");
  } else {
    libs = {"opencv_ffmpeg300.dll", "opencv_world300.dll"};
  }
  return libs;
}

std::vector<std::string> ippFiles() {
  std::vector<std::string> names;
  for (const char* domain : {"ac", "cc", "ch", "cv", "dc", "di", "i", "j", "m", "r", "s", "sc",
                             "vc", "vm"})
    for (const char* variant : {"", "g9", "p8", "s8", "v8", "w7"})
      names.push_back(std::string("ipp") + domain + variant + "-7.0.dll");
  names.push_back("ippcore-7.0.dll");
  names.push_back("1033\\ippmsg.dll");
  names.push_back("1041\\ippmsg.dll");
  return names;
}

const char* const kVantorFiles[] = {"vantorapi.py", "pyvantor24.pyd", "pyvantor25.pyd",
                                    "pyvantor26.pyd"};

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

int mxCheckInstallations::countPython27Products() {
  return static_cast<int>(python27Products().size());
}

bool mxCheckInstallations::removePython27Products() {
  // The codes are gathered first: removing a product while enumerating would move the
  // next one to the index just passed, and it would be left behind.
  for (const std::string& code : python27Products()) {
    if (removalToken().cancelled()) return false;
    runMsiexecUninstall(code);
  }
  return true;
}

bool mxCheckInstallations::runMsiexecUninstall(const std::string& productCode) {
  std::string program = systemFolderForward() + "\\msiexec.exe";
  std::string commandLine = "\"" + program + "\" /x " + productCode + " /passive";
  const platform::CancelToken& cancel = removalToken();
  if (!platform::process::startAndWait(program, commandLine, nullptr, cancel.flag())) {
    if (cancel.cancelled()) return false;
    platform::debugOutput("mxCheckInstallations::runMsiexecUninstall - Unable to start " +
                          program + "\n");
    return false;
  }
  return true;  // the exit status is not examined; the presence test decides
}

bool mxCheckInstallations::isModuleInstalled(const std::string& keyName) {
  return isUninstallKeyPresent(keyName);
}

bool mxCheckInstallations::isModuleVersion(const std::string& keyName,
                                           const std::string& expected) {
  return isUninstallValueEqual(keyName, "DisplayName", expected);
}

bool mxCheckInstallations::runModuleUninstaller(const std::string& keyName) {
  auto value = readUninstallValue(keyName, "UninstallString");
  if (!value) return false;
  auto command = splitModuleCommand(*value);
  if (!command) {
    platform::debugOutput("mxCheckInstallations::runModuleUninstaller - Unable to parse '" +
                          *value + "'\n");
    return false;
  }
  return runWithConfirmationWatcher(*command);
}

bool mxCheckInstallations::uninstallPyParsing() {
  std::string rt;
  if (!getRuntimeFolder(rt)) {
    showNotice("Error: Unable to query Corvanta Runtime installation path.\nPython module can "
               "not be un-installed.");
    return false;
  }
  std::string library = rt + "msvcr71.dll";
  auto value = readUninstallValue("pyparsing-py2.7", "UninstallString");
  if (!value) return false;
  auto command = splitModuleCommand(*value);
  if (!command) return false;
  // The uninstaller needs the runtime's C library beside it.
  std::string copy;
  size_t sep = command->program.find_last_of("\\/");
  if (sep == std::string::npos || sep + 1 >= static_cast<size_t>(win::MAX_PATH)) {
    platform::debugOutput("mxCheckInstallations::uninstallPyParsing - Unable to parse file path\n");
  } else {
    std::string target = command->program.substr(0, sep + 1) + "msvcr71.dll";
    if (!fileExists(target) && files::copyFile(library, target, true)) copy = target;
  }
  runWithConfirmationWatcher(*command);
  // Only the copy made here goes; one that was already there stays.
  if (!copy.empty()) deleteWithArchive(copy);
  return true;
}

bool mxCheckInstallations::configurePyWin32() {
  const std::string installKey = "Software\\Python\\PythonCore\\2.7\\InstallPath";
  std::string python;
  for (reg::Hive hive : kUninstallRoots) {
    if (auto v = lookups::readString(hive, installKey, "", 260); v && !v->empty()) {
      python = *v;
      break;
    }
  }
  if (python.empty()) {
    showNotice("Warning: Unable to retrieve the Python installation path.\nContinuing with the "
               "remaining installations.");
    return false;
  }
  const std::string base = "SOFTWARE\\Python\\PythonCore\\2.7\\PythonPath";
  const std::pair<std::string, std::string> keys[] = {
      {base, python + "Lib;" + python + "DLLs;" + python + "Lib\\lib-tk"},
      {base + "\\Pythonwin", python + "lib\\site-packages\\Pythonwin"},
      {base + "\\win32",
       python + "lib\\site-packages\\win32;" + python + "lib\\site-packages\\win32\\lib"},
      {base + "\\win32com", python + "lib\\site-packages"},
  };
  for (const auto& [key, value] : keys) {
    if (reg::createKey(reg::Hive::LocalMachine, key) != win::ERROR_SUCCESS) continue;
    reg::setValue(reg::Hive::LocalMachine, key, "", reg::Value::string(value));
  }
  return true;
}

const char* mxCheckInstallations::openCvFolderName(OpenCvBuild build) {
  return build == OpenCvBuild::V249 ? "OpenCV249Py27" : "OpenCV300";
}

bool mxCheckInstallations::isOpenCvPresent(OpenCvBuild build) {
  std::string rt;
  return getRuntimeFolder(rt) && lookups::exists(rt + openCvFolderName(build));
}

bool mxCheckInstallations::isOpenCvComplete(OpenCvBuild build) {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  std::string folder = rt + openCvFolderName(build);
  if (!lookups::exists(folder)) return false;
  if (!isSameFile(folder + "\\Python\\cv2.pyd", rt + "Python\\cv2.pyd")) return false;
  for (const std::string& lib : openCvLibraries(build))
    if (!lookups::exists(folder + "\\" + lib)) return false;
  return true;
}

bool mxCheckInstallations::removeOpenCv(OpenCvBuild build) {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  std::string folder = rt + openCvFolderName(build);
  bool deleted = deleteFolderRecursive(folder, folder);
  // The runtime's own module from before the build goes back in place.
  std::string older = rt + "Python\\OpenCV2_4_3OrOlder\\cv2.pyd";
  if (!fileExists(older)) return false;
  return replaceFile(older, rt + "Python\\cv2.pyd") && deleted;
}

bool mxCheckInstallations::appendToSystemPath(const std::string& folder) {
  const std::string key = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
  // The value may be longer than the 4096 bytes once reserved for it: it is read whole
  // (up to the system's limit for an environment value) rather than cut or overflowed.
  constexpr size_t kLimit = 32767;
  reg::Value path;
  if (!reg::keyExists(reg::Hive::LocalMachine, key) ||
      reg::queryValue(reg::Hive::LocalMachine, key, "Path", path, kLimit) != win::ERROR_SUCCESS)
    return false;
  std::string value = path.data;
  if (auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  if (lower(value).find(lower(folder)) != std::string::npos) return true;
  value += ";" + folder;
  if (value.size() + 1 > kLimit) {
    platform::debugOutput("mxCheckInstallations::appendToSystemPath - Path value too long\n");
    return false;
  }
  if (reg::setValue(reg::Hive::LocalMachine, key, "Path",
                    reg::Value::string(value, reg::REG_EXPAND_SZ)) != win::ERROR_SUCCESS)
    return false;
  platform::logOperation("Added " + folder + " to the machine Path");
  platform_needs::broadcastSettingChange("Environment");
  return true;
}

bool mxCheckInstallations::isIppPresent() {
  std::string rt;
  return getRuntimeFolder(rt) && lookups::exists(rt + "IPP924");
}

bool mxCheckInstallations::isIppComplete() {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  for (const std::string& name : ippFiles())
    if (!lookups::exists(rt + "IPP924\\" + name)) return false;
  return true;
}

bool mxCheckInstallations::removeIpp() {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  std::string folder = rt + "IPP924";
  return deleteFolderRecursive(folder, folder);
}

bool mxCheckInstallations::isVantorApiPresent() {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  for (const char* name : kVantorFiles)
    if (!lookups::exists(runtimePath(rt, std::string("Python\\") + name))) return false;
  return true;
}

bool mxCheckInstallations::removeVantorApi() {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  for (const char* name : kVantorFiles) {
    std::string path = rt + "Python\\" + name;
    if (fileExists(path) && !deleteWithArchive(path)) return false;
  }
  return true;
}

bool mxCheckInstallations::isSmCameraPresent() {
  std::string rt;
  return getRuntimeFolder(rt) && lookups::exists(rt + "SMCameraClient.dll");
}

bool mxCheckInstallations::removeSmCamera() {
  std::string rt;
  if (!getRuntimeFolder(rt)) return false;
  std::string path = rt + "SMCameraClient.dll";
  return !fileExists(path) || deleteWithArchive(path);
}
