#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/monitor/DiskProbe.h"
#include "core/monitor/MovePairing.h"
#include "core/monitor/PendingChange.h"
#include "core/monitor/PendingRecords.h"
#include "core/monitor/RecentDepartures.h"
#include "core/monitor/WatchEvent.h"
#include "core/monitor/WatchedFolderTree.h"

namespace quillory {

// Whether a plain path lies in a desktop trash folder.
bool isInTrash(std::string_view plain);

// An index and the path of its document, as the catalog holds it.
struct IndexedDocument {
    std::string indexId;
    std::string path;
};

// What the watcher is to do after the monitor took a change: start watching these folders (the
// upper ones first; tell the monitor each watch with setWatch) and stop these watches.
struct WatchChanges {
    std::vector<std::string> foldersToWatch;
    std::vector<int> watchesToRemove;
    bool empty() const { return foldersToWatch.empty() && watchesToRemove.empty(); }
    void append(WatchChanges&& more);
};

// Where the monitor's records go when they are written: the end of the pending-changes file.
class PendingChangeSink {
public:
    virtual ~PendingChangeSink() = default;
    // False when they could not be written; the monitor then keeps them.
    virtual bool appendPendingChanges(const std::vector<PendingChange>& changes) = 0;
};

// Follows the indexed documents on disk while a catalog is open, and notes one record per index
// whose document was renamed, moved or deleted: the index, its path when the monitor was
// loaded, and where the document is now ("" when it is gone). It changes nothing in the catalog;
// the synchronisation applies the records later (DiskSync.h).
//
// A notice matches the documents whose path is exactly the notified one, or lies below it when
// the notified item is a folder. A folder renamed or moved records every index below it, each
// with its own new path. A file that appears where a document left a moment before (an editor
// that renames the document aside, or deletes it, and writes it anew) is that document back:
// its index stays there, and where it is back where it was loaded, its record is taken back.
//
// Nothing here touches the disk or a clock: the watcher's notices come in as plain values, the
// time from the clock given, and all the monitor knows of the disk from the probe given, which
// it asks only when events were lost (and, on request, for the identities of the documents).
// The records survive unload() and load(); everything else is built afresh by load().
class ChangeMonitor {
public:
    using Clock = std::function<MonitorClock::time_point()>;
    static constexpr std::chrono::milliseconds kMoveGrace{250};

    ChangeMonitor(const DiskProbe& disk, Clock clock, std::chrono::milliseconds moveGrace = kMoveGrace);
    ChangeMonitor(const ChangeMonitor&) = delete; // its departures refer to its own tree
    ChangeMonitor& operator=(const ChangeMonitor&) = delete;

    // Takes the documents of the catalog just opened; every folder to watch is in the result.
    WatchChanges load(const std::vector<IndexedDocument>& documents);
    // Forgets the documents; every watch is in the result. The records stay.
    WatchChanges unload();
    // Asks the probe for the identity of every document and folder, so that a document can be
    // recognised under a new name after events were lost. A catalog's worth of questions takes
    // a while: when stop is set meanwhile, it gives up at once, knowing none, and returns false.
    bool rememberIdentities(const std::atomic<bool>* stop = nullptr);
    // The watcher watches folder as watch (kNoWatch: it could not).
    void setWatch(const std::string& folder, int watch);

    // An index added to the catalog, or one taken out of it (its record goes with it).
    WatchChanges addDocument(const IndexedDocument& document);
    WatchChanges removeDocument(const std::string& indexId);

    // One notice of the watcher. The halves of a move are joined first, so what it brings may
    // be handled later, by a later take() or by expireMoves() once moveDeadline() has passed.
    WatchChanges take(const WatchNotice& notice);
    WatchChanges expireMoves();
    std::optional<MonitorClock::time_point> moveDeadline() const { return pairing_.deadline(); }

    // One change with its paths: a rename or move, a creation, a deletion, or lost events.
    WatchChanges HandleShellNotify(const WatchEvent& event);
    // After lost events: looks at the disk through the probe for every document, recognising a
    // document under a new name in a watched folder by its identity, and records what has gone
    // or moved. Folders renamed in place are recognised the same way.
    WatchChanges compareWithDisk();

