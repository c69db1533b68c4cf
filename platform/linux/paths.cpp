// Windows paths onto the machine's drive folders, and back.
#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <string>
#include <vector>

#include "platform/linux/machine_store.h"
#include "platform/machine.h"

namespace platform::machine {

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The name of the entry of folder that matches name without regard to case; name itself
// when there is none (a new name keeps its case).
std::string matchEntry(const std::string& folder, const std::string& name) {
  if (exists(folder + "/" + name)) return name;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return name;
  std::string found = name;
  while (dirent* e = readdir(dir)) {
    if (sameIgnoringCase(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

std::vector<std::string> split(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// Appends the Windows components to base (a host folder that is the top the path may not
// climb above), matching existing names component by component.
std::string resolveUnder(const std::string& base, const std::vector<std::string>& parts) {
  std::vector<std::string> resolved;
  bool parentExists = true;
  auto current = [&] {
    std::string p = base;
    for (const std::string& r : resolved) p += "/" + r;
    return p;
  };
  for (std::string part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!resolved.empty()) resolved.pop_back();
      parentExists = exists(current());
      continue;
    }
    // Windows drops trailing dots and spaces from a name.
    while (part.size() > 1 && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    std::string folder = current();
    std::string name = parentExists ? matchEntry(folder, part) : part;
    resolved.push_back(name);
    parentExists = parentExists && exists(folder + "/" + name);
  }
  return current();
}

bool isDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::string hostCwd() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("/");
}

}  // namespace

std::string toHost(const std::string& windowsPath) {
  const std::string& p = windowsPath;
  if (p.empty()) return p;
  if (p[0] == '/') {
    // A host path built the Windows way ("/opt/app" + "\\_CorvantaInstallData"): both
    // separators separate here too.
    std::string host = p;
    for (char& c : host)
      if (c == '\\') c = '/';
    return host;
  }
  bool trailing = p.back() == '\\' || p.back() == '/';
  std::string host;
  if (p.size() >= 2 && isDriveLetter(p[0]) && p[1] == ':') {
    char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(p[0])));
    std::string driveRoot = rootPath() + "/drive_" + std::string(1, drive);
    host = resolveUnder(driveRoot, split(p.substr(2)));
    if (host == driveRoot) trailing = true;
  } else if (p.size() >= 2 && (p[0] == '\\') && (p[1] == '\\' || p[1] == '/')) {
    // A UNC path: \\server\share\... kept under the machine so it stays inside it.
    host = resolveUnder(rootPath() + "/unc", split(p.substr(2)));
  } else if (p[0] == '\\') {
    host = resolveUnder(rootPath() + "/drive_c", split(p));
  } else {
    std::string cwd = hostCwd();
    // Relative to the host's current folder; it may climb out of it, so resolve from "/".
    std::vector<std::string> parts = split(cwd);
    for (const std::string& part : split(p)) parts.push_back(part);
    host = resolveUnder("", parts);
    if (host.empty()) host = "/";
  }
  if (trailing && host.back() != '/') host += '/';
  return host;
}

std::string toWindows(const std::string& hostPath) {
  if (hostPath.empty()) return hostPath;
  std::string path = hostPath;
  if (path[0] != '/') path = hostCwd() + "/" + path;
  bool trailing = path.size() > 1 && path.back() == '/';
  // Lexically normalised, so that "a/../b" and doubled slashes map as well.
  std::vector<std::string> parts;
  for (const std::string& part : split(path)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string normal;
  for (const std::string& part : parts) normal += "/" + part;
  if (normal.empty()) normal = "/";

  std::string roots[2] = {rootPath(), ""};
  char real[PATH_MAX];
  if (realpath(roots[0].c_str(), real)) roots[1] = real;
  for (const std::string& r : roots) {
    if (r.empty()) continue;
    std::string prefix = r + "/drive_";
    if (normal.compare(0, prefix.size(), prefix) != 0 || normal.size() < prefix.size() + 1)
      continue;
    char drive = normal[prefix.size()];
    size_t after = prefix.size() + 1;
    if (!isDriveLetter(drive) || (after < normal.size() && normal[after] != '/')) continue;
    std::string rest = normal.substr(after);
    std::string windows(1, static_cast<char>(std::toupper(static_cast<unsigned char>(drive))));
    windows += ":";
    for (char c : rest) windows += c == '/' ? '\\' : c;
    if (rest.empty() || trailing) windows += '\\';
    return windows;
  }
  return hostPath;
}

}  // namespace platform::machine
