#pragma once
// A demo server for one test on 127.0.0.1, with CORVANTA_BASE_URL pointing at it.
#include <memory>
#include <string>

#include "tools/demo_server.h"

class DemoFixture {
 public:
  enum class Source {
    Empty,           // a fresh temporary folder, filled by the test
    Repository,      // the built demo repository itself (read only)
    RepositoryCopy,  // a temporary copy of it, which the test may change
  };

  explicit DemoFixture(Source source = Source::Empty);
  ~DemoFixture();
  DemoFixture(const DemoFixture&) = delete;
  DemoFixture& operator=(const DemoFixture&) = delete;

  DemoServer& server() { return *server_; }
  // The folder served (host path).
  const std::string& root() const { return root_; }
  // "http://127.0.0.1:PORT/" + relative
  std::string url(const std::string& relative = "") const;
  // Writes a file below the served folder (for Empty and RepositoryCopy); returns its
  // request path ("/" + relative).
  std::string addFile(const std::string& relative, const std::string& content);

 private:
  std::string temp_;
  std::string root_;
  std::unique_ptr<DemoServer> server_;
};

// Deterministic content of the given size (not all one byte, so misplaced blocks show).
std::string patternBytes(size_t size);
