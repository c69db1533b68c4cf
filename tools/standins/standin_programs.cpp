// What the stand-in system programs do in the emulated machine.
#include "tools/standins/standin_programs.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>

#include "platform/files.h"
#include "platform/linux/command_line.h"
#include "platform/linux/machine_store.h"
#include "platform/linux/products.h"
#include "platform/linux/reg_file.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/win_types.h"
#include "tools/base64.h"

namespace standins {

using namespace platform;

const char* const kHelp = R"(Stand-in system programs (C:\windows\system32\msiexec.exe, regsvr32.exe,
rundll32.exe and C:\windows\explorer.exe run these verbs with their arguments):
  msiexec /i PACKAGE [/passive|/quiet|/qn] [/norestart] [PROPERTY=VALUE ...]
      Installs a stand-in package: a profile (INI) text file
        [Product]
        Code={XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
        Name=Product name                (InstalledProductName)
        Version=1.2.3                    (VersionString)
        Context=4                        (optional: 4 machine, 1 user-managed,
                                          2 user-unmanaged)
        RemoveCommand=C:\x\uninst.exe /s (optional: Windows command line run, and
                                          waited for, when the product is removed)
        RegFile=values.reg               (optional: a .reg file beside the package,
                                          imported on install)
        OwnedKeys=HKLM\KEY;...           (optional: keys the product owns; by default
                                          the keys of [Registry])
        [Registry]                       (optional: string values to write)
        1=HKLM\SOFTWARE\Vendor|Name|Value   (an empty name is the default value)
        [Files]                          (optional: files to write, base64)
        C:\Program Files\X\a.exe=IyEvYmluL3NoCg==
        [Properties]
        Publisher=...                    (further installer properties)
      The owned keys and the written files are removed with the product.
  msiexec /x PRODUCTCODE|PACKAGE [/passive|/quiet]
      Removes the product: runs its remove command, then drops its registration.
      Exit codes: 0 done, 1 the package cannot be read or is not valid, 2 usage,
      3 the product is not installed, 4 its remove command failed.
  regsvr32 [/u] [/s] CONTROL
      Registers the control a stand-in control file describes:
        [Control]
        CLSID={...}
        ProgID=Vendor.Control.1          (optional)
        Name=Control name                (optional)
      under HKEY_CLASSES_ROOT\CLSID\{...} (InprocServer32 = the control's path) and
      removes that with /u. Exit codes: 0 done, 1 usage, 3 the file cannot be loaded,
      4 the file describes no control. Without /s the result is printed.
  rundll32 DLL,ENTRY [ARGUMENTS]
      A DLL that is a script (#!) runs with ENTRY and ARGUMENTS and is waited for; its
      exit code is returned. Another existing file does nothing. Exit code 1 when the
      DLL is missing.
  explorer [PATH]
      Opens PATH (file, folder, shell link or URL) through the machine's shell: a shell
      link starts its target with its arguments; other opens are recorded (see
      "shell events"). Exit code 1 when the shell refused it.
)";

namespace {

constexpr int kMsiBadPackage = 1, kMsiUsage = 2, kMsiUnknownProduct = 3, kMsiRemoveFailed = 4;

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool isSwitch(const std::string& arg) { return !arg.empty() && (arg[0] == '/' || arg[0] == '-'); }

std::string value(const std::string& section, const std::string& key, const std::string& file) {
  std::string v;
  profile::getString(section, key, "", v, 4096, file);
  return v;
}

// The absolute Windows path of a path given to a stand-in (relative to its folder).
std::string absolute(const std::string& path) {
  return machine::toWindows(machine::toHost(path));
}

std::string joined(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) out += (out.empty() ? "" : ";") + item;
  return out;
}

// Creates the missing folders above path; each one made is added to created.
bool createParentFolders(const std::string& path, std::vector<std::string>& created) {
  size_t sep = path.find_last_of("\\/");
  if (sep == std::string::npos || sep <= 2) return true;
  std::string folder = path.substr(0, sep);
  if (files::isDirectory(folder)) return true;
  if (!createParentFolders(folder, created) || !files::createDirectory(folder)) return false;
  created.push_back(folder + "\\");
  return true;
}

// The [Registry] values and [Files] of a package; what was written goes into the
// product's properties so that its removal takes it away again. An empty text is success.
std::string writePackageItems(const std::string& package, machine::Product& p) {
  std::vector<std::string> names, keys, written;
  profile::getKeyNames("Registry", names, 1 << 20, package);
  for (const std::string& n : names) {
    std::string item = value("Registry", n, package);
    size_t bar1 = item.find('|'), bar2 = bar1 == std::string::npos ? bar1 : item.find('|', bar1 + 1);
    registry::Hive hive;
    std::string key;
    if (bar2 == std::string::npos || !machine::splitKeyPath(item.substr(0, bar1), hive, key) ||
        key.empty())
      return "the registry item " + n + " is not HIVE\\KEY|NAME|VALUE";
    std::string name = item.substr(bar1 + 1, bar2 - bar1 - 1);
    if (registry::setValue(hive, key, name, registry::Value::string(item.substr(bar2 + 1))) !=
        win::ERROR_SUCCESS)
      return "the registry item " + n + " cannot be written";
    std::string owned = item.substr(0, bar1);
    bool known = false;
    for (const std::string& k : keys) known = known || strcasecmp(k.c_str(), owned.c_str()) == 0;
    if (!known) keys.push_back(owned);
  }
  names.clear();
  profile::getKeyNames("Files", names, 1 << 20, package);
  for (const std::string& path : names) {
    std::string encoded;
    profile::getString("Files", path, "", encoded, 1 << 20, package);
    std::string bytes;
    if (!tools::base64Decode(encoded, bytes)) return "the file " + path + " is not base64";
    if (!createParentFolders(path, written) || !files::writeFile(path, bytes))
      return "the file " + path + " cannot be written";
    written.push_back(path);
  }
  std::string owned = value("Product", "OwnedKeys", package);
  if (!owned.empty() || !keys.empty())
    p.properties[machine::kInstalledKeysProperty] = owned.empty() ? joined(keys) : owned;
  if (!written.empty()) p.properties[machine::kInstalledFilesProperty] = joined(written);
  return "";
}

std::string folderOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? "" : path.substr(0, sep);
}

int install(const std::string& packageGiven, std::ostream& out, std::ostream& err) {
  std::string package = absolute(packageGiven);
  std::string data;
  if (!files::readFile(package, data)) {
    err << "msiexec: the package " << packageGiven << " cannot be opened (1619)\n";
    return kMsiBadPackage;
  }
  machine::Product p;
  p.code = value("Product", "Code", package);
  std::string context = value("Product", "Context", package);
  p.context = context.empty() ? 4 : std::atoi(context.c_str());
  p.removeCommand = value("Product", "RemoveCommand", package);
  p.properties["InstalledProductName"] = value("Product", "Name", package);
  p.properties["VersionString"] = value("Product", "Version", package);
  std::vector<std::string> keys;
  profile::getKeyNames("Properties", keys, 1 << 20, package);
  for (const std::string& key : keys) p.properties[key] = value("Properties", key, package);
  if (!machine::isProductCode(p.code) || (p.context != 1 && p.context != 2 && p.context != 4)) {
    err << "msiexec: " << packageGiven << " is not a valid installation package (1620)\n";
    return kMsiBadPackage;
  }
  std::string regFile = value("Product", "RegFile", package);
  if (!regFile.empty()) {
    std::string regPath = regFile.find_first_of("\\/") == std::string::npos
                              ? folderOf(package) + "\\" + regFile
                              : regFile;
    std::string bytes;
    if (!files::readFile(regPath, bytes)) {
      err << "msiexec: " << regPath << " cannot be read (1620)\n";
      return kMsiBadPackage;
    }
    try {
      machine::importRegFile(bytes);
    } catch (const machine::MachineError& e) {
      err << "msiexec: " << regPath << ": " << e.what() << " (1620)\n";
      return kMsiBadPackage;
    }
  }
  std::string failure = writePackageItems(package, p);
  if (!failure.empty()) {
    err << "msiexec: " << packageGiven << ": " << failure << " (1603)\n";
    return kMsiBadPackage;
  }
  machine::registerProduct(p);
  out << "msiexec: installed " << p.properties["InstalledProductName"] << " " << p.code << "\n";
  return 0;
}

int remove(const std::string& target, std::ostream& out, std::ostream& err) {
  std::string code = target;
  if (!machine::isProductCode(code)) {
    std::string package = absolute(target);
    code = value("Product", "Code", package);
    if (!machine::isProductCode(code)) {
      err << "msiexec: " << target << " is neither a product code nor a package (1620)\n";
      return kMsiBadPackage;
    }
  }
  // A remove command that itself calls msiexec /x for the same product must not recurse.
  const char* removing = std::getenv("CORVANTA_MSIEXEC_REMOVING");
  if (removing && strcasecmp(removing, code.c_str()) == 0) {
    bool dropped = false;
    for (int c : {4, 1, 2}) dropped = machine::unregisterProduct(code, c) || dropped;
    return dropped ? 0 : kMsiUnknownProduct;
  }
  setenv("CORVANTA_MSIEXEC_REMOVING", code.c_str(), 1);
  unsigned r = machine::removeProduct(code, 0);
  if (r == win::ERROR_UNKNOWN_PRODUCT) {
    err << "msiexec: product " << code << " is not installed (1605)\n";
    return kMsiUnknownProduct;
  }
  if (r != win::ERROR_SUCCESS) {
    err << "msiexec: the removal of " << code << " failed (" << r << ")\n";
    return kMsiRemoveFailed;
  }
  out << "msiexec: removed " << code << "\n";
  return 0;
}

}  // namespace

