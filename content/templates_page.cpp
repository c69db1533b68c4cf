#include "content/templates_page.h"

#include "content/content_packages.h"
#include "engine/app_context.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/portable.h"
#include "platform/shell.h"
#include "platform/ui/image_controls.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/unzipper.h"

using ui::ControlKind;

namespace {

const char* const kListFile = "614CTC.txt";
const char* const kDataFolder = "_CorvantaInstallData\\Templates";
const char* const kServerFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";

std::string downloadFolder() { return appContext().applicationFolder + "\\" + kDataFolder; }

void tell(ui::Window* owner, const std::string& text, const char* caption = kInstallerCaption) {
  ui::messageBox(owner, text, caption, win::MB_OK);
}

}  // namespace

std::string templatesFolder() { return userContentFolder("Templates"); }

// ---- the panel

void DTabTemplates::evaluateTemplate(Row& row) {
  auto found = isPlainName(row.className)
                   ? findInstalledTemplateVersion(templatesFolder(), row.className)
                   : std::nullopt;
  row.installed = found.value_or("");
  row.state = ::evaluateTemplate(found, row.versionLabel);
}

void DTabTemplates::buildRows() {
  rows_.clear();
  list_.load(downloadFolder() + "\\" + kListFile);
  int n = 45001, y = kRowTop;
  const int x = referenceX();
  for (const mxContentListEntry& e : list_.entries()) {
    if (static_cast<int>(rows_.size()) == kMaxRows) break;
    if (!platform::equalsNoCase(e.section, category)) continue;
    Row row{e.name, e.className.empty() ? e.name : e.className, e.url, "", e.versionLabel,
            e.infoText, e.infoUrl};
    evaluateTemplate(row);
    const int r = static_cast<int>(rows_.size());
    row.uninstallId = n - 1;
    addRowButton(row.uninstallId, {x, y, x + 24, y + 25}, "190", "Uninstall", r, 2);
    row.stateId = addPanelControl(0, ControlKind::Static, {x - 51, y + 5, x - 1, y + 30}).id;
    row.installId = n;
    addRowButton(row.installId, {x - 81, y, x - 57, y + 25}, "191", "Install", r, 0);
    row.nameId = addPanelControl(0, ControlKind::Static, {30, y + 5, x - 112, y + 30}, row.name).id;
    row.infoId = n + 1;
    addRowButton(row.infoId, {5, y, 29, y + 25}, "206", row.infoText, r, 3);
    row.pictureId = n + 2;
    addPanelPicture(row.pictureId, ControlKind::ImageStatic, {5, y, 29, y + 25}, "206", row.infoText);
    rows_.push_back(std::move(row));
    y += kRowStep;
    n += 4;
  }
  setMessage(rows_.empty() ? "No templates are available." : "");
  page()->show(IDC_MESSAGE, rows_.empty());
  updateRows();
}

void DTabTemplates::updateRows() {
  ui::Window* p = page();
  if (!p) return;
  for (const Row& row : rows_) {
    const bool installed = row.state != TemplateState::Outdated;
    std::string label = row.name;
    if (row.state != TemplateState::Current && !row.installed.empty())
      label += " " + row.installed;
    p->setText(row.nameId, label);
    p->setText(row.stateId, row.versionLabel);
    p->enable(row.installId, !installed);
    p->show(row.uninstallId, installed);
    p->enable(row.uninstallId, installed);
    p->show(row.infoId, !row.infoUrl.empty());
    p->show(row.pictureId, row.infoUrl.empty() && !row.infoText.empty());
  }
}

bool DTabTemplates::rowAction(int index, int action) {
  Row& row = rows_[static_cast<size_t>(index)];
  switch (action) {
    case 0: install(row); return true;
    case 2: uninstall(row); return true;
    case 3: info(row); return true;
    default: return false;
  }
}

void DTabTemplates::install(Row& row) {
  const std::string file = fileNameOf(row.url);
  if (!isPlainName(file)) {
    tell(page(), "Error: Unable to parse the download path for the selected template. Please try "
                 "again.");
    return;
  }
  switch (fetchPackage(row.name, row.url, file, downloadFolder(), "Templates")) {
    case PackageFetch::Ready: {
      const std::string folder = templatesFolder();
      createFolderPath(folder.substr(0, folder.size() - 1));
      if (!CUnzipper::unzip(downloadFolder() + "\\" + file, folder))
        tell(page(), "Error: Unable to extract the template files. Please try again.");
      break;
    }
    case PackageFetch::Missing:
      tell(page(), "Error: Unable to install the selected template. Please try again.");
      break;
    case PackageFetch::Failed: break;
  }
  evaluateTemplate(row);
  updateRows();
}

