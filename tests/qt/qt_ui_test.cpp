// The Qt renderer on the offscreen platform: models shown as widgets, user input reaching
// the models, model changes reaching the widgets, workers' messages and message boxes, and
// screenshots.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <functional>
#include <thread>

#include "platform/qt/qt_ui.h"
#include "tests/qt/qt_test.h"
#include "platform/ui/property_sheet.h"
#include "platform/win_types.h"

namespace {

using ui::ControlKind;
using ui::Rect;

class QtUiTest : public QtTest {
 protected:
  // Runs step inside the modal loop that the next doModal starts.
  void inLoop(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }
  // Every step runs in order inside the loop, a few milliseconds apart.
  void inLoop(std::vector<std::function<void()>> steps) {
    int delay = 0;
    for (auto& s : steps) QTimer::singleShot(delay += 5, std::move(s));
  }
  static std::string shotPath(const std::string& name) {
    return std::string(CORVANTA_BUILD_DIR) + "/" + name;
  }
  static void expectNonTrivialPng(const std::string& path, QSize size) {
    QFileInfo fi(QString::fromStdString(path));
    ASSERT_TRUE(fi.exists()) << path;
    EXPECT_GT(fi.size(), 1000);
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), size);
    // More than a blank window: the controls were painted.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
      for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8);
  }

};

class Sample : public ui::Window {
 public:
  Sample() : Window(135, "Download and Install Components", 501, 345) {
    auto& h = addControl(9702, ControlKind::Header, Rect{0, 0, 501, 100}, "Installing component 1 of 2");
    h.subtitle = "Corvanta Version XI 11.0.0.614 Runtime";
    h.image = "138";
    addControl(1004, ControlKind::Static, Rect{15, 110, 480, 130}, "Downloading component... Please wait...");
    addControl(1101, ControlKind::Progress, Rect{15, 140, 480, 160});
    setProgressRange(1101, 0, 1000);
    setProgressPosition(1101, 250);
    addControl(1106, ControlKind::ImageButton, Rect{15, 170, 47, 202}).image = "191";
    setTooltip(1106, "Install");
    addControl(1002, ControlKind::CheckBox, Rect{60, 170, 200, 190}, "Extensions Only");
    addControl(1003, ControlKind::ComboBox, Rect{210, 170, 330, 192});
    setItems(1003, {"Pixlib 1", "Pixlib 2"});
    setSelection(1003, 0);
    addControl(1005, ControlKind::CheckTree, Rect{15, 210, 200, 290});
    setTreeItems(1005, {{"Profiles 10.1", -1, false}, {"Demo", 0, true}});
    addControl(1007, ControlKind::RichText, Rect{210, 200, 480, 290},
               "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Readme\\par Notes}");
    addControl(2, ControlKind::Button, Rect{400, 305, 480, 328}, "Abort");
    addControl(1001, ControlKind::Button, Rect{310, 305, 390, 328}, "Install");
  }
  void onCommand(int id) override {
    commands.push_back(id);
    if (id == 1001) setText(1004, "Installing... Please wait...");
  }
  void onNotify(int id, ui::Event e) override { notifies.push_back(id); }
  long onMessage(unsigned msg, uintptr_t w, intptr_t) override {
    onUiThread = QThread::currentThread() == qApp->thread();
    if (w == 101) setProgressPosition(1101, progressPosition(1101) + 100);
    if (w == 104) endDialog(win::IDOK);
    return 1;
  }
  std::vector<int> commands, notifies;
  bool onUiThread = false;
};

template <class T>
T* find(qtui::QtUi& qt, ui::Window& w, int id) {
  return qobject_cast<T*>(qt.widget(w, id));
}

TEST_F(QtUiTest, DialogShowsControlsAndDeliversInput) {
  Sample s;
  std::string shot = shotPath("qt_sample_dialog.png");
  inLoop({
      [&] {
        auto* label = find<QLabel>(*qt, s, 1004);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), "Downloading component... Please wait...");
        auto* bar = find<QProgressBar>(*qt, s, 1101);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->maximum(), 1000);
        EXPECT_EQ(bar->value(), 250);
        EXPECT_EQ(find<QTextBrowser>(*qt, s, 1007)->toPlainText(), "Readme\nNotes");
        EXPECT_EQ(find<QTreeWidget>(*qt, s, 1005)->topLevelItem(0)->child(0)->checkState(0),
                  Qt::Checked);
        // The image button says what it does even without its picture.
        EXPECT_NE(qt->widget(s, 1106), nullptr);
        EXPECT_EQ(qt->topLevel(s)->windowTitle(), "Download and Install Components");
      },
      [&] { find<QAbstractButton>(*qt, s, 1001)->click(); },
      [&] {
        EXPECT_EQ(find<QLabel>(*qt, s, 1004)->text(), "Installing... Please wait...");
        find<QCheckBox>(*qt, s, 1002)->click();
        auto* combo = find<QComboBox>(*qt, s, 1003);
        combo->setCurrentIndex(1);
        emit combo->activated(1);
        // A disabled button takes no clicks.
        s.enable(1001, false);
        find<QAbstractButton>(*qt, s, 1001)->click();
        s.setProgressPosition(1101, 600);
      },
      [&] {
        EXPECT_EQ(find<QProgressBar>(*qt, s, 1101)->value(), 600);
        EXPECT_TRUE(qt->saveScreenshot(s, shot));
        find<QAbstractButton>(*qt, s, 2)->click();
      },
  });
  EXPECT_EQ(s.doModal(), win::IDCANCEL);
  EXPECT_EQ(s.commands, (std::vector<int>{1001, 1002}));
  EXPECT_EQ(s.check(1002), 1);
  EXPECT_EQ(s.selection(1003), 1);
  EXPECT_EQ(s.notifies, std::vector<int>{1003});
  EXPECT_EQ(qt->topLevel(s), nullptr);
  expectNonTrivialPng(shot, QSize(501, 345));
}

