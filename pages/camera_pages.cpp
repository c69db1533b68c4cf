#include "pages/camera_pages.h"

#include "engine/check_installations.h"

using ui::ControlKind;

namespace {

enum : int { kInstruction = 5001, kNote, kGroupUbCore, kGroupFirei, kGroupZcl, kGroupTis,
             kGroupPylon, kGroupAvt };

const char* const kInstructionText =
    "Please click on the 'Install' buttons to install the required 3rd party softwares";
const char* const kNoteText =
    "Note: Camera drivers can be in conflict, you need to limit the number of drivers installed "
    "on your computer.";
const char* const kPylon5 = "Pylon 5 Camera Software Suite 5.0.0.6150";

// Columns of the first page's rows: an information icon before each name.
RowColumns driverColumns() {
  RowColumns c;
  c.infoX = 133;
  c.nameX = 151, c.nameWidth = 200;
  c.stateX = 355, c.stateWidth = 54;
  c.progressX = 411, c.progressWidth = 36;
  return c;
}

ComponentListLayout firstLayout() {
  using P = qnDInstall3rdPartyInstallations;
  ComponentListLayout l{
      179,
      "3rd Party Camera Drivers - 1",
      "ThirdPartySoftwares",
      {{kInstruction, ControlKind::Static, {123, 46, 357, 10}, kInstructionText},
       {kGroupUbCore, ControlKind::GroupBox, {117, 56, 370, 26}, "Unibrain Camera Drivers"},
       {kGroupFirei, ControlKind::GroupBox, {117, 84, 370, 26}, "Unibrain Fire-i Application"},
       {kGroupZcl, ControlKind::GroupBox, {117, 112, 370, 26}, "ZCL for SONYGigECAM"},
       {kGroupTis, ControlKind::GroupBox, {117, 140, 370, 42}, "Imaging Source"},
       {kNote, ControlKind::Static, {123, 188, 357, 18}, kNoteText},
       {P::kInformation, ControlKind::Static, {123, 210, 330, 28}, nullptr}},
      {{0, 1193, 1194, 1195, P::kInstallUbCore, P::kRemoveUbCore, 65, 1214,
        "ubCore - Reliable camera driver for 32bit and 64bit windows support for firewire "
        "cameras using Unibrain Stack"},
       {1, 1198, 1199, 1200, P::kInstallFirei, P::kRemoveFirei, 93, 1215,
        "Fire-i - DirectShow Camera Driver for 32bit and 64bit windows support for firewire "
        "cameras"},
       {2, 1203, 1204, 1205, P::kInstallZcl, P::kRemoveZcl, 121, 1216,
        "Sony ZCL is used with Sony XCG camera 32 bit and 64 bit operating system"},
       {3, 1208, 1210, 1211, P::kInstallIcCapture, P::kRemoveIcCapture, 149},
       // The driver is only unpacked here; its own installer runs per connected camera.
       {4, 1218, 0, 0, P::kInstallDriver, 0, 165, 1220,
        "Please connect the camera and then start the driver installation. The driver needs to "
        "be installed for every camera connected",
        355}}};
  l.downloadTop = 258;
  l.downloadTip = "Download 3rd Party Installers";
  l.uninstallTip = "Remove";
  l.columns = driverColumns();
  return l;
}

ComponentListLayout secondLayout() {
  using P = qnDInstall3rdPartyInstallations2;
  ComponentListLayout l{
      189,
      "3rd Party Camera Drivers - 2",
      "ThirdPartySoftwares",
      {{kInstruction, ControlKind::Static, {123, 46, 357, 10}, kInstructionText},
       {kGroupPylon, ControlKind::GroupBox, {117, 58, 370, 30}, "Basler Pylon SDK / Runtime"},
       {P::kPylonStatus, ControlKind::Static, {355, 72, 125, 10}, nullptr},
       {kGroupAvt, ControlKind::GroupBox, {117, 94, 370, 30}, "AVT Package"},
       {P::kAvtStatus, ControlKind::Static, {355, 108, 125, 10}, nullptr},
       {kNote, ControlKind::Static, {123, 132, 357, 18}, kNoteText},
       {P::kInformation, ControlKind::Static, {123, 154, 330, 28}, nullptr}},
      {}};
  l.downloadTop = 258;
  l.downloadTip = "Download 3rd Party Installers - 2";
  return l;
}

std::string onlyOneQuestion(const char* what, const char* existing, const std::string& chosen) {
  return std::string("Only one of the ") + what + " can be installed on a computer.\n\nDo you "
         "want to un-install existing " + existing + " and install " + chosen +
         "?\n\nPlease click on 'Yes' button to proceed and install " + chosen +
         ".\nPlease click on 'No' to abort and to continue using existing " + existing + ".\n";
}

const char* const kFinishTail = ".\nOr click on the 'Finish' button to complete the installation.";

}  // namespace

qnDInstall3rdPartyInstallations::qnDInstall3rdPartyInstallations(const std::string& title)
    : qnDComponentListPage(title, firstLayout(),
                           pageComponents(ComponentPage::CameraDrivers, pageBuilds(ComponentPage::CameraDrivers))) {
  bindPageText(kInformation, &information);
}

