#include "app/installer_sheet.h"

#include "app/installer_app.h"
#include "updates/upgrade_info_check.h"
#include "platform/file_helpers.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

#include "engine/app_context.h"

const std::vector<qnDPrismalSDKInstallerSheet::Shortcut>& qnDPrismalSDKInstallerSheet::shortcuts() {
  static const std::vector<Shortcut> list = {
      {40203, "Home", "Welcome", 10, 95},
      {40208, "CTC", "Templates", 99, 184},
      {40201, "Demo Profiles", "DemoProfiles", 188, 273},
      {40209, "Tutorials", "Tutorials", 277, 362},
      {40210, "Camera Drivers", "ThirdPartySoftwares", 366, 451},
      {40211, "Utility Software", "Utilities", 455, 540},
  };
  return list;
}

std::string qnDPrismalSDKInstallerSheet::pageTitle(const std::string& text) {
  return std::string(kInstallerCaption) + " - " + text;
}

qnDPrismalSDKInstallerSheet::qnDPrismalSDKInstallerSheet(const PageFactory& makePages)
    : ui::PropertySheet(kInstallerCaption) {
  if (makePages) ownedPages_ = makePages();
  for (const auto& page : ownedPages_) addPage(page.get());
  helpManager_ = std::make_unique<CHelpManager>(appContext().applicationFolder,
                                                repositoryBaseUrl());
  std::vector<ComponentEntry> entries = collectWelcomeEntries();
  std::vector<ComponentEntry*> pointers;
  for (ComponentEntry& e : entries) pointers.push_back(&e);
  for (const auto& page : ownedPages_)
    if (auto* welcome = dynamic_cast<WelcomeComponentsReceiver*>(page.get()))
      welcome->setWelcomeComponents(static_cast<unsigned>(pointers.size()), pointers.data());
}

qnDPrismalSDKInstallerSheet::~qnDPrismalSDKInstallerSheet() { stopUpgradeCheck(); }

std::vector<ComponentEntry> qnDPrismalSDKInstallerSheet::collectWelcomeEntries() const {
  // By short name and occurrence: the status pages share their names with the pages
  // before them and hold nothing of their own to copy.
  static const std::pair<const char*, int> order[] = {
      {"Resources", 0},      {"Readme", 0},       {"Prerequisites", 0},
      {"CoreComponents", 0}, {"Extensions", 0},   {"Extensions2", 0},
      {"Templates", 0},      {"DemoProfiles", 0}, {"Tutorials", 0},
      {"Modules", 0},        {"ThirdPartySoftwares", 0}, {"ThirdPartySoftwares", 1},
      {"IOSystem", 0},       {"Utilities", 0},    {"Utilities2", 0}};
  std::vector<ComponentEntry> entries;
  for (auto [name, occurrence] : order) {
    int seen = 0;
    for (const auto& page : ownedPages_) {
      if (page->shortName() != name || seen++ != occurrence) continue;
      for (unsigned i = 0; i < page->manager().count(); ++i)
        if (const ComponentEntry* e = page->manager().entry(i)) entries.push_back(*e);
      break;
    }
  }
  return entries;
}

void qnDPrismalSDKInstallerSheet::startUpgradeCheck() {
  auto* app = CCorvantaPrismalSDKInstallerApp::instance();
  if (!app || checkThread_.joinable()) return;
  // The thread holds the records itself: the application object may go before the sheet.
  std::shared_ptr<UpgradeInfo> records[] = {app->regularUpgradeInfo, app->betaUpgradeInfo};
  checkThread_ = std::thread([this, records] {
    try {
      for (const std::shared_ptr<UpgradeInfo>& info : records) {
        if (!info || checkCancel_.cancelled()) continue;
        if (fetchUpgradeInfo(*info, checkCancel_) == 1 && info->state == 2)
          sendMessage(WM_UPGRADE_INFO_READY, 101, 0);
      }
    } catch (...) {
      // A failed check only leaves the links hidden.
    }
  });
}

void qnDPrismalSDKInstallerSheet::stopUpgradeCheck() {
  if (!checkThread_.joinable()) return;
  // The transfers poll the token; a message the thread is waiting to send is dropped once
  // the window is closed.
  checkCancel_.cancel();
  endShow();
  checkThread_.join();
}

qnDPropertyPageBase* qnDPrismalSDKInstallerSheet::basePage(int index) const {
  return dynamic_cast<qnDPropertyPageBase*>(page(index));
}

bool qnDPrismalSDKInstallerSheet::passedOver(int index) const {
  qnDPropertyPageBase* p = basePage(index);
  return !p || p->skipPage() || (extensionsOnly && p->skipInExtensionsOnlyMode());
}

