// corvanta-machine: administration of an emulated Windows machine, for stand-in installer
// scripts, tools and tests.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/linux/products.h"
#include "platform/linux/reg_file.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/shell_link.h"
#include "platform/win_types.h"
#include "platform/windows.h"
#include "tools/standins/standin_programs.h"

namespace {

using namespace platform;
using registry::Hive;
using registry::Value;

const char* kHelp = R"(Usage: corvanta-machine [--machine ROOT] COMMAND ...

The machine is ROOT when given, else $CORVANTA_MACHINE, else
$XDG_DATA_HOME/corvanta/machine (~/.local/share/corvanta/machine). It is created on first use.

Commands:
  init [--profile NAME]
      Create the machine (or switch an existing one to the OS profile NAME).
  info | os show
      Show the OS profile and system information.
  os list
      List the OS profiles.
  os set NAME
      Switch the machine to the OS profile NAME (its version, edition, architecture...).
  os set-info NAME VALUE
      Change one item of the system information (for example ScreenDpi 120, ServerR2 1,
      ProductInfoType 1, VersionExFails 1).
  reg get HIVE\KEY [NAME]
      Print a value (the default value when NAME is left out). REG_DWORD prints in decimal,
      REG_BINARY in hex.
  reg set HIVE\KEY [NAME] [--type REG_SZ|REG_EXPAND_SZ|REG_DWORD|REG_BINARY] [--value V]
      Set a value, creating the key. REG_DWORD takes decimal or 0x hex, REG_BINARY hex bytes.
  reg delete HIVE\KEY [NAME]
      Delete a value.
  reg delete-key HIVE\KEY
      Delete a key and everything below it.
  reg list HIVE\KEY
      List the sub-keys (ending in \) and the values of a key.
  reg import FILE
      Import a .reg file ("Windows Registry Editor Version 5.00" in UTF-16 or ANSI, or
      "REGEDIT4"): [KEY], [-KEY], "name"="text", @=..., dword:, hex:, hex(N): with
      continued lines, "name"=-. A malformed line is reported with its number and
      nothing of the file is imported.
  reg export HIVE\KEY FILE [--ansi]
      Export a key and everything below it as REGEDIT5 text in UTF-16 (as the registry
      editor writes it), or as REGEDIT4 ANSI text with --ansi. FILE - is standard output.
  msi register --code {GUID} [--context 1|2|4] --name NAME --version VERSION
               [--prop KEY=VALUE ...] [--remove-command COMMANDLINE]
      Register an installer product (context 4, the machine, by default). The remove command
      is a Windows command line run, and waited for, when the product is removed.
  msi list
      List the products: code, context, name, version.
  msi remove --code {GUID} [--context N]
      Remove a product as the installer does: run its remove command, then drop it.
  msi unregister --code {GUID} [--context N]
      Drop a registration without running anything (what a remove command itself uses).
  path to-host WINPATH
      Print the host path of a Windows path.
  path to-windows HOSTPATH
      Print the Windows path of a host path.
  file set-version WINPATH VERSION [--private-build TEXT]
      Give a machine file a version resource (a file version, and a private-build text
      with its flag when given).
  shell events
      List the desktop events in order: opens through the shell (verb, file, parameters,
      folder) and broadcasts (WM_WININICHANGE and the area).
  shell open FILE [PARAMETERS] [--verb VERB] [--dir FOLDER]
      Open a file, folder, shell link or URL as ShellExecute does; prints its result.
  link create LINK TARGET [--args ARGUMENTS] [--dir FOLDER] [--description TEXT]
      Write a shell link (.lnk) to TARGET.
  link show LINK
      Print the target, arguments and working folder of a shell link.
  window show TITLE [--owner PID]
      Show an emulated top-level window owned by PID (default: the calling process, so a
      stand-in script owns its windows; they go when it ends). Prints its handle.
  window list
      List the windows: handle, owner, title.
  window wait HANDLE [--timeout MS]
      Wait for the next message sent to the window and print it: "command ID" for
      WM_COMMAND, "close" for WM_CLOSE (the window is then gone), "message N W L"
      otherwise. Exit code 1 when none came in time or the window is gone.
  window answer TITLE (--command ID | --close)
      Send a command or WM_CLOSE to the first window with that title, as a user would.
  window destroy HANDLE
      Remove a window.

HIVE is HKLM, HKCU, HKCR or HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT.
Exit code: 0 on success, 1 when the command failed, 2 for a usage error.

)";

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Args {
 public:
  Args(std::vector<std::string> words) : words_(std::move(words)) {}

  // The value of --name (removed from the words); empty optional when absent.
  bool option(const std::string& name, std::string& value) {
    for (size_t i = 0; i < words_.size(); ++i) {
      if (words_[i] != name) continue;
      if (i + 1 >= words_.size()) throw UsageError(name + " needs a value");
      value = words_[i + 1];
      words_.erase(words_.begin() + static_cast<long>(i), words_.begin() + static_cast<long>(i) + 2);
      return true;
    }
    return false;
  }
  // Whether the flag --name is there (removed from the words).
  bool flag(const std::string& name) {
    for (auto it = words_.begin(); it != words_.end(); ++it)
      if (*it == name) {
        words_.erase(it);
        return true;
      }
    return false;
  }
  std::vector<std::string> options(const std::string& name) {
    std::vector<std::string> values;
    std::string v;
    while (option(name, v)) values.push_back(v);
    return values;
  }
  std::string required(const std::string& name) {
    std::string v;
    if (!option(name, v)) throw UsageError("missing " + name);
    return v;
  }
  // The remaining words; an unknown option among them is a usage error.
  std::vector<std::string> positional(size_t min, size_t max) {
    for (const std::string& w : words_)
      if (w.size() > 2 && w.compare(0, 2, "--") == 0) throw UsageError("unknown option " + w);
    if (words_.size() < min || words_.size() > max) throw UsageError("wrong number of arguments");
    return words_;
  }

 private:
  std::vector<std::string> words_;
};

