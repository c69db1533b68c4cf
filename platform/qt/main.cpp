// The wizard's executable: the Qt renderer shows the models of the system in real windows.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/installer_app.h"
#include "app/unattended.h"
#include "pages/wizard_pages.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/qt/qt_ui.h"
#include "platform/ui/ui.h"

namespace {

bool hasDisplay() {
  const char* platformName = std::getenv("QT_QPA_PLATFORM");
  if (platformName && *platformName) return true;  // offscreen, vnc, ... chosen on purpose
  const char* x = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wayland && *wayland);
}

std::string titleOf(const std::string& path) {
  std::string name = path.substr(path.find_last_of("/\\") + 1);
  auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The executable's own path as a Windows path of the machine when it lives there.
std::string windowsModulePath() {
  std::string modulePath = platform::process::currentModulePath();
  if (!modulePath.empty()) modulePath = platform::machine::toWindows(modulePath);
  return modulePath;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (isUnattendedCommandLine(args)) {
    // No window: the same start-up, then the job the options name.
    CCorvantaPrismalSDKInstallerApp app(windowsModulePath());
    if (countRunningInstallers() >= 2) {
      std::fprintf(stderr, "error: another instance of the installer is already running\n");
      return kExitFailed;
    }
    int code = runUnattended(args, std::cout, std::cerr);
    app.ExitInstance();
    return code;
  }
  if (!hasDisplay()) {
    std::fprintf(stderr,
                 "The installer needs a display to show its window, and none was found "
                 "(DISPLAY is not set).\nRun it on a desktop, or under a virtual display:\n"
                 "  xvfb-run -a %s\n",
                 argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  qtui::QtUi backend;
  ui::setBackend(&backend);

  const std::string modulePath = windowsModulePath();
  ui::setApplicationTitle(titleOf(modulePath));

  CCorvantaPrismalSDKInstallerApp app(modulePath, makeWizardPages);
  app.InitInstance();
  int code = app.ExitInstance();
  ui::setBackend(nullptr);
  return code;
}
