#pragma once
// One installable thing: what to fetch, how to run it, and the three page strings that
// show its name, state and progress.
#include <memory>
#include <optional>
#include <string>

#include "engine/component_state.h"
#include "engine/components.h"

// The three strings a page shows for one entry.
struct EntryStrings {
  std::string name, state, progress;
};

struct ComponentEntry {
  ComponentEntry() = default;
  // Null text pointers are taken as empty strings. Writes name into *nameText and clears
  // *progressText; the state string is left alone. The identifier is the record that
  // carries this name, if any.
  ComponentEntry(const char* name, const char* url, const char* fileName,
                 const char* arguments, const char* downloadFolder, bool isMsiPackage,
                 bool alwaysRefresh, std::string* nameText, std::string* stateText,
                 std::string* progressText, const char* category);
  // The entry a page makes of a component's record.
  ComponentEntry(ComponentId id, std::string* nameText, std::string* stateText,
                 std::string* progressText);

  // Copies of an entry share its state value as they share its strings.
  void setState(ComponentState state) const;
  void setProgress(ComponentProgress progress) const;
  ComponentState stateValue() const { return *stateValue_; }
  std::string state() const { return stateText ? *stateText : std::string(); }
  std::string progress() const { return progressText ? *progressText : std::string(); }
  const ComponentRecord* record() const { return id ? &componentRecord(*id) : nullptr; }

  std::optional<ComponentId> id;
  std::string name;
  std::string url;
  std::string fileName;
  std::string arguments;
  std::string downloadFolder;
  bool isMsiPackage = false;
  bool alwaysRefresh = false;
  // Strings of the owning page, not owned; copies write to the same strings.
  std::string* nameText = nullptr;
  std::string* stateText = nullptr;
  std::string* progressText = nullptr;
  std::string category;

 private:
  std::shared_ptr<ComponentState> stateValue_ =
      std::make_shared<ComponentState>(ComponentState::Unknown);
};
