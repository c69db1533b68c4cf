#pragma once
// Every component entry of the component pages as their tables give it (both builds of
// the architecture-dependent ones), for tests that drive the engine end to end.
#include <string>
#include <vector>

#include "engine/component_entry.h"

struct PageEntry {
  const char* name;
  const char* serverFolder;  // after the base URL
  const char* fileName;
  const char* arguments;
  const char* dataFolder;  // below the application folder
  bool isMsiPackage;
  const char* category;
};

const std::vector<PageEntry>& pageEntries();
const PageEntry* findPageEntry(const std::string& name);

// The entry with the page's URL and download folder; its strings point into the holder.
struct EntryStrings {
  std::string name, state, progress;
};
ComponentEntry makeEntry(const PageEntry& e, const std::string& applicationFolder,
                         EntryStrings& strings);
