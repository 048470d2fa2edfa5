// How long the user waits on the real program, measured under an X server with a window manager
// (scripts/bench runs it in Xvfb with openbox): each figure is taken in a fresh process, from its
// exec until the X server has drawn the window. The program, started with QUILLORY_REPORT_PAINTS,
// prints a line after each paint it has flushed and the server has answered a round trip (see
// app/PaintReport.h): the time, its CPU time and its peak resident memory at that moment.
//   quillory_program_bench <folder of the built program> <bare Qt window executable>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "CatalogGenerator.h"
#include "Limits.h"
#include "support/TempDir.h"

using namespace quillory;
using namespace quillory::bench;
namespace fs = std::filesystem;

namespace {

double nowMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Paint {
    double atMs = 0;
    double cpuMs = 0;
    double peakKb = 0;
    int rows = -1;
};

// A program started afresh, with a configuration and runtime folder of its own, as on a first start.
class Started {
public:
    Started(const std::string& executable, const std::vector<std::string>& args)
    {
        int out[2];
        if (::pipe(out) != 0)
            std::abort();
        const std::string config = scratch_ / "config", runtime = scratch_ / "run";
        fs::create_directories(config);
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all);
        startedMs_ = nowMs();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            ::setenv("QUILLORY_REPORT_PAINTS", "1", 1);
            ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
            std::vector<std::string> copies = args;
            std::vector<char*> argv{const_cast<char*>(executable.c_str())};
            for (std::string& arg : copies)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            ::execv(executable.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        fd_ = out[0];
    }
    ~Started()
    {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        ::close(fd_);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    double startedMs() const { return startedMs_; }
    // The program's CPU time until now, all its threads, as its paint lines count it.
    double cpuMs() const
    {
        clockid_t clock{};
        timespec used{};
        if (::clock_getcpuclockid(pid_, &clock) != 0 || ::clock_gettime(clock, &used) != 0)
            return -1;
        return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
    }
    // The first paint from now on that satisfies wanted, or nullopt after timeoutMs.
    std::optional<Paint> waitFor(const std::function<bool(const Paint&)>& wanted, double timeoutMs = 20000)
    {
        const double until = nowMs() + timeoutMs;
        for (;;) {
            while (next_ < paints_.size())
                if (wanted(paints_[next_++]))
                    return paints_[next_ - 1];
            const double left = until - nowMs();
            if (left <= 0 || !readFor(left))
                return std::nullopt;
        }
    }
    // Waits until the program has painted nothing for quietMs, and returns its last paint.
    Paint settle(double quietMs = 400)
    {
        while (readFor(quietMs)) {}
        next_ = paints_.size();
        return paints_.empty() ? Paint{} : paints_.back();
    }

private:
    // Reads what the program printed within ms; false when nothing came (or it ended).
    bool readFor(double ms)
    {
        pollfd wait{fd_, POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(ms)) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        pending_.append(buffer, static_cast<size_t>(n));
        for (size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1)) {
            std::istringstream line(pending_.substr(0, end));
            std::string word;
            long long at = 0, cpu = 0;
            Paint paint;
            if (line >> word >> at >> word >> cpu >> word >> paint.peakKb >> word >> paint.rows) {
                paint.atMs = static_cast<double>(at) / 1e6;
                paint.cpuMs = static_cast<double>(cpu) / 1e6;
                paints_.push_back(paint);
            }
        }
        return true;
    }

