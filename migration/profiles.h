#pragma once
// Profiles of older versions that the current version lacks, and their copy or move into
// the current version's "Profiles" folder. No windows here: the page and its progress
// dialog call these.
#include <functional>
#include <string>
#include <vector>

#include "platform/cancel.h"

namespace migration {

struct ProfileItem {
  int sequence = -1;  // position among the version's profile folders as listed
  bool selected = false;
  std::string name = "Corvanta Profile";
};

struct VersionProfiles {
  std::string version = "Corvanta Vision Software Version";
  std::vector<ProfileItem> profiles;
};

inline constexpr size_t kMaxProfiles = 1024;
inline constexpr size_t kMaxVersions = 32;

// The profile folders of one version, less those whose name (any case) exclude holds.
VersionProfiles scanVersionProfiles(const std::string& documentsFolder, const std::string& version,
                                    const VersionProfiles* exclude);
// Every older version with profiles the current version does not have, in version order.
std::vector<VersionProfiles> buildProfileList(const std::string& documentsFolder);

int countSelectedProfiles(const std::vector<VersionProfiles>& list);
// Names selected in two or more versions (any case), each once.
std::vector<std::string> duplicateSelection(const std::vector<VersionProfiles>& list);
// Leaves out every selected profile, in every version, named as one of names.
void deselectNamed(std::vector<VersionProfiles>& list, const std::vector<std::string>& names);

struct CopyMoveResult {
  int done = 0;    // selected profiles copied (and, for a move, removed at the source)
  int failed = 0;  // profiles not completely copied: for a move their source stays
};
// Copies (or moves) every selected profile into the current version's Profiles folder
// without replacing files there. A move deletes a source only after its whole copy arrived.
// progress hears the count of profiles handled after each one.
CopyMoveResult copyMoveProfiles(const std::string& documentsFolder,
                                const std::vector<VersionProfiles>& list, bool move,
                                const platform::CancelToken& cancel,
                                const std::function<void(int)>& progress);

}  // namespace migration
