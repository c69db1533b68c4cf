// The routines behind the catalogue rows that do more than look: uninstallers run with the
// right command lines and their windows answered, Python's configuration, the system Path,
// the runtime-folder packages and the controller's removal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>

#include "engine/check_installations.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/ui/scripted_ui.h"
#include "platform/windows.h"
#include "tests/engine/engine_machine.h"

using namespace engine_test;
namespace reg = platform::registry;
namespace fs = std::filesystem;
using C = mxCheckInstallations;

namespace {

class ChecksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    ui::setBackend(&ui_);
    watchTimings() = WatchTimings{};
  }
  void TearDown() override {
    watchTimings() = WatchTimings{};
    ui::setBackend(nullptr);
  }
  // Waits (bounded) until the stand-ins have logged n lines.
  bool waitForLog(size_t n) {
    for (int i = 0; i < 1000 && logLines().size() < n; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return logLines().size() >= n;
  }
  // The test plays the user's desktop: a window owned by this process.
  uintptr_t showWindow(const std::string& title) {
    return platform::machine::createWindow(title, static_cast<unsigned long>(getpid()));
  }

  TempMachine machine_;
  ui::ScriptedUi ui_;
};

TEST_F(ChecksTest, ModuleUninstallerIsConfirmedAndClosed) {
  product(kPython, "Python 2.7.9");
  uninstallValue("six-py2.7", "UninstallString",
                 "\"C:\\Python27\\Removesix.exe\" -u \"C:\\Python27\\six-wininst.log\"");
  std::string marker = machine_.root() + "/finished";
  // The uninstaller stays until its finish window was closed.
  standIn("C:\\Python27\\Removesix.exe",
          "i=0; while [ ! -f '" + marker + "' ] && [ $i -lt 400 ]; do sleep 0.02; i=$((i+1)); done");
  std::atomic<unsigned> confirmCommand{0}, finishMessage{0};
  std::thread desktop([&] {
    if (!waitForLog(1)) return;
    uintptr_t confirm = showWindow("Please confirm");
    if (auto m = platform::machine::takeMessage(confirm, 5000))
      confirmCommand = m->message == platform::windows::WM_COMMAND ? static_cast<unsigned>(m->wParam) : 0;
    platform::machine::destroyWindow(confirm);
    uintptr_t finished = showWindow("Uninstall Finished!");
    if (auto m = platform::machine::takeMessage(finished, 5000)) finishMessage = m->message;
    file(machine_.root() + "/finished");
  });
  EXPECT_TRUE(C::runModuleUninstaller("six-py2.7"));
  desktop.join();
  EXPECT_EQ(logLines(), std::vector<std::string>{"-u C:\\Python27\\six-wininst.log"});
  EXPECT_EQ(confirmCommand.load(), 6u);  // Yes
  EXPECT_EQ(finishMessage.load(), platform::windows::WM_CLOSE);
  EXPECT_FALSE(C::runModuleUninstaller("missing-py2.7"));
}

TEST_F(ChecksTest, WatchedUninstallerWaitsForTheWindowOfItsCopy) {
  watchTimings().gonePollMs = 20;
  uninstallValue("Speccy", "UninstallString", "\"C:\\Program Files\\Speccy\\uninst.exe\"");
  standIn("C:\\Program Files\\Speccy\\uninst.exe");  // hands over and ends at once
  std::atomic<bool> gone{false};
  std::thread copy([&] {
    if (!waitForLog(1)) return;
    uintptr_t w = showWindow("Speccy v1.25 Uninstall");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    gone = true;
    platform::machine::destroyWindow(w);
  });
  EXPECT_TRUE(C::runWatchedUninstaller("Speccy", "Speccy v1.25 Uninstall"));
  EXPECT_TRUE(gone.load());
  copy.join();
  EXPECT_EQ(logLines(), std::vector<std::string>{""});  // started without arguments
  EXPECT_FALSE(C::runWatchedUninstaller("Nothing", "x"));
}

