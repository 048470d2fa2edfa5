#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "core/monitor/DiskSync.h"
#include "core/monitor/SyncPlan.h"
#include "core/monitor/SyncUndo.h"
#include "core/store/CatalogStore.h"
#include "core/store/TextFiles.h"

namespace quillory {

// The synchronisation's view of the open catalog's store. Each folder is read (again, when
// another program changed its index file) the first time it is asked for, and its records are
// changed in the store's own cache, which writeFolder then writes.
class StoreSyncCatalog : public SyncCatalog {
public:
    explicit StoreSyncCatalog(CatalogStore& store) : store_(store) {}

    std::optional<std::string> indexPath(const std::string& folderId, const std::string& indexId) override;
    void setIndexPath(const std::string& folderId, const std::string& indexId, const std::string& path) override;
    void removeIndex(const std::string& folderId, const std::string& indexId) override;
    StoreOutcome writeFolder(const std::string& folderId) override;

    // What reading the folders came upon.
    const StoreProblems& readProblems() const { return readProblems_; }

private:
    IndexMap& folder(const std::string& folderId);

    CatalogStore& store_;
    std::unordered_map<std::string, std::shared_ptr<IndexMap>> folders_;
    StoreProblems readProblems_;
};

// Sync on the open catalog, in two steps so that the user can see the plan first.
//
// The pending-changes file as a plan (SyncPlan.h); nothing is changed. What reading the folders
// came upon goes to problems.
SyncPlan planPendingFile(TextFiles& files, CatalogStore& store, const std::string& pendingFile, const DiskProbe& disk,
                         StoreProblems& problems);
// The plan's ticked lines applied to the store where the disk still agrees, then the
// pending-changes file replaced by a whole new one holding the records that stay pending
// (unticked lines, volumes not mounted), so that a crash before leaves the records to be found
// stale by the next Sync, never lost. With undo, the index files to be changed are copied aside
// first; when that fails nothing is changed at all (notApplied, and the problem says why). The
// result's problems hold all that reading and writing the files came upon.
SyncResult applyPendingPlan(TextFiles& files, CatalogStore& store, const std::string& pendingFile, const SyncPlan& plan,
                            const DiskProbe& disk, SyncUndo* undo);
// Undo last synchronisation: the index files put back (see SyncUndo), the store reading them
// again (its listeners are told), and the records that the synchronisation applied put back at
// the start of the pending-changes file, before any written since, so that the next Sync
// offers them again. The outcome is the restore's, or the failure to write the pending file.
SyncUndo::Restore undoLastSynchronisation(TextFiles& files, CatalogStore& store, const std::string& pendingFile,
                                          SyncUndo& undo);

} // namespace quillory
