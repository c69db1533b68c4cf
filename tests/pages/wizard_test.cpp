// The wizard sheet and the core pages, driven through the scripted UI on a fresh machine.
#include <gtest/gtest.h>

#include "app/installer_app.h"
#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "platform/file_helpers.h"
#include "engine/app_context.h"
#include "pages/core_components_pages.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/ui/scripted_ui.h"
#include "tests/pages/wizard_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

using Core = qnDInstallCoreComponentsSoftware;
constexpr int kCorePage = 5, kStatusPage = 6;

void registerProduct(const std::string& code, const std::string& name) {
  platform::machine::Product p;
  p.code = code;
  p.properties = {{"VersionString", "11.0.0.614"}, {"InstalledProductName", name}};
  platform::machine::registerProduct(p);
}
void installRuntime() {
  registerProduct("{178BFCDD-5495-4FBC-B5FA-173DD2983C35}",
                  "Corvanta Version XI 11.0.0.614 Runtime");
}
void installVision() {
  registerProduct("{095C5AF3-9006-4B9B-BB5D-CC06B3636929}",
                  "Corvanta Vision Software Version XI 11.0.0.614");
}

class WizardTest : public WizardFixture {
 protected:
  Core& corePage() { return page<Core>(kCorePage); }
};

TEST_F(WizardTest, TwentyPagesInWizardOrderWithTitlesAndShortNames) {
  const std::vector<std::pair<const char*, const char*>> expected = {
      {"Welcome to Corvanta Vision Software Version XI 11.0.0.614 System Management", "Welcome"},
      {"Corvanta Vision Resources", "Resources"},
      {"Readme Notes", "Readme"},
      {"Prerequisite Installation", "Prerequisites"},
      {"Prerequisite Installation Status", "Prerequisites"},
      {"Core Installation", "CoreComponents"},
      {"Core Installation Status", "CoreComponents"},
      {"Recommended Corvanta Extensions I", "Extensions"},
      {"Recommended Corvanta Extensions II", "Extensions2"},
      {"CTC - Corvanta Tool Components", "Templates"},
      {"Installation Complete", "Complete"},
      {"Import Corvanta Profiles", "ImportCorvantaProfiles"},
      {"Machine Vision Demonstration Profiles", "DemoProfiles"},
      {"Corvanta Vision Tutorials", "Tutorials"},
      {"Corvanta Image Processing Options", "Modules"},
      {"3rd Party Camera Drivers - 1", "ThirdPartySoftwares"},
      {"3rd Party Camera Drivers - 2", "ThirdPartySoftwares"},
      {"3rd Party IO Drivers", "IOSystem"},
      {"Optional Utility Software I", "Utilities"},
      {"Optional Utility Software II", "Utilities2"},
  };
  ASSERT_EQ(sheet().pageCount(), 20);
  const std::string caption = "Corvanta Vision Software Version XI 11.0.0.614 Installer";
  for (int i = 0; i < 20; ++i) {
    auto* page = sheet().basePage(i);
    EXPECT_EQ(page->title(), caption + " - " + expected[i].first) << i;
    EXPECT_EQ(page->shortName(), expected[i].second) << i;
  }
}

TEST_F(WizardTest, ShortcutButtonsSitAboveTheMovedBackButtonAndFindTheFirstPage) {
  auto& s = sheet();
  const ui::Control* back = s.control(ui::ID_WIZBACK);
  ASSERT_NE(back, nullptr);
  for (const auto& shortcut : qnDPrismalSDKInstallerSheet::shortcuts()) {
    const ui::Control* c = s.control(shortcut.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->text, shortcut.caption);
    EXPECT_EQ(c->rect.top, back->rect.top - 33);
    EXPECT_EQ(c->rect.bottom, back->rect.top - 10);
  }
  s.click(40210);  // "Camera Drivers": both driver pages share the name; the first wins
  EXPECT_EQ(s.activeIndex(), 15);
  s.click(40208);  // "CTC"
  EXPECT_EQ(s.activeIndex(), 9);
  s.click(40203);
  EXPECT_EQ(s.activeIndex(), 0);
}

TEST_F(WizardTest, ExtensionsOnlyModePassesOverTheCoreAndContentPages) {
  auto& s = sheet();
  s.extensionsOnly = true;
  s.setActivePage(8);
  s.pressNext();
  EXPECT_EQ(s.activeIndex(), 10);
  s.pressBack();
  EXPECT_EQ(s.activeIndex(), 8);
  s.setActivePage(4);
  s.pressNext();  // Core Installation and its status page are passed over
  EXPECT_EQ(s.activeIndex(), 7);
}