TEST_F(QtUiTest, WorkerMessagesAndMessageBoxesReachTheGuiThread) {
  Sample s;
  std::atomic<int> answer{0};
  std::thread worker;
  inLoop([&] {
    worker = std::thread([&] {
      s.sendMessage(win::WM_USER + 5, 101, 0);
      answer = ui::messageBox(&s, "Do you want to abort?", "Confirmation",
                              win::MB_YESNO | win::MB_ICONQUESTION);
      s.sendMessage(win::WM_USER + 5, 104, 0);
    });
  });
  // Answer the box the worker raises, as a user would.
  QTimer answerer;
  QObject::connect(&answerer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (box->windowTitle() == "Confirmation") box->button(QMessageBox::Yes)->click();
    }
  });
  answerer.start(5);
  EXPECT_EQ(s.doModal(), win::IDOK);
  worker.join();
  EXPECT_EQ(answer, win::IDYES);
  EXPECT_TRUE(s.onUiThread);
  EXPECT_EQ(s.progressPosition(1101), 350);
}

class SamplePage : public ui::PropertyPage {
 public:
  SamplePage(int n) : PropertyPage(200 + n, "Wizard - Page " + std::to_string(n)) {
    auto& h = addControl(9702, ControlKind::Header, Rect{0, 0, 735, 70}, "Page " + std::to_string(n));
    h.image = "129";
    addControl(1098, ControlKind::Static, Rect{180, 90, 700, 130},
               "Please click on the 'Next' button to proceed.");
    addControl(1106, ControlKind::ImageButton, Rect{180, 150, 212, 182}, "Download").image = "202";
    addControl(1200 + n, ControlKind::Button, Rect{180, 200, 280, 223}, "Install");
  }
  void onCommand(int id) override { commands.push_back(id); }
  std::vector<int> commands;
};

TEST_F(QtUiTest, PropertySheetSwitchesPagesInOneWindow) {
  ui::PropertySheet sheet("Wizard");
  SamplePage p0(0), p1(1);
  sheet.addPage(&p0);
  sheet.addPage(&p1);
  sheet.addControl(40203, ControlKind::Button, Rect{10, 482, 95, 505}, "Home");
  std::string shot = shotPath("qt_sample_sheet.png");
  inLoop({
      [&] {
        EXPECT_EQ(qt->topLevel(p0), qt->topLevel(sheet));
        ASSERT_NE(qt->widget(p0, 1200), nullptr);
        EXPECT_EQ(qt->topLevel(sheet)->windowTitle(), "Wizard - Page 0");
        find<QAbstractButton>(*qt, sheet, ui::ID_WIZNEXT)->click();
      },
      [&] {
        EXPECT_EQ(sheet.activeIndex(), 1);
        EXPECT_EQ(qt->topLevel(sheet)->windowTitle(), "Wizard - Page 1");
        EXPECT_EQ(qt->widget(p0, 1200), nullptr);  // the old page's widgets are gone
        auto* install = find<QAbstractButton>(*qt, p1, 1201);
        ASSERT_NE(install, nullptr);
        install->click();
        EXPECT_TRUE(qt->saveScreenshot(sheet, shot));
        // The close box is the cancel command.
        qt->topLevel(sheet)->close();
      },
  });
  EXPECT_EQ(sheet.doModal(), win::IDCANCEL);
  EXPECT_EQ(p1.commands, std::vector<int>{1201});
  EXPECT_TRUE(p0.commands.empty());
  EXPECT_FALSE(p1.isOpen());
  expectNonTrivialPng(shot, QSize(sheet.width(), sheet.height()));
}

TEST(QtRtf, PlainTextFromRichText) {
  struct Row {
    const char* rtf;
    const char* plain;
  } rows[] = {
      {"plain text stays", "plain text stays"},
      {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
       "\\f0\\fs20 Line one\\par Line two}",
       "Line one\nLine two"},
      {"{\\rtf1 a\\tab b \\{x\\} c\\\\d}", "a\tb {x} c\\d"},
      {"{\\rtf1{\\*\\generator Writer;}Version \\'e9t\\'e9}", "Version \xc3\xa9t\xc3\xa9"},
      {"{\\rtf1\\uc1 caf\\u233?}", "caf\xc3\xa9"},
  };
  for (const auto& r : rows) EXPECT_EQ(qtui::rtfToPlainText(r.rtf), r.plain) << r.rtf;
}

}  // namespace
