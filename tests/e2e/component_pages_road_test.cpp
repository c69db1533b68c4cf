// The prerequisites and IO pages against the demo server and its stand-in installers.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "engine/app_context.h"
#include "pages/io_system_page.h"
#include "pages/prerequisites_pages.h"
#include "platform/linux/machine_store.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

class ComponentPagesRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(ComponentPagesRoad, NextOnThePrerequisitesPageInstallsTheRuntimeLibraries) {
  sheet_.setActivePage(3);
  auto& first = *dynamic_cast<qnDInstallPreRequisites*>(sheet_.page(3));
  ASSERT_EQ(first.text(1105), "Not Installed");
  sheet_.pressNext();
  EXPECT_EQ(sheet_.activeIndex(), 4);
  auto& status = *dynamic_cast<qnDInstallPreRequisitesStatus*>(sheet_.page(4));
  for (int state : {1105, 1034, 1035, 1092, 1093}) EXPECT_EQ(status.text(state), "Installed");
  EXPECT_EQ(sheet_.wizardButtons(), ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
  // The first page is passed over from now on.
  EXPECT_TRUE(first.skipPage());
  status.click(1114);
  EXPECT_EQ(status.text(1034), "Not Installed");
  EXPECT_EQ(sheet_.wizardButtons(), ui::PSWIZB_BACK);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(ComponentPagesRoad, RemovingTheIoSdkLeavesTheDriversInPlace) {
  sheet_.setActivePage(17);
  auto& io = *dynamic_cast<qnDInstallIOSystemInstallations*>(sheet_.page(17));
  io.click(1211);
  io.click(1226);
  ASSERT_EQ(io.text(1209), "Installed");
  ASSERT_EQ(io.text(1224), "Installed");
  io.click(1227);
  EXPECT_EQ(io.text(1224), "Not Installed");
  EXPECT_EQ(io.text(1225), "Ok");
  EXPECT_EQ(io.text(1209), "Installed");
  EXPECT_TRUE(io.isEnabled(1212));
  EXPECT_EQ(scope_.ui().timedOut(), 0);
  EXPECT_EQ(scope_.ui().unanswered(), 0);
}

}  // namespace
