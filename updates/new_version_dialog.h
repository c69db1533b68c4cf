#pragma once
// The new-version dialog and the download of the published installer it offers; the sheet
// then starts the download in place of the running wizard.
#include <functional>
#include <string>

#include "platform/ui/window.h"
#include "updates/upgrade_info.h"

class DNewVersionAvailable : public ui::Window {
 public:
  static constexpr int kTemplateId = 170;
  enum : int { kText = 1160, kCurrentLabel = 1163, kCurrent = 1161, kNewLabel = 1164,
               kNew = 1162, kNotesLabel = 1165, kNotes = 1135 };
  DNewVersionAvailable(const std::string& releaseNotesPath, const std::string& currentVersion,
                       const std::string& newVersion);
  void onInitDialog() override;

 private:
  std::string notesPath_, current_, latest_;
};

// 1 when the new installer was downloaded (and handed to the sheet), -1 otherwise.
int showNewVersionDialog(UpgradeInfo& info);
// Fetches the published installer into "_CorvantaInstallers" (or a chosen folder), checks it
// against its published SHA-256 when there is one, and asks the main window to start it.
bool downloadNewInstaller(UpgradeInfo& info);