int msiexec(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string mode, target;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = lower(args[i]);
    if (!isSwitch(a)) {
      if (a.find('=') != std::string::npos) continue;  // PROPERTY=VALUE
      err << "msiexec: unexpected argument " << args[i] << " (1639)\n";
      return kMsiUsage;
    }
    std::string name = a.substr(1);
    if (name == "i" || name == "package" || name == "x" || name == "uninstall") {
      if (!mode.empty() || i + 1 >= args.size()) {
        err << "msiexec: /i or /x needs exactly one target (1639)\n";
        return kMsiUsage;
      }
      mode = name == "i" || name == "package" ? "i" : "x";
      target = args[++i];
    } else if (name.compare(0, 1, "l") == 0) {
      if (i + 1 < args.size()) ++i;  // the log file
    } else if (name != "passive" && name != "quiet" && name != "norestart" &&
               name.compare(0, 1, "q") != 0 && name != "promptrestart" &&
               name != "forcerestart") {
      err << "msiexec: unknown option " << args[i] << " (1639)\n";
      return kMsiUsage;
    }
  }
  if (mode.empty()) {
    err << "msiexec: /i PACKAGE or /x PRODUCT expected (1639)\n";
    return kMsiUsage;
  }
  return mode == "i" ? install(target, out, err) : remove(target, out, err);
}

