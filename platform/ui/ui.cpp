#include "platform/ui/ui.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/ui/scripted_ui.h"

namespace ui {

namespace {

std::mutex g_mutex;
std::atomic<Backend*> g_backend{nullptr};
std::thread::id g_uiThread;
std::string g_title;

}  // namespace

void setBackend(Backend* b) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_backend = b;
  g_uiThread = b ? std::this_thread::get_id() : std::thread::id();
}

Backend* currentBackend() { return g_backend.load(); }

Backend& backend() {
  if (Backend* b = g_backend.load()) return *b;
  // A tool that never chose a backend still gets one that answers instead of crashing.
  static ScriptedUi fallback;
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_backend.load()) {
    g_backend = &fallback;
    g_uiThread = std::this_thread::get_id();
  }
  return *g_backend.load();
}

bool isUiThread() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_backend.load() && g_uiThread == std::this_thread::get_id();
}

int messageBox(Window* owner, const std::string& text, const std::string& caption,
               unsigned type) {
  return backend().messageBox(owner, text, caption.empty() ? applicationTitle() : caption, type);
}

void setApplicationTitle(const std::string& title) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_title = title;
}

const std::string& applicationTitle() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_title;
}

bool waitPumping(const std::function<bool()>& done, int timeoutMs) {
  using clock = std::chrono::steady_clock;
  const auto deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
  const bool ui = isUiThread();
  for (;;) {
    if (done()) return true;
    if (clock::now() >= deadline) return false;
    if (ui) currentBackend()->pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(ui ? 1 : 2));
  }
}

}  // namespace ui
