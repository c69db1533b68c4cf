#pragma once
// Links of the wizard: web addresses open in the browser; PDF and PNG documents are fetched
// once into the resources folder and opened from there.
#include <functional>
#include <string>

#include "platform/ui/window.h"

// A target is a document when it ends in ".pdf" or ".png", in any letter case.
bool isFileLink(const std::string& text);
// The document's file name: the text after the last "\" or "/" of a file link.
bool fileNameOfLink(const std::string& text, std::string& fileName);

// Opens a link target: 1 on success, else -1 with errorCode the shell's answer, or -1 (the
// name cannot be read), -2 (the download failed) or -3 (the fetched file is not there).
int openResourceLink(const std::string& target, const std::string& name, int& errorCode,
                     ui::Window* owner);

// The text shown for an error code of a failed link.
std::string hyperlinkErrorText(int code);

// A link control of a window: underlined text that sizes itself to its text and opens its
// target when clicked.
class DDynamicHyperlink {
 public:
  // Alignment styles of the static control, as the sizing keeps them.
  static constexpr unsigned SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_CENTERIMAGE = 0x200;
  static constexpr const char* kDefaultTarget = "https://www.brenholm.example/";

  virtual ~DDynamicHyperlink() = default;

  void createLink(ui::Window& parent, const std::string& text, unsigned style, ui::Rect rect,
                  const std::string& target, int id);
  // Resizes the control to its text, keeping the edge or centre its style names.
  void sizeToText();
  void setText(const std::string& text);
  // The click: the target opens, or the reason it did not is shown.
  virtual void onClick();

  int id() const { return id_; }
  const std::string& target() const { return target_; }

 protected:
  ui::Window* parent_ = nullptr;

 private:
  std::string target_ = kDefaultTarget;
  unsigned style_ = 0;
  int id_ = 0;
};

// The welcome page's link to a newer installer: its click opens the new-version dialog.
class DDynamicHyperlinkNewVersionAvailable : public DDynamicHyperlink {
 public:
  explicit DDynamicHyperlinkNewVersionAvailable(std::function<void()> showNewVersion)
      : showNewVersion_(std::move(showNewVersion)) {}
  void onClick() override {
    if (showNewVersion_) showNewVersion_();
  }

 private:
  std::function<void()> showNewVersion_;
};
