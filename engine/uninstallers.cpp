// The uninstaller families: one routine per way the vendors register their uninstall
// command. Each reads the command, cuts it by its family's rule, runs it and waits; the
// exit status is not examined (the presence test afterwards decides).
#include "engine/check_installations.h"
#include "engine/check_support.h"
#include "engine/platform_needs.h"
#include "engine/uninstall_commands.h"
#include "platform/debug.h"
#include "platform/process.h"

using namespace check_support;

namespace {

thread_local const platform::CancelToken* currentRemovalToken = nullptr;

using Split = std::optional<UninstallCommand> (*)(const std::string&);

// The registered command cut by split; nothing when the value is missing or cannot be cut.
std::optional<UninstallCommand> registeredCommand(const char* method, const std::string& keyName,
                                                  const std::string& valueName, Split split) {
  auto value = readUninstallValue(keyName, valueName);
  if (!value) return std::nullopt;
  auto command = split(*value);
  if (!command)
    platform::debugOutput(std::string("mxCheckInstallations::") + method +
                          " - Unable to parse '" + *value + "'\n");
  return command;
}

bool runAndWait(const char* method, const UninstallCommand& command) {
  const platform::CancelToken& cancel = removalToken();
  if (platform::process::startAndWait(command.program, command.commandLine, nullptr,
                                      cancel.flag()))
    return true;
  if (cancel.cancelled()) return false;
  platform::debugOutput(std::string("mxCheckInstallations::") + method + " - Unable to start " +
                        command.program + "\n");
  return false;
}

// False when the removal was stopped meanwhile.
bool sleepMs(int ms) { return removalToken().sleepFor(ms); }

}  // namespace

const platform::CancelToken& removalToken() {
  return currentRemovalToken ? *currentRemovalToken : platform::CancelToken::never();
}

RemovalScope::RemovalScope(const platform::CancelToken& token)
    : previous_(currentRemovalToken) {
  currentRemovalToken = &token;
}

RemovalScope::~RemovalScope() { currentRemovalToken = previous_; }

bool mxCheckInstallations::runQuotedUninstaller(const std::string& keyName,
                                                const std::string& valueName) {
  auto command = registeredCommand("runQuotedUninstaller", keyName, valueName, splitQuotedCommand);
  return command && runAndWait("runQuotedUninstaller", *command);
}

bool mxCheckInstallations::runWatchedUninstaller(const std::string& keyName,
                                                 const std::string& windowTitle,
                                                 int pauseAfterMs) {
  auto command =
      registeredCommand("runWatchedUninstaller", keyName, "UninstallString", splitWatchedCommand);
  if (!command || !runAndWait("runWatchedUninstaller", *command)) return false;
  // Some uninstallers hand their work to a copy of themselves and end at once: the window
  // of that copy is waited for, then its going.
  if (!windowTitle.empty()) {
    const WatchTimings t = watchTimings();
    bool appeared = false;
    for (int i = 0; i < t.appearPolls && !appeared; ++i) {
      appeared = platform_needs::findWindow(windowTitle) != 0;
      if (!appeared && !sleepMs(t.appearPollMs)) return false;
    }
    for (int i = 0; appeared && i < t.gonePolls; ++i) {
      if (!platform_needs::findWindow(windowTitle)) break;
      if (!sleepMs(t.gonePollMs)) return false;
    }
  }
  if (pauseAfterMs > 0 && !sleepMs(pauseAfterMs)) return false;
  return true;
}

bool mxCheckInstallations::runSplitUninstaller(const std::string& keyName) {
  auto command =
      registeredCommand("runSplitUninstaller", keyName, "UninstallString", splitAtFirstSpace);
  return command && runAndWait("runSplitUninstaller", *command);
}

bool mxCheckInstallations::runShellUninstaller(const std::string& keyName) {
  auto command =
      registeredCommand("runShellUninstaller", keyName, "UninstallString", splitShellCommand);
  if (!command) return false;
  auto process = platform_needs::shellExecuteEx("open", command->program, command->arguments);
  if (!process) {
    platform::debugOutput("mxCheckInstallations::runShellUninstaller - Unable to start " +
                          command->program + "\n");
    return false;
  }
  // In short steps, so that a stop request is seen.
  while (!process->wait(50))
    if (removalToken().cancelled()) return false;
  return true;
}