    test::TempDir scratch_;
    pid_t pid_ = -1;
    int fd_ = -1;
    double startedMs_ = 0;
    std::string pending_;
    std::vector<Paint> paints_;
    size_t next_ = 0;
};

// The built program copied into a generated catalog's program folder, with the shipped
// configuration pointed at that catalog (the program opens the catalog configured beside it).
std::string installProgram(const std::string& built, const std::string& folder)
{
    fs::copy(built + "/resource", folder + "/resource",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::copy_file(built + "/quillory", folder + "/quillory", fs::copy_options::overwrite_existing);
    std::ifstream in(built + "/resource/conf/SysConf.properties", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string conf;
    for (std::string line; std::getline(text, line);) {
        const std::string key = line.substr(0, line.find('='));
        static const std::vector<std::pair<std::string, std::string>> catalog = {
            {"QlrdbFolder", "cat\r"},
            {"QlrdbContentFolder", "idx\r"},
            {"DirFileName", "cat.qlr\r"},
            {"TempContentFileName", "pending.qlr\r"}};
        for (const auto& [name, value] : catalog)
            if (key == name)
                line = name + "=" + value;
        conf += line + "\n";
    }
    writeTextFile(folder + "/resource/conf/SysConf.properties", conf);
    return folder + "/quillory";
}

struct StartFigures {
    double wallMs = -1, cpuMs = -1;
};

StartFigures startUntilPainted(const std::string& executable, const std::vector<std::string>& args)
{
    Started program(executable, args);
    const auto painted = program.waitFor([](const Paint&) { return true; });
    if (!painted)
        return {};
    return {painted->atMs - program.startedMs(), painted->cpuMs};
}

struct ListFigures {
    double wallMs = -1, cpuMs = -1, peakGrowthMb = -1;
    int rows = -1;
};

// The first list of the big folder: the folder below the one shown at start is chosen with the
// Down key in the tree, which has the focus, until the list has painted its rows and the window
// has painted all that followed from the key (the last paint before it is quiet again).
ListFigures firstList(const std::string& executable, int rows)
{
    Started program(executable, {});
    if (!program.waitFor([](const Paint&) { return true; }))
        return {};
    const Paint before = program.settle();
    const double cpuBefore = program.cpuMs();
    const double pressed = nowMs();
    if (std::system("xdotool key Down") != 0)
        return {};
    if (!program.waitFor([rows](const Paint& paint) { return paint.rows == rows; }))
        return {};
    const Paint listed = program.settle();
    return {listed.atMs - pressed, listed.cpuMs - cpuBefore, (listed.peakKb - before.peakKb) / 1024.0, listed.rows};
}

struct SearchFigures {
    double wallMs = -1, cpuMs = -1;
    int rows = -1;
};

// The first search of titles and descriptions over the whole catalog, typed as the user types it:
// Tools > Search (Ctrl+F), "Whole catalog" ticked, the word, Return; until the window has painted
// the results and all that followed (the last paint before it is quiet again).
SearchFigures firstSearch(const std::string& executable, const char* word)
{
    Started program(executable, {});
    const auto shown = program.waitFor([](const Paint&) { return true; });
    if (!shown)
        return {};
    const int rowsAtStart = program.settle().rows;
    // The panel opens with the focus in the text; "Whole catalog" is the fifth box after it.
    const std::string type = std::string("xdotool key ctrl+f Tab Tab Tab Tab Tab space shift+Tab shift+Tab shift+Tab "
                                         "shift+Tab shift+Tab && xdotool type ")
                             + word;
    if (std::system(type.c_str()) != 0)
        return {};
    program.settle();
    const double cpuBefore = program.cpuMs();
    const double pressed = nowMs();
    if (std::system("xdotool key Return") != 0)
        return {};
    if (!program.waitFor([rowsAtStart](const Paint& paint) { return paint.rows != rowsAtStart; }))
        return {};
    const Paint found = program.settle();
    return {found.atMs - pressed, found.cpuMs - cpuBefore, found.rows};
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder of the built program> <bare Qt window>\n", argv[0]);
        return 2;
    }
    const std::string built = argv[1], bare = argv[2];
    constexpr int kRuns = 7;
    constexpr int kStartRuns = 15; // starts are short: more of them steady the median

    // Start: 5,000 folders of 20 indexes each, every index file there.
    test::TempDir startFolder;
    generateCatalog(startFolder.path(), {5000, 20, 7});
    const std::string startProgram = installProgram(built, startFolder.path());
    std::vector<double> wall, cpu, bareWall, bareCpu;
    for (int i = 0; i < kStartRuns; ++i) { // in turn, so that both meet the same load
        const StartFigures program = startUntilPainted(startProgram, {});
        const StartFigures reference = startUntilPainted(bare, {startFolder.path()});
        wall.push_back(program.wallMs);
        cpu.push_back(program.cpuMs);
        bareWall.push_back(reference.wallMs);
        bareCpu.push_back(reference.cpuMs);
    }
    std::printf("(start until painted: program %.0f ms wall, %.0f ms CPU; bare Qt window %.0f ms wall, %.0f ms "
                "CPU; medians of %d)\n",
                median(wall), median(cpu), median(bareWall), median(bareCpu), kStartRuns);
    printLimit("start_painted_vs_bare_qt", median(cpu) / median(bareCpu), 1.3, "x CPU");
    std::printf("(wall-clock ratio %.2f)\n", median(wall) / median(bareWall));

    // The first search over the whole catalog of 100,000 indexes (the index files are read by it).
    std::vector<double> searchWall, searchCpu;
    int found = -1;
    for (int i = 0; i < kRuns; ++i) {
        const SearchFigures figures = firstSearch(startProgram, kCommonWord);
        searchWall.push_back(figures.wallMs);
        searchCpu.push_back(figures.cpuMs);
        found = figures.rows;
    }
    std::printf("(first whole-catalog search, %d found: %.0f ms wall; medians of %d)\n", found, median(searchWall),
                kRuns);
    printLimit("search_100000_first_painted", median(searchCpu), 200, "ms CPU");

    // The first list: a small folder shown at start, then the big one of every kind of path.
    test::TempDir listFolder;
    generateCatalog(listFolder.path(), {1, 0, 11});
    writeTextFile(listFolder.path() + "/cat/cat.qlr", "D1|Small|0|||False||\r\nD2|Big|0|||False||\r\n");
    generateIndexFile(listFolder.path(), "D1", 20, 10);
    generateIndexFile(listFolder.path(), "D2", 32000, 11);
    const std::string listProgram = installProgram(built, listFolder.path());
    std::vector<double> listWall, listCpu, listPeak;
    int listed = -1;
    for (int i = 0; i < kRuns; ++i) {
        const ListFigures figures = firstList(listProgram, 32000);
        listWall.push_back(figures.wallMs);
        listCpu.push_back(figures.cpuMs);
        listPeak.push_back(figures.peakGrowthMb);
        listed = figures.rows;
    }
    std::printf("(first list of %d rows: %.0f ms wall; medians of %d)\n", listed, median(listWall), kRuns);
    printLimit("list_32000_first_paint", median(listCpu), 100, "ms CPU");
    printLimit("list_32000_peak_growth", median(listPeak), 15, "MB");
    return 0;
}
