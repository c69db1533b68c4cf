#include "platform/ui/rtf.h"

#include <algorithm>
#include <array>

#include "platform/text_encoding.h"

namespace rtf {

namespace {

using platform::text::appendUtf8;

// What the bytes of the current group are.
enum class Dest : uint8_t { Text, Skip, ColorTable, Marker };

struct State {
  Dest dest = Dest::Text;
  bool bold = false, italic = false, underline = false;
  int halfPoints = 24;
  int color = 0;
  int ucSkip = 1;
  Align align = Align::Left;
  int leftIndent = 0, firstIndent = 0;
};

// Destinations that hold no text of the document. Anything under \* is skipped too.
bool skippedDestination(std::string_view w) {
  static constexpr std::string_view kNames[] = {
      "fonttbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr",
      "headerf", "footer", "footerl", "footerr", "footerf", "fldinst", "xe", "tc", "txe",
      "listtable", "listoverridetable", "rsidtbl", "revtbl", "filetbl", "themedata",
      "colorschememapping", "latentstyles", "datastore", "generator", "pn", "pntxta",
      "pntxtb", "footnote", "annotation", "atnid", "atnauthor", "bkmkstart", "bkmkend",
      "nonshppict", "shp", "shpinst", "sp", "userprops", "xmlnstbl", "mmathPr", "template"};
  return std::find(std::begin(kNames), std::end(kNames), w) != std::end(kNames);
}

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  Document read() {
    doc_.rtf = true;
    stack_.reserve(kMaxDepth);
    stack_.push_back(State{});  // outside every group
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      if (c == '{') {
        ++pos_;
        openGroup();
      } else if (c == '}') {
        ++pos_;
        if (!closeGroup()) break;
      } else if (c == '\\') {
        ++pos_;
        controlSequence();
      } else {
        ++pos_;
        if (c == '\r' || c == '\n' || c == '\0') continue;
        groupStart_ = false;
        textByte(static_cast<unsigned char>(c));
      }
    }
    endParagraph(false);
    return std::move(doc_);
  }

 private:
  State& st() { return stack_.back(); }
  bool dropping() const { return overflow_ > 0 || stack_.back().dest == Dest::Skip; }

  void openGroup() {
    pendingSkip_ = 0;
    if (overflow_ > 0 || static_cast<int>(stack_.size()) > kMaxDepth) {
      ++overflow_;
      return;
    }
    State copy = stack_.back();
    // A list marker's formatting and its text stay inside the marker group.
    stack_.push_back(copy);
    groupStart_ = true;
  }

  // False when the document's outermost group closed: the document ends there.
  bool closeGroup() {
    pendingSkip_ = 0;
    groupStart_ = false;
    if (overflow_ > 0) {
      --overflow_;
      return true;
    }
    if (stack_.size() > 1) {
      if (stack_.size() == 2) endParagraph(false);  // the document's group: its last paragraph
      const Dest closing = stack_.back().dest;
      stack_.pop_back();
      if (closing == Dest::ColorTable) finishColor(false);
      return stack_.size() > 1;
    }
    return true;  // a stray closing brace before any group: nothing to close
  }

