// .reg import and export.
#include "platform/linux/reg_file.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdint>
#include <variant>
#include <vector>

#include "platform/linux/machine_store.h"
#include "platform/linux/utf16.h"
#include "platform/win_types.h"

namespace platform::machine {

using registry::Hive;
using registry::Value;

namespace {

constexpr uint32_t REG_MULTI_SZ = 7;

std::string trim(const std::string& text) {
  size_t a = 0, b = text.size();
  while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
  return text.substr(a, b - a);
}

struct KeyOp {
  Hive hive;
  std::string key;
  bool remove = false;
};
struct ValueOp {
  Hive hive;
  std::string key;
  std::string name;
  bool remove = false;
  Value value;
};
struct Op {
  int line;
  std::variant<KeyOp, ValueOp> op;
};

class ParseError {
 public:
  explicit ParseError(std::string message) : text(std::move(message)) {}
  std::string text;
};

// A quoted text at pos (on the opening quote) with the editor's escapes \\ and \".
std::string quoted(const std::string& line, size_t& pos) {
  std::string out;
  ++pos;
  while (pos < line.size()) {
    char c = line[pos++];
    if (c == '"') return out;
    if (c == '\\') {
      if (pos >= line.size()) break;
      char next = line[pos++];
      if (next != '\\' && next != '"') out += '\\';
      out += next;
      continue;
    }
    out += c;
  }
  throw ParseError("unterminated quoted text");
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string hexBytes(const std::string& text) {
  std::string bytes;
  std::string t = trim(text.substr(0, text.find(';')));
  if (t.empty()) return bytes;
  size_t start = 0;
  for (;;) {
    size_t comma = t.find(',', start);
    std::string item = trim(t.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (item.empty() || item.size() > 2 || hexDigit(item[0]) < 0 ||
        (item.size() == 2 && hexDigit(item[1]) < 0))
      throw ParseError("bad hex byte '" + item + "'");
    int v = hexDigit(item[0]);
    if (item.size() == 2) v = v * 16 + hexDigit(item[1]);
    bytes += static_cast<char>(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return bytes;
}

bool isStringType(uint32_t type) {
  return type == registry::REG_SZ || type == registry::REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

Value parseData(const std::string& text, bool unicode, bool ansi) {
  std::string t = trim(text);
  if (t.size() >= 1 && t[0] == '"') {
    size_t pos = 0;
    std::string s = quoted(t, pos);
    std::string rest = trim(t.substr(pos));
    // Exports carry notes after a value: "a"="b" ; note
    if (!rest.empty() && rest[0] != ';') throw ParseError("text after the closing quote");
    return Value::string(s);
  }
  if (strncasecmp(t.c_str(), "dword:", 6) == 0) {
    std::string digits = trim(t.substr(6, t.find(';') == std::string::npos ? std::string::npos : t.find(';') - 6));
    if (digits.empty() || digits.size() > 8) throw ParseError("dword needs 1 to 8 hex digits");
    uint32_t v = 0;
    for (char c : digits) {
      if (hexDigit(c) < 0) throw ParseError("dword needs 1 to 8 hex digits");
      v = v * 16 + static_cast<uint32_t>(hexDigit(c));
    }
    return Value::dword(v);
  }
  if (strncasecmp(t.c_str(), "hex", 3) == 0) {
    uint32_t type = registry::REG_BINARY;
    size_t pos = 3;
    if (pos < t.size() && t[pos] == '(') {
      size_t close = t.find(')', pos);
      std::string digits = close == std::string::npos ? "" : t.substr(pos + 1, close - pos - 1);
      if (digits.empty() || digits.size() > 8) throw ParseError("bad hex(type)");
      type = 0;
      for (char c : digits) {
        if (hexDigit(c) < 0) throw ParseError("bad hex(type)");
        type = type * 16 + static_cast<uint32_t>(hexDigit(c));
      }
      pos = close + 1;
    }
    if (pos >= t.size() || t[pos] != ':') throw ParseError("hex data needs ':'");
    std::string bytes = hexBytes(t.substr(pos + 1));
    if (isStringType(type)) {
      if (unicode) {
        // The editor writes odd-length expand strings as they are stored; the stray byte is no character.
        if (bytes.size() % 2) bytes.pop_back();
        bytes = text::fromUtf16le(bytes);
      } else if (ansi) {
        bytes = text::fromWindows1252(bytes);
      }
      // Single strings are kept without their terminator.
      if (type != REG_MULTI_SZ && !bytes.empty() && bytes.back() == '\0') bytes.pop_back();
    } else if (type == registry::REG_DWORD && bytes.size() != 4) {
      throw ParseError("a REG_DWORD has 4 bytes");
    }
    return Value{type, bytes};
  }
  throw ParseError("unknown value data '" + t.substr(0, 20) + "'");
}

size_t utf16Length(const std::string& utf8) { return text::toUtf16le(utf8).size() / 2; }

// The registry's own limits on key names.
void checkKeyPath(const std::string& path) {
  if (path.find('\0') != std::string::npos) throw ParseError("a key name holds NUL");
  size_t start = 0;
  for (;;) {
    size_t sep = path.find('\\', start);
    std::string part = path.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
    if (utf16Length(part) > 255) throw ParseError("a key name has at most 255 characters");
    if (sep == std::string::npos) return;
    start = sep + 1;
  }
}

// A value line whose data is hex, whatever blanks surround its '='.
bool isHexValueLine(const std::string& line) {
  size_t pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else if (line[0] == '"') {
    try {
      quoted(line, pos);
    } catch (const ParseError&) {
      return false;
    }
  } else {
    return false;
  }
  while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos]))) ++pos;
  if (pos >= line.size() || line[pos] != '=') return false;
  std::string data = trim(line.substr(pos + 1));
  return strncasecmp(data.c_str(), "hex", 3) == 0;
}

std::vector<Op> parse(const std::string& fileBytes) {
  bool unicode = false;
  std::string text = text::decodeFileText(fileBytes, &unicode);
  // A Ctrl-Z closes files written by old tools.
  while (!text.empty() && (text.back() == '\x1a' || text.back() == '\0')) text.pop_back();
  std::vector<std::string> lines;
  size_t start = 0;
  // Lines end in CRLF, LF or a lone CR.
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  size_t i = 0;
  while (i < lines.size() && trim(lines[i]).empty()) ++i;
  std::string header = i < lines.size() ? trim(lines[i]) : "";
  bool version5 = header == "Windows Registry Editor Version 5.00";
  if (!version5 && header != "REGEDIT4")
    throw MachineError("line " + std::to_string(i + 1) +
                       ": not a registry file (\"Windows Registry Editor Version 5.00\" or "
                       "\"REGEDIT4\" expected)");
  // REGEDIT4 files are in the ANSI code page, unless a UTF-8 BOM says otherwise.
  bool ansi = !version5 && !unicode && fileBytes.compare(0, 3, "\xEF\xBB\xBF") != 0;
  if (ansi)
    for (std::string& l : lines) l = text::fromWindows1252(l);
  std::vector<Op> ops;
  bool haveKey = false, keyDeleted = false;
  Hive hive = Hive::LocalMachine;
  std::string key;
  for (++i; i < lines.size(); ++i) {
    int lineNumber = static_cast<int>(i + 1);
    std::string line = trim(lines[i]);
    // Comments are whole physical lines; only then does a hex value go on over lines ending in '\'.
    if (line.empty() || line[0] == ';') continue;
    if (isHexValueLine(line)) {
      while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
        line.pop_back();
        std::string next = trim(lines[++i]);
        if (!next.empty() && next[0] == ';') {
          line += '\\';  // a note between continued lines keeps the value open
          continue;
        }
        line += next;
      }
    }
    try {
      if (line[0] == '[') {
        if (line.back() != ']') throw ParseError("a key line ends in ']'");
        std::string path = line.substr(1, line.size() - 2);
        bool remove = !path.empty() && path[0] == '-';
        if (remove) path = path.substr(1);
        size_t sep = path.find('\\');
        std::string hiveText = path.substr(0, sep);
        if (!parseHiveName(hiveText, hive))
          throw ParseError("unsupported hive '" + hiveText + "'");
        key = sep == std::string::npos ? "" : path.substr(sep + 1);
        if (remove && key.empty()) throw ParseError("a whole hive cannot be deleted");
        checkKeyPath(key);
        haveKey = true;
        keyDeleted = remove;
        ops.push_back({lineNumber, KeyOp{hive, key, remove}});
        continue;
      }
      if (line[0] != '"' && line[0] != '@')
        throw ParseError("neither a key, a value nor a comment");
      if (!haveKey) throw ParseError("a value before the first key");
      size_t pos = 0;
      std::string name;
      if (line[0] == '@') pos = 1;
      else name = quoted(line, pos);
      if (name.find('\0') != std::string::npos) throw ParseError("a value name holds NUL");
      if (utf16Length(name) > 16383) throw ParseError("a value name has at most 16383 characters");
      while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos]))) ++pos;
      if (pos >= line.size() || line[pos] != '=') throw ParseError("'=' expected after the name");
      std::string data = trim(line.substr(pos + 1));
      ValueOp op{hive, key, name, false, {}};
      if (data == "-") op.remove = true;
      else op.value = parseData(data, version5, ansi);  // REGEDIT5 texts in hex are UTF-16
      // The editor skips the values of a key it deleted.
      if (!keyDeleted) ops.push_back({lineNumber, op});
    } catch (const ParseError& e) {
      throw MachineError("line " + std::to_string(lineNumber) + ": " + e.text);
    }
  }
  return ops;
}

