#pragma once
// Versions of content packages: the four numbers of a version label, the installed version
// of a template found by its folders ("<class>_<version>"), and how an installed template
// stands against the server's version.
#include <array>
#include <optional>
#include <string>

using Version = std::array<long, 4>;

// Four dot-separated parts, none empty (the fourth may hold further dots), each read as a
// decimal number from its start; nullopt otherwise, or when a part is longer than 511.
std::optional<Version> parseVersion(const std::string& text);
// "%d.%d.%d.%d"
std::string versionText(const Version& v);
// Whether a list's version label is one that may name a folder: four plain numbers.
bool isPlainVersionLabel(const std::string& label);

// The greatest version among the folders "<className>_<version>" of the templates folder
// (machine path ending in a backslash); the class must be the folder's whole name before
// its last "_". nullopt when none is there.
std::optional<std::string> findInstalledTemplateVersion(const std::string& templatesFolder,
                                                        const std::string& className);

// How an installed template stands against the server's label.
enum class TemplateState { Current = 0, Outdated = 1, Newer = 2 };
TemplateState evaluateTemplate(const std::optional<std::string>& installed,
                               const std::string& versionLabel);
