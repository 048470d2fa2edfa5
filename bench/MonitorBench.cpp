// How the change monitor keeps up with a large catalog on the real disk: loading it until the
// watches are in place, a burst of deletions in watched folders, the memory it keeps, and Sync
// applying a large pending-changes file. The documents are real files in a temporary folder,
// watched through inotify by the program's own monitor. Times are CPU times of the whole process
// (every thread, the kernel's work for it included), medians of five runs; each figure is
// printed as a LIMIT line.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "CatalogGenerator.h"
#include "Limits.h"
#include "core/CoreContext.h"
#include "core/monitor/PendingChange.h"
#include "core/monitor/StoreSyncCatalog.h"
#include "core/store/IndexRecord.h"
#include "core/store/RecordFormat.h"
#include "support/TempDir.h"
#include "ui/monitor/MonitorService.h"
#include "ui/platform/InotifyFolderWatcher.h"
#include "ui/platform/SystemDiskProbe.h"

using namespace quillory;
using namespace quillory::bench;
namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 5;

// Each limit is what the monitor is asked to keep (2 s to watch, 1 s for the burst, 40 MB, 1 s for
// Sync), or twice the figure measured when it was written where that is much less: 770 ms CPU to
// load and watch, 14 ms for the burst, 32 MB, 77 ms for Sync in memory (on this disk 250 to 1,100
// ms, nearly all of it the kernel making the thousand new index files).
constexpr double kWatchLimitMs = 1600;
constexpr double kBurstLimitMs = 30;
constexpr double kMemoryLimitMb = 40;
constexpr double kSyncLimitMs = 160;

// The user's and the kernel's part of the process's CPU time so far.
std::pair<double, double> userAndSystemMilliseconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return {ms(usage.ru_utime), ms(usage.ru_stime)};
}

double cpuMilliseconds()
{
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

void makeEmptyFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    ::close(fd);
}

// A catalog whose indexes point at real, empty documents: folders folders of the generated
// shape, each with an index file of perFolder documents in a folder of its own under
// <program folder>/docs (a hundred such folders to a parent).
struct DocumentCatalog {
    std::string programFolder;
    std::vector<std::string> folderIds;
    std::vector<std::string> folderPaths;                        // on disk, by folder
    std::vector<std::pair<std::string, std::string>> indexes;    // id, path
    std::vector<std::pair<std::string, std::string>> indexFiles; // path, text
};

DocumentCatalog makeDocumentCatalog(const std::string& programFolder, int folders, int perFolder, uint64_t seed)
{
    DocumentCatalog catalog;
    catalog.programFolder = programFolder;
    catalog.folderIds = generateCatalog(programFolder, {folders, 0, seed}).folderIds;
    for (size_t k = 0; k < catalog.folderIds.size(); ++k) {
        const std::string& dirId = catalog.folderIds[k];
        const std::string folder = programFolder + "/docs/g" + std::to_string(k / 100) + "/f" + std::to_string(k % 100);
        fs::create_directories(folder);
        catalog.folderPaths.push_back(folder);
        std::string text;
        for (int n = 1; n <= perFolder; ++n) {
            IndexRecord record;
            record.setCId(dirId + "!C" + std::to_string(n));
            record.setCTitle("document " + std::to_string(n));
            const std::string path = folder + "/document-" + std::to_string(n) + ".txt";
            record.setStoredPath(path);
            record.setNeedPwd("False");
            record.setAddTime("2026-01-01 10:00:00");
            text += formatContentLine(record) + "\r\n";
            makeEmptyFile(path);
            catalog.indexes.emplace_back(record.cId(), path);
        }
        const std::string indexFile = programFolder + "/cat/idx/" + dirId + ".qlr";
        writeTextFile(indexFile, text);
        catalog.indexFiles.emplace_back(indexFile, std::move(text));
    }
    return catalog;
}

// The watches the kernel holds for this process, over all its inotify descriptors.
size_t kernelWatches()
{
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fdinfo")) {
        std::ifstream info(entry.path());
        for (std::string line; std::getline(info, line);)
            count += line.starts_with("inotify wd:");
    }
    return count;
}

// Sees that the user may hold the watches needed, raising the system's limit where allowed.
void checkWatchLimit(size_t needed)
{
    const char* file = "/proc/sys/fs/inotify/max_user_watches";
    size_t limit = 0;
    std::ifstream(file) >> limit;
    if (limit >= needed + 1000) {
        std::printf("(fs.inotify.max_user_watches %zu: room for the %zu watches needed)\n", limit, needed);
        return;
    }
    bool raised = false;
    if (::geteuid() == 0) {
        std::ofstream out(file);
        out << needed + 10000;
        raised = static_cast<bool>(out.flush());
    }
    std::printf("(fs.inotify.max_user_watches %zu, below the %zu watches needed: %s)\n", limit, needed,
                raised ? "raised for this run" : "not raised (not root, or not allowed); the figures are with fewer");
}

