#include "tests/support/demo_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string makeTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/corvanta-demo-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!mkdtemp(buffer.data())) throw std::runtime_error("DemoFixture: mkdtemp failed");
  return buffer.data();
}

}  // namespace

DemoFixture::DemoFixture(Source source) {
  if (source == Source::Repository) {
    root_ = CORVANTA_DEMO_REPO;
  } else {
    temp_ = makeTempFolder();
    root_ = temp_;
    if (source == Source::RepositoryCopy)
      fs::copy(CORVANTA_DEMO_REPO, root_, fs::copy_options::recursive);
  }
  server_ = std::make_unique<DemoServer>(root_);
  if (!server_->start()) throw std::runtime_error("DemoFixture: the demo server did not start");
  setenv("CORVANTA_BASE_URL", server_->baseUrl().c_str(), 1);
  // A proxy of the developer's environment must not stand between us and 127.0.0.1.
  setenv("no_proxy", "127.0.0.1,localhost", 1);
  setenv("NO_PROXY", "127.0.0.1,localhost", 1);
}

DemoFixture::~DemoFixture() {
  server_->stop();
  unsetenv("CORVANTA_BASE_URL");
  if (!temp_.empty()) {
    std::error_code ec;
    fs::remove_all(temp_, ec);
  }
}

std::string DemoFixture::url(const std::string& relative) const {
  return server_->baseUrl() + relative;
}

std::string DemoFixture::addFile(const std::string& relative, const std::string& content) {
  if (temp_.empty()) throw std::logic_error("DemoFixture: the demo repository is read only");
  fs::path path = fs::path(root_) / relative;
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
  return "/" + relative;
}

std::string patternBytes(size_t size) {
  std::string data(size, '\0');
  unsigned state = 12345;
  for (auto& c : data) {
    state = state * 1103515245u + 12345u;
    c = static_cast<char>(state >> 16);
  }
  return data;
}
