// Benchmarks of the catalog store on a large generated catalog. The table comes from Google
// Benchmark; after it, each operation that has a limit is timed again (median of several runs)
// and printed next to its limit.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <time.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "CatalogGenerator.h"
#include "Limits.h"
#include "core/CoreContext.h"
#include "support/TempDir.h"

namespace quillory::bench {
namespace {

constexpr int kFolders = 5000;
constexpr int kIndexesPerFolder = 20;
constexpr int kBigFolderIndexes = 32000;
constexpr std::array<int, 4> kTreeSizes = {1250, 2500, 5000, 10000};

// The shapes whose first load is measured against a plain read: the benchmark's catalog, and
// larger ones of 100,000 and 1,000,000 indexes in folders of 100.
struct LoadShape {
    int folders;
    int indexesPerFolder;
    uint64_t seed;
};
constexpr std::array<LoadShape, 3> kLoadShapes = {{{kFolders, kIndexesPerFolder, 1}, {1000, 100, 3}, {10000, 100, 4}}};
constexpr double kLoadFirstLimit = 3.0;     // times the first plain read of the same files
constexpr double kLoadFirstKeptLimit = 2.5; // times the first read that keeps the bytes (about 1.8)

// CPU times (the operation's thread), at most twice the figures measured on 2 cores.
constexpr double kNewIndexIdLimitMs = 0.3;
constexpr double kNewFolderIdLimitMs = 0.05;
// Title and description searches over the 100,000 indexes, for the ASCII and the non-ASCII word.
constexpr double kSearchTitleAsciiLimitMs = 12.0;
constexpr double kSearchDescAsciiLimitMs = 20.0;
constexpr double kSearchTitleNonAsciiLimitMs = 9.0;
constexpr double kSearchDescNonAsciiLimitMs = 16.0;
// The whole subtree of the 10,000-folder tree, and how its time per folder grows from the
// 1,250-folder tree: the walk's arrays and records outgrow the processor's caches on the way
// (about 2.1-2.5), where a walk that were quadratic would give about 8.
constexpr double kSubtree10000LimitMs = 3.0;
constexpr double kSubtreeGrowthLimit = 4.0;
// The in-process reload pays every allocation and the parse again, which the plain read of the
// same files does not: about 1.9 times the read.
constexpr double kLoadRepeatLimit = 3.5;

// A generated catalog and a core opened over it.
struct Catalog {
    GeneratedCatalog files;
    std::unique_ptr<CoreContext> core;
    int messages = 0; // problems the store came upon, and messages: there should be none

    CatalogStore& store() { return core->store; }
};

void openCatalog(Catalog& catalog, const std::string& folder, const CatalogShape& shape)
{
    catalog.files = generateCatalog(folder, shape);
    catalog.core = std::make_unique<CoreContext>(folder);
    catalog.core->messages.setHook([&catalog](const Message& message) {
        if (catalog.messages++ < 5)
            std::fprintf(stderr, "store message %s: %s\n", message.key.c_str(), message.text.c_str());
        return MsgAnswer::Ok;
    });
    catalog.core->conf.loadSysConf(); // as the program does first: it opens the configured catalog
}

struct Workspace {
    test::TempDir scratch;
    Catalog main;                 // kFolders folders, kIndexesPerFolder indexes each
    Catalog big;                  // one folder of kBigFolderIndexes indexes
    std::map<int, Catalog> trees; // folder files only, one per size of kTreeSizes
};

Workspace* workspace = nullptr;

// ---- the measured operations ----

// Reads the folder file and every index file into the caches, which must be empty.
void loadEverything(Catalog& catalog)
{
    CatalogStore& store = catalog.store();
    store.resetStoreCache();
    StoreProblems problems;
    benchmark::DoNotOptimize(store.getAllDirMap(problems)->getCount());
    for (const auto& id : catalog.files.folderIds)
        benchmark::DoNotOptimize(store.getDirContentMap(id, problems)->getCount());
    catalog.messages += static_cast<int>(problems.size());
}

// The same files' bytes with nothing but open, read and close.
size_t plainRead(const std::vector<std::string>& files)
{
    static char buffer[1 << 16];
    size_t total = 0;
    for (const auto& path : files) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            total += static_cast<size_t>(n);
        ::close(fd);
    }
    benchmark::DoNotOptimize(buffer);
    return total;
}

int searchTitles(Catalog& catalog, const char* text)
{
    ContentCollection found;
    StoreProblems problems;
    catalog.store().getDirContentByTitle(catalog.files.folderIds, text, found, problems);
    return found.count();
}

int searchDescriptions(Catalog& catalog, const char* text)
{
    ContentCollection found;
    StoreProblems problems;
    catalog.store().getDirContentByDesc(catalog.files.folderIds, text, found, problems);
    return found.count();
}

int wholeTree(Catalog& catalog)
{
    FolderMap folders;
    StoreProblems problems;
    catalog.store().getQlrDirsByParentId("0", true, folders, problems);
    catalog.messages += static_cast<int>(problems.size());
    return folders.getCount();
}

// Fills both caches of a catalog.
void warm(Catalog& catalog)
{
    catalog.store().resetStoreCache();
    loadEverything(catalog);
}

// ---- the table ----

void registerBenchmarks()
{
    Workspace& w = *workspace;
    benchmark::RegisterBenchmark("load/5000_folders_100000_indexes", [&w](benchmark::State& state) {
        for (auto _ : state) {
            state.PauseTiming();
            w.main.store().resetStoreCache(); // freeing the previous caches is not part of loading
            state.ResumeTiming();
            loadEverything(w.main);
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * w.main.files.bytes));
        state.counters["files"] = static_cast<double>(w.main.files.files.size());
        warm(w.main);
    })->Unit(benchmark::kMillisecond);

