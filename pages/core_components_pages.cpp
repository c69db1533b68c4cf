#include "pages/core_components_pages.h"


#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "platform/file_helpers.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

using Page = qnDInstallCoreComponentsSoftware;

namespace {

const char* const kServerFolder = "corvanta/files/InstallerDownloads/Corvanta11.0/614/";
const char* const kSdkFolder = "_CorvantaInstallData\\PrismalSDKInstaller";
const char* const kSdkFile = "CorvantaPrismalSDK_11_0_0_614_Installer_151223.exe";

struct CoreComponent {
  const char* name;
  const char* fileName;
  const char* folder;
  const char* category;
};

const CoreComponent kCore[] = {
    {"Corvanta Version XI 11.0.0.614 Runtime", "CorvantaRuntime_11_0_0_614_ReDist_151223.exe",
     "_CorvantaInstallData\\CorvantaRuntime", "Core Components"},
    {"Corvanta Vision Software Version XI 11.0.0.614",
     "CorvantaVisionSoftware_11_0_0_614_151223.exe",
     "_CorvantaInstallData\\CorvantaVisionSoftware", "Core Components"},
    {"Corvanta Prismal SDK Version XI 11.0.0.614 Installer", kSdkFile, kSdkFolder,
     "Corvanta Prismal SDK Installer"},
};

// Fills a page's manager with the first n core components, bound to the page's strings.
void fillManager(mxInstallManagerBase& manager, EntryStrings* const* strings, unsigned n) {
  std::vector<ComponentEntry*> entries;
  for (unsigned i = 0; i < n; ++i) {
    const CoreComponent& c = kCore[i];
    std::string url = downloadServerBaseUrl() + kServerFolder + c.fileName;
    std::string folder = appContext().applicationFolder + "\\" + c.folder;
    entries.push_back(new ComponentEntry(c.name, url.c_str(), c.fileName, " ", folder.c_str(),
                                         false, false, &strings[i]->name, &strings[i]->state,
                                         &strings[i]->progress, c.category));
  }
  manager.releaseComponents();
  manager.setComponents(n, entries.data());
  for (auto* e : entries) delete e;
}

const char* const kCoreGroupText =
    "The Corvanta Vision Software core components include the Corvanta Runtime installation.";
const char* const kRuntimeText =
    "The Corvanta Runtime is a shared component used by the Corvanta Prismal SDK, the "
    "Corvanta Vision Apps and the Corvanta Vision Software.";

// Fixed texts of the templates have no identifier of their own in the system; these keep
// them apart in the model.
enum : int { kGroupBox = 5001, kGroupText = 5002, kRuntimeTextId = 5003, kSdkGroup = 5004 };

// One row of a component: name, state and progress, then its buttons at the right.
void addComponentRow(ui::Window& page, int top, int nameId, int stateId, int progressId) {
  page.addControl(nameId, ui::ControlKind::Static, {185, top, 455, top + 18});
  page.addControl(stateId, ui::ControlKind::Static, {460, top, 560, top + 18});
  page.addControl(progressId, ui::ControlKind::Static, {565, top, 668, top + 18});
}

void addImageButton(ui::Window& page, int id, int left, int top, const char* image,
                    const char* tip) {
  auto& button = page.addControl(id, ui::ControlKind::ImageButton, {left, top, left + 24, top + 24});
  button.image = image;
  button.tooltip = tip;
}

void addCoreTexts(ui::Window& page, const char* groupCaption) {
  page.addControl(kGroupBox, ui::ControlKind::GroupBox, {175, 80, 730, 235}, groupCaption);
  page.addControl(kGroupText, ui::ControlKind::Static, {185, 98, 720, 116}, kCoreGroupText);
  page.addControl(kRuntimeTextId, ui::ControlKind::Static, {185, 190, 720, 225}, kRuntimeText);
}

}  // namespace

