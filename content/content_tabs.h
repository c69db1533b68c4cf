#pragma once
// The content pages' tab area: one tab per category of the list and, below the tabs, one
// panel with the rows of the selected category; when the page has no list, a single blank
// tab and a panel that says so. Panels are sets of controls on the page, inside the tab's
// content rectangle, removed and built again whenever a tab is selected.
#include <string>
#include <vector>

#include "platform/ui/window.h"

// The message a row's button sends to its panel: the row in the first value, the action in
// the second.
inline constexpr unsigned WM_ROW_ACTION = 0x400 + 6;

class qnDTabPanel {
 public:
  qnDTabPanel(int templateId, int firstControlId)
      : templateId_(templateId), nextId_(firstControlId), firstId_(firstControlId) {}
  virtual ~qnDTabPanel() = default;
  qnDTabPanel(const qnDTabPanel&) = delete;
  qnDTabPanel& operator=(const qnDTabPanel&) = delete;

  // Puts the panel's controls on the page inside area (pixels of the page); false when the
  // panel cannot be created.
  bool create(ui::Window& page, ui::Rect area);
  // Takes every control of the panel off the page.
  void destroy();
  bool exists() const { return page_ != nullptr; }
  int templateId() const { return templateId_; }
  ui::Window* page() const { return page_; }
  const ui::Rect& area() const { return area_; }

 protected:
  // The panel's own controls, after create.
  virtual void onCreate() = 0;
  // Adds a control at a place given relative to the panel's top-left corner (pixels); id 0
  // takes the next free id of the panel's range.
  ui::Control& addPanelControl(int id, ui::ControlKind kind, ui::Rect rect,
                               const std::string& text = "");
  // A picture control of the panel: named before the renderer first shows it.
  ui::Control& addPanelPicture(int id, ui::ControlKind kind, ui::Rect rect,
                               const std::string& image, const std::string& tip);
  // Frees the panel's range for the next build.
  void resetIds() { nextId_ = firstId_; }

 private:
  int templateId_;
  int nextId_, firstId_;
  ui::Window* page_ = nullptr;
  ui::Rect area_;
  std::vector<int> ids_;
};

// The panel shown when the page has no list: the kind's error text.
class qnDTabNotAvailable : public qnDTabPanel {
 public:
  static constexpr int IDC_MESSAGE = 1096;
  qnDTabNotAvailable(int templateId, std::string text)
      : qnDTabPanel(templateId, 22000), text_(std::move(text)) {}
  const std::string& text() const { return text_; }

 protected:
  void onCreate() override;

 private:
  std::string text_;
};

// The item panels of templates, demo profiles and tutorials: the category's rows, the
// message line, and the row action message.
class qnDTabDialogBase : public qnDTabPanel {
 public:
  static constexpr int IDC_MESSAGE = 1096;
  // Rows start 5 pixels down and follow every 28 pixels; their right-hand reference is the
  // page's x = 700.
  static constexpr int kRowTop = 5, kRowStep = 28, kPageReferenceX = 700;

  qnDTabDialogBase(int templateId, const char* kindWord)
      : qnDTabPanel(templateId, 20000), kindWord_(kindWord) {}

  std::string category;  // lower case once a tab is shown
  std::string message;   // the line of control 1096

  // Creates the rows of the category.
  virtual void buildRows() = 0;
  // Texts, enabling and visibility of the rows from their state.
  virtual void updateRows() = 0;
  virtual int rowCount() const = 0;
  // The row action message: always 1, the reason shown when the row or action is unknown.
  virtual long onRowAction(int row, int action);
  // A row's top in panel pixels.
  static int rowTop(int row) { return kRowTop + row * kRowStep; }

 protected:
  void onCreate() override;
  // One row's action; false for an action the kind does not know.
  virtual bool rowAction(int row, int action) = 0;
  // The rows' x reference, in panel pixels.
  int referenceX() const { return ui::fontScaledX(kPageReferenceX) - area().left; }
  // A row button: a picture that sends the row action message to the page.
  void addRowButton(int id, ui::Rect rect, const char* image, const std::string& tip, int row,
                    int action);
  void setMessage(const std::string& text);

 private:
  const char* kindWord_;  // "template", "profile", "tutorial"
};

class DContentTabCtrl {
 public:
  // className names the debug line; items and error are the page's two panels.
  DContentTabCtrl(const char* className, int controlId, qnDTabDialogBase& items,
                  qnDTabNotAvailable& error)
      : className_(className), id_(controlId), items_(items), error_(error) {}

  // Adds the tab control to the page at rect (pixels).
  void create(ui::Window& page, ui::Rect rect);
  // Replaces the tabs; the tab named previous (any letter case) stays selected. Returns 1.
  int setTabNames(const std::vector<std::string>& names, const std::string& previous);
  std::string currentTabName() const;
  // Builds the panel of the selected tab anew.
  void createTabContents();
  // The page's notifications and messages that belong to the tabs; true when handled.
  bool onNotify(int id, ui::Event event);
  bool onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam, long& result);

  bool notAvailable() const { return notAvailable_; }
  const std::vector<std::string>& names() const { return names_; }
  const ui::Rect& contentRect() const { return content_; }
  int id() const { return id_; }

 private:
  const char* className_;
  int id_;
  qnDTabDialogBase& items_;
  qnDTabNotAvailable& error_;
  ui::Window* page_ = nullptr;
  bool notAvailable_ = true;
  ui::Rect content_;
  std::vector<std::string> names_;
};
