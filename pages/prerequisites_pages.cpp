#include "pages/prerequisites_pages.h"

#include "platform/ui/property_sheet.h"

using ui::ControlKind;

namespace {

enum : int { kGroupBox = 5001 };

// Both pages show the same five rows; only the three runtime libraries can be removed.
ComponentListLayout prerequisitesLayout(int templateId, const char* header, int informationId) {
  ComponentListLayout l{
      templateId,
      header,
      "Prerequisites",
      {{kGroupBox, ControlKind::GroupBox, {117, 49, 370, 118}, "Pre-requisites Installation Status"},
       {informationId, ControlKind::Static, {123, 178, 337, 25}, nullptr}},
      {{0, 1104, 1105, 1032, 0, 1112, 62},
       {1, 1107, 1034, 1110, 0, 1114, 81},
       {2, 1115, 1035, 1116, 0, 1117, 100},
       {3, 1108, 1092, 1111, 0, 0, 119},
       {4, 1109, 1093, 1113, 0, 0, 138}}};
  l.downloadId = 1036;
  l.downloadTop = 258;
  return l;
}

}  // namespace

qnDInstallPreRequisites::qnDInstallPreRequisites(const std::string& title)
    : qnDComponentListPage(title,
                           prerequisitesLayout(136, "Prerequisite Installation", kInformation),
                           pageComponents(ComponentPage::Prerequisites)) {
  information = "Please click on the 'Next' button to install the Corvanta pre-requisite components";
  bindPageText(kInformation, &information);
}

void qnDInstallPreRequisites::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Cancel");
}

long qnDInstallPreRequisites::onWizardNext() {
  // Windows Installer 3.1 (the last entry) is not installed by this step. The status page
  // follows whatever the result: it tells what is missing.
  runInstallComponents(0, 3, true);
  return qnDPropertyPageBase::onWizardNext();
}

qnDInstallPreRequisitesStatus::qnDInstallPreRequisitesStatus(const std::string& title)
    : qnDComponentListPage(
          title, prerequisitesLayout(137, "Prerequisite Installation Status", kInformation),
          pageComponents(ComponentPage::Prerequisites)) {
  bindPageText(kInformation, &information);
}

void qnDInstallPreRequisitesStatus::onActivate() {
  updateStatus();
  if (sheet()) sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Cancel");
}

void qnDInstallPreRequisitesStatus::refreshControls() {
  qnDComponentListPage::refreshControls();
  updateStatus();
}

void qnDInstallPreRequisitesStatus::updateStatus() {
  updateHoldingStatus(information, "Please click on the 'Next' button to proceed",
                      "Pre-requisites are not installed successfully. Please click on the "
                      "'Back' button to try again");
}
