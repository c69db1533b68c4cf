// Older-version data: the version folders found, the settings file rewrite (hostile files
// included) and the template folders.
#include <gtest/gtest.h>

#include "migration/older_data.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "tests/support/temp_machine.h"

using namespace migration;
namespace files = platform::files;

namespace {

class MigrationImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    docs = getDocumentsFolder();
    ASSERT_FALSE(docs.empty());
  }
  TempMachine machine;
  std::string docs;
};

TEST_F(MigrationImportTest, VersionNumbersAndOlderFolders) {
  struct Row {
    const char* name;
    bool parsed;
    int major, minor;
  } rows[] = {{"Corvanta 11.0", true, 11, 0},  {"Corvanta 10.12", true, 10, 12},
              {"Corvanta 11", false, 0, 0},    {"Corvanta x.1", false, 0, 0},
              {"Corvanta 11.0b", false, 0, 0}, {"Corvanta11.0", false, 0, 0}};
  for (const Row& row : rows) {
    int major = -1, minor = -1;
    EXPECT_EQ(parseCurrentVersionNumber(row.name, major, minor), row.parsed) << row.name;
    EXPECT_EQ(major, row.major) << row.name;
    EXPECT_EQ(minor, row.minor) << row.name;
  }
  EXPECT_FALSE(isOlderDataImportNeeded(docs));
  ASSERT_TRUE(files::createDirectory(docs + "\\Corvanta 10.1"));
  ASSERT_TRUE(files::createDirectory(docs + "\\Corvanta 9.2"));
  ASSERT_TRUE(files::createDirectory(docs + "\\Corvanta 10.9"));  // not a candidate
  EXPECT_EQ(listOlderVersionFolders(docs),
            (std::vector<std::string>{"Corvanta 9.2", "Corvanta 10.1"}));
  EXPECT_TRUE(isOlderDataImportNeeded(docs));
  ASSERT_TRUE(files::createDirectory(docs + "\\Corvanta 11.0"));
  EXPECT_FALSE(isOlderDataImportNeeded(docs));
}

TEST_F(MigrationImportTest, RewriteTouchesOnlyWholeOldFoldersInTheHistorySections) {
  const std::string from = "C:\\Docs\\Corvanta 10.1";
  const std::string to = "C:\\Docs\\Corvanta 11.0";
  struct Row {
    const char* what;
    std::string in, out;
  } rows[] = {
      {"history line, any case", "[Config.ProfileHistory]\nP=c:\\DOCS\\corvanta 10.1\\A\\x.prf\n",
       "[Config.ProfileHistory]\nP=" + to + "\\A\\x.prf\n"},
      {"other section", "[Camera]\nP=C:\\Docs\\Corvanta 10.1\\x\n",
       "[Camera]\nP=C:\\Docs\\Corvanta 10.1\\x\n"},
      {"before any header", "P=C:\\Docs\\Corvanta 10.1\\x\n[config]\n",
       "P=C:\\Docs\\Corvanta 10.1\\x\n[config]\n"},
      {"ends or begins with it", "[CONFIG]\nP=C:\\Docs\\Corvanta 10.1\nC:\\Docs\\Corvanta 10.1\\x\n",
       "[CONFIG]\nP=C:\\Docs\\Corvanta 10.1\nC:\\Docs\\Corvanta 10.1\\x\n"},
      {"not a whole folder", "[Config]\nP=C:\\Docs\\Corvanta 10.10\\Corvanta 10.1\\x\n",
       "[Config]\nP=C:\\Docs\\Corvanta 10.10\\Corvanta 10.1\\x\n"},
      {"CRLF and a BOM", "\xEF\xBB\xBF[Config.ArchiveHistory]\r\nA=C:\\Docs\\Corvanta 10.1\\h\r\n",
       "\xEF\xBB\xBF[Config.ArchiveHistory]\r\nA=" + to + "\\h\r\n"},
      {"switched off again", "[Config]\n[Other]\nP=C:\\Docs\\Corvanta 10.1\\x",
       "[Config]\n[Other]\nP=C:\\Docs\\Corvanta 10.1\\x"},
      {"NUL bytes and a long line",
       std::string("[Config]\nP=C:\\Docs\\Corvanta 10.1\\x\0y", 37) + std::string(5000, 'L'),
       std::string("[Config]\nP=C:\\Docs\\Corvanta 11.0\\x\0y", 37) + std::string(5000, 'L')},
  };
  for (const Row& row : rows)
    EXPECT_EQ(rewriteCorvantaIniText(row.in, from, to), row.out) << row.what;
  // Printf and pattern characters in the new folder arrive literally.
  const std::string odd = "C:\\D%s$1[a]\\.*%n";
  EXPECT_EQ(rewriteCorvantaIniText("[config]\nP=C:\\Docs\\Corvanta 10.1\\x\n", from, odd),
            "[config]\nP=" + odd + "\\x\n");
}

TEST_F(MigrationImportTest, TheFileIsReplacedWholeOrNotAtAll) {
  const std::string from = docs + "\\Corvanta 10.1";
  const std::string to = docs + "\\Corvanta 11.0";
  ASSERT_TRUE(files::createDirectory(to));
  const std::string ini = to + "\\Corvanta.ini";
  ASSERT_TRUE(files::writeFile(ini, "[Config]\r\nP=" + from + "\\p\r\n"));
  EXPECT_TRUE(rewriteCorvantaIni(to, from));
  std::string text;
  ASSERT_TRUE(files::readFile(ini, text));
  EXPECT_EQ(text, "[Config]\r\nP=" + to + "\\p\r\n");
  EXPECT_FALSE(fileExists(to + "\\Corvanta.initmp"));

  // A folder in the temporary file's place makes staging fail: the file stays as it was.
  const std::string before = "[Config]\nP=" + from + "\\q\n";
  ASSERT_TRUE(files::writeFile(ini, before));
  ASSERT_TRUE(files::createDirectory(to + "\\Corvanta.initmp"));
  EXPECT_FALSE(rewriteCorvantaIni(to, from));
  ASSERT_TRUE(files::readFile(ini, text));
  EXPECT_EQ(text, before);
  ASSERT_TRUE(files::removeDirectory(to + "\\Corvanta.initmp"));

  EXPECT_FALSE(rewriteCorvantaIni(docs + "\\Nowhere", from));
  EXPECT_FALSE(fileExists(docs + "\\Nowhere\\Corvanta.initmp"));
}

TEST_F(MigrationImportTest, TemplateFoldersAndPercent) {
  std::string oldT, newT;
  EXPECT_TRUE(templateFolders("C:\\Program Files\\Corvanta 11.0\\Runtime\\", "Corvanta 10.1",
                              oldT, newT));
  EXPECT_EQ(oldT, "C:\\Program Files\\Corvanta 10.1\\Runtime\\Templates");
  EXPECT_EQ(newT, "C:\\Program Files\\Corvanta 11.0\\Runtime\\Templates");
  EXPECT_FALSE(templateFolders("C:\\Demo\\Runtime\\", "Corvanta 10.1", oldT, newT));

  struct Row {
    long count, total;
    int percent;
  } rows[] = {{0, 0, 100}, {5, 0, 100}, {1, 3, 33}, {9, 4, 100}};
  for (const Row& row : rows)
    EXPECT_EQ(progressPercent(row.count, row.total), row.percent) << row.count << "/" << row.total;
}

}  // namespace
