// The HTTP port against a local server: status and headers as sent, the body in blocks,
// and every way a transfer can go wrong reported as a failure with a Windows text.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <thread>

#include "platform/internet.h"
#include "tests/support/demo_fixture.h"

namespace net = platform::internet;

namespace {

TEST(ParseUrl, SplitsServicePortAndObject) {
  struct Row {
    const char* url;
    bool ok;
    net::Service service;
    const char* server;
    uint16_t port;
    const char* object;
  };
  const Row rows[] = {
      {"http://host/a/b.exe", true, net::Service::Http, "host", 80, "/a/b.exe"},
      {"HTTP://Host:8080/x?y=1", true, net::Service::Http, "Host", 8080, "/x?y=1"},
      {"http://host", true, net::Service::Http, "host", 80, "/"},
      {"https://host/x", true, net::Service::Https, "host", 443, "/x"},
      {"ftp://host/x", true, net::Service::Ftp, "host", 21, "/x"},
      {"gopher://host/x", true, net::Service::Other, "host", 0, "/x"},
      {"http://user:pw@host:81/x", true, net::Service::Http, "host", 81, "/x"},
      {"http://127.0.0.1:5/", true, net::Service::Http, "127.0.0.1", 5, "/"},
      {"nonsense", false, net::Service::Unknown, "", 0, ""},
      {"http:///x", false, net::Service::Unknown, "", 0, ""},
      {"http://host:port/x", false, net::Service::Unknown, "", 0, ""},
      {"http://host:70000/x", false, net::Service::Unknown, "", 0, ""},
      {"://host/x", false, net::Service::Unknown, "", 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.url);
    net::ParsedUrl parsed;
    ASSERT_EQ(net::parseUrl(row.url, parsed), row.ok);
    if (!row.ok) continue;
    EXPECT_EQ(parsed.service, row.service);
    EXPECT_EQ(parsed.server, row.server);
    EXPECT_EQ(parsed.port, row.port);
    EXPECT_EQ(parsed.object, row.object);
  }
}

class HttpPort : public ::testing::Test {
 protected:
  std::unique_ptr<net::Request> open(const std::string& object) {
    return session_.openRequest("127.0.0.1", demo_.server().port(), object);
  }
  // Reads the whole body in blocks of the given size.
  static std::string readAll(net::Request& request, size_t block) {
    std::string body;
    std::vector<char> buffer(block);
    while (size_t n = request.read(buffer.data(), block)) body.append(buffer.data(), n);
    return body;
  }
  // The text of the failure the body ends with, or "" when it ends well.
  static std::string failureOf(net::Request& request) {
    try {
      readAll(request, 1023);
    } catch (const net::InternetException& e) {
      return e.what();
    }
    return "";
  }