// A stop request ends a removal that is waiting on another program's window, within the
// bound a runner gives its worker.
TEST_F(ChecksTest, StoppedRemovalLeavesItsWindowPoll) {
  struct Case {
    const char* row;
    const char* key;
    const char* window;  // shown and left open: the poll for its going; none: for its coming
  } cases[] = {
      {"Corvanta TeamViewer 8 Host.exe", "TeamViewer 8 Host", nullptr},
      {"Speccy v1.25", "Speccy", "Speccy v1.25 Uninstall"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    fs::remove(logPath());
    uninstallValue(c.key, "UninstallString", "\"C:\\Uninstallers\\uninst.exe\"");
    standIn("C:\\Uninstallers\\uninst.exe");
    uintptr_t window = c.window ? showWindow(c.window) : 0;
    ComponentEntry entry(c.row, "", "", "", "", false, false, nullptr, nullptr, nullptr, "");
    platform::CancelToken cancel;
    std::atomic<bool> done{false}, removed{true};
    std::thread worker([&] {
      removed = C::removeComponent(entry, cancel);
      done = true;
    });
    ASSERT_TRUE(waitForLog(1));  // the uninstaller ran; the removal now polls
    EXPECT_FALSE(done.load());
    cancel.cancel();
    for (int i = 0; i < 500 && !done; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(done.load());
    worker.join();
    EXPECT_FALSE(removed.load());  // stopped is not removed
    if (window) platform::machine::destroyWindow(window);
  }
}

TEST_F(ChecksTest, UninstallerFamiliesStartTheirCommandLines) {
  struct Case {
    const char* key;
    const char* value;
    const char* command;
    const char* program;
    std::function<bool()> run;
    const char* logged;
  } cases[] = {
      // The arguments alone are the command line: its first word stands where the program
      // name would.
      {"PerformanceTest 8_is1", "QuietUninstallString",
       "\"C:\\Program Files\\PT\\unins000.exe\" /VERYSILENT /SUPPRESSMSGBOXES",
       "C:\\Program Files\\PT\\unins000.exe",
       [] { return C::runQuotedUninstaller("PerformanceTest 8_is1", "QuietUninstallString"); },
       "/SUPPRESSMSGBOXES"},
      {"OPC CLIENT", "UninstallString", "C:\\OPC\\isuninst.exe -fC:\\OPC\\opc.isu", "C:\\OPC\\isuninst.exe",
       [] { return C::runSplitUninstaller("OPC CLIENT"); }, "-fC:\\OPC\\opc.isu"},
      {"{C2E6E999-4516-40D2-8191-79B5CB4B987B}", "UninstallString",
       "RunDll32 C:\\IS\\Ctor.dll,LaunchSetup \"C:\\IS\\setup.exe\" -removeonly",
       "C:\\windows\\system32\\rundll32.exe",
       [] { return C::runShellUninstaller("{C2E6E999-4516-40D2-8191-79B5CB4B987B}"); },
       "C:\\IS\\Ctor.dll,LaunchSetup C:\\IS\\setup.exe -removeonly"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    fs::remove(logPath());
    EXPECT_FALSE(c.run());  // no command registered yet
    uninstallValue(c.key, c.value, c.command, reg::Hive::CurrentUser);
    standIn(c.program);
    EXPECT_TRUE(c.run());
    EXPECT_EQ(logLines(), std::vector<std::string>{c.logged});
  }
  // A program that cannot be started is a failed removal.
  uninstallValue("Pylon", "UninstallString", "\"C:\\missing.exe\" /S");
  EXPECT_FALSE(C::runQuotedUninstaller("Pylon", "UninstallString"));
}

TEST_F(ChecksTest, PythonProductsAreCountedAndAllRemoved) {
  product("{11111111-1111-1111-1111-111111111111}", "Python 2.7.8");
  product(kPython, "Python 2.7.9", "2.7.9150", 2);
  product("{22222222-2222-2222-2222-222222222222}", "Python 3.4.1");
  product("{33333333-3333-3333-3333-333333333333}", "python 2.7 lower case");
  EXPECT_EQ(C::countPython27Products(), 2);
  EXPECT_TRUE(C::removePython27Products());
  EXPECT_EQ(C::countPython27Products(), 0);
  EXPECT_TRUE(C::isMsiProductInstalled("{22222222-2222-2222-2222-222222222222}"));
}

TEST_F(ChecksTest, MsiexecIsStartedWithTheRemovalArguments) {
  standIn("C:\\windows\\system32\\msiexec.exe");
  EXPECT_TRUE(C::runMsiexecUninstall(kPython));
  EXPECT_EQ(logLines(), std::vector<std::string>{std::string("/x ") + kPython + " /passive"});
}

TEST_F(ChecksTest, PyParsingGetsTheRuntimeLibraryBesideItsUninstaller) {
  EXPECT_FALSE(C::uninstallPyParsing());  // no runtime: the user is told
  ASSERT_EQ(ui_.messageTexts().size(), 1u);
  EXPECT_EQ(ui_.messageTexts()[0],
            "Error: Unable to query Corvanta Runtime installation path.\nPython module can not be "
            "un-installed.");
  runtime();
  file(std::string(kRt) + "msvcr71.dll", "crt");
  uninstallValue("pyparsing-py2.7", "UninstallString",
                 "\"C:\\Python27\\Removepyparsing.exe\" -u \"C:\\Python27\\pyparsing-wininst.log\"");
  standIn("C:\\Python27\\Removepyparsing.exe",
          "[ -f \"$(dirname \"$0\")/msvcr71.dll\" ] && echo beside >> '" + logPath() + "'");
  watchTimings().confirmPolls = watchTimings().finishedPolls = 1;
  EXPECT_TRUE(C::uninstallPyParsing());
  EXPECT_EQ(logLines().back(), "beside");
  EXPECT_FALSE(exists("C:\\Python27\\msvcr71.dll"));  // the copy made for it goes again
  // One that was there already stays.
  file("C:\\Python27\\msvcr71.dll", "own");
  EXPECT_TRUE(C::uninstallPyParsing());
  EXPECT_TRUE(exists("C:\\Python27\\msvcr71.dll"));
}

TEST_F(ChecksTest, PyWin32PathsAreWrittenForTheMachine) {
  EXPECT_FALSE(C::configurePyWin32());
  EXPECT_EQ(ui_.messageTexts().size(), 1u);
  reg::setValue(reg::Hive::CurrentUser, "Software\\Python\\PythonCore\\2.7\\InstallPath", "",
                reg::Value::string("C:\\Python27\\"));
  EXPECT_TRUE(C::configurePyWin32());
  const std::string base = "SOFTWARE\\Python\\PythonCore\\2.7\\PythonPath";
  auto value = [](const std::string& key) {
    return reg::readString(reg::Hive::LocalMachine, key, "", 4096).value_or("?");
  };
  EXPECT_EQ(value(base), "C:\\Python27\\Lib;C:\\Python27\\DLLs;C:\\Python27\\Lib\\lib-tk");
  EXPECT_EQ(value(base + "\\Pythonwin"), "C:\\Python27\\lib\\site-packages\\Pythonwin");
  EXPECT_EQ(value(base + "\\win32"),
            "C:\\Python27\\lib\\site-packages\\win32;C:\\Python27\\lib\\site-packages\\win32\\lib");
  EXPECT_EQ(value(base + "\\win32com"), "C:\\Python27\\lib\\site-packages");
}

TEST_F(ChecksTest, SystemPathGetsTheFolderOnce) {
  const std::string key = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
  auto path = [&] { return reg::readString(reg::Hive::LocalMachine, key, "Path", 65536).value_or(""); };
  auto broadcasts = [] {
    int n = 0;
    for (const auto& e : platform::machine::desktopEvents()) n += e.verb == "WM_WININICHANGE";
    return n;
  };
  reg::setValue(reg::Hive::LocalMachine, key, "Path",
                reg::Value::string("C:\\windows;C:\\CORVANTA\\runtime\\OpenCV300", reg::REG_EXPAND_SZ));
  EXPECT_TRUE(C::appendToSystemPath("C:\\Corvanta\\Runtime\\OpenCV300"));
  EXPECT_EQ(path(), "C:\\windows;C:\\CORVANTA\\runtime\\OpenCV300");
  EXPECT_EQ(broadcasts(), 0);
  EXPECT_TRUE(C::appendToSystemPath("C:\\Corvanta\\Runtime\\IPP924"));
  EXPECT_EQ(path(), "C:\\windows;C:\\CORVANTA\\runtime\\OpenCV300;C:\\Corvanta\\Runtime\\IPP924");
  EXPECT_EQ(broadcasts(), 1);
  reg::Value v;
  reg::queryValue(reg::Hive::LocalMachine, key, "Path", v, 65536);
  EXPECT_EQ(v.type, reg::REG_EXPAND_SZ);
  // A value longer than the old 4096-byte buffer is neither cut nor overflowed.
  std::string longPath(5000, 'p');
  reg::setValue(reg::Hive::LocalMachine, key, "Path", reg::Value::string(longPath));
  EXPECT_TRUE(C::appendToSystemPath("C:\\x"));
  EXPECT_EQ(path(), longPath + ";C:\\x");
  reg::deleteValue(reg::Hive::LocalMachine, key, "Path");
  EXPECT_FALSE(C::appendToSystemPath("C:\\x"));
}

TEST_F(ChecksTest, OpenCvRemovalPutsTheOlderModuleBack) {
  runtime();
  file(std::string(kRt) + "OpenCV300\\opencv_world300.dll");
  file(std::string(kRt) + "Python\\cv2.pyd", "build");
  // Without the older module the folder goes but the removal fails.
  EXPECT_FALSE(C::removeOpenCv(C::OpenCvBuild::V300));
  EXPECT_FALSE(exists(std::string(kRt) + "OpenCV300"));
  file(std::string(kRt) + "OpenCV300\\opencv_world300.dll");
  file(std::string(kRt) + "Python\\OpenCV2_4_3OrOlder\\cv2.pyd", "older module");
  EXPECT_TRUE(C::removeOpenCv(C::OpenCvBuild::V300));
  EXPECT_EQ(fs::file_size(machine_.host(std::string(kRt) + "Python\\cv2.pyd")),
            std::string("older module").size());
}

TEST_F(ChecksTest, RuntimePackagesNeedTheRuntime) {
  // Without the runtime every package reads absent and no removal succeeds.
  EXPECT_FALSE(C::isIppPresent());
  EXPECT_FALSE(C::isVantorApiPresent());
  EXPECT_FALSE(C::isSmCameraPresent());
  EXPECT_FALSE(C::isOpenCvPresent(C::OpenCvBuild::V249));
  EXPECT_FALSE(C::removeIpp());
  EXPECT_FALSE(C::removeSmCamera());
  runtime();
  EXPECT_TRUE(C::removeSmCamera());  // nothing to delete
  file(std::string(kRt) + "Python\\vantorapi.py");
  EXPECT_FALSE(C::isVantorApiPresent());
  EXPECT_TRUE(C::removeVantorApi());
  EXPECT_FALSE(exists(std::string(kRt) + "Python\\vantorapi.py"));
}

TEST_F(ChecksTest, AvtLibraryIsActivatedFromItsReference) {
  runtime();
  EXPECT_FALSE(C::activateAvtLibrary("uniAVTGrab_Fire_2_11.dll"));
  file(std::string(kRt) + "_Ref\\AVT\\uniAVTGrab_Fire_2_11.dll", "fire grabber");
  file(std::string(kRt) + "uniAVTGrab.dll", "universal grabber");
  EXPECT_FALSE(C::isAvtLibraryActive("uniAVTGrab_Fire_2_11.dll"));
  EXPECT_TRUE(C::activateAvtLibrary("uniAVTGrab_Fire_2_11.dll"));
  EXPECT_TRUE(C::isAvtLibraryActive("uniAVTGrab_Fire_2_11.dll"));
}

TEST_F(ChecksTest, ControllerRemovalTakesShortcutsAndFolders) {
  const std::string folder = "C:\\Program Files (x86)\\Brenholm AS\\Cue Keeper";
  const std::string menu = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\"
                           "Brenholm Software Solutions\\Cue Keeper";
  file(folder + "\\gui\\CueKeeper.gui.exe");
  file("C:\\Users\\Public\\Desktop\\Cue Keeper 1.0.0.1(3587).lnk");
  file("C:\\Users\\Public\\Desktop\\Other.lnk");
  file(menu + "\\Cue Keeper 1.0.0.1(3587).lnk");
  EXPECT_TRUE(C::removeCueKeeper());
  EXPECT_FALSE(exists(folder));
  EXPECT_FALSE(exists(menu));
  EXPECT_FALSE(exists("C:\\Users\\Public\\Desktop\\Cue Keeper 1.0.0.1(3587).lnk"));
  EXPECT_TRUE(exists("C:\\Users\\Public\\Desktop\\Other.lnk"));
}

TEST_F(ChecksTest, TightVncVersionComesFromTheKeyOrTheProduct) {
  const std::string code = "{981B8EDC-E693-4F22-9694-C0FF8E56F134}";
  EXPECT_TRUE(C::isTightVncVersionDifferent(code));  // nothing to read
  uninstallValue("TightVNC", "DisplayVersion", "2.6.4.0", reg::Hive::CurrentUser);
  EXPECT_FALSE(C::isTightVncVersionDifferent(code));
  uninstallValue("TightVNC", "DisplayVersion", "2.6.4.1", reg::Hive::LocalMachine);
  EXPECT_TRUE(C::isTightVncVersionDifferent(code));  // the machine's key answers first
}

}  // namespace
