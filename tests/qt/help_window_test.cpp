// The help window in Qt: F1 and the Help button open the demo help pages at the page's
// section (saved as build/help-window.png for a person to look at), and a hostile page whose
// pictures, style sheets and links outside the help folder are neither loaded nor followed.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QScrollBar>
#include <QShortcut>
#include <QTemporaryDir>
#include <QTextBlock>

#include "app/installer_sheet.h"
#include "app/plain_page.h"
#include "engine/app_context.h"
#include "platform/files.h"
#include "platform/qt/help_window.h"
#include "tests/qt/qt_test.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

using HelpWindowTest = QtTest;

// Whether a document resource holds anything (pictures are kept decoded).
bool loaded(const QVariant& v) {
  return !v.value<QImage>().isNull() || !v.value<QPixmap>().isNull() ||
         !v.toByteArray().isEmpty();
}

QString topLine(qtui::HelpBrowser& b) { return b.cursorForPosition(QPoint(4, 4)).block().text(); }

CORVANTA_PLAIN_PAGE(TemplatesPage, 10, "", "Templates", false);
CORVANTA_PLAIN_PAGE(WelcomePage, 1, "", "Welcome", false);

TEST_F(HelpWindowTest, F1AndHelpOpenOneWindowAtThePageSection) {
  TempMachine machine;
  DemoFixture demo(DemoFixture::Source::Repository);
  platform::files::createDirectory("C:\\Installer");
  appContext().applicationFolder = "C:\\Installer";
  qnDPrismalSDKInstallerSheet sheet([] {
    std::vector<std::unique_ptr<qnDPropertyPageBase>> pages;
    pages.push_back(std::make_unique<TemplatesPage>("Templates"));
    pages.push_back(std::make_unique<WelcomePage>("Welcome"));
    return pages;
  });
  sheet.createModeless();
  QShortcut* f1 = qt->topLevel(sheet)->findChild<QShortcut*>();
  ASSERT_NE(f1, nullptr);
  EXPECT_EQ(f1->key(), QKeySequence(Qt::Key_F1));
  emit f1->activated();

  DHTMLHelp* window = sheet.helpManager().helpWindow();
  ASSERT_NE(window, nullptr);
  qtui::HelpBrowser* browser = qt->helpBrowser(*window);
  ASSERT_NE(browser, nullptr);
  QApplication::processEvents();
  EXPECT_TRUE(topLine(*browser).contains("CTC - Corvanta Tool Components"))
      << topLine(*browser).toStdString();
  EXPECT_GT(browser->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(browser->refused().isEmpty()) << browser->refused().join(' ').toStdString();
  // The picture and the style sheet of the page came from the help folder.
  EXPECT_TRUE(
      loaded(browser->document()->resource(QTextDocument::ImageResource, QUrl("corvanta.png"))));
  EXPECT_TRUE(qt->saveScreenshot(*window, std::string(CORVANTA_BUILD_DIR) + "/help-window.png"));

  sheet.setActivePage(1);
  sheet.click(ui::ID_SHEET_HELP);
  QApplication::processEvents();
  EXPECT_EQ(qt->helpBrowser(*window), browser);
  EXPECT_TRUE(topLine(*browser).contains("Welcome")) << topLine(*browser).toStdString();
  window->click(2);
  EXPECT_FALSE(window->isOpen());
  EXPECT_EQ(qt->helpBrowser(*window), nullptr);
  sheet.destroyWindow();
}

// One target a help page may name, and where it may lead.
struct Target {
  const char* name;
  const char* href;  // "@OUT@" stands for the folder above the help folder
  enum { Image, StyleSheet, Link } kind;
  enum { Refused, Followed, ToTheShell, Closes } outcome;
};

class HostileHelpPage : public HelpWindowTest, public ::testing::WithParamInterface<Target> {
 protected:
  void SetUp() override {
    HelpWindowTest::SetUp();
    ASSERT_TRUE(temp_.isValid());
    QDir(temp_.path()).mkdir("help");
    QImage secret(4, 4, QImage::Format_RGB32);
    secret.fill(Qt::red);
    ASSERT_TRUE(secret.save(temp_.filePath("secret.png")));
    write("secret.htm", "<p>secret</p>");
    write("evil.css", "body { color: red; }");
    write("help/page2.htm", "<p>second page</p>");
    write("help/index.htm", page());
  }
  QByteArray page() const {
    const char* forms[] = {"<img src=\"%1\">", "<link rel=\"stylesheet\" href=\"%1\">",
                           "<a href=\"%1\">link</a>"};
    return QString(forms[GetParam().kind]).arg(href()).toUtf8();
  }
  QString href() const { return QString(GetParam().href).replace("@OUT@", temp_.path()); }
  void write(const QString& relative, const QByteArray& data) {
    QFile f(temp_.filePath(relative));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
  }
  QTemporaryDir temp_;
};

TEST_P(HostileHelpPage, OnlyTheHelpFolderIsReadAndWebAddressesGoToTheShell) {
  const Target& t = GetParam();
  const QString start = temp_.filePath("help/index.htm");
  qtui::HelpBrowser browser(temp_.filePath("help"));
  std::vector<QUrl> shell;
  browser.setExternalOpener([&](const QUrl& url) { shell.push_back(url); });
  int closed = 0;
  browser.setCloseRequest([&] { ++closed; });
  ASSERT_TRUE(browser.openPage(start, ""));
  const QUrl url = browser.source().resolved(QUrl(href()));
  // A stock browser would take these.
  QTextBrowser stock;
  stock.setSource(QUrl::fromLocalFile(start));
  if (t.kind == Target::Link) {
    // The browser's own click handling, as a user's click on the link runs it.
    emit browser.anchorClicked(url);
    EXPECT_EQ(browser.source().path(),
              t.outcome == Target::Followed ? temp_.filePath("help/page2.htm") : start);
    EXPECT_EQ(shell.size(), t.outcome == Target::ToTheShell ? 1u : 0u);
    EXPECT_EQ(closed, t.outcome == Target::Closes ? 1 : 0);
  } else {
    const int type = t.kind == Target::Image ? QTextDocument::ImageResource
                                             : QTextDocument::StyleSheetResource;
    EXPECT_TRUE(loaded(stock.document()->resource(type, url)));
    EXPECT_FALSE(loaded(browser.document()->resource(type, url)));
  }
  EXPECT_EQ(browser.refused().contains(url.toString()), t.outcome == Target::Refused)
      << browser.refused().join(' ').toStdString();
}

const Target kTargets[] = {
    {"PictureAboveTheFolder", "../secret.png", Target::Image, Target::Refused},
    {"StyleSheetByAbsolutePath", "@OUT@/evil.css", Target::StyleSheet, Target::Refused},
    {"FileSchemeLink", "file:///etc/passwd", Target::Link, Target::Refused},
    {"ScriptLink", "javascript:alert(1)", Target::Link, Target::Refused},
    {"LinkAboveTheFolder", "../secret.htm", Target::Link, Target::Refused},
    {"PageInsideTheFolder", "page2.htm", Target::Link, Target::Followed},
    {"WebAddress", "https://www.brenholm.example/", Target::Link, Target::ToTheShell},
    {"CloseButtonOfThePage", "#ButtonOK", Target::Link, Target::Closes},
};
INSTANTIATE_TEST_SUITE_P(Targets, HostileHelpPage, ::testing::ValuesIn(kTargets),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
