// The window model and the scripted UI: control state, input routing, synchronous
// messages across threads, timers, modal runs and message boxes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <tuple>
#include <thread>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/ui/image_controls.h"
#include "platform/ui/scripted_ui.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"
#include "tests/support/temp_machine.h"

namespace {

using namespace std::chrono_literals;
using ui::ControlKind;
using ui::Rect;

class ScriptedUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::setBackend(&script);
    platform::setDebugSink([this](const std::string& line) { debugLines.push_back(line); });
  }
  void TearDown() override {
    platform::setDebugSink(nullptr);
    ui::setBackend(nullptr);
  }
  ui::ScriptedUi script;
  std::vector<std::string> debugLines;
};

// A dialog that records what reaches it.
class Probe : public ui::Window {
 public:
  Probe(const std::string& caption = "Probe") : Window(100, caption, 300, 200) {
    addControl(1, ControlKind::Button, ui::dluRect(10, 10, 50, 14), "OK");
    addControl(2, ControlKind::Button, ui::dluRect(70, 10, 50, 14), "Abort");
    addControl(1001, ControlKind::Button, Rect{0, 40, 80, 63}, "Install");
    addControl(1002, ControlKind::CheckBox, Rect{0, 70, 80, 90}, "Option");
    addControl(1003, ControlKind::ComboBox, Rect{0, 100, 80, 120});
    addControl(1004, ControlKind::Static, Rect{0, 130, 200, 150}, "Ready");
    addControl(1005, ControlKind::CheckTree, Rect{0, 160, 200, 300});
    addControl(1006, ControlKind::Hyperlink, Rect{0, 310, 200, 330}, "Site");
  }
  void onInitDialog() override { ++inits; }
  void onCommand(int id) override { commands.push_back(id); }
  void onNotify(int id, ui::Event e) override { notifies.emplace_back(id, e); }
  void onTimer(int id) override {
    ++ticks[id];
    if (endAfterTicks && ticks[id] >= endAfterTicks) endDialog(7);
  }
  long onMessage(unsigned msg, uintptr_t w, intptr_t l) override {
    handlerThread = std::this_thread::get_id();
    ++handled;
    lastMessage = msg;
    if (onMessageHook) onMessageHook(msg, w, l);
    return static_cast<long>(w) * 2;
  }
  void onDestroy() override { ++destroys; }

  int inits = 0, destroys = 0, endAfterTicks = 0;
  std::function<void(unsigned, uintptr_t, intptr_t)> onMessageHook;
  std::atomic<int> handled{0};
  std::atomic<unsigned> lastMessage{0};
  std::thread::id handlerThread;
  std::vector<int> commands;
  std::vector<std::pair<int, ui::Event>> notifies;
  std::map<int, int> ticks;
};

TEST(UiDialogUnits, ConvertWithRounding) {
  struct Row {
    int dlu, x, y;
  } rows[] = {{0, 0, 0}, {4, 6, 7}, {8, 12, 13}, {1, 2, 2}, {3, 5, 5}, {334, 501, 543}, {212, 318, 345}};
  for (const auto& r : rows) {
    EXPECT_EQ(ui::dluX(r.dlu), r.x) << r.dlu;
    EXPECT_EQ(ui::dluY(r.dlu), r.y) << r.dlu;
  }
  Rect rc = ui::dluRect(4, 8, 8, 16);
  EXPECT_EQ(rc.left, 6);
  EXPECT_EQ(rc.top, 13);
  EXPECT_EQ(rc.right, 18);
  EXPECT_EQ(rc.bottom, 39);
}

