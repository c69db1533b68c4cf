#include "platform/qt/qt_ui.h"

#include <QAbstractButton>
#include <QEnterEvent>
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QShortcut>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QProxyStyle>
#include <QToolTip>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QFontMetrics>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <mutex>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/qt/help_window.h"
#include "platform/qt/rich_text.h"
#include "platform/ui/image_controls.h"
#include "platform/ui/property_sheet.h"
#include "platform/win_types.h"

namespace qtui {

namespace {

// A link control's text: the part between "<a>" and "</a>" is the link (the whole text when
// it has no such markup); everything else is shown as plain text.
// The system's style with the tool tip delays the pages set: 50 ms to show.
class QuickTipStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == QStyle::SH_ToolTip_WakeUpDelay) return 50;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

QString linkMarkup(const QString& text) {
  const int open = text.indexOf("<a>"), close = text.indexOf("</a>");
  if (open < 0 || close < open)
    return QString("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped());
  return text.left(open).toHtmlEscaped() + "<a href=\"#\">" +
         text.mid(open + 3, close - open - 3).toHtmlEscaped() + "</a>" +
         text.mid(close + 4).toHtmlEscaped();
}

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QRect qrect(const ui::Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// The font every control is drawn with: the application's face at the system dialog
// font's size.
QFont controlFont() {
  QFont f = QApplication::font();
  f.setPixelSize(11);
  return f;
}


// The dialog of a model: Escape and the close box are the model's cancel command, which
// decides itself whether the window closes.
class ModelDialog : public QDialog {
 public:
  explicit ModelDialog(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
  void reject() override { cancel_(); }

 protected:
  void closeEvent(QCloseEvent* e) override {
    e->ignore();
    cancel_();
  }

 private:
  std::function<void()> cancel_;
};

// A picture control: an image button (hand cursor, orange frame while the mouse rests on
// it) or an image static (click notification only). Draws nothing while its picture's
// width or height is 0; the enabled picture unscaled at the top-left corner, the disabled
// one through the grey colour matrix; the background stays transparent.
class PictureButton : public QAbstractButton {
 public:
  PictureButton(QWidget* parent, bool isButton) : QAbstractButton(parent), button_(isButton) {
    if (button_) setCursor(Qt::PointingHandCursor);
  }
  void set(const QPixmap& picture, QSize size) {
    picture_ = picture;
    grey_ = QImage();
    size_ = size;
    update();
  }
  bool hovering() const { return hovering_; }

  // Each channel becomes 0.2125 R + 0.2577 G + 0.1361 B + 0.38 of the full scale (the rows
  // of the matrix applied to R, G, B, A and 1); alpha stays.
  static QImage greyed(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const QRgb c = line[x];
        const double v = 0.2125 * qRed(c) + 0.2577 * qGreen(c) + 0.1361 * qBlue(c) + 0.38 * 255;
        const int g = std::clamp(static_cast<int>(v + 0.5), 0, 255);
        line[x] = qRgba(g, g, g, qAlpha(c));
      }
    }
    return image;
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (size_.width() <= 0 || size_.height() <= 0 || picture_.isNull()) return;
    QPainter p(this);
    if (isEnabled()) {
      p.drawPixmap(0, 0, picture_);
    } else {
      if (grey_.isNull()) grey_ = greyed(picture_.toImage());
      p.drawImage(0, 0, grey_);
    }
    if (button_ && hovering_) {
      p.setPen(QPen(QColor(248, 202, 127), 1));
      p.setBrush(Qt::NoBrush);
      p.drawRect(2, 2, width() - 5, height() - 5);
    }
  }
  void enterEvent(QEnterEvent* e) override {
    hovering_ = true;
    update();
    QAbstractButton::enterEvent(e);
  }
  void leaveEvent(QEvent* e) override {
    hovering_ = false;
    update();
    QAbstractButton::leaveEvent(e);
  }
  void changeEvent(QEvent* e) override {
    if (e->type() == QEvent::EnabledChange) update();
    QAbstractButton::changeEvent(e);
  }

 private:
  bool button_;
  bool hovering_ = false;
  QPixmap picture_;
  QImage grey_;
  QSize size_;
};

// The banner of pages and progress dialogs: its picture (or a coloured band when the
// picture is missing), a black frame along the picture and the bold title and subtitle.
class HeaderBanner : public QWidget {
 public:
  explicit HeaderBanner(QWidget* parent) : QWidget(parent) {}
  void set(const std::string& title, const std::string& subtitle, const std::string& image) {
    title_ = qs(title);
    subtitle_ = qs(subtitle);
    if (image != image_) {
      image_ = image;
      std::string path = QtUi::findImage(image);
      picture_ = path.empty() ? QPixmap() : QPixmap(qs(path));
    }
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QRect frame;
    if (!picture_.isNull()) {
      // The picture at its own size; a window made wider or taller by a larger font gets
      // the picture's last column and row carried on, so the band still covers it.
      const int pw = picture_.width(), ph = picture_.height();
      const int w = std::max(width(), pw), h = std::max(height(), ph);
      p.drawPixmap(0, 0, picture_);
      if (w > pw) p.drawPixmap(QRect(pw, 0, w - pw, ph), picture_, QRect(pw - 1, 0, 1, ph));
      if (h > ph) {
        p.drawPixmap(QRect(0, ph, pw, h - ph), picture_, QRect(0, ph - 1, pw, 1));
        if (w > pw) p.drawPixmap(QRect(pw, ph, w - pw, h - ph), picture_, QRect(pw - 1, ph - 1, 1, 1));
      }
      frame = QRect(0, 0, w, h);
    } else {
      QLinearGradient g(0, 0, width(), 0);
      g.setColorAt(0, QColor(24, 72, 128));
      g.setColorAt(1, QColor(96, 152, 208));
      p.fillRect(rect(), g);
      frame = rect();
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    QFont f("Tahoma");
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.setPen(picture_.isNull() ? Qt::white : Qt::black);
    const int w = std::max(0, width() - 30);
    p.drawText(QRect(20, 15, w, 20), Qt::AlignLeft | Qt::AlignTop, title_);
    p.drawText(QRect(20, 35, w, std::max(0, height() - 35)),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, subtitle_);
  }

 private:
  QString title_, subtitle_;
  std::string image_ = "\x01";
  QPixmap picture_;
};

// A group box as the system draws one: the frame's top line runs through the middle of the
// caption, so the group's rows have the room their layout gives them below it.
class GroupFrame : public QGroupBox {
 public:
  explicit GroupFrame(QWidget* parent) : QGroupBox(parent) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QFontMetrics fm(font());
    const int mid = fm.height() / 2;
    QRect frame = rect().adjusted(0, mid, -1, -1);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title().isEmpty()) return;
    const QRect caption(7, 0, std::min(fm.horizontalAdvance(title()) + 4, width() - 9),
                        fm.height());
    p.fillRect(caption, palette().color(QPalette::Window));
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                             QPalette::WindowText));
    p.drawText(caption, Qt::AlignCenter, title());
  }
};

