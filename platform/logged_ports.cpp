// The ports' calls that change the machine, start programs or fetch from the network: each
// writes its operation log line here and hands the work to the backend, so the log reads the
// same on every backend. Reads are not logged.
#include <chrono>
#include <cstdio>
#include <mutex>

#include "platform/msi.h"
#include "platform/operation_log.h"
#include "platform/port_backends.h"
#include "platform/shell.h"
#include "platform/shell_link.h"
#include "platform/win_types.h"

namespace platform {

namespace {

std::string failedUnless(bool ok) { return ok ? "" : " - failed"; }

std::string errorUnless(long result, long success) {
  return result == success ? "" : " - failed, error " + std::to_string(result);
}

// A started program, watched until a wait first sees its end; the end line carries the exit
// code and the time since the start.
class LoggedProcess : public process::Process {
 public:
  LoggedProcess(std::unique_ptr<process::Process> inner, std::string program)
      : inner_(std::move(inner)), program_(std::move(program)),
        started_(std::chrono::steady_clock::now()) {}

  bool wait(int timeoutMs) override {
    bool ended = inner_->wait(timeoutMs);
    if (ended && !reported_) {
      reported_ = true;
      double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_)
                           .count();
      char elapsed[32];
      std::snprintf(elapsed, sizeof elapsed, "%.3f s", seconds);
      unsigned long code = inner_->exitCode();
      std::string codeText = std::to_string(code);
      if (code > 0xffff) {  // NTSTATUS-like codes read better in hex
        char hex[32];
        std::snprintf(hex, sizeof hex, " (0x%08lX)", code);
        codeText += hex;
      }
      logOperation("Ended process " + std::to_string(inner_->id()) + " (" + program_ +
                   "): exit code " + codeText + " after " + elapsed);
    }
    return ended;
  }
  unsigned long exitCode() const override { return inner_->exitCode(); }
  unsigned long id() const override { return inner_->id(); }

 private:
  std::unique_ptr<process::Process> inner_;
  std::string program_;
  std::chrono::steady_clock::time_point started_;
  bool reported_ = false;
};

std::unique_ptr<process::Process> watched(std::unique_ptr<process::Process> started,
                                          const std::string& program) {
  if (!started || !operationLogOpen()) return started;
  return std::make_unique<LoggedProcess>(std::move(started), program);
}

}  // namespace

// ---- registry ----

namespace registry {

namespace {

std::string keyPath(Hive hive, const std::string& key) {
  const char* name = hive == Hive::LocalMachine  ? "HKEY_LOCAL_MACHINE"
                     : hive == Hive::CurrentUser ? "HKEY_CURRENT_USER"
                                                 : "HKEY_CLASSES_ROOT";
  return key.empty() ? name : std::string(name) + "\\" + key;
}

std::string valueName(const std::string& name) {
  return name.empty() ? "(Default)" : "\"" + name + "\"";
}

std::string valueText(const Value& value) {
  switch (value.type) {
    case REG_SZ:
      return "REG_SZ \"" + value.data + "\"";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ \"" + value.data + "\"";
    case REG_DWORD:
      return "REG_DWORD " + std::to_string(value.asDword());
    default: {
      std::string text = "REG_BINARY";
      char byte[4];
      for (unsigned char c : value.data) {
        std::snprintf(byte, sizeof byte, " %02x", c);
        text += byte;
      }
      return text;
    }
  }
}

}  // namespace

long createKey(Hive hive, const std::string& key) {
  // Opening a key that is there changes nothing; only a new key is worth a line.
  bool isNew = operationLogOpen() && !keyExists(hive, key);
  long result = backend::createKey(hive, key);
  if (isNew || result != win::ERROR_SUCCESS)
    logOperation("Registry key created " + keyPath(hive, key) +
                 errorUnless(result, win::ERROR_SUCCESS));
  return result;
}

long setValue(Hive hive, const std::string& key, const std::string& name, const Value& value) {
  long result = backend::setValue(hive, key, name, value);
  if (operationLogOpen())
    logOperation("Registry value set " + keyPath(hive, key) + " " + valueName(name) + " = " +
                 valueText(value) + errorUnless(result, win::ERROR_SUCCESS));
  return result;
}

long deleteValue(Hive hive, const std::string& key, const std::string& name) {
  long result = backend::deleteValue(hive, key, name);
  if (operationLogOpen())
    logOperation("Registry value deleted " + keyPath(hive, key) + " " + valueName(name) +
                 (result == win::ERROR_FILE_NOT_FOUND ? std::string(" - not present")
                                                      : errorUnless(result, win::ERROR_SUCCESS)));
  return result;
}

long deleteTree(Hive hive, const std::string& key) {
  long result = backend::deleteTree(hive, key);
  if (operationLogOpen())
    logOperation("Registry key deleted with everything below it " + keyPath(hive, key) +
                 (result == win::ERROR_FILE_NOT_FOUND ? std::string(" - not present")
                                                      : errorUnless(result, win::ERROR_SUCCESS)));
  return result;
}

}  // namespace registry

