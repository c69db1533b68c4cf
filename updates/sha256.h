#pragma once
// SHA-256 of a file, for checking a downloaded installer against its published checksum.
#include <optional>
#include <string>

// The digest as 64 lower-case hexadecimal digits.
std::string sha256Hex(const std::string& data);
// The digest of a file's contents; none when the file cannot be read.
std::optional<std::string> sha256OfFile(const std::string& path);
