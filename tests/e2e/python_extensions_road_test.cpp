// The Python extension pages against the demo server: the group buttons, the one-OpenCV-build
// rule and the runtime's Python DLL.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/installer_sheet.h"
#include "pages/wizard_pages.h"
#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "pages/core_components_pages.h"
#include "pages/python_extension_pages.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/win_types.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

using Ext = qnDInstallPY27Extensions;
constexpr int kExtensionsPage = 7;

class PythonExtensionsRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    // The OpenCV builds and the Python DLL live in the runtime's folder.
    sheet_.setActivePage(5);
    sheet_.page(5)->click(qnDInstallCoreComponentsSoftware::kInstallRuntime);
    sheet_.setActivePage(kExtensionsPage);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  Ext& page() { return *dynamic_cast<Ext*>(sheet_.page(kExtensionsPage)); }
  void choose(const char* build) {
    const auto& items = page().control(Ext::kOpenCvList)->items;
    page().userSelect(Ext::kOpenCvList,
                      static_cast<int>(std::find(items.begin(), items.end(), build) - items.begin()));
  }
  // The files fetched since the last call, by name.
  std::vector<std::string> fetched() {
    std::vector<std::string> names;
    auto log = demo_.server().requestLog();
    for (size_t i = seen_; i < log.size(); ++i) names.push_back(log[i].substr(log[i].rfind('/') + 1));
    seen_ = log.size();
    return names;
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
  size_t seen_ = 0;
};

TEST_F(PythonExtensionsRoad, OneOpenCvBuildAtATime) {
  fetched();
  choose(Ext::kOpenCv300);  // nothing installed: only that package
  EXPECT_EQ(fetched(), std::vector<std::string>{"opencv-300_bin.zip"});
  EXPECT_EQ(page().installedOpenCv(), Ext::kOpenCv300);
  EXPECT_EQ(page().text(Ext::kOpenCvStatus), "Status: Installed");

  choose(Ext::kNone);  // removed without a question
  EXPECT_EQ(page().installedOpenCv(), Ext::kNone);
  EXPECT_TRUE(scope_.ui().messageTexts().empty());

  choose(Ext::kOpenCv249);  // the build first, then Python and the modules it needs, in order
  EXPECT_EQ(fetched(), (std::vector<std::string>{
                           "opencv-249_py27_bin.zip", "python-2.7.9.msi",
                           "pywin32-219.win32-py2.7.exe", "pyserial-2.7.win32.exe",
                           "scipy-0.14.0-win32-superpack-python2.7.exe",
                           "numpy-1.9.1-win32-superpack-python2.7.exe"}));
  EXPECT_EQ(page().installedOpenCv(), Ext::kOpenCv249);

  scope_.ui().answer(win::IDNO);  // the question is declined: nothing changes
  choose(Ext::kOpenCv300);
  EXPECT_TRUE(fetched().empty());
  EXPECT_EQ(page().selection(Ext::kOpenCvList), 0);
  EXPECT_EQ(page().installedOpenCv(), Ext::kOpenCv249);
  EXPECT_EQ(scope_.ui().unanswered(), 0);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

TEST_F(PythonExtensionsRoad, GroupButtonsAndThePythonDll) {
  std::string runtime;
  ASSERT_TRUE(mxCheckInstallations::getRuntimeFolder(runtime));
  // The runtime brings its own python27.dll; a stale renamed copy lies beside it.
  platform::files::writeFile(runtime + "python27.dll", "runtime's own");
  platform::files::writeFile(runtime + "py27.dll", "stale");
  fetched();
  page().click(Ext::kInstallMySql);
  EXPECT_EQ(fetched(), (std::vector<std::string>{"python-2.7.9.msi",
                                                 "MySQL-python-1.2.4b4.win32-py2.7.exe"}));
  page().click(Ext::kInstall3D);
  EXPECT_EQ(fetched(), (std::vector<std::string>{"pywin32-219.win32-py2.7.exe",
                                                 "pyserial-2.7.win32.exe",
                                                 "scipy-0.14.0-win32-superpack-python2.7.exe",
                                                 "numpy-1.9.1-win32-superpack-python2.7.exe"}));
  EXPECT_FALSE(page().isEnabled(Ext::kInstall3D));
  EXPECT_TRUE(page().isEnabled(Ext::kUninstall2D));

  // With Python in place the runtime's copy steps aside at the next activation.
  sheet_.setActivePage(kExtensionsPage + 1);
  sheet_.setActivePage(kExtensionsPage);
  EXPECT_FALSE(fileExists(runtime + "python27.dll"));
  EXPECT_TRUE(fileExists(runtime + "py27.dll"));

  // Removing the 2D group takes Python away and gives the runtime its DLL back.
  page().click(Ext::kUninstall2D);
  EXPECT_EQ(page().text(1009), "Not Installed");
  EXPECT_TRUE(fileExists(runtime + "python27.dll"));
  EXPECT_FALSE(fileExists(runtime + "py27.dll"));
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

}  // namespace
