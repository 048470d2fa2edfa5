#include "core/monitor/DiskSync.h"

#include <algorithm>
#include <unordered_set>

#include "core/monitor/SyncPlan.h"

namespace quillory {

std::vector<PendingChange> reduceMonitorRecords(const std::vector<std::string>& lines)
{
    // From the end: the first line met of each index is its last.
    std::vector<PendingChange> reduced;
    std::unordered_set<std::string> seen;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->empty())
            continue;
        PendingChange change;
        parsePendingChange(*line, change);
        if (seen.insert(change.indexId).second)
            reduced.push_back(std::move(change));
    }
    std::reverse(reduced.begin(), reduced.end());
    return reduced;
}

void applyMonitorRecord(SyncCatalog& catalog, const std::string& folderId, const std::string& indexId,
                        const std::string& newPath)
{
    if (newPath.empty())
        catalog.removeIndex(folderId, indexId);
    else
        catalog.setIndexPath(folderId, indexId, newPath);
}

SyncResult synchroniseWithDisk(const std::vector<std::string>& lines, SyncCatalog& catalog, const DiskProbe& disk)
{
    const SyncPlan plan = planSynchronisation(lines, catalog, disk);
    SyncApplied applied = applySyncPlan(plan, catalog, disk);
    SyncResult result;
    result.applied = static_cast<int>(applied.applied.size());
    result.dropped = applied.dropped;
    result.stale = plan.stale + applied.stale;
    result.keptPending = std::move(applied.stillPending);
    result.writtenFolders = std::move(applied.changedFolders);
    for (const std::string& folderId : result.writtenFolders) {
        StoreOutcome outcome = catalog.writeFolder(folderId);
        if (!outcome)
            result.problems.add(std::move(outcome));
    }
    return result;
}

} // namespace quillory
