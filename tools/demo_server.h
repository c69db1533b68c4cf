#pragma once
// The demo download server: serves a folder tree over HTTP on 127.0.0.1, keeps a log of
// the paths asked for, and can be told to misbehave on given paths (for tests).
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib { class Server; struct Request; struct Response; }

class DemoServer {
 public:
  struct Fault {
    enum class Kind { Status, Credentials, Truncated, Stalled, Slow, Chunked, Headers };
    Kind kind = Kind::Status;
    int status = 404;
    std::string location;               // Status 3xx
    std::string user, password;         // Credentials
    size_t bytes = 0;                   // Truncated / Stalled: body bytes sent first
    size_t blockSize = 4096;            // Slow: bytes per block
    int delayMs = 10;                   // Slow: pause between blocks
    std::vector<std::pair<std::string, std::string>> headers;  // Headers: sent as they are
  };

  explicit DemoServer(std::string root);
  ~DemoServer();
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  // port 0 takes an ephemeral port. False when the port cannot be bound.
  bool start(uint16_t port = 0);
  void stop();
  uint16_t port() const { return port_; }
  // "http://127.0.0.1:PORT/"
  std::string baseUrl() const;
  const std::string& root() const { return root_; }

  // Paths requested so far (as sent, decoded, starting with "/"), in order.
  std::vector<std::string> requestLog() const;
  void clearLog();

  // Fault injection, per request path ("/corvanta/files/...").
  void setFault(const std::string& path, Fault fault);
  // Answers status (with Location when given) instead of the file.
  void failWith(const std::string& path, int status, const std::string& location = "");
  // 401 until the request carries these basic credentials.
  void requireCredentials(const std::string& path, const std::string& user,
                          const std::string& password);
  // Announces the whole length, sends the first bytes, then closes the connection.
  void truncateAfter(const std::string& path, size_t bytes);
  // Announces the whole length, sends the first bytes, then sends nothing more (until
  // the server stops).
  void stallAfter(const std::string& path, size_t bytes);
  // Sends the body in blocks with a pause between them.
  void sendSlowly(const std::string& path, size_t blockSize, int delayMs);
  // Sends the body chunked, without a Content-Length.
  void sendChunked(const std::string& path);
  // Sends the whole body with these header lines as they are, Content-Length among them
  // (repeated, or not a number, as a broken server would).
  void sendWithHeaders(const std::string& path,
                       std::vector<std::pair<std::string, std::string>> headers);
  void clearFaults();

 private:
  void handle(const httplib::Request& request, httplib::Response& response);
  bool serveFile(const std::string& path, const Fault* fault, httplib::Response& response);

  std::string root_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  uint16_t port_ = 0;
  std::shared_ptr<std::atomic<bool>> stopping_;
  mutable std::mutex mutex_;
  std::vector<std::string> log_;
  std::map<std::string, Fault> faults_;
};