TEST_F(WizardTest, CorePageWithNothingInstalledOffersInstallOnly) {
  auto& s = sheet();
  s.setActivePage(kCorePage);
  auto& page = corePage();
  EXPECT_EQ(page.text(Core::kRuntimeName), "Corvanta Version XI 11.0.0.614 Runtime");
  EXPECT_EQ(page.text(Core::kRuntimeState), "Not Installed");
  EXPECT_EQ(page.text(Core::kVisionState), "Not Installed");
  EXPECT_TRUE(page.isEnabled(Core::kInstallRuntime));
  EXPECT_FALSE(page.isEnabled(Core::kUninstallRuntime));
  EXPECT_EQ(s.wizardButtons(), ui::PSWIZB_BACK);
  EXPECT_EQ(s.text(ui::ID_SHEET_CANCEL), "Cancel");
  EXPECT_TRUE(page.isVisible(qnDPropertyPageBase::kDownloadInstallablesId));
}

TEST_F(WizardTest, RuntimeAloneKeepsNextOffAndBothTurnItOn) {
  installRuntime();
  auto& s = sheet();
  s.setActivePage(kCorePage);
  auto& page = corePage();
  EXPECT_EQ(page.text(Core::kRuntimeState), "Installed");
  EXPECT_FALSE(page.isEnabled(Core::kInstallRuntime));
  EXPECT_TRUE(page.isEnabled(Core::kUninstallRuntime));
  EXPECT_EQ(s.wizardButtons(), ui::PSWIZB_BACK);
  installVision();
  s.setActivePage(kCorePage - 1);
  s.setActivePage(kCorePage);
  EXPECT_EQ(s.wizardButtons(), ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
  EXPECT_EQ(s.text(ui::ID_SHEET_CANCEL), "Finish");
  // With both installed the status page is passed over.
  s.pressNext();
  EXPECT_EQ(s.activeIndex(), 7);
}

TEST_F(WizardTest, StatusPageTellsWhatIsMissing) {
  auto& s = sheet();
  s.setActivePage(kStatusPage);
  auto* page = s.basePage(kStatusPage);
  EXPECT_EQ(page->text(qnDInstallCoreComponentsSoftwareStatus::kStatusText),
            "Core components are not installed successfully. Please click on the 'Back' "
            "button to try again");
  EXPECT_EQ(s.wizardButtons(), ui::PSWIZB_BACK);
  EXPECT_FALSE(page->isEnabled(Core::kUninstallRuntime));
}

TEST_F(WizardTest, DownloadInstallablesIsHiddenWhenTheFolderIsNotWritable) {
  appContext().isFolderWritable = false;
  sheet().setActivePage(kCorePage);
  EXPECT_FALSE(corePage().isVisible(qnDPropertyPageBase::kDownloadInstallablesId));
}

TEST_F(WizardTest, SecondActivationExchangesDataTwice) {
  auto& s = sheet();
  s.setActivePage(kCorePage);
  int first = corePage().dataExchangeCount();
  s.setActivePage(kCorePage - 1);
  s.setActivePage(kCorePage);
  EXPECT_EQ(corePage().dataExchangeCount() - first, 2);
}

}  // namespace

namespace {

class NewInstallerTest : public WizardTest {};

TEST_F(NewInstallerTest, ADownloadedInstallerIsMovedBesideTheWizardAndStarted) {
  CCorvantaPrismalSDKInstallerApp app("C:\\Installer\\setup.exe");
  platform::files::createDirectory("C:\\Downloads");
  platform::files::writeFile("C:\\Downloads\\newer.exe", "#!/bin/sh\n");
  app.newInstallerPath = "C:\\Downloads\\newer.exe";
  app.newInstallerFileName = "Newer.exe";
  auto& s = sheet();
  s.sendMessage(qnDPrismalSDKInstallerSheet::WM_START_NEW_INSTALLER, 0, 0);
  EXPECT_TRUE(fileExists("C:\\Installer\\Newer.exe"));
  EXPECT_FALSE(fileExists("C:\\Downloads\\newer.exe"));
  ui_.pump();  // the close request is posted
  EXPECT_TRUE(s.ended());
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(NewInstallerTest, AFailedMoveLeavesTheWizardOpen) {
  CCorvantaPrismalSDKInstallerApp app("C:\\Installer\\setup.exe");
  app.newInstallerPath = "C:\\Downloads\\missing.exe";
  app.newInstallerFileName = "Newer.exe";
  auto& s = sheet();
  s.sendMessage(qnDPrismalSDKInstallerSheet::WM_START_NEW_INSTALLER, 0, 0);
  ui_.pump();
  EXPECT_FALSE(s.ended());
  EXPECT_EQ(ui_.messageTexts(),
            (std::vector<std::string>{
                "Error: Unable to copy the selected installer file. Please try again."}));
  EXPECT_EQ(s.launchInstallerAndClose("C:\\Installer\\none.exe", &s), -1);
}

}  // namespace
