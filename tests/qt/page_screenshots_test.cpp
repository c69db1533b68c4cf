// The wizard's pages as the Qt renderer shows them, saved as build/page-<index>.png for a
// person to look at; the model's layout is checked in the pages tests.
#include <gtest/gtest.h>

#include <QImage>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/files.h"
#include "tests/qt/qt_test.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

using PageScreenshots = QtTest;

TEST_F(PageScreenshots, ThePagesAreShownAndSaved) {
  TempMachine machine;
  // The content pages fetch their lists: from the demo server, as on a demo machine.
  DemoFixture demo(DemoFixture::Source::Repository);
  // A runtime with an OpenCV build and an image library build in use, so that their
  // choices show (and the modules page has no runtime to complain about).
  ASSERT_TRUE(applyDemoState(machine, "opencv-300 pixlib-vc8-ipp avt-inactive"));
  platform::files::createDirectory("C:\\Installer");
  appContext().applicationFolder = "C:\\Installer";
  appContext().isFolderWritable = true;
  qnDPrismalSDKInstallerSheet sheet(makeWizardPages);
  const int pages[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
  std::vector<std::string> saved, captions;
  std::function<void(size_t)> shoot = [&](size_t i) {
    if (i == std::size(pages)) {
      sheet.endDialog(2);
      return;
    }
    sheet.setActivePage(pages[i]);
    // The resources page is shown with its tab of pictures.
    if (pages[i] == 1) sheet.activePage()->userSelect(1137, 2);
    qt->post([&, i] {
      std::string png = std::string(CORVANTA_BUILD_DIR) + "/page-" + std::to_string(pages[i]) +
                        ".png";
      if (qt->saveScreenshot(sheet, png)) saved.push_back(png);
      captions.push_back(sheet.caption());
      shoot(i + 1);
    });
  };
  qt->post([&] { shoot(0); });
  EXPECT_EQ(sheet.doModal(), 2);
  ASSERT_EQ(saved.size(), std::size(pages));
  // The sheet's caption follows the page.
  EXPECT_EQ(captions[4],
            "Corvanta Vision Software Version XI 11.0.0.614 Installer - Core Installation");
  for (const auto& png : saved) {
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull()) << png;
    EXPECT_GE(image.width(), 700) << png;
    EXPECT_GE(image.height(), 450) << png;
  }
}

}  // namespace
