// The image processing options page against the demo runtime: the IPP module and the
// switch between the image library's builds.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "pages/core_components_pages.h"
#include "pages/modules_page.h"
#include "pages/pixlib_version_selection.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

using Modules = qnDInstallModules;
using Choice = DPixlibVersionSelection;
constexpr int kModulesPage = 14;
const char* const kNeedsRuntime =
    "Error - Corvanta Version XI 11.0.0.614 Runtime should installed on the computer before "
    "installing or removing the modules.\nPlease install Corvanta Version XI 11.0.0.614 Runtime "
    "and try again.";

class ModulesRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  Modules& page() { return *dynamic_cast<Modules*>(sheet_.page(kModulesPage)); }
  std::string installRuntime() {
    sheet_.setActivePage(5);
    sheet_.page(5)->click(qnDInstallCoreComponentsSoftware::kInstallRuntime);
    sheet_.setActivePage(kModulesPage);
    std::string rt;
    EXPECT_TRUE(mxCheckInstallations::getRuntimeFolder(rt));
    return rt;
  }
  // Picks a button in the selection dialog when it shows (0: cancels it).
  void willChoose(int button) {
    scope_.ui().clearHooks();
    scope_.ui().whenShown("Select Pixlib Version", [button](ui::Window& w) {
      if (button) w.click(button);
      w.click(button ? Choice::kSelect : Choice::kCancel);
    });
  }
  std::string read(const std::string& path) {
    std::string data;
    platform::files::readFile(path, data);
    return data;
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(ModulesRoad, WithoutTheRuntimeEveryStepSaysSoAndChangesNothing) {
  sheet_.setActivePage(kModulesPage);
  page().click(Modules::kInstallIpp);
  EXPECT_EQ(page().text(Modules::kVariantText), "Default");
  auto texts = scope_.ui().messageTexts();
  ASSERT_EQ(texts.size(), 2u);  // activation, then Install
  EXPECT_EQ(texts[1], kNeedsRuntime);
  EXPECT_EQ(page().text(Modules::kIppState), "Not Installed");
}

TEST_F(ModulesRoad, TheVariantIsFoundAndChanged) {
  std::string rt = installRuntime();
  EXPECT_EQ(page().text(Modules::kVariantText), "Visual C Compiler DLL");
  EXPECT_EQ(page().text(Modules::kStatusText), "Ok");

  willChoose(0);  // cancelled: no file changes
  page().click(Modules::kChange);
  EXPECT_EQ(page().activeVariant(), 3);

  willChoose(Choice::kIntel);
  page().click(Modules::kChange);
  EXPECT_EQ(page().text(Modules::kVariantText), "Intel Compiler DLL");
  EXPECT_EQ(page().text(Modules::kStatusText), "Ok");
  EXPECT_EQ(read(rt + "Python\\pixlibct.py"), read(rt + "3.2.1.158\\Intel-Blend\\Python\\pixlibct.py"));
  EXPECT_FALSE(fileExists(rt + "PixLib.dll.old"));
  EXPECT_FALSE(fileExists(rt + "PixLib.dll.new"));

  // Without the IPP module its builds cannot be chosen.
  scope_.ui().clearHooks();
  bool ippEnabled = true;
  scope_.ui().whenShown("Select Pixlib Version", [&](ui::Window& w) {
    ippEnabled = w.isEnabled(Choice::kVisualCIpp) || w.isEnabled(Choice::kIntelIpp);
    EXPECT_TRUE(w.check(Choice::kIntel));
    w.click(Choice::kCancel);
  });
  page().click(Modules::kChange);
  EXPECT_FALSE(ippEnabled);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(ModulesRoad, AFailedCopyKeepsTheActiveSet) {
  std::string rt = installRuntime();
  const std::string before = read(rt + "PixLib.dll");
  platform::files::deleteFile(rt + "3.2.1.158\\Intel-Blend\\PixLib2.dll");
  willChoose(Choice::kIntel);
  page().click(Modules::kChange);
  EXPECT_EQ(scope_.ui().messageTexts().back(),
            "Error: Unable to use the selected file. Please try again.");
  EXPECT_EQ(read(rt + "PixLib.dll"), before);
  EXPECT_TRUE(fileExists(rt + "PixLib2.dll"));
  EXPECT_FALSE(fileExists(rt + "PixLib.dll.new"));
  EXPECT_EQ(page().text(Modules::kVariantText), "Visual C Compiler DLL");
}

TEST_F(ModulesRoad, TheIppModuleInstallsAndItsBuildsBecomeCorrect) {
  std::string rt = installRuntime();
  page().click(Modules::kInstallIpp);
  EXPECT_EQ(page().text(Modules::kIppState), "Installed");
  willChoose(Choice::kVisualCIpp);
  page().click(Modules::kChange);
  EXPECT_EQ(page().text(Modules::kVariantText), "Visual C with IPP");
  EXPECT_EQ(page().text(Modules::kStatusText), "Ok");
  page().click(Modules::kRemoveIpp);
  EXPECT_EQ(page().text(Modules::kIppState), "Not Installed");
  EXPECT_EQ(page().text(Modules::kStatusText), "Incorrect Version");
  // Leaving the page with a wrong build warns and leaves all the same.
  sheet_.pressNext();
  EXPECT_EQ(scope_.ui().messageTexts().back(),
            "Warning: Correct Pixlib version is not selected.\nIt is recommended to select "
            "correct Pixlib version before proceeding.");
  EXPECT_EQ(sheet_.activeIndex(), kModulesPage + 1);
}

}  // namespace
