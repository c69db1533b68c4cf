// The RTF reader: what each feature turns into, and that hostile input always returns.
#include <gtest/gtest.h>

#include <string>

#include "platform/ui/rtf.h"

namespace {

// The document in a short notation: paragraphs joined by "|"; a paragraph's format in
// "()" before it; a run with a format other than the default as "[b,i,u,fsN,cfN:text]".
std::string describe(const rtf::Document& doc) {
  std::string out;
  for (size_t k = 0; k < doc.paragraphs.size(); ++k) {
    const rtf::Paragraph& p = doc.paragraphs[k];
    if (k) out += "|";
    std::string format;
    if (p.align == rtf::Align::Center) format += "center ";
    if (p.align == rtf::Align::Right) format += "right ";
    if (p.leftIndent || p.firstIndent)
      format += "li" + std::to_string(p.leftIndent) + " fi" + std::to_string(p.firstIndent) + " ";
    if (p.listItem) format += "item'" + p.marker + "' ";
    if (!format.empty()) out += "(" + format.substr(0, format.size() - 1) + ")";
    for (const rtf::Run& r : p.runs) {
      std::string f;
      if (r.bold) f += "b,";
      if (r.italic) f += "i,";
      if (r.underline) f += "u,";
      if (r.halfPoints != 24) f += "fs" + std::to_string(r.halfPoints) + ",";
      if (r.color) f += "cf" + std::to_string(r.color) + ",";
      out += f.empty() ? r.text : "[" + f.substr(0, f.size() - 1) + ":" + r.text + "]";
    }
  }
  return out;
}

struct Row {
  const char* name;
  std::string rtf;
  const char* expected;
};

TEST(RtfReader, Features) {
  const Row rows[] = {
      {"plain text", "just text\nsecond line", "just text|second line"},
      {"tables skipped", "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s1 H;}}"
                         "{\\info{\\title T}}{\\*\\generator W;}A\\par B}", "A|B"},
      {"bold italic underline", "{\\rtf1 \\b bo\\b0 \\i it\\i0 \\ul un\\ulnone  x}",
       "[b:bo][i:it][u:un] x"},
      {"groups restore", "{\\rtf1 a{\\b b}c}", "a[b:b]c"},
      {"size and plain", "{\\rtf1\\fs40 big\\plain  n}", "[fs40:big] n"},
      {"colours", "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 red\\cf0  x}",
       "[cf1:red] x"},
      {"alignment and pard", "{\\rtf1\\qc mid\\par\\qr right\\par\\pard left}",
       "(center)mid|(right)right|left"},
      {"line break and tab", "{\\rtf1 a\\line b\\tab c}", "a\nb\tc"},
      {"escapes", "{\\rtf1 \\\\ \\{ \\} a\\~b c\\-d e\\_f}",
       "\\ { } a\xc2\xa0" "b cd e\xe2\x80\x91" "f"},
      {"windows-1252", "{\\rtf1 caf\\'e9 \\'80\\'93\\'9f}", "caf\xc3\xa9 \xe2\x82\xac\xe2\x80\x9c\xc5\xb8"},
      {"unicode with skip", "{\\rtf1\\uc1 \\u8364?\\uc2 \\u937\\'3f\\'3fx}",
       "\xe2\x82\xac\xce\xa9x"},
      {"negative unicode", "{\\rtf1\\uc0 \\u-3913 }", "\xef\x82\xb7"},
      {"surrogate pair", "{\\rtf1\\uc1 \\u-10179?\\u-8704?}", "\xf0\x9f\x98\x80"},
      {"unknown destination", "{\\rtf1 a{\\*\\unknownthing {b} c}d}", "ad"},
      {"bullet list", "{\\rtf1\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}"
                      "\\fi-360\\li720 one\\par{\\pntext\\f1\\'b7\\tab}two\\par\\pard after}",
       "(li720 fi-360 item'\xc2\xb7')one|(li720 fi-360 item'\xc2\xb7')two|after"},
      {"bullet word", "{\\rtf1\\bullet  x}", "\xe2\x80\xa2 x"},
      {"picture skipped", "{\\rtf1 a{\\pict\\pngblip 89504e47}b}", "ab"},
      {"binary skipped", "{\\rtf1 a{\\*\\blob\\bin4 }}{x}b}", "ab"},
  };
  for (const Row& r : rows)
    EXPECT_EQ(describe(rtf::parse(r.rtf)), r.expected) << r.name;
}

TEST(RtfReader, HostileInputReturnsWhatCanBeShown) {
  const std::string deep = std::string(100000, '{');
  const Row rows[] = {
      {"unbalanced open", "{\\rtf1{\\b a{{", "[b:a]"},
      {"stray closing", "{\\rtf1 a}}}}b", "a"},
      {"deep nesting", "{\\rtf1 x" + deep + "y" + std::string(100000, '}') + "z}", "xz"},
      {"deep and unclosed", "{\\rtf1 x" + deep + "y", "x"},
      {"huge numbers", "{\\rtf1\\fs99999999999999999999 a\\li-99999999999 \\cf9999999999 b}",
       "(li-31680 fi0)[fs3276:a][fs3276,cf4096:b]"},
      {"bin beyond data", "{\\rtf1 a\\bin99999999 bc", "a"},
      {"negative bin", "{\\rtf1 a\\bin-5 b}", "ab"},
      {"nul bytes", std::string("{\\rtf1 a\0b\\\0c}", 14), "abc"},
      {"truncated escapes", "{\\rtf1 a\\'", "a"},
      {"truncated word", "{\\rtf1 a\\u", "a"},
      {"lone surrogate", "{\\rtf1\\uc0 \\u-10179 x}", "\xef\xbf\xbdx"},
      {"colour table without end", "{\\rtf1{\\colortbl\\red1", ""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(describe(rtf::parse(r.rtf)), r.expected) << r.name;
  }
  // Paragraph ends past the bound join the last paragraph instead of growing the model.
  std::string pars = "{\\rtf1 ";
  for (size_t k = 0; k < rtf::kMaxParagraphs + 10; ++k) pars += "p\\par ";
  const rtf::Document many = rtf::parse(pars + "}");
  EXPECT_EQ(many.paragraphs.size(), rtf::kMaxParagraphs);
  EXPECT_EQ(rtf::toPlainText(many).size(), 2 * (rtf::kMaxParagraphs + 10));
}

}  // namespace
