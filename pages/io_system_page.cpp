#include "pages/io_system_page.h"

#include "platform/ui/property_sheet.h"

using ui::ControlKind;

namespace {

enum : int {
  kInstruction = 5001, kDriversGroup, kDriversText, kSdkGroup, kSdkText, kUtilitiesGroup,
  kUtilitiesText
};

ComponentListLayout ioLayout() {
  ComponentListLayout l{
      180,
      "3rd Party IO Drivers",
      "IOSystem",
      {{kInstruction, ControlKind::Static, {123, 47, 357, 10},
        "Please click on the 'Install' buttons to install the required softwares"},
       {kDriversGroup, ControlKind::GroupBox, {117, 58, 370, 80}, "Advantech Drivers"},
       {kDriversText, ControlKind::Static, {123, 70, 320, 10},
        "These drivers are required to use different Advantech IO devices."},
       {kSdkGroup, ControlKind::GroupBox, {117, 141, 370, 46},
        "Advantech Development and Simulation"},
       {kSdkText, ControlKind::Static, {123, 153, 320, 18},
        "The Advantech SDK and Drivers installation provides access to a device simulator and "
        "all Advantech drivers.  (Size = 491MB)"},
       {kUtilitiesGroup, ControlKind::GroupBox, {117, 190, 370, 38}, "Advantech Utilities"},
       {kUtilitiesText, ControlKind::Static, {123, 202, 320, 10},
        "This group contains valuable utilities when working with Advantech IO Devices."},
       {qnDInstallIOSystemInstallations::kInformation, ControlKind::Static, {123, 234, 330, 20},
        nullptr}},
      {{0, 1208, 1209, 1210, 1211, 1212, 80},
       {1, 1213, 1214, 1215, 1216, 1217, 98},
       {2, 1218, 1219, 1220, 1221, 1222, 116},
       {3, 1223, 1224, 1225, 1226, 1227, 168},
       {4, 1228, 1229, 1230, 1231, 1232, 209}}};
  l.downloadTop = 258;
  l.downloadTip = "Download IO System Installers";
  return l;
}

}  // namespace

qnDInstallIOSystemInstallations::qnDInstallIOSystemInstallations(const std::string& title)
    : qnDComponentListPage(title, ioLayout(), pageComponents(ComponentPage::IOSystem)) {
  bindPageText(kInformation, &information);
}

void qnDInstallIOSystemInstallations::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Finish");
  information =
      "Please click on the 'Next' button to install the optional utility softwares.\nOr click "
      "on the 'Finish' button to complete the installation.";
}
