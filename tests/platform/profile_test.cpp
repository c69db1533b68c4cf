// Profile (INI) files with the results of the Windows profile functions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/linux/utf16.h"
#include "platform/profile.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(files::createDirectory("C:\\lists"));
    ASSERT_TRUE(files::writeFile(file,
                                 "; a list of the server\r\n"
                                 "[Version Upgrade Info]\r\n"
                                 "LatestVersionNumber = 615  \r\n"
                                 "LatestVersionName=\"Corvanta Installer 615\"\r\n"
                                 "Quoted='one'\r\n"
                                 "Unbalanced=\"open\r\n"
                                 "Inner=a \"b\" c\r\n"
                                 "Empty=\r\n"
                                 "LatestVersionNumber=shadowed\r\n"
                                 "\r\n"
                                 "[Tutorial 2 - Blobs]\n"
                                 "Name=Blobs\n"
                                 "[tutorial 1]\r\n"
                                 "Name=First\r\n"));
  }
  std::string get(const std::string& section, const std::string& key, size_t size = 1024,
                  const std::string& fallback = "none") {
    std::string value = "<untouched>";
    size_t n = profile::getString(section, key, fallback, value, size, file);
    EXPECT_EQ(n, size == 0 ? 0 : value.size()) << section << "/" << key;
    return value;
  }
  TempMachine machine;
  const std::string file = "C:\\lists\\614tutorials.ini.txt";
};

TEST_F(ProfileTest, ValuesAsWindowsGivesThem) {
  struct Row {
    const char* section;
    const char* key;
    const char* value;
  } rows[] = {
      {"Version Upgrade Info", "LatestVersionNumber", "615"},     // blanks go, first wins
      {"version upgrade info", "latestversionname", "Corvanta Installer 615"},  // one pair of quotes
      {"Version Upgrade Info", "Quoted", "one"},
      {"Version Upgrade Info", "Unbalanced", "\"open"},
      {"Version Upgrade Info", "Inner", "a \"b\" c"},
      {"Version Upgrade Info", "Empty", ""},
      {"Version Upgrade Info", "Missing", "none"},
      {"No Such Section", "Name", "none"},
      {"TUTORIAL 1", "Name", "First"},
      {"Tutorial 2 - Blobs", "Name", "Blobs"},  // lines ending in a bare newline
  };
  for (const Row& row : rows) EXPECT_EQ(get(row.section, row.key), row.value);
  // The default loses its trailing blanks; a missing file gives the default.
  EXPECT_EQ(get("x", "y", 1024, "dflt  "), "dflt");
  std::string value;
  EXPECT_EQ(profile::getString("a", "b", "d", value, 1024, "C:\\nowhere.ini"), 1u);
  EXPECT_EQ(value, "d");
}

TEST_F(ProfileTest, BufferBoundsTheValue) {
  EXPECT_EQ(get("Version Upgrade Info", "LatestVersionName", 9), "Corvanta");
  EXPECT_EQ(get("Version Upgrade Info", "LatestVersionName", 1), "");
  EXPECT_EQ(get("Version Upgrade Info", "LatestVersionName", 0), "<untouched>");
  std::string longValue(5000, 'x');
  ASSERT_TRUE(profile::writeString("Long", "Value", longValue, file));
  EXPECT_EQ(get("Long", "Value", 1024).size(), 1023u);
}

TEST_F(ProfileTest, SectionAndKeyNamesInFileOrder) {
  std::vector<std::string> names;
  // "Version Upgrade Info\0Tutorial 2 - Blobs\0tutorial 1\0\0"
  EXPECT_EQ(profile::getSectionNames(names, 8192, file), 51u);
  EXPECT_EQ(names, (std::vector<std::string>{"Version Upgrade Info", "Tutorial 2 - Blobs",
                                             "tutorial 1"}));
  // Too small: bufferSize - 2 characters, the last name cut.
  EXPECT_EQ(profile::getSectionNames(names, 30, file), 28u);
  EXPECT_EQ(names, (std::vector<std::string>{"Version Upgrade Info", "Tutoria"}));
  EXPECT_EQ(profile::getSectionNames(names, 1, file), 0u);
  EXPECT_TRUE(names.empty());
  EXPECT_EQ(profile::getSectionNames(names, 8192, "C:\\nowhere.ini"), 0u);

  profile::getKeyNames("version upgrade info", names, 8192, file);
  EXPECT_EQ(names, (std::vector<std::string>{"LatestVersionNumber", "LatestVersionName", "Quoted",
                                             "Unbalanced", "Inner", "Empty",
                                             "LatestVersionNumber"}));
}

