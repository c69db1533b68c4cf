// Installer port: contexts, buffer sizes, enumeration and removal through the remove command.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/msi.h"
#include "platform/registry.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

const char* kRuntime = "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}";
const char* kVision = "{095C5AF3-9006-4B9B-BB5D-CC06B3636929}";

machine::Product product(const std::string& code, int context, const std::string& name,
                         const std::string& version, const std::string& remove = "") {
  machine::Product p;
  p.code = code;
  p.context = context;
  p.properties = {{"InstalledProductName", name}, {"VersionString", version}};
  p.removeCommand = remove;
  return p;
}

class MsiTest : public ::testing::Test {
 protected:
  TempMachine machine;
};

TEST_F(MsiTest, ProductInfoPerContext) {
  machine::registerProduct(product(kRuntime, 2, "Per user", "1.0"));
  std::string value;
  EXPECT_EQ(msi::getProductInfoEx(kRuntime, msi::MSIINSTALLCONTEXT_MACHINE, "VersionString", value, 64),
            win::ERROR_UNKNOWN_PRODUCT);
  EXPECT_EQ(msi::getProductInfoEx(kRuntime, msi::MSIINSTALLCONTEXT_USERMANAGED, "VersionString", value, 64),
            win::ERROR_UNKNOWN_PRODUCT);
  EXPECT_EQ(msi::getProductInfoEx(kRuntime, msi::MSIINSTALLCONTEXT_USERUNMANAGED, "VersionString", value, 64),
            win::ERROR_SUCCESS);
  EXPECT_EQ(value, "1.0");
  // Product codes are compared without regard to case.
  std::string lower = "{178bfcdd-5495-4fbc-b5fa-173dd2983c35}";
  EXPECT_EQ(msi::getProductInfo(lower, "InstalledProductName", value, 512), win::ERROR_SUCCESS);
  EXPECT_EQ(value, "Per user");

  // The machine context answers first once the product is there too.
  machine::registerProduct(product(kRuntime, 4, "Machine", "2.0"));
  EXPECT_EQ(msi::getProductInfo(kRuntime, "VersionString", value, 512), win::ERROR_SUCCESS);
  EXPECT_EQ(value, "2.0");
}

TEST_F(MsiTest, ProductInfoResultCodes) {
  machine::registerProduct(product(kRuntime, 4, "Corvanta Version XI 11.0.0.614 Runtime", "11.0.0.614"));
  struct Row {
    std::string code, property;
    size_t buffer;
    unsigned expected;
  } rows[] = {
      {kRuntime, "VersionString", 11, win::ERROR_SUCCESS},  // ten characters and terminator
      {kRuntime, "VersionString", 10, win::ERROR_MORE_DATA},
      {kRuntime, "InstallLocation", 64, win::ERROR_UNKNOWN_PROPERTY},
      {kVision, "VersionString", 64, win::ERROR_UNKNOWN_PRODUCT},
      {"not-a-code", "VersionString", 64, win::ERROR_INVALID_PARAMETER},
  };
  for (const Row& row : rows) {
    std::string value = "untouched";
    EXPECT_EQ(msi::getProductInfoEx(row.code, msi::MSIINSTALLCONTEXT_MACHINE, row.property, value,
                                    row.buffer),
              row.expected)
        << row.code << " " << row.property << " " << row.buffer;
    EXPECT_EQ(value, row.expected == win::ERROR_SUCCESS ? "11.0.0.614" : "untouched");
  }
}

TEST_F(MsiTest, EnumProductsListsEachCodeOnce) {
  std::string code;
  EXPECT_EQ(msi::enumProducts(0, code), win::ERROR_NO_MORE_ITEMS);
  machine::registerProduct(product(kRuntime, 4, "a", "1"));
  machine::registerProduct(product(kVision, 1, "b", "1"));
  machine::registerProduct(product(kRuntime, 2, "a", "1"));
  std::vector<std::string> codes;
  for (unsigned i = 0; msi::enumProducts(i, code) == win::ERROR_SUCCESS; ++i) codes.push_back(code);
  EXPECT_EQ(codes, (std::vector<std::string>{kRuntime, kVision}));
}

