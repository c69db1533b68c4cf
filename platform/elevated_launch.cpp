// Programs started for the user leave the wizard's administrator rights behind: from Vista
// on the desktop shell starts them, so they get the shell's rights.
#include "platform/elevated_launch.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/shell_link.h"
#include "platform/sysinfo.h"
#include "platform/win_types.h"

namespace {

std::string shortcutNameNow() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  int millisecond = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  static std::mutex timeMutex;  // std::localtime shares one result between callers
  std::lock_guard lock(timeMutex);
  const std::tm* t = std::localtime(&seconds);
  if (!t) return elevationShortcutName(1970, 1, 1, 0, 0, 0, millisecond);
  return elevationShortcutName(t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour,
                               t->tm_min, t->tm_sec, millisecond);
}

bool exists(const std::string& path) { return !platform::files::find(path).empty(); }

long startDirectly(const char* program, const char* arguments, const char* workingFolder) {
  return platform::shell::shellExecute("open", program, arguments ? arguments : "",
                                       workingFolder);
}

// "Without arguments" on the shell path: none given, or an empty text.
bool hasArguments(const char* arguments) { return arguments && *arguments; }

// The explorer.exe of the Windows folder; empty (after the debug line) when there is none.
std::string explorerPath(const char* method) {
  std::string windows;
  if (!platform::shell::getFolderPath(platform::shell::CSIDL_WINDOWS, windows)) {
    platform::debugOutput(std::string(method) + " - unable to get windows directory\n");
    return "";
  }
  std::string explorer = windows + "\\explorer.exe";
  if (!exists(explorer)) {
    platform::debugOutput(std::string(method) + " - unable to locate explorer.exe\n");
    return "";
  }
  return explorer;
}

bool treatAsPreVista(const char* method) {
  PreVista pre = isPreVistaWindows();
  if (pre == PreVista::Unknown) {
    platform::debugOutput(std::string(method) + " - unable to query OS version\n");
    return true;
  }
  return pre == PreVista::Yes;
}

}  // namespace

std::string elevationShortcutName(int year, int month, int day, int hour, int minute,
                                  int second, int millisecond) {
  char name[64];
  std::snprintf(name, sizeof name, "mx%.4d%.2d%.2d%.2d%.2d%.2d%.3dtmp", year, month, day, hour,
                minute, second, millisecond);
  return name;
}

PreVista isPreVistaWindows() {
  platform::sysinfo::OsVersionInfoEx v;
  if (!platform::sysinfo::getVersionEx(v) ||
      v.platformId != platform::sysinfo::VER_PLATFORM_WIN32_NT)
    return PreVista::Unknown;
  return v.majorVersion < 6 ? PreVista::Yes : PreVista::No;
}

bool createShellLink(const std::string& arguments, const std::string& workingFolder,
                     const std::string& name, const std::string& folder,
                     const std::string& target) {
  std::string linkPath = folder + "\\" + name + ".lnk";
  // The path is converted into a buffer of MAX_PATH wide characters before the save.
  if (linkPath.size() >= static_cast<size_t>(win::MAX_PATH)) return false;
  platform::shell::ShellLink link;
  link.target = target;
  link.arguments = arguments;
  link.workingDirectory = workingFolder;
  return platform::shell::saveShellLink(link, linkPath);
}

int launchAppManagingUACElevation(const char* arguments, const char* workingFolder,
                                  const char* programPath, long* result) {
  static const char* const kMethod = "launchAppManagingUACElevation";
  if (!programPath) return -1;
  if (!workingFolder || !result) return -2;
  *result = 33;
  bool preVista = treatAsPreVista(kMethod);
  std::string shortcutName = shortcutNameNow();
  if (preVista) {
    *result = startDirectly(programPath, arguments, workingFolder);
    return 1;
  }
  std::string explorer = explorerPath(kMethod);
  if (explorer.empty()) {
    *result = startDirectly(programPath, arguments, workingFolder);
    return 1;
  }
  if (!hasArguments(arguments)) {
    *result = platform::shell::shellExecute("open", "explorer.exe", programPath, workingFolder);
    return 1;
  }
  std::string temp;
  if (!platform::shell::getTempPath(temp) || temp.size() >= static_cast<size_t>(win::MAX_PATH)) {
    platform::debugOutput(std::string(kMethod) + " - unable to get temp directory\n");
    *result = startDirectly(programPath, arguments, workingFolder);
    return 1;
  }
  std::string folder = temp + "Corvanta10_9267";
  if (!createShellLink(arguments, workingFolder, shortcutName, folder, programPath)) {
    platform::debugOutput(std::string(kMethod) + " - unable to create shortcut\n");
    *result = startDirectly(programPath, arguments, workingFolder);
    return 1;
  }
  std::string shortcut = folder + "\\" + shortcutName + ".lnk";
  platform::debugOutput(shortcut + "\n");
  if (!exists(shortcut)) {
    platform::debugOutput(std::string(kMethod) + " - shorcut does not exit\n");
    *result = startDirectly(programPath, arguments, workingFolder);
    return 1;
  }
  *result = platform::shell::shellExecute("open", "explorer.exe", shortcut, workingFolder);
  return 1;
}

int launchFileManagingUACElevation(const char* workingFolder, long* result,
                                   const char* filePath) {
  // Its debug lines carry the name of the launch it shares its steps with.
  static const char* const kMethod = "launchAppManagingUACElevation";
  if (!filePath) return -1;
  if (!workingFolder || !result) return -2;
  *result = 33;
  if (treatAsPreVista(kMethod) || explorerPath(kMethod).empty()) {
    *result = startDirectly(filePath, nullptr, workingFolder);
    return 1;
  }
  *result = platform::shell::shellExecute("open", "explorer.exe", filePath, workingFolder);
  return 1;
}
