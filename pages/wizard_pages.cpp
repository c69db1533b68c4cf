#include "pages/wizard_pages.h"

#include <string>

#include "app/installer_sheet.h"
#include "content/content_pages.h"
#include "engine/app_context.h"
#include "migration/import_profiles_page.h"
#include "pages/component_pages.h"
#include "pages/core_components_pages.h"
#include "updates/welcome_page.h"

std::vector<std::unique_ptr<qnDPropertyPageBase>> makeWizardPages() {
  std::vector<std::unique_ptr<qnDPropertyPageBase>> pages;
  const auto title = &qnDPrismalSDKInstallerSheet::pageTitle;
  auto add = [&pages](std::unique_ptr<qnDPropertyPageBase> page) {
    pages.push_back(std::move(page));
  };
  add(std::make_unique<qnDInstallWelcomeBase>(std::string(kInstallerCaption) +
                                              " - Welcome to Corvanta Vision Software Version "
                                              "XI 11.0.0.614 System Management"));
  add(std::make_unique<qnDInstallCorvantaResourcesDynamic>(title("Corvanta Vision Resources")));
  add(std::make_unique<qnDInstallReleaseNotes>(title("Readme Notes")));
  add(std::make_unique<qnDInstallPreRequisites>(title("Prerequisite Installation")));
  add(std::make_unique<qnDInstallPreRequisitesStatus>(title("Prerequisite Installation Status")));
  add(std::make_unique<qnDInstallCoreComponentsSoftware>(title("Core Installation")));
  add(std::make_unique<qnDInstallCoreComponentsSoftwareStatus>(title("Core Installation Status")));
  add(std::make_unique<qnDInstallPY27Extensions>(title("Recommended Corvanta Extensions I")));
  add(std::make_unique<qnDInstallPY27Extensions2>(title("Recommended Corvanta Extensions II")));
  add(std::make_unique<qnDInstallTemplates>(title("CTC - Corvanta Tool Components")));
  add(std::make_unique<qnDInstallSummaryCorvanta>(title("Installation Complete")));
  add(std::make_unique<qnDInstallImportProfiles>(title("Import Corvanta Profiles")));
  add(std::make_unique<qnDInstallDemoProfiles>(title("Machine Vision Demonstration Profiles")));
  add(std::make_unique<qnDInstallTutorials>(title("Corvanta Vision Tutorials")));
  add(std::make_unique<qnDInstallModules>(title("Corvanta Image Processing Options")));
  add(std::make_unique<qnDInstall3rdPartyInstallations>(title("3rd Party Camera Drivers - 1")));
  add(std::make_unique<qnDInstall3rdPartyInstallations2>(title("3rd Party Camera Drivers - 2")));
  add(std::make_unique<qnDInstallIOSystemInstallations>(title("3rd Party IO Drivers")));
  add(std::make_unique<qnDInstallUtilities>(title("Optional Utility Software I")));
  add(std::make_unique<qnDInstallUtilities2>(title("Optional Utility Software II")));
  return pages;
}