int regsvr32(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  bool unregister = false, silent = false;
  std::string control;
  for (const std::string& arg : args) {
    std::string a = lower(arg);
    if (isSwitch(a)) {
      if (a == "/u" || a == "-u") unregister = true;
      else if (a == "/s" || a == "-s") silent = true;
      else if (a == "/n" || a == "-n" || a.compare(1, 1, "i") == 0) continue;
      else {
        err << "regsvr32: unrecognized flag " << arg << "\n";
        return 1;
      }
    } else if (control.empty()) {
      control = arg;
    } else {
      err << "regsvr32: only one module may be given\n";
      return 1;
    }
  }
  auto report = [&](std::ostream& to, const std::string& text) {
    if (!silent) to << text << "\n";
  };
  if (control.empty()) {
    report(err, "regsvr32: no module given");
    return 1;
  }
  std::string path = absolute(control);
  std::string data;
  if (!files::readFile(path, data)) {
    report(err, "The module \"" + control + "\" failed to load.");
    return 3;
  }
  std::string clsid = value("Control", "CLSID", path);
  if (!machine::isProductCode(clsid)) {  // a CLSID has the form of a product code
    report(err, "The module \"" + control + "\" was loaded but the entry-point " +
                    (unregister ? "DllUnregisterServer" : "DllRegisterServer") + " was not found.");
    return 4;
  }
  using registry::Hive;
  std::string progId = value("Control", "ProgID", path);
  std::string key = "CLSID\\" + clsid;
  if (unregister) {
    registry::deleteTree(Hive::ClassesRoot, key);
    if (!progId.empty()) registry::deleteTree(Hive::ClassesRoot, progId);
    report(out, "DllUnregisterServer in " + control + " succeeded.");
    return 0;
  }
  bool ok = registry::setValue(Hive::ClassesRoot, key, "",
                               registry::Value::string(value("Control", "Name", path))) == 0 &&
            registry::setValue(Hive::ClassesRoot, key + "\\InprocServer32", "",
                               registry::Value::string(path)) == 0 &&
            registry::setValue(Hive::ClassesRoot, key + "\\InprocServer32", "ThreadingModel",
                               registry::Value::string("Apartment")) == 0;
  if (ok && !progId.empty())
    ok = registry::setValue(Hive::ClassesRoot, key + "\\ProgID", "",
                            registry::Value::string(progId)) == 0 &&
         registry::setValue(Hive::ClassesRoot, progId + "\\CLSID", "",
                            registry::Value::string(clsid)) == 0;
  if (!ok) {
    report(err, "DllRegisterServer in " + control + " failed.");
    return 5;
  }
  report(out, "DllRegisterServer in " + control + " succeeded.");
  return 0;
}

