// The content pages' tab area: tabs from names, the panel of the selected tab built anew,
// the blank tab and error panel without a list, and the row action message.
#include <gtest/gtest.h>

#include "content/content_tabs.h"
#include "platform/ui/scripted_ui.h"
#include "platform/ui/ui.h"

namespace {

// A panel whose rows are one button per letter of its category.
class LetterPanel : public qnDTabDialogBase {
 public:
  LetterPanel() : qnDTabDialogBase(176, "template") {}
  std::vector<std::pair<int, int>> actions;
  void buildRows() override {
    rows = static_cast<int>(category.size());
    for (int r = 0; r < rows; ++r)
      addRowButton(0, {referenceX() - 26, rowTop(r), referenceX(), rowTop(r) + 24}, "191",
                   "Install", r, 0);
  }
  void updateRows() override {}
  int rowCount() const override { return rows; }

 protected:
  bool rowAction(int row, int action) override {
    actions.emplace_back(row, action);
    return action == 0;
  }

 private:
  int rows = 0;
};

class Page : public ui::Window {
 public:
  Page() : ui::Window(171, "page", 760, 400) {}
  DContentTabCtrl* tabs = nullptr;
  long onMessage(unsigned msg, uintptr_t w, intptr_t l) override {
    long result = 0;
    return tabs && tabs->onMessage(msg, w, l, result) ? result : 0;
  }
  void onNotify(int id, ui::Event e) override {
    if (tabs) tabs->onNotify(id, e);
  }
};

class ContentTabs : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&script);
    page.tabs = &tabs;
    tabs.create(page, {180, 50, 740, 380});
  }
  void TearDown() override { ui::setBackend(nullptr); }
  int buttons() const {
    int n = 0;
    for (const auto& c : page.controls()) n += c.kind == ui::ControlKind::ImageButton;
    return n;
  }

  ui::ScriptedUi script;
  Page page;
  LetterPanel items;
  qnDTabNotAvailable error{177, "Error: Unable to get the list of templates from the server.\nPlease try again."};
  DContentTabCtrl tabs{"DTemplatesTabCtrl", 1097, items, error};
};

TEST_F(ContentTabs, NoListShowsOneBlankTabAndTheErrorPanel) {
  tabs.setTabNames({}, "2D");
  EXPECT_EQ(page.control(1097)->items, std::vector<std::string>{" "});
  EXPECT_EQ(tabs.currentTabName(), "");
  EXPECT_EQ(page.text(qnDTabNotAvailable::IDC_MESSAGE), error.text());
  EXPECT_FALSE(items.exists());
}

TEST_F(ContentTabs, TheSelectedTabKeepsItsPlaceAndItsPanelIsBuiltAnew) {
  tabs.setTabNames({"2D", "Color", "3D"}, "3d");
  EXPECT_EQ(tabs.currentTabName(), "3D");
  EXPECT_EQ(items.category, "3d");
  EXPECT_EQ(buttons(), 2);
  EXPECT_FALSE(error.exists());

  page.userSelect(1097, 1);  // another tab: the old rows go, the new ones come
  EXPECT_EQ(items.category, "color");
  EXPECT_EQ(buttons(), 5);
  tabs.setTabNames({"2D", "3D"}, "Color");  // gone: the first tab
  EXPECT_EQ(tabs.currentTabName(), "2D");
  EXPECT_EQ(buttons(), 2);
  // The panel's rows stand inside the tab's content area, left of the page's x = 700.
  for (const auto& c : page.controls())
    if (c.kind == ui::ControlKind::ImageButton) {
      EXPECT_EQ(c.rect.right, 700);
      EXPECT_GE(c.rect.top, tabs.contentRect().top);
    }
}

TEST_F(ContentTabs, RowButtonsReachThePanelAndUnknownRowsOrActionsSaySo) {
  tabs.setTabNames({"2D"}, "");
  for (const auto& c : page.controls())
    if (c.kind == ui::ControlKind::ImageButton && c.rect.top == tabs.contentRect().top +
                                                                 qnDTabDialogBase::rowTop(1)) {
      page.click(c.id);
    }
  EXPECT_EQ(items.actions, (std::vector<std::pair<int, int>>{{1, 0}}));
  EXPECT_EQ(page.sendMessage(WM_ROW_ACTION, 2, 0), 1);  // row == row count
  EXPECT_EQ(page.sendMessage(WM_ROW_ACTION, 0, 7), 1);
  EXPECT_EQ(script.messageTexts(),
            (std::vector<std::string>{
                "Error: Unable to locate the download path for the selected template. Please "
                "try again.",
                "Error: Unexpected operation. Please try again."}));
}

}  // namespace