    benchmark::RegisterBenchmark("plain_read/same_files", [&w](benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(plainRead(w.main.files.files));
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * w.main.files.bytes));
        state.counters["files"] = static_cast<double>(w.main.files.files.size());
    })->Unit(benchmark::kMillisecond);

    benchmark::RegisterBenchmark("getNewDirContentId/32000_indexes", [&w](benchmark::State& state) {
        warm(w.big);
        StoreProblems problems;
        for (auto _ : state)
            benchmark::DoNotOptimize(w.big.store().getNewDirContentId("D1", problems));
    })->Unit(benchmark::kMicrosecond);

    benchmark::RegisterBenchmark("getNewDirId/5000_folders", [&w](benchmark::State& state) {
        StoreProblems problems;
        for (auto _ : state)
            benchmark::DoNotOptimize(w.main.store().getNewDirId(problems));
    })->Unit(benchmark::kMicrosecond);

    struct Search {
        const char* name;
        int (*run)(Catalog&, const char*);
        const char* text;
    };
    for (const Search& search : {Search{"getDirContentByTitle/ascii", searchTitles, kCommonWord},
                                 Search{"getDirContentByTitle/non_ascii", searchTitles, kNonAsciiWord},
                                 Search{"getDirContentByDesc/ascii", searchDescriptions, kCommonWord},
                                 Search{"getDirContentByDesc/non_ascii", searchDescriptions, kNonAsciiWord}}) {
        benchmark::RegisterBenchmark(search.name, [&w, search](benchmark::State& state) {
            int found = 0;
            for (auto _ : state)
                benchmark::DoNotOptimize(found = search.run(w.main, search.text));
            state.counters["found"] = found;
            state.counters["indexes"] = static_cast<double>(w.main.files.indexCount);
        })->Unit(benchmark::kMillisecond);
    }

    benchmark::RegisterBenchmark("getQlrDirsByParentId_subtree/5000_folders", [&w](benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(wholeTree(w.main));
        state.counters["per_folder"] = benchmark::Counter(kFolders, benchmark::Counter::kIsIterationInvariantRate
                                                                        | benchmark::Counter::kInvert);
    })->Unit(benchmark::kMicrosecond);

    auto* series = benchmark::RegisterBenchmark("getQlrDirsByParentId_subtree/trees", [&w](benchmark::State& state) {
        Catalog& tree = w.trees.at(static_cast<int>(state.range(0)));
        for (auto _ : state)
            benchmark::DoNotOptimize(wholeTree(tree));
        state.SetComplexityN(state.range(0));
        state.counters["per_folder"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                          benchmark::Counter::kIsIterationInvariantRate
                                                              | benchmark::Counter::kInvert);
    });
    for (const int size : kTreeSizes)
        series->Arg(size);
    series->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);
}

// ---- the summary ----

using Clock = std::chrono::steady_clock;

// The CPU time this thread spent in run, the kernel's part for it included (page faults, file
// calls): what another program busy on the machine does not add to.
double cpuMillisecondsOf(const std::function<void()>& run)
{
    auto now = [] {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
    };
    const double start = now();
    run();
    return now() - start;
}

