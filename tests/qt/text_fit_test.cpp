// Every text of the wizard window and of the runner dialogs shows whole with the Qt
// renderer: a control laid out in dialog units is as wide as its text in the font the
// renderer really draws with, and every picture a page names is there. Screenshots are kept
// as build/wizard-*.png.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <functional>

#include "app/installer_sheet.h"
#include "engine/app_context.h"
#include "engine/component_entry.h"
#include "pages/pixlib_version_selection.h"
#include "pages/wizard_pages.h"
#include "platform/files.h"
#include "platform/qt/qt_ui.h"
#include "tests/qt/qt_test.h"
#include "runners/custom_exception.h"
#include "runners/download_and_install_component.h"
#include "runners/please_wait.h"
#include "runners/uninstall_component.h"
#include "tests/support/demo_fixture.h"
#include "tests/support/temp_machine.h"

namespace {

// Why the widget cannot show its text whole, or empty when it can.
std::string cutText(QWidget* w) {
  if (!w->isVisible()) return {};
  const QFontMetrics fm(w->font());
  QString text;
  QRect room;
  int flags = Qt::AlignLeft | Qt::AlignTop;
  auto contents = [&](QStyle::SubElement element, QAbstractButton* b) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    return b->style()->subElementRect(element, &opt, b);
  };
  if (auto* l = qobject_cast<QLabel*>(w)) {
    if (!l->pixmap().isNull()) return {};
    text = l->text();
    room = l->contentsRect();
    if (l->textFormat() == Qt::RichText) {
      if (l->sizeHint().width() > room.width()) return "link " + text.toStdString();
      return {};
    }
    if (l->wordWrap()) flags |= Qt::TextWordWrap;
  } else if (auto* b = qobject_cast<QPushButton*>(w)) {
    text = b->text();
    room = contents(QStyle::SE_PushButtonContents, b);
  } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
    text = c->text();
    room = contents(QStyle::SE_CheckBoxContents, c);
  } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
    text = r->text();
    room = contents(QStyle::SE_RadioButtonContents, r);
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    text = g->title();
    room = g->rect().adjusted(9, 0, -2, 0);  // the caption starts 7 pixels in, 2 of margin
  } else {
    return {};
  }
  if (text.isEmpty()) return {};
  const QRect need = fm.boundingRect(QRect(0, 0, room.width(), 100000), flags, text);
  if (need.width() <= room.width() && need.height() <= room.height()) return {};
  return text.toStdString() + " needs " + std::to_string(need.width()) + "x" +
         std::to_string(need.height()) + " in " + std::to_string(room.width()) + "x" +
         std::to_string(room.height());
}

void expectAllTextsWhole(QWidget* top, const std::string& where) {
  ASSERT_NE(top, nullptr) << where;
  int checked = 0;
  for (QWidget* w : top->findChildren<QWidget*>()) {
    if (!w->objectName().startsWith("control_")) continue;
    ++checked;
    const std::string cut = cutText(w);
    EXPECT_TRUE(cut.empty()) << where << ", " << w->objectName().toStdString() << ": " << cut;
  }
  EXPECT_GT(checked, 0) << where;
}

// The controls of a dialog as its template lays them out, without running the dialog's
// own start (which would start its work).
class TemplateCopy : public ui::Window {
 public:
  explicit TemplateCopy(const ui::Window& source)
      : ui::Window(source.templateId(), source.caption(), source.width(), source.height()) {
    for (const ui::Control& c : source.controls()) addControl(c.id, c.kind, c.rect, c.text) = c;
  }
};

class TextFitTest : public QtTest {
 protected:
  static std::string shot(const std::string& name) {
    return std::string(CORVANTA_BUILD_DIR) + "/wizard-" + name + ".png";
  }
};

TEST_F(TextFitTest, EveryPageOfTheWizardShowsItsTextsWhole) {
  TempMachine machine;
  // The content pages fetch their lists: from the demo server, as on a demo machine.
  DemoFixture demo(DemoFixture::Source::Repository);
  platform::files::createDirectory("C:\\Installer");
  appContext().applicationFolder = "C:\\Installer";
  appContext().isFolderWritable = true;
  qnDPrismalSDKInstallerSheet sheet(makeWizardPages);
  // A page that asks something on activation is answered with its default.
  QTimer dismiss;
  QObject::connect(&dismiss, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    // A content list being fetched from the demo server ends by itself.
    if (!modal || modal == qt->topLevel(sheet) || modal->windowTitle().contains(" - Download"))
      return;
    // A question without an escape button ignores close(): press its default instead.
    auto* box = qobject_cast<QMessageBox*>(modal);
    QAbstractButton* button = box ? (box->escapeButton() ? box->escapeButton()
                                                         : box->defaultButton())
                                  : nullptr;
    if (button)
      button->click();
    else
      modal->close();
  });
  dismiss.start(50);
  int shown = 0;
  std::function<void(int)> visit = [&](int index) {
    if (index == sheet.pageCount()) {
      sheet.endDialog(2);
      return;
    }
    sheet.setActivePage(index);
    qt->post([&, index] {
      const std::string where = "page " + std::to_string(index);
      expectAllTextsWhole(qt->topLevel(sheet), where);
      // Every picture the page names is among the resources drawn at build time.
      for (const ui::Control& c : sheet.activePage()->controls()) {
        if (c.image.empty()) continue;
        EXPECT_FALSE(qtui::QtUi::findImage(c.image).empty()) << where << ": " << c.image;
      }
      if (qt->saveScreenshot(sheet, shot("page-" + std::to_string(index)))) ++shown;
      visit(index + 1);
    });
  };
  qt->post([&] { visit(0); });
  EXPECT_EQ(sheet.doModal(), 2);
  EXPECT_EQ(shown, sheet.pageCount());
}

TEST_F(TextFitTest, TheRunnerDialogsShowTheirTextsWhole) {
  TempMachine machine;
  std::string name = "Corvanta Vision Software Version XI 11.0.0.614", state, progress;
  ComponentEntry entry(name.c_str(), "http://127.0.0.1:1/setup.exe", "setup.exe", "",
                       "C:\\Installer\\_CorvantaInstallData", false, false, &name, &state,
                       &progress, "");
  DDownloadAndInstallComponent download(1, 2, &entry, false, false, true);
  DUninstallComponent uninstall(1, 2, RemovalItem{name, [](const platform::CancelToken&) { return true; }});
  // The runners' own start would begin their work: their templates are shown instead.
  TemplateCopy downloadTemplate(download), uninstallTemplate(uninstall);
  DDownloadErrorHandlingOption error;
  error.message = "The component could not be downloaded. Please check the connection.";
  DPleaseWaitDlg wait;
  DPixlibVersionSelection pixlib(1, true);
  const std::pair<const char*, ui::Window*> dialogs[] = {
      {"download", &downloadTemplate}, {"uninstall", &uninstallTemplate},
      {"download-error", &error},      {"please-wait", &wait},
      {"pixlib", &pixlib}};
  for (const auto& [label, dialog] : dialogs) {
    ui::Window* w = dialog;
    qt->post([&, w, label = std::string(label)] {
      expectAllTextsWhole(qt->topLevel(*w), label);
      EXPECT_TRUE(qt->saveScreenshot(*w, shot("dialog-" + label))) << label;
      w->endDialog(1);
    });
    EXPECT_EQ(w->doModal(), 1) << label;
  }
}

}  // namespace
