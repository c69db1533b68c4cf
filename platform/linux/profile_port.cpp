// Profile (INI) files on the file port, read and written as the Windows profile functions
// do. A file is parsed once and its reading kept until the file changes (size, time or
// identity), so a look-up in a long list costs no re-reading.
#include <strings.h>
#include <sys/stat.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/files.h"
#include "platform/linux/utf16.h"
#include "platform/machine.h"
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

std::string lowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

struct Profile {
  std::vector<Line> lines;
  bool utf16 = false;
  bool exists = false;
  // The first header of each section name (lower case), while lines are as parsed.
  std::unordered_map<std::string, size_t> firstHeader;
};

Line parseLine(const std::string& raw) {
  Line line;
  line.text = raw;
  std::string t = trim(raw);
  if (t.empty() || t[0] == ';') return line;
  size_t close = t.rfind(']');
  if (t[0] == '[' && close != std::string::npos) {
    // From the first "[" to the last "]", as it stands.
    line.kind = Line::Section;
    line.name = t.substr(1, close - 1);
    return line;
  }
  line.kind = Line::Entry;
  size_t eq = t.find('=');
  // A line without "=" is a key with an empty value.
  line.name = trim(t.substr(0, eq));
  if (eq == std::string::npos) return line;
  std::string value = trim(t.substr(eq + 1));
  // One pair of matching quotes around the whole value goes.
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  line.value = value;
  return line;
}

Profile parse(const std::string& bytes) {
  Profile p;
  p.exists = true;
  std::string text = text::decodeFileText(bytes, &p.utf16);
  // A NUL ends the text; a CR, an LF or both end a line.
  text = text.substr(0, text.find('\0'));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    p.lines.push_back(parseLine(text.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  for (size_t i = 0; i < p.lines.size(); ++i)
    if (p.lines[i].kind == Line::Section) p.firstHeader.emplace(lowerAscii(p.lines[i].name), i);
  return p;
}

// What tells one state of a file from another.
struct Stamp {
  bool exists = false;
  off_t size = 0;
  ino_t inode = 0;
  struct timespec modified = {};
  bool operator==(const Stamp& o) const {
    return exists == o.exists && size == o.size && inode == o.inode &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};

Stamp stampOf(const std::string& hostPath) {
  Stamp s;
  struct stat st;
  if (stat(hostPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return s;
  s.exists = true;
  s.size = st.st_size;
  s.inode = st.st_ino;
  s.modified = st.st_mtim;
  return s;
}

struct Cached {
  Stamp stamp;
  std::shared_ptr<const Profile> profile;
};

std::mutex cacheMutex;
std::map<std::string, Cached> cache;  // by the file's host path

std::shared_ptr<const Profile> load(const std::string& file) {
  const std::string path = resolve(file);
  const std::string key = machine::toHost(path);
  const Stamp stamp = stampOf(key);
  {
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto it = cache.find(key);
    if (it != cache.end() && it->second.stamp == stamp) return it->second.profile;
  }
  std::string bytes;
  auto profile = std::make_shared<Profile>();
  if (files::readFile(path, bytes)) *profile = parse(bytes);
  // Kept only while the file is what was read (a change while reading shows next time).
  std::lock_guard<std::mutex> lock(cacheMutex);
  if (stampOf(key) == stamp) cache[key] = {stamp, profile};
  return profile;
}

bool save(const Profile& p, const std::string& file) {
  std::string text;
  for (const Line& line : p.lines) text += line.text + "\r\n";
  if (p.utf16) text = "\xFF\xFE" + text::toUtf16le(text);
  return files::writeFile(resolve(file), text);
}

// Index of the first section header named section; lines.size() when none.
size_t findSection(const Profile& p, const std::string& section) {
  if (!p.firstHeader.empty()) {
    auto it = p.firstHeader.find(lowerAscii(section));
    return it == p.firstHeader.end() ? p.lines.size() : it->second;
  }
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
  auto kept = load(file);
  const Profile& p = *kept;
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
  auto kept = load(file);
  std::vector<std::string> all;
  // A section without a name is not listed.
  for (const Line& line : kept->lines)
    if (line.kind == Line::Section && !line.name.empty()) all.push_back(line.name);
  return copyList(all, names, bufferSize);
}

size_t getKeyNames(const std::string& section, std::vector<std::string>& names,
                   size_t bufferSize, const std::string& file) {
  auto kept = load(file);
  const Profile& p = *kept;
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
  Profile p = *load(file);
  p.firstHeader.clear();  // the lines change below
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
