// Draws the wizard's picture resources into a folder at build time: the PNG pictures of the
// image buttons ("<number>.png") and the BITMAP banners ("<number>.bmp"). The artwork is
// plain vector drawing, so the pictures are made from this file and never kept as files.
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

using Glyph = std::function<void(QPainter&)>;

// A 24 x 24 button tile in the colour of what it does, with a white glyph on it.
QImage tile(QColor base, const Glyph& glyph, int size = 24) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 24.0, size / 24.0);
  QLinearGradient g(0, 0, 0, 24);
  g.setColorAt(0, base.lighter(135));
  g.setColorAt(1, base.darker(115));
  p.setBrush(g);
  p.setPen(QPen(base.darker(150), 1));
  p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 5, 5);
  p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  glyph(p);
  return image;
}

// The two strokes of an arrow head at tip; back is the direction the shaft comes from.
void arrowHead(QPainter& p, QPointF tip, double back, double size = 3.5) {
  const double a1 = back + 0.7, a2 = back - 0.7;
  p.drawPolyline(QPolygonF({tip + QPointF(size * std::cos(a1), size * std::sin(a1)), tip,
                            tip + QPointF(size * std::cos(a2), size * std::sin(a2))}));
}

// Down arrow: install and download.
void downArrow(QPainter& p, double top, double bottom) {
  p.drawLine(QPointF(12, top), QPointF(12, bottom));
  p.drawPolyline(QPolygonF({{8, bottom - 4}, {12, bottom}, {16, bottom - 4}}));
}

void folder(QPainter& p) {
  QPainterPath path;
  path.moveTo(4, 18);
  path.lineTo(4, 7);
  path.lineTo(9, 7);
  path.lineTo(11, 9);
  path.lineTo(20, 9);
  path.lineTo(20, 18);
  path.closeSubpath();
  p.drawPath(path);
}

// A banner: a calm gradient with a faint lens, the suite's mark, near one end. The lens
// keeps clear of the last column and row, which a wider window carries on.
QImage banner(int w, int h, QColor from, QColor to, bool vertical, QPointF lens, double radius) {
  QImage image(w, h, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, vertical ? 0 : w, vertical ? h : 0);
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  p.fillRect(image.rect(), g);
  p.setPen(Qt::NoPen);
  for (int ring = 4; ring >= 1; --ring) {
    p.setBrush(ring % 2 ? QColor(255, 255, 255, 36) : QColor(20, 60, 110, 40));
    p.drawEllipse(lens, radius * ring / 4, radius * ring / 4);
  }
  return image;
}

