#pragma once
// The Corvanta runtime and vision software: installed and removed on the Core Installation
// page, checked on the Core Installation Status page.
#include "app/page_base.h"

class qnDInstallCoreComponentsSoftware : public qnDPropertyPageBase {
 public:
  enum : int {
    kRuntimeName = 1001, kRuntimeState = 1002, kRuntimeProgress = 1003,
    kVisionName = 1111, kVisionState = 1037, kVisionProgress = 1038,
    kInstallRuntime = 1116, kUninstallRuntime = 1115,
    kInstallVision = 1052, kUninstallVision = 1051,
    kDownloadSdk = 1053, kSdkDescription = 1250, kInformation = 1098,
  };
  explicit qnDInstallCoreComponentsSoftware(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return true; }
  void refreshControls() override;
  void initPageControls() override;
  bool onSetActive() override;
  long onWizardNext() override;
  void onCommand(int id) override;

  EntryStrings runtime, vision, sdk;
  std::string information;
  std::string sdkDescription;

 private:
  void updateWizardButtons();
  void downloadSdkInstaller();
};

class qnDInstallCoreComponentsSoftwareStatus : public qnDPropertyPageBase {
 public:
  enum : int { kStatusText = 1007 };
  explicit qnDInstallCoreComponentsSoftwareStatus(const std::string& title);

  bool skipPage() override;
  bool skipInExtensionsOnlyMode() override { return true; }
  void refreshControls() override;
  void initPageControls() override;
  bool onSetActive() override;
  void onCommand(int id) override;

  EntryStrings runtime, vision;
  std::string status;

 private:
  void updateStatus();
};
