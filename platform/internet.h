#pragma once
// Internet port, shaped after the class library's internet classes: a session, an HTTP
// connection and a request whose body is read in blocks. Platform failures throw
// InternetException with the platform's own error text.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace platform::internet {

class InternetException : public std::runtime_error {
 public:
  InternetException(unsigned long error, const std::string& message)
      : std::runtime_error(message), error_(error) {}
  unsigned long error() const { return error_; }

 private:
  unsigned long error_;
};

enum class Service { Unknown, Http, Https, Ftp, Other };

struct ParsedUrl {
  Service service = Service::Unknown;
  std::string server;
  std::string object;  // path and query, starting with "/"
  uint16_t port = 0;
};

// AfxParseURL: false when the text is not a URL of the form service://server[:port]/...
bool parseUrl(const std::string& url, ParsedUrl& parsed);

class Request {
 public:
  virtual ~Request() = default;
  // Sends the request (again, after credentials were set) and returns the status code.
  // Redirects are never followed.
  virtual int send() = 0;
  virtual std::optional<std::string> header(const std::string& name) const = 0;
  // Reads up to size bytes of the body; 0 at its end. Throws when the body ends before
  // its announced length or the connection fails.
  virtual size_t read(char* buffer, size_t size) = 0;
  // The user name and password sent with the next send().
  virtual void setCredentials(const std::string& user, const std::string& password) = 0;
};

class Session {
 public:
  // cancel, when given, is polled during network waits; a set flag ends them with an
  // exception.
  explicit Session(const std::string& agent, const std::atomic<bool>* cancel = nullptr);
  ~Session();
  std::unique_ptr<Request> openRequest(const std::string& server, uint16_t port,
                                       const std::string& object);

 private:
  std::string agent_;
  const std::atomic<bool>* cancel_;
};

}  // namespace platform::internet
