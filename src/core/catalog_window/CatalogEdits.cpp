#include "core/catalog_window/CatalogEdits.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unordered_set>

#include "core/base/Paths.h"
#include "core/catalog_window/IndexRows.h"
#include "core/config/StoreReport.h"
#include "core/store/CatalogStore.h"
#include "core/store/IdAllocation.h"
#include "core/store/RecordIds.h"
#include "core/store/TextFiles.h"

namespace quillory {

bool renameFolder(CatalogStore& store, Messages& messages, const std::string& dirId, const std::string& newName)
{
    StoreProblems problems;
    const auto all = store.getAllDirMap(problems);
    report(messages, problems);
    const auto folder = all->getValueByKey(dirId);
    if (!folder || newName.empty() || folder->dirName == newName)
        return false;
    const std::string oldName = folder->dirName;
    folder->dirName = newName;
    all->addMap(folder->dirId, folder);
    if (report(messages, store.writeAllQlrDbDir(FILE_OUTPUT, *all)))
        return true;
    folder->dirName = oldName;
    return false;
}

bool isSelfOrDescendant(CatalogStore& store, Messages& messages, const std::string& candidate, const std::string& dirId)
{
    StoreProblems problems;
    const auto all = store.getAllDirMap(problems);
    report(messages, problems);
    std::unordered_set<std::string> seen;
    std::string id = candidate;
    while (id != "0" && seen.insert(id).second) {
        if (id == dirId)
            return true;
        const auto folder = all->getValueByKey(id);
        if (!folder)
            return false;
        id = folder->parentDirId;
    }
    return false;
}

FolderMove moveFolder(CatalogStore& store, Messages& messages, const std::string& dirId, const std::string& newParentId)
{
    StoreProblems problems;
    const auto all = store.getAllDirMap(problems);
    report(messages, problems);
    const auto folder = all->getValueByKey(dirId);
    if (!folder || (newParentId != "0" && isSelfOrDescendant(store, messages, newParentId, dirId)))
        return FolderMove::Refused;
    const std::string oldParent = folder->parentDirId;
    folder->parentDirId = newParentId;
    all->addMap(dirId, folder);
    if (report(messages, store.writeAllQlrDbDir(FILE_OUTPUT, *all)))
        return FolderMove::Moved;
    folder->parentDirId = oldParent;
    return FolderMove::Failed;
}

bool moveIndexes(CatalogStore& store, Messages& messages, const DraggedIndexes& dragged, const std::string& targetId)
{
    // New ids are free in the target as it is on disk, not only in the cache.
    StoreProblems problems;
    const auto target = store.getCurrentContentMap(targetId, problems);

    // Plan the move on copies first: the target as it will be written, with new ids.
    IndexMap plannedTarget;
    target->forEach([&](const std::string& key, const IndexMap::Ptr& index) { plannedTarget.addMap(key, index); });
    struct Move {
        std::string sourceId;
        std::shared_ptr<IndexRecord> index;
        std::string newId;
    };
    std::vector<Move> moves;
    for (const auto& [sourceId, indexes] : dragged) {
        if (sourceId == targetId)
            continue;
        const auto source = store.getDirContentMap(sourceId, problems);
        for (const auto& index : indexes) {
            if (!index || source->getValueByKey(index->cId()) != index)
                continue;
            const std::string newId = smallestFreeId(plannedTarget, indexIdPrefix(targetId));
            auto moved = std::make_shared<IndexRecord>(*index);
            moved->setCId(newId);
            if (!plannedTarget.addMap(newId, moved))
                return false;
            moves.push_back({sourceId, index, newId});
        }
    }
    report(messages, problems);
    if (!report(messages, store.writeAllQlrDbDirContent(targetId, FILE_OUTPUT, plannedTarget)))
        return false;

    // The target is safe on disk: now change the cached records and write the sources.
    std::vector<std::string> touchedSources;
    for (const Move& move : moves) {
        store.getDirContentMap(move.sourceId, problems)->removeMap(move.index->cId());
        move.index->setCId(move.newId);
        target->addMap(move.newId, move.index);
        if (touchedSources.empty() || touchedSources.back() != move.sourceId)
            touchedSources.push_back(move.sourceId);
    }
    for (const auto& sourceId : touchedSources)
        report(messages,
               store.writeAllQlrDbDirContent(sourceId, FILE_OUTPUT, *store.getDirContentMap(sourceId, problems)));
    return true;
}

bool renameContentFile(CatalogStore& store, Messages& messages, const std::string& dirId, const std::string& cId,
                       const std::string& newName)
{
    StoreProblems problems;
    const auto map = store.getDirContentMap(dirId, problems);
    report(messages, problems);
    const auto index = map->getValueByKey(cId);
    if (!index || newName.empty())
        return false;
    const std::string path = index->cContentPath();
    if (path.empty() || rowFileName(path) == newName)
        return false;
    const std::string oldStored(index->storedPath());
    index->setCContentPath(renamedPath(path, newName));
    map->addMap(std::string(index->cId()), index);
    if (report(messages, store.writeAllQlrDbDirContent(dirId, FILE_OUTPUT, *map)))
        return true;
    index->setStoredPath(oldStored);
    return false;
}

bool DocumentFiles::exists(const std::string& path)
{
    struct stat st {};
    return io_.lstat(path.c_str(), &st) == 0;
}

bool DocumentFiles::isFolder(const std::string& path)
{
    struct stat st {};
    return io_.lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int DocumentFiles::rename(const std::string& from, const std::string& to)
{
    // Never over what is there: checked before, and made sure of by the call itself where the
    // file system can (some network and user-space ones cannot: there the check has to do).
    if (io_.renameNoReplace(from.c_str(), to.c_str()) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    if (exists(to))
        return EEXIST;
    return io_.rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

DocumentFiles& realDocumentFiles()
{
    static DocumentFiles files;
    return files;
}

namespace {

// Whether an index other than cId points at path or, for a folder, at something inside it.
bool otherIndexPointsAt(CatalogStore& store, const std::string& rootPath, const std::string& cId,
                        const std::string& path, bool folder)
{
    StoreProblems ignored; // a file that cannot be read says so when it is shown
    bool found = false;
    const std::string inside = path + kPathSep;
    store.getAllDirMap(ignored)->forEach([&](const std::string& dirId, const auto&) {
        if (found)
            return;
        store.getDirContentMap(dirId, ignored)->forEach([&](const std::string& key, const IndexMap::Ptr& index) {
            if (found || key == cId)
                return;
            const std::string other = openablePath(index->cContentPath(), rootPath);
            found = other == path || (folder && other.starts_with(inside));
        });
    });
    return found;
}

} // namespace

DocumentRenameResult renameDocument(CatalogStore& store, Messages& messages, DocumentFiles& files,
                                    const std::string& rootPath, const std::string& dirId, const std::string& cId,
                                    const std::string& newName)
{
    StoreProblems problems;
    const auto index = store.getQlrDirContentById(dirId, cId, problems);
    report(messages, problems);
    if (!index || newName.empty())
        return {};
    const std::string path = index->cContentPath();
    if (path.empty() || rowFileName(path) == newName)
        return {};
    if (isWebAddress(path))
        return {renameContentFile(store, messages, dirId, cId, newName) ? DocumentRename::Renamed
                                                                        : DocumentRename::NotWritten,
                {},
                {}};
    if (newName.find(kPathSep) != std::string::npos || newName == "." || newName == "..")
        return {DocumentRename::BadName, newName, std::strerror(EINVAL)};
    const std::string from = openablePath(path, rootPath);
    const std::string to = openablePath(renamedPath(path, newName), rootPath);
    const bool fromThere = files.exists(from);
    const bool toThere = files.exists(to);
    if (fromThere && toThere)
        return {DocumentRename::NameTaken, to, {}};
    if (!fromThere && !toThere)
        return {DocumentRename::Missing, from, {}};
    if (!fromThere) // the user repairs a link to a document renamed meanwhile
        return {renameContentFile(store, messages, dirId, cId, newName) ? DocumentRename::Repointed
                                                                        : DocumentRename::NotWritten,
                to,
                {}};
    if (otherIndexPointsAt(store, rootPath, cId, from, files.isFolder(from)))
        return {DocumentRename::Shared, from, {}};
    if (const int error = files.rename(from, to); error != 0)
        return {error == EEXIST ? DocumentRename::NameTaken : DocumentRename::NotRenamed, from, std::strerror(error)};
    if (renameContentFile(store, messages, dirId, cId, newName))
        return {DocumentRename::Renamed, to, {}};
    files.rename(to, from); // the index still names the old one: so does the disk again
    return {DocumentRename::NotWritten, from, {}};
}

namespace {

// A file a document may be: a regular file, or a link (which goes itself, not what it names).
bool isRemovableDocument(FileIo& io, const std::string& path)
{
    struct stat st {};
    return io.lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode));
}

} // namespace

int deleteContents(CatalogStore& store, Messages& messages, const DocumentRemover& remove, const std::string& dirId,
                   const std::vector<std::string>& rowKeys, MsgAnswer answer)
{
    if (answer != MsgAnswer::Yes && answer != MsgAnswer::No)
        return 0;
    StoreProblems problems;
    const auto map = store.getDirContentMap(dirId, problems);
    report(messages, problems);
    std::vector<std::pair<std::string, IndexMap::Ptr>> before;
    map->forEach([&before](const std::string& key, const IndexMap::Ptr& index) { before.emplace_back(key, index); });
    std::vector<std::shared_ptr<IndexRecord>> removed;
    std::unordered_set<std::string> removedKeys;
    for (const auto& key : rowKeys) {
        if (auto index = map->getValueByKey(key)) {
            map->removeMap(key);
            removed.push_back(std::move(index));
            removedKeys.insert(key);
        }
    }
    if (removed.empty())
        return 0;
    if (!report(messages, store.writeAllQlrDbDirContent(dirId, FILE_OUTPUT, *map))) {
        // Nothing was written: the indexes come back where they were. The others are as the map
        // holds them now: the store may have read the file again, after another program changed it.
        std::vector<std::pair<std::string, IndexMap::Ptr>> now;
        map->forEach([&now](const std::string& key, const IndexMap::Ptr& index) { now.emplace_back(key, index); });
        std::unordered_set<std::string> placed;
        std::vector<std::pair<std::string, IndexMap::Ptr>> restored;
        for (const auto& [key, index] : before) {
            if (removedKeys.count(key))
                restored.emplace_back(key, index);
            else if (auto current = map->getValueByKey(key))
                restored.emplace_back(key, std::move(current));
            else
                continue;
            placed.insert(key);
        }
        for (const auto& [key, index] : now) {
            if (!placed.count(key))
                restored.emplace_back(key, index);
        }
        for (const auto& [key, index] : now)
            map->removeMap(key);
        for (const auto& [key, index] : restored)
            map->addMap(key, index);
        return 0;
    }
    if (answer == MsgAnswer::Yes) {
        std::string kept; // the documents that could not go, told once
        for (const auto& index : removed) {
            const std::string path = openablePath(index->cContentPath(), store.getRootPath());
            if (!isWebAddress(path) && isRemovableDocument(store.fileIo(), path) && !remove(path))
                kept += (kept.empty() ? "" : ", ") + path;
        }
        if (!kept.empty())
            report(messages, StoreOutcome::failure("Err023", kept));
    }
    return static_cast<int>(removed.size());
}

} // namespace quillory
