#pragma once
// The product caption, also the caption of the system's message boxes. Here, below every
// layer that shows it.
inline constexpr const char* kInstallerCaption =
    "Corvanta Vision Software Version XI 11.0.0.614 Installer";
