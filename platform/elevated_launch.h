#pragma once
// Starting programs for the user outside the wizard's administrator rights: on Vista and
// later through explorer.exe (with a temporary shortcut when arguments are needed), directly
// on older systems and whenever the shell path fails.
#include <string>

// -1 without a program path, -2 without a working folder or result pointer, else 1;
// *result receives the ShellExecute result of the launch that was made (33 before it).
// arguments may be null.
int launchAppManagingUACElevation(const char* arguments, const char* workingFolder,
                                  const char* programPath, long* result);

// The same for a file opened without arguments (never through a shortcut).
int launchFileManagingUACElevation(const char* workingFolder, long* result,
                                   const char* filePath);

// The name of the shortcuts made by launchAppManagingUACElevation at the given local time:
// "mx%.4d%.2d%.2d%.2d%.2d%.2d%.3dtmp".
std::string elevationShortcutName(int year, int month, int day, int hour, int minute,
                                  int second, int millisecond);

// IShellLinkA + IPersistFile: a shortcut "%s\%s.lnk" (folder, name) to target with the
// arguments and working folder. False when any step fails.
bool createShellLink(const std::string& arguments, const std::string& workingFolder,
                     const std::string& name, const std::string& folder,
                     const std::string& target);

// Vista or later cannot be told apart from earlier systems: the caller treats it as older.
enum class PreVista { Yes, No, Unknown };
PreVista isPreVistaWindows();
