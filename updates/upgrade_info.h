#pragma once
// The record of one published upgrade information file. Created at start-up, filled by
// the background check, read by the welcome page.
#include <atomic>
#include <string>

class UpgradeInfo {
 public:
  // Prepares the private temporary folder; downloads nothing.
  UpgradeInfo(const std::string& url, const std::string& fileName);
  ~UpgradeInfo();
  UpgradeInfo(const UpgradeInfo&) = delete;
  UpgradeInfo& operator=(const UpgradeInfo&) = delete;

  // 0 not fetched, 1 nothing to offer or failed, 2 a different installer. Written last by
  // the check thread, so a page that sees 2 also sees the texts.
  std::atomic<int> state{0};
  std::string latestVersionNumber;
  std::string tempFolder;  // empty when none could be made
  std::string releaseNotesPath;
  std::string currentVersionName;
  std::string latestVersionName;
  std::string fileName;
  std::string url;
};
