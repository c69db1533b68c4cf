#pragma once
// Base of every wizard page: its install manager, the two banners, the short name, how it
// takes part in Back and Next, and the guarded way a page button runs a manager
// operation while the page keeps showing progress.
#include <functional>
#include <string>

#include "engine/install_manager.h"
#include "platform/ui/property_sheet.h"

class qnDPrismalSDKInstallerSheet;

class qnDPropertyPageBase : public ui::PropertyPage {
 public:
  static constexpr int kHeaderId = 9702;
  static constexpr int kSideBannerId = 9703;
  static constexpr int kProgressTimer = 983;
  static constexpr int kDownloadInstallablesId = 1106;

  qnDPropertyPageBase(int templateId, const std::string& title, const std::string& headerTitle);

  // Back and Next pass over the page when true.
  virtual bool skipPage() = 0;
  virtual bool skipInExtensionsOnlyMode() = 0;
  // Brings the controls up to date with the manager's entries.
  virtual void refreshControls() = 0;
  // Creates and places the page's own controls, once.
  virtual void initPageControls() = 0;

  mxInstallManagerBase& manager() { return manager_; }
  const std::string& shortName() const { return shortName_; }
  const std::string& title() const { return caption(); }
  const std::string& headerTitle() const { return headerTitle_; }
  // How many times the page's strings were moved into its controls.
  int dataExchangeCount() const { return dataExchanges_; }

  // Guarded manager operations for the page's buttons.
  int runInstallComponents(int first, int last, bool checkWholeList);
  int runInstallSelectedComponents(const int* indices, int n);
  int runUninstallComponents(int first, int last);
  int runDownloadAllComponents(bool* skipAllErrors);
  int runDownloadSelectedComponents(const int* indices, int n, bool* skipAllErrors);

  void showRepairWarning();

  void onInitDialog() override;
  bool onSetActive() override;
  long onWizardNext() override;
  long onWizardBack() override;
  void onTimer(int id) override;
  void onCommand(int id) override;

 protected:
  // Moves the page's bound strings into its controls (dialog data exchange).
  void updateData();
  // Binds a control to a page string; updateData copies the string into it.
  void bindText(int controlId, const std::string* text);
  void evaluateAll();
  qnDPrismalSDKInstallerSheet* installerSheet() const;

  std::string shortName_;

 private:
  int guarded(const std::function<int()>& operation);

  mxInstallManagerBase manager_;
  std::string headerTitle_;
  std::vector<std::pair<int, const std::string*>> bindings_;
  int dataExchanges_ = 0;
  bool activatedBefore_ = false;
};

