// Shell port: the machine's known folders and environment, and shell opens recorded as
// events.
#include <strings.h>
#include <sys/stat.h>

#include "platform/debug.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace platform::shell {

using machine::MachineError;

namespace {

struct Machine {
  std::string user = "User";
  bool is64 = true;
};

Machine machineInfo() {
  Machine m;
  try {
    m.user = machine::userName();
    m.is64 = machine::is64BitProfile();
  } catch (const MachineError& e) {
    debugOutput(std::string("shell - ") + e.what() + "\n");
  }
  return m;
}

std::string profileFolder(const Machine& m) { return "C:\\Users\\" + m.user; }

// The wizard is a 32-bit program: on a 64-bit profile it sees the x86 program folder.
std::string programFiles(const Machine& m) {
  return m.is64 ? "C:\\Program Files (x86)" : "C:\\Program Files";
}

std::string expand(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    size_t open = text.find('%', i);
    size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) {
      out += text.substr(i);
      break;
    }
    std::string value = environmentValue(text.substr(open + 1, close - open - 1));
    out += text.substr(i, open - i);
    out += value.empty() ? text.substr(open, close - open + 1) : value;
    i = close + 1;
  }
  return out;
}

}  // namespace

bool getFolderPath(int csidl, std::string& path) {
  Machine m = machineInfo();
  switch (csidl) {
    case CSIDL_PERSONAL: path = profileFolder(m) + "\\Documents"; return true;
    case CSIDL_WINDOWS: path = "C:\\windows"; return true;
    case CSIDL_SYSTEM: path = systemDirectory(); return true;
    case CSIDL_PROGRAM_FILES: path = programFiles(m); return true;
    case CSIDL_COMMON_PROGRAMS:
      path = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
      return true;
    case CSIDL_COMMON_DESKTOPDIRECTORY: path = "C:\\Users\\Public\\Desktop"; return true;
    default: return false;
  }
}

bool getTempPath(std::string& path) {
  std::string temp = environmentValue("TEMP");
  if (temp.empty()) return false;
  if (temp.back() != '\\') temp += '\\';
  path = temp;
  return true;
}

std::string systemDirectory() { return "C:\\windows\\system32"; }

std::string environmentValue(const std::string& name) {
  Machine m = machineInfo();
  auto is = [&](const char* n) { return strcasecmp(name.c_str(), n) == 0; };
  if (is("SystemRoot") || is("windir")) return "C:\\windows";
  if (is("SystemDrive")) return "C:";
  if (is("ProgramFiles")) return programFiles(m);
  if (is("ProgramFiles(x86)")) return m.is64 ? "C:\\Program Files (x86)" : "";
  if (is("ProgramW6432")) return m.is64 ? "C:\\Program Files" : "";
  if (is("CommonProgramFiles")) return programFiles(m) + "\\Common Files";
  if (is("USERPROFILE")) return profileFolder(m);
  if (is("USERNAME")) return m.user;
  if (is("HOMEDRIVE")) return "C:";
  if (is("HOMEPATH")) return "\\Users\\" + m.user;
  if (is("TEMP") || is("TMP")) return profileFolder(m) + "\\AppData\\Local\\Temp";
  if (is("APPDATA")) return profileFolder(m) + "\\AppData\\Roaming";
  if (is("LOCALAPPDATA")) return profileFolder(m) + "\\AppData\\Local";
  if (is("ALLUSERSPROFILE") || is("ProgramData")) return "C:\\ProgramData";
  if (is("PUBLIC")) return "C:\\Users\\Public";
  if (is("PROCESSOR_ARCHITECTURE")) return "x86";
  if (is("PROCESSOR_ARCHITEW6432")) return m.is64 ? "AMD64" : "";
  if (is("COMPUTERNAME")) {
    try {
      return machine::systemInfo("ComputerName").value_or("CORVANTA-PC");
    } catch (const MachineError&) {
      return "CORVANTA-PC";
    }
  }
  // Everything else comes from the machine's environment keys, user first.
  using namespace platform::registry;
  std::string user = readString(Hive::CurrentUser, "Environment", name, 32768).value_or("");
  std::string system = readString(
      Hive::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
      name, 32768).value_or("");
  if (is("Path")) {
    std::string path = expand(system);
    if (!user.empty()) path += (path.empty() ? "" : ";") + expand(user);
    return path;
  }
  return expand(user.empty() ? system : user);
}

long shellExecute(const std::string& verb, const std::string& file,
                  const std::string& parameters, const std::string& directory) {
  constexpr long SE_ERR_FNF = 2;
  constexpr long SE_ERR_NOASSOC = 31;
  if (file.empty()) return SE_ERR_FNF;
  // Web targets and other URLs are handed to the (emulated) browser as they are.
  bool isUrl = file.find("://") != std::string::npos || strncasecmp(file.c_str(), "mailto:", 7) == 0;
  if (!isUrl) {
    struct stat st;
    if (stat(machine::toHost(file).c_str(), &st) != 0) return SE_ERR_FNF;
    if (!verb.empty() && strcasecmp(verb.c_str(), "open") != 0 &&
        strcasecmp(verb.c_str(), "explore") != 0 && strcasecmp(verb.c_str(), "runas") != 0)
      return SE_ERR_NOASSOC;
  }
  try {
    machine::recordShellEvent({verb.empty() ? "open" : verb, file, parameters, directory});
  } catch (const MachineError& e) {
    debugOutput(std::string("shell::shellExecute - ") + e.what() + "\n");
    return SE_ERR_FNF;
  }
  return 42;
}

}  // namespace platform::shell
