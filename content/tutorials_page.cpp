#include "content/tutorials_page.h"

#include "content/content_list.h"
#include "content/content_packages.h"
#include "engine/app_context.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/ui/property_sheet.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "runners/unzipper.h"

using ui::ControlKind;

namespace {

const char* const kListFile = "614tutorials.ini.txt";
const char* const kDataFolder = "_CorvantaInstallData\\Tutorials";
const char* const kServerFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
const char* const kCategory = "Tutorials";

std::string downloadFolder() { return appContext().applicationFolder + "\\" + kDataFolder; }
std::string listPath() { return downloadFolder() + "\\" + kListFile; }

std::string value(const std::string& section, const char* key, const std::string& file) {
  std::string v;
  platform::profile::getString(section, key, "", v, 1024, file);
  return v;
}

std::vector<std::string> sectionNames(const std::string& file) {
  std::vector<std::string> names;
  platform::profile::getSectionNames(names, 8192, file);
  return names;
}

// "a\b" when both are plain names of one folder below the other.
std::string childPath(const std::string& parent, const std::string& name, const std::string& leaf) {
  return parent.empty() || !isPlainName(name) || !isPlainName(leaf)
             ? std::string()
             : parent + name + "\\" + leaf;
}

}  // namespace

std::string tutorialsFolder() { return userContentFolder("Tutorials"); }

// ---- the panel

bool DTabTutorials::isInstalled(const Row& row) const {
  const std::string profile = childPath(profilesFolder_, row.profileName, "Corvanta.Cvp");
  const std::string document = childPath(tutorialsFolder_, row.name, row.pdfName);
  return !profile.empty() && !document.empty() && fileExists(profile) && fileExists(document);
}

void DTabTutorials::buildRows() {
  readRuntimeInstallPath(runtimeFolder_);
  if (std::string folder = userContentFolder("Profiles"); !folder.empty()) profilesFolder_ = folder;
  if (std::string folder = tutorialsFolder(); !folder.empty()) tutorialsFolder_ = folder;
  rows_.clear();
  const std::string file = listPath();
  int n = 45001, y = kRowTop;
  const int x = referenceX();
  for (const std::string& section : sectionNames(file)) {
    if (static_cast<int>(rows_.size()) == kMaxRows) break;
    if (!sectionInTab(section, category)) continue;
    Row row;
    row.caption = value(section, "Caption", file);
    row.name = value(section, "Name", file);
    if (row.name.empty()) row.name = row.caption;
    row.profileName = value(section, "ProfileName", file);
    row.profileZip = value(section, "ProfileZIP", file);
    row.url = value(section, "URL", file);
    row.pdfName = value(section, "PDFName", file);
    row.videoUrl = value(section, "VideoURL", file);
    row.infoText = value(section, "InfoText", file);
    row.infoUrl = value(section, "InfoURL", file);
    const int r = static_cast<int>(rows_.size());
    row.removeId = n - 1;
    addRowButton(row.removeId, {x, y, x + 24, y + 25}, "189", "Remove", r, 2);
    row.videoId = n;
    addRowButton(row.videoId, {x - 25, y, x - 1, y + 25}, "207", "Video", r, 4);
    row.pdfId = n + 1;
    addRowButton(row.pdfId, {x - 50, y, x - 26, y + 25}, "194", "PDF", r, 3);
    row.runId = n + 2;
    addRowButton(row.runId, {x - 75, y, x - 51, y + 25}, "188", "Run", r, 1);
    row.installId = n + 3;
    addRowButton(row.installId, {x - 100, y, x - 76, y + 25}, "191", "Install", r, 0);
    row.stateId = addPanelControl(0, ControlKind::Static, {x - 171, y + 5, x - 101, y + 30},
                                  "Not Installed").id;
    row.captionId =
        addPanelControl(0, ControlKind::Static, {30, y + 5, x - 202, y + 30}, row.caption).id;
    row.infoId = n + 4;
    addRowButton(row.infoId, {5, y, 29, y + 25}, "206", row.infoText, r, 5);
    row.pictureId = n + 5;
    addPanelPicture(row.pictureId, ControlKind::ImageStatic, {5, y, 29, y + 25}, "206",
                    row.infoText);
    rows_.push_back(std::move(row));
    y += kRowStep;
    n += 7;
  }
  setMessage(rows_.empty() ? "No demo tutorials are available." : "");
  page()->show(IDC_MESSAGE, rows_.empty());
  updateRows();
}

void DTabTutorials::updateRows() {
  ui::Window* p = page();
  if (!p) return;
  for (const Row& row : rows_) {
    const bool installed = isInstalled(row);
    p->enable(row.installId, !installed);
    for (int id : {row.removeId, row.runId, row.pdfId}) {
      p->show(id, installed);
      p->enable(id, installed);
    }
    p->setText(row.stateId, installed ? "Installed" : "Not Installed");
    p->show(row.videoId, installed);
    p->enable(row.videoId, installed && !row.videoUrl.empty());
    p->show(row.infoId, !row.infoUrl.empty());
    p->enable(row.infoId, !row.infoUrl.empty());
    const bool picture = row.infoUrl.empty() && !row.infoText.empty();
    p->show(row.pictureId, picture);
    p->enable(row.pictureId, picture);
  }
}

bool DTabTutorials::rowAction(int index, int action) {
  const Row& row = rows_[static_cast<size_t>(index)];
  switch (action) {
    case 0: install(row); return true;
    case 1: runProfile(page(), runtimeFolder_, profilesFolder_, row.profileName); return true;
    case 2: remove(row); return true;
    case 3: {
      const std::string document = childPath(tutorialsFolder_, row.name, row.pdfName);
      openContentLink(page(), document, "Unable to access the tutorial PDF file. Please try again.");
      return true;
    }
    case 4:
      openContentLink(page(), row.videoUrl,
                      "Unable to access the tutorial video URL. Please try again.");
      return true;
    case 5:
      openContentLink(page(), row.infoUrl,
                      "Unable to access the tutorial information URL. Please try again.");
      return true;
    default: return false;
  }
}

