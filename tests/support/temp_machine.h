#pragma once
// A fresh emulated machine per test: a temporary folder made the machine of this process,
// removed with everything in it when the object goes.
#include <string>

class TempMachine {
 public:
  explicit TempMachine(const std::string& osProfile = "win7-sp1-x64");
  ~TempMachine();
  TempMachine(const TempMachine&) = delete;
  TempMachine& operator=(const TempMachine&) = delete;

  // The machine root (host path).
  const std::string& root() const { return root_; }
  // The host path of a Windows path in this machine.
  std::string host(const std::string& windowsPath) const;

 private:
  std::string root_;
};

// CORVANTA_TOOLS_DIR "/" name: the build's tools (corvanta-machine, ...).
std::string toolsPath(const char* name);

// Puts the build's tools first on PATH, so stand-ins find corvanta-machine.
void putToolsOnPath();

// Puts the machine into a state of tools/demo-state.sh (from the built demo repository);
// false when the script fails.
bool applyDemoState(const TempMachine& machine, const std::string& state);
