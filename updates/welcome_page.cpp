#include "updates/welcome_page.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/installer_app.h"
#include "app/installer_sheet.h"
#include "content/demo_profiles_page.h"
#include "content/resources_page.h"
#include "content/templates_page.h"
#include "content/tutorials_page.h"
#include "engine/app_context.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/portable.h"
#include "platform/shell.h"
#include "platform/sysinfo.h"
#include "platform/ui/image_controls.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "runners/please_wait.h"
#include "updates/new_version_dialog.h"

using ui::ControlKind;
namespace files = platform::files;

namespace {

const char* const kProduct = "Corvanta Vision Software Version XI 11.0.0.614";
const char* const kInstallerFileName = "CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe";

int tell(ui::Window* owner, const std::string& text, const std::string& caption = kInstallerCaption) {
  return ui::messageBox(owner, text, caption, win::MB_OK);
}

// A kept build of this installer, by its name alone.
bool looksLikeInstaller(const std::string& name) {
  return name.rfind("CorvantaVisionSoftware", 0) == 0 && name.find("Installer") != std::string::npos;
}

std::string comboText(const std::string& version, const std::string& privateBuild) {
  return privateBuild.empty() ? version : version + " (" + privateBuild + ")";
}

// The category of that name (letter case aside), appended when missing; none beyond the
// fixed number of slots.
DownloadCategory* categoryNamed(DownloadSelection& selection, const std::string& name) {
  for (DownloadCategory& c : selection)
    if (platform::equalsNoCase(c.name, name)) return &c;
  if (selection.size() >= kMaxDownloadSlots) return nullptr;
  selection.push_back(DownloadCategory{name, {}});
  return &selection.back();
}

void addItem(DownloadSelection& selection, const std::string& category, DownloadComponent item) {
  DownloadCategory* c = categoryNamed(selection, category);
  if (c && c->items.size() < kMaxDownloadSlots) c->items.push_back(std::move(item));
}

// Whether the category holds the named item and it is ticked.
bool itemSelected(const DownloadSelection& selection, const std::string& category,
                  const std::string& item) {
  for (const DownloadCategory& c : selection)
    if (platform::equalsNoCase(c.name, category))
      for (const DownloadComponent& d : c.items)
        if (d.name == item && d.selected) return true;
  return false;
}

// A content page made for the moment: its packages into a manager of their own, fetched
// while the page that owns their strings still stands.
template <class Page>
int downloadPackagesOf(bool* skipAll) {
  Page page("");
  mxInstallManagerBase packages;
  if (page.collectPackageEntries(&packages) <= 0 || packages.count() == 0) return 0;
  return packages.downloadAllComponents(false, skipAll) > 0 ? 1 : -1;
}

// The resources list first, then the pictures it names: they are known only once the list
// has arrived.
int downloadResources(bool* skipAll) {
  qnDInstallCorvantaResourcesDynamic page("");
  mxInstallManagerBase lists, oldPictures;
  if (page.collectPackageEntries(&lists, &oldPictures) <= 0) return 0;
  if (lists.count() > 0 && lists.downloadAllComponents(false, skipAll) <= 0) return -1;
  mxInstallManagerBase listAgain, pictures;
  if (page.collectPackageEntries(&listAgain, &pictures) <= 0 || pictures.count() == 0) return 1;
  return pictures.downloadAllComponents(false, skipAll) > 0 ? 1 : -1;
}

}  // namespace

int readInstallerVersion(const std::string& path, std::string& version, std::string& privateBuild) {
  platform::sysinfo::FileVersionInfo info;
  if (!platform::sysinfo::getFileVersionInfo(path, info)) return -1;
  version = std::to_string(info.fileVersionMS >> 16) + "." +
            std::to_string(info.fileVersionMS & 0xffff) + "." +
            std::to_string(info.fileVersionLS >> 16) + "." +
            std::to_string(info.fileVersionLS & 0xffff);
  privateBuild = info.privateBuildFlag ? info.privateBuild : "";
  return 1;
}

// ---- the selection dialog

