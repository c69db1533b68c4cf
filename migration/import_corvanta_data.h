#pragma once
// The modal dialog that imports an older version's user data into the current version's
// folder: disk-space check, a worker that copies without overwriting and rewrites the
// settings file, optionally the older runtime's templates, with progress and Abort.
#include <memory>
#include <string>

#include "migration/import_worker_dialog.h"

class DImportCorvantaData : public DImportWorkerDialog {
 public:
  static constexpr int kTemplateId = 174;
  static constexpr int IDC_MESSAGE = 1175;
  static constexpr int IDC_VERSIONS = 1176;
  static constexpr int IDC_REQUIRED = 1177;
  static constexpr int IDC_AVAILABLE = 1178;
  static constexpr int IDC_STATUS = 1179;
  static constexpr int IDC_TEMPLATES = 1180;
  static constexpr int IDC_ABORT = 1181;
  static constexpr int IDC_PROGRESS = 1183;
  static constexpr int IDC_PERCENT = 1184;
  static constexpr int IDC_PROGRESS_LABEL = 1185;
  static constexpr int IDC_IMPORT = 1148;
  static constexpr int IDC_CLOSE = 1;
  static constexpr unsigned WM_IMPORT_PROGRESS = 0x406;
  // The worker's last word: wParam is 1 when the templates could not be found.
  static constexpr unsigned WM_IMPORT_DONE = 0x407;

  DImportCorvantaData();
  ~DImportCorvantaData() override;

  // Runs the dialog when older data exists and the current folder does not.
  static void offerIfNeeded();

  const std::string& documentsFolder() const { return documents_; }

  void onInitDialog() override;
  void onCommand(int id) override;
  void onNotify(int id, ui::Event event) override;
  long onMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

 private:
  void updateDiskSpaceInfo();
  void setImportRunning(bool running);
  void startImport();
  std::string selectedFolder() const;

  int major_ = 0, minor_ = 0;
  std::string documents_;
  long totalFiles_ = 0;
  bool scaled_ = false;  // more files than the bar's 16-bit range: the bar shows per mille
};
