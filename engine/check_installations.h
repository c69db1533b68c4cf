#pragma once
// The catalogue: for each display name, how to tell that the component is present, which
// state it is in, and how to repair or remove it.
#include <string>

#include "engine/component_entry.h"

class mxCheckInstallations {
 public:
  // Catalogue operations, keyed by the entry's name (case-insensitive).
  static bool isComponentInstalled(const ComponentEntry& entry);
  static bool evaluateComponentState(const ComponentEntry& entry, std::string& state);
  static bool needsRepair(const ComponentEntry& entry);
  static int repairComponent(const ComponentEntry& entry);
  // Run by the uninstall runner's worker thread.
  static bool removeComponent(const ComponentEntry& entry);

  // Detection primitives.
  static bool isMsiProductInstalled(const std::string& productCode);
  static bool isMsiProductVersion(const std::string& productCode, const std::string& version);
  static bool isMsiProductNameDifferent(const std::string& productCode,
                                        const std::string& productName);
  static bool removeMsiProduct(const std::string& productCode);
  static bool isUninstallKeyPresent(const std::string& keyName);
  static bool isUninstallValueEqual(const std::string& keyName, const std::string& valueName,
                                    const std::string& expected);
  // The runtime's install folder (ends with a backslash as the runtime writes it).
  static bool getRuntimeFolder(std::string& folder);
  static bool isSameFile(const std::string& a, const std::string& b);
};
