#include "core/catalog_window/editors/IndexEditing.h"

#include <ctime>

#include "core/catalog_window/editors/EditorText.h"
#include "core/config/StoreReport.h"
#include "core/store/CatalogStore.h"
#include "core/store/TextConvert.h"
#include "core/store/TextFiles.h"

namespace quillory {

IndexFields indexFieldsOf(CatalogStore& store, Messages& messages, const std::string& dirId, const std::string& cId)
{
    IndexFields fields;
    StoreProblems problems;
    const auto index = dirId.empty() || cId.empty() ? nullptr : store.getQlrDirContentById(dirId, cId, problems);
    report(messages, problems);
    if (!index)
        return fields;
    fields.cId = index->cId();
    fields.title = index->cTitle();
    fields.path = index->cContentPath();
    fields.description = index->cDesc();
    // Read as the store reads every Boolean: a file edited by hand may say "true" or "1".
    fields.needPwd = parseBoolean(index->needPwd()).value_or(false);
    fields.pwd = index->pwd();
    return fields;
}

std::string addTimeNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::shared_ptr<IndexRecord> readContentPanel(CatalogStore& store, Messages& messages, const std::string& dirId,
                                              const IndexFields& fields)
{
    auto record = store.newContentRecord();
    if (fields.cId.empty()) {
        StoreProblems problems;
        record->setCId(store.getNewDirContentId(dirId, problems));
        report(messages, problems);
    } else {
        record->setCId(fields.cId);
    }
    record->setCTitle(trimmedField(fields.title));
    record->setCContentPath(trimmedField(fields.path));
    record->setCDesc(trimmedField(fields.description));
    record->setNeedPwd(fields.needPwd ? "True" : "False");
    record->setPwd(fields.needPwd ? fields.pwd : std::string());
    record->setAddTime(addTimeNow());
    return record;
}

namespace {

// Whether the folder is in the catalog as the folder file now holds it (another program may have
// removed it since it was read).
bool folderStillThere(CatalogStore& store, Messages& messages, const std::string& dirId)
{
    if (dirId.empty())
        return false;
    StoreProblems problems;
    const auto folders = store.getCurrentDirMap(problems);
    report(messages, problems);
    return folders->contains(dirId);
}

} // namespace

IndexAdd addIndexFromPanel(CatalogStore& store, Messages& messages, const std::string& dirId, const IndexFields& fields)
{
    // An index of a folder that went would be written to an index file no folder owns.
    if (!folderStillThere(store, messages, dirId))
        return {IndexSave::FolderGone, {}};
    IndexFields fresh = fields;
    fresh.cId.clear();
    auto record = readContentPanel(store, messages, dirId, fresh);
    std::string id(record->cId());
    if (!report(messages, store.writeAddQlrDbDirContent(dirId, record)))
        return {IndexSave::Failed, {}};
    return {IndexSave::Written, id};
}

IndexUpdate updateIndexFromPanel(CatalogStore& store, Messages& messages, const std::string& dirId,
                                 const IndexFields& fields)
{
    IndexUpdate update;
    // An index whose folder went went with it.
    if (!folderStillThere(store, messages, dirId)) {
        update.outcome = IndexSave::IndexGone;
        return update;
    }
    StoreProblems problems;
    const auto map = store.getDirContentMap(dirId, problems);
    report(messages, problems);
    const auto before = fields.cId.empty() ? nullptr : map->getValueByKey(fields.cId);
    if (!before) {
        update.outcome = IndexSave::IndexGone;
        return update;
    }
    auto changed = readContentPanel(store, messages, dirId, fields);
    update.titleOrPathChanged = changed->cTitle() != before->cTitle() || changed->storedPath() != before->storedPath();
    // The record itself takes the new values, so that whoever shows it (the list) sees them.
    const IndexRecord old = *before;
    *before = *changed;
    update.outcome = report(messages, store.writeAllQlrDbDirContent(dirId, FILE_OUTPUT, *map)) ? IndexSave::Written
                                                                                               : IndexSave::Failed;
    if (!update.written())
        *before = old;
    return update;
}

} // namespace quillory