DSelectInstallerComponents::DSelectInstallerComponents(DownloadSelection& selection)
    : ui::Window(kTemplateId, "Select Installer Components", 440, 455), selection_(selection) {}

void DSelectInstallerComponents::onInitDialog() {
  addControl(kText, ControlKind::Static, {12, 10, 428, 28},
             "Please select the installer components to copy");
  std::vector<ui::TreeItem> items{{"All", -1, true}};
  for (DownloadCategory& c : selection_) {
    if (c.items.empty()) continue;
    const int parent = static_cast<int>(items.size());
    items.push_back({c.name, 0, true});
    for (DownloadComponent& d : c.items) {
      d.treeItem = static_cast<int>(items.size());
      items.push_back({d.name, parent, d.selected != 0});
    }
  }
  // A parent stands ticked exactly when all its children are.
  for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i) {
    bool any = false, all = true;
    for (const auto& child : items)
      if (child.parent == i) any = true, all = all && child.checked;
    if (any) items[static_cast<size_t>(i)].checked = all;
  }
  for (const auto& item : items) lastChecks_.push_back(item.checked);
  addControl(kTree, ControlKind::CheckTree, {12, 32, 428, 400}).treeItems = std::move(items);
  addControl(win::IDOK, ControlKind::Button, {260, 415, 340, 440}, "Select");
  addControl(win::IDCANCEL, ControlKind::Button, {348, 415, 428, 440}, "Cancel");
}

void DSelectInstallerComponents::onNotify(int id, ui::Event event) {
  if (id != kTree || event != ui::Event::CheckChanged) return;
  std::vector<ui::TreeItem> items = control(kTree)->treeItems;
  int changed = -1;
  for (size_t i = 0; i < items.size() && i < lastChecks_.size(); ++i)
    if (items[i].checked != lastChecks_[i]) changed = static_cast<int>(i);
  if (changed < 0) return;
  for (auto& item : items)
    for (int a = item.parent; a >= 0; a = items[static_cast<size_t>(a)].parent)
      if (a == changed) item.checked = items[static_cast<size_t>(changed)].checked;
  for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i) {
    bool any = false, all = true;
    for (const auto& child : items)
      if (child.parent == i) any = true, all = all && child.checked;
    if (any) items[static_cast<size_t>(i)].checked = all;
  }
  lastChecks_.clear();
  for (const auto& item : items) lastChecks_.push_back(item.checked);
  setTreeItems(kTree, std::move(items));
}

void DSelectInstallerComponents::onOK() {
  const auto& items = control(kTree)->treeItems;
  bool any = false;
  for (DownloadCategory& c : selection_)
    for (DownloadComponent& d : c.items) {
      if (d.treeItem >= 0 && static_cast<size_t>(d.treeItem) < items.size())
        d.selected = items[static_cast<size_t>(d.treeItem)].checked ? 1 : 0;
      any = any || d.selected;
    }
  if (!any) {
    ui::messageBox(this, "Please select at least one component to download.",
                   ui::applicationTitle(), win::MB_OK);
    return;
  }
  endDialog(win::IDOK);
}

// ---- the page

