#include "content/demo_profiles_page.h"

#include "content/content_packages.h"
#include "engine/app_context.h"
#include "platform/file_helpers.h"
#include "platform/portable.h"
#include "platform/profile.h"
#include "platform/ui/property_sheet.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "runners/unzipper.h"

using ui::ControlKind;

namespace {

const char* const kListFile = "614demo.txt";
const char* const kDataFolder = "_CorvantaInstallData\\DemoProfiles";
const char* const kServerFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
const char* const kCategory = "Demo Profiles";

std::string downloadFolder() { return appContext().applicationFolder + "\\" + kDataFolder; }
std::string listPath() { return downloadFolder() + "\\" + kListFile; }

}  // namespace

std::string profilesFolder() { return userContentFolder("Profiles"); }

// ---- the panel

void DTabProfiles2D::evaluateProfile(Row& row) const {
  row.installed = false;
  row.installedVersion.clear();
  if (profilesFolder_.empty() || !isPlainName(row.className)) return;
  const std::string folder = profilesFolder_ + row.className;
  if (!fileExists(folder + "\\Corvanta.Cvp") || !fileExists(folder + "\\General.Ini")) return;
  row.installed = true;
  platform::profile::getString("Identification", "VersionLabel", "", row.installedVersion, 1024,
                               folder + "\\General.Ini");
}

void DTabProfiles2D::buildRows() {
  readRuntimeInstallPath(runtimeFolder_);
  // A documents folder that cannot be found leaves the one found before.
  if (std::string folder = profilesFolder(); !folder.empty()) profilesFolder_ = folder;
  rows_.clear();
  list_.load(listPath());
  int n = 45001, y = kRowTop;
  const int x = referenceX();
  for (const mxContentListEntry& e : list_.entries()) {
    if (static_cast<int>(rows_.size()) == kMaxRows) break;
    if (!platform::equalsNoCase(e.section, category)) continue;
    Row row{e.name, e.className.empty() ? e.name : e.className, e.url, "", e.versionLabel,
            e.infoText, e.infoUrl};
    evaluateProfile(row);
    const int r = static_cast<int>(rows_.size());
    row.uninstallId = n - 1;
    addRowButton(row.uninstallId, {x, y, x + 24, y + 25}, "190", "Uninstall", r, 2);
    row.runId = n;
    addRowButton(row.runId, {x - 25, y, x - 1, y + 25}, "188", "Run", r, 1);
    row.stateId = addPanelControl(0, ControlKind::Static, {x - 76, y + 5, x - 26, y + 30}).id;
    row.installId = n + 1;
    addRowButton(row.installId, {x - 106, y, x - 82, y + 25}, "191", "Install", r, 0);
    row.nameId = addPanelControl(0, ControlKind::Static, {30, y + 5, x - 137, y + 30}, row.name).id;
    row.infoId = n + 2;
    addRowButton(row.infoId, {5, y, 29, y + 25}, "206", row.infoText, r, 3);
    row.pictureId = n + 3;
    addPanelPicture(row.pictureId, ControlKind::ImageStatic, {5, y, 29, y + 25}, "206",
                    row.infoText);
    rows_.push_back(std::move(row));
    y += kRowStep;
    n += 5;
  }
  setMessage(rows_.empty() ? "No demo profiles are available." : "");
  page()->show(IDC_MESSAGE, rows_.empty());
  updateRows();
}

void DTabProfiles2D::updateRows() {
  ui::Window* p = page();
  if (!p) return;
  for (const Row& row : rows_) {
    const bool current = row.installed && row.installedVersion == row.versionLabel;
    std::string label = row.name;
    if (row.installed && !current && !row.installedVersion.empty())
      label += " " + row.installedVersion;
    p->setText(row.nameId, label);
    p->setText(row.stateId, current ? row.installedVersion : row.versionLabel);
    p->setText(row.installId, "Install");
    p->enable(row.installId, !row.installed);
    for (int id : {row.uninstallId, row.runId}) {
      p->show(id, row.installed);
      p->enable(id, row.installed);
    }
    p->show(row.infoId, !row.infoUrl.empty());
    p->enable(row.infoId, !row.infoUrl.empty());
    const bool picture = row.infoUrl.empty() && !row.infoText.empty();
    p->show(row.pictureId, picture);
    p->enable(row.pictureId, picture);
  }
}

bool DTabProfiles2D::rowAction(int index, int action) {
  Row& row = rows_[static_cast<size_t>(index)];
  switch (action) {
    case 0: install(row); return true;
    case 1: runProfile(page(), runtimeFolder_, profilesFolder_, row.className); return true;
    case 2: uninstall(row); return true;
    case 3:
      openContentLink(page(), row.infoUrl,
                      "Unable to access the profile information URL. Please try again.");
      return true;
    default: return false;
  }
}

