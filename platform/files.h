#pragma once
// File port: Windows paths ("C:\\a\\b", "\\" and "/" both separate), Windows results.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::files {

struct FindData {
  std::string name;         // the entry's own name, as stored
  uint32_t attributes = 0;  // FILE_ATTRIBUTE_* bits
  uint64_t size = 0;
  int64_t lastWriteTime = 0;  // seconds since 1970
};

// FindFirstFile/FindNextFile over a pattern whose last component may hold * and ?.
// "." and ".." are listed for a folder pattern ending in "*" as Windows does.
std::vector<FindData> find(const std::string& pattern);

// GetFileAttributes: INVALID_FILE_ATTRIBUTES when the path does not exist.
uint32_t getAttributes(const std::string& path);
bool setAttributes(const std::string& path, uint32_t attributes);
bool isDirectory(const std::string& path);

bool createDirectory(const std::string& path);  // fails when it exists or the parent is missing
bool removeDirectory(const std::string& path);  // empty folders only
bool deleteFile(const std::string& path);       // fails on read-only files, as on Windows
bool copyFile(const std::string& from, const std::string& to, bool failIfExists);
bool moveFileEx(const std::string& from, const std::string& to, unsigned flags);

// GetDiskFreeSpaceEx: bytes free to the caller on the volume of path.
bool diskFreeSpace(const std::string& path, uint64_t& freeBytes);

// Whole-file helpers (CreateFile + ReadFile/WriteFile). writeFile fails over a
// read-only file.
bool readFile(const std::string& path, std::string& data);
bool writeFile(const std::string& path, const std::string& data);

// A file opened for writing (CreateFile with CREATE_ALWAYS or OPEN_ALWAYS).
class OutputFile {
 public:
  // Creates or truncates; nullptr when the path is a folder, read-only or unreachable.
  static std::unique_ptr<OutputFile> create(const std::string& path);
  virtual ~OutputFile() = default;
  virtual bool write(const char* data, size_t size) = 0;
  virtual bool close() = 0;
};

// The host path of a Windows path, for libraries that open files themselves (minizip,
// SQLite). The identity on Windows.
std::string nativePath(const std::string& path);

}  // namespace platform::files
