#include "pages/summary_page.h"

#include "engine/app_context.h"
#include "platform/elevated_launch.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

using ui::ControlKind;

namespace {

enum : int { kDone = 5001, kClick, kGroupVision, kGroupHelp, kGroupSupport, kGroupTest,
             kArrows = 5100 };

const char* const kDocs = "Documentation";

std::string readInstallPath(const char* product) {
  return platform::registry::readString(platform::registry::Hive::LocalMachine,
                                        std::string("SOFTWARE\\BRENHOLM AS\\") + product,
                                        "InstallPath", 259)
      .value_or("");
}

// Where each link stands on the page (dialog units).
struct Place {
  int id, x, y;
};
constexpr Place kPlaces[] = {{1117, 137, 82},  {1068, 137, 94},  {1076, 137, 106},
                             {1069, 137, 132}, {1053, 137, 144}, {1070, 137, 156},
                             {1071, 307, 132}, {1073, 307, 144}, {1075, 137, 195},
                             {1080, 307, 195}, {1126, 307, 207}};

void showError(ui::Window* owner, const std::string& text) {
  ui::messageBox(owner, text, kInstallerCaption, win::MB_OK);
}

}  // namespace

const qnDInstallSummaryCorvanta::Link qnDInstallSummaryCorvanta::kLinks[11] = {
    {1117, "<a>Corvanta Version XI</a>", true, "Corvanta.exe", "", true},
    {1068, "<a>Corvanta Capture</a>", true, "CorvantaCapture.exe", "", true},
    {1076, "<a>Corvanta Angles</a>", true, "CorvantaAng.exe", "", true},
    {1069, "<a>Python27.chm</a>", true, "Documentation\\python27.chm", kDocs, false},
    {1053, "<a>ReadMe.txt</a>", true, "Documentation\\ReadMe.txt", kDocs, false},
    {1070, "<a>Corvanta Help File</a>", true, "Documentation\\Corvanta.chm", kDocs, false},
    {1071, "<a>Corvanta User Manual</a>", true, "Documentation\\User manual Corvanta.pdf", kDocs,
     false},
    {1073, "<a>Unibrain Fire-I Help</a>", true, "Documentation\\Firei.chm", kDocs, false},
    {1075, "<a>CVP Editor</a>", false, "Support Applications\\cvpedit.exe",
     "Support Applications", true},
    {1080, "<a>IM5TestApp</a>", false, "Test Applications\\IM5TestApp.exe", "Test Applications",
     true},
    {1126, "<a>RS232QrxCmdProtocol3Test</a>", false,
     "Test Applications\\RS232QrxCmdProtocol3Test.exe", "Test Applications", true},
};

qnDInstallSummaryCorvanta::qnDInstallSummaryCorvanta(const std::string& title)
    : qnDPropertyPageBase(142, title, "Installation Complete") {
  shortName_ = "Complete";
  bindText(kInformation, &information);
  information =
      "Please click on the 'Next' button to proceed.\nOr click on the 'Finish' button to "
      "complete the installation.";
  readFolders();
}

void qnDInstallSummaryCorvanta::readFolders() {
  vision_ = readInstallPath("Corvanta Vision Software Version XI 11.0.0.614");
  runtime_ = readInstallPath("Corvanta Version XI 11.0.0.614 Runtime");
}

void qnDInstallSummaryCorvanta::initPageControls() {
  addControl(kDone, ControlKind::Static, ui::dluRect(123, 46, 357, 10),
             "Successfully installed the selected components");
  addControl(kClick, ControlKind::Static, ui::dluRect(123, 58, 357, 10),
             "Please click on the links to launch the applications");
  addControl(kGroupVision, ControlKind::GroupBox, ui::dluRect(117, 70, 370, 50),
             "Corvanta Vision Software");
  addControl(kGroupHelp, ControlKind::GroupBox, ui::dluRect(117, 122, 370, 48), "Help Files");
  addControl(kGroupSupport, ControlKind::GroupBox, ui::dluRect(117, 182, 182, 38),
             "Support Applications");
  addControl(kGroupTest, ControlKind::GroupBox, ui::dluRect(303, 182, 184, 38),
             "Test Applications");
  for (size_t i = 0; i < std::size(kLinks); ++i) {
    const Place& p = kPlaces[i];
    addControl(kArrows + static_cast<int>(i), ControlKind::Static,
               ui::dluRect(p.x - 15, p.y, 14, 10), "=>");
    addControl(p.id, ControlKind::Hyperlink, ui::dluRect(p.x, p.y, 150, 10), kLinks[i].text);
  }
  addControl(kInformation, ControlKind::Static, ui::dluRect(123, 228, 330, 20));
}

bool qnDInstallSummaryCorvanta::onSetActive() {
  readFolders();
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Finish");
  }
  return qnDPropertyPageBase::onSetActive();
}

void qnDInstallSummaryCorvanta::onNotify(int id, ui::Event event) {
  if (event != ui::Event::LinkActivated) return;
  for (const Link& link : kLinks)
    if (link.id == id) openLink(link);
}

bool qnDInstallSummaryCorvanta::openLink(const Link& link) {
  const std::string& folder = link.inRuntime ? runtime_ : vision_;
  // The folders end in a backslash as the installers register them.
  const std::string target = folder + link.target;
  const std::string working = folder + link.workingIn;
  long answer = 33;
  if (link.program) {
    if (launchFileManagingUACElevation(working.c_str(), &answer, target.c_str()) <= 0) {
      showError(this, "Unable to access the link. Unexpected error.");
      return false;
    }
  } else {
    answer = platform::shell::shellExecute("open", target, "", working);
  }
  if (answer <= 32) {
    showError(this, "Unable to access the link. Error code - " + std::to_string(answer));
    return false;
  }
  return true;
}
