// Registry port: Windows semantics of keys, values and buffer sizes.
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform::registry;

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  TempMachine machine;
  const std::string key = "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime";
};

TEST_F(RegistryTest, KeysAndValuesIgnoreCaseButKeepTheFirstSpelling) {
  ASSERT_EQ(setValue(Hive::LocalMachine, key, "InstallPath", Value::string("C:\\rt\\")),
            win::ERROR_SUCCESS);
  EXPECT_TRUE(keyExists(Hive::LocalMachine, "software\\brenholm as"));
  EXPECT_TRUE(keyExists(Hive::LocalMachine, "SOFTWARE\\BRENHOLM AS\\corvanta VERSION xi 11.0.0.614 runtime"));
  EXPECT_FALSE(keyExists(Hive::CurrentUser, key));
  EXPECT_EQ(readString(Hive::LocalMachine, "Software\\Brenholm As\\" + std::string(
                "corvanta version xi 11.0.0.614 runtime"), "INSTALLPATH", 260).value_or("-"),
            "C:\\rt\\");

  // Writing through another spelling neither duplicates the key nor renames it.
  setValue(Hive::LocalMachine, "software\\BRENHOLM as\\NEW", "installpath", Value::string("x"));
  setValue(Hive::LocalMachine, key, "installpath", Value::string("C:\\other\\"));
  EXPECT_EQ(subKeyNames(Hive::LocalMachine, "SOFTWARE\\BRENHOLM AS"),
            (std::vector<std::string>{"Corvanta Version XI 11.0.0.614 Runtime", "NEW"}));
  EXPECT_EQ(valueNames(Hive::LocalMachine, key), std::vector<std::string>{"InstallPath"});
  EXPECT_EQ(readString(Hive::LocalMachine, key, "InstallPath", 260).value_or("-"), "C:\\other\\");
}

TEST_F(RegistryTest, HivesAreSeparate) {
  setValue(Hive::CurrentUser, "Software\\X", "v", Value::string("user"));
  setValue(Hive::ClassesRoot, "Software\\X", "v", Value::string("classes"));
  EXPECT_FALSE(keyExists(Hive::LocalMachine, "Software\\X"));
  EXPECT_EQ(readString(Hive::CurrentUser, "Software\\X", "v", 100).value_or(""), "user");
  EXPECT_EQ(readString(Hive::ClassesRoot, "Software\\X", "v", 100).value_or(""), "classes");
}

TEST_F(RegistryTest, QueryValueBufferSizes) {
  setValue(Hive::LocalMachine, key, "S", Value::string("12345"));
  setValue(Hive::LocalMachine, key, "D", Value::dword(0x01020304));
  setValue(Hive::LocalMachine, key, "B", Value{REG_BINARY, std::string("\x00\x01\x02", 3)});
  struct Row {
    const char* name;
    size_t buffer;
    long expected;
  } rows[] = {
      {"S", 6, win::ERROR_SUCCESS},      // five characters and the terminator
      {"S", 5, win::ERROR_MORE_DATA},    // no room for the terminator
      {"S", 0, win::ERROR_MORE_DATA},
      {"D", 4, win::ERROR_SUCCESS},
      {"D", 3, win::ERROR_MORE_DATA},
      {"B", 3, win::ERROR_SUCCESS},
      {"B", 2, win::ERROR_MORE_DATA},
      {"missing", 100, win::ERROR_FILE_NOT_FOUND},
  };
  for (const Row& row : rows) {
    Value out{REG_SZ, "untouched"};
    EXPECT_EQ(queryValue(Hive::LocalMachine, key, row.name, out, row.buffer), row.expected)
        << row.name << " in " << row.buffer;
    if (row.expected != win::ERROR_SUCCESS) {
      EXPECT_EQ(out.data, "untouched") << row.name;
    }
  }
  Value out;
  ASSERT_EQ(queryValue(Hive::LocalMachine, key, "D", out, 4), win::ERROR_SUCCESS);
  EXPECT_EQ(out.type, REG_DWORD);
  EXPECT_EQ(out.asDword(), 0x01020304u);
  EXPECT_EQ(queryValue(Hive::LocalMachine, "SOFTWARE\\Nowhere", "S", out, 100),
            win::ERROR_FILE_NOT_FOUND);
  // A string longer than the buffer is no string for readString.
  EXPECT_FALSE(readString(Hive::LocalMachine, key, "S", 5).has_value());
  EXPECT_FALSE(readString(Hive::LocalMachine, key, "D", 100).has_value());
}