TEST_F(MsiTest, ConfigureAbsentRunsTheRemoveCommandThenUnregisters) {
  // The remove command leaves a mark with its arguments, as an uninstaller would.
  files::writeFile("C:\\uninstall.sh",
                   "#!/bin/sh\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/removed.txt\"\n");
  machine::registerProduct(product(kRuntime, 4, "rt", "1",
                                   "\"C:\\uninstall.sh\" /x \"two words\""));
  EXPECT_EQ(msi::configureProduct(kRuntime, msi::INSTALLLEVEL_DEFAULT, msi::INSTALLSTATE_ABSENT),
            win::ERROR_SUCCESS);
  std::string mark;
  ASSERT_TRUE(files::readFile("C:\\removed.txt", mark));
  EXPECT_EQ(mark, "/x|two words|");
  std::string value;
  EXPECT_EQ(msi::getProductInfo(kRuntime, "VersionString", value, 64), win::ERROR_UNKNOWN_PRODUCT);
  EXPECT_EQ(msi::configureProduct(kRuntime, 0, msi::INSTALLSTATE_ABSENT), win::ERROR_UNKNOWN_PRODUCT);
}

TEST_F(MsiTest, FailedRemoveCommandKeepsTheProduct) {
  files::writeFile("C:\\fail.sh", "#!/bin/sh\nexit 3\n");
  machine::registerProduct(product(kRuntime, 4, "rt", "1", "C:\\fail.sh"));
  machine::registerProduct(product(kVision, 4, "vs", "1", "C:\\missing.exe /x"));
  EXPECT_EQ(msi::configureProduct(kRuntime, 0, msi::INSTALLSTATE_ABSENT), 1603u);
  EXPECT_EQ(msi::configureProduct(kVision, 0, msi::INSTALLSTATE_ABSENT), 1603u);
  std::string value;
  EXPECT_EQ(msi::getProductInfo(kRuntime, "VersionString", value, 64), win::ERROR_SUCCESS);
  EXPECT_EQ(msi::getProductInfo(kVision, "VersionString", value, 64), win::ERROR_SUCCESS);
}

TEST_F(MsiTest, ProductWithoutRemoveCommandIsSimplyUnregistered) {
  machine::registerProduct(product(kRuntime, 1, "rt", "1"));
  EXPECT_EQ(msi::configureProduct(kRuntime, 0, msi::INSTALLSTATE_ABSENT), win::ERROR_SUCCESS);
  EXPECT_TRUE(machine::products().empty());
}

TEST_F(MsiTest, RegistrationRejectsBadCodesAndContexts) {
  EXPECT_ANY_THROW(machine::registerProduct(product("{178BFCDD}", 4, "x", "1")));
  EXPECT_ANY_THROW(machine::registerProduct(product(kRuntime, 3, "x", "1")));
  EXPECT_TRUE(machine::products().empty());
}

TEST_F(MsiTest, ReRegistrationReplacesTheDescription) {
  machine::registerProduct(product(kRuntime, 4, "old", "1"));
  machine::registerProduct(product(kRuntime, 4, "new", "2"));
  auto all = machine::products();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].properties["InstalledProductName"], "new");
  EXPECT_TRUE(machine::unregisterProduct(kRuntime, 4));
  EXPECT_FALSE(machine::unregisterProduct(kRuntime, 4));
}

TEST_F(MsiTest, InstallerEngineFileVersion) {
  // The way the installer-version check builds its path: forward slashes, then "\Msi.dll".
  std::string version;
  EXPECT_EQ(msi::getFileVersion("C:/windows/system32\\Msi.dll", version, 256), win::ERROR_SUCCESS);
  EXPECT_EQ(version, "5.0.7601.17514");
  EXPECT_EQ(msi::getFileVersion("C:\\windows\\system32\\msi.dll", version, 5), win::ERROR_MORE_DATA);
  EXPECT_EQ(msi::getFileVersion("C:\\windows\\system32\\none.dll", version, 256),
            win::ERROR_FILE_NOT_FOUND);
  files::writeFile("C:\\plain.txt", "no version");
  EXPECT_EQ(msi::getFileVersion("C:\\plain.txt", version, 256), 1006u);
}

TEST(MsiProfileTest, OldProfileHasAnOldInstallerEngine) {
  TempMachine machine("win2000-sp4-x86");
  std::string version;
  ASSERT_EQ(msi::getFileVersion("C:\\windows\\system32\\Msi.dll", version, 256), win::ERROR_SUCCESS);
  EXPECT_EQ(version.substr(0, 2), "2.");
  EXPECT_FALSE(registry::keyExists(registry::Hive::LocalMachine,
                                   "SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727"));
}

}  // namespace
