// The pages built on the component list: the prerequisites pages, the IO page, and the rule
// that every page sets its own wizard buttons.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "pages/io_system_page.h"
#include "pages/prerequisites_pages.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/ui/scripted_ui.h"
#include "tests/pages/wizard_fixture.h"

namespace {

namespace reg = platform::registry;
constexpr int kPrerequisites = 3, kPrerequisitesStatus = 4, kCorePage = 5, kIoPage = 17;

void registerProduct(const std::string& code) {
  platform::machine::Product p;
  p.code = code;
  p.properties = {{"VersionString", "1.0"}};
  platform::machine::registerProduct(p);
}

// Everything the prerequisites pages look for but Windows Installer 3.1.
void installFourPrerequisites() {
  for (const char* code : {"{7299052b-02a4-4627-81f2-1818da5d550d}",
                           "{9A25302D-30C0-39D9-BD6F-21E6EC160475}",
                           "{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}"})
    registerProduct(code);
  reg::setValue(reg::Hive::LocalMachine, "SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727",
                "Install", reg::Value::dword(1));
  platform::machine::setFileVersion("C:\\windows\\system32\\Msi.dll", "2.0.3790.0");
}

class ComponentListPages : public WizardFixture {};

TEST_F(ComponentListPages, NextNeverCarriesOverFromThePageBefore) {
  // Nothing installed: Core Installation turns Next off; every page that does not hold the
  // user turns it on again (the last has nothing to go on to).
  for (int i = 0; i + 1 < sheet().pageCount(); ++i) {
    if (i == kPrerequisitesStatus || i == kCorePage || i == kCorePage + 1) continue;
    sheet().setActivePage(kCorePage);
    ASSERT_EQ(sheet().wizardButtons(), ui::PSWIZB_BACK);
    sheet().setActivePage(i);
    EXPECT_TRUE(sheet().wizardButtons() & ui::PSWIZB_NEXT) << sheet().page(i)->caption();
  }
}

TEST_F(ComponentListPages, PrerequisitesWithoutWindowsInstaller31HoldTheUserOnTheStatusPage) {
  installFourPrerequisites();
  sheet().setActivePage(kPrerequisites);
  auto& first = page<qnDInstallPreRequisites>(kPrerequisites);
  EXPECT_EQ(first.text(1109), "Windows Installer 3.1");
  EXPECT_EQ(first.text(1093), "Not Installed");
  EXPECT_EQ(first.text(1105), "Installed");
  EXPECT_FALSE(first.skipPage());
  sheet().pressNext();  // the four installed ones come back "Ok" at once
  EXPECT_EQ(first.text(1032), "Ok");
  EXPECT_EQ(first.text(1113), "");
  EXPECT_EQ(sheet().activeIndex(), kPrerequisitesStatus);
  auto& status = page<qnDInstallPreRequisitesStatus>(kPrerequisitesStatus);
  EXPECT_EQ(status.text(qnDInstallPreRequisitesStatus::kInformation),
            "Pre-requisites are not installed successfully. Please click on the 'Back' button "
            "to try again");
  EXPECT_EQ(sheet().wizardButtons(), ui::PSWIZB_BACK);
  EXPECT_TRUE(ui_.messageTexts().empty());
}

TEST_F(ComponentListPages, AllPrerequisitesInstalledPassOverTheFirstPage) {
  installFourPrerequisites();
  platform::machine::setFileVersion("C:\\windows\\system32\\Msi.dll", "3.1.4000.2435");
  EXPECT_TRUE(page<qnDInstallPreRequisites>(kPrerequisites).skipPage());
  sheet().setActivePage(kPrerequisitesStatus);
  EXPECT_EQ(sheet().wizardButtons(), ui::PSWIZB_BACK | ui::PSWIZB_NEXT);
  EXPECT_EQ(page<qnDInstallPreRequisitesStatus>(kPrerequisitesStatus)
                .text(qnDInstallPreRequisitesStatus::kInformation),
            "Please click on the 'Next' button to proceed");
}

TEST_F(ComponentListPages, UninstallButtonsFollowTheirRowsState) {
  // Only "Not Installed" turns an Uninstall button off.
  registerProduct("{9A25302D-30C0-39D9-BD6F-21E6EC160475}");  // 2008, any version
  sheet().setActivePage(kPrerequisitesStatus);
  auto& status = page<qnDInstallPreRequisitesStatus>(kPrerequisitesStatus);
  EXPECT_FALSE(status.isEnabled(1112));
  EXPECT_TRUE(status.isEnabled(1114));
  EXPECT_FALSE(status.isEnabled(1117));
  EXPECT_TRUE(status.isVisible(qnDInstallPreRequisitesStatus::kDownloadInstallables));
}

TEST_F(ComponentListPages, IoPageRowsActAlone) {
  registerProduct("{88B93413-6464-4DBB-AFDF-400AEEB20E7D}");  // the SDK, wrong version
  sheet().setActivePage(kIoPage);
  auto& io = page<qnDInstallIOSystemInstallations>(kIoPage);
  EXPECT_EQ(io.text(1223), "DAQNavi SDK and Drivers 3.1.4.0");
  EXPECT_EQ(io.text(1224), "Version Mismatch");
  EXPECT_TRUE(io.isEnabled(1226));  // a repair state keeps both buttons
  EXPECT_TRUE(io.isEnabled(1227));
  EXPECT_EQ(io.text(1209), "Not Installed");
  EXPECT_TRUE(io.isEnabled(1211));
  EXPECT_FALSE(io.isEnabled(1212));
  EXPECT_EQ(sheet().text(ui::ID_SHEET_CANCEL), "Finish");
  EXPECT_EQ(io.control(1106)->tooltip, "Download IO System Installers");
}

TEST_F(ComponentListPages, ControlsStayInsideThePageAndApart) {
  for (int index : {kPrerequisites, kPrerequisitesStatus, kCorePage, kCorePage + 1, kIoPage}) {
    sheet().setActivePage(index);
    const ui::PropertyPage& p = *sheet().page(index);
    std::vector<const ui::Control*> placed;
    for (const ui::Control& c : p.controls()) {
      if (c.id == qnDPropertyPageBase::kHeaderId || c.id == qnDPropertyPageBase::kSideBannerId)
        continue;
      EXPECT_TRUE(c.rect.left >= 165 && c.rect.top >= 70 && c.rect.right <= p.width() &&
                  c.rect.bottom <= p.height())
          << p.caption() << " control " << c.id;
      if (c.kind != ui::ControlKind::GroupBox) placed.push_back(&c);
    }
    for (size_t i = 0; i < placed.size(); ++i)
      for (size_t j = i + 1; j < placed.size(); ++j) {
        const ui::Rect &a = placed[i]->rect, &b = placed[j]->rect;
        bool apart = a.right <= b.left || b.right <= a.left || a.bottom <= b.top ||
                     b.bottom <= a.top;
        EXPECT_TRUE(apart) << p.caption() << ": " << placed[i]->id << " and " << placed[j]->id;
      }
  }
}

}  // namespace
