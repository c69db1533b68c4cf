// The catalogue as a table of data: each row binds a display name to the family routines
// that find the component, give its state and remove it.
#include <functional>
#include <vector>

#include "engine/check_installations.h"
#include "engine/check_support.h"
#include "engine/lookups.h"

using namespace check_support;
using C = mxCheckInstallations;
using Build = mxCheckInstallations::OpenCvBuild;

namespace {

using Test = std::function<bool()>;

// A state test: when it fails, the component is in failState.
struct StateTest {
  Test passes;
  ComponentState failState;
};

struct CatalogueRow {
  const char* name;
  Test present;
  std::vector<StateTest> stateTests;
  Test removal;  // empty: cannot be removed
  Test repair;   // empty: the same as the removal
};

constexpr ComponentState kVersionMismatch = ComponentState::VersionMismatch;
constexpr ComponentState kIncomplete = ComponentState::IncompleteModule;

// ---- the installer-product family: found by product code, checked by version or
// product name, removed through the installer database.

Test productInstalled(std::string code) { return [code] { return C::isMsiProductInstalled(code); }; }
Test removeProduct(std::string code) { return [code] { return C::removeMsiProduct(code); }; }

StateTest versionIs(std::string code, std::string version) {
  return {[code, version] { return C::isMsiProductVersion(code, version); }, kVersionMismatch};
}

StateTest productNameIs(std::string code, std::string name) {
  return {[code, name] { return !C::isMsiProductNameDifferent(code, name); }, kVersionMismatch};
}

CatalogueRow productRow(const char* name, std::string code, std::vector<StateTest> tests = {},
                        Test removal = {}) {
  return {name, productInstalled(code), std::move(tests),
          removal ? std::move(removal) : removeProduct(code), {}};
}

// A product whose only test is that it carries the row's own name.
CatalogueRow namedProductRow(const char* name, std::string code) {
  return productRow(name, code, {productNameIs(code, name)});
}

CatalogueRow versionedProductRow(const char* name, std::string code, std::string version,
                                 Test removal = {}) {
  return productRow(name, code, {versionIs(code, version)}, std::move(removal));
}

// ---- the uninstall-key family: found by key (or by a value the key holds), checked by
// one registered value, removed by the vendor's registered command.

Test keyPresent(std::string key) { return [key] { return C::isUninstallKeyPresent(key); }; }
Test keyHolds(std::string key, std::string value) {
  return [key, value] { return C::isUninstallValuePresent(key, value); };
}
StateTest valueIs(std::string key, std::string valueName, std::string expected,
                  ComponentState failState = kVersionMismatch) {
  return {[key, valueName, expected] { return C::isUninstallValueEqual(key, valueName, expected); },
          failState};
}
Test quotedUninstaller(std::string key, std::string value) {
  return [key, value] { return C::runQuotedUninstaller(key, value); };
}
Test installShieldUninstaller(std::string code) {
  return quotedUninstaller("InstallShield_" + code, "UninstallString");
}

// ---- the Python module family: an uninstall key per module whose DisplayName names the
// build, only sound while the Python 2.7.9 package is installed.

StateTest pythonInstalled(ComponentState failState) {
  return {[] { return C::isMsiProductInstalled(kPythonCode); }, failState};
}

CatalogueRow moduleRow(const char* name, std::string key, std::string displayName,
                       Test removal = {}) {
  if (!removal) removal = [key] { return C::runModuleUninstaller(key); };
  return {name,
          [key] { return C::isModuleInstalled(key); },
          {pythonInstalled(ComponentState::ReinstallNeeded), valueIs(key, "DisplayName", displayName)},
          std::move(removal),
          {}};
}

// ---- the runtime-folder packages: unpacked into the runtime's folder, checked file by file,
// removed by deleting them.

CatalogueRow openCvRow(const char* name, Build build, std::vector<StateTest> moduleTests) {
  std::vector<StateTest> tests = {
      {[build] { return C::isOpenCvPresent(build); }, kVersionMismatch},
      {[build] { return C::isOpenCvComplete(build); }, kIncomplete}};
  for (auto& t : moduleTests) tests.push_back(std::move(t));
  return {name, [build] { return C::isOpenCvPresent(build); }, std::move(tests),
          [build] { return C::removeOpenCv(build); }, {}};
}

// A package whose presence test is also its only state test.
CatalogueRow fileSetRow(const char* name, Test present, Test removal) {
  return {name, present, {{present, kIncomplete}}, std::move(removal), {}};
}

// ---- components that are found but never removed by the wizard.

CatalogueRow fixedRow(const char* name, Test present) { return {name, std::move(present), {}, {}, {}}; }

// ---- TightVNC: its own key or its package's product code.

CatalogueRow tightVncRow(const char* name, std::string code) {
  return {name,
          [code] { return C::isTightVncInstalled(code); },
          {{[code] { return !C::isTightVncVersionDifferent(code); }, kVersionMismatch}},
          [code] { return C::removeTightVnc(code); },
          {}};
}

// ---- AVT packages: the product, then the grabber library the runtime loads.

CatalogueRow avtRow(const char* name, std::string code, std::string version, std::string library) {
  return productRow(name, code,
                    {versionIs(code, version),
                     {[library] { return C::isAvtLibraryActive(library); }, kIncomplete}});
}

std::vector<CatalogueRow> buildCatalogue() {
  const std::string pyserialKey = "pyserial-py2.7";
  std::vector<CatalogueRow> rows = {
      productRow("MS VC++ 2005 SP1 Redist", "{7299052b-02a4-4627-81f2-1818da5d550d}"),
      productRow("MS VC++ 2008 SP1 Redist", "{9A25302D-30C0-39D9-BD6F-21E6EC160475}"),
      productRow("MS VC++ 2010 SP1 Redist", "{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}"),
      fixedRow("Microsoft .Net 2.0.50727.42 Redist", [] { return C::isDotNet2Installed(); }),
      fixedRow("Windows Installer 3.1", [] { return C::isWindowsInstaller31Installed(); }),
      {"Python 2.7.9",
       [] { return C::countPython27Products() > 0; },
       {{[] { return C::countPython27Products() <= 1; }, ComponentState::MultipleVersions},
        pythonInstalled(kVersionMismatch)},
       [] { return C::runMsiexecUninstall(kPythonCode); },
       [] { return C::removePython27Products(); }},
      moduleRow("pywin32-219.win32-py2.7", "pywin32-py2.7", "Python 2.7 pywin32-219"),
      moduleRow("pyserial-2.7.win32", pyserialKey, "Python 2.7 pyserial-2.7"),
      moduleRow("scipy-0.14.0-python2.7", "scipy-py2.7", "Python 2.7 scipy-0.14.0"),
      moduleRow("numpy-1.9.1-python2.7", "numpy-py2.7", "Python 2.7 numpy-1.9.1"),
      moduleRow("matplotlib-1.4.2.win32-py2.7", "matplotlib-py2.7", "Python 2.7 matplotlib-1.4.2"),
      moduleRow("pyparsing-2.0.2.win32-py2.7", "pyparsing-py2.7", "Python 2.7 pyparsing-2.0.2",
                [] { return C::uninstallPyParsing(); }),
      moduleRow("scikit-learn-0.15.0b1.win32-py2.7", "scikit-learn-py2.7",
                "Python 2.7 scikit-learn-0.15.0b1"),
      moduleRow("six-1.7.3.win32-py2.7", "six-py2.7", "Python 2.7 six-1.7.3"),
      moduleRow("scikit-image-0.10.1.win32-py2.7", "scikit-image-py2.7",
                "Python 2.7 scikit-image-0.10.1"),
      moduleRow("dxfgrabber-0.7.4.win32-py2.7", "dxfgrabber-py2.7", "Python 2.7 dxfgrabber-0.7.4"),
      moduleRow("MySQL-python-1.2.4b4.win32-py2.7", "MySQL-python-py2.7",
                "Python 2.7 MySQL-python-1.2.4b4"),
      openCvRow("OpenCV 2.4.9 (Python 27)", Build::V249,
                {pythonInstalled(kIncomplete),
                 valueIs("pywin32-py2.7", "DisplayName", "Python 2.7 pywin32-219", kIncomplete),
                 valueIs(pyserialKey, "DisplayName", "Python 2.7 pyserial-2.7", kIncomplete),
                 valueIs("numpy-py2.7", "DisplayName", "Python 2.7 numpy-1.9.1", kIncomplete),
                 valueIs("scipy-py2.7", "DisplayName", "Python 2.7 scipy-0.14.0", kIncomplete)}),
      openCvRow("OpenCV 3.0.0", Build::V300, {}),
      {"Imaging Source - IC Capture 2.3",
       keyPresent("ICCapture22_is1"),
       {valueIs("ICCapture22_is1", "DisplayName", "IC Capture 2.3")},
       quotedUninstaller("ICCapture22_is1", "QuietUninstallString"),
       {}},
      {"Corvanta 9.3.0.524 IPP",
       [] { return C::isIppPresent(); },
       {{[] { return C::isIppComplete(); }, kIncomplete}},
       [] { return C::removeIpp(); },
       {}},
      fileSetRow("Vantor API 1.0.0.3 Files", [] { return C::isVantorApiPresent(); },
                 [] { return C::removeVantorApi(); }),
      fileSetRow("Shared Memory Camera Driver", [] { return C::isSmCameraPresent(); },
                 [] { return C::removeSmCamera(); }),
      namedProductRow("Corvanta Watchdog - Restarter 2.0.0.6",
                      "{1D06494F-0708-4CE4-B9A6-8D440FC74C14}"),
      namedProductRow(kRuntimeName, kRuntimeCode),
      namedProductRow("Corvanta Prismal Version XI 11.0.0.614 SDK",
                      "{66D6BF2A-2453-48E0-AB6B-4291DB56ADF4}"),
      namedProductRow("Corvanta Vision Software Version XI 11.0.0.614",
                      "{095C5AF3-9006-4B9B-BB5D-CC06B3636929}"),
      tightVncRow("TightVNC 2.6.4 - 32 bit", "{981B8EDC-E693-4F22-9694-C0FF8E56F134}"),
      tightVncRow("TightVNC 2.6.4 - 64 bit", "{D71C967C-8709-4334-BF16-952469E96DCD}"),
      {"Cue Keeper 1.0.0.1(3587)",
       [] { return C::isCueKeeperInstalled(); },
       {{[] { return !C::isCueKeeperVersionDifferent(); }, kVersionMismatch}},
       [] { return C::removeCueKeeper(); },
       {}},
      {"PerformanceTest 8.0",
       keyHolds("PerformanceTest 8_is1", "QuietUninstallString"),
       {valueIs("PerformanceTest 8_is1", "DisplayVersion", "8.0.1022.0")},
       quotedUninstaller("PerformanceTest 8_is1", "QuietUninstallString"),
       {}},
      {"Corvanta TeamViewer 8 Host.exe",
       keyHolds("TeamViewer 8 Host", "UninstallString"),
       {valueIs("TeamViewer 8 Host", "DisplayVersion", "8.0.18930")},
       [] { return C::runWatchedUninstaller("TeamViewer 8 Host", "TeamViewer 8 Host Uninstall"); },
       {}},
      {"Speccy v1.25",
       keyPresent("Speccy"),
       {valueIs("Speccy", "DisplayVersion", "1.25")},
       [] {
         return C::runWatchedUninstaller("Speccy", "Speccy v1.25 Uninstall",
                                         watchTimings().speccyPauseMs);
       },
       {}},
  };

  const std::string ubCore = "{F65FE148-FCF5-42F7-8803-FA0B7DA8B8A4}";
  rows.push_back(productRow("ubCore 6.00 Pro 1394a - 1394b drivers - 32 bit", ubCore, {},
                            installShieldUninstaller(ubCore)));
  rows.push_back(productRow("ubCore 6.00 Pro 1394a - 1394b drivers - 64 bit", ubCore, {},
                            installShieldUninstaller(ubCore)));
  for (auto [name, code] : {std::pair{"Fire-i Application 4.0 - 32 bit",
                                      "{1AAA20E7-B683-4F94-A14C-C8186D0EC55F}"},
                            std::pair{"Fire-i Application 4.0 - 64 bit",
                                      "{7FC31537-1378-4B54-9BB6-1F43F4C6AE46}"}})
    rows.push_back(productRow(name, code, {}, installShieldUninstaller(code)));

  const std::string zcl = "{1A23CB3F-7B04-4CFD-80BE-81D2ACB10167}";
  for (const char* name : {"ZCL for SONYGigECAM 2.12 - 32 bit", "ZCL for SONYGigECAM 2.12 - 64 bit"})
    rows.push_back(versionedProductRow(name, zcl, "2.12"));
  for (const char* name : {"ZCL for SONYGigECAM 2.12.2 - Windows 7 (32 bit)",
                           "ZCL for SONYGigECAM 2.12.2 - Windows 7 (64 bit)",
                           "ZCL for SONYGigECAM 2.12.2 - Windows 8 (32 bit)",
                           "ZCL for SONYGigECAM 2.12.2 - Windows 8 (64 bit)"})
    rows.push_back(versionedProductRow(name, zcl, "2.12.2"));

  const std::string suite4 = "{01F5DEBA-9FCF-4D3A-B0F6-74D29B5F8651}";
  auto suite4Tests = [&] {
    return std::vector<StateTest>{versionIs(suite4, "4.2.5468"),
                                  productNameIs(suite4, "pylon 4 Camera Software Suite 4.2.2.5468")};
  };
  rows.push_back(versionedProductRow("Basler pylon SDK 2.3.5.2633 - 32 bit",
                                     "{2393D986-319B-40BF-AEBD-6E0EFC5B5F57}", "2.3.2633"));
  rows.push_back(versionedProductRow("Basler pylon SDK 3.2.3.3215 - 32 bit",
                                     "{7701C433-7FAB-43ED-B117-762AC408A61C}", "3.2.3215"));
  rows.push_back(versionedProductRow("Basler pylon 4 Runtime 4.0.1.3425 - 32 bit",
                                     "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}", "4.0.3425"));
  rows.push_back(productRow("Pylon 4 Camera Software Suite 4.2.2.5468 - 32 bit", suite4,
                            suite4Tests()));
  rows.push_back(versionedProductRow("Basler pylon SDK 2.3.5.2633 - 64 bit",
                                     "{D7F97581-F17B-48AD-B4BB-634AF0F78D39}", "2.3.2633"));
  rows.push_back(versionedProductRow("Basler pylon SDK 3.2.3.3215 - 64 bit",
                                     "{7701C433-7FAB-43ED-B117-762AC408A61C}", "3.2.3215"));
  rows.push_back(versionedProductRow("Basler pylon 4 Runtime 4.0.1.3425 - 64 bit",
                                     "{37A8A264-ADAE-4226-BA66-B9FE9FFB1F89}", "4.0.3425"));
  rows.push_back(productRow("Pylon 4 Camera Software Suite 4.2.2.5468 - 64 bit", suite4,
                            suite4Tests()));

  const std::string pylon5 = "{7d1403fe-dc29-4331-b008-d8899a59ae1f}";
  rows.push_back({"Pylon 5 Camera Software Suite 5.0.0.6150",
                  keyPresent(pylon5),
                  {valueIs(pylon5, "DisplayName", "pylon 5 Camera Software Suite 5.0.0.6150")},
                  quotedUninstaller(pylon5, "UninstallString"),
                  {}});
  rows.push_back(avtRow("AVT Universal Package 2.2.0", "{E15958CD-D2FC-47ED-AE1A-57C9FEC1DC84}",
                        "2.2.0", "uniAVTGrab_Universal_2_2_0.dll"));
  rows.push_back(avtRow("AVT Fire Package 2.11", "{4E3FA21E-D211-49FE-B40E-360A78AF8B31}", "2.11",
                        "uniAVTGrab_Fire_2_11.dll"));

  for (auto [name, code, version] :
       {std::tuple{"DAQNavi PCI-1730 3.1.1.0", "{6D3F63BF-82B3-402C-B904-19970D4718F6}", "3.1.1.0"},
        std::tuple{"DAQNavi USB-4711A 3.1.3.0", "{6D87DA37-CBC4-46E2-9183-91B52DC60D02}", "3.1.3.0"},
        std::tuple{"DAQNavi USB-4750 3.1.1.0", "{E8881CC8-EB89-49FA-B2A5-986488C75164}", "3.1.1.0"},
        std::tuple{"DAQNavi SDK and Drivers 3.1.4.0", "{88B93413-6464-4DBB-AFDF-400AEEB20E7D}",
                   "3.1.4.0"}})
    rows.push_back(versionedProductRow(name, code, version, installShieldUninstaller(code)));

  const std::string adam = "{C2E6E999-4516-40D2-8191-79B5CB4B987B}";
  rows.push_back({"Adam/Apax .NET Utility 2.04.04",
                  keyHolds(adam, "UninstallString"),
                  {valueIs(adam, "DisplayVersion", "2.04.04")},
                  [adam] { return C::runShellUninstaller(adam); },
                  {}});
  rows.push_back({"OPC Scout (SIMATIC NET OPC-Client V6.2-3133)",
                  keyPresent("OPC CLIENT"),
                  {valueIs("OPC CLIENT", "DisplayName", "SIMATIC NET OPC CLIENT V6.2 Build 3133")},
                  [] { return C::runSplitUninstaller("OPC CLIENT"); },
                  {}});
  rows.push_back(versionedProductRow("MatrikonOPC Server for Simulation",
                                     "{0D0DBA0E-69F7-45AD-9D09-2E61E1B41190}", "1.5.0.0",
                                     quotedUninstaller("MatrikonOPC Server for Simulation",
                                                       "UninstallString")));
  rows.push_back(namedProductRow("Corvanta OpcRelay 1.9.0.26",
                                 "{58D6B910-EFAA-4131-A0FC-3F095362B947}"));
  rows.push_back(fixedRow("Adobe Acrobat Reader", [] { return C::isAdobeReaderInstalled(); }));
  return rows;
}

const std::vector<CatalogueRow>& catalogue() {
  static const std::vector<CatalogueRow> rows = buildCatalogue();
  return rows;
}

const CatalogueRow* findRow(const std::string& name) {
  for (const auto& row : catalogue())
    if (equalsNoCase(name, row.name)) return &row;
  return nullptr;
}

}  // namespace

