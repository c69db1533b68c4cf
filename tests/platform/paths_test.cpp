// Path mapping between Windows paths and the machine's host folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/machine.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

TEST(PathsTest, WindowsToHostTable) {
  TempMachine m;
  ASSERT_TRUE(files::createDirectory("C:\\Program Files (x86)\\Corvanta"));
  const std::string c = m.root() + "/drive_c";
  struct Row {
    const char* windows;
    std::string host;
  } rows[] = {
      {"C:\\windows\\system32", c + "/windows/system32"},
      {"c:\\WINDOWS\\SYSTEM32", c + "/windows/system32"},          // existing names, any case
      {"C:/Windows/System32/New.DLL", c + "/windows/system32/New.DLL"},  // new name keeps case
      {"C:\\program files (x86)\\corvanta\\Runtime11\\",
       c + "/Program Files (x86)/Corvanta/Runtime11/"},
      {"C:\\New\\deeper\\File", c + "/New/deeper/File"},
      {"C:\\windows\\..\\Users\\.\\Public", c + "/Users/Public"},
      {"C:\\..\\..\\windows", c + "/windows"},  // never above the drive
      {"C:\\windows\\\\system32", c + "/windows/system32"},
      {"C:", c + "/"},
      {"C:\\", c + "/"},
      {"D:\\data\\x", m.root() + "/drive_d/data/x"},
      {"\\windows", c + "/windows"},
      {"/usr/bin/env", "/usr/bin/env"},  // a host path stays
      {"/opt/app\\_CorvantaInstallData\\Core", "/opt/app/_CorvantaInstallData/Core"},
      {"", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(machine::toHost(row.windows), row.host) << row.windows;
}

TEST(PathsTest, HostToWindowsTable) {
  TempMachine m;
  const std::string c = m.root() + "/drive_c";
  struct Row {
    std::string host;
    const char* windows;
  } rows[] = {
      {c + "/windows/system32", "C:\\windows\\system32"},
      {c, "C:\\"},
      {c + "/", "C:\\"},
      {c + "/Program Files/", "C:\\Program Files\\"},
      {m.root() + "/drive_d/x", "D:\\x"},
      {c + "/a/../b", "C:\\b"},
      {m.root() + "/drive_cx/a", ""},  // not a drive folder
      {"/usr/bin/env", "/usr/bin/env"},
  };
  for (const Row& row : rows) {
    std::string expected = *row.windows ? row.windows : row.host;
    EXPECT_EQ(machine::toWindows(row.host), expected) << row.host;
  }
  // Round trip keeps the stored case.
  EXPECT_EQ(machine::toWindows(machine::toHost("c:\\PROGRAM FILES")), "C:\\Program Files");
}

TEST(PathsTest, RelativePathsFollowTheHostFolder) {
  TempMachine m;
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir((m.root() + "/drive_c/windows").c_str()), 0);
  EXPECT_EQ(machine::toHost("SYSTEM32\\x.txt"), m.root() + "/drive_c/windows/system32/x.txt");
  EXPECT_EQ(machine::toHost("..\\Users"), m.root() + "/drive_c/Users");
  EXPECT_EQ(machine::toWindows("system32"), "C:\\windows\\system32");
  ASSERT_EQ(chdir(saved), 0);
}

TEST(PathsTest, SwitchingMachinesInOneProcess) {
  std::string first;
  {
    TempMachine a;
    first = a.root();
    files::writeFile("C:\\only-in-a.txt", "a");
  }
  TempMachine b;
  EXPECT_NE(b.root(), first);
  EXPECT_EQ(machine::root(), b.root());
  EXPECT_EQ(machine::toHost("C:\\"), b.root() + "/drive_c/");
  std::string data;
  EXPECT_FALSE(files::readFile("C:\\only-in-a.txt", data));
  const char* env = getenv("CORVANTA_MACHINE");
  ASSERT_NE(env, nullptr);
  EXPECT_EQ(std::string(env), b.root());
  EXPECT_NE(access(first.c_str(), F_OK), 0);  // the first machine was removed
}

}  // namespace
