#pragma once
// What the engine, runners and pages read from the application object: the folder of the
// executable, whether it is writable, and the download server's base URL.
#include <string>

namespace ui { class Window; }

struct AppContext {
  std::string applicationFolder;
  bool isFolderWritable = false;
  ui::Window* mainWindow = nullptr;
};

AppContext& appContext();

// The product caption, also the caption of the system's message boxes.
inline constexpr const char* kInstallerCaption =
    "Corvanta Vision Software Version XI 11.0.0.614 Installer";

// Base URL of the download server, ending with "/": CORVANTA_BASE_URL when set, else the
// built-in one.
std::string downloadServerBaseUrl();