  DemoFixture demo_;
  std::atomic<bool> cancel_{false};
  net::Session session_{"Internet Session", &cancel_};
};

TEST_F(HttpPort, StreamsALargeBodyWhole) {
  // Larger than the port's buffer, read in small blocks: the transfer pauses and resumes.
  const std::string data = patternBytes(1500000);
  demo_.addFile("big/file.bin", data);
  auto request = open("/big/file.bin");
  ASSERT_EQ(request->send(), 200);
  EXPECT_EQ(request->header("content-length").value_or(""), "1500000");
  EXPECT_EQ(readAll(*request, 1023), data);
  EXPECT_EQ(demo_.server().requestLog(), std::vector<std::string>{"/big/file.bin"});
}

TEST_F(HttpPort, ChunkedBodyWithoutLength) {
  const std::string data = patternBytes(300000);
  std::string path = demo_.addFile("c.bin", data);
  demo_.server().sendChunked(path);
  auto request = open(path);
  ASSERT_EQ(request->send(), 200);
  EXPECT_FALSE(request->header("Content-Length").has_value());
  EXPECT_EQ(readAll(*request, 4096), data);
}

TEST_F(HttpPort, StatusesAreReportedNotFollowed) {
  demo_.addFile("target.bin", "x");
  const std::pair<int, const char*> rows[] = {{301, "/target.bin"}, {302, "/target.bin"},
                                              {303, "/target.bin"}, {307, "/target.bin"},
                                              {404, ""},            {500, ""}};
  for (auto [status, location] : rows) {
    SCOPED_TRACE(status);
    demo_.server().failWith("/s.bin", status, location);
    auto request = open("/s.bin");
    EXPECT_EQ(request->send(), status);
    if (*location) {
      EXPECT_EQ(request->header("Location").value_or(""), location);
    }
  }
  // Never a request for the redirection's target.
  for (const auto& path : demo_.server().requestLog()) EXPECT_EQ(path, "/s.bin");
  EXPECT_EQ(open("/missing.bin")->send(), 404);
}

TEST_F(HttpPort, CredentialsAreSentOnTheSecondSend) {
  std::string path = demo_.addFile("secret.bin", "payload");
  demo_.server().requireCredentials(path, "user", "secret");
  auto request = open(path);
  ASSERT_EQ(request->send(), 401);
  request->setCredentials("user", "wrong");
  EXPECT_EQ(request->send(), 401);
  request->setCredentials("user", "secret");
  ASSERT_EQ(request->send(), 200);
  EXPECT_EQ(readAll(*request, 1023), "payload");
}

TEST_F(HttpPort, TruncatedBodyIsAFailure) {
  std::string path = demo_.addFile("t.bin", patternBytes(200000));
  demo_.server().truncateAfter(path, 70000);
  auto request = open(path);
  ASSERT_EQ(request->send(), 200);
  EXPECT_EQ(failureOf(*request), "The connection with the server was reset");
}

TEST_F(HttpPort, SilentServerTimesOut) {
  setenv("CORVANTA_HTTP_IDLE_TIMEOUT_MS", "300", 1);
  std::string path = demo_.addFile("s.bin", patternBytes(100000));
  demo_.server().stallAfter(path, 5000);
  auto request = open(path);
  ASSERT_EQ(request->send(), 200);
  std::string failure = failureOf(*request);
  unsetenv("CORVANTA_HTTP_IDLE_TIMEOUT_MS");
  EXPECT_EQ(failure, "The operation timed out");
}

TEST_F(HttpPort, CancelEndsAWaitingRead) {
  std::string path = demo_.addFile("s.bin", patternBytes(100000));
  demo_.server().stallAfter(path, 5000);
  auto request = open(path);
  ASSERT_EQ(request->send(), 200);
  std::thread canceller([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    cancel_ = true;
  });
  std::string failure = failureOf(*request);
  canceller.join();
  EXPECT_EQ(failure, "The operation was canceled");
}

TEST_F(HttpPort, ConnectionRefused) {
  DemoServer closed(demo_.root());
  ASSERT_TRUE(closed.start());
  uint16_t port = closed.port();
  closed.stop();
  try {
    session_.openRequest("127.0.0.1", port, "/x")->send();
    ADD_FAILURE() << "no failure";
  } catch (const net::InternetException& e) {
    EXPECT_STREQ(e.what(), "A connection with the server could not be established");
  }
}

TEST_F(HttpPort, ServerKeepsRequestsInsideItsFolder) {
  // A file beside the served folder must stay out of reach of an encoded "..".
  demo_.addFile("inside/ok.bin", "ok");
  DemoServer inner(demo_.root() + "/inside");
  ASSERT_TRUE(inner.start());
  auto request = session_.openRequest("127.0.0.1", inner.port(), "/%2e%2e/inside/ok.bin");
  EXPECT_EQ(request->send(), 404);
  EXPECT_EQ(session_.openRequest("127.0.0.1", inner.port(), "/ok.bin")->send(), 200);
}

}  // namespace
