// The stand-in system programs of a machine: small scripts in drive C that hand their
// command line to corvanta-machine, which does what the Windows program would.
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/linux/machine_store.h"
#include "platform/machine.h"

namespace platform::machine {

namespace {

std::string selfFolder() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  std::string path(buffer, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/'));
}

// corvanta-machine beside the running program, in its tools folder or in the tools folder
// next to it (the build's layout); the plain name when none is there.
std::string toolGuess() {
  std::string folder = selfFolder();
  for (const char* candidate : {"/corvanta-machine", "/tools/corvanta-machine",
                                "/../tools/corvanta-machine"}) {
    std::string path = folder + candidate;
    char real[PATH_MAX];
    if (!folder.empty() && access(path.c_str(), X_OK) == 0 && realpath(path.c_str(), real))
      return real;
  }
  return "corvanta-machine";
}

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string script(const std::string& program, const std::string& verb) {
  return "#!/bin/sh\n"
         "# " + program + " of the emulated machine: corvanta-machine does its work.\n"
         "tool=$(command -v corvanta-machine 2>/dev/null) || tool=" + shellQuote(toolGuess()) + "\n"
         "exec \"$tool\" " + verb + " \"$@\"\n";
}

}  // namespace

void installStandIns() {
  std::string c = rootPath() + "/drive_c";
  struct Program {
    const char* path;
    const char* verb;
  };
  const Program programs[] = {{"windows/system32/msiexec.exe", "msiexec"},
                              {"windows/system32/regsvr32.exe", "regsvr32"},
                              {"windows/system32/rundll32.exe", "rundll32"},
                              {"windows/explorer.exe", "explorer"}};
  for (const Program& p : programs) {
    std::string path = c + "/" + p.path;
    struct stat st;
    // A test or a tool may have put its own program there: it stays.
    if (lstat(path.c_str(), &st) == 0) continue;
    std::string name = path.substr(path.rfind('/') + 1);
    std::string text = script(name, p.verb);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
      chmod(path.c_str(), 0755);
    }
  }
}

}  // namespace platform::machine
