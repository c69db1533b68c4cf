// Look-ups in a 1.5 MiB content list through the profile port, beside the same look-ups in
// a plain in-memory map built from the same list.
//
//   profile_bench [lookups]
//
// Prints the time per look-up of both and their ratio.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/profile.h"

using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  const int lookups = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
  char pattern[] = "/tmp/corvanta-profilebench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  platform::machine::useRoot(pattern);

  // Sections as the tutorial and resource lists hold them: a tab word and a handful of keys.
  std::string text;
  std::map<std::pair<std::string, std::string>, std::string> plain;
  int sections = 0;
  while (text.size() < 1536 * 1024) {
    std::string section = "Tutorial " + std::to_string(sections) + " - Blob Analysis";
    text += "[" + section + "]\r\n";
    for (const char* key : {"Name", "Description", "Link", "Pdf", "Video", "Version"}) {
      std::string value = std::string(key) + " of item " + std::to_string(sections) +
                          std::string(30, 'x');
      text += std::string(key) + "=" + value + "\r\n";
      plain[{section, key}] = value;
    }
    ++sections;
  }
  const std::string file = "C:\\list.ini.txt";
  platform::files::writeFile(file, text);
  std::printf("list: %.1f MiB, %d sections\n", text.size() / 1048576.0, sections);

  std::vector<std::string> names;
  for (int i = 0; i < lookups; ++i)
    names.push_back("Tutorial " + std::to_string((i * 7919) % sections) + " - Blob Analysis");
  std::string value;
  platform::profile::getString(names[0], "Link", "", value, 1024, file);  // the first read

  auto t0 = Clock::now();
  size_t found = 0;
  for (const std::string& n : names)
    found += platform::profile::getString(n, "Link", "", value, 1024, file) > 0;
  auto t1 = Clock::now();
  for (const std::string& n : names) found += plain.find({n, "Link"}) != plain.end();
  auto t2 = Clock::now();
  double port = std::chrono::duration<double, std::micro>(t1 - t0).count() / lookups;
  double map = std::chrono::duration<double, std::micro>(t2 - t1).count() / lookups;
  std::printf("profile port: %.2f us per look-up; in-memory map: %.3f us; ratio %.0f (%zu found)\n",
              port, map, map > 0 ? port / map : 0.0, found);
  std::error_code ec;
  std::filesystem::remove_all(pattern, ec);
  return 0;
}
