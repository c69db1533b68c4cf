#pragma once
// The catalogue: for each display name, how to tell that the component is present, which
// state it is in, and how to repair or remove it; and the checks behind it.
#include <string>
#include <vector>

#include "engine/component_entry.h"
#include "platform/cancel.h"

// How long the watchers of other programs' windows poll. The defaults are the system's;
// tests shorten them.
struct WatchTimings {
  // Module uninstallers: "Please confirm" then "Uninstall Finished!".
  int confirmPollMs = 10, confirmPolls = 1000;
  int finishedPollMs = 10, finishedPolls = 2000;
  // Watched uninstallers: the window appearing, then going.
  int appearPollMs = 25, appearPolls = 2400;
  int gonePollMs = 1000, gonePolls = 600;
  // The pause after the Speccy uninstaller.
  int speccyPauseMs = 10000;
  // OPC Scout's wait notice: 25 ms polls for its clean-up program to start, 1 s polls
  // while it runs.
  int opcScoutAppearPolls = 4800, opcScoutRunningPolls = 600;
};
WatchTimings& watchTimings();

// The stop request of the removal running on this thread: removeComponent and
// repairComponent set it for the routines below them, whose every wait and poll honours it.
// Without a removal under way it is a token nobody cancels.
const platform::CancelToken& removalToken();
class RemovalScope {
 public:
  explicit RemovalScope(const platform::CancelToken& token);
  ~RemovalScope();
  RemovalScope(const RemovalScope&) = delete;
  RemovalScope& operator=(const RemovalScope&) = delete;

 private:
  const platform::CancelToken* previous_;
};

class mxCheckInstallations {
 public:
  // Catalogue operations, keyed by the entry's name (case-insensitive).
  static bool isComponentInstalled(const ComponentEntry& entry);
  static ComponentState evaluateComponentState(const ComponentEntry& entry);
  static bool needsRepair(const ComponentEntry& entry);
  // Both run on a worker thread (the uninstall runner's); a cancelled token ends their
  // waits at once, and the result is then of no interest.
  static int repairComponent(const ComponentEntry& entry,
                             const platform::CancelToken& cancel = platform::CancelToken::never());
  static bool removeComponent(const ComponentEntry& entry,
                              const platform::CancelToken& cancel = platform::CancelToken::never());
  // The display names of every row, in catalogue order.
  static std::vector<std::string> catalogueNames();

  // Detection primitives.
  static bool isMsiProductInstalled(const std::string& productCode);
  static bool isMsiProductVersion(const std::string& productCode, const std::string& version);
  static bool isMsiProductNameDifferent(const std::string& productCode,
                                        const std::string& productName);
  static bool removeMsiProduct(const std::string& productCode);
  static bool isUninstallKeyPresent(const std::string& keyName);
  static bool isUninstallValueEqual(const std::string& keyName, const std::string& valueName,
                                    const std::string& expected);
  // The key opens and holds the value, under the machine root or else the user's.
  static bool isUninstallValuePresent(const std::string& keyName, const std::string& valueName);
  // The runtime's install folder (ends with a backslash as the runtime writes it).
  static bool getRuntimeFolder(std::string& folder);
  static bool isSameFile(const std::string& a, const std::string& b);

  // Python and its modules.
  static int countPython27Products();
  static bool removePython27Products();
  static bool runMsiexecUninstall(const std::string& productCode);
  static bool isModuleInstalled(const std::string& keyName);
  static bool isModuleVersion(const std::string& keyName, const std::string& expected);
  static bool runModuleUninstaller(const std::string& keyName);
  static bool uninstallPyParsing();
  static bool configurePyWin32();

  // The runtime-folder packages.
  enum class OpenCvBuild { V249, V300 };
  static bool isOpenCvPresent(OpenCvBuild build);
  static bool isOpenCvComplete(OpenCvBuild build);
  static bool removeOpenCv(OpenCvBuild build);
  // "OpenCV249Py27" or "OpenCV300".
  static const char* openCvFolderName(OpenCvBuild build);
  static bool appendToSystemPath(const std::string& folder);
  static bool isIppPresent();
  static bool isIppComplete();
  static bool removeIpp();
  static bool isVantorApiPresent();
  static bool removeVantorApi();
  static bool isSmCameraPresent();
  static bool removeSmCamera();

  // Microsoft prerequisites and Reader.
  static bool isDotNet2Installed();
  static bool isWindowsInstaller31Installed();
  static bool isAdobeReaderInstalled();

  // TightVNC, by the product code of its 32- or 64-bit package.
  static bool isTightVncInstalled(const std::string& productCode);
  static bool isTightVncVersionDifferent(const std::string& productCode);
  static bool removeTightVnc(const std::string& productCode);

  // The controller product, installed by unpacking.
  static bool getProgramFilesFolder(std::string& folder);
  static bool getCueKeeperFolder(std::string& folder);
  static bool isCueKeeperInstalled();
  static bool isCueKeeperVersionDifferent();
  static bool removeCueKeeper();

  // The AVT grabber library the runtime loads.
  static bool isAvtLibraryActive(const std::string& libraryName);
  static bool activateAvtLibrary(const std::string& libraryName);

  // The uninstaller families: false when the command cannot be read or started.
  static bool runQuotedUninstaller(const std::string& keyName, const std::string& valueName);
  static bool runWatchedUninstaller(const std::string& keyName, const std::string& windowTitle,
                                    int pauseAfterMs = 0);
  static bool runSplitUninstaller(const std::string& keyName);
  static bool runShellUninstaller(const std::string& keyName);
};
