#pragma once
// .reg files, as the Windows registry editor writes and reads them: "Windows Registry
// Editor Version 5.00" (UTF-16LE with BOM) or "REGEDIT4" (ANSI).
#include <string>

#include "platform/registry.h"

namespace platform::machine {

// Imports the bytes of a .reg file into the machine in one transaction: a malformed line
// throws MachineError "line N: ..." and nothing of the file is imported.
void importRegFile(const std::string& bytes);

// The key with its values and everything below it as a .reg file: REGEDIT5 text in
// UTF-16LE with BOM, or REGEDIT4 ANSI text when ansi. MachineError when the key is missing.
std::string exportRegFile(registry::Hive hive, const std::string& key, bool ansi);

// "HKEY_LOCAL_MACHINE", "HKLM", ... (without regard to case); false for another hive.
bool parseHiveName(const std::string& name, registry::Hive& hive);
const char* hiveName(registry::Hive hive);
// "HKLM\SOFTWARE\X" into its hive and the key below it; false for an unknown hive.
bool splitKeyPath(const std::string& path, registry::Hive& hive, std::string& key);

}  // namespace platform::machine
