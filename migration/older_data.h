#pragma once
// Older-version user data: the version folders under Documents, the settings file's path
// rewrite and the template folders of the older runtime. No windows here: the import
// dialog and its worker call these.
#include <string>
#include <vector>

namespace migration {

inline constexpr const char* kCurrentVersionFolder = "Corvanta 11.0";

// Major: the digits between the last blank and the last point; minor: the digits after the
// last point. Anything else fails and leaves both 0.
bool parseCurrentVersionNumber(const std::string& folderName, int& major, int& minor);
// Every older folder name that may exist, newest of each family last.
std::vector<std::string> candidateOlderVersionFolders(int major, int minor);
// Empty when the documents folder is unknown.
std::string getDocumentsFolder();
// The candidates that exist directly in documentsFolder, in candidate order.
std::vector<std::string> listOlderVersionFolders(const std::string& documentsFolder);
bool isOlderDataImportNeeded(const std::string& documentsFolder);

// Rewrites in targetFolder's "Corvanta.ini" the paths below sourceFolder to targetFolder, in
// the history and config sections only. Line endings, a byte-order mark, NUL bytes and long
// lines pass through unchanged. False with the file exactly as it was (and no temporary
// file) when anything fails.
bool rewriteCorvantaIni(const std::string& targetFolder, const std::string& sourceFolder);
// The same rewrite on the file's bytes.
std::string rewriteCorvantaIniText(const std::string& text, const std::string& sourceFolder,
                                   const std::string& targetFolder);

// The older runtime's templates folder and the current one, from the current runtime folder
// (ending in a backslash). False when that folder is not "...\Corvanta 11.0\Runtime\": the
// install root cannot be told then.
bool templateFolders(const std::string& runtimeFolder, const std::string& olderVersionFolder,
                     std::string& oldTemplates, std::string& newTemplates);

// The percentage of the progress text; a total of 0 is complete.
int progressPercent(long count, long total);

}  // namespace migration