void DTabTemplates::uninstall(Row& row) {
  // The folder's name is made of two names from the server: each must be plain.
  if (!isPlainName(row.className) || !isPlainVersionLabel(row.versionLabel) ||
      !deleteContentFolder(templatesFolder(), row.className + "_" + row.versionLabel)) {
    tell(page(), "Unable to uninstall the Corvanta Vision App. Please try again.");
    return;
  }
  evaluateTemplate(row);
  updateRows();
}

void DTabTemplates::info(const Row& row) {
  if (platform::shell::shellExecute("open", row.infoUrl, "", "") <= 32)
    tell(page(), "Unable to access the template information URL. Please try again.");
}

// ---- the page

qnDInstallTemplates::qnDInstallTemplates(const std::string& title)
    : qnDContentListPage(175, title, "CTC - Corvanta Tool Components", kRefresh),
      listEntry_("Corvanta Vision Templates",
                 (downloadServerBaseUrl() + kServerFolder + kListFile).c_str(), kListFile, "",
                 downloadFolder().c_str(), false, true, &listStrings_.name, &listStrings_.state,
                 &listStrings_.progress, "Templates") {
  shortName_ = "Templates";
  ComponentEntry* entries[] = {&listEntry_};
  manager().setComponents(1, entries);
  bindText(kHint, &hint);
  hint = "Please click on the 'Next' button to proceed.\nOr click on the 'Finish' button to "
         "complete the installation.";
}

std::string qnDInstallTemplates::listPath() const { return downloadFolder() + "\\" + kListFile; }

void qnDInstallTemplates::initPageControls() {
  addControl(kInstruction, ControlKind::Static, ui::dluRect(123, 46, 300, 10),
             "Please click on the 'Install' button to download and update the required "
             "template");
  addControl(kSecondLine, ControlKind::Static, ui::dluRect(123, 56, 300, 8));
  tabs_.create(*this, ui::dluRect(117, 66, 370, 180));
  for (auto [id, x, image, tip] :
       {std::tuple{kRefresh, 464, "203", "Refresh Templates List"},
        std::tuple{kInstallAll, 441, "204", "Download and Install All Templates"}}) {
    const int left = ui::dluX(x), top = ui::dluY(40);
    auto& c = addControl(id, ControlKind::ImageButton, {left, top, left + 24, top + 24});
    c.image = image;
    c.tooltip = tip;
  }
  addControl(kHint, ControlKind::Static, ui::dluRect(123, 250, 330, 18));
  created_ = true;
  if (appContext().isFolderWritable) refreshContentList(true, false);
}

bool qnDInstallTemplates::onSetActive() {
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Finish");
  }
  show(kRefresh, appContext().isFolderWritable);
  refreshContentList(false, false);
  return qnDContentListPage::onSetActive();
}

void qnDInstallTemplates::onCommand(int id) {
  if (id == kInstallAll) {
    downloadAndInstallAll();
    return;
  }
  qnDContentListPage::onCommand(id);
}

int qnDInstallTemplates::refreshContentList(bool replaceExisting, bool showErrors) {
  const std::string previous = created_ ? tabs_.currentTabName() : "";
  bool fetched;
  const bool local = fetchContentList(listEntry_, listPath(), replaceExisting, showErrors, fetched);
  if (!fetched && local && showErrors) tell(this, "Using default list of templates.");
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

int qnDInstallTemplates::collectPackageEntries(mxInstallManagerBase* manager) {
  if (!manager || !fileExists(listPath())) return -1;
  list_.load(listPath());
  std::vector<ListedPackage> items;
  for (const mxContentListEntry& e : list_.entries()) items.push_back({e.name, e.url});
  return setPackageEntries(manager, items, downloadFolder(), "Templates", packages_, packageStrings_);
}

void qnDInstallTemplates::downloadAndInstallAll() {
  const std::string folder = templatesFolder();
  createFolderPath(folder.substr(0, folder.size() - 1));
  mxInstallManagerBase all;
  if (collectPackageEntries(&all) < 1) {
    tell(this, "Unable to get list of available templates. Please try again.", "Error");
    return;
  }
  bool skipAll = false;
  all.downloadAllComponents(false, &skipAll);
  bool failed = false;
  for (unsigned i = 0; i < all.count(); ++i) {
    const ComponentEntry* e = all.entry(i);
    const std::string package = e->downloadFolder + "\\" + e->fileName;
    failed |= !isPlainName(e->fileName) || !fileExists(package) || !CUnzipper::unzip(package, folder);
  }
  all.releaseComponents();
  refreshContentList(false, false);
  if (failed) tell(this, "Unable to install one or more templates. Please try again.", "Error");
}
