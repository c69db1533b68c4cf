// Emulated top-level windows in the machine store: stand-in programs show them through
// corvanta-machine; the wizard finds them by title and sends them messages.
#include <strings.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "platform/debug.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/windows.h"

namespace platform::machine {

namespace {

// Alive and not a zombie: a stand-in that ended but is not reaped yet has no windows.
bool processAlive(unsigned long pid) {
  if (pid == 0) return false;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  size_t close = line.rfind(')');
  if (close == std::string::npos || close + 2 >= line.size()) return false;
  char state = line[close + 2];
  return state != 'Z' && state != 'X';
}

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

uintptr_t createWindow(const std::string& title, unsigned long ownerPid) {
  uintptr_t handle = 0;
  writeStore([&](sqlite3* db) {
    // Windows of programs that ended go first, so the table stays small.
    std::vector<int64_t> dead;
    Statement all(db, "SELECT id, owner FROM windows");
    while (all.step())
      if (!processAlive(static_cast<unsigned long>(all.number(1)))) dead.push_back(all.number(0));
    for (int64_t id : dead) {
      Statement(db, "DELETE FROM window_messages WHERE window=?").bind(1, id).run();
      Statement(db, "DELETE FROM windows WHERE id=?").bind(1, id).run();
    }
    Statement q(db, "INSERT INTO windows(title, owner) VALUES(?, ?)");
    q.bind(1, title).bind(2, static_cast<int64_t>(ownerPid)).run();
    handle = static_cast<uintptr_t>(sqlite3_last_insert_rowid(db));
  });
  return handle;
}

bool destroyWindow(uintptr_t handle) {
  bool destroyed = false;
  writeStore([&](sqlite3* db) {
    Statement(db, "DELETE FROM windows WHERE id=?").bind(1, static_cast<int64_t>(handle)).run();
    destroyed = sqlite3_changes(db) > 0;
    Statement(db, "DELETE FROM window_messages WHERE window=?")
        .bind(1, static_cast<int64_t>(handle))
        .run();
  });
  return destroyed;
}

std::vector<WindowInfo> windowList() {
  std::vector<WindowInfo> list;
  readStore([&](sqlite3* db) {
    Statement q(db, "SELECT id, title, owner FROM windows ORDER BY id");
    while (q.step()) {
      WindowInfo w{static_cast<uintptr_t>(q.number(0)), q.text(1),
                   static_cast<unsigned long>(q.number(2))};
      if (processAlive(w.ownerPid)) list.push_back(std::move(w));
    }
  });
  return list;
}

std::optional<WindowMessage> takeMessage(uintptr_t handle, int timeoutMs, intptr_t result) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const int64_t id = static_cast<int64_t>(handle);
  for (;;) {
    std::optional<WindowMessage> message;
    bool exists = false;
    writeStore([&](sqlite3* db) {
      Statement w(db, "SELECT 1 FROM windows WHERE id=?");
      w.bind(1, id);
      exists = w.step();
      if (!exists) return;
      Statement q(db, "SELECT id, message, wparam, lparam FROM window_messages "
                      "WHERE window=? AND taken=0 ORDER BY id LIMIT 1");
      q.bind(1, id);
      if (!q.step()) return;
      int64_t messageId = q.number(0);
      message = WindowMessage{static_cast<unsigned>(q.number(1)),
                              static_cast<uintptr_t>(q.number(2)),
                              static_cast<intptr_t>(q.number(3))};
      Statement(db, "UPDATE window_messages SET taken=1, result=? WHERE id=?")
          .bind(1, static_cast<int64_t>(result))
          .bind(2, messageId)
          .run();
      if (message->message == windows::WM_CLOSE)
        Statement(db, "DELETE FROM windows WHERE id=?").bind(1, id).run();
    });
    if (message || !exists) return message;
    if (timeoutMs >= 0 && std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    sleepMs(5);
  }
}

std::vector<DesktopEvent> desktopEvents() {
  std::vector<DesktopEvent> events;
  for (const ShellEvent& e : shellEvents())
    events.push_back({e.verb, e.file, e.parameters, e.directory});
  return events;
}

}  // namespace platform::machine

namespace platform::windows {

using machine::MachineError;
using machine::Statement;

namespace {

template <class T, class F>
T guarded(const char* method, T failure, F&& body) {
  try {
    return body();
  } catch (const MachineError& e) {
    debugOutput(std::string("windows::") + method + " - " + e.what() + "\n");
    return failure;
  }
}

// The owner of a live window; 0 when the window is gone or its program ended.
unsigned long liveOwner(Hwnd window) {
  unsigned long owner = 0;
  machine::readStore([&](sqlite3* db) {
    Statement q(db, "SELECT owner FROM windows WHERE id=?");
    q.bind(1, static_cast<int64_t>(window));
    if (q.step()) owner = static_cast<unsigned long>(q.number(0));
  });
  return owner && machine::processAlive(owner) ? owner : 0;
}

}  // namespace

Hwnd findWindow(const std::string& title, Hwnd after) {
  return guarded<Hwnd>("findWindow", 0, [&]() -> Hwnd {
    for (const machine::WindowInfo& w : machine::windowList())
      if (w.handle > after && strcasecmp(w.title.c_str(), title.c_str()) == 0) return w.handle;
    return 0;
  });
}

bool isWindow(Hwnd window) {
  return guarded<bool>("isWindow", false, [&] { return window != 0 && liveOwner(window) != 0; });
}

std::string windowText(Hwnd window) {
  return guarded<std::string>("windowText", "", [&] {
    std::string title;
    machine::readStore([&](sqlite3* db) {
      Statement q(db, "SELECT title FROM windows WHERE id=?");
      q.bind(1, static_cast<int64_t>(window));
      if (q.step()) title = q.text(0);
    });
    return title;
  });
}

intptr_t sendMessage(Hwnd window, unsigned message, uintptr_t wParam, intptr_t lParam,
                     unsigned timeoutMs) {
  return guarded<intptr_t>("sendMessage", 0, [&]() -> intptr_t {
    if (!isWindow(window)) return 0;
    int64_t messageId = 0;
    machine::writeStore([&](sqlite3* db) {
      Statement q(db, "INSERT INTO window_messages(window, message, wparam, lparam) "
                      "VALUES(?, ?, ?, ?)");
      q.bind(1, static_cast<int64_t>(window)).bind(2, static_cast<int64_t>(message));
      q.bind(3, static_cast<int64_t>(wParam)).bind(4, static_cast<int64_t>(lParam)).run();
      messageId = sqlite3_last_insert_rowid(db);
    });
    // Synchronous, as SendMessage is: until the owner took it, its window went or its
    // program ended.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (int round = 0;; ++round) {
      bool taken = false;
      intptr_t result = 0;
      machine::readStore([&](sqlite3* db) {
        Statement q(db, "SELECT taken, result FROM window_messages WHERE id=?");
        q.bind(1, messageId);
        if (q.step()) {
          taken = q.number(0) != 0;
          result = static_cast<intptr_t>(q.number(1));
        }
      });
      if (taken) return result;
      if (std::chrono::steady_clock::now() >= deadline) return 0;
      if (round % 10 == 9 && !isWindow(window)) return 0;
      machine::sleepMs(2);
    }
  });
}

bool sendCommand(Hwnd window, int id) {
  if (!isWindow(window)) return false;
  sendMessage(window, WM_COMMAND, static_cast<uintptr_t>(id), 0);
  return true;
}

bool closeWindow(Hwnd window) {
  if (!isWindow(window)) return false;
  sendMessage(window, WM_CLOSE, 0, 0);
  return true;
}

bool broadcastSettingChange(const std::string& area, unsigned timeoutMs) {
  return guarded<bool>("broadcastSettingChange", false, [&] {
    machine::recordShellEvent({"WM_WININICHANGE", area, "", ""});
    return true;
  });
}

}  // namespace platform::windows
