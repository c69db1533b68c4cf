// Evaluation of every component page's entries on a crowded machine (2,000 uninstall keys,
// 1,000 installer products), beside the same number of plain look-ups in the same run.
//
//   evaluation_bench [runs]
//
// Prints the look-ups one evaluation makes, its median time, the median time of as many
// plain look-ups of each kind, and their ratio (target: at most 1.5; the whole evaluation
// well inside one 60 Hz frame, 16.7 ms). Then the unattended mode's --list on the same
// machine beside the evaluation (target: at most 3 times it).
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/unattended.h"
#include "engine/check_installations.h"
#include "engine/install_manager.h"
#include "engine/lookups.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/msi.h"
#include "platform/registry.h"

namespace reg = platform::registry;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string code(int i) {
  char text[64];
  std::snprintf(text, sizeof text, "{%08X-1111-2222-3333-%012X}", i, i * 7);
  return text;
}

void product(const std::string& c, const std::string& name, const std::string& version) {
  platform::machine::Product p;
  p.code = c;
  p.properties = {{"VersionString", version}, {"InstalledProductName", name}};
  platform::machine::registerProduct(p);
}

void touch(const std::string& windowsPath) {
  std::string host = platform::machine::toHost(windowsPath);
  fs::create_directories(fs::path(host).parent_path());
  std::FILE* f = std::fopen(host.c_str(), "wb");
  if (f) {
    std::fputs("x", f);
    std::fclose(f);
  }
}

// The crowd, and a workstation's worth of the suite so that the state tests run too.
void prepare() {
  for (int i = 0; i < 2000; ++i) {
    std::string key = std::string(kUninstall) + "Vendor Product " + std::to_string(i);
    reg::setValue(reg::Hive::LocalMachine, key, "DisplayName",
                  reg::Value::string("Vendor Product " + std::to_string(i)));
    reg::setValue(reg::Hive::LocalMachine, key, "DisplayVersion", reg::Value::string("1.0." + std::to_string(i)));
  }
  for (int i = 0; i < 1000; ++i) product(code(i), "Product " + std::to_string(i), "1.0");

  const std::string rt = "C:\\Corvanta\\Runtime\\";
  product("{178BFCDD-5495-4FBC-B5FA-173DD2983C35}", "Corvanta Version XI 11.0.0.614 Runtime", "11.0.0.614");
  reg::setValue(reg::Hive::LocalMachine, "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime",
                "InstallPath", reg::Value::string(rt));
  product("{79F081BF-7454-43DB-BD8F-9EE596813232}", "Python 2.7.9", "2.7.9150");
  for (const char* m : {"pywin32-py2.7", "pyserial-py2.7", "numpy-py2.7", "scipy-py2.7", "six-py2.7"})
    reg::setValue(reg::Hive::LocalMachine, std::string(kUninstall) + m, "DisplayName",
                  reg::Value::string(std::string("Python 2.7 ") + m));
  touch(rt + "OpenCV249Py27\\Python\\cv2.pyd");
  touch(rt + "Python\\cv2.pyd");
  touch(rt + "IPP924\\ippcore-7.0.dll");
  touch(rt + "SMCameraClient.dll");
  reg::setValue(reg::Hive::LocalMachine, std::string(kUninstall) + "Speccy", "DisplayVersion",
                reg::Value::string("1.25"));
  product("{E15958CD-D2FC-47ED-AE1A-57C9FEC1DC84}", "AVT Universal", "2.2.0");
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// One page per ten catalogue names, as the wizard's pages hold them.
struct Pages {
  std::vector<std::string> strings;
  std::vector<std::unique_ptr<mxInstallManagerBase>> managers;

  Pages() {
    auto names = mxCheckInstallations::catalogueNames();
    strings.resize(names.size() * 3);
    for (size_t first = 0; first < names.size(); first += 10) {
      std::vector<ComponentEntry> entries;
      for (size_t i = first; i < std::min(names.size(), first + 10); ++i)
        entries.emplace_back(names[i].c_str(), "", "", "", "", false, false, &strings[i * 3],
                             &strings[i * 3 + 1], &strings[i * 3 + 2], "");
      std::vector<ComponentEntry*> raw;
      for (auto& e : entries) raw.push_back(&e);
      auto manager = std::make_unique<mxInstallManagerBase>();
      manager->setComponents(static_cast<unsigned>(raw.size()), raw.data());
      managers.push_back(std::move(manager));
    }
  }

  void evaluate() {
    for (auto& m : managers) m->updateComponentStates(0, static_cast<int>(m->count()) - 1);
  }
};

// As many plain look-ups of each kind as the evaluation made, straight on the ports.
void plainLookups(const lookups::Counts& n) {
  std::string value;
  for (unsigned long i = 0; i < n.registry; ++i)
    reg::readString(reg::Hive::LocalMachine,
                    std::string(kUninstall) + "Vendor Product " + std::to_string(i % 2000),
                    "DisplayVersion", 4096);
  for (unsigned long i = 0; i < n.installer; ++i)
    platform::msi::getProductInfoEx(code(static_cast<int>(i % 1000)),
                                    platform::msi::MSIINSTALLCONTEXT_MACHINE, "VersionString",
                                    value, 64);
  for (unsigned long i = 0; i < n.enumerations; ++i) platform::msi::enumProducts(static_cast<unsigned>(i), value);
  for (unsigned long i = 0; i < n.files; ++i)
    platform::files::find("C:\\Corvanta\\Runtime\\IPP924\\ippcore-7.0.dll");
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  char pattern[] = "/tmp/corvanta-evalbench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  std::string root = pattern;
  platform::machine::useRoot(root);
  std::printf("preparing the machine (2000 uninstall keys, 1000 products)...\n");
  prepare();
  Pages pages;
  std::printf("entries: %zu on %zu pages\n", mxCheckInstallations::catalogueNames().size(),
              pages.managers.size());
  pages.evaluate();  // warm the store's caches
  std::this_thread::sleep_for(std::chrono::seconds(3));

  lookups::resetCounts();
  pages.evaluate();
  lookups::Counts n = lookups::counts();
  std::printf("look-ups per evaluation: %lu (registry %lu, installer %lu, enumeration %lu, files %lu)\n",
              n.total(), n.registry, n.installer, n.enumerations, n.files);

  std::vector<double> evaluation, plain;
  for (int r = 0; r < runs; ++r) {
    auto t0 = Clock::now();
    pages.evaluate();
    auto t1 = Clock::now();
    plainLookups(n);
    auto t2 = Clock::now();
    evaluation.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    plain.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
  }
  double e = median(evaluation), p = median(plain);
  std::printf("evaluation of all pages: %.2f ms (median of %d)\n", e, runs);
  std::printf("same number of plain look-ups: %.2f ms\n", p);
  std::printf("ratio: %.2f (target <= 1.5); frame budget 16.7 ms: %s\n", p > 0 ? e / p : 0.0,
              e <= 16.7 ? "inside" : "OVER");

  std::vector<double> listing;
  for (int r = 0; r < runs; ++r) {
    std::ostringstream out, err;
    auto t0 = Clock::now();
    runUnattended({"--list"}, out, err);
    listing.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  double l = median(listing);
  std::printf("unattended --list: %.2f ms, %.2f times the evaluation (target <= 3)\n", l,
              e > 0 ? l / e : 0.0);
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
