// Draws the wizard's picture resources (image buttons and banners) into a folder. Run once
// when a picture changes; the PNG files are kept in res/.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

QImage button(QColor base, const std::function<void(QPainter&)>& glyph) {
  QImage image(24, 24, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, 24);
  g.setColorAt(0, base.lighter(135));
  g.setColorAt(1, base.darker(115));
  p.setBrush(g);
  p.setPen(QPen(base.darker(150), 1));
  p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 5, 5);
  p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  glyph(p);
  return image;
}

QImage banner(int w, int h, QColor from, QColor to, bool vertical, QPointF lens, double radius) {
  QImage image(w, h, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, vertical ? 0 : w, vertical ? h : 0);
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  p.fillRect(image.rect(), g);
  // A camera lens: the suite's mark.
  for (int ring = 4; ring >= 1; --ring) {
    QColor c = ring % 2 ? QColor(255, 255, 255, 40) : QColor(20, 60, 110, 45);
    p.setBrush(c);
    p.setPen(Qt::NoPen);
    p.drawEllipse(lens, radius * ring / 4, radius * ring / 4);
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: draw_resources FOLDER\n");
    return 2;
  }
  QString dir = QString::fromLocal8Bit(argv[1]) + "/";
  // Install: an arrow down into a tray.
  button(QColor(46, 160, 67), [](QPainter& p) {
    p.drawLine(QPointF(12, 5), QPointF(12, 15));
    p.drawPolyline(QPolygonF({{8, 11}, {12, 15}, {16, 11}}));
    p.drawPolyline(QPolygonF({{6, 15}, {6, 19}, {18, 19}, {18, 15}}));
  }).save(dir + "191.png");
  // Uninstall: a cross.
  button(QColor(200, 55, 45), [](QPainter& p) {
    p.drawLine(QPointF(8, 8), QPointF(16, 16));
    p.drawLine(QPointF(16, 8), QPointF(8, 16));
  }).save(dir + "190.png");
  // Download installables: a cloud-free arrow onto a disk.
  button(QColor(40, 110, 190), [](QPainter& p) {
    p.drawLine(QPointF(12, 4), QPointF(12, 13));
    p.drawPolyline(QPolygonF({{8, 9}, {12, 13}, {16, 9}}));
    p.drawRoundedRect(QRectF(6, 15, 12, 5), 1.5, 1.5);
  }).save(dir + "202.png");
  banner(735, 70, QColor(236, 243, 250), QColor(168, 198, 228), false, {680, 35}, 60)
      .save(dir + "129.png");
  banner(165, 420, QColor(24, 72, 128), QColor(10, 32, 64), true, {82, 300}, 70)
      .save(dir + "134.png");
  banner(501, 100, QColor(236, 243, 250), QColor(168, 198, 228), false, {450, 50}, 70)
      .save(dir + "138.png");
  return 0;
}
