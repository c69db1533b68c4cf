// The import dialog driven as a user would: the older folders offered, an import that keeps
// existing files and rewrites the settings file, and an Abort in the middle of a copy.
#include <gtest/gtest.h>

#include <algorithm>

#include "migration/import_corvanta_data.h"
#include "migration/older_data.h"
#include "platform/file_helpers.h"
#include "platform/files.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

namespace files = platform::files;
using Dialog = DImportCorvantaData;

namespace {

class MigrationImportDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    ui_.setModalLimit(60000);
    docs = migration::getDocumentsFolder();
    old = docs + "\\Corvanta 10.1";
    ASSERT_TRUE(files::createDirectory(docs + "\\Corvanta 9.2"));
    ASSERT_TRUE(files::createDirectory(old));
    ASSERT_TRUE(files::createDirectory(old + "\\Profiles"));
  }
  void TearDown() override { ui::setBackend(nullptr); }

  // Answers the disk-space question when the host's free space makes it come.
  static void answerLowSpace(ui::ScriptedUi& scripted, ui::Window& w) {
    if (w.text(Dialog::IDC_STATUS).find("Low disk space") != std::string::npos)
      scripted.answer(win::IDYES);
  }

  TempMachine machine;
  ui::ScriptedUi ui_;
  std::string docs, old;
};

TEST_F(MigrationImportDialog, ImportKeepsExistingFilesAndRewritesTheSettings) {
  ASSERT_TRUE(files::writeFile(old + "\\Profiles\\a.prf", "old a"));
  ASSERT_TRUE(files::writeFile(old + "\\Corvanta.ini", "[Config.ProfileHistory]\r\nP=" + old +
                                                           "\\Profiles\\a.prf\r\n"));
  const std::string now = docs + "\\Corvanta 11.0";
  std::vector<std::string> offered;
  std::string percent;
  ui_.whenShown("Import Corvanta data", [&](ui::Window& w) {
    offered = w.control(Dialog::IDC_VERSIONS)->items;
    EXPECT_EQ(w.selection(Dialog::IDC_VERSIONS), 1);
    EXPECT_FALSE(w.isVisible(Dialog::IDC_PROGRESS));
    // Made after the dialog opened, so the current folder exists with a file of its own.
    ASSERT_TRUE(files::createDirectory(now));
    ASSERT_TRUE(files::createDirectory(now + "\\Profiles"));
    ASSERT_TRUE(files::writeFile(now + "\\Profiles\\a.prf", "mine"));
    answerLowSpace(ui_, w);
    w.click(Dialog::IDC_IMPORT);
    auto& dialog = static_cast<Dialog&>(w);
    ASSERT_TRUE(ui::waitPumping([&dialog] { return !dialog.running(); }, 30000));
    percent = w.text(Dialog::IDC_PERCENT);
    EXPECT_TRUE(w.isVisible(Dialog::IDC_PROGRESS));
    EXPECT_FALSE(w.isEnabled(Dialog::IDC_ABORT));
    w.click(Dialog::IDC_CLOSE);
  });
  Dialog::offerIfNeeded();
  EXPECT_EQ(offered, (std::vector<std::string>{"Corvanta 9.2", "Corvanta 10.1"}));
  EXPECT_EQ(percent, "(100%)");
  std::string data;
  ASSERT_TRUE(files::readFile(now + "\\Profiles\\a.prf", data));
  EXPECT_EQ(data, "mine");
  ASSERT_TRUE(files::readFile(now + "\\Corvanta.ini", data));
  EXPECT_EQ(data, "[Config.ProfileHistory]\r\nP=" + now + "\\Profiles\\a.prf\r\n");
  ASSERT_TRUE(files::readFile(old + "\\Corvanta.ini", data));  // the source is untouched
  EXPECT_NE(data.find(old), std::string::npos);

  // With the current folder there now, the dialog is not offered again.
  size_t runs = ui_.modalCaptions().size();
  Dialog::offerIfNeeded();
  EXPECT_EQ(ui_.modalCaptions().size(), runs);
}

TEST_F(MigrationImportDialog, AbortStopsTheCopyAndClosingWaitsForIt) {
  for (int i = 0; i < 400; ++i)
    ASSERT_TRUE(files::writeFile(old + "\\Profiles\\p" + std::to_string(i), "data"));
  std::vector<std::string> texts;
  ui_.whenShown("Import Corvanta data", [&](ui::Window& w) {
    answerLowSpace(ui_, w);
    w.click(Dialog::IDC_IMPORT);
    EXPECT_TRUE(w.isEnabled(Dialog::IDC_ABORT));
    w.click(Dialog::IDC_CLOSE);  // refused while the worker runs
    ui_.answer(win::IDYES);
    w.click(Dialog::IDC_ABORT);
    texts.push_back(w.text(Dialog::IDC_PERCENT));
    w.click(Dialog::IDC_CLOSE);
  });
  Dialog::offerIfNeeded();
  ASSERT_EQ(texts, (std::vector<std::string>{"Processing aborted."}));
  auto messages = ui_.messageTexts();
  EXPECT_NE(std::find(messages.begin(), messages.end(),
                      "Import processing is on.\nPlease abort the process before closing the "
                      "dialog."),
            messages.end());
  long copied = 0;
  uint64_t kib = 0;
  measureFolder(docs + "\\Corvanta 11.0", copied, kib);
  EXPECT_LT(copied, 400);
  long kept = 0;
  measureFolder(old, kept, kib);
  EXPECT_EQ(kept, 400);
}

TEST(MigrationDemoState, TheOlderDataOfTheDemoStateImports) {
  TempMachine machine;
  ui::ScriptedUi scripted;
  ui::setBackend(&scripted);
  ASSERT_TRUE(applyDemoState(machine, "older-data"));
  const std::string docs = migration::getDocumentsFolder();
  scripted.whenShown("Import Corvanta data", [&scripted](ui::Window& w) {
    if (w.text(Dialog::IDC_STATUS).find("Low disk space") != std::string::npos)
      scripted.answer(win::IDYES);
    w.click(Dialog::IDC_IMPORT);
    auto& dialog = static_cast<Dialog&>(w);
    EXPECT_TRUE(ui::waitPumping([&dialog] { return !dialog.running(); }, 30000));
    w.click(Dialog::IDC_CLOSE);
  });
  Dialog::offerIfNeeded();
  ui::setBackend(nullptr);
  std::string ini;
  ASSERT_TRUE(files::readFile(docs + "\\Corvanta 11.0\\Corvanta.ini", ini));
  EXPECT_NE(ini.find("Last=" + docs + "\\Corvanta 11.0\\Profiles\\Line A\\inspect.prf\r\n"),
            std::string::npos);
  EXPECT_TRUE(fileExists(docs + "\\Corvanta 11.0\\Profiles\\Line B\\inspect.prf"));
}

}  // namespace
