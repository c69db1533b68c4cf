// Download benchmark: one large file from the local demo server, fetched by our download
// runner and by `curl -s -o` to the same disk in the same run. Prints the median times,
// throughputs and their ratio, and the peak memory of a process doing only our download
// against an idle run of the same process (a download of a tiny file).
//
//   download_bench [--dir DIR] [--runs N] [--size-mib N] [--settle-ms N]
//
// The work folder (default $TMPDIR or /tmp) gets a temporary sub-folder that is removed at
// the end. Outputs of finished runs are moved aside and deleted only at the very end, and
// every timed run starts after dirty pages have been written and the machine has settled.
// It never fails a build: the exit status is 0 unless the benchmark itself cannot run.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/internet.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "tools/demo_server.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---- the child: one download and nothing else ----

// Records when the worker's notices arrive: 100 (answer read, file open), the last 101
// (about the end of the body) and 102 (file closed and moved into place).
class TimedRunner : public DDownloadAndInstallComponent {
 public:
  using DDownloadAndInstallComponent::DDownloadAndInstallComponent;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    if (msg == WM_RUNNER_NOTIFY && wParam == kStarted) started = Clock::now();
    if (msg == WM_RUNNER_NOTIFY && wParam == kProgress) lastProgress = Clock::now();
    if (msg == WM_RUNNER_NOTIFY && wParam == kDownloaded) finished = Clock::now();
    return DDownloadAndInstallComponent::onMessage(msg, wParam, lParam);
  }
  Clock::time_point started, lastProgress, finished;
};

// The download runner as the wizard uses it (download only, errors shown).
int childRunner(const std::string& url, const std::string& folder, const std::string& file) {
  ui::ScriptedUi ui;
  ui::setBackend(&ui);
  DownloadItem entry{"Benchmark", url, file, " ", folder, false};
  int code = 0;
  double total = 0, toStart = 0, toBody = 0, toDone = 0;
  {
    TimedRunner runner(1, 1, entry, true, true, true);
    auto begin = Clock::now();
    code = runner.doModal();
    total = secondsSince(begin);
    toStart = std::chrono::duration<double>(runner.started - begin).count();
    if (runner.lastProgress < runner.started) runner.lastProgress = runner.started;
    toBody = std::chrono::duration<double>(runner.lastProgress - begin).count();
    toDone = std::chrono::duration<double>(runner.finished - begin).count();
  }
  for (const auto& m : ui.messages()) std::fprintf(stderr, "message: %s\n", m.text.c_str());
  ui::setBackend(nullptr);
  if (code != win::IDOK) return 1;
  std::printf("%.6f %.6f %.6f %.6f\n", total, toStart, toBody, toDone);
  return 0;
}

// The HTTP port alone, in the runner's block size, without the dialog and the final move:
// shows what the port costs and what the rest of the runner adds.
int childPort(const std::string& url, const std::string& path) {
  namespace net = platform::internet;
  auto begin = Clock::now();
  try {
    net::ParsedUrl parsed;
    if (!net::parseUrl(url, parsed)) return 1;
    net::Session session("Internet Session");
    auto request = session.openRequest(parsed.server, parsed.port, parsed.object);
    if (request->send() != 200) return 1;
    auto out = platform::files::OutputFile::create(path);
    if (!out) return 1;
    std::vector<char> buffer(102401);
    while (size_t got = request->read(buffer.data(), buffer.size()))
      if (!out->write(buffer.data(), got)) return 1;
    if (!out->close()) return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "port: %s\n", e.what());
    return 1;
  }
  std::printf("%.6f 0 0 0\n", secondsSince(begin));
  return 0;
}

// ---- the parent ----

struct Outcome {
  bool ok = false;
  double wall = 0;       // the whole process, start to end
  long maxRssKiB = 0;    // getrusage of the child
  std::string output;    // its standard output
};

Outcome runProcess(const std::vector<std::string>& args) {
  Outcome outcome;
  int pipes[2];
  if (pipe(pipes) != 0) return outcome;
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  auto begin = Clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipes[1], 1);
    close(pipes[0]);
    close(pipes[1]);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(pipes[1]);
  if (pid < 0) {
    close(pipes[0]);
    return outcome;
  }
  char buffer[512];
  ssize_t n;
  while ((n = read(pipes[0], buffer, sizeof buffer)) > 0) outcome.output.append(buffer, n);
  close(pipes[0]);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  outcome.wall = secondsSince(begin);
  outcome.maxRssKiB = usage.ru_maxrss;
  outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return outcome;
}

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Real bytes from a fixed seed: a sparse or constant file would flatter the disk.
bool writeRandomFile(const std::string& path, uint64_t size) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  std::vector<uint64_t> block(1 << 17);  // 1 MiB
  uint64_t state = 0x9E3779B97F4A7C15ull;
  uint64_t left = size;
  while (left > 0) {
    for (auto& word : block) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    size_t chunk = static_cast<size_t>(std::min<uint64_t>(left, block.size() * 8));
    if (write(fd, block.data(), chunk) != static_cast<ssize_t>(chunk)) {
      close(fd);
      return false;
    }
    left -= chunk;
  }
  return close(fd) == 0;
}

