#include "engine/component_state.h"

const char* stateText(ComponentState state) {
  switch (state) {
    case ComponentState::Unknown: return "";
    case ComponentState::NotInstalled: return "Not Installed";
    case ComponentState::Installed: return "Installed";
    case ComponentState::ReinstallNeeded: return "Reinstall Needed";
    case ComponentState::VersionMismatch: return "Version Mismatch";
    case ComponentState::MultipleVersions: return "Multiple Versions";
    case ComponentState::IncompleteModule: return "Incomplete Module";
  }
  return "";
}

const char* progressText(ComponentProgress progress) {
  switch (progress) {
    case ComponentProgress::None: return "";
    case ComponentProgress::Pending: return "Pending";
    case ComponentProgress::Installing: return "Installing...";
    case ComponentProgress::Uninstalling: return "Uninstalling...";
    case ComponentProgress::Downloading: return "Downloading...";
    case ComponentProgress::Downloaded: return "Downloaded";
    case ComponentProgress::DownloadError: return "Download Error";
    case ComponentProgress::Failed: return "Failed";
    case ComponentProgress::UninstallError: return "Uninstall Error";
    case ComponentProgress::Ok: return "Ok";
  }
  return "";
}

bool isRepairState(ComponentState state) {
  return state == ComponentState::ReinstallNeeded || state == ComponentState::VersionMismatch ||
         state == ComponentState::MultipleVersions || state == ComponentState::IncompleteModule;
}
