#pragma once
// Every component record (both builds of the architecture-dependent ones) as an entry, for
// tests that drive the engine end to end.
#include <string>
#include <vector>

#include "engine/check_installations.h"
#include "engine/component_entry.h"
#include "engine/components.h"
#include "platform/ui/scripted_ui.h"

using PageEntry = ComponentRecord;

const std::vector<PageEntry>& pageEntries();
const PageEntry* findPageEntry(const std::string& name);

ComponentEntry makeEntry(const PageEntry& e, const std::string& applicationFolder,
                         EntryStrings& strings);

// What the demo tests share while they run the engine: the scripted UI as the backend,
// the application folder, and short pauses for the watchers (the stand-ins show their
// windows at once). Undone when it goes.
class DemoWizardScope {
 public:
  explicit DemoWizardScope(const char* applicationFolder);
  ~DemoWizardScope();
  DemoWizardScope(const DemoWizardScope&) = delete;
  DemoWizardScope& operator=(const DemoWizardScope&) = delete;
  ui::ScriptedUi& ui() { return ui_; }

 private:
  ui::ScriptedUi ui_;
  WatchTimings saved_;
};
