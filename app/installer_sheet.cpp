#include "app/installer_sheet.h"

#include "app/installer_app.h"
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
}

qnDPrismalSDKInstallerSheet::~qnDPrismalSDKInstallerSheet() = default;

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
