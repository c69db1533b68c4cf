// Draws the wizard's picture resources into a folder at build time: the PNG pictures of the
// image buttons ("<number>.png") and the BITMAP banners ("<number>.bmp"). The artwork is
// plain vector drawing, so the pictures are made from this file and never kept as files.
// With --demo it draws the demo server's resources instead: the pictures and documents
// that the demo resources list names.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QString>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>

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

// ---- the demo server's resources

// A 64 x 64 picture of one topic: a rounded tile in the topic's colour with white line art.
QImage topic(QColor base, const Glyph& glyph) { return tile(base, glyph, 64); }

QPen thin(double width) {
  return QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The wiring of a station, a document picture: camera, light, IO unit and PLC cabled to the
// PC.
QImage wiring() {
  QImage image(480, 320, QImage::Format_RGB32);
  image.fill(QColor(250, 251, 253));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QFont f;
  f.setPixelSize(15);
  p.setFont(f);
  struct Box {
    QRectF rect;
    const char* label;
    QColor colour;
  };
  const Box boxes[] = {{{180, 130, 120, 60}, "Vision PC", QColor(40, 110, 190)},
                       {{30, 30, 110, 50}, "Camera", QColor(46, 160, 67)},
                       {{340, 30, 110, 50}, "Light", QColor(226, 130, 30)},
                       {{30, 240, 110, 50}, "IO unit", QColor(120, 80, 170)},
                       {{340, 240, 110, 50}, "PLC", QColor(120, 128, 138)}};
  p.setPen(QPen(QColor(60, 70, 90), 2.5));
  for (size_t i = 1; i < std::size(boxes); ++i)
    p.drawLine(boxes[i].rect.center(), boxes[0].rect.center());
  for (const Box& b : boxes) {
    p.setBrush(b.colour);
    p.setPen(QPen(b.colour.darker(140), 1.5));
    p.drawRoundedRect(b.rect, 8, 8);
    p.setPen(Qt::white);
    p.drawText(b.rect, Qt::AlignCenter, b.label);
  }
  return image;
}

// A one-page document: a title, a rule and its paragraphs.
bool writeDocument(const QString& path, const QString& title, const QStringList& paragraphs) {
  QPdfWriter pdf(path);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setResolution(72);
  pdf.setTitle(title);
  QPainter p;
  if (!p.begin(&pdf)) return false;
  QFont heading;
  heading.setPixelSize(24);
  heading.setBold(true);
  p.setFont(heading);
  p.setPen(QColor(24, 72, 128));
  p.drawText(QRectF(60, 60, 475, 40), Qt::AlignLeft, title);
  p.drawLine(QPointF(60, 100), QPointF(535, 100));
  QFont body;
  body.setPixelSize(13);
  p.setFont(body);
  p.setPen(Qt::black);
  double y = 120;
  for (const QString& text : paragraphs) {
    const QRectF area(60, y, 475, 600);
    const QRectF used = p.boundingRect(area, Qt::TextWordWrap, text);
    p.drawText(area, Qt::TextWordWrap, text);
    y += used.height() + 12;
  }
  return p.end();
}

int drawDemoResources(const QString& dir) {
  struct Picture {
    const char* name;
    QImage image;
  };
  const Picture pictures[] = {
      // A calibration plate: a chequered grid in its frame.
      {"Calibration.png", topic(QColor(40, 110, 190), [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(Qt::white);
         for (int r = 0; r < 4; ++r)
           for (int c = 0; c < 4; ++c)
             if ((r + c) % 2 == 0) p.drawRect(QRectF(5 + c * 3.5, 5 + r * 3.5, 3.5, 3.5));
         p.setPen(thin(0.8));
         p.setBrush(Qt::NoBrush);
         p.drawRect(QRectF(5, 5, 14, 14));
       })},
      // Inspection: a magnifier over a part.
      {"Inspection.png", topic(QColor(20, 140, 150), [](QPainter& p) {
         p.setPen(thin(1.2));
         p.drawRect(QRectF(4, 12, 9, 7));
         p.setPen(thin(1.6));
         p.drawEllipse(QPointF(13, 10), 5, 5);
         p.drawLine(QPointF(16.5, 13.5), QPointF(20, 17));
       })},
      // Measurement: a part below a dimension arrow.
      {"Measurement.png", topic(QColor(226, 130, 30), [](QPainter& p) {
         p.setPen(thin(1.2));
         p.drawRect(QRectF(6, 10, 12, 8));
         p.drawLine(QPointF(6, 6), QPointF(18, 6));
         arrowHead(p, {6, 6}, 0, 2);
         arrowHead(p, {18, 6}, M_PI, 2);
       })},
      // Barcodes: bars of several widths.
      {"Barcodes.png", topic(QColor(120, 128, 138), [](QPainter& p) {
         p.setPen(Qt::NoPen);
         p.setBrush(Qt::white);
         double x = 5;
         for (double w : {1.0, 0.5, 1.5, 0.5, 1.0, 2.0, 0.5, 1.0, 0.5, 1.5}) {
           p.drawRect(QRectF(x, 6, w, 12));
           x += w + 0.6;
         }
       })},
      // 3D scanning: a wire cube.
      {"Scanning3D.png", topic(QColor(120, 80, 170), [](QPainter& p) {
         p.setPen(thin(1.1));
         p.drawRect(QRectF(5, 9, 10, 10));
         p.drawRect(QRectF(9, 5, 10, 10));
         for (QPointF a : {QPointF(5, 9), QPointF(15, 9), QPointF(5, 19), QPointF(15, 19)})
           p.drawLine(a, a + QPointF(4, -4));
       })},
      // Robot guidance: an arm of two links over its base.
      {"RobotGuidance.png", topic(QColor(200, 55, 45), [](QPainter& p) {
         p.setPen(thin(1.8));
         p.drawLine(QPointF(6, 19), QPointF(12, 19));
         p.drawPolyline(QPolygonF({{9, 19}, {9, 11}, {16, 7}, {18, 11}}));
         p.setBrush(Qt::white);
         p.drawEllipse(QPointF(9, 11), 1.2, 1.2);
       })},
      // Colour: three overlapping circles.
      {"Colour.png", topic(QColor(60, 60, 70), [](QPainter& p) {
         p.setPen(Qt::NoPen);
         for (auto [c, at] : {std::pair{QColor(235, 70, 60, 190), QPointF(9.5, 9.5)},
                              std::pair{QColor(70, 200, 90, 190), QPointF(14.5, 9.5)},
                              std::pair{QColor(70, 130, 240, 190), QPointF(12, 14)}}) {
           p.setBrush(c);
           p.drawEllipse(at, 4.5, 4.5);
         }
       })},
      // Lighting: a lamp with its rays.
      {"Lighting.png", topic(QColor(200, 160, 20), [](QPainter& p) {
         p.setPen(thin(1.4));
         p.drawEllipse(QPointF(12, 10), 4, 4);
         p.drawLine(QPointF(10.5, 16), QPointF(13.5, 16));
         for (int k = 0; k < 8; ++k) {
           const double a = k * M_PI / 4;
           p.drawLine(QPointF(12 + 6 * std::cos(a), 10 + 6 * std::sin(a)),
                      QPointF(12 + 8 * std::cos(a), 10 + 8 * std::sin(a)));
         }
       })},
      {"Wiring.png", wiring()},
  };
  int failed = 0;
  for (const Picture& picture : pictures)
    if (!picture.image.save(dir + picture.name, "PNG")) ++failed;
  struct Document {
    const char* name;
    const char* title;
    QStringList paragraphs;
  };
  const Document documents[] = {
      {"Manual.pdf", "User manual",
       {"This demo manual stands in for the user manual of the vision software.",
        "A profile holds the cameras, the tools and the results of one inspection. Open a "
        "profile, run it once, and adjust the tools until the results are stable."}},
      {"QuickStart.pdf", "Quick start guide",
       {"1. Install the runtime and the vision software from the Core Installation page.",
        "2. Install the driver of your camera from the camera driver pages.",
        "3. Load a demo profile and press Run."}},
      {"CalibrationGuide.pdf", "Calibration guide",
       {"Place the calibration plate flat in the field of view, fill about two thirds of the "
        "image with it, and keep the lighting even. Calibrate again whenever the camera, the "
        "lens or the working distance changes."}},
      {"LightingGuide.pdf", "Lighting guide",
       {"Back light shows outlines, dark field shows scratches and embossing, diffuse light "
        "hides glare on shiny parts. Try the light before you choose the camera."}},
  };
  for (const Document& d : documents)
    if (!writeDocument(dir + d.name, d.title, d.paragraphs)) ++failed;
  if (failed) std::fprintf(stderr, "draw_resources: %d demo resources not written\n", failed);
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--demo") {
    // The documents' texts need the fonts of an application (one without a display).
    QGuiApplication app(argc, argv);
    return drawDemoResources(QString::fromLocal8Bit(argv[2]) + "/");
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: draw_resources FOLDER | draw_resources --demo FOLDER\n");
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
