// .reg import and export: both editor formats, deletions, refusal of malformed files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/linux/machine_store.h"
#include "platform/linux/reg_file.h"
#include "platform/linux/utf16.h"
#include "platform/registry.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform;
using registry::Hive;
using registry::Value;

namespace {

std::string fixture(const char* name) {
  std::string here = __FILE__;
  std::ifstream in(here.substr(0, here.rfind('/')) + "/../data/" + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

Value get(Hive hive, const std::string& key, const std::string& name) {
  Value v{0, "<missing>"};
  registry::queryValue(hive, key, name, v, 1 << 16);
  return v;
}

const std::string kRuntime = "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime";

TEST(RegFileTest, ImportsAnExportOfTheRegistryEditor) {
  TempMachine m;
  registry::setValue(Hive::LocalMachine, kRuntime, "Stale", Value::string("old"));
  registry::setValue(Hive::LocalMachine, "SOFTWARE\\Old Vendor\\Sub", "x", Value::dword(1));
  machine::importRegFile(fixture("sample_regedit5.reg"));

  struct Row {
    Hive hive;
    std::string key, name;
    Value value;
  } rows[] = {
      {Hive::LocalMachine, kRuntime, "InstallPath",
       Value::string("C:\\Program Files (x86)\\Corvanta\\Runtime11\\")},
      {Hive::LocalMachine, kRuntime, "", Value::string("default \"quoted\"")},
      {Hive::LocalMachine, kRuntime, "build", Value::dword(0x266)},
      {Hive::LocalMachine, kRuntime, "Blob",
       {registry::REG_BINARY, std::string("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c"
                                          "\x0d\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a",
                                          27)}},
      {Hive::LocalMachine, kRuntime, "Expand",
       Value::string("%SystemRoot%\\Bj\xC3\xB8rn", registry::REG_EXPAND_SZ)},
      {Hive::LocalMachine, kRuntime, "Multi", {7, std::string("a\0bc\0\0", 6)}},
      {Hive::CurrentUser, "Software\\Python\\PythonCore\\2.7\\PythonPath\\Corvanta", "",
       Value::string("C:\\Corvanta\\Python")},
      {Hive::ClassesRoot, "CLSID\\{449DEAAF-F2A8-440A-8E74-A2ECD57C5151}\\InprocServer32",
       "ThreadingModel", Value::string("Apartment")},
  };
  for (const Row& row : rows) {
    Value v = get(row.hive, row.key, row.name);
    EXPECT_EQ(v.type, row.value.type) << row.key << " " << row.name;
    EXPECT_EQ(v.data, row.value.data) << row.key << " " << row.name;
  }
  EXPECT_EQ(get(Hive::LocalMachine, kRuntime, "Stale").data, "<missing>");
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, "SOFTWARE\\Old Vendor"));

  machine::importRegFile(fixture("sample_regedit4.reg"));
  const std::string python = "SOFTWARE\\Python\\PythonCore\\2.7\\InstallPath";
  EXPECT_EQ(get(Hive::LocalMachine, python, "").data, "C:\\Python27\\");
  EXPECT_EQ(get(Hive::LocalMachine, python, "Expand").data, "%PATH%");
  EXPECT_EQ(get(Hive::LocalMachine, python, "Count").asDword(), 10u);
}

TEST(RegFileTest, MalformedFilesAreRefusedWithTheirLineAndImportNothing) {
  struct Row {
    std::string body;  // after the header line and a key line (lines 1 and 2)
    int line;
  } rows[] = {
      {"\"A\"=\"ok\"\n\"B\"=dword:123456789\n", 4},
      {"\"A\"=dword:xyz\n", 3},
      {"\"A\"=hex:01,2g\n", 3},
      {"\"A\"=hex:01,\\\n  02,,03\n", 3},
      {"\"A\"=hex(4):01,02\n", 3},
      {"\"A\" \"ok\"\n", 3},
      {"\"A\"=\"unterminated\n", 3},
      {"\"A\"=\"x\" trailing\n", 3},
      {"\"A\"=something\n", 3},
      {"just text\n", 3},
      {"\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\n", 5},
      {"[HKEY_PERFORMANCE_DATA\\X]\n", 3},
      {"[-HKEY_CURRENT_USER]\n", 3},
      {std::string("\"A\0\"=\"x\"\n", 9), 3},
      {"[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]\n", 3},
      {"\"" + std::string(16384, 'v') + "\"=\"x\"\n", 3},
  };
  TempMachine m;
  for (const Row& row : rows) {
    std::string text = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\Software\\Import]\n" +
                       row.body;
    try {
      machine::importRegFile(text);
      ADD_FAILURE() << "accepted: " << row.body;
    } catch (const machine::MachineError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("line " + std::to_string(row.line) + ":", 0), 0u)
          << e.what() << " for " << row.body;
    }
    EXPECT_FALSE(registry::keyExists(Hive::CurrentUser, "Software\\Import")) << row.body;
  }
  for (const char* header : {"", "Windows Registry Editor Version 4.00\n", "REGEDIT5\n"}) {
    EXPECT_THROW(machine::importRegFile(std::string(header) + "[HKEY_CURRENT_USER\\X]\n"),
                 machine::MachineError);
    EXPECT_FALSE(registry::keyExists(Hive::CurrentUser, "X"));
  }
  // A value before any key.
  EXPECT_THROW(machine::importRegFile("REGEDIT4\n\"A\"=\"b\"\n"), machine::MachineError);
}

