// Every catalogue row, grouped by family: absent, installed, each state its tests reach,
// and its removal, each on a fresh machine put into that state through the ports.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "engine/check_installations.h"
#include "platform/machine.h"
#include "platform/registry.h"
#include "tests/engine/engine_machine.h"

using namespace engine_test;
namespace reg = platform::registry;

namespace {

using Setup = std::function<void()>;

struct StateCase {
  Setup change;  // applied after the row's installation
  const char* state;
};

struct RowCase {
  const char* name;
  Setup install;
  std::vector<StateCase> states;
  bool removable;
  Setup prepareRemoval = [] {};  // puts the uninstaller in place
};

std::ostream& operator<<(std::ostream& os, const RowCase& c) { return os << c.name; }

ComponentEntry entry(const char* name, std::string* state) {
  return ComponentEntry(name, "", "", "", "", false, false, nullptr, state, nullptr, "");
}

std::string evaluate(const char* name) {
  std::string state;
  ComponentEntry e = entry(name, &state);
  if (!mxCheckInstallations::isComponentInstalled(e)) return "Not Installed";
  return stateText(mxCheckInstallations::evaluateComponentState(e));
}

// ---- families ----

RowCase productCase(const char* name, std::string code, std::string version = "1.0",
                    std::string productName = "") {
  if (productName.empty()) productName = name;
  return {name, [=] { product(code, productName, version); }, {}, true};
}

RowCase versionedCase(const char* name, std::string code, std::string version) {
  RowCase c = productCase(name, code, version);
  c.states = {{[=] { product(code, name, version + ".9"); }, "Version Mismatch"}};
  return c;
}

RowCase namedCase(const char* name, std::string code) {
  RowCase c = productCase(name, code);
  c.states = {{[=] { product(code, "Something Else 1.0"); }, "Version Mismatch"}};
  return c;
}

// Installed by its own uninstall key, removed by a stand-in that deletes the key again.
RowCase keyCase(const char* name, std::string key, std::vector<std::pair<std::string, std::string>> values,
                std::string checkedValue, std::string uninstallValue, std::string command) {
  RowCase c;
  c.name = name;
  c.install = [=] {
    for (const auto& [n, v] : values) engine_test::uninstallValue(key, n, v);
  };
  c.states = {{[=] { engine_test::uninstallValue(key, checkedValue, "0.0"); }, "Version Mismatch"}};
  c.removable = true;
  c.prepareRemoval = [=] {
    engine_test::uninstallValue(key, uninstallValue, command);
    standIn("C:\\Uninstallers\\" + key + "\\uninst.exe", deleteKeyCommand(key));
  };
  return c;
}

// A product whose removal runs the uninstaller registered under key; the stand-in drops
// the product's registration as the real one would.
RowCase withUninstaller(RowCase c, std::string key, std::string code) {
  c.prepareRemoval = [key, code] {
    std::string program = "C:\\Program Files\\InstallShield Installation Information\\" + code + "\\setup.exe";
    uninstallValue(key, "UninstallString", "\"" + program + "\" -runfromtemp -removeonly");
    standIn(program, "corvanta-machine msi unregister --code '" + code + "'");
  };
  return c;
}

RowCase moduleCase(const char* name, std::string key, std::string displayName) {
  RowCase c;
  c.name = name;
  c.install = [=] {
    product(kPython, "Python 2.7.9", "2.7.9150");
    uninstallValue(key, "DisplayName", displayName);
  };
  c.states = {
      {[=] { uninstallValue(key, "DisplayName", displayName + "x"); }, "Version Mismatch"},
      // Python replaced by another build: the module needs a reinstall whatever its name.
      {[=] {
         platform::machine::unregisterProduct(kPython, 4);
         uninstallValue(key, "DisplayName", "other");
       },
       "Reinstall Needed"}};
  c.removable = true;
  c.prepareRemoval = [=] {
    std::string program = "C:\\Python27\\Remove" + key + ".exe";
    uninstallValue(key, "UninstallString", "\"" + program + "\" -u \"C:\\Python27\\" + key + ".log\"");
    standIn(program, deleteKeyCommand(key));
  };
  return c;
}

void openCv249Files(bool complete) {
  const char* modules[] = {"calib3d", "contrib", "core", "features2d", "ffmpeg", "flann", "gpu",
                           "highgui", "imgproc", "legacy", "ml", "nonfree", "objdetect", "ocl",
                           "photo", "stitching", "superres", "video", "videostab"};
  std::string folder = std::string(kRt) + "OpenCV249Py27\\";
  for (const char* m : modules)
    if (complete || std::string(m) != "videostab") file(folder + "opencv_" + m + "249.dll");
}

// Both copies of cv2.pyd written in the same second with the same size count as one file.
void cv2Pair(const std::string& build) {
  file(std::string(kRt) + build + "\\Python\\cv2.pyd", "cv2-build");
  file(std::string(kRt) + "Python\\cv2.pyd", "cv2-build");
  file(std::string(kRt) + "Python\\OpenCV2_4_3OrOlder\\cv2.pyd", "old");
}

const char* kModuleKeys[][2] = {{"pywin32-py2.7", "Python 2.7 pywin32-219"},
                                {"pyserial-py2.7", "Python 2.7 pyserial-2.7"},
                                {"numpy-py2.7", "Python 2.7 numpy-1.9.1"},
                                {"scipy-py2.7", "Python 2.7 scipy-0.14.0"}};

std::vector<std::string> ippNames() {
  std::vector<std::string> names;
  for (const char* d : {"ac", "cc", "ch", "cv", "dc", "di", "i", "j", "m", "r", "s", "sc", "vc", "vm"})
    for (const char* v : {"", "g9", "p8", "s8", "v8", "w7"})
      names.push_back(std::string("ipp") + d + v + "-7.0.dll");
  names.insert(names.end(), {"ippcore-7.0.dll", "1033\\ippmsg.dll", "1041\\ippmsg.dll"});
  return names;
}

std::string cueKeeperFolder() { return "C:\\Program Files (x86)\\Brenholm AS\\Cue Keeper\\"; }

void cueKeeperFiles() {
  for (const char* f : {"gui\\AxINTERNETMESSENGERLib.dll", "gui\\INTERNETMESSENGERLib.dll",
                        "gui\\NLog.dll", "gui\\CueKeeper.client.dll", "gui\\CueKeeper.core.dll",
                        "gui\\CueKeeper.gui.exe", "gui\\CueKeeper.RemoteInterfaces.dll",
                        "client\\NLog.dll", "client\\CueKeeper.client.dll",
                        "client\\CueKeeper.RemoteInterfaces.dll"})
    file(cueKeeperFolder() + f);
}

void avtFiles(const std::string& library) {
  file(std::string(kRt) + "_Ref\\AVT\\" + library, "grabber-" + library);
  file(std::string(kRt) + "uniAVTGrab.dll", "grabber-" + library);
}

std::vector<RowCase> rowCases() {
  std::vector<RowCase> cases = {
      // Installer products without state tests.
      productCase("MS VC++ 2005 SP1 Redist", "{7299052b-02a4-4627-81f2-1818da5d550d}"),
      productCase("MS VC++ 2008 SP1 Redist", "{9A25302D-30C0-39D9-BD6F-21E6EC160475}"),
      productCase("MS VC++ 2010 SP1 Redist", "{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}"),
      withUninstaller(productCase("ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit",
                                  "{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}"),
                      "InstallShield_{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}",
                      "{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}"),
      withUninstaller(productCase("Fire-i Application 4.0 - 64 bit", "{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}"),
                      "InstallShield_{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}",
                      "{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}"),
      // Installer products checked by their own name.
      namedCase("Corvanta Watchdog - Restarter 2.0.0.6", "{1D06494F-0708-4CE4-B9A6-8D440FC74C14}"),
      namedCase("Corvanta Version XI 11.0.0.614 Runtime", kRuntimeCode),
      namedCase("Corvanta Prismal Version XI 11.0.0.614 SDK", "{66D6BF2A-2453-48E0-AB6B-4291DB56ADF4}"),
      namedCase("Corvanta Vision Software Version XI 11.0.0.614", "{095C5AF3-9006-4B9B-BB5D-CC06B3636929}"),
      namedCase("Corvanta OpcRelay 1.9.0.26", "{58D6B910-EFAA-4131-A0FC-3F095362B947}"),
      // Installer products checked by version.
      versionedCase("ZCL for SONYGigECAM 2.12 - 32 bit", "{1A23CB3F-7B04-4CFD-80BE-81D2ACB10167}", "2.12"),
      versionedCase("ZCL for SONYGigECAM 2.12.2 - Windows 8 (64 bit)",
                    "{1A23CB3F-7B04-4CFD-80BE-81D2ACB10167}", "2.12.2"),
      versionedCase("Basler pylon SDK 2.3.5.2633 - 32 bit", "{2393D986-319B-40BF-AEBD-6E0EFC5B5F57}", "2.3.2633"),
      versionedCase("Basler pylon SDK 3.2.3.3215 - 64 bit", "{7701C433-7FAB-43ED-B117-762AC408A61C}", "3.2.3215"),
      versionedCase("Basler pylon 4 Runtime 4.0.1.3425 - 32 bit", "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}", "4.0.3425"),
      versionedCase("Basler pylon SDK 2.3.5.2633 - 64 bit", "{D7F97581-F17B-48AD-B4BB-634AF0F78D39}", "2.3.2633"),
      withUninstaller(versionedCase("DAQNavi USB-4750 3.1.1.0", "{E8881CC8-EB89-49FA-B2A5-986488C75164}", "3.1.1.0"),
                      "InstallShield_{E8881CC8-EB89-49FA-B2A5-986488C75164}",
                      "{E8881CC8-EB89-49FA-B2A5-986488C75164}"),
      withUninstaller(versionedCase("MatrikonOPC Server for Simulation",
                                    "{0D0DBA0E-69F7-45AD-9D09-2E61E1B41190}", "1.5.0.0"),
                      "MatrikonOPC Server for Simulation", "{0D0DBA0E-69F7-45AD-9D09-2E61E1B41190}"),
  };
  {
    const std::string suite = "{01F5DEBA-9FCF-4D3A-B0F6-74D29B5F8651}";
    RowCase c = productCase("Pylon 4 Camera Software Suite 4.2.2.5468 - 64 bit", suite, "4.2.5468",
                            "pylon 4 Camera Software Suite 4.2.2.5468");
    c.states = {{[=] { product(suite, "pylon 4 Camera Software Suite 4.2.2.5468", "4.2.1"); }, "Version Mismatch"},
                {[=] { product(suite, "pylon 4 Camera Software Suite", "4.2.5468"); }, "Version Mismatch"}};
    cases.push_back(c);
  }
  // AVT packages: the product, then the grabber library the runtime loads.
  for (auto [name, code, version, library] :
       {std::tuple{"AVT Universal Package 2.2.0", "{E15958CD-D2FC-47ED-AE1A-57C9FEC1DC84}", "2.2.0",
                   "uniAVTGrab_Universal_2_2_0.dll"},
        std::tuple{"AVT Fire Package 2.11", "{4E3FA21E-D211-49FE-B40E-360A78AF8B31}", "2.11",
                   "uniAVTGrab_Fire_2_11.dll"}}) {
    std::string lib = library, c = code, v = version;
    cases.push_back({name,
                     [=] {
                       runtime();
                       product(c, "AVT", v);
                       avtFiles(lib);
                     },
                     {{[=] { product(c, "AVT", "1.0"); }, "Version Mismatch"},
                      {[=] { file(std::string(kRt) + "uniAVTGrab.dll", "another grabber"); }, "Incomplete Module"}},
                     true});
  }
  // Python and its modules.
  cases.push_back({"Python 2.7.9",
                   [] { product(kPython, "Python 2.7.9", "2.7.9150"); },
                   {{[] { product("{11111111-2222-3333-4444-555555555555}", "Python 2.7.8"); }, "Multiple Versions"},
                    {[] {
                       platform::machine::unregisterProduct(kPython, 4);
                       product("{11111111-2222-3333-4444-555555555555}", "Python 2.7.10");
                     },
                     "Version Mismatch"}},
                   true});
  for (auto [name, key, display] :
       {std::tuple{"pywin32-219.win32-py2.7", "pywin32-py2.7", "Python 2.7 pywin32-219"},
        std::tuple{"pyserial-2.7.win32", "pyserial-py2.7", "Python 2.7 pyserial-2.7"},
        std::tuple{"scipy-0.14.0-python2.7", "scipy-py2.7", "Python 2.7 scipy-0.14.0"},
        std::tuple{"numpy-1.9.1-python2.7", "numpy-py2.7", "Python 2.7 numpy-1.9.1"},
        std::tuple{"matplotlib-1.4.2.win32-py2.7", "matplotlib-py2.7", "Python 2.7 matplotlib-1.4.2"},
        std::tuple{"scikit-learn-0.15.0b1.win32-py2.7", "scikit-learn-py2.7", "Python 2.7 scikit-learn-0.15.0b1"},
        std::tuple{"six-1.7.3.win32-py2.7", "six-py2.7", "Python 2.7 six-1.7.3"},
        std::tuple{"scikit-image-0.10.1.win32-py2.7", "scikit-image-py2.7", "Python 2.7 scikit-image-0.10.1"},
        std::tuple{"dxfgrabber-0.7.4.win32-py2.7", "dxfgrabber-py2.7", "Python 2.7 dxfgrabber-0.7.4"},
        std::tuple{"MySQL-python-1.2.4b4.win32-py2.7", "MySQL-python-py2.7", "Python 2.7 MySQL-python-1.2.4b4"}})
    cases.push_back(moduleCase(name, key, display));
  {
    RowCase c = moduleCase("pyparsing-2.0.2.win32-py2.7", "pyparsing-py2.7", "Python 2.7 pyparsing-2.0.2");
    Setup base = c.prepareRemoval;
    c.prepareRemoval = [base] {
      base();
      runtime();
      file(std::string(kRt) + "msvcr71.dll");
    };
    cases.push_back(c);
  }
  // The runtime-folder packages.
  {
    RowCase c;
    c.name = "OpenCV 2.4.9 (Python 27)";
    c.install = [] {
      runtime();
      product(kPython, "Python 2.7.9", "2.7.9150");
      for (auto& m : kModuleKeys) uninstallValue(m[0], "DisplayName", m[1]);
      openCv249Files(true);
      cv2Pair("OpenCV249Py27");
    };
    c.states = {{[] {
                   std::filesystem::remove(platform::machine::toHost(
                       std::string(kRt) + "OpenCV249Py27\\opencv_videostab249.dll"));
                 },
                 "Incomplete Module"},
                {[] { file(std::string(kRt) + "Python\\cv2.pyd", "cv2 of another build"); }, "Incomplete Module"},
                {[] { platform::machine::unregisterProduct(kPython, 4); }, "Incomplete Module"},
                // Fully extracted, but one module's name is wrong: still incomplete.
                {[] { uninstallValue("pyserial-py2.7", "DisplayName", "Python 2.7 pyserial-2.6"); }, "Incomplete Module"},
                {[] { uninstallValue("scipy-py2.7", "DisplayName", "x"); }, "Incomplete Module"}};
    c.removable = true;
    cases.push_back(c);
  }
  {
    RowCase c;
    c.name = "OpenCV 3.0.0";
    c.install = [] {
      runtime();
      file(std::string(kRt) + "OpenCV300\\opencv_ffmpeg300.dll");
      file(std::string(kRt) + "OpenCV300\\opencv_world300.dll");
      cv2Pair("OpenCV300");
    };
    c.states = {{[] {
                   std::filesystem::remove(platform::machine::toHost(std::string(kRt) + "OpenCV300\\opencv_world300.dll"));
                 },
                 "Incomplete Module"}};
    c.removable = true;
    cases.push_back(c);
  }
  {
    RowCase c;
    c.name = "Corvanta 9.3.0.524 IPP";
    c.install = [] {
      runtime();
      for (const auto& n : ippNames()) file(std::string(kRt) + "IPP924\\" + n);
    };
    c.states = {{[] { std::filesystem::remove(platform::machine::toHost(std::string(kRt) + "IPP924\\1041\\ippmsg.dll")); },
                 "Incomplete Module"}};
    c.removable = true;
    cases.push_back(c);
  }
  cases.push_back({"Vantor API 1.0.0.3 Files",
                   [] {
                     runtime();
                     for (const char* f : {"vantorapi.py", "pyvantor24.pyd", "pyvantor25.pyd", "pyvantor26.pyd"})
                       file(std::string(kRt) + "Python\\" + f);
                   },
                   {},
                   true});
  cases.push_back({"Shared Memory Camera Driver",
                   [] {
                     runtime();
                     file(std::string(kRt) + "SMCameraClient.dll");
                   },
                   {},
                   true});
  // The controller product.
  cases.push_back({"Cue Keeper 1.0.0.1(3587)",
                   [] {
                     cueKeeperFiles();
                     file(cueKeeperFolder() + "version.txt", "Cue Keeper 1.0.0.1(3587)\r\nmore");
                   },
                   {{[] { file(cueKeeperFolder() + "version.txt", "Cue Keeper 1.0.0.1(3586)"); }, "Version Mismatch"},
                    // Without its version file it still reads installed.
                    {[] { std::filesystem::remove(platform::machine::toHost(cueKeeperFolder() + "version.txt")); },
                     "Installed"}},
                   true});
  // TightVNC: the key or the product code.
  for (auto [name, code] : {std::pair{"TightVNC 2.6.4 - 32 bit", "{981B8EDC-E693-4F22-9694-C0FF8E56F134}"},
                            std::pair{"TightVNC 2.6.4 - 64 bit", "{D71C967C-8709-4334-BF16-952469E96DCD}"}}) {
    std::string c = code;
    RowCase row = keyCase(name, "TightVNC", {{"DisplayVersion", "2.6.4.0"}, {"DisplayName", "TightVNC"}},
                          "DisplayVersion", "UninstallString",
                          "\"C:\\Uninstallers\\TightVNC\\uninst.exe\"");
    row.states.push_back({[c] {
                            reg::deleteTree(reg::Hive::LocalMachine,
                                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TightVNC");
                            product(c, "TightVNC", "2.6.4.0");
                          },
                          "Installed"});
    row.states.push_back({[c] {
                            reg::deleteTree(reg::Hive::LocalMachine,
                                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TightVNC");
                            product(c, "TightVNC", "2.6.3.0");
                          },
                          "Version Mismatch"});
    cases.push_back(row);
  }
  // Uninstall-key families.
  cases.push_back(keyCase("PerformanceTest 8.0", "PerformanceTest 8_is1",
                          {{"DisplayVersion", "8.0.1022.0"}, {"QuietUninstallString", "\"C:\\x.exe\" /S"}},
                          "DisplayVersion", "QuietUninstallString",
                          "\"C:\\Uninstallers\\PerformanceTest 8_is1\\uninst.exe\" /VERYSILENT /SUPPRESSMSGBOXES"));
  cases.push_back(keyCase("Corvanta TeamViewer 8 Host.exe", "TeamViewer 8 Host",
                          {{"DisplayVersion", "8.0.18930"}, {"UninstallString", "C:\\x.exe"}},
                          "DisplayVersion", "UninstallString",
                          "\"C:\\Uninstallers\\TeamViewer 8 Host\\uninst.exe\""));
  cases.push_back(keyCase("Speccy v1.25", "Speccy", {{"DisplayVersion", "1.25"}}, "DisplayVersion",
                          "UninstallString", "\"C:\\Uninstallers\\Speccy\\uninst.exe\""));
  cases.push_back(keyCase("Imaging Source - IC Capture 2.3", "ICCapture22_is1", {{"DisplayName", "IC Capture 2.3"}},
                          "DisplayName", "QuietUninstallString",
                          "\"C:\\Uninstallers\\ICCapture22_is1\\uninst.exe\" /SILENT"));
  cases.push_back(keyCase("Pylon 5 Camera Software Suite 5.0.0.6150", "{7d1403fe-dc29-4331-b008-d8899a59ae1f}",
                          {{"DisplayName", "pylon 5 Camera Software Suite 5.0.0.6150"}}, "DisplayName",
                          "UninstallString",
                          "\"C:\\Uninstallers\\{7d1403fe-dc29-4331-b008-d8899a59ae1f}\\uninst.exe\" /uninstall"));
  cases.push_back(keyCase("Adam/Apax .NET Utility 2.04.04", "{C2E6E999-4516-40D2-8191-79B5CB4B987B}",
                          {{"DisplayVersion", "2.04.04"}, {"UninstallString", "x"}}, "DisplayVersion",
                          "UninstallString",
                          "C:\\Uninstallers\\{C2E6E999-4516-40D2-8191-79B5CB4B987B}\\uninst.exe -removeonly"));
  cases.push_back(keyCase("OPC Scout (SIMATIC NET OPC-Client V6.2-3133)", "OPC CLIENT",
                          {{"DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3133"}}, "DisplayName",
                          "UninstallString", "C:\\Uninstallers\\OPC\\uninst.exe -remove"));
  // The split family's program ends at the first space: its stand-in has none in its path.
  cases.back().prepareRemoval = [] {
    uninstallValue("OPC CLIENT", "UninstallString", "C:\\Uninstallers\\OPC\\uninst.exe -remove");
    standIn("C:\\Uninstallers\\OPC\\uninst.exe", deleteKeyCommand("OPC CLIENT"));
  };
  return cases;
}

class CatalogueRowTest : public ::testing::TestWithParam<RowCase> {
 protected:
  void SetUp() override {
    putToolsOnPath();
    auto& t = watchTimings();
    t = WatchTimings{};
    t.confirmPolls = t.finishedPolls = 1;
    t.appearPolls = 2;
    t.speccyPauseMs = 0;
  }
  void TearDown() override { watchTimings() = WatchTimings{}; }
};

TEST_P(CatalogueRowTest, AbsentThenInstalled) {
  const RowCase& c = GetParam();
  TempMachine machine;
  EXPECT_EQ(evaluate(c.name), "Not Installed");
  c.install();
  EXPECT_EQ(evaluate(c.name), "Installed");
  // Names match without regard to case.
  std::string upper = c.name;
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  EXPECT_EQ(evaluate(upper.c_str()), "Installed");
}

TEST_P(CatalogueRowTest, EachReachableState) {
  const RowCase& c = GetParam();
  for (size_t i = 0; i < c.states.size(); ++i) {
    TempMachine machine;
    c.install();
    c.states[i].change();
    EXPECT_EQ(evaluate(c.name), c.states[i].state) << "state case " << i;
  }
}

TEST_P(CatalogueRowTest, RemovalAndRepair) {
  const RowCase& c = GetParam();
  {
    TempMachine machine;
    c.install();
    c.prepareRemoval();
    std::string state;
    ComponentEntry e = entry(c.name, &state);
    EXPECT_EQ(mxCheckInstallations::removeComponent(e), c.removable);
    if (c.removable) {
      EXPECT_EQ(evaluate(c.name), "Not Installed");
    }
  }
  // A broken installation is repaired by its removal.
  for (const StateCase& s : c.states) {
    if (std::string(s.state) == "Installed") continue;
    TempMachine machine;
    c.install();
    s.change();
    c.prepareRemoval();
    std::string state;
    ComponentEntry e = entry(c.name, &state);
    e.setState(mxCheckInstallations::evaluateComponentState(e));
    ASSERT_TRUE(mxCheckInstallations::needsRepair(e)) << state;
    EXPECT_EQ(mxCheckInstallations::repairComponent(e), 1) << state;
    EXPECT_EQ(evaluate(c.name), "Not Installed") << "after repairing " << s.state;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, CatalogueRowTest, ::testing::ValuesIn(rowCases()),
                         [](const ::testing::TestParamInfo<RowCase>& row) {
                           std::string n;
                           for (char ch : std::string(row.param.name))
                             n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return n;
                         });

// The rows the wizard never removes, against the OS profiles that have them or not.
TEST(CatalogueFixedRows, PrerequisitesFollowTheMachine) {
  struct Case {
    const char* profile;
    const char* name;
    bool present;
  } cases[] = {{"win2000-sp4-x86", "Microsoft .Net 2.0.50727.42 Redist", false},
               {"win7-sp1-x64", "Microsoft .Net 2.0.50727.42 Redist", true},
               {"win2000-sp4-x86", "Windows Installer 3.1", false},
               {"winxp-sp3-x86", "Windows Installer 3.1", true},
               {"win7-sp1-x86", "Adobe Acrobat Reader", false}};
  for (const Case& c : cases) {
    TempMachine machine(c.profile);
    std::string state;
    ComponentEntry e = entry(c.name, &state);
    EXPECT_EQ(mxCheckInstallations::isComponentInstalled(e), c.present) << c.profile << " " << c.name;
    EXPECT_FALSE(mxCheckInstallations::removeComponent(e)) << c.name;
  }
}

TEST(CatalogueFixedRows, DotNetNeedsTheFlagOne) {
  TempMachine machine("win2000-sp4-x86");
  const std::string key = "SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v2.0.50727";
  reg::setValue(reg::Hive::LocalMachine, key, "Install", reg::Value::dword(0));
  EXPECT_FALSE(mxCheckInstallations::isDotNet2Installed());
  reg::setValue(reg::Hive::LocalMachine, key, "Install", reg::Value::dword(1));
  EXPECT_TRUE(mxCheckInstallations::isDotNet2Installed());
}

TEST(CatalogueFixedRows, ReaderIn64BitViewOnlyOn64BitWindows) {
  for (auto [profile, expected] : {std::pair{"win7-sp1-x64", true}, std::pair{"win7-sp1-x86", false}}) {
    TempMachine machine(profile);
    reg::createKey(reg::Hive::LocalMachine, "SOFTWARE\\Wow6432Node\\Adobe\\Acrobat Reader");
    EXPECT_EQ(mxCheckInstallations::isAdobeReaderInstalled(), expected) << profile;
  }
  TempMachine machine("win7-sp1-x86");
  reg::createKey(reg::Hive::LocalMachine, "SOFTWARE\\Adobe\\Acrobat Reader");
  EXPECT_TRUE(mxCheckInstallations::isAdobeReaderInstalled());
}

TEST(CatalogueNames, EveryRowAndSharedCodes) {
  auto names = mxCheckInstallations::catalogueNames();
  EXPECT_EQ(names.size(), 63u);
  // The twins of one product code are present together.
  TempMachine machine;
  product("{01F5DEBA-9FCF-4D3A-B0F6-74D29B5F8651}", "pylon 4 Camera Software Suite 4.2.2.5468", "4.2.5468");
  EXPECT_EQ(evaluate("Pylon 4 Camera Software Suite 4.2.2.5468 - 32 bit"), "Installed");
  EXPECT_EQ(evaluate("Pylon 4 Camera Software Suite 4.2.2.5468 - 64 bit"), "Installed");
  // Per-user installations count.
  product("{1D06494F-0708-4CE4-B9A6-8D440FC74C14}", "Corvanta Watchdog - Restarter 2.0.0.6", "2.0", 2);
  EXPECT_EQ(evaluate("Corvanta Watchdog - Restarter 2.0.0.6"), "Installed");
}

}  // namespace
