// Registry port on the machine store. Keys are stored by their full path with the case of
// their first creation; lookups ignore case, as Windows does.
#include <cctype>
#include <string>
#include <vector>

#include "platform/debug.h"
#include "platform/linux/machine_store.h"
#include "platform/linux/utf16.h"
#include "platform/registry.h"
#include "platform/win_types.h"
#include "platform/port_backends.h"

namespace platform::registry {

using machine::MachineError;
using machine::Statement;

namespace {

std::vector<std::string> components(const std::string& key) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : key) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string join(const std::vector<std::string>& parts, size_t count) {
  std::string path;
  for (size_t i = 0; i < count; ++i) path += (i ? "\\" : "") + parts[i];
  return path;
}

// The stored path of an existing key ("" is the hive itself), or false.
bool storedPath(sqlite3* db, Hive hive, const std::string& key, std::string& stored) {
  std::string path = join(components(key), components(key).size());
  if (path.empty()) {
    stored.clear();
    return true;
  }
  Statement q(db, "SELECT path FROM reg_keys WHERE hive=? AND path=?");
  q.bind(1, static_cast<int64_t>(hive)).bind(2, path);
  if (!q.step()) return false;
  stored = q.text(0);
  return true;
}

std::string createIn(sqlite3* db, Hive hive, const std::string& key) {
  std::vector<std::string> parts = components(key);
  std::string parent;
  for (size_t i = 1; i <= parts.size(); ++i) {
    std::string stored;
    if (!storedPath(db, hive, join(parts, i), stored)) {
      stored = parent.empty() ? parts[i - 1] : parent + "\\" + parts[i - 1];
      Statement q(db, "INSERT INTO reg_keys(hive, path, parent, name) VALUES(?, ?, ?, ?)");
      q.bind(1, static_cast<int64_t>(hive)).bind(2, stored).bind(3, parent).bind(4, parts[i - 1]);
      q.run();
    }
    parent = stored;
  }
  return parent;
}

// Runs a port call; a machine that cannot be used answers `failure` and says why once per
// call in the debug output.
template <class F>
long guarded(const char* method, long failure, F&& body) {
  try {
    return body();
  } catch (const MachineError& e) {
    debugOutput(std::string("registry::") + method + " - " + e.what() + "\n");
    return failure;
  }
}

// The cache key of a read: the store compares key paths and names as Windows does, and so
// does the key.
std::string readKey(char kind, Hive hive, const std::string& key, const std::string& name) {
  std::vector<std::string> parts = components(key);
  std::string text(1, kind);
  text += static_cast<char>('0' + static_cast<int>(hive));
  text += text::upperCaseName(join(parts, parts.size()));
  text += '\x1f';
  text += text::upperCaseName(name);
  return text;
}

size_t neededSize(const Value& v) {
  bool isString = v.type == REG_SZ || v.type == REG_EXPAND_SZ;
  return v.data.size() + (isString ? 1 : 0);
}

}  // namespace

bool keyExists(Hive hive, const std::string& key) {
  return guarded("keyExists", 0, [&]() -> long {
           std::string answer = machine::cachedRead(readKey('k', hive, key, ""), [&](sqlite3* db) {
             std::string stored;
             return std::string(storedPath(db, hive, key, stored) ? "1" : "0");
           });
           return answer == "1";
         }) != 0;
}

long queryValue(Hive hive, const std::string& key, const std::string& name, Value& out,
                size_t bufferSize) {
  return guarded("queryValue", win::ERROR_FILE_NOT_FOUND, [&]() -> long {
    // The answer: empty when missing, else the type as four bytes and the data.
    std::string answer = machine::cachedRead(readKey('v', hive, key, name), [&](sqlite3* db) {
      std::vector<std::string> parts = components(key);
      // Values are stored under the key's stored path, compared without case: one look-up.
      Statement q(db, "SELECT type, data FROM reg_values WHERE hive=? AND key=? AND name=?");
      q.bind(1, static_cast<int64_t>(hive)).bind(2, join(parts, parts.size())).bind(3, name);
      if (!q.step()) return std::string();
      std::string packed = Value::dword(static_cast<uint32_t>(q.number(0))).data;
      return packed + q.text(1);
    });
    if (answer.size() < 4) return win::ERROR_FILE_NOT_FOUND;
    Value v{Value{REG_DWORD, answer.substr(0, 4)}.asDword(), answer.substr(4)};
    if (neededSize(v) > bufferSize) return win::ERROR_MORE_DATA;
    out = std::move(v);
    return win::ERROR_SUCCESS;
  });
}

std::optional<std::string> readString(Hive hive, const std::string& key,
                                      const std::string& name, size_t bufferSize) {
  Value v;
  if (queryValue(hive, key, name, v, bufferSize) != win::ERROR_SUCCESS) return std::nullopt;
  if (v.type != REG_SZ && v.type != REG_EXPAND_SZ) return std::nullopt;
  // A string stored with its terminator reads up to it, as the Windows callers do.
  if (auto zero = v.data.find('\0'); zero != std::string::npos) v.data.resize(zero);
  return v.data;
}

