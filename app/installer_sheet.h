#pragma once
// The wizard window: owns the twenty pages in wizard order, moves through them passing
// over the pages that ask for it, and offers six shortcut buttons to the main pages.
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/help_manager.h"
#include "app/page_base.h"
#include "platform/cancel.h"
#include "platform/ui/property_sheet.h"

// The page that offers an installer copy takes copies of the other pages' entries.
class WelcomeComponentsReceiver {
 public:
  virtual ~WelcomeComponentsReceiver() = default;
  virtual void setWelcomeComponents(unsigned count, ComponentEntry* const* entries) = 0;
};

class qnDPrismalSDKInstallerSheet : public ui::PropertySheet {
 public:
  struct Shortcut {
    int id;
    const char* caption;
    const char* shortName;
    int left, right;
  };
  static const std::vector<Shortcut>& shortcuts();

  // Makes the pages in wizard order. The program that assembles the layers gives it, so the
  // sheet knows the pages only through their base.
  using PageFactory = std::function<std::vector<std::unique_ptr<qnDPropertyPageBase>>()>;

  explicit qnDPrismalSDKInstallerSheet(const PageFactory& makePages);
  ~qnDPrismalSDKInstallerSheet() override;

  int goToNextPage();
  int goToPreviousPage();
  // Activates the first page with that short name; -1 when none has it.
  int activatePageByShortName(const std::string& shortName);

  bool extensionsOnly = false;
  qnDPropertyPageBase* basePage(int index) const;
  // The page titles are "<caption> - <title text>".
  static std::string pageTitle(const std::string& text);

  // The help pages (see CHelpManager): the content download selection fetches them too.
  int ensureHelpFiles(bool refresh, bool* skipAllErrors);
  int deleteHelpFiles(bool deleteArchive);
  // The help request (Help button, F1): the help window at the active page's section.
  void showHelp();
  CHelpManager& helpManager() { return *helpManager_; }

  // Opens an installer with the shell and closes the wizard when it started.
  int launchInstallerAndClose(const std::string& installerPath, ui::Window* owner);
  // An installer was started in place of this wizard, which is closing: the started file
  // must stay where it is.
  bool handingOver() const { return handingOver_; }

  static constexpr unsigned WM_START_NEW_INSTALLER = 0x400 + 7;
  static constexpr unsigned WM_UPGRADE_INFO_READY = 0x400 + 8;
  static constexpr unsigned WM_CLOSE_ = 0x10;

  // Copies of every component entry of the other pages, in the order the welcome page
  // offers them for an installer copy.
  std::vector<ComponentEntry> collectWelcomeEntries() const;

  void onInitDialog() override;
  void onCommand(int id) override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
  void onDestroy() override;

 private:
  bool passedOver(int index) const;
  void startUpgradeCheck();
  void stopUpgradeCheck();

  bool handingOver_ = false;
  std::thread checkThread_;
  platform::CancelToken checkCancel_;
  std::vector<std::unique_ptr<qnDPropertyPageBase>> ownedPages_;
  std::unique_ptr<CHelpManager> helpManager_;
};
