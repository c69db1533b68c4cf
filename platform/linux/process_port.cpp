// Process port: Windows programs are host files of the machine, started without a shell.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "platform/debug.h"
#include "platform/linux/command_line.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/port_backends.h"

extern char** environ;

namespace platform::process {

// ---- command lines ----

std::vector<std::string> splitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  const size_t n = line.size();
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  if (n == 0) return words;
  // The program name: quotes group, backslashes are plain characters. A line that starts
  // with a blank has an empty program name, and its first word is an argument: installers
  // are started with " /quiet"-style command lines that rely on it.
  std::string program;
  if (line[i] == '"') {
    ++i;
    while (i < n && line[i] != '"') program += line[i++];
    if (i < n) ++i;
  } else {
    while (i < n && !blank(line[i])) program += line[i++];
  }
  words.push_back(program);
  for (;;) {
    while (i < n && blank(line[i])) ++i;
    if (i >= n) break;
    std::string word;
    bool quoted = false;
    while (i < n && (quoted || !blank(line[i]))) {
      if (line[i] == '\\') {
        size_t count = 0;
        while (i < n && line[i] == '\\') {
          ++count;
          ++i;
        }
        if (i < n && line[i] == '"') {
          word.append(count / 2, '\\');
          if (count % 2 == 1) {
            word += '"';
            ++i;
          }
        } else {
          word.append(count, '\\');
        }
      } else if (line[i] == '"') {
        ++i;
        if (quoted && i < n && line[i] == '"') {
          word += '"';
          ++i;
        }
        quoted = !quoted;
      } else {
        word += line[i++];
      }
    }
    words.push_back(word);
  }
  return words;
}

std::string quoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  // Backslashes before the closing quote are doubled so that they stay backslashes.
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

