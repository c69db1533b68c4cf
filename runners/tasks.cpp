#include "runners/tasks.h"

#include <cctype>
#include <vector>

#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/internet.h"
#include "platform/win_types.h"
#include "runners/custom_exception.h"
#include "runners/unzipper.h"

namespace files = platform::files;
namespace internet = platform::internet;

namespace tasks {

namespace {

// Large blocks keep the writes few; a block never runs past the next report point (see the
// read loop), so the reports and the cancellation points between blocks stay where the user
// expects them.
constexpr size_t kBlock = 128 * 1024;

TaskResult result(Outcome outcome, int code = 0, std::string text = {}) {
  return TaskResult{outcome, code, std::move(text)};
}

bool isFolder(const std::string& path) {
  unsigned long attributes = files::getAttributes(path);
  return attributes != win::INVALID_FILE_ATTRIBUTES &&
         (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void deleteIfPresent(const std::string& path) {
  if (!fileExists(path) || isFolder(path)) return;
  files::setAttributes(path, win::FILE_ATTRIBUTE_ARCHIVE);
  files::deleteFile(path);
}

// The announced length as the server wrote it: plain decimal digits or nothing usable.
bool readLength(const std::string& text, int64_t& length) {
  if (text.empty() || text.size() > 18) return false;
  length = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    length = length * 10 + (c - '0');
  }
  return true;
}

// The body into the temporary file, then the file onto the target.
TaskResult fetch(const TransferRequest& request, const platform::CancelToken& cancel,
                 const TransferCallback& progress) {
  CCustomSession session(cancel.flag());
  internet::ParsedUrl url;
  if (!internet::parseUrl(request.url, url)) throwCustomException(-1001);
  if (url.service != internet::Service::Http) throwCustomException(-1002);
  auto http = session.openRequest(url.server, url.port, url.object);
  if (cancel.cancelled()) return result(Outcome::Cancelled);

  int status = http->send();
  if (status == 401) {
    if (cancel.cancelled()) return result(Outcome::Cancelled);
    std::string user, password;
    if (!request.askCredentials || !request.askCredentials(url.server, user, password))
      throwCustomException(-1003);
    http->setCredentials(user, password);
    status = http->send();
  }
  if (status == 301 || status == 302 || status == 303) throwCustomException(-1004);
  if (status != 200) throwCustomException(status);
  if (cancel.cancelled()) return result(Outcome::Cancelled);

  int64_t announced = 0;
  if (auto length = http->header("Content-Length"); length && !readLength(*length, announced))
    // A length that is no number cannot be checked against the body: the answer is as
    // broken as one cut short.
    throw internet::InternetException(12031, "The connection with the server was reset");
  auto file = files::OutputFile::create(request.temporaryPath);
  if (!file) return result(Outcome::Failed, 0, "temporary file not created");
  if (progress) progress({TransferProgress::Stage::Started, 0, announced});

  std::vector<char> buffer(kBlock);
  int64_t received = 0, reported = 0;
  for (;;) {
    // Ending a block one byte past the next 100 KB step gives each report the count of
    // whole KB a reader of small blocks would report there (100, 200, ...).
    int64_t toReport = reported + kReportStep + 1 - received;
    size_t want = toReport < static_cast<int64_t>(kBlock) ? static_cast<size_t>(toReport) : kBlock;
    size_t got = http->read(buffer.data(), want);
    if (got == 0) break;
    if (cancel.cancelled()) return result(Outcome::Cancelled);
    if (!file->write(buffer.data(), got)) return result(Outcome::Failed, 0, "write failed");
    received += static_cast<int64_t>(got);
    if (received - reported > kReportStep) {
      reported += kReportStep;
      if (progress) progress({TransferProgress::Stage::Received, received, announced});
    }
  }
  if (!file->close()) return result(Outcome::Failed, 0, "close failed");
  file.reset();

  // A plain replacing rename: the data is complete once written, and asking the file layer
  // to write through here would only flush the whole download to the disk a second time.
  if (fileExists(request.targetPath))
    files::setAttributes(request.targetPath, win::FILE_ATTRIBUTE_ARCHIVE);
  if (isFolder(request.targetPath) ||
      !files::moveFileEx(request.temporaryPath, request.targetPath,
                         win::MOVEFILE_REPLACE_EXISTING))
    return result(Outcome::NotPlaced, 0, "Error. Unable to process the downloaded file");
  return result(Outcome::Done);
}

}  // namespace

void restoreBackup(const std::string& targetPath, const std::string& backupPath) {
  if (!fileExists(targetPath) && fileExists(backupPath))
    files::moveFileEx(backupPath, targetPath,
                      win::MOVEFILE_REPLACE_EXISTING | win::MOVEFILE_WRITE_THROUGH);
  deleteIfPresent(backupPath);
}

TaskResult transfer(const TransferRequest& request, const platform::CancelToken& cancel,
                    const TransferCallback& progress) {
  if (request.replaceExisting && !isFolder(request.targetPath)) {
    if (fileExists(request.targetPath)) moveFileReplacing(request.backupPath, request.targetPath);
    deleteIfPresent(request.targetPath);
  }
  // Whatever stands at the target is the download only when it is a file.
  if (isFolder(request.targetPath))
    return result(Outcome::NotPlaced, 0, "Error. Unable to process the downloaded file");
  if (fileExists(request.targetPath)) return result(Outcome::Done);

  TaskResult outcome;
  try {
    outcome = fetch(request, cancel, progress);
  } catch (const CCustomException& e) {
    outcome = result(Outcome::DownloadError, e.code, downloadErrorText(e.code));
  } catch (const internet::InternetException& e) {
    std::string text = e.what();
    if (text.size() > 1023) text.resize(1023);
    outcome = result(Outcome::NetworkError, static_cast<int>(e.error()), text);
  } catch (const std::exception& e) {
    outcome = result(Outcome::Failed, 0, e.what());
  }
  // A stop request wins over whatever the network said while it was being torn down.
  if (!outcome.ok() && cancel.cancelled()) outcome = result(Outcome::Cancelled);
  // The previous file comes back unless the new one took its place.
  if (outcome.ok())
    deleteIfPresent(request.backupPath);
  else
    restoreBackup(request.targetPath, request.backupPath);
  return outcome;
}

TaskResult extract(const std::string& archivePath, const std::string& targetFolder,
                   const platform::CancelToken& cancel, const ExtractionCallback& progress) {
  CUnzipper unzipper;
  if (!unzipper.openArchive(archivePath))
    return result(Outcome::Failed, 0, "Unable to open the archive " + archivePath);
  bool ok = unzipper.unzipTo(targetFolder, &cancel, progress);
  unzipper.closeArchive();
  if (cancel.cancelled()) return result(Outcome::Cancelled);
  if (!ok) return result(Outcome::Failed, 0, "Unable to extract " + archivePath);
  return result(Outcome::Done);
}

TaskResult remove(const Removal& removal, const platform::CancelToken& cancel) {
  bool removed = removal && removal(cancel);
  if (cancel.cancelled()) return result(Outcome::Cancelled);
  return removed ? result(Outcome::Done) : result(Outcome::Failed);
}

}  // namespace tasks