// ---- files ----

namespace files {

namespace {

// A file being written: one line when it is closed, with what it holds.
class LoggedOutputFile : public OutputFile {
 public:
  LoggedOutputFile(std::unique_ptr<OutputFile> inner, std::string path)
      : inner_(std::move(inner)), path_(std::move(path)) {}
  ~LoggedOutputFile() override {
    if (!closed_)
      logOperation("Wrote file " + path_ + " - left unfinished after " + std::to_string(bytes_) +
                   " bytes");
  }
  bool write(const char* data, size_t size) override {
    bool ok = inner_->write(data, size);
    if (ok) bytes_ += size;
    failed_ = failed_ || !ok;
    return ok;
  }
  bool setTimes(int64_t creationTime, int64_t lastWriteTime) override {
    return inner_->setTimes(creationTime, lastWriteTime);
  }
  bool close() override {
    bool ok = inner_->close();
    if (!closed_)
      logOperation("Wrote file " + path_ + " (" + std::to_string(bytes_) + " bytes)" +
                   failedUnless(ok && !failed_));
    closed_ = true;
    return ok;
  }

 private:
  std::unique_ptr<OutputFile> inner_;
  std::string path_;
  uint64_t bytes_ = 0;
  bool failed_ = false;
  bool closed_ = false;
};

// An archive extraction makes many files below one folder: one summary line when it is
// done keeps the log readable and within its bound, where a line per file would push out
// everything else.
class LoggedFolderTree : public FolderTree {
 public:
  LoggedFolderTree(std::unique_ptr<FolderTree> inner, std::string folder)
      : inner_(std::move(inner)), folder_(std::move(folder)) {}
  ~LoggedFolderTree() override {
    std::lock_guard lock(mutex_);
    if (files_ == 0 && createdFolders_ == 0 && deleted_ == 0 && failures_ == 0) return;
    std::string line = "Wrote " + std::to_string(files_) + " files and " +
                       std::to_string(createdFolders_) + " folder paths below " + folder_;
    if (deleted_) line += ", then deleted " + std::to_string(deleted_) + " of the files";
    if (failures_) line += " - " + std::to_string(failures_) + " failed";
    logOperation(line);
  }
  bool createFolders(const std::string& relative) override {
    bool ok = inner_->createFolders(relative);
    count(ok, createdFolders_);
    return ok;
  }
  std::unique_ptr<OutputFile> createFile(const std::string& relative) override {
    auto file = inner_->createFile(relative);
    count(file != nullptr, files_);
    return file;
  }
  bool deleteFile(const std::string& relative) override {
    bool ok = inner_->deleteFile(relative);
    count(ok, deleted_);
    return ok;
  }
  // The file was counted when it was written beside its place.
  bool replaceFile(const std::string& from, const std::string& to) override {
    bool ok = inner_->replaceFile(from, to);
    if (!ok) count(false, failures_);
    return ok;
  }

 private:
  // Entries may be written by a second thread while the next one is read.
  void count(bool ok, uint64_t& counter) {
    std::lock_guard lock(mutex_);
    ++(ok ? counter : failures_);
  }

  std::unique_ptr<FolderTree> inner_;
  std::string folder_;
  std::mutex mutex_;
  uint64_t files_ = 0, createdFolders_ = 0, deleted_ = 0, failures_ = 0;
};

}  // namespace

bool setAttributes(const std::string& path, uint32_t attributes) {
  // Callers clear the read-only bit before every delete or replace; a line only when the
  // attributes really change keeps those from doubling the log.
  uint32_t before = operationLogOpen() ? getAttributes(path) : attributes;
  bool ok = backend::setAttributes(path, attributes);
  if (operationLogOpen() && ((before & ~win::FILE_ATTRIBUTE_DIRECTORY) != attributes || !ok)) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", attributes);
    logOperation("Set attributes of " + path + " to " + hex +
                 ((attributes & win::FILE_ATTRIBUTE_READONLY) ? " (read-only)" : "") +
                 failedUnless(ok));
  }
  return ok;
}

