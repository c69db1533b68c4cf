#pragma once
// What the content pages share about the packages of their lists: names from the server
// that become folders and command lines, the user's content folders, fetching one package,
// and starting the vision software with a profile.
#include <string>
#include <vector>

#include "engine/component_entry.h"
#include "engine/install_manager.h"
#include "platform/ui/window.h"

// A name from the server that may become part of a path or a command line: one plain folder
// or file name (no separators, drive, parent step, quote or wildcard).
bool isPlainName(const std::string& name);
// The text after the last "\" or "/" of a package URL; empty without either.
std::string fileNameOf(const std::string& url);
// Every prefix of the folder, then the folder itself; failures are left to the next step.
void createFolderPath(const std::string& folder);
// "<documents>\Corvanta 11.0\<leaf>\"; empty when the documents folder is unknown.
std::string userContentFolder(const char* leaf);
// The runtime's install folder with its final backslash; false when it is not registered.
bool readRuntimeInstallPath(std::string& folder);

// Fetches a package of a list into folder (a file already there is used as it is).
enum class PackageFetch { Ready, Failed, Missing };
PackageFetch fetchPackage(const std::string& name, const std::string& url,
                          const std::string& fileName, const std::string& folder,
                          const char* category);

// Fetches a page's content list through its entry (replacing the local copy, or only when
// there is none); fetched tells whether the server answered, the result whether a local
// copy is there now.
bool fetchContentList(const ComponentEntry& entry, const std::string& localPath,
                      bool replaceExisting, bool showErrors, bool& fetched);

// The packages a list names, as entries of manager: one per item whose URL ends in a file
// name, into folder. The entries live in packages, their texts in strings, until the next
// call.
struct ListedPackage {
  std::string name, url;
};
int setPackageEntries(mxInstallManagerBase* manager, const std::vector<ListedPackage>& items,
                      const std::string& folder, const char* category,
                      std::vector<ComponentEntry>& packages, EntryStrings& strings);

// Deletes the folder name of parent (ending in a backslash) with its contents: false when
// the name is no plain name or the folder is not there.
bool deleteContentFolder(const std::string& parent, const std::string& name);

// Starts "Corvanta.exe" of the runtime folder with the profile folder profiles + name loaded,
// outside the wizard's rights; failures are shown to the user.
void runProfile(ui::Window* owner, const std::string& runtimeFolder,
                const std::string& profilesFolder, const std::string& profileName);

// Opens a document or web address with the shell; failure shows the text given.
void openContentLink(ui::Window* owner, const std::string& target, const char* failure);

// A message of the content pages with the installer's caption.
void contentMessage(ui::Window* owner, const std::string& text);