namespace {

bool isFile(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool hasExtension(const std::string& name) {
  size_t sep = name.find_last_of("\\/");
  size_t dot = name.rfind('.');
  return dot != std::string::npos && (sep == std::string::npos || dot > sep);
}

std::string baseNameOf(const std::string& path) {
  size_t sep = path.find_last_of("\\/");
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

}  // namespace

std::string findProgram(const std::string& name) {
  if (name.empty()) return "";
  auto tryPath = [](const std::string& windowsPath) -> std::string {
    std::string host = machine::toHost(windowsPath);
    if (isFile(host)) return windowsPath;
    if (!hasExtension(windowsPath) && isFile(machine::toHost(windowsPath + ".exe")))
      return windowsPath + ".exe";
    return "";
  };
  if (name.find_first_of("\\/:") != std::string::npos) return tryPath(name);
  for (const char* folder : {"C:\\windows\\system32\\", "C:\\windows\\"})
    if (std::string found = tryPath(folder + name); !found.empty()) return found;
  // Host programs (the machine's own tools) are found on the host PATH.
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "";
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(':', start);
    if (end == std::string::npos) end = rest.size();
    std::string dir = rest.substr(start, end - start);
    if (!dir.empty() && dir[0] == '/') {
      std::string candidate = dir + "/" + name;
      if (isFile(candidate) && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    start = end + 1;
  }
  return "";
}

// ---- starting and waiting ----

namespace {

constexpr unsigned long STILL_ACTIVE = 259;

class HostProcess : public Process {
 public:
  explicit HostProcess(pid_t pid) : pid_(pid) {}

  ~HostProcess() override {
    if (ended_ || reap(WNOHANG)) return;
    // Still running: a waiting thread reaps it when it ends, so no zombie is left.
    pid_t pid = pid_;
    std::thread([pid] {
      int status;
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    }).detach();
  }

  bool wait(int timeoutMs) override {
    if (ended_) return true;
    if (timeoutMs < 0) return reap(0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::microseconds(500);
    for (;;) {
      if (reap(WNOHANG)) return true;
      auto now = std::chrono::steady_clock::now();
      if (now >= deadline) return false;
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
      pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
  }

  unsigned long exitCode() const override { return ended_ ? exitCode_ : STILL_ACTIVE; }
  unsigned long id() const override { return static_cast<unsigned long>(pid_); }

 private:
  bool reap(int options) {
    int status = 0;
    pid_t r;
    do {
      r = waitpid(pid_, &status, options);
    } while (r < 0 && errno == EINTR);
    if (r == 0) return false;
    ended_ = true;
    if (r < 0) {
      exitCode_ = 1;  // someone else reaped it; its code is lost
    } else if (WIFEXITED(status)) {
      exitCode_ = static_cast<unsigned long>(WEXITSTATUS(status));
    } else {
      exitCode_ = 128 + static_cast<unsigned long>(WTERMSIG(status));
    }
    return true;
  }

  pid_t pid_;
  bool ended_ = false;
  unsigned long exitCode_ = STILL_ACTIVE;
};

// The "#!" line of a script: interpreter and its one optional argument, as the kernel reads it.
bool readInterpreter(const std::string& host, std::vector<std::string>& interpreter) {
  std::ifstream in(host, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line) || line.compare(0, 2, "#!") != 0) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  size_t i = 2;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  size_t end = line.find_first_of(" \t", i);
  std::string program = line.substr(i, end == std::string::npos ? std::string::npos : end - i);
  if (program.empty()) return false;
  interpreter.push_back(program);
  if (end != std::string::npos) {
    size_t a = line.find_first_not_of(" \t", end);
    if (a != std::string::npos) {
      size_t b = line.find_last_not_of(" \t");
      interpreter.push_back(line.substr(a, b - a + 1));
    }
  }
  return true;
}

}  // namespace

std::unique_ptr<Process> backend::start(const std::string& program,
                                        const std::string& commandLine,
                                        const std::string& workingFolder) {
  std::string host = machine::toHost(program);
  if (!isFile(host)) {
    debugOutput("process::start - no such program: " + program + "\n");
    return nullptr;
  }
  std::vector<std::string> argv;
  // Downloads carry no execute bit, so scripts go through their interpreter.
  if (!readInterpreter(host, argv)) {
    if (access(host.c_str(), X_OK) != 0) {
      debugOutput("process::start - not a program: " + program + "\n");
      return nullptr;
    }
  }
  argv.push_back(host);
  std::vector<std::string> words = splitCommandLine(commandLine);
  for (size_t i = 1; i < words.size(); ++i) argv.push_back(words[i]);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Programs the installer starts have no console of their own on Windows: what they print
  // must not mix with the installer's results on its standard output.
  posix_spawn_file_actions_adddup2(&actions, 2, 1);
  if (!workingFolder.empty()) {
    std::string folder = machine::toHost(workingFolder);
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
      posix_spawn_file_actions_destroy(&actions);
      debugOutput("process::start - no such working folder: " + workingFolder + "\n");
      return nullptr;
    }
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  }
  std::vector<char*> args;
  for (std::string& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  // The interpreter named by a script may be a bare name ("#!sh" is rare; env is common).
  pid_t pid = 0;
  int rc = argv[0].find('/') == std::string::npos
               ? posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ)
               : posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    debugOutput("process::start - unable to start " + program + ": " + std::strerror(rc) + "\n");
    return nullptr;
  }
  return std::make_unique<HostProcess>(pid);
}

// ---- the process list ----

namespace {

std::string readLink(const std::string& path) {
  char buffer[PATH_MAX];
  ssize_t n = readlink(path.c_str(), buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  std::string target(buffer, static_cast<size_t>(n));
  const std::string deleted = " (deleted)";
  if (target.size() > deleted.size() &&
      target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0)
    target.resize(target.size() - deleted.size());
  return target;
}

bool isInterpreter(const std::string& exe) {
  std::string name = baseNameOf(exe);
  return name == "sh" || name == "bash" || name == "dash" || name == "perl" || name == "env" ||
         name.compare(0, 6, "python") == 0;
}

// The script an interpreter runs: its first argument that is not an option. Inline code
// (-c, -e, -m) has no script.
std::string scriptOf(const std::string& procDir) {
  std::ifstream in(procDir + "/cmdline", std::ios::binary);
  std::vector<std::string> args;
  std::string arg;
  while (std::getline(in, arg, '\0')) args.push_back(arg);
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-c" || a == "-e" || a == "-m") return "";
    if (a.empty() || a[0] == '-') continue;
    std::string path = a[0] == '/' ? a : readLink(procDir + "/cwd") + "/" + a;
    return isFile(path) ? path : "";
  }
  return "";
}

}  // namespace

namespace {

// A host path below "<root>/drive_<letter>/" of a folder that holds a machine store.
bool inAnotherMachine(const std::string& hostPath) {
  if (hostPath[0] != '/') return false;  // mapped into this machine
  for (size_t at = hostPath.find("/drive_"); at != std::string::npos;
       at = hostPath.find("/drive_", at + 1)) {
    struct stat st;
    if (stat((hostPath.substr(0, at) + "/machine.db").c_str(), &st) == 0) return true;
  }
  return false;
}

}  // namespace

std::vector<ProcessInfo> list() {
  std::vector<ProcessInfo> result;
  DIR* dir = opendir("/proc");
  if (!dir) return result;
  while (dirent* e = readdir(dir)) {
    char* end = nullptr;
    unsigned long pid = std::strtoul(e->d_name, &end, 10);
    if (pid == 0 || *end != '\0') continue;
    std::string procDir = std::string("/proc/") + e->d_name;
    // Processes that cannot be opened (kernel threads, other users) are left out.
    std::string exe = readLink(procDir + "/exe");
    if (exe.empty()) continue;
    std::string module = exe;
    if (isInterpreter(exe))
      if (std::string script = scriptOf(procDir); !script.empty()) module = script;
    ProcessInfo info;
    info.id = pid;
    info.modulePath = machine::toWindows(module);
    // Programs of other machines on the same host are not running on this one.
    if (info.modulePath.empty() || inAnotherMachine(info.modulePath)) continue;
    info.baseName = baseNameOf(info.modulePath);
    result.push_back(std::move(info));
  }
  closedir(dir);
  return result;
}

std::string currentModulePath() { return readLink("/proc/self/exe"); }

bool isProcessRunning(const std::string& modulePath) {
  if (modulePath.empty()) return false;
  // Both the path as given and its spelling in the machine (the stored letter case).
  std::string canonical = machine::toWindows(machine::toHost(modulePath));
  for (const ProcessInfo& p : list()) {
    if (strcasecmp(p.modulePath.c_str(), modulePath.c_str()) == 0 ||
        strcasecmp(p.modulePath.c_str(), canonical.c_str()) == 0)
      return true;
  }
  return false;
}

}  // namespace platform::process