qnDInstallWelcomeBase::qnDInstallWelcomeBase(const std::string& title)
    : qnDPropertyPageBase(144, title,
                          std::string("Welcome to ") + kProduct + " System Management") {
  shortName_ = "Welcome";
  titleText_ = std::string("Welcome to the ") + kInstallerCaption + ".";
  welcomeText_ =
      std::string("This application will help you in installing and managing all the "
                  "components associated with the ") + kProduct +
      " System, on this computer.\n\nThis application will also assist you in quickly "
      "getting started with the " + kProduct + " by\n"
      "=> Providing access to the Corvanta Online Resources\n"
      "=> Installing the required Microsoft Runtime Libraries\n"
      "=> Installing the Corvanta Runtime and the Corvanta Vision Software\n"
      "=> Providing interface to manage the Python Framework\n"
      "=> Providing interface to install the Open Source Libraries - OpenCV, NumPy, SciPy "
      "and more\n"
      "=> Suggesting the optional Corvanta Extensions, Corvanta Modules and Utility "
      "Softwares\n"
      "=> Providing interface for downloading and trying out the Corvanta demo profiles\n";
  informationText_ = "Please click on the 'Next' button to proceed.";
  bindText(kTitle, &titleText_);
  bindText(kWelcomeText, &welcomeText_);
  bindText(kInformation, &informationText_);
  bindText(kHiddenState, &hiddenState_);
  contentHooks.templates = downloadPackagesOf<qnDInstallTemplates>;
  contentHooks.demoProfiles = downloadPackagesOf<qnDInstallDemoProfiles>;
  contentHooks.tutorials = downloadPackagesOf<qnDInstallTutorials>;
  contentHooks.resources = downloadResources;
  // The help archive through the sheet's help manager.
  contentHooks.ensureHelpFiles = [this](bool refresh, bool* skipAll) {
    auto* sheet = installerSheet();
    return sheet ? sheet->ensureHelpFiles(refresh, skipAll) : 0;
  };
  contentHooks.deleteHelpFiles = [this] {
    if (auto* sheet = installerSheet()) sheet->deleteHelpFiles(true);
  };
  releaseLink_ = std::make_unique<DDynamicHyperlinkNewVersionAvailable>([] {
    if (auto* app = CCorvantaPrismalSDKInstallerApp::instance(); app && app->regularUpgradeInfo)
      showNewVersionDialog(*app->regularUpgradeInfo);
  });
  betaLink_ = std::make_unique<DDynamicHyperlinkNewVersionAvailable>([] {
    if (auto* app = CCorvantaPrismalSDKInstallerApp::instance(); app && app->betaUpgradeInfo)
      showNewVersionDialog(*app->betaUpgradeInfo);
  });
}

void qnDInstallWelcomeBase::setWelcomeComponents(unsigned count, ComponentEntry* const* entries) {
  entries_.clear();
  for (unsigned i = 0; i < count && entries; ++i) {
    if (!entries[i]) continue;
    entries_.push_back(*entries[i]);
    ComponentEntry& e = entries_.back();
    e.nameText = e.stateText = e.progressText = &hiddenState_;
  }
  std::vector<ComponentEntry*> pointers;
  for (ComponentEntry& e : entries_) pointers.push_back(&e);
  manager().releaseComponents();
  if (!pointers.empty()) manager().setComponents(static_cast<unsigned>(pointers.size()), pointers.data());
  buildDownloadSelection();
}

void qnDInstallWelcomeBase::buildDownloadSelection() {
  selection_.clear();
  for (unsigned i = 0; i < manager().count(); ++i)
    if (const ComponentEntry* e = manager().entry(i))
      addItem(selection_, e->category, {1, static_cast<int>(i), 1, e->name, -1});
  addItem(selection_, "Help Files", {0, -1, 1, "Help Files", -1});
}

void qnDInstallWelcomeBase::initPageControls() {
  addControl(kHiddenState, ControlKind::Static, ui::dluRect(0, 0, 1, 1)).visible = false;
  addControl(kTitle, ControlKind::Static, ui::dluRect(123, 46, 360, 12));
  addControl(kWelcomeText, ControlKind::Static, ui::dluRect(123, 62, 360, 120));
  addControl(kInstallerLabel, ControlKind::Static, ui::dluRect(123, 196, 90, 10),
             "Select Installer Version:");
  addControl(kInstallerCombo, ControlKind::ComboBox, ui::dluRect(123, 207, 110, 12));
  addControl(kInformation, ControlKind::Static, ui::dluRect(123, 250, 330, 18));
  addControl(kExtensionsOnly, ControlKind::CheckBox, ui::dluRect(123, 232, 120, 10),
             "'Extensions Only' Mode").visible = false;
  for (auto [id, x, image, tip] :
       {std::tuple{kBrowseInstallers, 696, "208", "Browse Installer Files"},
        std::tuple{kDeleteCopy, 662, "201", "Delete Copy"},
        std::tuple{kCreateCopy, 628, "204", "Create Installer Copy"}}) {
    const int top = ui::dluY(40);
    auto& c = addControl(id, ControlKind::ImageButton, {x, top, x + 24, top + 24});
    c.image = image;
    c.tooltip = tip;
  }
}

