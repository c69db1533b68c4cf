#pragma once
// Property sheet in wizard mode and its pages, as models. The sheet owns the wizard
// buttons; the active page's controls are shown in the sheet's page area.
#include <string>
#include <vector>

#include "platform/ui/window.h"

namespace ui {

class PropertySheet;

// Wizard button identifiers and set-wizard-buttons flags.
constexpr int ID_WIZBACK = 0x3023;
constexpr int ID_WIZNEXT = 0x3024;
constexpr int ID_WIZFINISH = 0x3025;
constexpr int ID_SHEET_CANCEL = 2;
constexpr int ID_SHEET_HELP = 9;
constexpr unsigned PSWIZB_BACK = 0x1;
constexpr unsigned PSWIZB_NEXT = 0x2;
constexpr unsigned PSWIZB_FINISH = 0x4;

class PropertyPage : public Window {
 public:
  // A size of 0 takes the wizard page's: 735 x 460 pixels with the default dialog font,
  // grown with the real one.
  PropertyPage(int templateId, std::string title, int width = 0, int height = 0);
  PropertySheet* sheet() const { return sheet_; }
  // The page's window exists once it was first activated.
  bool isCreated() const { return created_; }

  // Activation; true accepts it. The base does nothing more.
  virtual bool onSetActive() { return true; }
  virtual bool onKillActive() { return true; }
  // 0: the wizard moves to the adjacent page; -1: it stays (the page moved it itself).
  virtual long onWizardNext() { return 0; }
  virtual long onWizardBack() { return 0; }
  // Button 2 (Cancel or Finish) was pressed; false keeps the wizard open.
  virtual bool onQueryCancel() { return true; }

 private:
  friend class PropertySheet;
  PropertySheet* sheet_ = nullptr;
  bool created_ = false;
};

class PropertySheet : public Window {
 public:
  // A size of 0 takes the wizard's: 760 x 560 pixels with the default dialog font, grown
  // with the real one.
  PropertySheet(std::string caption, int width = 0, int height = 0);

  void addPage(PropertyPage* page);  // not owned
  int pageCount() const { return static_cast<int>(pages_.size()); }
  PropertyPage* page(int index) const;
  int pageIndex(const PropertyPage* page) const;
  int activeIndex() const { return active_; }
  PropertyPage* activePage() const { return page(active_); }
  // Deactivates the current page and activates the one at index (its window is created
  // and initialised on first activation). False when the page refused.
  bool setActivePage(int index);

  void setWizardButtons(unsigned flags);
  unsigned wizardButtons() const { return wizardButtons_; }
  // Text of a sheet button (button 2 reads "Cancel" or "Finish").
  void setButtonText(int id, const std::string& text);

  // The wizard's Back and Next (what pressing the buttons does).
  void pressBack();
  void pressNext();

  // Where the active page's controls sit in the sheet's window (page coordinates are
  // relative to its top-left corner).
  Rect pageArea() const;

  // Called by backends when a page control is clicked; routed to the active page.
  void onCommand(int id) override;
  // Asks the active page before the wizard closes.
  void onCancel() override;
  // Activates the first page (or the one chosen before the run).
  void onInitDialog() override;

 protected:
  const Control* commandControl(int id) const override;
  void closeOwned() override;

  // The page controls of the active page change together with the sheet.
  std::vector<PropertyPage*> pages_;
  Rect pageArea_;
  int active_ = -1;
  unsigned wizardButtons_ = PSWIZB_BACK | PSWIZB_NEXT;
};

}  // namespace ui