uint64_t sizeOf(const std::string& path) {
  std::error_code error;
  auto size = fs::file_size(path, error);
  return error ? 0 : size;
}

class Bench {
 public:
  Bench(std::string self, std::string work, int settleMs)
      : self_(std::move(self)), work_(std::move(work)), settleMs_(settleMs) {}

  // Moves a finished output out of the way; deleted with the work folder at the end.
  void setAside(const std::string& path) {
    if (!fs::exists(path)) return;
    std::error_code error;
    fs::rename(path, work_ + "/aside/" + std::to_string(asideCount_++), error);
  }

  // Dirty pages written, then a pause so freed memory has gone back before timing.
  void settle() const {
    sync();
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs_));
  }

  // Our downloads land in C:\ours of the children's machine, which lives in the work
  // folder: the same disk as curl's output.
  std::string oursPath(const std::string& file) const {
    return work_ + "/machine/drive_c/ours/" + file;
  }

  std::optional<Outcome> ours(const std::string& url, const std::string& file) {
    setAside(oursPath(file));
    settle();
    Outcome o = runProcess({self_, "--child-runner", url, "C:\\ours", file});
    if (!o.ok) return std::nullopt;
    return o;
  }

  std::optional<Outcome> port(const std::string& url) {
    std::string out = work_ + "/port.bin";
    setAside(out);
    settle();
    Outcome o = runProcess({self_, "--child-port", url, out});
    if (!o.ok) return std::nullopt;
    return o;
  }

  std::optional<Outcome> curl(const std::string& url) {
    std::string out = work_ + "/curl.bin";
    setAside(out);
    settle();
    Outcome o = runProcess({"curl", "-s", "-o", out, url});
    if (!o.ok) return std::nullopt;
    return o;
  }

 private:
  std::string self_, work_;
  int settleMs_;
  int asideCount_ = 0;
};

std::vector<double> column(const std::string& output) {
  std::vector<double> values;
  double a = 0, b = 0, c = 0, d = 0;
  if (std::sscanf(output.c_str(), "%lf %lf %lf %lf", &a, &b, &c, &d) == 4) values = {a, b, c, d};
  return values;
}