void qnDInstallWelcomeBase::onInitDialog() {
  qnDPropertyPageBase::onInitDialog();
  // The new-version controls stand beside the installer combo.
  ui::Rect anchor{100, 50, 300, 80};
  if (const ui::Control* combo = control(kInstallerCombo)) anchor = combo->rect;
  const int top = anchor.top - 40, left = anchor.right + 50;
  releaseLink_->createLink(*this, "Release Installer Version Available", 0,
                           {left, top + 25, left + 250, top + 45}, "", kReleaseLink);
  betaLink_->createLink(*this, "Beta Installer Version Available", 0,
                        {left, top + 50, left + 250, top + 70}, "", kBetaLink);
  for (auto [id, rect, image, tip, second] :
       {std::tuple{kReleaseButton, ui::Rect{left - 25, top + 20, left - 1, top + 44}, 206,
                   "Release Installer Version Available", 0u},
        std::tuple{kBetaButton, ui::Rect{left - 25, top + 45, left - 1, top + 69}, 210,
                   "Beta Installer Version Available", 1u}}) {
    ui::DDynamicButton button(*this, id, rect);
    button.loadPngResource(image);
    button.setOwner(this, 0, second);
    setTooltip(id, tip);
  }
  for (int id : {kReleaseLink, kBetaLink, kReleaseButton, kBetaButton}) show(id, false);
  if (platform::sysinfo::screenLogPixelsY() != 96)
    ui::messageBox(this,
                   std::string("Display settings on this computer are not compliant with the '") +
                       kInstallerCaption +
                       "' requirements.\n\nThe installer user interface may look cropped.\n\n\n"
                       "Please reset the display settings from the 'Control Panel -> Display' "
                       "console.\nRequired settings for Windows XP : 'DPI settings' should be "
                       "set to 'Normal size (96 DPI)'.\nRequired settings for Windows 7 : "
                       "Display 'size'/scale should be set to '100%'.",
                   "Warning", win::MB_OK);
}

bool qnDInstallWelcomeBase::onSetActive() {
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Cancel");
  }
  const bool writable = appContext().isFolderWritable;
  show(kDeleteCopy, writable);
  show(kCreateCopy, writable);
  // A build just started in place of this wizard is not moved away under it.
  const bool handingOver = installerSheet() && installerSheet()->handingOver();
  if (writable && !handingOver) {
    moveOtherInstallersAside();
    fillInstallerVersions();
  }
  show(kInstallerCombo, writable);
  show(kInstallerLabel, writable);
  showNewVersionLinks();
  return qnDPropertyPageBase::onSetActive();
}

void qnDInstallWelcomeBase::showNewVersionLinks() {
  auto* app = CCorvantaPrismalSDKInstallerApp::instance();
  for (auto [info, link, button, format] :
       {std::tuple{app ? app->regularUpgradeInfo.get() : nullptr, releaseLink_.get(),
                   kReleaseButton, "Release Installer Version %s Available"},
        std::tuple{app ? app->betaUpgradeInfo.get() : nullptr, betaLink_.get(), kBetaButton,
                   "Beta Installer Version %s Available"}}) {
    const bool offered = info && info->state == 2;
    if (offered) {
      std::string text = format;
      text.replace(text.find("%s"), 2, info->latestVersionNumber);
      link->setText(text);
      link->sizeToText();
    }
    show(link->id(), offered);
    show(button, offered);
  }
}

void qnDInstallWelcomeBase::onCommand(int id) {
  switch (id) {
    case kBrowseInstallers: browseInstallers(); return;
    case kDeleteCopy: deleteCopy(); return;
    case kCreateCopy: createInstallerCopy(); return;
    case kExtensionsOnly:
      if (auto* s = installerSheet()) s->extensionsOnly = check(kExtensionsOnly) != 0;
      return;
  }
  qnDPropertyPageBase::onCommand(id);
}

