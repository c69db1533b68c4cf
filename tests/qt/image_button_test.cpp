// Image buttons as the Qt renderer draws them: the picture unscaled at the top-left corner,
// grey through the colour matrix when disabled, the orange frame 2 pixels inside the edge
// while the mouse rests on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include "platform/qt/qt_ui.h"
#include "tests/qt/qt_test.h"
#include "platform/ui/image_controls.h"

namespace {

class ImageButtonTest : public QtTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    // A plain red picture, 20 x 14, as resource 901.
    QImage red(20, 14, QImage::Format_ARGB32);
    red.fill(QColor(255, 0, 0));
    ASSERT_TRUE(red.save(folder.filePath("901.png"), "PNG"));
    ui::setResourceDir(folder.path().toStdString());
    QtTest::SetUp();
  }
  void TearDown() override {
    QtTest::TearDown();
    ui::setResourceDir("");
  }
  // The button's widget drawn as it is now, its state changed by change first.
  QImage drawn(ui::Window& dialog, const std::function<void(QWidget*)>& change) {
    QImage image;
    qt->post([&] {
      QWidget* w = qt->widget(dialog, 1500);
      if (w) {
        change(w);
        image = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
      }
      dialog.endDialog(1);
    });
    dialog.doModal();
    return image;
  }
  QTemporaryDir folder;
};

class ButtonDialog : public ui::Window {
 public:
  ButtonDialog() : Window(100, "Pictures", 200, 120) {}
  void onInitDialog() override {
    ui::mxImageButton button(*this, 1500, ui::Rect{30, 40, 62, 72});
    loaded = button.loadPngResource(901);
  }
  int loaded = 0;
};

TEST_F(ImageButtonTest, TheEnabledPictureIsDrawnUnscaledAtItsSize) {
  ButtonDialog dialog;
  QImage image = drawn(dialog, [](QWidget*) {});
  EXPECT_EQ(dialog.loaded, 1);
  ASSERT_EQ(image.size(), QSize(20, 14));
  EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(19, 13), QColor(255, 0, 0));
}

TEST_F(ImageButtonTest, ADisabledButtonIsGreyThroughTheColourMatrix) {
  ButtonDialog dialog;
  QImage image = drawn(dialog, [&](QWidget*) { dialog.enable(1500, false); });
  ASSERT_FALSE(image.isNull());
  // Red 255 becomes 0.2125 * 255 + 0.38 * 255 = 151 in every channel.
  for (QPoint at : {QPoint(0, 0), QPoint(10, 7), QPoint(19, 13)}) {
    const QColor c = image.pixelColor(at);
    EXPECT_EQ(c, QColor(151, 151, 151)) << at.x() << "," << at.y() << ": " << c.red() << " "
                                        << c.green() << " " << c.blue();
  }
}

TEST_F(ImageButtonTest, AHoveredButtonHasTheOrangeFrameTwoPixelsInside) {
  ButtonDialog dialog;
  QImage image = drawn(dialog, [](QWidget* w) {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(w, &enter);
    EXPECT_EQ(w->cursor().shape(), Qt::PointingHandCursor);
  });
  ASSERT_EQ(image.size(), QSize(20, 14));
  const QColor frame(248, 202, 127), picture(255, 0, 0);
  // The frame runs from (2, 2) to (width - 3, height - 3); the picture shows around it.
  EXPECT_EQ(image.pixelColor(2, 2), frame);
  EXPECT_EQ(image.pixelColor(17, 11), frame);
  EXPECT_EQ(image.pixelColor(10, 2), frame);
  EXPECT_EQ(image.pixelColor(2, 7), frame);
  EXPECT_EQ(image.pixelColor(1, 1), picture);
  EXPECT_EQ(image.pixelColor(18, 12), picture);
  EXPECT_EQ(image.pixelColor(10, 7), picture);
}

TEST_F(ImageButtonTest, APictureLoadedAfterTheButtonIsShownIsDrawnAtOnce) {
  // The resources page's pictures may arrive after their buttons: no repaint timer is
  // needed, the load itself redraws.
  class Late : public ButtonDialog {
    void onInitDialog() override { ui::mxImageButton(*this, 1500, ui::Rect{30, 40, 62, 72}); }
  } dialog;
  QImage image = drawn(dialog, [&](QWidget*) {
    dialog.loaded = ui::mxImageButton(dialog, 1500).loadPngResource(901);
  });
  EXPECT_EQ(dialog.loaded, 1);
  ASSERT_EQ(image.size(), QSize(20, 14));
  EXPECT_EQ(image.pixelColor(10, 7), QColor(255, 0, 0));
}

TEST_F(ImageButtonTest, AMissingPictureLeavesTheButtonEmpty) {
  class Missing : public ButtonDialog {
    void onInitDialog() override {
      ui::mxImageButton button(*this, 1500, ui::Rect{30, 40, 62, 72});
      loaded = button.loadPngResource(999);
    }
  } dialog;
  QImage image = drawn(dialog, [](QWidget*) {});
  EXPECT_EQ(dialog.loaded, -1);
  ASSERT_FALSE(image.isNull());
  // Nothing drawn, not even the stand-in tile of a picture that was never loaded: one
  // colour throughout.
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ASSERT_EQ(image.pixel(x, y), image.pixel(0, 0)) << x << "," << y;
}

}  // namespace
