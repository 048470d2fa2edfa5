#include "Limits.h"

#include <algorithm>
#include <array>
#include <malloc.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace quillory::bench {

std::string runFresh(const std::vector<std::string>& args)
{
    int out[2];
    if (::pipe(out) != 0)
        throw std::runtime_error("pipe");
    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork");
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        std::vector<char*> argv;
        std::string self = "/proc/self/exe";
        argv.push_back(self.data());
        std::vector<std::string> copies = args;
        for (std::string& arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        ::execv("/proc/self/exe", argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    std::array<char, 4096> buffer{};
    for (ssize_t n; (n = ::read(out[0], buffer.data(), buffer.size())) > 0;)
        text.append(buffer.data(), static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return text;
}

double valueAfter(const std::string& text, const std::string& key)
{
    const size_t at = text.find(key + " ");
    return at == std::string::npos ? -1 : std::stod(text.substr(at + key.size() + 1));
}

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

size_t heapInUse()
{
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace quillory::bench