double medianCpuMilliseconds(int runs, const std::function<void()>& run)
{
    run(); // once untimed
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(cpuMillisecondsOf(run));
    return median(times);
}

// The catalog files of a generated program folder: the folder file, then the index files.
std::vector<std::string> catalogFiles(const std::string& programFolder)
{
    std::vector<std::string> files{programFolder + "/cat/cat.qlr"};
    std::vector<std::string> indexes;
    for (const auto& entry : std::filesystem::directory_iterator(programFolder + "/cat/idx"))
        indexes.push_back(entry.path().string());
    std::sort(indexes.begin(), indexes.end());
    files.insert(files.end(), indexes.begin(), indexes.end());
    return files;
}

// In a fresh process: the first load of a whole catalog, its CPU time and the heap it took.
int measureFirstLoad(const std::string& programFolder)
{
    const size_t before = heapInUse();
    double ms = 0;
    {
        CoreContext core(programFolder);
        core.messages.setHook([](const Message&) { return MsgAnswer::Ok; });
        core.conf.loadSysConf();
        size_t indexes = 0;
        ms = cpuMillisecondsOf([&] {
            StoreProblems problems;
            const auto folders = core.store.getAllDirMap(problems);
            folders->forEach([&](const std::string& id, const auto&) {
                indexes += static_cast<size_t>(core.store.getDirContentMap(id, problems)->getCount());
            });
        });
        std::printf("load_ms %f\ncache_bytes %zu\nindexes %zu\n", ms, heapInUse() - before, indexes);
    }
    return 0;
}

// In a fresh process: the first plain read of the same files, its CPU time.
int measureFirstRead(const std::string& programFolder)
{
    const std::vector<std::string> files = catalogFiles(programFolder);
    size_t bytes = 0;
    const double ms = cpuMillisecondsOf([&] { bytes = plainRead(files); });
    std::printf("read_ms %f\ndisk_bytes %zu\n", ms, bytes);
    return 0;
}

// In a fresh process: the first read of the same files that keeps their bytes, each file whole in
// new memory of its own, its CPU time. What any loader that keeps the catalog's text pays before a
// byte is parsed: on a virtual machine each new page can cost more than reading it from the page
// cache, so this read alone takes several times the plain read.
int measureFirstKeptRead(const std::string& programFolder)
{
    const std::vector<std::string> paths = catalogFiles(programFolder);
    std::vector<std::unique_ptr<char[]>> kept;
    kept.reserve(paths.size());
    size_t bytes = 0;
    const double ms = cpuMillisecondsOf([&] {
        for (const auto& path : paths) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat status {};
            if (fd < 0)
                continue;
            if (::fstat(fd, &status) == 0) {
                const auto size = static_cast<size_t>(status.st_size);
                kept.push_back(std::make_unique_for_overwrite<char[]>(size + 1));
                size_t got = 0;
                for (ssize_t n; got <= size && (n = ::read(fd, kept.back().get() + got, size + 1 - got)) > 0;)
                    got += static_cast<size_t>(n);
                bytes += got;
            }
            ::close(fd);
        }
    });
    benchmark::DoNotOptimize(kept.data());
    std::printf("kept_read_ms %f\nkept_bytes %zu\n", ms, bytes);
    return 0;
}

