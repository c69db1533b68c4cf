// Process port: starting programs and scripts, waiting, exit codes, cancel and the list.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <chrono>
#include <fstream>
#include <thread>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

// A stand-in that writes its arguments, folder and machine to out.txt beside itself, waits
// while a "hold" file exists beside it, and ends with the code named in code.txt.
const char* kStandIn = R"(#!/bin/sh
dir=$(dirname "$0")
printf '%s|' "$@" > "$dir/out.txt"
pwd > "$dir/cwd.txt"
printf '%s' "$CORVANTA_MACHINE" > "$dir/env.txt"
while [ -e "$dir/hold" ]; do sleep 0.01; done
exit $(cat "$dir/code.txt" 2>/dev/null || echo 0)
)";

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(files::createDirectory("C:\\Stand In"));
    ASSERT_TRUE(files::writeFile(program, kStandIn));  // no execute bit, as a download
  }
  std::string read(const std::string& name) {
    std::string data;
    return files::readFile("C:\\Stand In\\" + name, data) ? data : "<missing>";
  }
  void hold(bool on) {
    if (on) ASSERT_TRUE(files::writeFile("C:\\Stand In\\hold", ""));
    else ASSERT_TRUE(files::deleteFile("C:\\Stand In\\hold"));
  }
  TempMachine machine;
  const std::string program = "C:\\Stand In\\setup.exe";
};

TEST_F(ProcessTest, ScriptWithoutExecuteBitGetsItsArguments) {
  struct stat st;
  ASSERT_EQ(stat(machine.host(program).c_str(), &st), 0);
  ASSERT_EQ(st.st_mode & 0111, 0u);
  files::writeFile("C:\\Stand In\\code.txt", "7");
  auto p = process::start(program, "\"C:\\Stand In\\setup.exe\" /i \"C:\\a b\\pkg.msi\" /passive",
                          "C:\\windows");
  ASSERT_NE(p, nullptr);
  EXPECT_GT(p->id(), 0u);
  ASSERT_TRUE(p->wait(-1));
  EXPECT_EQ(p->exitCode(), 7u);
  EXPECT_EQ(read("out.txt"), "/i|C:\\a b\\pkg.msi|/passive|");
  EXPECT_EQ(read("cwd.txt"), machine.root() + "/drive_c/windows\n");
  EXPECT_EQ(read("env.txt"), machine.root());
}

TEST_F(ProcessTest, HostProgramRunsDirectly) {
  unsigned long code = 0;
  EXPECT_TRUE(process::startAndWait("/bin/sh", "sh -c \"exit 5\"", &code));
  EXPECT_EQ(code, 5u);
  EXPECT_TRUE(process::startAndWait("/bin/true", "", &code));
  EXPECT_EQ(code, 0u);
}

TEST_F(ProcessTest, ProgramsThatCannotStart) {
  files::writeFile("C:\\Stand In\\data.bin", "MZ not a program here");
  EXPECT_EQ(process::start("C:\\Stand In\\data.bin", "x"), nullptr);
  EXPECT_EQ(process::start("C:\\Stand In\\missing.exe", "x"), nullptr);
  EXPECT_EQ(process::start("C:\\Stand In", "x"), nullptr);
  EXPECT_EQ(process::start(program, "x", "C:\\No Such Folder"), nullptr);
  unsigned long code = 99;
  EXPECT_FALSE(process::startAndWait("C:\\Stand In\\missing.exe", "x", &code));
  EXPECT_EQ(code, 99u);
}

TEST_F(ProcessTest, WaitWithTimeoutAndExitCodeWhileRunning) {
  hold(true);
  auto p = process::start(program, "setup");
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->wait(0));
  EXPECT_FALSE(p->wait(20));
  EXPECT_EQ(p->exitCode(), 259u);  // STILL_ACTIVE
  hold(false);
  EXPECT_TRUE(p->wait(-1));
  EXPECT_EQ(p->exitCode(), 0u);
  EXPECT_TRUE(p->wait(0));
}

TEST_F(ProcessTest, CancelEndsTheWaitButNotTheProgram) {
  hold(true);
  std::atomic<bool> cancel{false};
  std::atomic<bool> done{false};
  bool result = true;
  std::thread waiter([&] {
    result = process::startAndWait(program, "setup", nullptr, &cancel);
    done = true;
  });
  // Wait for the stand-in to start (it writes out.txt first), then cancel.
  for (int i = 0; i < 500 && read("out.txt") == "<missing>"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(done);
  cancel = true;
  waiter.join();
  EXPECT_FALSE(result);
  EXPECT_TRUE(process::isProcessRunning(program));
  hold(false);
}

TEST_F(ProcessTest, ListFindsAScriptByItsWindowsPath) {
  hold(true);
  auto p = process::start(program, "setup");
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 500 && read("out.txt") == "<missing>"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  bool found = false;
  for (const auto& info : process::list()) {
    if (info.id != p->id()) continue;
    found = true;
    EXPECT_EQ(info.modulePath, program);
    EXPECT_EQ(info.baseName, "setup.exe");
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(process::isProcessRunning("c:\\STAND IN\\SETUP.EXE"));
  EXPECT_FALSE(process::isProcessRunning("C:\\Stand In\\other.exe"));
  hold(false);
  ASSERT_TRUE(p->wait(-1));
  EXPECT_FALSE(process::isProcessRunning(program));
}

TEST_F(ProcessTest, AbandonedChildIsReaped) {
  hold(true);
  unsigned long pid;
  {
    auto p = process::start(program, "setup");
    ASSERT_NE(p, nullptr);
    pid = p->id();
  }
  hold(false);
  // Once it ended, the reaper collects it: no zombie stays behind.
  std::string stat = "/proc/" + std::to_string(pid) + "/stat";
  bool gone = false;
  for (int i = 0; i < 500 && !gone; ++i) {
    gone = access(stat.c_str(), F_OK) != 0;
    if (!gone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(gone);
}

TEST_F(ProcessTest, CurrentModuleIsThisExecutable) {
  std::string self = process::currentModulePath();
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(self[0], '/');
  EXPECT_NE(self.find("test_platform"), std::string::npos);
  bool listed = false;
  for (const auto& info : process::list())
    if (info.id == static_cast<unsigned long>(getpid())) listed = info.modulePath == self;
  EXPECT_TRUE(listed);
}

}  // namespace

namespace {

// Two machines on one host (tests side by side): a program of one is not running on the
// other, so neither counts the other's installers.
TEST(ProcessList, AProgramOfAnotherMachineIsNotListed) {
  auto first = std::make_unique<TempMachine>();
  ASSERT_TRUE(platform::files::createDirectory("C:\\Tools"));
  const std::string program = first->host("C:\\Tools\\waiter.exe");
  ASSERT_EQ(std::system(("cp /bin/sleep '" + program + "'").c_str()), 0);
  auto running = platform::process::start(program, "waiter 30");
  ASSERT_TRUE(running);
  auto listed = [&] {
    for (const auto& p : platform::process::list())
      if (p.id == running->id()) return true;
    return false;
  };
  EXPECT_TRUE(listed());
  {
    TempMachine second;
    EXPECT_FALSE(listed());
  }
  ::kill(static_cast<pid_t>(running->id()), SIGTERM);
  running->wait(5000);
}

}  // namespace
