#include "content/resources_page.h"

#include <cstdlib>

#include "content/content_list.h"
#include "content/content_packages.h"
#include "engine/app_context.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/profile.h"
#include "platform/ui/image_controls.h"
#include "platform/ui/property_sheet.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"

using ui::ControlKind;

namespace {

const char* const kListFile = "614resorces.ini.txt";
const char* const kServerFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";

void tell(ui::Window* owner, const std::string& text) {
  ui::messageBox(owner, text, kInstallerCaption, win::MB_OK);
}

std::string readValue(const std::string& section, const char* key, const char* fallback,
                      const std::string& file) {
  std::string value;
  platform::profile::getString(section, key, fallback, value, 1024, file);
  return value;
}

// Where a picture of the list is kept: a plain file name of the resources folder, or empty
// (the row then shows the default picture, and nothing is fetched for it).
std::string picturePathOf(const std::string& imageUrl) {
  std::string file;
  if (!fileNameOfLink(imageUrl, file) || !isPlainName(file)) return "";
  return resourcesFolder() + "\\" + file;
}

}  // namespace

std::string resourcesFolder() {
  return appContext().applicationFolder + "\\_CorvantaInstallData\\Resources";
}

// ---- the panel

void DTabResources::updateResourcesList() {
  rows_.clear();
  rows_.reserve(kMaxRows);
  pictures_ = false;
  const std::string list = resourcesFolder() + "\\" + kListFile;
  std::vector<std::string> sections;
  platform::profile::getSectionNames(sections, 8192, list);
  for (const std::string& section : sections) {
    if (!sectionInTab(section, category)) continue;
    Row row;
    row.name = readValue(section, "Name", "", list);
    row.url = readValue(section, "URL", "", list);
    row.imageUrl = readValue(section, "ImageURL", "", list);
    row.column = static_cast<int>(std::strtol(readValue(section, "Column", "0", list).c_str(),
                                              nullptr, 10));
    if (!row.imageUrl.empty()) row.picturePath = picturePathOf(row.imageUrl);
    pictures_ |= !row.imageUrl.empty();
    rows_.push_back(std::move(row));
    if (rowCount() == kMaxRows) {
      platform::debugOutput("DTabResources::updateResourcesList() - " + category +
                            ". Unable to use all resources from INI file. List too long.\n");
      break;
    }
  }
  if (rows_.empty()) {
    setMessage("No resources are available in this category.");
    page()->show(IDC_MESSAGE, true);
    return;
  }
  page()->show(IDC_MESSAGE, false);
  setMessage("");
  if (pictures_)
    layOutPictures();
  else
    layOutLinks();
}

void DTabResources::layOutPictures() {
  for (int i = 0; i < rowCount(); ++i) {
    if (i / kGridColumns >= kGridLines) {
      platform::debugOutput("DTabResources::updateResourcesList() - " + category +
                            ". Unable to display all elements.\n");
      break;
    }
    Row& row = rows_[static_cast<size_t>(i)];
    const int u = (i % kGridColumns) * 79, w = (i / kGridColumns) * 120;
    const ui::Rect cell{u + 30, w + 30, u + 94, w + 94};
    row.pictureId = kFirstPicture + i;
    const int id = addPanelPicture(row.pictureId, ControlKind::ImageButton, cell,
                                   std::to_string(kDefaultPicture), "").id;
    ui::DDynamicButton button(*page(), id);
    if (!row.picturePath.empty() && fileExists(row.picturePath) &&
        button.loadImageFile(row.picturePath) != 1) {
      // A picture that is no PNG shows the default one.
      page()->setImage(id, std::to_string(kDefaultPicture));
    }
    if (ui::Control* c = page()->control(id)) {
      // A picture larger than its cell is clipped to it, so it never covers its neighbours.
      c->rect.right = c->rect.left + (cell.right - cell.left);
      c->rect.bottom = c->rect.top + (cell.bottom - cell.top);
      if (c->imageWidth <= 0 || c->imageHeight <= 0) c->imageWidth = c->imageHeight = 64;
      page()->controlChanged(id);
    }
    button.setOwner(page(), static_cast<uint32_t>(i), 0);
    ui::Control& caption =
        addPanelControl(0, ControlKind::Static, {u + 22, w + 97, u + 102, w + 125}, row.name);
    caption.centreText = true;
    row.captionId = caption.id;
    page()->controlChanged(row.captionId);
  }
}

void DTabResources::layOutLinks() {
  int left = 20, right = 20, leftCount = 0, rightCount = 0;
  for (int i = 0; i < rowCount(); ++i) {
    Row& row = rows_[static_cast<size_t>(i)];
    const bool second = row.column == 2;
    int& y = second ? right : left;
    int& count = second ? rightCount : leftCount;
    if (count >= kColumnLinks) {
      platform::debugOutput("DTabResources::updateResourcesList() - " + category +
                            ". Unable to display all elements from column " +
                            (second ? "2" : "1") + ".\n");
      continue;
    }
    const int x = second ? 243 : 10;
    // The marker reaches a little to the left: "=>" is wider in our font than its 15 pixels.
    addPanelControl(0, ControlKind::Static,
                    {ui::fontScaledX(x) - 6, y, ui::fontScaledX(x + 17), y + 15}, "=>");
    row.linkId = kFirstLink + (second ? kRightLinks : 0) + i;
    const ui::Rect placed = addPanelControl(row.linkId, ControlKind::Hyperlink,
                                            {ui::fontScaledX(x + 18), y,
                                             ui::fontScaledX(x + 218), y + 15})
                                .rect;
    row.link.createLink(*page(), row.name, 0, placed, row.url, row.linkId);
    y += 25;
    ++count;
  }
}

