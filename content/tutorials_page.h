#pragma once
// The tutorials page: tutorials from the server's INI list, grouped in tabs by the text
// from each section's first blank on. A tutorial is a ZIP package of a document and of a
// profile's own ZIP; installed, its folder holds the document and the profiles folder the
// profile.
#include <string>
#include <vector>

#include "content/content_list_page.h"
#include "content/content_tabs.h"

// The user's tutorials folder, ending in a backslash; empty when the documents folder is
// unknown.
std::string tutorialsFolder();

class DTabTutorials : public qnDTabDialogBase {
 public:
  struct Row {
    std::string caption, name, profileName, profileZip, url, pdfName, videoUrl, infoText,
        infoUrl;
    int captionId = 0, stateId = 0, installId = 0, removeId = 0, runId = 0, pdfId = 0,
        videoId = 0, infoId = 0, pictureId = 0;
  };
  static constexpr int kMaxRows = 8;

  DTabTutorials() : qnDTabDialogBase(166, "tutorial") { category = "getting started"; }

  void buildRows() override;
  void updateRows() override;
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  const std::vector<Row>& rows() const { return rows_; }
  // Installed when its profile and its document are both there.
  bool isInstalled(const Row& row) const;

 protected:
  bool rowAction(int row, int action) override;

 private:
  void install(const Row& row);
  void remove(const Row& row);

  std::string runtimeFolder_, profilesFolder_, tutorialsFolder_;
  std::vector<Row> rows_;
};

class qnDInstallTutorials : public qnDContentListPage {
 public:
  enum : int { kTabs = 1154, kRefresh = 1155, kHint = 1098, kInstruction = 1165, kPdfLine = 1166 };
  explicit qnDInstallTutorials(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return true; }
  void refreshControls() override {}
  void initPageControls() override;
  bool onSetActive() override;

  int refreshContentList(bool replaceExisting, bool showErrors) override;
  // Every tutorial package of the list, as entries of manager; -1 without a local list.
  int collectPackageEntries(mxInstallManagerBase* manager);

  DContentTabCtrl& tabs() override { return tabs_; }
  DTabTutorials& panel() { return panel_; }
  std::string hint;

 private:
  EntryStrings listStrings_, packageStrings_;
  ComponentEntry listEntry_;
  std::vector<ComponentEntry> packages_;
  DTabTutorials panel_;
  qnDTabNotAvailable notAvailable_{
      167, "Error: Unable to get the list of tutorials from the server.\nPlease try again."};
  DContentTabCtrl tabs_{"DTutorialsTabCtrl", kTabs, panel_, notAvailable_};
  bool created_ = false;
};
