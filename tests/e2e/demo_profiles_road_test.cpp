// The demo profiles page against the demo server: the list's tabs and rows, install, run,
// information, version and uninstall of a profile, the local list when the server fails,
// and names from the list that must not reach outside the profiles folder or into the
// vision software's command line.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/installer_sheet.h"
#include "content/content_packages.h"
#include "content/demo_profiles_page.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kProfilesPage = 12;
const char* const kFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
namespace files = platform::files;

// The runtime's stand-in program notes every start in this file.
std::string startsOfVisionSoftware(const std::string& runtime) {
  // The program runs on its own: wait (bounded) until its whole line is there.
  std::string log;
  for (int i = 0; i < 500 && !(files::readFile(runtime + "Corvanta.log", log) &&
                               !log.empty() && log.back() == '\n');
       ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return log;
}

class ProfilesRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    sheet_.setActivePage(kProfilesPage);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  qnDInstallDemoProfiles& page() {
    return *dynamic_cast<qnDInstallDemoProfiles*>(sheet_.page(kProfilesPage));
  }
  const DTabProfiles2D::Row& row(int i) { return page().panel().rows().at(static_cast<size_t>(i)); }
  // The demo runtime, installed by its stand-in installer of the repository.
  std::string installRuntime() {
    unsigned long code = 1;
    const std::string installer = demo_.root() +
                                  "/corvanta/files/InstallerDownloads/Corvanta11.0/614/"
                                  "CorvantaRuntime_11_0_0_614_ReDist_151223.exe";
    EXPECT_TRUE(platform::process::startAndWait(installer, "\"" + installer + "\"", &code));
    EXPECT_EQ(code, 0u);
    std::string runtime;
    EXPECT_TRUE(readRuntimeInstallPath(runtime));
    return runtime;
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::RepositoryCopy};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(ProfilesRoad, InstallRunInformationVersionAndUninstall) {
  const std::string runtime = installRuntime();
  page().tabs().createTabContents();  // the rows read the runtime's folder when built
  EXPECT_EQ(page().tabs().names(), (std::vector<std::string>{"2d-demo", "3d-demo", "color-demo"}));
  ASSERT_EQ(page().panel().rowCount(), 4);
  EXPECT_EQ(row(0).name, "Coin Counter");
  EXPECT_FALSE(row(0).installed);
  EXPECT_EQ(page().text(row(0).stateId), "1.0.0.3");
  EXPECT_TRUE(page().isEnabled(row(0).installId));
  EXPECT_FALSE(page().isVisible(row(0).runId));
  EXPECT_FALSE(page().isVisible(row(0).infoId));  // only a tooltip text: the picture
  EXPECT_TRUE(page().isVisible(row(0).pictureId));
  EXPECT_TRUE(page().isVisible(row(1).infoId));

  page().click(row(0).installId);
  const std::string folder = profilesFolder() + "CoinCounter";
  EXPECT_TRUE(fileExists(folder + "\\Corvanta.Cvp"));
  EXPECT_TRUE(row(0).installed);
  EXPECT_EQ(row(0).installedVersion, "1.0.0.3");
  EXPECT_FALSE(page().isEnabled(row(0).installId));
  EXPECT_TRUE(page().isVisible(row(0).runId));
  EXPECT_TRUE(page().isEnabled(row(0).uninstallId));

  page().click(row(0).runId);
  EXPECT_EQ(startsOfVisionSoftware(runtime), "System=" + folder + "|/IGNOREPROFILEVERSION|\n");
  page().click(row(1).infoId);
  EXPECT_EQ(platform::machine::shellEvents().back().file,
            "https://www.brenholm.example/profiles/labels");

  // An older profile on disk: the name shows it, the state the server's version.
  platform::profile::writeString("Identification", "VersionLabel", "1.0.0.2",
                                 folder + "\\General.Ini");
  page().tabs().createTabContents();
  EXPECT_EQ(page().text(row(0).nameId), "Coin Counter 1.0.0.2");
  EXPECT_EQ(page().text(row(0).stateId), "1.0.0.3");
  EXPECT_FALSE(page().isEnabled(row(0).installId));

  page().click(row(0).uninstallId);
  EXPECT_FALSE(files::isDirectory(folder));
  EXPECT_FALSE(row(0).installed);
  EXPECT_TRUE(scope_.ui().messageTexts().empty());
  // Nothing left to remove is a failure the user hears of.
  page().sendMessage(WM_ROW_ACTION, 0, 2);
  EXPECT_EQ(scope_.ui().messageTexts(),
            std::vector<std::string>{"Unable to uninstall the Corvanta Vision App. Please try again."});

  // A second install unpacks the package fetched before.
  demo_.server().failWith(std::string("/") + kFolder + "CoinCounter.zip", 404);
  page().click(row(0).installId);
  EXPECT_TRUE(row(0).installed);

  page().userSelect(qnDInstallDemoProfiles::kTabs, 1);
  EXPECT_EQ(page().panel().category, "3d-demo");
  EXPECT_EQ(page().panel().rowCount(), 2);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(ProfilesRoad, TheLocalListServesWhenTheServerFailsAndTheTabStays) {
  page().userSelect(qnDInstallDemoProfiles::kTabs, 2);
  demo_.server().failWith(std::string("/") + kFolder + "614demo.txt", 500);
  page().click(qnDInstallDemoProfiles::kRefresh);
  EXPECT_EQ(scope_.ui().messageTexts().back(), "Using default list of demo profiles.");
  EXPECT_EQ(page().tabs().currentTabName(), "color-demo");
  EXPECT_EQ(page().panel().rowCount(), 2);
  // The bulk download takes every package of the local list, all tabs.
  mxInstallManagerBase all;
  ASSERT_EQ(page().collectPackageEntries(&all), 1);
  ASSERT_EQ(all.count(), 8u);
  EXPECT_EQ(all.entry(7)->fileName, "PrintColour.zip");
}

TEST_F(ProfilesRoad, NamesFromTheListNeverReachOutsideTheProfilesFolder) {
  // Folder names that climb out, name a drive, are empty, or carry a quote that would end
  // the System= argument; package URLs whose file name is a parent step.
  demo_.addFile(std::string(kFolder) + "614demo.txt",
                "[2d-demo]\nName=Climber\nClassName=..\\Profiles\nURL=http://127.0.0.1/a/..\n"
                "[2d-demo]\nName=Drive\nClassName=C:\nURL=http://127.0.0.1/a/b\\..\n"
                "[2d-demo]\nName=\nURL=nowhere\n"
                "[2d-demo]\nName=Quote\nClassName=CoinCounter\" \"/X\nURL=x/..\n");
  const std::string keep = profilesFolder() + "CoinCounter";
  createFolderPath(keep);
  ASSERT_TRUE(files::isDirectory(keep));
  page().click(qnDInstallDemoProfiles::kRefresh);
  ASSERT_EQ(page().panel().rowCount(), 4);
  for (uintptr_t r = 0; r < 4; ++r)
    for (intptr_t action : {0, 1, 2}) page().sendMessage(WM_ROW_ACTION, r, action);
  const std::vector<std::string> each{
      "Error: Unable to parse the download path for the selected profile. Please try again.",
      "Unable to load the profile. Unexpected error.",
      "Unable to uninstall the Corvanta Vision App. Please try again."};
  std::vector<std::string> expected;
  for (int r = 0; r < 4; ++r) expected.insert(expected.end(), each.begin(), each.end());
  EXPECT_EQ(scope_.ui().messageTexts(), expected);
  EXPECT_TRUE(files::isDirectory(keep));
  for (int r = 0; r < 4; ++r) EXPECT_FALSE(row(r).installed) << r;
}

}  // namespace
