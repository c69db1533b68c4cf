// The download and install runner end to end: a local server, a fresh machine, the
// scripted UI answering the boxes, and the notices the worker sends recorded on the way.
#include <gtest/gtest.h>

#include <stdlib.h>

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
    detachedBefore_ = WorkerThread::detachedCount();
    ASSERT_TRUE(files::createDirectory("C:\\App"));
    platform::setDebugSink([this](const std::string& line) {
      std::lock_guard<std::mutex> lock(debugMutex_);
      debug_.push_back(line);
    });
  }
  void TearDown() override {
    // Every worker honoured its stop request: none was left running.
    EXPECT_EQ(WorkerThread::detachedCount(), detachedBefore_);
    platform::setDebugSink(nullptr);
    ui::setBackend(nullptr);
  }

  int detachedBefore_ = 0;

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
    bool hadTarget;  // false: only a backup left by an earlier, cancelled run
    int result;
    const char* content;
  };
  // Without a target the backup is the previous file: a failure brings it back.
  const Row rows[] = {{"good.exe", true, win::IDOK, "fresh"},
                      {"missing.exe", true, win::IDCANCEL, "old"},
                      {"cut.exe", true, win::IDCANCEL, "old"},
                      {"good.exe", false, win::IDOK, "fresh"},
                      {"missing.exe", false, win::IDCANCEL, "stale backup"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.file) + (row.hadTarget ? " over a target" : " over a backup"));
    ComponentEntry e = entry(demo_.url(row.file), row.file);
    Runner runner(1, 1, &e, true, true, true);
    files::deleteFile(runner.targetPath());
    if (row.hadTarget) {
      ASSERT_TRUE(files::writeFile(runner.targetPath(), "old"));
    }
    ASSERT_TRUE(files::writeFile(runner.backupPath(), "stale backup"));
    // A read-only backup is replaced all the same.
    files::setAttributes(runner.backupPath(), win::FILE_ATTRIBUTE_READONLY);

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

  std::string permanent = demo_.addFile("permanent.exe", "x");
  demo_.server().failWith(permanent, 301, "/elsewhere.exe");
  std::string seeOther = demo_.addFile("other.exe", "x");
  demo_.server().failWith(seeOther, 303, "/elsewhere.exe");
  // Lengths that cannot be checked against the body.
  std::string oddLength = demo_.addFile("odd.exe", patternBytes(3000));
  demo_.server().sendWithHeaders(oddLength, {{"Content-Length", "1e3"}});
  std::string twoLengths = demo_.addFile("two.exe", patternBytes(3000));
  demo_.server().sendWithHeaders(twoLengths,
                                 {{"Content-Length", "3000"}, {"Content-Length", "2000"}});

  struct Row {
    std::string url;
    std::function<void()> prepare;
    std::string text;
    size_t partial;  // bytes left in the temporary file; npos: no temporary file
  };
  const size_t none = std::string::npos;
  const Row rows[] = {
      {demo_.url("permanent.exe"), nullptr, "Error - Server Redirection", none},
      {demo_.url("moved.exe"), nullptr, "Error - Server Redirection", none},
      {demo_.url("other.exe"), nullptr, "Error - Server Redirection", none},
      {demo_.url("nothing.exe"), nullptr, "Server responded with HTTP error - 404", none},
      {demo_.url("temporary.exe"), nullptr, "Server responded with HTTP error - 307", none},
      {https, nullptr, "Error - Server does not provide HTTP service", none},
      {"not a url", nullptr, "Error - Invalid URL", none},
      {refusedUrl, nullptr, "A connection with the server could not be established", none},
      // A short body is never taken for the whole file.
      {demo_.url("cut.exe"), nullptr, "The connection with the server was reset", 120000},
      {demo_.url("odd.exe"), nullptr, "The connection with the server was reset", none},
      {demo_.url("two.exe"), nullptr, "The connection with the server was reset", none},
      {demo_.url("locked.exe"), [this] { ui_.answerCredentials("", ""); },
       "Error - Login rejected by the server", none},
      {demo_.url("locked.exe"), [this] { ui_.answerCredentials("user", "wrong"); },
       "Server responded with HTTP error - 401", none},
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
    EXPECT_EQ(runner.text(Runner::IDC_LINE2), "");
    EXPECT_EQ(runner.text(Runner::IDC_LINE3), "");
    EXPECT_FALSE(fileExists(runner.targetPath()));
    if (row.partial == none) {
      EXPECT_FALSE(fileExists(runner.temporaryPath()));
    } else {
      EXPECT_EQ(read(runner.temporaryPath()).size(), row.partial);
    }
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

TEST_F(DownloadRunner, BrokenBodyFailsWithThePlatformTextAndRestoresThePreviousFile) {
  // A short idle limit keeps the stalled case quick; the limit is read per request.
  struct IdleLimit {
    IdleLimit() { setenv("CORVANTA_HTTP_IDLE_TIMEOUT_MS", "300", 1); }
    ~IdleLimit() { unsetenv("CORVANTA_HTTP_IDLE_TIMEOUT_MS"); }
  } idleLimit;
  std::string cut = demo_.addFile("cut.exe", patternBytes(300000));
  demo_.server().truncateAfter(cut, 150000);
  std::string stalled = demo_.addFile("stalled.exe", patternBytes(300000));
  demo_.server().stallAfter(stalled, 90000);
  struct Row {
    const char* file;
    const char* text;
    size_t partial;
    std::vector<int> codes;
  };
  const Row rows[] = {
      {"cut.exe", "The connection with the server was reset", 150000, {100, 101, 103}},
      {"stalled.exe", "The operation timed out", 90000, {100, 103}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    size_t before = ui_.messages().size();
    ComponentEntry e = entry(demo_.url(row.file), row.file);
    RecordingRunner runner(1, 1, &e, true, true, true);
    ASSERT_TRUE(files::writeFile(runner.targetPath(), "previous"));

    EXPECT_EQ(runner.doModal(), win::IDCANCEL);

    auto messages = ui_.messages();
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back().text, std::string("Error. Unable to download file - ") + row.text);
    EXPECT_EQ(runner.codes, row.codes);
    EXPECT_EQ(runner.text(Runner::IDC_LINE1), kDownloadFailed);
    EXPECT_EQ(read(runner.targetPath()), "previous");
    EXPECT_FALSE(fileExists(runner.backupPath()));
    EXPECT_EQ(read(runner.temporaryPath()), patternBytes(300000).substr(0, row.partial));
  }
}

TEST_F(DownloadRunner, CredentialsPromptThenSuccessShowsTheUsualTexts) {
  const std::string data = patternBytes(110000);
  std::string path = demo_.addFile("locked.bin", data);
  demo_.server().requireCredentials(path, "installer", "s3cret pass");
  ui_.answerCredentials("installer", "s3cret pass");
  ComponentEntry e = entry(demo_.url("locked.bin"), "locked.bin");
  RecordingRunner runner(1, 1, &e, true, false, true);

  EXPECT_EQ(runner.doModal(), win::IDOK);

  EXPECT_EQ(runner.codes, (std::vector<int>{100, 101, 102}));
  EXPECT_TRUE(ui_.wasShown("Downloaded 100 KB from 107 KB"));
  EXPECT_EQ(runner.text(Runner::IDC_LINE1), "Download completed");
  EXPECT_EQ(read(runner.targetPath()), data);
  EXPECT_FALSE(fileExists(runner.temporaryPath()));
  // The same request once without and once with the credentials; no message box.
  EXPECT_EQ(demo_.server().requestLog(), (std::vector<std::string>{path, path}));
  EXPECT_TRUE(ui_.messages().empty());
  EXPECT_EQ(ui_.unanswered(), 0);
}

TEST_F(DownloadRunner, UnexpectedFailureNamesTheMode) {
  demo_.addFile("blocked.exe", "payload");
  const std::pair<bool, const char*> rows[] = {
      {true, "Error. Unable to download the component - Unexpected error"},
      {false, "Error. Unable to install the component - Unexpected error"}};
  for (auto [downloadOnly, text] : rows) {
    SCOPED_TRACE(text);
    size_t before = ui_.messages().size();
    ComponentEntry e = entry(demo_.url("blocked.exe"), "blocked.exe");
    RecordingRunner runner(1, 1, &e, downloadOnly, false, true);
    // A folder in the way of the temporary file: it cannot be created.
    files::createDirectory(runner.temporaryPath());

    EXPECT_EQ(runner.doModal(), win::IDCANCEL);

    auto messages = ui_.messages();
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back().text, text);
    EXPECT_EQ(runner.codes, std::vector<int>{103});
    EXPECT_EQ(runner.text(Runner::IDC_LINE1),
              downloadOnly ? kDownloadFailed
                           : "Download failed. Please abort the installation and try again.");
    EXPECT_FALSE(fileExists(runner.targetPath()));
  }
}

