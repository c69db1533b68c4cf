// Names of the Windows release the wizard runs on, for the choice of driver builds.
#include "platform/os_version.h"

#include <cstring>
#include <string>

#include "platform/debug.h"
#include "platform/sysinfo.h"

namespace sysinfo = platform::sysinfo;

namespace {

const char* const kUnknown = "Unknown Operating System";

void copyName(char* buffer, const std::string& text) {
  size_t n = std::min<size_t>(text.size(), kOsNameBufferSize - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

bool has(uint16_t suiteMask, uint16_t suite) { return (suiteMask & suite) != 0; }

std::string editionOfProductType(uint32_t type) {
  switch (type) {
    case 1: return "Ultimate Edition";
    case 2: return "Home Basic Edition";
    case 3: return "Home Premium Edition";
    case 4:
    case 10: return "Enterprise Edition";
    case 6: return "Business Edition";
    case 7: return "Standard Edition";
    case 8: return "Datacenter Edition";
    case 9: return "Small Business Server";
    case 11: return "Starter Edition";
    case 12: return "Datacenter Edition (core installation)";
    case 13: return "Standard Edition (core installation)";
    case 14: return "Enterprise Edition (core installation)";
    case 15: return "Enterprise Edition for Itanium-based Systems";
    case 17: return "Web Server Edition";
    case 18: return "Cluster Server Edition";
    case 25: return "Small Business Server Premium Edition";
    case 65: return "Embedded";
    default: return "(Unknown Sub-version)";
  }
}

// Release and edition of a version 5 system; false for a minor version not known.
bool release5(const sysinfo::OsVersionInfoEx& v, uint16_t architecture, std::string& release,
              std::string& edition) {
  bool workstation = v.productType == sysinfo::VER_NT_WORKSTATION;
  uint16_t suite = v.suiteMask;
  switch (v.minorVersion) {
    case 2:
      if (sysinfo::getSystemMetrics(sysinfo::SM_SERVERR2) != 0)
        release = "Windows Server 2003 R2";
      else if (has(suite, sysinfo::VER_SUITE_STORAGE_SERVER))
        release = "Windows Storage Server 2003";
      else if (workstation && architecture == sysinfo::PROCESSOR_ARCHITECTURE_AMD64)
        release = "Windows XP Professional x64 Edition";
      else
        release = "Windows Server 2003";
      if (workstation) return true;
      if (architecture == sysinfo::PROCESSOR_ARCHITECTURE_IA64) {
        if (has(suite, sysinfo::VER_SUITE_DATACENTER))
          edition = "Datacenter Edition for Itanium-based Systems";
        else if (has(suite, sysinfo::VER_SUITE_ENTERPRISE))
          edition = "Enterprise Edition for Itanium-based Systems";
      } else if (architecture == sysinfo::PROCESSOR_ARCHITECTURE_AMD64) {
        if (has(suite, sysinfo::VER_SUITE_DATACENTER)) edition = "Datacenter x64 Edition";
        else if (has(suite, sysinfo::VER_SUITE_ENTERPRISE)) edition = "Enterprise x64 Edition";
        else edition = "Standard x64 Edition";
      } else {
        if (has(suite, sysinfo::VER_SUITE_COMPUTE_SERVER)) edition = "Compute Cluster Edition";
        else if (has(suite, sysinfo::VER_SUITE_DATACENTER)) edition = "Datacenter Edition";
        else if (has(suite, sysinfo::VER_SUITE_ENTERPRISE)) edition = "Enterprise Edition";
        else if (has(suite, sysinfo::VER_SUITE_BLADE)) edition = "Web Edition";
        else edition = "Standard Edition";
      }
      return true;
    case 1:
      release = "Windows XP";
      edition = has(suite, sysinfo::VER_SUITE_PERSONAL) ? "Home Edition" : "Professional";
      return true;
    case 0:
      release = "Windows 2000";
      if (workstation) edition = "Professional";
      else if (has(suite, sysinfo::VER_SUITE_DATACENTER)) edition = "Datacenter Server";
      else if (has(suite, sysinfo::VER_SUITE_ENTERPRISE)) edition = "Advanced Server";
      else edition = "Server";
      return true;
    default:
      return false;
  }
}

bool release6(const sysinfo::OsVersionInfoEx& v, std::string& release, std::string& edition) {
  bool workstation = v.productType == sysinfo::VER_NT_WORKSTATION;
  switch (v.minorVersion) {
    case 0: release = workstation ? "Windows Vista" : "Windows Server 2008"; break;
    case 1: release = workstation ? "Windows 7" : "Windows Server 2008 R2"; break;
    case 2: release = workstation ? "Windows 8" : "Windows Server 2012"; break;
    default: return false;
  }
  uint32_t type = 0;
  sysinfo::getProductInfo(v.majorVersion, v.minorVersion, 0, 0, type);
  edition = editionOfProductType(type);
  return true;
}

uint16_t nativeArchitecture() {
  sysinfo::SystemInfo info;
  if (!sysinfo::getNativeSystemInfo(info)) sysinfo::getSystemInfo(info);
  return info.processorArchitecture;
}

}  // namespace

bool queryOSVersion(char* shortName, char* fullName, bool* is64Bit) {
  if (!shortName) {
    platform::debugOutput("queryOSVersion - NULL pointer 1\n");
    return false;
  }
  if (!fullName) {
    platform::debugOutput("queryOSVersion - NULL pointer 2\n");
    return false;
  }
  if (!is64Bit) {
    platform::debugOutput("queryOSVersion - NULL pointer 3\n");
    return false;
  }
  copyName(shortName, kUnknown);
  copyName(fullName, kUnknown);
  *is64Bit = false;
  try {
    sysinfo::OsVersionInfoEx v;
    if (!sysinfo::getVersionEx(v)) {
      platform::debugOutput("queryOSVersion - unable to get version info\n");
      return false;
    }
    uint16_t architecture = nativeArchitecture();
    if (v.platformId != sysinfo::VER_PLATFORM_WIN32_NT || v.majorVersion <= 4) return false;

    std::string full = "Microsoft ";
    std::string release, edition;
    bool known = v.majorVersion == 5   ? release5(v, architecture, release, edition)
                 : v.majorVersion == 6 ? release6(v, release, edition)
                                       : false;
    if (!known) {
      // A release newer than the tables is as unknown as an unlisted minor version.
      if (v.majorVersion != 5) copyName(shortName, kUnknown);
      else copyName(shortName, "");
      copyName(fullName, kUnknown);
      return false;
    }
    full += release + " " + edition;
    if (!v.csdVersion.empty()) full += " " + v.csdVersion;
    full += " (build " + std::to_string(v.buildNumber) + ")";
    if (v.majorVersion == 5) {
      // Version 5 names carry no architecture, and its 64-bit editions leave the flag clear.
      copyName(shortName, release);
      copyName(fullName, full);
      return true;
    }
    switch (architecture) {
      case sysinfo::PROCESSOR_ARCHITECTURE_AMD64:
        full += ", 64-bit";
        *is64Bit = true;
        break;
      case sysinfo::PROCESSOR_ARCHITECTURE_INTEL: full += ", 32-bit"; break;
      case sysinfo::PROCESSOR_ARCHITECTURE_IA64: full += ", Itanium based"; break;
      default: full += ", (Unknown architecture)"; break;
    }
    copyName(shortName, release);
    copyName(fullName, full);
    return true;
  } catch (...) {
    platform::debugOutput("queryOSVersion - unable to complete procssing\n");
    copyName(fullName, kUnknown);
    return false;
  }
}

bool isNative64BitWindows() {
  sysinfo::OsVersionInfoEx v;
  if (!sysinfo::getVersionEx(v)) return false;
  return nativeArchitecture() == sysinfo::PROCESSOR_ARCHITECTURE_AMD64;
}
