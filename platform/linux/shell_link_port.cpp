// Shell links in the binary shell link format: a header, the target as link information
// (a local base path on a fixed volume), the string data (description, working folder,
// arguments, icon) in UTF-16 and the terminal block.
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/files.h"
#include "platform/linux/utf16.h"
#include "platform/shell_link.h"
#include "platform/win_types.h"
#include "platform/port_backends.h"

namespace platform::shell {

namespace {

constexpr uint32_t kHeaderSize = 0x4C;
// CLSID {00021401-0000-0000-C000-000000000046} as stored.
constexpr unsigned char kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                          0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

enum LinkFlags : uint32_t {
  HasLinkTargetIDList = 0x1,
  HasLinkInfo = 0x2,
  HasName = 0x4,
  HasRelativePath = 0x8,
  HasWorkingDir = 0x10,
  HasArguments = 0x20,
  HasIconLocation = 0x40,
  IsUnicode = 0x80,
};
constexpr uint32_t VolumeIDAndLocalBasePath = 0x1;
constexpr uint32_t DRIVE_FIXED = 3;

void put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}
void set32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool isAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

std::string linkInfo(const std::string& target) {
  // Non-ASCII paths also get the Unicode form of the base path (header size 0x24).
  bool unicode = !isAscii(target);
  uint32_t headerSize = unicode ? 0x24 : 0x1C;
  std::string volume;
  put32(volume, 0);  // size, set below
  put32(volume, DRIVE_FIXED);
  put32(volume, 0x1C0A1F2B);  // drive serial number
  put32(volume, 0x10);        // label offset
  volume += '\0';             // empty label
  set32(volume, 0, static_cast<uint32_t>(volume.size()));

  uint32_t volumeOffset = headerSize;
  uint32_t basePathOffset = volumeOffset + static_cast<uint32_t>(volume.size());
  uint32_t suffixOffset = basePathOffset + static_cast<uint32_t>(target.size()) + 1;
  uint32_t basePathUnicodeOffset = suffixOffset + 1;
  std::string wide = text::toUtf16le(target);
  uint32_t suffixUnicodeOffset = basePathUnicodeOffset + static_cast<uint32_t>(wide.size()) + 2;

  std::string info;
  put32(info, 0);  // size, set below
  put32(info, headerSize);
  put32(info, VolumeIDAndLocalBasePath);
  put32(info, volumeOffset);
  put32(info, basePathOffset);
  put32(info, 0);  // no network location
  put32(info, suffixOffset);
  if (unicode) {
    put32(info, basePathUnicodeOffset);
    put32(info, suffixUnicodeOffset);
  }
  info += volume;
  info += target + '\0';
  info += '\0';  // empty common path suffix
  if (unicode) {
    info += wide;
    put16(info, 0);
    put16(info, 0);
  }
  set32(info, 0, static_cast<uint32_t>(info.size()));
  return info;
}

void putString(std::string& out, const std::string& utf8) {
  std::string wide = text::toUtf16le(utf8);
  put16(out, static_cast<uint32_t>(wide.size() / 2));
  out += wide;
}

class Reader {
 public:
  explicit Reader(const std::string& data) : data_(data) {}
  bool has(size_t at, size_t n) const { return at <= data_.size() && n <= data_.size() - at; }
  uint32_t u16(size_t at) const {
    return static_cast<unsigned char>(data_[at]) | static_cast<unsigned char>(data_[at + 1]) << 8;
  }
  uint32_t u32(size_t at) const { return u16(at) | u16(at + 2) << 16; }
  // A zero-terminated string within [at, end); false when unterminated.
  bool cString(size_t at, size_t end, std::string& out) const {
    if (at >= end) return false;
    size_t zero = data_.find('\0', at);
    if (zero == std::string::npos || zero >= end) return false;
    out = data_.substr(at, zero - at);
    return true;
  }
  bool wideString(size_t at, size_t end, std::string& out) const {
    for (size_t i = at; i + 1 < end; i += 2) {
      if (u16(i) == 0) {
        out = text::fromUtf16le(data_.substr(at, i - at));
        return true;
      }
    }
    return false;
  }
  const std::string& data() const { return data_; }

 private:
  const std::string& data_;
};

bool readLinkInfo(const Reader& r, size_t at, size_t size, std::string& target) {
  if (size < 0x1C || !r.has(at, size)) return false;
  size_t end = at + size;
  uint32_t headerSize = r.u32(at + 4);
  uint32_t flags = r.u32(at + 8);
  if (!(flags & VolumeIDAndLocalBasePath)) return false;
  std::string base, suffix;
  if (headerSize >= 0x24 && r.has(at, 0x24)) {
    uint32_t baseOffset = r.u32(at + 0x1C), suffixOffset = r.u32(at + 0x20);
    if (baseOffset && r.wideString(at + baseOffset, end, base)) {
      if (suffixOffset) r.wideString(at + suffixOffset, end, suffix);
      target = base + suffix;
      return true;
    }
  }
  if (!r.cString(at + r.u32(at + 0x10), end, base)) return false;
  r.cString(at + r.u32(at + 0x18), end, suffix);
  target = base + suffix;
  return true;
}

}  // namespace