TEST(RegFileTest, ExportReadsBackInBothFormats) {
  TempMachine m;
  const std::string key = "SOFTWARE\\Export Me";
  registry::setValue(Hive::LocalMachine, key, "", Value::string("root \"default\""));
  registry::setValue(Hive::LocalMachine, key, "Path", Value::string("C:\\a\\b\\"));
  registry::setValue(Hive::LocalMachine, key, "Dw", Value::dword(0xDEADBEEF));
  registry::setValue(Hive::LocalMachine, key, "Exp",
                     Value::string("%ProgramFiles%\\\xC3\xA6", registry::REG_EXPAND_SZ));
  registry::setValue(Hive::LocalMachine, key, "Lines", Value::string("one\r\ntwo"));
  registry::setValue(Hive::LocalMachine, key, "Bin", {registry::REG_BINARY, std::string(100, '\x5a')});
  registry::setValue(Hive::LocalMachine, key + "\\Sub\\Deeper", "n", Value::string("v"));
  const std::string cafe = key + "\\Caf\xC3\xA9", size = "Gr\xC3\xB6\xC3\x9F" "e";
  registry::setValue(Hive::LocalMachine, cafe, size, Value::string("\xC3\xA9t\xC3\xA9"));

  for (bool ansi : {false, true}) {
    std::string file = machine::exportRegFile(Hive::LocalMachine, key, ansi);
    if (!ansi) {
      ASSERT_EQ(file.substr(0, 2), "\xFF\xFE");
      EXPECT_EQ(text::decodeFileText(file).rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    } else {
      EXPECT_EQ(file.rfind("REGEDIT4\r\n", 0), 0u);
    }
    registry::deleteTree(Hive::LocalMachine, key);
    machine::importRegFile(file);
    EXPECT_EQ(get(Hive::LocalMachine, key, "").data, "root \"default\"");
    EXPECT_EQ(get(Hive::LocalMachine, key, "Path").data, "C:\\a\\b\\");
    EXPECT_EQ(get(Hive::LocalMachine, key, "Dw").asDword(), 0xDEADBEEFu);
    Value exp = get(Hive::LocalMachine, key, "Exp");
    EXPECT_EQ(exp.type, registry::REG_EXPAND_SZ);
    EXPECT_EQ(exp.data, "%ProgramFiles%\\\xC3\xA6");
    EXPECT_EQ(get(Hive::LocalMachine, key, "Lines").data, "one\r\ntwo");
    EXPECT_EQ(get(Hive::LocalMachine, key, "Bin").data, std::string(100, '\x5a'));
    EXPECT_EQ(get(Hive::LocalMachine, key + "\\Sub\\Deeper", "n").data, "v");
    EXPECT_EQ(registry::subKeyNames(Hive::LocalMachine, key),
              (std::vector<std::string>{"Caf\xC3\xA9", "Sub"}));
    EXPECT_EQ(registry::valueNames(Hive::LocalMachine, cafe), std::vector<std::string>{size});
    EXPECT_EQ(get(Hive::LocalMachine, cafe, size).data, "\xC3\xA9t\xC3\xA9");
  }
  EXPECT_THROW(machine::exportRegFile(Hive::LocalMachine, "SOFTWARE\\Nothing", false),
               machine::MachineError);
}

}  // namespace

// What real exports contain: commented-out continued hex lines, blanks around '=', notes after
// a value, odd hex(2), CR-only or LF line ends, a closing Ctrl-Z.
TEST(RegFileTest, ReadsEveryPhysicalLineOfAnExport) {
  const std::string k = "SOFTWARE\\T";
  struct Case {
    const char* what;
    const char* eol;
    std::string body;
    std::string name;
    Value expected;
  } cases[] = {
      {"a commented hex line does not swallow the next", "\r\n",
       ";\"old\"=hex:01,\\\n\"a\"=dword:00000002\n", "a", Value::dword(2)},
      {"blanks around '=' before continued hex", "\n", "\"a\" = hex:01,\\\n  02\n", "a",
       {registry::REG_BINARY, std::string("\x01\x02", 2)}},
      {"a comment inside continued hex", "\r\n", "\"a\"=hex:01,\\\n; gone\n  03\n", "a",
       {registry::REG_BINARY, std::string("\x01\x03", 2)}},
      {"a note after a string", "\r", "\"a\"=\"b\" ; note\n", "a", Value::string("b")},
      {"a note after a dword", "\n", "\"a\"=dword:00000007 ; note\n", "a", Value::dword(7)},
      {"odd hex(2)", "\r\n", "\"a\"=hex(2):41,00,42,00,00\n", "a",
       Value::string("AB", registry::REG_EXPAND_SZ)},
  };
  for (const Case& c : cases) {
    TempMachine m;
    std::string file = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\" + k + "]\n" +
                       c.body + "\x1a";
    std::string withEol;
    for (char ch : file) withEol += ch == '\n' ? std::string(c.eol) : std::string(1, ch);
    machine::importRegFile(withEol);
    Value v = get(Hive::LocalMachine, k, c.name);
    EXPECT_EQ(v.type, c.expected.type) << c.what;
    EXPECT_EQ(v.data, c.expected.data) << c.what;
  }
}

