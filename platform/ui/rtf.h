#pragma once
// Rich text documents: the readme and the release notes come from the server as RTF. The
// reader turns the bytes into paragraphs of formatted runs, which a renderer then shows.
// It is written for untrusted input: it never recurses on the document's nesting, keeps
// its state bounded, clamps every number and reads each byte a bounded number of times.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rtf {

enum class Align { Left, Center, Right, Justify };

struct Color {
  uint8_t red = 0, green = 0, blue = 0;
  // The table's empty entry (usually the first): the renderer's own text colour.
  bool automatic = true;
};

// A stretch of text with one character format. Text is UTF-8; "\n" is a line break inside
// the paragraph (\line), "\t" a tab.
struct Run {
  std::string text;
  bool bold = false, italic = false, underline = false;
  int halfPoints = 24;  // \fs, 1 .. kMaxHalfPoints
  int color = 0;        // \cf: index into Document::colors; 0 and unknown indices are automatic

  bool sameFormat(const Run& o) const {
    return bold == o.bold && italic == o.italic && underline == o.underline &&
           halfPoints == o.halfPoints && color == o.color;
  }
};

struct Paragraph {
  std::vector<Run> runs;
  Align align = Align::Left;
  int leftIndent = 0;   // \li, twips
  int firstIndent = 0;  // \fi, twips (negative for a hanging bullet)
  // A list item carries the marker its writer drew in front of it (\pntext, \listtext),
  // without the tab that follows the marker.
  bool listItem = false;
  std::string marker;

  std::string plainText() const;
};

struct Document {
  std::vector<Paragraph> paragraphs;
  std::vector<Color> colors;
  // False when the bytes did not start as RTF: they are then plain text, one paragraph a line.
  bool rtf = false;
};

constexpr int kMaxHalfPoints = 3276;
constexpr int kMaxIndent = 31680;  // twips: 22 inches
// Groups nested deeper than this are read for their braces only; their text is dropped.
constexpr int kMaxDepth = 256;
constexpr size_t kMaxColors = 4096;
// Paragraph ends past this many become line breaks inside the last paragraph.
constexpr size_t kMaxParagraphs = 100000;

Document parse(std::string_view bytes);

// The document as plain text, paragraphs separated by "\n", list markers left out.
std::string toPlainText(const Document& doc);

}  // namespace rtf
