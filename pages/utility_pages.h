#pragma once
// Optional software: the maker's watchdog, OPC relay and controller, a CPU test tool and one
// OPC server on the first page (with the relay's mode, i.e. which of its controls is
// registered); remote control, diagnostics and a PDF reader on the second, the wizard's last.
#include "pages/component_list_page.h"

class qnDInstallUtilities : public qnDComponentListPage {
 public:
  enum : int {
    kInstallWatchdog = 1046, kUninstallWatchdog = 1113, kInstallOpcRelay = 1071,
    kUninstallOpcRelay = 1115, kInstallCueKeeper = 1052, kUninstallCueKeeper = 1053,
    kInstallPerformanceTest = 1057, kUninstallPerformanceTest = 1058, kModeList = 1255,
    kServerList = 1256, kServerStatus = 1074, kInformation = 1098,
  };
  static constexpr const char* kOpcScout = "OPC Scout (SIMATIC NET OPC-Client V6.2-3133)";
  static constexpr const char* kMatrikon = "MatrikonOPC Server for Simulation";

  explicit qnDInstallUtilities(const std::string& title);

  void initPageControls() override;
  void onNotify(int id, ui::Event event) override;

  void refreshCorvantaOpcRelayComboCtrl();
  void checkCurrentModeAndSetComboCtrlSel();
  void updateOPCInstallerComboSelection();
  // Registers the relay's control of the chosen mode; the old one is registered again when
  // the new one fails, so one is always registered. True when the new one is.
  bool regNewOCX();
  void processNewOPCServer();

  const std::string& opcRelayFolder() const { return opcRelayFolder_; }
  std::string information, serverStatus;

 protected:
  void onActivate() override;
  void afterActivate() override;
  void afterRowCommand() override;

 private:
  bool present(int entry) const { return state(entry) != ComponentState::NotInstalled; }
  void removeServers();

  std::string opcRelayFolder_;
};

class qnDInstallUtilities2 : public qnDComponentListPage {
 public:
  enum : int { kInformation = 1098 };
  explicit qnDInstallUtilities2(const std::string& title);

  std::string information;

 protected:
  void onActivate() override;
  void afterActivate() override { showRepairWarning(); }
};

// The path of the registered relay control; empty when none is registered.
std::string registeredOpcRelayControl();
// regsvr32 /u on the registered relay control, if its file is there.
void unRegCorvantaOpcRelayOCX();
