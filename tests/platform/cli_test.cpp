// corvanta-machine, as stand-in installer scripts use it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/msi.h"
#include "platform/registry.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform;
using registry::Hive;

namespace {

struct Result {
  int code = -1;
  std::string out;
};

std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the tool on the test's machine (through CORVANTA_MACHINE, as stand-ins do); stdout
// and stderr together.
Result tool(const std::vector<std::string>& args) {
  std::string command = shellQuote(toolsPath("corvanta-machine"));
  for (const std::string& a : args) command += " " + shellQuote(a);
  command += " 2>&1";
  Result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  int status = pclose(pipe);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class CliTest : public ::testing::Test {
 protected:
  TempMachine machine;
};

TEST_F(CliTest, RegistryVerbs) {
  const std::string key = "HKLM\\SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime";
  EXPECT_EQ(tool({"reg", "set", key, "InstallPath", "--type", "REG_SZ", "--value", "C:\\rt\\"}).code, 0);
  std::string v;
  EXPECT_EQ(registry::readString(Hive::LocalMachine, key.substr(5), "InstallPath", 260).value_or(""),
            "C:\\rt\\");
  EXPECT_EQ(tool({"reg", "set", "HKEY_CURRENT_USER\\Software\\X", "Count", "--type", "REG_DWORD",
                  "--value", "0x2A"}).code, 0);
  registry::Value out;
  ASSERT_EQ(registry::queryValue(Hive::CurrentUser, "Software\\X", "Count", out, 4), win::ERROR_SUCCESS);
  EXPECT_EQ(out.asDword(), 42u);
  EXPECT_EQ(tool({"reg", "get", "hkcu\\software\\x", "count"}).out, "42\n");
  EXPECT_EQ(tool({"reg", "set", "HKCR\\.bin", "--type", "REG_BINARY", "--value", "00ff10"}).code, 0);
  EXPECT_EQ(tool({"reg", "get", "HKCR\\.bin"}).out, "00ff10\n");

  EXPECT_EQ(tool({"reg", "delete", "HKCU\\Software\\X", "Count"}).code, 0);
  Result missing = tool({"reg", "get", "HKCU\\Software\\X", "Count"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.out.find("not found"), std::string::npos);
  EXPECT_EQ(tool({"reg", "delete-key", "HKLM\\SOFTWARE\\BRENHOLM AS"}).code, 0);
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, "SOFTWARE\\BRENHOLM AS"));
}

TEST_F(CliTest, UsageErrors) {
  struct Row {
    std::vector<std::string> args;
    int code;
  } rows[] = {
      {{"reg", "set", "HKXX\\Key", "n", "--value", "1"}, 2},
      {{"reg", "set", "HKLM\\Key", "n", "--type", "REG_DWORD", "--value", "twelve"}, 2},
      {{"reg", "set", "HKLM\\Key", "n", "--type", "REG_DWORD", "--value", "4294967296"}, 2},
      {{"reg", "frobnicate", "HKLM\\Key"}, 2},
      {{"msi", "register", "--code", "{bad}", "--name", "n", "--version", "1"}, 2},
      {{"msi", "register", "--code", "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}", "--version", "1"}, 2},
      {{"msi", "remove", "--code", "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}"}, 1},
      {{"path", "to-host"}, 2},
      {{"nothing"}, 2},
      {{}, 2},
  };
  for (const Row& row : rows) {
    Result r = tool(row.args);
    std::string joined;
    for (const auto& a : row.args) joined += a + " ";
    EXPECT_EQ(r.code, row.code) << joined << "\n" << r.out;
    EXPECT_NE(r.out.find("corvanta-machine: "), std::string::npos) << joined;
  }
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, "Key"));
}

TEST_F(CliTest, HelpNamesEveryVerb) {
  Result r = tool({"--help"});
  EXPECT_EQ(r.code, 0);
  for (const char* verb : {"init", "--profile", "reg get", "reg set", "reg delete", "reg delete-key",
                           "msi register", "msi list", "msi remove", "--remove-command", "--prop",
                           "path to-host", "path to-windows", "--machine"})
    EXPECT_NE(r.out.find(verb), std::string::npos) << verb;
}

TEST_F(CliTest, ProductsRegisteredByAStandInAreSeenByThePort) {
  const std::string code = "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}";
  files::writeFile("C:\\remove.sh", "#!/bin/sh\necho gone > \"$(dirname \"$0\")/gone.txt\"\n");
  Result r = tool({"msi", "register", "--code", code, "--context", "2", "--name",
                   "Corvanta Version XI 11.0.0.614 Runtime", "--version", "11.0.0.614", "--prop",
                   "InstallLocation=C:\\rt\\", "--remove-command", "C:\\remove.sh /quiet"});
  ASSERT_EQ(r.code, 0) << r.out;
  std::string value;
  EXPECT_EQ(msi::getProductInfoEx(code, msi::MSIINSTALLCONTEXT_USERUNMANAGED, "InstallLocation",
                                  value, 64),
            win::ERROR_SUCCESS);
  EXPECT_EQ(value, "C:\\rt\\");
  EXPECT_EQ(tool({"msi", "list"}).out,
            code + "\t2\tCorvanta Version XI 11.0.0.614 Runtime\t11.0.0.614\n");
  EXPECT_EQ(tool({"msi", "remove", "--code", code, "--context", "2"}).code, 0);
  std::string gone;
  EXPECT_TRUE(files::readFile("C:\\gone.txt", gone));
  EXPECT_EQ(msi::getProductInfo(code, "VersionString", value, 64), win::ERROR_UNKNOWN_PRODUCT);
}

