// Older profiles listed, duplicate selections left out, and copy or move that never loses a
// file.
#include <gtest/gtest.h>

#include <algorithm>

#include "migration/older_data.h"
#include "migration/profiles.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "tests/support/temp_machine.h"

using namespace migration;
namespace files = platform::files;

namespace {

class MigrationProfiles : public ::testing::Test {
 protected:
  void SetUp() override {
    docs = getDocumentsFolder();
    for (const char* version : {"Corvanta 9.3", "Corvanta 10.1", "Corvanta 11.0"}) {
      ASSERT_TRUE(files::createDirectory(docs + "\\" + version));
      ASSERT_TRUE(files::createDirectory(docs + "\\" + version + "\\Profiles"));
    }
    profile("Corvanta 10.1", "Line1");
    profile("Corvanta 11.0", "LINE1");
    profile("Corvanta 9.3", "Line2");
    profile("Corvanta 10.1", "Line2");
    profile("Corvanta 10.1", "Line3");
  }
  void profile(const std::string& version, const std::string& name) {
    std::string folder = docs + "\\" + version + "\\Profiles\\" + name;
    ASSERT_TRUE(files::createDirectory(folder));
    ASSERT_TRUE(files::writeFile(folder + "\\p.prf", version));
  }
  static std::vector<std::string> names(const std::vector<VersionProfiles>& list) {
    std::vector<std::string> out;
    for (const VersionProfiles& v : list)
      for (const ProfileItem& p : v.profiles) out.push_back(v.version + "/" + p.name);
    return out;
  }
  static void select(std::vector<VersionProfiles>& list, const std::string& which) {
    for (VersionProfiles& v : list)
      for (ProfileItem& p : v.profiles)
        if (v.version + "/" + p.name == which) p.selected = true;
  }
  TempMachine machine;
  std::string docs;
};

TEST_F(MigrationProfiles, ListLeavesOutCurrentProfilesAndDuplicatesAreFound) {
  auto list = buildProfileList(docs);
  auto listed = names(list);
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"Corvanta 10.1/Line2", "Corvanta 10.1/Line3",
                                              "Corvanta 9.3/Line2"}));
  ASSERT_EQ(list.front().version, "Corvanta 9.3");

  select(list, "Corvanta 10.1/Line2");
  EXPECT_TRUE(duplicateSelection(list).empty());  // unticked under 9.3: no duplicate
  select(list, "Corvanta 9.3/Line2");
  select(list, "Corvanta 10.1/Line3");
  auto duplicates = duplicateSelection(list);
  EXPECT_EQ(duplicates, (std::vector<std::string>{"Line2"}));
  deselectNamed(list, duplicates);
  EXPECT_EQ(countSelectedProfiles(list), 1);  // both Line2 left out, Line3 stays
}

TEST_F(MigrationProfiles, MoveDeletesOnlyWhatArrivedAndCopyKeepsExistingFiles) {
  auto list = buildProfileList(docs);
  select(list, "Corvanta 10.1/Line2");
  select(list, "Corvanta 10.1/Line3");
  // Line3 cannot arrive whole: a folder now holds the place of its file in the target.
  ASSERT_TRUE(files::createDirectory(docs + "\\Corvanta 11.0\\Profiles\\Line3"));
  ASSERT_TRUE(files::createDirectory(docs + "\\Corvanta 11.0\\Profiles\\Line3\\p.prf"));
  std::vector<int> heard;
  CopyMoveResult result = copyMoveProfiles(docs, list, true, platform::CancelToken::never(),
                                           [&heard](int n) { heard.push_back(n); });
  EXPECT_EQ(result.done, 1);
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(heard, (std::vector<int>{1, 2}));
  EXPECT_FALSE(fileExists(docs + "\\Corvanta 10.1\\Profiles\\Line2"));
  EXPECT_TRUE(fileExists(docs + "\\Corvanta 11.0\\Profiles\\Line2\\p.prf"));
  EXPECT_TRUE(fileExists(docs + "\\Corvanta 10.1\\Profiles\\Line3\\p.prf"));  // kept

  // A copy into a profile that exists keeps the file there; the source stays.
  auto again = std::vector<VersionProfiles>{scanVersionProfiles(docs, "Corvanta 9.3", nullptr)};
  select(again, "Corvanta 9.3/Line2");
  EXPECT_EQ(copyMoveProfiles(docs, again, false, platform::CancelToken::never(), nullptr).done, 1);
  std::string text;
  ASSERT_TRUE(files::readFile(docs + "\\Corvanta 11.0\\Profiles\\Line2\\p.prf", text));
  EXPECT_EQ(text, "Corvanta 10.1");
  EXPECT_TRUE(fileExists(docs + "\\Corvanta 9.3\\Profiles\\Line2\\p.prf"));
}

}  // namespace
