#include "core/monitor/StoreSyncCatalog.h"

#include "core/config/StoreReport.h"
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

SyncResult synchronisePendingFile(TextFiles& files, CatalogStore& store, const std::string& pendingFile,
                                  const DiskProbe& disk)
{
    std::vector<std::string> lines;
    files.readLines(pendingFile, lines);
    const LeftoverSweepPerAction sweep; // a thousand index files written into one folder: read it once
    StoreSyncCatalog catalog(store);
    SyncResult result = synchroniseWithDisk(lines, catalog, disk);
    std::vector<std::string> kept;
    for (const PendingChange& change : result.keptPending)
        kept.push_back(formatPendingChange(change));
    StoreProblems problems = catalog.readProblems();
    problems.append(result.problems);
    if (const WriteOutcome emptied = files.writeFile(pendingFile, FILE_OUTPUT, 0, kept); !emptied)
        problems.add(fileWriteOutcome(emptied, pendingFile));
    result.problems = std::move(problems);
    return result;
}

} // namespace quillory