void qnDInstallWelcomeBase::onNotify(int id, ui::Event event) {
  if (id == kInstallerCombo && event == ui::Event::SelectionChanged) {
    switchToSelectedInstaller();
    return;
  }
  if (event == ui::Event::LinkActivated) {
    if (id == kReleaseLink) return releaseLink_->onClick();
    if (id == kBetaLink) return betaLink_->onClick();
  }
  qnDPropertyPageBase::onNotify(id, event);
}

long qnDInstallWelcomeBase::onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  if (msg == ui::kDynamicButtonMessage) {
    auto* app = CCorvantaPrismalSDKInstallerApp::instance();
    UpgradeInfo* info = !app ? nullptr
                        : lParam == 0 ? app->regularUpgradeInfo.get()
                        : lParam == 1 ? app->betaUpgradeInfo.get()
                                      : nullptr;
    if (info) showNewVersionDialog(*info);
    return 0;
  }
  return qnDPropertyPageBase::onMessage(msg, wParam, lParam);
}

std::string qnDInstallWelcomeBase::runningInstallerPath() const {
  auto* app = CCorvantaPrismalSDKInstallerApp::instance();
  if (app && !app->applicationName.empty())
    return appContext().applicationFolder + "\\" + app->applicationName + ".exe";
  return appContext().applicationFolder + "\\" + kInstallerFileName;
}

std::string qnDInstallWelcomeBase::installersFolder() const {
  return appContext().applicationFolder + "\\_CorvantaInstallers";
}

std::vector<qnDInstallWelcomeBase::Copy> qnDInstallWelcomeBase::installerCopies() const {
  std::vector<Copy> copies;
  for (const auto& f : files::find(installersFolder() + "\\*.exe")) {
    if ((f.attributes & win::FILE_ATTRIBUTE_DIRECTORY) || !looksLikeInstaller(f.name)) continue;
    Copy c{installersFolder() + "\\" + f.name, {}, {}};
    if (readInstallerVersion(c.path, c.version, c.privateBuild) == 1) copies.push_back(c);
  }
  return copies;
}

void qnDInstallWelcomeBase::moveOtherInstallersAside() {
  const std::string running = runningInstallerPath();
  const std::string folder = appContext().applicationFolder;
  bool waited = false;
  for (const auto& f : files::find(folder + "\\*.exe")) {
    const std::string path = folder + "\\" + f.name;
    std::string version, privateBuild;
    if ((f.attributes & win::FILE_ATTRIBUTE_DIRECTORY) || platform::equalsNoCase(path, running) ||
        !looksLikeInstaller(f.name) || readInstallerVersion(path, version, privateBuild) != 1)
      continue;
    if (!fileExists(installersFolder())) files::createDirectory(installersFolder());
    if (!waited) {
      // A wizard that has just handed over to this one is given the time to end.
      waited = true;
      DPleaseWaitDlg wait;
      wait.createModeless(this);
      std::this_thread::sleep_for(std::chrono::milliseconds(handOverWaitMs));
      wait.destroyWindow();
    }
    // An existing copy of that name stays; this file is tried again next time.
    files::moveFileEx(path, installersFolder() + "\\" + f.name, win::MOVEFILE_WRITE_THROUGH);
  }
}

void qnDInstallWelcomeBase::fillInstallerVersions() {
  std::vector<std::string> items;
  std::string version, privateBuild;
  runningInstallerText_ = readInstallerVersion(runningInstallerPath(), version, privateBuild) == 1
                              ? version + " (" + privateBuild + ")"
                              : kCurrentlyUsed;
  items.push_back(runningInstallerText_);
  for (const Copy& c : installerCopies()) items.push_back(comboText(c.version, c.privateBuild));
  setItems(kInstallerCombo, items);
  setSelection(kInstallerCombo, 0);
}

