// The operation log file. Standard C files only, so every backend shares it as it is.
#include "platform/operation_log.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "platform/files.h"

namespace platform {

namespace {

struct LogState {
  std::mutex mutex;
  std::FILE* file = nullptr;
  std::string path, oldPath;  // host paths
  uint64_t size = 0;
  uint64_t limit = kOperationLogLimit;
  std::atomic<bool> open{false};
};

LogState& state() {
  static auto* s = new LogState;  // outlives static destruction: workers may log late
  return *s;
}

std::string joinName(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '\\' || last == '/') return folder + name;
  // A host folder ("/opt/x") takes the host separator; a Windows one its own.
  bool host = folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
  return folder + (host ? "/" : "\\") + name;
}

// One call, one line: a value or command line holding a line break must not start a line
// of its own that looks like another entry.
std::string escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
      out += '?';
    } else {
      out += c;
    }
  }
  return out;
}

std::string timestamp() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(
                    now.time_since_epoch()).count() % 1000;
  std::tm local{};
  // std::localtime shares one result between all its callers; these two do not.
#if defined(_WIN32)
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(millis));
  return text;
}

// Rolling over to one ".old" file rather than keeping the newest half in place: a rename
// costs the same however big the log is, never rewrites lines while workers wait for the
// lock, and a crash in the middle cannot lose the log. The station keeps between one and
// two limits of history, the older part in whole lines.
void rollOver(LogState& s) {
  std::fclose(s.file);
  std::remove(s.oldPath.c_str());
  bool kept = std::rename(s.path.c_str(), s.oldPath.c_str()) == 0;
  // Where the old file cannot be replaced the bound still holds: the log starts again.
  s.file = std::fopen(s.path.c_str(), kept ? "ab" : "wb");
  s.size = 0;
  if (s.file && !kept) {
    std::string note = timestamp() + "Earlier lines could not be kept in " +
                       std::string(kOperationLogOldName) + "\n";
    s.size += std::fwrite(note.data(), 1, note.size(), s.file);
  }
  if (!s.file) s.open = false;
}

}  // namespace

bool openOperationLog(const std::string& folder, uint64_t limit) {
  closeOperationLog();
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  s.path = files::nativePath(joinName(folder, kOperationLogName));
  s.oldPath = files::nativePath(joinName(folder, kOperationLogOldName));
  s.file = std::fopen(s.path.c_str(), "ab");
  if (!s.file) return false;
  std::fseek(s.file, 0, SEEK_END);
  long size = std::ftell(s.file);
  s.size = size > 0 ? static_cast<uint64_t>(size) : 0;
  s.limit = limit;
  s.open = true;
  return true;
}

void closeOperationLog() {
  LogState& s = state();
  std::lock_guard lock(s.mutex);
  s.open = false;
  if (s.file) std::fclose(s.file);
  s.file = nullptr;
}

bool operationLogOpen() { return state().open.load(std::memory_order_relaxed); }

void logOperation(const std::string& line) {
  LogState& s = state();
  if (!s.open.load(std::memory_order_relaxed)) return;
  std::string text = escaped(line);
  std::lock_guard lock(s.mutex);
  if (!s.file) return;
  // A single huge value (a long Path) must not defeat the bound on its own.
  const uint64_t longest = s.limit / 2;
  if (text.size() > longest) {
    std::string more = " ... (" + std::to_string(text.size() - longest) + " more bytes)";
    text.resize(longest > more.size() ? longest - more.size() : 0);
    text += more;
  }
  std::string entry = timestamp() + text + "\n";
  if (s.size > 0 && s.size + entry.size() > s.limit) {
    rollOver(s);
    if (!s.file) return;
  }
  s.size += std::fwrite(entry.data(), 1, entry.size(), s.file);
  // Flushed per line: the lines before a crash are the ones a person needs.
  std::fflush(s.file);
}

}  // namespace platform
