// The wizard sheet model: page activation, Back/Next with pages that move the wizard
// themselves, sheet buttons, routing of page commands, and pages that run modal work.
#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/property_sheet.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"

namespace {

using ui::ControlKind;
using ui::Rect;

class Page : public ui::PropertyPage {
 public:
  Page(int id, const std::string& title, std::vector<std::string>* log)
      : PropertyPage(id, title), log_(log) {
    addControl(1106, ControlKind::ImageButton, Rect{10, 400, 42, 432});
    addControl(1098, ControlKind::Static, Rect{10, 300, 500, 340}, title + " hint");
  }
  void onInitDialog() override { note("init"); }
  bool onSetActive() override {
    note("set");
    return acceptActivation;
  }
  bool onKillActive() override {
    note("kill");
    return allowLeave;
  }
  long onWizardNext() override {
    note("next");
    if (nextTarget >= 0) {
      sheet()->setActivePage(nextTarget);
      return -1;
    }
    return 0;
  }
  long onWizardBack() override {
    note("back");
    return 0;
  }
  void onCommand(int id) override { note("cmd" + std::to_string(id)); }
  void onDestroy() override { note("destroy"); }
  void onTimer(int id) override {
    ++ticks;
    if (ticks == 2) sheet()->endDialog(5);
  }

  bool acceptActivation = true, allowLeave = true;
  int nextTarget = -1;
  int ticks = 0;

 private:
  void note(const std::string& what) { log_->push_back(caption() + ":" + what); }
  std::vector<std::string>* log_;
};

class Sheet : public ui::PropertySheet {
 public:
  Sheet() : PropertySheet("Wizard") {
    addControl(40203, ControlKind::Button, Rect{10, 480, 95, 503}, "Home");
  }
  void onCommand(int id) override {
    if (id == 40203) {
      setActivePage(0);
      return;
    }
    PropertySheet::onCommand(id);
  }
};

class PropertySheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&script);
    for (int i = 0; i < 4; ++i) {
      pages.push_back(std::make_unique<Page>(200 + i, "P" + std::to_string(i), &log));
      sheet.addPage(pages.back().get());
    }
  }
  void TearDown() override {
    if (sheet.isOpen()) sheet.endShow();
    ui::setBackend(nullptr);
  }
  std::vector<std::string> take() { return std::exchange(log, {}); }

  ui::ScriptedUi script;
  std::vector<std::string> log;
  std::vector<std::unique_ptr<Page>> pages;
  Sheet sheet;
};

TEST_F(PropertySheetTest, FirstActivationInitialisesOnceAndCaptionFollowsThePage) {
  sheet.beginShow();
  EXPECT_EQ(sheet.activeIndex(), 0);
  EXPECT_EQ(sheet.caption(), "P0");
  EXPECT_EQ(take(), (std::vector<std::string>{"P0:init", "P0:set"}));

  sheet.click(ui::ID_WIZNEXT);
  EXPECT_EQ(take(), (std::vector<std::string>{"P0:next", "P0:kill", "P1:init", "P1:set"}));
  sheet.click(ui::ID_WIZBACK);
  EXPECT_EQ(take(), (std::vector<std::string>{"P1:back", "P1:kill", "P0:set"}));
  EXPECT_EQ(sheet.caption(), "P0");
  EXPECT_TRUE(pages[1]->isCreated());
  EXPECT_FALSE(pages[2]->isCreated());

  // Activating the current page again runs its activation once more.
  EXPECT_TRUE(sheet.setActivePage(0));
  EXPECT_EQ(take(), (std::vector<std::string>{"P0:set"}));
}

TEST_F(PropertySheetTest, NavigationTable) {
  struct Row {
    const char* what;
    int start;
    bool back;
    int nextTarget;  // the active page's own move, -1 none
    bool allowLeave;
    int want;
  } rows[] = {
      {"next moves on", 1, false, -1, true, 2},
      {"page moves itself past its neighbour", 1, false, 3, true, 3},
      {"page moves itself backwards", 2, false, 0, true, 0},
      {"next at the last page stays", 3, false, -1, true, 3},
      {"back at the first page stays", 0, true, -1, true, 0},
      {"back moves back", 2, true, -1, true, 1},
      {"page refusing to be left keeps the wizard", 1, false, -1, false, 1},
  };
  sheet.beginShow();
  for (const auto& r : rows) {
    for (auto& p : pages) {
      p->nextTarget = -1;
      p->allowLeave = true;
    }
    ASSERT_TRUE(sheet.setActivePage(r.start)) << r.what;
    pages[r.start]->nextTarget = r.nextTarget;
    pages[r.start]->allowLeave = r.allowLeave;
    if (r.back)
      sheet.pressBack();
    else
      sheet.pressNext();
    EXPECT_EQ(sheet.activeIndex(), r.want) << r.what;
    EXPECT_EQ(sheet.caption(), "P" + std::to_string(r.want)) << r.what;
  }
}