qnDInstallCoreComponentsSoftware::qnDInstallCoreComponentsSoftware(const std::string& title)
    : qnDPropertyPageBase(151, title, "Core Installation") {
  shortName_ = "CoreComponents";
  information =
      "Please install correct versions of all the Corvanta Vision Software core components by "
      "clicking on the 'Install' buttons,\nThen click on the 'Next' button to proceed.";
  sdkDescription =
      "Corvanta Prismal is an advanced ActiveX component which can be quickly integrated in "
      "any Windows application. Corvanta Prismal handles all functionalities related to "
      "machine vision by itself, and the application only needs to host it.\nHence, Corvanta "
      "Prismal can be used to quickly develop advanced machine vision applications, using full "
      "power and flexibility of Corvanta Vision Runtime.\nPlease click on the 'Download' "
      "button to download the 'Corvanta Prismal SDK installer'.";
  EntryStrings* strings[] = {&runtime, &vision, &sdk};
  fillManager(manager(), strings, 3);
  bindText(kRuntimeName, &runtime.name);
  bindText(kRuntimeState, &runtime.state);
  bindText(kRuntimeProgress, &runtime.progress);
  bindText(kVisionName, &vision.name);
  bindText(kVisionState, &vision.state);
  bindText(kVisionProgress, &vision.progress);
  bindText(kInformation, &information);
  bindText(kSdkDescription, &sdkDescription);
}

void qnDInstallCoreComponentsSoftware::initPageControls() {
  addCoreTexts(*this, "Core Components");
  addComponentRow(*this, 128, kRuntimeName, kRuntimeState, kRuntimeProgress);
  addComponentRow(*this, 158, kVisionName, kVisionState, kVisionProgress);
  addImageButton(*this, kInstallRuntime, 674, 124, "191", "Install");
  addImageButton(*this, kUninstallRuntime, 700, 124, "190", "Uninstall");
  addImageButton(*this, kInstallVision, 674, 154, "191", "Install");
  addImageButton(*this, kUninstallVision, 700, 154, "190", "Uninstall");
  addControl(kSdkGroup, ui::ControlKind::GroupBox, {175, 245, 730, 375},
             "Corvanta Prismal SDK Installer");
  addControl(kSdkDescription, ui::ControlKind::Static, {185, 263, 668, 370});
  addImageButton(*this, kDownloadSdk, 674, 300, "191", "Download Corvanta Prismal SDK Installer");
  addControl(kInformation, ui::ControlKind::Static, {185, 385, 690, 425});
  addImageButton(*this, kDownloadInstallablesId, 696, 420, "202", "Download Installables");
}

bool qnDInstallCoreComponentsSoftware::onSetActive() {
  if (sheet()) sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
  show(kDownloadInstallablesId, appContext().isFolderWritable);
  updateWizardButtons();
  return qnDPropertyPageBase::onSetActive();
}

void qnDInstallCoreComponentsSoftware::updateWizardButtons() {
  bool both = manager().updateComponentStates(0, 1) == 1;
  if (!sheet()) return;
  sheet()->setWizardButtons(both ? ui::PSWIZB_BACK | ui::PSWIZB_NEXT : ui::PSWIZB_BACK);
  sheet()->setButtonText(ui::ID_SHEET_CANCEL, both ? "Finish" : "Cancel");
}

void qnDInstallCoreComponentsSoftware::refreshControls() {
  enable(kInstallRuntime, runtime.state != "Installed");
  enable(kUninstallRuntime, runtime.state != "Not Installed");
  enable(kInstallVision, vision.state != "Installed");
  enable(kUninstallVision, vision.state != "Not Installed");
}

long qnDInstallCoreComponentsSoftware::onWizardNext() {
  // The import of older-version data is offered here once that import exists.
  return qnDPropertyPageBase::onWizardNext();
}

void qnDInstallCoreComponentsSoftware::onCommand(int id) {
  switch (id) {
    case kInstallRuntime: runInstallComponents(0, 0, true); break;
    case kUninstallRuntime: runUninstallComponents(0, 0); break;
    case kInstallVision: runInstallComponents(1, 1, true); break;
    case kUninstallVision: runUninstallComponents(1, 1); break;
    case kDownloadSdk: downloadSdkInstaller(); return;
    default: qnDPropertyPageBase::onCommand(id); return;
  }
  updateWizardButtons();
}

