#pragma once
// Shell and system folders port.
#include <memory>
#include <string>

#include "platform/process.h"

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

// ShellExecute results of failure (a result above 32 means success).
constexpr long SE_ERR_OOM = 0;  // the system is out of memory or resources
constexpr long SE_ERR_FNF = 2;
constexpr long SE_ERR_PNF = 3;
constexpr long SE_ERR_ACCESSDENIED = 5;
constexpr long SE_ERR_OUTOFMEMORY = 8;
constexpr long SE_ERR_BAD_FORMAT = 11;
constexpr long SE_ERR_SHARE = 26;
constexpr long SE_ERR_ASSOCINCOMPLETE = 27;
constexpr long SE_ERR_DDETIMEOUT = 28;
constexpr long SE_ERR_DDEFAIL = 29;
constexpr long SE_ERR_DDEBUSY = 30;
constexpr long SE_ERR_NOASSOC = 31;
constexpr long SE_ERR_DLLNOTFOUND = 32;

// ShellExecute (no owner, SW_SHOW): above 32 is success; otherwise a classic shell error
// code. A program (a bare name is looked for in the system and Windows folders) is started
// with parameters as its command line, not waited for; a shell link starts its target with
// the link's arguments; a document, folder or URL is opened by the machine's desktop.
long shellExecute(const std::string& verb, const std::string& file,
                  const std::string& parameters, const std::string& directory);

// ShellExecuteEx with SEE_MASK_NOCLOSEPROCESS: result as for shellExecute; the started
// process when a program was started (nullptr for an open that starts none, or a failure).
std::unique_ptr<process::Process> shellExecuteEx(const std::string& verb,
                                                 const std::string& file,
                                                 const std::string& parameters,
                                                 const std::string& directory, long& result);

}  // namespace platform::shell
