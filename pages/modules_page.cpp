#include "pages/modules_page.h"

#include <array>

#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "engine/check_support.h"
#include "pages/pixlib_version_selection.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

using ui::ControlKind;
using Page = qnDInstallModules;
namespace files = platform::files;

const char* const qnDInstallModules::kVariantFolders[6] = {
    "", "Intel-Blend", "Intel-Blend-IPP", "VC8", "VC8-IPP", "Pixlib Beta"};
const char* const qnDInstallModules::kVariantTexts[6] = {
    "Unknown Version",       "Intel Compiler DLL", "Intel with IPP",
    "Visual C Compiler DLL", "Visual C with IPP",  "Visual C Beta DLL for test purposes"};

namespace {

enum : int { kInstruction = 5001, kIppGroup, kPixlibGroup, kVersionLabel };

constexpr const char* kLibraryRelease = "3.2.1.158";
// The six files of a variant, in the order they are copied.
constexpr std::array<const char*, 6> kLibraryFiles = {
    "PixLib.dll", "pyPixlib26.pyd", "pyPixlib27.pyd", "CorvantaPixTools.dll", "PixLib2.dll",
    "Python\\pixlibct.py"};

ComponentListLayout modulesLayout() {
  ComponentListLayout l{
      162,
      "Corvanta Image Processing Options",
      "Modules",
      {{kInstruction, ControlKind::Static, {123, 47, 357, 10},
        "Please click on the 'Install' buttons to add the required Corvanta modules"},
       {kIppGroup, ControlKind::GroupBox, {117, 58, 370, 50}, "IPP"},
       {Page::kIppNote, ControlKind::Static, {123, 86, 320, 18}, nullptr},
       {kPixlibGroup, ControlKind::GroupBox, {117, 112, 370, 30}, "Pixlib Options"},
       {kVersionLabel, ControlKind::Static, {123, 126, 100, 10}, "Current Pixlib.dll version:"},
       {Page::kVariantText, ControlKind::Static, {225, 126, 140, 10}, nullptr},
       {Page::kStatusText, ControlKind::Static, {370, 126, 75, 10}, nullptr},
       {Page::kInformation, ControlKind::Static, {123, 150, 330, 20}, nullptr}},
      {{0, Page::kIppName, Page::kIppState, Page::kIppProgress, Page::kInstallIpp,
        Page::kRemoveIpp, 67}}};
  l.downloadTop = 258;
  l.downloadTip = "Download Modules";
  l.uninstallTip = "Remove";
  return l;
}

void showError(ui::Window* owner, const std::string& text) {
  ui::messageBox(owner, text, kInstallerCaption, win::MB_OK);
}

const char* const kNoRuntimeFolder =
    "Error: Unable to get Corvanta Runtime installation path. Please try again.";

}  // namespace

qnDInstallModules::qnDInstallModules(const std::string& title)
    : qnDComponentListPage(title, modulesLayout(), pageComponents(ComponentPage::Modules)) {
  bindPageText(kInformation, &information);
  bindPageText(kIppNote, &ippNote);
  bindPageText(kVariantText, &variantText);
  bindPageText(kStatusText, &statusText);
}

void qnDInstallModules::initPageControls() {
  qnDComponentListPage::initPageControls();
  addImageButton(kChange, kUninstallX, 122, "197", "Change");
}

void qnDInstallModules::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Finish");
  information =
      "Please click on the 'Next' button to browse and install the 3rd party camera "
      "drivers.\nOr click on the 'Finish' button to complete the installation.";
  ippNote =
      "Note: IPP is an option to speed up image processing. It can be important with large "
      "system or images where image resampling is applied.";
}

bool qnDInstallModules::runtimeInstalled() {
  if (mxCheckInstallations::isMsiProductInstalled(check_support::kRuntimeCode) &&
      !mxCheckInstallations::isMsiProductNameDifferent(check_support::kRuntimeCode,
                                                       check_support::kRuntimeName))
    return true;
  const std::string runtime = check_support::kRuntimeName;
  showError(this, "Error - " + runtime +
                      " should installed on the computer before installing or removing the "
                      "modules.\nPlease install " + runtime + " and try again.");
  return false;
}

bool qnDInstallModules::runtimeFolder(std::string& folder) {
  if (mxCheckInstallations::getRuntimeFolder(folder)) return true;
  showError(this, kNoRuntimeFolder);
  return false;
}

