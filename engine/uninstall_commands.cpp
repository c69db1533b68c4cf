#include "engine/uninstall_commands.h"

#include <algorithm>

namespace {

std::string quoted(const std::string& program) { return "\"" + program + "\""; }

std::optional<UninstallCommand> make(std::string program, std::string arguments,
                                     std::string commandLine) {
  if (program.empty()) return std::nullopt;
  return UninstallCommand{std::move(program), std::move(arguments), std::move(commandLine)};
}

}  // namespace

std::optional<UninstallCommand> splitModuleCommand(const std::string& value) {
  if (value.size() < 2) return std::nullopt;
  std::string program, arguments;
  size_t closing = value[0] == '"' ? value.find('"', 1) : std::string::npos;
  if (closing != std::string::npos) {
    // Cut at the closing quote rather than at the first space, so that a quoted path with
    // spaces in it stays whole; for the usual path without spaces both cuts agree.
    program = value.substr(1, closing - 1);
    size_t rest = closing + 1;
    if (rest < value.size() && value[rest] == ' ') ++rest;
    arguments = value.substr(std::min(rest, value.size()));
  } else {
    size_t space = value.find(' ');
    if (space == std::string::npos) {
      program = value.substr(1);
    } else {
      // The character before the space is the closing quote. A space at the start or right
      // after the first character leaves no program: nothing is cut outside the text.
      if (space < 2) return std::nullopt;
      program = value.substr(1, space - 2);
      arguments = value.substr(space + 1);
    }
  }
  return make(program, arguments, quoted(program) + " " + arguments);
}

std::optional<UninstallCommand> splitQuotedCommand(const std::string& value) {
  if (value.empty()) return std::nullopt;
  if (value[0] != '"') {
    // Not the quoted form: the program ends at the first space.
    size_t space = value.find(' ');
    std::string program = value.substr(0, space);
    std::string arguments = space == std::string::npos ? "" : value.substr(space + 1);
    return make(program, arguments, arguments.empty() ? quoted(program) : arguments);
  }
  size_t closing = value.find('"', 1);
  if (closing == std::string::npos) return std::nullopt;  // no end to the program path
  std::string program = value.substr(1, closing - 1);
  std::string arguments = value.substr(std::min(closing + 2, value.size()));
  // The arguments are the whole command line; without any the program is named alone.
  return make(program, arguments, arguments.empty() ? quoted(program) : arguments);
}

std::optional<UninstallCommand> splitWatchedCommand(const std::string& value) {
  std::string program = value;
  if (!program.empty() && program.front() == '"') program.erase(0, 1);
  if (!program.empty() && program.back() == '"') program.pop_back();
  return make(program, "", quoted(program));
}

std::optional<UninstallCommand> splitAtFirstSpace(const std::string& value) {
  size_t space = value.find(' ');
  std::string program = value.substr(0, space);
  std::string argument = space == std::string::npos ? "" : value.substr(space + 1);
  return make(program, argument, program + " " + argument);
}

std::optional<UninstallCommand> splitShellCommand(const std::string& value) {
  if (value.empty()) return std::nullopt;
  size_t space = value.find(' ', 1);
  std::string program = value.substr(0, space);
  std::string parameters = space == std::string::npos ? "" : value.substr(space + 1);
  return make(program, parameters, program + " " + parameters);
}
