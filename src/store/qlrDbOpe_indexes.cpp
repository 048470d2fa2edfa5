#include "store/qlrDbOpe.h"

#include "config/Messages.h"
#include "store/IdAllocation.h"
#include "store/RecordFormat.h"
#include "store/TextMatch.h"
#include "store/fileOpe.h"

namespace quillory {

std::shared_ptr<QlrDirContentModel> qlrDbOpe::newContentRecord()
{
    return std::make_shared<QlrDirContentModel>(&root_);
}

std::shared_ptr<ContentMap> qlrDbOpe::getDirContentMap(const std::string& dirId)
{
    if (auto cached = contentMapCache_.getValueByKey(dirId); cached && cached->getCount() > 0)
        return cached;
    auto map = std::make_shared<ContentMap>();
    getQlrDirContent(dirId, *map);
    contentMapCache_.addMap(dirId, map);
    return map;
}

void qlrDbOpe::getQlrDirContent(const std::string& dirId, ContentMap& map)
{
    const std::string path = getContentFilePath(dirId);
    const auto content = readForMap(path, "Err006");
    if (!content)
        return;
    int lineNumber = 0;
    bool full = false;
    fileOpe::forEachLine(*content, [&](std::string_view line) {
        ++lineNumber;
        if (full)
            return;
        auto record = newContentRecord();
        if (!parseContentLine(line, *record))
            messages_.show("Err007", MsgButtons::Ok, path + ", line " + std::to_string(lineNumber));
        const std::string key = record->cId;
        if (!map.addMap(key, std::move(record))) {
            full = true;
            incompleteFiles_.insert(path);
            messages_.show("Err006", MsgButtons::Ok, path);
        }
    });
}

std::string qlrDbOpe::getNewDirContentId(const std::string& dirId)
{
    return smallestFreeId(*getDirContentMap(dirId), dirId + "!C");
}

std::shared_ptr<QlrDirContentModel> qlrDbOpe::getQlrDirContentById(const std::string& dirId, const std::string& cId)
{
    return getDirContentMap(dirId)->getValueByKey(cId);
}

void qlrDbOpe::getDirContentByIdS(const std::vector<std::string>& dirIds, ContentCollection& result)
{
    for (const auto& dirId : dirIds) {
        bool stopped = false;
        getDirContentMap(dirId)->forEach([&](const std::string& key, const ContentMap::Ptr& record) {
            if (!stopped && !result.add(key, record))
                stopped = true;
        });
        if (stopped)
            return;
    }
}

template <class Field>
void qlrDbOpe::searchContent(const std::vector<std::string>& dirIds, std::string_view text, Field field,
                             ContentCollection& result)
{
    const CaseInsensitiveMatcher matcher(text);
    for (const auto& dirId : dirIds) {
        getDirContentMap(dirId)->forEach([&](const std::string& key, const ContentMap::Ptr& record) {
            if (matcher.matches(field(*record)))
                result.add(key, record);
        });
    }
}

void qlrDbOpe::getDirContentByTitle(const std::vector<std::string>& dirIds, std::string_view text,
                                    ContentCollection& result)
{
    searchContent(dirIds, text, [](const QlrDirContentModel& r) -> const std::string& { return r.cTitle; }, result);
}

void qlrDbOpe::getDirContentByDesc(const std::vector<std::string>& dirIds, std::string_view text,
                                   ContentCollection& result)
{
    searchContent(dirIds, text, [](const QlrDirContentModel& r) -> const std::string& { return r.cDesc; }, result);
}

void qlrDbOpe::getDirContentByPath(const std::vector<std::string>& dirIds, std::string_view text,
                                   const ContentProvider& provider, ContentCollection& result)
{
    const CaseInsensitiveMatcher matcher(text);
    for (const auto& dirId : dirIds) {
        ContentMap map;
        if (provider)
            provider(dirId, map);
        else
            getQlrDirContent(dirId, map);
        map.forEach([&](const std::string& key, const ContentMap::Ptr& record) {
            if (matcher.matches(record->cContentPath()))
                result.add(key, record);
        });
    }
}

bool qlrDbOpe::writeAllQlrDbDirContent(const std::string& dirId, int16_t mode, const ContentMap& map)
{
    const std::string path = getContentFilePath(dirId);
    if (refuseIfIncomplete(path, "Err006"))
        return false;
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(map.getCount()));
    map.forEach([&lines](const std::string&, const ContentMap::Ptr& record) {
        lines.push_back(formatContentLine(*record));
    });
    return reportWrite(files_.writeFileQuietly(path, mode, 1, lines), path, "Err006");
}

bool qlrDbOpe::writeAddQlrDbDirContent(const std::string& dirId, std::shared_ptr<QlrDirContentModel> record)
{
    const std::string path = getContentFilePath(dirId);
    const auto map = getDirContentMap(dirId);
    if (!map->contains(record->cId) && map->isFull()) {
        messages_.show("Err008", MsgButtons::Ok, path);
        return false;
    }
    if (!reportWrite(files_.writeFileQuietly(path, FILE_APPEND, 1, {"\r" + formatContentLine(*record)}), path, "Err008"))
        return false;
    const std::string key = record->cId;
    map->addMap(key, std::move(record));
    return true;
}

} // namespace quillory
