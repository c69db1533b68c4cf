#include "tests/support/temp_machine.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "platform/machine.h"

namespace fs = std::filesystem;

namespace {

// Read-only entries (the tests make some) must not stop the clean-up.
void makeWritable(const fs::path& top) {
  std::error_code ec;
  fs::permissions(top, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto it = fs::recursive_directory_iterator(top, fs::directory_options::skip_permission_denied, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (!it->is_symlink())
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
}

}  // namespace

TempMachine::TempMachine(const std::string& osProfile) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/corvanta-machine-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) throw std::runtime_error("TempMachine: mkdtemp failed for " + pattern);
  root_ = buffer.data();
  platform::machine::useRoot(root_, osProfile);
  // Whatever a test starts (the wizard's own upgrade check included) stays on this machine:
  // without a server of its own the download address is a closed local port.
  const char* base = std::getenv("CORVANTA_BASE_URL");
  if (!base || !*base) setenv("CORVANTA_BASE_URL", "http://127.0.0.1:9/", 1);
}

TempMachine::~TempMachine() {
  std::error_code ec;
  makeWritable(root_);
  fs::remove_all(root_, ec);
}

std::string TempMachine::host(const std::string& windowsPath) const {
  return platform::machine::toHost(windowsPath);
}

std::string toolsPath(const char* name) { return std::string(CORVANTA_TOOLS_DIR) + "/" + name; }

void putToolsOnPath() {
  std::string tools = CORVANTA_TOOLS_DIR;
  const char* path = std::getenv("PATH");
  std::string current = path ? path : "";
  // Once is enough; tests call this from every fixture.
  if (current.compare(0, tools.size() + 1, tools + ":") == 0 || current == tools) return;
  std::string updated = tools + (current.empty() ? "" : ":" + current);
  setenv("PATH", updated.c_str(), 1);
}

bool applyDemoState(const TempMachine& machine, const std::string& state) {
  std::string root = __FILE__;  // <root>/tests/support/temp_machine.cpp
  for (int i = 0; i < 3; ++i) root = root.substr(0, root.find_last_of('/'));
  putToolsOnPath();
  std::string command = "bash '" + root + "/tools/demo-state.sh' --machine '" + machine.root() +
                        "' --repository '" + CORVANTA_DEMO_REPO + "' " + state + " >/dev/null";
  return std::system(command.c_str()) == 0;
}
