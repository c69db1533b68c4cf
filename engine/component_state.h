#pragma once
// A component's state and the progress of the step working on it are values; the texts
// the pages show are made from them at the boundary.
#include <cstdint>

enum class ComponentState : std::uint8_t {
  Unknown,  // not evaluated yet
  NotInstalled,
  Installed,
  ReinstallNeeded,
  VersionMismatch,
  MultipleVersions,
  IncompleteModule,
};

enum class ComponentProgress : std::uint8_t {
  None, Pending, Installing, Uninstalling, Downloading, Downloaded, DownloadError, Failed,
  UninstallError, Ok,
};

// "" for Unknown.
const char* stateText(ComponentState state);
// "" for None.
const char* progressText(ComponentProgress progress);
// The states a repair (remove, then install again) mends.
bool isRepairState(ComponentState state);
