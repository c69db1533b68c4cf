// How each uninstaller family cuts its registered command, including the commands that
// must not be cut outside their text or started empty.
#include <gtest/gtest.h>

#include "engine/uninstall_commands.h"

namespace {

struct SplitCase {
  const char* family;
  std::optional<UninstallCommand> (*split)(const std::string&);
  const char* value;
  bool cut;
  const char* program;
  const char* arguments;
  const char* commandLine;
};

TEST(UninstallCommands, EachFamilyCutsItsCommand) {
  const SplitCase cases[] = {
      {"module", splitModuleCommand, "\"C:\\Python27\\Removepyserial.exe\" -u \"C:\\Python27\\log.txt\"",
       true, "C:\\Python27\\Removepyserial.exe", "-u \"C:\\Python27\\log.txt\"",
       "\"C:\\Python27\\Removepyserial.exe\" -u \"C:\\Python27\\log.txt\""},
      // A quoted path with spaces stays whole.
      {"module", splitModuleCommand, "\"C:\\Program Files\\Py\\Remove.exe\" -u x", true,
       "C:\\Program Files\\Py\\Remove.exe", "-u x", "\"C:\\Program Files\\Py\\Remove.exe\" -u x"},
      // No space: everything after the first character is the program.
      {"module", splitModuleCommand, "XC:\\Remove.exe", true, "C:\\Remove.exe", "",
       "\"C:\\Remove.exe\" "},
      {"module", splitModuleCommand, " -u x", false, "", "", ""},
      {"module", splitModuleCommand, "x -u", false, "", "", ""},
      {"module", splitModuleCommand, "", false, "", "", ""},
      {"quoted", splitQuotedCommand, "\"C:\\P T\\unins000.exe\" /SILENT", true, "C:\\P T\\unins000.exe",
       "/SILENT", "/SILENT"},
      // Nothing after the program: it is started alone, never with an empty command line.
      {"quoted", splitQuotedCommand, "\"C:\\P T\\unins000.exe\"", true, "C:\\P T\\unins000.exe", "",
       "\"C:\\P T\\unins000.exe\""},
      {"quoted", splitQuotedCommand, "\"C:\\P T\\unins000.exe", false, "", "", ""},
      {"quoted", splitQuotedCommand, "\"\" /S", false, "", "", ""},
      {"quoted", splitQuotedCommand, "C:\\u.exe /S", true, "C:\\u.exe", "/S", "/S"},
      {"watched", splitWatchedCommand, "\"C:\\Speccy\\uninst.exe\"", true, "C:\\Speccy\\uninst.exe", "",
       "\"C:\\Speccy\\uninst.exe\""},
      {"watched", splitWatchedCommand, "\"\"", false, "", "", ""},
      {"split", splitAtFirstSpace, "C:\\OPC\\isuninst.exe -fC:\\OPC\\x.isu", true, "C:\\OPC\\isuninst.exe",
       "-fC:\\OPC\\x.isu", "C:\\OPC\\isuninst.exe -fC:\\OPC\\x.isu"},
      {"split", splitAtFirstSpace, "C:\\OPC\\isuninst.exe", true, "C:\\OPC\\isuninst.exe", "",
       "C:\\OPC\\isuninst.exe "},
      {"split", splitAtFirstSpace, " -f", false, "", "", ""},
      {"shell", splitShellCommand, "RunDll32 C:\\x\\Ctor.dll,LaunchSetup \"C:\\y\\setup.exe\" -removeonly",
       true, "RunDll32", "C:\\x\\Ctor.dll,LaunchSetup \"C:\\y\\setup.exe\" -removeonly",
       "RunDll32 C:\\x\\Ctor.dll,LaunchSetup \"C:\\y\\setup.exe\" -removeonly"},
      // The first character is never the end of the program.
      {"shell", splitShellCommand, " RunDll32 x", true, " RunDll32", "x", " RunDll32 x"},
      {"shell", splitShellCommand, "", false, "", "", ""},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(std::string(c.family) + ": " + c.value);
    auto command = c.split(c.value);
    ASSERT_EQ(command.has_value(), c.cut);
    if (!command) continue;
    EXPECT_EQ(command->program, c.program);
    EXPECT_EQ(command->arguments, c.arguments);
    EXPECT_EQ(command->commandLine, c.commandLine);
    EXPECT_FALSE(command->commandLine.empty());
  }
}

}  // namespace