// What an image button does, by its picture, for the text drawn when the picture is missing.
QString imageMeaning(const std::string& image) {
  static const std::map<std::string, const char*> names{
      {"190", "Uninstall"}, {"191", "Install"}, {"202", "Download"}, {"203", "Refresh"},
      {"204", "Download All"}, {"206", "Info"},  {"208", "Browse"},   {"209", "Move"},
      {"210", "Beta"}};
  auto it = names.find(image);
  return it == names.end() ? QString() : QString(it->second);
}

// A stand-in picture: the label on a plain tile, the font shrunk until the text fits.
QPixmap fallbackPicture(const QString& label, QSize size) {
  size = size.expandedTo(QSize(16, 16));
  QPixmap pm(size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QColor(70, 110, 160));
  p.setBrush(QColor(225, 235, 248));
  p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 4, 4);
  QRect area(2, 2, size.width() - 4, size.height() - 4);
  QFont f;
  int flags = Qt::AlignCenter | Qt::TextWordWrap;
  auto fits = [&](int px, int wrap) {
    f.setPixelSize(px);
    QRect need = QFontMetrics(f).boundingRect(area, Qt::AlignCenter | wrap, label);
    return need.width() <= area.width() && need.height() <= area.height();
  };
  bool done = false;
  for (int px = 12; px >= 7 && !done; --px) done = fits(px, Qt::TextWordWrap);
  // A long word on a small tile is broken anywhere rather than cut off.
  for (int px = 10; px >= 6 && !done; --px) {
    done = fits(px, Qt::TextWrapAnywhere);
    if (done) flags = Qt::AlignCenter | Qt::TextWrapAnywhere;
  }
  p.setFont(f);
  p.setPen(QColor(20, 40, 80));
  p.drawText(area, flags, label);
  return pm;
}

