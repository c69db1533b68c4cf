#include "tests/e2e/page_entries.h"

#include "engine/app_context.h"
#include "platform/files.h"
#include "platform/portable.h"

const std::vector<PageEntry>& pageEntries() { return componentRecords(); }

const PageEntry* findPageEntry(const std::string& name) {
  std::optional<ComponentId> id = findComponent(name);
  return id ? &componentRecord(*id) : nullptr;
}

ComponentEntry makeEntry(const PageEntry& e, const std::string& applicationFolder,
                         EntryStrings& strings) {
  std::string url = downloadServerBaseUrl() + e.serverFolder + e.fileName;
  std::string folder = applicationFolder + "\\" + e.dataFolder;
  return ComponentEntry(e.name, url.c_str(), e.fileName, e.arguments, folder.c_str(),
                        e.isMsiPackage, false, &strings.name, &strings.state, &strings.progress,
                        e.category);
}

DemoWizardScope::DemoWizardScope(const char* applicationFolder) : saved_(watchTimings()) {
  ui::setBackend(&ui_);
  ui_.setModalLimit(60000);
  platform::files::createDirectory(applicationFolder);
  appContext().applicationFolder = applicationFolder;
  appContext().isFolderWritable = true;
  watchTimings().gonePollMs = 50;
  watchTimings().speccyPauseMs = 50;
}

DemoWizardScope::~DemoWizardScope() {
  watchTimings() = saved_;
  ui::setBackend(nullptr);
}