// Runs the event loop until done() or timeoutMs; false on the timeout.
bool waitFor(const std::function<bool()>& done, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// The program's monitor on a catalog, as the program runs it.
struct RunningMonitor {
    explicit RunningMonitor(const std::string& folder) : core(folder)
    {
        core.messages.setHook([this](const Message&) {
            ++messages;
            return MsgAnswer::Ok;
        });
        core.conf.loadSysConf(); // opens the configured catalog, as the program does first
        QObject::connect(&service, &MonitorService::noticeTaken, [this](const WatchNotice& notice) {
            if (notice.name.starts_with("junk-"))
                ++(notice.kind == WatchNotice::Kind::Created ? junkCreated : junkDeleted);
        });
    }
    CoreContext core;
    InotifyFolderWatcher watcher;
    MonitorService service{core, watcher};
    int messages = 0;
    size_t junkCreated = 0;
    size_t junkDeleted = 0;
};

void benchWatchBurstAndMemory()
{
    constexpr int kFolders = 10000;
    constexpr int kPerFolder = 10;
    test::TempDir dir;
    QElapsedTimer made;
    made.start();
    const DocumentCatalog catalog = makeDocumentCatalog(dir.path(), kFolders, kPerFolder, 41);
    std::printf("(%zu documents in %d folders made in %.1f s)\n", catalog.indexes.size(), kFolders,
                static_cast<double>(made.elapsed()) / 1e3);
    checkWatchLimit(kFolders + kFolders / 100 + 20);

    RunningMonitor running(dir.path());
    MonitorService& service = running.service;
    StoreProblems problems;
    running.core.store.getAllDirMap(problems); // the folder file is the store's, read for the tree anyway

    std::vector<double> loadCpu, loadUser, loadSystem, loadWall, memory;
    size_t watches = 0, inKernel = 0, documents = 0;
    for (int run = 0; run < kRuns; ++run) {
        service.unload();
        const size_t heapBefore = heapInUse();
        const auto [userBefore, systemBefore] = userAndSystemMilliseconds();
        const double cpuBefore = cpuMilliseconds();
        QElapsedTimer wall;
        wall.start();
        service.load();
        if (!waitFor([&] { return service.isLoaded(); }))
            throw std::runtime_error("the monitor did not load");
        loadCpu.push_back(cpuMilliseconds() - cpuBefore);
        const auto [user, system] = userAndSystemMilliseconds();
        loadUser.push_back(user - userBefore);
        loadSystem.push_back(system - systemBefore);
        loadWall.push_back(static_cast<double>(wall.nsecsElapsed()) / 1e6);
        memory.push_back(static_cast<double>(heapInUse() - heapBefore) / 1e6);
        watches = service.monitor().folders().watchCount();
        documents = service.monitor().documentCount();
        inKernel = kernelWatches();
    }
    std::printf("(monitor_watch_100000: %zu documents, %zu folders watched, %zu inotify watches in the kernel; "
                "%.0f ms CPU in the program, %.0f ms in the kernel for it, %.0f ms on the clock)\n",
                documents, watches, inKernel, median(loadUser), median(loadSystem), median(loadWall));
    printLimit("monitor_watch_100000", median(loadCpu), kWatchLimitMs, "ms_cpu");

    // Unindexed files, ten in each of a thousand watched folders, deleted at once; only the
    // monitor's reading and handling of the deletions is timed.
    constexpr int kBurst = 10000;
    std::vector<std::string> junk;
    for (int k = 0; k < kBurst; ++k)
        junk.push_back(catalog.folderPaths[static_cast<size_t>(k / 10 * 10)] + "/junk-" + std::to_string(k));
    std::vector<double> burstCpu, burstWall;
    for (int run = 0; run < kRuns; ++run) {
        running.junkCreated = running.junkDeleted = 0;
        for (const std::string& file : junk)
            makeEmptyFile(file);
        if (!waitFor([&] { return running.junkCreated == junk.size(); }))
            throw std::runtime_error("the monitor did not see the files made");
        for (const std::string& file : junk)
            ::unlink(file.c_str());
        const double cpuBefore = cpuMilliseconds();
        QElapsedTimer wall;
        wall.start();
        if (!waitFor([&] { return running.junkDeleted == junk.size(); }))
            throw std::runtime_error("the monitor did not see the deletions");
        burstCpu.push_back(cpuMilliseconds() - cpuBefore);
        burstWall.push_back(static_cast<double>(wall.nsecsElapsed()) / 1e6);
    }
    std::printf("(monitor_burst_10000: %.0f ms on the clock; %zu records)\n", median(burstWall),
                service.monitor().pendingRecords().size());
    printLimit("monitor_burst_10000", median(burstCpu), kBurstLimitMs, "ms_cpu");
    printLimit("monitor_memory_100000", median(memory), kMemoryLimitMb, "MB");
    service.unload();
    printLimit("monitor_messages_on_a_sound_catalog", running.messages, 0, "messages");
}

struct SyncFigures {
    double cpu = 0, user = 0, system = 0; // medians, ms
};

// 10,000 records over 1,000 folders: nine documents in ten renamed, one deleted, and the disk
// agreeing with every record, so that each applies and each folder's index file is written (and
// copied aside for Undo first). The
// catalog and the documents lie in a temporary folder under base ("": the usual one).
SyncFigures measureSync(const std::string& base, int folders)
{
    constexpr int kPerFolder = 10;
    const char* usual = std::getenv("TMPDIR");
    const std::string usualBase = usual ? usual : "";
    if (!base.empty())
        ::setenv("TMPDIR", base.c_str(), 1);
    test::TempDir dir;
    if (!base.empty())
        usual ? ::setenv("TMPDIR", usualBase.c_str(), 1) : ::unsetenv("TMPDIR");
    const DocumentCatalog catalog = makeDocumentCatalog(dir.path(), folders, kPerFolder, 43);
    std::string pendingText;
    for (size_t i = 0; i < catalog.indexes.size(); ++i) {
        const auto& [id, path] = catalog.indexes[i];
        std::string newPath;
        if (i % 10 == 9) {
            ::unlink(path.c_str());
        } else {
            newPath = path.substr(0, path.rfind('/')) + "/renamed-" + path.substr(path.rfind('/') + 1);
            fs::rename(path, newPath);
        }
        pendingText += formatPendingChange({id, path, newPath}) + "\r\n";
    }
    const SystemDiskProbe disk;
    std::vector<double> syncCpu, syncUser, syncSystem;
    for (int run = 0; run < kRuns; ++run) {
        for (const auto& [file, text] : catalog.indexFiles)
            writeTextFile(file, text);
        CoreContext core(dir.path());
        core.conf.loadSysConf();
        const std::string pendingFile = core.layout.getTempContentFilePath();
        writeTextFile(pendingFile, pendingText);
        const auto [userBefore, systemBefore] = userAndSystemMilliseconds();
        const double cpuBefore = cpuMilliseconds();
        // As the program does it: the plan shown, every line left ticked, the index files to be
        // changed kept aside for Undo, and the plan applied.
        StoreProblems problems;
        const SyncPlan plan = planPendingFile(core.files, core.store, pendingFile, disk, problems);
        SyncUndo undo(core.store.fileIo(), dir / "state/undo");
        const SyncResult result = applyPendingPlan(core.files, core.store, pendingFile, plan, disk, &undo);
        syncCpu.push_back(cpuMilliseconds() - cpuBefore);
        const auto [user, system] = userAndSystemMilliseconds();
        syncUser.push_back(user - userBefore);
        syncSystem.push_back(system - systemBefore);
        if (result.applied != static_cast<int>(catalog.indexes.size()) || !result.problems.empty() || !problems.empty()
            || !undo.isKept() || result.writtenFolders.size() != catalog.folderIds.size())
            throw std::runtime_error("Sync did not apply every record: " + std::to_string(result.applied));
    }
    return {median(syncCpu), median(syncUser), median(syncSystem)};
}

// Sync writes a thousand new index files, and what the kernel spends making a file depends on
// the file system and on what else the machine does: on some virtual disks a hundred times what
// it spends in memory, and ten times more under load than idle. The limit is on the catalog in
// memory (tmpfs), where the figure is the program's; the figure on the disk is printed beside it.
void benchSync(int folders = 1000)
{
    const SyncFigures onDisk = measureSync("", folders);
    std::printf("(sync_10000 on the disk: %.0f ms CPU, %.0f ms in the program, %.0f ms in the kernel for it)\n",
                onDisk.cpu, onDisk.user, onDisk.system);
    const bool inMemory = ::access("/dev/shm", W_OK) == 0;
    const SyncFigures figures = inMemory ? measureSync("/dev/shm", folders) : onDisk;
    std::printf("(sync_10000%s: %d records applied, %d index files written; %.0f ms in the program, %.0f ms in "
                "the kernel for it)\n",
                inMemory ? " in memory" : " (no /dev/shm: on the disk)", folders * 10, folders, figures.user,
                figures.system);
    printLimit("sync_10000", figures.cpu, kSyncLimitMs, "ms_cpu");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // "sync <folders>": only Sync, on that many folders (for a profiler).
    if (argc == 3 && std::string(argv[1]) == "sync") {
        benchSync(std::stoi(argv[2]));
        return 0;
    }
    benchWatchBurstAndMemory();
    benchSync();
    return 0;
}
