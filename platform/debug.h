#pragma once
// Debugger output: one line per internal failure, "Class::method - text\n".
#include <functional>
#include <string>

namespace platform {

// Written to standard error when CORVANTA_DEBUG is set; always passed to the sink if any.
void debugOutput(const std::string& text);

// Tests watch the debug stream through a sink; pass nullptr to remove it.
void setDebugSink(std::function<void(const std::string&)> sink);

}  // namespace platform
