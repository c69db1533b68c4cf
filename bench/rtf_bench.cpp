// Rich text of 10 MiB: reading it into the model and laying it out in Qt, beside a plain
// scan of the same bytes and Qt's own plain-text document of the same length. Three shapes:
// formatted paragraphs, one enormous paragraph, and one enormous word.
//
//   QT_QPA_PLATFORM=offscreen rtf_bench [MiB]
//
// Prints the milliseconds of every step and the ratio of ours (parse, fill, layout) to the
// plain-text reference.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QTextBrowser>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/qt/rich_text.h"
#include "platform/ui/rtf.h"

using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string formatted(size_t size) {
  std::string out = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue200;}";
  for (int n = 0; out.size() < size; ++n) {
    out += "\\pard\\b Section " + std::to_string(n) + "\\b0\\par ";
    out += "Caf\\'e9 \\i vision\\i0  software \\cf1 release\\cf0  notes \\u937? with text.\\par ";
    out += "{\\pntext\\'b7\\tab}\\li720\\fi-360 A bullet item of the list\\par\\pard ";
  }
  return out + "}";
}

std::string oneParagraph(size_t size) {
  std::string out = "{\\rtf1 ";
  while (out.size() < size) out += "word \\b bold\\b0  ";
  return out + "}";
}

std::string oneWord(size_t size) { return "{\\rtf1 " + std::string(size, 'w') + "}"; }

void run(const char* name, const std::string& bytes, double referenceMs) {
  auto t = Clock::now();
  size_t braces = 0;
  for (char c : bytes) braces += c == '{' || c == '}';
  const double scan = msSince(t);

  t = Clock::now();
  const rtf::Document model = rtf::parse(bytes);
  const double parse = msSince(t);

  t = Clock::now();
  QTextDocument doc;
  qtui::fillRichText(doc, model);
  const double fill = msSince(t);
  t = Clock::now();
  doc.setTextWidth(600);
  const double height = doc.documentLayout()->documentSize().height();
  const double layout = msSince(t);

  // What the user waits for: the control built and painted once.
  t = Clock::now();
  QTextBrowser browser;
  browser.resize(700, 450);
  qtui::fillRichText(*browser.document(), model);
  browser.show();
  QApplication::processEvents();
  browser.grab();
  const double shown = msSince(t);

  std::printf("%-14s %5.1f MiB  scan %6.1f ms  parse %6.1f ms  fill %6.1f ms  layout %6.1f ms"
              "  shown %6.1f ms  ratio to reference %.2f  (%zu braces, %d chars in %d blocks, "
              "%.0f px)\n",
              name, bytes.size() / 1048576.0, scan, parse, fill, layout, shown,
              (parse + fill + layout) / std::max(referenceMs, 0.001), braces,
              doc.characterCount(), doc.blockCount(), height);
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const size_t size = static_cast<size_t>(argc > 1 ? std::max(1, std::atoi(argv[1])) : 10) << 20;
  // The reference: Qt's own plain-text document of the formatted shape's whole text, laid
  // out the same way. (Of the one-word shape it would take minutes: that is the freeze the
  // control's limits prevent.)
  const std::string first = formatted(size);
  const QString plain = QString::fromStdString(rtf::toPlainText(rtf::parse(first)));
  auto t = Clock::now();
  QTextDocument reference;
  reference.setPlainText(plain);
  reference.setTextWidth(600);
  reference.documentLayout()->documentSize();
  const double referenceMs = msSince(t);
  std::printf("reference: plain-text document of %lld chars, set and laid out in %.1f ms\n",
              static_cast<long long>(plain.size()), referenceMs);
  run("formatted", first, referenceMs);
  run("one paragraph", oneParagraph(size), referenceMs);
  run("one word", oneWord(size), referenceMs);
  return 0;
}