TEST(UiDialogUnits, FollowTheBaseUnitsABackendSets) {
  // A wider and taller font: 7 x 15 pixels per character.
  ui::setDialogBaseUnits({7, 15});
  struct Row {
    int dlu, x, y;
  } rows[] = {{4, 7, 8}, {8, 14, 15}, {334, 585, 626}};
  for (const auto& r : rows) {
    EXPECT_EQ(ui::dluX(r.dlu), r.x) << r.dlu;
    EXPECT_EQ(ui::dluY(r.dlu), r.y) << r.dlu;
  }
  // Pixel layouts of the default font grow in the same proportion.
  EXPECT_EQ(ui::fontScaledX(760), 887);
  EXPECT_EQ(ui::fontScaledY(26), 30);
  // Nonsense units fall back to the default rather than collapsing every layout.
  ui::setDialogBaseUnits({0, -3});
  EXPECT_EQ(ui::dluX(4), 6);
  EXPECT_EQ(ui::dluY(8), 13);
  ui::setDialogBaseUnits({7, 15});
  ui::ScriptedUi scripted;  // scripts always lay out with the default units
  EXPECT_EQ(ui::dluX(4), 6);
  EXPECT_EQ(ui::fontScaledX(760), 760);
}

TEST_F(ScriptedUiTest, UnknownControlIsANoOpWithOneDebugLine) {
  Probe p;
  p.setText(4711, "x");
  EXPECT_EQ(p.text(4711), "");
  EXPECT_FALSE(p.isEnabled(4711));
  EXPECT_EQ(p.selection(4711), -1);
  ASSERT_FALSE(debugLines.empty());
  EXPECT_EQ(debugLines.front(), "Window::setText - no control 4711\n");
}

TEST_F(ScriptedUiTest, ControlStateRoundTrips) {
  Probe p;
  p.setItems(1003, {"a", "b", "c"});
  p.setSelection(1003, 2);
  EXPECT_EQ(p.selection(1003), 2);
  p.setSelection(1003, 5);  // out of range clears the selection
  EXPECT_EQ(p.selection(1003), -1);
  p.setSelection(1003, 1);
  p.setItems(1003, {"only"});  // a selection beyond the new items is dropped
  EXPECT_EQ(p.selection(1003), -1);

  p.addControl(1101, ControlKind::Progress, Rect{});
  p.setProgressRange(1101, 0, 1000);
  p.setProgressPosition(1101, 1500);
  EXPECT_EQ(p.progressPosition(1101), 1000);
  p.setProgressPosition(1101, 250);
  EXPECT_EQ(p.progressPosition(1101), 250);

  p.enable(1001, false);
  p.show(1004, false);
  EXPECT_FALSE(p.isEnabled(1001));
  EXPECT_FALSE(p.isVisible(1004));
}

TEST_F(ScriptedUiTest, ClickRoutingTable) {
  struct Row {
    const char* what;
    int id;
    bool disable, hide;
    int wantResult;           // 0: not ended
    std::vector<int> wantCommands;
  } rows[] = {
      {"ok", 1, false, false, 1, {}},
      {"cancel", 2, false, false, 2, {}},
      {"button", 1001, false, false, 0, {1001}},
      {"disabled button", 1001, true, false, 0, {}},
      {"hidden button", 1001, false, true, 0, {}},
      {"disabled abort", 2, true, false, 0, {}},
      {"unknown id", 999, false, false, 0, {}},
  };
  for (const auto& r : rows) {
    Probe p;
    p.beginShow();
    if (r.disable) p.enable(r.id, false);
    if (r.hide) p.show(r.id, false);
    p.click(r.id);
    EXPECT_EQ(p.ended() ? p.result() : 0, r.wantResult) << r.what;
    EXPECT_EQ(p.commands, r.wantCommands) << r.what;
    p.endShow();
  }
}

