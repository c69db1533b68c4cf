// Profile (INI) files on the file port, read and written as the Windows profile functions
// do.
#include <strings.h>

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/linux/utf16.h"
#include "platform/profile.h"

namespace platform::profile {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trim(const std::string& text) {
  size_t a = 0, b = text.size();
  while (a < b && isBlank(text[a])) ++a;
  while (b > a && isBlank(text[b - 1])) --b;
  return text.substr(a, b - a);
}

bool same(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// A file name without a folder is one of the Windows folder.
std::string resolve(const std::string& file) {
  if (file.find_first_of("\\/") != std::string::npos) return file;
  return "C:\\windows\\" + file;
}

struct Line {
  enum Kind { Other, Section, Entry } kind = Other;
  std::string text;  // the line as it stands in the file
  std::string name;  // section or key name
  std::string value;
};

struct Profile {
  std::vector<Line> lines;
  bool utf16 = false;
  bool exists = false;
};

Line parseLine(const std::string& raw) {
  Line line;
  line.text = raw;
  std::string t = trim(raw);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    size_t close = t.find(']');
    line.kind = Line::Section;
    line.name = trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return line;
  }
  size_t eq = t.find('=');
  if (eq == std::string::npos) return line;
  line.kind = Line::Entry;
  line.name = trim(t.substr(0, eq));
  std::string value = trim(t.substr(eq + 1));
  // One pair of matching quotes around the whole value goes.
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  line.value = value;
  return line;
}

Profile load(const std::string& file) {
  Profile p;
  std::string bytes;
  if (!files::readFile(resolve(file), bytes)) return p;
  p.exists = true;
  std::string text = text::decodeFileText(bytes, &p.utf16);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string raw = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    p.lines.push_back(parseLine(raw));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return p;
}

bool save(const Profile& p, const std::string& file) {
  std::string text;
  for (const Line& line : p.lines) text += line.text + "\r\n";
  if (p.utf16) text = "\xFF\xFE" + text::toUtf16le(text);
  return files::writeFile(resolve(file), text);
}

// Index of the first section header named section; lines.size() when none.
size_t findSection(const Profile& p, const std::string& section) {
  for (size_t i = 0; i < p.lines.size(); ++i)
    if (p.lines[i].kind == Line::Section && same(p.lines[i].name, section)) return i;
  return p.lines.size();
}

// End of the section starting at header: the next header or the end.
size_t sectionEnd(const Profile& p, size_t header) {
  size_t i = header + 1;
  while (i < p.lines.size() && p.lines[i].kind != Line::Section) ++i;
  return i;
}

size_t copyBounded(const std::string& text, std::string& out, size_t bufferSize) {
  if (bufferSize == 0) return 0;
  out = text.substr(0, bufferSize - 1);
  return out.size();
}

// A list of names copied as a double-terminated buffer of bufferSize bytes.
size_t copyList(const std::vector<std::string>& all, std::vector<std::string>& names,
                size_t bufferSize) {
  names.clear();
  if (bufferSize < 2) return 0;
  size_t needed = 1;
  for (const std::string& n : all) needed += n.size() + 1;
  if (needed <= bufferSize) {
    names = all;
    return needed - 1;
  }
  // Too small: Windows fills bufferSize - 2 characters (the last name cut where the buffer
  // ends) and the two terminators.
  size_t room = bufferSize - 2;
  for (const std::string& n : all) {
    if (room == 0) break;
    names.push_back(n.substr(0, room));
    room -= names.back().size();
    if (room == 0) break;
    --room;  // its terminator
  }
  return bufferSize - 2;
}

}  // namespace

size_t getString(const std::string& section, const std::string& key,
                 const std::string& defaultValue, std::string& value, size_t bufferSize,
                 const std::string& file) {
  Profile p = load(file);
  size_t header = findSection(p, section);
  if (header < p.lines.size()) {
    size_t end = sectionEnd(p, header);
    for (size_t i = header + 1; i < end; ++i)
      if (p.lines[i].kind == Line::Entry && same(p.lines[i].name, key))
        return copyBounded(p.lines[i].value, value, bufferSize);
  }
  std::string fallback = defaultValue;
  while (!fallback.empty() && isBlank(fallback.back())) fallback.pop_back();
  return copyBounded(fallback, value, bufferSize);
}

size_t getSectionNames(std::vector<std::string>& names, size_t bufferSize,
                       const std::string& file) {
  Profile p = load(file);
  std::vector<std::string> all;
  for (const Line& line : p.lines)
    if (line.kind == Line::Section) all.push_back(line.name);
  return copyList(all, names, bufferSize);
}

size_t getKeyNames(const std::string& section, std::vector<std::string>& names,
                   size_t bufferSize, const std::string& file) {
  Profile p = load(file);
  std::vector<std::string> all;
  size_t header = findSection(p, section);
  if (header < p.lines.size()) {
    size_t end = sectionEnd(p, header);
    for (size_t i = header + 1; i < end; ++i)
      if (p.lines[i].kind == Line::Entry) all.push_back(p.lines[i].name);
  }
  return copyList(all, names, bufferSize);
}

bool writeString(const std::string& section, const std::optional<std::string>& key,
                 const std::optional<std::string>& value, const std::string& file) {
  Profile p = load(file);
  size_t header = findSection(p, section);
  bool haveSection = header < p.lines.size();
  if (!key) {
    if (!haveSection) return true;
    p.lines.erase(p.lines.begin() + static_cast<long>(header),
                  p.lines.begin() + static_cast<long>(sectionEnd(p, header)));
    return save(p, file);
  }
  Line entry;
  if (value) {
    entry = parseLine(*key + "=" + *value);
    entry.text = *key + "=" + *value;
  }
  if (!haveSection) {
    if (!value) return true;
    Line head = parseLine("[" + section + "]");
    p.lines.push_back(head);
    p.lines.push_back(entry);
    return save(p, file);
  }
  size_t end = sectionEnd(p, header);
  for (size_t i = header + 1; i < end; ++i) {
    if (p.lines[i].kind != Line::Entry || !same(p.lines[i].name, *key)) continue;
    if (value) p.lines[i] = entry;
    else p.lines.erase(p.lines.begin() + static_cast<long>(i));
    return save(p, file);
  }
  if (!value) return true;
  // A new key goes after the section's last line that is not blank.
  size_t at = end;
  while (at > header + 1 && trim(p.lines[at - 1].text).empty()) --at;
  p.lines.insert(p.lines.begin() + static_cast<long>(at), entry);
  return save(p, file);
}

}  // namespace platform::profile
