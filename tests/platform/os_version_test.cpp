// Operating-system version query and the system information of each OS profile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debug.h"
#include "platform/files.h"
#include "platform/linux/machine_store.h"
#include "platform/os_version.h"
#include "platform/sysinfo.h"
#include "tests/support/temp_machine.h"

using namespace platform;

namespace {

struct Answer {
  bool recognised = false;
  std::string shortName, fullName;
  bool is64 = false;
};

Answer query() {
  // The callers' own preparation, so that what the query leaves is visible.
  char shortName[kOsNameBufferSize] = "Unknown Operating System";
  char fullName[kOsNameBufferSize] = "Unknown Operating System";
  bool is64 = true;
  Answer a;
  a.recognised = queryOSVersion(shortName, fullName, &is64);
  a.shortName = shortName;
  a.fullName = fullName;
  a.is64 = is64;
  return a;
}

struct DebugLines {
  DebugLines() { setDebugSink([this](const std::string& l) { lines.push_back(l); }); }
  ~DebugLines() { setDebugSink(nullptr); }
  std::vector<std::string> lines;
};

TEST(OsVersionTest, EveryProfileIsNamedByTheReleaseRules) {
  struct Row {
    const char* profile;
    bool recognised;
    const char* shortName;
    const char* fullName;
    bool is64;
    bool native64;
  } rows[] = {
      {"win2000-sp4-x86", true, "Windows 2000",
       "Microsoft Windows 2000 Professional Service Pack 4 (build 2195)", false, false},
      {"winxp-sp3-x86", true, "Windows XP",
       "Microsoft Windows XP Professional Service Pack 3 (build 2600)", false, false},
      // No edition: the blank after the release name stays.
      {"winxp-x64-sp2", true, "Windows XP Professional x64 Edition",
       "Microsoft Windows XP Professional x64 Edition  Service Pack 2 (build 3790)", false, true},
      {"server2003-sp2-x86", true, "Windows Server 2003",
       "Microsoft Windows Server 2003 Standard Edition Service Pack 2 (build 3790)", false, false},
      {"server2003r2-sp2-x86", true, "Windows Server 2003 R2",
       "Microsoft Windows Server 2003 R2 Standard Edition Service Pack 2 (build 3790)", false,
       false},
      {"server2003-storage-sp2-x86", true, "Windows Storage Server 2003",
       "Microsoft Windows Storage Server 2003 Standard Edition Service Pack 2 (build 3790)", false,
       false},
      // A 64-bit version 5 system leaves the flag clear.
      {"server2003-x64-sp2", true, "Windows Server 2003",
       "Microsoft Windows Server 2003 Enterprise x64 Edition Service Pack 2 (build 3790)", false,
       true},
      {"server2003-ia64-sp2", true, "Windows Server 2003",
       "Microsoft Windows Server 2003 Datacenter Edition for Itanium-based Systems Service Pack 2 "
       "(build 3790)",
       false, false},
      {"vista-sp2-x86", true, "Windows Vista",
       "Microsoft Windows Vista Business Edition Service Pack 2 (build 6002), 32-bit", false,
       false},
      {"win7-sp1-x86", true, "Windows 7",
       "Microsoft Windows 7 (Unknown Sub-version) Service Pack 1 (build 7601), 32-bit", false,
       false},
      {"win7-sp1-x64", true, "Windows 7",
       "Microsoft Windows 7 (Unknown Sub-version) Service Pack 1 (build 7601), 64-bit", true,
       true},
      {"win7-ultimate-sp1-x64", true, "Windows 7",
       "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit", true, true},
      {"server2008r2-sp1-x64", true, "Windows Server 2008 R2",
       "Microsoft Windows Server 2008 R2 Standard Edition Service Pack 1 (build 7601), 64-bit",
       true, true},
      {"win8-x64", true, "Windows 8", "Microsoft Windows 8 (Unknown Sub-version) (build 9200), 64-bit",
       true, true},
      {"win81-x64", false, "Unknown Operating System", "Unknown Operating System", false, true},
  };
  TempMachine m;
  for (const Row& row : rows) {
    machine::applyProfile(row.profile);
    Answer a = query();
    EXPECT_EQ(a.recognised, row.recognised) << row.profile;
    EXPECT_EQ(a.shortName, row.shortName) << row.profile;
    EXPECT_EQ(a.fullName, row.fullName) << row.profile;
    EXPECT_EQ(a.is64, row.is64) << row.profile;
    EXPECT_EQ(isNative64BitWindows(), row.native64) << row.profile;
  }
}

TEST(OsVersionTest, EditionsFollowSuiteAndProductType) {
  struct Row {
    const char* profile;
    const char* item;
    const char* value;
    const char* fullName;
  } rows[] = {
      {"win2000-sp4-x86", "ProductType", "3",
       "Microsoft Windows 2000 Server Service Pack 4 (build 2195)"},
      {"winxp-sp3-x86", "SuiteMask", "768",  // 0x300: personal
       "Microsoft Windows XP Home Edition Service Pack 3 (build 2600)"},
      {"server2003-sp2-x86", "SuiteMask", "16384",  // compute server
       "Microsoft Windows Server 2003 Compute Cluster Edition Service Pack 2 (build 3790)"},
      {"server2003-sp2-x86", "SuiteMask", "1024",  // blade
       "Microsoft Windows Server 2003 Web Edition Service Pack 2 (build 3790)"},
      {"server2003-x64-sp2", "SuiteMask", "272",  // neither datacenter nor enterprise
       "Microsoft Windows Server 2003 Standard x64 Edition Service Pack 2 (build 3790)"},
      {"server2003-ia64-sp2", "SuiteMask", "272",
       "Microsoft Windows Server 2003  Service Pack 2 (build 3790)"},
      {"win7-sp1-x64", "ProductInfoType", "65",
       "Microsoft Windows 7 Embedded Service Pack 1 (build 7601), 64-bit"},
      {"server2008r2-sp1-x64", "ProductInfoType", "12",
       "Microsoft Windows Server 2008 R2 Datacenter Edition (core installation) Service Pack 1 "
       "(build 7601), 64-bit"},
      {"vista-sp2-x86", "ProcessorArchitecture", "6",
       "Microsoft Windows Vista Business Edition Service Pack 2 (build 6002), Itanium based"},
      {"vista-sp2-x86", "ProcessorArchitecture", "5",
       "Microsoft Windows Vista Business Edition Service Pack 2 (build 6002), (Unknown "
       "architecture)"},
  };
  TempMachine m;
  for (const Row& row : rows) {
    machine::applyProfile(row.profile);
    machine::setSystemInfo(row.item, row.value);
    EXPECT_EQ(query().fullName, row.fullName) << row.profile << " " << row.item;
  }
}

TEST(OsVersionTest, FailuresAndRefusals) {
  TempMachine m;
  {
    DebugLines debug;
    char name[kOsNameBufferSize];
    bool flag = false;
    EXPECT_FALSE(queryOSVersion(nullptr, name, &flag));
    EXPECT_FALSE(queryOSVersion(name, nullptr, &flag));
    EXPECT_FALSE(queryOSVersion(name, name, nullptr));
    EXPECT_EQ(debug.lines, (std::vector<std::string>{"queryOSVersion - NULL pointer 1\n",
                                                     "queryOSVersion - NULL pointer 2\n",
                                                     "queryOSVersion - NULL pointer 3\n"}));
  }
  {
    DebugLines debug;
    machine::setSystemInfo("VersionExFails", "1");
    Answer a = query();
    EXPECT_FALSE(a.recognised);
    EXPECT_FALSE(a.is64);
    EXPECT_EQ(a.fullName, "Unknown Operating System");
    EXPECT_FALSE(isNative64BitWindows());  // the version must be readable first
    EXPECT_EQ(debug.lines, std::vector<std::string>{"queryOSVersion - unable to get version info\n"});
    machine::setSystemInfo("VersionExFails", "0");
  }
  machine::setSystemInfo("PlatformId", "1");  // not Windows NT
  Answer a = query();
  EXPECT_FALSE(a.recognised);
  EXPECT_EQ(a.shortName, "Unknown Operating System");
  EXPECT_EQ(a.fullName, "Unknown Operating System");
  machine::applyProfile("winxp-sp3-x86");
  machine::setSystemInfo("MinorVersion", "3");  // an unlisted version 5 release
  a = query();
  EXPECT_FALSE(a.recognised);
  EXPECT_EQ(a.shortName, "");
  EXPECT_EQ(a.fullName, "Unknown Operating System");
}

TEST(SysInfoTest, WhatThe32BitWizardSees) {
  struct Row {
    const char* profile;
    bool hasNative;
    uint16_t native;
    bool hasProductInfo;
    uint32_t productInfo;
    int serverR2;
  } rows[] = {
      {"win2000-sp4-x86", false, 0, false, 0, 0},
      {"server2003r2-sp2-x86", true, 0, false, 0, 1},
      {"winxp-x64-sp2", true, 9, false, 0, 0},
      {"win7-sp1-x64", true, 9, true, 0x30, 0},
      {"server2008r2-sp1-x64", true, 9, true, 7, 0},
  };
  TempMachine m;
  for (const Row& row : rows) {
    machine::applyProfile(row.profile);
    sysinfo::SystemInfo native;
    native.processorArchitecture = 0x77;
    EXPECT_EQ(sysinfo::getNativeSystemInfo(native), row.hasNative) << row.profile;
    EXPECT_EQ(native.processorArchitecture, row.hasNative ? row.native : 0x77) << row.profile;
    sysinfo::SystemInfo seen;
    sysinfo::getSystemInfo(seen);
    EXPECT_EQ(seen.processorArchitecture, sysinfo::PROCESSOR_ARCHITECTURE_INTEL);
    uint32_t type = 99;
    EXPECT_EQ(sysinfo::getProductInfo(6, 1, 0, 0, type), row.hasProductInfo) << row.profile;
    EXPECT_EQ(type, row.productInfo) << row.profile;
    EXPECT_EQ(sysinfo::getSystemMetrics(sysinfo::SM_SERVERR2), row.serverR2) << row.profile;
  }
  EXPECT_EQ(sysinfo::screenLogPixelsY(), 96);
  machine::setSystemInfo("ScreenDpi", "120");
  machine::applyProfile("win7-sp1-x64");  // the display is the machine's, not the release's
  EXPECT_EQ(sysinfo::screenLogPixelsY(), 120);
}

TEST(SysInfoTest, FileVersionResources) {
  TempMachine m;
  ASSERT_TRUE(files::writeFile("C:\\Setup.exe", "MZ"));
  sysinfo::FileVersionInfo info;
  EXPECT_FALSE(sysinfo::getFileVersionInfo("C:\\Setup.exe", info));  // no resource
  EXPECT_FALSE(sysinfo::getFileVersionInfo("C:\\Missing.exe", info));
  machine::setFileVersion("C:\\Setup.exe", "11.0.0.614");
  ASSERT_TRUE(sysinfo::getFileVersionInfo("c:\\SETUP.exe", info));
  EXPECT_EQ(info.fileVersionMS, (11u << 16) | 0u);
  EXPECT_EQ(info.fileVersionLS, (0u << 16) | 614u);
  EXPECT_FALSE(info.privateBuildFlag);
  machine::setFilePrivateBuild("C:\\Setup.exe", "Beta 2");
  ASSERT_TRUE(sysinfo::getFileVersionInfo("C:\\Setup.exe", info));
  EXPECT_TRUE(info.privateBuildFlag);
  EXPECT_EQ(info.privateBuild, "Beta 2");
  // A program without a recorded version carries its own in its last line.
  ASSERT_TRUE(files::writeFile("C:\\Copy.exe", "MZ\n#version-resource FileVersion=11.0.0.620;PrivateBuild=Beta 1\n"));
  ASSERT_TRUE(sysinfo::getFileVersionInfo("C:\\Copy.exe", info));
  EXPECT_EQ(info.fileVersionLS, (0u << 16) | 620u);
  EXPECT_EQ(info.privateBuild, "Beta 1");
}

}  // namespace
