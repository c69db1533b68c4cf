// The download and install runner end to end: a local server, a fresh machine, the
// scripted UI answering the boxes, and the notices the worker sends recorded on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>

#include "engine/component_entry.h"
#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace files = platform::files;
using Runner = DDownloadAndInstallComponent;

namespace {

class RecordingRunner : public Runner {
 public:
  using Runner::Runner;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    if (msg == WM_RUNNER_NOTIFY) {
      codes.push_back(static_cast<int>(wParam));
      if (wParam == kProgress) texts.emplace_back(reinterpret_cast<const char*>(lParam));
    }
    return Runner::onMessage(msg, wParam, lParam);
  }
  std::vector<int> codes;
  std::vector<std::string> texts;
};

const char* const kFolder = "C:\\App\\_CorvantaInstallData\\Test";
const char* const kDownloadFailed =
    "Download failed. Please abort the current operation and try again.";

// Writes its arguments as "[a][b]" lines into C:\App\args.txt of the machine it runs in.
const char* const kArgsStandIn =
    "#!/bin/sh\n"
    "out=\"$CORVANTA_MACHINE/drive_c/App/args.txt\"\n"
    "for a in \"$@\"; do printf '[%s]' \"$a\" >> \"$out\"; done\n"
    "printf '\\n' >> \"$out\"\n";

class DownloadRunner : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    ui_.setModalLimit(20000);
    ASSERT_TRUE(files::createDirectory("C:\\App"));
    platform::setDebugSink([this](const std::string& line) {
      std::lock_guard<std::mutex> lock(debugMutex_);
      debug_.push_back(line);
    });
  }
  void TearDown() override {
    platform::setDebugSink(nullptr);
    ui::setBackend(nullptr);
  }

  ComponentEntry entry(const std::string& url, const std::string& fileName,
                       const std::string& arguments = " ", bool msi = false,
                       const std::string& folder = kFolder) {
    return ComponentEntry("Test Component", url.c_str(), fileName.c_str(), arguments.c_str(),
                          folder.c_str(), msi, false, &name_, &state_, &progress_, "Tests");
  }
  static std::string read(const std::string& path) {
    std::string data;
    files::readFile(path, data);
    return data;
  }
  bool debugMentions(const std::string& part) {
    std::lock_guard<std::mutex> lock(debugMutex_);
    return std::any_of(debug_.begin(), debug_.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
  }

  TempMachine machine_;
  DemoFixture demo_;
  ui::ScriptedUi ui_;
  std::string name_, state_, progress_;
  std::mutex debugMutex_;
  std::vector<std::string> debug_;
};

TEST_F(DownloadRunner, ConstructionFormsPathsAndCreatesTheFolderOnly) {
  ComponentEntry e = entry(demo_.url("x.exe"), "X.exe", " ", false, "C:\\App\\one\\two\\three");
  Runner runner(1, 1, &e, true, false, true);
  EXPECT_EQ(runner.targetPath(), "C:\\App\\one\\two\\three\\X.exe");
  EXPECT_EQ(runner.temporaryPath(), "C:\\App\\one\\two\\three\\X.exetmp");
  EXPECT_EQ(runner.backupPath(), "C:\\App\\one\\two\\three\\X.exebk");
  EXPECT_TRUE(files::isDirectory("C:\\App\\one\\two\\three"));
  EXPECT_TRUE(demo_.server().requestLog().empty());
}

