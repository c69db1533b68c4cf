// The post-install and custom actions that complete an installation after its download,
// and the per-entry install and uninstall steps around them.
#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "engine/app_context.h"
#include "engine/check_installations.h"
#include "engine/install_manager.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "platform/shell_link.h"
#include "platform/ui/scripted_ui.h"
#include "tests/engine/engine_machine.h"

using namespace engine_test;
namespace reg = platform::registry;
namespace fs = std::filesystem;

namespace {

const char* const kData = "C:\\App\\_CorvantaInstallData\\Packages";

void makeZip(const std::string& windowsPath, const std::map<std::string, std::string>& entries) {
  std::string host = platform::machine::toHost(windowsPath);
  fs::create_directories(fs::path(host).parent_path());
  zipFile zip = zipOpen(host.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, data] : entries) {
    zip_fileinfo info{};
    info.tmz_date = {0, 0, 12, 1, 0, 2015};
    zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6);
    zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
}

std::string read(const std::string& windowsPath) {
  std::ifstream in(platform::machine::toHost(windowsPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class InstallActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    ui::setBackend(&ui_);
    appContext().applicationFolder = "C:\\App";
    auto& t = watchTimings();
    t = WatchTimings{};
    t.opcScoutAppearPolls = 4;
    t.opcScoutRunningPolls = 2;
  }
  void TearDown() override {
    watchTimings() = WatchTimings{};
    appContext().applicationFolder.clear();
    ui::setBackend(nullptr);
  }
  ComponentEntry entry(const char* name, const char* fileName = "") {
    return ComponentEntry(name, "", fileName, "", kData, false, false, &nameText_, &state_,
                          &progress_, "");
  }

  TempMachine machine_;
  ui::ScriptedUi ui_;
  mxInstallManagerBase manager_;
  std::string nameText_, state_, progress_;
};

TEST_F(InstallActionsTest, RuntimePackagesAreUnpackedIntoTheRuntime) {
  struct Case {
    const char* name;
    const char* package;
    std::map<std::string, std::string> files;
    const char* installedFile;
    const char* pathFolder;  // joins the machine's Path, or nullptr
  } cases[] = {
      {"OpenCV 3.0.0", "opencv-300_bin.zip",
       {{"opencv_ffmpeg300.dll", "f"}, {"opencv_world300.dll", "w"}, {"Python/cv2.pyd", "cv2 3.0"}},
       "OpenCV300\\opencv_world300.dll", "OpenCV300"},
      {"Corvanta 9.3.0.524 IPP", "Corvanta_9.3.0.524_IPP.zip", {{"ippcore-7.0.dll", "c"}},
       "IPP924\\ippcore-7.0.dll", "IPP924"},
      {"Vantor API 1.0.0.3 Files", "vantorapi-1.0.0.3.zip",
       {{"vantorapi.py", "a"}, {"pyvantor24.pyd", "b"}, {"pyvantor25.pyd", "c"}, {"pyvantor26.pyd", "d"}},
       "Python\\pyvantor26.pyd", nullptr},
      {"Shared Memory Camera Driver", "SMCameraClient-1.0.0.5.zip", {{"SMCameraClient.dll", "s"}},
       "SMCameraClient.dll", nullptr},
  };
  const std::string envKey = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempMachine machine;
    ComponentEntry e = entry(c.name);
    // Missing package: fails without a word.
    EXPECT_FALSE(manager_.runPostInstallActions(e));
    makeZip(std::string(kData) + "\\" + c.package, c.files);
    EXPECT_FALSE(manager_.runPostInstallActions(e));  // no runtime yet
    runtime();
    file(std::string(kRt) + "Python\\cv2.pyd", "runtime's own module");
    reg::setValue(reg::Hive::LocalMachine, envKey, "Path", reg::Value::string("C:\\windows"));
    EXPECT_TRUE(manager_.runPostInstallActions(e));
    EXPECT_TRUE(exists(std::string(kRt) + c.installedFile));
    std::string path = reg::readString(reg::Hive::LocalMachine, envKey, "Path", 4096).value_or("");
    EXPECT_EQ(path, c.pathFolder ? std::string("C:\\windows;") + kRt + c.pathFolder : "C:\\windows");
  }
  EXPECT_TRUE(ui_.messageTexts().empty());
}

