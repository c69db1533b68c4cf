#pragma once
// Base64 (RFC 4648, "+/" with "=" padding) for the demo tools: the server's Basic
// credentials and the files a stand-in package carries.
#include <string>

namespace tools {

inline const char* base64Digits() {
  return "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

inline std::string base64Encode(const std::string& text) {
  const char* digits = base64Digits();
  std::string out;
  size_t i = 0;
  for (; i + 2 < text.size(); i += 3) {
    unsigned v = (static_cast<unsigned char>(text[i]) << 16) |
                 (static_cast<unsigned char>(text[i + 1]) << 8) |
                 static_cast<unsigned char>(text[i + 2]);
    out += digits[(v >> 18) & 63];
    out += digits[(v >> 12) & 63];
    out += digits[(v >> 6) & 63];
    out += digits[v & 63];
  }
  if (size_t rest = text.size() - i; rest > 0) {
    unsigned v = static_cast<unsigned char>(text[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(text[i + 1]) << 8;
    out += digits[(v >> 18) & 63];
    out += digits[(v >> 12) & 63];
    out += rest == 2 ? digits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// False (out incomplete) when text holds a character outside the alphabet or ends badly.
inline bool base64Decode(const std::string& text, std::string& out) {
  const std::string digits = base64Digits();
  out.clear();
  unsigned bits = 0;
  int count = 0;
  for (char c : text) {
    if (c == '=') break;
    size_t d = digits.find(c);
    if (d == std::string::npos) return false;
    bits = (bits << 6) | static_cast<unsigned>(d);
    if (++count == 4) {
      out += static_cast<char>(bits >> 16);
      out += static_cast<char>((bits >> 8) & 0xFF);
      out += static_cast<char>(bits & 0xFF);
      bits = 0;
      count = 0;
    }
  }
  if (count == 1) return false;
  if (count == 2) out += static_cast<char>(bits >> 4);
  if (count == 3) {
    out += static_cast<char>(bits >> 10);
    out += static_cast<char>((bits >> 2) & 0xFF);
  }
  return true;
}

}  // namespace tools
