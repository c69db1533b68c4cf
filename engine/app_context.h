#pragma once
// What the engine, runners and pages read from the application object: the folder of the
// executable, whether it is writable, and the download server's base URL.
#include <string>

#include "platform/installer_caption.h"

namespace ui { class Window; }

struct AppContext {
  std::string applicationFolder;
  bool isFolderWritable = false;
  ui::Window* mainWindow = nullptr;
};

AppContext& appContext();

// Base URL of the download server, ending with "/": CORVANTA_BASE_URL when set, else the
// built-in one.
std::string downloadServerBaseUrl();
