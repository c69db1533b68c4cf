#include "runners/download_and_install_component.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/debug.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/installer_caption.h"
#include "platform/process.h"
#include "platform/shell.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "runners/tasks.h"

namespace files = platform::files;

struct DDownloadAndInstallComponent::Job {
  std::shared_ptr<WorkerLink> link;
  // Copies: a detached worker must not reach into the caller's item.
  std::string url, arguments;
  bool isMsiPackage = false;
  bool downloadOnly = true, replaceExisting = false, showErrors = true;
  std::string temporaryPath, targetPath, backupPath;
  std::atomic<long> totalSizeKB{0};
};

namespace {

using Job = DDownloadAndInstallComponent::Job;
constexpr unsigned kNotify = DDownloadAndInstallComponent::WM_RUNNER_NOTIFY;
constexpr size_t kMaxPath = win::MAX_PATH;

void notify(Job& job, int code, const char* text = nullptr) {
  job.link->send(kNotify, static_cast<uintptr_t>(code), reinterpret_cast<intptr_t>(text));
}

void showError(const Job& job, const std::string& text) {
  if (job.showErrors) ui::messageBox(nullptr, text, "", win::MB_OK);
}

void createFolderPath(const std::string& folder) {
  if (folder.empty() || files::getAttributes(folder) != win::INVALID_FILE_ATTRIBUTES) return;
  // Level by level; a failure (a drive "C:", a level that exists) is of no interest.
  for (size_t i = 1; i < folder.size(); ++i)
    if (folder[i] == '/' || folder[i] == '\\') files::createDirectory(folder.substr(0, i));
  if (files::getAttributes(folder) == win::INVALID_FILE_ATTRIBUTES) files::createDirectory(folder);
}

// The download stage: the transfer task, its reports turned into the dialog's notices.
tasks::TaskResult download(Job& job) {
  tasks::TransferRequest request;
  request.url = job.url;
  request.targetPath = job.targetPath;
  request.temporaryPath = job.temporaryPath;
  request.backupPath = job.backupPath;
  request.replaceExisting = job.replaceExisting;
  request.askCredentials = [](const std::string& server, std::string& user,
                              std::string& password) {
    return ui::backend().askCredentials(server, user, password);
  };
  return tasks::transfer(request, job.link->token, [&job](const tasks::TransferProgress& p) {
    if (p.stage == tasks::TransferProgress::Stage::Started) {
      job.totalSizeKB = static_cast<long>(p.total / 1024);
      notify(job, DDownloadAndInstallComponent::kStarted);
    } else {
      std::string kb = std::to_string(p.received / 1024);
      notify(job, DDownloadAndInstallComponent::kProgress, kb.c_str());
    }
  });
}

// Starts the downloaded installer and waits for it; false when the wait was cancelled.
bool runInstaller(Job& job) {
  std::string program, commandLine;
  if (job.isMsiPackage) {
    program = platform::shell::systemDirectory() + "\\msiexec.exe";
    commandLine = program + " /i \"" + job.targetPath + "\" " +
                  (job.arguments.empty() ? std::string("/passive") : job.arguments);
  } else {
    if (job.arguments.empty()) return true;
    program = job.targetPath;
    // The catalogue's arguments keep the program-name position empty (" /q "), so the
    // command line is the arguments text as it is.
    commandLine = job.arguments == "CopyEXEFullPath" ? job.targetPath : job.arguments;
  }
  unsigned long exitCode = 0;
  bool waited =
      platform::process::startAndWait(program, commandLine, &exitCode, job.link->token.flag());
  if (!waited && !job.link->cancelled())
    platform::debugOutput("DDownloadAndInstallComponent::runInstaller - Unable to start " +
                          program + "\n");
  return !job.link->cancelled();
}

// The worker; its result is the thread result of the original (0 for a quiet end).
int runWorker(Job& job) {
  int result = job.downloadOnly ? DDownloadAndInstallComponent::kDownloaded
                                : DDownloadAndInstallComponent::kInstalled;
  try {
    if (job.temporaryPath.size() >= kMaxPath) {
      notify(job, DDownloadAndInstallComponent::kFailed);
      showError(job, "Error. Download path too long. Please copy the installer EXE to shorter "
                     "path and try again.");
      job.link->sleepFor(5000);
      return 0;
    }
    tasks::TaskResult fetched = download(job);
    if (fetched.cancelled() || job.link->cancelled()) return 0;
    switch (fetched.outcome) {
      case tasks::Outcome::Done:
        break;
      case tasks::Outcome::DownloadError:
      case tasks::Outcome::NetworkError:
        showError(job, "Error. Unable to download file - " + fetched.text);
        result = DDownloadAndInstallComponent::kFailed;
        break;
      case tasks::Outcome::NotPlaced:
        showError(job, fetched.text);
        result = DDownloadAndInstallComponent::kFailed;
        break;
      default:
        throw std::runtime_error(fetched.text);
    }
    if (!job.downloadOnly && result != DDownloadAndInstallComponent::kFailed) {
      notify(job, DDownloadAndInstallComponent::kDownloaded);
      if (fileExists(job.targetPath)) {
        if (!runInstaller(job)) return 0;
        result = DDownloadAndInstallComponent::kInstalled;
      }
    }
    notify(job, result);
    return result;
  } catch (...) {
    if (job.link->cancelled()) return 0;
    showError(job, job.downloadOnly
                       ? "Error. Unable to download the component - Unexpected error"
                       : "Error. Unable to install the component - Unexpected error");
    notify(job, DDownloadAndInstallComponent::kFailed);
    return DDownloadAndInstallComponent::kFailed;
  }
}

std::string format(const char* pattern, long a, long b) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, a, b);
  return text;
}

