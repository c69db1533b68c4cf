#include "pages/utility_pages.h"

#include "engine/app_context.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

using ui::ControlKind;
using Page = qnDInstallUtilities;
using platform::registry::Hive;

namespace {

enum : int { kInstruction = 5001, kGroupWatchdog, kGroupOpcRelay, kModeLabel, kServerLabel,
             kGroupCueKeeper, kGroupCpu, kGroupRemote, kGroupSpeccy, kGroupReader };

const char* const kInstructionText =
    "Please click on the 'Install' buttons to install the required utility softwares";
const char* const kControlClsid = "{449DEAAF-F2A8-440A-8E74-A2ECD57C5151}";
const char* const kMatrikonMode = "Matrikon OPC Automation";

// The relay's modes and the folders of their controls.
struct Mode {
  const char* text;
  const char* folder;
};
constexpr Mode kModes[] = {{kMatrikonMode, "Matrikon_OPCAutomation"},
                           {"Siemens DA Automation", "Siemens_DAAutomation"},
                           {"Siemens OPC Automation", "Siemens_OPCAutomation"}};

ComponentListLayout firstLayout() {
  ComponentListLayout l{
      140,
      "Optional Utility Software I",
      "Utilities",
      {{kInstruction, ControlKind::Static, {123, 46, 357, 10}, kInstructionText},
       {kGroupWatchdog, ControlKind::GroupBox, {117, 56, 370, 26}, "Corvanta Watchdog"},
       {kGroupOpcRelay, ControlKind::GroupBox, {117, 84, 370, 60}, "Corvanta OpcRelay"},
       {kModeLabel, ControlKind::Static, {123, 112, 100, 10}, "Corvanta OpcRelay Mode"},
       {kServerLabel, ControlKind::Static, {123, 128, 100, 10}, "OPC Installer"},
       {Page::kServerStatus, ControlKind::Static, {377, 128, 105, 10}, nullptr},
       {kGroupCueKeeper, ControlKind::GroupBox, {117, 146, 370, 26}, "Cue Keeper"},
       {kGroupCpu, ControlKind::GroupBox, {117, 174, 370, 26}, "CPU Test Utility"},
       {Page::kInformation, ControlKind::Static, {123, 208, 330, 28}, nullptr}},
      {{0, 1040, 1041, 1042, Page::kInstallWatchdog, Page::kUninstallWatchdog, 65},
       {4, 1068, 1069, 1070, Page::kInstallOpcRelay, Page::kUninstallOpcRelay, 93},
       {1, 1049, 1050, 1051, Page::kInstallCueKeeper, Page::kUninstallCueKeeper, 155},
       {2, 1054, 1055, 1056, Page::kInstallPerformanceTest, Page::kUninstallPerformanceTest,
        183}}};
  l.downloadTop = 258;
  return l;
}

ComponentListLayout secondLayout() {
  ComponentListLayout l{
      182,
      "Optional Utility Software II",
      "Utilities2",
      {{kInstruction, ControlKind::Static, {123, 46, 357, 10}, kInstructionText},
       {kGroupRemote, ControlKind::GroupBox, {117, 56, 370, 42}, "Remote Control"},
       {kGroupSpeccy, ControlKind::GroupBox, {117, 100, 370, 26},
        "Speccy System Performance Utility"},
       {kGroupReader, ControlKind::GroupBox, {117, 128, 370, 26}, "Adobe Acrobat Reader"},
       {qnDInstallUtilities2::kInformation, ControlKind::Static, {123, 162, 330, 20}, nullptr}},
      {{1, 1059, 1060, 1061, 1062, 1063, 65},
       {0, 1043, 1044, 1045, 1047, 1048, 81},
       {2, 1046, 1049, 1050, 1051, 1052, 109},
       {4, 1053, 1054, 1055, 1056, 0, 137}}};
  l.downloadTop = 258;
  return l;
}

void debugLine(const char* owner, const char* method, const char* text) {
  platform::debugOutput(std::string(owner) + "::" + method + " - " + text + "\n");
}

// regsvr32 of the system folder on one control, waited for; true when it succeeded.
bool runRegsvr32(const std::string& arguments) {
  const std::string program = platform::shell::systemDirectory() + "\\regsvr32.exe";
  unsigned long code = 1;
  return platform::process::startAndWait(program, "\"" + program + "\" " + arguments, &code) &&
         code == 0;
}

}  // namespace

std::string registeredOpcRelayControl() {
  return platform::registry::readString(
             Hive::ClassesRoot, std::string("CLSID\\") + kControlClsid + "\\InprocServer32", "",
             4096)
      .value_or("");
}

void unRegCorvantaOpcRelayOCX() {
  const std::string path = registeredOpcRelayControl();
  if (path.empty()) {
    debugLine("CcleanUpApp", "unRegCorvantaOpcRelayOCX", "registered OCX not found 1");
    return;
  }
  if (!fileExists(path)) {
    debugLine("CcleanUpApp", "unRegCorvantaOpcRelayOCX", "registered OCX not found 2");
    return;
  }
  runRegsvr32("/u \"" + path + "\"");
}

qnDInstallUtilities::qnDInstallUtilities(const std::string& title)
    : qnDComponentListPage(title, firstLayout(), pageComponents(ComponentPage::Utilities)) {
  bindPageText(kInformation, &information);
  bindPageText(kServerStatus, &serverStatus);
}

void qnDInstallUtilities::initPageControls() {
  qnDComponentListPage::initPageControls();
  addControl(kModeList, ControlKind::ComboBox, ui::dluRect(225, 110, 150, 12));
  addControl(kServerList, ControlKind::ComboBox, ui::dluRect(225, 126, 150, 12));
  setItems(kServerList, {ExclusiveChoice::kNone, kOpcScout, kMatrikon});
  setSelection(kServerList, 0);
}