    // "<index id>|<current path>" of the first index, in load order, whose document is at path
    // now; "" when there is none.
    std::string findMonitorEntry(std::string_view path) const;
    // The path the index had when loaded, and where its document is now ("" when gone); both
    // std::nullopt for an index the monitor does not follow.
    std::optional<std::string> loadedPathOf(const std::string& indexId) const;
    std::optional<std::string> currentPathOf(const std::string& indexId) const;

    const PendingRecords& pendingRecords() const { return pending_; }
    // Appends the records to sink and forgets them; true when there was nothing to write or it
    // was written.
    bool writePendingRecords(PendingChangeSink& sink);

    const WatchedFolderTree& folders() const { return tree_; }
    size_t documentCount() const { return byId_.size(); }

private:
    // A catalog holds hundreds of thousands of these, so a document keeps its name only when
    // it differs from the last part of its loaded path.
    struct Document {
        std::string id;
        std::string loadedPath; // as the catalog gave it
        std::string name;       // where it is now: in folder, under name ("": its loaded name)
        FolderNode folder = kNoFolder;
        uint32_t loadedNameAt = 0; // where the loaded path holds the document's name
        uint32_t loadedNameSize = 0;
        bool gone = false;
        bool used = true;
    };
    using Slot = RecentDepartures::Document;

    // keepSorted: put it in its place in its folder's list now (load sorts the lists at the end).
    std::optional<Slot> addOne(const IndexedDocument& document, std::vector<FolderNode>& added, bool keepSorted);
    void removeOne(Slot slot, std::vector<int>& dropped);
    std::string_view loadedNameOf(const Document& doc) const;
    std::string_view nameOf(const Document& doc) const { return doc.name.empty() ? loadedNameOf(doc) : doc.name; }
    FileIdentity identityOf(Slot slot) const { return slot < identities_.size() ? identities_[slot] : FileIdentity{}; }
    void setIdentity(Slot slot, FileIdentity identity);
    std::string currentPath(const Document& doc) const;
    std::vector<Slot>& documentsIn(FolderNode node);
    // The documents in folder under name, gone ones left out.
    std::vector<Slot> documentsAt(FolderNode folder, std::string_view name) const;
    // Puts the document in folder under name (gone: seen there last) and drops the folders no
    // longer needed, appending their watches to dropped. Back where it left, it is back.
    void place(Slot slot, FolderNode folder, std::string name, bool gone, std::vector<int>& dropped);
    // The document leaves where it is now (see RecentDepartures) for folder and name.
    void moveDocument(Slot slot, FolderNode folder, const std::string& name, std::vector<int>& dropped);
    void noteDeparture(Slot slot, std::vector<int>& dropped);
    void dropDeparture(Slot slot, std::vector<int>& dropped);
    void expireDepartures(std::vector<int>& dropped);
    // Notes the document's new place as its record (or takes the record back when it is where
    // it was loaded).
    void record(Slot slot);
    WatchChanges changesFrom(const std::vector<FolderNode>& added, std::vector<int>&& dropped);

    WatchChanges moved(const std::string& from, const std::string& to);
    WatchChanges arrived(const std::string& path);
    WatchChanges departed(const std::string& path);
    // Documents that left path a moment ago are back there.
    void comeBack(const std::string& path, std::vector<int>& dropped);
    WatchChanges handleJoined(const JoinedNotice& joined);
    std::optional<std::string> pathOfNotice(const WatchNotice& notice) const;

    const DiskProbe& disk_;
    Clock clock_;
    MovePairing pairing_;
    WatchedFolderTree tree_;
    std::deque<Document> documents_;
    std::vector<Slot> freeSlots_;
    std::unordered_map<std::string_view, Slot> byId_; // views into the documents' ids
    std::vector<std::vector<Slot>> documentsIn_;      // by folder node, each sorted by name
    RecentDepartures departures_;                     // on tree_
    std::string lastParent_;                          // the folder of the document added last, while loading
    FolderNode lastFolder_ = kNoFolder;
    std::unordered_set<int> retiredWatches_; // asked to stop: late notices of theirs are not news
    bool identitiesKnown_ = false;
    std::vector<FileIdentity> identities_; // by slot, once asked for
    PendingRecords pending_;
    std::unordered_set<std::string> written_; // indexes with a record written since the load
};

} // namespace quillory
