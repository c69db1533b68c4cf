// The welcome page against the demo server: the newer published installer found by the
// sheet's check, downloaded, checked against its checksum and started in place of the
// wizard; kept builds switched; an installer copy made, kept while offline, and deleted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "app/installer_app.h"
#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/ui/ui.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"
#include "updates/new_version_dialog.h"
#include "updates/sha256.h"
#include "updates/welcome_page.h"

namespace {

namespace files = platform::files;
using Welcome = qnDInstallWelcomeBase;
const char* const kFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
const char* const kRunning = "C:\\CorvantaInstaller\\CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe";

// A program that leaves a mark when started, with a version resource of its own.
std::string markingProgram(const TempMachine& machine, const char* mark, const char* version) {
  return "#!/bin/sh\necho started > '" + machine.host(mark) + "'\n#version-resource FileVersion=" +
         version + "\n";
}

class WelcomeRoad : public ::testing::Test {
 protected:
  void SetUp() override { putToolsOnPath(); }
  void TearDown() override {
    appContext().mainWindow = nullptr;
    sheet_.reset();
  }
  // The wizard as started from its folder: the application object, then the sheet.
  Welcome& start() {
    files::writeFile(kRunning, "#!/bin/sh\n#version-resource FileVersion=11.0.0.614\n");
    app_ = std::make_unique<CCorvantaPrismalSDKInstallerApp>(kRunning);
    sheet_ = std::make_unique<qnDPrismalSDKInstallerSheet>(makeWizardPages);
    appContext().mainWindow = sheet_.get();
    welcome().handOverWaitMs = 0;
    sheet_->beginShow();
    return welcome();
  }
  Welcome& welcome() { return *dynamic_cast<Welcome*>(sheet_->page(0)); }
  std::string served(const std::string& name) { return demo_.root() + "/" + kFolder + name; }
  void publish(const std::string& file, const std::string& content, bool sameChecksum) {
    std::ofstream(served(file), std::ios::binary) << content;
    for (const char* ini : {"614UpgradeInfo.ini.txt", "614UpgradeInfoBeta.ini.txt"}) {
      std::ifstream in(served(ini));
      std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (text.find(file) == std::string::npos) continue;
      size_t at = text.find("InstallerSHA256=") + 16;
      text.replace(at, 64, sha256Hex(sameChecksum ? content : content + "x"));
      std::ofstream(served(ini), std::ios::binary) << text;
    }
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::RepositoryCopy};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  std::unique_ptr<CCorvantaPrismalSDKInstallerApp> app_;
  std::unique_ptr<qnDPrismalSDKInstallerSheet> sheet_;
};

TEST_F(WelcomeRoad, ANewerInstallerIsFoundCheckedDownloadedAndStarted) {
  const std::string release = "CorvantaVisionSoftware_11_0_0_615_Installer_160115.exe";
  const std::string beta = "CorvantaVisionSoftware_11_0_0_620_Installer_160301_Beta.exe";
  publish(release, markingProgram(machine_, "C:\\release.txt", "11.0.0.615"), true);
  publish(beta, markingProgram(machine_, "C:\\beta.txt", "11.0.0.620"), false);
  Welcome& page = start();
  ASSERT_TRUE(ui::waitPumping([&] {
    return app_->regularUpgradeInfo->state != 0 && app_->betaUpgradeInfo->state != 0;
  }, 60000));
  ASSERT_EQ(app_->regularUpgradeInfo->state, 2);
  ASSERT_EQ(app_->betaUpgradeInfo->state, 2);
  // The check's message activated the page again: both links stand with their versions.
  sheet_->setActivePage(0);
  EXPECT_TRUE(page.isVisible(Welcome::kReleaseLink));
  EXPECT_TRUE(page.isVisible(Welcome::kBetaButton));
  EXPECT_EQ(page.text(Welcome::kReleaseLink), "Release Installer Version 11.0.0.615 Available");
  EXPECT_EQ(page.text(Welcome::kBetaLink), "Beta Installer Version 11.0.0.620 Available");

  std::string notes;
  scope_.ui().whenShown("Installer Version Available", [&](ui::Window& w) {
    notes = w.text(DNewVersionAvailable::kNotes);
    w.click(1);
  });
  // The beta build does not match its published checksum: deleted, never started.
  page.click(Welcome::kBetaButton);
  EXPECT_NE(notes.find("{\\rtf1"), std::string::npos);
  EXPECT_TRUE(scope_.ui().wasShown(
      "Error: The downloaded installer does not match its published checksum and was deleted. "
      "Please try again later."));
  EXPECT_FALSE(fileExists("C:\\CorvantaInstaller\\_CorvantaInstallers\\" + beta));
  EXPECT_FALSE(fileExists("C:\\CorvantaInstaller\\" + beta));
  EXPECT_FALSE(sheet_->ended());

  page.activateLink(Welcome::kReleaseLink);
  EXPECT_TRUE(scope_.ui().wasShown("Successfully downloaded the installer version 11.0.0.615.\n"
                                   "C:\\CorvantaInstaller\\_CorvantaInstallers\\" + release));
  EXPECT_TRUE(fileExists("C:\\CorvantaInstaller\\" + release));
  EXPECT_TRUE(ui::waitPumping([] { return fileExists("C:\\release.txt"); }, 20000));
  EXPECT_TRUE(ui::waitPumping([&] { return sheet_->ended(); }, 5000));
  EXPECT_FALSE(fileExists("C:\\beta.txt"));
}

// Beside a read-only installer the new build goes where the user chooses; no choice, no
// download.
TEST_F(WelcomeRoad, AReadOnlyInstallerFolderAsksWhereTheNewBuildGoes) {
  const std::string release = "CorvantaVisionSoftware_11_0_0_615_Installer_160115.exe";
  publish(release, markingProgram(machine_, "C:\\release.txt", "11.0.0.615"), true);
  start();
  ASSERT_TRUE(ui::waitPumping([&] { return app_->regularUpgradeInfo->state != 0; }, 60000));
  ASSERT_EQ(app_->regularUpgradeInfo->state, 2);
  appContext().isFolderWritable = false;
  EXPECT_FALSE(downloadNewInstaller(*app_->regularUpgradeInfo));
  EXPECT_FALSE(fileExists("C:\\CorvantaInstaller\\_CorvantaInstallers\\" + release));
  files::createDirectory("C:\\Downloads");
  scope_.ui().answerFolder("C:\\Downloads");
  EXPECT_TRUE(downloadNewInstaller(*app_->regularUpgradeInfo));
  EXPECT_TRUE(scope_.ui().wasShown("Successfully downloaded the installer version 11.0.0.615.\n"
                                   "C:\\Downloads\\" + release));
  EXPECT_EQ(scope_.ui().folderTitles(),
            (std::vector<std::string>{"Select Download Directory", "Select Download Directory"}));
}

TEST_F(WelcomeRoad, KeptBuildsAreListedAndSwitchedTo) {
  files::createDirectory("C:\\CorvantaInstaller");
  files::writeFile("C:\\CorvantaInstaller\\CorvantaVisionSoftware_11_0_0_600_Installer_150101.exe",
                   markingProgram(machine_, "C:\\older.txt", "11.0.0.600"));
  // Not an installer by its name: neither moved aside nor listed.
  files::writeFile("C:\\CorvantaInstaller\\CorvantaVisionSoftware_Tool.exe",
                   markingProgram(machine_, "C:\\tool.txt", "1.0.0.0"));
  Welcome& page = start();
  sheet_->setActivePage(0);
  EXPECT_TRUE(fileExists(
      "C:\\CorvantaInstaller\\_CorvantaInstallers\\CorvantaVisionSoftware_11_0_0_600_Installer_150101.exe"));
  EXPECT_TRUE(fileExists("C:\\CorvantaInstaller\\CorvantaVisionSoftware_Tool.exe"));
  EXPECT_EQ(page.control(Welcome::kInstallerCombo)->items,
            (std::vector<std::string>{"11.0.0.614 ()", "11.0.0.600"}));
  page.userSelect(Welcome::kInstallerCombo, 0);  // the running build: nothing happens
  EXPECT_FALSE(sheet_->ended());
  page.userSelect(Welcome::kInstallerCombo, 1);
  EXPECT_TRUE(fileExists("C:\\CorvantaInstaller\\CorvantaVisionSoftware_11_0_0_600_Installer_150101.exe"));
  EXPECT_TRUE(ui::waitPumping([] { return fileExists("C:\\older.txt"); }, 20000));
  EXPECT_TRUE(ui::waitPumping([&] { return sheet_->ended(); }, 5000));
}

TEST_F(WelcomeRoad, AnInstallerCopyIsMadeKeptOfflineAndDeleted) {
  Welcome& page = start();
  sheet_->setActivePage(0);
  // Only the templates: the list and its packages.
  scope_.ui().whenShown("Select Installer Components", [](ui::Window& w) {
    const auto items = w.control(DSelectInstallerComponents::kTree)->treeItems;
    w.userCheckItem(DSelectInstallerComponents::kTree, 0, false);
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i].text == "Templates") w.userCheckItem(DSelectInstallerComponents::kTree, static_cast<int>(i), true);
    w.click(1);
  });
  const std::string list = "C:\\CorvantaInstaller\\_CorvantaInstallData\\Templates\\614CTC.txt";
  EXPECT_EQ(page.createInstallerCopy(), 1);
  ASSERT_TRUE(fileExists(list));
  int packages = 0;
  for (const auto& f : files::find("C:\\CorvantaInstaller\\_CorvantaInstallData\\Templates\\*.zip"))
    packages += f.name.empty() ? 0 : 1;
  EXPECT_GT(packages, 0);
  EXPECT_FALSE(fileExists("C:\\CorvantaInstaller\\_CorvantaInstallData\\CorvantaRuntime"));

  // Offline, the copy keeps the list it had.
  demo_.server().stop();
  EXPECT_EQ(page.createInstallerCopy(), 1);
  EXPECT_TRUE(fileExists(list));

  scope_.ui().clearHooks();
  page.click(Welcome::kDeleteCopy);
  EXPECT_FALSE(fileExists("C:\\CorvantaInstaller\\_CorvantaInstallData"));
}

