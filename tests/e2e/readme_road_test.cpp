// The readme page against the demo server: the notes fetched and shown formatted, the local
// copy kept when the server fails, the error text when there is nothing to show, and a
// read-only installation that keeps its copy.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "content/content_pages.h"
#include "engine/app_context.h"
#include "pages/wizard_pages.h"
#include "platform/files.h"
#include "platform/ui/rtf.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

constexpr int kReadmePage = 2;
const char* const kReadme =
    "corvanta/files/InstallerRepositories/Corvanta11.0/614/CorvantaVisionSoftware/614readme.rtf";
const char* const kLocal = "C:\\CorvantaInstaller\\_CorvantaInstallData\\Readme\\614readme.rtf";
namespace files = platform::files;

class ReadmeRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  qnDInstallReleaseNotes& open() {
    sheet_.beginShow();
    sheet_.setActivePage(kReadmePage);
    return *dynamic_cast<qnDInstallReleaseNotes*>(sheet_.page(kReadmePage));
  }
  std::string local() {
    std::string data;
    files::readFile(kLocal, data);
    return data;
  }
  std::string served() {
    std::string data;
    files::readFile(demo_.root() + "/" + kReadme, data);
    return data;
  }

  TempMachine machine_;
  DemoFixture demo_{DemoFixture::Source::RepositoryCopy};
  DemoWizardScope scope_{"C:\\CorvantaInstaller"};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(ReadmeRoad, TheNotesAreFetchedAndShownFormatted) {
  qnDInstallReleaseNotes& page = open();
  ASSERT_FALSE(served().empty());
  EXPECT_EQ(local(), served());
  EXPECT_EQ(page.text(qnDInstallReleaseNotes::kReadme), served());
  EXPECT_TRUE(page.isVisible(qnDInstallReleaseNotes::kRefresh));
  EXPECT_EQ(page.text(qnDInstallReleaseNotes::kHint),
            "Please click on the 'Next' button to install the pre-requisites.");
  // The demo notes carry the formatting the control is there for.
  const rtf::Document doc = rtf::parse(served());
  int items = 0, bold = 0, italic = 0, coloured = 0;
  for (const rtf::Paragraph& p : doc.paragraphs) {
    items += p.listItem;
    for (const rtf::Run& r : p.runs) {
      bold += r.bold;
      italic += r.italic;
      coloured += r.color > 0;
    }
  }
  EXPECT_GE(items, 2);
  EXPECT_GT(bold * italic * coloured, 0);
  EXPECT_NE(rtf::toPlainText(doc).find("\xc2\xb5m"), std::string::npos);
  EXPECT_TRUE(scope_.ui().messageTexts().empty());
}

TEST_F(ReadmeRoad, TheLocalCopyStaysWhenTheServerFails) {
  qnDInstallReleaseNotes& page = open();
  demo_.server().failWith(std::string("/") + kReadme, 500);
  EXPECT_TRUE(page.refreshReadme(true, true));
  EXPECT_EQ(scope_.ui().messageTexts().back(), "Using default copy of the Readme file.");
  EXPECT_EQ(local(), served());
  EXPECT_EQ(page.text(qnDInstallReleaseNotes::kReadme), served());
}

TEST_F(ReadmeRoad, NothingToShowAndAReadOnlyInstallationKeepsItsCopy) {
  demo_.server().failWith(std::string("/") + kReadme, 404);
  qnDInstallReleaseNotes& page = open();
  EXPECT_EQ(page.text(qnDInstallReleaseNotes::kReadme),
            "Error: Unable to get the 'Readme Notes' from the server.\nPlease try again.");
  EXPECT_FALSE(files::find(kLocal).size());

  // Read-only: the copy beside the installer serves and nothing is fetched over it.
  appContext().isFolderWritable = false;
  files::createDirectory("C:\\CorvantaInstaller\\_CorvantaInstallData");
  files::createDirectory("C:\\CorvantaInstaller\\_CorvantaInstallData\\Readme");
  ASSERT_TRUE(files::writeFile(kLocal, "{\\rtf1 shipped copy}"));
  EXPECT_TRUE(page.refreshReadme(false, false));
  EXPECT_EQ(local(), "{\\rtf1 shipped copy}");
  EXPECT_EQ(page.text(qnDInstallReleaseNotes::kReadme), "{\\rtf1 shipped copy}");
  page.onSetActive();
  EXPECT_FALSE(page.isVisible(qnDInstallReleaseNotes::kRefresh));
}

}  // namespace