bool haveCurl() {
  Outcome o = runProcess({"curl", "--version"});
  return o.ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--child-runner") == 0)
    return childRunner(argv[2], argv[3], argv[4]);
  if (argc == 4 && std::strcmp(argv[1], "--child-port") == 0) return childPort(argv[2], argv[3]);

  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp && *tmp ? tmp : "/tmp";
  int runs = 5;
  uint64_t sizeMiB = 512;
  int settleMs = 3000;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--dir" && i + 1 < argc) base = argv[++i];
    else if (arg == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--size-mib" && i + 1 < argc) sizeMiB = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--settle-ms" && i + 1 < argc) settleMs = std::max(0, std::atoi(argv[++i]));
    else {
      std::fprintf(stderr,
                   "usage: download_bench [--dir DIR] [--runs N] [--size-mib N] "
                   "[--settle-ms N]\n");
      return 2;
    }
  }

  std::string pattern = base + "/corvanta-download-bench-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!mkdtemp(name.data())) {
    std::fprintf(stderr, "download_bench: cannot create a folder in %s\n", base.c_str());
    return 1;
  }
  const std::string work = name.data();
  for (const char* sub : {"serve", "aside", "machine"}) fs::create_directories(work + "/" + sub);
  // Our children run in a machine of their own; 127.0.0.1 never through a proxy.
  setenv("CORVANTA_MACHINE", (work + "/machine").c_str(), 1);
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);

  const uint64_t size = sizeMiB << 20;
  std::printf("download_bench: %llu MiB file, %d runs, work folder %s\n",
              static_cast<unsigned long long>(sizeMiB), runs, work.c_str());
  std::fflush(stdout);
  int status = 0;
  {
    if (!writeRandomFile(work + "/serve/big.bin", size) ||
        !writeRandomFile(work + "/serve/tiny.bin", 1024)) {
      std::fprintf(stderr, "download_bench: cannot write the test files\n");
      fs::remove_all(work);
      return 1;
    }
    DemoServer server(work + "/serve");
    if (!server.start()) {
      std::fprintf(stderr, "download_bench: the demo server did not start\n");
      fs::remove_all(work);
      return 1;
    }
    const std::string bigUrl = server.baseUrl() + "big.bin";
    const std::string tinyUrl = server.baseUrl() + "tiny.bin";
    Bench bench(argv[0][0] == '/' ? argv[0] : fs::absolute(argv[0]).string(), work, settleMs);
    const bool curl = haveCurl();
    if (!curl) std::printf("curl not found: our figures only\n");

    // The idle run also prepares the machine, so no timed run pays for that.
    std::vector<long> idleRss;
    std::vector<double> oursTotal, oursWorker, oursWall, oursStart, oursBody, oursMove, oursClose, curlWall,
        portWall;
    std::vector<long> oursRss, curlRss;
    bool failed = false;
    for (int run = 0; run < runs && !failed; ++run) {
      auto idle = bench.ours(tinyUrl, "tiny.bin");
      if (!idle) {
        std::fprintf(stderr, "the idle run failed\n");
        failed = true;
        break;
      }
      idleRss.push_back(idle->maxRssKiB);
      // Alternate the order so neither tool always runs on a fresher disk.
      for (int turn = 0; turn < 2; ++turn) {
        bool oursTurn = (run + turn) % 2 == 0;
        if (oursTurn) {
          auto o = bench.ours(bigUrl, "big.bin");
          auto figures = o ? column(o->output) : std::vector<double>{};
          if (figures.size() != 4 || sizeOf(bench.oursPath("big.bin")) != size) {
            std::fprintf(stderr, "our download failed (%s)\n", o ? o->output.c_str() : "no run");
            failed = true;
            break;
          }
          oursTotal.push_back(figures[0]);
          oursWorker.push_back(figures[3]);
          oursStart.push_back(figures[1]);
          oursBody.push_back(figures[2] - figures[1]);
          oursMove.push_back(figures[3] - figures[2]);
          oursClose.push_back(figures[0] - figures[3]);
          oursWall.push_back(o->wall);
          oursRss.push_back(o->maxRssKiB);
        } else if (curl) {
          auto o = bench.curl(bigUrl);
          if (!o || sizeOf(work + "/curl.bin") != size) {
            std::fprintf(stderr, "curl failed\n");
            failed = true;
            break;
          }
          curlWall.push_back(o->wall);
          curlRss.push_back(o->maxRssKiB);
        }
      }
      if (!failed && run < 3) {
        auto p = bench.port(bigUrl);
        auto figures = p ? column(p->output) : std::vector<double>{};
        if (figures.size() == 4 && sizeOf(work + "/port.bin") == size) portWall.push_back(figures[0]);
      }
      std::printf("run %d: ours %.3f s (file in place %.3f s), curl %.3f s\n", run + 1,
                  oursTotal.empty() ? 0 : oursTotal.back(),
                  oursWorker.empty() ? 0 : oursWorker.back(), curlWall.empty() ? 0 : curlWall.back());
      std::fflush(stdout);
    }
    server.stop();

    if (failed || oursTotal.empty()) {
      std::printf("download_bench: a run failed; no figures\n");
      status = 1;
    } else {
      const double mib = static_cast<double>(size) / (1 << 20);
      auto rate = [mib](double seconds) { return seconds > 0 ? mib / seconds : 0; };
      auto medianLong = [](const std::vector<long>& v) {
        std::vector<double> d(v.begin(), v.end());
        return median(d);
      };
      double ours = median(oursTotal), oursProcess = median(oursWall);
      double worker = median(oursWorker);
      std::printf("\nmedians of %zu runs (%.0f MiB):\n", oursTotal.size(), mib);
      std::printf("  ours, file in place     %7.3f s  %8.1f MiB/s\n", worker, rate(worker));
      std::printf("  ours, dialog run        %7.3f s  %8.1f MiB/s\n", ours, rate(ours));
      std::printf("    answer and file open  %7.3f s\n", median(oursStart));
      std::printf("    body                  %7.3f s\n", median(oursBody));
      std::printf("    close and move        %7.3f s\n", median(oursMove));
      std::printf("    closing the dialog    %7.3f s  (the completion line stays 100 ms)\n",
                  median(oursClose));
      std::printf("  ours, whole process     %7.3f s  %8.1f MiB/s\n", oursProcess,
                  rate(oursProcess));
      if (!portWall.empty())
        std::printf("  HTTP port alone         %7.3f s  %8.1f MiB/s  (%zu runs)\n",
                    median(portWall), rate(median(portWall)), portWall.size());
      if (!curlWall.empty()) {
        double c = median(curlWall);
        std::printf("  curl -s -o, process     %7.3f s  %8.1f MiB/s\n", c, rate(c));
        std::printf("  throughput ours/curl: file in place %.3f, dialog run %.3f, whole process "
                    "%.3f (target >= 0.9)\n",
                    rate(worker) / rate(c), rate(ours) / rate(c), rate(oursProcess) / rate(c));
      }
      double rss = medianLong(oursRss), idle = medianLong(idleRss);
      std::printf("peak memory (max RSS): download %.1f MiB, idle run %.1f MiB, difference "
                  "%.1f MiB (target <= 16)\n",
                  rss / 1024, idle / 1024, (rss - idle) / 1024);
      if (!curlRss.empty())
        std::printf("  curl for comparison: %.1f MiB\n", medianLong(curlRss) / 1024);
    }
  }
  std::error_code error;
  fs::remove_all(work, error);
  return status == 0 ? 0 : 1;
}