void printSummary()
{
    Workspace& w = *workspace;
    std::printf("\nFigures with a limit (medians of repeated runs, timed after the table)\n");

    // The first load of a catalog in a fresh process (the user's start), against the first plain
    // read of the same files in a fresh process, one after the other; the page cache is warm for
    // both. For each shape of kLoadShapes (the benchmark's catalog first).
    std::vector<double> cacheRatios;
    for (const LoadShape& shape : kLoadShapes) {
        const std::string name = std::to_string(shape.folders) + "x" + std::to_string(shape.indexesPerFolder);
        GeneratedCatalog generated;
        const bool isMain = shape.folders == kFolders && shape.indexesPerFolder == kIndexesPerFolder;
        if (!isMain)
            generated = generateCatalog(w.scratch.path() + "/load" + name,
                                        {shape.folders, shape.indexesPerFolder, shape.seed});
        const GeneratedCatalog& files = isMain ? w.main.files : generated;
        std::vector<double> ratios, keptRatios, loadMs, readMs, keptMs;
        for (int i = 0; i < 5; ++i) {
            const std::string load = runFresh({"--first-load=" + files.programFolder});
            const std::string read = runFresh({"--first-read=" + files.programFolder});
            const std::string kept = runFresh({"--first-kept-read=" + files.programFolder});
            loadMs.push_back(valueAfter(load, "load_ms"));
            readMs.push_back(valueAfter(read, "read_ms"));
            keptMs.push_back(valueAfter(kept, "kept_read_ms"));
            ratios.push_back(loadMs.back() / readMs.back());
            keptRatios.push_back(loadMs.back() / keptMs.back());
            if (isMain)
                cacheRatios.push_back(valueAfter(load, "cache_bytes") / valueAfter(read, "disk_bytes"));
            // A load that read less than the catalog holds would measure nothing.
            if (valueAfter(load, "indexes") != static_cast<double>(files.indexCount)) {
                std::fprintf(stderr, "the first load of %s read %.0f indexes of %zu\n", name.c_str(),
                             valueAfter(load, "indexes"), files.indexCount);
                ++w.main.messages;
            }
        }
        std::printf("(first load of %s: %zu files, %.1f MB, %zu indexes: %.1f ms CPU, plain read %.1f ms CPU)\n",
                    name.c_str(), files.files.size(), static_cast<double>(files.bytes) / 1e6, files.indexCount,
                    median(loadMs), median(readMs));
        std::printf("(a first read that keeps the bytes in new memory: %.1f ms CPU, %.2f times the plain read)\n",
                    median(keptMs), median(keptMs) / median(readMs));
        printLimit("load_first_vs_read_" + name, median(ratios), kLoadFirstLimit, "x");
        printLimit("load_first_vs_kept_read_" + name, median(keptRatios), kLoadFirstKeptLimit, "x");
        if (!isMain)
            std::filesystem::remove_all(files.programFolder); // its memory in the page cache too
    }
    // The same in this process, where loading has been done before (memory the allocator keeps).
    std::vector<double> repeatRatios;
    for (int i = 0; i < 9; ++i) {
        w.main.store().resetStoreCache();
        const double load = cpuMillisecondsOf([&] { loadEverything(w.main); });
        const double read = cpuMillisecondsOf([&] { benchmark::DoNotOptimize(plainRead(w.main.files.files)); });
        repeatRatios.push_back(load / read);
    }
    std::printf("(%zu files, %.1f MB, %zu folders, %zu indexes)\n", w.main.files.files.size(),
                static_cast<double>(w.main.files.bytes) / 1e6, w.main.files.folderIds.size(), w.main.files.indexCount);
    printLimit("load_repeat_vs_read", median(repeatRatios), kLoadRepeatLimit, "x");
    printLimit("cache_vs_disk_bytes", median(cacheRatios), 2, "x");
    warm(w.main);
    warm(w.big);
    StoreProblems problems;

    printLimit(
        "new_index_id_32000",
        medianCpuMilliseconds(51, [&] { benchmark::DoNotOptimize(w.big.store().getNewDirContentId("D1", problems)); }),
        kNewIndexIdLimitMs, "ms_cpu");
    printLimit("new_folder_id_5000",
               medianCpuMilliseconds(51, [&] { benchmark::DoNotOptimize(w.main.store().getNewDirId(problems)); }),
               kNewFolderIdLimitMs, "ms_cpu");

    for (const auto& [text, name, titleLimitMs, descLimitMs] :
         {std::tuple{kCommonWord, "ascii", kSearchTitleAsciiLimitMs, kSearchDescAsciiLimitMs},
          std::tuple{kNonAsciiWord, "non_ascii", kSearchTitleNonAsciiLimitMs, kSearchDescNonAsciiLimitMs}}) {
        int titles = 0, descriptions = 0;
        const double titleMs = medianCpuMilliseconds(11, [&] { titles = searchTitles(w.main, text); });
        const double descMs = medianCpuMilliseconds(11, [&] { descriptions = searchDescriptions(w.main, text); });
        std::printf("(\"%s\": %d titles, %d descriptions of %zu indexes)\n", text, titles, descriptions,
                    w.main.files.indexCount);
        printLimit(std::string("search_title_100000_") + name, titleMs, titleLimitMs, "ms_cpu");
        printLimit(std::string("search_description_100000_") + name, descMs, descLimitMs, "ms_cpu");
    }

    // Linear growth: the time per folder stays about the same while the tree grows eightfold
    // (a walk that were quadratic would take eight times as long per folder). Each timed run walks
    // as many folders for every size (the small trees several times over), and the sizes take
    // turns, so that a moment of other work on the machine falls on all of them alike.
    constexpr int kRounds = 21;
    std::map<int, std::vector<double>> runMs;
    for (int round = 0; round <= kRounds; ++round) {
        for (const int size : kTreeSizes) {
            Catalog& tree = w.trees.at(size);
            const int walks = kTreeSizes.back() / size;
            const double ms = cpuMillisecondsOf([&] {
                for (int i = 0; i < walks; ++i)
                    benchmark::DoNotOptimize(wholeTree(tree));
            });
            if (round > 0) // the first round is untimed
                runMs[size].push_back(ms / walks);
        }
    }
    std::vector<double> perFolder;
    for (const int size : kTreeSizes) {
        const double ms = median(runMs[size]);
        perFolder.push_back(ms * 1e6 / size);
        std::printf("(subtree of %6d folders: %8.3f ms CPU, %6.1f ns per folder)\n", size, ms, perFolder.back());
    }
    printLimit("subtree_10000_folders", median(runMs[kTreeSizes.back()]), kSubtree10000LimitMs, "ms_cpu");
    printLimit("subtree_growth_8x_tree", perFolder.back() / perFolder.front(), kSubtreeGrowthLimit, "x");

    int messages = w.main.messages + w.big.messages;
    for (const auto& [size, tree] : w.trees)
        messages += tree.messages;
    printLimit("store_messages_on_generated_catalogs", messages, 0, "messages");
}

