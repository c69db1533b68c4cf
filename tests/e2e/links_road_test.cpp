// Links: the summary page's programs and documents, and hyperlinks whose documents are
// fetched once from the demo server.
#include <gtest/gtest.h>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "pages/hyperlink.h"
#include "pages/summary_page.h"
#include "pages/wizard_pages.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "tests/e2e/page_entries.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

namespace files = platform::files;
using platform::registry::Hive;
constexpr int kSummaryPage = 10;
const char* const kRuntime = "C:\\Program Files (x86)\\Corvanta\\Runtime11\\";

class LinksRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    putToolsOnPath();
    appContext().mainWindow = &sheet_;
    files::createDirectory(kAppFolder);
    sheet_.beginShow();
  }
  void TearDown() override { appContext().mainWindow = nullptr; }

  std::vector<platform::machine::ShellEvent> opened() { return platform::machine::shellEvents(); }

  static constexpr const char* kAppFolder = "C:\\CorvantaInstaller";
  TempMachine machine_;
  DemoFixture demo_;
  DemoWizardScope scope_{kAppFolder};
  qnDPrismalSDKInstallerSheet sheet_{makeWizardPages};
};

TEST_F(LinksRoad, SummaryLinksOpenDocumentsAndStartPrograms) {
  ASSERT_EQ(platform::registry::setValue(
                Hive::LocalMachine, "SOFTWARE\\BRENHOLM AS\\Corvanta Version XI 11.0.0.614 Runtime",
                "InstallPath", platform::registry::Value::string(kRuntime)),
            0);
  for (const char* f : {"C:\\Program Files (x86)\\Corvanta", kRuntime, "Documentation"})
    files::createDirectory(f == std::string("Documentation") ? std::string(kRuntime) + f : f);
  ASSERT_TRUE(files::writeFile(std::string(kRuntime) + "Documentation\\ReadMe.txt", "read me"));
  sheet_.setActivePage(kSummaryPage);
  auto& page = *dynamic_cast<qnDInstallSummaryCorvanta*>(sheet_.page(kSummaryPage));
  EXPECT_EQ(page.runtimeFolder(), kRuntime);
  EXPECT_EQ(page.text(1117), "<a>Corvanta Version XI</a>");

  page.activateLink(1053);
  auto events = opened();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].file, std::string(kRuntime) + "Documentation\\ReadMe.txt");
  EXPECT_EQ(events[0].directory, std::string(kRuntime) + "Documentation");
  EXPECT_TRUE(scope_.ui().messageTexts().empty());

  // A document that is not there: the shell's answer is shown.
  page.activateLink(1070);
  EXPECT_EQ(scope_.ui().messageTexts(),
            std::vector<std::string>{"Unable to access the link. Error code - 2"});
  // A program starts outside the wizard's rights, through the desktop's own process.
  page.activateLink(1068);
  ASSERT_EQ(opened().size(), 2u);
  EXPECT_EQ(opened()[1].parameters, std::string(kRuntime) + "CorvantaCapture.exe");
}

TEST_F(LinksRoad, DocumentsAreFetchedOnceAndWebAddressesGoToTheShellUnchanged) {
  demo_.addFile("docs/Manual.pdf", "%PDF-1.4 manual");
  int code = 7;
  const std::string web = "https://www.example.com/a b?c=1&d=\"x\"";
  EXPECT_EQ(openResourceLink(web, "site", code, nullptr), 1);
  EXPECT_EQ(code, 0);
  ASSERT_EQ(opened().size(), 1u);
  EXPECT_EQ(opened()[0].file, web);

  for (int i = 0; i < 2; ++i) EXPECT_EQ(openResourceLink(demo_.url("docs/Manual.pdf"), "Manual",
                                                         code, nullptr), 1);
  std::string local = std::string(kAppFolder) + "\\_CorvantaInstallData\\Resources\\Manual.pdf";
  std::string data;
  EXPECT_TRUE(files::readFile(local, data));
  EXPECT_EQ(data, "%PDF-1.4 manual");
  EXPECT_EQ(demo_.server().requestLog().size(), 1u);
  ASSERT_EQ(opened().size(), 3u);
  EXPECT_EQ(opened()[2].file, local);
}

TEST_F(LinksRoad, ANameThatIsNotAPlainFileNameFailsWithItsMessage) {
  for (const char* target : {"http://127.0.0.1:1/C:evil.pdf", "http://127.0.0.1:1/x\x01.png",
                             "manual.pdf"}) {
    int code = 0;
    EXPECT_EQ(openResourceLink(target, "bad", code, nullptr), -1) << target;
    EXPECT_EQ(code, -1) << target;
  }
  ASSERT_EQ(scope_.ui().messageTexts().size(), 3u);
  EXPECT_EQ(scope_.ui().messageTexts()[0],
            "Error: Unable to parse the download path for the selected resource. Please try "
            "again.");
  EXPECT_TRUE(opened().empty());
}

TEST(Hyperlink, ErrorTextsAndSizingKeepTheirEdge) {
  TempMachine machine;
  EXPECT_EQ(hyperlinkErrorText(31),
            "There is no application associated\nwith the given filename extension.");
  EXPECT_EQ(hyperlinkErrorText(-3), "Unknown Error (-3) occurred.");

  ui::Window window(1, "links", 400, 100);
  DDynamicHyperlink link;
  link.createLink(window, "short", DDynamicHyperlink::SS_RIGHT, {100, 10, 300, 30}, "x", 7);
  const int right = window.control(7)->rect.right;
  EXPECT_EQ(right, 300);
  const int shortWidth = right - window.control(7)->rect.left;
  link.setText("a much longer text");
  link.sizeToText();
  EXPECT_EQ(window.control(7)->rect.right, right);
  EXPECT_GT(right - window.control(7)->rect.left, shortWidth);

  // The new-version link opens its dialog instead of a target.
  int shown = 0;
  DDynamicHyperlinkNewVersionAvailable newer([&] { ++shown; });
  newer.createLink(window, "New version available", 0, {0, 40, 100, 60}, "", 8);
  newer.onClick();
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(platform::machine::shellEvents().empty());
}

}  // namespace