void splitKey(const std::string& text, Hive& hive, std::string& key) {
  if (!machine::splitKeyPath(text, hive, key)) {
    std::string name = text.substr(0, text.find_first_of("\\/"));
    throw UsageError("unknown hive '" + name + "' (HKLM, HKCU or HKCR)");
  }
}

std::string toHex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

std::string fromHex(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (c != ',' && c != ' ' && c != ':') digits += c;
  if (digits.size() % 2) throw UsageError("REG_BINARY needs an even number of hex digits");
  std::string bytes;
  for (size_t i = 0; i < digits.size(); i += 2) {
    char* end = nullptr;
    std::string pair = digits.substr(i, 2);
    long v = std::strtol(pair.c_str(), &end, 16);
    if (*end) throw UsageError("not a hex byte: " + pair);
    bytes += static_cast<char>(v);
  }
  return bytes;
}

std::string formatValue(const Value& v) {
  switch (v.type) {
    case registry::REG_DWORD: return std::to_string(v.asDword());
    case registry::REG_BINARY: return toHex(v.data);
    default: return v.data;
  }
}

const char* typeName(uint32_t type) {
  switch (type) {
    case registry::REG_SZ: return "REG_SZ";
    case registry::REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case registry::REG_BINARY: return "REG_BINARY";
    case registry::REG_DWORD: return "REG_DWORD";
    default: return "REG_UNKNOWN";
  }
}

Value makeValue(const std::string& type, const std::string& text) {
  if (type == "REG_SZ" || type == "REG_EXPAND_SZ")
    return Value::string(text, type == "REG_SZ" ? registry::REG_SZ : registry::REG_EXPAND_SZ);
  if (type == "REG_DWORD") {
    char* end = nullptr;
    errno = 0;
    unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || *end || errno || v > 0xffffffffULL || text[0] == '-')
      throw UsageError("not a REG_DWORD number: '" + text + "'");
    return Value::dword(static_cast<uint32_t>(v));
  }
  if (type == "REG_BINARY") return {registry::REG_BINARY, fromHex(text)};
  throw UsageError("unknown value type " + type);
}

void check(long result, const std::string& what) {
  if (result == win::ERROR_SUCCESS) return;
  if (result == win::ERROR_FILE_NOT_FOUND) throw Failure(what + ": not found");
  throw Failure(what + ": failed with error " + std::to_string(result));
}

