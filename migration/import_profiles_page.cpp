#include "migration/import_profiles_page.h"

#include <cstdio>

#include "migration/older_data.h"
#include "platform/installer_caption.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

using ui::ControlKind;

namespace {

const char* const kNoProfiles = "No Corvanta Profiles are available for copy / move";

}  // namespace

DCopyMoveCorvantaProfiles::DCopyMoveCorvantaProfiles(std::vector<migration::VersionProfiles> list,
                                                     bool move, int selected)
    : DImportWorkerDialog(kTemplateId, "Import Corvanta Profiles", ui::dluX(260), ui::dluY(110),
                          "DCopyMoveCorvantaProfiles"),
      list_(std::move(list)),
      move_(move),
      selected_(selected),
      documents_(migration::getDocumentsFolder()) {
  addControl(IDC_MESSAGE, ControlKind::Static, ui::dluRect(10, 8, 240, 20),
             move ? "Moving selected Corvanta Profiles..." : "Copying selected Corvanta Profiles...");
  addControl(IDC_PROGRESS_LABEL, ControlKind::Static, ui::dluRect(10, 40, 60, 10),
             "Import Progress:");
  addControl(IDC_PROGRESS, ControlKind::Progress, ui::dluRect(74, 39, 100, 10));
  addControl(IDC_PERCENT, ControlKind::Static, ui::dluRect(178, 40, 76, 20), "");
  addControl(IDC_ABORT, ControlKind::Button, ui::dluRect(120, 88, 60, 14), "Abort");
  addControl(IDC_CLOSE, ControlKind::Button, ui::dluRect(190, 88, 60, 14), "Close");
}

DCopyMoveCorvantaProfiles::~DCopyMoveCorvantaProfiles() { stopWorker(); }

void DCopyMoveCorvantaProfiles::setRunning(bool running) {
  running_ = running;
  enable(IDC_ABORT, running);
  for (int id : {IDC_PROGRESS, IDC_PROGRESS_LABEL, IDC_PERCENT}) {
    show(id, hasRun_ || running);
    enable(id, running);
  }
}

void DCopyMoveCorvantaProfiles::onInitDialog() {
  setProgressRange(IDC_PROGRESS, 0, selected_ > 0xFFFF ? 0xFFFF : selected_);
  setProgressPosition(IDC_PROGRESS, 0);
  hasRun_ = true;
  setRunning(true);
  link_ = std::make_shared<WorkerLink>(this);
  auto link = link_;
  // The worker owns its copy of the list and the folder: it reads nothing of the page.
  auto list = list_;
  std::string documents = documents_;
  bool move = move_;
  int selected = selected_;
  worker_.start(link, [link, list, documents, move, selected] {
    migration::copyMoveProfiles(documents, list, move, link->token, [&link](int count) {
      link->send(WM_PROFILES_PROGRESS, static_cast<uintptr_t>(count), 0);
    });
    if (!link->cancelled())
      link->send(WM_PROFILES_PROGRESS, static_cast<uintptr_t>(selected), 0);
    link->send(WM_PROFILES_DONE, 0, 0);
  });
}

long DCopyMoveCorvantaProfiles::onMessage(unsigned msg, uintptr_t wParam, intptr_t) {
  if (msg == WM_PROFILES_DONE) {
    setRunning(false);
    return 1;
  }
  if (msg != WM_PROFILES_PROGRESS) return 0;
  int count = static_cast<int>(wParam);
  if (count > selected_) count = selected_;
  setProgressPosition(IDC_PROGRESS, count);
  char percent[64];
  std::snprintf(percent, sizeof percent, "(%d%%)", migration::progressPercent(count, selected_));
  if (count >= selected_) {
    setText(IDC_PERCENT, "(100%) Processing complete.");
    setText(IDC_MESSAGE, move_ ? "Move selected Corvanta Profiles.\nProcessing complete."
                               : "Copy selected Corvanta Profiles.\nProcessing complete.");
  } else {
    setText(IDC_PERCENT, percent);
  }
  return 1;
}

