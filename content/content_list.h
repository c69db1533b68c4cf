#pragma once
// The content pages' lists: the sectioned lists of templates and demo profiles, where each
// header opens one item and repeats for every item of its category, and the tab names of
// the INI lists of tutorials and resources, where every section is an item.
#include <string>
#include <vector>

struct mxContentListEntry {
  std::string section, name, className, versionLabel, url, infoText, infoUrl;
};

class mxContentList {
 public:
  // Results of load.
  static constexpr int kRead = 1, kMissing = -1, kMoreHeaders = -2, kFewerHeaders = -3;

  mxContentList() { load(""); }

  // Reads a sectioned list in two passes (headers counted, then items read); -2 and -3 when
  // the file changed between them, the entries read so far kept.
  int load(const std::string& path);
  // The distinct sections (without regard to case) in order of first appearance.
  int collectSections(std::vector<std::string>* names) const;

  const std::string& path() const { return path_; }
  bool loaded() const { return loaded_; }
  const std::vector<mxContentListEntry>& entries() const { return entries_; }
  int count() const { return static_cast<int>(entries_.size()); }

 private:
  std::string path_;
  bool loaded_ = false;
  std::vector<mxContentListEntry> entries_;
};

// A header line: more than two characters once trimmed, "[" first and "]" last; name is the
// text between them as it stands.
bool isSectionLine(const std::string& line, std::string& name);
// A key line: a "=" after at least one character; key and value are not trimmed.
bool splitKeyValue(const std::string& line, std::string& key, std::string& value);

// The tab a section belongs to: from its first blank to its end, the blank included; a name
// without a blank is its own tab.
std::string tabNameOfSection(const std::string& section);
// Whether an item's section belongs to a tab: its lower-cased name holds the tab's.
bool sectionInTab(const std::string& section, const std::string& tab);

// A name from the server that may become part of a path: one plain folder or file name.
bool isPlainName(const std::string& name);

// The distinct tab names of an INI list's sections (machine path), in order of first
// appearance; none for a list without sections.
std::vector<std::string> iniListTabNames(const std::string& file);
