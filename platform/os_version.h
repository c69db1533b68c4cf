#pragma once
// Which Windows the wizard runs on, named the way the driver pages choose their builds.

// queryOSVersion: a short release name ("Windows 7"), the full product name and whether the
// system is 64-bit. Both names are written into buffers of kOsNameBufferSize bytes (cut to
// fit). True when the system was recognised. A null argument writes a debug line and gives
// false.
constexpr unsigned kOsNameBufferSize = 1024;
bool queryOSVersion(char* shortName, char* fullName, bool* is64Bit);

// True when GetVersionEx succeeds and the native processor architecture is x64.
bool isNative64BitWindows();