void DCopyMoveCorvantaProfiles::onCommand(int id) {
  if (id != IDC_ABORT) return;
  if (ui::messageBox(this, "Do you want to abort the import process?", kInstallerCaption,
                     win::MB_YESNO) != win::IDYES)
    return;
  stopWorker();
  setText(IDC_PERCENT, "Processing aborted.");
  setRunning(false);
}

qnDInstallImportProfiles::qnDInstallImportProfiles(const std::string& title)
    : qnDPropertyPageBase(kTemplateId, title, "Import Corvanta Profiles"),
      documents_(migration::getDocumentsFolder()) {
  shortName_ = "ImportCorvantaProfiles";
  buildProfileList(false);
}

void qnDInstallImportProfiles::initPageControls() {
  addControl(IDC_PROMPT, ControlKind::Static, ui::dluRect(123, 44, 357, 36),
             "Following is the list of Corvanta Profiles available on this computer under other "
             "Corvanta Vision Software versions.\nPlease select the Corvanta Profiles and click "
             "on the 'Move' or 'Copy' buttons to make the selected Corvanta Profiles available "
             "in current Corvanta Vision Software version.");
  addControl(IDC_TREE, ControlKind::CheckTree, ui::dluRect(123, 84, 240, 76));
  struct Button {
    int id, y;
    const char* image;
    const char* tip;
  } buttons[] = {{IDC_COPY, 84, "204", "Copy Selected Corvanta Profiles"},
                 {IDC_MOVE, 110, "209", "Move Selected Corvanta Profiles"},
                 {IDC_REFRESH, 136, "203", "Refresh Corvanta Profiles List"}};
  for (const Button& b : buttons) {
    int left = 696, top = ui::dluY(b.y);  // the column of the Refresh button
    auto& c = addControl(b.id, ControlKind::ImageButton, {left, top, left + 24, top + 24});
    c.image = b.image;
    c.tooltip = b.tip;
  }
  addControl(IDC_INFORMATION, ControlKind::Static, ui::dluRect(123, 166, 330, 20),
             "Please click on the 'Next' button to browse and download the demonstration "
             "profiles.\nOr click on the 'Finish' button to complete the installation.");
}

bool qnDInstallImportProfiles::onSetActive() {
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Finish");
  }
  bool result = qnDPropertyPageBase::onSetActive();
  buildProfileList(false);
  return result;
}

void qnDInstallImportProfiles::buildProfileList(bool force) {
  if (force || !hasList_) {
    list_ = migration::buildProfileList(documents_);
    hasList_ = !list_.empty();
  }
  if (!control(IDC_TREE)) return;
  show(IDC_COPY, hasList_);
  show(IDC_MOVE, hasList_);
  fillProfileTree();
}

void qnDInstallImportProfiles::fillProfileTree() {
  std::vector<ui::TreeItem> items;
  itemProfile_.clear();
  if (!hasList_) {
    items.push_back({kNoProfiles, -1, false});
    itemProfile_.push_back({-1, -1});
  } else {
    items.push_back({"All", -1, false});
    itemProfile_.push_back({-1, -1});
    for (size_t v = 0; v < list_.size(); ++v) {
      int versionItem = static_cast<int>(items.size());
      items.push_back({list_[v].version, 0, false});
      itemProfile_.push_back({-1, -1});
      for (size_t p = 0; p < list_[v].profiles.size(); ++p) {
        items.push_back({list_[v].profiles[p].name, versionItem, list_[v].profiles[p].selected});
        itemProfile_.push_back({static_cast<int>(v), static_cast<int>(p)});
      }
    }
    // An item with children is ticked exactly when all of them are.
    for (int i = static_cast<int>(items.size()) - 1; i > 0; --i) {
      bool all = true, any = false;
      for (const auto& child : items)
        if (child.parent == i) {
          any = true;
          all = all && child.checked;
        }
      if (any) items[static_cast<size_t>(i)].checked = all;
    }
    bool all = true;
    for (const auto& item : items)
      if (item.parent == 0) all = all && item.checked;
    items[0].checked = all;
  }
  lastChecks_.clear();
  for (const auto& item : items) lastChecks_.push_back(item.checked);
  setTreeItems(IDC_TREE, std::move(items));
}

