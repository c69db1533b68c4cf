// corvanta-demo-server --root DIR [--port N]: serves the demo repository on 127.0.0.1 and
// prints its base URL on the first line; runs until it is terminated.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/demo_server.h"

int main(int argc, char** argv) {
  std::string root;
  long port = 0;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--root" && i + 1 < argc) {
      root = argv[++i];
    } else if (arg == "--port" && i + 1 < argc) {
      char* end = nullptr;
      port = std::strtol(argv[++i], &end, 10);
      if (!end || *end || port < 0 || port > 65535) {
        std::fprintf(stderr, "corvanta-demo-server: invalid port %s\n", argv[i]);
        return 2;
      }
    } else {
      std::fprintf(stderr, "usage: corvanta-demo-server --root DIR [--port N]\n");
      return 2;
    }
  }
  if (root.empty() || !std::filesystem::is_directory(root)) {
    std::fprintf(stderr, "usage: corvanta-demo-server --root DIR [--port N]\n");
    return 2;
  }

  // Wait for the end signal synchronously; the server threads never see it.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  DemoServer server(root);
  if (!server.start(static_cast<uint16_t>(port))) {
    std::fprintf(stderr, "corvanta-demo-server: cannot listen on 127.0.0.1:%ld\n", port);
    return 1;
  }
  std::printf("%s\n", server.baseUrl().c_str());
  std::fflush(stdout);

  int received = 0;
  sigwait(&signals, &received);
  server.stop();
  return 0;
}