int rundll32(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // rundll32 reads its own command line: the DLL up to the comma, the entry up to a blank.
  std::string line;
  for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
  size_t comma = line.find(',');
  std::string dll = line.substr(0, comma);
  std::string rest = comma == std::string::npos ? "" : line.substr(comma + 1);
  size_t blank = rest.find(' ');
  std::string entry = rest.substr(0, blank);
  std::string arguments = blank == std::string::npos ? "" : rest.substr(blank + 1);
  if (dll.size() >= 2 && dll.front() == '"' && dll.back() == '"') dll = dll.substr(1, dll.size() - 2);
  std::string path = dll.empty() ? "" : process::findProgram(dll);
  if (path.empty()) path = absolute(dll);
  std::string data;
  if (dll.empty() || !files::readFile(path, data)) {
    err << "rundll32: There was a problem starting " << dll << "\n";
    return 1;
  }
  if (data.compare(0, 2, "#!") != 0) return 0;
  unsigned long exitCode = 0;
  std::string commandLine = process::quoteArgument(path) + " " + process::quoteArgument(entry);
  if (!arguments.empty()) commandLine += " " + arguments;
  if (!process::startAndWait(path, commandLine, &exitCode)) {
    err << "rundll32: There was a problem starting " << dll << "\n";
    return 1;
  }
  return static_cast<int>(exitCode & 0xff);
}

int explorer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  // explorer.exe takes its whole command line as the path to open.
  std::string path;
  for (const std::string& a : args) path += (path.empty() ? "" : " ") + a;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  if (path.empty()) return 0;
  // "/select,PATH", "/e,PATH": the path after the switch.
  if (path[0] == '/' && path.find(',') != std::string::npos) path = path.substr(path.find(',') + 1);
  long result = shell::shellExecute("open", path, "", "");
  if (result <= 32) {
    err << "explorer: " << path << " cannot be opened (" << result << ")\n";
    return 1;
  }
  return 0;
}

}  // namespace standins
