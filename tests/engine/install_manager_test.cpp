// The batch rules of the install manager, with the long per-entry steps replaced by a
// recording stand-in so that only the order and the texts are watched.
#include <gtest/gtest.h>

#include <stdexcept>

#include <memory>
#include <set>

#include "engine/install_manager.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"

namespace {

// A loop that never ends must fail the test at once, not fill the memory.
constexpr size_t kCallLimit = 1000;
void record(std::vector<std::string>& calls, std::string call) {
  if (calls.size() >= kCallLimit)
    throw std::length_error("more than " + std::to_string(kCallLimit) + " calls, last: " + call);
  calls.push_back(std::move(call));
}

class RecordingManager : public mxInstallManagerBase {
 public:
  std::vector<std::string> calls;
  std::set<std::string> installed;
  std::set<std::string> broken;  // present, in "Version Mismatch"
  std::set<std::string> failInstall, failRepair;

  bool isComponentInstalled(const ComponentEntry& e) override {
    return installed.count(e.name) || broken.count(e.name);
  }
  bool evaluateComponentState(const ComponentEntry& e) override {
    bool ok = !broken.count(e.name);
    e.setState(ok ? ComponentState::Installed : ComponentState::VersionMismatch);
    return ok;
  }
  int repairComponent(const ComponentEntry& e) override {
    if (!needsRepair(e)) return 1;
    record(calls, "repair " + e.name);
    if (failRepair.count(e.name)) return -1;
    broken.erase(e.name);
    return 1;
  }
  int installComponent(const ComponentEntry& e, int position, int total) override {
    record(calls, "install " + e.name + " " + std::to_string(position) + "/" +
                    std::to_string(total));
    if (failInstall.count(e.name)) return -1;
    installed.insert(e.name);
    return 1;
  }
  int uninstallComponent(const ComponentEntry& e, int position, int total) override {
    record(calls, "uninstall " + e.name + " " + std::to_string(position) + "/" +
                    std::to_string(total));
    installed.erase(e.name);
    return 1;
  }
};

class InstallManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    for (int i = 0; i < 3; ++i) {
      std::string name = "C" + std::to_string(i);
      entries_.push_back(std::make_unique<ComponentEntry>(
          name.c_str(), "http://h/x", "x.exe", " ", "F", false, false, &strings_[i][0],
          &strings_[i][1], &strings_[i][2], "cat"));
    }
    std::vector<ComponentEntry*> raw;
    for (auto& e : entries_) raw.push_back(e.get());
    manager_.setComponents(3, raw.data());
  }
  void TearDown() override { ui::setBackend(nullptr); }
  const std::string& state(int i) { return strings_[i][1]; }
  const std::string& progress(int i) { return strings_[i][2]; }

  ui::ScriptedUi ui_;
  std::string strings_[3][3];
  std::vector<std::unique_ptr<ComponentEntry>> entries_;
  RecordingManager manager_;
};

TEST_F(InstallManagerTest, EntriesAreCopiedAndWriteTheCallersStrings) {
  EXPECT_EQ(strings_[1][0], "C1");
  entries_.clear();  // the caller frees its own entries; the manager keeps copies
  ASSERT_EQ(manager_.count(), 3u);
  manager_.entry(2)->setProgress(ComponentProgress::Ok);
  EXPECT_EQ(progress(2), "Ok");
  manager_.releaseComponents();
  EXPECT_EQ(manager_.count(), 0u);
  EXPECT_EQ(manager_.entry(0), nullptr);
}

TEST_F(InstallManagerTest, UpdateStatesWritesNotInstalledAndTheRowState) {
  manager_.installed = {"C0"};
  manager_.broken = {"C2"};
  EXPECT_EQ(manager_.updateComponentStates(0, 2), -1);
  EXPECT_EQ(state(0), "Installed");
  EXPECT_EQ(state(1), "Not Installed");
  EXPECT_EQ(state(2), "Version Mismatch");
  EXPECT_EQ(manager_.updateComponentStates(0, 0), 1);
}

TEST_F(InstallManagerTest, InstallOneOfTheWholeListConsidersAllForRepair) {
  manager_.broken = {"C0"};
  manager_.updateComponentStates(0, 2);
  ui_.answer(win::IDYES);
  EXPECT_EQ(manager_.installComponents(2, 2, true), 1);
  EXPECT_EQ(manager_.calls, (std::vector<std::string>{"repair C0", "install C2 1/1"}));
  EXPECT_EQ(progress(0), "");
  EXPECT_EQ(progress(1), "");
  EXPECT_EQ(ui_.messages().size(), 1u);
}

TEST_F(InstallManagerTest, RepairDeclinedInstallsNothing) {
  manager_.broken = {"C1"};
  manager_.updateComponentStates(0, 2);
  ui_.answer(win::IDNO);
  EXPECT_EQ(manager_.installComponents(0, 2, true), -1);
  EXPECT_TRUE(manager_.calls.empty());
}

