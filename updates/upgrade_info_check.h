#pragma once
// Fetching one published upgrade information file into its record, and the quiet download
// it uses. Runs on the sheet's check thread: nothing here shows anything.
#include <string>

#include "platform/cancel.h"
#include "updates/upgrade_info.h"

// The section and keys of an upgrade information file.
inline constexpr const char* kUpgradeInfoSection = "Version Upgrade Info";

// Results of fetchUpgradeInfo.
enum : int {
  kUpgradeInfoNotFetched = -7880,    // the INI could not be downloaded
  kNoNewInstaller = -7881,           // nothing usable is published
  kReleaseNotesUnavailable = -7882,  // release notes missing, unsafe or not downloadable
};

// 1 (state 2) when a different installer is published with its release notes; a negative
// result above otherwise (state 1). Names that become local paths must be plain file names
// and the addresses http or https: the installer found here is started with administrator
// rights.
int fetchUpgradeInfo(UpgradeInfo& info, const platform::CancelToken& cancel);

// Fetches url into folder\fileName through "<name>tmp", setting an existing file aside as
// "<name>bk" (put back when the download fails). 1 on success, else 0, -2004 (path too
// long), -2005 (cancelled), -3001 (bad URL), -3002 (not HTTP), -3003 (login rejected),
// -3004 (redirection), -3006 (the file cannot be put at its place, the old one included),
// -3007 (network error), -3008 (other HTTP status).
int downloadFileQuietly(const std::string& folder, const std::string& fileName,
                        const platform::CancelToken& cancel, const std::string& url);

// A name that can only stand for a file of the folder it is put in: no separators, no
// "..", no drive, no device name, no characters Windows refuses in names.
bool isPlainFileName(const std::string& name);
// An address that starts with "http://" or "https://" (any letter case) and names a host.
bool isWebAddress(const std::string& url);
// Value of key in the upgrade information file (1024-byte buffer, empty default).
std::string readUpgradeValue(const std::string& iniPath, const std::string& key);
// The published installer's checksum is usable: 64 hexadecimal digits.
bool isSha256Text(const std::string& text);