TEST_F(DownloadRunner, DownloadsWithProgressNotices) {
  const std::string data = patternBytes(250000);
  ComponentEntry e = entry(demo_.url("files/big.exe"), "big.exe");
  demo_.addFile("files/big.exe", data);
  RecordingRunner runner(2, 3, &e, true, false, true);

  EXPECT_EQ(runner.doModal(), win::IDOK);

  EXPECT_EQ(runner.codes, (std::vector<int>{100, 101, 101, 102}));
  EXPECT_EQ(runner.texts, (std::vector<std::string>{"100", "200"}));
  EXPECT_EQ(read(runner.targetPath()), data);
  EXPECT_FALSE(fileExists(runner.temporaryPath()));
  EXPECT_EQ(runner.totalSizeKB(), 244);
  EXPECT_TRUE(ui_.wasShown("Downloaded 0 KB from 244 KB"));
  EXPECT_TRUE(ui_.wasShown("Downloaded 100 KB from 244 KB"));
  EXPECT_TRUE(ui_.wasShown("Downloaded 200 KB from 244 KB"));
  EXPECT_EQ(runner.text(Runner::IDC_LINE1), "Download completed");
  EXPECT_EQ(runner.text(Runner::IDC_LINE2), "");
  EXPECT_EQ(runner.progressPosition(Runner::IDC_PROGRESS), 200 * 1000 / 244);
  EXPECT_EQ(runner.caption(),
            "Corvanta Vision Software Version XI 11.0.0.614 Installer - Download Component "
            "Installables");
  const ui::Control* header = runner.control(Runner::IDC_HEADER);
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->kind, ui::ControlKind::Header);
  EXPECT_EQ(header->text, "Downloading component 2 of 3");
  EXPECT_EQ(header->subtitle, "Test Component");
  EXPECT_EQ(header->image, "138");
  EXPECT_EQ(header->rect.width(), runner.width());
  EXPECT_EQ(header->rect.height(), 100);
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(DownloadRunner, BodyWithoutLengthStillCompletes) {
  const std::string data = patternBytes(250000);
  std::string path = demo_.addFile("chunked.exe", data);
  demo_.server().sendChunked(path);
  ComponentEntry e = entry(demo_.url("chunked.exe"), "chunked.exe");
  RecordingRunner runner(1, 1, &e, true, false, true);

  EXPECT_EQ(runner.doModal(), win::IDOK);
  EXPECT_EQ(runner.codes, (std::vector<int>{100, 101, 101, 102}));
  EXPECT_TRUE(ui_.wasShown("Downloaded 0 KB from 0 KB"));
  EXPECT_TRUE(ui_.wasShown("Downloaded 200 KB from 0 KB"));
  EXPECT_EQ(runner.progressPosition(Runner::IDC_PROGRESS), 0);
  EXPECT_EQ(read(runner.targetPath()), data);
}

TEST_F(DownloadRunner, ExistingTargetIsNotFetchedAgain) {
  demo_.addFile("there.exe", "new");
  ComponentEntry e = entry(demo_.url("there.exe"), "there.exe");
  RecordingRunner probe(1, 1, &e, true, false, true);
  ASSERT_TRUE(files::writeFile(probe.targetPath(), "old"));

  RecordingRunner runner(1, 1, &e, true, false, true);
  EXPECT_EQ(runner.doModal(), win::IDOK);
  EXPECT_EQ(runner.codes, std::vector<int>{102});
  EXPECT_EQ(read(runner.targetPath()), "old");
  EXPECT_TRUE(demo_.server().requestLog().empty());
}

TEST_F(DownloadRunner, ReplaceExistingKeepsTheNewFileOrRestoresTheOld) {
  demo_.addFile("good.exe", "fresh");
  std::string truncated = demo_.addFile("cut.exe", patternBytes(150000));
  demo_.server().truncateAfter(truncated, 60000);
  struct Row {
    const char* file;
    int result;
    const char* content;
  };
  const Row rows[] = {{"good.exe", win::IDOK, "fresh"},
                      {"missing.exe", win::IDCANCEL, "old"},
                      {"cut.exe", win::IDCANCEL, "old"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    ComponentEntry e = entry(demo_.url(row.file), row.file);
    Runner runner(1, 1, &e, true, true, true);
    ASSERT_TRUE(files::writeFile(runner.targetPath(), "old"));
    ASSERT_TRUE(files::writeFile(runner.backupPath(), "stale backup"));

    EXPECT_EQ(runner.doModal(), row.result);
    EXPECT_EQ(read(runner.targetPath()), row.content);
    EXPECT_FALSE(fileExists(runner.backupPath()));
  }
}

TEST_F(DownloadRunner, FailuresEndWithTheirMessage) {
  std::string redirected = demo_.addFile("moved.exe", "x");
  demo_.server().failWith(redirected, 302, "/elsewhere.exe");
  std::string temporary = demo_.addFile("temporary.exe", "x");
  demo_.server().failWith(temporary, 307, "/elsewhere.exe");
  std::string cut = demo_.addFile("cut.exe", patternBytes(200000));
  demo_.server().truncateAfter(cut, 120000);
  std::string locked = demo_.addFile("locked.exe", "x");
  demo_.server().requireCredentials(locked, "user", "secret");
  DemoServer closed(demo_.root());
  ASSERT_TRUE(closed.start());
  std::string refusedUrl = closed.baseUrl() + "x.exe";
  closed.stop();
  std::string https = demo_.url("x.exe").replace(0, 4, "https");

  struct Row {
    std::string url;
    std::function<void()> prepare;
    std::string text;
  };
  const Row rows[] = {
      {demo_.url("moved.exe"), nullptr, "Error - Server Redirection"},
      {demo_.url("nothing.exe"), nullptr, "Server responded with HTTP error - 404"},
      {demo_.url("temporary.exe"), nullptr, "Server responded with HTTP error - 307"},
      {https, nullptr, "Error - Server does not provide HTTP service"},
      {"not a url", nullptr, "Error - Invalid URL"},
      {refusedUrl, nullptr, "A connection with the server could not be established"},
      {demo_.url("cut.exe"), nullptr, "The connection with the server was reset"},
      {demo_.url("locked.exe"), [this] { ui_.answerCredentials("", ""); },
       "Error - Login rejected by the server"},
      {demo_.url("locked.exe"), [this] { ui_.answerCredentials("user", "wrong"); },
       "Server responded with HTTP error - 401"},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    if (row.prepare) row.prepare();
    size_t before = ui_.messages().size();
    ComponentEntry e = entry(row.url, "file" + std::to_string(n++) + ".exe");
    RecordingRunner runner(1, 1, &e, true, false, true);

    EXPECT_EQ(runner.doModal(), win::IDCANCEL);

    auto messages = ui_.messages();
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back().text, "Error. Unable to download file - " + row.text);
    EXPECT_EQ(messages.back().caption, ui::applicationTitle());
    EXPECT_EQ(runner.codes.back(), 103);
    EXPECT_EQ(runner.text(Runner::IDC_LINE1), kDownloadFailed);
    EXPECT_EQ(runner.progressPosition(Runner::IDC_PROGRESS), 1000);
    EXPECT_FALSE(fileExists(runner.targetPath()));
  }
  // Redirections are reported, never followed.
  auto log = demo_.server().requestLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "/elsewhere.exe"), 0);
}