int reg(const std::string& verb, Args& args) {
  Hive hive;
  std::string key;
  if (verb == "get") {
    auto p = args.positional(1, 2);
    splitKey(p[0], hive, key);
    std::string name = p.size() > 1 ? p[1] : "";
    Value v;
    check(registry::queryValue(hive, key, name, v, 1 << 20),
          p[0] + (name.empty() ? "" : " " + name));
    std::cout << formatValue(v) << "\n";
  } else if (verb == "set") {
    std::string type = "REG_SZ", text;
    args.option("--type", type);
    args.option("--value", text);
    auto p = args.positional(1, 2);
    splitKey(p[0], hive, key);
    check(registry::setValue(hive, key, p.size() > 1 ? p[1] : "", makeValue(type, text)), p[0]);
  } else if (verb == "delete") {
    auto p = args.positional(1, 2);
    splitKey(p[0], hive, key);
    check(registry::deleteValue(hive, key, p.size() > 1 ? p[1] : ""), p[0]);
  } else if (verb == "delete-key") {
    auto p = args.positional(1, 1);
    splitKey(p[0], hive, key);
    check(registry::deleteTree(hive, key), p[0]);
  } else if (verb == "list") {
    auto p = args.positional(1, 1);
    splitKey(p[0], hive, key);
    if (!registry::keyExists(hive, key)) throw Failure(p[0] + ": not found");
    for (const std::string& sub : registry::subKeyNames(hive, key)) std::cout << sub << "\\\n";
    for (const std::string& name : registry::valueNames(hive, key)) {
      Value v;
      registry::queryValue(hive, key, name, v, 1 << 20);
      std::cout << (name.empty() ? "(default)" : name) << "\t" << typeName(v.type) << "\t"
                << formatValue(v) << "\n";
    }
  } else if (verb == "import") {
    auto p = args.positional(1, 1);
    std::ifstream in(p[0], std::ios::binary);
    if (!in) throw Failure(p[0] + ": cannot be read");
    std::stringstream bytes;
    bytes << in.rdbuf();
    try {
      machine::importRegFile(bytes.str());
    } catch (const machine::MachineError& e) {
      throw Failure(p[0] + ": " + e.what() + " (nothing was imported)");
    }
  } else if (verb == "export") {
    bool ansi = args.flag("--ansi");
    auto rest = args.positional(2, 2);
    splitKey(rest[0], hive, key);
    std::string text = machine::exportRegFile(hive, key, ansi);
    if (rest[1] == "-") {
      std::cout << text;
    } else {
      std::ofstream out(rest[1], std::ios::binary);
      if (!(out << text)) throw Failure(rest[1] + ": cannot be written");
    }
  } else {
    throw UsageError("unknown reg command '" + verb + "'");
  }
  return 0;
}

int os(const std::string& verb, Args& args) {
  if (verb == "list") {
    args.positional(0, 0);
    for (const std::string& name : machine::profileNames()) std::cout << name << "\n";
  } else if (verb == "show") {
    args.positional(0, 0);
    return -1;  // as "info"
  } else if (verb == "set") {
    auto p = args.positional(1, 1);
    machine::applyProfile(p[0]);
  } else if (verb == "set-info") {
    auto p = args.positional(2, 2);
    machine::setSystemInfo(p[0], p[1]);
  } else {
    throw UsageError("unknown os command '" + verb + "'");
  }
  return 0;
}

int window(const std::string& verb, Args& args) {
  auto handleOf = [](const std::string& text) {
    char* end = nullptr;
    unsigned long long h = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || *end || h == 0) throw UsageError("not a window handle: '" + text + "'");
    return static_cast<uintptr_t>(h);
  };
  if (verb == "show") {
    std::string owner;
    bool haveOwner = args.option("--owner", owner);
    auto p = args.positional(1, 1);
    unsigned long pid = haveOwner ? std::stoul(owner) : static_cast<unsigned long>(getppid());
    std::cout << machine::createWindow(p[0], pid) << "\n";
  } else if (verb == "list") {
    args.positional(0, 0);
    for (const machine::WindowInfo& w : machine::windowList())
      std::cout << w.handle << "\t" << w.ownerPid << "\t" << w.title << "\n";
  } else if (verb == "wait") {
    std::string timeout = "-1";
    args.option("--timeout", timeout);
    auto p = args.positional(1, 1);
    auto message = machine::takeMessage(handleOf(p[0]), std::stoi(timeout));
    if (!message) throw Failure("no message for window " + p[0]);
    if (message->message == windows::WM_COMMAND) std::cout << "command " << message->wParam << "\n";
    else if (message->message == windows::WM_CLOSE) std::cout << "close\n";
    else std::cout << "message " << message->message << " " << message->wParam << " "
                   << message->lParam << "\n";
  } else if (verb == "answer") {
    std::string command;
    bool haveCommand = args.option("--command", command);
    bool close = args.flag("--close");
    std::vector<std::string> words = args.positional(1, 1);
    if (haveCommand == close)
      throw UsageError("window answer TITLE (--command ID | --close)");
    windows::Hwnd w = windows::findWindow(words[0]);
    if (!w) throw Failure("no window titled '" + words[0] + "'");
    bool sent = close ? windows::closeWindow(w) : windows::sendCommand(w, std::stoi(command));
    if (!sent) throw Failure("the window '" + words[0] + "' is gone");
  } else if (verb == "destroy") {
    auto p = args.positional(1, 1);
    if (!machine::destroyWindow(handleOf(p[0]))) throw Failure("no window " + p[0]);
  } else {
    throw UsageError("unknown window command '" + verb + "'");
  }
  return 0;
}

