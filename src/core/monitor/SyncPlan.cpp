#include "core/monitor/SyncPlan.h"

#include <optional>
#include <unordered_set>

#include "core/store/RecordIds.h"

namespace quillory {

namespace {

// What the record comes to now; std::nullopt when it no longer fits the catalog.
std::optional<SyncLineKind> judge(const PendingChange& change, SyncCatalog& catalog, const DiskProbe& disk)
{
    const std::string folderId = folderOfIndexId(change.indexId);
    const std::optional<std::string> path = folderId.empty() ? std::nullopt
                                                             : catalog.indexPath(folderId, change.indexId);
    if (!path || *path != change.oldPath || change.oldPath.empty())
        return std::nullopt;
    if (change.newPath == change.oldPath)
        return SyncLineKind::Kept; // the document came back: the record only cancels earlier ones
    if (!disk.isVolumeMounted(change.oldPath) || (!change.newPath.empty() && !disk.isVolumeMounted(change.newPath)))
        return SyncLineKind::Offline;
    // Editors that save by renaming or deleting the old file and writing it anew leave records
    // that the disk then contradicts.
    if (change.newPath.empty())
        return disk.exists(change.oldPath) ? SyncLineKind::Kept : SyncLineKind::Deleted;
    return disk.exists(change.newPath) ? SyncLineKind::Moved : SyncLineKind::Kept;
}

} // namespace

const char* captionKeyOf(const SyncLine& line)
{
    switch (line.kind) {
    case SyncLineKind::Moved: return "MF_SyncPreview_Moved";
    case SyncLineKind::Deleted: return "MF_SyncPreview_Deleted";
    case SyncLineKind::Kept:
        return line.change.newPath.empty() || line.change.newPath == line.change.oldPath
                   ? "MF_SyncPreview_Kept"
                   : "MF_SyncPreview_KeptNoTarget";
    case SyncLineKind::Offline: return "MF_SyncPreview_Offline";
    }
    return "";
}

SyncPlan planSynchronisation(const std::vector<std::string>& lines, SyncCatalog& catalog, const DiskProbe& disk)
{
    SyncPlan plan;
    for (PendingChange& change : reduceMonitorRecords(lines)) {
        const std::optional<SyncLineKind> kind = judge(change, catalog, disk);
        if (kind)
            plan.lines.push_back({*kind, std::move(change), true});
        else
            ++plan.stale;
    }
    return plan;
}

SyncApplied applySyncPlan(const SyncPlan& plan, SyncCatalog& catalog, const DiskProbe& disk)
{
    SyncApplied result;
    std::unordered_set<std::string> changed;
    for (const SyncLine& line : plan.lines) {
        if (!line.ticked || line.kind == SyncLineKind::Offline) {
            result.stillPending.push_back(line.change);
            continue;
        }
        if (line.kind == SyncLineKind::Kept) {
            ++result.dropped;
            continue;
        }
        const std::optional<SyncLineKind> now = judge(line.change, catalog, disk);
        if (!now) {
            ++result.stale;
            continue;
        }
        if (*now != line.kind) {
            result.stillPending.push_back(line.change);
            continue;
        }
        const std::string folderId = folderOfIndexId(line.change.indexId);
        applyMonitorRecord(catalog, folderId, line.change.indexId, line.change.newPath);
        result.applied.push_back(line.change);
        if (changed.insert(folderId).second)
            result.changedFolders.push_back(folderId);
    }
    return result;
}

} // namespace quillory
