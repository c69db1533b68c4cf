#include "tests/engine/engine_machine.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/machine.h"

namespace fs = std::filesystem;
namespace reg = platform::registry;

namespace engine_test {

void product(const std::string& code, const std::string& name, const std::string& version,
             int context, const std::string& removeCommand) {
  platform::machine::Product p;
  p.code = code;
  p.context = context;
  p.properties = {{"VersionString", version}, {"InstalledProductName", name}};
  p.removeCommand = removeCommand;
  platform::machine::registerProduct(p);
}

void uninstallValue(const std::string& key, const std::string& name, const std::string& value,
                    reg::Hive hive) {
  reg::setValue(hive, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + key, name,
                reg::Value::string(value));
}

void runtime() {
  product(kRuntimeCode, kRuntimeName, "11.0.0.614");
  reg::setValue(reg::Hive::LocalMachine, std::string("SOFTWARE\\BRENHOLM AS\\") + kRuntimeName,
                "InstallPath", reg::Value::string(kRt));
  fs::create_directories(platform::machine::toHost(kRt));
}

void file(const std::string& windowsPath, const std::string& content) {
  std::string host = platform::machine::toHost(windowsPath);
  fs::create_directories(fs::path(host).parent_path());
  std::ofstream(host, std::ios::binary) << content;
}

bool exists(const std::string& windowsPath) {
  return fs::exists(platform::machine::toHost(windowsPath));
}

std::string logPath() { return platform::machine::root() + "/standin.log"; }

void standIn(const std::string& windowsPath, const std::string& body) {
  file(windowsPath, "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + logPath() + "'\n" + body + "\n");
}

std::vector<std::string> logLines() {
  std::ifstream in(logPath());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string deleteKeyCommand(const std::string& key) {
  return "corvanta-machine reg delete-key "
         "'HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + key + "'";
}

}  // namespace engine_test
