#include "updates/upgrade_info.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/portable.h"
#include "platform/shell.h"

namespace {

std::string timeStampedName(const std::string& base) {
  auto now = std::chrono::system_clock::now();
  std::time_t t = std::chrono::system_clock::to_time_t(now);
  int ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
      1000);
  std::tm local = platform::localTime(t);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%.4d%.2d%.2d%.2d%.2d%.2d%.3d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, ms);
  return base + stamp;
}

}  // namespace

UpgradeInfo::UpgradeInfo(const std::string& url_, const std::string& fileName_)
    : fileName(fileName_), url(url_) {
  std::string base;
  if (!platform::shell::getTempPath(base) || base.size() >= 512) {
    base = "C:\\temp\\";
    if (!fileExists(base.substr(0, base.size() - 1)))
      platform::files::createDirectory(base.substr(0, base.size() - 1));
    if (!fileExists(base.substr(0, base.size() - 1))) return;
  }
  // The time names the folder; a folder of that name belongs to another record (two are made
  // within one millisecond) or another wizard, so a new name is taken instead of deleting it.
  const std::string stamped = timeStampedName(base);
  for (int n = 1; n < 100; ++n) {
    std::string folder = n == 1 ? stamped : stamped + "_" + std::to_string(n);
    if (fileExists(folder)) continue;
    if (platform::files::createDirectory(folder)) tempFolder = folder;
    return;
  }
}

UpgradeInfo::~UpgradeInfo() {
  if (!tempFolder.empty()) deleteFolderRecursive(tempFolder, tempFolder);
}
