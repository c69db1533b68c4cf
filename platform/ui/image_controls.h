#pragma once
// The picture controls: image buttons, image statics, the banner header and the dynamic
// button. Each is a handle on a control of a window; the control keeps the picture's size
// and a copy of its PNG data, which the backend decodes to draw. No Qt here: the size comes
// from the PNG's own header, checked here.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/window.h"

namespace ui {

struct ImageSize {
  int width = 0, height = 0;
};

// The size a PNG declares, once its signature and its IHDR chunk (length, CRC, a size above
// zero, a valid depth for its colour type) check out; nothing for anything else.
std::optional<ImageSize> pngSize(const std::string& data);

// Picture resources are files named by number ("191.png", "129.bmp") in a resource folder:
// the one set here, then $CORVANTA_RES_DIR, then the backend's defaults.
void setResourceDir(const std::string& dir);
void setDefaultResourceDirs(std::vector<std::string> dirs);
// Path of the resource with that name (with or without its extension), or empty.
std::string findResource(const std::string& name);

class mxImageButton {
 public:
  // The image button id of window; added at rect when the window has no such control.
  mxImageButton(Window& window, int id, Rect rect = {});
  virtual ~mxImageButton() = default;

  // 1: loaded, the control resized to the picture; 0: the data is no PNG it can read;
  // -1: no such resource, or an empty one. Any earlier picture is released first.
  int loadPngResource(int number);
  // A picture file of the machine: 1 loaded, 0 not.
  int loadImageFile(const std::string& path);
  int width() const;
  int height() const;
  int id() const { return id_; }

 protected:
  mxImageButton(Window& window, int id, Rect rect, ControlKind kind);
  Control* control() const { return window_.control(id_); }
  int load(const std::string& data, const std::string& name);

  Window& window_;
  int id_;
};

// A picture that cannot be pressed; its picture is always the information resource.
class mxImageStatic : public mxImageButton {
 public:
  static constexpr int kResource = 206;
  mxImageStatic(Window& window, int id, Rect rect = {});
  int loadPngResource() { return mxImageButton::loadPngResource(kResource); }
};

// The banner of pages and progress dialogs: its bitmap at (0, 0) framed in black, the title
// at (20, 15) and the subtitle at (20, 35) in a bold font of height 16. The owner sizes it.
class mxComponentInstallHeader {
 public:
  static Control& create(Window& owner, int id, Rect rect, const std::string& title,
                         const std::string& subtitle, int bitmap);
};

// An image button whose click sends kDynamicButtonMessage to its owner window, at once and
// synchronously, with the first value as wParam and the second as lParam.
class DDynamicButton : public mxImageButton {
 public:
  using mxImageButton::mxImageButton;
  void setOwner(Window* owner, uint32_t first, uint32_t second);
};

}  // namespace ui
