// Shell links in the binary format, and what the shell does when asked to open things.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/linux/utf16.h"
#include "platform/shell.h"
#include "platform/shell_link.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

uint32_t u32(const std::string& d, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(d[at + i]);
  return v;
}

TEST(ShellLinkTest, RoundTripAndTheHeaderWindowsExpects) {
  TempMachine m;
  ASSERT_TRUE(files::createDirectory("C:\\Links"));
  struct Row {
    shell::ShellLink link;
  } rows[] = {
      {{"C:\\Program Files\\Corvanta\\Corvanta.exe", "\"System=C:\\P\\a\" \"/IGNOREPROFILEVERSION\"",
        "C:\\Program Files\\Corvanta", "", "", 0, 1}},
      {{"C:\\Users\\Bj\xC3\xB8rn\\Profil \xE2\x82\xAC.exe", "", "", "Description \xC3\xA6", "C:\\i.ico", 3, 7}},
  };
  for (const Row& row : rows) {
    ASSERT_TRUE(shell::saveShellLink(row.link, "C:\\Links\\a.lnk"));
    shell::ShellLink back;
    ASSERT_TRUE(shell::loadShellLink("C:\\Links\\a.lnk", back));
    EXPECT_EQ(back.target, row.link.target);
    EXPECT_EQ(back.arguments, row.link.arguments);
    EXPECT_EQ(back.workingDirectory, row.link.workingDirectory);
    EXPECT_EQ(back.description, row.link.description);
    EXPECT_EQ(back.iconLocation, row.link.iconLocation);
    EXPECT_EQ(back.iconIndex, row.link.iconIndex);
    EXPECT_EQ(back.showCommand, row.link.showCommand);

    std::string bytes;
    ASSERT_TRUE(files::readFile("C:\\Links\\a.lnk", bytes));
    ASSERT_GT(bytes.size(), 0x4Cu);
    EXPECT_EQ(u32(bytes, 0), 0x4Cu);
    EXPECT_EQ(bytes.substr(4, 16),
              std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    EXPECT_EQ(u32(bytes, 0x14) & 0x82u, 0x82u);  // link information, Unicode strings
    EXPECT_EQ(u32(bytes, bytes.size() - 4), 0u);  // terminal block
    // The ANSI base path inside the link information.
    EXPECT_NE(bytes.find(row.link.target + std::string(1, '\0')), std::string::npos);
  }
}

TEST(ShellLinkTest, RefusalsAndDamagedFiles) {
  TempMachine m;
  shell::ShellLink link{"C:\\t.exe", "/a", "C:\\", "", "", 0, 1};
  EXPECT_FALSE(shell::saveShellLink(link, "C:\\Missing Folder\\a.lnk"));
  EXPECT_FALSE(shell::saveShellLink({"", "", "", "", "", 0, 1}, "C:\\a.lnk"));
  EXPECT_FALSE(shell::saveShellLink({std::string(300, 'x'), "", "", "", "", 0, 1}, "C:\\a.lnk"));
  ASSERT_TRUE(shell::saveShellLink(link, "C:\\good.lnk"));
  std::string bytes;
  ASSERT_TRUE(files::readFile("C:\\good.lnk", bytes));
  shell::ShellLink out;
  EXPECT_FALSE(shell::loadShellLink("C:\\none.lnk", out));
  // Every cut of a good link is refused or read without reading past its end.
  for (size_t n = 0; n + 4 < bytes.size(); ++n) {
    ASSERT_TRUE(files::writeFile("C:\\cut.lnk", bytes.substr(0, n)));
    if (shell::loadShellLink("C:\\cut.lnk", out)) {
      EXPECT_FALSE(out.target.empty()) << n;
    }
  }
  // Offsets that point anywhere must not be followed out of the file.
  std::string wild = bytes;
  for (size_t at = 0x4C + 4; at < 0x4C + 0x1C; at += 4) {
    std::string w = wild;
    std::memset(&w[at], 0x7F, 4);
    ASSERT_TRUE(files::writeFile("C:\\wild.lnk", w));
    shell::loadShellLink("C:\\wild.lnk", out);
  }
  ASSERT_TRUE(files::writeFile("C:\\text.lnk", "[Shortcut]\r\nTarget=C:\\t.exe\r\n"));
  EXPECT_FALSE(shell::loadShellLink("C:\\text.lnk", out));
}

// A program that writes its arguments and folder beside itself.
const char* kRecorder = R"(#!/bin/sh
dir=$(dirname "$0")
printf '%s|' "$@" > "$dir/args.txt.tmp"
pwd >> "$dir/args.txt.tmp"
mv "$dir/args.txt.tmp" "$dir/args.txt"
exit 5
)";

