// The detection primitives shared by the catalogue and the checks: installer products,
// uninstall keys, the runtime folder and file identity.
#include "engine/check_installations.h"

#include "engine/check_support.h"
#include "engine/lookups.h"
#include "platform/msi.h"
#include "platform/registry.h"
#include "platform/win_types.h"

namespace msi = platform::msi;
namespace reg = platform::registry;
using namespace check_support;

WatchTimings& watchTimings() {
  static WatchTimings timings;
  return timings;
}

bool mxCheckInstallations::isMsiProductInstalled(const std::string& productCode) {
  for (auto context : kInstallContexts) {
    std::string value;
    if (lookups::productInfoEx(productCode, context, "VersionString", value, 64) ==
        win::ERROR_SUCCESS)
      return true;
  }
  return false;
}

bool mxCheckInstallations::isMsiProductVersion(const std::string& productCode,
                                               const std::string& version) {
  if (!isMsiProductInstalled(productCode)) return false;
  std::string value;
  return lookups::productInfo(productCode, "VersionString", value, 512) == win::ERROR_SUCCESS &&
         equalsNoCase(value, version);
}

bool mxCheckInstallations::isMsiProductNameDifferent(const std::string& productCode,
                                                     const std::string& productName) {
  if (!isMsiProductInstalled(productCode)) return false;
  std::string value;
  if (lookups::productInfo(productCode, "InstalledProductName", value, 512) !=
      win::ERROR_SUCCESS)
    return true;
  return !equalsNoCase(value, productName);
}

bool mxCheckInstallations::removeMsiProduct(const std::string& productCode) {
  return msi::configureProduct(productCode, msi::INSTALLLEVEL_DEFAULT,
                               msi::INSTALLSTATE_ABSENT) == win::ERROR_SUCCESS;
}

bool mxCheckInstallations::isUninstallKeyPresent(const std::string& keyName) {
  return lookups::keyExists(reg::Hive::LocalMachine, kUninstallKey + keyName) ||
         lookups::keyExists(reg::Hive::CurrentUser, kUninstallKey + keyName);
}

bool mxCheckInstallations::isUninstallValueEqual(const std::string& keyName,
                                                 const std::string& valueName,
                                                 const std::string& expected) {
  for (reg::Hive hive : kUninstallRoots) {
    auto value = lookups::readString(hive, kUninstallKey + keyName, valueName, 4096);
    if (value && *value == expected) return true;
  }
  return false;
}

bool mxCheckInstallations::isUninstallValuePresent(const std::string& keyName,
                                                   const std::string& valueName) {
  return readUninstallValue(keyName, valueName).has_value();
}

bool mxCheckInstallations::getRuntimeFolder(std::string& folder) {
  if (!isMsiProductInstalled(kRuntimeCode)) return false;
  std::string name;
  if (lookups::productInfo(kRuntimeCode, "InstalledProductName", name, 512) !=
          win::ERROR_SUCCESS ||
      !equalsNoCase(name, kRuntimeName))
    return false;
  std::string key = std::string(kMakerKey) + kRuntimeName;
  if (!lookups::keyExists(reg::Hive::LocalMachine, key)) return false;
  folder = lookups::readString(reg::Hive::LocalMachine, key, "InstallPath", 260).value_or("");
  // Callers append file names: an empty folder would turn them into relative paths, and a
  // folder written without its final backslash would run into the name.
  if (folder.empty()) return false;
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return true;
}

bool mxCheckInstallations::isSameFile(const std::string& a, const std::string& b) {
  auto fa = lookups::find(a);
  if (fa.empty()) return false;
  auto fb = lookups::find(b);
  return !fb.empty() && fa.front().lastWriteTime == fb.front().lastWriteTime &&
         fa.front().size == fb.front().size;
}