void DTabTutorials::install(const Row& row) {
  const std::string file = fileNameOf(row.url);
  // The tutorial's folder is named by the list too: a name that is no plain folder name
  // cannot be installed either.
  if (!isPlainName(file) || !isPlainName(row.name)) {
    contentMessage(page(), "Error: Unable to parse the download path for the selected tutorial. "
                           "Please try again.");
    return;
  }
  if (fetchPackage(row.caption, row.url, file, downloadFolder(), kCategory) ==
      PackageFetch::Ready) {
    if (std::string f = userContentFolder("Profiles"); !f.empty()) profilesFolder_ = f;
    if (std::string f = tutorialsFolder(); !f.empty()) tutorialsFolder_ = f;
    const std::string target = tutorialsFolder_ + row.name;
    if (!profilesFolder_.empty() && !tutorialsFolder_.empty()) {
      createFolderPath(profilesFolder_.substr(0, profilesFolder_.size() - 1));
      createFolderPath(tutorialsFolder_.substr(0, tutorialsFolder_.size() - 1));
      createFolderPath(target);
    }
    if (tutorialsFolder_.empty() || !CUnzipper::unzip(downloadFolder() + "\\" + file, target)) {
      contentMessage(page(), "Error: Unable to extract the tutorial files. Please try again.");
    } else if (!isPlainName(row.profileZip) ||
               !CUnzipper::unzip(target + "\\" + row.profileZip, profilesFolder_)) {
      contentMessage(page(), "Error: Unable to extract the tutorial files 2. Please try again.");
    }
  }
  updateRows();
}

void DTabTutorials::remove(const Row& row) {
  // The profile goes first, the document second; something that is not there at all cannot
  // be removed.
  const bool profile = isPlainName(row.profileName) &&
                       platform::files::isDirectory(profilesFolder_ + row.profileName);
  const bool tutorial =
      isPlainName(row.name) && platform::files::isDirectory(tutorialsFolder_ + row.name);
  if ((!profile && !tutorial) ||
      (profile && !deleteContentFolder(profilesFolder_, row.profileName)) ||
      (tutorial && !deleteContentFolder(tutorialsFolder_, row.name))) {
    contentMessage(page(), "Unable to remove the tutorial. Please try again.");
    return;
  }
  updateRows();
}

// ---- the page

qnDInstallTutorials::qnDInstallTutorials(const std::string& title)
    : qnDContentListPage(165, title, "Corvanta Vision Tutorials", kRefresh),
      listEntry_("Corvanta Vision Tutorials",
                 (downloadServerBaseUrl() + kServerFolder + kListFile).c_str(), kListFile, "",
                 downloadFolder().c_str(), false, true, &listStrings_.name, &listStrings_.state,
                 &listStrings_.progress, kCategory) {
  shortName_ = "Tutorials";
  ComponentEntry* entries[] = {&listEntry_};
  manager().setComponents(1, entries);
  bindText(kHint, &hint);
}

void qnDInstallTutorials::initPageControls() {
  addControl(kInstruction, ControlKind::Static, ui::dluRect(123, 46, 338, 10),
             "Please click on the 'Install' button to download and update the required "
             "tutorial");
  addControl(kPdfLine, ControlKind::Static, ui::dluRect(123, 56, 338, 8),
             "Please click on the 'PDF' button to view the tutorial document");
  tabs_.create(*this, ui::dluRect(117, 66, 370, 180));
  const int left = ui::dluX(464), top = ui::dluY(40);
  auto& refresh = addControl(kRefresh, ControlKind::ImageButton, {left, top, left + 24, top + 24});
  refresh.image = "203";
  refresh.tooltip = "Refresh Tutorials List";
  addControl(kHint, ControlKind::Static, ui::dluRect(123, 250, 330, 18));
  created_ = true;
  if (appContext().isFolderWritable) refreshContentList(true, false);
}

bool qnDInstallTutorials::onSetActive() {
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Finish");
  }
  show(kRefresh, appContext().isFolderWritable);
  refreshContentList(false, false);
  hint = "Please click on the 'Next' button to configure the image processing options.\nOr "
         "click on the 'Finish' button to complete the installation.";
  manager().updateComponentStates(0, static_cast<int>(manager().count()) - 1);
  return qnDContentListPage::onSetActive();
}

int qnDInstallTutorials::refreshContentList(bool replaceExisting, bool showErrors) {
  const std::string previous = created_ ? tabs_.currentTabName() : "";
  bool fetched;
  const bool local = fetchContentList(listEntry_, listPath(), replaceExisting, showErrors, fetched);
  if (!fetched && local && showErrors) contentMessage(this, "Using default list of tutorials.");
  if (!created_) return local ? 1 : -1;
  tabs_.setTabNames(local ? iniListTabNames(listPath()) : std::vector<std::string>{}, previous);
  return local ? 1 : -1;
}

int qnDInstallTutorials::collectPackageEntries(mxInstallManagerBase* manager) {
  if (!manager || !fileExists(listPath())) return -1;
  const std::string file = listPath();
  std::vector<ListedPackage> items;
  for (const std::string& section : sectionNames(file))
    items.push_back({value(section, "Caption", file), value(section, "URL", file)});
  return setPackageEntries(manager, items, downloadFolder(), kCategory, packages_, packageStrings_);
}
