#pragma once
// The few C library calls whose portable spelling differs between systems, so the core
// stays free of POSIX-only calls.
#include <ctime>
#include <string_view>

namespace platform {

// ASCII case-insensitive equality, as the system's own name comparisons do.
bool equalsNoCase(std::string_view a, std::string_view b);

// Local time of t; a zeroed date when the C library cannot convert it.
std::tm localTime(std::time_t t);

// Whether standard error goes to a terminal (progress bars) rather than a file or pipe.
bool standardErrorIsTerminal();

}  // namespace platform
