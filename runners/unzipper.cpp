// ZIP extraction. minizip walks the archive and hands out each entry's raw bytes; we inflate
// them ourselves so that an entry whose data is longer or shorter than it declares, or whose
// checksum does not match, is caught instead of being written as if it were whole.
#include "runners/unzipper.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/win_types.h"
#include "runners/block_sink.h"

namespace files = platform::files;

namespace {

constexpr size_t kMaxPath = win::MAX_PATH - 1;  // 259 characters and the terminator
constexpr size_t kNameBuffer = win::MAX_PATH;
constexpr size_t kCommentBuffer = 255;
// Large blocks: on this kind of disk many small writes cost far more than a few big ones.
constexpr size_t kReadBlock = 256 * 1024;
// From this size on an entry is written by a second thread while the next block inflates.
constexpr uint64_t kWriteBehindFrom = 1024 * 1024;
// Bigger entries are checked against the free space before anything is written.
constexpr uint64_t kCheckSpaceAbove = 16 * 1024 * 1024;
constexpr unsigned kLocalHeaderSize = 30;
constexpr unsigned long kMethodStored = 0;
constexpr unsigned long kMethodDeflated = 8;
// Appended to an entry's name while its data is written.
constexpr const char* kPartSuffix = ".part~";

void refuse(const char* method, const std::string& text) {
  platform::debugOutput(std::string("CUnzipper::") + method + " - " + text + "\n");
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The runtime's make-path rule: a separator only when the folder does not end in one.
std::string joinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || isSeparator(folder.back())) return folder + name;
  return folder + "\\" + name;
}

std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && isSeparator(path.back()) && path[path.size() - 2] != ':')
    path.pop_back();
  return path;
}

// GetFullPathName for the paths the callers pass: drive paths lose their "." and ".."
// components; host and relative paths are left to the file port.
std::string fullPathName(const std::string& path) {
  bool drivePath = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                   path[1] == ':' && isSeparator(path[2]);
  if (!drivePath) return path;
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || isSeparator(path[i])) {
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      part.clear();
    } else {
      part += path[i];
    }
  }
  std::string full = path.substr(0, 2) + "\\";
  for (size_t i = 0; i < parts.size(); ++i) full += (i ? "\\" : "") + parts[i];
  if (!parts.empty() && isSeparator(path.back())) full += "\\";
  return full;
}

bool isReservedDeviceName(const std::string& component) {
  std::string base = component.substr(0, component.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* d : kDevices)
    if (base == d) return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         base[3] >= '1' && base[3] <= '9';
}

// A symbolic link stored by a Unix archiver: its target would be written as the file's data,
// and an extractor that honours it could be led anywhere.
bool isSymbolicLink(unsigned long externalAttributes) {
  return ((externalAttributes >> 16) & 0170000) == 0120000;
}

// DosDateTimeToFileTime then LocalFileTimeToFileTime, in seconds since 1970.
bool dosDateTimeToTime(unsigned long dosDateTime, int64_t& seconds) {
  unsigned date = static_cast<unsigned>(dosDateTime >> 16) & 0xFFFF;
  unsigned time = static_cast<unsigned>(dosDateTime) & 0xFFFF;
  std::tm tm{};
  tm.tm_year = 80 + static_cast<int>(date >> 9);
  tm.tm_mon = static_cast<int>((date >> 5) & 0x0F) - 1;
  tm.tm_mday = static_cast<int>(date & 0x1F);
  tm.tm_hour = static_cast<int>(time >> 11);
  tm.tm_min = static_cast<int>((time >> 5) & 0x3F);
  tm.tm_sec = static_cast<int>(time & 0x1F) * 2;
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_hour > 23 || tm.tm_min > 59 ||
      tm.tm_sec > 59)
    return false;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return false;
  seconds = static_cast<int64_t>(t);
  return true;
}

}  // namespace

