#pragma once
// UI layer: every dialog, page and property sheet is a model made of controls keyed by
// their identifiers. Code sets control state and reacts to events; a backend (the Qt
// renderer or the scripted UI) shows the model. No Qt here.
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ui {

enum class ControlKind {
  Static, GroupBox, Button, ImageButton, ImageStatic, Header, CheckBox, ComboBox,
  CheckTree, Tab, Progress, RichText, Hyperlink, Edit, RadioButton
};

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
};

// Dialog units to pixels. A dialog unit is a quarter of the dialog font's average
// character width across and an eighth of its height down; the backend sets these base
// units from the font it really draws with, so a layout in dialog units fits any renderer.
// Until one does: 6 x 13 pixels (4 horizontal units = 6 px, 8 vertical units = 13 px).
struct BaseUnits {
  int x = 6, y = 13;
};
constexpr BaseUnits kDefaultBaseUnits{};
void setDialogBaseUnits(BaseUnits units);  // values below 1 fall back to the default
BaseUnits dialogBaseUnits();
Rect dluRect(int x, int y, int cx, int cy);
int dluX(int x);
int dluY(int y);
// A length laid out in pixels of the default font, grown or shrunk with the real one
// (windows and rows whose sizes are given in pixels but hold dialog-unit layouts).
int fontScaledX(int px);
int fontScaledY(int px);

class Window;

// The message a dynamic button sends to its target window when clicked.
constexpr unsigned kDynamicButtonMessage = 0x406;

struct TreeItem {
  std::string text;
  int parent = -1;  // index of the parent item, -1 at the top
  bool checked = false;
};

struct Control {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  Rect rect;
  std::string text;      // caption, static text, rich text (RTF or plain), link target
  std::string subtitle;  // second line of a header
  std::string image;     // image resource name ("191") for image buttons, statics, headers
  std::string tooltip;
  bool enabled = true;
  bool visible = true;
  std::vector<std::string> items;  // combo box entries, tab captions
  int selection = -1;              // combo box entry or tab index
  int check = 0;                   // check box state
  bool centreText = false;         // static text centred in its rectangle (SS_CENTER)
  std::vector<TreeItem> treeItems;
  int rangeMin = 0, rangeMax = 100, position = 0;  // progress bar
  // Picture controls (image buttons and statics): the picture's size, 32 x 32 until one is
  // loaded and 0 while none is (nothing is drawn then), and a copy of the loaded PNG data
  // (none: the backend shows the resource named by image as it finds it).
  int imageWidth = 32, imageHeight = 32;
  std::shared_ptr<const std::string> imageData;
  // A dynamic button: a click sends message 0x406 to this window with the two values
  // instead of a command to the button's own window.
  Window* clickTarget = nullptr;
  uint32_t clickFirst = 0, clickSecond = 0;
};

// Events a backend delivers to a window (always on the UI thread).
enum class Event { Clicked, SelectionChanged, CheckChanged, LinkActivated };

class Window {
 public:
  Window(int templateId, std::string caption, int width, int height);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  int templateId() const { return templateId_; }
  const std::string& caption() const { return caption_; }
  void setCaption(const std::string& caption);
  int width() const { return width_; }
  int height() const { return height_; }
  void resize(int width, int height);
  // The frame: a window without a system menu has no close box; one centred on its owner
  // opens over the middle of it (else where the system puts it).
  void setSystemMenu(bool on) { systemMenu_ = on; }
  bool hasSystemMenu() const { return systemMenu_; }
  void setCentredOnOwner(bool on) { centredOnOwner_ = on; }
  bool centredOnOwner() const { return centredOnOwner_; }
  Window* parent() const { return parent_; }
  void setParent(Window* parent) { parent_ = parent; }

