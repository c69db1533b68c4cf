// Emulated top-level windows: a stand-in shows dialogs, the wizard's watcher answers them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/windows.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

// An uninstaller that asks for confirmation and then reports that it finished.
const char* kUninstaller = R"(#!/bin/sh
dir=$(dirname "$0")
h=$(corvanta-machine window show "Please confirm") || exit 9
corvanta-machine window wait "$h" --timeout 10000 > "$dir/answers.txt" || exit 8
h=$(corvanta-machine window show "Uninstall Finished!") || exit 9
corvanta-machine window wait "$h" --timeout 10000 >> "$dir/answers.txt" || exit 7
)";

// The watcher's polling: every 10 ms, at most `polls` times.
windows::Hwnd poll(const std::string& title, int polls) {
  for (int i = 0; i < polls; ++i) {
    if (windows::Hwnd w = windows::findWindow(title)) return w;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

TEST(WindowsTest, WatcherAnswersTheDialogsOfAStandIn) {
  TempMachine m;
  putToolsOnPath();
  ASSERT_TRUE(files::createDirectory("C:\\Module"));
  ASSERT_TRUE(files::writeFile("C:\\Module\\uninst.exe", kUninstaller));
  auto p = process::start("C:\\Module\\uninst.exe", "uninst.exe -u");
  ASSERT_NE(p, nullptr);
  windows::Hwnd confirm = poll("please CONFIRM", 1000);  // titles compare without case
  ASSERT_NE(confirm, 0u);
  EXPECT_EQ(windows::windowText(confirm), "Please confirm");
  EXPECT_TRUE(windows::sendCommand(confirm, 6));
  windows::Hwnd finished = poll("Uninstall Finished!", 2000);
  ASSERT_NE(finished, 0u);
  EXPECT_TRUE(windows::closeWindow(finished));
  ASSERT_TRUE(p->wait(10000));
  EXPECT_EQ(p->exitCode(), 0u);
  std::string answers;
  ASSERT_TRUE(files::readFile("C:\\Module\\answers.txt", answers));
  EXPECT_EQ(answers, "command 6\nclose\n");
  // Its program ended: the windows are gone and nothing waits on them.
  EXPECT_EQ(windows::findWindow("Please confirm"), 0u);
  EXPECT_FALSE(windows::isWindow(finished));
  EXPECT_FALSE(windows::closeWindow(finished));
  EXPECT_EQ(windows::sendMessage(confirm, windows::WM_COMMAND, 6, 0), 0);
}

TEST(WindowsTest, SendMessageWaitsForTheOwnerAndGetsItsAnswer) {
  TempMachine m;
  uintptr_t first = machine::createWindow("Setup", static_cast<unsigned long>(getpid()));
  uintptr_t second = machine::createWindow("setup", static_cast<unsigned long>(getpid()));
  EXPECT_EQ(windows::findWindow("SETUP"), first);
  EXPECT_EQ(windows::findWindow("SETUP", first), second);
  EXPECT_EQ(windows::findWindow("SETUP", second), 0u);
  EXPECT_EQ(windows::findWindow("Setu"), 0u);  // the whole title

  std::thread owner([&] {
    auto message = machine::takeMessage(first, 5000, 77);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->message, windows::WM_COMMAND);
    EXPECT_EQ(message->wParam, 1u);
  });
  EXPECT_EQ(windows::sendMessage(first, windows::WM_COMMAND, 1, 0), 77);
  owner.join();
  // Nobody takes it: the bounded wait gives up with 0.
  EXPECT_EQ(windows::sendMessage(second, windows::WM_COMMAND, 2, 0, 50), 0);
  EXPECT_TRUE(machine::destroyWindow(second));
  EXPECT_FALSE(machine::takeMessage(second, 0));
  EXPECT_FALSE(machine::destroyWindow(second));
}

TEST(WindowsTest, SettingsBroadcastIsRecorded) {
  TempMachine m;
  EXPECT_TRUE(windows::broadcastSettingChange("Environment"));
  auto events = machine::desktopEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].verb, "WM_WININICHANGE");
  EXPECT_EQ(events[0].file, "Environment");
}

}  // namespace
