#pragma once
// Windows command lines: splitting by the rules programs use to build argv, and finding the
// host file of a program named by one.
#include <string>
#include <vector>

namespace platform::process {

// Splits a whole command line as CommandLineToArgvW does: the first word (the program) ends
// at white space outside quotes and takes no escapes; in the others, 2n backslashes before
// a quote give n backslashes and the quote opens or closes a quoted part, 2n+1 give n
// backslashes and a literal quote; "" inside a quoted part gives a literal quote and closes
// the part. An empty line gives no words.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

// Quotes one argument so that splitCommandLine gives it back unchanged.
std::string quoteArgument(const std::string& argument);

// The host file of a program as CreateProcess finds it when no application name is given:
// a path as it is (".exe" appended when it has no extension and the plain name is missing);
// a bare name in the system folder, the Windows folder, then the host PATH. Empty when not
// found.
std::string findProgram(const std::string& name);

}  // namespace platform::process
