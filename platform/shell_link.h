#pragma once
// Shell links (.lnk files, IShellLinkA with IPersistFile) in the binary format Windows
// writes, so that the shell and explorer.exe can open them.
#include <string>

namespace platform::shell {

struct ShellLink {
  std::string target;            // IShellLink::SetPath
  std::string arguments;         // SetArguments
  std::string workingDirectory;  // SetWorkingDirectory
  std::string description;       // SetDescription
  std::string iconLocation;
  int iconIndex = 0;
  int showCommand = 1;  // SW_SHOWNORMAL
};

// CoCreateInstance(CLSID_ShellLink) + Set... + IPersistFile::Save(linkPath, TRUE): false when
// the target is empty or longer than MAX_PATH, or the file cannot be written (a missing
// folder, a read-only file).
bool saveShellLink(const ShellLink& link, const std::string& linkPath);

// IPersistFile::Load + Get...: false when the file is missing or not a shell link.
bool loadShellLink(const std::string& linkPath, ShellLink& link);

}  // namespace platform::shell
