#pragma once

#include <functional>
#include <string_view>

namespace quillory {

// Where the core writes what is for whoever looks into a problem rather than for the user (a
// message that had no window to show it in). The standard error stream until the program
// installs a sink of its own; the windows install one that writes through their logging
// category. Any thread may write; the sink is called under a lock.
using DiagnosticsSink = std::function<void(std::string_view line)>;
// An empty sink goes back to the standard error stream.
void setDiagnosticsSink(DiagnosticsSink sink);
void writeDiagnostic(std::string_view line);

} // namespace quillory