void pause100ms() { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

}  // namespace

DDownloadAndInstallComponent::DDownloadAndInstallComponent(int index, int count,
                                                           const DownloadItem& e,
                                                           bool downloadOnly,
                                                           bool replaceExisting, bool showErrors)
    : ui::Window(kTemplateId, "Download and Install Components", ui::dluX(334), ui::dluY(212)),
      job_(std::make_shared<Job>()),
      index_(index),
      count_(count),
      downloadOnly_(downloadOnly) {
  componentName_ = e.name;
  temporaryPath_ = e.downloadFolder + "\\" + e.fileName + "tmp";
  targetPath_ = e.downloadFolder + "\\" + e.fileName;
  backupPath_ = e.downloadFolder + "\\" + e.fileName + "bk";
  createFolderPath(e.downloadFolder);

  job_->link = std::make_shared<WorkerLink>(this);
  job_->url = e.url;
  job_->arguments = e.arguments;
  job_->isMsiPackage = e.isMsiPackage;
  job_->downloadOnly = downloadOnly;
  job_->replaceExisting = replaceExisting;
  job_->showErrors = showErrors;
  job_->temporaryPath = temporaryPath_;
  job_->targetPath = targetPath_;
  job_->backupPath = backupPath_;

  using ui::ControlKind;
  addControl(IDC_LINE1, ControlKind::Static, ui::dluRect(14, 68, 306, 10),
             "Downloading component... Please wait...");
  addControl(IDC_LINE2, ControlKind::Static, ui::dluRect(14, 82, 306, 10), "Downloaded 0 KB");
  ui::Control& bar = addControl(IDC_PROGRESS, ControlKind::Progress, ui::dluRect(14, 98, 306, 12));
  bar.rangeMin = 0;
  bar.rangeMax = 1000;
  addControl(IDC_LINE3, ControlKind::Static, ui::dluRect(14, 116, 306, 10),
             "Installing... Please wait...");
  addControl(IDC_ABORT, ControlKind::Button, ui::dluRect(142, 190, 50, 14), "Abort");
}

DDownloadAndInstallComponent::~DDownloadAndInstallComponent() { stopWorker(); }

long DDownloadAndInstallComponent::totalSizeKB() const { return job_->totalSizeKB.load(); }

void DDownloadAndInstallComponent::stopWorker() {
  worker_.stop("DDownloadAndInstallComponent");
}

bool DDownloadAndInstallComponent::deleteDownloadedFiles() {
  bool result = true;
  if (fileExists(temporaryPath_)) {
    files::setAttributes(temporaryPath_, win::FILE_ATTRIBUTE_ARCHIVE);
    result = files::deleteFile(temporaryPath_);
  }
  if (fileExists(targetPath_)) {
    files::setAttributes(targetPath_, win::FILE_ATTRIBUTE_ARCHIVE);
    if (!files::deleteFile(targetPath_)) return false;
  }
  return result;
}

