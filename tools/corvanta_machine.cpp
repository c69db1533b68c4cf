// corvanta-machine: administration of an emulated Windows machine, for stand-in installer
// scripts, tools and tests.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/debug.h"
#include "platform/linux/machine_store.h"
#include "platform/linux/products.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/win_types.h"

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
  info
      Show the OS profile and system information.
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
  file set-version WINPATH VERSION
      Give a machine file a version (its version resource).
  shell events
      List the files opened through the shell: verb, file, parameters, folder.

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
  size_t sep = text.find_first_of("\\/");
  std::string name = text.substr(0, sep);
  key = sep == std::string::npos ? "" : text.substr(sep + 1);
  auto is = [&](const char* a, const char* b) {
    return strcasecmp(name.c_str(), a) == 0 || strcasecmp(name.c_str(), b) == 0;
  };
  if (is("HKLM", "HKEY_LOCAL_MACHINE")) hive = Hive::LocalMachine;
  else if (is("HKCU", "HKEY_CURRENT_USER")) hive = Hive::CurrentUser;
  else if (is("HKCR", "HKEY_CLASSES_ROOT")) hive = Hive::ClassesRoot;
  else throw UsageError("unknown hive '" + name + "' (HKLM, HKCU or HKCR)");
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
  } else {
    throw UsageError("unknown reg command '" + verb + "'");
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
    std::cout << kHelp;
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
  if (command == "info") {
    args.positional(0, 0);
    for (const char* name : {"Profile", "ProductName", "MajorVersion", "MinorVersion",
                             "BuildNumber", "CSDVersion", "ProductType", "SuiteMask",
                             "ProcessorArchitecture", "ProductInfoType", "ServerR2", "ScreenDpi",
                             "MsiVersion", "UserName", "ComputerName"})
      std::cout << name << "\t" << machine::systemInfo(name).value_or("") << "\n";
    return 0;
  }
  if (command == "reg" || command == "msi" || command == "path" || command == "file" ||
      command == "shell") {
    if (words.size() < 2) throw UsageError("'" + command + "' needs a sub-command");
    std::string verb = words[1];
    Args verbArgs(std::vector<std::string>(words.begin() + 2, words.end()));
    if (command == "reg") return reg(verb, verbArgs);
    if (command == "msi") return msi(verb, verbArgs);
    if (command == "path") {
      auto p = verbArgs.positional(1, 1);
      if (verb == "to-host") std::cout << machine::toHost(p[0]) << "\n";
      else if (verb == "to-windows") std::cout << machine::toWindows(p[0]) << "\n";
      else throw UsageError("unknown path command '" + verb + "'");
      return 0;
    }
    if (command == "file") {
      if (verb != "set-version") throw UsageError("unknown file command '" + verb + "'");
      auto p = verbArgs.positional(2, 2);
      std::string host = machine::toHost(p[0]);
      if (FILE* f = std::fopen(host.c_str(), "rb")) std::fclose(f);
      else throw Failure(p[0] + ": no such file");
      machine::setFileVersion(machine::toWindows(host), p[1]);
      return 0;
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
