#include "tools/demo_server.h"

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "tools/base64.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kBlock = 64 * 1024;

// Only plain relative names below the root: no "..", no backslashes, no NUL.
bool isSafePath(const std::string& path) {
  if (path.empty() || path[0] != '/') return false;
  if (path.find('\\') != std::string::npos || path.find('\0') != std::string::npos) return false;
  for (const auto& part : fs::path(path)) {
    if (part == "..") return false;
  }
  return true;
}

// Sleeps in short steps so that stopping the server ends the wait.
void nap(int ms, const std::atomic<bool>& stopping) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stopping && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(ms < 10 ? ms : 10));
}

size_t readAt(std::ifstream& in, size_t offset, char* buffer, size_t size) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(buffer, static_cast<std::streamsize>(size));
  return static_cast<size_t>(in.gcount());
}

}  // namespace

DemoServer::DemoServer(std::string root)
    : root_(std::move(root)),
      server_(std::make_unique<httplib::Server>()),
      stopping_(std::make_shared<std::atomic<bool>>(false)) {
  server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    handle(request, response);
  });
}

DemoServer::~DemoServer() { stop(); }

bool DemoServer::start(uint16_t port) {
  if (thread_.joinable()) return true;
  *stopping_ = false;
  if (port == 0) {
    int bound = server_->bind_to_any_port("127.0.0.1");
    if (bound <= 0) return false;
    port_ = static_cast<uint16_t>(bound);
  } else {
    if (!server_->bind_to_port("127.0.0.1", port)) return false;
    port_ = port;
  }
  // The socket listens already: clients may connect before the accept loop runs.
  auto ended = std::make_shared<std::atomic<bool>>(false);
  thread_ = std::thread([this, ended] {
    server_->listen_after_bind();
    *ended = true;  // a loop that failed at once must not be waited for
  });
  // stop() only reaches a loop that runs: wait for it.
  while (!server_->is_running() && !*ended)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void DemoServer::stop() {
  if (!thread_.joinable()) return;
  *stopping_ = true;
  server_->stop();
  thread_.join();
}

std::string DemoServer::baseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

std::vector<std::string> DemoServer::requestLog() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

void DemoServer::clearLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.clear();
}

void DemoServer::setFault(const std::string& path, Fault fault) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_[path] = std::move(fault);
}

void DemoServer::failWith(const std::string& path, int status, const std::string& location) {
  Fault fault;
  fault.kind = Fault::Kind::Status;
  fault.status = status;
  fault.location = location;
  setFault(path, fault);
}

void DemoServer::requireCredentials(const std::string& path, const std::string& user,
                                    const std::string& password) {
  Fault fault;
  fault.kind = Fault::Kind::Credentials;
  fault.user = user;
  fault.password = password;
  setFault(path, fault);
}

void DemoServer::truncateAfter(const std::string& path, size_t bytes) {
  Fault fault;
  fault.kind = Fault::Kind::Truncated;
  fault.bytes = bytes;
  setFault(path, fault);
}

void DemoServer::stallAfter(const std::string& path, size_t bytes) {
  Fault fault;
  fault.kind = Fault::Kind::Stalled;
  fault.bytes = bytes;
  setFault(path, fault);
}

void DemoServer::sendSlowly(const std::string& path, size_t blockSize, int delayMs) {
  Fault fault;
  fault.kind = Fault::Kind::Slow;
  fault.blockSize = blockSize ? blockSize : 1;
  fault.delayMs = delayMs;
  setFault(path, fault);
}

void DemoServer::sendChunked(const std::string& path) {
  Fault fault;
  fault.kind = Fault::Kind::Chunked;
  setFault(path, fault);
}

void DemoServer::sendWithHeaders(const std::string& path,
                                 std::vector<std::pair<std::string, std::string>> headers) {
  Fault fault;
  fault.kind = Fault::Kind::Headers;
  fault.headers = std::move(headers);
  setFault(path, fault);
}

void DemoServer::clearFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.clear();
}

