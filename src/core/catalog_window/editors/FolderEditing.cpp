#include "core/catalog_window/editors/FolderEditing.h"

#include "core/catalog_window/editors/EditorText.h"
#include "core/config/StoreReport.h"
#include "core/store/CatalogStore.h"
#include "core/store/RecordIds.h"
#include "core/store/TextFiles.h"

namespace quillory {
namespace {

// The cached folder; what reading the folder file came upon is told.
std::shared_ptr<FolderRecord> folderOf(CatalogStore& store, Messages& messages, const std::string& dirId)
{
    StoreProblems problems;
    auto folder = store.getQlrDirById(dirId, problems);
    report(messages, problems);
    return folder;
}

std::string nameOf(CatalogStore& store, Messages& messages, const std::string& dirId)
{
    if (dirId.empty() || dirId == kTopLevelParentId)
        return {};
    const auto folder = folderOf(store, messages, dirId);
    return folder ? folder->dirName : std::string();
}

} // namespace

FolderFields folderFieldsOf(CatalogStore& store, Messages& messages, const std::string& dirId)
{
    FolderFields fields;
    const auto folder = dirId.empty() ? nullptr : folderOf(store, messages, dirId);
    if (!folder)
        return fields;
    fields.dirId = folder->dirId;
    fields.dirName = folder->dirName;
    fields.parentDirId = folder->parentDirId;
    fields.parentName = nameOf(store, messages, folder->parentDirId);
    fields.description = folder->dirDescription;
    fields.needPwd = folder->needPwd;
    fields.pwd = folder->pwd;
    return fields;
}

FolderFields newFolderFields(CatalogStore& store, Messages& messages, const std::string& parentId)
{
    FolderFields fields;
    fields.parentDirId = parentId;
    fields.parentName = nameOf(store, messages, parentId);
    return fields;
}

FolderRecord readDirPanel(CatalogStore& store, Messages& messages, const FolderFields& fields)
{
    FolderRecord record;
    if (fields.dirId.empty()) {
        StoreProblems problems;
        record.dirId = store.getNewDirId(problems);
        report(messages, problems);
    } else {
        record.dirId = fields.dirId;
    }
    record.dirName = trimmedField(fields.dirName);
    record.dirDescription = trimmedField(fields.description);
    record.parentDirId = trimmedField(fields.parentDirId);
    record.needPwd = fields.needPwd;
    record.pwd = fields.needPwd ? fields.pwd : std::string();
    return record;
}

std::string addDirFromPanel(CatalogStore& store, TextFiles& files, Messages& messages, const FolderFields& fields)
{
    FolderFields fresh = fields;
    fresh.dirId.clear();
    auto record = std::make_shared<FolderRecord>(readDirPanel(store, messages, fresh));
    const std::string id = record->dirId;
    if (!report(messages, store.writeAddQlrDbDir(record)))
        return {};
    files.createFile(store.getContentFilePath(id));
    return id;
}

FolderUpdate updateFolder(CatalogStore& store, Messages& messages, const FolderFields& fields)
{
    if (fields.dirId.empty())
        return FolderUpdate::Skipped;
    const FolderRecord changed = readDirPanel(store, messages, fields);
    if (changed.parentDirId.empty())
        return FolderUpdate::Skipped;
    StoreProblems problems;
    const auto all = store.getAllDirMap(problems);
    report(messages, problems);
    const auto stored = all->getValueByKey(changed.dirId);
    if (!stored)
        return FolderUpdate::Skipped;
    const FolderRecord before = *stored;
    stored->dirName = changed.dirName;
    stored->dirDescription = changed.dirDescription;
    stored->parentDirId = changed.parentDirId;
    stored->needPwd = changed.needPwd;
    stored->pwd = changed.pwd;
    if (report(messages, store.writeAllQlrDbDir(FILE_OUTPUT, *all)))
        return FolderUpdate::Written;
    *stored = before;
    return FolderUpdate::Failed;
}

FolderDeletion folderDeletable(CatalogStore& store, Messages& messages, const std::string& dirId)
{
    if (dirId.empty() || !folderOf(store, messages, dirId))
        return FolderDeletion::Skipped;
    // The index file as it is on disk (another program may have added to it). One that could not
    // be read, or not whole, may hold indexes all the same.
    StoreProblems problems;
    if (store.getCurrentContentMap(dirId, problems)->getCount() > 0 || !problems.empty()
        || !store.isReadWhole(store.getContentFilePath(dirId)))
        return FolderDeletion::HoldsIndexes;
    // Subfolders another program added count too.
    store.getCurrentDirMap(problems);
    FolderMap children;
    store.getQlrDirsByParentId(dirId, false, children, problems);
    report(messages, problems);
    return children.getCount() > 0 ? FolderDeletion::HasSubfolders : FolderDeletion::Deleted;
}

FolderDeletion deleteFolder(CatalogStore& store, TextFiles& files, Messages& messages, const std::string& dirId)
{
    // Looked at again: another program may have written to the files since the caller asked.
    if (const FolderDeletion refused = folderDeletable(store, messages, dirId); refused != FolderDeletion::Deleted)
        return refused;
    // The folder file is written without the folder first; only then does the cache lose it.
    StoreProblems problems;
    const auto all = store.getAllDirMap(problems);
    report(messages, problems);
    FolderMap remaining;
    all->forEach([&](const std::string& key, const FolderMap::Ptr& folder) {
        if (key != dirId)
            remaining.addMap(key, folder);
    });
    if (!report(messages, store.writeAllQlrDbDir(FILE_OUTPUT, remaining)))
        return FolderDeletion::Failed;
    all->removeMap(dirId);
    files.deleteFile(store.getContentFilePath(dirId));
    return FolderDeletion::Deleted;
}

} // namespace quillory
