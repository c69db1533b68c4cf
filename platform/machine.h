#pragma once
// The emulated Windows machine behind the ports: which machine is in use, how Windows
// paths map onto it, and the administration that stand-in programs, tools and tests need.
// Code of the system itself never calls this; it uses the ports.
#include <cstdint>
#include <map>
#include <optional>
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
// Properties that list what an installation brought ("HKLM\KEY;..." and "C:\path;...",
// the folders it created ending in a backslash): a removal through the installer database
// takes those keys and files away again, and the folders once they are empty.
constexpr const char* kInstalledKeysProperty = "InstalledKeys";
constexpr const char* kInstalledFilesProperty = "InstalledFiles";
void registerProduct(const Product& product);
bool unregisterProduct(const std::string& code, int context);
std::vector<Product> products();

// Emulated top-level windows, shown by stand-in programs (through corvanta-machine) so that
// the wizard's watchers can find and answer them. A window lives while its owner process
// runs.
struct WindowInfo {
  uintptr_t handle = 0;
  std::string title;
  unsigned long ownerPid = 0;
};
uintptr_t createWindow(const std::string& title, unsigned long ownerPid);
bool destroyWindow(uintptr_t handle);
std::vector<WindowInfo> windowList();

struct WindowMessage {
  unsigned message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};
// The owner's side of SendMessage: takes the next message sent to the window, waiting up to
// timeoutMs (negative: without limit), and answers it with result. WM_CLOSE also destroys
// the window, as the default window procedure does. nullopt on timeout or when the window
// is gone.
std::optional<WindowMessage> takeMessage(uintptr_t handle, int timeoutMs, intptr_t result = 0);

// Events of the machine's desktop: opens through the shell (verb "open", "explore", ...)
// and broadcasts (verb "WM_WININICHANGE", file the area), in the order they happened.
struct DesktopEvent {
  std::string verb, file, parameters, directory;
};
std::vector<DesktopEvent> desktopEvents();

// The stand-in system programs of drive C (msiexec.exe, regsvr32.exe, rundll32.exe,
// explorer.exe): written when missing. They run corvanta-machine, found on PATH or beside
// the running program.
void installStandIns();

}  // namespace platform::machine
