// The operation log: one line per change through the ports, bounded, silent until opened,
// whole lines from concurrent workers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

#include "app/installer_app.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "platform/operation_log.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell_link.h"
#include "platform/win_types.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

// "YYYY-MM-DD HH:MM:SS.mmm " opens every line; returns the text after it, or nullopt.
std::optional<std::string> afterStamp(const std::string& line) {
  const std::string shape = "0000-00-00 00:00:00.000 ";
  if (line.size() < shape.size()) return std::nullopt;
  for (size_t i = 0; i < shape.size(); ++i) {
    const bool digit = line[i] >= '0' && line[i] <= '9';
    if (shape[i] == '0' ? !digit : line[i] != shape[i]) return std::nullopt;
  }
  return line.substr(shape.size());
}

bool allOf(const std::string& text, char c) {
  return !text.empty() && text.find_first_not_of(c) == std::string::npos;
}

std::vector<std::string> fileLines(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class OperationLogTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(folder); }
  void TearDown() override { closeOperationLog(); }

  // Lines written since the last call.
  std::vector<std::string> newLines() {
    auto all = fileLines(logPath);
    std::vector<std::string> added(all.begin() + std::min(seen, all.size()), all.end());
    seen = all.size();
    return added;
  }

  TempMachine machine;
  const fs::path folder = fs::path(machine.root()) / "Application Folder";
  const fs::path logPath = folder / kOperationLogName;
  size_t seen = 0;
};

TEST_F(OperationLogTest, EachChangeThroughThePortsIsOneLine) {
  ASSERT_TRUE(openOperationLog(folder.string()));
  const std::string program = "C:\\Station\\setup.exe";
  DemoFixture demo;
  demo.addFile("files/x.bin", "12345");
  const std::string port = std::to_string(demo.server().port());
  newLines();

  using reg = registry::Hive;
  struct Row {
    const char* what;
    std::function<void()> action;
    std::vector<std::string> expected;  // one part of each new line, in order
  } rows[] = {
      {"registry set", [] {
         registry::setValue(reg::LocalMachine, "SOFTWARE\\Corvanta", "InstallPath",
                            registry::Value::string("C:\\rt\\"));
       }, {"Registry value set HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta \"InstallPath\" = "
           "REG_SZ \"C:\\rt\\\""}},
      {"a line break stays inside its line", [] {
         registry::setValue(reg::CurrentUser, "X", "", registry::Value::string("a\r\nb"));
       }, {"Registry value set HKEY_CURRENT_USER\\X (Default) = REG_SZ \"a\\r\\nb\""}},
      {"registry delete", [] {
         registry::deleteValue(reg::LocalMachine, "SOFTWARE\\Corvanta", "InstallPath");
         registry::deleteTree(reg::LocalMachine, "SOFTWARE\\Corvanta");
         registry::deleteValue(reg::LocalMachine, "SOFTWARE\\Corvanta", "Gone");
       }, {"Registry value deleted HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta \"InstallPath\"",
           "Registry key deleted with everything below it HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta",
           "Registry value deleted HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta \"Gone\" - not present"}},
      {"files", [&] {
         files::createDirectory("C:\\Station");
         files::createDirectory("C:\\Station");  // there already: no change, no line
         files::writeFile(program, "#!/bin/sh\nexit 3\n");
         files::copyFile(program, "C:\\Station\\b.exe", true);
         files::moveFileEx("C:\\Station\\b.exe", "C:\\Station\\c.exe", 0);
         files::setAttributes(program, win::FILE_ATTRIBUTE_ARCHIVE);  // no change, no line
         files::setAttributes("C:\\Station\\c.exe", win::FILE_ATTRIBUTE_READONLY);
         files::setAttributes("C:\\Station\\c.exe", win::FILE_ATTRIBUTE_ARCHIVE);
         files::deleteFile("C:\\Station\\c.exe");
         files::deleteFile("C:\\Station\\c.exe");
       }, {"Created folder C:\\Station", "Wrote file " + program + " (17 bytes)",
           "Copied file " + program + " to C:\\Station\\b.exe",
           "Moved C:\\Station\\b.exe to C:\\Station\\c.exe",
           "Set attributes of C:\\Station\\c.exe to 0x1 (read-only)",
           "Set attributes of C:\\Station\\c.exe to 0x20",
           "Deleted file C:\\Station\\c.exe", "Deleted file C:\\Station\\c.exe - failed"}},
      {"shortcut", [&] {
         shell::ShellLink link;
         link.target = program;
         link.arguments = "/q";
         shell::saveShellLink(link, "C:\\Station\\Setup.lnk");
       }, {"Created shortcut C:\\Station\\Setup.lnk to " + program + " with arguments: /q"}},
      {"process", [&] {
         unsigned long code = 0;
         process::startAndWait(program, "setup.exe /q", &code);
       }, {"Started " + program + " with command line: setup.exe /q (process ",
           "(" + program + "): exit code 3 after "}},
      {"transfer", [&] {
         internet::Session session("test");
         auto request = session.openRequest("127.0.0.1", demo.server().port(), "/files/x.bin");
         request->send();
         char buffer[16];
         while (request->read(buffer, sizeof buffer) > 0) {}
       }, {"Transfer http://127.0.0.1:" + port + "/files/x.bin: HTTP 200, 5 bytes of 5, complete"}},
  };
  for (const Row& row : rows) {
    row.action();
    auto lines = newLines();
    ASSERT_EQ(lines.size(), row.expected.size()) << row.what;
    for (size_t i = 0; i < lines.size(); ++i) {
      EXPECT_TRUE(afterStamp(lines[i])) << lines[i];
      EXPECT_NE(lines[i].find(row.expected[i]), std::string::npos)
          << row.what << ": " << lines[i];
    }
  }
}

