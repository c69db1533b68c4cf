// The rich text control on the offscreen platform: the formatted document reaches the
// widget, a changed text replaces it, and what reaches Qt's layout stays bounded.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextList>

#include "platform/qt/rich_text.h"
#include "platform/ui/window.h"
#include "tests/qt/qt_test.h"

namespace {

class RichTextWindow : public ui::Window {
 public:
  RichTextWindow() : ui::Window(158, "Readme", 400, 300) {}
  void onInitDialog() override {
    addControl(1135, ui::ControlKind::RichText, ui::Rect{10, 10, 390, 290},
               "{\\rtf1{\\colortbl;\\red200\\green0\\blue0;}\\qc\\b Title\\b0\\par\\pard "
               "\\i slanted\\i0  \\cf1 red\\cf0\\par"
               "{\\pntext\\'b7\\tab}\\li720\\fi-360 first\\par{\\pntext\\'b7\\tab}second\\par}");
  }
};

using RichTextTest = QtTest;

TEST_F(RichTextTest, ControlShowsTheFormattedDocument) {
  RichTextWindow w;
  w.createModeless();
  auto* browser = qobject_cast<QTextBrowser*>(qt->widget(w, 1135));
  ASSERT_NE(browser, nullptr);
  QTextDocument* doc = browser->document();
  ASSERT_EQ(doc->blockCount(), 4);
  QTextBlock title = doc->firstBlock();
  EXPECT_EQ(title.text(), "Title");
  EXPECT_EQ(title.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_EQ(title.begin().fragment().charFormat().fontWeight(), QFont::Bold);
  QTextBlock body = title.next();
  EXPECT_TRUE(body.begin().fragment().charFormat().fontItalic());
  bool red = false;
  for (auto it = body.begin(); !it.atEnd(); ++it)
    red |= it.fragment().text() == "red" &&
           it.fragment().charFormat().foreground().color() == QColor(200, 0, 0);
  EXPECT_TRUE(red);
  QTextBlock item = body.next();
  ASSERT_NE(item.textList(), nullptr);
  EXPECT_EQ(item.textList()->format().style(), QTextListFormat::ListDisc);
  EXPECT_EQ(item.textList(), item.next().textList());
  EXPECT_EQ(item.next().text(), "second");

  w.setText(1135, "{\\rtf1 Replaced}");
  EXPECT_EQ(browser->document()->toPlainText(), "Replaced");
  w.destroyWindow();
}

TEST(RichTextLimitsTest, LongParagraphsAndWordsAreBroken) {
  ensureQtApplication();
  rtf::Document model;
  model.paragraphs.resize(1);
  model.paragraphs[0].runs.push_back(rtf::Run{std::string(10000, 'w') + " " +
                                              std::string(5000, 'x')});
  QTextDocument doc;
  qtui::RichTextLimits limits;
  limits.totalChars = 12000;
  qtui::fillRichText(doc, model, limits);
  int longestWord = 0;
  for (QTextBlock b = doc.firstBlock(); b.isValid(); b = b.next()) {
    EXPECT_LE(b.length(), 2 * limits.blockChars + 2 * limits.blockChars / limits.wordChars + 1);
    for (const QString& word : b.text().split(QRegularExpression("[\\s\\x{200B}]")))
      longestWord = std::max(longestWord, static_cast<int>(word.size()));
  }
  EXPECT_LE(longestWord, limits.wordChars);
  // Cut at the total and marked by an ellipsis.
  EXPECT_EQ(doc.lastBlock().text(), QString(QChar(0x2026)));
  EXPECT_LT(doc.characterCount(), 12000 + 12000 / limits.wordChars + 100);
}

}  // namespace
