#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/monitor/ChangeMonitor.h"
#include "core/monitor/MinuteCounter.h"
#include "ui/platform/SystemDiskProbe.h"

namespace quillory {

class FolderWatcher;
struct CoreContext;
struct StoreChange;
struct SyncPlan;
struct RepairPlan;
struct RepairResult;

// The change monitor of the open catalog, on the folder watcher and the disk: loaded when a
// catalog opens, unloaded when it closes, at exit and around Sync. While loaded it follows the
// store, so that an index added, moved or deleted in the window is watched or dropped at once,
// and writes its records to the end of the catalog's pending-changes file on the minute that
// MonitorAutoWriteInterval names, and whenever it is unloaded.
class MonitorService : public QObject {
    Q_OBJECT
public:
    MonitorService(CoreContext& core, FolderWatcher& watcher, QObject* parent = nullptr);
    ~MonitorService() override;

    // Takes the indexes of the open catalog (unloading what was loaded before). Only the paths
    // are taken here: the index files are read, and the documents looked at, on a thread of
    // its own, and the watches start once that is done (loadedChanged tells it).
    void load();
    // Stops watching and writes the records held; a load still under way is given up.
    void unload();
    // The program ends without its event loop (the X server went away): the records held are
    // written as they are, and nothing is shown or sent on. A move whose second half has not
    // come is left out.
    void writeRecordsAtExit();
    bool isLoaded() const { return loaded_; }
    bool isLoading() const { return loading_ != nullptr; }
    // While held, a load reads nothing: its worker starts when the hold ends (the program holds
    // it until its window is first on screen, so that the start is not slowed down by it).
    void holdWorker(bool held);

    // The disk synchronisation: the monitor unloaded (its records written) and the
    // pending-changes file made a plan. When the plan has lines, preview shows them and may
    // untick some; when it says no, nothing changes and the records stay pending. Otherwise the
    // index files to be changed are kept aside for Undo, the ticked lines applied where the disk
    // agrees, the pending-changes file left holding what stays pending, and Msg006 told. The
    // monitor is loaded again in every case.
    using Preview = std::function<bool(SyncPlan& plan)>;
    void synchronise(const Preview& preview);
    // Undo last synchronisation: the monitor unloaded, the index files put back (or, when one
    // was changed since, nothing, and Err037 told), its records pending again, and Msg030 told.
    void undoSynchronisation();
    // Whether an undo is kept for the open catalog.
    bool isUndoKept() const;
    // Repairs of moved documents the user chose: the monitor unloaded, the index files to be
    // changed kept aside for Undo last synchronisation, the ticked lines applied where they still
    // fit, Msg025 (or Msg026 with those that no longer fit) told, the monitor loaded again.
    RepairResult repair(const RepairPlan& plan);

    const ChangeMonitor& monitor() const { return monitor_; }

signals:
    // A notice of the watcher has been taken (tests wait for one).
    void noticeTaken(const quillory::WatchNotice& notice);
    // The monitor is loaded (watching) or unloaded.
    void loadedChanged(bool loaded);

private:
    struct Loading;
    void startWorker();
    void finishLoad(unsigned generation);
    void cancelLoad();
    void take(const WatchNotice& notice);
    void follow(WatchChanges changes, bool starting = false);
    void followFolder(const std::string& dirId);
    void expireMoves();
    void armMoveTimer();
    void tick();
    // Writes the records held to the pending-changes file; a failure is told when tellFailure.
    void writeRecords(bool tellFailure = true);
    std::string undoFolder() const;

    CoreContext& core_;
    FolderWatcher& watcher_;
    SystemDiskProbe disk_;
    ChangeMonitor monitor_;
    MinuteCounter counter_{1};
    QTimer minuteTimer_;
    QTimer moveTimer_;
    bool loaded_ = false;
    bool workerHeld_ = false;
    bool limitTold_ = false;
    bool flushingMoves_ = false;
    std::string pendingFile_; // of the catalog loaded
    // The indexes of each folder as the monitor was last given them (their ids: the monitor
    // keeps their paths).
    std::unordered_map<std::string, std::vector<std::string>> folders_;
    int storeListener_ = 0;
    // The load under way, and the folders whose index file was written meanwhile.
    std::unique_ptr<Loading> loading_;
    unsigned generation_ = 0;
    std::unordered_set<std::string> changedWhileLoading_;
};

} // namespace quillory
