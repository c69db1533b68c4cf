#pragma once
// How the registered uninstall commands are cut into program and arguments, one rule per
// way the vendors write them. Pure text work: a command that cannot be cut gives nothing,
// and nothing is ever started with an empty program.
#include <optional>
#include <string>

struct UninstallCommand {
  std::string program;
  std::string arguments;
  // The whole command line the program is started with (never empty).
  std::string commandLine;
};

// The Python modules: a quoted uninstaller path, a space, its options.
std::optional<UninstallCommand> splitModuleCommand(const std::string& value);
// A quoted program followed by one separator and its arguments; the arguments alone are the
// program's command line.
std::optional<UninstallCommand> splitQuotedCommand(const std::string& value);
// A program path with at most one pair of quotes around it, started without arguments.
std::optional<UninstallCommand> splitWatchedCommand(const std::string& value);
// Program before the first space, one argument after it.
std::optional<UninstallCommand> splitAtFirstSpace(const std::string& value);
// For the shell: the program ends at the first space after the first character.
std::optional<UninstallCommand> splitShellCommand(const std::string& value);