TEST_F(PropertySheetTest, RefusedActivationKeepsThePreviousPage) {
  sheet.beginShow();
  pages[1]->acceptActivation = false;
  EXPECT_FALSE(sheet.setActivePage(1));
  EXPECT_EQ(sheet.activeIndex(), 0);
  EXPECT_EQ(sheet.caption(), "P0");
  EXPECT_FALSE(sheet.setActivePage(9));
}

TEST_F(PropertySheetTest, WizardButtonsAndCommandRouting) {
  sheet.beginShow();
  sheet.setWizardButtons(ui::PSWIZB_BACK);
  EXPECT_TRUE(sheet.isEnabled(ui::ID_WIZBACK));
  EXPECT_FALSE(sheet.isEnabled(ui::ID_WIZNEXT));
  take();
  sheet.click(ui::ID_WIZNEXT);  // disabled: nothing happens
  EXPECT_TRUE(take().empty());
  EXPECT_EQ(sheet.activeIndex(), 0);

  sheet.setButtonText(ui::ID_SHEET_CANCEL, "Finish");
  EXPECT_EQ(sheet.text(ui::ID_SHEET_CANCEL), "Finish");

  sheet.click(1106);  // a page control clicked through the sheet
  EXPECT_EQ(take(), std::vector<std::string>{"P0:cmd1106"});
  pages[0]->enable(1106, false);
  sheet.click(1106);
  EXPECT_TRUE(take().empty());

  sheet.setActivePage(2);
  take();
  sheet.click(40203);  // the sheet's own shortcut
  EXPECT_EQ(sheet.activeIndex(), 0);

  sheet.click(ui::ID_SHEET_CANCEL);
  EXPECT_TRUE(sheet.ended());
  EXPECT_EQ(sheet.result(), win::IDCANCEL);
}

TEST_F(PropertySheetTest, ModalRunClosesCreatedPagesAndPageTimersTick) {
  script.whenShown("P0", [&](ui::Window&) {
    sheet.pressNext();
    pages[1]->setTimer(983, 2);
  });
  EXPECT_EQ(sheet.doModal(), 5);  // the page's second tick ends the sheet
  EXPECT_EQ(pages[1]->ticks, 2);
  auto l = take();
  EXPECT_NE(std::find(l.begin(), l.end(), "P0:destroy"), l.end());
  EXPECT_NE(std::find(l.begin(), l.end(), "P1:destroy"), l.end());
  EXPECT_EQ(std::find(l.begin(), l.end(), "P2:destroy"), l.end());
  EXPECT_FALSE(pages[1]->isOpen());
  EXPECT_FALSE(pages[1]->hasTimer(983));
  EXPECT_TRUE(script.wasShown("P1 hint"));
}

// A page whose button runs a modal dialog with a worker, as the pages' install buttons do,
// driven without a modal run of the sheet.
TEST_F(PropertySheetTest, PageButtonRunsModalDialogWithWorker) {
  struct Runner : ui::Window {
    Runner() : Window(135, "Runner", 300, 200) {
      addControl(1004, ControlKind::Static, Rect{}, "");
    }
    void onInitDialog() override {
      worker = std::thread([this] {
        for (int code : {100, 101, 104}) sendMessage(win::WM_USER + 5, code, 0);
      });
    }
    long onMessage(unsigned, uintptr_t code, intptr_t) override {
      setText(1004, "code " + std::to_string(code));
      if (code == 104) endDialog(win::IDOK);
      return 0;
    }
    ~Runner() override {
      if (worker.joinable()) worker.join();
    }
    std::thread worker;
  };
  struct InstallPage : Page {
    using Page::Page;
    void onCommand(int id) override {
      Runner r;
      result = r.doModal();
    }
    int result = 0;
  } install(300, "Install page", &log);
  sheet.addPage(&install);
  sheet.beginShow();
  sheet.setActivePage(4);
  sheet.click(1106);
  EXPECT_EQ(install.result, win::IDOK);
  EXPECT_TRUE(script.wasShown("code 101"));
  EXPECT_TRUE(script.wasShown("code 104"));
  sheet.endShow();
}

}  // namespace
