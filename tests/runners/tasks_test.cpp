// The tasks on their own, as a caller without a dialog uses them: results, reports, stops.
#include <gtest/gtest.h>

#include <vector>

#include "platform/file_helpers.h"
#include "platform/files.h"
#include "runners/tasks.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace files = platform::files;

namespace {

class Tasks : public ::testing::Test {
 protected:
  tasks::TransferRequest request(const std::string& file) {
    tasks::TransferRequest r;
    r.url = demo_.url(file);
    r.targetPath = "C:\\Data\\" + file;
    r.temporaryPath = r.targetPath + "tmp";
    r.backupPath = r.targetPath + "bk";
    return r;
  }
  static std::string read(const std::string& path) {
    std::string data;
    files::readFile(path, data);
    return data;
  }
  void SetUp() override { ASSERT_TRUE(files::createDirectory("C:\\Data")); }

  TempMachine machine_;
  DemoFixture demo_;
};

TEST_F(Tasks, TransferReportsEachStepAndReplacesTheTarget) {
  demo_.addFile("list.txt", patternBytes(250000));
  tasks::TransferRequest r = request("list.txt");
  r.replaceExisting = true;
  ASSERT_TRUE(files::writeFile(r.targetPath, "old"));
  std::vector<int64_t> reports;
  int64_t announced = -1;
  platform::CancelToken cancel;

  tasks::TaskResult result = tasks::transfer(r, cancel, [&](const tasks::TransferProgress& p) {
    if (p.stage == tasks::TransferProgress::Stage::Started) announced = p.total;
    else reports.push_back(p.received / 1024);
  });

  EXPECT_TRUE(result.ok()) << result.text;
  EXPECT_EQ(announced, 250000);
  EXPECT_EQ(reports, (std::vector<int64_t>{100, 200}));
  EXPECT_EQ(read(r.targetPath), patternBytes(250000));
  EXPECT_FALSE(fileExists(r.backupPath));
  EXPECT_FALSE(fileExists(r.temporaryPath));
}

TEST_F(Tasks, StoppedOrFailedTransferKeepsThePreviousFile) {
  demo_.addFile("list.txt", patternBytes(250000));
  struct Case {
    const char* name;
    const char* file;
    bool stopAtFirstReport;
    tasks::Outcome outcome;
  } cases[] = {
      {"stopped", "list.txt", true, tasks::Outcome::Cancelled},
      {"missing", "none.txt", false, tasks::Outcome::DownloadError},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    tasks::TransferRequest r = request(c.file);
    r.replaceExisting = true;
    ASSERT_TRUE(files::writeFile(r.targetPath, "previous"));
    platform::CancelToken cancel;
    tasks::TaskResult result = tasks::transfer(r, cancel, [&](const tasks::TransferProgress& p) {
      if (c.stopAtFirstReport && p.stage == tasks::TransferProgress::Stage::Received)
        cancel.cancel();
    });
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(read(r.targetPath), "previous");
    EXPECT_FALSE(fileExists(r.backupPath));
  }
}

TEST_F(Tasks, RemovalHearsItsStopAndAMissingArchiveIsAFailure) {
  platform::CancelToken cancel;
  tasks::TaskResult extracted = tasks::extract("C:\\Data\\none.zip", "C:\\Data\\out", cancel);
  EXPECT_EQ(extracted.outcome, tasks::Outcome::Failed);
  EXPECT_EQ(extracted.text, "Unable to open the archive C:\\Data\\none.zip");
  cancel.cancel();
  bool sawStop = false;
  tasks::TaskResult removed = tasks::remove(
      [&](const platform::CancelToken& token) {
        sawStop = token.cancelled();
        return true;
      },
      cancel);
  EXPECT_TRUE(sawStop);
  EXPECT_TRUE(removed.cancelled());
  platform::CancelToken running;
  EXPECT_TRUE(tasks::remove([](const platform::CancelToken&) { return true; }, running).ok());
  EXPECT_EQ(tasks::remove([](const platform::CancelToken&) { return false; }, running).outcome,
            tasks::Outcome::Failed);
}

}  // namespace