void DDownloadAndInstallComponent::onInitDialog() {
  char title[256];
  std::snprintf(title, sizeof title,
                downloadOnly_ ? "Downloading component %d of %d" : "Installing component %d of %d",
                index_, count_);
  stepTitle_ = title;
  setCaption(std::string(kInstallerCaption) +
             (downloadOnly_ ? " - Download Component Installables"
                            : " - Download and Install Components"));

  ui::Rect band{0, 0, width(), 100};
  if (!control(IDC_HEADER)) addControl(IDC_HEADER, ui::ControlKind::Header, band);
  ui::Control* header = control(IDC_HEADER);
  header->rect = band;
  header->text = stepTitle_;
  header->subtitle = componentName_;
  header->image = "138";
  header->visible = true;
  controlChanged(IDC_HEADER);

  line1_ = "Downloading component... Please wait...";
  line2_.clear();
  line3_.clear();
  setProgressRange(IDC_PROGRESS, 0, 1000);
  setProgressPosition(IDC_PROGRESS, 0);
  updateLines();

  auto job = job_;
  worker_.start(job->link, [job] { runWorker(*job); });
}

void DDownloadAndInstallComponent::updateLines() {
  setText(IDC_LINE1, line1_);
  setText(IDC_LINE2, line2_);
  setText(IDC_LINE3, line3_);
}

void DDownloadAndInstallComponent::restoreBackup() {
  tasks::restoreBackup(targetPath_, backupPath_);
}

long DDownloadAndInstallComponent::onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  if (msg != WM_RUNNER_NOTIFY) return 0;
  long total = job_->totalSizeKB.load();
  switch (static_cast<int>(wParam)) {
    case kStarted:
      line2_ = format("Downloaded 0 KB from %ld KB", total, 0);
      break;
    case kProgress: {
      const char* text = reinterpret_cast<const char*>(lParam);
      long kb = text ? std::atol(text) : 0;
      line2_ = format("Downloaded %ld KB from %ld KB", kb, total);
      // Without an announced size the bar stays where it is.
      if (total > 0) {
        long long position = static_cast<long long>(kb) * 1000 / total;
        setProgressPosition(IDC_PROGRESS, static_cast<int>(position > 1000 ? 1000 : position));
      }
      break;
    }
    case kDownloaded:
      line1_ = "Download completed";
      line2_.clear();
      restoreBackup();
      if (downloadOnly_) {
        updateLines();
        pause100ms();
        endDialog(win::IDOK);
        return 0;
      }
      line3_ = "Installing... Please wait...";
      setProgressPosition(IDC_PROGRESS, 0);
      setTimer(kInstallTimer, 750);
      break;
    case kFailed:
      restoreBackup();
      line1_ = downloadOnly_
                   ? "Download failed. Please abort the current operation and try again."
                   : "Download failed. Please abort the installation and try again.";
      line2_.clear();
      line3_.clear();
      setProgressPosition(IDC_PROGRESS, 1000);
      updateLines();
      pause100ms();
      endDialog(win::IDCANCEL);
      return 0;
    case kInstalled:
      line3_ = "Installation completed";
      setProgressPosition(IDC_PROGRESS, 1000);
      killTimer(kInstallTimer);
      updateLines();
      pause100ms();
      endDialog(win::IDOK);
      return 0;
    default:
      return 0;
  }
  updateLines();
  return 0;
}

void DDownloadAndInstallComponent::onTimer(int id) {
  if (id != kInstallTimer) return;
  int position = progressPosition(IDC_PROGRESS);
  if (position < 1000) setProgressPosition(IDC_PROGRESS, position + 1);
}

void DDownloadAndInstallComponent::onCancel() {
  const char* question = downloadOnly_
                             ? "Do you want to abort download of the selected components?"
                             : "Do you want to abort installation of the selected components?";
  // The worker goes on; it is stopped when the dialog object goes away.
  if (ui::messageBox(this, question, "Confirmation", win::MB_YESNO | win::MB_ICONQUESTION) ==
      win::IDYES)
    endDialog(win::IDCANCEL);
}
