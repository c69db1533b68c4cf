#pragma once
// What the check modules share: the fixed keys and codes, the uninstall-key reads in the
// system's root order, and the few file steps the removals repeat.
#include <array>
#include <optional>
#include <string>

#include "platform/msi.h"
#include "platform/registry.h"

namespace check_support {

inline constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr const char* kMakerKey = "SOFTWARE\\BRENHOLM AS\\";
inline constexpr const char* kRuntimeCode = "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}";
inline constexpr const char* kRuntimeName = "Corvanta Version XI 11.0.0.614 Runtime";
inline constexpr const char* kPythonCode = "{79F081BF-7454-43DB-BD8F-9EE596813232}";

// Installer queries try the machine, user-managed and user-unmanaged contexts in order.
inline constexpr std::array kInstallContexts = {platform::msi::MSIINSTALLCONTEXT_MACHINE,
                                                platform::msi::MSIINSTALLCONTEXT_USERMANAGED,
                                                platform::msi::MSIINSTALLCONTEXT_USERUNMANAGED};
// Uninstall keys are read under the machine root first, the user's second.
inline constexpr std::array kUninstallRoots = {platform::registry::Hive::LocalMachine,
                                               platform::registry::Hive::CurrentUser};

bool equalsNoCase(const std::string& a, const std::string& b);

// A string value of an uninstall key (4096-byte buffer), machine root first.
std::optional<std::string> readUninstallValue(const std::string& keyName,
                                              const std::string& valueName);

// An OK box without owner and with the standard caption.
void showNotice(const std::string& text);

// The system directory with forward slashes and no trailing slash, as the installer
// checks form it before appending a file name.
std::string systemFolderForward();

// Sets the archive attribute and deletes; true when the file is gone afterwards.
bool deleteWithArchive(const std::string& path);

// Deletes target when present and copies source over it; true when target exists after.
bool replaceFile(const std::string& source, const std::string& target);

}  // namespace check_support
