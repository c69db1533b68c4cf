// The welcome page with both new-version links, and the new-version dialog with its release
// notes, as the Qt renderer shows them: saved as build/welcome-*.png for a person to look at.
#include <gtest/gtest.h>

#include <QImage>

#include "app/installer_app.h"
#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/files.h"
#include "tests/qt/qt_test.h"
#include "tests/support/temp_machine.h"
#include "updates/new_version_dialog.h"
#include "updates/welcome_page.h"

namespace {

using WelcomeScreenshots = QtTest;

TEST_F(WelcomeScreenshots, TheLinksAndTheDialogAreShownAndSaved) {
  TempMachine machine;
  platform::files::createDirectory("C:\\Installer");
  CCorvantaPrismalSDKInstallerApp app("C:\\Installer\\CorvantaVisionSoftware_11_0_0_614_Installer_151223.exe");
  qnDPrismalSDKInstallerSheet sheet(makeWizardPages);
  const std::string notes = "C:\\Installer\\notes.rtf";
  platform::files::writeFile(notes,
                             "{\\rtf1\\ansi{\\b What is new in 11.0.0.615}\\par Faster start\\par}");
  const std::string page = std::string(CORVANTA_BUILD_DIR) + "/welcome-page.png";
  const std::string dialogShot = std::string(CORVANTA_BUILD_DIR) + "/welcome-new-version-dialog.png";
  const std::string selectShot = std::string(CORVANTA_BUILD_DIR) + "/welcome-select-components.png";
  bool linkShown = false, pageSaved = false, dialogSaved = false, selectSaved = false;
  qt->post([&] {
    // The check against the closed local port ends at once; what it would have found is set here.
    ui::waitPumping([&] { return app.regularUpgradeInfo->state != 0 && app.betaUpgradeInfo->state != 0; },
                    20000);
    for (auto [info, number] : {std::pair{app.regularUpgradeInfo.get(), "11.0.0.615"},
                                {app.betaUpgradeInfo.get(), "11.0.0.620"}}) {
      info->latestVersionNumber = number;
      info->releaseNotesPath = notes;
      info->currentVersionName = kInstallerCaption;
      info->latestVersionName = std::string("Corvanta Vision Software Version XI ") + number + " Installer";
      info->state = 2;
    }
    sheet.setActivePage(0);
    qt->post([&] {
      linkShown = sheet.page(0)->isVisible(qnDInstallWelcomeBase::kReleaseLink);
      pageSaved = qt->saveScreenshot(sheet, page);
      DNewVersionAvailable dialog(notes, app.regularUpgradeInfo->currentVersionName,
                                  app.regularUpgradeInfo->latestVersionName);
      qt->post([&] {
        dialogSaved = qt->saveScreenshot(dialog, dialogShot);
        dialog.endDialog(2);
      });
      dialog.doModal();
      auto& welcome = *dynamic_cast<qnDInstallWelcomeBase*>(sheet.page(0));
      DSelectInstallerComponents select(welcome.downloadSelection());
      qt->post([&] {
        selectSaved = qt->saveScreenshot(select, selectShot);
        select.endDialog(2);
      });
      select.doModal();
      sheet.endDialog(2);
    });
  });
  EXPECT_EQ(sheet.doModal(), 2);
  EXPECT_TRUE(linkShown);
  ASSERT_TRUE(pageSaved);
  ASSERT_TRUE(dialogSaved);
  EXPECT_TRUE(selectSaved);
  EXPECT_FALSE(QImage(QString::fromStdString(page)).isNull());
  EXPECT_GE(QImage(QString::fromStdString(dialogShot)).width(), 400);
}

}  // namespace
