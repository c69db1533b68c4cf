#include "engine/app_context.h"

#include <cstdlib>

AppContext& appContext() {
  static AppContext context;
  return context;
}

std::string downloadServerBaseUrl() {
  // The maker's own download host; CORVANTA_BASE_URL points the wizard at another server
  // (the demo server, a test server).
  std::string base = "http://downloads.corvanta-vision.example/";
  if (const char* over = std::getenv("CORVANTA_BASE_URL"); over && *over) base = over;
  if (base.back() != '/') base += '/';
  return base;
}
