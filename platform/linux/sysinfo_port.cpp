// System information port: the OS profile of the machine, as the 32-bit wizard sees it.
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "platform/debug.h"
#include "platform/linux/machine_store.h"
#include "platform/machine.h"
#include "platform/sysinfo.h"

namespace platform::sysinfo {

using machine::MachineError;

namespace {

// A number of the system information; fallback when missing, unreadable or not a number.
long number(const char* name, long fallback) {
  try {
    auto text = machine::systemInfo(name);
    if (!text || text->empty()) return fallback;
    char* end = nullptr;
    long value = std::strtol(text->c_str(), &end, 0);
    return *end ? fallback : value;
  } catch (const MachineError& e) {
    debugOutput(std::string("sysinfo - ") + e.what() + "\n");
    return fallback;
  }
}

std::string text(const char* name) {
  try {
    return machine::systemInfo(name).value_or("");
  } catch (const MachineError& e) {
    debugOutput(std::string("sysinfo - ") + e.what() + "\n");
    return "";
  }
}

}  // namespace

bool getVersionEx(OsVersionInfoEx& info) {
  // A machine can be told to fail the call, for the callers' failure paths.
  if (number("VersionExFails", 0) != 0) return false;
  long major = number("MajorVersion", -1);
  if (major < 0) return false;
  info.majorVersion = static_cast<uint32_t>(major);
  info.minorVersion = static_cast<uint32_t>(number("MinorVersion", 0));
  info.buildNumber = static_cast<uint32_t>(number("BuildNumber", 0));
  info.platformId = static_cast<uint32_t>(number("PlatformId", VER_PLATFORM_WIN32_NT));
  info.csdVersion = text("CSDVersion").substr(0, 127);  // szCSDVersion[128]
  info.servicePackMajor = static_cast<uint16_t>(number("ServicePackMajor", 0));
  info.servicePackMinor = static_cast<uint16_t>(number("ServicePackMinor", 0));
  info.suiteMask = static_cast<uint16_t>(number("SuiteMask", 0));
  info.productType = static_cast<uint8_t>(number("ProductType", VER_NT_WORKSTATION));
  return true;
}

bool getNativeSystemInfo(SystemInfo& info) {
  // kernel32.dll exports GetNativeSystemInfo from Windows XP on.
  long major = number("MajorVersion", 0), minor = number("MinorVersion", 0);
  if (major < 5 || (major == 5 && minor < 1)) return false;
  info.processorArchitecture =
      static_cast<uint16_t>(number("ProcessorArchitecture", PROCESSOR_ARCHITECTURE_INTEL));
  info.numberOfProcessors = static_cast<uint32_t>(number("NumberOfProcessors", 2));
  info.pageSize = 4096;
  return true;
}

void getSystemInfo(SystemInfo& info) {
  // The wizard is a 32-bit program: under WOW64 it is told it runs on x86.
  info.processorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  info.numberOfProcessors = static_cast<uint32_t>(number("NumberOfProcessors", 2));
  info.pageSize = 4096;
}

bool getProductInfo(uint32_t major, uint32_t minor, uint32_t spMajor, uint32_t spMinor,
                    uint32_t& productType) {
  productType = 0;
  // The function exists from Windows Vista on; it describes the running system whatever
  // version the caller names.
  if (number("MajorVersion", 0) < 6) return false;
  productType = static_cast<uint32_t>(number("ProductInfoType", 0));
  return true;
}

int getSystemMetrics(int index) {
  if (index == SM_SERVERR2) return static_cast<int>(number("ServerR2", 0));
  return 0;
}

int screenLogPixelsY() { return static_cast<int>(number("ScreenDpi", 96)); }

namespace {

// A program carries its version resource inside itself, so that a copied or downloaded
// file keeps it: the last line of the file, "#version-resource FileVersion=<a.b.c.d>" with
// optionally ";PrivateBuild=<text>". A version the machine records for the path wins.
bool readEmbeddedVersion(const std::string& host, std::optional<std::string>& version,
                         std::optional<std::string>& privateBuild) {
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  const std::streamoff tail = size < 512 ? size : 512;
  std::string text(static_cast<size_t>(tail), '\0');
  in.seekg(size - tail);
  in.read(text.data(), tail);
  const std::string mark = "\n#version-resource FileVersion=";
  size_t at = text.rfind(mark);
  if (at == std::string::npos) return false;
  std::string line = text.substr(at + mark.size());
  if (!line.empty() && line.back() == '\n') line.pop_back();
  if (line.find('\n') != std::string::npos) return false;
  const std::string pb = ";PrivateBuild=";
  size_t cut = line.find(pb);
  version = line.substr(0, cut);
  if (cut != std::string::npos) privateBuild = line.substr(cut + pb.size());
  return !version->empty();
}

}  // namespace

bool getFileVersionInfo(const std::string& path, FileVersionInfo& info) {
  try {
    std::string host = machine::toHost(path);
    struct stat st;
    if (host.empty() || stat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::string windowsPath = machine::toWindows(host);
    auto version = machine::fileVersion(windowsPath);
    std::optional<std::string> privateBuild;
    if (version) {
      privateBuild = machine::filePrivateBuild(windowsPath);
    } else if (!readEmbeddedVersion(host, version, privateBuild)) {
      return false;
    }
    unsigned parts[4] = {0, 0, 0, 0};
    size_t start = 0;
    for (int i = 0; i < 4 && start <= version->size(); ++i) {
      size_t dot = version->find('.', start);
      parts[i] = static_cast<unsigned>(
          std::strtoul(version->substr(start, dot - start).c_str(), nullptr, 10) & 0xffff);
      if (dot == std::string::npos) break;
      start = dot + 1;
    }
    info.fileVersionMS = parts[0] << 16 | parts[1];
    info.fileVersionLS = parts[2] << 16 | parts[3];
    info.privateBuildFlag = privateBuild.has_value();
    info.privateBuild = privateBuild.value_or("");
    return true;
  } catch (const MachineError& e) {
    debugOutput(std::string("sysinfo::getFileVersionInfo - ") + e.what() + "\n");
    return false;
  }
}

}  // namespace platform::sysinfo
