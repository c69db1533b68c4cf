#pragma once
// Registry port. Key paths use backslashes ("SOFTWARE\\Microsoft\\..."); key and value
// names are case-insensitive and case-preserving. An empty value name is the default value.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::registry {

// The installer reads the first three; the other two are kept so that a whole station's
// export can be brought into an emulated machine.
enum class Hive { LocalMachine, CurrentUser, ClassesRoot, Users, CurrentConfig };

enum ValueType : uint32_t { REG_SZ = 1, REG_EXPAND_SZ = 2, REG_BINARY = 3, REG_DWORD = 4 };

struct Value {
  uint32_t type = REG_SZ;
  std::string data;  // strings without terminator; REG_DWORD as 4 little-endian bytes

  static Value string(std::string s, uint32_t type = REG_SZ) { return {type, std::move(s)}; }
  static Value dword(uint32_t v);
  uint32_t asDword() const;
};

// RegOpenKeyEx for reading: true when the key exists.
bool keyExists(Hive hive, const std::string& key);

// RegQueryValueEx into a buffer of bufferSize bytes (a string needs room for its
// terminator): ERROR_SUCCESS, ERROR_FILE_NOT_FOUND (key or value missing) or
// ERROR_MORE_DATA (value too long; out receives nothing).
long queryValue(Hive hive, const std::string& key, const std::string& name, Value& out,
                size_t bufferSize);

// A string value (REG_SZ or REG_EXPAND_SZ, unexpanded) read into a buffer of bufferSize
// bytes; nullopt when missing, not a string or too long.
std::optional<std::string> readString(Hive hive, const std::string& key,
                                      const std::string& name, size_t bufferSize);

// RegCreateKeyEx and RegSetValueEx: creates missing keys on the way.
long createKey(Hive hive, const std::string& key);
long setValue(Hive hive, const std::string& key, const std::string& name, const Value& value);
long deleteValue(Hive hive, const std::string& key, const std::string& name);
// Deletes the key and everything below it (RegDeleteTree).
long deleteTree(Hive hive, const std::string& key);

std::vector<std::string> subKeyNames(Hive hive, const std::string& key);
std::vector<std::string> valueNames(Hive hive, const std::string& key);

}  // namespace platform::registry
