// The templates page against the demo server: the list's tabs and rows, install and
// uninstall of a template, all templates at once, the local copy when the server fails, and
// names from the list that must not reach outside the templates folder.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "content/templates_page.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/files.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kTemplatesPage = 9;
const char* const kList =
    "/corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/614CTC.txt";
namespace files = platform::files;

class TemplatesRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    sheet_.setActivePage(kTemplatesPage);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  qnDInstallTemplates& page() {
    return *dynamic_cast<qnDInstallTemplates*>(sheet_.page(kTemplatesPage));
  }
  const DTabTemplates::Row& row(int i) { return page().panel().rows().at(static_cast<size_t>(i)); }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::RepositoryCopy};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(TemplatesRoad, TabsRowsInstallAndUninstall) {
  EXPECT_EQ(page().tabs().names(), (std::vector<std::string>{"2D", "3D"}));
  ASSERT_EQ(page().panel().rowCount(), 3);
  EXPECT_EQ(row(0).name, "Grid Calibration");
  EXPECT_EQ(row(0).state, TemplateState::Outdated);
  EXPECT_TRUE(page().isEnabled(row(0).installId));
  EXPECT_FALSE(page().isVisible(row(0).uninstallId));

  page().click(row(0).installId);
  EXPECT_EQ(row(0).state, TemplateState::Current);
  EXPECT_EQ(row(0).installed, "1.0.0.2");
  EXPECT_TRUE(files::isDirectory(templatesFolder() + "Grid_1.0.0.2"));
  EXPECT_FALSE(page().isEnabled(row(0).installId));
  EXPECT_TRUE(page().isVisible(row(0).uninstallId));

  page().click(row(0).uninstallId);
  EXPECT_EQ(row(0).state, TemplateState::Outdated);
  EXPECT_FALSE(files::isDirectory(templatesFolder() + "Grid_1.0.0.2"));
  EXPECT_TRUE(scope_.ui().messageTexts().empty());

  page().userSelect(qnDInstallTemplates::kTabs, 1);
  EXPECT_EQ(page().panel().category, "3d");
  EXPECT_EQ(page().panel().rowCount(), 2);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(TemplatesRoad, AllAtOnceReportsAMissingPackageAndInstallsTheRest) {
  demo_.server().failWith(
      "/corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/"
      "HeightMap_1.0.0.0.zip",
      404);
  // The failed download asks how to go on: the next package.
  scope_.ui().whenShown("Unabe to Download Component", [](ui::Window& w) { w.click(1148); });
  page().click(qnDInstallTemplates::kInstallAll);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
  for (const char* folder : {"Grid_1.0.0.2", "Blobs_2.1.0.0", "Barcode_1.3.0.7",
                             "PointCloud_0.9.0.1"})
    EXPECT_TRUE(files::isDirectory(templatesFolder() + folder)) << folder;
  EXPECT_FALSE(files::isDirectory(templatesFolder() + "HeightMap_1.0.0.0"));
  const auto texts = scope_.ui().messageTexts();
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Unable to install one or more templates. Please try again.");
}

TEST_F(TemplatesRoad, TheLocalListServesWhenTheServerFailsAndTheTabStays) {
  page().userSelect(qnDInstallTemplates::kTabs, 1);
  demo_.server().failWith(kList, 500);
  page().click(qnDInstallTemplates::kRefresh);
  EXPECT_EQ(scope_.ui().messageTexts().back(), "Using default list of templates.");
  EXPECT_EQ(page().tabs().currentTabName(), "3D");
  EXPECT_EQ(page().panel().rowCount(), 2);
}

TEST_F(TemplatesRoad, NamesFromTheListNeverReachOutsideTheTemplatesFolder) {
  // A list whose names climb out of the templates folder.
  demo_.addFile(std::string(kList).substr(1),
                "[2D]\r\nName=Climber\r\nClassName=Grid\r\nVersionLabel=\\..\\..\r\n"
                "[2D]\r\nName=Dots\r\nClassName=..\r\nVersionLabel=1.0.0.0\r\n"
                "[2D]\r\nName=Empty\r\nVersionLabel=1.0.0.0\r\nClassName=\r\n");
  const std::string folder = templatesFolder(), keep = folder + "Grid_1.0.0.2";
  files::createDirectory(folder.substr(0, folder.size() - 11));  // ...\Corvanta 11.0
  files::createDirectory(folder.substr(0, folder.size() - 1));
  ASSERT_TRUE(files::createDirectory(keep));
  page().click(qnDInstallTemplates::kRefresh);
  ASSERT_EQ(page().panel().rowCount(), 3);
  for (int i = 0; i < 3; ++i) page().sendMessage(WM_ROW_ACTION, static_cast<uintptr_t>(i), 2);
  for (const std::string& t : scope_.ui().messageTexts())
    EXPECT_EQ(t, "Unable to uninstall the Corvanta Vision App. Please try again.");
  EXPECT_EQ(scope_.ui().messageTexts().size(), 3u);
  EXPECT_TRUE(files::isDirectory(keep));
}

}  // namespace