TEST_F(ScriptedUiTest, UserInputReachesHandlersAndState) {
  Probe p;
  p.beginShow();
  p.click(1002);
  EXPECT_EQ(p.check(1002), 1);
  p.click(1002);
  EXPECT_EQ(p.check(1002), 0);
  p.userCheck(1002, 1);
  EXPECT_EQ(p.check(1002), 1);
  EXPECT_EQ(p.commands, (std::vector<int>{1002, 1002, 1002}));

  p.setItems(1003, {"x", "y"});
  p.userSelect(1003, 1);
  p.setTreeItems(1005, {{"root", -1, false}, {"leaf", 0, false}});
  p.userCheckItem(1005, 1, true);
  p.activateLink(1006);
  EXPECT_EQ(p.selection(1003), 1);
  EXPECT_TRUE(p.control(1005)->treeItems[1].checked);
  ASSERT_EQ(p.notifies.size(), 3u);
  EXPECT_EQ(p.notifies[0], std::make_pair(1003, ui::Event::SelectionChanged));
  EXPECT_EQ(p.notifies[1], std::make_pair(1005, ui::Event::CheckChanged));
  EXPECT_EQ(p.notifies[2], std::make_pair(1006, ui::Event::LinkActivated));

  p.enable(1003, false);
  p.userSelect(1003, 0);
  EXPECT_EQ(p.selection(1003), 1);
  EXPECT_EQ(p.notifies.size(), 3u);
  p.endShow();
}

TEST_F(ScriptedUiTest, SendMessageFromWorkerRunsOnUiThreadAndWaits) {
  struct Ender : Probe {
    long onMessage(unsigned msg, uintptr_t w, intptr_t l) override {
      long r = Probe::onMessage(msg, w, l);
      if (msg == win::WM_USER + 9) endDialog(3);
      return r;
    }
  } e;
  std::atomic<long> got{-1};
  std::atomic<int> handledWhenReturned{-1};
  std::thread worker;
  script.whenShown("Probe", [&](ui::Window& w) {
    worker = std::thread([&] {
      got = w.sendMessage(win::WM_USER + 5, 21, 0);
      handledWhenReturned = e.handled.load();
      w.postMessage(win::WM_USER + 9, 0, 0);
    });
  });
  EXPECT_EQ(e.doModal(), 3);
  worker.join();
  EXPECT_EQ(got, 42);
  EXPECT_EQ(handledWhenReturned, 1);
  EXPECT_EQ(e.handlerThread, std::this_thread::get_id());
  EXPECT_EQ(e.handled, 2);
}