TEST_F(InstallActionsTest, OpenCvBuildReplacesTheRuntimesModule) {
  runtime();
  makeZip(std::string(kData) + "\\opencv-300_bin.zip",
          {{"opencv_ffmpeg300.dll", "f"}, {"opencv_world300.dll", "w"}, {"Python/cv2.pyd", "cv2 3.0"}});
  file(std::string(kRt) + "Python\\cv2.pyd", "old");
  reg::setValue(reg::Hive::LocalMachine,
                "System\\CurrentControlSet\\Control\\Session Manager\\Environment", "Path",
                reg::Value::string("C:\\windows"));
  ComponentEntry e = entry("OpenCV 3.0.0");
  EXPECT_TRUE(manager_.runPostInstallActions(e));
  EXPECT_EQ(read(std::string(kRt) + "Python\\cv2.pyd"), "cv2 3.0");
  EXPECT_TRUE(manager_.isComponentInstalled(e));
  EXPECT_TRUE(manager_.evaluateComponentState(e));
  EXPECT_EQ(state_, "Installed");
}

TEST_F(InstallActionsTest, BrokenPackageIsReportedOnce) {
  runtime();
  file(std::string(kData) + "\\vantorapi-1.0.0.3.zip", "not a zip archive");
  EXPECT_FALSE(manager_.runPostInstallActions(entry("Vantor API 1.0.0.3 Files")));
  EXPECT_EQ(ui_.messageTexts(),
            std::vector<std::string>{"Error: Unable to extract the Vantor API module files. Please try again."});
}

TEST_F(InstallActionsTest, ControllerGetsItsVersionFileAndShortcuts) {
  ComponentEntry e = entry("Cue Keeper 1.0.0.1(3587)", "CueKeeper_1.0.0.1.zip");
  EXPECT_FALSE(manager_.runPostInstallActions(e));
  EXPECT_EQ(ui_.messageTexts().back(), "Error: Unable to locate the downloaded file. Please try again.");
  std::map<std::string, std::string> files;
  for (const char* f : {"gui/AxINTERNETMESSENGERLib.dll", "gui/INTERNETMESSENGERLib.dll", "gui/NLog.dll",
                        "gui/CueKeeper.client.dll", "gui/CueKeeper.core.dll", "gui/CueKeeper.gui.exe",
                        "gui/CueKeeper.RemoteInterfaces.dll", "client/NLog.dll",
                        "client/CueKeeper.client.dll", "client/CueKeeper.RemoteInterfaces.dll"})
    files[f] = f;
  makeZip(std::string(kData) + "\\CueKeeper_1.0.0.1.zip", files);
  EXPECT_TRUE(manager_.runPostInstallActions(e));
  const std::string folder = "C:\\Program Files (x86)\\Brenholm AS\\Cue Keeper";
  EXPECT_EQ(read(folder + "\\version.txt"), "Cue Keeper 1.0.0.1(3587)");
  for (const std::string link :
       {"C:\\Users\\Public\\Desktop\\Cue Keeper 1.0.0.1(3587).lnk",
        "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Brenholm Software Solutions\\"
        "Cue Keeper\\Cue Keeper 1.0.0.1(3587).lnk"}) {
    platform::shell::ShellLink loaded;
    ASSERT_TRUE(platform::shell::loadShellLink(link, loaded)) << link;
    EXPECT_EQ(loaded.target, folder + "\\gui\\CueKeeper.gui.exe");
    EXPECT_EQ(loaded.workingDirectory, folder + "\\gui");
  }
  EXPECT_TRUE(manager_.isComponentInstalled(e));
  EXPECT_TRUE(manager_.evaluateComponentState(e));
}

