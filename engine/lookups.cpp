#include "engine/lookups.h"

#include <atomic>
#include <cctype>
#include <unordered_map>
#include <memory>

namespace reg = platform::registry;
namespace msi = platform::msi;

namespace lookups {

namespace {

std::atomic<unsigned long> registryCount{0}, installerCount{0}, filesCount{0}, enumCount{0};

struct Answer {
  long code = 0;
  std::string text;
  uint32_t type = 0;
  std::vector<platform::files::FindData> found;
};

using Memory = std::unordered_map<std::string, Answer>;
thread_local Memory* memory = nullptr;

// Answers from memory when a scope is open; otherwise (or on a miss) asks the machine
// through ask, which fills the answer, and counts the look-up.
template <class Ask>
const Answer& answer(const std::string& key, std::atomic<unsigned long>& counter, Ask&& ask,
                     bool memo = true) {
  thread_local Answer scratch;
  if (!memo) {
    ++counter;
    scratch = Answer();
    ask(scratch);
    return scratch;
  }
  if (memory) {
    auto it = memory->find(key);
    if (it != memory->end()) return it->second;
  }
  ++counter;
  Answer a;
  ask(a);
  if (memory) return memory->emplace(key, std::move(a)).first->second;
  scratch = std::move(a);
  return scratch;
}

std::string hiveKey(char kind, reg::Hive hive, const std::string& key, const std::string& name,
                    size_t size) {
  std::string k(1, kind);
  k += static_cast<char>('0' + static_cast<int>(hive));
  // Key and value names are case-insensitive: one answer per name whatever its case.
  for (char c : key) k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  k += '|';
  for (char c : name) k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  k += '|' + std::to_string(size);
  return k;
}

}  // namespace

Counts counts() {
  return {registryCount.load(), installerCount.load(), filesCount.load(), enumCount.load()};
}

void resetCounts() {
  registryCount = 0;
  installerCount = 0;
  filesCount = 0;
  enumCount = 0;
}

EvaluationScope::EvaluationScope() : owner_(memory == nullptr) {
  if (owner_) memory = new Memory;
}

EvaluationScope::~EvaluationScope() {
  if (owner_) {
    delete memory;
    memory = nullptr;
  }
}

std::optional<std::string> recall(const std::string& key) {
  if (!memory) return std::nullopt;
  auto it = memory->find("=" + key);
  if (it == memory->end()) return std::nullopt;
  return it->second.text;
}

void remember(const std::string& key, const std::string& value) {
  if (memory) (*memory)["=" + key].text = value;
}

bool keyExists(reg::Hive hive, const std::string& key) {
  return answer(hiveKey('K', hive, key, "", 0), registryCount, [&](Answer& fresh) {
           fresh.code = reg::keyExists(hive, key) ? 1 : 0;
         }).code == 1;
}

long queryValue(reg::Hive hive, const std::string& key, const std::string& name,
                reg::Value& out, size_t bufferSize) {
  const Answer& a = answer(hiveKey('V', hive, key, name, bufferSize), registryCount,
                           [&](Answer& fresh) {
                             reg::Value v;
                             fresh.code = reg::queryValue(hive, key, name, v, bufferSize);
                             fresh.type = v.type;
                             fresh.text = v.data;
                           });
  if (a.code == 0) out = {a.type, a.text};
  return a.code;
}

std::optional<std::string> readString(reg::Hive hive, const std::string& key,
                                      const std::string& name, size_t bufferSize) {
  const Answer& a = answer(hiveKey('S', hive, key, name, bufferSize), registryCount,
                           [&](Answer& fresh) {
                             auto v = reg::readString(hive, key, name, bufferSize);
                             fresh.code = v ? 1 : 0;
                             if (v) fresh.text = *v;
                           });
  if (a.code != 1) return std::nullopt;
  return a.text;
}

unsigned productInfoEx(const std::string& code, msi::Context context,
                       const std::string& property, std::string& value, size_t bufferSize,
                       bool memo) {
  std::string key;
  if (memo && memory)
    key = "P" + std::to_string(context) + code + "|" + property + "|" + std::to_string(bufferSize);
  const Answer& a = answer(key, installerCount, [&](Answer& fresh) {
    fresh.code = msi::getProductInfoEx(code, context, property, fresh.text, bufferSize);
  }, memo);
  if (a.code == 0) value = a.text;
  return static_cast<unsigned>(a.code);
}

unsigned productInfo(const std::string& code, const std::string& property, std::string& value,
                     size_t bufferSize) {
  std::string key = "I" + code + "|" + property + "|" + std::to_string(bufferSize);
  const Answer& a = answer(key, installerCount, [&](Answer& fresh) {
    fresh.code = msi::getProductInfo(code, property, fresh.text, bufferSize);
  });
  if (a.code == 0) value = a.text;
  return static_cast<unsigned>(a.code);
}

unsigned enumProducts(unsigned index, std::string& code, bool memo) {
  const Answer& a = answer(memo && memory ? "E" + std::to_string(index) : std::string(), enumCount,
                           [&](Answer& fresh) {
                             fresh.code = msi::enumProducts(index, fresh.text);
                           }, memo);
  if (a.code == 0) code = a.text;
  return static_cast<unsigned>(a.code);
}

unsigned fileVersion(const std::string& path, std::string& version, size_t bufferSize) {
  const Answer& a = answer("F" + path + "|" + std::to_string(bufferSize), filesCount,
                           [&](Answer& fresh) {
                             fresh.code = msi::getFileVersion(path, fresh.text, bufferSize);
                           });
  if (a.code == 0) version = a.text;
  return static_cast<unsigned>(a.code);
}

std::vector<platform::files::FindData> find(const std::string& path) {
  return answer("D" + path, filesCount, [&](Answer& fresh) {
           fresh.found = platform::files::find(path);
         }).found;
}

bool exists(const std::string& path) { return !find(path).empty(); }

}  // namespace lookups
