#pragma once
// The runner through which every file is fetched: a modal progress dialog whose worker
// downloads one entry's file into its download folder (unless it is there already) and,
// in download-and-install mode, runs the installer and waits for it.
#include <atomic>
#include <memory>
#include <string>

#include "platform/ui/window.h"
#include "runners/worker_link.h"

// What the runner needs to know of a component: plain values, so that it depends on no
// catalogue type.
struct DownloadItem {
  std::string name;
  std::string url;
  std::string fileName;
  std::string arguments;
  std::string downloadFolder;
  bool isMsiPackage = false;

  // From anything that carries these fields under these names (a component entry).
  template <class Entry>
  static DownloadItem of(const Entry* entry) {
    if (!entry) return {};
    return {entry->name,      entry->url,           entry->fileName,
            entry->arguments, entry->downloadFolder, entry->isMsiPackage};
  }
};

class DDownloadAndInstallComponent : public ui::Window {
 public:
  static constexpr int kTemplateId = 135;
  static constexpr int IDC_HEADER = 9702;
  static constexpr int IDC_LINE1 = 1004;
  static constexpr int IDC_LINE2 = 1005;
  static constexpr int IDC_LINE3 = 1103;
  static constexpr int IDC_PROGRESS = 1101;
  static constexpr int IDC_ABORT = 2;
  static constexpr int kInstallTimer = 783;
  // The worker's notice (wParam is one of the codes below).
  static constexpr unsigned WM_RUNNER_NOTIFY = 0x400 + 5;
  static constexpr int kStarted = 100;     // response 200, temporary file open
  static constexpr int kProgress = 101;    // lParam: decimal text of the KB received
  static constexpr int kDownloaded = 102;  // download stage over (or skipped)
  static constexpr int kFailed = 103;
  static constexpr int kInstalled = 104;

  // Forms the paths and creates the download folder; fetches nothing.
  DDownloadAndInstallComponent(int index, int count, const DownloadItem& item, bool downloadOnly,
                               bool replaceExisting, bool showErrors);
  template <class Entry>
  DDownloadAndInstallComponent(int index, int count, const Entry* entry, bool downloadOnly,
                               bool replaceExisting, bool showErrors)
      : DDownloadAndInstallComponent(index, count, DownloadItem::of(entry), downloadOnly,
                                     replaceExisting, showErrors) {}
  ~DDownloadAndInstallComponent() override;

  const std::string& targetPath() const { return targetPath_; }
  const std::string& temporaryPath() const { return temporaryPath_; }
  const std::string& backupPath() const { return backupPath_; }
  // Deletes the temporary and the target file; false when the target stays.
  bool deleteDownloadedFiles();
  void stopWorker();

  // The three lines as last written to the controls.
  const std::string& line1() const { return line1_; }
  const std::string& line2() const { return line2_; }
  const std::string& line3() const { return line3_; }
  long totalSizeKB() const;

  void onInitDialog() override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;
  void onTimer(int id) override;
  void onCancel() override;

  struct Job;  // what the worker shares with the dialog

 private:
  void restoreBackup();
  void updateLines();

  std::shared_ptr<Job> job_;
  WorkerThread worker_;
  int index_, count_;
  bool downloadOnly_;
  std::string componentName_;
  std::string temporaryPath_, targetPath_, backupPath_;
  std::string stepTitle_;
  std::string line1_, line2_, line3_;
};