TEST_F(InstallActionsTest, ScratchFolderInstallersRunAndLeaveNothing) {
  makeZip(std::string(kData) + "\\usbcam_2.6.5_tis_02.zip", {{"drvInstaller.exe", "#!/bin/sh\necho driver >> '" + logPath() + "'\n"}});
  EXPECT_TRUE(manager_.runPostInstallActions(entry("Imaging Source Camera Driver")));
  makeZip(std::string(kData) + "\\SIMATIC_NET_OPC_Client_V6.2_3133.zip",
          {{"disk1/setup.exe", "#!/bin/sh\necho \"setup $*\" >> '" + logPath() + "'\n"},
           {"disk1/_isdel.exe", "#!/bin/sh\n"}});
  EXPECT_TRUE(manager_.runPostInstallActions(entry("OPC Scout (SIMATIC NET OPC-Client V6.2-3133)")));
  for (int i = 0; i < 200 && logLines().size() < 2; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(logLines(), (std::vector<std::string>{"driver", "setup \\silent"}));
  // The scratch folders are gone; the packages stay.
  for (const char* parent : {"Installations3rdParty", "Utilities"}) {
    std::string host = machine_.host(std::string("C:\\App\\_CorvantaInstallData\\") + parent);
    EXPECT_TRUE(!fs::exists(host) || fs::is_empty(host)) << parent;
  }
  EXPECT_TRUE(exists(std::string(kData) + "\\usbcam_2.6.5_tis_02.zip"));
  // A package without its setup is reported.
  makeZip(std::string(kData) + "\\SIMATIC_NET_OPC_Client_V6.2_3133.zip", {{"readme.txt", "x"}});
  EXPECT_FALSE(manager_.runPostInstallActions(entry("OPC Scout (SIMATIC NET OPC-Client V6.2-3133)")));
  EXPECT_EQ(ui_.messageTexts().back(), "Error: Unable to locate OPC Scout setup file. Please try again.");
}

TEST_F(InstallActionsTest, OpcRelayModuleJoinsTheRuntime) {
  const char* relayCode = "{58D6B910-EFAA-4131-A0FC-3F095362B947}";
  ComponentEntry e = entry("Corvanta OpcRelay 1.9.0.26");
  EXPECT_FALSE(manager_.runPostInstallActions(e));  // not installed
  product(relayCode, "Corvanta OpcRelay 1.9.0.26");
  runtime();
  file(std::string(kRt) + "Python\\keep.py");
  // The folder is written without its final backslash here.
  reg::setValue(reg::Hive::LocalMachine, "SOFTWARE\\BRENHOLM AS\\Corvanta OpcRelay 1.9.0.26",
                "InstallPath", reg::Value::string("C:\\OpcRelay"));
  EXPECT_TRUE(manager_.runPostInstallActions(e));  // module missing: a warning only
  EXPECT_EQ(ui_.messageTexts().size(), 1u);
  file("C:\\OpcRelay\\Python\\opcrelayx.py", "relay");
  EXPECT_TRUE(manager_.runPostInstallActions(e));
  EXPECT_EQ(read(std::string(kRt) + "Python\\opcrelayx.py"), "relay");
  EXPECT_EQ(ui_.messageTexts().size(), 1u);
}

TEST_F(InstallActionsTest, CustomActionsByComponent) {
  EXPECT_TRUE(manager_.executeCustomActions(entry("MS VC++ 2005 SP1 Redist")));
  EXPECT_FALSE(manager_.executeCustomActions(entry("pywin32-219.win32-py2.7")));  // no Python path
  EXPECT_FALSE(manager_.executeCustomActions(entry("AVT Fire Package 2.11")));
  runtime();
  file(std::string(kRt) + "_Ref\\AVT\\uniAVTGrab_Universal_2_2_0.dll", "universal");
  EXPECT_TRUE(manager_.executeCustomActions(entry("AVT Universal Package 2.2.0")));
  EXPECT_EQ(read(std::string(kRt) + "uniAVTGrab.dll"), "universal");
}

TEST_F(InstallActionsTest, PresentComponentsAreNotFetchedAgainNorAbsentOnesRemoved) {
  product("{7299052b-02a4-4627-81f2-1818da5d550d}", "VC 2005");
  EXPECT_EQ(manager_.installComponent(entry("MS VC++ 2005 SP1 Redist"), 1, 1), 1);
  EXPECT_EQ(progress_, "Ok");
  EXPECT_EQ(manager_.uninstallComponent(entry("MS VC++ 2008 SP1 Redist"), 1, 1), 1);
  EXPECT_EQ(progress_, "Ok");
  EXPECT_TRUE(ui_.modalCaptions().empty());
  // A real removal through the uninstall runner.
  EXPECT_EQ(manager_.uninstallComponent(entry("MS VC++ 2005 SP1 Redist"), 1, 1), 1);
  EXPECT_EQ(progress_, "Ok");
  EXPECT_EQ(state_, "Not Installed");
}

TEST_F(InstallActionsTest, ComponentThatCannotBeRemovedEndsInUninstallError) {
  reg::createKey(reg::Hive::LocalMachine, "SOFTWARE\\Adobe\\Acrobat Reader");
  ui_.whenShown("Uninstall", [](ui::Window& w) { w.endDialog(2); });
  EXPECT_EQ(manager_.uninstallComponent(entry("Adobe Acrobat Reader"), 1, 1), -1);
  EXPECT_EQ(progress_, "Uninstall Error");
}

}  // namespace