void qnDInstall3rdPartyInstallations::refreshControls() {
  // The driver's Install stays offered: it runs once per connected camera.
  qnDComponentListPage::refreshControls();
  enable(kInstallDriver, true);
}

void qnDInstall3rdPartyInstallations::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Finish");
  information = std::string("Please click on the 'Next' button to browse and install the 3rd "
                            "party camera drivers - 2") + kFinishTail;
}

qnDInstall3rdPartyInstallations2::qnDInstall3rdPartyInstallations2(const std::string& title)
    : qnDInstall3rdPartyInstallations2(title, pageBuilds(ComponentPage::CameraDrivers2)) {}

qnDInstall3rdPartyInstallations2::qnDInstall3rdPartyInstallations2(const std::string& title,
                                                                   const BuildChoice& builds)
    : qnDComponentListPage(title, secondLayout(),
                           pageComponents(ComponentPage::CameraDrivers2, builds)),
      native64_(builds.native64),
      pylon_{kPylonList,
             {},
             "qnDInstall3rdPartyInstallations2",
             "processNewBaslerPylonSDKInstallation",
             "installNewBaslerPylonSDK",
             [](const std::string& chosen) {
               return onlyOneQuestion("Basler Pylon SDKs/runtimes", "Basler Pylon SDK/runtime",
                                      chosen);
             }},
      avt_{kAvtList,
           {},
           "qnDInstall3rdPartyInstallations2",
           "processNewAVTPackageInstallation",
           "installNewAVTPackage",
           [](const std::string& chosen) {
             return onlyOneQuestion("AVT packages", "AVT package", chosen);
           }} {
  bindPageText(kInformation, &information);
  bindPageText(kPylonStatus, &pylonStatus);
  bindPageText(kAvtStatus, &avtStatus);
  // The list offers the native builds; entry 10 has one build only.
  for (int entry : {0, 1, 2, 6, 10}) pylon_.options.push_back({strings(entry).name, {entry}, entry});
  for (int entry : {8, 9}) avt_.options.push_back({strings(entry).name, {entry}, entry});
}

void qnDInstall3rdPartyInstallations2::initPageControls() {
  qnDComponentListPage::initPageControls();
  int left = ui::dluX(133), top = ui::dluY(67);
  auto& info = addControl(kPylonInfo, ControlKind::ImageStatic,
                          {left, top, left + kButtonSize, top + kButtonSize});
  info.image = "206";
  info.tooltip =
      "Please close all applications which are accessing network (eg browsers, Skype etc), "
      "before installing Basler Pylon SDK. The installation may wait indefinitely otherwise.";
  addControl(kPylonList, ControlKind::ComboBox, ui::dluRect(151, 70, 200, 12));
  addControl(kAvtList, ControlKind::ComboBox, ui::dluRect(151, 106, 200, 12));
  fillChoice(pylon_);
  fillChoice(avt_);
}

void qnDInstall3rdPartyInstallations2::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Finish");
  information = std::string("Please click on the 'Next' button to browse and install the 3rd "
                            "party IO drivers") + kFinishTail;
}

void qnDInstall3rdPartyInstallations2::afterActivate() {
  updatePylonSelection();
  updateAVTSelection();
}

void qnDInstall3rdPartyInstallations2::onNotify(int id, ui::Event event) {
  if (event != ui::Event::SelectionChanged) return;
  if (id == kPylonList && processChoice(pylon_)) updatePylonSelection();
  if (id == kAvtList && processChoice(avt_)) updateAVTSelection();
}

void qnDInstall3rdPartyInstallations2::updatePylonSelection() {
  using C = mxCheckInstallations;
  const char* sdk2 = native64_ ? "{D7F97581-F17B-48AD-B4BB-634AF0F78D39}"
                               : "{2393D986-319B-40BF-AEBD-6E0EFC5B5F57}";
  std::string found = ExclusiveChoice::kNone;
  if (C::isMsiProductInstalled(sdk2))
    found = strings(0).name;
  else if (C::isMsiProductInstalled("{7701C433-7FAB-43ED-B117-762AC408A61C}"))
    found = strings(1).name;
  else if (C::isMsiProductInstalled("{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}"))
    found = strings(2).name;
  else if (C::isMsiProductInstalled("{01F5DEBA-9FCF-4D3A-B0F6-74D29B5F8651}"))
    found = strings(6).name;
  else if (C::isUninstallKeyPresent("{7d1403fe-dc29-4331-b008-d8899a59ae1f}"))
    found = kPylon5;
  showChoice(pylon_, found, pylonStatus);
}

void qnDInstall3rdPartyInstallations2::updateAVTSelection() {
  using C = mxCheckInstallations;
  std::string found = C::isMsiProductInstalled("{E15958CD-D2FC-47ED-AE1A-57C9FEC1DC84}")
                          ? strings(8).name
                      : C::isMsiProductInstalled("{4E3FA21E-D211-49FE-B40E-360A78AF8B31}")
                          ? strings(9).name
                          : std::string(ExclusiveChoice::kNone);
  showChoice(avt_, found, avtStatus);
}