int fromStandardButton(int b) {
  switch (b) {
    case QMessageBox::Ok: return win::IDOK;
    case QMessageBox::Cancel: return win::IDCANCEL;
    case QMessageBox::Abort: return win::IDABORT;
    case QMessageBox::Retry: return win::IDRETRY;
    case QMessageBox::Ignore: return win::IDIGNORE;
    case QMessageBox::Yes: return win::IDYES;
    case QMessageBox::No: return win::IDNO;
    default: return win::IDCANCEL;
  }
}

}  // namespace

struct QtUi::View {
  ui::Window* model = nullptr;
  QWidget* top = nullptr;
  bool modal = false;
  std::map<int, QWidget*> own;
  // A sheet shows its active page's controls in the page host.
  ui::PropertySheet* sheet = nullptr;
  QWidget* pageHost = nullptr;
  ui::Window* page = nullptr;
  std::map<int, QWidget*> pageWidgets;
};

// ---------------------------------------------------------------------------------------
// Rich text

std::string rtfToPlainText(const std::string& rtf) { return rtf::toPlainText(rtf::parse(rtf)); }

// ---------------------------------------------------------------------------------------
// Resources

void QtUi::setResourceDir(const std::string& dir) { ui::setResourceDir(dir); }

std::string QtUi::findImage(const std::string& name) { return ui::findResource(name); }

// ---------------------------------------------------------------------------------------

ui::BaseUnits QtUi::baseUnitsOf(const QFont& font) {
  // As the system derives them: the average width of the Latin letters, rounded, and the
  // font's height.
  QFontMetrics fm(font);
  const int letters = fm.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return ui::BaseUnits{(letters + 26) / 52, fm.height()};
}

QtUi::QtUi() : dispatcher_(std::make_unique<QObject>()) {
  ui::setDialogBaseUnits(baseUnitsOf(controlFont()));
  // Tool tips come after 50 ms, in the pages' font.
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    app->setStyle(new QuickTipStyle());
    QToolTip::setFont(controlFont());
  }
  // The pictures drawn at build time sit in a "res" folder beside or above the program.
  std::vector<std::string> dirs;
  QDir d(QCoreApplication::applicationDirPath());
  for (int up = 0; up < 4; ++up) {
    dirs.push_back(d.filePath("res").toStdString());
    if (!d.cdUp()) break;
  }
  ui::setDefaultResourceDirs(std::move(dirs));
}

QtUi::~QtUi() {
  for (auto& [key, timer] : timers_) delete timer;
  timers_.clear();
  for (auto& [model, view] : views_) delete view->top;
  if (ui::currentBackend() == this) ui::setBackend(nullptr);
  ui::setDialogBaseUnits(ui::kDefaultBaseUnits);
}

bool QtUi::onGuiThread() const {
  return QCoreApplication::instance() &&
         QThread::currentThread() == QCoreApplication::instance()->thread();
}

QtUi::View* QtUi::viewOf(const ui::Window& w, bool* isPage) const {
  if (isPage) *isPage = false;
  auto it = views_.find(&w);
  if (it != views_.end()) return it->second.get();
  for (auto& [model, view] : views_) {
    if (view->page == &w) {
      if (isPage) *isPage = true;
      return view.get();
    }
  }
  return nullptr;
}

QWidget* QtUi::topLevel(ui::Window& w) const {
  View* v = viewOf(w, nullptr);
  return v ? v->top : nullptr;
}

QWidget* QtUi::widget(ui::Window& w, int controlId) const {
  bool isPage = false;
  View* v = viewOf(w, &isPage);
  if (!v) return nullptr;
  const auto& map = isPage ? v->pageWidgets : v->own;
  auto it = map.find(controlId);
  return it == map.end() ? nullptr : it->second;
}

