#pragma once
// The engine's read access to the machine: every registry, installer-database and file
// look-up of the checks goes through here, so that it can be counted, and so that within
// the evaluation of one entry the same question is asked of the machine only once.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/msi.h"
#include "platform/registry.h"

namespace lookups {

struct Counts {
  unsigned long registry = 0;
  unsigned long installer = 0;
  unsigned long files = 0;
  unsigned long enumerations = 0;  // MsiEnumProducts steps, apart from the installer queries
  unsigned long total() const { return registry + installer + files + enumerations; }
};

// Look-ups that reached the machine since the last reset (all threads).
Counts counts();
void resetCounts();

// While one is alive on a thread, answers are remembered and a repeated look-up is
// answered from memory. Only for pure reads: an evaluation changes nothing, so an answer
// cannot go stale inside it. Nested scopes share the outermost one's memory.
class EvaluationScope {
 public:
  EvaluationScope();
  ~EvaluationScope();
  EvaluationScope(const EvaluationScope&) = delete;
  EvaluationScope& operator=(const EvaluationScope&) = delete;

 private:
  bool owner_;
};

// A derived answer (a whole enumeration) kept as one inside a scope: its own look-ups are
// then made once and need no memory of their own. nullopt outside a scope or when unknown.
std::optional<std::string> recall(const std::string& key);
void remember(const std::string& key, const std::string& value);

// Registry.
bool keyExists(platform::registry::Hive hive, const std::string& key);
std::optional<std::string> readString(platform::registry::Hive hive, const std::string& key,
                                      const std::string& name, size_t bufferSize);
long queryValue(platform::registry::Hive hive, const std::string& key, const std::string& name,
                platform::registry::Value& out, size_t bufferSize);

// Installer database.
// memo false: counted but not remembered, for look-ups that cannot repeat (an enumeration
// whose result is remembered as a whole).
unsigned productInfoEx(const std::string& code, platform::msi::Context context,
                       const std::string& property, std::string& value, size_t bufferSize,
                       bool memo = true);
unsigned productInfo(const std::string& code, const std::string& property, std::string& value,
                     size_t bufferSize);
unsigned enumProducts(unsigned index, std::string& code, bool memo = true);
unsigned fileVersion(const std::string& path, std::string& version, size_t bufferSize);

// Files: FindFirstFile on one path.
std::vector<platform::files::FindData> find(const std::string& path);
bool exists(const std::string& path);

}  // namespace lookups