void qnDInstallUtilities::onActivate() {
  setWizard(ui::PSWIZB_BACK | ui::PSWIZB_NEXT, "Finish");
  information =
      "Please click on the 'Next' button to install the optional utility softwares (page 2)."
      "\nOr click on the 'Finish' button to complete the installation.";
}

void qnDInstallUtilities::afterActivate() {
  refreshCorvantaOpcRelayComboCtrl();
  updateOPCInstallerComboSelection();
  showRepairWarning();
}

void qnDInstallUtilities::afterRowCommand() { refreshCorvantaOpcRelayComboCtrl(); }

void qnDInstallUtilities::onNotify(int id, ui::Event event) {
  if (event != ui::Event::SelectionChanged) return;
  if (id == kModeList) regNewOCX();
  if (id == kServerList) {
    processNewOPCServer();
    updateOPCInstallerComboSelection();
  }
}

void qnDInstallUtilities::refreshCorvantaOpcRelayComboCtrl() {
  if (state(4) != ComponentState::Installed) {
    setItems(kModeList, {ExclusiveChoice::kNone});
    setSelection(kModeList, 0);
    enable(kModeList, false);
    return;
  }
  std::vector<std::string> modes;
  for (const Mode& m : kModes) modes.push_back(m.text);
  setItems(kModeList, std::move(modes));
  enable(kModeList, true);
  setSelection(kModeList, 0);
  checkCurrentModeAndSetComboCtrlSel();
  auto folder = platform::registry::readString(
      Hive::LocalMachine, "SOFTWARE\\BRENHOLM AS\\Corvanta OpcRelay 1.9.0.26", "InstallPath", 259);
  opcRelayFolder_ = folder.value_or("");
  if (!folder)
    debugLine("qnDInstallUtilities", "refreshCorvantaOpcRelayComboCtrl",
              "Unable to get Corvanta OpcRelay installation path");
}

void qnDInstallUtilities::checkCurrentModeAndSetComboCtrlSel() {
  const std::string path = registeredOpcRelayControl();
  int found = -1;
  for (int i = 0; i < static_cast<int>(std::size(kModes)) && found < 0; ++i)
    if (path.find(kModes[i].folder) != std::string::npos) found = i;
  if (found < 0)
    debugLine("qnDInstallUtilities", "checkCurrentModeAndSetComboCtrlSel",
              path.empty() ? "Unable to query current mode 1. Using default."
                           : "Unable to query current mode 2. Using default.");
  setSelection(kModeList, found < 0 ? 0 : found);
}

bool qnDInstallUtilities::regNewOCX() {
  const std::string previous = registeredOpcRelayControl();
  unRegCorvantaOpcRelayOCX();
  const auto* list = control(kModeList);
  int index = selection(kModeList);
  const char* folder = nullptr;
  for (const Mode& m : kModes)
    if (list && index >= 0 && index < static_cast<int>(list->items.size()) &&
        list->items[index] == m.text)
      folder = m.folder;
  if (!folder) {
    folder = kModes[0].folder;
    debugLine("qnDInstallUtilities", "regNewOCX",
              "Invalid 'Mode' selection. Registering default OCX");
  }
  const std::string control = opcRelayFolder_ + "\\ActiveX\\" + folder + "\\OpcRelayX.ocx";
  if (runRegsvr32("\"" + control + "\"")) return true;
  // Never leave the relay without a control: the one it had comes back.
  if (!previous.empty() && fileExists(previous)) runRegsvr32("/s \"" + previous + "\"");
  checkCurrentModeAndSetComboCtrlSel();
  return false;
}

void qnDInstallUtilities::updateOPCInstallerComboSelection() {
  const bool scout = present(3), matrikon = present(5);
  int index = 0;
  serverStatus.clear();
  if (scout && matrikon) {
    index = 1;
    serverStatus = "Multiple Versions";
  } else if (scout || matrikon) {
    index = scout ? 1 : 2;
    serverStatus = strings(scout ? 3 : 5).state;
  }
  setSelection(kServerList, index);
  updateData();
}

void qnDInstallUtilities::removeServers() {
  if (present(3)) runUninstallComponents(3, 3);
  if (present(5)) runUninstallComponents(5, 5);
}

void qnDInstallUtilities::processNewOPCServer() {
  const int index = selection(kServerList);
  if (index < 0) {
    ui::messageBox(this, "Error: Unable to process new selection.\nPlease try again.", "Error",
                   win::MB_OK);
    return;
  }
  const int entry = index == 1 ? 3 : index == 2 ? 5 : -1;
  if (present(3) && present(5)) removeServers();
  if ((entry >= 0 && state(entry) != ComponentState::Installed) ||
      (entry < 0 && (present(3) || present(5))))
    removeServers();
  if (entry >= 0 && state(entry) == ComponentState::NotInstalled)
    runInstallComponents(entry, entry, false);
}

qnDInstallUtilities2::qnDInstallUtilities2(const std::string& title)
    : qnDComponentListPage(title, secondLayout(),
                           pageComponents(ComponentPage::Utilities2,
                                          pageBuilds(ComponentPage::Utilities2))) {
  bindPageText(kInformation, &information);
}

void qnDInstallUtilities2::onActivate() {
  // The wizard's last page: nothing comes after it.
  setWizard(ui::PSWIZB_BACK, "Finish");
  information = "Please click on the 'Finish' button to exit.";
}
