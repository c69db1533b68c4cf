// The resources page against the demo server: its tabs of links and of pictures, links and
// pictures that open through the shell, the limits of a tab, names from the list that must
// not become paths, and a refresh that keeps the tab and the pictures already fetched.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "content/resources_page.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/debug.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kResourcesPage = 1;
const char* const kFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
namespace files = platform::files;
using Page = qnDInstallCorvantaResourcesDynamic;

class ResourcesRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    platform::setDebugSink([this](const std::string& line) { debug_.push_back(line); });
    sheet_.beginShow();
    sheet_.setActivePage(kResourcesPage);
  }
  void TearDown() override {
    platform::setDebugSink(nullptr);
    appContext().mainWindow = nullptr;
  }

  Page& page() { return *dynamic_cast<Page*>(sheet_.page(kResourcesPage)); }
  const DTabResources::Row& row(int i) { return page().panel().rows().at(static_cast<size_t>(i)); }
  std::vector<platform::machine::ShellEvent> opened() { return platform::machine::shellEvents(); }
  std::string local(const std::string& file) {
    return std::string(kAppFolder) + "\\_CorvantaInstallData\\Resources\\" + file;
  }
  int requests(const std::string& part) {
    int n = 0;
    for (const std::string& path : demo_.server().requestLog())
      n += path.find(part) != std::string::npos;
    return n;
  }
  // Serves a list of the test's own and shows it.
  void serveList(const std::string& text) {
    demo_.addFile(std::string(kFolder) + "614resorces.ini.txt", text);
    page().click(Page::kRefresh);
  }

  static constexpr const char* kAppFolder = "C:\\CorvantaInstaller";
  std::vector<std::string> debug_;
  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::RepositoryCopy};
  DemoWizardScope scope_{kAppFolder};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(ResourcesRoad, LinkTabsOpenDocumentsAndWebPages) {
  EXPECT_EQ(page().tabs().names(),
            (std::vector<std::string>{" Documents", " Web Pages", " Pictures"}));
  EXPECT_EQ(page().text(Page::kHint), "Please click on the 'Next' button to view 'Readme Notes'.");
  EXPECT_TRUE(page().isVisible(Page::kRefresh));
  ASSERT_EQ(page().panel().rowCount(), 5);
  EXPECT_FALSE(page().panel().showsPictures());
  EXPECT_EQ(page().text(row(0).linkId), "User manual");
  EXPECT_EQ(row(4).linkId, 44504);  // Column=2: the right-hand column

  page().activateLink(row(0).linkId);
  page().activateLink(row(4).linkId);
  page().userSelect(Page::kTabs, 1);
  EXPECT_EQ(page().panel().category, " web pages");
  page().activateLink(row(0).linkId);
  const auto events = opened();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].file, local("Manual.pdf"));
  EXPECT_EQ(events[1].file, local("Wiring.png"));
  EXPECT_EQ(events[2].file, "https://www.brenholm.example/");
  std::string pdf;
  ASSERT_TRUE(files::readFile(local("Manual.pdf"), pdf));
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  EXPECT_TRUE(scope_.ui().messageTexts().empty());
}

TEST_F(ResourcesRoad, ThePictureTabShowsThePicturesFetchedAtStart) {
  page().userSelect(Page::kTabs, 2);
  ASSERT_TRUE(page().panel().showsPictures());
  ASSERT_EQ(page().panel().rowCount(), 9);
  for (int i = 0; i < 8; ++i) {
    const ui::Control* c = page().control(row(i).pictureId);
    ASSERT_NE(c, nullptr) << i;
    EXPECT_EQ(c->image, row(i).picturePath) << i;
    EXPECT_TRUE(c->imageData && c->imageWidth == 64) << i;
    EXPECT_TRUE(page().control(row(i).captionId)->centreText) << i;
  }
  // The item without a picture of its own shows the default one.
  EXPECT_EQ(page().control(row(8).pictureId)->image, "205");
  EXPECT_EQ(page().text(row(8).captionId), "More examples");

  page().click(row(0).pictureId);
  page().sendMessage(WM_ROW_ACTION, 0, 3);  // not an action of this page: ignored
  ASSERT_EQ(opened().size(), 1u);
  EXPECT_EQ(opened()[0].file, local("CalibrationGuide.pdf"));
  page().sendMessage(WM_ROW_ACTION, 9, 0);
  EXPECT_EQ(scope_.ui().messageTexts(),
            std::vector<std::string>{"Error: Unable to locate the link. Please try again."});
}