QImage QtUi::grab(ui::Window& w) const {
  QWidget* top = topLevel(w);
  return top ? top->grab().toImage() : QImage();
}

bool QtUi::saveScreenshot(ui::Window& w, const std::string& pngPath) const {
  QImage image = grab(w);
  return !image.isNull() && image.save(qs(pngPath), "PNG");
}

QWidget* QtUi::makeWidget(View& v, ui::Window& model, const ui::Control& c, QWidget* parent) {
  const int id = c.id;
  ui::Window* m = &model;
  auto guard = [this] { return applying_ > 0; };
  QWidget* w = nullptr;
  switch (c.kind) {
    case ui::ControlKind::Static: {
      auto* l = new QLabel(parent);
      l->setWordWrap(true);
      l->setTextFormat(Qt::PlainText);
      l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      w = l;
      break;
    }
    case ui::ControlKind::GroupBox:
      w = new GroupFrame(parent);
      w->lower();
      break;
    case ui::ControlKind::Button: {
      auto* b = new QPushButton(parent);
      QObject::connect(b, &QPushButton::clicked, b, [this, m, id, guard] {
        if (guard()) return;
        m->click(id);
        checkEnded();
      });
      w = b;
      break;
    }
    case ui::ControlKind::ImageButton:
    case ui::ControlKind::ImageStatic: {
      auto* b = new PictureButton(parent, c.kind == ui::ControlKind::ImageButton);
      QObject::connect(b, &QAbstractButton::clicked, b, [this, m, id, guard] {
        if (guard()) return;
        m->click(id);
        checkEnded();
      });
      w = b;
      break;
    }
    case ui::ControlKind::Header:
      w = new HeaderBanner(parent);
      break;
    case ui::ControlKind::CheckBox: {
      auto* b = new QCheckBox(parent);
      QObject::connect(b, &QCheckBox::clicked, b, [this, m, id, guard](bool on) {
        if (guard()) return;
        m->userCheck(id, on ? 1 : 0);
        checkEnded();
      });
      w = b;
      break;
    }
    case ui::ControlKind::RadioButton: {
      auto* b = new QRadioButton(parent);
      // The model keeps one button of a group checked; Qt must not do it a second time.
      b->setAutoExclusive(false);
      QObject::connect(b, &QRadioButton::clicked, b, [this, m, id, guard] {
        if (guard()) return;
        m->click(id);
        checkEnded();
      });
      w = b;
      break;
    }
    case ui::ControlKind::ComboBox: {
      auto* b = new QComboBox(parent);
      QObject::connect(b, QOverload<int>::of(&QComboBox::activated), b,
                       [this, m, id, guard](int index) {
                         if (guard()) return;
                         m->userSelect(id, index);
                         checkEnded();
                       });
      w = b;
      break;
    }
    case ui::ControlKind::CheckTree: {
      auto* t = new QTreeWidget(parent);
      t->setHeaderHidden(true);
      QObject::connect(t, &QTreeWidget::itemChanged, t,
                       [this, m, id, guard](QTreeWidgetItem* item, int) {
                         if (guard()) return;
                         m->userCheckItem(id, item->data(0, Qt::UserRole).toInt(),
                                          item->checkState(0) == Qt::Checked);
                         checkEnded();
                       });
      w = t;
      break;
    }
    case ui::ControlKind::Tab: {
      auto* t = new QTabBar(parent);
      t->setExpanding(false);
      QObject::connect(t, &QTabBar::currentChanged, t, [this, m, id, guard](int index) {
        if (guard()) return;
        m->userSelect(id, index);
        checkEnded();
      });
      w = t;
      break;
    }
    case ui::ControlKind::Progress: {
      auto* p = new QProgressBar(parent);
      p->setTextVisible(false);
      w = p;
      break;
    }
    case ui::ControlKind::RichText: {
      auto* t = new QTextBrowser(parent);
      t->setOpenLinks(false);
      t->setReadOnly(true);
      t->document()->setUndoRedoEnabled(false);
      w = t;
      break;
    }
    case ui::ControlKind::Hyperlink: {
      auto* l = new QLabel(parent);
      l->setTextFormat(Qt::RichText);
      l->setCursor(Qt::PointingHandCursor);
      l->setOpenExternalLinks(false);
      QObject::connect(l, &QLabel::linkActivated, l, [this, m, id, guard](const QString&) {
        if (guard()) return;
        m->activateLink(id);
        checkEnded();
      });
      w = l;
      break;
    }
    case ui::ControlKind::Edit: {
      auto* e = new QLineEdit(parent);
      QObject::connect(e, &QLineEdit::textEdited, e, [this, m, id, guard](const QString& text) {
        if (guard()) return;
        ++applying_;
        m->setText(id, text.toStdString());
        --applying_;
      });
      w = e;
      break;
    }
  }
  (void)v;
  w->setObjectName(QString("control_%1").arg(id));
  return w;
}

