// The utility pages against the demo server: the relay's mode list and its registered
// control, the one OPC server, and the last page.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "pages/utility_pages.h"
#include "pages/wizard_pages.h"
#include "platform/files.h"
#include "platform/win_types.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kFirstPage = 18, kLastPage = 19;
using Utilities = qnDInstallUtilities;

class UtilityRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    sheet_.setActivePage(kFirstPage);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  Utilities& page() { return *dynamic_cast<Utilities*>(sheet_.page(kFirstPage)); }
  std::string selected(int list) {
    int index = page().selection(list);
    return index < 0 ? "" : page().control(list)->items.at(index);
  }
  std::vector<std::string> items(int list) { return page().control(list)->items; }
  void choose(int list, const std::string& item) {
    auto all = items(list);
    auto at = std::find(all.begin(), all.end(), item);
    ASSERT_NE(at, all.end()) << item;
    page().userSelect(list, static_cast<int>(at - all.begin()));
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(UtilityRoad, TheModeListFollowsTheRegisteredControl) {
  EXPECT_EQ(items(Utilities::kModeList), std::vector<std::string>{"None"});
  EXPECT_FALSE(page().isEnabled(Utilities::kModeList));

  page().click(Utilities::kInstallOpcRelay);
  EXPECT_TRUE(page().isEnabled(Utilities::kModeList));
  EXPECT_EQ(items(Utilities::kModeList).size(), 3u);
  EXPECT_EQ(selected(Utilities::kModeList), "Matrikon OPC Automation");

  choose(Utilities::kModeList, "Siemens DA Automation");
  EXPECT_NE(registeredOpcRelayControl().find("\\Siemens_DAAutomation\\"), std::string::npos);
  sheet_.setActivePage(kLastPage);
  sheet_.setActivePage(kFirstPage);
  EXPECT_EQ(selected(Utilities::kModeList), "Siemens DA Automation");

  // A control that cannot be registered: the one before is registered again.
  const std::string broken =
      page().opcRelayFolder() + "\\ActiveX\\Siemens_OPCAutomation\\OpcRelayX.ocx";
  ASSERT_TRUE(platform::files::writeFile(broken, "MZ"));
  choose(Utilities::kModeList, "Siemens OPC Automation");
  EXPECT_NE(registeredOpcRelayControl().find("\\Siemens_DAAutomation\\"), std::string::npos);
  EXPECT_EQ(selected(Utilities::kModeList), "Siemens DA Automation");

  page().click(Utilities::kUninstallOpcRelay);
  EXPECT_EQ(items(Utilities::kModeList), std::vector<std::string>{"None"});
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(UtilityRoad, OnlyOneOpcServerIsLeft) {
  choose(Utilities::kServerList, Utilities::kOpcScout);
  EXPECT_EQ(page().strings(3).state, "Installed");
  EXPECT_EQ(page().serverStatus, "Installed");

  choose(Utilities::kServerList, Utilities::kMatrikon);
  EXPECT_EQ(page().strings(3).state, "Not Installed");
  EXPECT_EQ(page().strings(5).state, "Installed");
  EXPECT_EQ(selected(Utilities::kServerList), Utilities::kMatrikon);

  // Both present (one installed outside the wizard): the status says so, any choice
  // removes both first.
  page().manager().installComponents(3, 3, false);
  sheet_.setActivePage(kLastPage);
  sheet_.setActivePage(kFirstPage);
  EXPECT_EQ(page().serverStatus, "Multiple Versions");
  EXPECT_EQ(selected(Utilities::kServerList), Utilities::kOpcScout);
  choose(Utilities::kServerList, "None");
  EXPECT_EQ(page().strings(3).state, "Not Installed");
  EXPECT_EQ(page().strings(5).state, "Not Installed");
  EXPECT_EQ(page().serverStatus, "");
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(UtilityRoad, TheLastPageOffersOnlyBackAndItsBuilds) {
  sheet_.setActivePage(kLastPage);
  auto& last = *dynamic_cast<qnDInstallUtilities2*>(sheet_.page(kLastPage));
  EXPECT_EQ(sheet_.wizardButtons(), static_cast<unsigned>(ui::PSWIZB_BACK));
  EXPECT_EQ(last.strings(0).name, "TightVNC 2.6.4 - 64 bit");
  EXPECT_EQ(last.strings(3).name, "TightVNC 2.6.4 - 32 bit");
  EXPECT_EQ(last.information, "Please click on the 'Finish' button to exit.");
}

}  // namespace
