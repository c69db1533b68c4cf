#pragma once
// What every HTTP download shares: the session, the download error with its code, the
// texts of those codes, and the dialog that lets the user decide how a batch goes on after
// a failed download.
#include <atomic>
#include <exception>
#include <string>

#include "platform/internet.h"
#include "platform/ui/window.h"

// The internet session of one download; the agent text is the system's own.
class CCustomSession : public platform::internet::Session {
 public:
  // cancel, when given, ends network waits as soon as it becomes true.
  explicit CCustomSession(const std::atomic<bool>* cancel = nullptr);
};

// A download failure: a positive code is the HTTP status the server answered, a negative
// one a download error (-1001 .. -1004, or a caller's own codes).
class CCustomException : public std::exception {
 public:
  explicit CCustomException(int code = 0);
  const char* what() const noexcept override { return text_.c_str(); }
  int code;

 private:
  std::string text_;
};

[[noreturn]] void throwCustomException(int code);

// The text the user sees for a download error code (at most 1023 characters).
std::string downloadErrorText(int code);

// Download failure options: Retry, Ignore, Ignore All or Quit.
class DDownloadErrorHandlingOption : public ui::Window {
 public:
  static constexpr int kTemplateId = 178;
  static constexpr int IDC_MESSAGE = 1192;
  static constexpr int IDC_RETRY = 1151;
  static constexpr int IDC_IGNORE = 1148;
  static constexpr int IDC_IGNORE_ALL = 1149;
  static constexpr int IDC_QUIT = 1150;
  // Values of choice.
  static constexpr int kQuit = 0;
  static constexpr int kRetry = 1;
  static constexpr int kIgnore = 2;
  static constexpr int kIgnoreAll = 3;

  DDownloadErrorHandlingOption();

  void onInitDialog() override;
  void onCommand(int id) override;
  void onCancel() override;

  int choice = 0;
  std::string message;
};
