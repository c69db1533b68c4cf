// What the renderer gives windows and tips: a wait notice without a close box over the
// middle of its owner, tool tips after 50 ms in the pages' font.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QToolTip>
#include <QWidget>

#include "tests/qt/qt_test.h"
#include "runners/please_wait.h"

namespace {

using FrameAndTips = QtTest;

TEST_F(FrameAndTips, TheWaitNoticeHasNoCloseBoxAndSitsOverItsOwner) {
  EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 50);

  ui::Window owner(1, "Owner", 600, 400);
  owner.createModeless();
  DPleaseWaitDlg wait;
  wait.createModeless(&owner);
  QWidget *ownerWidget = nullptr, *waitWidget = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->windowTitle() == "Owner") ownerWidget = w;
    for (QWidget* child : w->findChildren<QWidget*>())
      if (child->isWindow() && child->windowTitle() == "Please wait...") waitWidget = child;
    if (w->windowTitle() == "Please wait...") waitWidget = w;
  }
  ASSERT_TRUE(ownerWidget && waitWidget);
  const Qt::WindowFlags flags = waitWidget->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
  const QPoint ownerCentre = ownerWidget->mapToGlobal(ownerWidget->rect().center());
  const QPoint waitCentre = waitWidget->mapToGlobal(waitWidget->rect().center());
  EXPECT_LE((ownerCentre - waitCentre).manhattanLength(), 2);
  EXPECT_EQ(QToolTip::font(), waitWidget->font());  // the font the windows are laid out in
  EXPECT_EQ(waitWidget->width(), ui::dluX(140));
  EXPECT_EQ(waitWidget->height(), ui::dluY(41));
  wait.destroyWindow();
  owner.destroyWindow();
}

}  // namespace
