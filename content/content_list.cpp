#include "content/content_list.h"

#include "platform/files.h"
#include "platform/portable.h"
#include "platform/profile.h"

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && isSpace(s[a])) ++a;
  while (b > a && isSpace(s[b - 1])) --b;
  return s.substr(a, b - a);
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The lines of a text file as the C library's text mode reads them.
bool readLines(const std::string& path, std::vector<std::string>& lines) {
  std::string data;
  if (path.empty() || !platform::files::readFile(path, data)) return false;
  size_t start = 0;
  while (start < data.size()) {
    size_t end = data.find('\n', start);
    std::string line = data.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return true;
}

void addDistinct(std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (platform::equalsNoCase(n, name)) return;
  names.push_back(name);
}

}  // namespace

bool isSectionLine(const std::string& line, std::string& name) {
  name.clear();
  std::string t = trim(line);
  if (t.size() <= 2 || t.front() != '[' || t.back() != ']') return false;
  name = t.substr(1, t.size() - 2);
  return true;
}

bool splitKeyValue(const std::string& line, std::string& key, std::string& value) {
  key.clear();
  value.clear();
  std::string t = trim(line);
  size_t eq = t.find('=');
  if (t.empty() || eq == std::string::npos || eq == 0) return false;
  key = t.substr(0, eq);
  value = t.substr(eq + 1);
  return true;
}

int mxContentList::load(const std::string& path) {
  entries_.clear();
  loaded_ = false;
  path_ = path;
  std::vector<std::string> lines;
  if (!readLines(path, lines)) {
    loaded_ = true;
    return kMissing;
  }
  std::string name, key, value;
  size_t headers = 0;
  for (const std::string& line : lines) headers += isSectionLine(line, name);
  entries_.resize(headers);

  // The second pass reads the file again: a list replaced in between shows as a count that
  // no longer matches.
  std::vector<std::string> again;
  int result = kRead;
  if (!readLines(path, again)) again.clear();
  size_t i = 0;
  mxContentListEntry* current = nullptr;
  for (const std::string& line : again) {
    if (isSectionLine(line, name)) {
      if (++i > headers) {
        result = kMoreHeaders;
        break;
      }
      current = &entries_[i - 1];
      if (current->section.empty()) current->section = name;
    } else if (current && splitKeyValue(line, key, value)) {
      // The first value of a key within an item wins.
      std::string* field = platform::equalsNoCase(key, "Name")           ? &current->name
                           : platform::equalsNoCase(key, "ClassName")    ? &current->className
                           : platform::equalsNoCase(key, "VersionLabel") ? &current->versionLabel
                           : platform::equalsNoCase(key, "URL")          ? &current->url
                           : platform::equalsNoCase(key, "InfoText")     ? &current->infoText
                           : platform::equalsNoCase(key, "InfoURL")      ? &current->infoUrl
                                                                         : nullptr;
      if (field && field->empty()) *field = value;
    }
  }
  if (result == kRead && i != headers) result = kFewerHeaders;
  loaded_ = true;
  return result;
}

int mxContentList::collectSections(std::vector<std::string>* names) const {
  if (!names) return -1;
  names->clear();
  for (const mxContentListEntry& e : entries_) addDistinct(*names, e.section);
  return 1;
}

bool isPlainName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos &&
         name.find("..") == std::string::npos;
}

std::string tabNameOfSection(const std::string& section) {
  size_t blank = section.find(' ');
  return blank == std::string::npos ? section : section.substr(blank);
}

bool sectionInTab(const std::string& section, const std::string& tab) {
  return lower(section).find(lower(tab)) != std::string::npos;
}

std::vector<std::string> iniListTabNames(const std::string& file) {
  std::vector<std::string> sections, tabs;
  platform::profile::getSectionNames(sections, 8192, file);
  // A list without sections has no tabs (an empty tab name would take in every section).
  for (const std::string& s : sections)
    if (!s.empty()) addDistinct(tabs, tabNameOfSection(s));
  return tabs;
}
