// Internet port over libcurl. One easy handle per request, driven through a multi handle so
// that the body is pulled block by block: curl's write callback fills a bounded buffer and
// pauses the transfer when it is full, and read() resumes it once the caller has drained
// the buffer. Failures are reported with the texts a Windows user knows.
#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/internet.h"
#include "platform/port_backends.h"

namespace platform::internet {

namespace {

using Clock = std::chrono::steady_clock;

// WinINet error numbers with their system texts.
constexpr unsigned long kErrTimeout = 12002;
constexpr unsigned long kErrInternal = 12004;
constexpr unsigned long kErrInvalidUrl = 12005;
constexpr unsigned long kErrNameNotResolved = 12007;
constexpr unsigned long kErrCancelled = 12017;
constexpr unsigned long kErrCannotConnect = 12029;
constexpr unsigned long kErrConnectionReset = 12031;
constexpr unsigned long kErrInvalidResponse = 12152;

const char* errorText(unsigned long error) {
  switch (error) {
    case kErrTimeout: return "The operation timed out";
    case kErrInvalidUrl: return "The URL is invalid";
    case kErrNameNotResolved: return "The server name or address could not be resolved";
    case kErrCancelled: return "The operation was canceled";
    case kErrCannotConnect: return "A connection with the server could not be established";
    case kErrConnectionReset: return "The connection with the server was reset";
    case kErrInvalidResponse: return "The server returned an invalid or unrecognized response";
    default: return "An internal error occurred in the Microsoft Internet extensions";
  }
}

[[noreturn]] void fail(unsigned long error) { throw InternetException(error, errorText(error)); }

unsigned long errorOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return kErrNameNotResolved;
    case CURLE_COULDNT_CONNECT: return kErrCannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return kErrTimeout;
    case CURLE_ABORTED_BY_CALLBACK: return kErrCancelled;
    case CURLE_URL_MALFORMAT: return kErrInvalidUrl;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR: return kErrConnectionReset;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING: return kErrInvalidResponse;
    default: return kErrInternal;
  }
}

