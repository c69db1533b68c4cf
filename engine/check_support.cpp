#include "engine/check_support.h"

#include "engine/app_context.h"
#include "engine/lookups.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/portable.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

namespace files = platform::files;

namespace check_support {

bool equalsNoCase(const std::string& a, const std::string& b) {
  return platform::equalsNoCase(a, b);
}

std::optional<std::string> readUninstallValue(const std::string& keyName,
                                              const std::string& valueName) {
  for (platform::registry::Hive hive : kUninstallRoots)
    if (auto value = lookups::readString(hive, kUninstallKey + keyName, valueName, 4096))
      return value;
  return std::nullopt;
}

void showNotice(const std::string& text) {
  ui::messageBox(nullptr, text, kInstallerCaption, win::MB_OK);
}

std::string systemFolderForward() {
  std::string folder = platform::shell::systemDirectory();
  if (folder.size() >= static_cast<size_t>(win::MAX_PATH)) folder.resize(win::MAX_PATH - 1);
  for (char& c : folder)
    if (c == '\\') c = '/';
  if (!folder.empty() && folder.back() == '/') folder.pop_back();
  return folder;
}

bool deleteWithArchive(const std::string& path) {
  files::setAttributes(path, win::FILE_ATTRIBUTE_ARCHIVE);
  files::deleteFile(path);
  return !fileExists(path);
}

bool replaceFile(const std::string& source, const std::string& target) {
  if (fileExists(target)) deleteWithArchive(target);
  files::copyFile(source, target, false);
  return fileExists(target);
}

}  // namespace check_support
