#pragma once
// The wizard's HTML help: the archive of help pages fetched from the server, unpacked below
// the data folder, and the one help window that shows them at the active page's section.
#include <memory>
#include <string>

#include "engine/component_entry.h"
#include "engine/install_manager.h"
#include "platform/ui/window.h"

// The help window. OK, Cancel and the close box only hide it; the next help request shows
// the same window again.
class DHTMLHelp : public ui::Window {
 public:
  static constexpr int kTemplateId = 164;

  DHTMLHelp();
  // Shows the window (owned by the wizard, so that it takes input while the wizard runs)
  // at target, a page below folder with an optional "#anchor".
  void navigate(ui::Window* owner, const std::string& folder, const std::string& target);
  const std::string& target() const { return target_; }

  void onOK() override { destroyWindow(); }
  void onCancel() override { destroyWindow(); }

 private:
  std::string target_;
};

class CHelpManager {
 public:
  static constexpr const char* kArchiveName = "614help.zip";

  // applicationFolder: the executable's folder; serverFolder: the URL of the repository
  // folder, ending with "/".
  CHelpManager(const std::string& applicationFolder, const std::string& serverFolder);
  ~CHelpManager();

  // 1: the help pages are there; -1: the old pages could not be deleted; -2: the archive
  // could not be fetched; -3: it could not be unpacked. A refresh fetches a new archive
  // and replaces the pages only once the new ones are unpacked, so a failed refresh keeps
  // the old ones.
  int ensureHelpFiles(bool refresh, bool* skipAllErrors);
  // 1, or -1 when the help folder could not be deleted.
  int deleteHelpFiles(bool deleteArchive);
  // Shows the help window at the section of the page with that short name; false when
  // the help pages are not there.
  bool showHelp(ui::Window* owner, const std::string& shortName);
  // Hides the help window when it is shown.
  void hideHelp();

  const std::string& helpFolder() const { return helpFolder_; }
  const std::string& startPage() const { return startPage_; }
  std::string archivePath() const;
  mxInstallManagerBase& manager() { return manager_; }
  // The help window once a request made it; nullptr before.
  DHTMLHelp* helpWindow() const { return window_.get(); }

 private:
  int failExtraction(const std::string& staging, const std::string& why);

  std::string dataFolder_;
  std::string helpFolder_;
  std::string startPage_;
  // The three strings the archive's entry is bound to.
  std::string helpName_, helpState_, helpProgress_;
  ComponentEntry entry_;
  mxInstallManagerBase manager_;
  std::unique_ptr<DHTMLHelp> window_;
};