struct CUnzipper::Work {
  Work() : input(kReadBlock) {}
  ~Work() {
    if (inflaterReady) inflateEnd(&stream);
  }
  std::vector<unsigned char> input;
  BlockSink sink;
  z_stream stream{};
  bool inflaterReady = false;
};

CUnzipper::CUnzipper() { closeArchive(); }

CUnzipper::~CUnzipper() { closeArchive(); }

bool CUnzipper::unzip(const std::string& archivePath, const std::string& targetFolder) {
  CUnzipper unzipper;
  if (!unzipper.openArchive(archivePath)) {
    // Missing, unreadable or no ZIP at all: nothing was written, and the line says why.
    refuse("unzip", "Unable to open the archive " + archivePath);
    return false;
  }
  bool ok = unzipper.unzipTo(targetFolder);
  unzipper.closeArchive();
  return ok;
}

bool CUnzipper::openArchive(const std::string& path) {
  closeArchive();
  if (path.empty()) return false;
  std::string full = fullPathName(path);
  if (full.empty() || full.size() > kMaxPath) return false;
  archive_ = unzOpen64(files::nativePath(full).c_str());
  if (!archive_) return false;
  source_ = files::InputFile::open(full);
  if (!source_) {
    closeArchive();
    return false;
  }
  // The path without its extension, as split and make path give it.
  size_t nameStart = full.find_last_of("\\/:");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  size_t dot = full.rfind('.');
  defaultFolder_ = (dot != std::string::npos && dot >= nameStart) ? full.substr(0, dot) : full;
  return true;
}

void CUnzipper::closeArchive() {
  if (archive_) {
    unzCloseCurrentFile(archive_);
    unzClose(archive_);
  }
  archive_ = nullptr;
  source_.reset();
  defaultFolder_.clear();
  usedRanges_.clear();
  knownFolders_.clear();
  tree_.reset();
  treeFolder_.clear();
}

bool CUnzipper::unzipTo(const std::string& folder, const platform::CancelToken* cancel,
                        const std::function<void(int, int)>& progress) {
  if (!archive_ || folder.empty() || !createFolderTree(folder)) return false;
  unz_global_info64 global;
  if (unzGetGlobalInfo64(archive_, &global) != UNZ_OK || global.number_entry == 0) return false;
  if (unzGoToFirstFile(archive_) != UNZ_OK) return false;
  usedRanges_.clear();
  knownFolders_.clear();
  tree_ = files::FolderTree::open(folder);
  treeFolder_ = folder;
  bool ok = false;
  int total = static_cast<int>(global.number_entry), done = 0;
  for (;;) {
    if (cancel && cancel->cancelled()) {
      ok = false;
      break;
    }
    if (!extractCurrentFile(folder)) break;
    if (progress) progress(++done, total);
    int next = unzGoToNextFile(archive_);
    // A central directory that breaks off is no clean end of the archive.
    ok = next == UNZ_END_OF_LIST_OF_FILE;
    if (next != UNZ_OK) break;
  }
  tree_.reset();
  treeFolder_.clear();
  return ok;
}

