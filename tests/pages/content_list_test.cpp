// The content lists: the sectioned reader's two passes and first-value rule, and the tabs of
// both list formats.
#include <gtest/gtest.h>

#include "content/content_list.h"
#include "platform/files.h"
#include "tests/support/temp_machine.h"

namespace {

namespace files = platform::files;

TEST(ContentList, SectionedListsAsTheServerWritesThem) {
  TempMachine machine;
  const std::string file = "C:\\614CTC.txt";
  ASSERT_TRUE(files::writeFile(file,
                               "Name=before any header\r\n"
                               "[2D]\r\nName=First\r\nName=Second\r\nURL=http://h/a?x=1&y=2\r\n"
                               "  [2D]  \r\nName=\r\nname=Kept\r\n=value\r\nClassName =blank\r\n"
                               "[2D] trailing\r\n"
                               "[2D]\r\nVersionLabel=1.0.0.2\r\n"
                               "[3D]\nInfoText=three\n"
                               "[]\r\n"
                               "[2d]\r\nName=later\r\n"));
  mxContentList list;
  ASSERT_EQ(list.load(file), mxContentList::kRead);
  ASSERT_EQ(list.count(), 5);
  const auto& e = list.entries();
  EXPECT_EQ(e[0].name, "First");
  EXPECT_EQ(e[0].url, "http://h/a?x=1&y=2");
  EXPECT_EQ(e[1].name, "Kept");
  EXPECT_EQ(e[1].className, "");  // "ClassName " is another key
  EXPECT_EQ(e[2].versionLabel, "1.0.0.2");
  EXPECT_EQ(e[3].infoText, "three");
  EXPECT_EQ(e[4].section, "2d");
  std::vector<std::string> tabs;
  EXPECT_EQ(list.collectSections(&tabs), 1);
  EXPECT_EQ(tabs, (std::vector<std::string>{"2D", "3D"}));
  EXPECT_EQ(list.collectSections(nullptr), -1);

  ASSERT_TRUE(files::writeFile(file, "Name=a\r\nURL=b\r\n"));
  EXPECT_EQ(list.load(file), mxContentList::kRead);
  EXPECT_EQ(list.count(), 0);
  EXPECT_EQ(list.load("C:\\missing.txt"), mxContentList::kMissing);
  EXPECT_TRUE(list.loaded());
}

TEST(ContentList, TabsOfIniListsAndWhichSectionsTheyHold) {
  TempMachine machine;
  const std::string file = "C:\\614tutorials.ini.txt";
  ASSERT_TRUE(files::writeFile(file,
                               "[Getting Started]\r\nCaption=a\r\n"
                               "[Tutorial 1 - Blobs]\r\n[Tutorial 2 - Blobs]\r\n"
                               "[Basics]\r\n[Advanced 3 - blobs]\r\n"));
  EXPECT_EQ(iniListTabNames(file),
            (std::vector<std::string>{" Started", " 1 - Blobs", " 2 - Blobs", "Basics",
                                      " 3 - blobs"}));
  EXPECT_TRUE(sectionInTab("Tutorial 2 - Blobs", " 2 - BLOBS"));
  EXPECT_FALSE(sectionInTab("Basics", " Started"));
  // A list without sections has no tabs at all.
  ASSERT_TRUE(files::writeFile(file, "Caption=orphan\r\n"));
  EXPECT_TRUE(iniListTabNames(file).empty());
  EXPECT_EQ(tabNameOfSection(""), "");
}

}  // namespace