int link(const std::string& verb, Args& args) {
  if (verb == "create") {
    shell::ShellLink l;
    args.option("--args", l.arguments);
    args.option("--dir", l.workingDirectory);
    args.option("--description", l.description);
    auto p = args.positional(2, 2);
    l.target = p[1];
    if (!shell::saveShellLink(l, p[0])) throw Failure(p[0] + ": the shell link cannot be written");
  } else if (verb == "show") {
    auto p = args.positional(1, 1);
    shell::ShellLink l;
    if (!shell::loadShellLink(p[0], l)) throw Failure(p[0] + ": not a shell link");
    std::cout << "Target\t" << l.target << "\nArguments\t" << l.arguments
              << "\nWorkingDirectory\t" << l.workingDirectory << "\n";
  } else {
    throw UsageError("unknown link command '" + verb + "'");
  }
  return 0;
}

int contextOption(Args& args, int fallback) {
  std::string text;
  if (!args.option("--context", text)) return fallback;
  if (text != "1" && text != "2" && text != "4")
    throw UsageError("--context is 1 (user-managed), 2 (user-unmanaged) or 4 (machine)");
  return std::stoi(text);
}

int msi(const std::string& verb, Args& args) {
  if (verb == "register") {
    machine::Product p;
    p.code = args.required("--code");
    p.context = contextOption(args, 4);
    p.properties["InstalledProductName"] = args.required("--name");
    p.properties["VersionString"] = args.required("--version");
    args.option("--remove-command", p.removeCommand);
    for (const std::string& prop : args.options("--prop")) {
      size_t eq = prop.find('=');
      if (eq == std::string::npos || eq == 0) throw UsageError("--prop takes KEY=VALUE");
      p.properties[prop.substr(0, eq)] = prop.substr(eq + 1);
    }
    args.positional(0, 0);
    if (!machine::isProductCode(p.code))
      throw UsageError("invalid product code '" + p.code + "'");
    machine::registerProduct(p);
  } else if (verb == "list") {
    args.positional(0, 0);
    for (const machine::Product& p : machine::products()) {
      auto prop = [&](const char* name) {
        auto it = p.properties.find(name);
        return it == p.properties.end() ? std::string() : it->second;
      };
      std::cout << p.code << "\t" << p.context << "\t" << prop("InstalledProductName") << "\t"
                << prop("VersionString") << "\n";
    }
  } else if (verb == "remove" || verb == "unregister") {
    std::string code = args.required("--code");
    int context = contextOption(args, 0);
    args.positional(0, 0);
    if (verb == "unregister") {
      bool removed = false;
      for (int c : {4, 1, 2})
        if ((context == 0 || c == context) && machine::unregisterProduct(code, c)) removed = true;
      if (!removed) throw Failure("product " + code + " is not registered");
      return 0;
    }
    unsigned r = machine::removeProduct(code, context);
    if (r == win::ERROR_UNKNOWN_PRODUCT) throw Failure("product " + code + " is not registered");
    if (r != win::ERROR_SUCCESS)
      throw Failure("the remove command of " + code + " failed (error " + std::to_string(r) + ")");
  } else {
    throw UsageError("unknown msi command '" + verb + "'");
  }
  return 0;
}