TEST_F(ScriptedUiTest, SendMessageToClosedWindowReturnsAtOnce) {
  Probe p;
  // Never shown: no wait at all.
  std::thread([&] { EXPECT_EQ(p.sendMessage(win::WM_USER + 5, 1, 0), 0); }).join();

  // Closed while the sender waits: it is released and the handler never runs later.
  p.beginShow();
  std::atomic<bool> returned{false};
  std::atomic<long> got{-1};
  std::thread worker([&] {
    got = p.sendMessage(win::WM_USER + 5, 1, 0);
    returned = true;
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(returned);  // nobody pumped yet
  p.endShow();
  worker.join();
  EXPECT_EQ(got, 0);
  script.pump();
  EXPECT_EQ(p.handled, 0);
}

TEST_F(ScriptedUiTest, MessagesForADestroyedWindowAreDropped) {
  std::atomic<bool> done{false};
  std::thread worker;
  {
    auto p = std::make_unique<Probe>();
    p->beginShow();
    p->postMessage(win::WM_USER + 1, 0, 0);
    Probe* raw = p.get();
    worker = std::thread([raw, &done] {
      raw->sendMessage(win::WM_USER + 2, 0, 0);
      done = true;
    });
    // Let the send get queued, then destroy the window without closing it first.
    ui::waitPumping([] { return false; }, 0);
    std::this_thread::sleep_for(10ms);
  }
  worker.join();
  EXPECT_TRUE(done);
  script.pump();  // both queued tasks find the window gone
}

TEST_F(ScriptedUiTest, TimersTickUntilKilledAndStopWithTheWindow) {
  Probe p;
  p.endAfterTicks = 3;
  p.setTimer(5, 5);  // set before the run: starts when the window opens
  EXPECT_EQ(p.doModal(), 7);
  EXPECT_EQ(p.ticks[5], 3);
  EXPECT_FALSE(p.hasTimer(5));  // closing the window stops its timers

  Probe q;
  q.beginShow();
  q.setTimer(8, 1);
  EXPECT_TRUE(ui::waitPumping([&] { return q.ticks[8] >= 2; }, 2000));
  q.killTimer(8);
  int seen = q.ticks[8];
  std::this_thread::sleep_for(5ms);
  script.pump();
  EXPECT_EQ(q.ticks[8], seen);
  q.endShow();
}

TEST_F(ScriptedUiTest, HooksClickButtonsAndModalLimitEndsStuckDialogs) {
  Probe p("Download and Install Components");
  script.whenShown("Install", [](ui::Window& w) { w.click(1001); });
  script.whenShown("Download", [](ui::Window& w) { w.click(2); });
  EXPECT_EQ(p.doModal(), win::IDCANCEL);
  EXPECT_EQ(p.commands, std::vector<int>{1001});
  EXPECT_EQ(p.inits, 1);
  EXPECT_EQ(p.destroys, 1);
  EXPECT_FALSE(p.isOpen());
  script.clearHooks();

  Probe stuck("Stuck");
  script.setModalLimit(30);
  EXPECT_EQ(stuck.doModal(), win::IDCANCEL);
  EXPECT_EQ(script.timedOut(), 1);
  EXPECT_EQ(script.modalCaptions(),
            (std::vector<std::string>{"Download and Install Components", "Stuck"}));
}

TEST_F(ScriptedUiTest, NestedModalWithMessageBoxFromWorker) {
  // The outer dialog's button opens an inner dialog; the inner one's worker asks a
  // question while the UI thread sits in the inner modal loop, then reports back.
  struct Inner : Probe {
    Inner() : Probe("Inner") {}
    void onInitDialog() override {
      worker = std::thread([this] {
        answer = ui::messageBox(nullptr, "Do you want to abort?", "Confirmation",
                                win::MB_YESNO);
        sendMessage(win::WM_USER + 5, 104, 0);
      });
    }
    long onMessage(unsigned msg, uintptr_t w, intptr_t) override {
      if (w == 104) endDialog(win::IDOK);
      return 0;
    }
    std::thread worker;
    std::atomic<int> answer{0};
  };
  struct Outer : Probe {
    void onCommand(int id) override {
      Inner inner;
      innerResult = inner.doModal();
      inner.worker.join();
      innerAnswer = inner.answer;
      endDialog(9);
    }
    int innerResult = 0, innerAnswer = 0;
  } outer;
  ui::setApplicationTitle("Setup");
  script.answer(win::IDNO);
  script.whenShown("Probe", [](ui::Window& w) { w.click(1001); });
  EXPECT_EQ(outer.doModal(), 9);
  EXPECT_EQ(outer.innerResult, win::IDOK);
  EXPECT_EQ(outer.innerAnswer, win::IDNO);
  auto msgs = script.messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].caption, "Confirmation");
  EXPECT_EQ(script.modalCaptions(), (std::vector<std::string>{"Probe", "Inner"}));
}

TEST_F(ScriptedUiTest, MessageBoxAnswersTable) {
  ui::setApplicationTitle("Corvanta Setup");
  script.answer(win::IDYES);
  script.answer(win::IDRETRY);
  struct Row {
    unsigned type;
    int want;
  } rows[] = {
      {win::MB_OK, win::IDOK},          // the queued Yes is not for an OK box
      {win::MB_YESNO, win::IDYES},
      {win::MB_OK | win::MB_ICONERROR, win::IDOK},
      {5 /* retry/cancel */, win::IDRETRY},
      {win::MB_YESNO, win::IDCANCEL},   // nothing queued: unanswered
      {win::MB_OKCANCEL, win::IDCANCEL},
  };
  for (const auto& r : rows) EXPECT_EQ(ui::messageBox(nullptr, "text", "", r.type), r.want);
  EXPECT_EQ(script.unanswered(), 2);
  auto msgs = script.messages();
  ASSERT_EQ(msgs.size(), 6u);
  EXPECT_EQ(msgs[0].caption, "Corvanta Setup");
  EXPECT_EQ(msgs[1].answer, win::IDYES);

  std::string user, password;
  script.answerCredentials("ann", "pw");
  script.answerCredentials("", "");
  EXPECT_TRUE(script.askCredentials("server", user, password));
  EXPECT_EQ(user, "ann");
  EXPECT_EQ(password, "pw");
  EXPECT_FALSE(script.askCredentials("server", user, password));
  EXPECT_FALSE(script.askCredentials("server", user, password));
}

