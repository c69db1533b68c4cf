#include "runners/custom_exception.h"

#include "platform/win_types.h"

CCustomSession::CCustomSession(const std::atomic<bool>* cancel)
    : platform::internet::Session("Internet Session", cancel) {}

CCustomException::CCustomException(int errorCode)
    : code(errorCode), text_(downloadErrorText(errorCode)) {}

void throwCustomException(int code) { throw CCustomException(code); }

std::string downloadErrorText(int code) {
  std::string text = "Unexpected error";
  if (code >= 1) {
    text = "Server responded with HTTP error - " + std::to_string(code);
  } else {
    switch (code) {
      case -1001: text = "Error - Invalid URL"; break;
      case -1002: text = "Error - Server does not provide HTTP service"; break;
      case -1003: text = "Error - Login rejected by the server"; break;
      case -1004: text = "Error - Server Redirection"; break;
      default: break;
    }
  }
  if (text.size() > 1023) text.resize(1023);
  return text;
}

DDownloadErrorHandlingOption::DDownloadErrorHandlingOption()
    : ui::Window(kTemplateId, "Unabe to Download Component", ui::dluX(310), ui::dluY(97)) {
  using ui::ControlKind;
  addControl(IDC_MESSAGE, ControlKind::Static, ui::dluRect(7, 7, 296, 52));
  addControl(IDC_RETRY, ControlKind::Button, ui::dluRect(7, 72, 68, 16), "Retry");
  addControl(IDC_IGNORE, ControlKind::Button, ui::dluRect(82, 72, 68, 16), "Ignore");
  addControl(IDC_IGNORE_ALL, ControlKind::Button, ui::dluRect(157, 72, 68, 16), "Ignore All");
  addControl(IDC_QUIT, ControlKind::Button, ui::dluRect(235, 72, 68, 16), "Quit");
}

void DDownloadErrorHandlingOption::onInitDialog() { setText(IDC_MESSAGE, message); }

void DDownloadErrorHandlingOption::onCommand(int id) {
  switch (id) {
    case IDC_RETRY: choice = kRetry; endDialog(win::IDOK); break;
    case IDC_IGNORE: choice = kIgnore; endDialog(win::IDOK); break;
    case IDC_IGNORE_ALL: choice = kIgnoreAll; endDialog(win::IDOK); break;
    case IDC_QUIT: choice = kQuit; endDialog(win::IDCANCEL); break;
    default: break;
  }
}

// The close box and Escape leave no choice.
void DDownloadErrorHandlingOption::onCancel() {
  choice = kQuit;
  endDialog(win::IDCANCEL);
}
