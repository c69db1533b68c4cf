// The machine store: several processes at once, damaged or foreign stores, OS profiles.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/debug.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform;
using registry::Hive;

namespace {

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int counter() {
  return std::stoi(machine::systemInfo("TestCounter").value_or("0"));
}

TEST(MachineStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
  TempMachine m;
  constexpr int kChildren = 2, kRounds = 60;
  std::vector<pid_t> children;
  for (int c = 0; c < kChildren; ++c) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      try {
        for (int i = 0; i < kRounds; ++i) {
          std::string name = "v" + std::to_string(c) + "_" + std::to_string(i);
          if (registry::setValue(Hive::LocalMachine, "SOFTWARE\\Race", name,
                                 registry::Value::dword(i)) != win::ERROR_SUCCESS)
            ++failures;
          // Read-modify-write in one transaction: no increment may get lost.
          machine::writeStore([](sqlite3*) {
            machine::setSystemInfo("TestCounter", std::to_string(counter() + 1));
          });
        }
      } catch (...) {
        ++failures;
      }
      _exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(registry::valueNames(Hive::LocalMachine, "SOFTWARE\\Race").size(),
            static_cast<size_t>(kChildren * kRounds));
  EXPECT_EQ(counter(), kChildren * kRounds);
}

TEST(MachineStoreTest, CorruptStoreIsReportedAndLeftAlone) {
  TempMachine m;
  std::string bad = m.root() + "/damaged";
  ASSERT_EQ(mkdir(bad.c_str(), 0777), 0);
  std::string garbage(8192, '\x5a');
  std::ofstream(bad + "/machine.db", std::ios::binary) << garbage;
  try {
    machine::useRoot(bad);
    FAIL() << "a damaged store was accepted";
  } catch (const machine::MachineError& e) {
    EXPECT_NE(std::string(e.what()).find(bad + "/machine.db"), std::string::npos) << e.what();
  }
  EXPECT_EQ(fileBytes(bad + "/machine.db"), garbage);

  // The ports answer with errors (and say why) instead of throwing at their callers.
  std::vector<std::string> lines;
  setDebugSink([&](const std::string& line) { lines.push_back(line); });
  EXPECT_NE(registry::setValue(Hive::LocalMachine, "SOFTWARE\\X", "v", registry::Value::string("x")),
            win::ERROR_SUCCESS);
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, "SOFTWARE"));
  setDebugSink(nullptr);
  ASSERT_FALSE(lines.empty());
  EXPECT_NE(lines[0].find("machine.db"), std::string::npos);
  EXPECT_EQ(fileBytes(bad + "/machine.db"), garbage);
}