void qnDInstallWelcomeBase::switchToSelectedInstaller() {
  const ui::Control* combo = control(kInstallerCombo);
  if (!combo || combo->selection < 0 || combo->selection >= static_cast<int>(combo->items.size()))
    return;
  // The first item is the running build whatever its text says.
  if (combo->selection == 0) return;
  const std::string text = combo->items[static_cast<size_t>(combo->selection)];
  if (platform::equalsNoCase(text, kCurrentlyUsed)) return;
  std::string version = text, privateBuild;
  if (size_t cut = text.find(" ("); cut != std::string::npos) {
    version = text.substr(0, cut);
    privateBuild = text.substr(cut + 2, text.size() - cut - 3);
  }
  auto backToRunning = [this] { setSelection(kInstallerCombo, 0); };
  for (const Copy& c : installerCopies()) {
    if (!platform::equalsNoCase(c.version, version) ||
        !platform::equalsNoCase(c.privateBuild, privateBuild))
      continue;
    const std::string target =
        appContext().applicationFolder + c.path.substr(c.path.find_last_of('\\'));
    if (!files::moveFileEx(c.path, target,
                           win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH)) {
      tell(this, "Error: Unable to copy the selected installer file. Please try again.");
      backToRunning();
      return;
    }
    auto* s = installerSheet();
    if (!s || s->launchInstallerAndClose(target, this) != 1) backToRunning();
    return;
  }
  tell(this, "Error: Unable to switch to the selected installer. Please try again.");
  backToRunning();
}

void qnDInstallWelcomeBase::browseInstallers() {
  const std::string folder = appContext().applicationFolder + "\\_CorvantaInstallData";
  if (!fileExists(folder)) files::createDirectory(folder);
  long answer = platform::shell::shellExecute("open", folder, "", "");
  if (answer <= 32)
    tell(this, "Unable to browse the installer files. Error code - " + std::to_string(answer));
}

void qnDInstallWelcomeBase::deleteCopy() {
  manager().deleteOldDownloads(false, true);
  if (contentHooks.deleteHelpFiles) contentHooks.deleteHelpFiles();
  deleteInstallDataFolder(appContext().applicationFolder);
}

int qnDInstallWelcomeBase::createInstallerCopy() {
  {
    DSelectInstallerComponents dialog(selection_);
    if (dialog.doModal() != win::IDOK) return -1;
  }
  std::vector<int> indices;
  for (const DownloadCategory& c : selection_)
    for (const DownloadComponent& d : c.items)
      if (d.kind == 1 && d.selected && indices.size() < manager().count())
        indices.push_back(d.componentIndex);
  // Lists that are always fetched fresh replace the copy's old ones only once they have
  // arrived: offline, the copy keeps what it had.
  for (size_t pos = 0; pos < indices.size(); ++pos) {
    const ComponentEntry* e = manager().entry(static_cast<unsigned>(indices[pos]));
    if (!e || !e->alwaysRefresh) continue;
    DDownloadAndInstallComponent fresh(static_cast<int>(pos) + 1, static_cast<int>(indices.size()),
                                       e, true, true, false);
    fresh.doModal();
  }
  bool skipAll = false;
  if (!indices.empty() &&
      runDownloadSelectedComponents(indices.data(), static_cast<int>(indices.size()), &skipAll) <= 0)
    return -1;
  const std::pair<const char*, const char*> kinds[] = {
      {"Demo Profiles", "Corvanta Vision Demo Profiles"},
      {"Templates", "Corvanta Vision Templates"},
      {"Resources", "Corvanta Vision Resources"},
      {"Tutorials", "Corvanta Vision Tutorials"}};
  const std::function<int(bool*)>* hooks[] = {&contentHooks.demoProfiles, &contentHooks.templates,
                                              &contentHooks.resources, &contentHooks.tutorials};
  for (size_t k = 0; k < std::size(kinds); ++k) {
    if (!*hooks[k] || !itemSelected(selection_, kinds[k].first, kinds[k].second)) continue;
    if ((*hooks[k])(&skipAll) < 0) return -1;
  }
  if (contentHooks.ensureHelpFiles && itemSelected(selection_, "Help Files", "Help Files") &&
      contentHooks.ensureHelpFiles(true, &skipAll) <= 0)
    return -1;
  return 1;
}
