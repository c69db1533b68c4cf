// The profile import page in the wizard: the tree of older profiles, ticking, the duplicate
// question and a move through the progress dialog.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "migration/import_profiles_page.h"
#include "migration/older_data.h"
#include "pages/wizard_pages.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/win_types.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/temp_machine.h"

namespace files = platform::files;
using Page = qnDInstallImportProfiles;
using Dialog = DCopyMoveCorvantaProfiles;

namespace {

constexpr int kPage = 11;

class MigrationProfilesPage : public ::testing::Test {
 protected:
  static bool prepare(const std::string& docs) {
    bool ok = true;
    for (const char* folder :
         {"Corvanta 9.3", "Corvanta 9.3\\Profiles", "Corvanta 9.3\\Profiles\\Line2",
          "Corvanta 10.1", "Corvanta 10.1\\Profiles", "Corvanta 10.1\\Profiles\\Line1",
          "Corvanta 10.1\\Profiles\\Line2", "Corvanta 11.0", "Corvanta 11.0\\Profiles",
          "Corvanta 11.0\\Profiles\\Line1"})
      ok = ok && files::createDirectory(docs + "\\" + folder);
    ok = ok && files::writeFile(docs + "\\Corvanta 10.1\\Profiles\\Line2\\p.prf", "10.1");
    return ok && files::writeFile(docs + "\\Corvanta 9.3\\Profiles\\Line2\\p.prf", "9.3");
  }
  void SetUp() override {
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    sheet_.setActivePage(kPage);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }
  Page& page() { return *dynamic_cast<Page*>(sheet_.page(kPage)); }
  std::vector<std::string> tree() {
    std::vector<std::string> out;
    for (const auto& item : page().control(Page::IDC_TREE)->treeItems)
      out.push_back(item.text + (item.checked ? " [x]" : ""));
    return out;
  }

  TempMachine machine_;
  std::string docs_ = migration::getDocumentsFolder();
  bool prepared_ = prepare(docs_);
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(MigrationProfilesPage, TickDuplicateQuestionAndMove) {
  ASSERT_TRUE(prepared_);
  EXPECT_EQ(tree(), (std::vector<std::string>{"All", "Corvanta 9.3", "Line2", "Corvanta 10.1",
                                              "Line2"}));
  page().userCheckItem(Page::IDC_TREE, 0, true);  // All ticks everything below it
  EXPECT_EQ(tree(), (std::vector<std::string>{"All [x]", "Corvanta 9.3 [x]", "Line2 [x]",
                                              "Corvanta 10.1 [x]", "Line2 [x]"}));
  page().userCheckItem(Page::IDC_TREE, 2, false);  // one profile unticks its version and All
  EXPECT_EQ(tree(), (std::vector<std::string>{"All", "Corvanta 9.3", "Line2",
                                              "Corvanta 10.1 [x]", "Line2 [x]"}));
  page().userCheckItem(Page::IDC_TREE, 2, true);

  // Line2 ticked in both versions: No copies nothing.
  scope_.ui().answer(win::IDNO);
  page().click(Page::IDC_COPY);
  EXPECT_FALSE(fileExists(docs_ + "\\Corvanta 11.0\\Profiles\\Line2"));

  page().userCheckItem(Page::IDC_TREE, 1, false);
  scope_.ui().answer(win::IDYES);  // the move confirmation
  std::string percent;
  scope_.ui().whenShown("Import Corvanta Profiles", [&percent](ui::Window& w) {
    auto& dialog = static_cast<Dialog&>(w);
    EXPECT_TRUE(ui::waitPumping([&dialog] { return !dialog.running(); }, 30000));
    percent = w.text(Dialog::IDC_PERCENT);
    w.click(Dialog::IDC_CLOSE);
  });
  page().click(Page::IDC_MOVE);
  EXPECT_EQ(percent, "(100%) Processing complete.");
  std::string text;
  ASSERT_TRUE(files::readFile(docs_ + "\\Corvanta 11.0\\Profiles\\Line2\\p.prf", text));
  EXPECT_EQ(text, "10.1");
  EXPECT_FALSE(fileExists(docs_ + "\\Corvanta 10.1\\Profiles\\Line2"));
  EXPECT_TRUE(fileExists(docs_ + "\\Corvanta 9.3\\Profiles\\Line2\\p.prf"));
  // Rescanned: Line2 is the current version's now, so nothing is left to offer.
  EXPECT_EQ(tree(), (std::vector<std::string>{"No Corvanta Profiles are available for copy / move"}));
  EXPECT_FALSE(page().isVisible(Page::IDC_COPY));
}

}  // namespace
