#pragma once
// Shell and system folders port.
#include <string>

namespace platform::shell {

// SHGetFolderPath identifiers used by the system.
enum Csidl : int {
  CSIDL_PERSONAL = 0x05,
  CSIDL_WINDOWS = 0x24,
  CSIDL_SYSTEM = 0x25,
  CSIDL_PROGRAM_FILES = 0x26,
  CSIDL_COMMON_PROGRAMS = 0x17,
  CSIDL_COMMON_DESKTOPDIRECTORY = 0x19,
};

// SHGetFolderPath: false when the folder is unknown.
bool getFolderPath(int csidl, std::string& path);

// GetTempPath: the temporary folder with a trailing backslash; false on failure.
bool getTempPath(std::string& path);

// GetSystemDirectory, without trailing separator.
std::string systemDirectory();

// Environment value of the machine (ProgramFiles, ...); empty when unset.
std::string environmentValue(const std::string& name);

// ShellExecute: above 32 is success; otherwise a classic shell error code.
long shellExecute(const std::string& verb, const std::string& file,
                  const std::string& parameters, const std::string& directory);

}  // namespace platform::shell
