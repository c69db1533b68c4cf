#pragma once
// The templates page: tool-component templates from the server's list, grouped in tabs by
// category; each is a ZIP package unpacked into the user's templates folder, where its
// folder "<class>_<version>" tells what is installed.
#include <string>
#include <vector>

#include "content/content_list.h"
#include "content/content_list_page.h"
#include "content/content_tabs.h"
#include "content/template_versions.h"

// The user's templates folder, ending in a backslash; empty when the documents folder is
// unknown.
std::string templatesFolder();

class DTabTemplates : public qnDTabDialogBase {
 public:
  struct Row {
    std::string name, className, url, installed, versionLabel, infoText, infoUrl;
    TemplateState state = TemplateState::Current;
    int nameId = 0, stateId = 0, installId = 0, uninstallId = 0, infoId = 0, pictureId = 0;
  };
  static constexpr int kMaxRows = 9;

  DTabTemplates() : qnDTabDialogBase(176, "template") { category = "2D"; }

  void buildRows() override;
  void updateRows() override;
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  const std::vector<Row>& rows() const { return rows_; }
  void evaluateTemplate(Row& row);

 protected:
  bool rowAction(int row, int action) override;

 private:
  void install(Row& row);
  void uninstall(Row& row);
  void info(const Row& row);

  mxContentList list_;
  std::vector<Row> rows_;
};

class qnDInstallTemplates : public qnDContentListPage {
 public:
  enum : int {
    kTabs = 1190, kRefresh = 1191, kInstallAll = 1235, kHint = 1098, kInstruction = 1165,
    kSecondLine = 1166,
  };
  explicit qnDInstallTemplates(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return true; }
  void refreshControls() override {}
  void initPageControls() override;
  bool onSetActive() override;
  void onCommand(int id) override;

  int refreshContentList(bool replaceExisting, bool showErrors) override;
  // Every template package of the list, as entries of manager; -1 without a local list.
  int collectPackageEntries(mxInstallManagerBase* manager);
  void downloadAndInstallAll();

  DContentTabCtrl& tabs() override { return tabs_; }
  DTabTemplates& panel() { return panel_; }
  std::string hint;

 private:
  std::string listPath() const;

  EntryStrings listStrings_, packageStrings_;
  ComponentEntry listEntry_;
  mxContentList list_;
  std::vector<ComponentEntry> packages_;
  DTabTemplates panel_;
  qnDTabNotAvailable notAvailable_{
      177, "Error: Unable to get the list of templates from the server.\nPlease try again."};
  DContentTabCtrl tabs_{"DTemplatesTabCtrl", kTabs, panel_, notAvailable_};
  bool created_ = false;
};
