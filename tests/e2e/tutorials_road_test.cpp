// The tutorials page against the demo server: the list's tabs and rows, install (document
// and profile), run, document, video and removal of a tutorial, the local list when the
// server fails, and names from the list that must not reach outside the page's folders.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/installer_sheet.h"
#include "content/content_packages.h"
#include "content/demo_profiles_page.h"
#include "content/tutorials_page.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/process.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kTutorialsPage = 13;
const char* const kFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
namespace files = platform::files;

class TutorialsRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    sheet_.setActivePage(kTutorialsPage);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  qnDInstallTutorials& page() {
    return *dynamic_cast<qnDInstallTutorials*>(sheet_.page(kTutorialsPage));
  }
  const DTabTutorials::Row& row(int i) { return page().panel().rows().at(static_cast<size_t>(i)); }
  std::string lastOpened() { return platform::machine::shellEvents().back().file; }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::RepositoryCopy};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(TutorialsRoad, InstallRunDocumentVideoAndRemove) {
  unsigned long code = 1;
  const std::string installer = demo_.root() +
                                "/corvanta/files/InstallerDownloads/Corvanta11.0/614/"
                                "CorvantaRuntime_11_0_0_614_ReDist_151223.exe";
  ASSERT_TRUE(platform::process::startAndWait(installer, "\"" + installer + "\"", &code));
  std::string runtime;
  ASSERT_TRUE(readRuntimeInstallPath(runtime));
  page().tabs().createTabContents();  // the rows read the runtime's folder when built

  EXPECT_EQ(page().tabs().names(),
            (std::vector<std::string>{" Getting Started", " Blob Analysis", " Calibration"}));
  ASSERT_EQ(page().panel().rowCount(), 2);
  EXPECT_EQ(page().text(row(0).captionId), "Your first inspection");
  EXPECT_EQ(page().text(row(0).stateId), "Not Installed");
  EXPECT_TRUE(page().isEnabled(row(0).installId));
  for (int id : {row(0).runId, row(0).pdfId, row(0).removeId, row(0).videoId})
    EXPECT_FALSE(page().isVisible(id)) << id;
  EXPECT_TRUE(page().isVisible(row(0).pictureId));
  EXPECT_TRUE(page().isVisible(row(1).infoId));

  page().click(row(0).installId);
  page().click(row(1).installId);
  const std::string document = tutorialsFolder() + "FirstCheck\\FirstCheck.pdf";
  const std::string profile = profilesFolder() + "FirstCheck";
  EXPECT_TRUE(fileExists(document));
  EXPECT_TRUE(fileExists(profile + "\\Corvanta.Cvp"));
  EXPECT_EQ(page().text(row(0).stateId), "Installed");
  EXPECT_FALSE(page().isEnabled(row(0).installId));
  for (int id : {row(0).runId, row(0).pdfId, row(0).removeId, row(0).videoId})
    EXPECT_TRUE(page().isEnabled(id)) << id;
  // The second has no video: its button shows, disabled.
  EXPECT_TRUE(page().isVisible(row(1).videoId));
  EXPECT_FALSE(page().isEnabled(row(1).videoId));

  page().click(row(0).pdfId);
  EXPECT_EQ(lastOpened(), document);
  page().click(row(0).videoId);
  EXPECT_EQ(lastOpened(), "https://www.brenholm.example/videos/first");
  page().click(row(1).infoId);
  EXPECT_EQ(lastOpened(), "https://www.brenholm.example/tutorials/camera");
  page().click(row(0).runId);
  std::string log;
  // The program runs on its own: wait (bounded) until its whole line is there.
  for (int i = 0; i < 500 && !(files::readFile(runtime + "Corvanta.log", log) &&
                               !log.empty() && log.back() == '\n');
       ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(log, "System=" + profile + "|/IGNOREPROFILEVERSION|\n");

  page().click(row(0).removeId);
  EXPECT_FALSE(files::isDirectory(profile));
  EXPECT_FALSE(files::isDirectory(tutorialsFolder() + "FirstCheck"));
  EXPECT_EQ(page().text(row(0).stateId), "Not Installed");
  EXPECT_TRUE(scope_.ui().messageTexts().empty());
  page().sendMessage(WM_ROW_ACTION, 0, 2);
  EXPECT_EQ(scope_.ui().messageTexts(),
            std::vector<std::string>{"Unable to remove the tutorial. Please try again."});

  page().userSelect(qnDInstallTutorials::kTabs, 2);
  EXPECT_EQ(page().panel().category, " calibration");
  EXPECT_EQ(page().panel().rowCount(), 1);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(TutorialsRoad, TheLocalListServesWhenTheServerFailsAndTheTabStays) {
  page().userSelect(qnDInstallTutorials::kTabs, 1);
  demo_.server().failWith(std::string("/") + kFolder + "614tutorials.ini.txt", 500);
  page().click(qnDInstallTutorials::kRefresh);
  EXPECT_EQ(scope_.ui().messageTexts().back(), "Using default list of tutorials.");
  EXPECT_EQ(page().tabs().currentTabName(), " Blob Analysis");
  EXPECT_EQ(page().panel().rowCount(), 2);
  // The bulk download takes every package of the local list, all tabs.
  mxInstallManagerBase all;
  ASSERT_EQ(page().collectPackageEntries(&all), 1);
  ASSERT_EQ(all.count(), 5u);
  EXPECT_EQ(all.entry(4)->fileName, "DotGrid.zip");
}

TEST_F(TutorialsRoad, NamesFromTheListNeverReachOutsideThePageFolders) {
  // A tutorial folder that climbs out, a profile named by a drive, a document above the
  // tutorial's folder, a quote that would end the System= argument, a profile archive
  // outside the tutorial.
  const std::string url = demo_.url(std::string(kFolder) + "FirstCheck.zip");
  demo_.addFile(std::string(kFolder) + "614tutorials.ini.txt",
                "[A Getting Started]\nCaption=Climber\nName=..\nProfileName=..\\..\nPDFName=a.pdf\n"
                "URL=" + url + "\n"
                "[B Getting Started]\nCaption=Drive\nName=Drive\nProfileName=C:\n"
                "PDFName=..\\..\\x.pdf\nURL=x/..\n"
                "[C Getting Started]\nCaption=Quote\nName=Quote\nProfileName=Keep\" \"/X\n"
                "PDFName=\"\nURL=nowhere\n");
  const std::string keep = profilesFolder() + "Keep";
  createFolderPath(keep);
  createFolderPath(tutorialsFolder() + "Keep");
  page().click(qnDInstallTutorials::kRefresh);
  ASSERT_EQ(page().panel().rowCount(), 3);
  for (uintptr_t r = 0; r < 3; ++r)
    for (intptr_t action : {0, 1, 2, 3}) page().sendMessage(WM_ROW_ACTION, r, action);
  const std::vector<std::string> each{
      "Error: Unable to parse the download path for the selected tutorial. Please try again.",
      "Unable to load the profile. Unexpected error.",
      "Unable to remove the tutorial. Please try again.",
      "Unable to access the tutorial PDF file. Please try again."};
  std::vector<std::string> expected;
  for (int r = 0; r < 3; ++r) expected.insert(expected.end(), each.begin(), each.end());
  EXPECT_EQ(scope_.ui().messageTexts(), expected);
  EXPECT_TRUE(files::isDirectory(keep));
  EXPECT_TRUE(files::isDirectory(tutorialsFolder() + "Keep"));
}

}  // namespace
