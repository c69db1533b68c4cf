#pragma once
// The scripted UI: runs the same models with no display for tests and tools. Message
// boxes and credential prompts are answered from queues; hooks act on dialogs when they
// are shown; every message and every control text shown is recorded.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/ui.h"

namespace ui {

class ScriptedUi : public Backend {
 public:
  struct Message {
    std::string caption;
    std::string text;
    unsigned type = 0;
    int answer = 0;
  };
  struct Shown {  // a control text as it was drawn
    std::string window;
    int id = 0;
    std::string text;
  };

  ScriptedUi();
  // What a test may record before it is taken for a loop that never ends.
  static constexpr size_t kRecordLimit = 100000;
  ~ScriptedUi() override;

  // Answers for the next message boxes, in order. Without one, an OK box is answered
  // IDOK and any other box IDCANCEL (and counted in unanswered()). An OK box takes the next
  // answer only when it is IDOK, so error notices in between leave the queue alone.
  void answer(int result);
  // Answers for the next credentials prompts; an empty user cancels the prompt.
  void answerCredentials(const std::string& user, const std::string& password);
  // Answers for the next folder choosers; without one the chooser is cancelled (and counted
  // in unanswered()).
  void answerFolder(const std::string& path);
  // Titles of the folder choosers shown so far, in order.
  std::vector<std::string> folderTitles() const;
  // Runs action on the UI thread right after a window matching the caption (substring)
  // has been initialised for a modal or modeless run. Hooks stay active until removed
  // with clearHooks.
  void whenShown(const std::string& captionPart, std::function<void(Window&)> action);
  void clearHooks();
  // Runs action on the UI thread after delayMs, inside whatever loop runs then.
  void after(int delayMs, std::function<void()> action);
  // A modal run that lasts longer than this ends with IDCANCEL and is recorded in
  // timedOut(); keeps a broken test from hanging.
  void setModalLimit(int ms) { modalLimitMs_ = ms; }
  // Off: what is shown and asked is not kept (a long unattended run), only reported to
  // shownText.
  void keepRecords(bool keep) { keepRecords_ = keep; }

  std::vector<Message> messages() const;
  std::vector<std::string> messageTexts() const;
  std::vector<Shown> shown() const;
  bool wasShown(const std::string& text) const;  // any control text or message equal to it
  int unanswered() const;
  int timedOut() const { return timedOut_; }
  // Captions of the modal windows run so far, in order.
  std::vector<std::string> modalCaptions() const;
  // The targets the help window was shown at, in order.
  std::vector<std::string> helpTargets() const;

  // Backend.
  int runModal(Window& w) override;
  void showModeless(Window& w) override;
  void hideModeless(Window& w) override;
  void showHelp(Window& w, const std::string& folder, const std::string& target) override;
  void changed(Window& w, int controlId) override;
  int messageBox(Window* owner, const std::string& text, const std::string& caption,
                 unsigned type) override;
  bool askCredentials(const std::string& server, std::string& user,
                      std::string& password) override;
  std::string browseForFolder(Window* owner, const std::string& title) override;
  void post(std::function<void()> task) override;
  void startTimer(Window& w, int id, int periodMs) override;
  void stopTimer(Window& w, int id) override;
  void pump() override;

 protected:
  // A text a window shows for the first time or changed (called with the lock held).
  virtual void shownText(const Window& /*w*/, const Control* /*c*/, const std::string& /*text*/) {}

 private:
  struct Timer {
    Window* window;
    int id;
    int periodMs;
    std::chrono::steady_clock::time_point due;
    unsigned long serial;  // tells a restarted timer from the one that was due
  };
  struct Hook {
    std::string captionPart;
    std::function<void(Window&)> action;
  };
  struct Delayed {
    std::chrono::steady_clock::time_point due;
    std::function<void()> action;
  };
  void runHooks(Window& w);
  // Records what a window shows once it is up (its visible texts, a sheet's active page).
  void recordWindow(Window& w);
  void record(Window& w, int id);
  void forget(Window& w);
  // Runs queued tasks, due timers and due actions; waits up to maxWaitMs when none is due.
  void step(int maxWaitMs);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
  std::vector<Timer> timers_;
  std::vector<Delayed> delayed_;
  std::vector<Hook> hooks_;
  std::deque<int> answers_;
  std::deque<std::pair<std::string, std::string>> credentials_;
  std::deque<std::string> folders_;
  std::vector<std::string> folderTitles_;
  std::vector<Message> messages_;
  std::vector<Shown> shown_;
  bool keepRecords_ = true;
  std::map<std::pair<const Window*, int>, std::string> lastShown_;
  unsigned long timerSerial_ = 0;
  std::vector<std::string> modalCaptions_;
  std::vector<std::string> helpTargets_;
  int unanswered_ = 0;
  int timedOut_ = 0;
  int modalLimitMs_ = 120000;
};

}  // namespace ui
