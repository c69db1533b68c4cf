// Every row of every component-list page, through its own buttons against the demo server:
// installed, then removed, leaving the machine as it was.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "engine/component_state.h"
#include "pages/component_list_page.h"
#include "pages/core_components_pages.h"
#include "pages/python_extension_pages.h"
#include "pages/wizard_pages.h"
#include "platform/win_types.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kCorePage = 5, kPythonPage = 7;
using Ext = qnDInstallPY27Extensions;
// The first Python page installs and removes by group, not by row.
const std::vector<int> kGroupInstalls = {Ext::kInstall2D, Ext::kInstall3D, Ext::kInstallMySql};
const std::vector<int> kGroupRemovals = {Ext::kUninstallMySql, Ext::kUninstall3D,
                                         Ext::kUninstall2D};

class WizardOnDemo : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    sheet_.beginShow();
    // Questions (repairs, dependencies) are answered as the wizard's default would.
    for (int i = 0; i < 64; ++i) scope_.ui().answer(win::IDYES);
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  qnDComponentListPage& open(int index) {
    sheet_.setActivePage(index);
    auto* page = dynamic_cast<qnDComponentListPage*>(sheet_.page(index));
    EXPECT_NE(page, nullptr);
    return *page;
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::Repository};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

class EveryRow : public WizardOnDemo, public ::testing::WithParamInterface<int> {};

TEST_P(EveryRow, InstallsAndUninstallsThroughItsButtons) {
  const int index = GetParam();
  // Modules and extensions live in the runtime's folder.
  if (index != kCorePage) open(kCorePage).click(qnDInstallCoreComponentsSoftware::kInstallRuntime);
  // The second Python page's modules need Python from the first.
  if (index == kPythonPage + 1) open(kPythonPage).click(Ext::kInstall2D);
  qnDComponentListPage& page = open(index);
  const auto& rows = page.layout().rows;
  std::vector<int> installs = index == kPythonPage ? kGroupInstalls : std::vector<int>{};
  std::vector<int> removals = index == kPythonPage ? kGroupRemovals : std::vector<int>{};
  if (index != kPythonPage) {
    for (const ComponentRow& row : rows)
      if (row.installId) installs.push_back(row.installId);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
      if (row->uninstallId) removals.push_back(row->uninstallId);
  }
  for (int id : installs) page.click(id);
  for (const ComponentRow& row : rows) {
    if (!row.stateId) continue;  // a driver that is only unpacked
    EXPECT_EQ(page.text(row.stateId), "Installed") << page.text(row.nameId);
  }
  for (int id : removals) page.click(id);
  for (const ComponentRow& row : rows) {
    if (!row.stateId || (index != kPythonPage && !row.uninstallId)) continue;  // kept
    EXPECT_EQ(page.text(row.stateId), "Not Installed") << page.text(row.nameId);
  }
  EXPECT_EQ(scope_.ui().timedOut(), 0);
  for (const std::string& t : scope_.ui().messageTexts())
    EXPECT_EQ(t.find("Error"), std::string::npos) << t;
}

INSTANTIATE_TEST_SUITE_P(ComponentPages, EveryRow, ::testing::Values(5, 7, 8, 14, 15, 17, 18, 19),
                         [](const ::testing::TestParamInfo<int>& row) {
                           return "Page" + std::to_string(row.param);
                         });

// A machine state the wizard offers to repair, and the button that repairs it.
struct RepairCase {
  const char* state;
  int page, button;
};

class RepairRoad : public WizardOnDemo, public ::testing::WithParamInterface<RepairCase> {};

TEST_P(RepairRoad, TheInstallButtonRepairsWhatItFindsBroken) {
  const RepairCase& c = GetParam();
  ASSERT_TRUE(applyDemoState(machine_, c.state));
  qnDComponentListPage& page = open(c.page);
  std::vector<const ComponentRow*> broken;
  for (const ComponentRow& row : page.layout().rows)
    if (isRepairState(page.state(row.entry))) broken.push_back(&row);
  ASSERT_FALSE(broken.empty());
  page.click(c.button);
  for (const ComponentRow* row : broken)
    EXPECT_EQ(page.text(row->stateId), "Installed") << page.text(row->nameId);
  EXPECT_EQ(scope_.ui().timedOut(), 0);
}

INSTANTIATE_TEST_SUITE_P(States, RepairRoad,
                         ::testing::Values(RepairCase{"python-replaced", kPythonPage, Ext::kInstall2D},
                                           RepairCase{"module-version", kPythonPage, Ext::kInstall2D},
                                           RepairCase{"ipp-incomplete", 14, 1141}),
                         [](const ::testing::TestParamInfo<RepairCase>& row) {
                           std::string name = row.param.state;
                           for (char& ch : name)
                             if (ch == '-') ch = '_';
                           return name;
                         });

}  // namespace
