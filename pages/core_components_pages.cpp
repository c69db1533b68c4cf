#include "pages/core_components_pages.h"

#include "engine/app_context.h"
#include "migration/import_corvanta_data.h"
#include "platform/file_helpers.h"
#include "platform/shell.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

using Page = qnDInstallCoreComponentsSoftware;
using ui::ControlKind;

namespace {

const char* const kCoreGroupText =
    "The Corvanta Vision Software core components include the Corvanta Runtime installation.";
const char* const kRuntimeText =
    "The Corvanta Runtime is a shared component used by the Corvanta Prismal SDK, the "
    "Corvanta Vision Apps and the Corvanta Vision Software.";

// Fixed texts of the templates have no identifier of their own in the system; these keep
// them apart in the model.
enum : int { kGroupBox = 5001, kGroupText = 5002, kRuntimeTextId = 5003, kSdkGroup = 5004 };

std::vector<PageText> coreTexts(const char* groupCaption) {
  return {{kGroupBox, ControlKind::GroupBox, {117, 49, 370, 95}, groupCaption},
          {kGroupText, ControlKind::Static, {123, 61, 357, 10}, kCoreGroupText},
          {kRuntimeTextId, ControlKind::Static, {123, 117, 357, 21}, kRuntimeText}};
}

ComponentListLayout coreLayout() {
  ComponentListLayout l{151, "Core Installation", "CoreComponents", coreTexts("Core Components"),
                        {{0, Page::kRuntimeName, Page::kRuntimeState, Page::kRuntimeProgress,
                          Page::kInstallRuntime, Page::kUninstallRuntime, 76},
                         {1, Page::kVisionName, Page::kVisionState, Page::kVisionProgress,
                          Page::kInstallVision, Page::kUninstallVision, 95}}};
  l.texts.push_back({kSdkGroup, ControlKind::GroupBox, {117, 151, 370, 80},
                     "Corvanta Prismal SDK Installer"});
  l.texts.push_back({Page::kSdkDescription, ControlKind::Static, {123, 162, 322, 65}, nullptr});
  l.texts.push_back({Page::kInformation, ControlKind::Static, {123, 237, 337, 25}, nullptr});
  l.downloadTop = 258;
  l.checkWholeList = true;
  return l;
}

ComponentListLayout statusLayout() {
  auto texts = coreTexts("Core Components Installation Status");
  texts.push_back({qnDInstallCoreComponentsSoftwareStatus::kStatusText, ControlKind::Static,
                   {123, 154, 357, 31}, nullptr});
  ComponentListLayout l{139, "Core Installation Status", "CoreComponents", std::move(texts),
                        {{0, Page::kRuntimeName, Page::kRuntimeState, Page::kRuntimeProgress, 0,
                          Page::kUninstallRuntime, 76},
                         {1, Page::kVisionName, Page::kVisionState, Page::kVisionProgress, 0,
                          Page::kUninstallVision, 95}}};
  l.downloadTop = 258;
  return l;
}

}  // namespace

qnDInstallCoreComponentsSoftware::qnDInstallCoreComponentsSoftware(const std::string& title)
    : qnDComponentListPage(title, coreLayout(),
                           pageComponents(ComponentPage::CoreInstallation)) {
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
  bindPageText(kInformation, &information);
  bindPageText(kSdkDescription, &sdkDescription);
}

void qnDInstallCoreComponentsSoftware::initPageControls() {
  qnDComponentListPage::initPageControls();
  auto& sdk = addControl(kDownloadSdk, ControlKind::ImageButton,
                         {ui::dluX(kInstallX), ui::dluY(185), ui::dluX(kInstallX) + kButtonSize,
                          ui::dluY(185) + kButtonSize});
  sdk.image = "191";
  sdk.tooltip = "Download Corvanta Prismal SDK Installer";
}

void qnDInstallCoreComponentsSoftware::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Cancel");
  updateWizardButtons();
}

void qnDInstallCoreComponentsSoftware::updateWizardButtons() {
  bool both = manager().updateComponentStates(0, 1) == 1;
  setWizard(both ? ui::PSWIZB_BACK | ui::PSWIZB_NEXT : ui::PSWIZB_BACK, both ? "Finish" : "Cancel");
}

long qnDInstallCoreComponentsSoftware::onWizardNext() {
  // Leaving the vision-software page is the moment the current version's user folder is
  // still missing while an older one may hold the user's data.
  DImportCorvantaData::offerIfNeeded();
  return qnDPropertyPageBase::onWizardNext();
}

void qnDInstallCoreComponentsSoftware::onCommand(int id) {
  if (id == kDownloadSdk) {
    downloadSdkInstaller();
    return;
  }
  qnDComponentListPage::onCommand(id);
}

void qnDInstallCoreComponentsSoftware::downloadSdkInstaller() {
  runInstallComponents(2, 2, true);
  const ComponentRecord& sdk = componentRecord(ComponentId::PrismalSdkInstaller);
  std::string folder = componentDownloadFolder(sdk);
  if (!fileExists(folder + "\\" + sdk.fileName)) {
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
    : qnDComponentListPage(title, statusLayout(),
                           pageComponents(ComponentPage::CoreInstallationStatus)) {
  bindPageText(kStatusText, &status);
}

void qnDInstallCoreComponentsSoftwareStatus::onActivate() {
  updateStatus();
  if (sheet()) sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Cancel");
}

void qnDInstallCoreComponentsSoftwareStatus::refreshControls() {
  qnDComponentListPage::refreshControls();
  updateStatus();
}

void qnDInstallCoreComponentsSoftwareStatus::updateStatus() {
  if (updateHoldingStatus(
          status,
          "All Corvanta Vision Software core components are installed. Please click on the "
          "'Next' button to continue, or on the 'Finish' button to close the installer.",
          "Core components are not installed successfully. Please click on the 'Back' button "
          "to try again") &&
      sheet())
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Finish");
}
