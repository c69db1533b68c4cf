// The component pages as the Qt renderer shows them, saved as build/page-<index>.png for a
// person to look at; the model's layout is checked in the pages tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "engine/app_context.h"
#include "platform/files.h"
#include "platform/qt/qt_ui.h"
#include "tests/support/temp_machine.h"

namespace {

TEST(PageScreenshots, ComponentListPagesAreSaved) {
  TempMachine machine;
  // A runtime with an OpenCV build and an image library build in use, so that their
  // choices show (and the modules page has no runtime to complain about).
  ASSERT_TRUE(applyDemoState(machine, "opencv-300 pixlib-vc8-ipp avt-inactive"));
  static int argc = 1;
  static char name[] = "page_screenshots_test";
  static char* argv[] = {name, nullptr};
  QApplication* app = qApp ? nullptr : new QApplication(argc, argv);
  {
    qtui::QtUi backend;
    ui::setBackend(&backend);
    platform::files::createDirectory("C:\\Installer");
    appContext().applicationFolder = "C:\\Installer";
    appContext().isFolderWritable = true;
    qnDPrismalSDKInstallerSheet sheet(makeWizardPages);
    const int pages[] = {3, 4, 5, 6, 7, 8, 10, 11, 14, 15, 16, 17, 18, 19};
    std::vector<std::string> saved;
    std::function<void(size_t)> shoot = [&](size_t i) {
      if (i == std::size(pages)) {
        sheet.endDialog(2);
        return;
      }
      sheet.setActivePage(pages[i]);
      backend.post([&, i] {
        std::string png = std::string(CORVANTA_BUILD_DIR) + "/page-" + std::to_string(pages[i]) +
                          ".png";
        if (backend.saveScreenshot(sheet, png)) saved.push_back(png);
        shoot(i + 1);
      });
    };
    backend.post([&] { shoot(0); });
    EXPECT_EQ(sheet.doModal(), 2);
    ASSERT_EQ(saved.size(), std::size(pages));
    for (const auto& png : saved) EXPECT_FALSE(QImage(QString::fromStdString(png)).isNull()) << png;
    ui::setBackend(nullptr);
  }
  delete app;
}

}  // namespace
