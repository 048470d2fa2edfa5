#include "ui/monitor/MonitorService.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "core/CoreContext.h"
#include "core/catalog_window/DisplayText.h"
#include "core/config/StoreReport.h"
#include "core/monitor/StoreSyncCatalog.h"
#include "core/references/StoreRepairs.h"
#include "core/store/CatalogFileReader.h"
#include "ui/platform/FolderWatcher.h"

namespace quillory {

namespace {

// The records go to the end of the pending-changes file, whole lines in one write.
class PendingFileSink : public PendingChangeSink {
public:
    PendingFileSink(TextFiles& files, std::string path) : files_(files), path_(std::move(path)) {}
    bool appendPendingChanges(const std::vector<PendingChange>& changes) override
    {
        std::vector<std::string> lines;
        lines.reserve(changes.size());
        for (const PendingChange& change : changes)
            lines.push_back(formatPendingChange(change));
        written = files_.writeFile(path_, FILE_APPEND, 0, lines);
        return static_cast<bool>(written);
    }
    WriteOutcome written;

private:
    TextFiles& files_;
    std::string path_;
};

} // namespace

// A load under way: the index files to read, given on the window thread, and what the worker
// hands back once it has read them and the monitor has taken the documents.
struct MonitorService::Loading {
    std::string root;                                       // the records read point at it
    std::vector<std::pair<std::string, std::string>> files; // folder id, its index file
    std::atomic<bool> stop{false};
    std::unordered_map<std::string, std::vector<std::string>> folders;
    WatchChanges changes;
    unsigned generation = 0;
    std::thread thread;
};

MonitorService::MonitorService(CoreContext& core, FolderWatcher& watcher, QObject* parent)
    : QObject(parent), core_(core), watcher_(watcher), monitor_(disk_, [this] {
          // While unloading, a move whose second half has not come yet is not waited for.
          return flushingMoves_ ? MonitorClock::now() + std::chrono::hours(1) : MonitorClock::now();
      })
{
    minuteTimer_.setSingleShot(true);
    moveTimer_.setSingleShot(true);
    connect(&minuteTimer_, &QTimer::timeout, this, [this] { tick(); });
    connect(&moveTimer_, &QTimer::timeout, this, [this] { expireMoves(); });
    connect(&watcher_, &FolderWatcher::noticed, this, [this](const WatchNotice& notice) { take(notice); });
    storeListener_ = core_.store.addChangeListener([this](const StoreChange& change) {
        if (change.kind != StoreChange::Kind::IndexFile)
            return;
        if (loaded_)
            followFolder(change.dirId);
        else if (loading_)
            changedWhileLoading_.insert(change.dirId); // followed once the load is in
    });
}

MonitorService::~MonitorService()
{
    core_.store.removeChangeListener(storeListener_);
    unload();
}

void MonitorService::load()
{
    unload();
    if (core_.store.getDirFilePath().empty())
        return;
    pendingFile_ = core_.layout.getTempContentFilePath();
    counter_ = MinuteCounter(core_.conf.getMonitorAutoWriteInterval());
    auto job = std::make_unique<Loading>();
    job->root = core_.store.getRootPath();

    // Nothing else touches the change monitor until the worker is done: notices are not taken
    // and the watcher is not started before finishLoad().
    loading_ = std::move(job);
    loading_->generation = ++generation_;
    if (!workerHeld_)
        startWorker();
}

void MonitorService::holdWorker(bool held)
{
    workerHeld_ = held;
    if (!held && loading_ && !loading_->thread.joinable())
        startWorker();
}

void MonitorService::startWorker()
{
    Loading* loading = loading_.get();
    // Only the paths here, when the worker starts (at the program's start, once the window is on
    // screen): the folder file is read for the tree anyway, and the index files are read aside
    // from the store, so that its caches hold only what the window asks for. What is wrong with
    // the folder file is not told here either: the tree tells it.
    StoreProblems problems;
    const CatalogPaths& paths = core_.store.paths();
    for (const std::string& dirId : core_.store.getAllDirMap(problems)->getKeyCol())
        loading->files.emplace_back(dirId, paths.indexFile(dirId));
    loading->thread = std::thread([this, loading, generation = loading->generation, &io = core_.store.fileIo()] {
        std::vector<IndexedDocument> documents;
        for (const auto& [dirId, file] : loading->files) {
            if (loading->stop)
                return;
            // What is wrong with the file is not told here: the window reads it too and tells it.
            const IndexFileRead read = readIndexFile(io, file, &loading->root);
            std::vector<std::string>& known = loading->folders[dirId];
            read.map->forEach([&](const std::string& id, const auto& record) {
                documents.push_back({id, record->cContentPath()});
                known.push_back(id);
            });
        }
        if (loading->stop)
            return;
        loading->changes = monitor_.load(documents);
        if (loading->stop)
            return;
        if (!monitor_.rememberIdentities(&loading->stop))
            return;
        QMetaObject::invokeMethod(
            this, [this, generation] { finishLoad(generation); }, Qt::QueuedConnection);
    });
}

void MonitorService::finishLoad(unsigned generation)
{
    if (!loading_ || generation != generation_)
        return; // given up meanwhile
    const std::unique_ptr<Loading> loading = std::move(loading_);
    loading->thread.join();
    folders_ = std::move(loading->folders);
    loaded_ = true;
    follow(std::move(loading->changes), true);
    std::unordered_set<std::string> changed;
    changed.swap(changedWhileLoading_);
    for (const std::string& dirId : changed)
        followFolder(dirId);
    if (!monitor_.pendingRecords().empty())
        minuteTimer_.start(counter_.firstDelay()); // records a write could not take before
    emit loadedChanged(true);
}

void MonitorService::cancelLoad()
{
    if (!loading_)
        return;
    loading_->stop = true;
    if (loading_->thread.joinable()) // not when it was held back
        loading_->thread.join();
    loading_.reset();
    ++generation_; // a finish already on its way finds nothing to finish
    changedWhileLoading_.clear();
    monitor_.unload(); // what the worker built; nothing was watched yet
}

void MonitorService::unload()
{
    cancelLoad();
    if (!loaded_)
        return;
    flushingMoves_ = true;
    follow(monitor_.expireMoves());
    flushingMoves_ = false;
    loaded_ = false;
    watcher_.stop();
    monitor_.unload();
    folders_.clear();
    moveTimer_.stop();
    minuteTimer_.stop();
    writeRecords();
    emit loadedChanged(false);
}

void MonitorService::writeRecordsAtExit()
{
    if (loaded_)
        writeRecords(false); // no window to tell it in, when it fails
}

void MonitorService::writeRecords(bool tellFailure)
{
    if (pendingFile_.empty() || monitor_.pendingRecords().empty())
        return;
    PendingFileSink sink(core_.files, pendingFile_);
    if (!monitor_.writePendingRecords(sink) && tellFailure) {
        // Kept for the next write; the user can make room or give the file back its rights.
        MessageBatch batch(core_.messages);
        report(core_.messages, fileWriteOutcome(sink.written, pendingFile_));
    }
}

void MonitorService::take(const WatchNotice& notice)
{
    if (!loaded_)
        return;
    follow(monitor_.take(notice));
    armMoveTimer();
    if (!minuteTimer_.isActive())
        minuteTimer_.start(counter_.firstDelay());
    emit noticeTaken(notice);
}

void MonitorService::expireMoves()
{
    if (!loaded_)
        return;
    follow(monitor_.expireMoves());
    armMoveTimer();
}

void MonitorService::armMoveTimer()
{
    const std::optional<MonitorClock::time_point> deadline = monitor_.moveDeadline();
    if (!deadline) {
        moveTimer_.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - MonitorClock::now());
    moveTimer_.start(std::max(wait, std::chrono::milliseconds(0)));
}

void MonitorService::tick()
{
    const MinuteCounter::Tick tick = counter_.tick();
    if (tick.write)
        writeRecords();
    if (tick.running)
        minuteTimer_.start(tick.next);
}

void MonitorService::follow(WatchChanges changes, bool starting)
{
    for (const int watch : changes.watchesToRemove)
        watcher_.unwatch(watch);
    bool limitReached = false;
    if (starting) {
        const WatchStart started = watcher_.start(changes.foldersToWatch);
        for (size_t i = 0; i < changes.foldersToWatch.size() && i < started.watches.size(); ++i)
            monitor_.setWatch(changes.foldersToWatch[i], started.watches[i]);
        limitReached = started.limitReached;
    } else {
        for (const std::string& folder : changes.foldersToWatch) {
            const WatchResult result = watcher_.watch(folder);
            monitor_.setWatch(folder, result.watch);
            limitReached = limitReached || result.outcome == WatchOutcome::LimitReached;
        }
    }
    if (limitReached && !limitTold_) {
        limitTold_ = true; // once: the limit stays reached, and what is watched stays watched
        MessageBatch batch(core_.messages);
        core_.messages.show("Msg022");
    }
}

void MonitorService::followFolder(const std::string& dirId)
{
    MessageBatch batch(core_.messages);
    StoreProblems problems;
    std::unordered_map<std::string, std::string> now;
    core_.store.getDirContentMap(dirId, problems)->forEach([&](const std::string& id, const auto& record) {
        now.emplace(id, record->cContentPath());
    });
    // The monitor has the path each index had when given to it; web addresses it leaves out.
    std::vector<std::string>& known = folders_[dirId];
    WatchChanges changes;
    for (const std::string& id : known) {
        if (!now.count(id))
            changes.append(monitor_.removeDocument(id));
    }
    known.clear();
    for (const auto& [id, path] : now) {
        known.push_back(id);
        const std::optional<std::string> given = monitor_.loadedPathOf(id);
        if (given && *given == path)
            continue;
        if (given)
            changes.append(monitor_.removeDocument(id));
        changes.append(monitor_.addDocument({id, path}));
    }
    report(core_.messages, problems);
    follow(std::move(changes));
}

std::string MonitorService::undoFolder() const
{
    return syncUndoFolder(userStateHome(), core_.store.getDirFilePath());
}

bool MonitorService::isUndoKept() const
{
    const std::string folder = undoFolder();
    return !folder.empty() && SyncUndo(core_.store.fileIo(), folder).isKept();
}

void MonitorService::synchronise(const Preview& preview)
{
    MessageBatch batch(core_.messages);
    unload();
    const std::string pendingFile = core_.layout.getTempContentFilePath();
    StoreProblems problems;
    SyncPlan plan = planPendingFile(core_.files, core_.store, pendingFile, disk_, problems);
    report(core_.messages, problems);
    if (!plan.lines.empty() && !preview(plan)) {
        load(); // cancelled: the records stay pending
        return;
    }
    // Without a home folder there is nowhere to keep an undo: Sync goes on without one.
    const std::string folder = undoFolder();
    SyncUndo undo(core_.store.fileIo(), folder);
    const SyncResult result = applyPendingPlan(core_.files, core_.store, pendingFile, plan, disk_,
                                               folder.empty() ? nullptr : &undo);
    report(core_.messages, result.problems);
    if (!result.notApplied)
        core_.messages.show("Msg006");
    load();
}

RepairResult MonitorService::repair(const RepairPlan& plan)
{
    if (std::none_of(plan.lines.begin(), plan.lines.end(), [](const RepairLine& line) { return line.ticked; }))
        return {}; // the user unticked every line: nothing to do, nothing to say
    MessageBatch batch(core_.messages);
    const bool wasLoaded = loaded_ || loading_;
    unload();
    const std::string folder = undoFolder();
    SyncUndo undo(core_.store.fileIo(), folder);
    RepairResult result = applyRepairPlan(core_.store, plan, folder.empty() ? nullptr : &undo);
    report(core_.messages, result.problems);
    if (!result.notApplied && result.applied + result.stale > 0) {
        const std::string applied = std::to_string(result.applied);
        core_.messages.showText(result.stale == 0
                                    ? withValues(core_.conf.text("Msg025"), {applied})
                                    : withValues(core_.conf.text("Msg026"), {applied, std::to_string(result.stale)}));
    }
    if (wasLoaded)
        load();
    return result;
}

void MonitorService::undoSynchronisation()
{
    MessageBatch batch(core_.messages);
    unload();
    SyncUndo undo(core_.store.fileIo(), undoFolder());
    const SyncUndo::Restore restored = undoLastSynchronisation(core_.files, core_.store,
                                                               core_.layout.getTempContentFilePath(), undo);
    if (report(core_.messages, restored.outcome))
        core_.messages.show("Msg030");
    load();
}

} // namespace quillory
