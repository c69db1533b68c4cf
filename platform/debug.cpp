// Debugger output: standard error on request, and a sink for tests.
#include "platform/debug.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {

namespace {

std::mutex& sinkMutex() {
  static std::mutex* m = new std::mutex;  // outlives static destruction: workers may log late
  return *m;
}

std::function<void(const std::string&)>& sink() {
  static auto* s = new std::function<void(const std::string&)>;
  return *s;
}

}  // namespace

void debugOutput(const std::string& text) {
  std::lock_guard lock(sinkMutex());
  if (const char* on = std::getenv("CORVANTA_DEBUG"); on && *on) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
  }
  if (sink()) sink()(text);
}

void setDebugSink(std::function<void(const std::string&)> newSink) {
  std::lock_guard lock(sinkMutex());
  sink() = std::move(newSink);
}

}  // namespace platform