void QtUi::apply(QWidget* w, const ui::Control& c) {
  ++applying_;
  w->setGeometry(qrect(c.rect));
  w->setEnabled(c.enabled);
  w->setToolTip(qs(c.tooltip));
  const QString text = qs(c.text);
  switch (c.kind) {
    case ui::ControlKind::Static:
      static_cast<QLabel*>(w)->setText(text);
      static_cast<QLabel*>(w)->setAlignment(
          (c.centreText ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
      break;
    case ui::ControlKind::GroupBox:
      static_cast<QGroupBox*>(w)->setTitle(text);
      break;
    case ui::ControlKind::Button:
      static_cast<QPushButton*>(w)->setText(text);
      break;
    case ui::ControlKind::ImageButton:
    case ui::ControlKind::ImageStatic: {
      QPixmap pm;
      if (c.imageData) {
        pm.loadFromData(reinterpret_cast<const uchar*>(c.imageData->data()),
                        static_cast<uint>(c.imageData->size()));
      } else if (std::string path = QtUi::findImage(c.image); !path.empty()) {
        pm = QPixmap(qs(path));
      }
      QSize size(c.imageWidth, c.imageHeight);
      if (pm.isNull() && !c.imageData && size.width() > 0 && size.height() > 0) {
        // A picture named but not found: the control still says what it does.
        QString label = !c.text.empty()                    ? text
                        : !imageMeaning(c.image).isEmpty() ? imageMeaning(c.image)
                        : !c.tooltip.empty()               ? qs(c.tooltip)
                                                           : QString("[%1]").arg(qs(c.image));
        pm = fallbackPicture(label, QSize(c.rect.width(), c.rect.height()));
      }
      static_cast<PictureButton*>(w)->set(pm, size);
      break;
    }
    case ui::ControlKind::Header:
      static_cast<HeaderBanner*>(w)->set(c.text, c.subtitle, c.image);
      break;
    case ui::ControlKind::CheckBox: {
      auto* b = static_cast<QCheckBox*>(w);
      b->setText(text);
      b->setChecked(c.check != 0);
      break;
    }
    case ui::ControlKind::RadioButton: {
      auto* b = static_cast<QRadioButton*>(w);
      b->setText(text);
      b->setChecked(c.check != 0);
      break;
    }
    case ui::ControlKind::ComboBox: {
      auto* b = static_cast<QComboBox*>(w);
      QStringList items;
      for (const auto& i : c.items) items << qs(i);
      QStringList current;
      for (int k = 0; k < b->count(); ++k) current << b->itemText(k);
      if (current != items) {
        b->clear();
        b->addItems(items);
      }
      b->setCurrentIndex(c.selection);
      break;
    }
    case ui::ControlKind::CheckTree: {
      auto* t = static_cast<QTreeWidget*>(w);
      t->clear();
      std::vector<QTreeWidgetItem*> made;
      for (size_t k = 0; k < c.treeItems.size(); ++k) {
        const auto& ti = c.treeItems[k];
        QTreeWidgetItem* item;
        if (ti.parent >= 0 && ti.parent < static_cast<int>(made.size()))
          item = new QTreeWidgetItem(made[ti.parent]);
        else
          item = new QTreeWidgetItem(t);
        item->setText(0, qs(ti.text));
        item->setData(0, Qt::UserRole, static_cast<int>(k));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, ti.checked ? Qt::Checked : Qt::Unchecked);
        made.push_back(item);
      }
      t->expandAll();
      break;
    }
    case ui::ControlKind::Tab: {
      auto* t = static_cast<QTabBar*>(w);
      while (t->count() > static_cast<int>(c.items.size())) t->removeTab(t->count() - 1);
      for (size_t k = 0; k < c.items.size(); ++k) {
        if (static_cast<int>(k) < t->count())
          t->setTabText(static_cast<int>(k), qs(c.items[k]));
        else
          t->addTab(qs(c.items[k]));
      }
      if (c.selection >= 0) t->setCurrentIndex(c.selection);
      break;
    }
    case ui::ControlKind::Progress: {
      auto* p = static_cast<QProgressBar*>(w);
      p->setRange(c.rangeMin, c.rangeMax);
      p->setValue(c.position);
      break;
    }
    case ui::ControlKind::RichText: {
      // The document is rebuilt only when its bytes change: the model syncs often.
      auto* t = static_cast<QTextBrowser*>(w);
      const QByteArray bytes(c.text.data(), static_cast<qsizetype>(c.text.size()));
      if (t->property("corvantaRtf").toByteArray() != bytes ||
          !t->property("corvantaRtf").isValid()) {
        t->setProperty("corvantaRtf", bytes);
        fillRichText(*t->document(), rtf::parse(c.text));
      }
      break;
    }
    case ui::ControlKind::Hyperlink:
      static_cast<QLabel*>(w)->setText(linkMarkup(text));
      break;
    case ui::ControlKind::Edit: {
      auto* e = static_cast<QLineEdit*>(w);
      if (e->text() != text) e->setText(text);
      break;
    }
  }
  w->setVisible(c.visible);
  --applying_;
}

void QtUi::syncControl(View& v, ui::Window& model, int id) {
  const ui::Control* c = model.control(id);
  const bool page = &model != v.model;
  auto& map = page ? v.pageWidgets : v.own;
  auto found = map.find(id);
  // A control that went, or came back as another kind, takes its widget with it.
  if (found != map.end() &&
      (!c || found->second->property("corvantaKind").toInt() != static_cast<int>(c->kind))) {
    found->second->hide();
    found->second->deleteLater();
    map.erase(found);
  }
  if (!c) return;
  QWidget*& w = map[id];
  if (!w) {
    w = makeWidget(v, model, *c, page ? v.pageHost : v.top);
    w->setProperty("corvantaKind", static_cast<int>(c->kind));
    w->show();
  }
  apply(w, *c);
}

void QtUi::rebuildPage(View& v) {
  if (!v.sheet) return;
  ui::Window* page = v.sheet->activePage();
  if (page == v.page) return;
  for (auto& [id, w] : v.pageWidgets) {
    w->hide();
    w->deleteLater();
  }
  v.pageWidgets.clear();
  v.page = page;
  if (!page) return;
  for (const auto& c : page->controls()) syncControl(v, *page, c.id);
  // A page's groups sit behind its other controls.
  for (auto& [id, w] : v.pageWidgets)
    if (qobject_cast<QGroupBox*>(w)) w->lower();
}

QtUi::View* QtUi::open(ui::Window& w, bool modal) {
  auto view = std::make_unique<View>();
  View& v = *view;
  v.model = &w;
  v.modal = modal;
  ui::Window* m = &w;
  auto* dialog = new ModelDialog([this, m] {
    m->onCancel();
    checkEnded();
  });
  dialog->setWindowTitle(qs(w.caption()));
  dialog->setFixedSize(w.width(), w.height());
  // The font the dialog base units were measured in.
  dialog->setFont(controlFont());
  if (modal) dialog->setWindowModality(Qt::ApplicationModal);
  QWidget* owner = w.parent() ? topLevel(*w.parent()) : nullptr;
  if (owner) dialog->setParent(owner, dialog->windowFlags() | Qt::Dialog);
  if (!w.hasSystemMenu())
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  if (w.centredOnOwner()) {
    // Over the middle of the owner, else of the window that leads the application.
    QWidget* over = owner ? owner : QApplication::activeWindow();
    if (over) {
      const QPoint centre = over->mapToGlobal(over->rect().center());
      dialog->setGeometry(centre.x() - w.width() / 2, centre.y() - w.height() / 2, w.width(),
                          w.height());
    }
  }
  v.top = dialog;
  v.sheet = dynamic_cast<ui::PropertySheet*>(&w);
  if (v.sheet) {
    v.pageHost = new QWidget(dialog);
    v.pageHost->setGeometry(qrect(v.sheet->pageArea()));
    auto* line = new QFrame(dialog);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    const ui::Rect a = v.sheet->pageArea();
    line->setGeometry(0, a.bottom + 4, w.width(), 2);
    // F1 is the sheet's help request, as its Help button.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    QObject::connect(help, &QShortcut::activated, dialog, [m] { m->click(ui::ID_SHEET_HELP); });
  }
  views_[&w] = std::move(view);
  w.beginShow();
  for (const auto& c : w.controls()) syncControl(v, w, c.id);
  for (auto& [id, widget] : v.own)
    if (qobject_cast<QGroupBox*>(widget)) widget->lower();
  rebuildPage(v);
  dialog->setWindowTitle(qs(w.caption()));
  dialog->show();
  return &v;
}

void QtUi::close(ui::Window& w) {
  helps_.erase(&w);
  w.endShow();
  auto it = views_.find(&w);
  if (it == views_.end()) return;
  QWidget* top = it->second->top;
  views_.erase(it);
  top->hide();
  top->deleteLater();
}

int QtUi::runModal(ui::Window& w) {
  if (views_.count(&w)) {
    platform::debugOutput("QtUi::runModal - window is already shown\n");
    return -1;
  }
  open(w, true);
  QEventLoop loop;
  loops_.emplace_back(&w, &loop);
  // Model code can end a window from any callback; this check catches the ones that do not
  // pass through ours (a nested run returning, a handler that throws and is caught).
  QTimer watch;
  watch.setInterval(20);
  QObject::connect(&watch, &QTimer::timeout, &loop, [this] { checkEnded(); });
  watch.start();
  if (!w.ended()) loop.exec();
  watch.stop();
  loops_.erase(std::remove_if(loops_.begin(), loops_.end(),
                              [&](const auto& p) { return p.second == &loop; }),
               loops_.end());
  const int result = w.result();
  close(w);
  return result;
}

void QtUi::checkEnded() {
  for (auto& [w, loop] : loops_)
    if (w->ended()) loop->quit();
}

void QtUi::showModeless(ui::Window& w) {
  if (views_.count(&w)) return;
  open(w, false);
}

void QtUi::hideModeless(ui::Window& w) { close(w); }

void QtUi::showHelp(ui::Window& w, const std::string& folder, const std::string& target) {
  if (!views_.count(&w)) open(w, false);
  View& v = *views_[&w];
  const size_t hash = target.find('#');
  const QString page = qs(platform::files::nativePath(target.substr(0, hash)));
  const QString anchor = hash == std::string::npos ? QString() : qs(target.substr(hash + 1));
  HelpBrowser*& browser = helps_[&w];
  if (!browser) {
    browser = new HelpBrowser(qs(platform::files::nativePath(folder)), v.top);
    // The page fills the window above its OK and Cancel buttons.
    int bottom = w.height() - 10;
    for (const auto& c : w.controls()) bottom = std::min(bottom, c.rect.top - 10);
    browser->setGeometry(10, 10, w.width() - 20, bottom - 10);
    ui::Window* m = &w;
    browser->setCloseRequest([m] { m->onOK(); });
    browser->show();
  }
  v.top->show();
  v.top->raise();
  v.top->activateWindow();
  browser->openPage(page, anchor);
  browser->setFocus();
}

HelpBrowser* QtUi::helpBrowser(const ui::Window& w) const {
  auto it = helps_.find(&w);
  return it == helps_.end() ? nullptr : it->second;
}

void QtUi::changed(ui::Window& w, int controlId) {
  bool isPage = false;
  View* v = viewOf(w, &isPage);
  if (!v) return;
  if (controlId == 0) {
    if (isPage) return;  // the sheet shows its own caption
    v->top->setWindowTitle(qs(w.caption()));
    if (v->top->width() != w.width() || v->top->height() != w.height())
      v->top->setFixedSize(w.width(), w.height());
    rebuildPage(*v);
    return;
  }
  syncControl(*v, w, controlId);
}

int QtUi::messageBoxHere(ui::Window* owner, const std::string& text, const std::string& caption,
                         unsigned type) {
  QWidget* parent = owner ? topLevel(*owner) : nullptr;
  QMessageBox box(parent);
  box.setWindowTitle(qs(caption));
  box.setText(qs(text));
  switch (type & 0xF0) {
    case win::MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case win::MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case win::MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case win::MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  QMessageBox::StandardButtons buttons;
  switch (type & 0xF) {
    case 1: buttons = QMessageBox::Ok | QMessageBox::Cancel; break;
    case 2: buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore; break;
    case 3: buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel; break;
    case 4: buttons = QMessageBox::Yes | QMessageBox::No; break;
    case 5: buttons = QMessageBox::Retry | QMessageBox::Cancel; break;
    default: buttons = QMessageBox::Ok; break;
  }
  box.setStandardButtons(buttons);
  box.setWindowModality(Qt::ApplicationModal);
  int r = box.exec();
  checkEnded();
  if ((type & 0xF) == 0) return win::IDOK;
  return fromStandardButton(r);
}

int QtUi::messageBox(ui::Window* owner, const std::string& text, const std::string& caption,
                     unsigned type) {
  if (onGuiThread()) return messageBoxHere(owner, text, caption, type);
  // A worker's message box blocks only the worker; the GUI thread shows it.
  int result = win::IDCANCEL;
  QMetaObject::invokeMethod(
      dispatcher_.get(), [&] { result = messageBoxHere(owner, text, caption, type); },
      Qt::BlockingQueuedConnection);
  return result;
}

bool QtUi::credentialsHere(const std::string& server, std::string& user, std::string& password) {
  QDialog d;
  d.setWindowTitle("Enter Network Password");
  d.setWindowModality(Qt::ApplicationModal);
  auto* form = new QFormLayout(&d);
  form->addRow(new QLabel(QString("Please type your user name and password for %1.").arg(qs(server))));
  auto* userEdit = new QLineEdit(qs(user));
  auto* passEdit = new QLineEdit;
  passEdit->setEchoMode(QLineEdit::Password);
  form->addRow("User name:", userEdit);
  form->addRow("Password:", passEdit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  const bool ok = d.exec() == QDialog::Accepted;
  checkEnded();
  if (!ok) return false;
  user = userEdit->text().toStdString();
  password = passEdit->text().toStdString();
  return true;
}

bool QtUi::askCredentials(const std::string& server, std::string& user, std::string& password) {
  if (onGuiThread()) return credentialsHere(server, user, password);
  bool ok = false;
  QMetaObject::invokeMethod(
      dispatcher_.get(), [&] { ok = credentialsHere(server, user, password); },
      Qt::BlockingQueuedConnection);
  return ok;
}

std::string QtUi::browseForFolder(ui::Window* owner, const std::string& title) {
  // The machine's drives are folders of the host: the chooser opens on drive C and its
  // answer is read back as a Windows path.
  QWidget* parent = owner ? topLevel(*owner) : nullptr;
  const QString chosen = QFileDialog::getExistingDirectory(
      parent, qs(title), qs(platform::machine::toHost("C:\\")),
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  checkEnded();
  return chosen.isEmpty() ? std::string() : platform::machine::toWindows(chosen.toStdString());
}

void QtUi::post(std::function<void()> task) {
  QMetaObject::invokeMethod(
      dispatcher_.get(),
      [this, task = std::move(task)] {
        task();
        checkEnded();
      },
      Qt::QueuedConnection);
}

void QtUi::startTimer(ui::Window& w, int id, int periodMs) {
  stopTimer(w, id);
  auto* t = new QTimer(dispatcher_.get());
  t->setInterval(std::max(periodMs, 1));
  ui::Window* m = &w;
  QObject::connect(t, &QTimer::timeout, t, [this, m, id] {
    m->deliverTimer(id);
    checkEnded();
  });
  timers_[{&w, id}] = t;
  t->start();
}

void QtUi::stopTimer(ui::Window& w, int id) {
  auto it = timers_.find({&w, id});
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();
  timers_.erase(it);
}

void QtUi::pump() {
  if (!onGuiThread()) return;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  checkEnded();
}

}  // namespace qtui
