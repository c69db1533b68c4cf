#include "platform/file_helpers.h"

#include "platform/files.h"
#include "platform/win_types.h"

namespace files = platform::files;

namespace {

bool isDotEntry(const std::string& name) { return name == "." || name == ".."; }

// Paths are built into 1024-byte buffers on the original platform; longer ones are passed
// over rather than truncated into a wrong path.
constexpr size_t kPathBuffer = 1024;

}  // namespace

bool fileExists(const std::string& path) { return !files::find(path).empty(); }

bool deleteFileIfPresent(const std::string& path) {
  if (!fileExists(path)) return true;
  files::setAttributes(path, win::FILE_ATTRIBUTE_ARCHIVE);
  return files::deleteFile(path);
}

bool moveFileReplacing(const std::string& target, const std::string& source) {
  if (!fileExists(source)) return false;
  if (fileExists(target)) files::setAttributes(target, win::FILE_ATTRIBUTE_ARCHIVE);
  return files::moveFileEx(source, target,
                           win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH);
}

bool deleteFolderRecursive(const std::string& folder, const std::string& guard) {
  if (folder.size() <= 6 || guard.empty() || folder.find(guard) == std::string::npos)
    return false;
  for (const auto& entry : files::find(folder + "\\*.*")) {
    if (isDotEntry(entry.name)) continue;
    std::string path = folder + "/" + entry.name;
    if (path.size() >= kPathBuffer) continue;
    if (entry.attributes & win::FILE_ATTRIBUTE_DIRECTORY) {
      deleteFolderRecursive(path, guard);
    } else {
      files::setAttributes(path, win::FILE_ATTRIBUTE_ARCHIVE);
      if (!files::deleteFile(path)) files::removeDirectory(path);
    }
  }
  files::removeDirectory(folder);
  return true;
}

namespace {

// A file arrived when the target holds it with the source's size.
bool arrived(const std::string& to, uint64_t size) {
  auto found = files::find(to);
  return found.size() == 1 && !(found[0].attributes & win::FILE_ATTRIBUTE_DIRECTORY) &&
         found[0].size == size;
}

bool copyTree(const std::string& source, const std::string& target, bool overwrite,
              const std::function<bool()>& stopped, const std::function<void(long)>& progress,
              long* counter) {
  if (stopped() || source.empty() || target.empty()) return false;
  if (!fileExists(target)) files::createDirectory(target);
  if (!files::isDirectory(target)) return false;
  bool complete = true;
  for (const auto& entry : files::find(source + "\\*.*")) {
    if (stopped()) return false;
    if (isDotEntry(entry.name)) continue;
    std::string from = source + "\\" + entry.name;
    std::string to = target + "\\" + entry.name;
    if (from.size() >= kPathBuffer || to.size() >= kPathBuffer) {
      complete = false;  // not copied, so never reported as copied
      continue;
    }
    if (entry.attributes & win::FILE_ATTRIBUTE_DIRECTORY) {
      if (!copyTree(from, to, overwrite, stopped, progress, counter)) complete = false;
      continue;
    }
    if (!fileExists(to)) {
      files::copyFile(from, to, !overwrite);
      if (!arrived(to, entry.size)) complete = false;
    } else if (overwrite) {
      files::setAttributes(to, win::FILE_ATTRIBUTE_ARCHIVE);
      files::deleteFile(to);
      files::copyFile(from, to, false);
      if (!arrived(to, entry.size)) complete = false;
    } else if (files::isDirectory(to)) {
      complete = false;  // a folder of that name holds the place: the file is not there
    }
    if (counter) {
      ++*counter;
      if (*counter % 25 == 0 && progress) progress(*counter);
    }
  }
  return complete && !stopped();
}

}  // namespace

bool copyFolderRecursive(const std::string& source, const std::string& target, bool overwrite,
                         const volatile bool* cancel, const std::function<void(long)>& progress,
                         long* counter) {
  return copyTree(source, target, overwrite, [cancel] { return cancel && *cancel; }, progress,
                  counter);
}

bool copyFolderRecursive(const std::string& source, const std::string& target, bool overwrite,
                         const platform::CancelToken& cancel,
                         const std::function<void(long)>& progress, long* counter) {
  return copyTree(source, target, overwrite, [&cancel] { return cancel.cancelled(); }, progress,
                  counter);
}

bool measureFolder(const std::string& folder, long& fileCount, uint64_t& sizeKiB) {
  fileCount = 0;
  sizeKiB = 0;
  if (folder.empty()) return false;
  for (const auto& entry : files::find(folder + "\\*.*")) {
    if (isDotEntry(entry.name)) continue;
    if (entry.attributes & win::FILE_ATTRIBUTE_DIRECTORY) {
      long subCount = 0;
      uint64_t subSize = 0;
      measureFolder(folder + "\\" + entry.name, subCount, subSize);
      fileCount += subCount;
      sizeKiB += subSize;
    } else {
      ++fileCount;
      sizeKiB += entry.size >> 10;
    }
  }
  return true;
}

bool deleteInstallDataFolder(const std::string& applicationFolder) {
  std::string folder = applicationFolder + "\\_CorvantaInstallData";
  if (!fileExists(folder)) return true;
  return deleteFolderRecursive(folder, folder);
}
