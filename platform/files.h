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
  // SetFileTime on the open file: creation and last-write time in seconds since 1970, the
  // last-access time kept. Where the creation time cannot be set it stays as it is.
  virtual bool setTimes(int64_t creationTime, int64_t lastWriteTime) { return false; }
  virtual bool close() = 0;
};

// A file opened for reading (CreateFile with OPEN_EXISTING); reads at an offset
// (ReadFile with an OVERLAPPED offset), so one handle serves readers that jump about.
class InputFile {
 public:
  // nullptr when the path is missing or a folder.
  static std::unique_ptr<InputFile> open(const std::string& path);
  virtual ~InputFile() = default;
  // Bytes read into data (fewer at the end of the file), or -1 on a read error.
  virtual int64_t readAt(uint64_t offset, char* data, size_t size) = 0;
};

// Many new files below one folder (archive extraction). Names below the folder are matched
// without regard to case once per folder and then remembered, so each file costs about what
// creating it costs. Meant for a tree that nobody else changes meanwhile. On Windows a
// plain join onto the folder.
class FolderTree {
 public:
  // nullptr when folder is not an existing folder.
  static std::unique_ptr<FolderTree> open(const std::string& folder);
  virtual ~FolderTree() = default;
  // Creates the folders of relative ("a\\b\\c") that are missing; false when a file is in
  // the way or a folder cannot be made.
  virtual bool createFolders(const std::string& relative) = 0;
  // CreateFile with CREATE_ALWAYS of relative; nullptr when its folder is missing, or the
  // name is a folder or a read-only file.
  virtual std::unique_ptr<OutputFile> createFile(const std::string& relative) = 0;
  // DeleteFile of a file made or found through this tree.
  virtual bool deleteFile(const std::string& relative) = 0;
  // MoveFileEx with MOVEFILE_REPLACE_EXISTING of from onto to, both in the same folder of
  // the tree; false when to is a folder or a read-only file.
  virtual bool replaceFile(const std::string& from, const std::string& to) = 0;
};

// The host path of a Windows path, for libraries that open files themselves (minizip,
// SQLite). The identity on Windows.
std::string nativePath(const std::string& path);

}  // namespace platform::files