// The picture of a resource without one of its own: a small landscape in a frame.
QImage landscape() {
  QImage image(64, 64, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 64);
  sky.setColorAt(0, QColor(186, 214, 240));
  sky.setColorAt(1, QColor(232, 242, 250));
  p.setBrush(sky);
  p.setPen(QPen(QColor(90, 110, 140), 1.5));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 6, 6);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 200, 70));
  p.drawEllipse(QPointF(44, 20), 7, 7);
  p.setBrush(QColor(70, 140, 90));
  p.drawPolygon(QPolygonF({{4, 56}, {22, 30}, {34, 46}, {42, 38}, {60, 56}}));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: draw_resources FOLDER\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]) + "/";
  const QColor green(46, 160, 67), red(200, 55, 45), blue(40, 110, 190), grey(120, 128, 138),
      orange(226, 130, 30), teal(20, 140, 150), purple(120, 80, 170);
  struct Picture {
    const char* name;
    QImage image;
  };
  const Picture pictures[] = {
      // Run: a play triangle.
      {"188.png", tile(green, [](QPainter& p) {
         p.setBrush(Qt::white);
         p.drawPolygon(QPolygonF({{9, 6.5}, {18, 12}, {9, 17.5}}));
       })},
      // Remove: a minus.
      {"189.png", tile(red, [](QPainter& p) { p.drawLine(QPointF(7, 12), QPointF(17, 12)); })},
      // Uninstall: a cross.
      {"190.png", tile(red, [](QPainter& p) {
         p.drawLine(QPointF(8, 8), QPointF(16, 16));
         p.drawLine(QPointF(16, 8), QPointF(8, 16));
       })},
      // Install: an arrow down into a tray.
      {"191.png", tile(green, [](QPainter& p) {
         downArrow(p, 5, 15);
         p.drawPolyline(QPolygonF({{6, 15}, {6, 19}, {18, 19}, {18, 15}}));
       })},
      // PDF: a page with a folded corner and lines of text.
      {"194.png", tile(red, [](QPainter& p) {
         p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         p.drawPolygon(QPolygonF({{7, 4}, {14, 4}, {18, 8}, {18, 20}, {7, 20}}));
         p.drawPolyline(QPolygonF({{14, 4}, {14, 8}, {18, 8}}));
         for (double y : {11.5, 14.5, 17.0}) p.drawLine(QPointF(9.5, y), QPointF(15.5, y));
       })},
      // Change: two arrows swapping places.
      {"197.png", tile(orange, [](QPainter& p) {
         p.drawLine(QPointF(6, 9), QPointF(17, 9));
         arrowHead(p, {18, 9}, M_PI);
         p.drawLine(QPointF(18, 15), QPointF(7, 15));
         arrowHead(p, {6, 15}, 0);
       })},
      // Delete Copy: a waste bin.
      {"201.png", tile(grey, [](QPainter& p) {
         p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         p.drawLine(QPointF(6, 7), QPointF(18, 7));
         p.drawLine(QPointF(10, 5), QPointF(14, 5));
         p.drawPolygon(QPolygonF({{7.5, 7}, {16.5, 7}, {15.5, 19}, {8.5, 19}}));
         p.drawLine(QPointF(12, 10), QPointF(12, 16));
       })},
      // Download: an arrow onto a disk.
      {"202.png", tile(blue, [](QPainter& p) {
         downArrow(p, 4, 13);
         p.drawRoundedRect(QRectF(6, 15, 12, 5), 1.5, 1.5);
       })},
      // Refresh: two circular arrows.
      {"203.png", tile(blue, [](QPainter& p) {
         const QRectF ring(6, 6, 12, 12);
         p.drawArc(ring, 30 * 16, 150 * 16);
         p.drawArc(ring, 210 * 16, 150 * 16);
         arrowHead(p, {6, 12}, -M_PI / 2, 3.2);
         arrowHead(p, {18, 12}, M_PI / 2, 3.2);
       })},
      // Download all or copy: two arrows down onto a tray.
      {"204.png", tile(teal, [](QPainter& p) {
         p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         for (double x : {8.5, 15.5}) {
           p.drawLine(QPointF(x, 5), QPointF(x, 14));
           p.drawPolyline(QPolygonF({{x - 3, 11}, {x, 14}, {x + 3, 11}}));
         }
         p.drawPolyline(QPolygonF({{5, 16}, {5, 19}, {19, 19}, {19, 16}}));
       })},
      {"205.png", landscape()},
      // Info: an "i" in a blue tile.
      {"206.png", tile(blue, [](QPainter& p) {
         p.setBrush(Qt::white);
         p.setPen(Qt::NoPen);
         p.drawEllipse(QPointF(12, 6.5), 1.8, 1.8);
         p.drawRoundedRect(QRectF(10.5, 10, 3, 9), 1, 1);
         p.drawRect(QRectF(9, 17.5, 6, 1.5));
         p.drawRect(QRectF(9.5, 10, 2, 1.5));
       })},
      // Video: a film frame with a play triangle.
      {"207.png", tile(purple, [](QPainter& p) {
         p.setPen(QPen(Qt::white, 1.6));
         p.drawRoundedRect(QRectF(4.5, 6.5, 15, 11), 2, 2);
         p.setBrush(Qt::white);
         p.drawPolygon(QPolygonF({{10, 9.5}, {15, 12}, {10, 14.5}}));
       })},
      // Browse: a folder.
      {"208.png", tile(orange, folder)},
      // Move: an arrow into a folder.
      {"209.png", tile(teal, [](QPainter& p) {
         p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         folder(p);
         p.drawLine(QPointF(8, 13.5), QPointF(16, 13.5));
         arrowHead(p, {16, 13.5}, M_PI, 3);
       })},
      // Beta link: a flask.
      {"210.png", tile(purple, [](QPainter& p) {
         p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
         p.drawPolyline(QPolygonF({{10, 4}, {10, 10}, {5.5, 18.5}, {18.5, 18.5}, {14, 10},
                                   {14, 4}}));
         p.drawLine(QPointF(9, 4), QPointF(15, 4));
         p.drawLine(QPointF(8, 14.5), QPointF(16, 14.5));
       })},
      // The page header, the side banner of the pages and the download dialog's header.
      {"129.bmp", banner(735, 70, QColor(236, 243, 250), QColor(168, 198, 228), false,
                         {630, 35}, 52)},
      {"134.bmp", banner(165, 420, QColor(24, 72, 128), QColor(10, 32, 64), true, {82, 300},
                         70)},
      {"138.bmp", banner(501, 100, QColor(236, 243, 250), QColor(168, 198, 228), false,
                         {410, 50}, 60)},
  };
  int failed = 0;
  for (const Picture& picture : pictures) {
    const QString path = dir + picture.name;
    const bool bitmap = path.endsWith(".bmp");
    if (!picture.image.save(path, bitmap ? "BMP" : "PNG")) {
      std::fprintf(stderr, "draw_resources: cannot write %s\n", path.toLocal8Bit().constData());
      ++failed;
    }
  }
  return failed ? 1 : 0;
}
