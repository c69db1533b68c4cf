#pragma once
// Shows a rich text model in Qt: the document is built with a cursor and formats, never by
// handing markup of the (untrusted) document to Qt's HTML reader.
#include <QTextDocument>

#include "platform/ui/rtf.h"

namespace qtui {

// Bounds on what reaches Qt's text layout, which lays out a paragraph as a whole and finds
// breaks inside a word the hard way: one huge paragraph or word would freeze the window.
struct RichTextLimits {
  int blockChars = 2000;       // a longer paragraph continues in a new block, at a blank if it can
  int wordChars = 120;         // a longer word gets a zero-width break opportunity every so often
  // The rest of a larger document is cut off, marked by an ellipsis: a million characters
  // are some three hundred pages, and lay out in about a second (bench/rtf_bench.cpp).
  qsizetype totalChars = 1 << 20;
};

// Replaces the content of doc by the model.
void fillRichText(QTextDocument& doc, const rtf::Document& model,
                  const RichTextLimits& limits = RichTextLimits{});

}  // namespace qtui