TEST_F(ProfileTest, WritingKeysAndSections) {
  ASSERT_TRUE(profile::writeString("tutorial 1", "Name", std::string("Renamed"), file));
  ASSERT_TRUE(profile::writeString("Tutorial 1", "Folder", std::string("T1"), file));
  ASSERT_TRUE(profile::writeString("New", "Key", std::string("v"), file));
  EXPECT_EQ(get("Tutorial 1", "Name"), "Renamed");
  EXPECT_EQ(get("Tutorial 1", "Folder"), "T1");
  EXPECT_EQ(get("New", "Key"), "v");
  // A new key joins its section, before the blank lines that end it.
  std::string text;
  ASSERT_TRUE(files::readFile(file, text));
  EXPECT_NE(text.find("Empty=\r\nLatestVersionNumber=shadowed\r\n"), std::string::npos);
  ASSERT_TRUE(profile::writeString("Version Upgrade Info", "Added", std::string("1"), file));
  ASSERT_TRUE(files::readFile(file, text));
  EXPECT_NE(text.find("shadowed\r\nAdded=1\r\n\r\n[Tutorial 2"), std::string::npos) << text;

  ASSERT_TRUE(profile::writeString("Tutorial 1", "Folder", std::nullopt, file));
  EXPECT_EQ(get("Tutorial 1", "Folder"), "none");
  ASSERT_TRUE(profile::writeString("Version Upgrade Info", std::nullopt, std::nullopt, file));
  std::vector<std::string> names;
  profile::getSectionNames(names, 8192, file);
  EXPECT_EQ(names, (std::vector<std::string>{"Tutorial 2 - Blobs", "tutorial 1", "New"}));

  // A read-only file is not written; a file without folder lives in the Windows folder.
  ASSERT_TRUE(files::setAttributes(file, 0x1));
  EXPECT_FALSE(profile::writeString("New", "Key", std::string("w"), file));
  EXPECT_EQ(get("New", "Key"), "v");
  ASSERT_TRUE(profile::writeString("S", "K", std::string("V"), "corvanta.ini"));
  EXPECT_TRUE(files::readFile("C:\\windows\\corvanta.ini", text));
  EXPECT_FALSE(profile::writeString("S", "K", std::string("V"), "C:\\no folder\\x.ini"));
}

TEST_F(ProfileTest, Utf16FilesAreReadAndStayUtf16) {
  const std::string wide = "C:\\lists\\wide.ini";
  ASSERT_TRUE(files::writeFile(wide, "\xFF\xFE" + text::toUtf16le("[Sect]\r\nKey=Bl\xC3\xA5\r\n")));
  std::string value;
  profile::getString("sect", "key", "", value, 1024, wide);
  EXPECT_EQ(value, "Bl\xC3\xA5");
  ASSERT_TRUE(profile::writeString("Sect", "Other", std::string("x"), wide));
  std::string bytes;
  ASSERT_TRUE(files::readFile(wide, bytes));
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(text::decodeFileText(bytes), "[Sect]\r\nKey=Bl\xC3\xA5\r\nOther=x\r\n");
}

}  // namespace

namespace {

// The reading rules the content lists rely on, one file per rule.
struct ReadCase {
  const char* rule;
  std::string text;
  std::vector<std::string> sections;
  const char* section;
  const char* key;
  const char* value;
};

TEST(ProfileReading, LinesSectionsAndKeysAsWindowsReadsThem) {
  TempMachine machine;
  const std::string file = "C:\\list.ini";
  const ReadCase cases[] = {
      {"a bare CR ends a line", "[a]\rk=1\rj=2\r", {"a"}, "a", "j", "2"},
      {"a bare LF and CRLF mix", "[a]\nk=1\r\n[b]\rj=2", {"a", "b"}, "b", "j", "2"},
      {"a NUL ends the text", std::string("[a]\r\nk=1\r\n\0[b]\r\nj=2\r\n", 22), {"a"}, "b", "j",
       "none"},
      {"first [ to last ]", "[Tab [x] y]z\r\nk=1\r\n", {"Tab [x] y"}, "Tab [x] y", "k", "1"},
      {"an empty name is not listed", "[]\r\nk=1\r\n[b]\r\n", {"b"}, "", "k", "1"},
      {"a line without = is a key", "[a]\r\njust a line\r\n", {"a"}, "a", "just a line", ""},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.rule);
    ASSERT_TRUE(files::writeFile(file, c.text));
    std::vector<std::string> names;
    profile::getSectionNames(names, 8192, file);
    EXPECT_EQ(names, c.sections);
    std::string value;
    profile::getString(c.section, c.key, "none", value, 1024, file);
    EXPECT_EQ(value, c.value);
  }
}

TEST(ProfileReading, AChangedFileIsReadAgainEvenWithinTheSameSecondAndSize) {
  TempMachine machine;
  const std::string file = "C:\\list.ini";
  std::string value;
  for (const char* v : {"1", "2", "3"}) {
    ASSERT_TRUE(files::writeFile(file, std::string("[a]\r\nk=") + v + "\r\n"));
    profile::getString("a", "k", "", value, 1024, file);
    EXPECT_EQ(value, v);
  }
  ASSERT_TRUE(profile::writeString("a", std::string("k"), std::string("4"), file));
  profile::getString("a", "k", "", value, 1024, file);
  EXPECT_EQ(value, "4");
}

}  // namespace
