// Starting programs for the user outside the wizard's rights.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/debug.h"
#include "platform/elevated_launch.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/shell.h"
#include "platform/shell_link.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

// Writes its arguments beside itself (whole, so a reader never sees half of them).
const char* kProgram = R"(#!/bin/sh
printf '%s|' "$@" > "$(dirname "$0")/args.tmp"
mv "$(dirname "$0")/args.tmp" "$(dirname "$0")/args.txt"
)";

class ElevatedLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    setDebugSink([this](const std::string& l) { debug.push_back(l); });
  }
  void TearDown() override { setDebugSink(nullptr); }
  // The machine of the profile, with the program and the shortcut folder made at start-up.
  void prepare(const char* profile) {
    m = std::make_unique<TempMachine>(profile);
    ASSERT_TRUE(files::createDirectory("C:\\Corvanta"));
    ASSERT_TRUE(files::writeFile(program, kProgram));
    std::string temp;
    ASSERT_TRUE(shell::getTempPath(temp));
    shortcutFolder = temp + "Corvanta10_9267";
    ASSERT_TRUE(files::createDirectory(shortcutFolder));
  }
  std::vector<std::string> shortcuts() {
    std::vector<std::string> names;
    for (const auto& f : files::find(shortcutFolder + "\\*.lnk")) names.push_back(f.name);
    return names;
  }
  std::string args() {
    std::string data;
    for (int i = 0; i < 500 && !files::readFile("C:\\Corvanta\\args.txt", data); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return data;
  }
  std::unique_ptr<TempMachine> m;
  std::vector<std::string> debug;
  const std::string program = "C:\\Corvanta\\Corvanta.exe";
  std::string shortcutFolder;
};

TEST_F(ElevatedLaunchTest, ArgumentChecks) {
  prepare("win7-sp1-x64");
  long result = 0;
  EXPECT_EQ(launchAppManagingUACElevation("a", "C:\\", nullptr, &result), -1);
  EXPECT_EQ(launchAppManagingUACElevation("a", nullptr, program.c_str(), &result), -2);
  EXPECT_EQ(launchAppManagingUACElevation("a", "C:\\", program.c_str(), nullptr), -2);
  EXPECT_EQ(launchFileManagingUACElevation("C:\\", &result, nullptr), -1);
  EXPECT_EQ(launchFileManagingUACElevation(nullptr, &result, program.c_str()), -2);
  EXPECT_TRUE(machine::shellEvents().empty());
  EXPECT_EQ(elevationShortcutName(2015, 12, 3, 9, 5, 7, 42), "mx20151203090507042tmp");
}

TEST_F(ElevatedLaunchTest, WindowsXpStartsTheProgramDirectly) {
  prepare("winxp-sp3-x86");
  long result = 0;
  ASSERT_EQ(launchAppManagingUACElevation("\"System=C:\\p\" \"/IGNOREPROFILEVERSION\"",
                                          "C:\\Corvanta", program.c_str(), &result), 1);
  EXPECT_GT(result, 32);
  EXPECT_EQ(args(), "System=C:\\p|/IGNOREPROFILEVERSION|");
  auto events = machine::shellEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].file, program);
  EXPECT_TRUE(shortcuts().empty());
}

TEST_F(ElevatedLaunchTest, Windows7GoesThroughExplorer) {
  prepare("win7-sp1-x64");
  long result = 0;
  ASSERT_EQ(launchAppManagingUACElevation(nullptr, "C:\\Corvanta", program.c_str(), &result), 1);
  EXPECT_GT(result, 32);
  EXPECT_EQ(args(), "|");  // printf's format once, without arguments
  auto events = machine::shellEvents();
  ASSERT_GE(events.size(), 1u);
  EXPECT_EQ(events[0].file, "explorer.exe");
  EXPECT_EQ(events[0].parameters, program);
  ASSERT_TRUE(files::deleteFile("C:\\Corvanta\\args.txt"));

  // With arguments: a shortcut in the shortcut folder, opened by explorer.exe.
  ASSERT_EQ(launchAppManagingUACElevation("\"System=C:\\p q\" /x", "C:\\Corvanta", program.c_str(),
                                          &result), 1);
  EXPECT_GT(result, 32);
  EXPECT_EQ(args(), "System=C:\\p q|/x|");
  auto links = shortcuts();
  ASSERT_EQ(links.size(), 1u);
  EXPECT_EQ(links[0].size(), std::string("mx20151203090507042tmp.lnk").size());
  EXPECT_EQ(links[0].substr(0, 2), "mx");
  shell::ShellLink link;
  ASSERT_TRUE(shell::loadShellLink(shortcutFolder + "\\" + links[0], link));
  EXPECT_EQ(link.target, program);
  EXPECT_EQ(link.arguments, "\"System=C:\\p q\" /x");
  EXPECT_EQ(link.workingDirectory, "C:\\Corvanta");
  bool sawExplorer = false;
  for (const auto& e : machine::shellEvents())
    sawExplorer = sawExplorer || (e.file == "explorer.exe" && e.parameters == shortcutFolder + "\\" + links[0]);
  EXPECT_TRUE(sawExplorer);
  EXPECT_EQ(debug, std::vector<std::string>{shortcutFolder + "\\" + links[0] + "\n"});
}

TEST_F(ElevatedLaunchTest, EveryFailureOnTheShellPathStartsDirectly) {
  prepare("win7-sp1-x64");
  long result = 0;
  // No shortcut folder: the save fails.
  ASSERT_TRUE(files::removeDirectory(shortcutFolder));
  ASSERT_EQ(launchAppManagingUACElevation("/x", "C:\\Corvanta", program.c_str(), &result), 1);
  EXPECT_GT(result, 32);
  EXPECT_EQ(args(), "/x|");
  EXPECT_EQ(debug, std::vector<std::string>{
                       "launchAppManagingUACElevation - unable to create shortcut\n"});
  EXPECT_EQ(machine::shellEvents().back().file, program);

  // No explorer.exe in the Windows folder.
  debug.clear();
  ASSERT_TRUE(files::deleteFile("C:\\windows\\explorer.exe"));
  ASSERT_EQ(launchFileManagingUACElevation("C:\\Corvanta", &result, program.c_str()), 1);
  EXPECT_GT(result, 32);
  EXPECT_EQ(debug, std::vector<std::string>{
                       "launchAppManagingUACElevation - unable to locate explorer.exe\n"});

  // A version that cannot be read counts as an older system.
  debug.clear();
  machine::setSystemInfo("VersionExFails", "1");
  ASSERT_EQ(launchAppManagingUACElevation(nullptr, "C:\\Corvanta", "C:\\missing.exe", &result), 1);
  EXPECT_EQ(result, shell::SE_ERR_FNF);
  EXPECT_EQ(debug, std::vector<std::string>{
                       "launchAppManagingUACElevation - unable to query OS version\n"});
}

}  // namespace
