#include "core/monitor/StoreSyncCatalog.h"

#include <unordered_set>

#include "core/config/StoreReport.h"
#include "core/store/RecordIds.h"
#include "core/store/SafeFile.h"

namespace quillory {

IndexMap& StoreSyncCatalog::folder(const std::string& folderId)
{
    std::shared_ptr<IndexMap>& map = folders_[folderId];
    if (!map)
        map = store_.getCurrentContentMap(folderId, readProblems_);
    return *map;
}

std::optional<std::string> StoreSyncCatalog::indexPath(const std::string& folderId, const std::string& indexId)
{
    const auto record = folder(folderId).getValueByKey(indexId);
    return record ? std::optional(record->cContentPath()) : std::nullopt;
}

void StoreSyncCatalog::setIndexPath(const std::string& folderId, const std::string& indexId, const std::string& path)
{
    if (const auto record = folder(folderId).getValueByKey(indexId))
        record->setCContentPath(path);
}

void StoreSyncCatalog::removeIndex(const std::string& folderId, const std::string& indexId)
{
    folder(folderId).removeMap(indexId);
}

StoreOutcome StoreSyncCatalog::writeFolder(const std::string& folderId)
{
    return store_.writeAllQlrDbDirContent(folderId, FILE_OUTPUT, folder(folderId));
}

namespace {

// The index files of the folders whose indexes the ticked lines would change, once each.
std::vector<std::string> filesToChange(const SyncPlan& plan, const CatalogStore& store)
{
    std::vector<std::string> files;
    std::unordered_set<std::string> folders;
    for (const SyncLine& line : plan.lines) {
        if (!line.ticked || (line.kind != SyncLineKind::Moved && line.kind != SyncLineKind::Deleted))
            continue;
        std::string folderId = folderOfIndexId(line.change.indexId);
        if (folders.insert(folderId).second)
            files.push_back(store.getContentFilePath(folderId));
    }
    return files;
}

} // namespace

SyncPlan planPendingFile(TextFiles& files, CatalogStore& store, const std::string& pendingFile, const DiskProbe& disk,
                         StoreProblems& problems)
{
    std::vector<std::string> lines;
    files.readLines(pendingFile, lines);
    StoreSyncCatalog catalog(store);
    SyncPlan plan = planSynchronisation(lines, catalog, disk);
    problems.append(catalog.readProblems());
    return plan;
}

SyncResult applyPendingPlan(TextFiles& files, CatalogStore& store, const std::string& pendingFile, const SyncPlan& plan,
                            const DiskProbe& disk, SyncUndo* undo)
{
    SyncResult result;
    // A synchronisation that is to change no index file leaves the undo kept as it is.
    const std::vector<std::string> toChange = undo ? filesToChange(plan, store) : std::vector<std::string>();
    const bool keptAside = !toChange.empty();
    if (keptAside) {
        if (StoreOutcome aside = undo->keepAside(toChange); !aside) {
            result.problems.add(std::move(aside));
            result.notApplied = true;
            return result;
        }
    }
    const LeftoverSweepPerAction sweep; // a thousand index files written into one folder: read it once
    StoreSyncCatalog catalog(store);
    SyncApplied applied = applySyncPlan(plan, catalog, disk);
    std::vector<std::string> written;
    for (const std::string& folderId : applied.changedFolders) {
        if (StoreOutcome outcome = catalog.writeFolder(folderId); outcome)
            written.push_back(store.getContentFilePath(folderId));
        else
            result.problems.add(std::move(outcome));
    }
    if (keptAside) {
        if (StoreOutcome sealed = undo->seal(written, applied.applied); !sealed)
            result.problems.add(std::move(sealed));
    }
    std::vector<std::string> kept;
    for (const PendingChange& change : applied.stillPending)
        kept.push_back(formatPendingChange(change));
    StoreProblems problems = catalog.readProblems();
    problems.append(result.problems);
    if (const WriteOutcome emptied = files.writeFile(pendingFile, FILE_OUTPUT, 0, kept); !emptied)
        problems.add(fileWriteOutcome(emptied, pendingFile));
    result.problems = std::move(problems);
    result.applied = static_cast<int>(applied.applied.size());
    result.dropped = applied.dropped;
    result.stale = plan.stale + applied.stale;
    result.keptPending = std::move(applied.stillPending);
    result.writtenFolders = std::move(applied.changedFolders);
    return result;
}

SyncUndo::Restore undoLastSynchronisation(TextFiles& files, CatalogStore& store, const std::string& pendingFile,
                                          SyncUndo& undo)
{
    SyncUndo::Restore restored = undo.restore();
    StoreProblems unused; // the files were read whole before; a read now tells nothing new
    for (const std::string& file : restored.files) {
        const std::string name = file.substr(file.rfind('/') + 1);
        const std::string folderId = name.substr(0, name.rfind('.'));
        if (store.getContentFilePath(folderId) == file)
            store.getCurrentContentMap(folderId, unused);
    }
    if (restored.records.empty())
        return restored;
    std::vector<std::string> lines;
    for (const PendingChange& record : restored.records)
        lines.push_back(formatPendingChange(record));
    files.readLines(pendingFile, lines);
    if (const WriteOutcome written = files.writeFile(pendingFile, FILE_OUTPUT, 0, lines); !written)
        restored.outcome = fileWriteOutcome(written, pendingFile);
    return restored;
}

} // namespace quillory
