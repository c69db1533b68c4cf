#include "pages/hyperlink.h"

#include "engine/app_context.h"
#include "engine/component_entry.h"
#include "engine/install_manager.h"
#include "platform/file_helpers.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

namespace {

std::string lowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// A document name from the server names one file in the resources folder and nothing else.
bool isPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' ||
        c == '<' || c == '>' || c == '|')
      return false;
  return name.find("..") == std::string::npos;
}

void showMessage(ui::Window* owner, const std::string& text) {
  ui::messageBox(owner, text, kInstallerCaption, win::MB_OK);
}

}  // namespace

bool isFileLink(const std::string& text) {
  if (text.size() < 4) return false;
  std::string tail = lowerAscii(text.substr(text.size() - 4));
  return tail == ".pdf" || tail == ".png";
}

bool fileNameOfLink(const std::string& text, std::string& fileName) {
  size_t sep = text.find_last_of("\\/");
  if (!isFileLink(text) || sep == std::string::npos) return false;
  fileName = text.substr(sep + 1);
  return true;
}

int openResourceLink(const std::string& target, const std::string& name, int& errorCode,
                     ui::Window* owner) {
  errorCode = 0;
  const std::string folder = appContext().applicationFolder + "\\_CorvantaInstallData\\Resources";
  if (!isFileLink(target)) {
    long r = platform::shell::shellExecute("open", target, "", "");
    if (r > 32) return 1;
    errorCode = static_cast<int>(r);
    return -1;
  }
  std::string fileName;
  if (!fileNameOfLink(target, fileName) || !isPlainFileName(fileName)) {
    showMessage(owner,
                "Error: Unable to parse the download path for the selected resource. Please "
                "try again.");
    errorCode = -1;
    return -1;
  }
  ComponentEntry entry(name.c_str(), target.c_str(), fileName.c_str(), "", folder.c_str(), false,
                       false, nullptr, nullptr, nullptr, "");
  mxInstallManagerBase downloads;
  if (downloads.downloadComponent(entry, 1, 1) <= 0) {
    errorCode = -2;
    return -1;
  }
  const std::string local = folder + "\\" + fileName;
  if (!fileExists(local)) {
    showMessage(owner, "Error: Unable to locate the selected resource. Please try again.");
    errorCode = -3;
    return -1;
  }
  long r = platform::shell::shellExecute("open", local, "", "");
  if (r > 32) return 1;
  errorCode = static_cast<int>(r);
  return -1;
}

std::string hyperlinkErrorText(int code) {
  switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
             "being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: return "Unknown Error (" + std::to_string(code) + ") occurred.";
  }
}

void DDynamicHyperlink::createLink(ui::Window& parent, const std::string& text, unsigned style,
                                   ui::Rect rect, const std::string& target, int id) {
  parent_ = &parent;
  target_ = target;
  style_ = style;
  id_ = id;
  parent.addControl(id, ui::ControlKind::Hyperlink, rect, text);
  sizeToText();
}

void DDynamicHyperlink::setText(const std::string& text) {
  if (parent_) parent_->setText(id_, text);
}

void DDynamicHyperlink::sizeToText() {
  ui::Control* c = parent_ ? parent_->control(id_) : nullptr;
  if (!c) return;
  // The model measures with the dialog font's average character; the renderer draws the
  // text with the real font inside this box.
  const int width = ui::dluX(4 * static_cast<int>(c->text.size())) + 1;
  const int height = ui::dluY(8) + 1;
  ui::Rect r = c->rect;
  if (style_ & SS_CENTER) {
    int centre = (r.left + r.right) / 2;
    r.left = centre - width / 2;
  } else if (style_ & SS_RIGHT) {
    r.left = r.right - width;
  }
  r.right = r.left + width;
  if (style_ & SS_CENTERIMAGE) {
    int middle = (r.top + r.bottom) / 2;
    r.top = middle - height / 2;
  }
  r.bottom = r.top + height;
  parent_->moveControl(id_, r);
}

void DDynamicHyperlink::onClick() {
  if (!parent_) return;
  int code = 0;
  const ui::Control* c = parent_->control(id_);
  if (openResourceLink(target_, c ? c->text : "", code, parent_) <= 0)
    showMessage(parent_, "Unable to open hyperlink:\n\n" + hyperlinkErrorText(code));
}