// The content kinds of a copy come from their pages and the sheet's help manager, each with
// what it names: packages, pictures and the unpacked help pages.
TEST_F(WelcomeRoad, AnInstallerCopyTakesEveryContentKindAndTheHelp) {
  Welcome& page = start();
  sheet_->setActivePage(0);
  scope_.ui().whenShown("Select Installer Components", [](ui::Window& w) {
    const auto items = w.control(DSelectInstallerComponents::kTree)->treeItems;
    w.userCheckItem(DSelectInstallerComponents::kTree, 0, false);
    for (size_t i = 0; i < items.size(); ++i)
      for (const char* kind : {"Corvanta Vision Demo Profiles", "Corvanta Vision Resources",
                               "Corvanta Vision Tutorials", "Help Files"})
        if (items[i].text == kind)
          w.userCheckItem(DSelectInstallerComponents::kTree, static_cast<int>(i), true);
    w.click(1);
  });
  ASSERT_EQ(page.createInstallerCopy(), 1);
  std::set<std::string> names;
  int zips = 0, pictures = 0;
  for (const auto& f : std::filesystem::recursive_directory_iterator(
           machine_.host("C:\\CorvantaInstaller\\_CorvantaInstallData"))) {
    const std::string name = f.path().filename().string(), ext = f.path().extension().string();
    names.insert(name);
    zips += ext == ".zip";
    pictures += ext == ".png";
  }
  for (const char* expected : {"614demo.txt", "614tutorials.ini.txt", "614resorces.ini.txt", "index.htm"})
    EXPECT_TRUE(names.count(expected)) << expected;
  EXPECT_GT(zips, 2);
  EXPECT_GT(pictures, 2);
}