std::string escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out;
}

void appendHex(std::string& out, const std::string& prefix, const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string line = prefix;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    line += digits[b >> 4];
    line += digits[b & 15];
    if (i + 1 < bytes.size()) {
      line += ',';
      // The editor keeps its lines within 80 columns.
      if (line.size() > 76) {
        out += line + "\\\r\n";
        line = "  ";
      }
    }
  }
  out += line + "\r\n";
}

MachineError noAnsi(Hive hive, const std::string& key, const std::string& name) {
  return MachineError(std::string(hiveName(hive)) + "\\" + key + (name.empty() ? "" : " \"" + name + "\"") +
                      ": holds characters that Windows-1252 cannot hold; export it in Unicode");
}

void exportKey(std::string& out, Hive hive, const std::string& key, bool ansi) {
  out += std::string("[") + hiveName(hive) + (key.empty() ? "" : "\\" + key) + "]\r\n";
  std::vector<std::string> names = registry::valueNames(hive, key);
  // The default value first, as the editor writes it.
  std::stable_partition(names.begin(), names.end(), [](const std::string& n) { return n.empty(); });
  for (const std::string& name : names) {
    Value v;
    if (registry::queryValue(hive, key, name, v, SIZE_MAX) != win::ERROR_SUCCESS) continue;
    std::string prefix = name.empty() ? "@=" : "\"" + escape(name) + "\"=";
    bool plain = v.type == registry::REG_SZ &&
                 v.data.find_first_of(std::string("\0\r\n", 3)) == std::string::npos;
    if (plain) {
      out += prefix + "\"" + escape(v.data) + "\"\r\n";
    } else if (v.type == registry::REG_DWORD && v.data.size() == 4) {
      char digits[16];
      std::snprintf(digits, sizeof digits, "%08x", v.asDword());
      out += prefix + "dword:" + digits + "\r\n";
    } else if (v.type == registry::REG_BINARY) {
      appendHex(out, prefix + "hex:", v.data);
    } else {
      std::string data = v.data;
      if (isStringType(v.type)) {
        if (v.type != REG_MULTI_SZ && !ansi) data += '\0';
        if (!ansi) data = text::toUtf16le(data);
        else if (!text::toWindows1252(v.data, data)) throw noAnsi(hive, key, name);
        else if (v.type != REG_MULTI_SZ) data += '\0';
      }
      char type[16];
      std::snprintf(type, sizeof type, "hex(%x):", v.type);
      appendHex(out, prefix + type, data);
    }
  }
  out += "\r\n";
  for (const std::string& sub : registry::subKeyNames(hive, key))
    exportKey(out, hive, key.empty() ? sub : key + "\\" + sub, ansi);
}

}  // namespace