long envMs(const char* name, long fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  return (end && *end == 0 && value > 0) ? value : fallback;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

void globalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// curl's receive block, and the body waiting for the caller: large enough that one of
// curl's blocks always fits once it has been drained. Both are fixed, so memory does not
// grow with the size of the file.
constexpr long kReceiveBlock = 128 * 1024;
constexpr size_t kBufferCapacity = 512 * 1024;
constexpr int kPollMs = 50;

class CurlRequest : public Request {
 public:
  CurlRequest(std::string url, const std::string& agent, const std::atomic<bool>* cancel)
      : url_(std::move(url)), cancel_(cancel) {
    globalInit();
    multi_ = curl_multi_init();
    easy_ = curl_easy_init();
    if (!multi_ || !easy_) fail(kErrInternal);
    connectTimeoutMs_ = envMs("CORVANTA_HTTP_CONNECT_TIMEOUT_MS", 60000);
    idleTimeoutMs_ = envMs("CORVANTA_HTTP_IDLE_TIMEOUT_MS", 30000);
    curl_easy_setopt(easy_, CURLOPT_URL, url_.c_str());
    curl_easy_setopt(easy_, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(easy_, CURLOPT_HTTPGET, 1L);
    // Redirects are the caller's business: it reports them, it never follows them.
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_BUFFERSIZE, kReceiveBlock);
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs_);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlRequest::onHeader);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlRequest::onBody);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &CurlRequest::onConnected);
    curl_easy_setopt(easy_, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &CurlRequest::onProgress);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
    // A reload: never an answer from a cache on the way.
    noCache_ = curl_slist_append(nullptr, "Cache-Control: no-cache");
    noCache_ = curl_slist_append(noCache_, "Pragma: no-cache");
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, noCache_);
  }

  ~CurlRequest() override {
    if (added_) curl_multi_remove_handle(multi_, easy_);
    if (easy_) curl_easy_cleanup(easy_);
    if (multi_) curl_multi_cleanup(multi_);
    curl_slist_free_all(noCache_);
  }

  int send() override {
    if (added_) {
      curl_multi_remove_handle(multi_, easy_);
      added_ = false;
    }
    status_ = 0;
    headersDone_ = false;
    done_ = false;
    paused_ = false;
    connected_ = false;
    result_ = CURLE_OK;
    headers_.clear();
    buffer_.clear();
    bufferPos_ = 0;
    received_ = 0;
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) fail(kErrInternal);
    added_ = true;
    lastActivity_ = Clock::now();
    while (!headersDone_ && !done_) pump();
    if (!headersDone_) {
      if (result_ != CURLE_OK) fail(errorOf(result_));
      fail(kErrInvalidResponse);
    }
    // A length that is no plain number, or two that disagree, cannot be checked against
    // the body: such an answer is as broken as one cut short.
    if (!lengthIsSound()) fail(kErrConnectionReset);
    return status_;
  }

  std::optional<std::string> header(const std::string& name) const override {
    for (auto it = headers_.rbegin(); it != headers_.rend(); ++it)
      if (equalsNoCase(it->first, name)) return it->second;
    return std::nullopt;
  }

  size_t read(char* buffer, size_t size) override {
    if (!added_ || size == 0) return 0;
    // Silence is measured per read, as a receive timeout would be: time the caller spent
    // elsewhere does not count.
    if (bufferPos_ >= buffer_.size()) lastActivity_ = Clock::now();
    for (;;) {
      if (bufferPos_ < buffer_.size()) {
        size_t n = std::min(size, buffer_.size() - bufferPos_);
        std::memcpy(buffer, buffer_.data() + bufferPos_, n);
        bufferPos_ += n;
        if (bufferPos_ == buffer_.size()) {
          buffer_.clear();
          bufferPos_ = 0;
        }
        return n;
      }
      if (done_) {
        if (result_ != CURLE_OK) fail(errorOf(result_));
        // curl already checks this; the guard keeps a short body from ever passing as a
        // whole one.
        if (auto length = announcedLength(); length && received_ < *length)
          fail(kErrConnectionReset);
        return 0;
      }
      if (paused_) {
        paused_ = false;
        lastActivity_ = Clock::now();
        // May call onBody right away with the data held back.
        curl_easy_pause(easy_, CURLPAUSE_CONT);
        continue;
      }
      pump();
    }
  }

  void setCredentials(const std::string& user, const std::string& password) override {
    curl_easy_setopt(easy_, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    curl_easy_setopt(easy_, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(easy_, CURLOPT_PASSWORD, password.c_str());
  }

 private:
  bool cancelled() const { return cancel_ && cancel_->load(); }

  bool lengthIsSound() const {
    std::optional<std::string> first;
    for (const auto& [name, value] : headers_) {
      if (!equalsNoCase(name, "Content-Length")) continue;
      if (value.empty() || value.size() > 19 ||
          value.find_first_not_of("0123456789") != std::string::npos)
        return false;
      if (first && *first != value) return false;
      first = value;
    }
    return true;
  }

  std::optional<uint64_t> announcedLength() const {
    auto text = header("Content-Length");
    if (!text) return std::nullopt;
    char* end = nullptr;
    unsigned long long value = std::strtoull(text->c_str(), &end, 10);
    if (end == text->c_str()) return std::nullopt;
    return value;
  }

  // One round of the transfer: runs what is ready, then waits a little for the socket.
  void pump() {
    int running = 0;
    curl_multi_perform(multi_, &running);
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi_, &left)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_) {
        done_ = true;
        result_ = msg->data.result;
      }
    }
    // Data in hand goes to the caller first; waiting on the socket now would only stall the
    // writing side.
    if (done_ || paused_ || bufferPos_ < buffer_.size()) return;
    if (cancelled()) fail(kErrCancelled);
    // The connect phase has its own limit inside curl; afterwards silence is the limit.
    if (connected_ && Clock::now() - lastActivity_ > std::chrono::milliseconds(idleTimeoutMs_))
      fail(kErrTimeout);
    curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr);
  }

  static size_t onHeader(char* data, size_t size, size_t count, void* self) {
    auto* r = static_cast<CurlRequest*>(self);
    size_t n = size * count;
    std::string line(data, n);
    r->lastActivity_ = Clock::now();
    if (line.rfind("HTTP/", 0) == 0) {
      // A new status line (after an interim 100 answer): start over.
      r->headers_.clear();
      size_t space = line.find(' ');
      r->status_ = space == std::string::npos ? 0 : std::atoi(line.c_str() + space + 1);
    } else if (line == "\r\n" || line == "\n") {
      if (r->status_ >= 200) r->headersDone_ = true;
    } else if (size_t colon = line.find(':'); colon != std::string::npos) {
      r->headers_.emplace_back(trim(line.substr(0, colon)), trim(line.substr(colon + 1)));
    }
    return n;
  }

  static size_t onBody(char* data, size_t size, size_t count, void* self) {
    auto* r = static_cast<CurlRequest*>(self);
    size_t n = size * count;
    if (r->bufferPos_ > 0 && r->buffer_.size() + n > kBufferCapacity) {
      r->buffer_.erase(0, r->bufferPos_);
      r->bufferPos_ = 0;
    }
    if (r->buffer_.size() + n > kBufferCapacity && !r->buffer_.empty()) {
      r->paused_ = true;
      return CURL_WRITEFUNC_PAUSE;
    }
    r->buffer_.append(data, n);
    r->received_ += n;
    r->lastActivity_ = Clock::now();
    return n;
  }

  static int onConnected(void* self, char*, char*, int, int) {
    auto* r = static_cast<CurlRequest*>(self);
    r->connected_ = true;
    r->lastActivity_ = Clock::now();
    return CURL_PREREQFUNC_OK;
  }

  static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<CurlRequest*>(self)->cancelled() ? 1 : 0;
  }

  std::string url_;
  const std::atomic<bool>* cancel_;
  CURLM* multi_ = nullptr;
  CURL* easy_ = nullptr;
  curl_slist* noCache_ = nullptr;
  long connectTimeoutMs_ = 60000;
  long idleTimeoutMs_ = 30000;
  bool added_ = false;
  int status_ = 0;
  bool headersDone_ = false;
  bool done_ = false;
  bool paused_ = false;
  bool connected_ = false;
  CURLcode result_ = CURLE_OK;
  std::vector<std::pair<std::string, std::string>> headers_;
  std::string buffer_;
  size_t bufferPos_ = 0;
  uint64_t received_ = 0;
  Clock::time_point lastActivity_;
};

}  // namespace

