// Registry and installer look-ups of the emulated machine beside a plain in-memory map, in
// the same run: 10,000 value reads and 1,000 product look-ups on a machine holding 2,000
// uninstall keys and 1,000 products. Prints the time per look-up and the ratio (target:
// within 10 times the map), and checks that a write by another process is seen by the very
// next read.
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/msi.h"
#include "platform/registry.h"
#include "platform/win_types.h"

using namespace platform;
using registry::Hive;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKeys = 2000, kProducts = 1000, kReads = 10000, kLookups = 1000, kRuns = 7;
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string guid(int i, int salt) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-4ABC-9DEF-%012X}", i * 2654435761u, salt, i);
  return text;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The callers' spelling varies in case; both sides get the same texts.
std::string spelled(const std::string& s, int i) { return i % 2 ? lower(s) : s; }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  char pattern[] = "/tmp/corvanta-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  std::string root = pattern;
  machine::useRoot(root);

  // The machine and the same data in maps, keyed as case-insensitive look-ups need.
  std::map<std::string, std::string> values, productInfo;
  machine::writeStore([&](sqlite3*) {
    for (int i = 0; i < kKeys; ++i) {
      std::string key = kUninstall + guid(i, 1);
      std::string name = "Product " + std::to_string(i);
      registry::setValue(Hive::LocalMachine, key, "DisplayName", registry::Value::string(name));
      registry::setValue(Hive::LocalMachine, key, "DisplayVersion", registry::Value::string("1.0"));
      registry::setValue(Hive::LocalMachine, key, "UninstallString",
                         registry::Value::string("\"C:\\P\\" + name + "\\uninst.exe\" /S"));
      values[lower("0" + key + "\\DisplayName")] = name;
    }
    for (int i = 0; i < kProducts; ++i) {
      machine::Product p;
      p.code = guid(i, 2);
      p.properties["InstalledProductName"] = "Package " + std::to_string(i);
      p.properties["VersionString"] = "2." + std::to_string(i);
      machine::registerProduct(p);
      productInfo[lower(p.code) + "\x1fVersionString"] = p.properties["VersionString"];
    }
  });
  std::vector<std::string> keys, codes;
  for (int i = 0; i < kKeys; ++i) keys.push_back(kUninstall + guid(i, 1));
  for (int i = 0; i < kProducts; ++i) codes.push_back(guid(i, 2));
  // The wizard finds a machine that other processes prepared: open it afresh.
  machine::useRoot(root);
  std::this_thread::sleep_for(std::chrono::seconds(3));  // let freed memory settle

  size_t sink = 0;
  auto time = [](auto&& body) {
    auto start = Clock::now();
    body();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
  };
  std::vector<double> regOurs, regMap, msiOurs, msiMap, regCold;
  for (int run = 0; run < kRuns; ++run) {
    // A write first: every run starts with answers that must be read again.
    registry::setValue(Hive::CurrentUser, "Software\\Bench", "Run", registry::Value::dword(run));
    regCold.push_back(time([&] {
      for (int i = 0; i < kKeys; ++i) {
        auto v = registry::readString(Hive::LocalMachine, keys[i], "DisplayName", 1024);
        sink += v ? v->size() : 0;
      }
    }) / kKeys);
    regOurs.push_back(time([&] {
      for (int i = 0; i < kReads; ++i) {
        auto v = registry::readString(Hive::LocalMachine, spelled(keys[i % kKeys], i),
                                      spelled("DisplayName", i), 1024);
        sink += v ? v->size() : 0;
      }
    }) / kReads);
    regMap.push_back(time([&] {
      for (int i = 0; i < kReads; ++i) {
        std::string k = lower("0" + spelled(keys[i % kKeys], i) + "\\" + spelled("DisplayName", i));
        auto it = values.find(k);
        if (it != values.end() && it->second.size() + 1 <= 1024) sink += it->second.size();
      }
    }) / kReads);
    msiOurs.push_back(time([&] {
      for (int i = 0; i < kLookups; ++i) {
        std::string version;
        if (msi::getProductInfoEx(spelled(codes[i % kProducts], i), msi::MSIINSTALLCONTEXT_MACHINE,
                                  "VersionString", version, 1024) == win::ERROR_SUCCESS)
          sink += version.size();
      }
    }) / kLookups);
    msiMap.push_back(time([&] {
      for (int i = 0; i < kLookups; ++i) {
        auto it = productInfo.find(lower(spelled(codes[i % kProducts], i)) + "\x1fVersionString");
        if (it != productInfo.end()) sink += it->second.size();
      }
    }) / kLookups);
  }

  // Another process writes; the next read here must see it.
  const std::string probeKey = keys[7];
  registry::readString(Hive::LocalMachine, probeKey, "DisplayName", 1024);
  pid_t pid = fork();
  if (pid == 0) {
    registry::setValue(Hive::LocalMachine, probeKey, "DisplayName", registry::Value::string("changed"));
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  bool fresh = registry::readString(Hive::LocalMachine, probeKey, "DisplayName", 1024).value_or("") ==
               "changed";

  double r = median(regOurs), rm = median(regMap), m = median(msiOurs), mm = median(msiMap);
  std::printf("machine: %d uninstall keys, %d products; median of %d runs (sink %zu)\n", kKeys,
              kProducts, kRuns, sink);
  std::printf("registry value read:   %8.0f ns   map %6.0f ns   ratio %5.1f   (first read after a "
              "write %0.f ns)\n", r, rm, r / rm, median(regCold));
  std::printf("installer look-up:     %8.0f ns   map %6.0f ns   ratio %5.1f\n", m, mm, m / mm);
  std::printf("write by another process seen by the next read: %s\n", fresh ? "yes" : "NO");
  std::printf("target: ratio within 10: %s\n", r / rm <= 10 && m / mm <= 10 && fresh ? "met" : "missed");

  std::error_code ec;
  if (!std::getenv("KEEP_BENCH_MACHINE")) std::filesystem::remove_all(root, ec);
  else std::printf("machine kept at %s\n", root.c_str());
  return 0;
}