TEST_F(DownloadRunner, QuietFailureWithoutShowErrors) {
  ComponentEntry e = entry(demo_.url("nothing.exe"), "nothing.exe");
  Runner runner(1, 1, &e, true, false, false);
  EXPECT_EQ(runner.doModal(), win::IDCANCEL);
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(DownloadRunner, AcceptedCredentialsFetchTheFile) {
  std::string path = demo_.addFile("locked.exe", "payload");
  demo_.server().requireCredentials(path, "user", "secret");
  ui_.answerCredentials("user", "secret");
  ComponentEntry e = entry(demo_.url("locked.exe"), "locked.exe");
  Runner runner(1, 1, &e, true, false, true);

  EXPECT_EQ(runner.doModal(), win::IDOK);
  EXPECT_EQ(read(runner.targetPath()), "payload");
}

TEST_F(DownloadRunner, TemporaryPathOf260CharactersIsTooLong) {
  demo_.addFile("f.bin", "content");
  // Temporary path = folder + "\f.bintmp": 9 characters beyond the folder.
  auto folderOf = [](size_t length) {
    std::string folder = "C:\\App\\" + std::string(120, 'a') + "\\";
    return folder + std::string(length - folder.size(), 'b');
  };
  {
    ComponentEntry e = entry(demo_.url("f.bin"), "f.bin", " ", false, folderOf(251));
    RecordingRunner runner(1, 1, &e, true, false, true);
    ASSERT_EQ(runner.temporaryPath().size(), 260u);
    EXPECT_EQ(runner.doModal(), win::IDCANCEL);
    EXPECT_EQ(runner.codes, std::vector<int>{103});
  }  // the worker's pause after the message ends with the dialog
  EXPECT_TRUE(ui_.wasShown(
      "Error. Download path too long. Please copy the installer EXE to shorter path and try "
      "again."));
  EXPECT_TRUE(demo_.server().requestLog().empty());
  EXPECT_FALSE(debugMentions("detached"));

  ComponentEntry e = entry(demo_.url("f.bin"), "f.bin", " ", false, folderOf(250));
  Runner runner(1, 1, &e, true, false, true);
  ASSERT_EQ(runner.temporaryPath().size(), 259u);
  EXPECT_EQ(runner.doModal(), win::IDOK);
  EXPECT_EQ(read(runner.targetPath()), "content");
}

TEST_F(DownloadRunner, InstallStageRunsTheInstallerWithItsCommandLine) {
  demo_.addFile("setup.exe", kArgsStandIn);
  demo_.addFile("package.msi", "not run itself");
  // The system's msiexec is replaced by the recorder in this machine.
  ASSERT_TRUE(files::writeFile("C:\\windows\\system32\\msiexec.exe", kArgsStandIn));

  struct Row {
    const char* file;
    const char* arguments;
    bool msi;
    std::string expected;  // "" and absent: nothing was started
  };
  const std::string msiTarget = std::string(kFolder) + "\\package.msi";
  const Row rows[] = {
      {"setup.exe", " /quiet /norestart", false, "[/quiet][/norestart]\n"},
      {"setup.exe", " ", false, "\n"},
      {"setup.exe", "CopyEXEFullPath", false, "\n"},
      {"setup.exe", "", false, ""},
      {"package.msi", "", true, "[/i][" + msiTarget + "][/passive]\n"},
      {"package.msi", "/qn ALLUSERS=1", true, "[/i][" + msiTarget + "][/qn][ALLUSERS=1]\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.file) + " '" + row.arguments + "'");
    files::deleteFile("C:\\App\\args.txt");
    ComponentEntry e = entry(demo_.url(row.file), row.file, row.arguments, row.msi);
    RecordingRunner runner(1, 1, &e, false, true, true);

    EXPECT_EQ(runner.doModal(), win::IDOK);

    EXPECT_EQ(runner.codes, (std::vector<int>{100, 102, 104}));
    EXPECT_EQ(read("C:\\App\\args.txt"), row.expected);
    EXPECT_EQ(runner.text(Runner::IDC_LINE3), "Installation completed");
    EXPECT_EQ(runner.progressPosition(Runner::IDC_PROGRESS), 1000);
    EXPECT_EQ(runner.caption(),
              "Corvanta Vision Software Version XI 11.0.0.614 Installer - Download and Install "
              "Components");
    EXPECT_EQ(runner.control(Runner::IDC_HEADER)->text, "Installing component 1 of 1");
  }
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(DownloadRunner, AbortAnsweredNoLetsTheDownloadFinish) {
  std::string path = demo_.addFile("slow.exe", patternBytes(120000));
  demo_.server().sendSlowly(path, 8192, 15);
  ui_.whenShown("Download Component Installables", [](ui::Window& w) { w.click(2); });
  ui_.answer(win::IDNO);
  ComponentEntry e = entry(demo_.url("slow.exe"), "slow.exe");
  Runner runner(1, 1, &e, true, false, true);

  EXPECT_EQ(runner.doModal(), win::IDOK);

  auto messages = ui_.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "Confirmation");
  EXPECT_EQ(messages[0].text, "Do you want to abort download of the selected components?");
  EXPECT_TRUE(fileExists(runner.targetPath()));
}

TEST_F(DownloadRunner, AbortAnsweredYesClosesAndStopsTheWorker) {
  std::string path = demo_.addFile("stalled.exe", patternBytes(120000));
  demo_.server().stallAfter(path, 10000);
  ui_.whenShown("Download and Install Components", [](ui::Window& w) { w.click(2); });
  ui_.answer(win::IDYES);
  std::string target;
  {
    ComponentEntry e = entry(demo_.url("stalled.exe"), "stalled.exe");
    Runner runner(1, 1, &e, false, false, true);
    target = runner.targetPath();
    EXPECT_EQ(runner.doModal(), win::IDCANCEL);
  }
  auto messages = ui_.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Do you want to abort installation of the selected components?");
  EXPECT_FALSE(fileExists(target));
  EXPECT_FALSE(debugMentions("detached"));
}

TEST_F(DownloadRunner, DeleteDownloadedFiles) {
  ComponentEntry e = entry(demo_.url("x.exe"), "x.exe");
  Runner runner(1, 1, &e, true, false, true);
  ASSERT_TRUE(files::writeFile(runner.temporaryPath(), "t"));
  ASSERT_TRUE(files::writeFile(runner.targetPath(), "x"));
  ASSERT_TRUE(files::writeFile(runner.backupPath(), "b"));
  files::setAttributes(runner.targetPath(), win::FILE_ATTRIBUTE_READONLY);

  EXPECT_TRUE(runner.deleteDownloadedFiles());
  EXPECT_FALSE(fileExists(runner.temporaryPath()));
  EXPECT_FALSE(fileExists(runner.targetPath()));
  EXPECT_TRUE(fileExists(runner.backupPath()));
  EXPECT_TRUE(runner.deleteDownloadedFiles());
}

}  // namespace