bool backend::saveShellLink(const ShellLink& link, const std::string& linkPath) {
  if (link.target.empty() || link.target.size() >= static_cast<size_t>(win::MAX_PATH))
    return false;
  for (const std::string* s : {&link.arguments, &link.workingDirectory, &link.description,
                               &link.iconLocation})
    if (s->size() > 0xFFFF) return false;
  uint32_t flags = HasLinkInfo | IsUnicode;
  if (!link.description.empty()) flags |= HasName;
  if (!link.workingDirectory.empty()) flags |= HasWorkingDir;
  if (!link.arguments.empty()) flags |= HasArguments;
  if (!link.iconLocation.empty()) flags |= HasIconLocation;

  std::string out;
  put32(out, kHeaderSize);
  out.append(reinterpret_cast<const char*>(kLinkClsid), sizeof kLinkClsid);
  put32(out, flags);
  // The target's attributes: a folder when it names one that exists.
  uint32_t attributes = files::getAttributes(link.target);
  if (attributes == win::INVALID_FILE_ATTRIBUTES) attributes = win::FILE_ATTRIBUTE_ARCHIVE;
  put32(out, attributes);
  out.append(24, '\0');  // creation, access and write times: unknown
  std::string data;
  uint64_t size = 0;
  if (files::readFile(link.target, data)) size = data.size();
  put32(out, static_cast<uint32_t>(size));
  put32(out, static_cast<uint32_t>(link.iconIndex));
  put32(out, static_cast<uint32_t>(link.showCommand));
  put16(out, 0);   // hot key
  out.append(10, '\0');  // reserved
  out += linkInfo(link.target);
  if (flags & HasName) putString(out, link.description);
  if (flags & HasWorkingDir) putString(out, link.workingDirectory);
  if (flags & HasArguments) putString(out, link.arguments);
  if (flags & HasIconLocation) putString(out, link.iconLocation);
  put32(out, 0);  // terminal block
  // Written past the file port's front end: the shortcut is logged as one.
  auto file = files::backend::createOutputFile(linkPath);
  return file && file->write(out.data(), out.size()) && file->close();
}

bool loadShellLink(const std::string& linkPath, ShellLink& link) {
  std::string data;
  if (!files::readFile(linkPath, data)) return false;
  Reader r(data);
  if (!r.has(0, kHeaderSize) || r.u32(0) != kHeaderSize ||
      std::memcmp(data.data() + 4, kLinkClsid, sizeof kLinkClsid) != 0)
    return false;
  uint32_t flags = r.u32(0x14);
  ShellLink result;
  result.iconIndex = static_cast<int>(r.u32(0x38));
  result.showCommand = static_cast<int>(r.u32(0x3C));
  size_t at = kHeaderSize;
  if (flags & HasLinkTargetIDList) {
    // The item list of the shell namespace: skipped; the link information names the target.
    if (!r.has(at, 2)) return false;
    at += 2 + r.u16(at);
  }
  if (flags & HasLinkInfo) {
    if (!r.has(at, 4)) return false;
    uint32_t size = r.u32(at);
    if (!readLinkInfo(r, at, size, result.target)) return false;
    at += size;
  }
  bool unicode = flags & IsUnicode;
  auto readString = [&](std::string& out) {
    if (!r.has(at, 2)) return false;
    size_t count = r.u16(at);
    size_t bytes = unicode ? count * 2 : count;
    if (!r.has(at + 2, bytes)) return false;
    std::string raw = data.substr(at + 2, bytes);
    out = unicode ? text::fromUtf16le(raw) : raw;
    at += 2 + bytes;
    return true;
  };
  std::string relativePath;
  if ((flags & HasName) && !readString(result.description)) return false;
  if ((flags & HasRelativePath) && !readString(relativePath)) return false;
  if ((flags & HasWorkingDir) && !readString(result.workingDirectory)) return false;
  if ((flags & HasArguments) && !readString(result.arguments)) return false;
  if ((flags & HasIconLocation) && !readString(result.iconLocation)) return false;
  if (result.target.empty() && !relativePath.empty()) {
    // Relative to the folder of the link.
    size_t sep = linkPath.find_last_of("\\/");
    result.target = (sep == std::string::npos ? std::string() : linkPath.substr(0, sep + 1)) +
                    relativePath;
  }
  if (result.target.empty()) return false;
  link = result;
  return true;
}

}  // namespace platform::shell
