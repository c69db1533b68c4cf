#include "platform/qt/rich_text.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextList>
#include <QTextListFormat>
#include <algorithm>

namespace qtui {

namespace {

constexpr double kMinPoints = 4, kMaxPoints = 72;
// Twips to pixels of a 96 dpi screen.
int pixels(int twips) { return twips / 15; }

QTextCharFormat charFormat(const rtf::Run& run, const rtf::Document& model, double basePoints) {
  QTextCharFormat f;
  f.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(run.italic);
  f.setFontUnderline(run.underline);
  // The writers' default size (12 pt) stands for the control's own font size.
  const double points = run.halfPoints == 24 ? basePoints : run.halfPoints / 2.0;
  f.setFontPointSize(std::clamp(points, kMinPoints, kMaxPoints));
  if (run.color > 0 && run.color < static_cast<int>(model.colors.size())) {
    const rtf::Color& c = model.colors[static_cast<size_t>(run.color)];
    if (!c.automatic) f.setForeground(QColor(c.red, c.green, c.blue));
  }
  return f;
}

QTextBlockFormat blockFormat(const rtf::Paragraph& p) {
  QTextBlockFormat f;
  switch (p.align) {
    case rtf::Align::Center: f.setAlignment(Qt::AlignHCenter); break;
    case rtf::Align::Right: f.setAlignment(Qt::AlignRight); break;
    case rtf::Align::Justify: f.setAlignment(Qt::AlignJustify); break;
    case rtf::Align::Left: f.setAlignment(Qt::AlignLeft); break;
  }
  // A list's own indentation places its items; other paragraphs keep their indents.
  if (!p.listItem) {
    f.setLeftMargin(std::max(0, pixels(p.leftIndent)));
    f.setTextIndent(pixels(p.firstIndent));
  }
  return f;
}

QTextListFormat::Style listStyle(const std::string& marker) {
  if (!marker.empty() && marker[0] >= '0' && marker[0] <= '9') return QTextListFormat::ListDecimal;
  if (!marker.empty() && marker[0] >= 'a' && marker[0] <= 'z') return QTextListFormat::ListLowerAlpha;
  return QTextListFormat::ListDisc;
}

class Builder {
 public:
  Builder(QTextDocument& doc, const rtf::Document& model, const RichTextLimits& limits)
      : cursor_(&doc), model_(model), limits_(limits),
        basePoints_(doc.defaultFont().pointSizeF() > 0 ? doc.defaultFont().pointSizeF() : 9) {}

  void build() {
    bool first = true;
    for (const rtf::Paragraph& p : model_.paragraphs) {
      if (full_) break;
      block_ = blockFormat(p);
      if (first) cursor_.setBlockFormat(block_);
      else cursor_.insertBlock(block_);
      first = false;
      if (p.listItem) {
        if (list_ && list_->format().style() == listStyle(p.marker)) {
          list_->add(cursor_.block());
        } else {
          QTextListFormat lf;
          lf.setStyle(listStyle(p.marker));
          list_ = cursor_.createList(lf);
        }
      } else {
        list_ = nullptr;
      }
      blockChars_ = wordChars_ = 0;
      for (const rtf::Run& run : p.runs) {
        if (full_) break;
        addRun(run);
      }
    }
    if (full_) cursor_.insertBlock(QTextBlockFormat()), cursor_.insertText(QString(QChar(0x2026)));
  }

 private:
  void addRun(const rtf::Run& run) {
    const QTextCharFormat format = charFormat(run, model_, basePoints_);
    const QString text = QString::fromUtf8(run.text.data(), static_cast<qsizetype>(run.text.size()));
    QString chunk;
    chunk.reserve(std::min<qsizetype>(text.size(), limits_.blockChars) + 16);
    for (QChar ch : text) {
      if (total_ >= limits_.totalChars) {
        full_ = true;
        break;
      }
      if (ch == u'\n') ch = QChar::LineSeparator;
      const bool blank = ch.isSpace();
      if (blank) {
        wordChars_ = 0;
      } else if (++wordChars_ > limits_.wordChars) {
        chunk += QChar(0x200B);
        wordChars_ = 1;
      }
      chunk += ch;
      ++total_;
      ++blockChars_;
      // Continue a long paragraph in a new block at the next blank, or at a break inside
      // a word once the block holds twice its share.
      if (blockChars_ >= limits_.blockChars &&
          (blank || wordChars_ == 1 || blockChars_ >= 2 * limits_.blockChars)) {
        cursor_.insertText(chunk, format);
        chunk.clear();
        cursor_.insertBlock(block_);
        blockChars_ = wordChars_ = 0;
      }
    }
    if (!chunk.isEmpty()) cursor_.insertText(chunk, format);
  }

  QTextCursor cursor_;
  const rtf::Document& model_;
  const RichTextLimits& limits_;
  double basePoints_;
  QTextBlockFormat block_;
  QTextList* list_ = nullptr;
  qsizetype total_ = 0;
  int blockChars_ = 0, wordChars_ = 0;
  bool full_ = false;
};

}  // namespace

void fillRichText(QTextDocument& doc, const rtf::Document& model, const RichTextLimits& limits) {
  doc.setUndoRedoEnabled(false);
  doc.clear();
  Builder builder(doc, model, limits);
  QTextCursor edit(&doc);
  edit.beginEditBlock();
  builder.build();
  edit.endEditBlock();
}

}  // namespace qtui