TEST_F(ScriptedUiTest, RecordsVisibleTextsOnlyWhenTheyChange) {
  Probe p;
  p.show(1006, false);
  p.setText(1004, "before the window exists");
  // What shows comes into view with the window: the modal run records it.
  script.whenShown("Probe", [](ui::Window& w) { w.endDialog(1); });
  p.doModal();
  script.clearHooks();
  EXPECT_TRUE(script.wasShown("before the window exists"));
  EXPECT_FALSE(script.wasShown("Site"));

  Probe q("Second");
  script.whenShown("Second", [](ui::Window& w) {
    w.setText(1004, "Downloaded 0 KB");
    w.setText(1004, "Downloaded 0 KB");
    w.setText(1004, "Downloaded 100 KB");
    w.show(1006, false);
    w.setText(1006, "hidden text");
    w.endDialog(1);
  });
  q.doModal();
  int count0 = 0, count100 = 0;
  for (const auto& s : script.shown()) {
    if (s.text == "Downloaded 0 KB") {
      ++count0;
      EXPECT_EQ(s.window, "Second");
      EXPECT_EQ(s.id, 1004);
    }
    if (s.text == "Downloaded 100 KB") ++count100;
  }
  EXPECT_EQ(count0, 1);
  EXPECT_EQ(count100, 1);
  EXPECT_FALSE(script.wasShown("hidden text"));
}

TEST_F(ScriptedUiTest, WaitPumpingRunsUiWorkAndTimesOut) {
  std::atomic<bool> ran{false};
  std::thread([&] { script.post([&] { ran = true; }); }).join();
  EXPECT_TRUE(ui::waitPumping([&] { return ran.load(); }, 2000));
  EXPECT_FALSE(ui::waitPumping([] { return false; }, 5));

  // On another thread it only polls (the UI thread's queue is left alone).
  std::atomic<bool> ran2{false};
  script.post([&] { ran2 = true; });
  bool polled = true;
  std::thread([&] { polled = ui::waitPumping([&] { return ran2.load(); }, 10); }).join();
  EXPECT_FALSE(polled);
  script.pump();
  EXPECT_TRUE(ran2);
}

TEST_F(ScriptedUiTest, ScheduledActionsRunInsideTheModalLoop) {
  Probe p;
  script.after(5, [&] { p.click(1001); });
  script.after(10, [&] { p.click(2); });
  EXPECT_EQ(p.doModal(), win::IDCANCEL);
  EXPECT_EQ(p.commands, std::vector<int>{1001});
}

// A 1 x 1 picture: signature, IHDR, IDAT and IEND.
const std::string kOnePixelPng(
    "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89"
    "\0\0\0\x0dIDAT\x78\x9c\x63\0\x01\0\0\x05\0\x01\x0d\x0a\x2d\xb4\0\0\0\0IEND\xae\x42\x60\x82",
    67);

