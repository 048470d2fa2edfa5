// The folder half of the store: the folder file and the cache of all folders.
#include "core/store/CatalogStore.h"

#include "core/store/FolderWalk.h"
#include "core/store/IdAllocation.h"
#include "core/store/RecordFormat.h"
#include "core/store/RecordIds.h"
#include "core/store/TextFiles.h"

namespace quillory {

CatalogStore::CatalogStore(TextFiles& files) : files_(files), dirMapCache_(std::make_shared<FolderMap>()) {}

std::string_view CatalogStore::getFieldSeparator()
{
    return quillory::getFieldSeparator();
}

std::shared_ptr<FolderMap> CatalogStore::getAllDirMap(StoreProblems& problems)
{
    const std::string path = getDirFilePath();
    if (!needsReading(path, dirsRead_ ? dirMapCache_ : nullptr, dirMapCache_->getCount() == 0))
        return dirMapCache_;
    FolderFileRead read = readFolderFile(files_.io(), path);
    takeRead(path, read, problems);
    rememberRead(path, read);
    dirMapCache_ = std::move(read.map);
    dirsRead_ = true;
    // Each folder's index file is remembered too once it is read: room for them all at once.
    snapshots_.reserve(static_cast<size_t>(dirMapCache_->getCount()) + 1);
    return dirMapCache_;
}

std::string CatalogStore::getNewDirId(StoreProblems& problems)
{
    const auto current = getCurrentDirMap(problems);
    return smallestFreeId(*current, std::string(kFolderIdPrefix));
}

FolderChildren CatalogStore::getFolderChildren(StoreProblems& problems)
{
    FolderChildren children;
    getAllDirMap(problems)->forEach([&children](const std::string&, const std::shared_ptr<FolderRecord>& folder) {
        children[folder->parentDirId].push_back(folder);
    });
    return children;
}

void CatalogStore::getQlrDirsByParentId(const std::string& parentId, bool subtree, FolderMap& map,
                                        StoreProblems& problems)
{
    const auto all = getAllDirMap(problems);
    if (!subtree) {
        all->forEach([&](const std::string& key, const std::shared_ptr<FolderRecord>& folder) {
            if (folder->parentDirId == parentId)
                map.addMap(key, folder);
        });
        return;
    }
    map.reserve(static_cast<size_t>(map.getCount() + all->getCount()));
    FolderWalk(*all, parentId).walk([&map](const std::shared_ptr<FolderRecord>& folder) {
        map.addMap(folder->dirId, folder);
    });
}

void CatalogStore::getDirIdsByParentId(const std::string& parentId, bool subtree, std::vector<std::string>& ids,
                                       StoreProblems& problems)
{
    FolderMap folders;
    getQlrDirsByParentId(parentId, subtree, folders, problems);
    std::unordered_set<std::string> present(ids.begin(), ids.end());
    folders.forEach([&](const std::string& key, const std::shared_ptr<FolderRecord>&) {
        if (present.insert(key).second)
            ids.push_back(key);
    });
}

std::shared_ptr<FolderRecord> CatalogStore::getQlrDirById(const std::string& id, StoreProblems& problems)
{
    return getAllDirMap(problems)->getValueByKey(id);
}

StoreOutcome CatalogStore::writeAllQlrDbDir(WriteMode mode, const FolderMap& map)
{
    const std::string path = getDirFilePath();
    const FolderMap* toWrite = &map;
    FolderMap merged;
    StoreProblems problems; // what reading the file again came upon: told with the outcome
    if (mode == FILE_OUTPUT && isReadWhole(path) && changedOnDisk(path)) {
        StoreOutcome taken = takeOutsideFolderChanges(&map, merged, problems);
        notify(StoreChange::Kind::FolderFile);
        if (!taken)
            return taken;
        if (!(dirsRead_ && &map == dirMapCache_.get()))
            toWrite = &merged;
    }
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(toWrite->getCount()));
    toWrite->forEach([&lines](const std::string&, const std::shared_ptr<FolderRecord>& folder) {
        lines.push_back(formatDirLine(*folder));
    });
    StoreOutcome outcome = rewrite(path, mode, lines, "Err004", {StoreChange::Kind::FolderFile, ""});
    for (const StoreOutcome& problem : problems.all())
        outcome.notices.push_back(problem);
    return outcome;
}

StoreOutcome CatalogStore::writeAddQlrDbDir(std::shared_ptr<FolderRecord> record)
{
    const std::string path = getDirFilePath();
    StoreProblems readProblems; // what a first read of the file came upon: told with the outcome
    const auto cache = getAllDirMap(readProblems);
    const auto withReadProblems = [&readProblems](StoreOutcome outcome) {
        for (const StoreOutcome& problem : readProblems.all())
            outcome.notices.push_back(problem);
        return outcome;
    };
    if (StoreOutcome refused = refuseIfIncomplete(path, "Err005"); !refused)
        return withReadProblems(refused);
    if (changedOnDisk(path)) {
        FolderMap unused;
        StoreOutcome taken = takeOutsideFolderChanges(nullptr, unused, readProblems);
        notify(StoreChange::Kind::FolderFile);
        if (!taken)
            return withReadProblems(taken);
        // Another program took this id meanwhile.
        if (const auto now = cache->getValueByKey(record->dirId); now && now != record)
            return withReadProblems(StoreOutcome::failure("Err022", path));
    }
    if (!cache->contains(record->dirId) && cache->isFull())
        return withReadProblems(StoreOutcome::failureFor("Err005", path, "Err010"));
    // The leading CR ends a last line that lacks its line end; the empty line it may leave is
    // skipped when the file is read.
    // Appended to a CR rather than written "\r" + ...: GCC 12 at -O3 takes that for an
    // overlapping copy (-Wrestrict), which stops Release builds.
    const std::string line = std::string(1, '\r').append(formatDirLine(*record));
    StoreOutcome outcome = outcomeOf(files_.writeFile(path, FILE_APPEND, 1, {line}), path, "Err005");
    if (!outcome)
        return withReadProblems(outcome);
    rememberAppended(path, line);
    const std::string key = record->dirId;
    cache->addMap(key, std::move(record));
    notify(StoreChange::Kind::FolderFile);
    return withReadProblems(outcome);
}

} // namespace quillory
