// File port: find, attributes, the read-only rule, copy and move.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

std::vector<std::string> names(const std::vector<files::FindData>& found) {
  std::vector<std::string> list;
  for (const auto& f : found) list.push_back(f.name);
  return list;
}

std::string content(const std::string& path) {
  std::string data;
  return files::readFile(path, data) ? data : "<missing>";
}

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(files::createDirectory("C:\\Data"));
    ASSERT_TRUE(files::createDirectory("C:\\Data\\Sub"));
    ASSERT_TRUE(files::writeFile("C:\\Data\\Alpha.txt", "alpha"));
    ASSERT_TRUE(files::writeFile("C:\\Data\\beta.TXT", "beta!"));
    ASSERT_TRUE(files::writeFile("C:\\Data\\gamma", "g"));
  }
  TempMachine machine;
};

TEST_F(FilesTest, FindPatterns) {
  struct Row {
    const char* pattern;
    std::vector<std::string> expected;
  } rows[] = {
      {"C:\\Data\\*", {".", "..", "Alpha.txt", "beta.TXT", "gamma", "Sub"}},
      {"C:\\data\\*.*", {".", "..", "Alpha.txt", "beta.TXT", "gamma", "Sub"}},
      {"C:\\Data\\*.txt", {"Alpha.txt", "beta.TXT"}},
      {"c:/DATA/?eta.*", {"beta.TXT"}},
      {"C:\\Data\\a*", {"Alpha.txt"}},
      {"C:\\Data\\*a", {"gamma"}},
      {"C:\\Data\\alpha.txt", {"Alpha.txt"}},  // stored name, not the asked spelling
      {"C:\\Data\\sub", {"Sub"}},              // a folder matches itself
      {"C:\\Data\\Sub\\", {}},                 // a trailing backslash matches nothing
      {"C:\\Data\\Sub\\*", {".", ".."}},
      {"C:\\Data\\none*", {}},
      {"C:\\Missing\\*", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(names(files::find(row.pattern)), row.expected) << row.pattern;

  auto found = files::find("C:\\Data\\beta.txt");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].size, 5u);
  EXPECT_EQ(found[0].attributes & win::FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(files::find("C:\\Data\\Sub")[0].attributes & win::FILE_ATTRIBUTE_DIRECTORY, 0u);
  // The root of a drive has no "." and "..".
  auto top = names(files::find("C:\\*"));
  EXPECT_EQ(std::count(top.begin(), top.end(), "."), 0);
  EXPECT_EQ(std::count(top.begin(), top.end(), "windows"), 1);
}

TEST_F(FilesTest, FindListsInTheFileSystemsOrder) {
  files::createDirectory("C:\\Order");
  for (const char* name : {"_under", "apple", "Zeta", "beta"})
    files::writeFile(std::string("C:\\Order\\") + name, "");
  EXPECT_EQ(names(files::find("C:\\Order\\*")),
            (std::vector<std::string>{".", "..", "apple", "beta", "Zeta", "_under"}));
}

TEST_F(FilesTest, ReadOnlyIsEnforcedEvenForRoot) {
  const std::string f = "C:\\Data\\Alpha.txt";
  ASSERT_TRUE(files::setAttributes(f, win::FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(files::getAttributes(f) & win::FILE_ATTRIBUTE_READONLY, win::FILE_ATTRIBUTE_READONLY);
  struct stat st;
  ASSERT_EQ(stat(machine.host(f).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & S_IWUSR, 0u);

  EXPECT_FALSE(files::deleteFile(f));
  EXPECT_FALSE(files::writeFile(f, "changed"));
  EXPECT_EQ(files::OutputFile::create(f), nullptr);
  EXPECT_FALSE(files::copyFile("C:\\Data\\beta.TXT", f, false));
  EXPECT_FALSE(files::moveFileEx("C:\\Data\\beta.TXT", f, win::MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(content(f), "alpha");
  EXPECT_EQ(content("C:\\Data\\beta.TXT"), "beta!");

  // The probe's way out: archive only, then delete.
  ASSERT_TRUE(files::setAttributes(f, win::FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(files::getAttributes(f) & win::FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(files::deleteFile(f));
  EXPECT_EQ(files::getAttributes(f), win::INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, FoldersCreateAndRemove) {
  EXPECT_FALSE(files::createDirectory("C:\\Data\\sub"));          // exists, other case
  EXPECT_FALSE(files::createDirectory("C:\\Nowhere\\Child"));     // parent missing
  EXPECT_TRUE(files::createDirectory("C:\\Data\\New Folder\\"));  // trailing separator allowed
  EXPECT_TRUE(files::isDirectory("c:\\data\\new folder"));
  EXPECT_FALSE(files::removeDirectory("C:\\Data"));  // not empty
  EXPECT_FALSE(files::deleteFile("C:\\Data\\Sub"));  // a folder is no file
  EXPECT_TRUE(files::removeDirectory("C:\\Data\\new folder"));
  EXPECT_FALSE(files::isDirectory("C:\\Data\\New Folder"));
  EXPECT_FALSE(files::isDirectory("C:\\Data\\gamma"));
  EXPECT_EQ(files::getAttributes("C:\\Data\\gamma\\"), win::INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, CopyFile) {
  EXPECT_TRUE(files::copyFile("C:\\Data\\Alpha.txt", "C:\\Data\\Sub\\copy.txt", true));
  EXPECT_EQ(content("C:\\Data\\Sub\\copy.txt"), "alpha");
  EXPECT_FALSE(files::copyFile("C:\\Data\\beta.TXT", "C:\\Data\\Sub\\COPY.txt", true));
  EXPECT_EQ(content("C:\\Data\\Sub\\copy.txt"), "alpha");
  EXPECT_TRUE(files::copyFile("C:\\Data\\beta.TXT", "C:\\Data\\Sub\\COPY.txt", false));
  EXPECT_EQ(content("C:\\Data\\Sub\\copy.txt"), "beta!");
  EXPECT_EQ(names(files::find("C:\\Data\\Sub\\*.txt")), std::vector<std::string>{"copy.txt"});
  // The copy keeps the last-write time (the same-file test compares it).
  EXPECT_EQ(files::find("C:\\Data\\Sub\\copy.txt")[0].lastWriteTime,
            files::find("C:\\Data\\beta.TXT")[0].lastWriteTime);
  // Onto itself would destroy the data.
  EXPECT_FALSE(files::copyFile("C:\\Data\\Alpha.txt", "c:\\data\\ALPHA.TXT", false));
  EXPECT_EQ(content("C:\\Data\\Alpha.txt"), "alpha");
  EXPECT_FALSE(files::copyFile("C:\\Data\\missing", "C:\\Data\\x", false));
  EXPECT_FALSE(files::copyFile("C:\\Data\\Sub", "C:\\Data\\x", false));
  EXPECT_FALSE(files::copyFile("C:\\Data\\gamma", "C:\\Nowhere\\x", false));
}

TEST_F(FilesTest, MoveFileEx) {
  EXPECT_FALSE(files::moveFileEx("C:\\Data\\Alpha.txt", "C:\\Data\\beta.txt", 0));
  EXPECT_EQ(content("C:\\Data\\beta.TXT"), "beta!");
  EXPECT_TRUE(files::moveFileEx("C:\\Data\\Alpha.txt", "C:\\Data\\beta.txt",
                                win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(content("C:\\Data\\beta.TXT"), "alpha");
  EXPECT_EQ(files::getAttributes("C:\\Data\\Alpha.txt"), win::INVALID_FILE_ATTRIBUTES);
  // A folder moves too, but never replaces anything.
  EXPECT_TRUE(files::moveFileEx("C:\\Data\\Sub", "C:\\Moved", 0));
  EXPECT_TRUE(files::isDirectory("C:\\Moved"));
  EXPECT_FALSE(files::moveFileEx("C:\\Data\\gamma", "C:\\Moved", win::MOVEFILE_REPLACE_EXISTING));
  // Renaming to another letter case is allowed and takes the new spelling.
  EXPECT_TRUE(files::moveFileEx("C:\\Data\\gamma", "C:\\Data\\GAMMA", 0));
  EXPECT_EQ(names(files::find("C:\\Data\\g*")), std::vector<std::string>{"GAMMA"});
  EXPECT_FALSE(files::moveFileEx("C:\\Data\\nothing", "C:\\Data\\x", win::MOVEFILE_COPY_ALLOWED));
}

TEST_F(FilesTest, OutputFileAndDiskSpace) {
  auto out = files::OutputFile::create("C:\\Data\\Sub\\out.bin");
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(out->write("abc", 3));
  EXPECT_TRUE(out->write("def", 3));
  EXPECT_TRUE(out->close());
  EXPECT_EQ(content("C:\\Data\\Sub\\out.bin"), "abcdef");
  EXPECT_EQ(files::OutputFile::create("C:\\Data\\Sub"), nullptr);
  EXPECT_EQ(files::OutputFile::create("C:\\Nowhere\\x"), nullptr);
  uint64_t freeBytes = 0;
  EXPECT_TRUE(files::diskFreeSpace("C:\\", freeBytes));
  EXPECT_GT(freeBytes, 0u);
  EXPECT_FALSE(files::diskFreeSpace("C:\\Nowhere\\", freeBytes));
  EXPECT_EQ(files::nativePath("C:\\Data\\gamma"), machine.root() + "/drive_c/Data/gamma");
}

}  // namespace
