// The camera driver pages: the builds each Windows gets, and the one-package-at-a-time lists
// against the demo server.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "pages/camera_pages.h"
#include "pages/core_components_pages.h"
#include "pages/wizard_pages.h"
#include "platform/file_helpers.h"
#include "platform/win_types.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kFirstPage = 15, kSecondPage = 16;
using First = qnDInstall3rdPartyInstallations;
using Second = qnDInstall3rdPartyInstallations2;

struct OsCase {
  const char* profile;
  const char* ubCore;  // entry 0
  const char* zcl;     // entry 2
  const char* otherZcl713;  // entries 7 (2.12) and 8 (2.12.2 Windows 7), the other builds
  const char* pylon;   // the pylon list's first item
};

class CameraBuilds : public ::testing::TestWithParam<OsCase> {};

TEST_P(CameraBuilds, EachWindowsGetsItsBuildsAndKeepsTheOthers) {
  const OsCase& c = GetParam();
  TempMachine machine(c.profile);
  First first("first");
  Second second("second");
  second.initPageControls();
  EXPECT_EQ(first.strings(0).name, c.ubCore);
  EXPECT_EQ(first.strings(2).name, c.zcl);
  EXPECT_EQ(first.strings(7).name + " | " + first.strings(8).name, c.otherZcl713);
  ASSERT_FALSE(second.control(Second::kPylonList)->items.empty());
  EXPECT_EQ(second.control(Second::kPylonList)->items[0], c.pylon);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, CameraBuilds,
    ::testing::Values(
        OsCase{"win7-sp1-x64", "ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit",
               "ZCL for SONYGigECAM 2.12.2 - Windows 7 (64 bit)",
               "ZCL for SONYGigECAM 2.12 - 32 bit | ZCL for SONYGigECAM 2.12.2 - Windows 7 (32 bit)",
               "Basler pylon SDK 2.3.5.2633 - 64 bit"},
        OsCase{"win8-x86", "ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit",
               "ZCL for SONYGigECAM 2.12.2 - Windows 8 (32 bit)",
               "ZCL for SONYGigECAM 2.12 - 64 bit | ZCL for SONYGigECAM 2.12.2 - Windows 7 (64 bit)",
               "Basler pylon SDK 2.3.5.2633 - 32 bit"},
        OsCase{"vista-sp2-x86", "ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit",
               "ZCL for SONYGigECAM 2.12 - 32 bit",
               "ZCL for SONYGigECAM 2.12 - 64 bit | ZCL for SONYGigECAM 2.12.2 - Windows 7 (64 bit)",
               "Basler pylon SDK 2.3.5.2633 - 32 bit"},
        // A release the query does not know: the machine's own width still picks the builds.
        OsCase{"win81-x64", "ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit",
               "ZCL for SONYGigECAM 2.12 - 64 bit",
               "ZCL for SONYGigECAM 2.12 - 32 bit | ZCL for SONYGigECAM 2.12.2 - Windows 7 (32 bit)",
               "Basler pylon SDK 2.3.5.2633 - 64 bit"}),
    [](const ::testing::TestParamInfo<OsCase>& row) {
      std::string name = row.param.profile;
      for (char& ch : name)
        if (ch == '-') ch = '_';
      return name;
    });

class CameraRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    sheet_.setActivePage(kSecondPage);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  Second& page() { return *dynamic_cast<Second*>(sheet_.page(kSecondPage)); }
  void choose(int list, const std::string& item) {
    const auto& items = page().control(list)->items;
    auto at = std::find(items.begin(), items.end(), item);
    ASSERT_NE(at, items.end()) << item;
    page().userSelect(list, static_cast<int>(at - items.begin()));
  }
  std::string selected(int list) {
    return page().control(list)->items.at(page().selection(list));
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(CameraRoad, OnePylonAtATimeAndNoKeepsTheInstalledOne) {
  const std::string sdk3 = "Basler pylon SDK 3.2.3.3215 - 64 bit";
  const std::string pylon5 = "Pylon 5 Camera Software Suite 5.0.0.6150";
  EXPECT_EQ(page().installedPylon(), "None");
  choose(Second::kPylonList, sdk3);
  EXPECT_EQ(page().installedPylon(), sdk3);
  EXPECT_EQ(page().pylonStatus, "Status: Installed");

  scope_.ui().answer(win::IDNO);
  choose(Second::kPylonList, pylon5);
  EXPECT_EQ(page().installedPylon(), sdk3);
  EXPECT_EQ(selected(Second::kPylonList), sdk3);
  ASSERT_EQ(scope_.ui().messageTexts().size(), 1u);
  EXPECT_NE(scope_.ui().messageTexts()[0].find("and install " + pylon5 + "?"), std::string::npos);

  scope_.ui().answer(win::IDYES);
  choose(Second::kPylonList, pylon5);
  EXPECT_EQ(page().installedPylon(), pylon5);
  EXPECT_EQ(page().pylonStatus, "Status: Installed");
  EXPECT_EQ(page().strings(1).state, "Not Installed");
  EXPECT_EQ(scope_.ui().unanswered(), 0);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(CameraRoad, NoneRemovesTheAvtPackageWithoutAQuestion) {
  // The package's grabber library is activated in the runtime.
  sheet_.setActivePage(5);
  sheet_.page(5)->click(qnDInstallCoreComponentsSoftware::kInstallRuntime);
  sheet_.setActivePage(kSecondPage);
  choose(Second::kAvtList, "AVT Fire Package 2.11");
  EXPECT_EQ(page().installedAvt(), "AVT Fire Package 2.11");
  choose(Second::kAvtList, "None");
  EXPECT_EQ(page().installedAvt(), "None");
  EXPECT_EQ(page().avtStatus, "");
  EXPECT_EQ(page().strings(9).state, "Not Installed");
  for (const std::string& t : scope_.ui().messageTexts()) ADD_FAILURE() << t;
}

TEST_F(CameraRoad, DownloadFetchesEveryBuildOfBothPages) {
  for (int index : {kFirstPage, kSecondPage}) {
    sheet_.setActivePage(index);
    auto& list = *dynamic_cast<qnDComponentListPage*>(sheet_.page(index));
    list.click(qnDPropertyPageBase::kDownloadInstallablesId);
    for (size_t e = 0; e < list.manager().count(); ++e)
      EXPECT_TRUE(fileExists(list.manager().entry(static_cast<int>(e))->downloadFolder + "\\" +
                             list.manager().entry(static_cast<int>(e))->fileName))
          << list.strings(static_cast<int>(e)).name;
  }
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

}  // namespace
