#include "engine/check_installations.h"

#include <functional>
#include <strings.h>
#include <vector>

#include "platform/files.h"
#include "platform/msi.h"
#include "platform/registry.h"
#include "platform/win_types.h"

namespace msi = platform::msi;
namespace reg = platform::registry;

namespace {

const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char* const kRuntimeCode = "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}";
const char* const kRuntimeName = "Corvanta Version XI 11.0.0.614 Runtime";

bool equalsNoCase(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// One row of the catalogue: how a component is found, the tests that give its state
// (in order, the first failing one decides), and how it is repaired and removed.
struct StateTest {
  std::function<bool()> passes;
  const char* failState;
};

struct CatalogueRow {
  const char* name;
  std::function<bool()> present;
  std::vector<StateTest> stateTests;
  std::function<bool()> removal;  // empty: cannot be removed
  std::function<bool()> repair;   // empty: the same as the removal
};

// The Windows Installer family: found by product code, checked by product name or
// version, removed through the installer database.
CatalogueRow msiRow(const char* name, const char* code, std::vector<StateTest> tests) {
  std::string c = code;
  return {name, [c] { return mxCheckInstallations::isMsiProductInstalled(c); },
          std::move(tests), [c] { return mxCheckInstallations::removeMsiProduct(c); }, {}};
}

StateTest productNameIs(const char* code, const char* productName) {
  std::string c = code, n = productName;
  return {[c, n] { return !mxCheckInstallations::isMsiProductNameDifferent(c, n); },
          "Version Mismatch"};
}

StateTest versionIs(const char* code, const char* version) {
  std::string c = code, v = version;
  return {[c, v] { return mxCheckInstallations::isMsiProductVersion(c, v); },
          "Version Mismatch"};
}

// A row whose only state test is that the installed product carries the row's own name.
CatalogueRow namedMsiRow(const char* name, const char* code) {
  return msiRow(name, code, {productNameIs(code, name)});
}

const std::vector<CatalogueRow>& catalogue() {
  static const std::vector<CatalogueRow> rows = {
      msiRow("MS VC++ 2005 SP1 Redist", "{7299052b-02a4-4627-81f2-1818da5d550d}", {}),
      msiRow("MS VC++ 2008 SP1 Redist", "{9A25302D-30C0-39D9-BD6F-21E6EC160475}", {}),
      msiRow("MS VC++ 2010 SP1 Redist", "{F0C3E5D1-1ADE-321E-8167-68EF0DE699A5}", {}),
      namedMsiRow("Corvanta Watchdog - Restarter 2.0.0.6",
                  "{1D06494F-0708-4CE4-B9A6-8D440FC74C14}"),
      namedMsiRow(kRuntimeName, kRuntimeCode),
      namedMsiRow("Corvanta Prismal Version XI 11.0.0.614 SDK",
                  "{66D6BF2A-2453-48E0-AB6B-4291DB56ADF4}"),
      namedMsiRow("Corvanta Vision Software Version XI 11.0.0.614",
                  "{095C5AF3-9006-4B9B-BB5D-CC06B3636929}"),
      namedMsiRow("Corvanta OpcRelay 1.9.0.26", "{58D6B910-EFAA-4131-A0FC-3F095362B947}"),
  };
  return rows;
}

const CatalogueRow* findRow(const std::string& name) {
  for (const auto& row : catalogue())
    if (equalsNoCase(name, row.name)) return &row;
  return nullptr;
}

bool isRepairState(const std::string& state) {
  return state == "Reinstall Needed" || state == "Version Mismatch" ||
         state == "Multiple Versions" || state == "Incomplete Module";
}

// Reads a string value of an uninstall key under one root; false when the key or the
// value is missing.
bool readUninstallValue(reg::Hive hive, const std::string& keyName,
                        const std::string& valueName, std::string& value) {
  auto v = reg::readString(hive, kUninstallKey + keyName, valueName, 4096);
  if (!v) return false;
  value = *v;
  return true;
}

}  // namespace

bool mxCheckInstallations::isComponentInstalled(const ComponentEntry& entry) {
  const CatalogueRow* row = findRow(entry.name);
  return row && row->present();
}

bool mxCheckInstallations::evaluateComponentState(const ComponentEntry& entry,
                                                  std::string& state) {
  const CatalogueRow* row = findRow(entry.name);
  if (!row) {
    state = "Not Installed";
    return false;
  }
  for (const auto& test : row->stateTests) {
    if (!test.passes()) {
      state = test.failState;
      return false;
    }
  }
  state = "Installed";
  return true;
}

bool mxCheckInstallations::needsRepair(const ComponentEntry& entry) {
  return isRepairState(entry.state());
}

int mxCheckInstallations::repairComponent(const ComponentEntry& entry) {
  if (!needsRepair(entry)) return 1;
  const CatalogueRow* row = findRow(entry.name);
  if (!row) return -1;
  const auto& action = row->repair ? row->repair : row->removal;
  return action && action() ? 1 : -1;
}

bool mxCheckInstallations::removeComponent(const ComponentEntry& entry) {
  const CatalogueRow* row = findRow(entry.name);
  return row && row->removal && row->removal();
}

bool mxCheckInstallations::isMsiProductInstalled(const std::string& productCode) {
  for (auto context : {msi::MSIINSTALLCONTEXT_MACHINE, msi::MSIINSTALLCONTEXT_USERMANAGED,
                       msi::MSIINSTALLCONTEXT_USERUNMANAGED}) {
    std::string value;
    if (msi::getProductInfoEx(productCode, context, "VersionString", value, 64) ==
        win::ERROR_SUCCESS)
      return true;
  }
  return false;
}

bool mxCheckInstallations::isMsiProductVersion(const std::string& productCode,
                                               const std::string& version) {
  if (!isMsiProductInstalled(productCode)) return false;
  std::string value;
  return msi::getProductInfo(productCode, "VersionString", value, 512) == win::ERROR_SUCCESS &&
         equalsNoCase(value, version);
}

bool mxCheckInstallations::isMsiProductNameDifferent(const std::string& productCode,
                                                     const std::string& productName) {
  if (!isMsiProductInstalled(productCode)) return false;
  std::string value;
  if (msi::getProductInfo(productCode, "InstalledProductName", value, 512) !=
      win::ERROR_SUCCESS)
    return true;
  return !equalsNoCase(value, productName);
}

bool mxCheckInstallations::removeMsiProduct(const std::string& productCode) {
  return msi::configureProduct(productCode, msi::INSTALLLEVEL_DEFAULT,
                               msi::INSTALLSTATE_ABSENT) == win::ERROR_SUCCESS;
}

bool mxCheckInstallations::isUninstallKeyPresent(const std::string& keyName) {
  return reg::keyExists(reg::Hive::LocalMachine, kUninstallKey + keyName) ||
         reg::keyExists(reg::Hive::CurrentUser, kUninstallKey + keyName);
}

bool mxCheckInstallations::isUninstallValueEqual(const std::string& keyName,
                                                 const std::string& valueName,
                                                 const std::string& expected) {
  std::string value;
  if (readUninstallValue(reg::Hive::LocalMachine, keyName, valueName, value) &&
      value == expected)
    return true;
  return readUninstallValue(reg::Hive::CurrentUser, keyName, valueName, value) &&
         value == expected;
}

bool mxCheckInstallations::getRuntimeFolder(std::string& folder) {
  if (!isMsiProductInstalled(kRuntimeCode)) return false;
  std::string name;
  if (msi::getProductInfo(kRuntimeCode, "InstalledProductName", name, 512) !=
          win::ERROR_SUCCESS ||
      !equalsNoCase(name, kRuntimeName))
    return false;
  std::string key = std::string("SOFTWARE\\BRENHOLM AS\\") + kRuntimeName;
  if (!reg::keyExists(reg::Hive::LocalMachine, key)) return false;
  folder = reg::readString(reg::Hive::LocalMachine, key, "InstallPath", 260).value_or("");
  return true;
}

bool mxCheckInstallations::isSameFile(const std::string& a, const std::string& b) {
  auto fa = platform::files::find(a);
  auto fb = platform::files::find(b);
  return !fa.empty() && !fb.empty() && fa.front().lastWriteTime == fb.front().lastWriteTime &&
         fa.front().size == fb.front().size;
}
