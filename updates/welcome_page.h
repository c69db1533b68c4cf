#pragma once
// The first page: the welcome text, the kept builds of this installer to switch to, the
// links to a newer published installer, and the installer copy that takes every chosen
// component and content package to a computer without network access.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/installer_sheet.h"
#include "app/page_base.h"
#include "pages/hyperlink.h"

// One item of the installer copy's selection: a component of the page's manager (kind 1)
// or the help files (kind 0, index -1).
struct DownloadComponent {
  int kind = 1;
  int componentIndex = 0;
  int selected = 1;
  std::string name = "Download component";
  int treeItem = -1;
};

struct DownloadCategory {
  std::string name = "Download category";
  std::vector<DownloadComponent> items;  // at most kMaxDownloadSlots
};

inline constexpr size_t kMaxDownloadSlots = 64;
using DownloadSelection = std::vector<DownloadCategory>;  // at most kMaxDownloadSlots

// Content that other pages own, reached through these hooks so that the installer copy
// needs none of their internals. A content hook collects its kind's packages and downloads
// them with the shared skip-all flag: 1 done, 0 nothing to collect (the next kind follows),
// -1 the download failed (the copy ends). A missing hook leaves its kind out.
struct WelcomeContentHooks {
  std::function<int(bool* skipAll)> demoProfiles, templates, resources, tutorials;
  // The help archive: fetched fresh (refresh set) or removed again.
  std::function<int(bool refresh, bool* skipAll)> ensureHelpFiles;
  std::function<void()> deleteHelpFiles;
};

// The installer's version text from its version resource: 1 with the file version and the
// private-build text, or -1.
int readInstallerVersion(const std::string& path, std::string& version,
                         std::string& privateBuild);

class DSelectInstallerComponents : public ui::Window {
 public:
  static constexpr int kTemplateId = 173;
  enum : int { kText = 1175, kTree = 1174 };
  explicit DSelectInstallerComponents(DownloadSelection& selection);
  void onInitDialog() override;
  void onNotify(int id, ui::Event event) override;
  void onOK() override;

 private:
  DownloadSelection& selection_;
  std::vector<bool> lastChecks_;
};

class qnDInstallWelcomeBase : public qnDPropertyPageBase, public WelcomeComponentsReceiver {
 public:
  enum : int {
    kHiddenState = 1118, kTitle = 1072, kWelcomeText = 1170, kInformation = 1098,
    kExtensionsOnly = 1153, kInstallerCombo = 1188, kInstallerLabel = 1189,
    kDeleteCopy = 1033, kCreateCopy = 1106, kBrowseInstallers = 1107,
    kReleaseLink = 41001, kBetaLink = 41002, kReleaseButton = 41003, kBetaButton = 41004,
  };
  static constexpr const char* kCurrentlyUsed = "Currently used version";

  explicit qnDInstallWelcomeBase(const std::string& title);

  bool skipPage() override { return false; }
  bool skipInExtensionsOnlyMode() override { return false; }
  void refreshControls() override {}
  void initPageControls() override;
  void onInitDialog() override;
  bool onSetActive() override;
  void onCommand(int id) override;
  void onNotify(int id, ui::Event event) override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

  void setWelcomeComponents(unsigned count, ComponentEntry* const* entries) override;
  void buildDownloadSelection();
  DownloadSelection& downloadSelection() { return selection_; }

  void moveOtherInstallersAside();
  void fillInstallerVersions();
  void switchToSelectedInstaller();
  void browseInstallers();
  void deleteCopy();
  // 1 when every chosen part was fetched, -1 when the copy ended early or was not wanted.
  int createInstallerCopy();
  void showNewVersionLinks();

  WelcomeContentHooks contentHooks;
  // How long a wizard that handed over to this one gets to end before its file is moved.
  int handOverWaitMs = 5000;

 private:
  std::string runningInstallerPath() const;
  std::string installersFolder() const;
  // The kept copies in "_CorvantaInstallers": path, version and private-build text.
  struct Copy {
    std::string path, version, privateBuild;
  };
  std::vector<Copy> installerCopies() const;

  std::vector<ComponentEntry> entries_;
  DownloadSelection selection_;
  std::string runningInstallerText_ = kCurrentlyUsed;
  std::string hiddenState_;
  std::string titleText_, welcomeText_, informationText_;
  std::unique_ptr<DDynamicHyperlinkNewVersionAvailable> releaseLink_, betaLink_;
};
