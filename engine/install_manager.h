#pragma once
// A page's list of components and the batch operations its buttons start.
#include <string>

#include "engine/component_entry.h"

class mxInstallManagerBase {
 public:
  mxInstallManagerBase() = default;
  virtual ~mxInstallManagerBase();
  mxInstallManagerBase(const mxInstallManagerBase&) = delete;
  mxInstallManagerBase& operator=(const mxInstallManagerBase&) = delete;

  // Copies the caller's entries; callers release an earlier list first.
  int setComponents(unsigned count, ComponentEntry* const* entries);
  void releaseComponents();

  unsigned count() const { return count_; }
  ComponentEntry* entry(unsigned index) const {
    return entries_ && index < count_ ? entries_[index] : nullptr;
  }

  int updateComponentStates(int first, int last);
  int installComponents(int first, int last, bool checkWholeList);
  int installSelectedComponents(const int* indices, int n);
  int uninstallComponents(int first, int last);
  int downloadAllComponents(bool showSummary, bool* skipAllErrors);
  int downloadSelectedComponents(const int* indices, int n, bool showSummary,
                                 bool* skipAllErrors);
  int deleteOldDownloads(bool onlyRefreshable, bool showSummary);

  // Per-entry steps of the batches. Virtual so that a test can stand in for the long
  // ones and watch the order the batches use.
  virtual bool isComponentInstalled(const ComponentEntry& entry);
  virtual bool evaluateComponentState(const ComponentEntry& entry);
  virtual bool needsRepair(const ComponentEntry& entry);
  virtual int repairComponent(const ComponentEntry& entry);
  virtual int installComponent(const ComponentEntry& entry, int position, int total);
  virtual int uninstallComponent(const ComponentEntry& entry, int position, int total);
  virtual int downloadComponent(const ComponentEntry& entry, int position, int total);
  virtual int deleteOldDownload(const ComponentEntry& entry, int position, int total);

  // The component's own completion after its file was fetched (unpacking, configuration).
  virtual bool runPostInstallActions(const ComponentEntry& entry);
  virtual bool executeCustomActions(const ComponentEntry& entry);
  // Components whose file the download dialog only fetches; their post-install action
  // installs them.
  static bool isDownloadOnlyComponent(const std::string& name);

  // Supporting steps of the post-install actions.
  static bool getOpcRelayFolder(std::string& folder);
  static bool getCommonProgramsFolder(std::string& folder);
  static bool getCommonDesktopFolder(std::string& folder);
  // A shortcut named after the controller's version in linkFolder.
  static bool createControllerShortcut(const std::string& linkFolder, const std::string& target,
                                       const std::string& workingFolder);

 private:
  // Shows the repair question until nothing in first..last needs repair; false when the
  // user declined.
  bool repairLoop(int first, int last);
  std::string dataFolder() const;

  ComponentEntry** entries_ = nullptr;
  unsigned count_ = 0;
};
