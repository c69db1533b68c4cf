#include "content/content_packages.h"

#include "engine/app_context.h"
#include "engine/component_entry.h"
#include "platform/elevated_launch.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/download_and_install_component.h"

bool fetchContentList(const ComponentEntry& entry, const std::string& localPath,
                      bool replaceExisting, bool showErrors, bool& fetched) {
  DDownloadAndInstallComponent dialog(1, 1, &entry, true, replaceExisting, showErrors);
  fetched = dialog.doModal() == win::IDOK;
  return fileExists(localPath);
}

int setPackageEntries(mxInstallManagerBase* manager, const std::vector<ListedPackage>& items,
                      const std::string& folder, const char* category,
                      std::vector<ComponentEntry>& packages, EntryStrings& strings) {
  if (!manager) return -1;
  manager->releaseComponents();
  packages.clear();
  packages.reserve(items.size());
  for (const ListedPackage& item : items) {
    const std::string file = fileNameOf(item.url);
    if (file.empty()) continue;
    packages.emplace_back(item.name.c_str(), item.url.c_str(), file.c_str(), "", folder.c_str(),
                          false, false, &strings.name, &strings.state, &strings.progress,
                          category);
  }
  std::vector<ComponentEntry*> pointers;
  for (ComponentEntry& e : packages) pointers.push_back(&e);
  if (!pointers.empty())
    manager->setComponents(static_cast<unsigned>(pointers.size()), pointers.data());
  return 1;
}

bool isPlainName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:\"*?<>|") == std::string::npos &&
         name.find("..") == std::string::npos;
}

std::string fileNameOf(const std::string& url) {
  size_t sep = url.find_last_of("\\/");
  return sep == std::string::npos ? std::string() : url.substr(sep + 1);
}

void createFolderPath(const std::string& folder) {
  if (platform::files::isDirectory(folder)) return;
  for (size_t at = folder.find_first_of("\\/", 1); at != std::string::npos;
       at = folder.find_first_of("\\/", at + 1))
    platform::files::createDirectory(folder.substr(0, at));
  platform::files::createDirectory(folder);
}

std::string userContentFolder(const char* leaf) {
  std::string documents;
  if (!platform::shell::getFolderPath(platform::shell::CSIDL_PERSONAL, documents)) return "";
  return documents + "\\Corvanta 11.0\\" + leaf + "\\";
}

bool readRuntimeInstallPath(std::string& folder) {
  namespace reg = platform::registry;
  const std::string key = "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime";
  if (!reg::keyExists(reg::Hive::LocalMachine, key)) return false;
  folder = reg::readString(reg::Hive::LocalMachine, key, "InstallPath", 259).value_or("");
  // "Corvanta.exe" is appended directly: a folder written without its final backslash must
  // not run into it.
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return true;
}

PackageFetch fetchPackage(const std::string& name, const std::string& url,
                          const std::string& fileName, const std::string& folder,
                          const char* category) {
  EntryStrings strings;
  ComponentEntry entry(name.c_str(), url.c_str(), fileName.c_str(), "", folder.c_str(), false,
                       false, &strings.name, &strings.state, &strings.progress, category);
  DDownloadAndInstallComponent dialog(1, 1, &entry, true, false, true);
  if (dialog.doModal() != win::IDOK) return PackageFetch::Failed;
  return fileExists(folder + "\\" + fileName) ? PackageFetch::Ready : PackageFetch::Missing;
}

bool deleteContentFolder(const std::string& parent, const std::string& name) {
  // Names from the server become a path that is deleted with everything below it: only one
  // plain folder of the page's own folder, and only one that is there.
  const std::string target = parent + name;
  return !parent.empty() && isPlainName(name) && platform::files::isDirectory(target) &&
         deleteFolderRecursive(target, parent);
}

void runProfile(ui::Window* owner, const std::string& runtimeFolder,
                const std::string& profilesFolder, const std::string& profileName) {
  // A quote in the name would end the System= argument early and let the rest of the name
  // become arguments of its own.
  if (!isPlainName(profileName) || profilesFolder.empty()) {
    contentMessage(owner, "Unable to load the profile. Unexpected error.");
    return;
  }
  long result = platform::shell::SE_ERR_FNF;
  if (!runtimeFolder.empty()) {
    const std::string program = runtimeFolder + "Corvanta.exe";
    const std::string parameters =
        "\"System=" + profilesFolder + profileName + "\" \"/IGNOREPROFILEVERSION\"";
    if (launchAppManagingUACElevation(parameters.c_str(), runtimeFolder.c_str(), program.c_str(),
                                      &result) <= 0) {
      contentMessage(owner, "Unable to load the profile. Unexpected error.");
      return;
    }
  }
  if (result <= 32)
    contentMessage(owner, "Unable to load the profile. Error code - " + std::to_string(result));
}

void openContentLink(ui::Window* owner, const std::string& target, const char* failure) {
  if (target.empty() || platform::shell::shellExecute("open", target, "", "") <= 32)
    contentMessage(owner, failure);
}

void contentMessage(ui::Window* owner, const std::string& text) {
  ui::messageBox(owner, text, kInstallerCaption, win::MB_OK);
}
