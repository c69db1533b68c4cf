#pragma once
// Process port: start a program from a Windows command line without a shell, wait for it,
// and list the running processes.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace platform::process {

class Process {
 public:
  virtual ~Process() = default;
  // Waits up to timeoutMs (negative: no limit); true when the process has ended.
  virtual bool wait(int timeoutMs) = 0;
  virtual unsigned long exitCode() const = 0;
  virtual unsigned long id() const = 0;
};

// CreateProcess: program is a Windows path; commandLine is the whole Windows command line
// (as the program receives it, program name position included), split by the Windows
// rules. nullptr when the program cannot be started.
std::unique_ptr<Process> start(const std::string& program, const std::string& commandLine,
                               const std::string& workingFolder = "");

// Starts and waits until it ends or cancel becomes true (polled every 50 ms). Returns
// false when it could not be started or the wait was cancelled.
bool startAndWait(const std::string& program, const std::string& commandLine,
                  unsigned long* exitCode = nullptr, const std::atomic<bool>* cancel = nullptr);

struct ProcessInfo {
  unsigned long id = 0;
  std::string baseName;    // GetModuleBaseName of the first module
  std::string modulePath;  // GetModuleFileNameEx of the first module (Windows path where
                           // the program lives in the machine)
};

// EnumProcesses with the first module of each process that can be opened.
std::vector<ProcessInfo> list();

// GetModuleFileName(NULL): full path of the running executable; empty when unavailable.
std::string currentModulePath();

// Whether any running process has modulePath as its module path (case-insensitive).
bool isProcessRunning(const std::string& modulePath);

}  // namespace platform::process