std::string waitForFile(const std::string& path) {
  std::string data;
  for (int i = 0; i < 500 && !files::readFile(path, data); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return data;
}

class ShellExecuteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    ASSERT_TRUE(files::createDirectory("C:\\App"));
    ASSERT_TRUE(files::createDirectory("C:\\Work"));
    ASSERT_TRUE(files::writeFile("C:\\App\\Corvanta.exe", kRecorder));
  }
  std::string recordedArgs() { return waitForFile("C:\\App\\args.txt"); }
  TempMachine machine;
};

TEST_F(ShellExecuteTest, ProgramsStartWithTheirParameters) {
  EXPECT_GT(shell::shellExecute("open", "C:\\App\\Corvanta.exe", "\"System=a b\" /x", "C:\\Work"),
            32);
  EXPECT_EQ(recordedArgs(), "System=a b|/x|" + machine.host("C:\\Work") + "\n");
  auto events = machine::shellEvents();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].file, "C:\\App\\Corvanta.exe");
  EXPECT_EQ(events[0].parameters, "\"System=a b\" /x");

  long result = 0;
  auto process = shell::shellExecuteEx("", "C:\\App\\Corvanta.exe", "", "", result);
  EXPECT_GT(result, 32);
  ASSERT_NE(process, nullptr);
  ASSERT_TRUE(process->wait(-1));
  EXPECT_EQ(process->exitCode(), 5u);
}

TEST_F(ShellExecuteTest, ShortcutsStartTheirTargetThroughExplorer) {
  shell::ShellLink link{"C:\\App\\Corvanta.exe", "\"System=C:\\P\\demo\" \"/IGNOREPROFILEVERSION\"",
                        "C:\\Work", "", "", 0, 1};
  ASSERT_TRUE(shell::saveShellLink(link, "C:\\Work\\run.lnk"));
  // explorer.exe is found by its bare name in the Windows folder.
  EXPECT_GT(shell::shellExecute("open", "explorer.exe", "C:\\Work\\run.lnk", "C:\\Work"), 32);
  EXPECT_EQ(recordedArgs(), "System=C:\\P\\demo|/IGNOREPROFILEVERSION|" + machine.host("C:\\Work") + "\n");
}

TEST_F(ShellExecuteTest, ClassicErrorCodes) {
  ASSERT_TRUE(files::writeFile("C:\\App\\README", "text"));
  ASSERT_TRUE(files::writeFile("C:\\App\\binary.exe", std::string("MZ\0\0", 4)));
  ASSERT_TRUE(files::writeFile("C:\\App\\notes.txt", "text"));
  ASSERT_TRUE(files::writeFile("C:\\App\\broken.lnk", "not a link"));
  struct Row {
    const char* verb;
    const char* file;
    const char* directory;
    long result;
  } rows[] = {
      {"open", "C:\\App\\missing.txt", "", shell::SE_ERR_FNF},
      {"open", "C:\\No Folder\\x.txt", "", shell::SE_ERR_PNF},
      {"open", "nosuchprogram.exe", "", shell::SE_ERR_FNF},
      {"open", "", "", shell::SE_ERR_FNF},
      {"open", "C:\\App\\README", "", shell::SE_ERR_NOASSOC},
      {"frobnicate", "C:\\App\\notes.txt", "", shell::SE_ERR_NOASSOC},
      {"open", "C:\\App\\binary.exe", "", shell::SE_ERR_BAD_FORMAT},
      {"open", "C:\\App\\broken.lnk", "", shell::SE_ERR_BAD_FORMAT},
      {"open", "C:\\App\\Corvanta.exe", "C:\\No Folder", shell::SE_ERR_PNF},
      {"open", "C:\\App\\notes.txt", "", 42},
      {"print", "C:\\App\\notes.txt", "", 42},
      {"explore", "C:\\App", "", 42},
      {"open", "https://127.0.0.1/x", "", 42},
      {"open", "mailto:support@example.com", "", 42},
  };
  for (const Row& row : rows)
    EXPECT_EQ(shell::shellExecute(row.verb, row.file, "", row.directory), row.result)
        << row.verb << " " << row.file;
  EXPECT_EQ(machine::shellEvents().size(), 5u);  // only what was opened
}

}  // namespace
