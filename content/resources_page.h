#pragma once
// The resources page: links to documents and web pages about the vision software, from the
// server's resources list, grouped in tabs. A tab shows two columns of text links, or a grid
// of pictures with captions when any of its items has a picture.
#include <string>
#include <vector>

#include "content/content_list_page.h"
#include "content/content_tabs.h"
#include "pages/hyperlink.h"

// "<application folder>\_CorvantaInstallData\Resources": the list, its pictures and the
// documents opened from it.
std::string resourcesFolder();

class DTabResources : public qnDTabDialogBase {
 public:
  struct Row {
    std::string name, url, imageUrl;
    std::string picturePath;  // empty when the picture has no usable file name
    int column = -1;
    int linkId = 0, pictureId = 0, captionId = 0;
    DDynamicHyperlink link;
  };
  static constexpr int kMaxRows = 64, kGridColumns = 6, kGridLines = 2, kColumnLinks = 10;
  static constexpr int kFirstLink = 44000, kRightLinks = 500, kFirstPicture = 45000;
  static constexpr int kDefaultPicture = 205;

  DTabResources() : qnDTabDialogBase(160, "resource") {}

  void buildRows() override { updateResourcesList(); }
  // Reads the rows of the category from the local list and lays them out.
  void updateResourcesList();
  // The rows keep no state of their own beyond what they show.
  void updateRows() override {}
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  const std::vector<Row>& rows() const { return rows_; }
  bool showsPictures() const { return pictures_; }

  // Picture buttons send action 0 only; any other action is ignored without a word.
  long onRowAction(int row, int action) override;
  // A click on one of the panel's links; false when id is none of them.
  bool activateLink(int id);

 protected:
  bool rowAction(int, int) override { return false; }

 private:
  void layOutPictures();
  void layOutLinks();

  std::vector<Row> rows_;
  bool pictures_ = false;
};

class qnDInstallCorvantaResourcesDynamic : public qnDContentListPage {
 public:
  enum : int { kTabs = 1137, kRefresh = 1133, kHint = 1098, kInstruction = 1099 };
  explicit qnDInstallCorvantaResourcesDynamic(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return false; }
  void refreshControls() override {}
  void initPageControls() override;
  bool onSetActive() override;
  void onNotify(int id, ui::Event event) override;

  // Fetches the list (or keeps the local copy), fetches the pictures it names that are not
  // here yet and builds the tabs: 1 when a list is shown.
  int refreshContentList(bool replaceExisting, bool showErrors) override;
  // For a bulk download: the list's entry into lists, the pictures of the local list into
  // pictures. -1 without both managers.
  int collectPackageEntries(mxInstallManagerBase* lists, mxInstallManagerBase* pictures);

  DContentTabCtrl& tabs() override { return tabs_; }
  DTabResources& panel() { return panel_; }
  std::string hint;

 private:
  std::string listPath() const;
  // The pictures of the local list as entries of manager.
  void collectPictures(mxInstallManagerBase& manager);

  EntryStrings listStrings_, pictureStrings_;
  ComponentEntry listEntry_;
  std::vector<ComponentEntry> pictureEntries_;
  DTabResources panel_;
  qnDTabNotAvailable notAvailable_{
      161, "Error: Unable to get the list of resources from the server.\nPlease try again."};
  DContentTabCtrl tabs_{"DResorcesTabCtrl", kTabs, panel_, notAvailable_};
  bool created_ = false;
};