// REGEDIT4 is the ANSI code page both ways; what it cannot hold stops the export.
TEST(RegFileTest, Regedit4IsWindows1252) {
  TempMachine m;
  machine::importRegFile(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Caf\xE9]\r\n\"Price\"=\"5 \x80\"\r\n"
      "\"E\"=hex(2):e9,00\r\n");
  const std::string key = "Software\\Caf\xC3\xA9";
  EXPECT_EQ(get(Hive::CurrentUser, key, "Price").data, "5 \xE2\x82\xAC");
  EXPECT_EQ(get(Hive::CurrentUser, key, "E").data, "\xC3\xA9");
  std::string file = machine::exportRegFile(Hive::CurrentUser, key, true);
  EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Caf\xE9]"), std::string::npos);
  EXPECT_NE(file.find("\"Price\"=\"5 \x80\""), std::string::npos);
  EXPECT_NE(file.find("\"E\"=hex(2):e9,00"), std::string::npos);
  registry::setValue(Hive::CurrentUser, key, "Omega", Value::string("\xCE\xA9"));
  EXPECT_THROW(machine::exportRegFile(Hive::CurrentUser, key, true), machine::MachineError);
  EXPECT_NO_THROW(machine::exportRegFile(Hive::CurrentUser, key, false));
}

// A station's whole export: all five hives, names that differ only in case taken as one
// key or value as Windows takes them (non-ASCII letters too), first spelling kept.
TEST(RegFileTest, AllFiveHivesAndNamesComparedAsWindowsDoes) {
  TempMachine m;
  machine::importRegFile(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fruit\\\xC3\x84pfel]\r\n\"\xC3\x91" "ame\"=\"1\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Fruit\\\xC3\xA4PFEL]\r\n\"\xC3\xB1" "AME\"=\"2\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\U]\r\n\r\n[HKEY_CLASSES_ROOT\\.cvt]\r\n\r\n"
      "[HKEY_USERS\\.DEFAULT\\Control Panel]\r\n\"Locale\"=\"00000409\"\r\n\r\n"
      "[HKEY_CURRENT_CONFIG\\System\\CurrentControlSet]\r\n");
  EXPECT_EQ(registry::subKeyNames(Hive::LocalMachine, "SOFTWARE\\Fruit"),
            std::vector<std::string>{"\xC3\x84pfel"});
  EXPECT_EQ(registry::valueNames(Hive::LocalMachine, "SOFTWARE\\Fruit\\\xC3\xA4PFEL"),
            std::vector<std::string>{"\xC3\x91" "ame"});
  EXPECT_EQ(get(Hive::LocalMachine, "software\\fruit\\\xC3\xA4pfel", "\xC3\xB1" "ame").data, "2");
  // Only the case differs: "ß" and "SS" are different names, as on Windows.
  registry::createKey(Hive::LocalMachine, "SOFTWARE\\Stra\xC3\x9F" "e");
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, "SOFTWARE\\STRASSE"));
  EXPECT_TRUE(registry::keyExists(Hive::LocalMachine, "SOFTWARE\\STRA\xC3\x9F" "E"));
  EXPECT_EQ(get(Hive::Users, ".DEFAULT\\Control Panel", "Locale").data, "00000409");
  EXPECT_TRUE(registry::keyExists(Hive::CurrentConfig, "System\\CurrentControlSet"));
  const std::string exported = machine::exportRegFile(Hive::Users, "", false);
  EXPECT_NE(text::fromUtf16le(exported.substr(2)).find("[HKEY_USERS\\.DEFAULT\\Control Panel]"),
            std::string::npos);
  // Deleting a tree finds what lies below it whatever the case of its letters.
  registry::createKey(Hive::LocalMachine, "SOFTWARE\\Fruit\\\xC3\x84pfel\\Kern");
  registry::createKey(Hive::LocalMachine, "SOFTWARE\\Fruit\\\xC3\x84pfelbaum");
  registry::deleteTree(Hive::LocalMachine, "SOFTWARE\\Fruit\\\xC3\xA4PFEL");
  EXPECT_FALSE(registry::keyExists(Hive::LocalMachine, "SOFTWARE\\Fruit\\\xC3\x84pfel\\Kern"));
  EXPECT_EQ(registry::subKeyNames(Hive::LocalMachine, "SOFTWARE\\Fruit"),
            std::vector<std::string>{"\xC3\x84pfelbaum"});
}