bool listingOnly(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--benchmark_list_tests", 0) == 0 && arg.find("=false") == std::string::npos
            && arg.find("=0") == std::string::npos)
            return true;
    }
    return false;
}

void generate(Workspace& w)
{
    const auto start = Clock::now();
    const std::string root = w.scratch.path();
    openCatalog(w.main, root + "/main", {kFolders, kIndexesPerFolder, 1});
    openCatalog(w.big, root + "/big", {1, kBigFolderIndexes, 2});
    for (const int size : kTreeSizes)
        openCatalog(w.trees[size], root + "/tree" + std::to_string(size), {size, 0, 100 + static_cast<uint64_t>(size)});

    // Check that everything reads back whole, and leave every cache filled.
    warm(w.main);
    warm(w.big);
    size_t indexes = 0;
    StoreProblems problems;
    for (const auto& id : w.main.files.folderIds)
        indexes += static_cast<size_t>(w.main.store().getDirContentMap(id, problems)->getCount());
    std::fprintf(stderr,
                 "Generated in %s in %.1f s: %zu folders (%d top level, depth %d), %zu indexes, %.1f MB; "
                 "one folder of %d indexes; trees of 1,250 to 10,000 folders. Read back: %d folders, %zu indexes, "
                 "%d in the large folder.\n",
                 root.c_str(), std::chrono::duration<double>(Clock::now() - start).count(),
                 w.main.files.folderIds.size(), w.main.files.topLevelFolders, w.main.files.maxDepth,
                 w.main.files.indexCount, static_cast<double>(w.main.files.bytes) / 1e6, kBigFolderIndexes,
                 w.main.store().getAllDirMap(problems)->getCount(), indexes,
                 w.big.store().getDirContentMap("D1", problems)->getCount());
    for (const int size : kTreeSizes)
        w.trees[size].store().getAllDirMap(problems);
}

} // namespace
} // namespace quillory::bench

int main(int argc, char** argv)
{
    using namespace quillory::bench;
    // The figures about the first time run in a fresh process of their own.
    if (argc == 2 || argc == 3) {
        const std::string arg = argv[1];
        if (arg.rfind("--first-load=", 0) == 0)
            return measureFirstLoad(arg.substr(13));
        if (arg.rfind("--first-read=", 0) == 0)
            return measureFirstRead(arg.substr(13));
        if (arg.rfind("--first-kept-read=", 0) == 0)
            return measureFirstKeptRead(arg.substr(18));
        // The benchmark's large catalog, or one of another shape ("--shape=1000x100"), kept in a
        // folder of one's own to look at or profile.
        if (arg.rfind("--generate=", 0) == 0) {
            CatalogShape shape{kFolders, kIndexesPerFolder, 1};
            if (argc == 3 && std::sscanf(argv[2], "--shape=%dx%d", &shape.folders, &shape.indexesPerFolder) != 2)
                return 2;
            generateCatalog(arg.substr(11), shape);
            return 0;
        }
    }
    const bool listing = listingOnly(argc, argv); // before Initialize takes the flags out of argv
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Workspace w;
    workspace = &w;
    if (!listing)
        generate(w);
    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!listing)
        printSummary();
    return 0;
}
