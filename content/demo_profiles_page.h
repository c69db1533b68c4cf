#pragma once
// The demo profiles page: ready-made profiles of the vision software from the server's
// list, grouped in tabs by section; each is a ZIP package unpacked into the user's profiles
// folder, where its "Corvanta.Cvp" and "General.Ini" tell that and which version is there.
#include <string>
#include <vector>

#include "content/content_list.h"
#include "content/content_list_page.h"
#include "content/content_tabs.h"

// The user's profiles folder, ending in a backslash; empty when the documents folder is
// unknown.
std::string profilesFolder();

class DTabProfiles2D : public qnDTabDialogBase {
 public:
  struct Row {
    std::string name, className, url, installedVersion, versionLabel, infoText, infoUrl;
    bool installed = false;
    int nameId = 0, stateId = 0, installId = 0, uninstallId = 0, runId = 0, infoId = 0,
        pictureId = 0;
  };
  static constexpr int kMaxRows = 9;

  DTabProfiles2D() : qnDTabDialogBase(156, "profile") { category = "2d-demo"; }

  void buildRows() override;
  void updateRows() override;
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  const std::vector<Row>& rows() const { return rows_; }
  // Installed when the profile folder holds both marker files; the version is General.Ini's.
  void evaluateProfile(Row& row) const;

 protected:
  bool rowAction(int row, int action) override;

 private:
  void install(Row& row);
  void uninstall(Row& row);

  std::string runtimeFolder_, profilesFolder_;
  mxContentList list_;
  std::vector<Row> rows_;
};

class qnDInstallDemoProfiles : public qnDContentListPage {
 public:
  enum : int { kTabs = 1129, kRefresh = 1097, kHint = 1098, kInstruction = 1165, kRunLine = 1166 };
  explicit qnDInstallDemoProfiles(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return true; }
  void refreshControls() override {}
  void initPageControls() override;
  bool onSetActive() override;

  int refreshContentList(bool replaceExisting, bool showErrors) override;
  // Every profile package of the list, as entries of manager; -1 without a local list.
  int collectPackageEntries(mxInstallManagerBase* manager);

  DContentTabCtrl& tabs() override { return tabs_; }
  DTabProfiles2D& panel() { return panel_; }

 private:
  EntryStrings listStrings_, packageStrings_;
  ComponentEntry listEntry_;
  mxContentList list_;
  std::vector<ComponentEntry> packages_;
  DTabProfiles2D panel_;
  qnDTabNotAvailable notAvailable_{
      159, "Error: Unable to get the list of demo profiles from the server.\nPlease try again."};
  DContentTabCtrl tabs_{"DProfilesTabCtrl", kTabs, panel_, notAvailable_};
  bool created_ = false;
};
