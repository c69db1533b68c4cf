#include "platform/ui/scripted_ui.h"

#include <algorithm>
#include <stdexcept>

#include "platform/debug.h"
#include "platform/ui/property_sheet.h"
#include "platform/win_types.h"

namespace ui {

namespace {

using Clock = std::chrono::steady_clock;

// A header's second line is recorded under its own key beside the title.
constexpr int kSubtitleKey = 0x40000000;

std::string displayText(const Control& c) {
  if (c.kind == ControlKind::ComboBox && c.selection >= 0 &&
      c.selection < static_cast<int>(c.items.size()))
    return c.items[c.selection];
  return c.text;
}

// Whether a queued answer is one of the buttons a box of this type has.
bool answerFits(unsigned type, int answer) {
  switch (type & 0xF) {
    case 0: return answer == win::IDOK;
    case 1: return answer == win::IDOK || answer == win::IDCANCEL;
    case 2: return answer == win::IDABORT || answer == win::IDRETRY || answer == win::IDIGNORE;
    case 3: return answer == win::IDYES || answer == win::IDNO || answer == win::IDCANCEL;
    case 4: return answer == win::IDYES || answer == win::IDNO;
    case 5: return answer == win::IDRETRY || answer == win::IDCANCEL;
    default: return true;
  }
}

}  // namespace

// Scripts lay out with the default font's units, whatever a backend before them measured.
ScriptedUi::ScriptedUi() { setDialogBaseUnits(kDefaultBaseUnits); }

ScriptedUi::~ScriptedUi() {
  if (currentBackend() == this) setBackend(nullptr);
}

void ScriptedUi::answer(int result) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.push_back(result);
}

void ScriptedUi::answerCredentials(const std::string& user, const std::string& password) {
  std::lock_guard<std::mutex> lock(mutex_);
  credentials_.emplace_back(user, password);
}

void ScriptedUi::answerFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  folders_.push_back(path);
}

std::vector<std::string> ScriptedUi::folderTitles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return folderTitles_;
}

std::string ScriptedUi::browseForFolder(Window*, const std::string& title) {
  std::lock_guard<std::mutex> lock(mutex_);
  folderTitles_.push_back(title);
  if (folders_.empty()) {
    ++unanswered_;
    return "";
  }
  std::string path = folders_.front();
  folders_.pop_front();
  return path;
}

void ScriptedUi::whenShown(const std::string& captionPart, std::function<void(Window&)> action) {
  std::lock_guard<std::mutex> lock(mutex_);
  hooks_.push_back(Hook{captionPart, std::move(action)});
}

void ScriptedUi::clearHooks() {
  std::lock_guard<std::mutex> lock(mutex_);
  hooks_.clear();
}

void ScriptedUi::after(int delayMs, std::function<void()> action) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    delayed_.push_back(Delayed{Clock::now() + std::chrono::milliseconds(delayMs), std::move(action)});
  }
  wake_.notify_all();
}

std::vector<ScriptedUi::Message> ScriptedUi::messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

std::vector<std::string> ScriptedUi::messageTexts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> texts;
  for (const auto& m : messages_) texts.push_back(m.text);
  return texts;
}

std::vector<ScriptedUi::Shown> ScriptedUi::shown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shown_;
}

bool ScriptedUi::wasShown(const std::string& text) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& s : shown_)
    if (s.text == text) return true;
  for (const auto& m : messages_)
    if (m.text == text) return true;
  return false;
}

int ScriptedUi::unanswered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unanswered_;
}

std::vector<std::string> ScriptedUi::modalCaptions() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return modalCaptions_;
}

std::vector<std::string> ScriptedUi::helpTargets() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return helpTargets_;
}

int ScriptedUi::runModal(Window& w) {
  const auto start = Clock::now();
  w.beginShow();
  recordWindow(w);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    modalCaptions_.push_back(w.caption());
  }
  runHooks(w);
  while (!w.ended()) {
    if (Clock::now() - start > std::chrono::milliseconds(modalLimitMs_)) {
      platform::debugOutput("ScriptedUi::runModal - " + w.caption() + " timed out\n");
      ++timedOut_;
      w.endDialog(win::IDCANCEL);
      break;
    }
    step(10);
  }
  const int result = w.result();
  w.endShow();
  forget(w);
  return result;
}

void ScriptedUi::showModeless(Window& w) {
  w.beginShow();
  recordWindow(w);
  runHooks(w);
}

void ScriptedUi::showHelp(Window& w, const std::string& /*folder*/, const std::string& target) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (keepRecords_) helpTargets_.push_back(target);
  }
  if (w.isOpen()) return;
  showModeless(w);
}

void ScriptedUi::hideModeless(Window& w) {
  w.endShow();
  forget(w);
}

void ScriptedUi::changed(Window& w, int controlId) {
  if (controlId == 0) {
    record(w, 0);
    // A sheet reports a page switch as a change of itself: what shows now is the new page.
    if (auto* sheet = dynamic_cast<PropertySheet*>(&w))
      if (PropertyPage* p = sheet->activePage()) recordWindow(*p);
    return;
  }
  record(w, controlId);
}