  // Controls. The reference returned lasts until the next addControl.
  Control& addControl(int id, ControlKind kind, Rect rect, const std::string& text = "");
  Control* control(int id);
  const Control* control(int id) const;
  const std::vector<Control>& controls() const { return controls_; }
  void setText(int id, const std::string& text);
  std::string text(int id) const;
  void enable(int id, bool enabled);
  bool isEnabled(int id) const;
  void show(int id, bool visible);
  bool isVisible(int id) const;
  void setImage(int id, const std::string& image);
  void setTooltip(int id, const std::string& tip);
  void moveControl(int id, Rect rect);
  // DestroyWindow on a child: the control goes (nothing happens for an unknown id).
  void removeControl(int id);
  void setProgressRange(int id, int low, int high);
  void setProgressPosition(int id, int position);
  int progressPosition(int id) const;
  void setItems(int id, std::vector<std::string> items);
  void setSelection(int id, int index);
  int selection(int id) const;
  void setCheck(int id, int check);
  int check(int id) const;
  void setTreeItems(int id, std::vector<TreeItem> items);
  // Any other change made through control(id): tells the backend to redraw it.
  void controlChanged(int id);

  // Modal run: shows the window, delivers events until endDialog, hides it. Returns the
  // code given to endDialog.
  int doModal();
  void endDialog(int code);
  // Modeless: shown until destroyWindow.
  void createModeless(Window* parent = nullptr);
  void destroyWindow();
  bool isOpen() const { return open_.load(); }
  // True once endDialog was called in the current run; a backend's loop stops then.
  bool ended() const { return ended_.load(); }
  int result() const { return result_; }
  // Lets queued events, timers and repaints through while the UI thread is busy (a
  // modeless notice during long work on the UI thread).
  static void pumpMessages();

  // Timers tick on the UI thread into onTimer.
  void setTimer(int id, int periodMs);
  void killTimer(int id);
  bool hasTimer(int id) const;

  // SendMessage: runs onMessage on the UI thread and returns its result. From another
  // thread the caller waits until the UI thread has handled it; once the window is
  // closed, it returns 0 at once without waiting.
  long sendMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);
  // PostMessage: queued; dropped when the window is closed by then.
  void postMessage(unsigned msg, uintptr_t wParam, intptr_t lParam);

  // What a user does: used by the backends (and by scripts through them). A control
  // that is disabled or hidden takes no input: the call is ignored.
  // click: 2 -> onCancel (also without a control: the close box), 1 -> onOK, any other id
  // -> onCommand. A check box toggles its check first (a click is BN_CLICKED); a radio
  // button is checked (its dialog clears the others of its group); a dynamic button sends
  // its message to its target window.
  void click(int id);
  // Combo box or tab: sets the selection, then onNotify(id, SelectionChanged).
  void userSelect(int id, int index);
  // Check box: sets the check, then onCommand(id) as a click would.
  void userCheck(int id, int check);
  // Tree with check boxes: sets the item's check, then onNotify(id, CheckChanged).
  void userCheckItem(int id, int item, bool checked);
  // Hyperlink: onNotify(id, LinkActivated).
  void activateLink(int id);
  // Timer tick from a backend: calls onTimer while the window is open and the timer set.
  void deliverTimer(int id);

  // Event handlers.
  virtual void onInitDialog() {}
  virtual void onCommand(int id) {}
  virtual void onNotify(int id, Event event) {}
  virtual void onTimer(int id) {}
  virtual long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) { return 0; }
  virtual void onOK() { endDialog(1); }
  // The cancel command: button 2, Escape or the close box.
  virtual void onCancel() { endDialog(2); }
  virtual void onDestroy() {}

  // Called by backends around showing the window.
  void beginShow();
  void endShow();

 protected:
  // The control that receives a click of id (the sheet looks into its active page too).
  virtual const Control* commandControl(int id) const { return control(id); }
  // Windows owned by this one that close with it (the pages of a sheet).
  virtual void closeOwned() {}

 private:
  void notifyChanged(int id);
  Control* find(int id, const char* method);
  const Control* find(int id, const char* method) const;

  int templateId_;
  std::string caption_;
  int width_, height_;
  bool systemMenu_ = true;
  bool centredOnOwner_ = false;
  Window* parent_ = nullptr;
  std::vector<Control> controls_;
  std::atomic<bool> open_{false};
  std::atomic<bool> ended_{false};
  int result_ = 0;
  std::map<int, int> timers_;
  // Keeps sendMessage callers from waiting on a closed window.
  std::shared_ptr<struct WindowLife> life_;
  friend class Backend;
};

}  // namespace ui
