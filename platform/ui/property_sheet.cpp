#include "platform/ui/property_sheet.h"

#include "platform/debug.h"
#include "platform/ui/ui.h"

namespace ui {

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;
constexpr int kPageWidth = 735;
constexpr int kPageHeight = 460;

}  // namespace

PropertyPage::PropertyPage(int templateId, std::string title, int width, int height)
    : Window(templateId, std::move(title), width > 0 ? width : fontScaledX(kPageWidth),
             height > 0 ? height : fontScaledY(kPageHeight)) {}

PropertySheet::PropertySheet(std::string caption, int w, int h)
    : Window(0, std::move(caption), w > 0 ? w : fontScaledX(760), h > 0 ? h : fontScaledY(560)) {
  const int width = this->width(), height = this->height();
  pageArea_ = Rect{kMargin, kMargin, kMargin + fontScaledX(kPageWidth),
                   kMargin + fontScaledY(kPageHeight)};
  // The wizard's own buttons along the bottom edge, right-aligned: Back Next  Cancel Help.
  const int top = height - 45;
  int right = width - kMargin;
  auto place = [&](int id, const char* text, int gapAfter) {
    addControl(id, ControlKind::Button, Rect{right - kButtonWidth, top, right, top + kButtonHeight},
               text);
    right -= kButtonWidth + gapAfter;
  };
  place(ID_SHEET_HELP, "Help", kButtonGap);
  place(ID_SHEET_CANCEL, "Cancel", kButtonGap);
  place(ID_WIZNEXT, "Next >", 0);
  place(ID_WIZBACK, "< Back", 0);
  // The help button only shows when the wizard is given help.
  show(ID_SHEET_HELP, false);
}

Rect PropertySheet::pageArea() const { return pageArea_; }

void PropertySheet::addPage(PropertyPage* page) {
  if (!page) return;
  page->sheet_ = this;
  page->setParent(this);
  pages_.push_back(page);
}

PropertyPage* PropertySheet::page(int index) const {
  if (index < 0 || index >= pageCount()) return nullptr;
  return pages_[index];
}

int PropertySheet::pageIndex(const PropertyPage* p) const {
  for (int i = 0; i < pageCount(); ++i)
    if (pages_[i] == p) return i;
  return -1;
}

bool PropertySheet::setActivePage(int index) {
  PropertyPage* next = page(index);
  if (!next) {
    platform::debugOutput("PropertySheet::setActivePage - no page " + std::to_string(index) +
                          "\n");
    return false;
  }
  PropertyPage* old = activePage();
  if (old && old != next && !old->onKillActive()) return false;
  const int previous = active_;
  active_ = index;
  if (!next->created_) {
    // The page's window is made on its first activation; its initialisation runs once.
    next->created_ = true;
    next->beginShow();
  }
  setCaption(next->caption());
  if (isOpen()) {
    if (Backend* b = currentBackend()) b->changed(*this, 0);
  }
  if (!next->onSetActive()) {
    active_ = previous;
    if (PropertyPage* back = activePage()) setCaption(back->caption());
    if (isOpen()) {
      if (Backend* b = currentBackend()) b->changed(*this, 0);
    }
    return false;
  }
  return true;
}

void PropertySheet::setWizardButtons(unsigned flags) {
  wizardButtons_ = flags;
  enable(ID_WIZBACK, (flags & PSWIZB_BACK) != 0);
  // Finish is shown by the pages through button 2's text, so Next follows its own flag only.
  enable(ID_WIZNEXT, (flags & PSWIZB_NEXT) != 0);
}

void PropertySheet::setButtonText(int id, const std::string& text) { setText(id, text); }

void PropertySheet::pressBack() {
  PropertyPage* p = activePage();
  if (!p) return;
  long r = p->onWizardBack();
  if (r == 0) {
    if (active_ > 0) setActivePage(active_ - 1);
  } else if (r > 0) {
    // A template identifier names the page to go to.
    for (int i = 0; i < pageCount(); ++i)
      if (pages_[i]->templateId() == r) {
        setActivePage(i);
        break;
      }
  }
}

void PropertySheet::pressNext() {
  PropertyPage* p = activePage();
  if (!p) return;
  long r = p->onWizardNext();
  if (r == 0) {
    if (active_ + 1 < pageCount()) setActivePage(active_ + 1);
  } else if (r > 0) {
    for (int i = 0; i < pageCount(); ++i)
      if (pages_[i]->templateId() == r) {
        setActivePage(i);
        break;
      }
  }
}

void PropertySheet::onCommand(int id) {
  if (id == ID_WIZBACK) {
    pressBack();
    return;
  }
  if (id == ID_WIZNEXT) {
    pressNext();
    return;
  }
  if (PropertyPage* p = activePage()) {
    if (p->control(id)) {
      p->click(id);
      return;
    }
  }
}

void PropertySheet::onInitDialog() {
  if (pages_.empty()) return;
  setActivePage(active_ >= 0 && active_ < pageCount() ? active_ : 0);
}

const Control* PropertySheet::commandControl(int id) const {
  if (const Control* c = control(id)) return c;
  if (PropertyPage* p = activePage()) return p->control(id);
  return nullptr;
}

void PropertySheet::closeOwned() {
  for (PropertyPage* p : pages_) {
    if (p->created_) {
      p->endShow();
      p->created_ = false;
    }
  }
  active_ = -1;
}

void PropertySheet::onCancel() {
  if (PropertyPage* p = activePage(); p && !p->onQueryCancel()) return;
  endDialog(2);
}

}  // namespace ui
