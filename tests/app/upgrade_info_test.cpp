// The background check: which published upgrade information is offered, and what the quiet
// download does with a file that is already there.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/installer_caption.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"
#include "updates/upgrade_info_check.h"

namespace {

const char* const kFolder = "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";

struct Row {
  const char* name;
  const char* keys;  // lines of the file after the section header; "@" is the server folder
  int result;
};

const Row kRows[] = {
    {"Offered", "LatestVersionName=Newer Installer\nLatestVersionNumber=615\n"
                "ReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=@\n"
                "InstallerFileName=new.exe\nInstallerFilePath=@\n", 1},
    {"SameName", "LatestVersionName=CAPTION\nReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=@\n",
     kNoNewInstaller},
    {"NoName", "ReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=@\n", kNoNewInstaller},
    {"NoNotesName", "LatestVersionName=N\nReleaseNotesFilePath=@\n", kReleaseNotesUnavailable},
    {"NotesMissingOnServer", "LatestVersionName=N\nReleaseNotesFileName=gone.rtf\nReleaseNotesFilePath=@\n",
     kReleaseNotesUnavailable},
    {"NotesUpward", "LatestVersionName=N\nReleaseNotesFileName=..\\notes.rtf\nReleaseNotesFilePath=@\n",
     kReleaseNotesUnavailable},
    {"NotesDevice", "LatestVersionName=N\nReleaseNotesFileName=CON.rtf\nReleaseNotesFilePath=@\n",
     kReleaseNotesUnavailable},
    {"NotesFromFile", "LatestVersionName=N\nReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=file:///c:/\n",
     kReleaseNotesUnavailable},
    {"InstallerWithDrive", "LatestVersionName=N\nReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=@\n"
                           "InstallerFileName=C:new.exe\nInstallerFilePath=@\n", kNoNewInstaller},
    {"InstallerInFolder", "LatestVersionName=N\nReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=@\n"
                          "InstallerFileName=sub/new.exe\nInstallerFilePath=@\n", kNoNewInstaller},
    {"InstallerFromShare", "LatestVersionName=N\nReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=@\n"
                           "InstallerFileName=new.exe\nInstallerFilePath=\\\\server\\share\\\n", kNoNewInstaller},
    {"BadChecksum", "LatestVersionName=N\nReleaseNotesFileName=notes.rtf\nReleaseNotesFilePath=@\n"
                    "InstallerFileName=new.exe\nInstallerFilePath=@\nInstallerSHA256=abc\n", kNoNewInstaller},
};

class UpgradeInfoRows : public ::testing::TestWithParam<Row> {};

TEST_P(UpgradeInfoRows, ResultAndState) {
  TempMachine machine;
  DemoFixture demo;
  std::string keys = GetParam().keys;
  for (auto [mark, value] : {std::pair<std::string, std::string>{"@", demo.url(kFolder)},
                             {"CAPTION", kInstallerCaption}})
    for (size_t at = keys.find(mark); at != std::string::npos; at = keys.find(mark, at + value.size()))
      keys.replace(at, mark.size(), value);
  demo.addFile(std::string(kFolder) + "614UpgradeInfo.ini.txt", "[Version Upgrade Info]\n" + keys);
  demo.addFile(std::string(kFolder) + "notes.rtf", "{\\rtf1 notes}");
  UpgradeInfo info(demo.url(kFolder) + "614UpgradeInfo.ini.txt", "614UpgradeInfo.ini.txt");
  ASSERT_FALSE(info.tempFolder.empty());

  EXPECT_EQ(fetchUpgradeInfo(info, platform::CancelToken::never()), GetParam().result);
  EXPECT_EQ(info.state, GetParam().result == 1 ? 2 : 1);
  EXPECT_EQ(fileExists(info.releaseNotesPath), GetParam().result == 1);
  if (GetParam().result == 1) {
    EXPECT_EQ(info.latestVersionName, "Newer Installer");
    EXPECT_EQ(info.latestVersionNumber, "615");
    EXPECT_EQ(info.currentVersionName, kInstallerCaption);
  }
}

INSTANTIATE_TEST_SUITE_P(Published, UpgradeInfoRows, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(UpgradeInfoTest, TwoRecordsMadeTogetherKeepTheirOwnFolders) {
  TempMachine machine;
  UpgradeInfo first("http://127.0.0.1:9/a", "a"), second("http://127.0.0.1:9/b", "b");
  ASSERT_FALSE(first.tempFolder.empty());
  ASSERT_FALSE(second.tempFolder.empty());
  EXPECT_NE(first.tempFolder, second.tempFolder);
  EXPECT_TRUE(platform::files::isDirectory(first.tempFolder));
  EXPECT_TRUE(platform::files::isDirectory(second.tempFolder));
}

TEST(UpgradeInfoTest, QuietDownloadReplacesOrKeepsWhatWasThere) {
  TempMachine machine;
  DemoFixture demo;
  demo.addFile("new.txt", "new");
  platform::files::createDirectory("C:\\D");
  platform::files::writeFile("C:\\D\\f.txt", "old");
  auto& never = platform::CancelToken::never();
  EXPECT_EQ(downloadFileQuietly("C:\\D", "f.txt", never, demo.url("missing.txt")), -3008);
  std::string data;
  ASSERT_TRUE(platform::files::readFile("C:\\D\\f.txt", data));
  EXPECT_EQ(data, "old");
  EXPECT_EQ(downloadFileQuietly("C:\\D", "f.txt", never, "https://127.0.0.1:9/x"), -3002);
  EXPECT_EQ(downloadFileQuietly("C:\\D", "f.txt", never, demo.url("new.txt")), 1);
  ASSERT_TRUE(platform::files::readFile("C:\\D\\f.txt", data));
  EXPECT_EQ(data, "new");
  // A folder in the file's place cannot be set aside: no success without the new file.
  platform::files::createDirectory("C:\\D\\g.txt");
  platform::files::writeFile("C:\\D\\g.txt\\inside", "x");
  EXPECT_EQ(downloadFileQuietly("C:\\D", "g.txt", never, demo.url("new.txt")), -3006);
}

}  // namespace
