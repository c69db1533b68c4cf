// Splitting Windows command lines into arguments, and quoting them back.
#include <gtest/gtest.h>

#include "platform/linux/command_line.h"

using platform::process::quoteArgument;
using platform::process::splitCommandLine;
using Words = std::vector<std::string>;

namespace {

TEST(CommandLineTest, SplitTable) {
  struct Row {
    const char* line;
    Words words;
  } rows[] = {
      {"", {}},
      {"   ", {""}},
      {" /quiet /norestart", {"", "/quiet", "/norestart"}},  // empty program name
      {" ", {""}},
      {"prog", {"prog"}},
      {"prog a b", {"prog", "a", "b"}},
      {"prog  \t a\t\tb  ", {"prog", "a", "b"}},
      {"\"C:\\Program Files\\x.exe\" /i", {"C:\\Program Files\\x.exe", "/i"}},
      // The program name takes no escapes: its backslashes stay.
      {"C:\\a\\b.exe \"C:\\dir\\\\\"", {"C:\\a\\b.exe", "C:\\dir\\"}},
      {"p \"a b\" c", {"p", "a b", "c"}},
      {"p a\"b c\"d", {"p", "ab cd"}},
      {"p \"\"", {"p", ""}},
      {"p \\\"a", {"p", "\"a"}},                 // \" is a literal quote
      {"p \\\\\"a b\"", {"p", "\\a b"}},         // \\" is a backslash and a quote that opens
      {"p \\\\\\\"a", {"p", "\\\"a"}},           // \\\" is a backslash and a literal quote
      {"p a\\\\b", {"p", "a\\\\b"}},             // backslashes not before a quote stay
      {"p \"a\"\"b\"", {"p", "a\"b"}},           // "" inside quotes: a quote, and the part ends
      {"p \"a\"\"b c\"", {"p", "a\"b", "c"}},
      {"p \"unterminated arg", {"p", "unterminated arg"}},
      {"/i \"C:\\x\\pkg.msi\" /passive", {"/i", "C:\\x\\pkg.msi", "/passive"}},
  };
  for (const Row& row : rows) EXPECT_EQ(splitCommandLine(row.line), row.words) << row.line;
}

TEST(CommandLineTest, QuotingRoundTrips) {
  Words args = {"plain", "two words", "", "quote\"inside", "trailing\\", "C:\\dir with space\\",
                "\\\\server\\share", "back\\\\\"slash"};
  std::string line = "prog";
  for (const std::string& a : args) line += " " + quoteArgument(a);
  Words expected = {"prog"};
  expected.insert(expected.end(), args.begin(), args.end());
  EXPECT_EQ(splitCommandLine(line), expected) << line;
  EXPECT_EQ(quoteArgument("plain"), "plain");
}

}  // namespace