TEST_F(OperationLogTest, RollsOverIntoOneOldFileAtTheLimit) {
  const uint64_t limit = 4096;
  ASSERT_TRUE(openOperationLog(folder.string(), limit));
  for (int i = 0; i < 200; ++i) logOperation("entry " + std::to_string(i) + std::string(60, '.'));
  logOperation(std::string(10000, 'x'));  // longer than the limit on its own
  logOperation("last");
  closeOperationLog();

  const fs::path old = folder / kOperationLogOldName;
  ASSERT_TRUE(fs::exists(old));
  EXPECT_LE(fs::file_size(logPath), limit);
  EXPECT_LE(fs::file_size(old), limit);
  auto current = fileLines(logPath);
  ASSERT_FALSE(current.empty());
  EXPECT_NE(current.back().find(" last"), std::string::npos);
  // Every line kept is whole.
  for (const fs::path& file : {logPath, old})
    for (const std::string& line : fileLines(file)) {
      const std::string text = afterStamp(line).value_or("");
      const bool entry = text.rfind("entry ", 0) == 0 && text.size() > 60 &&
                         allOf(text.substr(text.size() - 60), '.');
      const size_t cut = text.find(" ... (");
      const bool cutShort = cut != std::string::npos && allOf(text.substr(0, cut), 'x') &&
                            text.size() > cut + 6 && text.substr(text.size() - 12) == " more bytes)";
      EXPECT_TRUE(entry || cutShort || text == "last") << line;
    }
}

TEST_F(OperationLogTest, NothingIsWrittenUntilTheApplicationOpensIt) {
  files::createDirectory("C:\\Installer");
  registry::setValue(registry::Hive::LocalMachine, "SOFTWARE\\X", "v", registry::Value::dword(1));
  logOperation("dropped");
  EXPECT_FALSE(fs::exists(logPath));
  EXPECT_FALSE(operationLogOpen());

  const std::string installer = machine.host("C:\\Installer");
  {
    CCorvantaPrismalSDKInstallerApp app("C:\\Installer\\setup.exe");
    ASSERT_TRUE(operationLogOpen());
  }
  EXPECT_FALSE(operationLogOpen());  // the application closes it when it goes
  auto lines = fileLines(fs::path(installer) / kOperationLogName);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("Installer started from C:\\Installer\\setup.exe"), std::string::npos);

  // A folder the installer cannot write to gets no log.
  files::createDirectory("C:\\ReadOnly");
  files::setAttributes("C:\\ReadOnly", win::FILE_ATTRIBUTE_READONLY);
  CCorvantaPrismalSDKInstallerApp app("C:\\ReadOnly\\setup.exe");
  EXPECT_FALSE(operationLogOpen());
  EXPECT_FALSE(fs::exists(fs::path(machine.host("C:\\ReadOnly")) / kOperationLogName));
}

TEST_F(OperationLogTest, LinesFromTwoThreadsAreNotInterleaved) {
  ASSERT_TRUE(openOperationLog(folder.string()));
  const int count = 300;
  auto writer = [&](char name) {
    for (int i = 0; i < count; ++i)
      logOperation(std::string("worker ") + name + " " + std::to_string(i) + " " +
                   std::string(200, name));
  };
  std::thread a(writer, 'a'), b(writer, 'b');
  a.join();
  b.join();
  closeOperationLog();

  int next[2] = {0, 0};
  auto lines = fileLines(logPath);
  ASSERT_EQ(lines.size(), 2u * count);
  for (const std::string& line : lines) {
    // "worker N i NNN...N" with 200 of the worker's letter, whole and alone on its line
    std::istringstream fields(afterStamp(line).value_or(""));
    std::string word, tail;
    char name = 0;
    int index = -1;
    ASSERT_TRUE(fields >> word >> name >> index >> tail) << line;
    ASSERT_TRUE(word == "worker" && (name == 'a' || name == 'b')) << line;
    EXPECT_EQ(tail, std::string(200, name)) << line;
    EXPECT_TRUE(fields.eof() || (fields >> word).fail()) << line;
    EXPECT_EQ(index, next[name - 'a']++) << line;  // each worker's lines in order
  }
}

}  // namespace
