// The real wizard window, shown by the Qt renderer on the offscreen platform, on the Core
// Installation page; its screenshot is kept in the build folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <cstdio>

#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "engine/app_context.h"
#include "pages/core_components_pages.h"
#include "platform/files.h"
#include "platform/qt/qt_ui.h"
#include "tests/support/temp_machine.h"

namespace {

TEST(WizardWindow, ShowsTheCoreInstallationPageAndSavesAScreenshot) {
  TempMachine machine;
  static int argc = 1;
  static char name[] = "wizard_window_test";
  static char* argv[] = {name, nullptr};
  QApplication* app = qApp ? nullptr : new QApplication(argc, argv);
  {
    qtui::QtUi backend;
    ui::setBackend(&backend);
    platform::files::createDirectory("C:\\Installer");
    appContext().applicationFolder = "C:\\Installer";
    appContext().isFolderWritable = true;

    const std::string png = std::string(CORVANTA_BUILD_DIR) + "/wizard-core-installation.png";
    std::remove(png.c_str());
    qnDPrismalSDKInstallerSheet sheet(makeWizardPages);
    bool saved = false;
    std::string caption;
    backend.post([&] {
      sheet.setActivePage(5);
      backend.post([&] {
        saved = backend.saveScreenshot(sheet, png);
        caption = sheet.caption();
        sheet.endDialog(2);
      });
    });
    EXPECT_EQ(sheet.doModal(), 2);
    EXPECT_TRUE(saved);
    EXPECT_EQ(caption,
              "Corvanta Vision Software Version XI 11.0.0.614 Installer - Core Installation");
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 700);
    EXPECT_GE(image.height(), 450);
    ui::setBackend(nullptr);
  }
  delete app;
}

}  // namespace
