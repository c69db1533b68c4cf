#pragma once
// The long operations as plain functions: each takes its inputs as values, a cancel token
// and a progress callback, and returns a result. They show nothing; the runner dialogs and
// any caller without a dialog decide what the user sees.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/cancel.h"

namespace tasks {

enum class Outcome {
  Done,
  Cancelled,     // stopped by its token; nothing is to be reported
  DownloadError, // code: the download error (HTTP status or -1001 .. -1004); text: its words
  NetworkError,  // text: the platform's words for the failure
  NotPlaced,     // the file could not be put at its place
  Failed,        // anything else
};

// What a task ends with: its outcome, the code behind it and the system's text for it.
struct TaskResult {
  Outcome outcome = Outcome::Done;
  int code = 0;
  std::string text;
  bool ok() const { return outcome == Outcome::Done; }
  bool cancelled() const { return outcome == Outcome::Cancelled; }
};

// ---- transfer: one URL into one file.

struct TransferRequest {
  std::string url;
  std::string targetPath;
  std::string temporaryPath;  // written first, renamed onto the target when complete
  std::string backupPath;     // where an existing target waits while it is replaced
  bool replaceExisting = false;
  // Asked once when the server wants a user name and password; none: the transfer fails.
  std::function<bool(const std::string& server, std::string& user, std::string& password)>
      askCredentials;
};

struct TransferProgress {
  enum class Stage { Started, Received } stage = Stage::Started;
  int64_t received = 0;  // bytes
  int64_t total = 0;     // bytes announced, 0 when unknown
};
using TransferCallback = std::function<void(const TransferProgress&)>;

// Every reportStep bytes a Received report; Started once the temporary file is open.
constexpr int64_t kReportStep = 102400;

// Fetches the URL into the target through the temporary file. An existing target is kept
// unless replaceExisting: then it is set aside as the backup, dropped once the new file is in
// place and put back when the transfer fails or is cancelled. A target that already exists
// (and is not replaced) is Done without a transfer; a folder in its place is NotPlaced.
TaskResult transfer(const TransferRequest& request, const platform::CancelToken& cancel,
                    const TransferCallback& progress = {});

// Puts the backup back when the target is missing, and drops the backup in any case.
void restoreBackup(const std::string& targetPath, const std::string& backupPath);

// ---- extraction: every entry of a ZIP archive below a folder.

// Reports after each entry (entries done, entries in all).
using ExtractionCallback = std::function<void(int done, int total)>;
TaskResult extract(const std::string& archivePath, const std::string& targetFolder,
                   const platform::CancelToken& cancel, const ExtractionCallback& progress = {});

// ---- removal: whatever removes a component, on the caller's thread.

using Removal = std::function<bool(const platform::CancelToken&)>;
TaskResult remove(const Removal& removal, const platform::CancelToken& cancel);

}  // namespace tasks
