#pragma once
// The Corvanta runtime and vision software: installed and removed on the Core Installation
// page, checked on the Core Installation Status page.
#include "pages/component_list_page.h"

class qnDInstallCoreComponentsSoftware : public qnDComponentListPage {
 public:
  enum : int {
    kRuntimeName = 1001, kRuntimeState = 1002, kRuntimeProgress = 1003,
    kVisionName = 1111, kVisionState = 1037, kVisionProgress = 1038,
    kInstallRuntime = 1116, kUninstallRuntime = 1115,
    kInstallVision = 1052, kUninstallVision = 1051,
    kDownloadSdk = 1053, kSdkDescription = 1250, kInformation = 1098,
  };
  explicit qnDInstallCoreComponentsSoftware(const std::string& title);

  bool skipInExtensionsOnlyMode() override { return true; }
  void initPageControls() override;
  long onWizardNext() override;
  void onCommand(int id) override;

  std::string information;
  std::string sdkDescription;

 protected:
  void onActivate() override;
  void afterRowCommand() override { updateWizardButtons(); }

 private:
  void updateWizardButtons();
  void downloadSdkInstaller();
};

class qnDInstallCoreComponentsSoftwareStatus : public qnDComponentListPage {
 public:
  enum : int { kStatusText = 1007 };
  explicit qnDInstallCoreComponentsSoftwareStatus(const std::string& title);

  bool skipPage() override { return allInstalled(); }
  bool skipInExtensionsOnlyMode() override { return true; }
  void refreshControls() override;

  std::string status;

 protected:
  void onActivate() override;

 private:
  void updateStatus();
};
