#include "platform/linux/utf16.h"

#include <cstdint>
#include <cwctype>

#include <locale.h>

#include "platform/text_encoding.h"

namespace platform::text {

namespace {

void appendUtf16(std::string& out, uint32_t unit) {
  out += static_cast<char>(unit & 0xFF);
  out += static_cast<char>(unit >> 8);
}

// One UTF-8 sequence at i; false (and i unchanged) when the bytes there are not one.
bool decodeUtf8(const std::string& s, size_t& i, uint32_t& cp) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = byte(i);
  size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (length == 0 || i + length > s.size()) return false;
  uint32_t value = length == 1 ? b : b & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return false;
    value = value << 6 | (byte(i + k) & 0x3F);
  }
  static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < kMin[length] || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
    return false;
  cp = value;
  i += length;
  return true;
}

}  // namespace

std::string fromUtf16le(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  size_t n = bytes.size() / 2;
  auto unit = [&](size_t k) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * k])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[2 * k + 1])) << 8;
  };
  for (size_t k = 0; k < n; ++k) {
    uint32_t u = unit(k);
    if (u >= 0xD800 && u < 0xDC00 && k + 1 < n && unit(k + 1) >= 0xDC00 && unit(k + 1) < 0xE000) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
      ++k;
    } else if (u >= 0xD800 && u < 0xE000) {
      appendUtf8(out, 0xFFFD);
    } else {
      appendUtf8(out, u);
    }
  }
  return out;
}

std::string toUtf16le(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  size_t i = 0;
  while (i < utf8.size()) {
    uint32_t cp;
    if (!decodeUtf8(utf8, i, cp)) cp = static_cast<unsigned char>(utf8[i++]);
    if (cp >= 0x10000) {
      appendUtf16(out, 0xD800 + ((cp - 0x10000) >> 10));
      appendUtf16(out, 0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      appendUtf16(out, cp);
    }
  }
  return out;
}

std::string decodeFileText(const std::string& bytes, bool* utf16) {
  if (utf16) *utf16 = false;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    if (utf16) *utf16 = true;
    return fromUtf16le(bytes.substr(2));
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
  return bytes;
}

std::string fromWindows1252(const std::string& bytes) {
  std::string utf8;
  for (char c : bytes) appendUtf8(utf8, windows1252Char(static_cast<unsigned char>(c)));
  return utf8;
}

bool toWindows1252(const std::string& utf8, std::string& out) {
  std::string utf16 = toUtf16le(utf8);
  out.clear();
  for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
    char16_t u = static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                       static_cast<unsigned char>(utf16[i + 1]) << 8);
    const int byte = windows1252Byte(u);
    if (byte < 0) return false;
    out += static_cast<char>(byte);
  }
  return true;
}

std::string upperCaseName(const std::string& utf8) {
  std::string upper = utf8;
  bool ascii = true;
  for (char& c : upper) {
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (ascii) return upper;
  // The case tables of the built-in UTF-8 locale, whatever locale the process runs in.
  static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  std::string utf16 = toUtf16le(utf8);
  for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const char16_t u = static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                             static_cast<unsigned char>(utf16[i + 1]) << 8);
    if (u >= 0xD800 && u <= 0xDFFF) continue;  // surrogates compare as they are
    wint_t mapped = u < 0x80 ? static_cast<wint_t>(u >= 'a' && u <= 'z' ? u - 32 : u)
                    : unicode ? towupper_l(u, unicode)
                              : static_cast<wint_t>(u);
    if (mapped > 0xFFFF) mapped = u;  // an upper case outside the BMP would change the length
    utf16[i] = static_cast<char>(mapped & 0xFF);
    utf16[i + 1] = static_cast<char>(mapped >> 8);
  }
  return fromUtf16le(utf16);
}

}  // namespace platform::text
