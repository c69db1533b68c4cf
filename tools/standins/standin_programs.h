#pragma once
// The stand-in system programs of the emulated machine. The scripts in drive C
// (msiexec.exe, regsvr32.exe, rundll32.exe, explorer.exe) hand their arguments to
// corvanta-machine, which runs these. Each returns the program's exit code and writes its
// messages to out and err.
#include <ostream>
#include <string>
#include <vector>

namespace standins {

// msiexec /i PACKAGE | /x PRODUCTCODE|PACKAGE, with /passive, /quiet, /qn, /norestart,
// /l*v LOG and PROPERTY=VALUE accepted and ignored.
int msiexec(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// regsvr32 [/u] [/s] [/n] [/i[:CMDLINE]] CONTROL
int regsvr32(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// rundll32 DLL,ENTRY [ARGUMENTS]
int rundll32(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// explorer [PATH]: opens the file, folder, shortcut or URL through the machine's shell.
int explorer(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

extern const char* const kHelp;

}  // namespace standins
