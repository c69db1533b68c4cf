#pragma once
// Character encodings every layer meets: UTF-8 (the system's byte strings) and Windows-1252
// (the ANSI code page of old files and of RTF escapes).
#include <cstdint>
#include <string>

namespace platform::text {

// One code point as UTF-8, appended to out; surrogates and values past U+10FFFF become
// U+FFFD.
void appendUtf8(std::string& out, uint32_t codePoint);

// The character of a Windows-1252 byte; the five undefined bytes map to themselves, as the
// system's own conversion does.
char16_t windows1252Char(unsigned char byte);
// The Windows-1252 byte of a character; -1 when the code page has none.
int windows1252Byte(char16_t character);

}  // namespace platform::text
