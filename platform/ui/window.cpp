#include "platform/ui/window.h"

#include <algorithm>
#include <condition_variable>

#include "platform/debug.h"
#include "platform/ui/ui.h"

namespace ui {

// Shared between a window and every message sent or posted to it, so that a task that runs
// after the window is gone finds out instead of touching freed memory, and a sender waiting
// on another thread is released the moment the window closes.
struct WindowLife {
  std::mutex mutex;
  std::condition_variable cv;
  Window* window = nullptr;  // null once the window object is destroyed
  bool open = false;
};

namespace {

// MulDiv-style rounding, as dialog unit conversion does.
int mulDivRound(int value, int num, int den) {
  long long p = static_cast<long long>(value) * num;
  return static_cast<int>(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

// Set by the backend on the UI thread, read by models on any thread.
std::atomic<int> g_baseX{kDefaultBaseUnits.x};
std::atomic<int> g_baseY{kDefaultBaseUnits.y};

}  // namespace

void setDialogBaseUnits(BaseUnits units) {
  g_baseX = units.x >= 1 ? units.x : kDefaultBaseUnits.x;
  g_baseY = units.y >= 1 ? units.y : kDefaultBaseUnits.y;
}

BaseUnits dialogBaseUnits() { return BaseUnits{g_baseX.load(), g_baseY.load()}; }

int dluX(int x) { return mulDivRound(x, g_baseX, 4); }
int dluY(int y) { return mulDivRound(y, g_baseY, 8); }
int fontScaledX(int px) { return mulDivRound(px, g_baseX, kDefaultBaseUnits.x); }
int fontScaledY(int px) { return mulDivRound(px, g_baseY, kDefaultBaseUnits.y); }
Rect dluRect(int x, int y, int cx, int cy) {
  return Rect{dluX(x), dluY(y), dluX(x + cx), dluY(y + cy)};
}

Window::Window(int templateId, std::string caption, int width, int height)
    : templateId_(templateId),
      caption_(std::move(caption)),
      width_(width),
      height_(height),
      life_(std::make_shared<WindowLife>()) {
  life_->window = this;
}

Window::~Window() {
  // A window destroyed while still shown (an owner going away first) must not leave timers
  // or waiting senders behind.
  if (Backend* b = currentBackend()) {
    for (const auto& [id, period] : timers_) b->stopTimer(*this, id);
    timers_.clear();
    // A modeless window whose object goes away closes with it.
    if (open_) b->hideModeless(*this);
  }
  timers_.clear();
  {
    std::lock_guard<std::mutex> lock(life_->mutex);
    life_->window = nullptr;
    life_->open = false;
    open_ = false;
  }
  life_->cv.notify_all();
}

void Window::setCaption(const std::string& caption) {
  caption_ = caption;
  notifyChanged(0);
}

void Window::resize(int width, int height) {
  width_ = width;
  height_ = height;
  notifyChanged(0);
}

void Window::notifyChanged(int id) {
  if (!open_) return;
  if (Backend* b = currentBackend()) b->changed(*this, id);
}

Control* Window::find(int id, const char* method) {
  for (auto& c : controls_)
    if (c.id == id) return &c;
  platform::debugOutput(std::string("Window::") + method + " - no control " + std::to_string(id) +
                        "\n");
  return nullptr;
}

const Control* Window::find(int id, const char* method) const {
  return const_cast<Window*>(this)->find(id, method);
}

Control& Window::addControl(int id, ControlKind kind, Rect rect, const std::string& text) {
  for (auto& c : controls_) {
    if (c.id == id) {  // a second creation replaces the first, as re-creating a child would
      c = Control{};
      c.id = id;
      c.kind = kind;
      c.rect = rect;
      c.text = text;
      notifyChanged(id);
      return c;
    }
  }
  Control c;
  c.id = id;
  c.kind = kind;
  c.rect = rect;
  c.text = text;
  controls_.push_back(std::move(c));
  notifyChanged(id);
  return controls_.back();
}

Control* Window::control(int id) {
  for (auto& c : controls_)
    if (c.id == id) return &c;
  return nullptr;
}

const Control* Window::control(int id) const {
  for (const auto& c : controls_)
    if (c.id == id) return &c;
  return nullptr;
}

void Window::setText(int id, const std::string& text) {
  if (Control* c = find(id, "setText")) {
    if (c->text == text) return;
    c->text = text;
    notifyChanged(id);
  }
}

std::string Window::text(int id) const {
  const Control* c = find(id, "text");
  return c ? c->text : std::string();
}

void Window::enable(int id, bool enabled) {
  if (Control* c = find(id, "enable")) {
    if (c->enabled == enabled) return;
    c->enabled = enabled;
    notifyChanged(id);
  }
}

bool Window::isEnabled(int id) const {
  const Control* c = find(id, "isEnabled");
  return c && c->enabled;
}

void Window::show(int id, bool visible) {
  if (Control* c = find(id, "show")) {
    if (c->visible == visible) return;
    c->visible = visible;
    notifyChanged(id);
  }
}

bool Window::isVisible(int id) const {
  const Control* c = find(id, "isVisible");
  return c && c->visible;
}

void Window::setImage(int id, const std::string& image) {
  if (Control* c = find(id, "setImage")) {
    c->image = image;
    notifyChanged(id);
  }
}

void Window::setTooltip(int id, const std::string& tip) {
  if (Control* c = find(id, "setTooltip")) {
    c->tooltip = tip;
    notifyChanged(id);
  }
}

void Window::moveControl(int id, Rect rect) {
  if (Control* c = find(id, "moveControl")) {
    c->rect = rect;
    notifyChanged(id);
  }
}

void Window::removeControl(int id) {
  auto it = std::find_if(controls_.begin(), controls_.end(),
                         [id](const Control& c) { return c.id == id; });
  if (it == controls_.end()) return;
  controls_.erase(it);
  notifyChanged(id);
}

void Window::setProgressRange(int id, int low, int high) {
  if (Control* c = find(id, "setProgressRange")) {
    c->rangeMin = low;
    c->rangeMax = high;
    notifyChanged(id);
  }
}

void Window::setProgressPosition(int id, int position) {
  if (Control* c = find(id, "setProgressPosition")) {
    // A progress bar keeps its position inside its range, as the common control does.
    int lo = std::min(c->rangeMin, c->rangeMax), hi = std::max(c->rangeMin, c->rangeMax);
    position = std::clamp(position, lo, hi);
    if (c->position == position) return;
    c->position = position;
    notifyChanged(id);
  }
}

int Window::progressPosition(int id) const {
  const Control* c = find(id, "progressPosition");
  return c ? c->position : 0;
}

void Window::setItems(int id, std::vector<std::string> items) {
  if (Control* c = find(id, "setItems")) {
    c->items = std::move(items);
    if (c->selection >= static_cast<int>(c->items.size())) c->selection = -1;
    notifyChanged(id);
  }
}

void Window::setSelection(int id, int index) {
  if (Control* c = find(id, "setSelection")) {
    if (index < -1 || index >= static_cast<int>(c->items.size())) index = -1;
    if (c->selection == index) return;
    c->selection = index;
    notifyChanged(id);
  }
}

int Window::selection(int id) const {
  const Control* c = find(id, "selection");
  return c ? c->selection : -1;
}

void Window::setCheck(int id, int check) {
  if (Control* c = find(id, "setCheck")) {
    if (c->check == check) return;
    c->check = check;
    notifyChanged(id);
  }
}

int Window::check(int id) const {
  const Control* c = find(id, "check");
  return c ? c->check : 0;
}

void Window::setTreeItems(int id, std::vector<TreeItem> items) {
  if (Control* c = find(id, "setTreeItems")) {
    c->treeItems = std::move(items);
    notifyChanged(id);
  }
}

void Window::controlChanged(int id) { notifyChanged(id); }

int Window::doModal() {
  ended_ = false;
  result_ = 0;
  return backend().runModal(*this);
}

void Window::endDialog(int code) {
  result_ = code;
  ended_ = true;
}

void Window::createModeless(Window* parent) {
  if (parent) parent_ = parent;
  ended_ = false;
  backend().showModeless(*this);
}

void Window::destroyWindow() {
  if (!open_) return;
  backend().hideModeless(*this);
}

void Window::pumpMessages() { backend().pump(); }

void Window::setTimer(int id, int periodMs) {
  timers_[id] = periodMs;
  // Before the window exists the timer waits for beginShow, which starts it.
  if (!open_) return;
  if (Backend* b = currentBackend()) b->startTimer(*this, id, periodMs);
}

void Window::killTimer(int id) {
  if (timers_.erase(id) == 0) return;
  if (Backend* b = currentBackend()) b->stopTimer(*this, id);
}

bool Window::hasTimer(int id) const { return timers_.count(id) != 0; }

void Window::deliverTimer(int id) {
  if (!open_ || !hasTimer(id)) return;
  onTimer(id);
}

long Window::sendMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  Backend* b = currentBackend();
  if (!b || isUiThread()) return onMessage(msg, wParam, lParam);

  struct Call {
    bool done = false;
    long result = 0;
  };
  auto life = life_;
  auto call = std::make_shared<Call>();
  {
    std::lock_guard<std::mutex> lock(life->mutex);
    if (!life->open) return 0;
  }
  b->post([life, call, msg, wParam, lParam] {
    Window* w = nullptr;
    {
      std::lock_guard<std::mutex> lock(life->mutex);
      if (life->open) w = life->window;
    }
    // Runs on the UI thread, the only one that destroys windows, so w stays valid here.
    long r = w ? w->onMessage(msg, wParam, lParam) : 0;
    {
      std::lock_guard<std::mutex> lock(life->mutex);
      call->result = r;
      call->done = true;
    }
    life->cv.notify_all();
  });
  std::unique_lock<std::mutex> lock(life->mutex);
  life->cv.wait(lock, [&] { return call->done || !life->open; });
  return call->done ? call->result : 0;
}

void Window::postMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  auto life = life_;
  backend().post([life, msg, wParam, lParam] {
    Window* w = nullptr;
    {
      std::lock_guard<std::mutex> lock(life->mutex);
      if (life->open) w = life->window;
    }
    if (w) w->onMessage(msg, wParam, lParam);
  });
}

void Window::click(int id) {
  const Control* c = commandControl(id);
  if (c && (!c->enabled || !c->visible)) return;
  if (id == 2) {
    onCancel();
    return;
  }
  if (!c) {
    platform::debugOutput("Window::click - no control " + std::to_string(id) + "\n");
    if (id != 1) return;
  }
  if (id == 1) {
    onOK();
    return;
  }
  if (c->clickTarget) {
    // Synchronous, as the button's owner expects its answer before the click returns.
    c->clickTarget->sendMessage(kDynamicButtonMessage, c->clickFirst,
                                static_cast<intptr_t>(c->clickSecond));
    return;
  }
  if (c->kind == ControlKind::CheckBox || c->kind == ControlKind::RadioButton) {
    if (Control* own = control(id)) {
      own->check = c->kind == ControlKind::RadioButton || !own->check ? 1 : 0;
      notifyChanged(id);
    }
  }
  onCommand(id);
}

void Window::userSelect(int id, int index) {
  Control* c = find(id, "userSelect");
  if (!c || !c->enabled || !c->visible) return;
  if (index < -1 || index >= static_cast<int>(c->items.size())) return;
  if (c->selection != index) {
    c->selection = index;
    notifyChanged(id);
  }
  onNotify(id, Event::SelectionChanged);
}

void Window::userCheck(int id, int check) {
  Control* c = find(id, "userCheck");
  if (!c || !c->enabled || !c->visible) return;
  if (c->check != check) {
    c->check = check;
    notifyChanged(id);
  }
  onCommand(id);
}

void Window::userCheckItem(int id, int item, bool checked) {
  Control* c = find(id, "userCheckItem");
  if (!c || !c->enabled || !c->visible) return;
  if (item < 0 || item >= static_cast<int>(c->treeItems.size())) return;
  if (c->treeItems[item].checked != checked) {
    c->treeItems[item].checked = checked;
    notifyChanged(id);
  }
  onNotify(id, Event::CheckChanged);
}

void Window::activateLink(int id) {
  Control* c = find(id, "activateLink");
  if (!c || !c->enabled || !c->visible) return;
  onNotify(id, Event::LinkActivated);
}

void Window::beginShow() {
  if (open_) return;
  {
    std::lock_guard<std::mutex> lock(life_->mutex);
    life_->open = true;
    open_ = true;
  }
  // Timers set before the window existed start now.
  if (Backend* b = currentBackend())
    for (const auto& [id, period] : timers_) b->startTimer(*this, id, period);
  onInitDialog();
}

void Window::endShow() {
  if (!open_) return;
  onDestroy();
  closeOwned();
  if (Backend* b = currentBackend())
    for (const auto& [id, period] : timers_) b->stopTimer(*this, id);
  timers_.clear();
  {
    std::lock_guard<std::mutex> lock(life_->mutex);
    life_->open = false;
    open_ = false;
  }
  life_->cv.notify_all();
}

}  // namespace ui