void qnDInstallCoreComponentsSoftware::downloadSdkInstaller() {
  runInstallComponents(2, 2, true);
  std::string folder = appContext().applicationFolder + "\\" + kSdkFolder;
  if (!fileExists(folder + "\\" + kSdkFile)) {
    ui::messageBox(this, "Error: Unable to download.\nPlease try again.", "Error", win::MB_OK);
    return;
  }
  ui::messageBox(this,
                 "Download successful.\nPlease click on the 'OK' button to view the downloaded "
                 "file in Windows Explorer.",
                 "Success", win::MB_OK);
  long answer = platform::shell::shellExecute("open", folder, "", folder);
  if (answer <= 32)
    ui::messageBox(this, "Unable to browse the folder. Error code - " + std::to_string(answer),
                   "Error", win::MB_OK);
}

qnDInstallCoreComponentsSoftwareStatus::qnDInstallCoreComponentsSoftwareStatus(
    const std::string& title)
    : qnDPropertyPageBase(139, title, "Core Installation Status") {
  shortName_ = "CoreComponents";
  EntryStrings* strings[] = {&runtime, &vision};
  fillManager(manager(), strings, 2);
  bindText(Page::kRuntimeName, &runtime.name);
  bindText(Page::kRuntimeState, &runtime.state);
  bindText(Page::kRuntimeProgress, &runtime.progress);
  bindText(Page::kVisionName, &vision.name);
  bindText(Page::kVisionState, &vision.state);
  bindText(Page::kVisionProgress, &vision.progress);
  bindText(kStatusText, &status);
}

bool qnDInstallCoreComponentsSoftwareStatus::skipPage() {
  return manager().count() != 0 &&
         manager().updateComponentStates(0, static_cast<int>(manager().count()) - 1) == 1;
}

void qnDInstallCoreComponentsSoftwareStatus::initPageControls() {
  addCoreTexts(*this, "Core Components Installation Status");
  addComponentRow(*this, 128, Page::kRuntimeName, Page::kRuntimeState, Page::kRuntimeProgress);
  addComponentRow(*this, 158, Page::kVisionName, Page::kVisionState, Page::kVisionProgress);
  addImageButton(*this, Page::kUninstallRuntime, 700, 124, "190", "Uninstall");
  addImageButton(*this, Page::kUninstallVision, 700, 154, "190", "Uninstall");
  addControl(kStatusText, ui::ControlKind::Static, {185, 250, 720, 300});
  addImageButton(*this, kDownloadInstallablesId, 696, 420, "202", "Download Installables");
}

bool qnDInstallCoreComponentsSoftwareStatus::onSetActive() {
  updateStatus();
  if (sheet()) sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Cancel");
  show(kDownloadInstallablesId, appContext().isFolderWritable);
  return qnDPropertyPageBase::onSetActive();
}

void qnDInstallCoreComponentsSoftwareStatus::refreshControls() {
  enable(Page::kUninstallRuntime, runtime.state != "Not Installed");
  enable(Page::kUninstallVision, vision.state != "Not Installed");
  updateStatus();
}

void qnDInstallCoreComponentsSoftwareStatus::updateStatus() {
  int all = manager().count() == 0
                ? -1
                : manager().updateComponentStates(0, static_cast<int>(manager().count()) - 1);
  if (all == 1) {
    if (sheet()) {
      sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
      sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Finish");
    }
    status =
        "All Corvanta Vision Software core components are installed. Please click on the "
        "'Next' button to continue, or on the 'Finish' button to close the installer.";
  } else {
    if (sheet()) sheet()->setWizardButtons(ui::PSWIZB_BACK);
    status =
        "Core components are not installed successfully. Please click on the 'Back' button "
        "to try again";
  }
  updateData();
}

void qnDInstallCoreComponentsSoftwareStatus::onCommand(int id) {
  switch (id) {
    case Page::kUninstallRuntime: runUninstallComponents(0, 0); break;
    case Page::kUninstallVision: runUninstallComponents(1, 1); break;
    default: qnDPropertyPageBase::onCommand(id); break;
  }
}