bool CUnzipper::getCurrentFileInfo(UnzipEntryInfo& info) {
  if (!archive_) return false;
  unz_file_info64 raw;
  char name[kNameBuffer];
  char comment[kCommentBuffer];
  if (unzGetCurrentFileInfo64(archive_, &raw, name, sizeof name, nullptr, 0, comment,
                              sizeof comment) != UNZ_OK)
    return false;
  // minizip leaves a name that fills the buffer without its terminator; such a name is
  // refused rather than cut, and so is one that hides a second name behind a NUL.
  if (raw.size_filename >= sizeof name || std::strlen(name) != raw.size_filename) {
    refuse("getCurrentFileInfo", "Entry name too long or malformed");
    return false;
  }
  info.name.assign(name, raw.size_filename);
  std::replace(info.name.begin(), info.name.end(), '/', '\\');
  size_t commentSize = std::min<size_t>(raw.size_file_comment, sizeof comment - 1);
  info.comment.assign(comment, strnlen(comment, commentSize));
  info.version = raw.version;
  info.versionNeeded = raw.version_needed;
  info.flag = raw.flag;
  info.compressionMethod = raw.compression_method;
  info.dosDateTime = raw.dosDate;
  info.crc = raw.crc;
  info.compressedSize = raw.compressed_size;
  info.uncompressedSize = raw.uncompressed_size;
  info.internalAttributes = raw.internal_fa;
  info.externalAttributes = raw.external_fa;
  info.isFolder = (raw.external_fa & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
  return true;
}

bool CUnzipper::isSafeEntryName(const std::string& name) {
  if (name.empty() || isSeparator(name[0])) return false;  // rooted, or a UNC path
  for (char c : name) {
    // ":" is a drive letter or a stream; the rest Windows cannot store in a name.
    if (static_cast<unsigned char>(c) < 32 || std::strchr(":<>\"|?*", c)) return false;
  }
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    std::string component = name.substr(start, end - start);
    // Windows drops trailing dots and blanks, so ". ." or "..." may still climb.
    bool onlyDots = !component.empty() &&
                    component.find_first_not_of(". ") == std::string::npos;
    if (onlyDots && component != ".") return false;
    if (!component.empty() && isReservedDeviceName(component)) return false;
    start = end + 1;
  }
  return true;
}

bool CUnzipper::createFolderTree(const std::string& path) {
  if (path.empty()) return false;
  std::string folder = withoutTrailingSeparators(path);
  uint32_t attributes = files::getAttributes(folder);
  if (attributes != win::INVALID_FILE_ATTRIBUTES)
    return (attributes & win::FILE_ATTRIBUTE_DIRECTORY) != 0;
  size_t cut = folder.find_last_of("\\/");
  if (cut == std::string::npos) return true;
  if (!createFolderTree(folder.substr(0, cut))) return false;
  return files::createDirectory(folder);
}

bool CUnzipper::createParentFolder(const std::string& filePath) {
  size_t cut = filePath.find_last_of("\\/");
  if (cut == std::string::npos) return false;
  return createFolderTree(filePath.substr(0, cut));
}

bool CUnzipper::ensureFolder(const std::string& path) {
  if (knownFolders_.count(path)) return true;
  if (!createFolderTree(path)) return false;
  knownFolders_.insert(path);
  return true;
}

bool CUnzipper::claimArchiveRange(uint64_t begin, uint64_t end) {
  auto next = usedRanges_.lower_bound(begin);
  if (next != usedRanges_.end() && next->first < std::max(end, begin + 1)) return false;
  if (next != usedRanges_.begin() && std::prev(next)->second > begin) return false;
  usedRanges_[begin] = end;
  return true;
}

bool CUnzipper::extractCurrentFile(const std::string& folder) {
  if (!archive_) return false;
  const std::string& target = folder.empty() ? defaultFolder_ : folder;
  if (!ensureFolder(target)) return false;
  UnzipEntryInfo info;
  if (!getCurrentFileInfo(info)) return false;

  if (!isSafeEntryName(info.name)) {
    refuse("extractCurrentFile", "Entry name leads outside the target: " + info.name);
    return false;
  }
  if (isSymbolicLink(info.externalAttributes)) {
    refuse("extractCurrentFile", "Symbolic link entry: " + info.name);
    return false;
  }

  // Some archivers mark folders only by the trailing separator.
  if (info.isFolder || info.name.back() == '\\') {
    std::string name = info.name;
    if (name.back() == '\\') name.pop_back();
    std::string path = joinPath(target, name);
    if (path.size() > kMaxPath) return false;
    if (tree_ && target == treeFolder_) {
      if (knownFolders_.count(path)) return true;
      if (!tree_->createFolders(name)) return false;
      knownFolders_.insert(path);
      return true;
    }
    return ensureFolder(path);
  }

  std::string path = joinPath(target, info.name);
  if (path.size() > kMaxPath) {
    refuse("extractCurrentFile", "Path too long: " + path);
    return false;
  }
  size_t cut = path.find_last_of("\\/");
  if (cut == std::string::npos) return false;
  bool inTree = tree_ && target == treeFolder_;
  if (inTree) {
    size_t nameCut = info.name.find_last_of('\\');
    if (nameCut != std::string::npos && !knownFolders_.count(path.substr(0, cut))) {
      if (!tree_->createFolders(info.name.substr(0, nameCut))) return false;
      knownFolders_.insert(path.substr(0, cut));
    }
  } else if (!ensureFolder(path.substr(0, cut))) {
    return false;
  }
  return writeCurrentData(info, path, inTree);
}

