// The road of one component: the Core Installation page installs the runtime from the
// demo server through the real download runner and stand-in installer, then removes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "engine/app_context.h"
#include "pages/core_components_pages.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/ui/scripted_ui.h"
#include "tests/support/temp_machine.h"
#include "tools/demo_server.h"

namespace {

using Core = qnDInstallCoreComponentsSoftware;

class CoreComponentRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    ASSERT_TRUE(server_.start());
    setenv("CORVANTA_BASE_URL", server_.baseUrl().c_str(), 1);
    ui::setBackend(&ui_);
    ui_.setModalLimit(60000);
    platform::files::createDirectory("C:\\CorvantaInstaller");
    appContext().applicationFolder = "C:\\CorvantaInstaller";
    appContext().isFolderWritable = true;
  }
  void TearDown() override {
    ui::setBackend(nullptr);
    unsetenv("CORVANTA_BASE_URL");
  }

  TempMachine machine_;
  DemoServer server_{CORVANTA_DEMO_REPO};
  ui::ScriptedUi ui_;
};

TEST_F(CoreComponentRoad, InstallThenUninstallTheRuntime) {
  qnDPrismalSDKInstallerSheet sheet(makeWizardPages);
  appContext().mainWindow = &sheet;
  sheet.beginShow();
  sheet.setActivePage(5);
  auto& page = *dynamic_cast<Core*>(sheet.page(5));
  ASSERT_EQ(page.text(Core::kRuntimeState), "Not Installed");

  page.click(Core::kInstallRuntime);

  EXPECT_EQ(page.text(Core::kRuntimeState), "Installed");
  EXPECT_EQ(page.text(Core::kRuntimeProgress), "Ok");
  const std::string file =
      "C:\\CorvantaInstaller\\_CorvantaInstallData\\CorvantaRuntime\\"
      "CorvantaRuntime_11_0_0_614_ReDist_151223.exe";
  EXPECT_TRUE(fileExists(file));
  EXPECT_FALSE(fileExists(file + "tmp"));
  auto log = server_.requestLog();
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "/corvanta/files/InstallerDownloads/Corvanta11.0/614/"
                      "CorvantaRuntime_11_0_0_614_ReDist_151223.exe"),
            log.end());
  EXPECT_TRUE(ui_.wasShown("Installing component 1 of 1"));
  EXPECT_TRUE(ui_.wasShown("Installation completed"));
  EXPECT_FALSE(page.isEnabled(Core::kInstallRuntime));
  EXPECT_TRUE(page.isEnabled(Core::kUninstallRuntime));
  // The stand-in left what the runtime leaves: its install folder under the maker's key.
  std::string folder;
  EXPECT_TRUE(platform::registry::keyExists(
      platform::registry::Hive::LocalMachine,
      "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime"));

  page.click(Core::kUninstallRuntime);

  EXPECT_EQ(page.text(Core::kRuntimeState), "Not Installed");
  EXPECT_EQ(page.text(Core::kRuntimeProgress), "Ok");
  EXPECT_TRUE(ui_.wasShown("Uninstalling component 1 of 1"));
  EXPECT_FALSE(platform::registry::keyExists(
      platform::registry::Hive::LocalMachine,
      "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime"));
  EXPECT_EQ(ui_.timedOut(), 0);
  EXPECT_EQ(ui_.unanswered(), 0);
  appContext().mainWindow = nullptr;
}

TEST_F(CoreComponentRoad, AMissingInstallerOnTheServerEndsFailed) {
  server_.failWith("/corvanta/files/InstallerDownloads/Corvanta11.0/614/"
                   "CorvantaVisionSoftware_11_0_0_614_151223.exe",
                   404);
  qnDPrismalSDKInstallerSheet sheet(makeWizardPages);
  sheet.beginShow();
  sheet.setActivePage(5);
  auto& page = *dynamic_cast<Core*>(sheet.page(5));
  page.click(Core::kInstallVision);
  EXPECT_EQ(page.text(Core::kVisionState), "Not Installed");
  EXPECT_EQ(page.text(Core::kVisionProgress), "Failed");
  auto texts = ui_.messageTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(),
                      "Error. Unable to download file - Server responded with HTTP error - 404"),
            texts.end());
}

}  // namespace