TEST_F(InstallManagerTest, FailedRepairAsksAgainUntilNo) {
  manager_.broken = {"C0", "C1"};
  manager_.failRepair = {"C0"};
  manager_.updateComponentStates(0, 2);
  ui_.answer(win::IDYES);
  ui_.answer(win::IDYES);
  ui_.answer(win::IDNO);
  EXPECT_EQ(manager_.installComponents(0, 0, false), -1);
  // Only the range is considered and the repair pass stops at the first failure.
  EXPECT_EQ(manager_.calls, (std::vector<std::string>{"repair C0", "repair C0"}));
  EXPECT_EQ(ui_.messages().size(), 3u);
}

TEST_F(InstallManagerTest, FailedInstallStopsTheBatchAndLeavesPending) {
  manager_.failInstall = {"C1"};
  EXPECT_EQ(manager_.installComponents(0, 2, false), -1);
  EXPECT_EQ(manager_.calls, (std::vector<std::string>{"install C0 1/3", "install C1 2/3"}));
  EXPECT_EQ(progress(2), "Pending");
}

TEST_F(InstallManagerTest, EmptyListWithWholeListCheckFails) {
  manager_.releaseComponents();
  EXPECT_EQ(manager_.installComponents(0, 0, true), -1);
  bool skip = false;
  EXPECT_EQ(manager_.downloadAllComponents(true, &skip), -1);
  EXPECT_TRUE(ui_.messages().empty());
}

TEST_F(InstallManagerTest, SelectedInstallGoesInTheGivenOrder) {
  int indices[] = {2, 0};
  EXPECT_EQ(manager_.installSelectedComponents(indices, 2), 1);
  EXPECT_EQ(manager_.calls, (std::vector<std::string>{"install C2 1/2", "install C0 2/2"}));
  EXPECT_EQ(manager_.installSelectedComponents(nullptr, 2), -1);
  EXPECT_EQ(manager_.installSelectedComponents(indices, 0), -1);
}

TEST_F(InstallManagerTest, UninstallRunsInReverseOrder) {
  manager_.installed = {"C0", "C1", "C2"};
  EXPECT_EQ(manager_.uninstallComponents(0, 2), 1);
  EXPECT_EQ(manager_.calls, (std::vector<std::string>{"uninstall C2 1/3", "uninstall C1 2/3",
                                                      "uninstall C0 3/3"}));
}

TEST_F(InstallManagerTest, DownloadOnlyListIsByNameWithoutCase) {
  EXPECT_TRUE(mxInstallManagerBase::isDownloadOnlyComponent("opencv 3.0.0"));
  EXPECT_TRUE(mxInstallManagerBase::isDownloadOnlyComponent(
      "Corvanta Prismal SDK Version XI 11.0.0.614 Installer"));
  EXPECT_FALSE(mxInstallManagerBase::isDownloadOnlyComponent(
      "Corvanta Version XI 11.0.0.614 Runtime"));
}

}  // namespace

// ---- downloads: the failure dialog's choices, files already there, selective clean-up ----

#include <filesystem>
#include <fstream>

#include "engine/app_context.h"
#include "platform/machine.h"
#include "runners/custom_exception.h"
#include "tests/support/temp_machine.h"

namespace {

class FailingDownloads : public mxInstallManagerBase {
 public:
  std::set<std::string> failing;
  std::vector<std::string> calls;
  int downloadComponent(const ComponentEntry& e, int position, int total) override {
    record(calls, e.name + " " + std::to_string(position) + "/" + std::to_string(total));
    bool ok = !failing.count(e.name);
    e.setProgress(ok ? ComponentProgress::Downloaded : ComponentProgress::DownloadError);
    return ok ? 1 : -1;
  }
};

class DownloadBatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    for (int i = 0; i < 3; ++i) {
      std::string name = "D" + std::to_string(i);
      ComponentEntry e(name.c_str(), "http://127.0.0.1:1/f", (name + ".zip").c_str(), "",
                       "C:\\App\\_CorvantaInstallData\\Content", false, i == 1, nullptr,
                       &states_[i], &progress_[i], "");
      entries_.push_back(e);
    }
    std::vector<ComponentEntry*> raw;
    for (auto& e : entries_) raw.push_back(&e);
    manager_.setComponents(3, raw.data());
    // Each failure dialog takes the next queued button; with none left it is closed.
    ui_.whenShown("Unabe to Download", [this](ui::Window& w) {
      if (choices_.empty()) return w.onCancel();
      int id = choices_.front();
      choices_.erase(choices_.begin());
      w.click(id);
    });
  }
  void TearDown() override { ui::setBackend(nullptr); }

  ui::ScriptedUi ui_;
  std::string states_[3], progress_[3];
  std::vector<ComponentEntry> entries_;
  std::vector<int> choices_;
  FailingDownloads manager_;
};

