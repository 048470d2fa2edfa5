#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/monitor/DiskProbe.h"
#include "core/monitor/PendingChange.h"
#include "core/store/StoreOutcome.h"

namespace quillory {

// What the synchronisation needs of the catalog: an index's path, changing it or taking the
// index out, and writing a folder's indexes once its records are applied.
class SyncCatalog {
public:
    virtual ~SyncCatalog() = default;
    // The index's path, or std::nullopt when its folder holds no such index.
    virtual std::optional<std::string> indexPath(const std::string& folderId, const std::string& indexId) = 0;
    virtual void setIndexPath(const std::string& folderId, const std::string& indexId, const std::string& path) = 0;
    virtual void removeIndex(const std::string& folderId, const std::string& indexId) = 0;
    virtual StoreOutcome writeFolder(const std::string& folderId) = 0;
};

// The lines of the pending-changes file, one record per index: the last line of each index, in
// the order of those last lines.
std::vector<PendingChange> reduceMonitorRecords(const std::vector<std::string>& lines);

// Gives the index its new path, or takes it out of its folder when the new path is empty. The
// folder is not written.
void applyMonitorRecord(SyncCatalog& catalog, const std::string& folderId, const std::string& indexId,
                        const std::string& newPath);

struct SyncResult {
    int applied = 0;
    int dropped = 0; // the disk said otherwise (the old path still there, or the new one not there),
                     // or the document came back
    int stale = 0;   // the index is gone, or its path changed since the record was made
    // Records of documents on a volume not mounted now: they go back to the pending-changes file.
    std::vector<PendingChange> keptPending;
    // The folders written, once each, in the order their first applied record came.
    std::vector<std::string> writtenFolders;
    StoreProblems problems; // writes that failed
    // The index files could not be copied aside for Undo, so nothing was changed.
    bool notApplied = false;
};

// Applies the pending-changes file's lines to the catalog, as the whole plan of SyncPlan.h
// ticked. Each record applies only to an index whose path is still exactly the record's old
// path, and only when the disk agrees: a deletion when nothing is at the old path any more, a
// rename when something is at the new path. A record whose volume is not mounted is kept, not
// judged.
SyncResult synchroniseWithDisk(const std::vector<std::string>& lines, SyncCatalog& catalog, const DiskProbe& disk);

} // namespace quillory