TEST_F(ScriptedUiTest, ImageButtonsLoadPicturesAndSayWhyNot) {
  TempMachine machine;
  const std::string dir = machine.host("C:\\Resources");
  ui::setResourceDir(dir);
  std::string corrupt = kOnePixelPng;
  corrupt[19] = 2;  // the width changes, the header's CRC no longer matches
  struct File {
    const char *resource, *windowsPath;
    std::string data;
  } files[] = {{"901.png", "C:\\Pictures\\good.png", kOnePixelPng},
               {"902.png", "C:\\Pictures\\empty.png", ""},
               {"903.png", "C:\\Pictures\\corrupt.png", corrupt},
               {"904.png", "C:\\Pictures\\text.png", "not a picture at all, just words"}};
  platform::files::createDirectory("C:\\Pictures");
  platform::files::createDirectory("C:\\Resources");
  for (const File& f : files) {
    ASSERT_TRUE(platform::files::writeFile(std::string("C:\\Resources\\") + f.resource, f.data));
    ASSERT_TRUE(platform::files::writeFile(f.windowsPath, f.data));
  }
  struct Case {
    int number;
    const char* path;
    int resourceResult, fileResult, width;
  } cases[] = {{901, "C:\\Pictures\\good.png", 1, 1, 1},
               {902, "C:\\Pictures\\empty.png", -1, 0, 0},
               {903, "C:\\Pictures\\corrupt.png", 0, 0, 0},
               {904, "C:\\Pictures\\text.png", 0, 0, 0},
               {905, "C:\\Pictures\\missing.png", -1, 0, 0}};
  for (const Case& c : cases) {
    Probe p;
    ui::mxImageButton button(p, 1500, Rect{10, 20, 34, 44});
    EXPECT_EQ(button.width(), 32);  // until a picture is loaded
    EXPECT_EQ(button.loadPngResource(c.number), c.resourceResult) << c.number;
    EXPECT_EQ(button.width(), c.width) << c.number;
    EXPECT_EQ(button.height(), c.width) << c.number;
    if (c.resourceResult == 1) {
      // Resized to the picture where it stands.
      const Rect r = p.control(1500)->rect;
      EXPECT_EQ(r.left, 10);
      EXPECT_EQ(r.top, 20);
      EXPECT_EQ(r.width(), 1);
      EXPECT_EQ(r.height(), 1);
    }
    EXPECT_EQ(button.loadImageFile(c.path), c.fileResult) << c.path;
    EXPECT_EQ(button.width(), c.width) << c.path;
  }
  // The information picture of an image static is always resource 206.
  ASSERT_TRUE(platform::files::writeFile("C:\\Resources\\206.png", kOnePixelPng));
  Probe p;
  ui::mxImageStatic info(p, 1501);
  EXPECT_EQ(info.loadPngResource(), 1);
  EXPECT_EQ(p.control(1501)->kind, ControlKind::ImageStatic);
  EXPECT_EQ(p.control(1501)->image, "206");
  ui::setResourceDir("");
}

TEST_F(ScriptedUiTest, ADynamicButtonSendsItsValuesToItsOwner) {
  Probe owner, page("Page");
  ui::DDynamicButton button(page, 41004, Rect{0, 0, 24, 24});
  button.setOwner(&owner, 3, 0xFFFFFFFFu);
  std::vector<std::tuple<unsigned, uintptr_t, intptr_t>> seen;
  owner.onMessageHook = [&](unsigned msg, uintptr_t w, intptr_t l) { seen.emplace_back(msg, w, l); };
  page.click(41004);
  ASSERT_EQ(seen.size(), 1u);  // synchronous: there by the time the click returns
  EXPECT_EQ(std::get<0>(seen[0]), 0x406u);
  EXPECT_EQ(std::get<1>(seen[0]), 3u);
  EXPECT_EQ(std::get<2>(seen[0]), static_cast<intptr_t>(0xFFFFFFFFu));
  EXPECT_TRUE(page.commands.empty());  // the owner has it, not the button's window
}

}  // namespace

namespace {

TEST_F(ScriptedUiTest, AQuestionAskedWithoutEndFailsAtOnce) {
  auto askForever = [] {
    for (size_t i = 0; i <= ui::ScriptedUi::kRecordLimit; ++i)
      ui::messageBox(nullptr, "Repair?", "Installer", win::MB_YESNO);
  };
  EXPECT_THROW(askForever(), std::length_error);
}

}  // namespace
