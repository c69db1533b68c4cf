#pragma once
// The Microsoft runtime prerequisites: installed by Next on the first page, checked on the
// status page, which holds the user until all five are in place.
#include "pages/component_list_page.h"

class qnDInstallPreRequisites : public qnDComponentListPage {
 public:
  enum : int { kDownloadInstallables = 1036, kInformation = 1098 };
  explicit qnDInstallPreRequisites(const std::string& title);

  bool skipPage() override { return allInstalled(); }
  long onWizardNext() override;

  std::string information;

 protected:
  void onActivate() override;
};

class qnDInstallPreRequisitesStatus : public qnDComponentListPage {
 public:
  enum : int { kDownloadInstallables = 1036, kInformation = 1007 };
  explicit qnDInstallPreRequisitesStatus(const std::string& title);

  void refreshControls() override;

  std::string information;

 protected:
  void onActivate() override;

 private:
  void updateStatus();
};
