#pragma once
// The operation log: one readable line per transfer, started program and change made to
// the machine, in "CorvantaInstaller.log" beside the installer, so a person can tell
// afterwards what happened on a station. Only the installer opens it; tools and stand-in
// programs that share the platform code never write one.
#include <cstdint>
#include <string>

namespace platform {

// The file name in the application folder, and the one older file it rolls over into.
constexpr const char* kOperationLogName = "CorvantaInstaller.log";
constexpr const char* kOperationLogOldName = "CorvantaInstaller.log.old";
// Past this size the log rolls over (see operation_log.cpp).
constexpr uint64_t kOperationLogLimit = 1024 * 1024;

// Opens (appends to) the log in folder, a Windows or host path. False when the file cannot
// be opened; the log then stays closed. A log already open is closed first.
bool openOperationLog(const std::string& folder, uint64_t limit = kOperationLogLimit);
void closeOperationLog();
// Whether lines are being written: callers skip building a line that would be dropped.
bool operationLogOpen();

// Writes line with the local time in front; thread-safe, and a no-op while the log is
// closed. Line breaks and other control characters in line are escaped, so one call is
// always one line of the file.
void logOperation(const std::string& line);

}  // namespace platform
