// The machine services of platform_needs.h, mapped onto the ports that offer them.
#include "engine/platform_needs.h"

#include "platform/shell.h"
#include "platform/shell_link.h"
#include "platform/sysinfo.h"
#include "platform/windows.h"

namespace platform_needs {

WindowHandle findWindow(const std::string& title) { return platform::windows::findWindow(title); }
bool sendCommand(WindowHandle window, int id) { return platform::windows::sendCommand(window, id); }
bool closeWindow(WindowHandle window) { return platform::windows::closeWindow(window); }

void broadcastSettingChange(const std::string& area) {
  platform::windows::broadcastSettingChange(area, 100);
}

std::unique_ptr<platform::process::Process> shellExecuteEx(const std::string& verb,
                                                           const std::string& file,
                                                           const std::string& parameters) {
  if (file.empty()) return nullptr;
  long result = 0;
  return platform::shell::shellExecuteEx(verb, file, parameters, "", result);
}

int nativeProcessorArchitecture() {
  platform::sysinfo::SystemInfo info;
  // Windows 2000 has no native query; what the process sees is then the answer.
  if (!platform::sysinfo::getNativeSystemInfo(info)) platform::sysinfo::getSystemInfo(info);
  return info.processorArchitecture;
}

bool createShellLink(const std::string& linkPath, const std::string& target,
                     const std::string& arguments, const std::string& workingFolder) {
  platform::shell::ShellLink link;
  link.target = target;
  link.arguments = arguments;
  link.workingDirectory = workingFolder;
  return platform::shell::saveShellLink(link, linkPath);
}

}  // namespace platform_needs