// Presses Abort once the first progress notice has been shown, so the download is well
// under way (a partial temporary file) when the user gives up.
class AbortAfterFirstNotice : public RecordingRunner {
 public:
  using RecordingRunner::RecordingRunner;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override {
    long r = RecordingRunner::onMessage(msg, wParam, lParam);
    if (msg == WM_RUNNER_NOTIFY && wParam == kProgress && !pressed_) {
      pressed_ = true;
      click(IDC_ABORT);
    }
    return r;
  }

 private:
  bool pressed_ = false;
};

TEST_F(DownloadRunner, AbortAnsweredYesDuringASlowBodyLeavesThePartialFile) {
  // About 20 s for the whole body: only a prompt stop ends the test in time.
  std::string path = demo_.addFile("slow.exe", patternBytes(4000000));
  demo_.server().sendSlowly(path, 4096, 20);
  ui_.answer(win::IDYES);
  std::string temporary, target;
  {
    ComponentEntry e = entry(demo_.url("slow.exe"), "slow.exe");
    AbortAfterFirstNotice runner(1, 1, &e, true, false, true);
    temporary = runner.temporaryPath();
    target = runner.targetPath();

    EXPECT_EQ(runner.doModal(), win::IDCANCEL);
    // Closed at once: the worker is still downloading.
    EXPECT_EQ(runner.codes, (std::vector<int>{100, 101}));
    EXPECT_EQ(ui_.modalCaptions().size(), 1u);
  }  // destroying the dialog stops the worker
  EXPECT_FALSE(debugMentions("detached"));
  auto messages = ui_.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Do you want to abort download of the selected components?");
  EXPECT_EQ(messages[0].caption, "Confirmation");
  // Cancelled quietly: no error box, no target, the partial file as received.
  EXPECT_FALSE(fileExists(target));
  std::string partial = read(temporary);
  EXPECT_GT(partial.size(), 102400u);
  EXPECT_LT(partial.size(), 4000000u);
  EXPECT_EQ(partial, patternBytes(partial.size()));
}

