#include "core/monitor/DiskSync.h"

#include <algorithm>
#include <unordered_set>

#include "core/store/RecordIds.h"

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
    SyncResult result;
    std::unordered_set<std::string> touched;
    for (const PendingChange& change : reduceMonitorRecords(lines)) {
        if (change.newPath == change.oldPath)
            continue; // the document came back: this record only cancels the earlier ones
        const std::string folderId = folderOfIndexId(change.indexId);
        const std::optional<std::string> path = folderId.empty() ? std::nullopt
                                                                 : catalog.indexPath(folderId, change.indexId);
        if (!path || *path != change.oldPath || change.oldPath.empty()) {
            ++result.stale;
            continue;
        }
        if (!disk.isVolumeMounted(change.oldPath)
            || (!change.newPath.empty() && !disk.isVolumeMounted(change.newPath))) {
            result.keptPending.push_back(change);
            continue;
        }
        const bool agrees = change.newPath.empty() ? !disk.exists(change.oldPath) : disk.exists(change.newPath);
        if (!agrees) {
            ++result.dropped;
            continue;
        }
        applyMonitorRecord(catalog, folderId, change.indexId, change.newPath);
        ++result.applied;
        if (touched.insert(folderId).second)
            result.writtenFolders.push_back(folderId);
    }
    for (const std::string& folderId : result.writtenFolders) {
        StoreOutcome outcome = catalog.writeFolder(folderId);
        if (!outcome)
            result.problems.add(std::move(outcome));
    }
    return result;
}

} // namespace quillory