bool parseHiveName(const std::string& name, Hive& hive) {
  auto is = [&](const char* a, const char* b) {
    return strcasecmp(name.c_str(), a) == 0 || strcasecmp(name.c_str(), b) == 0;
  };
  if (is("HKEY_LOCAL_MACHINE", "HKLM")) hive = Hive::LocalMachine;
  else if (is("HKEY_CURRENT_USER", "HKCU")) hive = Hive::CurrentUser;
  else if (is("HKEY_CLASSES_ROOT", "HKCR")) hive = Hive::ClassesRoot;
  else if (is("HKEY_USERS", "HKU")) hive = Hive::Users;
  else if (is("HKEY_CURRENT_CONFIG", "HKCC")) hive = Hive::CurrentConfig;
  else return false;
  return true;
}

bool splitKeyPath(const std::string& path, Hive& hive, std::string& key) {
  size_t sep = path.find_first_of("\\/");
  key = sep == std::string::npos ? "" : path.substr(sep + 1);
  return parseHiveName(path.substr(0, sep), hive);
}

const char* hiveName(Hive hive) {
  switch (hive) {
    case Hive::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case Hive::CurrentUser: return "HKEY_CURRENT_USER";
    case Hive::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case Hive::Users: return "HKEY_USERS";
    case Hive::CurrentConfig: return "HKEY_CURRENT_CONFIG";
  }
  return "";
}

void importRegFile(const std::string& bytes) {
  std::vector<Op> ops = parse(bytes);
  writeStore([&](sqlite3*) {
    for (const Op& op : ops) {
      long rc = win::ERROR_SUCCESS;
      if (const KeyOp* k = std::get_if<KeyOp>(&op.op)) {
        if (k->remove) registry::deleteTree(k->hive, k->key);  // a missing key is no error
        else if (!k->key.empty()) rc = registry::createKey(k->hive, k->key);
      } else {
        const ValueOp& v = std::get<ValueOp>(op.op);
        if (v.remove) registry::deleteValue(v.hive, v.key, v.name);
        else rc = registry::setValue(v.hive, v.key, v.name, v.value);
      }
      if (rc != win::ERROR_SUCCESS)
        throw MachineError("line " + std::to_string(op.line) + ": the registry refused it (error " +
                           std::to_string(rc) + ")");
    }
  });
}

std::string exportRegFile(Hive hive, const std::string& key, bool ansi) {
  if (!registry::keyExists(hive, key))
    throw MachineError(std::string(hiveName(hive)) + "\\" + key + ": no such key");
  std::string text = ansi ? "REGEDIT4\r\n\r\n" : "Windows Registry Editor Version 5.00\r\n\r\n";
  exportKey(text, hive, key, ansi);
  if (!ansi) return "\xFF\xFE" + text::toUtf16le(text);
  std::string bytes;
  // Never a wrong byte: a name or text outside the code page stops the export.
  if (!text::toWindows1252(text, bytes)) throw noAnsi(hive, key, "");
  return bytes;
}

}  // namespace platform::machine
