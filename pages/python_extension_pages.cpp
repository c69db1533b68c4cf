#include "pages/python_extension_pages.h"

#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

using ui::ControlKind;
using Page = qnDInstallPY27Extensions;

namespace {

enum : int {
  kInstruction = 5001, kGroup2D, kGroup3D, kGroupMySql, kGroupOpenCv, kNote, kGroupOther
};

const char* const kInstructionText =
    "Please click on the 'Install' buttons to install the required Corvanta extensions";
const char* const kNoteText =
    "Note: All the Corvanta Extensions should be installed, for successfully loading and using "
    "the Corvanta demo profiles.";
const char* const kFinishTail = ".\nOr click on the 'Finish' button to complete the installation.";

ComponentListLayout firstLayout() {
  ComponentListLayout l{
      186,
      "Recommended Corvanta Extensions I",
      "Extensions",
      {{kInstruction, ControlKind::Static, {123, 46, 357, 10}, kInstructionText},
       {kGroup2D, ControlKind::GroupBox, {117, 56, 370, 48}, "Python 2D Extensions"},
       {kGroup3D, ControlKind::GroupBox, {117, 106, 370, 35}, "Python 3D Extensions"},
       {kGroupMySql, ControlKind::GroupBox, {117, 143, 370, 22}, "Python MySQL Extensions"},
       {kGroupOpenCv, ControlKind::GroupBox, {117, 167, 370, 25}, "OpenCV 2.X/3.X Extensions"},
       {Page::kOpenCvStatus, ControlKind::Static, {307, 179, 140, 10}, nullptr},
       {kNote, ControlKind::Static, {123, 195, 357, 18}, kNoteText},
       {Page::kInformation, ControlKind::Static, {123, 216, 330, 28}, nullptr}},
      // The rows have no buttons of their own: each group installs and removes together.
      {{0, 1008, 1009, 1010, 0, 0, 63},
       {1, 1011, 1012, 1013, 0, 0, 76},
       {2, 1014, 1015, 1016, 0, 0, 89},
       {3, 1017, 1018, 1019, 0, 0, 113},
       {4, 1020, 1021, 1022, 0, 0, 126},
       {5, 1032, 1033, 1034, 0, 0, 150}}};
  l.downloadTop = 258;
  l.checkWholeList = true;
  return l;
}

ComponentListLayout secondLayout() {
  ComponentListLayout l{
      185,
      "Recommended Corvanta Extensions II",
      "Extensions2",
      {{kInstruction, ControlKind::Static, {123, 46, 357, 10}, kInstructionText},
       {kGroupOther, ControlKind::GroupBox, {117, 57, 370, 122}, "Python Extensions"},
       {kNote, ControlKind::Static, {123, 186, 357, 18}, kNoteText},
       {qnDInstallPY27Extensions2::kInformation, ControlKind::Static, {123, 208, 330, 28},
        nullptr}},
      {{0, 1239, 1240, 1241, 1242, 1243, 67},
       {1, 1244, 1245, 1246, 1250, 1251, 85},
       {2, 1254, 1255, 1256, 1257, 1258, 103},
       {3, 1259, 1260, 1261, 1262, 1263, 121},
       {4, 1264, 1265, 1266, 1267, 1268, 139},
       {5, 1269, 1270, 1271, 1272, 1273, 157}}};
  l.downloadTop = 258;
  l.checkWholeList = true;
  return l;
}

// Deletes a file whatever its attributes (a read-only copy would refuse).
void deleteFileForced(const std::string& path) {
  platform::files::setAttributes(path, win::FILE_ATTRIBUTE_ARCHIVE);
  platform::files::deleteFile(path);
}

}  // namespace

qnDInstallPY27Extensions::qnDInstallPY27Extensions(const std::string& title)
    : qnDComponentListPage(title, firstLayout(), pageComponents(ComponentPage::Extensions)),
      // The 2.4.9 build brings the Python modules it needs.
      openCv_{kOpenCvList,
              {{kOpenCv249, {6, 0, 1, 2, 3, 4}, 6}, {kOpenCv300, {7}, 7}},
              "qnDInstallPY27Extensions",
              "processNewOpenCV2XExtInstallation",
              "installNewOpenCV2XExt",
              [](const std::string& chosen) {
                return "Only one of the OpenCV 2.X/3.X Extensions can be installed on a "
                       "computer.\n\nDo you want to un-install existing OpenCV 2.X/3.X "
                       "extensions and install " + chosen +
                       " extensions?\n\nPlease click on 'Yes' button to proceed and install " +
                       chosen +
                       " extensions.\nPlease click on 'No' to abort and to continue using "
                       "existing OpenCV 2.X/3.X extensions.\n";
              }} {
  bindPageText(kInformation, &information);
  bindPageText(kOpenCvStatus, &openCvStatus);
}

