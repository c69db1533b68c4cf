#pragma once
// One installable thing: what to fetch, how to run it, and the three page strings that
// show its name, state and progress.
#include <string>

struct ComponentEntry {
  ComponentEntry() = default;
  // Null text pointers are taken as empty strings. Writes name into *nameText and clears
  // *progressText; the state string is left alone.
  ComponentEntry(const char* name, const char* url, const char* fileName,
                 const char* arguments, const char* downloadFolder, bool isMsiPackage,
                 bool alwaysRefresh, std::string* nameText, std::string* stateText,
                 std::string* progressText, const char* category);

  void setState(const std::string& text) const;
  void setProgress(const std::string& text) const;
  std::string state() const { return stateText ? *stateText : std::string(); }
  std::string progress() const { return progressText ? *progressText : std::string(); }

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
};
