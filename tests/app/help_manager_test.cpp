// The help pages against the demo server: fetched and unpacked on the first request and
// shown at the active page's section in the one help window; a fetch that fails or an
// archive that does not hold sound pages never costs the pages already there.
#include <gtest/gtest.h>
#include <minizip/zip.h>

#include <filesystem>
#include <algorithm>
#include <map>

#include "app/installer_sheet.h"
#include "app/plain_page.h"
#include "engine/app_context.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/ui/scripted_ui.h"
#include "platform/win_types.h"
#include "runners/custom_exception.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

namespace files = platform::files;
const char* const kApp = "C:\\Installer";
const char* const kFolder =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/";
const char* const kStart = "C:\\Installer\\_CorvantaInstallData\\_Help\\CorvantaVisionSoftware\\index.htm";
const char* const kMarker = "C:\\Installer\\_CorvantaInstallData\\_Help\\CorvantaVisionSoftware\\old.htm";

bool exists(const std::string& path) {
  return files::getAttributes(path) != win::INVALID_FILE_ATTRIBUTES;
}

// The archive the server hands out, with these entries.
void serveArchive(const DemoFixture& demo, const std::map<std::string, std::string>& entries) {
  std::string host = demo.root() + "/" + kFolder + "614help.zip";
  std::filesystem::remove(host);
  zipFile zip = zipOpen(host.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const auto& [name, data] : entries) {
    zip_fileinfo info{};
    zipOpenNewFileInZip(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 0, 0);
    zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
}

class HelpManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&ui_);
    ui_.setModalLimit(60000);
    // A failed download is ignored, so the download step itself reports success.
    ui_.whenShown("Download", [](ui::Window& w) {
      w.click(DDownloadErrorHandlingOption::IDC_IGNORE);
    });
    files::createDirectory(kApp);
    appContext().applicationFolder = kApp;
    appContext().isFolderWritable = true;
  }
  void TearDown() override { ui::setBackend(nullptr); }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::RepositoryCopy};
  ui::ScriptedUi ui_;
};

CORVANTA_PLAIN_PAGE(TemplatesPage, 10, "", "Templates", false);
CORVANTA_PLAIN_PAGE(ProfilesPage, 13, "", "DemoProfiles", false);

TEST_F(HelpManagerTest, HelpRequestsFetchOnceAndReuseTheWindowAtEachPageAnchor) {
  qnDPrismalSDKInstallerSheet sheet([] {
    std::vector<std::unique_ptr<qnDPropertyPageBase>> pages;
    pages.push_back(std::make_unique<TemplatesPage>("Templates"));
    pages.push_back(std::make_unique<ProfilesPage>("Demo Profiles"));
    return pages;
  });
  sheet.beginShow();
  ASSERT_TRUE(sheet.isVisible(ui::ID_SHEET_HELP));
  sheet.click(ui::ID_SHEET_HELP);
  DHTMLHelp* window = sheet.helpManager().helpWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isOpen());
  EXPECT_EQ(window->caption(), "Corvanta Vision Software Version XI 11.0.0.614 Installer - Help");
  // Unpacked in place: neither the archive nor the unpacking folder stays behind.
  EXPECT_TRUE(exists(kStart));
  EXPECT_FALSE(exists(sheet.helpManager().archivePath()));
  EXPECT_FALSE(exists("C:\\Installer\\_CorvantaInstallData\\_Help.new"));

  window->click(1);  // OK hides it
  EXPECT_FALSE(window->isOpen());
  sheet.setActivePage(1);
  sheet.click(ui::ID_SHEET_HELP);
  EXPECT_EQ(sheet.helpManager().helpWindow(), window);
  EXPECT_TRUE(window->isOpen());
  EXPECT_EQ(ui_.helpTargets(), (std::vector<std::string>{std::string(kStart) + "#Page=Templates",
                                                         std::string(kStart) + "#Page=DemoProfiles"}));
  const auto log = demo_.server().requestLog();
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& p) { return p.find("614help") != p.npos; }),
            1);
  EXPECT_TRUE(ui_.messageTexts().empty());
  sheet.endShow();
  EXPECT_FALSE(window->isOpen());
}

// What the server offers when the help is asked for again, and what must come of it.
struct RefreshCase {
  const char* name;
  enum { Sound, Unreachable, Hostile, NoStartPage } archive;
  bool oldPages;     // help pages from before are there
  bool skipAll;      // download errors are skipped
  int result;
  bool oldPagesKept;
  bool newPages;
};

class HelpRefresh : public HelpManagerTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(HelpRefresh, OldPagesStayUntilNewOnesAreUnpacked) {
  const RefreshCase& c = GetParam();
  CHelpManager help(kApp, demo_.url(kFolder));
  bool skipAll = false;
  if (c.oldPages) {
    ASSERT_EQ(help.ensureHelpFiles(false, &skipAll), 1);
    ASSERT_TRUE(files::writeFile(kMarker, "old"));
  }
  switch (c.archive) {
    case RefreshCase::Sound: break;
    case RefreshCase::Unreachable:
      demo_.server().failWith(std::string("/") + kFolder + "614help.zip", 404);
      break;
    case RefreshCase::Hostile:
      serveArchive(demo_, {{"_Help/CorvantaVisionSoftware/index.htm", "new"},
                           {"_Help/../../../outside.txt", "escaped"}});
      break;
    case RefreshCase::NoStartPage:
      serveArchive(demo_, {{"_Help/CorvantaVisionSoftware/other.htm", "new"}});
      break;
  }
  skipAll = c.skipAll;
  EXPECT_EQ(help.ensureHelpFiles(true, &skipAll), c.result);
  EXPECT_EQ(exists(kMarker), c.oldPagesKept);
  EXPECT_EQ(exists(kStart), c.oldPagesKept || c.newPages);
  EXPECT_FALSE(exists("C:\\Installer\\outside.txt"));
  EXPECT_FALSE(exists(help.archivePath()));
  EXPECT_EQ(ui_.wasShown("Error: Unable to extract the help files. Please try again."),
            c.result == -3);
}

const RefreshCase kRefreshCases[] = {
    {"FetchedReplacesOldPages", RefreshCase::Sound, true, false, 1, false, true},
    {"UnreachableKeepsOldPages", RefreshCase::Unreachable, true, false, -2, true, false},
    {"SkippedDownloadIsNoHelp", RefreshCase::Unreachable, false, true, -2, false, false},
    {"EntriesOutsideRefused", RefreshCase::Hostile, true, false, -3, true, false},
    {"ArchiveWithoutStartPage", RefreshCase::NoStartPage, false, false, -3, false, false},
};
INSTANTIATE_TEST_SUITE_P(Cases, HelpRefresh, ::testing::ValuesIn(kRefreshCases),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