TEST_F(ResourcesRoad, ATabShowsWhatFitsAndNamesNeverBecomePaths) {
  const std::string base = std::string("@BASE@") + kFolder;
  std::string list;
  // 65 pictures, the first two with names that are not plain file names.
  for (int i = 0; i < 65; ++i) {
    const std::string image = i == 0 ? "@BASE@C:evil.png" : i == 1 ? "@BASE@x/...png"
                                                                   : base + "Calibration.png";
    list += "[M" + std::to_string(i) + " Many]\nName=P" + std::to_string(i) + "\nURL=" + base +
            "Manual.pdf\nImageURL=" + image + "\n";
  }
  // Links: Column 1, 2, 0 and 7, then eight more on the left, one too many for it.
  for (int i = 0; i < 12; ++i)
    list += "[L" + std::to_string(i) + " Links]\nName=Link " + std::to_string(i) +
            "\nURL=https://www.brenholm.example/" + std::to_string(i) + "\nColumn=" +
            (i < 4 ? std::string(i == 0 ? "1" : i == 1 ? "2" : i == 2 ? "0" : "7") : "0") +
            "\n";
  serveList(list);
  EXPECT_EQ(page().panel().category, " many");
  EXPECT_EQ(page().panel().rowCount(), 64);
  EXPECT_NE(page().control(45011), nullptr);
  EXPECT_EQ(page().control(45012), nullptr);
  for (int i : {0, 1}) {
    EXPECT_EQ(row(i).picturePath, "") << i;
    EXPECT_EQ(page().control(row(i).pictureId)->image, "205") << i;
  }
  EXPECT_EQ(requests("evil") + requests("..."), 0);
  EXPECT_EQ(requests("Calibration.png"), 1);

  page().userSelect(Page::kTabs, 1);
  const int left = page().control(row(0).linkId)->rect.left;
  EXPECT_EQ(row(1).linkId, 44501);
  EXPECT_GT(page().control(row(1).linkId)->rect.left, left);
  for (int i : {2, 3}) EXPECT_EQ(page().control(row(i).linkId)->rect.left, left) << i;
  EXPECT_EQ(page().control(44011), nullptr);  // the eleventh link of the left column

  EXPECT_EQ(debug_, (std::vector<std::string>{
                        "DTabResources::updateResourcesList() -  many. Unable to use all "
                        "resources from INI file. List too long.\n",
                        "DTabResources::updateResourcesList() -  many. Unable to display all "
                        "elements.\n",
                        "DTabResources::updateResourcesList() -  links. Unable to display all "
                        "elements from column 1.\n"}));
}

TEST_F(ResourcesRoad, RefreshKeepsTheTabAndThePicturesAlreadyFetched) {
  page().userSelect(Page::kTabs, 2);
  demo_.server().failWith(std::string("/") + kFolder + "614resorces.ini.txt", 500);
  page().click(Page::kRefresh);
  EXPECT_EQ(scope_.ui().messageTexts().back(), "Using default list of resources.");
  EXPECT_EQ(page().tabs().currentTabName(), " Pictures");
  EXPECT_EQ(page().panel().rowCount(), 9);
  EXPECT_EQ(requests("Calibration.png"), 1);

  // A bulk download takes the list first, then the pictures it names.
  mxInstallManagerBase lists, pictures;
  ASSERT_EQ(page().collectPackageEntries(&lists, &pictures), 1);
  ASSERT_EQ(lists.count(), 1u);
  EXPECT_EQ(lists.entry(0)->fileName, "614resorces.ini.txt");
  ASSERT_EQ(pictures.count(), 8u);
  EXPECT_EQ(pictures.entry(7)->fileName, "Lighting.png");

  // Without any list the page says so.
  files::deleteFile(local("614resorces.ini.txt"));
  page().click(Page::kRefresh);
  EXPECT_TRUE(page().tabs().notAvailable());
  EXPECT_EQ(page().text(qnDTabNotAvailable::IDC_MESSAGE),
            "Error: Unable to get the list of resources from the server.\nPlease try again.");
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

}  // namespace
