#include "core/base/Diagnostics.h"

#include <cstdio>
#include <mutex>

namespace quillory {
namespace {

std::mutex& sinkLock()
{
    static std::mutex lock;
    return lock;
}

DiagnosticsSink& sink()
{
    static DiagnosticsSink installed;
    return installed;
}

} // namespace

void setDiagnosticsSink(DiagnosticsSink newSink)
{
    const std::lock_guard guard(sinkLock());
    sink() = std::move(newSink);
}

void writeDiagnostic(std::string_view line)
{
    const std::lock_guard guard(sinkLock());
    if (sink()) {
        sink()(line);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
}

} // namespace quillory