bool createDirectory(const std::string& path) {
  bool ok = backend::createDirectory(path);
  // Callers make each folder of a path in turn; one that is there already changed nothing.
  if (operationLogOpen() && (ok || !isDirectory(path)))
    logOperation("Created folder " + path + failedUnless(ok));
  return ok;
}

bool removeDirectory(const std::string& path) {
  bool ok = backend::removeDirectory(path);
  if (operationLogOpen())
    logOperation("Removed folder " + path + failedUnless(ok));
  return ok;
}

bool deleteFile(const std::string& path) {
  bool ok = backend::deleteFile(path);
  if (operationLogOpen())
    logOperation("Deleted file " + path + failedUnless(ok));
  return ok;
}

bool copyFile(const std::string& from, const std::string& to, bool failIfExists) {
  bool ok = backend::copyFile(from, to, failIfExists);
  if (operationLogOpen())
    logOperation("Copied file " + from + " to " + to + failedUnless(ok));
  return ok;
}

bool moveFileEx(const std::string& from, const std::string& to, unsigned flags) {
  bool ok = backend::moveFileEx(from, to, flags);
  if (operationLogOpen())
    logOperation("Moved " + from + " to " + to +
                 ((flags & win::MOVEFILE_REPLACE_EXISTING) ? " (replacing)" : "") +
                 failedUnless(ok));
  return ok;
}

bool writeFile(const std::string& path, const std::string& data) {
  auto out = OutputFile::create(path);
  if (!out) return false;
  bool ok = out->write(data.data(), data.size());
  return out->close() && ok;
}

std::unique_ptr<OutputFile> OutputFile::create(const std::string& path) {
  auto file = backend::createOutputFile(path);
  if (!operationLogOpen()) return file;
  if (!file) {
    logOperation("Wrote file " + path + " - failed, not created");
    return file;
  }
  return std::make_unique<LoggedOutputFile>(std::move(file), path);
}

std::unique_ptr<FolderTree> FolderTree::open(const std::string& folder) {
  auto tree = backend::openFolderTree(folder);
  if (!tree || !operationLogOpen()) return tree;
  return std::make_unique<LoggedFolderTree>(std::move(tree), folder);
}

}  // namespace files

// ---- processes ----

namespace process {

std::unique_ptr<Process> start(const std::string& program, const std::string& commandLine,
                               const std::string& workingFolder) {
  auto started = backend::start(program, commandLine, workingFolder);
  if (operationLogOpen()) {
    bool blank = commandLine.find_first_not_of(" \t") == std::string::npos;
    std::string line = "Started " + program +
                       (blank ? " with an empty command line" : " with command line: " + commandLine);
    if (!workingFolder.empty()) line += " in " + workingFolder;
    logOperation(line + (started ? " (process " + std::to_string(started->id()) + ")"
                                 : std::string(" - failed")));
  }
  return watched(std::move(started), program);
}

bool startAndWait(const std::string& program, const std::string& commandLine,
                  unsigned long* exitCode, const std::atomic<bool>* cancel) {
  auto process = start(program, commandLine);
  if (!process) return false;
  while (!process->wait(50)) {
    if (cancel && cancel->load()) {
      logOperation("Stopped waiting for process " + std::to_string(process->id()) + " (" +
                   program + "): cancelled");
      return false;
    }
  }
  if (exitCode) *exitCode = process->exitCode();
  return true;
}

}  // namespace process

// ---- shell ----

