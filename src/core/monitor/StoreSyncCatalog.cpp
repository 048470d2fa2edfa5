#include "core/monitor/StoreSyncCatalog.h"

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

} // namespace quillory
