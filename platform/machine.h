#pragma once
// The emulated Windows machine behind the ports: which machine is in use, how Windows
// paths map onto it, and the administration that stand-in programs, tools and tests need.
// Code of the system itself never calls this; it uses the ports.
#include <map>
#include <string>
#include <vector>

namespace platform::machine {

// The root in use: CORVANTA_MACHINE, else $XDG_DATA_HOME/corvanta/machine, else
// ~/.local/share/corvanta/machine. Created and initialised on first use.
std::string root();

// Makes root the machine of this process (creating and initialising it when new, with
// the given OS profile) and exports CORVANTA_MACHINE for the programs it starts.
void useRoot(const std::string& root, const std::string& osProfile = "win7-sp1-x64");

// "C:\a\b" -> <root>/drive_c/a/b (existing names matched without regard to case); a path
// starting with "/" is a host path and stays as it is.
std::string toHost(const std::string& windowsPath);
// The reverse: host paths inside a drive folder become "X:\...", others stay.
std::string toWindows(const std::string& hostPath);

// Windows Installer registrations.
struct Product {
  std::string code;  // "{...}"
  int context = 4;   // 4 machine, 1 user-managed, 2 user-unmanaged
  std::map<std::string, std::string> properties;  // VersionString, InstalledProductName, ...
  // Windows command line run (and waited for) when the product is removed.
  std::string removeCommand;
};
void registerProduct(const Product& product);
bool unregisterProduct(const std::string& code, int context);
std::vector<Product> products();

}  // namespace platform::machine