void qnDInstallImportProfiles::onNotify(int id, ui::Event event) {
  if (id != IDC_TREE || event != ui::Event::CheckChanged || !hasList_) return;
  std::vector<ui::TreeItem> items = control(IDC_TREE)->treeItems;
  // The item whose tick changed hands its state down to every descendant.
  int changed = -1;
  for (size_t i = 0; i < items.size() && i < lastChecks_.size(); ++i)
    if (items[i].checked != lastChecks_[i]) changed = static_cast<int>(i);
  if (changed < 0) return;
  for (size_t i = 0; i < items.size(); ++i) {
    for (int a = items[i].parent; a >= 0; a = items[static_cast<size_t>(a)].parent)
      if (a == changed) items[i].checked = items[static_cast<size_t>(changed)].checked;
  }
  for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i) {
    bool all = true, any = false;
    for (const auto& child : items)
      if (child.parent == i) {
        any = true;
        all = all && child.checked;
      }
    if (any) items[static_cast<size_t>(i)].checked = all;
  }
  lastChecks_.clear();
  for (const auto& item : items) lastChecks_.push_back(item.checked);
  setTreeItems(IDC_TREE, std::move(items));
}

void qnDInstallImportProfiles::readProfileChecks() {
  const ui::Control* tree = control(IDC_TREE);
  if (!tree) return;
  for (size_t i = 0; i < tree->treeItems.size() && i < itemProfile_.size(); ++i) {
    auto [v, p] = itemProfile_[i];
    if (v >= 0) list_[static_cast<size_t>(v)].profiles[static_cast<size_t>(p)].selected =
        tree->treeItems[i].checked;
  }
}

void qnDInstallImportProfiles::copyOrMove(bool move) {
  readProfileChecks();
  std::vector<std::string> duplicates = migration::duplicateSelection(list_);
  if (!duplicates.empty()) {
    if (ui::messageBox(
            this,
            "Error - The Corvanta Profiles selection includes one or more duplicates.\nCorvanta "
            "Profile with same name is selected across 2 or more Corvanta Versions.\n\nDo you "
            "want to exclude these Corvanta Profiles from selection and proceed?\n\nPlease "
            "click on 'Yes' button to exclude duplicate selection and to proceed.\nPlease "
            "click on 'No' button to abort.\n",
            "Duplicate Selection", win::MB_YESNO) != win::IDYES)
      return;
    migration::deselectNamed(list_, duplicates);
  }
  int selected = migration::countSelectedProfiles(list_);
  if (!hasList_ || selected <= 0) {
    ui::messageBox(this,
                   "At least one Corvanta Profile should be selected.\nUnable to start the "
                   "processing.\n",
                   "Error", win::MB_OK);
    return;
  }
  {
    DCopyMoveCorvantaProfiles dialog(list_, move, selected);
    dialog.doModal();
  }
  buildProfileList(true);
}

void qnDInstallImportProfiles::onCommand(int id) {
  if (id == IDC_COPY) {
    copyOrMove(false);
  } else if (id == IDC_MOVE) {
    if (ui::messageBox(
            this,
            "The selected Corvanta Profiles will be moved from the other Corvanta Vision "
            "Software version directory to current Corvanta Vision Software version "
            "directory.\nAfter this operation the profile will no longer be available for the "
            "other Corvanta Vision Software version.\n\nDo you want to proceed?\nPlease click "
            "on the 'Yes' button to proceed.\nPlease click on the 'No' button to abort.\n",
            "Confirmation - Move Corvanta Profile", win::MB_YESNO) == win::IDYES)
      copyOrMove(true);
  } else if (id == IDC_REFRESH) {
    buildProfileList(true);
  } else {
    qnDPropertyPageBase::onCommand(id);
  }
}