TEST_F(CliTest, PathVerbsAndExplicitMachine) {
  EXPECT_EQ(tool({"path", "to-host", "c:\\PROGRAM FILES\\Corvanta\\"}).out,
            machine.root() + "/drive_c/Program Files/Corvanta/\n");
  EXPECT_EQ(tool({"path", "to-windows", machine.root() + "/drive_c/windows"}).out, "C:\\windows\n");
  // --machine wins over the environment, and init takes a profile.
  std::string other = machine.root() + "/other";
  Result init = tool({"--machine", other, "init", "--profile", "winxp-sp3-x86"});
  EXPECT_EQ(init.code, 0) << init.out;
  EXPECT_NE(tool({"--machine", other, "info"}).out.find("winxp-sp3-x86"), std::string::npos);
  EXPECT_EQ(machine::systemInfo("Profile").value_or(""), "win7-sp1-x64");
  EXPECT_EQ(tool({"--machine", other, "init", "--profile", "os2"}).code, 1);
}

TEST_F(CliTest, DefaultMachineFollowsXdgDataHome) {
  std::string xdg = machine.root() + "/xdg";
  std::string command = "env -u CORVANTA_MACHINE XDG_DATA_HOME=" + shellQuote(xdg) + " " +
                        shellQuote(toolsPath("corvanta-machine")) + " path to-host 'C:\\'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[4096] = {0};
  fgets(line, sizeof line, pipe);
  pclose(pipe);
  EXPECT_EQ(std::string(line), xdg + "/corvanta/machine/drive_c/\n");
  EXPECT_EQ(access((xdg + "/corvanta/machine/machine.db").c_str(), F_OK), 0);
}

TEST_F(CliTest, ConcurrentToolRunsLoseNoWrite) {
  constexpr int kRuns = 15;
  auto writer = [](int id) {
    for (int i = 0; i < kRuns; ++i)
      tool({"reg", "set", "HKLM\\SOFTWARE\\Race", "w" + std::to_string(id) + "_" + std::to_string(i),
            "--value", "x"});
  };
  std::thread a(writer, 0), b(writer, 1);
  a.join();
  b.join();
  EXPECT_EQ(registry::valueNames(Hive::LocalMachine, "SOFTWARE\\Race").size(), 2u * kRuns);
}

TEST_F(CliTest, CorruptMachineGivesAClearError) {
  std::string bad = machine.root() + "/bad";
  tool({"--machine", bad, "init"});
  FILE* f = fopen((bad + "/machine.db").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs("this is not a database at all, not even close, and it is long enough", f);
  fclose(f);
  unlink((bad + "/machine.db-wal").c_str());
  unlink((bad + "/machine.db-shm").c_str());
  Result r = tool({"--machine", bad, "reg", "get", "HKLM\\SOFTWARE"});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find(bad + "/machine.db"), std::string::npos) << r.out;
}

TEST_F(CliTest, RegImportOsProfilesAndHelp) {
  std::string file = machine.root() + "/bad.reg";
  FILE* f = std::fopen(file.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Cli]\n\"A\"=dword:1\n\"B\"=oops\n", f);
  std::fclose(f);
  Result bad = tool({"reg", "import", file});
  EXPECT_EQ(bad.code, 1);
  EXPECT_NE(bad.out.find("line 5"), std::string::npos) << bad.out;
  EXPECT_FALSE(registry::keyExists(Hive::CurrentUser, "Software\\Cli"));

  EXPECT_EQ(tool({"os", "set", "winxp-sp3-x86"}).code, 0);
  EXPECT_EQ(machine::systemInfo("MajorVersion").value_or(""), "5");
  EXPECT_EQ(tool({"os", "set-info", "ScreenDpi", "120"}).code, 0);
  EXPECT_NE(tool({"os", "show"}).out.find("ScreenDpi\t120"), std::string::npos);
  EXPECT_NE(tool({"os", "list"}).out.find("server2003-ia64-sp2\n"), std::string::npos);
  EXPECT_EQ(tool({"os", "set", "win95"}).code, 1);

  std::string help = tool({"--help"}).out;
  for (const char* verb : {"reg import", "reg export", "window show", "window wait", "window answer",
                           "os set", "link create", "shell open", "msiexec /i", "regsvr32",
                           "rundll32", "explorer"})
    EXPECT_NE(help.find(verb), std::string::npos) << verb;
}

}  // namespace
