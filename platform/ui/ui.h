#pragma once
// The UI layer's services and the backend interface behind them.
#include <functional>
#include <string>

#include "platform/ui/window.h"

namespace ui {

class PropertySheet;

// Implemented by the Qt renderer and by the scripted UI.
class Backend {
 public:
  virtual ~Backend() = default;
  // Shows w, delivers events until w has ended, hides it; returns the end code.
  virtual int runModal(Window& w) = 0;
  virtual void showModeless(Window& w) = 0;
  virtual void hideModeless(Window& w) = 0;
  // The help window w: shows it (or brings it forward) at target, a page file below folder
  // with an optional "#anchor"; a second call navigates the window already shown. Nothing
  // outside folder is loaded or followed. hideModeless hides it again.
  virtual void showHelp(Window& w, const std::string& folder, const std::string& target) = 0;
  // A control or the window itself (id 0) changed: redraw it.
  virtual void changed(Window& w, int controlId) = 0;
  // Thread-safe: may be called from any thread; returns IDOK, IDYES, IDNO, IDCANCEL ...
  virtual int messageBox(Window* owner, const std::string& text, const std::string& caption,
                         unsigned type) = 0;
  // The system's credentials dialog for a 401 answer; false when the user cancels.
  // Thread-safe.
  virtual bool askCredentials(const std::string& server, std::string& user,
                              std::string& password) = 0;
  // The system's folder chooser: the Windows path of the folder chosen, empty when the user
  // cancels. UI thread.
  virtual std::string browseForFolder(Window* owner, const std::string& title) = 0;
  // Thread-safe: queues task to run on the UI thread.
  virtual void post(std::function<void()> task) = 0;
  virtual void startTimer(Window& w, int id, int periodMs) = 0;
  virtual void stopTimer(Window& w, int id) = 0;
  // Runs queued tasks and due timers without blocking (UI thread).
  virtual void pump() = 0;
};

void setBackend(Backend* backend);
// The backend set last; without one a scripted UI is installed on first use (whose caller
// becomes the UI thread), so a tool never dereferences nothing.
Backend& backend();
// The backend set, or nullptr.
Backend* currentBackend();

// The thread that called setBackend is the UI thread.
bool isUiThread();

// MessageBox from any thread; the caption defaults to the application title.
int messageBox(Window* owner, const std::string& text, const std::string& caption,
               unsigned type = 0);

// The application title (the executable's file name without its extension), the caption
// of message boxes raised without one.
void setApplicationTitle(const std::string& title);
const std::string& applicationTitle();

// Waits up to timeoutMs for done() to become true, letting UI work through meanwhile
// so that a worker blocked in a synchronous message or message box can finish.
bool waitPumping(const std::function<bool()>& done, int timeoutMs);

}  // namespace ui
