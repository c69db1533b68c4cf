// File and folder helpers on the machine's file system: the Windows edge cases they keep.
#include <gtest/gtest.h>

#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

class FileHelpersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(files::createDirectory("C:\\Data"));
    ASSERT_TRUE(files::createDirectory("C:\\Data\\Sub"));
    ASSERT_TRUE(files::writeFile("C:\\Data\\a.txt", std::string(1023, 'a')));
    ASSERT_TRUE(files::writeFile("C:\\Data\\b.txt", std::string(1023, 'b')));
    ASSERT_TRUE(files::writeFile("C:\\Data\\Sub\\c.txt", std::string(1023, 'c')));
  }
  TempMachine machine;
};

TEST_F(FileHelpersTest, FileExists) {
  struct Row {
    const char* path;
    bool exists;
  } rows[] = {{"C:\\Data", true},       {"C:\\Data\\", false},   {"c:\\data\\A.TXT", true},
              {"C:\\Data\\*.txt", true}, {"C:\\Data\\*.doc", false}, {"C:\\Nothing", false},
              {"", false}};
  for (const Row& row : rows) EXPECT_EQ(fileExists(row.path), row.exists) << row.path;
}

TEST_F(FileHelpersTest, DeleteFolderRecursive) {
  ASSERT_TRUE(files::createDirectory("C:\\abc"));
  EXPECT_FALSE(deleteFolderRecursive("C:\\abc", "C:\\abc"));  // six characters: refused
  EXPECT_TRUE(fileExists("C:\\abc"));
  ASSERT_TRUE(files::createDirectory("C:\\abcd"));
  EXPECT_TRUE(deleteFolderRecursive("C:\\abcd", "C:\\abcd"));
  EXPECT_FALSE(fileExists("C:\\abcd"));
  EXPECT_FALSE(deleteFolderRecursive("C:\\Data", "Elsewhere"));  // the guard is not in it
  // A read-only file goes too: its attributes are reset first.
  ASSERT_TRUE(files::setAttributes("C:\\Data\\Sub\\c.txt", win::FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(deleteFolderRecursive("C:\\Data", "C:\\Data"));
  EXPECT_FALSE(fileExists("C:\\Data"));
}

TEST_F(FileHelpersTest, CopyMeasureAndMove) {
  ASSERT_TRUE(files::createDirectory("C:\\Copy"));
  ASSERT_TRUE(files::writeFile("C:\\Copy\\a.txt", "mine"));
  long counter = 0;
  EXPECT_TRUE(copyFolderRecursive("C:\\Data", "C:\\Copy", false, nullptr, nullptr, &counter));
  EXPECT_EQ(counter, 3);  // the file that stayed is counted too
  std::string text;
  ASSERT_TRUE(files::readFile("C:\\Copy\\a.txt", text));
  EXPECT_EQ(text, "mine");
  EXPECT_TRUE(fileExists("C:\\Copy\\Sub\\c.txt"));
  volatile bool cancel = true;
  EXPECT_FALSE(copyFolderRecursive("C:\\Data", "C:\\Copy2", true, &cancel, nullptr, nullptr));

  long count = -1;
  uint64_t kib = 99;
  EXPECT_TRUE(measureFolder("C:\\Data", count, kib));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(kib, 0u);  // every file rounds down on its own

  ASSERT_TRUE(files::setAttributes("C:\\Copy\\a.txt", win::FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(moveFileReplacing("C:\\Copy\\a.txt", "C:\\Data\\b.txt"));
  ASSERT_TRUE(files::readFile("C:\\Copy\\a.txt", text));
  EXPECT_EQ(text, std::string(1023, 'b'));
  EXPECT_FALSE(moveFileReplacing("C:\\Copy\\x.txt", "C:\\Data\\b.txt"));  // the source is gone
}

}  // namespace
