// Shell port: the machine's known folders and environment, and shell opens recorded as
// events.
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

#include "platform/debug.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/files.h"
#include "platform/linux/command_line.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/shell_link.h"
#include "platform/port_backends.h"

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

namespace {

std::string lowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string extensionOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return "";
  return lowerAscii(path.substr(dot));
}

bool isUrl(const std::string& file) {
  size_t colon = file.find(':');
  // "C:\..." is a drive; a scheme has two letters or more.
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = file[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  }
  return true;
}

bool isProgram(const std::string& extension) {
  return extension == ".exe" || extension == ".com" || extension == ".bat" ||
         extension == ".cmd" || extension == ".scr";
}

// The desktop's own opener, only where the user asked for it and a display exists: tests
// and headless machines record the open instead.
void hostOpen(const std::string& target) {
  const char* display = std::getenv("DISPLAY");
  const char* allowed = std::getenv("CORVANTA_HOST_OPEN");
  if (!display || !*display || !allowed || std::string(allowed) != "1") return;
  std::string opener = process::findProgram("xdg-open");
  if (opener.empty()) return;
  // A host helper, not a program of the machine: the shell port's line covers the open.
  process::backend::start(opener, "xdg-open " + process::quoteArgument(target), "");
}

bool isDirectoryPath(const std::string& windowsPath) {
  struct stat st;
  return stat(machine::toHost(windowsPath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool hostExists(const std::string& windowsPath, struct stat& st) {
  return stat(machine::toHost(windowsPath).c_str(), &st) == 0;
}

std::string parentOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

long execute(const std::string& verbGiven, const std::string& file,
             const std::string& parameters, const std::string& directory,
             std::unique_ptr<process::Process>* started, int depth) {
  const std::string verb = verbGiven.empty() ? "open" : verbGiven;
  const std::string v = lowerAscii(verb);
  if (file.empty()) return SE_ERR_FNF;
  auto record = [&](const std::string& opened) {
    machine::recordShellEvent({verb, opened, parameters, directory});
  };
  if (isUrl(file)) {
    if (v != "open") return SE_ERR_NOASSOC;
    record(file);
    hostOpen(file);
    return 42;
  }
  // A bare program name is looked for in the working folder, then where Windows looks.
  std::string path = file;
  struct stat st;
  if (file.find_first_of("\\/") == std::string::npos) {
    std::string found;
    if (!directory.empty() && hostExists(directory + "\\" + file, st))
      found = directory + "\\" + file;
    if (found.empty()) found = process::findProgram(file);
    if (found.empty()) return SE_ERR_FNF;
    path = found;
  }
  if (!hostExists(path, st)) {
    std::string parent = parentOf(path);
    struct stat pst;
    return parent.empty() || hostExists(parent, pst) ? SE_ERR_FNF : SE_ERR_PNF;
  }
  if (S_ISDIR(st.st_mode)) {
    if (v != "open" && v != "explore") return SE_ERR_NOASSOC;
    record(file);
    hostOpen(machine::toHost(path));
    return 42;
  }
  std::string extension = extensionOf(path);
  if (extension == ".lnk") {
    ShellLink link;
    if (depth > 0 || !loadShellLink(path, link)) return SE_ERR_BAD_FORMAT;
    record(file);
    // The link's own arguments and folder, as the shell starts it.
    return execute(verb, link.target, link.arguments, link.workingDirectory, started, depth + 1);
  }
  if (isProgram(extension) || (path[0] == '/' && access(path.c_str(), X_OK) == 0)) {
    if (v != "open" && v != "runas") return SE_ERR_NOASSOC;
    if (!directory.empty() && !isDirectoryPath(directory)) return SE_ERR_PNF;
    std::string commandLine = process::quoteArgument(path);
    if (!parameters.empty()) commandLine += " " + parameters;
    // The shell port logs this start as its own.
    auto child = process::backend::start(path, commandLine, directory);
    if (!child) return SE_ERR_BAD_FORMAT;  // not a program this machine can run
    record(file);
    if (started) *started = std::move(child);
    return 42;
  }
  // A document opens in the program associated with its type; a name without a type has
  // none.
  if (extension.empty()) return SE_ERR_NOASSOC;
  if (v != "open" && v != "edit" && v != "print") return SE_ERR_NOASSOC;
  record(file);
  hostOpen(machine::toHost(path));
  return 42;
}

}  // namespace

std::unique_ptr<process::Process> backend::shellExecuteEx(const std::string& verb,
                                                          const std::string& file,
                                                          const std::string& parameters,
                                                          const std::string& directory,
                                                          long& result) {
  std::unique_ptr<process::Process> started;
  try {
    result = execute(verb, file, parameters, directory, &started, 0);
  } catch (const MachineError& e) {
    debugOutput(std::string("shell::shellExecute - ") + e.what() + "\n");
    result = SE_ERR_OOM;
  }
  if (result <= 32) started.reset();
  return started;
}

}  // namespace platform::shell