void qnDInstallModules::onCommand(int id) {
  switch (id) {
    case kInstallIpp:
      if (runtimeInstalled()) runInstallComponents(0, 0, false);
      return;
    case kRemoveIpp:
      if (runtimeInstalled()) {
        runUninstallComponents(0, 0);
        evaluatePixlibVariant();
      }
      return;
    case kChange: changePixlibVariant(); return;
    default: qnDComponentListPage::onCommand(id); return;
  }
}

void qnDInstallModules::evaluatePixlibVariant() {
  std::string rt;
  if (!runtimeInstalled() || !runtimeFolder(rt)) return;
  if (!fileExists(rt + "PixLib.dll") || !fileExists(rt + "pyPixlib26.pyd") ||
      !fileExists(rt + "pyPixlib27.pyd")) {
    variantText = "DLL Not Available";
    statusText = "Error";
    updateData();
    return;
  }
  // The active library is the variant whose copy has its time and size; the IPP builds are
  // tested before their plain twins.
  variant_ = 0;
  for (int v : {1, 2, 4, 3, 5}) {
    std::string copy = rt + kLibraryRelease + "\\" + kVariantFolders[v] + "\\PixLib.dll";
    if (mxCheckInstallations::isSameFile(rt + "PixLib.dll", copy)) {
      variant_ = v;
      break;
    }
  }
  variantText = kVariantTexts[variant_];
  bool ippMissing = state(0) == ComponentState::NotInstalled;
  statusText =
      variant_ == 0 || ((variant_ == 2 || variant_ == 4) && ippMissing) ? "Incorrect Version" : "Ok";
  updateData();
}

void qnDInstallModules::changePixlibVariant() {
  DPixlibVersionSelection dialog(variant_, state(0) != ComponentState::NotInstalled);
  if (dialog.doModal() != win::IDOK) return;
  int chosen = dialog.chosen();
  if (chosen < 1 || chosen > 5) {
    showError(this, "Error: Pixlib version not selected. Please try again.");
    return;
  }
  variant_ = chosen;
  std::string rt;
  if (!runtimeFolder(rt)) return;
  const std::string source = rt + kLibraryRelease + "\\" + kVariantFolders[chosen] + "\\";

  // The new set is copied beside the active one and checked before anything is replaced,
  // and the active files are moved aside rather than deleted, so that a failure part way
  // leaves the runtime with the set it had.
  auto dropStaged = [&] {
    for (const char* f : kLibraryFiles) deleteFileIfPresent(rt + f + ".new");
  };
  for (const char* f : kLibraryFiles) {
    if (!files::copyFile(source + f, rt + f + ".new", false)) {
      dropStaged();
      showError(this, "Error: Unable to use the selected file. Please try again.");
      evaluatePixlibVariant();
      return;
    }
  }
  std::vector<const char*> asideFiles;
  auto restore = [&] {
    for (const char* f : asideFiles) moveFileReplacing(rt + f, rt + f + ".old");
  };
  for (const char* f : kLibraryFiles) {
    if (!fileExists(rt + f)) continue;
    if (!moveFileReplacing(rt + f + ".old", rt + f)) {
      restore();
      dropStaged();
      showError(this, f == kLibraryFiles[0]
                          ? "Error: Unable to delete current Pixlib.dll. It may be in use.\n"
                            "Please close the Corvanta Vision Software, if its open; and try "
                            "again."
                          : "Error: Unable to use the selected file. Please try again.");
      evaluatePixlibVariant();
      return;
    }
    asideFiles.push_back(f);
  }
  for (const char* f : kLibraryFiles) {
    if (!moveFileReplacing(rt + f, rt + f + ".new")) {
      for (const char* g : kLibraryFiles) deleteFileIfPresent(rt + g);
      restore();
      dropStaged();
      showError(this, "Error: Unable to use the selected file. Please try again.");
      evaluatePixlibVariant();
      return;
    }
  }
  for (const char* f : asideFiles) deleteFileIfPresent(rt + f + ".old");
  evaluatePixlibVariant();
}

void qnDInstallModules::warnUnlessOk() {
  if (statusText != "Ok")
    showError(this,
              "Warning: Correct Pixlib version is not selected.\nIt is recommended to select "
              "correct Pixlib version before proceeding.");
}

long qnDInstallModules::onWizardNext() {
  warnUnlessOk();
  return qnDPropertyPageBase::onWizardNext();
}

bool qnDInstallModules::onQueryCancel() {
  // The page is left all the same.
  warnUnlessOk();
  return true;
}