void DemoServer::handle(const httplib::Request& request, httplib::Response& response) {
  std::optional<Fault> fault;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    log_.push_back(request.path);
    if (auto it = faults_.find(request.path); it != faults_.end()) fault = it->second;
  }
  if (fault && fault->kind == Fault::Kind::Status) {
    response.status = fault->status;
    if (!fault->location.empty()) response.set_header("Location", fault->location);
    response.set_content("", "text/plain");
    return;
  }
  if (fault && fault->kind == Fault::Kind::Credentials) {
    std::string expected = "Basic " + tools::base64Encode(fault->user + ":" + fault->password);
    if (request.get_header_value("Authorization") != expected) {
      response.status = 401;
      response.set_header("WWW-Authenticate", "Basic realm=\"Corvanta demo\"");
      response.set_content("Authorization required", "text/plain");
      return;
    }
  }
  if (!serveFile(request.path, fault ? &*fault : nullptr, response)) {
    response.status = 404;
    response.set_content("Not found", "text/plain");
  }
}

bool DemoServer::serveFile(const std::string& path, const Fault* fault,
                           httplib::Response& response) {
  if (!isSafePath(path)) return false;
  fs::path file = fs::path(root_) / path.substr(1);
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return false;
  size_t size = static_cast<size_t>(fs::file_size(file, error));
  if (error) return false;
  // The content lists name their packages by full address: "@BASE@" in a list stands for
  // this server's own, whatever port it has today.
  if (file.extension() == ".txt" && !fault) {
    std::ifstream list(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(list)), std::istreambuf_iterator<char>());
    if (text.find("@BASE@") != std::string::npos) {
      const std::string base = baseUrl();
      for (size_t at = text.find("@BASE@"); at != std::string::npos; at = text.find("@BASE@", at))
        text.replace(at, 6, base), at += base.size();
      response.status = 200;
      response.set_content(text, "text/plain");
      return true;
    }
  }
  auto in = std::make_shared<std::ifstream>(file, std::ios::binary);
  if (!*in) return false;
  response.status = 200;
  const std::string type = "application/octet-stream";
  auto stopping = stopping_;
  Fault::Kind kind = fault ? fault->kind : Fault::Kind::Credentials;  // Credentials: served plainly

  if (kind == Fault::Kind::Chunked) {
    response.set_chunked_content_provider(type, [in](size_t offset, httplib::DataSink& sink) {
      std::vector<char> buffer(kBlock);
      size_t got = readAt(*in, offset, buffer.data(), buffer.size());
      if (got == 0) {
        sink.done();
        return true;
      }
      return sink.write(buffer.data(), got);
    });
    return true;
  }

  if (kind == Fault::Kind::Headers) {
    // Written without a content provider, so the server adds no length of its own.
    std::string body(size, '\0');
    if (readAt(*in, 0, body.data(), size) != size) return false;
    for (const auto& [name, value] : fault->headers) response.headers.emplace(name, value);
    response.body = std::move(body);
    return true;
  }

  size_t limit = size;
  size_t block = kBlock;
  int delayMs = 0;
  if (kind == Fault::Kind::Truncated || kind == Fault::Kind::Stalled)
    limit = std::min(size, fault->bytes);
  if (kind == Fault::Kind::Slow) {
    block = fault->blockSize;
    delayMs = fault->delayMs;
  }
  response.set_content_provider(
      size, type,
      [in, limit, block, delayMs, kind, stopping](size_t offset, size_t length,
                                                  httplib::DataSink& sink) {
        if (offset >= limit) {
          if (kind == Fault::Kind::Stalled) {
            // Holds the connection open and silent until the server stops.
            while (!*stopping) nap(20, *stopping);
          }
          return false;  // closes the connection before the announced end
        }
        std::vector<char> buffer(std::min({length, block, limit - offset}));
        size_t got = readAt(*in, offset, buffer.data(), buffer.size());
        if (got == 0) return false;
        if (!sink.write(buffer.data(), got)) return false;
        if (delayMs > 0) nap(delayMs, *stopping);
        return true;
      });
  return true;
}
