#pragma once
// Putting a fresh emulated machine into the states the engine tests need: installer
// products, uninstall keys, the runtime with its folder, files, and stand-in programs that
// record how they were started.
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/support/temp_machine.h"

namespace engine_test {

inline constexpr const char* kPython = "{79F081BF-7454-43DB-BD8F-9EE596813232}";
inline constexpr const char* kRuntimeCode = "{178BFCDD-5495-4FBC-B5FA-173DD2983C35}";
inline constexpr const char* kRuntimeName = "Corvanta Version XI 11.0.0.614 Runtime";
// Where the tests install the runtime (with its final backslash, as the runtime writes it).
inline constexpr const char* kRt = "C:\\Corvanta\\Runtime\\";

void product(const std::string& code, const std::string& name = "Product",
             const std::string& version = "1.0", int context = 4,
             const std::string& removeCommand = "");
void uninstallValue(const std::string& key, const std::string& name, const std::string& value,
                    platform::registry::Hive hive = platform::registry::Hive::LocalMachine);
// The runtime product, the maker's key with its InstallPath, and the folder.
void runtime();
// Writes a machine file, creating its folders.
void file(const std::string& windowsPath, const std::string& content = "x");
bool exists(const std::string& windowsPath);
// A #!/bin/sh program at windowsPath whose body runs after it has appended its arguments
// (one line) to the log.
void standIn(const std::string& windowsPath, const std::string& body = "");
// The lines the stand-ins logged so far.
std::vector<std::string> logLines();
std::string logPath();
// A shell line that deletes an uninstall key of the machine's root.
std::string deleteKeyCommand(const std::string& key);

}  // namespace engine_test