TEST_F(DownloadRunner, AbortedReplacementPutsThePreviousFileBack) {
  std::string path = demo_.addFile("slow.exe", patternBytes(4000000));
  demo_.server().sendSlowly(path, 4096, 20);
  ui_.answer(win::IDYES);
  std::string target, backup;
  {
    ComponentEntry e = entry(demo_.url("slow.exe"), "slow.exe");
    AbortAfterFirstNotice runner(1, 1, &e, true, true, true);
    target = runner.targetPath();
    backup = runner.backupPath();
    ASSERT_TRUE(files::writeFile(target, "previous"));
    EXPECT_EQ(runner.doModal(), win::IDCANCEL);
  }
  EXPECT_EQ(read(target), "previous");
  EXPECT_FALSE(fileExists(backup));
}

TEST_F(DownloadRunner, FolderInThePlaceOfTheFileIsAFailure) {
  demo_.addFile("x.exe", "payload");
  ComponentEntry e = entry(demo_.url("x.exe"), "x.exe");
  for (bool replace : {false, true}) {
    SCOPED_TRACE(replace ? "replacing" : "keeping");
    size_t before = ui_.messages().size();
    RecordingRunner runner(1, 1, &e, true, replace, true);
    ASSERT_TRUE(files::createDirectory(runner.targetPath()) || replace);

    EXPECT_EQ(runner.doModal(), win::IDCANCEL);
    auto messages = ui_.messages();
    ASSERT_EQ(messages.size(), before + 1);
    EXPECT_EQ(messages.back().text, "Error. Unable to process the downloaded file");
    EXPECT_EQ(runner.codes, std::vector<int>{103});
    EXPECT_EQ(runner.text(Runner::IDC_LINE1), kDownloadFailed);
  }
}

