#pragma once
// The wizard page that lists the profiles older versions have and the current one lacks,
// and copies or moves the ticked ones through a progress dialog.
#include <memory>
#include <string>
#include <vector>

#include "app/page_base.h"
#include "migration/import_worker_dialog.h"
#include "migration/profiles.h"
#include "platform/ui/window.h"

class DCopyMoveCorvantaProfiles : public DImportWorkerDialog {
 public:
  static constexpr int kTemplateId = 188;
  static constexpr int IDC_MESSAGE = 1175;
  static constexpr int IDC_PROGRESS_LABEL = 1185;
  static constexpr int IDC_PROGRESS = 1183;
  static constexpr int IDC_PERCENT = 1184;
  static constexpr int IDC_ABORT = 1181;
  static constexpr int IDC_CLOSE = 1;
  static constexpr unsigned WM_PROFILES_PROGRESS = 0x406;
  static constexpr unsigned WM_PROFILES_DONE = 0x407;

  DCopyMoveCorvantaProfiles(std::vector<migration::VersionProfiles> list, bool move,
                            int selected);
  ~DCopyMoveCorvantaProfiles() override;

  void onInitDialog() override;
  void onCommand(int id) override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

 private:
  void setRunning(bool running);

  std::vector<migration::VersionProfiles> list_;
  bool move_;
  int selected_;
  std::string documents_;
};

class qnDInstallImportProfiles : public qnDPropertyPageBase {
 public:
  static constexpr int kTemplateId = 187;
  static constexpr int IDC_INFORMATION = 1007;
  static constexpr int IDC_PROMPT = 1253;
  static constexpr int IDC_TREE = 1254;
  static constexpr int IDC_COPY = 1251;
  static constexpr int IDC_MOVE = 1252;
  static constexpr int IDC_REFRESH = 1097;

  explicit qnDInstallImportProfiles(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return false; }
  void refreshControls() override {}
  void initPageControls() override;
  bool onSetActive() override;
  void onCommand(int id) override;
  void onNotify(int id, ui::Event event) override;

  const std::vector<migration::VersionProfiles>& profileList() const { return list_; }

 private:
  void buildProfileList(bool force);
  void fillProfileTree();
  void readProfileChecks();
  void copyOrMove(bool move);

  std::vector<migration::VersionProfiles> list_;
  bool hasList_ = false;
  std::string documents_;
  // Which tree item stands for which profile (version, profile), -1 for the others.
  std::vector<std::pair<int, int>> itemProfile_;
  std::vector<bool> lastChecks_;
};
