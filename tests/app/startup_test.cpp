// Start-up of the application object and the file helpers it and every page rely on.
#include <gtest/gtest.h>

#include "app/installer_app.h"

#include <csignal>
#include <cstdlib>

#include "platform/process.h"
#include "platform/registry.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/shell.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"
#include "updates/upgrade_info.h"

namespace files = platform::files;

namespace {

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { ui::setBackend(&ui_); }
  void TearDown() override { ui::setBackend(nullptr); }
  std::string tempSubFolder() {
    std::string temp;
    EXPECT_TRUE(platform::shell::getTempPath(temp));
    return temp + "Corvanta10_9267";
  }
  TempMachine machine_;
  ui::ScriptedUi ui_;
};

TEST(ApplicationFolder, IsCutAtTheLastSeparatorOfEitherKind) {
  EXPECT_EQ(folderOfModulePath("C:\\x.exe"), "C:");
  EXPECT_EQ(folderOfModulePath("C:\\a/b\\c.exe"), "C:\\a/b");
  EXPECT_EQ(folderOfModulePath("C:\\a\\b/c.exe"), "C:\\a\\b");
  EXPECT_EQ(folderOfModulePath("setup.exe"), "setup.exe");
}

TEST_F(StartupTest, WriteProbeRemovesAStaleFileAndLeavesNothing) {
  files::createDirectory("C:\\App");
  ASSERT_TRUE(files::writeFile("C:\\App\\testFile.txt", "stale"));
  files::setAttributes("C:\\App\\testFile.txt", win::FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(probeFolderWritable("C:\\App"));
  EXPECT_FALSE(fileExists("C:\\App\\testFile.txt"));
}

TEST_F(StartupTest, ReadOnlyFolderIsNotWritableAndNothingIsShown) {
  files::createDirectory("C:\\Locked");
  files::setAttributes("C:\\Locked", win::FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(probeFolderWritable("C:\\Locked"));
  EXPECT_TRUE(ui_.messages().empty());
  files::setAttributes("C:\\Locked", win::FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(StartupTest, TempSubFolderLosesItsFilesButKeepsSubFolders) {
  std::string folder = tempSubFolder();
  EXPECT_FALSE(fileExists(folder));
  EXPECT_TRUE(cleanUpTempSubFolder());  // a missing sub-folder is created
  ASSERT_TRUE(fileExists(folder));
  files::writeFile(folder + "\\old.lnk", "x");
  files::setAttributes(folder + "\\old.lnk", win::FILE_ATTRIBUTE_READONLY);
  files::createDirectory(folder + "\\keep");
  files::writeFile(folder + "\\keep\\inner.txt", "x");
  EXPECT_TRUE(cleanUpTempSubFolder());
  EXPECT_FALSE(fileExists(folder + "\\old.lnk"));
  EXPECT_TRUE(fileExists(folder + "\\keep\\inner.txt"));
}

TEST_F(StartupTest, ApplicationObjectRecordsTheFolderAndCreatesTwoRecords) {
  files::createDirectory("C:\\Installer");
  std::vector<std::string> debug;
  platform::setDebugSink([&](const std::string& line) { debug.push_back(line); });
  {
    CCorvantaPrismalSDKInstallerApp app("C:\\Installer\\setup.exe");
    EXPECT_EQ(app.applicationFolder, "C:\\Installer");
    EXPECT_TRUE(app.isFolderWritable);
    ASSERT_TRUE(app.regularUpgradeInfo && app.betaUpgradeInfo);
    EXPECT_EQ(app.regularUpgradeInfo->fileName, "614UpgradeInfo.ini.txt");
    EXPECT_EQ(app.betaUpgradeInfo->fileName, "614UpgradeInfoBeta.ini.txt");
    EXPECT_NE(app.regularUpgradeInfo->url.find("corvanta/files/InstallerRepositories/"
                                               "Corvanta11.0/614/CorvantaVisionSoftware/"
                                               "614UpgradeInfo.ini.txt"),
              std::string::npos);
    EXPECT_EQ(app.regularUpgradeInfo->state, 0);
    EXPECT_TRUE(fileExists(app.regularUpgradeInfo->tempFolder));
    EXPECT_EQ(app.ExitInstance(), 0);
    EXPECT_FALSE(app.regularUpgradeInfo);
  }
  platform::setDebugSink(nullptr);
  // The temporary sub-folder's path goes to the debug output.
  ASSERT_FALSE(debug.empty());
  EXPECT_EQ(debug.front(), tempSubFolder());
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(StartupTest, MissingModulePathWarnsAndGoesOn) {
  CCorvantaPrismalSDKInstallerApp app("");
  EXPECT_EQ(app.applicationFolder, "");
  ASSERT_EQ(ui_.messages().size(), 1u);
  EXPECT_EQ(ui_.messages()[0].text,
            "Unexpected Error. Unable to get the application path.\nSome of the features may "
            "not be available.");
  EXPECT_EQ(ui_.messages()[0].caption,
            "Corvanta Vision Software Version XI 11.0.0.614 Installer");
}

TEST_F(StartupTest, UpgradeRecordRemovesItsTempFolderWhenDeleted) {
  std::string folder;
  {
    UpgradeInfo info("http://h/a.ini.txt", "a.ini.txt");
    folder = info.tempFolder;
    ASSERT_FALSE(folder.empty());
    files::writeFile(folder + "\\notes.rtf", "x");
  }
  EXPECT_FALSE(fileExists(folder));
}

TEST_F(StartupTest, RunningInstallersAreCountedByTheirFileName) {
  // This test program has another name, so it is not counted.
  EXPECT_EQ(countRunningInstallers(), 0);
}

// File helpers.

TEST_F(StartupTest, FileExistsMatchesFoldersButNotATrailingBackslash) {
  files::createDirectory("C:\\Data");
  EXPECT_TRUE(fileExists("C:\\Data"));
  EXPECT_FALSE(fileExists("C:\\Data\\"));
  files::writeFile("C:\\Data\\a.txt", "1");
  EXPECT_TRUE(fileExists("C:\\Data\\*.txt"));
}

TEST_F(StartupTest, RecursiveDeleteRefusesShortPathsAndClearsReadOnlyFiles) {
  files::createDirectory("C:\\abc");
  EXPECT_FALSE(deleteFolderRecursive("C:\\abc", "C:\\abc"));
  EXPECT_TRUE(fileExists("C:\\abc"));
  files::createDirectory("C:\\abcd");
  files::createDirectory("C:\\abcd\\sub");
  files::writeFile("C:\\abcd\\sub\\ro.txt", "x");
  files::setAttributes("C:\\abcd\\sub\\ro.txt", win::FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(deleteFolderRecursive("C:\\abcd", "elsewhere"));
  EXPECT_TRUE(deleteFolderRecursive("C:\\abcd", "C:\\abcd"));
  EXPECT_FALSE(fileExists("C:\\abcd"));
}

TEST_F(StartupTest, MoveReplacingOverAReadOnlyTarget) {
  files::writeFile("C:\\target.txt", "old");
  files::setAttributes("C:\\target.txt", win::FILE_ATTRIBUTE_READONLY);
  files::writeFile("C:\\source.txt", "new");
  EXPECT_TRUE(moveFileReplacing("C:\\target.txt", "C:\\source.txt"));
  std::string data;
  ASSERT_TRUE(files::readFile("C:\\target.txt", data));
  EXPECT_EQ(data, "new");
  EXPECT_FALSE(moveFileReplacing("C:\\target.txt", "C:\\missing.txt"));
}

class CountingWindow : public ui::Window {
 public:
  CountingWindow() : ui::Window(1, "count", 10, 10) {}
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t) override {
    received.push_back(static_cast<long>(wParam));
    return 0;
  }
  std::vector<long> received;
};

TEST_F(StartupTest, CopyTreeNotifiesEveryTwentyFiveFilesAndKeepsExistingOnes) {
  files::createDirectory("C:\\src");
  files::createDirectory("C:\\src\\deep");
  for (int i = 0; i < 60; ++i)
    files::writeFile((i % 2 ? "C:\\src\\f" : "C:\\src\\deep\\f") + std::to_string(i), "new");
  files::createDirectory("C:\\dst");
  files::writeFile("C:\\dst\\f1", "mine");
  CountingWindow window;
  long counter = 0;
  auto notify = [&window](long count) {
    window.sendMessage(0x406, static_cast<uintptr_t>(count), 0);
  };
  EXPECT_TRUE(copyFolderRecursive("C:\\src", "C:\\dst", false, nullptr, notify, &counter));
  EXPECT_EQ(counter, 60);
  EXPECT_EQ(window.received, (std::vector<long>{25, 50}));
  std::string data;
  files::readFile("C:\\dst\\f1", data);
  EXPECT_EQ(data, "mine");
  EXPECT_TRUE(fileExists("C:\\dst\\deep\\f58"));
  volatile bool cancel = true;
  EXPECT_FALSE(copyFolderRecursive("C:\\src", "C:\\dst2", true, &cancel, nullptr, nullptr));
}

TEST_F(StartupTest, MeasureRoundsEachFileDown) {
  files::createDirectory("C:\\m");
  files::createDirectory("C:\\m\\s");
  for (const char* p : {"C:\\m\\a", "C:\\m\\b", "C:\\m\\s\\c"})
    files::writeFile(p, std::string(1023, 'x'));
  files::writeFile("C:\\m\\s\\big", std::string(4096, 'x'));
  long count = 0;
  uint64_t kib = 0;
  EXPECT_TRUE(measureFolder("C:\\m", count, kib));
  EXPECT_EQ(count, 4);
  EXPECT_EQ(kib, 4u);
}

}  // namespace

namespace {

// Two processes under the installer's own file name: the second copy refuses to run.
TEST_F(StartupTest, SecondInstanceIsRefusedWithItsMessage) {
  const std::string dir = platform::machine::toHost("C:\\Copies");
  platform::files::createDirectory("C:\\Copies");
  const std::string exe = dir + "/CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe";
  const std::string renamed = dir + "/Renamed_Installer.exe";
  for (const auto& path : {exe, renamed}) {
    std::string copy = "cp /bin/sleep '" + path + "'";
    ASSERT_EQ(std::system(copy.c_str()), 0);
  }
  auto first = platform::process::start(exe, "x 30");
  ASSERT_TRUE(first);
  auto other = platform::process::start(renamed, "x 30");  // another name is not counted
  ASSERT_TRUE(other);
  EXPECT_EQ(countRunningInstallers(), 1);
  auto second = platform::process::start(exe, "x 30");
  ASSERT_TRUE(second);
  EXPECT_EQ(countRunningInstallers(), 2);

  CCorvantaPrismalSDKInstallerApp app("C:\\Copies\\setup.exe");
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(ui_.messageTexts(),
            (std::vector<std::string>{
                "Error: Another instance of the installer is already running. Unable to load "
                "the second instance.\n\nPlease close all other instances of the installer "
                "application and try again.\n\n"}));
  EXPECT_TRUE(ui_.modalCaptions().empty());  // the wizard never opened
  EXPECT_TRUE(platform::registry::keyExists(
      platform::registry::Hive::CurrentUser,
      "Software\\Local AppWizard-Generated Applications\\setup"));
  for (auto* p : {first.get(), other.get(), second.get()}) {
    ::kill(static_cast<pid_t>(p->id()), SIGTERM);
    p->wait(5000);
  }
}

}  // namespace