bool parseUrl(const std::string& url, ParsedUrl& parsed) {
  parsed = ParsedUrl{};
  size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string::npos || schemeEnd == 0) return false;
  std::string scheme = url.substr(0, schemeEnd);
  for (char c : scheme)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  if (equalsNoCase(scheme, "http")) {
    parsed.service = Service::Http;
    parsed.port = 80;
  } else if (equalsNoCase(scheme, "https")) {
    parsed.service = Service::Https;
    parsed.port = 443;
  } else if (equalsNoCase(scheme, "ftp")) {
    parsed.service = Service::Ftp;
    parsed.port = 21;
  } else {
    parsed.service = Service::Other;
  }
  size_t hostStart = schemeEnd + 3;
  size_t pathStart = url.find_first_of("/?#", hostStart);
  std::string authority =
      url.substr(hostStart, pathStart == std::string::npos ? std::string::npos : pathStart - hostStart);
  parsed.object = pathStart == std::string::npos ? "/" : url.substr(pathStart);
  if (!parsed.object.empty() && parsed.object[0] != '/') parsed.object = "/" + parsed.object;
  if (size_t at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);
  std::string host = authority;
  size_t colon = authority.rfind(':');
  bool bracketed = !authority.empty() && authority[0] == '[';
  size_t close = authority.find(']');
  if (colon != std::string::npos && (!bracketed || (close != std::string::npos && colon > close))) {
    std::string portText = authority.substr(colon + 1);
    host = authority.substr(0, colon);
    if (!portText.empty()) {
      if (portText.size() > 5 ||
          !std::all_of(portText.begin(), portText.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return false;
      long port = std::strtol(portText.c_str(), nullptr, 10);
      if (port <= 0 || port > 65535) return false;
      parsed.port = static_cast<uint16_t>(port);
    }
  }
  if (host.empty()) return false;
  parsed.server = host;
  return true;
}

Session::Session(const std::string& agent, const std::atomic<bool>* cancel)
    : agent_(agent), cancel_(cancel) {
  globalInit();
}

Session::~Session() = default;

namespace {

// The request line carries the object path as the server's file names have it: blanks and
// other bytes not allowed in a URL are escaped, as the platform's URL handling does.
std::string escapeObject(const std::string& object) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : object) {
    if (c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' ||
        c == '`' || c == '{' || c == '|' || c == '}') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

std::unique_ptr<Request> backend::openRequest(const std::string& agent,
                                             const std::atomic<bool>* cancel,
                                             const std::string& server, uint16_t port,
                                             const std::string& object) {
  std::string host = server;
  if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
  std::string path = escapeObject(object.empty() || object[0] != '/' ? "/" + object : object);
  return std::make_unique<CurlRequest>("http://" + host + ":" + std::to_string(port) + path,
                                       agent, cancel);
}

}  // namespace platform::internet
