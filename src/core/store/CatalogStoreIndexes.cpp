// The index half of the store: one index file per folder, and the cache of each folder's map.
#include "core/store/CatalogStore.h"

#include <algorithm>

#include "core/store/IdAllocation.h"
#include "core/store/RecordFormat.h"
#include "core/store/RecordIds.h"
#include "core/store/TextFiles.h"
#include "core/store/TextMatch.h"

namespace quillory {

std::shared_ptr<IndexRecord> CatalogStore::newContentRecord()
{
    return std::make_shared<IndexRecord>(&paths_.root());
}

std::shared_ptr<IndexMap> CatalogStore::getDirContentMap(const std::string& dirId, StoreProblems& problems)
{
    auto cached = contentMapCache_.getValueByKey(dirId);
    if (cached && (cached->getCount() > 0 || incompleteFiles_.empty()))
        return cached;             // read before (the path is made only when the file is to be read)
    thread_local std::string path; // made anew for each file, its memory used again
    paths_.indexFileInto(dirId, path);
    if (!needsReading(path, cached, cached && cached->getCount() == 0))
        return cached;
    IndexFileRead read = readIndexFile(files_.io(), path, &paths_.root());
    takeRead(path, read, problems);
    rememberRead(path, read);
    contentMapCache_.addMap(dirId, read.map);
    return read.map;
}

std::string CatalogStore::getNewDirContentId(const std::string& dirId, StoreProblems& problems)
{
    const auto current = getCurrentContentMap(dirId, problems);
    return smallestFreeId(*current, indexIdPrefix(dirId));
}

std::shared_ptr<IndexRecord> CatalogStore::getQlrDirContentById(const std::string& dirId, const std::string& cId,
                                                                StoreProblems& problems)
{
    return getDirContentMap(dirId, problems)->getValueByKey(cId);
}

std::shared_ptr<IndexMap> CatalogStore::takeIndexFileRead(const std::string& dirId, const IndexFileRead& read,
                                                          StoreProblems& problems)
{
    auto cached = contentMapCache_.getValueByKey(dirId);
    const std::string path = getContentFilePath(dirId);
    if (!needsReading(path, cached, cached && cached->getCount() == 0))
        return cached;
    takeRead(path, read, problems);
    rememberRead(path, read);
    contentMapCache_.addMap(dirId, read.map);
    return read.map;
}

void CatalogStore::getDirContentByIdS(const std::vector<std::string>& dirIds, ContentCollection& result,
                                      StoreProblems& problems)
{
    for (const auto& dirId : dirIds) {
        bool stopped = false;
        getDirContentMap(dirId, problems)->forEach([&](const std::string& key, const IndexMap::Ptr& record) {
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
    const IndexMap::Ptr* record;
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
void CatalogStore::searchContent(const std::vector<std::string>& dirIds, std::string_view text, Field field,
                                 ContentCollection& result, StoreProblems& problems)
{
    const CaseInsensitiveMatcher matcher(text);
    // Indexes are matched in batches of about kBatch, in folder order and map order. A batch
    // points into the cached maps; each map it points into is held until the batch is done.
    constexpr size_t kBatch = 64;
    std::vector<SearchCandidate> batch;
    std::vector<std::shared_ptr<IndexMap>> batchMaps; // keep the batch's records alive
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
        auto map = getDirContentMap(dirId, problems);
        map->forEach([&batch](const std::string& key, const IndexMap::Ptr& record) {
            batch.push_back(SearchCandidate{&key, &record, {}});
        });
        batchMaps.push_back(std::move(map));
        if (batch.size() >= kBatch)
            matchBatch();
    }
    matchBatch();
}

void CatalogStore::getDirContentByTitle(const std::vector<std::string>& dirIds, std::string_view text,
                                        ContentCollection& result, StoreProblems& problems)
{
    searchContent(
        dirIds, text, [](const IndexRecord& r) { return r.cTitle(); }, result, problems);
}

void CatalogStore::getDirContentByDesc(const std::vector<std::string>& dirIds, std::string_view text,
                                       ContentCollection& result, StoreProblems& problems)
{
    searchContent(
        dirIds, text, [](const IndexRecord& r) { return r.cDesc(); }, result, problems);
}

void CatalogStore::getDirContentByPath(const std::vector<std::string>& dirIds, std::string_view text,
                                       const ContentProvider& provider, ContentCollection& result,
                                       StoreProblems& problems)
{
    const CaseInsensitiveMatcher matcher(text);
    for (const auto& dirId : dirIds) {
        std::shared_ptr<IndexMap> map;
        if (provider) {
            map = std::make_shared<IndexMap>();
            provider(dirId, *map);
        } else {
            const std::string path = getContentFilePath(dirId);
            IndexFileRead read = readIndexFile(files_.io(), path, &paths_.root());
            problems.append(read.problems);
            map = std::move(read.map);
        }
        map->forEach([&](const std::string& key, const IndexMap::Ptr& record) {
            if (matcher.matches(record->cContentPath()))
                result.add(key, record);
        });
    }
}

StoreOutcome CatalogStore::writeAllQlrDbDirContent(const std::string& dirId, WriteMode mode, const IndexMap& map)
{
    const std::string path = getContentFilePath(dirId);
    const IndexMap* toWrite = &map;
    IndexMap merged;
    StoreProblems problems; // what reading the file again came upon: told with the outcome
    if (mode == FILE_OUTPUT && isReadWhole(path) && changedOnDisk(path)) {
        StoreOutcome taken = takeOutsideIndexChanges(dirId, &map, merged, problems);
        notify(StoreChange::Kind::IndexFile, dirId);
        if (!taken)
            return taken;
        if (&map != contentMapCache_.getValueByKey(dirId).get())
            toWrite = &merged;
    }
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(toWrite->getCount()));
    toWrite->forEach(
        [&lines](const std::string&, const IndexMap::Ptr& record) { lines.push_back(formatContentLine(*record)); });
    StoreOutcome outcome = rewrite(path, mode, lines, "Err006", {StoreChange::Kind::IndexFile, dirId});
    for (const StoreOutcome& problem : problems.all())
        outcome.notices.push_back(problem);
    return outcome;
}

StoreOutcome CatalogStore::writeAddQlrDbDirContent(const std::string& dirId, std::shared_ptr<IndexRecord> record)
{
    const std::string path = getContentFilePath(dirId);
    StoreProblems readProblems; // what a first read of the file came upon: told with the outcome
    const auto map = getDirContentMap(dirId, readProblems);
    const auto withReadProblems = [&readProblems](StoreOutcome outcome) {
        for (const StoreOutcome& problem : readProblems.all())
            outcome.notices.push_back(problem);
        return outcome;
    };
    if (StoreOutcome refused = refuseIfIncomplete(path, "Err008"); !refused)
        return withReadProblems(refused);
    if (changedOnDisk(path)) {
        IndexMap unused;
        StoreOutcome taken = takeOutsideIndexChanges(dirId, nullptr, unused, readProblems);
        notify(StoreChange::Kind::IndexFile, dirId);
        if (!taken)
            return withReadProblems(taken);
        // Another program took this id meanwhile.
        if (const auto now = map->getValueByKey(record->cId()); now && now != record)
            return withReadProblems(StoreOutcome::failure("Err022", path));
    }
    if (!map->contains(record->cId()) && map->isFull())
        return withReadProblems(StoreOutcome::failureFor("Err008", path, "Err010"));
    // Appended to a CR rather than written "\r" + ...: GCC 12 at -O3 takes that for an
    // overlapping copy (-Wrestrict), which stops Release builds.
    const std::string line = std::string(1, '\r').append(formatContentLine(*record));
    StoreOutcome outcome = outcomeOf(files_.writeFile(path, FILE_APPEND, 1, {line}), path, "Err008");
    if (!outcome)
        return withReadProblems(outcome);
    rememberAppended(path, line);
    const std::string key(record->cId());
    map->addMap(key, std::move(record));
    notify(StoreChange::Kind::IndexFile, dirId);
    return withReadProblems(outcome);
}

} // namespace quillory
