#include "app/help_manager.h"

#include "engine/app_context.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/tasks.h"

namespace files = platform::files;

namespace {

const char* const kDataFolder = "_CorvantaInstallData";
const char* const kHelpFolder = "_Help";
const char* const kHelpSubFolder = "CorvantaVisionSoftware";
// New pages are unpacked here first, beside the help folder, and moved into place whole.
const char* const kStagingFolder = "_Help.new";

void tell(const std::string& text) {
  ui::messageBox(appContext().mainWindow, text, kInstallerCaption, win::MB_OK);
}

void trace(const std::string& method, const std::string& text) {
  platform::debugOutput("CHelpManager::" + method + " - " + text + "\n");
}

}  // namespace

// ---------------------------------------------------------------------------------------

DHTMLHelp::DHTMLHelp()
    : ui::Window(kTemplateId, std::string(kInstallerCaption) + " - Help", ui::dluX(632),
                 ui::dluY(361)) {
  const int w = width(), h = height();
  addControl(1, ui::ControlKind::Button, {w - 170, h - 35, w - 95, h - 12}, "OK");
  addControl(2, ui::ControlKind::Button, {w - 87, h - 35, w - 12, h - 12}, "Cancel");
}

void DHTMLHelp::navigate(ui::Window* owner, const std::string& folder,
                         const std::string& target) {
  if (owner && !isOpen()) setParent(owner);
  target_ = target;
  ui::backend().showHelp(*this, folder, target);
}

// ---------------------------------------------------------------------------------------

CHelpManager::CHelpManager(const std::string& applicationFolder,
                           const std::string& serverFolder)
    : dataFolder_(applicationFolder + "\\" + kDataFolder),
      helpFolder_(dataFolder_ + "\\" + kHelpFolder),
      startPage_(helpFolder_ + "\\" + kHelpSubFolder + "\\index.htm"),
      entry_(kArchiveName, (serverFolder + kArchiveName).c_str(), kArchiveName, "",
             dataFolder_.c_str(), false, true, &helpName_, &helpState_, &helpProgress_,
             "Help Files") {
  ComponentEntry* entries[] = {&entry_};
  manager_.setComponents(1, entries);
}

CHelpManager::~CHelpManager() { manager_.releaseComponents(); }

std::string CHelpManager::archivePath() const {
  return entry_.downloadFolder + "\\" + entry_.fileName;
}

int CHelpManager::deleteHelpFiles(bool deleteArchive) {
  deleteFolderRecursive(helpFolder_, kHelpFolder);
  // The recursive delete goes on past files in use; what is left tells.
  if (fileExists(helpFolder_)) {
    tell("Error: Unable to delete old help files. They may be in use. Please try again.");
    return -1;
  }
  if (deleteArchive) deleteFileIfPresent(archivePath());
  return 1;
}

int CHelpManager::failExtraction(const std::string& staging, const std::string& why) {
  trace("ensureHelpFiles", why);
  deleteFolderRecursive(staging, kStagingFolder);
  deleteFileIfPresent(archivePath());
  tell("Error: Unable to extract the help files. Please try again.");
  return -3;
}

int CHelpManager::ensureHelpFiles(bool refresh, bool* skipAllErrors) {
  if (!refresh && fileExists(startPage_)) return 1;

  // A left-over archive may be stale or cut short: always fetch a new one. The pages in
  // use stay until the new ones are unpacked.
  if (!deleteFileIfPresent(archivePath())) {
    trace("ensureHelpFiles", "Unable to delete the old archive " + archivePath());
    return -2;
  }
  bool skipAll = false;
  if (manager_.downloadAllComponents(false, skipAllErrors ? skipAllErrors : &skipAll) < 1)
    return -2;
  // With "skip all" in force a failed download still counts as done.
  if (!fileExists(archivePath())) {
    trace("ensureHelpFiles", "The archive is missing after its download " + archivePath());
    return -2;
  }

  // The extraction task refuses entries that would reach outside its target, so nothing of
  // the archive lands outside the staging folder; only its help folder is taken from it.
  const std::string staging = dataFolder_ + "\\" + kStagingFolder;
  deleteFolderRecursive(staging, kStagingFolder);
  platform::CancelToken never;
  tasks::TaskResult unpacked = tasks::extract(archivePath(), staging, never);
  if (!unpacked.ok()) return failExtraction(staging, unpacked.text);
  const std::string newHelp = staging + "\\" + kHelpFolder;
  if (!fileExists(newHelp + "\\" + kHelpSubFolder + "\\index.htm"))
    return failExtraction(staging, "The archive holds no start page");

  if (fileExists(helpFolder_) && deleteHelpFiles(false) != 1) {
    deleteFolderRecursive(staging, kStagingFolder);
    return -1;
  }
  if (!files::moveFileEx(newHelp, helpFolder_, win::MOVEFILE_WRITE_THROUGH))
    return failExtraction(staging, "Unable to move the new pages to " + helpFolder_);
  deleteFolderRecursive(staging, kStagingFolder);
  deleteFileIfPresent(archivePath());
  return 1;
}

bool CHelpManager::showHelp(ui::Window* owner, const std::string& shortName) {
  bool skipAll = false;
  if (ensureHelpFiles(false, &skipAll) <= 0) return false;
  if (!window_) window_ = std::make_unique<DHTMLHelp>();
  window_->navigate(owner, helpFolder_, startPage_ + "#Page=" + shortName);
  return true;
}

void CHelpManager::hideHelp() {
  if (window_) window_->destroyWindow();
}