int run(std::vector<std::string> words) {
  std::string rootOption;
  bool haveRoot = false;
  if (words.size() >= 2 && words[0] == "--machine") {
    rootOption = words[1];
    haveRoot = true;
    words.erase(words.begin(), words.begin() + 2);
  }
  if (words.empty()) throw UsageError("no command");
  std::string command = words[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kHelp << standins::kHelp;
    return 0;
  }
  Args args(std::vector<std::string>(words.begin() + 1, words.end()));
  std::string profile;
  bool haveProfile = command == "init" && args.option("--profile", profile);
  std::string rootFolder = haveRoot ? rootOption : "";
  if (haveRoot) machine::useRoot(rootFolder, haveProfile ? profile : "win7-sp1-x64");
  else if (haveProfile) machine::useRoot(machine::rootPath(), profile);
  else machine::root();

  if (command == "init") {
    args.positional(0, 0);
    // A machine that already existed keeps its profile unless one is asked for.
    if (haveProfile) machine::applyProfile(profile);
    std::cout << machine::root() << "\n";
    return 0;
  }
  if (command == "msiexec" || command == "regsvr32" || command == "rundll32" ||
      command == "explorer") {
    // The stand-in programs take their arguments as Windows programs do: no options of ours.
    std::vector<std::string> programArgs(words.begin() + 1, words.end());
    if (command == "msiexec") return standins::msiexec(programArgs, std::cout, std::cerr);
    if (command == "regsvr32") return standins::regsvr32(programArgs, std::cout, std::cerr);
    if (command == "rundll32") return standins::rundll32(programArgs, std::cout, std::cerr);
    return standins::explorer(programArgs, std::cout, std::cerr);
  }
  bool showInfo = command == "info";
  if (command == "os") {
    if (words.size() < 2) throw UsageError("'os' needs a sub-command");
    Args osArgs(std::vector<std::string>(words.begin() + 2, words.end()));
    if (os(words[1], osArgs) == 0) return 0;
    showInfo = true;
  }
  if (showInfo) {
    if (command == "info") args.positional(0, 0);
    for (const char* name : {"Profile", "ProductName", "MajorVersion", "MinorVersion",
                             "BuildNumber", "CSDVersion", "ProductType", "SuiteMask",
                             "ProcessorArchitecture", "ProductInfoType", "ServerR2", "ScreenDpi",
                             "MsiVersion", "UserName", "ComputerName"})
      std::cout << name << "\t" << machine::systemInfo(name).value_or("") << "\n";
    return 0;
  }
  if (command == "reg" || command == "msi" || command == "path" || command == "file" ||
      command == "shell" || command == "window" || command == "link") {
    if (words.size() < 2) throw UsageError("'" + command + "' needs a sub-command");
    std::string verb = words[1];
    Args verbArgs(std::vector<std::string>(words.begin() + 2, words.end()));
    if (command == "reg") return reg(verb, verbArgs);
    if (command == "msi") return msi(verb, verbArgs);
    if (command == "window") return window(verb, verbArgs);
    if (command == "link") return link(verb, verbArgs);
    if (command == "path") {
      auto p = verbArgs.positional(1, 1);
      if (verb == "to-host") std::cout << machine::toHost(p[0]) << "\n";
      else if (verb == "to-windows") std::cout << machine::toWindows(p[0]) << "\n";
      else throw UsageError("unknown path command '" + verb + "'");
      return 0;
    }
    if (command == "file") {
      if (verb != "set-version") throw UsageError("unknown file command '" + verb + "'");
      std::string privateBuild;
      bool havePrivateBuild = verbArgs.option("--private-build", privateBuild);
      auto p = verbArgs.positional(2, 2);
      std::string host = machine::toHost(p[0]);
      if (FILE* f = std::fopen(host.c_str(), "rb")) std::fclose(f);
      else throw Failure(p[0] + ": no such file");
      machine::setFileVersion(machine::toWindows(host), p[1]);
      machine::setFilePrivateBuild(machine::toWindows(host),
                                   havePrivateBuild ? std::optional<std::string>(privateBuild)
                                                    : std::nullopt);
      return 0;
    }
    if (verb == "open") {
      std::string verbOption = "open", folder;
      verbArgs.option("--verb", verbOption);
      verbArgs.option("--dir", folder);
      auto p = verbArgs.positional(1, 2);
      long result = shell::shellExecute(verbOption, p[0], p.size() > 1 ? p[1] : "", folder);
      std::cout << result << "\n";
      return result > 32 ? 0 : 1;
    }
    if (verb != "events") throw UsageError("unknown shell command '" + verb + "'");
    verbArgs.positional(0, 0);
    for (const machine::ShellEvent& e : machine::shellEvents())
      std::cout << e.verb << "\t" << e.file << "\t" << e.parameters << "\t" << e.directory << "\n";
    return 0;
  }
  throw UsageError("unknown command '" + command + "'");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  // The ports explain their failures on the debug stream; here that is the user's terminal.
  platform::setDebugSink([](const std::string& text) { std::cerr << "corvanta-machine: " << text; });
  try {
    return run(words);
  } catch (const UsageError& e) {
    std::cerr << "corvanta-machine: " << e.what() << " (see corvanta-machine --help)\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "corvanta-machine: error: " << e.what() << "\n";
    return 1;
  }
}
