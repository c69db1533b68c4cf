#include "content/readme_page.h"

#include "engine/app_context.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/installer_caption.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"

using ui::ControlKind;

namespace {

const char* const kReadmeFile = "614readme.rtf";
const char* const kDataFolder = "_CorvantaInstallData\\Readme";
const char* const kServerFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";

std::string downloadFolder() { return appContext().applicationFolder + "\\" + kDataFolder; }

// The file's first bytes, at most limit of them: a document larger than anything the box
// shows is not read whole.
bool readHead(const std::string& path, uint64_t limit, std::string& data) {
  auto in = platform::files::InputFile::open(path);
  if (!in) return false;
  data.clear();
  char buffer[64 * 1024];
  while (data.size() < limit) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof buffer, limit - data.size()));
    const int64_t got = in->readAt(data.size(), buffer, want);
    if (got < 0) return false;
    if (got == 0) break;
    data.append(buffer, static_cast<size_t>(got));
  }
  return true;
}

}  // namespace

qnDInstallReleaseNotes::qnDInstallReleaseNotes(const std::string& title)
    : qnDPropertyPageBase(158, title, "Readme Notes"),
      entry_("Readme Notes", (downloadServerBaseUrl() + kServerFolder + kReadmeFile).c_str(),
             kReadmeFile, "", downloadFolder().c_str(), false, true, &strings_.name,
             &strings_.state, &strings_.progress, "Readme Notes") {
  shortName_ = "Readme";
  ComponentEntry* entries[] = {&entry_};
  manager().setComponents(1, entries);
  bindText(kHint, &hint);
}

std::string qnDInstallReleaseNotes::readmePath() const {
  return downloadFolder() + "\\" + kReadmeFile;
}

void qnDInstallReleaseNotes::initPageControls() {
  addControl(kReadme, ControlKind::RichText, ui::dluRect(117, 62, 370, 184));
  const int left = 696, top = ui::dluY(40);
  auto& refresh = addControl(kRefresh, ControlKind::ImageButton, {left, top, left + 24, top + 24});
  refresh.image = "203";
  refresh.tooltip = "Refresh Readme File";
  addControl(kHint, ControlKind::Static, ui::dluRect(123, 250, 330, 18));
  refreshReadme(appContext().isFolderWritable, false);
}

bool qnDInstallReleaseNotes::onSetActive() {
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Cancel");
  }
  show(kRefresh, appContext().isFolderWritable);
  hint = "Please click on the 'Next' button to install the pre-requisites.";
  return qnDPropertyPageBase::onSetActive();
}

void qnDInstallReleaseNotes::onCommand(int id) {
  if (id == kRefresh) {
    refreshReadme(true, true);
    return;
  }
  qnDPropertyPageBase::onCommand(id);
}

bool qnDInstallReleaseNotes::refreshReadme(bool replaceExisting, bool showErrors) {
  const std::string local = readmePath();
  bool fetched;
  {
    // A failed fetch with replaceExisting puts the previous document back.
    DDownloadAndInstallComponent dialog(1, 1, &entry_, true, replaceExisting, showErrors);
    fetched = dialog.doModal() == win::IDOK;
  }
  const bool exists = fileExists(local);
  if (showErrors && !fetched && exists)
    ui::messageBox(this, "Using default copy of the Readme file.", kInstallerCaption, win::MB_OK);
  std::string document;
  if (exists && readHead(local, kMaxReadmeBytes, document)) {
    setText(kReadme, document);
    return true;
  }
  setText(kReadme, "Error: Unable to get the 'Readme Notes' from the server.\nPlease try again.");
  return false;
}