long backend::createKey(Hive hive, const std::string& key) {
  return guarded("createKey", win::ERROR_ACCESS_DENIED, [&]() -> long {
    machine::writeStore([&](sqlite3* db) { createIn(db, hive, key); });
    return win::ERROR_SUCCESS;
  });
}

long backend::setValue(Hive hive, const std::string& key, const std::string& name,
                       const Value& value) {
  if (value.type == REG_DWORD && value.data.size() != 4) return win::ERROR_INVALID_PARAMETER;
  return guarded("setValue", win::ERROR_ACCESS_DENIED, [&]() -> long {
    machine::writeStore([&](sqlite3* db) {
      std::string stored = createIn(db, hive, key);
      // The name keeps the case it was first given, as on Windows.
      Statement q(db, "INSERT INTO reg_values(hive, key, name, type, data) VALUES(?, ?, ?, ?, ?) "
                      "ON CONFLICT(hive, key, name) DO UPDATE SET type=excluded.type, "
                      "data=excluded.data");
      q.bind(1, static_cast<int64_t>(hive)).bind(2, stored).bind(3, name);
      q.bind(4, static_cast<int64_t>(value.type)).bindBlob(5, value.data).run();
    });
    return win::ERROR_SUCCESS;
  });
}

long backend::deleteValue(Hive hive, const std::string& key, const std::string& name) {
  return guarded("deleteValue", win::ERROR_ACCESS_DENIED, [&]() -> long {
    long result = win::ERROR_FILE_NOT_FOUND;
    machine::writeStore([&](sqlite3* db) {
      std::string stored;
      if (!storedPath(db, hive, key, stored)) return;
      Statement q(db, "DELETE FROM reg_values WHERE hive=? AND key=? AND name=?");
      q.bind(1, static_cast<int64_t>(hive)).bind(2, stored).bind(3, name).run();
      if (sqlite3_changes(db) > 0) result = win::ERROR_SUCCESS;
    });
    return result;
  });
}

long backend::deleteTree(Hive hive, const std::string& key) {
  return guarded("deleteTree", win::ERROR_ACCESS_DENIED, [&]() -> long {
    long result = win::ERROR_FILE_NOT_FOUND;
    machine::writeStore([&](sqlite3* db) {
      std::string stored;
      if (!storedPath(db, hive, key, stored)) return;
      const int64_t h = static_cast<int64_t>(hive);
      if (stored.empty()) {
        Statement(db, "DELETE FROM reg_values WHERE hive=?").bind(1, h).run();
        Statement(db, "DELETE FROM reg_keys WHERE hive=?").bind(1, h).run();
      } else {
        // Below the key: paths that begin with it and a backslash (compared without case;
        // LIKE would read % and _ in key names as wildcards).
        auto below = [](const char* column) {
          return std::string("winupper(substr(") + column +
                 ", 1, length(?2) + 1)) = winupper(?2 || '\\')";
        };
        std::string valuesSql =
            "DELETE FROM reg_values WHERE hive=?1 AND (key=?2 OR " + below("key") + ")";
        std::string keysSql =
            "DELETE FROM reg_keys WHERE hive=?1 AND (path=?2 OR " + below("path") + ")";
        Statement(db, valuesSql.c_str()).bind(1, h).bind(2, stored).run();
        Statement(db, keysSql.c_str()).bind(1, h).bind(2, stored).run();
      }
      result = win::ERROR_SUCCESS;
    });
    return result;
  });
}

std::vector<std::string> subKeyNames(Hive hive, const std::string& key) {
  std::vector<std::string> names;
  guarded("subKeyNames", 0, [&]() -> long {
    machine::readStore([&](sqlite3* db) {
      std::string stored;
      if (!storedPath(db, hive, key, stored)) return;
      Statement q(db, "SELECT name FROM reg_keys WHERE hive=? AND parent=? "
                      "ORDER BY name COLLATE WINCASE");
      q.bind(1, static_cast<int64_t>(hive)).bind(2, stored);
      while (q.step()) names.push_back(q.text(0));
    });
    return 0;
  });
  return names;
}

std::vector<std::string> valueNames(Hive hive, const std::string& key) {
  std::vector<std::string> names;
  guarded("valueNames", 0, [&]() -> long {
    machine::readStore([&](sqlite3* db) {
      std::string stored;
      if (!storedPath(db, hive, key, stored)) return;
      Statement q(db, "SELECT name FROM reg_values WHERE hive=? AND key=? ORDER BY rowid");
      q.bind(1, static_cast<int64_t>(hive)).bind(2, stored);
      while (q.step()) names.push_back(q.text(0));
    });
    return 0;
  });
  return names;
}

}  // namespace platform::registry