bool mxCheckInstallations::isComponentInstalled(const ComponentEntry& entry) {
  const CatalogueRow* row = findRow(entry.name);
  if (!row) return false;
  lookups::EvaluationScope scope;
  return row->present();
}

ComponentState mxCheckInstallations::evaluateComponentState(const ComponentEntry& entry) {
  const CatalogueRow* row = findRow(entry.name);
  if (!row) return ComponentState::NotInstalled;
  lookups::EvaluationScope scope;
  for (const auto& test : row->stateTests)
    if (!test.passes()) return test.failState;
  return ComponentState::Installed;
}

bool mxCheckInstallations::needsRepair(const ComponentEntry& entry) {
  return isRepairState(entry.stateValue());
}

int mxCheckInstallations::repairComponent(const ComponentEntry& entry,
                                          const platform::CancelToken& cancel) {
  if (!needsRepair(entry)) return 1;
  const CatalogueRow* row = findRow(entry.name);
  if (!row) return -1;
  const auto& action = row->repair ? row->repair : row->removal;
  RemovalScope scope(cancel);
  return action && action() && !cancel.cancelled() ? 1 : -1;
}

bool mxCheckInstallations::removeComponent(const ComponentEntry& entry,
                                           const platform::CancelToken& cancel) {
  const CatalogueRow* row = findRow(entry.name);
  RemovalScope scope(cancel);
  return row && row->removal && row->removal() && !cancel.cancelled();
}

std::vector<std::string> mxCheckInstallations::catalogueNames() {
  std::vector<std::string> names;
  for (const auto& row : catalogue()) names.push_back(row.name);
  return names;
}