TEST(MachineStoreTest, ForeignDatabaseIsNotTakenOver) {
  TempMachine m;
  std::string other = m.root() + "/foreign";
  ASSERT_EQ(mkdir(other.c_str(), 0777), 0);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((other + "/machine.db").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine')", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  std::string before = fileBytes(other + "/machine.db");
  EXPECT_THROW(machine::useRoot(other), machine::MachineError);
  EXPECT_EQ(fileBytes(other + "/machine.db"), before);
}

TEST(MachineStoreTest, ExistingMachineKeepsItsStateWhenReopened) {
  TempMachine m("winxp-sp3-x86");
  registry::setValue(Hive::CurrentUser, "Software\\Kept", "v", registry::Value::string("yes"));
  machine::useRoot(m.root());  // the default profile does not reinitialise it
  EXPECT_EQ(machine::systemInfo("Profile").value_or(""), "winxp-sp3-x86");
  EXPECT_EQ(registry::readString(Hive::CurrentUser, "Software\\Kept", "v", 10).value_or(""), "yes");
  EXPECT_FALSE(machine::is64BitProfile());
}

// A machine written before registry names compared as on Windows: its names are kept, and
// two that now name one value become one (the first stored).
TEST(MachineStoreTest, AnOlderStoreComparesRegistryNamesAsWindowsAfterReopening) {
  TempMachine m;
  registry::setValue(Hive::CurrentUser, "Software\\Old", "kept", registry::Value::string("yes"));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((m.root() + "/machine.db").c_str(), &db), SQLITE_OK);
  const char* olderShape =
      "DROP TABLE reg_values;"
      "CREATE TABLE reg_values(hive INTEGER NOT NULL, key TEXT NOT NULL COLLATE NOCASE,"
      "  name TEXT NOT NULL COLLATE NOCASE, type INTEGER NOT NULL, data BLOB,"
      "  PRIMARY KEY(hive, key, name));"
      "INSERT INTO reg_values VALUES(1, 'Software\\Old', 'kept', 1, 'yes');"
      "INSERT INTO reg_values VALUES(1, 'Software\\Old', '\xC3\x84pfel', 1, 'first');"
      "INSERT INTO reg_values VALUES(1, 'Software\\Old', '\xC3\xA4PFEL', 1, 'second');"
      "PRAGMA user_version=2;";
  ASSERT_EQ(sqlite3_exec(db, olderShape, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  machine::useRoot(m.root());
  EXPECT_EQ(registry::valueNames(Hive::CurrentUser, "Software\\Old"),
            (std::vector<std::string>{"kept", "\xC3\x84pfel"}));
  EXPECT_EQ(registry::readString(Hive::CurrentUser, "SOFTWARE\\OLD", "\xC3\xA4pfel", 10).value_or(""),
            "first");
}

TEST(MachineStoreTest, ProfilesSetTheSystemInformation) {
  struct Row {
    const char* profile;
    const char* major;
    const char* minor;
    const char* architecture;
  } rows[] = {{"win7-sp1-x64", "6", "1", "9"},
              {"win7-sp1-x86", "6", "1", "0"},
              {"winxp-sp3-x86", "5", "1", "0"},
              {"win8-x64", "6", "2", "9"}};
  for (const Row& row : rows) {
    TempMachine m(row.profile);
    EXPECT_EQ(machine::systemInfo("MajorVersion").value_or(""), row.major) << row.profile;
    EXPECT_EQ(machine::systemInfo("MinorVersion").value_or(""), row.minor) << row.profile;
    EXPECT_EQ(machine::systemInfo("ProcessorArchitecture").value_or(""), row.architecture);
    EXPECT_EQ(access((m.root() + "/drive_c/Program Files (x86)").c_str(), F_OK) == 0,
              std::string(row.architecture) == "9")
        << row.profile;
  }
  TempMachine m;
  EXPECT_THROW(machine::applyProfile("win95"), machine::MachineError);
  EXPECT_EQ(machine::systemInfo("Profile").value_or(""), "win7-sp1-x64");
}

TEST(MachineStoreTest, KnownFoldersExist) {
  TempMachine m;
  std::string user = machine::userName();
  for (std::string folder : {"windows/system32", "Program Files", "Program Files (x86)",
                             "ProgramData/Microsoft/Windows/Start Menu/Programs",
                             "Users/Public/Desktop"})
    EXPECT_EQ(access((m.root() + "/drive_c/" + folder).c_str(), F_OK), 0) << folder;
  for (std::string folder : {"Documents", "AppData/Local/Temp"})
    EXPECT_EQ(access((m.root() + "/drive_c/Users/" + user + "/" + folder).c_str(), F_OK), 0)
        << folder;
}

TEST(MachineStoreTest, AWriteByAnotherProcessIsSeenByTheNextRead) {
  TempMachine m;
  const std::string key = "SOFTWARE\\Shared";
  registry::setValue(Hive::LocalMachine, key, "State", registry::Value::string("before"));
  for (int round = 0; round < 3; ++round) {
    // Read (and keep) the answer, let another process change it, read again at once.
    EXPECT_TRUE(registry::readString(Hive::LocalMachine, key, "State", 260));
    EXPECT_TRUE(registry::keyExists(Hive::LocalMachine, key));
    registry::createKey(Hive::LocalMachine, key + "\\Gone");
    EXPECT_TRUE(registry::keyExists(Hive::LocalMachine, key + "\\Gone"));
    std::string expected = "after " + std::to_string(round);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = registry::setValue(Hive::LocalMachine, key, "State",
                                   registry::Value::string(expected)) == win::ERROR_SUCCESS &&
                registry::deleteTree(Hive::LocalMachine, key + "\\Gone") == win::ERROR_SUCCESS;
      _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(registry::readString(Hive::LocalMachine, key, "state", 260).value_or(""), expected);
    EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, key + "\\Gone"));
  }
}

TEST(MachineStoreTest, NothingOfARolledBackTransactionIsRemembered) {
  TempMachine m;
  const std::string key = "SOFTWARE\\Undone";
  EXPECT_FALSE(registry::readString(Hive::LocalMachine, key, "V", 260));
  try {
    machine::writeStore([&](sqlite3*) {
      registry::setValue(Hive::LocalMachine, key, "V", registry::Value::string("x"));
      // Read inside the transaction: the uncommitted value is visible here only.
      EXPECT_EQ(registry::readString(Hive::LocalMachine, key, "V", 260).value_or(""), "x");
      throw std::runtime_error("undo");
    });
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(registry::readString(Hive::LocalMachine, key, "V", 260));
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, key));
}

TEST(MachineStoreTest, OneStatementTextUsedWhileInUse) {
  TempMachine m;
  machine::setSystemInfo("A", "1");
  machine::setSystemInfo("B", "2");
  std::vector<std::string> seen;
  machine::readStore([&](sqlite3* db) {
    machine::Statement outer(db, "SELECT name, value FROM system_info WHERE name IN ('A', 'B') "
                                 "ORDER BY name");
    while (outer.step()) {
      // The same text again while the first is stepping: a statement of its own.
      machine::Statement inner(db, "SELECT name, value FROM system_info WHERE name IN ('A', 'B') "
                                   "ORDER BY name");
      ASSERT_TRUE(inner.step());
      seen.push_back(outer.text(0) + inner.text(0));
    }
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"AA", "BA"}));
}

}  // namespace
