// The component records against what reads them: every record that can be found has a
// detection row, every row belongs to a record, every file a record downloads is in the demo
// repository, and each page picks the builds that fit the machine.
#include <gtest/gtest.h>

#include <set>

#include "engine/check_installations.h"
#include "engine/components.h"
#include "platform/file_helpers.h"

namespace {

bool hasRow(const std::string& name) {
  for (const std::string& row : mxCheckInstallations::catalogueNames())
    if (row == name) return true;
  return false;
}

TEST(ComponentRecords, EveryRecordResolvesToItsDetectionRow) {
  for (const ComponentRecord& r : componentRecords())
    EXPECT_EQ(hasRow(r.name), r.detected) << r.name;
  // The SDK itself is installed by hand from the downloaded installer; no page fetches it.
  const std::set<std::string> rowsWithoutDownload = {"Corvanta Prismal Version XI 11.0.0.614 SDK"};
  for (const std::string& row : mxCheckInstallations::catalogueNames())
    EXPECT_TRUE(findComponent(row) || rowsWithoutDownload.count(row)) << row;
}

TEST(ComponentRecords, TheDemoRepositoryCarriesEveryDownload) {
  for (const ComponentRecord& r : componentRecords()) {
    std::string path = std::string(CORVANTA_DEMO_REPO) + "/" + r.serverFolder + r.fileName;
    EXPECT_TRUE(fileExists(path)) << path;
  }
}

TEST(ComponentRecords, PagesHoldEachComponentOnce) {
  for (int p = 0; p <= static_cast<int>(ComponentPage::Utilities2); ++p)
    for (bool native64 : {false, true}) {
      auto ids = pageComponents(static_cast<ComponentPage>(p), {native64, "Windows 7"});
      EXPECT_FALSE(ids.empty());
      EXPECT_EQ(std::set<ComponentId>(ids.begin(), ids.end()).size(), ids.size()) << p;
    }
}

TEST(ComponentRecords, PagesPickTheNativeBuildAndKeepTheOthers) {
  using Id = ComponentId;
  struct Case {
    ComponentPage page;
    BuildChoice builds;
    std::size_t index;
    Id expected;
  };
  const Case cases[] = {
      {ComponentPage::CameraDrivers, {true, "Windows 7"}, 2, Id::Zcl2122Win7x64},
      {ComponentPage::CameraDrivers, {true, "Windows 7"}, 7, Id::Zcl212x86},
      {ComponentPage::CameraDrivers, {true, "Windows 7"}, 8, Id::Zcl2122Win7x86},
      {ComponentPage::CameraDrivers, {true, "Windows 7"}, 9, Id::Zcl2122Win8x86},
      {ComponentPage::CameraDrivers, {true, "Windows Vista"}, 2, Id::Zcl212x64},
      {ComponentPage::CameraDrivers, {false, "windows 8"}, 2, Id::Zcl212x86},
      {ComponentPage::CameraDrivers, {false, "Windows 8"}, 2, Id::Zcl2122Win8x86},
      {ComponentPage::CameraDrivers, {false, ""}, 5, Id::UbCore64},
      {ComponentPage::CameraDrivers2, {true, ""}, 2, Id::Pylon4Runtimex64},
      {ComponentPage::CameraDrivers2, {true, ""}, 5, Id::Pylon4Runtimex86},
      {ComponentPage::CameraDrivers2, {false, ""}, 6, Id::Pylon4Suitex86},
      {ComponentPage::Utilities2, {true, ""}, 0, Id::TightVncx64},
      {ComponentPage::Utilities2, {true, ""}, 3, Id::TightVncx86},
  };
  for (const Case& c : cases) {
    auto ids = pageComponents(c.page, c.builds);
    ASSERT_LT(c.index, ids.size());
    EXPECT_EQ(componentRecord(ids[c.index]).name, componentRecord(c.expected).name)
        << "page " << static_cast<int>(c.page) << " entry " << c.index << " on "
        << c.builds.release;
  }
}

}  // namespace
