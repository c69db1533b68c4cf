#pragma once
// The machine store: machine.db in the machine root, shared by every process that uses the
// machine (the wizard, stand-in installers through corvanta-machine, tests). Internal to the
// Linux backend and its tools; the system itself only sees the ports.
#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::machine {

// The machine cannot be used: its store is corrupt or foreign, its root cannot be created,
// or an OS profile is unknown. The text names the file or folder concerned.
class MachineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A prepared statement with the few bindings and columns the backend needs.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& bind(int index, const std::string& text);
  Statement& bind(int index, int64_t number);
  Statement& bindBlob(int index, const std::string& bytes);
  // true while a row is available; throws MachineError on failure.
  bool step();
  void run() { while (step()) {} }
  std::string text(int column) const;
  int64_t number(int column) const;
  bool isNull(int column) const;

 private:
  void prepare(const char* sql);
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  bool* cached_ = nullptr;  // the in-use flag of a kept statement
};

// Runs fn inside a read snapshot of the store of the current machine. Serialised within the
// process; other processes may read and write meanwhile.
void readStore(const std::function<void(sqlite3*)>& fn);
// Runs fn inside a write transaction (BEGIN IMMEDIATE, retried while another process holds
// the write lock); rolled back when fn throws.
void writeStore(const std::function<void(sqlite3*)>& fn);

// A read answered from this process's memory when the same key was read since the last
// write to the store by any process; otherwise fn runs in a read snapshot and its answer is
// kept. key must name the read exactly (lower-cased where the store ignores case). fn reads
// with one statement (which is its own snapshot). Inside a transaction fn always runs.
std::string cachedRead(const std::string& key, const std::function<std::string(sqlite3*)>& fn);

// The root of the machine in use, created with its folders when missing; never opens the
// store (path mapping needs no database).
std::string rootPath();

// System information of the OS profile (MajorVersion, BuildNumber, ProcessorArchitecture,
// MsiVersion, UserName, ...).
std::optional<std::string> systemInfo(const std::string& name);
void setSystemInfo(const std::string& name, const std::string& value);

// Replaces the system information (and the registry values that follow from it) with those
// of a known OS profile; MachineError for an unknown name.
void applyProfile(const std::string& profile);
std::vector<std::string> profileNames();

// Whether the OS profile is 64-bit (the wizard then runs as a 32-bit process under WOW64).
bool is64BitProfile();
std::string userName();

// Shell events (an open through the shell): recorded so tests and tools can see them.
struct ShellEvent {
  std::string verb, file, parameters, directory;
};
void recordShellEvent(const ShellEvent& event);
std::vector<ShellEvent> shellEvents();

// File versions of the machine's files (the version resources the emulation answers for),
// keyed by Windows path without regard to case.
void setFileVersion(const std::string& windowsPath, const std::string& version);
std::optional<std::string> fileVersion(const std::string& windowsPath);
// The private-build text of a file's version resource; a file without one has no
// private-build flag. Setting nullopt clears it.
void setFilePrivateBuild(const std::string& windowsPath, const std::optional<std::string>& text);
std::optional<std::string> filePrivateBuild(const std::string& windowsPath);

}  // namespace platform::machine