// An empty relative name means the file is reached by its full path.
std::unique_ptr<files::OutputFile> CUnzipper::createOutput(const std::string& path,
                                                          const std::string& relative) {
  if (tree_ && !relative.empty()) return tree_->createFile(relative);
  return files::OutputFile::create(path);
}

void CUnzipper::removeOutput(const std::string& path, const std::string& relative) {
  if (tree_ && !relative.empty())
    tree_->deleteFile(relative);
  else
    files::deleteFile(path);
}

bool CUnzipper::writeCurrentData(const UnzipEntryInfo& info, const std::string& path,
                                 bool inTree) {
  if (info.flag & 1) {
    refuse("extractCurrentFile", "Encrypted entry: " + info.name);
    return false;
  }
  bool deflated = info.compressionMethod == kMethodDeflated;
  if (!deflated && info.compressionMethod != kMethodStored) {
    refuse("extractCurrentFile", "Unsupported compression method " +
                                     std::to_string(info.compressionMethod) + ": " + info.name);
    return false;
  }
  if (!deflated && info.compressedSize != info.uncompressedSize) {
    refuse("extractCurrentFile", "Stored entry with two sizes: " + info.name);
    return false;
  }
  // The raw bytes: minizip checks the local header against the central one, we do the rest.
  int method = 0;
  int level = 0;
  if (unzOpenCurrentFile2(archive_, &method, &level, 1) != UNZ_OK) return false;

  auto fail = [&](const std::string& why) {
    if (!why.empty()) refuse("extractCurrentFile", why + ": " + info.name);
    unzCloseCurrentFile(archive_);
    return false;
  };
  uint64_t dataStart = unzGetCurrentFileZStreamPos64(archive_);
  int localExtra = unzGetLocalExtrafield(archive_, nullptr, 0);
  uint64_t headerSize = kLocalHeaderSize + info.name.size() + (localExtra > 0 ? localExtra : 0);
  if (dataStart < headerSize ||
      !claimArchiveRange(dataStart - headerSize, dataStart + info.compressedSize))
    return fail("Entry overlaps another entry");
  if (info.uncompressedSize > kCheckSpaceAbove) {
    uint64_t freeBytes = 0;
    if (files::diskFreeSpace(path.substr(0, path.find_last_of("\\/")), freeBytes) &&
        freeBytes < info.uncompressedSize)
      return fail("Not enough disk space");
  }

  // The data goes to a name beside the entry's own and takes its place only when it is
  // complete and checked: a failed entry never costs the file that was there before.
  std::string partPath = path + kPartSuffix;
  std::string partName = inTree ? info.name + kPartSuffix : std::string();
  auto removeFile = [&]() { removeOutput(partPath, partName); };
  auto file = createOutput(partPath, partName);
  if (!file) return fail("");

  if (!work_) work_ = std::make_unique<Work>();
  Work& w = *work_;
  z_stream& zs = w.stream;
  if (deflated) {
    int r = w.inflaterReady ? inflateReset(&zs) : inflateInit2(&zs, -MAX_WBITS);
    if (r != Z_OK) {
      file->close();
      removeFile();
      return fail("");
    }
    w.inflaterReady = true;
  }

  BlockSink& sink = w.sink;
  sink.start(file.get(), info.uncompressedSize >= kWriteBehindFrom);
  uint64_t produced = 0;
  size_t filled = 0;  // bytes waiting in the sink's current block
  bool streamEnded = !deflated;
  std::string error;

  // minizip found the entry and its data; the data itself is read here in large blocks,
  // since minizip's raw reads copy byte by byte through a 16 KiB buffer.
  uint64_t consumed = 0;
  for (;;) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(
        deflated ? w.input.size() : BlockSink::kBlockSize, info.compressedSize - consumed));
    if (want == 0) break;
    // Stored data is read straight into the block that is written.
    char* into = reinterpret_cast<char*>(deflated ? w.input.data() : sink.block());
    if (source_->readAt(dataStart + consumed, into, want) != static_cast<int64_t>(want)) {
      error = "Read error";
      break;
    }
    consumed += want;
    if (!deflated) {
      produced += want;
      if (produced > info.uncompressedSize) {
        error = "More data than declared";
        break;
      }
      if (!sink.put(want)) {
        error = "Write failed";
        break;
      }
      continue;
    }
    if (streamEnded) {
      error = "Data after the end of the compressed stream";
      break;
    }
    zs.next_in = w.input.data();
    zs.avail_in = static_cast<uInt>(want);
    int r;
    do {
      zs.next_out = sink.block() + filled;
      zs.avail_out = static_cast<uInt>(BlockSink::kBlockSize - filled);
      r = inflate(&zs, Z_NO_FLUSH);
      size_t got = BlockSink::kBlockSize - filled - zs.avail_out;
      filled += got;
      produced += got;
      if (produced > info.uncompressedSize) {
        error = "More data than declared";
        break;
      }
      if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) {
        error = "Corrupt data";
        break;
      }
      if (filled == BlockSink::kBlockSize) {
        filled = 0;
        if (!sink.put(BlockSink::kBlockSize)) {
          error = "Write failed";
          break;
        }
      }
    } while (r == Z_OK && (zs.avail_in > 0 || zs.avail_out == 0));
    if (!error.empty()) break;
    if (r == Z_STREAM_END) {
      streamEnded = true;
      if (zs.avail_in > 0) {
        error = "Data after the end of the compressed stream";
        break;
      }
    }
  }
  if (error.empty() && filled > 0 && !sink.put(filled)) error = "Write failed";
  uint32_t crc = 0;
  bool written = sink.finish(crc);
  if (error.empty() && !written) error = "Write failed";
  if (error.empty() && !streamEnded) error = "Compressed data ends early";
  if (error.empty() && produced != info.uncompressedSize) error = "Size differs from the declared size";
  if (error.empty() && crc != info.crc) error = "CRC mismatch";

  if (error.empty()) {
    // A stamping failure leaves the file as it is and the entry extracted.
    int64_t stamp = 0;
    if (dosDateTimeToTime(info.dosDateTime, stamp)) file->setTimes(stamp, stamp);
  }
  bool closed = file->close();
  int closeResult = unzCloseCurrentFile(archive_);
  if (error.empty() && !closed) error = "Write failed";
  if (error.empty() && closeResult != UNZ_OK) error = "Entry did not close cleanly";
  if (error.empty() && !(inTree ? tree_->replaceFile(partName, info.name)
                                : files::moveFileEx(partPath, path,
                                                    win::MOVEFILE_REPLACE_EXISTING)))
    error = "Cannot replace the file";
  if (!error.empty()) {
    refuse("extractCurrentFile", error + ": " + info.name);
    // What was written is not the entry; leaving it would pass for a good file.
    removeFile();
    return false;
  }
  return true;
}