  void controlSequence() {
    if (pos_ >= in_.size()) return;
    const char c = in_[pos_];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter) {
      ++pos_;
      controlSymbol(c);
      return;
    }
    // Word: letters, then an optional signed number, then an optional delimiting space.
    // Long words and numbers are read to their end but kept short and clamped.
    const size_t start = pos_;
    while (pos_ < in_.size() && ((in_[pos_] >= 'a' && in_[pos_] <= 'z') ||
                                 (in_[pos_] >= 'A' && in_[pos_] <= 'Z')))
      ++pos_;
    std::string_view word = in_.substr(start, std::min<size_t>(pos_ - start, 32));
    bool hasNumber = false, negative = false;
    long long number = 0;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() &&
        in_[pos_ + 1] >= '0' && in_[pos_ + 1] <= '9') {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && in_[pos_] >= '0' && in_[pos_] <= '9') {
      hasNumber = true;
      number = std::min<long long>(number * 10 + (in_[pos_] - '0'), 1'000'000'000LL);
      ++pos_;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    const int n = static_cast<int>(negative ? -number : number);
    const bool atGroupStart = groupStart_;
    groupStart_ = false;
    if (pendingSkip_ > 0 && word != "bin") {
      --pendingSkip_;
      return;
    }
    controlWord(word, hasNumber, n, atGroupStart);
  }

  void controlSymbol(char c) {
    const bool atGroupStart = groupStart_;
    groupStart_ = false;
    if (c == '\'') {
      int value = 0, digits = 0;
      while (digits < 2 && pos_ < in_.size()) {
        const int h = hexValue(in_[pos_]);
        if (h < 0) break;
        value = value * 16 + h;
        ++digits;
        ++pos_;
      }
      if (pendingSkip_ > 0) {
        --pendingSkip_;
        return;
      }
      if (digits > 0) textByte(static_cast<unsigned char>(value));
      return;
    }
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    switch (c) {
      case '\\': case '{': case '}': textByte(static_cast<unsigned char>(c)); break;
      case '~': text(0x00A0); break;
      case '_': text(0x2011); break;
      case '-': break;  // optional hyphen: only shown at a line end, which we leave to layout
      case '\t': text('\t'); break;
      case '\r': case '\n': endParagraph(true); break;
      case '*':
        if (atGroupStart && overflow_ == 0 && stack_.size() > 1) st().dest = Dest::Skip;
        break;
      default: break;
    }
  }

  void controlWord(std::string_view w, bool hasNumber, int n, bool atGroupStart) {
    if (w == "bin") {
      // Binary data of the given length follows; never read past the end for it.
      const size_t length = hasNumber && n > 0 ? static_cast<size_t>(n) : 0;
      pos_ += std::min(length, in_.size() - pos_);
      return;
    }
    if (overflow_ > 0) return;
    State& s = st();
    if (atGroupStart && stack_.size() > 1) {
      if (w == "colortbl") {
        s.dest = Dest::ColorTable;
        color_ = Color{};
        return;
      }
      if (w == "pntext" || w == "listtext") {
        s.dest = Dest::Marker;
        current_.listItem = true;
        return;
      }
      if (skippedDestination(w)) {
        s.dest = Dest::Skip;
        return;
      }
    }
    if (s.dest == Dest::Skip) return;
    if (s.dest == Dest::ColorTable) {
      const int v = std::clamp(n, 0, 255);
      if (w == "red") color_.red = static_cast<uint8_t>(v), color_.automatic = false;
      else if (w == "green") color_.green = static_cast<uint8_t>(v), color_.automatic = false;
      else if (w == "blue") color_.blue = static_cast<uint8_t>(v), color_.automatic = false;
      return;
    }
    const bool on = !hasNumber || n != 0;
    if (w == "par" || w == "sect" || w == "page" || w == "row") endParagraph(true);
    else if (w == "line") text('\n');
    else if (w == "tab" || w == "cell") text('\t');
    else if (w == "b") s.bold = on;
    else if (w == "i") s.italic = on;
    else if (w == "ul" || w == "uld" || w == "uldb" || w == "uldash" || w == "ulw" ||
             w == "ulth" || w == "ulwave")
      s.underline = on;
    else if (w == "ulnone") s.underline = false;
    else if (w == "fs") s.halfPoints = hasNumber ? std::clamp(n, 1, kMaxHalfPoints) : 24;
    else if (w == "cf") s.color = std::clamp(n, 0, static_cast<int>(kMaxColors));
    else if (w == "plain") {
      s.bold = s.italic = s.underline = false;
      s.halfPoints = 24;
      s.color = 0;
    } else if (w == "pard") {
      s.align = Align::Left;
      s.leftIndent = s.firstIndent = 0;
    } else if (w == "ql") s.align = Align::Left;
    else if (w == "qc") s.align = Align::Center;
    else if (w == "qr") s.align = Align::Right;
    else if (w == "qj") s.align = Align::Justify;
    else if (w == "li") s.leftIndent = std::clamp(n, -kMaxIndent, kMaxIndent);
    else if (w == "fi") s.firstIndent = std::clamp(n, -kMaxIndent, kMaxIndent);
    else if (w == "uc") s.ucSkip = std::clamp(n, 0, 8);
    else if (w == "u" && hasNumber) unicode(n);
    else if (w == "bullet") text(0x2022);
    else if (w == "emdash") text(0x2014);
    else if (w == "endash") text(0x2013);
    else if (w == "lquote") text(0x2018);
    else if (w == "rquote") text(0x2019);
    else if (w == "ldblquote") text(0x201C);
    else if (w == "rdblquote") text(0x201D);
  }

  void unicode(int n) {
    // A signed 16-bit value: negative ones stand for the upper half.
    uint32_t unit = static_cast<uint32_t>(n < 0 ? n + 65536 : n);
    if (n < -32768 || n > 65535) unit = 0xFFFD;
    pendingSkip_ = st().ucSkip;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      highSurrogate_ = unit;
      return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      if (highSurrogate_ == 0) {
        text(0xFFFD);
        return;
      }
      const uint32_t full = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00);
      highSurrogate_ = 0;
      text(full);
      return;
    }
    text(unit);
  }

  void textByte(unsigned char b) {
    if (pendingSkip_ > 0) {
      --pendingSkip_;
      return;
    }
    if (b < 0x20 && b != '\t') return;
    if (b < 0x80) {
      text(b);
      return;
    }
    text(platform::text::windows1252Char(b));
  }

  void text(uint32_t codePoint) {
    if (highSurrogate_ != 0) {  // a high half without its low half
      highSurrogate_ = 0;
      emit(0xFFFD);
    }
    emit(codePoint);
  }

  void emit(uint32_t codePoint) {
    if (dropping() || codePoint == 0) return;
    const State& s = st();
    if (s.dest == Dest::ColorTable) {
      if (codePoint == ';') finishColor(true);
      return;
    }
    if (s.dest == Dest::Marker) {
      if (codePoint != '\t') appendUtf8(current_.marker, codePoint);
      return;
    }
    Run format;
    format.bold = s.bold;
    format.italic = s.italic;
    format.underline = s.underline;
    format.halfPoints = s.halfPoints;
    format.color = s.color;
    if (current_.runs.empty() || !current_.runs.back().sameFormat(format))
      current_.runs.push_back(std::move(format));
    appendUtf8(current_.runs.back().text, codePoint);
  }

  void finishColor(bool always) {
    if ((always || !color_.automatic) && doc_.colors.size() < kMaxColors)
      doc_.colors.push_back(color_);
    color_ = Color{};
  }

  // The paragraph takes the paragraph format in force at its end, as in the writers' output.
  void endParagraph(bool explicitEnd) {
    if (dropping() && explicitEnd) return;
    if (!explicitEnd && current_.runs.empty() && !current_.listItem) return;
    if (doc_.paragraphs.size() + 1 >= kMaxParagraphs && explicitEnd) {
      // Past the bound a paragraph end becomes a line break: the text stays, the model
      // stays small however many empty paragraphs the input holds.
      text('\n');
      return;
    }
    const State& s = st();
    current_.align = s.align;
    current_.leftIndent = s.leftIndent;
    current_.firstIndent = s.firstIndent;
    doc_.paragraphs.push_back(std::move(current_));
    current_ = Paragraph{};
  }

  static int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  std::string_view in_;
  size_t pos_ = 0;
  std::vector<State> stack_;
  int overflow_ = 0;
  bool groupStart_ = false;
  int pendingSkip_ = 0;
  uint32_t highSurrogate_ = 0;
  Color color_;
  Paragraph current_;
  Document doc_;
};

Document plainDocument(std::string_view bytes) {
  Document doc;
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos || doc.paragraphs.size() + 1 >= kMaxParagraphs)
      end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Paragraph p;
    if (!line.empty()) p.runs.push_back(Run{std::string(line)});
    doc.paragraphs.push_back(std::move(p));
    start = end + 1;
  }
  return doc;
}

}  // namespace


std::string Paragraph::plainText() const {
  std::string out;
  for (const Run& r : runs) out += r.text;
  return out;
}

Document parse(std::string_view bytes) {
  if (bytes.substr(0, 5) != "{\\rtf") return plainDocument(bytes);
  return Reader(bytes).read();
}

std::string toPlainText(const Document& doc) {
  std::string out;
  for (size_t i = 0; i < doc.paragraphs.size(); ++i) {
    if (i) out += '\n';
    out += doc.paragraphs[i].plainText();
  }
  return out;
}

}  // namespace rtf