int qnDPrismalSDKInstallerSheet::goToNextPage() {
  for (int i = activeIndex() + 1; i < pageCount(); ++i) {
    if (passedOver(i)) continue;
    setActivePage(i);
    return i;
  }
  return -1;
}

int qnDPrismalSDKInstallerSheet::goToPreviousPage() {
  for (int i = activeIndex() - 1; i >= 0; --i) {
    if (passedOver(i)) continue;
    setActivePage(i);
    return i;
  }
  return -1;
}

int qnDPrismalSDKInstallerSheet::activatePageByShortName(const std::string& shortName) {
  for (int i = 0; i < pageCount(); ++i) {
    if (basePage(i) && basePage(i)->shortName() == shortName) {
      setActivePage(i);
      return i;
    }
  }
  return -1;
}

void qnDPrismalSDKInstallerSheet::onInitDialog() {
  ui::PropertySheet::onInitDialog();
  // Room for the shortcut row: the window grows by 20 pixels and the standard buttons
  // move 23 pixels down.
  resize(width(), height() + 20);
  for (int id : {ui::ID_WIZBACK, ui::ID_WIZNEXT, ui::ID_SHEET_CANCEL, 1, ui::ID_SHEET_HELP}) {
    if (const ui::Control* c = control(id)) {
      ui::Rect r = c->rect;
      r.top += 23;
      r.bottom += 23;
      moveControl(id, r);
    }
  }
  // Every page has help.
  show(ui::ID_SHEET_HELP, true);
  const ui::Control* back = control(ui::ID_WIZBACK);
  int top = back ? back->rect.top : height() - 40;
  // Their places are pixels of the default dialog font; a wider font widens them with it.
  for (const auto& s : shortcuts())
    addControl(s.id, ui::ControlKind::Button,
               {ui::fontScaledX(s.left), top - 33, ui::fontScaledX(s.right), top - 10},
               s.caption);
  startUpgradeCheck();
}

void qnDPrismalSDKInstallerSheet::onCommand(int id) {
  if (id == ui::ID_SHEET_HELP) {
    showHelp();
    return;
  }
  for (const auto& s : shortcuts()) {
    if (s.id == id) {
      activatePageByShortName(s.shortName);
      return;
    }
  }
  ui::PropertySheet::onCommand(id);
}

int qnDPrismalSDKInstallerSheet::ensureHelpFiles(bool refresh, bool* skipAllErrors) {
  return helpManager_->ensureHelpFiles(refresh, skipAllErrors);
}

int qnDPrismalSDKInstallerSheet::deleteHelpFiles(bool deleteArchive) {
  return helpManager_->deleteHelpFiles(deleteArchive);
}

void qnDPrismalSDKInstallerSheet::showHelp() {
  qnDPropertyPageBase* page = basePage(activeIndex());
  helpManager_->showHelp(this, page ? page->shortName() : std::string());
}

void qnDPrismalSDKInstallerSheet::onDestroy() {
  // The help window belongs to the wizard's window and goes when it closes.
  helpManager_->hideHelp();
  ui::PropertySheet::onDestroy();
}

int qnDPrismalSDKInstallerSheet::launchInstallerAndClose(const std::string& installerPath,
                                                        ui::Window* owner) {
  if (!fileExists(installerPath)) {
    ui::messageBox(owner,
                   "Error: Unable to locate the selected installer file. Please try again.",
                   kInstallerCaption, win::MB_OK);
    return -1;
  }
  long answer = platform::shell::shellExecute("open", installerPath, "",
                                              appContext().applicationFolder);
  if (answer > 32) {
    handingOver_ = true;
    postMessage(WM_CLOSE_, 0, 0);
    return 1;
  }
  ui::messageBox(owner,
                 "Unable to launch the selected installer. Error code - " +
                     std::to_string(answer),
                 kInstallerCaption, win::MB_OK);
  return -1;
}

long qnDPrismalSDKInstallerSheet::onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_CLOSE_:
      endDialog(win::IDCANCEL);
      return 0;
    case WM_UPGRADE_INFO_READY:
      // The active page's activation runs once more to show what the check found.
      if (wParam == 101 && activePage()) activePage()->onSetActive();
      return 0;
    case WM_START_NEW_INSTALLER: {
      auto* app = CCorvantaPrismalSDKInstallerApp::instance();
      if (!app) return 0;
      std::string target = appContext().applicationFolder + "\\" + app->newInstallerFileName;
      if (!moveFileReplacing(target, app->newInstallerPath)) {
        ui::messageBox(this,
                       "Error: Unable to copy the selected installer file. Please try again.",
                       kInstallerCaption, win::MB_OK);
        return 0;
      }
      launchInstallerAndClose(target, this);
      return 0;
    }
  }
  return ui::PropertySheet::onMessage(msg, wParam, lParam);
}
