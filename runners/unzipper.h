#pragma once
// ZIP extraction over minizip's unzip interface. Every caller uses CUnzipper::unzip and looks
// only at its result; the other operations are public for the few that walk an archive.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/cancel.h"
#include "platform/files.h"

// What the archive says about its current entry.
struct UnzipEntryInfo {
  std::string name;     // at most 259 characters, "/" turned into "\"
  std::string comment;  // at most 254 characters
  unsigned long version = 0;
  unsigned long versionNeeded = 0;
  unsigned long flag = 0;
  unsigned long compressionMethod = 0;
  unsigned long dosDateTime = 0;  // packed date in the high 16 bits, time in the low 16
  unsigned long crc = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  unsigned long internalAttributes = 0;
  unsigned long externalAttributes = 0;
  bool isFolder = false;  // the directory bit (0x10) of the external attributes
};

class CUnzipper {
 public:
  CUnzipper();
  virtual ~CUnzipper();
  CUnzipper(const CUnzipper&) = delete;
  CUnzipper& operator=(const CUnzipper&) = delete;

  // Opens archivePath and extracts every entry below targetFolder; the archive is closed
  // again either way. Entries before a failing one stay on disk.
  static bool unzip(const std::string& archivePath, const std::string& targetFolder);

  // Closes what is open; opens the full path of path. The default folder becomes that path
  // without its extension.
  bool openArchive(const std::string& path);
  void closeArchive();
  bool isOpen() const { return archive_ != nullptr; }
  const std::string& defaultFolder() const { return defaultFolder_; }

  // cancel is looked at between entries; progress hears (entries done, entries in all).
  bool unzipTo(const std::string& folder, const platform::CancelToken* cancel = nullptr,
               const std::function<void(int, int)>& progress = {});
  // An empty folder means the default folder.
  bool extractCurrentFile(const std::string& folder = std::string());
  // False when there is no current entry or its name or comment cannot be read whole.
  bool getCurrentFileInfo(UnzipEntryInfo& info);

  static bool createFolderTree(const std::string& path);
  static bool createParentFolder(const std::string& filePath);

  // The name of an entry as a path below the target folder, or false for a name that would
  // reach outside it or that Windows cannot store. Public for the tests of the name rules.
  static bool isSafeEntryName(const std::string& name);

 private:
  struct Work;
  bool writeCurrentData(const UnzipEntryInfo& info, const std::string& path, bool inTree);
  std::unique_ptr<platform::files::OutputFile> createOutput(const std::string& path,
                                                            const std::string& relative);
  void removeOutput(const std::string& path, const std::string& relative);
  bool claimArchiveRange(uint64_t begin, uint64_t end);
  bool ensureFolder(const std::string& path);

  void* archive_ = nullptr;  // unzFile
  std::unique_ptr<platform::files::InputFile> source_;  // the archive again, for entry data
  std::string defaultFolder_;
  // The byte ranges of the archive already used by extracted entries (begin -> end): an
  // entry whose header or data lies in another's is a forged overlap.
  std::map<uint64_t, uint64_t> usedRanges_;
  // Folders known to exist during this extraction, so that thousands of entries in a few
  // folders do not look each one up again.
  std::set<std::string> knownFolders_;
  std::unique_ptr<Work> work_;  // buffers and the inflater, kept from entry to entry
  // The target of unzipTo, looked up once for all its entries.
  std::unique_ptr<platform::files::FolderTree> tree_;
  std::string treeFolder_;
};
