#include "updates/upgrade_info_check.h"

#include <cctype>

#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/installer_caption.h"
#include "platform/profile.h"
#include "platform/win_types.h"
#include "runners/tasks.h"

namespace files = platform::files;

namespace {

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Download error codes of the transfer task, as this download reports them.
int quietCode(const tasks::TaskResult& r) {
  switch (r.outcome) {
    case tasks::Outcome::Done: return 1;
    case tasks::Outcome::Cancelled: return -2005;
    case tasks::Outcome::NetworkError: return -3007;
    case tasks::Outcome::NotPlaced: return -3006;
    case tasks::Outcome::Failed: return 0;
    case tasks::Outcome::DownloadError:
      switch (r.code) {
        case -1001: return -3001;
        case -1002: return -3002;
        case -1003: return -3003;
        case -1004: return -3004;
        default: return -3008;
      }
  }
  return 0;
}

}  // namespace

bool isPlainFileName(const std::string& name) {
  if (name.empty() || name.size() > 255 || name == "." || name.find("..") != std::string::npos)
    return false;
  for (char c : name) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
      return false;
  }
  // Windows drops trailing dots and blanks, so "a.exe." is "a.exe" there.
  if (name.back() == '.' || name.back() == ' ') return false;
  // Device names stand for devices whatever extension follows them.
  std::string stem = lower(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
    if (stem == device) return false;
  if (stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
      stem[3] >= '0' && stem[3] <= '9')
    return false;
  return true;
}

bool isWebAddress(const std::string& url) {
  const std::string l = lower(url);
  size_t host = l.starts_with("http://") ? 7 : l.starts_with("https://") ? 8 : 0;
  return host != 0 && url.size() > host && url[host] != '/' &&
         url.find_first_of(" \t\r\n") == std::string::npos;
}

bool isSha256Text(const std::string& text) {
  if (text.size() != 64) return false;
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string readUpgradeValue(const std::string& iniPath, const std::string& key) {
  std::string value;
  platform::profile::getString(kUpgradeInfoSection, key, "", value, 1024, iniPath);
  return value;
}

int downloadFileQuietly(const std::string& folder, const std::string& fileName,
                        const platform::CancelToken& cancel, const std::string& url) {
  const std::string temporary = folder + "\\" + fileName + "tmp";
  const std::string target = folder + "\\" + fileName;
  const std::string backup = folder + "\\" + fileName + "bk";
  if (temporary.size() > 259) return -2004;
  // A folder in the file's place is never the old download: nothing to set aside.
  if (files::isDirectory(target)) return -3006;
  if (fileExists(target)) {
    moveFileReplacing(backup, target);
    if (fileExists(target)) {
      files::setAttributes(target, win::FILE_ATTRIBUTE_ARCHIVE);
      files::deleteFile(target);
    }
    // The old file would pass for the new one: that is no download.
    if (fileExists(target)) return -3006;
  }
  tasks::TransferRequest request;
  request.url = url;
  request.targetPath = target;
  request.temporaryPath = temporary;
  request.backupPath = backup;
  const tasks::TaskResult result = tasks::transfer(request, cancel);
  if (!result.ok()) {
    deleteFileIfPresent(temporary);
    // What was there before comes back; the backup itself stays, as after a success.
    if (!fileExists(target) && fileExists(backup)) files::copyFile(backup, target, true);
  }
  return quietCode(result);
}

int fetchUpgradeInfo(UpgradeInfo& info, const platform::CancelToken& cancel) {
  auto fail = [&info](int code) {
    info.state = 1;
    return code;
  };
  if (info.tempFolder.empty() ||
      downloadFileQuietly(info.tempFolder, info.fileName, cancel, info.url) <= 0)
    return fail(kUpgradeInfoNotFetched);

  const std::string ini = info.tempFolder + "\\" + info.fileName;
  if (!fileExists(ini)) return fail(kNoNewInstaller);
  const std::string name = readUpgradeValue(ini, "LatestVersionName");
  if (name.empty() || name == kInstallerCaption) return fail(kNoNewInstaller);
  const std::string number = readUpgradeValue(ini, "LatestVersionNumber");
  // An installer that could never be fetched safely is nothing to offer.
  const std::string installer = readUpgradeValue(ini, "InstallerFileName");
  const std::string installerPath = readUpgradeValue(ini, "InstallerFilePath");
  const std::string checksum = readUpgradeValue(ini, "InstallerSHA256");
  if ((!installer.empty() && !isPlainFileName(installer)) ||
      (!installerPath.empty() && !isWebAddress(installerPath)) ||
      (!checksum.empty() && !isSha256Text(checksum)))
    return fail(kNoNewInstaller);

  const std::string notes = readUpgradeValue(ini, "ReleaseNotesFileName");
  const std::string notesPath = readUpgradeValue(ini, "ReleaseNotesFilePath");
  if (!isPlainFileName(notes) || !isWebAddress(notesPath) ||
      downloadFileQuietly(info.tempFolder, notes, cancel, notesPath + notes) <= 0)
    return fail(kReleaseNotesUnavailable);

  info.releaseNotesPath = info.tempFolder + "\\" + notes;
  info.currentVersionName = kInstallerCaption;
  info.latestVersionName = name;
  info.latestVersionNumber = number;
  info.state = 2;
  return 1;
}
