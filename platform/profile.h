#pragma once
// Profile (INI) files, with the results of the Windows profile functions: sections and keys
// compared without regard to case, blanks and one pair of quotes removed from values, texts
// bounded by the caller's buffer. A file name without a folder lives in the Windows folder.
#include <optional>
#include <string>
#include <vector>

namespace platform::profile {

// GetPrivateProfileStringA(section, key, defaultValue, buffer, bufferSize, file): value
// receives the value (or the default, trailing blanks removed) cut to bufferSize - 1
// characters; returns the number of characters copied. bufferSize 0 copies nothing.
size_t getString(const std::string& section, const std::string& key,
                 const std::string& defaultValue, std::string& value, size_t bufferSize,
                 const std::string& file);

// GetPrivateProfileSectionNamesA: the section names in file order, as many whole names as
// fit with their terminators and the final one into bufferSize bytes (a name cut by the end
// of the buffer is given cut, as Windows copies it). Returns the characters copied, without
// the final terminator; bufferSize - 2 when the buffer was too small.
size_t getSectionNames(std::vector<std::string>& names, size_t bufferSize,
                       const std::string& file);

// GetPrivateProfileStringA with a null key: the key names of section, in file order, with
// the same buffer rules as getSectionNames.
size_t getKeyNames(const std::string& section, std::vector<std::string>& names,
                   size_t bufferSize, const std::string& file);

// WritePrivateProfileStringA: sets key in section (both created when missing; the file too,
// in an existing folder). A null key deletes the section, a null value deletes the key.
// False when the file cannot be written.
bool writeString(const std::string& section, const std::optional<std::string>& key,
                 const std::optional<std::string>& value, const std::string& file);

}  // namespace platform::profile
