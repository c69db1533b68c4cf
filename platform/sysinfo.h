#pragma once
// System information port: the version of Windows, its processor architecture, edition,
// metrics and the version resources of files.
#include <cstdint>
#include <string>

namespace platform::sysinfo {

constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

constexpr uint8_t VER_NT_WORKSTATION = 1;
constexpr uint8_t VER_NT_DOMAIN_CONTROLLER = 2;
constexpr uint8_t VER_NT_SERVER = 3;

constexpr uint16_t VER_SUITE_ENTERPRISE = 0x0002;
constexpr uint16_t VER_SUITE_DATACENTER = 0x0080;
constexpr uint16_t VER_SUITE_SINGLEUSERTS = 0x0100;
constexpr uint16_t VER_SUITE_PERSONAL = 0x0200;
constexpr uint16_t VER_SUITE_BLADE = 0x0400;
constexpr uint16_t VER_SUITE_STORAGE_SERVER = 0x2000;
constexpr uint16_t VER_SUITE_COMPUTE_SERVER = 0x4000;

constexpr uint16_t PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr uint16_t PROCESSOR_ARCHITECTURE_IA64 = 6;
constexpr uint16_t PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr uint16_t PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;

constexpr int SM_SERVERR2 = 89;

// OSVERSIONINFOEXA (the 156-byte extended structure).
struct OsVersionInfoEx {
  uint32_t majorVersion = 0;
  uint32_t minorVersion = 0;
  uint32_t buildNumber = 0;
  uint32_t platformId = 0;
  std::string csdVersion;  // service pack text, at most 127 characters
  uint16_t servicePackMajor = 0;
  uint16_t servicePackMinor = 0;
  uint16_t suiteMask = 0;
  uint8_t productType = 0;
};

// GetVersionExA: false when the version cannot be read.
bool getVersionEx(OsVersionInfoEx& info);

// SYSTEM_INFO, the part the system reads.
struct SystemInfo {
  uint16_t processorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  uint32_t numberOfProcessors = 1;
  uint32_t pageSize = 4096;
};

// GetNativeSystemInfo as found through GetProcAddress on kernel32.dll: false when the
// system has no such function (Windows 2000), info untouched.
bool getNativeSystemInfo(SystemInfo& info);
// GetSystemInfo: what the wizard, a 32-bit program, sees (x86 on a 64-bit system).
void getSystemInfo(SystemInfo& info);

// GetProductInfo: false (and type 0) before Windows Vista, where the function is missing.
bool getProductInfo(uint32_t major, uint32_t minor, uint32_t spMajor, uint32_t spMinor,
                    uint32_t& productType);

// GetSystemMetrics; 0 for an index the machine does not answer.
int getSystemMetrics(int index);

// GetDeviceCaps(screen DC, LOGPIXELSY): the screen's vertical logical resolution.
int screenLogPixelsY();

// The version resource of a file (GetFileVersionInfoA + VerQueryValueA).
struct FileVersionInfo {
  uint32_t fileVersionMS = 0;  // major << 16 | minor
  uint32_t fileVersionLS = 0;  // build << 16 | revision
  bool privateBuildFlag = false;  // VS_FF_PRIVATEBUILD in the file flags
  std::string privateBuild;       // \StringFileInfo\<lang>\PrivateBuild
};
// False when the file does not exist or has no version resource.
bool getFileVersionInfo(const std::string& path, FileVersionInfo& info);

}  // namespace platform::sysinfo
