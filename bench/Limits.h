#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace quillory::bench {

// One figure with a limit, printed as
//   LIMIT <name> <measured> <limit> <unit> ok|OVER
// so that scripts/bench can find them all and fail when one is over.
inline bool printLimit(const std::string& name, double measured, double limit, const char* unit)
{
    const bool ok = measured >= 0 && measured <= limit; // -1: not measured
    std::printf("LIMIT %s %.3g %g %s %s\n", name.c_str(), measured, limit, unit, ok ? "ok" : "OVER");
    std::fflush(stdout);
    return ok;
}

// Runs this very program again with args and returns what it printed: a fresh process, as the
// user starts one, for the figures that are about the first time.
std::string runFresh(const std::vector<std::string>& args);

// The value after "<key> " in text, or -1.
double valueAfter(const std::string& text, const std::string& key);

double median(std::vector<double> values);

// Bytes the program has taken from the heap and not given back.
size_t heapInUse();

} // namespace quillory::bench
