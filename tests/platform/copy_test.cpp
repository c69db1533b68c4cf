// The tree copy that import and move rely on: true only when every file arrived.
#include <gtest/gtest.h>

#include "platform/cancel.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

class CopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(files::createDirectory("C:\\Src"));
    ASSERT_TRUE(files::createDirectory("C:\\Src\\Deep"));
    ASSERT_TRUE(files::writeFile("C:\\Src\\a.txt", "a"));
    ASSERT_TRUE(files::writeFile("C:\\Src\\Deep\\b.txt", "bb"));
  }
  TempMachine machine;
};

TEST_F(CopyTest, AFileThatCannotArriveMakesTheCopyFail) {
  // A folder in the target holds the place of a nested file: the nested copy fails, and so
  // does the whole copy, while every other file still arrives.
  ASSERT_TRUE(files::createDirectory("C:\\Dst"));
  ASSERT_TRUE(files::createDirectory("C:\\Dst\\Deep"));
  ASSERT_TRUE(files::createDirectory("C:\\Dst\\Deep\\b.txt"));
  long counter = 0;
  EXPECT_FALSE(copyFolderRecursive("C:\\Src", "C:\\Dst", false, nullptr, nullptr, &counter));
  EXPECT_TRUE(fileExists("C:\\Dst\\a.txt"));

  // The same tree into a clean target copies completely.
  EXPECT_TRUE(copyFolderRecursive("C:\\Src", "C:\\Ok", false, nullptr, nullptr, nullptr));
  std::string data;
  ASSERT_TRUE(files::readFile("C:\\Ok\\Deep\\b.txt", data));
  EXPECT_EQ(data, "bb");
}

TEST_F(CopyTest, APathTooLongToCopyIsAFailureNotASkip) {
  std::string deep = "C:\\Src";
  while (deep.size() < 1000) {
    deep += "\\" + std::string(60, 'd');
    ASSERT_TRUE(files::createDirectory(deep));
  }
  ASSERT_TRUE(files::writeFile(deep + "\\" + std::string(40, 'f'), "lost?"));
  EXPECT_FALSE(copyFolderRecursive("C:\\Src", "C:\\Dst", false, nullptr, nullptr, nullptr));
  EXPECT_TRUE(fileExists(deep + "\\" + std::string(40, 'f')));
}

TEST_F(CopyTest, TheCancelTokenStopsTheCopyBetweenFiles) {
  for (int i = 0; i < 100; ++i)
    ASSERT_TRUE(files::writeFile("C:\\Src\\f" + std::to_string(i), "x"));
  CancelToken cancel;
  long counter = 0;
  auto progress = [&cancel](long count) {
    if (count == 25) cancel.cancel();
  };
  EXPECT_FALSE(copyFolderRecursive("C:\\Src", "C:\\Dst", false, cancel, progress, &counter));
  EXPECT_EQ(counter, 25);
  EXPECT_TRUE(copyFolderRecursive("C:\\Src", "C:\\All", false, CancelToken::never(), nullptr,
                                  &counter));
}

}  // namespace