using Option = DDownloadErrorHandlingOption;

TEST_F(DownloadBatchTest, FailureDialogChoices) {
  struct Case {
    std::vector<int> buttons;
    int result;
    std::vector<std::string> calls;
    bool skipAfter;
  } cases[] = {
      {{Option::IDC_IGNORE, Option::IDC_IGNORE}, 1, {"D0 1/3", "D1 2/3", "D2 3/3"}, false},
      {{Option::IDC_RETRY, Option::IDC_IGNORE, Option::IDC_IGNORE}, 1,
       {"D0 1/3", "D1 2/3", "D1 2/3", "D2 3/3"}, false},
      // The second failure finds no choice left: the dialog is closed.
      {{Option::IDC_IGNORE}, -1, {"D0 1/3", "D1 2/3", "D2 3/3"}, false},
      {{Option::IDC_QUIT}, -1, {"D0 1/3", "D1 2/3"}, false},
      {{}, -1, {"D0 1/3", "D1 2/3"}, false},  // closed without a choice
      {{Option::IDC_IGNORE_ALL}, 1, {"D0 1/3", "D1 2/3", "D2 3/3"}, true},
  };
  for (const Case& c : cases) {
    manager_.calls.clear();
    manager_.failing = {"D1", "D2"};
    choices_ = c.buttons;
    bool skip = false;
    EXPECT_EQ(manager_.downloadAllComponents(false, &skip), c.result);
    EXPECT_EQ(manager_.calls, c.calls);
    EXPECT_EQ(skip, c.skipAfter);
    EXPECT_TRUE(choices_.empty());
  }
  // A flag already set passes failures over without any dialog.
  int dialogs = static_cast<int>(ui_.modalCaptions().size());
  bool skip = true;
  EXPECT_EQ(manager_.downloadAllComponents(false, &skip), 1);
  EXPECT_EQ(static_cast<int>(ui_.modalCaptions().size()), dialogs);
  EXPECT_EQ(progress_[2], "Download Error");
  int indices[] = {0};
  EXPECT_EQ(manager_.downloadSelectedComponents(indices, 1, false, nullptr), -1);
  EXPECT_EQ(manager_.downloadSelectedComponents(indices, 0, false, &skip), -1);
}

TEST_F(DownloadBatchTest, SummaryIsBoundedTo512Bytes) {
  appContext().applicationFolder = "C:\\" + std::string(600, 'a');
  bool skip = false;
  EXPECT_EQ(manager_.downloadAllComponents(true, &skip), 1);
  ASSERT_EQ(ui_.messageTexts().size(), 1u);
  EXPECT_EQ(ui_.messageTexts()[0].size(), 511u);
  EXPECT_EQ(ui_.messageTexts()[0].rfind("Successfully downloaded the files.\nDownload directory - C:\\aaa", 0), 0u);
  appContext().applicationFolder.clear();
}

TEST(DownloadFiles, ExistingFileIsDownloadedWithoutRequestAndCleanUpIsSelective) {
  TempMachine machine;
  ui::ScriptedUi ui;
  ui::setBackend(&ui);
  std::string names[2][3];
  const std::string folder = "C:\\App\\_CorvantaInstallData\\Content";
  // Nothing listens on the URL: any request would fail.
  ComponentEntry list("614CTC.txt", "http://127.0.0.1:1/614CTC.txt", "614CTC.txt", "", folder.c_str(),
                      false, true, &names[0][0], &names[0][1], &names[0][2], "");
  ComponentEntry pack("Pack", "http://127.0.0.1:1/pack.zip", "pack.zip", "", folder.c_str(), false,
                      false, &names[1][0], &names[1][1], &names[1][2], "");
  for (const char* f : {"614CTC.txt", "614CTC.txt.tmp", "pack.zip"}) {
    std::string host = machine.host(folder + "\\" + f);
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream(host) << "data";
  }
  mxInstallManagerBase manager;
  ComponentEntry* raw[] = {&list, &pack};
  manager.setComponents(2, raw);
  bool skip = false;
  EXPECT_EQ(manager.downloadAllComponents(false, &skip), 1);
  EXPECT_EQ(names[0][2], "Downloaded");
  EXPECT_EQ(names[1][2], "Downloaded");
  EXPECT_TRUE(ui.modalCaptions().empty());
  EXPECT_EQ(manager.deleteOldDownloads(true, false), 1);
  EXPECT_FALSE(std::filesystem::exists(machine.host(folder + "\\614CTC.txt")));
  EXPECT_TRUE(std::filesystem::exists(machine.host(folder + "\\pack.zip")));
  EXPECT_TRUE(ui.messageTexts().empty());
  ui::setBackend(nullptr);
}

}  // namespace
