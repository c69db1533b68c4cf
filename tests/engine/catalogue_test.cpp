// Detection primitives and the installer-product rows of the catalogue against a fresh
// emulated machine.
#include <gtest/gtest.h>

#include "engine/check_installations.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "tests/support/temp_machine.h"

namespace reg = platform::registry;

namespace {

const char* const kRuntimeCode = "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}";
const char* const kRuntimeName = "Corvanta Version XI 11.0.0.614 Runtime";
const char* const kVisionCode = "{095C5AF3-9006-4B9B-BB5D-CC06B3636929}";
const char* const kVisionName = "Corvanta Vision Software Version XI 11.0.0.614";

void registerProduct(const std::string& code, const std::string& name, int context = 4,
                     const std::string& version = "11.0.0.614") {
  platform::machine::Product p;
  p.code = code;
  p.context = context;
  p.properties = {{"VersionString", version}, {"InstalledProductName", name}};
  platform::machine::registerProduct(p);
}

ComponentEntry entryNamed(const std::string& name, std::string* state) {
  return ComponentEntry(name.c_str(), "", "", "", "", false, false, nullptr, state, nullptr, "");
}

class CatalogueTest : public ::testing::Test {
 protected:
  TempMachine machine_;
  std::string state_;
};

TEST_F(CatalogueTest, ProductCountsInEveryContext) {
  for (int context : {4, 1, 2}) {
    TempMachine fresh;
    EXPECT_FALSE(mxCheckInstallations::isMsiProductInstalled(kRuntimeCode));
    registerProduct(kRuntimeCode, kRuntimeName, context);
    EXPECT_TRUE(mxCheckInstallations::isMsiProductInstalled(kRuntimeCode)) << context;
  }
}

TEST_F(CatalogueTest, VersionAndNameComparisonsIgnoreCase) {
  registerProduct(kRuntimeCode, "CORVANTA version XI 11.0.0.614 runtime", 4, "11.0.0.614");
  EXPECT_TRUE(mxCheckInstallations::isMsiProductVersion(kRuntimeCode, "11.0.0.614"));
  EXPECT_FALSE(mxCheckInstallations::isMsiProductVersion(kRuntimeCode, "11.0.0.61"));
  EXPECT_FALSE(mxCheckInstallations::isMsiProductNameDifferent(kRuntimeCode, kRuntimeName));
  EXPECT_TRUE(mxCheckInstallations::isMsiProductNameDifferent(kRuntimeCode, "Other"));
  // A product that is not there has no name to differ.
  EXPECT_FALSE(mxCheckInstallations::isMsiProductNameDifferent(kVisionCode, "Other"));
}

TEST_F(CatalogueTest, RowStatesOfTheCoreComponents) {
  auto runtime = entryNamed("corvanta version xi 11.0.0.614 RUNTIME", &state_);
  EXPECT_FALSE(mxCheckInstallations::isComponentInstalled(runtime));
  registerProduct(kRuntimeCode, "Corvanta Version X 10.0 Runtime");
  ASSERT_TRUE(mxCheckInstallations::isComponentInstalled(runtime));
  runtime.setState(mxCheckInstallations::evaluateComponentState(runtime));
  EXPECT_EQ(state_, "Version Mismatch");
  EXPECT_TRUE(mxCheckInstallations::needsRepair(runtime));

  registerProduct(kVisionCode, kVisionName);
  auto vision = entryNamed(kVisionName, &state_);
  vision.setState(mxCheckInstallations::evaluateComponentState(vision));
  EXPECT_EQ(state_, "Installed");
  EXPECT_FALSE(mxCheckInstallations::needsRepair(vision));
  EXPECT_EQ(mxCheckInstallations::repairComponent(vision), 1);
}

TEST_F(CatalogueTest, NamesWithoutARowAreNeverPresentNorRemovable) {
  for (const char* name : {"Imaging Source Camera Driver",
                           "Corvanta Prismal SDK Version XI 11.0.0.614 Installer",
                           "New Version Installer"}) {
    auto e = entryNamed(name, &state_);
    EXPECT_FALSE(mxCheckInstallations::isComponentInstalled(e)) << name;
    EXPECT_FALSE(mxCheckInstallations::removeComponent(e)) << name;
  }
}

TEST_F(CatalogueTest, RemovalGoesThroughTheInstallerDatabase) {
  registerProduct(kVisionCode, kVisionName);
  auto vision = entryNamed(kVisionName, &state_);
  EXPECT_TRUE(mxCheckInstallations::removeComponent(vision));
  EXPECT_FALSE(mxCheckInstallations::isComponentInstalled(vision));
  EXPECT_FALSE(mxCheckInstallations::removeMsiProduct(kVisionCode));
}

TEST_F(CatalogueTest, RuntimeFolderNeedsProductNameAndKey) {
  std::string folder;
  EXPECT_FALSE(mxCheckInstallations::getRuntimeFolder(folder));
  registerProduct(kRuntimeCode, kRuntimeName);
  EXPECT_FALSE(mxCheckInstallations::getRuntimeFolder(folder));  // no maker key yet
  std::string key = std::string("SOFTWARE\\BRENHOLM AS\\") + kRuntimeName;
  reg::createKey(reg::Hive::LocalMachine, key);
  // A missing or empty value is no folder: file names would become relative paths.
  EXPECT_FALSE(mxCheckInstallations::getRuntimeFolder(folder));
  reg::setValue(reg::Hive::LocalMachine, key, "InstallPath",
                reg::Value::string("C:\\Program Files (x86)\\Corvanta\\Runtime\\"));
  EXPECT_TRUE(mxCheckInstallations::getRuntimeFolder(folder));
  EXPECT_EQ(folder, "C:\\Program Files (x86)\\Corvanta\\Runtime\\");
  reg::setValue(reg::Hive::LocalMachine, key, "InstallPath",
                reg::Value::string("C:\\Corvanta\\Runtime"));
  EXPECT_TRUE(mxCheckInstallations::getRuntimeFolder(folder));
  EXPECT_EQ(folder, "C:\\Corvanta\\Runtime\\");
  // A value longer than the 260-byte buffer is not read at all.
  reg::setValue(reg::Hive::LocalMachine, key, "InstallPath",
                reg::Value::string("C:\\" + std::string(300, 'x')));
  EXPECT_FALSE(mxCheckInstallations::getRuntimeFolder(folder));
}

TEST_F(CatalogueTest, UninstallValuesAreComparedUnderBothRoots) {
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Speccy";
  EXPECT_FALSE(mxCheckInstallations::isUninstallKeyPresent("Speccy"));
  reg::setValue(reg::Hive::CurrentUser, key, "DisplayVersion", reg::Value::string("1.25"));
  EXPECT_TRUE(mxCheckInstallations::isUninstallKeyPresent("speccy"));
  EXPECT_TRUE(mxCheckInstallations::isUninstallValueEqual("Speccy", "DisplayVersion", "1.25"));
  reg::setValue(reg::Hive::LocalMachine, key, "DisplayVersion", reg::Value::string("1.24"));
  // The machine's value differs; the user's still matches.
  EXPECT_TRUE(mxCheckInstallations::isUninstallValueEqual("Speccy", "DisplayVersion", "1.25"));
  // The comparison is exact.
  EXPECT_FALSE(mxCheckInstallations::isUninstallValueEqual("Speccy", "DisplayVersion", "1.2"));
  EXPECT_FALSE(mxCheckInstallations::isUninstallValueEqual("Speccy", "Missing", ""));
}

}  // namespace