long DTabResources::onRowAction(int index, int action) {
  if (action != 0) return 1;
  if (index < 0 || index >= rowCount()) {
    tell(page(), "Error: Unable to locate the link. Please try again.");
    return 1;
  }
  const Row& row = rows_[static_cast<size_t>(index)];
  int code = 0;
  if (openResourceLink(row.url, row.name, code, page()) <= 0)
    tell(page(), "Unable to access the link. Error code - " + std::to_string(code));
  return 1;
}

bool DTabResources::activateLink(int id) {
  if (!exists()) return false;
  for (Row& row : rows_)
    if (row.linkId == id) {
      row.link.onClick();
      return true;
    }
  return false;
}

// ---- the page

qnDInstallCorvantaResourcesDynamic::qnDInstallCorvantaResourcesDynamic(const std::string& title)
    : qnDContentListPage(157, title, "Corvanta Vision Resources", kRefresh),
      listEntry_("Corvanta Vision Resources",
                 (downloadServerBaseUrl() + kServerFolder + kListFile).c_str(), kListFile, "",
                 resourcesFolder().c_str(), false, true, &listStrings_.name,
                 &listStrings_.state, &listStrings_.progress, "Resources") {
  shortName_ = "Resources";
  ComponentEntry* entries[] = {&listEntry_};
  manager().setComponents(1, entries);
  bindText(kHint, &hint);
  hint = "Please click on the 'Next' button to view 'Readme Notes'.";
}

std::string qnDInstallCorvantaResourcesDynamic::listPath() const {
  return resourcesFolder() + "\\" + kListFile;
}

void qnDInstallCorvantaResourcesDynamic::initPageControls() {
  addControl(kInstruction, ControlKind::Static, ui::dluRect(123, 46, 300, 10),
             "Please click on the links to browse the resources");
  tabs_.create(*this, ui::dluRect(117, 66, 370, 180));
  const int left = 696, top = ui::dluY(40);
  auto& refresh = addControl(kRefresh, ControlKind::ImageButton, {left, top, left + 24, top + 24});
  refresh.image = "203";
  refresh.tooltip = "Refresh Resources List";
  addControl(kHint, ControlKind::Static, ui::dluRect(123, 250, 330, 18));
  created_ = true;
  // Whatever the folder allows: a list placed beside the installer still shows.
  refreshContentList(false, false);
}

bool qnDInstallCorvantaResourcesDynamic::onSetActive() {
  if (sheet()) {
    sheet()->setWizardButtons(ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
    sheet()->setButtonText(ui::ID_SHEET_CANCEL, "Cancel");
  }
  show(kRefresh, appContext().isFolderWritable);
  return qnDContentListPage::onSetActive();
}

void qnDInstallCorvantaResourcesDynamic::onNotify(int id, ui::Event event) {
  if (tabs_.onNotify(id, event)) return;
  if (event == ui::Event::LinkActivated && panel_.activateLink(id)) return;
  qnDPropertyPageBase::onNotify(id, event);
}

void qnDInstallCorvantaResourcesDynamic::collectPictures(mxInstallManagerBase& manager) {
  const std::string list = listPath();
  pictureEntries_.clear();
  std::vector<std::string> sections;
  platform::profile::getSectionNames(sections, 8192, list);
  pictureEntries_.reserve(sections.size());
  for (const std::string& section : sections) {
    const std::string name = readValue(section, "Name", "", list);
    const std::string imageUrl = readValue(section, "ImageURL", "", list);
    std::string file;
    // A picture's name becomes a file of the resources folder: plain names only.
    if (!fileNameOfLink(imageUrl, file) || !isPlainName(file)) continue;
    pictureEntries_.emplace_back(name.c_str(), imageUrl.c_str(), file.c_str(), "",
                                 resourcesFolder().c_str(), false, false, &pictureStrings_.name,
                                 &pictureStrings_.state, &pictureStrings_.progress,
                                 "Resources");
  }
  std::vector<ComponentEntry*> pointers;
  for (ComponentEntry& e : pictureEntries_) pointers.push_back(&e);
  manager.releaseComponents();
  if (!pointers.empty())
    manager.setComponents(static_cast<unsigned>(pointers.size()), pointers.data());
}

int qnDInstallCorvantaResourcesDynamic::refreshContentList(bool replaceExisting,
                                                           bool showErrors) {
  const std::string previous = created_ ? tabs_.currentTabName() : "";
  bool fetched;
  const bool local = fetchContentList(listEntry_, listPath(), replaceExisting, showErrors, fetched);
  if (!fetched && local) tell(this, "Using default list of resources.");
  if (!local) {
    if (created_) tabs_.setTabNames({}, previous);
    return -1;
  }
  // Pictures already here are used again; only new ones are fetched.
  mxInstallManagerBase pictures;
  collectPictures(pictures);
  if (pictures.count() != 0) {
    bool skipAll = false;
    pictures.downloadAllComponents(false, &skipAll);
  }
  pictures.releaseComponents();
  if (created_) tabs_.setTabNames(iniListTabNames(listPath()), previous);
  return 1;
}

int qnDInstallCorvantaResourcesDynamic::collectPackageEntries(mxInstallManagerBase* lists,
                                                              mxInstallManagerBase* pictures) {
  if (!lists || !pictures) return -1;
  ComponentEntry* entries[] = {&listEntry_};
  lists->releaseComponents();
  lists->setComponents(1, entries);
  collectPictures(*pictures);
  return 1;
}
