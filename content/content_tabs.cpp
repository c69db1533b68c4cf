#include "content/content_tabs.h"

#include <algorithm>

#include "engine/app_context.h"
#include "platform/debug.h"
#include "platform/portable.h"
#include "platform/ui/image_controls.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

namespace {

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

ui::Rect offset(ui::Rect r, const ui::Rect& by) {
  return {r.left + by.left, r.top + by.top, r.right + by.left, r.bottom + by.top};
}

}  // namespace

bool qnDTabPanel::create(ui::Window& page, ui::Rect area) {
  destroy();
  page_ = &page;
  area_ = area;
  resetIds();
  onCreate();
  return true;
}

void qnDTabPanel::destroy() {
  if (!page_) return;
  for (int id : ids_) page_->removeControl(id);
  ids_.clear();
  page_ = nullptr;
}

ui::Control& qnDTabPanel::addPanelControl(int id, ui::ControlKind kind, ui::Rect rect,
                                          const std::string& text) {
  if (id == 0) id = nextId_++;
  ids_.push_back(id);
  return page_->addControl(id, kind, offset(rect, area_), text);
}

ui::Control& qnDTabPanel::addPanelPicture(int id, ui::ControlKind kind, ui::Rect rect,
                                          const std::string& image, const std::string& tip) {
  ui::Control& c = addPanelControl(id, kind, rect);
  c.image = image;
  c.tooltip = tip;
  page_->controlChanged(c.id);
  return c;
}

void qnDTabNotAvailable::onCreate() {
  addPanelControl(IDC_MESSAGE, ui::ControlKind::Static, ui::dluRect(17, 39, 219, 24), text_);
}

void qnDTabDialogBase::onCreate() {
  addPanelControl(IDC_MESSAGE, ui::ControlKind::Static, ui::dluRect(0, 20, 263, 11), message);
}

void qnDTabDialogBase::setMessage(const std::string& text) {
  message = text;
  if (page()) page()->setText(IDC_MESSAGE, text);
}

void qnDTabDialogBase::addRowButton(int id, ui::Rect rect, const char* image,
                                    const std::string& tip, int row, int action) {
  const int placed = addPanelPicture(id, ui::ControlKind::ImageButton, rect, image, tip).id;
  ui::DDynamicButton button(*page(), placed);
  button.setOwner(page(), static_cast<uint32_t>(row), static_cast<uint32_t>(action));
}

long qnDTabDialogBase::onRowAction(int row, int action) {
  if (row < 0 || row >= rowCount()) {
    ui::messageBox(page(),
                   std::string("Error: Unable to locate the download path for the selected ") +
                       kindWord_ + ". Please try again.",
                   kInstallerCaption, win::MB_OK);
    return 1;
  }
  if (!rowAction(row, action))
    ui::messageBox(page(), "Error: Unexpected operation. Please try again.", kInstallerCaption,
                   win::MB_OK);
  return 1;
}

void DContentTabCtrl::create(ui::Window& page, ui::Rect rect) {
  page_ = &page;
  page.addControl(id_, ui::ControlKind::Tab, rect);
  // The display area below the strip of tabs.
  content_ = {rect.left + 2, rect.top + ui::dluY(14), rect.right - 2, rect.bottom - 2};
}

int DContentTabCtrl::setTabNames(const std::vector<std::string>& names,
                                 const std::string& previous) {
  names_.clear();
  notAvailable_ = names.empty();
  std::vector<std::string> shown;
  if (notAvailable_) {
    shown.push_back(" ");
  } else {
    names_ = names;
    // The tab text buffer holds 255 characters.
    for (const std::string& n : names) shown.push_back(n.substr(0, 255));
  }
  int selected = 0;
  if (!notAvailable_ && !previous.empty()) {
    for (size_t i = 0; i < names_.size(); ++i)
      if (platform::equalsNoCase(names_[i], previous)) {
        selected = static_cast<int>(i);
        break;
      }
  }
  if (page_) {
    page_->setItems(id_, std::move(shown));
    page_->setSelection(id_, selected);
  }
  createTabContents();
  return 1;
}

std::string DContentTabCtrl::currentTabName() const {
  if (!page_ || notAvailable_) return "";
  int index = page_->selection(id_);
  if (index < 0 || index >= static_cast<int>(names_.size())) return "";
  return names_[static_cast<size_t>(index)];
}

void DContentTabCtrl::createTabContents() {
  if (!page_) return;
  int index = std::max(0, page_->selection(id_));
  items_.destroy();
  error_.destroy();
  if (notAvailable_) {
    if (!error_.create(*page_, content_))
      platform::debugOutput(std::string(className_) +
                            "::createTabContents() - Unable to create tab dialog");
    return;
  }
  if (!items_.create(*page_, content_)) {
    platform::debugOutput(std::string(className_) +
                          "::createTabContents() - Unable to create tab dialog");
    return;
  }
  items_.category = lower(index < static_cast<int>(names_.size()) ? names_[static_cast<size_t>(index)] : "");
  items_.buildRows();
}

bool DContentTabCtrl::onNotify(int id, ui::Event event) {
  if (id != id_ || event != ui::Event::SelectionChanged) return false;
  createTabContents();
  return true;
}

bool DContentTabCtrl::onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, long& result) {
  if (msg != WM_ROW_ACTION || !items_.exists()) return false;
  result = items_.onRowAction(static_cast<int>(wParam), static_cast<int>(lParam));
  return true;
}
