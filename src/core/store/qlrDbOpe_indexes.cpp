#include "core/store/qlrDbOpe.h"

#include <algorithm>
#include <cstring>

#include "core/config/Messages.h"
#include "core/store/IdAllocation.h"
#include "core/store/RecordFormat.h"
#include "core/store/RecordIds.h"
#include "core/store/TextMatch.h"
#include "core/store/fileOpe.h"

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
    if (lastReadComplete_)
        incompleteFiles_.erase(getContentFilePath(dirId)); // the cache now holds the whole file
    contentMapCache_.addMap(dirId, map);
    return map;
}

void qlrDbOpe::getQlrDirContent(const std::string& dirId, ContentMap& map)
{
    const std::string path = getContentFilePath(dirId);
    std::string content = takeReadBuffer();
    if (!readForMap(path, "Err006", content)) {
        returnReadBuffer(std::move(content));
        return;
    }
    // At most one index per line: the map is sized once rather than grown step by step.
    size_t lines = 1;
    const char* const end = content.data() + content.size();
    for (const char* cr = content.data(); (cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<size_t>(end - cr)))); ++cr)
        ++lines;
    map.reserve(static_cast<size_t>(map.getCount()) + std::min(lines, static_cast<size_t>(ContentMap::kMaxEntries)));
    bool full = false;
    fileOpe::forEachNumberedLine(content, [&](std::string_view line, int lineNumber) {
        if (full)
            return;
        auto record = newContentRecord();
        if (!parseContentLine(line, *record))
            messages_.show("Err007", MsgButtons::Ok, path + ":" + std::to_string(lineNumber));
        const std::string key = record->cId;
        if (!map.addMap(key, std::move(record))) {
            full = true;
            lastReadComplete_ = false;
            incompleteFiles_.insert(path);
            messages_.show("Err006", MsgButtons::Ok, path);
        }
    });
    returnReadBuffer(std::move(content));
}

std::string qlrDbOpe::getNewDirContentId(const std::string& dirId)
{
    return smallestFreeId(*getDirContentMap(dirId), indexIdPrefix(dirId));
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

namespace {

// One index looked at by a search.
struct SearchCandidate {
    const std::string* key;
    const ContentMap::Ptr* record;
    std::string_view text;
};

// Reads a byte at each end of every text, all in one go: the memory holding the texts is then
// fetched for many indexes at once, instead of one text after another as the matching reaches
// it, which on a large catalog took most of a search's time.
void fetchTexts(const std::vector<SearchCandidate>& batch)
{
    volatile unsigned char sink = 0;
    for (const auto& candidate : batch) {
        if (!candidate.text.empty())
            sink = static_cast<unsigned char>(candidate.text.front() ^ candidate.text.back());
    }
    (void)sink;
}

} // namespace

template <class Field>
void qlrDbOpe::searchContent(const std::vector<std::string>& dirIds, std::string_view text, Field field,
                             ContentCollection& result)
{
    const CaseInsensitiveMatcher matcher(text);
    // Indexes are matched in batches of about kBatch, in folder order and map order. A batch
    // points into the cached maps, so it is finished before a folder's file is read: a message
    // shown then could let the user change a map.
    constexpr size_t kBatch = 64;
    std::vector<SearchCandidate> batch;
    std::vector<std::shared_ptr<ContentMap>> batchMaps; // keep the batch's records alive
    auto matchBatch = [&] {
        for (auto& candidate : batch)
            candidate.text = field(**candidate.record);
        fetchTexts(batch);
        for (const auto& candidate : batch) {
            if (matcher.matches(candidate.text))
                result.add(*candidate.key, *candidate.record);
        }
        batch.clear();
        batchMaps.clear();
    };
    for (const auto& dirId : dirIds) {
        if (const auto cached = contentMapCache_.getValueByKey(dirId); !cached || cached->getCount() == 0)
            matchBatch();
        auto map = getDirContentMap(dirId);
        map->forEach([&batch](const std::string& key, const ContentMap::Ptr& record) {
            batch.push_back(SearchCandidate{&key, &record, {}});
        });
        batchMaps.push_back(std::move(map));
        if (batch.size() >= kBatch)
            matchBatch();
    }
    matchBatch();
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
    // Appended to a CR rather than written "\r" + ...: GCC 12 at -O3 takes that for an
    // overlapping copy (-Wrestrict), which stops Release builds.
    const std::string line = std::string(1, '\r').append(formatContentLine(*record));
    if (!reportWrite(files_.writeFileQuietly(path, FILE_APPEND, 1, {line}), path, "Err008"))
        return false;
    const std::string key = record->cId;
    map->addMap(key, std::move(record));
    return true;
}

} // namespace quillory