TEST_F(RegistryTest, DefaultValueHasTheEmptyName) {
  createKey(Hive::ClassesRoot, ".cvp");
  Value out;
  EXPECT_EQ(queryValue(Hive::ClassesRoot, ".cvp", "", out, 100), win::ERROR_FILE_NOT_FOUND);
  setValue(Hive::ClassesRoot, ".cvp", "", Value::string("Corvanta.Profile", REG_EXPAND_SZ));
  ASSERT_EQ(queryValue(Hive::ClassesRoot, ".cvp", "", out, 100), win::ERROR_SUCCESS);
  EXPECT_EQ(out.type, REG_EXPAND_SZ);
  EXPECT_EQ(out.data, "Corvanta.Profile");
}

TEST_F(RegistryTest, DeleteTreeRemovesOnlyThatBranch) {
  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  setValue(Hive::LocalMachine, uninstall + "\\pywin32-py2.7", "DisplayName", Value::string("a"));
  setValue(Hive::LocalMachine, uninstall + "\\pywin32-py2.7\\Sub\\Deeper", "x", Value::dword(1));
  // A sibling whose name starts with the deleted one's must survive (no prefix match).
  setValue(Hive::LocalMachine, uninstall + "\\pywin32-py2.7 extra", "DisplayName", Value::string("b"));
  // Wildcard characters of SQL in key names are plain characters.
  setValue(Hive::LocalMachine, uninstall + "\\py%_", "DisplayName", Value::string("c"));

  EXPECT_EQ(deleteTree(Hive::LocalMachine, uninstall + "\\PYWIN32-py2.7"), win::ERROR_SUCCESS);
  EXPECT_FALSE(keyExists(Hive::LocalMachine, uninstall + "\\pywin32-py2.7\\Sub"));
  EXPECT_FALSE(keyExists(Hive::LocalMachine, uninstall + "\\pywin32-py2.7"));
  EXPECT_TRUE(keyExists(Hive::LocalMachine, uninstall + "\\pywin32-py2.7 extra"));
  EXPECT_EQ(deleteTree(Hive::LocalMachine, uninstall + "\\py%_"), win::ERROR_SUCCESS);
  EXPECT_TRUE(keyExists(Hive::LocalMachine, uninstall + "\\pywin32-py2.7 extra"));
  EXPECT_EQ(deleteTree(Hive::LocalMachine, uninstall + "\\pywin32-py2.7"), win::ERROR_FILE_NOT_FOUND);

  // Re-creating the deleted key starts empty.
  createKey(Hive::LocalMachine, uninstall + "\\pywin32-py2.7");
  EXPECT_TRUE(valueNames(Hive::LocalMachine, uninstall + "\\pywin32-py2.7").empty());
  EXPECT_TRUE(subKeyNames(Hive::LocalMachine, uninstall + "\\pywin32-py2.7").empty());
}

TEST_F(RegistryTest, DeleteValue) {
  setValue(Hive::CurrentUser, "Environment", "Extra", Value::string("1"));
  EXPECT_EQ(deleteValue(Hive::CurrentUser, "environment", "EXTRA"), win::ERROR_SUCCESS);
  EXPECT_EQ(deleteValue(Hive::CurrentUser, "Environment", "Extra"), win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(deleteValue(Hive::CurrentUser, "NoSuchKey", "Extra"), win::ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(keyExists(Hive::CurrentUser, "Environment"));
}

TEST_F(RegistryTest, DwordMustHoldFourBytes) {
  EXPECT_EQ(setValue(Hive::LocalMachine, key, "D", Value{REG_DWORD, "12"}),
            win::ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Value::dword(0xA1B2C3D4).asDword(), 0xA1B2C3D4u);
  EXPECT_EQ(Value::dword(7).data, std::string("\x07\x00\x00\x00", 4));
}

TEST_F(RegistryTest, NewMachineHasTheProfileEnvironment) {
  auto path = readString(Hive::LocalMachine,
                         "System\\CurrentControlSet\\Control\\Session Manager\\Environment", "Path",
                         4096);
  ASSERT_TRUE(path.has_value());
  EXPECT_NE(path->find("%SystemRoot%\\system32"), std::string::npos);
  Value install;
  EXPECT_EQ(queryValue(Hive::LocalMachine, "SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727",
                       "Install", install, 4),
            win::ERROR_SUCCESS);
  EXPECT_EQ(install.asDword(), 1u);
}

}  // namespace