namespace shell {

bool saveShellLink(const ShellLink& link, const std::string& linkPath) {
  bool ok = backend::saveShellLink(link, linkPath);
  if (operationLogOpen()) {
    std::string line = "Created shortcut " + linkPath + " to " + link.target;
    if (!link.arguments.empty()) line += " with arguments: " + link.arguments;
    logOperation(line + failedUnless(ok));
  }
  return ok;
}

std::unique_ptr<process::Process> shellExecuteEx(const std::string& verb,
                                                 const std::string& file,
                                                 const std::string& parameters,
                                                 const std::string& directory, long& result) {
  auto started = backend::shellExecuteEx(verb, file, parameters, directory, result);
  if (operationLogOpen()) {
    std::string line = "Shell " + (verb.empty() ? std::string("open") : verb) + " " + file;
    if (!parameters.empty()) line += " with parameters: " + parameters;
    if (!directory.empty()) line += " in " + directory;
    if (result <= 32)
      line += " - failed, error " + std::to_string(result);
    else if (started)
      line += " (process " + std::to_string(started->id()) + ")";
    logOperation(line);
  }
  return watched(std::move(started), file);
}

long shellExecute(const std::string& verb, const std::string& file,
                  const std::string& parameters, const std::string& directory) {
  long result = SE_ERR_FNF;
  shellExecuteEx(verb, file, parameters, directory, result);
  return result;
}

}  // namespace shell

// ---- installer database ----

namespace msi {

unsigned configureProduct(const std::string& productCode, int installLevel, int installState) {
  if (operationLogOpen() && installState == INSTALLSTATE_ABSENT)
    logOperation("Removing product " + productCode);
  unsigned result = backend::configureProduct(productCode, installLevel, installState);
  if (operationLogOpen())
    logOperation((installState == INSTALLSTATE_ABSENT
                      ? "Removed product " + productCode
                      : "Configured product " + productCode + " to install state " +
                            std::to_string(installState)) +
                 errorUnless(static_cast<long>(result), win::ERROR_SUCCESS));
  return result;
}

}  // namespace msi

// ---- transfers ----

namespace internet {

namespace {

// One line per request when it is done with: the URL, the status, the body bytes read and
// how the reading ended.
class LoggedRequest : public Request {
 public:
  LoggedRequest(std::unique_ptr<Request> inner, std::string url, const std::atomic<bool>* cancel)
      : inner_(std::move(inner)), url_(std::move(url)), cancel_(cancel) {}
  ~LoggedRequest() override {
    if (!logged_) report();
  }
  int send() override {
    try {
      status_ = inner_->send();
    } catch (const std::exception& e) {
      error_ = e.what();
      throw;
    }
    announced_ = inner_->header("Content-Length");
    return status_;
  }
  std::optional<std::string> header(const std::string& name) const override {
    return inner_->header(name);
  }
  size_t read(char* buffer, size_t size) override {
    try {
      size_t got = inner_->read(buffer, size);
      bytes_ += got;
      // Logged at the end of the body, before the caller goes on to use what it read.
      if (got == 0 && size > 0 && !ended_) {
        ended_ = true;
        report();
      }
      return got;
    } catch (const std::exception& e) {
      error_ = e.what();
      throw;
    }
  }
  void setCredentials(const std::string& user, const std::string& password) override {
    inner_->setCredentials(user, password);  // never logged
  }

 private:
  void report() {
    logged_ = true;
    std::string line = "Transfer " + url_ + ": ";
    line += status_ ? "HTTP " + std::to_string(status_) : std::string("no response");
    line += ", " + std::to_string(bytes_) + " bytes";
    if (announced_) line += " of " + *announced_;
    if (!error_.empty())
      line += " - failed: " + error_;
    else if (ended_)
      line += ", complete";
    else if (cancel_ && cancel_->load())
      line += " - cancelled";
    else if (status_)
      line += ", body not read to its end";
    logOperation(line);
  }

  std::unique_ptr<Request> inner_;
  std::string url_;
  const std::atomic<bool>* cancel_;
  int status_ = 0;
  std::optional<std::string> announced_;
  uint64_t bytes_ = 0;
  bool ended_ = false;
  bool logged_ = false;
  std::string error_;
};

}  // namespace

std::unique_ptr<Request> Session::openRequest(const std::string& server, uint16_t port,
                                              const std::string& object) {
  auto request = backend::openRequest(agent_, cancel_, server, port, object);
  if (!request || !operationLogOpen()) return request;
  std::string url = "http://" + server + ":" + std::to_string(port) +
                    (object.empty() || object[0] != '/' ? "/" : "") + object;
  return std::make_unique<LoggedRequest>(std::move(request), std::move(url), cancel_);
}

}  // namespace internet

}  // namespace platform
