#pragma once
// What a backend (platform/linux, later platform/win32) implements behind the ports whose
// calls change the machine or reach the network. The ports' public functions for these live
// in platform/logged_ports.cpp, which write the operation log line and call these, so every
// backend gets the same log without repeating it. Only the ports and backends include this.
#include <atomic>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/internet.h"
#include "platform/process.h"
#include "platform/registry.h"

namespace platform::registry::backend {
long createKey(Hive hive, const std::string& key);
long setValue(Hive hive, const std::string& key, const std::string& name, const Value& value);
long deleteValue(Hive hive, const std::string& key, const std::string& name);
long deleteTree(Hive hive, const std::string& key);
}  // namespace platform::registry::backend

namespace platform::files::backend {
bool setAttributes(const std::string& path, uint32_t attributes);
bool createDirectory(const std::string& path);
bool removeDirectory(const std::string& path);
bool deleteFile(const std::string& path);
bool copyFile(const std::string& from, const std::string& to, bool failIfExists);
bool moveFileEx(const std::string& from, const std::string& to, unsigned flags);
std::unique_ptr<OutputFile> createOutputFile(const std::string& path);
std::unique_ptr<FolderTree> openFolderTree(const std::string& folder);
}  // namespace platform::files::backend

namespace platform::process::backend {
std::unique_ptr<Process> start(const std::string& program, const std::string& commandLine,
                               const std::string& workingFolder);
}  // namespace platform::process::backend

namespace platform::shell {
struct ShellLink;
}
namespace platform::shell::backend {
bool saveShellLink(const ShellLink& link, const std::string& linkPath);
std::unique_ptr<process::Process> shellExecuteEx(const std::string& verb,
                                                 const std::string& file,
                                                 const std::string& parameters,
                                                 const std::string& directory, long& result);
}  // namespace platform::shell::backend

namespace platform::msi::backend {
unsigned configureProduct(const std::string& productCode, int installLevel, int installState);
}  // namespace platform::msi::backend

namespace platform::internet::backend {
std::unique_ptr<Request> openRequest(const std::string& agent, const std::atomic<bool>* cancel,
                                     const std::string& server, uint16_t port,
                                     const std::string& object);
}  // namespace platform::internet::backend
