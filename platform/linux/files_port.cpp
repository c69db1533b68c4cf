// File port on the machine's drive folders. The read-only attribute is the owner write bit,
// checked here rather than left to the kernel: tests and CI run as root, who may write
// anything.
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>

#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/win_types.h"
#include "platform/port_backends.h"

namespace platform::files {

namespace {

bool endsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

std::string stripTrailing(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool statOf(const std::string& windowsPath, struct stat& st, std::string* host = nullptr) {
  if (windowsPath.empty()) return false;
  std::string h = machine::toHost(windowsPath);
  if (host) *host = h;
  if (stat(h.c_str(), &st) != 0) return false;
  // "C:\file.txt\" names a folder, and there is none.
  if (endsWithSeparator(windowsPath) && !S_ISDIR(st.st_mode)) return false;
  return true;
}

bool readOnly(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

uint32_t attributesOf(const struct stat& st) {
  uint32_t a = S_ISDIR(st.st_mode) ? win::FILE_ATTRIBUTE_DIRECTORY : win::FILE_ATTRIBUTE_ARCHIVE;
  if (readOnly(st)) a |= win::FILE_ATTRIBUTE_READONLY;
  return a;
}

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// DOS wildcard match without regard to case: * any run, ? one character; "*.*" matches
// every name, with or without a dot.
bool wildcardMatch(const char* p, const char* n) {
  if (std::strcmp(p, "*.*") == 0) return true;
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*n) {
    if (*p == '*') {
      star = p++;
      resume = n;
    } else if (*p == '?' || (*p && lower(*p) == lower(*n))) {
      ++p;
      ++n;
    } else if (star) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (*p == '*') ++p;
  return *p == '\0';
}

FindData entryData(const std::string& name, const struct stat& st) {
  FindData d;
  d.name = name;
  d.attributes = attributesOf(st);
  d.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  d.lastWriteTime = st.st_mtime;
  return d;
}

bool isDriveRoot(const std::string& host) {
  std::string root = machine::rootPath();
  std::string h = stripTrailing(host);
  return h.size() == root.size() + 8 && h.compare(0, root.size() + 7, root + "/drive_") == 0;
}

bool copyData(int in, int out) {
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = read(in, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += w;
    }
  }
}

// CopyFile's copy: the data, the attributes and the last-write time.
bool copyHostFile(const std::string& from, const struct stat& fromStat, const std::string& to) {
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = copyData(in, out);
  struct timespec times[2] = {fromStat.st_atim, fromStat.st_mtim};
  ok = ok && futimens(out, times) == 0;
  ok = ok && fchmod(out, fromStat.st_mode & 07777) == 0;
  ok = (close(out) == 0) && ok;
  close(in);
  if (!ok) unlink(to.c_str());
  return ok;
}

void syncPath(const std::string& host, int flags) {
  int fd = open(host.c_str(), flags | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

std::string parentOf(const std::string& host) {
  std::string h = stripTrailing(host);
  size_t slash = h.rfind('/');
  return slash == 0 ? "/" : slash == std::string::npos ? "." : h.substr(0, slash);
}

std::string lastName(const std::string& windowsPath) {
  std::string p = windowsPath;
  while (endsWithSeparator(p)) p.pop_back();
  size_t sep = p.find_last_of("\\/");
  return sep == std::string::npos ? p : p.substr(sep + 1);
}

// A folder without the owner write bit stands for a folder whose access rights deny the
// user new entries (a protected or read-only location). Windows itself ignores the
// read-only attribute of folders; the machine uses the bit for the rights, and holds to it
// even for root.
bool writableFolder(const std::string& host) {
  struct stat st;
  return stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && !readOnly(st);
}

// May a file be written at host: not a folder, not read-only, its folder there.
bool writableTarget(const std::string& windowsPath, std::string& host) {
  if (windowsPath.empty() || endsWithSeparator(windowsPath)) return false;
  host = machine::toHost(windowsPath);
  struct stat st;
  if (stat(host.c_str(), &st) == 0) return S_ISREG(st.st_mode) && !readOnly(st);
  return writableFolder(parentOf(host));
}

class HostOutputFile : public OutputFile {
 public:
  explicit HostOutputFile(int fd) : fd_(fd) {}
  ~HostOutputFile() override { close(); }
  bool write(const char* data, size_t size) override {
    if (fd_ < 0) return false;
    while (size > 0) {
      ssize_t w = ::write(fd_, data, size);
      if (w < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      data += w;
      size -= static_cast<size_t>(w);
    }
    return true;
  }
  // Linux keeps the birth time it gave the file; only the last-write time moves.
  bool setTimes(int64_t creationTime, int64_t lastWriteTime) override {
    if (fd_ < 0) return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(lastWriteTime);
    times[1].tv_nsec = 0;
    return futimens(fd_, times) == 0;
  }
  bool close() override {
    if (fd_ < 0) return true;
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::vector<FindData> find(const std::string& pattern) {
  std::vector<FindData> found;
  if (pattern.empty() || endsWithSeparator(pattern)) return found;
  size_t sep = pattern.find_last_of("\\/");
  std::string last = sep == std::string::npos ? pattern : pattern.substr(sep + 1);
  if (last.find_first_of("*?") == std::string::npos) {
    // A plain path lists the entry itself (a folder included) under its stored name.
    struct stat st;
    std::string host;
    if (!statOf(pattern, st, &host)) return found;
    std::string h = stripTrailing(host);
    found.push_back(entryData(h.substr(h.rfind('/') + 1), st));
    return found;
  }
  std::string folder = sep == std::string::npos ? std::string(".") : pattern.substr(0, sep + 1);
  if (sep == 0) folder = "\\";
  std::string hostFolder = machine::toHost(folder);
  DIR* dir = opendir(hostFolder.c_str());
  if (!dir) return found;
  bool root = isDriveRoot(hostFolder);
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    bool dots = name == "." || name == "..";
    if (dots && root) continue;  // a drive's root has no "." and ".."
    if (!wildcardMatch(last.c_str(), name.c_str())) continue;
    struct stat st;
    if (stat((stripTrailing(hostFolder) + "/" + name).c_str(), &st) != 0) continue;
    found.push_back(entryData(name, st));
  }
  closedir(dir);
  std::sort(found.begin(), found.end(), [](const FindData& a, const FindData& b) {
    auto rank = [](const std::string& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
    if (rank(a.name) != rank(b.name)) return rank(a.name) < rank(b.name);
    // NTFS orders names by their upper-case form ("A" before "_").
    return std::lexicographical_compare(
        a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), [](char x, char y) {
          return std::toupper(static_cast<unsigned char>(x)) <
                 std::toupper(static_cast<unsigned char>(y));
        });
  });
  return found;
}

uint32_t getAttributes(const std::string& path) {
  struct stat st;
  return statOf(path, st) ? attributesOf(st) : win::INVALID_FILE_ATTRIBUTES;
}

bool backend::setAttributes(const std::string& path, uint32_t attributes) {
  struct stat st;
  std::string host;
  if (!statOf(path, st, &host)) return false;
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & win::FILE_ATTRIBUTE_READONLY) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
  return chmod(host.c_str(), mode) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return statOf(path, st) && S_ISDIR(st.st_mode);
}

bool backend::createDirectory(const std::string& path) {
  if (path.empty()) return false;
  std::string host = stripTrailing(machine::toHost(path));
  if (!writableFolder(parentOf(host))) return false;
  return mkdir(host.c_str(), 0777) == 0;
}

bool backend::removeDirectory(const std::string& path) {
  struct stat st;
  std::string host;
  if (!statOf(path, st, &host) || !S_ISDIR(st.st_mode) || readOnly(st)) return false;
  return rmdir(stripTrailing(host).c_str()) == 0;
}

bool backend::deleteFile(const std::string& path) {
  struct stat st;
  std::string host;
  if (!statOf(path, st, &host) || S_ISDIR(st.st_mode) || readOnly(st)) return false;
  return unlink(host.c_str()) == 0;
}

bool backend::copyFile(const std::string& from, const std::string& to, bool failIfExists) {
  struct stat src;
  std::string fromHost;
  if (!statOf(from, src, &fromHost) || S_ISDIR(src.st_mode)) return false;
  std::string toHost;
  struct stat dst;
  bool targetExists = !to.empty() && stat(machine::toHost(to).c_str(), &dst) == 0;
  if (targetExists) {
    if (failIfExists) return false;
    // Copying a file onto itself would truncate it before reading it.
    if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) return false;
  }
  if (!writableTarget(to, toHost)) return false;
  return copyHostFile(fromHost, src, toHost);
}

bool backend::moveFileEx(const std::string& from, const std::string& to, unsigned flags) {
  struct stat src;
  std::string fromHost;
  if (!statOf(from, src, &fromHost) || to.empty()) return false;
  fromHost = stripTrailing(fromHost);
  std::string toHost = stripTrailing(machine::toHost(to));
  struct stat dst;
  if (stat(toHost.c_str(), &dst) == 0) {
    if (dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) {
      // The same entry under another letter case: a rename to the new spelling.
      toHost = parentOf(toHost) + "/" + lastName(to);
    } else {
      if (!(flags & win::MOVEFILE_REPLACE_EXISTING)) return false;
      if (S_ISDIR(dst.st_mode) || S_ISDIR(src.st_mode) || readOnly(dst)) return false;
    }
  } else {
    struct stat parent;
    if (stat(parentOf(toHost).c_str(), &parent) != 0) return false;
  }
  if (rename(fromHost.c_str(), toHost.c_str()) != 0) {
    if (errno != EXDEV || !(flags & win::MOVEFILE_COPY_ALLOWED) || S_ISDIR(src.st_mode))
      return false;
    // Another volume: copy, then remove the original.
    if (!copyHostFile(fromHost, src, toHost)) return false;
    if (flags & win::MOVEFILE_WRITE_THROUGH) syncPath(toHost, O_RDONLY);
    unlink(fromHost.c_str());
  }
  if (flags & win::MOVEFILE_WRITE_THROUGH) {
    if (!S_ISDIR(src.st_mode)) syncPath(toHost, O_RDONLY);
    syncPath(parentOf(toHost), O_RDONLY | O_DIRECTORY);
  }
  return true;
}

bool diskFreeSpace(const std::string& path, uint64_t& freeBytes) {
  struct stat st;
  std::string host;
  if (!statOf(path, st, &host)) return false;
  struct statvfs vfs;
  if (statvfs(host.c_str(), &vfs) != 0) return false;
  freeBytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  return true;
}

bool readFile(const std::string& path, std::string& data) {
  struct stat st;
  std::string host;
  if (!statOf(path, st, &host) || !S_ISREG(st.st_mode)) return false;
  int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string content;
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      return false;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  data = std::move(content);
  return true;
}

std::unique_ptr<OutputFile> backend::createOutputFile(const std::string& path) {
  std::string host;
  if (!writableTarget(path, host)) return nullptr;
  int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  return std::make_unique<HostOutputFile>(fd);
}

namespace {

class HostInputFile : public InputFile {
 public:
  explicit HostInputFile(int fd) : fd_(fd) {}
  ~HostInputFile() override { ::close(fd_); }
  int64_t readAt(uint64_t offset, char* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      ssize_t r = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
      if (r < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      if (r == 0) break;
      done += static_cast<size_t>(r);
    }
    return static_cast<int64_t>(done);
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<InputFile> InputFile::open(const std::string& path) {
  if (path.empty() || endsWithSeparator(path)) return nullptr;
  int fd = ::open(machine::toHost(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<HostInputFile>(fd);
}

namespace {

std::string lowerCase(std::string s) {
  for (char& c : s) c = lower(c);
  return s;
}

// The host side of a FolderTree: every folder met is listed once, by lower-case name.
class HostFolderTree : public FolderTree {
 public:
  explicit HostFolderTree(std::string top) { folders_[""].host = std::move(top); }

  bool createFolders(const std::string& relative) override {
    Folder* folder = &folders_[""];
    std::string key;
    for (const std::string& part : components(relative)) {
      if (!list(*folder)) return false;
      std::string lowered = lowerCase(part);
      std::string childKey = key + "/" + lowered;
      auto found = folder->entries.find(lowered);
      if (found == folder->entries.end()) {
        if (!writable(*folder)) return false;
        std::string host = folder->host + "/" + part;
        if (mkdir(host.c_str(), 0777) != 0) return false;
        folder->entries[lowered] = {part, true};
        Folder& child = folders_[childKey];
        child.host = host;
        child.listed = true;  // new and empty
      } else {
        if (!found->second.isFolder) return false;
        Folder& child = folders_[childKey];
        if (child.host.empty()) child.host = folder->host + "/" + found->second.name;
      }
      key = childKey;
      folder = &folders_[key];
    }
    return true;
  }

  std::unique_ptr<OutputFile> createFile(const std::string& relative) override {
    std::string host;
    Folder* folder = nullptr;
    std::string lowered;
    if (!locate(relative, folder, lowered, host)) return nullptr;
    auto found = folder->entries.find(lowered);
    if (found != folder->entries.end()) {
      struct stat st;
      if (found->second.isFolder || stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
          readOnly(st))
        return nullptr;
    } else if (!writable(*folder)) {
      return nullptr;
    }
    int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    if (found == folder->entries.end())
      folder->entries[lowered] = {host.substr(host.rfind('/') + 1), false};
    return std::make_unique<HostOutputFile>(fd);
  }

  bool deleteFile(const std::string& relative) override {
    std::string host;
    Folder* folder = nullptr;
    std::string lowered;
    if (!locate(relative, folder, lowered, host)) return false;
    auto found = folder->entries.find(lowered);
    struct stat st;
    if (found == folder->entries.end() || found->second.isFolder ||
        stat(host.c_str(), &st) != 0 || readOnly(st) || unlink(host.c_str()) != 0)
      return false;
    folder->entries.erase(found);
    return true;
  }

  bool replaceFile(const std::string& from, const std::string& to) override {
    std::string fromHost, toHost, fromLowered, toLowered;
    Folder* fromFolder = nullptr;
    Folder* folder = nullptr;
    if (!locate(from, fromFolder, fromLowered, fromHost) ||
        !locate(to, folder, toLowered, toHost) || fromFolder != folder)
      return false;
    auto source = folder->entries.find(fromLowered);
    if (source == folder->entries.end() || source->second.isFolder) return false;
    auto target = folder->entries.find(toLowered);
    if (target != folder->entries.end()) {
      struct stat st;
      if (target->second.isFolder || stat(toHost.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
          readOnly(st))
        return false;
    }
    if (rename(fromHost.c_str(), toHost.c_str()) != 0) return false;
    folder->entries.erase(source);
    if (target == folder->entries.end())
      folder->entries[toLowered] = {toHost.substr(toHost.rfind('/') + 1), false};
    return true;
  }

 private:
  struct Entry {
    std::string name;  // as stored
    bool isFolder = false;
  };
  struct Folder {
    std::string host;
    bool listed = false;
    int writable = -1;  // unknown
    std::map<std::string, Entry> entries;  // by lower-case name
  };

  // Windows drops trailing dots and blanks; "." is the folder itself. ".." is not followed:
  // a tree never reaches above its top.
  static std::vector<std::string> components(const std::string& relative) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i <= relative.size(); ++i) {
      if (i < relative.size() && relative[i] != '\\' && relative[i] != '/') {
        part += relative[i];
        continue;
      }
      // "..", and what Windows would shorten to it, becomes an empty name that nothing
      // matches.
      bool dotsOnly = !part.empty() && part.find_first_not_of(". ") == std::string::npos;
      if (dotsOnly && part != ".") {
        parts.push_back(std::string());
        part.clear();
        continue;
      }
      while (part.size() > 1 && (part.back() == '.' || part.back() == ' ')) part.pop_back();
      if (!part.empty() && part != ".") parts.push_back(part);
      part.clear();
    }
    return parts;
  }

  bool list(Folder& folder) {
    if (folder.listed) return true;
    DIR* dir = opendir(folder.host.c_str());
    if (!dir) return false;
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      bool isFolder = e->d_type == DT_DIR;
      if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
        struct stat st;
        isFolder = stat((folder.host + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
      folder.entries.emplace(lowerCase(name), Entry{name, isFolder});
    }
    closedir(dir);
    folder.listed = true;
    return true;
  }

  bool writable(Folder& folder) {
    if (folder.writable < 0) folder.writable = writableFolder(folder.host) ? 1 : 0;
    return folder.writable == 1;
  }

  // The folder that holds relative's last name, that name in lower case, and its host path.
  bool locate(const std::string& relative, Folder*& folder, std::string& lowered,
              std::string& host) {
    std::vector<std::string> parts = components(relative);
    if (parts.empty() || parts.back().empty()) return false;
    std::string key;
    folder = &folders_[""];
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      if (parts[i].empty() || !list(*folder)) return false;
      std::string part = lowerCase(parts[i]);
      auto found = folder->entries.find(part);
      if (found == folder->entries.end() || !found->second.isFolder) return false;
      std::string childKey = key + "/" + part;
      Folder& child = folders_[childKey];
      if (child.host.empty()) child.host = folder->host + "/" + found->second.name;
      key = childKey;
      folder = &child;
    }
    if (!list(*folder)) return false;
    lowered = lowerCase(parts.back());
    auto found = folder->entries.find(lowered);
    host = folder->host + "/" + (found == folder->entries.end() ? parts.back() : found->second.name);
    return true;
  }

  std::map<std::string, Folder> folders_;  // by lower-case path below the top
};

}  // namespace

std::unique_ptr<FolderTree> backend::openFolderTree(const std::string& folder) {
  struct stat st;
  std::string host;
  if (!statOf(folder, st, &host) || !S_ISDIR(st.st_mode)) return nullptr;
  return std::make_unique<HostFolderTree>(stripTrailing(host));
}

std::string nativePath(const std::string& path) { return machine::toHost(path); }

}  // namespace platform::files
