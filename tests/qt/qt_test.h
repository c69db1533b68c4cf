#pragma once
// What the Qt tests share: one application for the test program, and the Qt renderer as the
// UI backend for the time of a test.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "platform/qt/qt_ui.h"
#include "platform/ui/ui.h"

// The test program's application, made on first use and kept until the program ends.
inline void ensureQtApplication() {
  if (QApplication::instance()) return;
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "test_qt";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

class QtTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ensureQtApplication(); }
  void SetUp() override {
    qt = std::make_unique<qtui::QtUi>();
    ui::setBackend(qt.get());
  }
  void TearDown() override {
    ui::setBackend(nullptr);
    qt.reset();
  }
  std::unique_ptr<qtui::QtUi> qt;
};