TEST_F(DownloadRunner, WaitForTheInstallerEndsWhenTheDialogGoes) {
  // The installer reports that it runs, then runs until told to stop.
  const std::string marker = machine_.root() + "/installer-running";
  const std::string stop = machine_.root() + "/installer-stop";
  // It removes its marker when it ends, and also ends when the marker is taken away.
  demo_.addFile("long.exe",
                "#!/bin/sh\n: > \"$1\"\nwhile [ ! -e \"$2\" ] && [ -e \"$1\" ]; do sleep 0.02; done\n"
                "rm -f \"$1\"\n");
  ui_.answer(win::IDYES);
  std::function<void()> pressWhenRunning;
  Runner* shown = nullptr;
  pressWhenRunning = [&] {
    if (fileExists(marker)) shown->click(Runner::IDC_ABORT);
    else ui_.after(20, pressWhenRunning);
  };
  {
    ComponentEntry e = entry(demo_.url("long.exe"), "long.exe", " " + marker + " " + stop);
    RecordingRunner runner(1, 1, &e, false, false, true);
    shown = &runner;
    ui_.after(20, pressWhenRunning);

    EXPECT_EQ(runner.doModal(), win::IDCANCEL);
    EXPECT_EQ(runner.codes, (std::vector<int>{100, 102}));
    EXPECT_EQ(runner.text(Runner::IDC_LINE3), "Installing... Please wait...");
  }
  EXPECT_FALSE(debugMentions("detached"));
  EXPECT_EQ(ui_.messageTexts(), std::vector<std::string>{
                                    "Do you want to abort installation of the selected components?"});
  // The worker only stopped waiting; the installer itself is let go and ends on its own.
  EXPECT_TRUE(fileExists(marker));
  files::writeFile(stop, "");
  EXPECT_TRUE(ui::waitPumping([&] { return !fileExists(marker); }, 5000));
}

TEST_F(DownloadRunner, InstallerArgumentsReachTheProgramExactlyWithoutAShell) {
  demo_.addFile("setup.exe", kArgsStandIn);
  const std::string witness = machine_.root() + "/shell-ran";
  // Blanks, quotes, backslashes and shell syntax; a shell would run the touch.
  const std::string arguments = " \"two words\" quote\\\"inside $(touch " + witness +
                                ") ;ls |cat >out 'single' a\\\\b \"trailing\\\\\" `id` %PATH%";
  ComponentEntry e = entry(demo_.url("setup.exe"), "setup.exe", arguments, false,
                           "C:\\App\\With Blanks & more");
  RecordingRunner runner(1, 1, &e, false, false, true);

  EXPECT_EQ(runner.doModal(), win::IDOK);

  EXPECT_EQ(runner.codes, (std::vector<int>{100, 102, 104}));
  EXPECT_EQ(read("C:\\App\\args.txt"),
            "[two words][quote\"inside][$(touch][" + witness +
                ")][;ls][|cat][>out]['single'][a\\\\b][trailing\\][`id`][%PATH%]\n");
  EXPECT_FALSE(fileExists(witness));
}

TEST_F(DownloadRunner, MsiPackageInAFolderWithBlanksGoesToTheSystemMsiexec) {
  demo_.addFile("package.msi", "not run itself");
  // Records where it was started from as well as its arguments.
  ASSERT_TRUE(files::writeFile(
      "C:\\windows\\system32\\msiexec.exe",
      "#!/bin/sh\nout=\"$CORVANTA_MACHINE/drive_c/App/args.txt\"\n"
      "printf '%s\\n' \"$0\" > \"$out\"\nfor a in \"$@\"; do printf '[%s]' \"$a\" >> \"$out\"; "
      "done\n"));
  const std::string folder = "C:\\App\\Install Data";
  ComponentEntry e = entry(demo_.url("package.msi"), "package.msi", "", true, folder);
  RecordingRunner runner(1, 1, &e, false, false, true);

  EXPECT_EQ(runner.doModal(), win::IDOK);

  std::string recorded = read("C:\\App\\args.txt");
  size_t newline = recorded.find('\n');
  ASSERT_NE(newline, std::string::npos);
  EXPECT_EQ(recorded.substr(0, newline), machine_.host("C:\\windows\\system32\\msiexec.exe"));
  EXPECT_EQ(recorded.substr(newline + 1), "[/i][" + folder + "\\package.msi][/passive]");
}

}  // namespace
