// OS profiles: the system information and the registry values a fresh machine of each
// Windows release starts with.
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/linux/machine_store.h"
#include "platform/registry.h"

namespace platform::machine {

namespace {

struct Profile {
  const char* name;
  const char* productName;
  int major, minor, build;
  int servicePackMajor;
  const char* csdVersion;
  int productType;       // 1 workstation, 3 server
  int suiteMask;
  int architecture;      // 0 x86, 6 Itanium, 9 x64
  int productInfoType;   // GetProductInfo; 0 before Vista
  int serverR2;          // GetSystemMetrics(SM_SERVERR2)
  const char* msiVersion;
  bool dotNet2;          // .NET Framework 2.0 comes with the release
};

// Suite mask 0x100 is VER_SUITE_SINGLEUSERTS (every workstation since XP), 0x110 adds
// terminal services on servers. Product info 0x30 is Professional, 0x07 Standard server,
// 0x01 Ultimate. Architecture 0 x86, 6 Itanium, 9 x64.
constexpr Profile kProfiles[] = {
    {"win2000-sp4-x86", "Microsoft Windows 2000", 5, 0, 2195, 4, "Service Pack 4", 1, 0x0, 0, 0,
     0, "2.0.2600.1183", false},
    {"winxp-sp3-x86", "Microsoft Windows XP", 5, 1, 2600, 3, "Service Pack 3", 1, 0x100, 0, 0, 0,
     "3.1.4001.5512", false},
    {"winxp-x64-sp2", "Microsoft Windows XP", 5, 2, 3790, 2, "Service Pack 2", 1, 0x100, 9, 0, 0,
     "3.1.4001.5512", false},
    {"server2003-sp2-x86", "Microsoft Windows Server 2003", 5, 2, 3790, 2, "Service Pack 2", 3,
     0x110, 0, 0, 0, "3.1.4001.5512", false},
    {"server2003r2-sp2-x86", "Microsoft Windows Server 2003 R2", 5, 2, 3790, 2, "Service Pack 2",
     3, 0x110, 0, 0, 1, "3.1.4001.5512", false},
    // 0x2000 VER_SUITE_STORAGE_SERVER, 0x2 VER_SUITE_ENTERPRISE, 0x80 VER_SUITE_DATACENTER.
    {"server2003-storage-sp2-x86", "Microsoft Windows Storage Server 2003", 5, 2, 3790, 2,
     "Service Pack 2", 3, 0x2110, 0, 0, 0, "3.1.4001.5512", false},
    {"server2003-x64-sp2", "Microsoft Windows Server 2003", 5, 2, 3790, 2, "Service Pack 2", 3,
     0x112, 9, 0, 0, "3.1.4001.5512", false},
    {"server2003-ia64-sp2", "Microsoft Windows Server 2003", 5, 2, 3790, 2, "Service Pack 2", 3,
     0x190, 6, 0, 0, "3.1.4001.5512", false},
    {"vista-sp2-x86", "Windows Vista (TM) Business", 6, 0, 6002, 2, "Service Pack 2", 1, 0x100, 0,
     0x06, 0, "4.5.6002.18005", true},
    {"win7-sp1-x86", "Windows 7 Professional", 6, 1, 7601, 1, "Service Pack 1", 1, 0x100, 0, 0x30,
     0, "5.0.7601.17514", true},
    {"win7-sp1-x64", "Windows 7 Professional", 6, 1, 7601, 1, "Service Pack 1", 1, 0x100, 9, 0x30,
     0, "5.0.7601.17514", true},
    {"win7-ultimate-sp1-x64", "Windows 7 Ultimate", 6, 1, 7601, 1, "Service Pack 1", 1, 0x100, 9,
     0x01, 0, "5.0.7601.17514", true},
    {"server2008r2-sp1-x64", "Windows Server 2008 R2 Standard", 6, 1, 7601, 1, "Service Pack 1",
     3, 0x110, 9, 0x07, 0, "5.0.7601.17514", true},
    {"win8-x64", "Windows 8 Pro", 6, 2, 9200, 0, "", 1, 0x100, 9, 0x30, 0, "5.0.9200.16384",
     true},
    {"win8-x86", "Windows 8 Pro", 6, 2, 9200, 0, "", 1, 0x100, 0, 0x30, 0, "5.0.9200.16384",
     true},
    // A release newer than the wizard knows.
    {"win81-x64", "Windows 8.1 Pro", 6, 3, 9600, 0, "", 1, 0x100, 9, 0x30, 0, "5.0.9600.16384",
     true},
};

const Profile* findProfile(const std::string& name) {
  for (const Profile& p : kProfiles)
    if (name == p.name) return &p;
  return nullptr;
}

std::string defaultUserName() {
  // A plain name: it becomes a folder and part of Windows paths.
  const char* user = std::getenv("USER");
  std::string name = user && *user ? user : "User";
  for (char c : name)
    if (c == '\\' || c == '/' || c == ':' || c == ' ') return "User";
  return name;
}

}  // namespace

std::vector<std::string> profileNames() {
  std::vector<std::string> names;
  for (const Profile& p : kProfiles) names.push_back(p.name);
  return names;
}

void applyProfile(const std::string& name) {
  const Profile* p = findProfile(name);
  if (!p) {
    std::string known;
    for (const std::string& n : profileNames()) known += (known.empty() ? "" : ", ") + n;
    throw MachineError("unknown OS profile '" + name + "' (known profiles: " + known + ")");
  }
  using namespace platform::registry;
  writeStore([&](sqlite3*) {
    auto info = [](const char* key, const std::string& value) { setSystemInfo(key, value); };
    info("ProductName", p->productName);
    info("MajorVersion", std::to_string(p->major));
    info("MinorVersion", std::to_string(p->minor));
    info("BuildNumber", std::to_string(p->build));
    info("PlatformId", "2");
    info("CSDVersion", p->csdVersion);
    info("ServicePackMajor", std::to_string(p->servicePackMajor));
    info("ServicePackMinor", "0");
    info("ProductType", std::to_string(p->productType));
    info("SuiteMask", std::to_string(p->suiteMask));
    info("ProcessorArchitecture", std::to_string(p->architecture));
    info("ProductInfoType", std::to_string(p->productInfoType));
    info("ServerR2", std::to_string(p->serverR2));
    if (!systemInfo("ScreenDpi")) info("ScreenDpi", "96");
    info("MsiVersion", p->msiVersion);
    if (!systemInfo("UserName")) info("UserName", defaultUserName());
    info("ComputerName", "CORVANTA-PC");
    setFileVersion("C:\\windows\\system32\\Msi.dll", p->msiVersion);

    const std::string nt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    setValue(Hive::LocalMachine, nt, "ProductName", Value::string(p->productName));
    setValue(Hive::LocalMachine, nt, "CurrentVersion",
             Value::string(std::to_string(p->major) + "." + std::to_string(p->minor)));
    setValue(Hive::LocalMachine, nt, "CurrentBuild", Value::string(std::to_string(p->build)));
    setValue(Hive::LocalMachine, nt, "CSDVersion", Value::string(p->csdVersion));

    const std::string env = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    Value path = Value::string("%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem",
                               REG_EXPAND_SZ);
    setValue(Hive::LocalMachine, env, "Path", path);
    setValue(Hive::LocalMachine, env, "ComSpec",
             Value::string("%SystemRoot%\\system32\\cmd.exe", REG_EXPAND_SZ));
    setValue(Hive::LocalMachine, env, "windir", Value::string("%SystemRoot%", REG_EXPAND_SZ));
    setValue(Hive::LocalMachine, env, "OS", Value::string("Windows_NT"));
    setValue(Hive::LocalMachine, env, "PROCESSOR_ARCHITECTURE",
             Value::string(p->architecture == 9 ? "AMD64" : p->architecture == 6 ? "IA64" : "x86"));
    setValue(Hive::CurrentUser, "Environment", "TEMP",
             Value::string("%USERPROFILE%\\AppData\\Local\\Temp", REG_EXPAND_SZ));
    setValue(Hive::CurrentUser, "Environment", "TMP",
             Value::string("%USERPROFILE%\\AppData\\Local\\Temp", REG_EXPAND_SZ));

    const std::string ndp = "SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";
    if (p->dotNet2) {
      setValue(Hive::LocalMachine, ndp, "Install", Value::dword(1));
      setValue(Hive::LocalMachine, ndp, "Version", Value::string("2.0.50727.5420"));
    } else {
      deleteTree(Hive::LocalMachine, ndp);
    }
    // Written last: its presence marks an initialised machine.
    info("Profile", p->name);
  });
}

}  // namespace platform::machine