void qnDInstallPY27Extensions::initPageControls() {
  qnDComponentListPage::initPageControls();
  addImageButton(kInstall2D, kInstallX, 74, "191", "Install");
  addImageButton(kUninstall2D, kUninstallX, 74, "190", "Uninstall");
  addImageButton(kInstall3D, kInstallX, 117, "191", "Install");
  addImageButton(kUninstall3D, kUninstallX, 117, "190", "Uninstall");
  addImageButton(kInstallMySql, kInstallX, 148, "191", "Install");
  addImageButton(kUninstallMySql, kUninstallX, 148, "190", "Uninstall");
  addControl(kOpenCvList, ControlKind::ComboBox, ui::dluRect(kNameX, 177, 150, 12));
  fillChoice(openCv_);
}

bool qnDInstallPY27Extensions::anyStateIsNot(std::initializer_list<int> entries,
                                              ComponentState s) const {
  for (int e : entries)
    if (state(e) != s) return true;
  return false;
}

void qnDInstallPY27Extensions::refreshControls() {
  using S = ComponentState;
  enable(kInstall2D, anyStateIsNot({0, 1, 2}, S::Installed));
  enable(kInstall3D, anyStateIsNot({3, 4}, S::Installed));
  enable(kInstallMySql, anyStateIsNot({5}, S::Installed));
  enable(kUninstall2D, anyStateIsNot({0, 1, 2}, S::NotInstalled));
  enable(kUninstall3D, anyStateIsNot({3, 4}, S::NotInstalled));
  enable(kUninstallMySql, anyStateIsNot({5}, S::NotInstalled));
}

void qnDInstallPY27Extensions::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Finish");
  updatePythonDllName(false);
  information = std::string("Please click on the 'Next' button to install the recommended "
                            "Corvanta extensions (page 2)") + kFinishTail;
}

void qnDInstallPY27Extensions::afterActivate() {
  updateOpenCVSelection();
  showRepairWarning();
}

void qnDInstallPY27Extensions::onCommand(int id) {
  switch (id) {
    case kInstall2D:
      runInstallComponents(0, 2, true);
      updatePythonDllName(true);
      return;
    case kUninstall2D:
      runUninstallComponents(0, 2);
      updatePythonDllName(true);
      return;
    case kInstall3D: runInstallComponents(0, 4, true); return;
    case kUninstall3D: runUninstallComponents(3, 4); return;
    case kInstallMySql: {
      const int list[] = {0, 5};
      runInstallSelectedComponents(list, 2);
      return;
    }
    case kUninstallMySql: runUninstallComponents(5, 5); return;
    default: qnDComponentListPage::onCommand(id); return;
  }
}

void qnDInstallPY27Extensions::onNotify(int id, ui::Event event) {
  if (id == kOpenCvList && event == ui::Event::SelectionChanged &&
      processNewOpenCV2XExtInstallation() > 0)
    updateOpenCVSelection();
}

void qnDInstallPY27Extensions::updateOpenCVSelection() {
  using Build = mxCheckInstallations::OpenCvBuild;
  const char* found = mxCheckInstallations::isOpenCvPresent(Build::V249)   ? kOpenCv249
                      : mxCheckInstallations::isOpenCvPresent(Build::V300) ? kOpenCv300
                                                                           : kNone;
  showChoice(openCv_, found, openCvStatus);
}

int qnDInstallPY27Extensions::processNewOpenCV2XExtInstallation() {
  return processChoice(openCv_) ? 1 : -1;
}

int qnDInstallPY27Extensions::updatePythonDllName(bool showMessages) {
  auto show = [&](const char* text) {
    if (showMessages) ui::messageBox(this, text, kInstallerCaption, win::MB_OK);
  };
  int pythons = mxCheckInstallations::countPython27Products();
  std::string folder;
  if (!mxCheckInstallations::getRuntimeFolder(folder)) {
    show("Error: Unable to get Corvanta Runtime installation path. Please try again.");
    return -1;
  }
  const std::string dll = folder + "python27.dll", renamed = folder + "py27.dll";
  bool moved = true;
  if (pythons > 0 && fileExists(dll)) {
    if (fileExists(renamed)) deleteFileForced(renamed);
    moved = moveFileReplacing(renamed, dll);
  } else if (pythons == 0 && fileExists(renamed)) {
    if (fileExists(dll))
      deleteFileForced(renamed);
    else
      moved = moveFileReplacing(dll, renamed);
  }
  if (!moved) {
    show("Error: Unable to rename the Python DLL. It may be in use.\nPlease close the Corvanta "
         "Vision Software, if its open; and try again.");
    return -2;
  }
  return 1;
}

qnDInstallPY27Extensions2::qnDInstallPY27Extensions2(const std::string& title)
    : qnDComponentListPage(title, secondLayout(), pageComponents(ComponentPage::Extensions2)) {
  bindPageText(kInformation, &information);
}

void qnDInstallPY27Extensions2::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Finish");
  information = std::string("Please click on the 'Next' button to install the Corvanta Tool "
                            "Components") + kFinishTail;
}
