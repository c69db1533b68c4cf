#include "migration/profiles.h"

#include "migration/older_data.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/portable.h"
#include "platform/win_types.h"

namespace files = platform::files;

namespace migration {

namespace {

bool holds(const VersionProfiles& version, const std::string& name) {
  for (const ProfileItem& p : version.profiles)
    if (platform::equalsNoCase(p.name, name)) return true;
  return false;
}

bool inList(const std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (platform::equalsNoCase(n, name)) return true;
  return false;
}

}  // namespace

VersionProfiles scanVersionProfiles(const std::string& documentsFolder, const std::string& version,
                                    const VersionProfiles* exclude) {
  VersionProfiles entry;
  entry.version = version;
  const std::string folder = documentsFolder + "\\" + version;
  int counter = 0;
  for (const auto& found : files::find(folder + "\\Profiles\\*.*")) {
    if (found.name == "." || found.name == "..") continue;
    if (!(found.attributes & win::FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (exclude && holds(*exclude, found.name)) continue;
    if (entry.profiles.size() < kMaxProfiles) {
      ProfileItem item;
      item.sequence = counter;
      item.name = found.name;
      entry.profiles.push_back(item);
    }
    ++counter;
  }
  return entry;
}

std::vector<VersionProfiles> buildProfileList(const std::string& documentsFolder) {
  VersionProfiles current = scanVersionProfiles(documentsFolder, kCurrentVersionFolder, nullptr);
  std::vector<VersionProfiles> list;
  for (const std::string& version : listOlderVersionFolders(documentsFolder)) {
    if (list.size() >= kMaxVersions) break;
    VersionProfiles entry = scanVersionProfiles(documentsFolder, version, &current);
    if (!entry.profiles.empty()) list.push_back(std::move(entry));
  }
  return list;
}

int countSelectedProfiles(const std::vector<VersionProfiles>& list) {
  int count = 0;
  for (const VersionProfiles& v : list)
    for (const ProfileItem& p : v.profiles) count += p.selected ? 1 : 0;
  return count;
}

std::vector<std::string> duplicateSelection(const std::vector<VersionProfiles>& list) {
  std::vector<std::string> duplicates;
  for (size_t i = 0; i < list.size(); ++i)
    for (const ProfileItem& p : list[i].profiles) {
      if (!p.selected || inList(duplicates, p.name)) continue;
      for (size_t k = i + 1; k < list.size(); ++k)
        for (const ProfileItem& q : list[k].profiles)
          if (q.selected && platform::equalsNoCase(p.name, q.name) && !inList(duplicates, p.name))
            duplicates.push_back(p.name);
    }
  return duplicates;
}

void deselectNamed(std::vector<VersionProfiles>& list, const std::vector<std::string>& names) {
  for (VersionProfiles& v : list)
    for (ProfileItem& p : v.profiles)
      if (inList(names, p.name)) p.selected = false;
}

CopyMoveResult copyMoveProfiles(const std::string& documentsFolder,
                                const std::vector<VersionProfiles>& list, bool move,
                                const platform::CancelToken& cancel,
                                const std::function<void(int)>& progress) {
  CopyMoveResult result;
  int counter = 0;
  for (const VersionProfiles& v : list)
    for (const ProfileItem& p : v.profiles) {
      if (cancel.cancelled()) return result;
      if (!p.selected) continue;
      const std::string source = documentsFolder + "\\" + v.version + "\\Profiles\\" + p.name;
      const std::string target =
          documentsFolder + "\\" + kCurrentVersionFolder + "\\Profiles\\" + p.name;
      // The Profiles folder of a fresh current version may not exist yet.
      const std::string profiles = documentsFolder + "\\" + kCurrentVersionFolder;
      if (!fileExists(profiles)) files::createDirectory(profiles);
      if (!fileExists(profiles + "\\Profiles")) files::createDirectory(profiles + "\\Profiles");
      bool copied = copyFolderRecursive(source, target, false, cancel, nullptr, nullptr);
      if (!copied) {
        ++result.failed;
      } else {
        if (move) deleteFolderRecursive(source, source);
        ++result.done;
      }
      ++counter;
      if (progress) progress(counter);
    }
  return result;
}

}  // namespace migration
