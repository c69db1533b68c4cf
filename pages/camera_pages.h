#pragma once
// Drivers and tools of outside camera vendors. Both pages show the builds that fit the running
// Windows and keep the other builds for downloads; the second offers each vendor's packages
// as a list, since only one of them may be installed at a time.
#include "pages/component_list_page.h"

class qnDInstall3rdPartyInstallations : public qnDComponentListPage {
 public:
  enum : int {
    kInstallUbCore = 1196, kRemoveUbCore = 1197, kInstallFirei = 1201, kRemoveFirei = 1202,
    kInstallZcl = 1206, kRemoveZcl = 1207, kInstallIcCapture = 1212, kRemoveIcCapture = 1213,
    kInstallDriver = 1219, kInformation = 1007,
  };
  explicit qnDInstall3rdPartyInstallations(const std::string& title);

  void refreshControls() override;
  std::string information;

 protected:
  void onActivate() override;
};

class qnDInstall3rdPartyInstallations2 : public qnDComponentListPage {
 public:
  enum : int {
    kPylonInfo = 1217, kPylonList = 1238, kPylonStatus = 1209, kAvtList = 1239,
    kAvtStatus = 1210, kInformation = 1007,
  };
  explicit qnDInstall3rdPartyInstallations2(const std::string& title);

  void initPageControls() override;
  void refreshControls() override {}
  void onNotify(int id, ui::Event event) override;

  void updatePylonSelection();
  void updateAVTSelection();
  const std::string& installedPylon() const { return pylon_.installed; }
  const std::string& installedAvt() const { return avt_.installed; }

  std::string information, pylonStatus, avtStatus;

 protected:
  void onActivate() override;
  void afterActivate() override;

 private:
  qnDInstall3rdPartyInstallations2(const std::string& title, const BuildChoice& builds);

  bool native64_;
  ExclusiveChoice pylon_, avt_;
};