void DTabProfiles2D::install(Row& row) {
  const std::string file = fileNameOf(row.url);
  if (!isPlainName(file)) {
    contentMessage(page(), "Error: Unable to parse the download path for the selected profile. "
                           "Please try again.");
    return;
  }
  switch (fetchPackage(row.name, row.url, file, downloadFolder(), kCategory)) {
    case PackageFetch::Ready: {
      if (std::string folder = profilesFolder(); !folder.empty()) profilesFolder_ = folder;
      createFolderPath(profilesFolder_.substr(0, profilesFolder_.size() - 1));
      if (profilesFolder_.empty() ||
          !CUnzipper::unzip(downloadFolder() + "\\" + file, profilesFolder_))
        contentMessage(page(), "Error: Unable to extract the profile files. Please try again.");
      break;
    }
    case PackageFetch::Missing:
      contentMessage(page(), "Error: Unable to install/upgrade the selected profile. Please try "
                             "again.");
      break;
    case PackageFetch::Failed: break;  // the download dialog told the reason
  }
  evaluateProfile(row);
  updateRows();
}

void DTabProfiles2D::uninstall(Row& row) {
  if (!deleteContentFolder(profilesFolder_, row.className)) {
    contentMessage(page(), "Unable to uninstall the Corvanta Vision App. Please try again.");
    return;
  }
  evaluateProfile(row);
  updateRows();
}

// ---- the page

qnDInstallDemoProfiles::qnDInstallDemoProfiles(const std::string& title)
    : qnDContentListPage(155, title, "Machine Vision Demonstration Profiles", kRefresh),
      listEntry_("Corvanta Vision Demo Profiles",
                 (downloadServerBaseUrl() + kServerFolder + kListFile).c_str(), kListFile, "",
                 downloadFolder().c_str(), false, true, &listStrings_.name, &listStrings_.state,
                 &listStrings_.progress, kCategory) {
  shortName_ = "DemoProfiles";
  ComponentEntry* entries[] = {&listEntry_};
  manager().setComponents(1, entries);
}

void qnDInstallDemoProfiles::initPageControls() {
  addControl(kInstruction, ControlKind::Static, ui::dluRect(123, 46, 338, 10),
             "Please click on the 'Install' button to download and update the required demo "
             "profile");
  addControl(kRunLine, ControlKind::Static, ui::dluRect(123, 56, 338, 8),
             "Please click on the 'Run' button to load the demo profile in Corvanta Vision "
             "Software and to try it");
  tabs_.create(*this, ui::dluRect(117, 66, 370, 180));
  const int left = ui::dluX(464), top = ui::dluY(40);
  auto& refresh = addControl(kRefresh, ControlKind::ImageButton, {left, top, left + 24, top + 24});
  refresh.image = "203";
  refresh.tooltip = "Refresh Profiles List";
  addControl(kHint, ControlKind::Static, ui::dluRect(123, 250, 330, 18),
             "Please click on the 'Next' button to install the tutorials.\nOr click on the "
             "'Finish' button to complete the installation.");
  created_ = true;
  if (appContext().isFolderWritable) refreshContentList(true, false);
}

bool qnDInstallDemoProfiles::onSetActive() {
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Finish");
  }
  show(kRefresh, appContext().isFolderWritable);
  refreshContentList(false, false);
  manager().updateComponentStates(0, static_cast<int>(manager().count()) - 1);
  return qnDContentListPage::onSetActive();
}

int qnDInstallDemoProfiles::refreshContentList(bool replaceExisting, bool showErrors) {
  const std::string previous = created_ ? tabs_.currentTabName() : "";
  bool fetched;
  const bool local = fetchContentList(listEntry_, listPath(), replaceExisting, showErrors, fetched);
  if (!fetched && local && showErrors) contentMessage(this, "Using default list of demo profiles.");
  if (!created_) return local ? 1 : -1;
  if (!local) {
    tabs_.setTabNames({}, previous);
    return -1;
  }
  list_.load(listPath());
  std::vector<std::string> names;
  list_.collectSections(&names);
  tabs_.setTabNames(names, previous);
  return 1;
}

int qnDInstallDemoProfiles::collectPackageEntries(mxInstallManagerBase* manager) {
  if (!manager || !fileExists(listPath())) return -1;
  list_.load(listPath());
  std::vector<ListedPackage> items;
  for (const mxContentListEntry& e : list_.entries()) items.push_back({e.name, e.url});
  return setPackageEntries(manager, items, downloadFolder(), kCategory, packages_, packageStrings_);
}
