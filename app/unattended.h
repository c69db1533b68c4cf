#pragma once
// The installer without its window: list, install, remove, repair and report the
// components of every page from a command line, for scripts that set up many stations
// alike. Progress goes to err, results to out.
#include <iosfwd>
#include <string>
#include <vector>

// Exit codes of the unattended mode.
enum UnattendedExit : int {
  kExitDone = 0,        // everything asked for succeeded; stations match
  kExitFailed = 1,      // something failed
  kExitBadArguments = 2,
  kExitStationsDiffer = 3,
};

// True when the command line (without the program name) asks for the unattended mode.
bool isUnattendedCommandLine(const std::vector<std::string>& args);

// Runs it on the machine and with the download server the application was started for.
int runUnattended(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The usage text.
std::string unattendedUsage();