TEST_F(WelcomeRoad, TheHelpFilesGoThroughTheirHook) {
  Welcome& page = start();
  sheet_->setActivePage(0);
  int fetched = 0, deleted = 0;
  page.contentHooks.ensureHelpFiles = [&](bool refresh, bool* skipAll) {
    fetched += refresh && skipAll ? 1 : 100;
    return 1;
  };
  page.contentHooks.deleteHelpFiles = [&] { ++deleted; };
  scope_.ui().whenShown("Select Installer Components", [](ui::Window& w) {
    const auto items = w.control(DSelectInstallerComponents::kTree)->treeItems;
    w.userCheckItem(DSelectInstallerComponents::kTree, 0, false);
    w.userCheckItem(DSelectInstallerComponents::kTree, static_cast<int>(items.size()) - 1, true);
    w.click(1);
  });
  EXPECT_EQ(page.createInstallerCopy(), 1);
  EXPECT_EQ(fetched, 1);
  EXPECT_FALSE(fileExists("C:\\CorvantaInstaller\\_CorvantaInstallData\\Templates"));
  page.click(Welcome::kDeleteCopy);
  EXPECT_EQ(deleted, 1);
}

TEST_F(WelcomeRoad, AScreenOtherThan96DpiIsWarnedOnceAndReadOnlyFoldersOfferNoCopies) {
  platform::machine::setSystemInfo("ScreenDpi", "120");
  Welcome& page = start();
  sheet_->setActivePage(1);
  sheet_->setActivePage(0);
  int warnings = 0;
  for (const auto& m : scope_.ui().messages())
    warnings += m.caption == "Warning" && m.text.find("'Normal size (96 DPI)'") != std::string::npos &&
                m.text.find("'100%'") != std::string::npos;
  EXPECT_EQ(warnings, 1);
  appContext().isFolderWritable = false;
  sheet_->setActivePage(0);
  for (int id : {Welcome::kInstallerCombo, Welcome::kInstallerLabel, Welcome::kDeleteCopy,
                 Welcome::kCreateCopy})
    EXPECT_FALSE(page.isVisible(id)) << id;
  EXPECT_TRUE(page.isVisible(Welcome::kBrowseInstallers));
}

}  // namespace

namespace {

TEST(NewVersionChecks, DigestsAndTheDialogWithoutItsNotes) {
  TempMachine machine;
  DemoWizardScope scope("C:\\CorvantaInstaller");
  // Known digests, the two-block padding case included.
  for (auto [text, digest] : {
           std::pair{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
           {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
           {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"}})
    EXPECT_EQ(sha256Hex(text), digest) << text;
  // The demo's published checksum is the one of the published build.
  const std::string folder = std::string(CORVANTA_DEMO_REPO) + "/" + kFolder;
  std::ifstream in(folder + "614UpgradeInfo.ini.txt");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t at = text.find("InstallerSHA256=");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(sha256OfFile(folder + "CorvantaVisionSoftware_11_0_0_615_Installer_160115.exe"),
            text.substr(at + 16, 64));
  // Release notes gone from the disk: the dialog closes at once, nothing is offered.
  DNewVersionAvailable dialog("C:\\missing.rtf", "a", "b");
  EXPECT_EQ(dialog.doModal(), 2);
}

}  // namespace