void ScriptedUi::record(Window& w, int id) {
  std::vector<std::pair<int, std::string>> texts;
  if (id == 0) {
    texts.emplace_back(0, w.caption());
  } else {
    const Control* c = w.control(id);
    if (!c || !c->visible) return;
    texts.emplace_back(id, displayText(*c));
    if (c->kind == ControlKind::Header) texts.emplace_back(id | kSubtitleKey, c->subtitle);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& [key, text] : texts) {
    auto it = lastShown_.find({&w, key});
    if (it == lastShown_.end()) {
      if (text.empty()) continue;
      lastShown_.emplace(std::make_pair(&w, key), text);
    } else if (it->second == text) {
      continue;
    } else {
      it->second = text;
    }
    shownText(w, id ? w.control(id) : nullptr, text);
    if (!keepRecords_) continue;
    if (shown_.size() >= kRecordLimit)
      throw std::length_error("more than " + std::to_string(kRecordLimit) + " texts shown");
    shown_.push_back(Shown{w.caption(), id, text});
  }
}

void ScriptedUi::recordWindow(Window& w) {
  record(w, 0);
  for (const auto& c : w.controls()) record(w, c.id);
  if (auto* sheet = dynamic_cast<PropertySheet*>(&w))
    if (PropertyPage* p = sheet->activePage()) recordWindow(*p);
}

void ScriptedUi::forget(Window& w) {
  std::vector<const Window*> gone{&w};
  if (auto* sheet = dynamic_cast<PropertySheet*>(&w))
    for (int i = 0; i < sheet->pageCount(); ++i) gone.push_back(sheet->page(i));
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = lastShown_.begin(); it != lastShown_.end();) {
    if (std::find(gone.begin(), gone.end(), it->first.first) != gone.end())
      it = lastShown_.erase(it);
    else
      ++it;
  }
}

int ScriptedUi::messageBox(Window* owner, const std::string& text, const std::string& caption,
                           unsigned type) {
  std::lock_guard<std::mutex> lock(mutex_);
  int result;
  const bool okBox = (type & 0xF) == 0;
  if (!answers_.empty() && (!okBox || answerFits(type, answers_.front()))) {
    result = answers_.front();
    answers_.pop_front();
  } else if (okBox) {
    result = win::IDOK;
  } else {
    result = win::IDCANCEL;
    ++unanswered_;
  }
  // A question asked again and again by a loop that never ends fails the test at once.
  if (messages_.size() >= kRecordLimit)
    throw std::length_error("more than " + std::to_string(kRecordLimit) +
                            " messages, last: " + text);
  messages_.push_back(Message{caption, text, type, result});
  return result;
}

bool ScriptedUi::askCredentials(const std::string& server, std::string& user,
                                std::string& password) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (credentials_.empty()) {
    ++unanswered_;
    return false;
  }
  auto [u, p] = credentials_.front();
  credentials_.pop_front();
  if (u.empty()) return false;
  user = u;
  password = p;
  return true;
}

void ScriptedUi::post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void ScriptedUi::startTimer(Window& w, int id, int periodMs) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [&](const Timer& t) { return t.window == &w && t.id == id; }),
                  timers_.end());
    timers_.push_back(Timer{&w, id, std::max(periodMs, 1),
                            Clock::now() + std::chrono::milliseconds(std::max(periodMs, 1)),
                            ++timerSerial_});
  }
  wake_.notify_all();
}

void ScriptedUi::stopTimer(Window& w, int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [&](const Timer& t) { return t.window == &w && t.id == id; }),
                timers_.end());
}

void ScriptedUi::pump() { step(0); }

void ScriptedUi::runHooks(Window& w) {
  std::vector<Hook> hooks;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hooks = hooks_;
  }
  for (auto& h : hooks) {
    if (w.ended() || !w.isOpen()) break;
    if (w.caption().find(h.captionPart) != std::string::npos) h.action(w);
  }
}

void ScriptedUi::step(int maxWaitMs) {
  std::vector<std::function<void()>> delayed;
  std::vector<std::pair<Window*, std::pair<int, unsigned long>>> ticks;
  size_t taskCount = 0;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    auto now = Clock::now();
    auto nextDue = now + std::chrono::milliseconds(maxWaitMs);
    bool due = !tasks_.empty();
    for (const auto& t : timers_) {
      due = due || t.due <= now;
      nextDue = std::min(nextDue, t.due);
    }
    for (const auto& d : delayed_) {
      due = due || d.due <= now;
      nextDue = std::min(nextDue, d.due);
    }
    if (!due && maxWaitMs > 0) {
      wake_.wait_until(lock, nextDue, [&] { return !tasks_.empty(); });
      now = Clock::now();
    }
    taskCount = tasks_.size();
    for (auto it = delayed_.begin(); it != delayed_.end();) {
      if (it->due <= now) {
        delayed.push_back(std::move(it->action));
        it = delayed_.erase(it);
      } else {
        ++it;
      }
    }
    for (auto& t : timers_) {
      if (t.due <= now) {
        ticks.push_back({t.window, {t.id, t.serial}});
        // A slow handler skips missed ticks instead of firing them in a burst.
        t.due += std::chrono::milliseconds(t.periodMs);
        if (t.due <= now) t.due = now + std::chrono::milliseconds(t.periodMs);
      }
    }
  }
  // Tasks are taken one at a time so that a modal loop opened by one of them runs the rest.
  for (size_t i = 0; i < taskCount; ++i) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (tasks_.empty()) break;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
  for (auto& d : delayed) d();
  for (auto& [window, tick] : ticks) {
    bool live;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      live = std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) {
        return t.window == window && t.id == tick.first && t.serial == tick.second;
      });
    }
    if (live) window->deliverTimer(tick.first);
  }
}

}  // namespace ui
