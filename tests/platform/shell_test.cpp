// Shell port and debug output.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

TEST(ShellTest, FoldersOfA64BitMachineAsA32BitProgramSeesThem) {
  TempMachine m;
  const std::string user = machine::userName();
  struct Row {
    int csidl;
    std::string path;
  } rows[] = {
      {shell::CSIDL_PERSONAL, "C:\\Users\\" + user + "\\Documents"},
      {shell::CSIDL_WINDOWS, "C:\\windows"},
      {shell::CSIDL_SYSTEM, "C:\\windows\\system32"},
      {shell::CSIDL_PROGRAM_FILES, "C:\\Program Files (x86)"},
      {shell::CSIDL_COMMON_PROGRAMS, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
      {shell::CSIDL_COMMON_DESKTOPDIRECTORY, "C:\\Users\\Public\\Desktop"},
  };
  for (const Row& row : rows) {
    std::string path;
    ASSERT_TRUE(shell::getFolderPath(row.csidl, path)) << row.csidl;
    EXPECT_EQ(path, row.path);
    EXPECT_TRUE(files::isDirectory(path)) << path;
  }
  std::string path = "unchanged";
  EXPECT_FALSE(shell::getFolderPath(0x7777, path));
  EXPECT_EQ(path, "unchanged");

  std::string temp;
  ASSERT_TRUE(shell::getTempPath(temp));
  EXPECT_EQ(temp, "C:\\Users\\" + user + "\\AppData\\Local\\Temp\\");
  EXPECT_TRUE(files::isDirectory(temp.substr(0, temp.size() - 1)));
  EXPECT_EQ(shell::systemDirectory(), "C:\\windows\\system32");
}

TEST(ShellTest, EnvironmentValuesPerProfile) {
  struct Row {
    const char* profile;
    const char* name;
    const char* value;
  } rows[] = {
      {"win7-sp1-x64", "ProgramFiles", "C:\\Program Files (x86)"},
      {"win7-sp1-x64", "PROGRAMW6432", "C:\\Program Files"},
      {"win7-sp1-x64", "ProgramFiles(x86)", "C:\\Program Files (x86)"},
      {"win7-sp1-x64", "SystemRoot", "C:\\windows"},
      {"win7-sp1-x64", "Path", "C:\\windows\\system32;C:\\windows;C:\\windows\\System32\\Wbem"},
      {"win7-sp1-x64", "OS", "Windows_NT"},
      {"win7-sp1-x64", "NoSuchVariable", ""},
      {"win7-sp1-x86", "ProgramFiles", "C:\\Program Files"},
      {"win7-sp1-x86", "ProgramW6432", ""},
  };
  for (const Row& row : rows) {
    TempMachine m(row.profile);
    EXPECT_EQ(shell::environmentValue(row.name), row.value) << row.profile << " " << row.name;
  }
}

TEST(ShellTest, ExecuteRecordsTheOpen) {
  TempMachine m;
  files::createDirectory("C:\\Data");
  EXPECT_GT(shell::shellExecute("open", "C:\\Data", "", "C:\\Data"), 32);
  EXPECT_GT(shell::shellExecute("open", "http://127.0.0.1/info.html", "", ""), 32);
  EXPECT_EQ(shell::shellExecute("open", "C:\\Data\\missing.pdf", "", ""), 2);
  auto events = machine::shellEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].file, "C:\\Data");
  EXPECT_EQ(events[0].directory, "C:\\Data");
  EXPECT_EQ(events[1].file, "http://127.0.0.1/info.html");
}

TEST(DebugTest, SinkSeesEveryLineFromEveryThread) {
  std::atomic<int> count{0};
  std::string last;
  setDebugSink([&](const std::string& line) {
    ++count;
    last = line;
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < 100; ++i) debugOutput("Worker::run - step\n");
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(count, 400);
  EXPECT_EQ(last, "Worker::run - step\n");
  setDebugSink(nullptr);
  debugOutput("nobody listens\n");
  EXPECT_EQ(count, 400);
}

}  // namespace
