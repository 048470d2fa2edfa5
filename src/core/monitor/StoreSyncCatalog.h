#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "core/monitor/DiskSync.h"
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

// Sync on the open catalog: the pending-changes file applied to the store where the disk agrees
// (synchroniseWithDisk), then emptied by a whole new file, so that a crash before leaves the
// records to be found stale by the next Sync, never lost. The records of volumes not mounted stay
// in it. The result's problems hold all that reading and writing the files came upon.
SyncResult synchronisePendingFile(TextFiles& files, CatalogStore& store, const std::string& pendingFile,
                                  const DiskProbe& disk);

} // namespace quillory
