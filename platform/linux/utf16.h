#pragma once
// UTF-16LE text (as Windows writes .reg files, profiles and shell links) to and from the
// byte strings of the system (UTF-8 on this platform).
#include <string>

namespace platform::text {

// Bytes of UTF-16LE (without BOM) to UTF-8; unpaired surrogates become U+FFFD.
std::string fromUtf16le(const std::string& bytes);
// UTF-8 to UTF-16LE bytes (without BOM); bytes that are not UTF-8 are taken as Latin-1.
std::string toUtf16le(const std::string& utf8);

// A file's text: UTF-16LE with its BOM decoded, a UTF-8 BOM dropped, anything else as is.
// utf16 tells whether the file was UTF-16.
std::string decodeFileText(const std::string& bytes, bool* utf16 = nullptr);

// Windows-1252 (the ANSI code page of REGEDIT4 files) to UTF-8.
std::string fromWindows1252(const std::string& bytes);
// UTF-8 to Windows-1252; false (out unspecified) when a character has no byte there.
bool toWindows1252(const std::string& utf8, std::string& out);

// The form in which Windows compares registry key and value names: each UTF-16 unit in
// upper case (simple mapping, so "ß" stays itself and lengths never change).
std::string upperCaseName(const std::string& utf8);

}  // namespace platform::text
