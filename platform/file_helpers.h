#pragma once
// File and folder helpers shared by every part of the wizard. They report only through
// their results and never show messages.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/cancel.h"

bool fileExists(const std::string& path);
bool deleteFileIfPresent(const std::string& path);
bool moveFileReplacing(const std::string& target, const std::string& source);
// Refuses folders of six characters or fewer (a drive root) and folders that do not
// contain guard.
bool deleteFolderRecursive(const std::string& folder, const std::string& guard);
// progress, when given, hears the running count of copied files at every 25th one (the
// caller posts it to its window; the ports know no windows).
// True only when every file of the tree is in the target afterwards with its size (a file
// kept because overwrite is off counts as there). A file that could not be copied, a path
// too long to copy or a stop gives false, so a caller that moves deletes nothing then.
// The copy goes on past a failed file so that as much as possible arrives.
bool copyFolderRecursive(const std::string& source, const std::string& target, bool overwrite,
                         const volatile bool* cancel, const std::function<void(long)>& progress,
                         long* counter);
bool copyFolderRecursive(const std::string& source, const std::string& target, bool overwrite,
                         const platform::CancelToken& cancel,
                         const std::function<void(long)>& progress, long* counter);
bool measureFolder(const std::string& folder, long& fileCount, uint64_t& sizeKiB);
bool deleteInstallDataFolder(const std::string& applicationFolder);
