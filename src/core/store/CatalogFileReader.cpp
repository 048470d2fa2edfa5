#include "core/store/CatalogFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/store/RecordFormat.h"
#include "core/store/SafeFile.h"
#include "core/store/fileOpe.h"

namespace quillory {
namespace {

// The message keys of one kind of file.
struct FileKind {
    const char* unreadableKey;
    const char* malformedKey;
};
constexpr FileKind kFolderFile{"Err002", "Err003"};
constexpr FileKind kIndexFile{"Err006", "Err007"};
// A file with more records than a map holds.
constexpr const char* kLimitReachedKey = "Err010";

// Loading a catalog reads thousands of small files: one buffer per thread keeps that memory
// warm. One that a large file made large is let go.
std::string& readBuffer()
{
    thread_local std::string buffer;
    return buffer;
}

void releaseLargeBuffer()
{
    constexpr size_t kKeepAtMost = 1 << 20;
    std::string& buffer = readBuffer();
    if (buffer.capacity() > kKeepAtMost)
        std::string().swap(buffer);
}

size_t lineCountAtMost(const std::string& content)
{
    size_t lines = 1;
    const char* const end = content.data() + content.size();
    for (const char* cr = content.data(); (cr = static_cast<const char*>(std::memchr(cr, '\r', static_cast<size_t>(end - cr)))); ++cr)
        ++lines;
    return lines;
}

template <class Map, class Record, class MakeRecord, class Parse>
CatalogFileRead<Map> readRecords(const std::string& path, const FileKind& kind, MakeRecord makeRecord, Parse parse,
                                 std::string Record::*idField)
{
    CatalogFileRead<Map> result;
    std::string& content = readBuffer();
    int error = 0;
    if (!readWholeFileInto(path, content, &error)) {
        // A missing file is an empty one.
        if (error != ENOENT) {
            result.complete = false;
            result.problems.add(StoreOutcome::failure(kind.unreadableKey, path, std::strerror(error)));
        }
        releaseLargeBuffer();
        return result;
    }
    // At most one record per line: the map is sized once rather than grown step by step.
    result.map->reserve(std::min(lineCountAtMost(content), static_cast<size_t>(Map::kMaxEntries)));

    StoreOutcome malformed = StoreOutcome::failure(kind.malformedKey, path);
    bool full = false;
    fileOpe::forEachNumberedLine(content, [&](std::string_view line, int lineNumber) {
        if (full)
            return;
        std::shared_ptr<Record> record = makeRecord();
        bool extraFields = false;
        if (!parse(line, *record, &extraFields)) {
            if (malformed.lines.size() < StoreOutcome::kLinesKept)
                malformed.lines.push_back(lineNumber);
            ++malformed.lineCount;
            result.lossy = true;
        }
        const std::string key = (*record).*idField;
        if (extraFields || result.map->contains(key))
            result.lossy = true;
        if (!result.map->addMap(key, std::move(record))) {
            full = true;
            result.complete = false;
            result.incompleteReasonKey = kLimitReachedKey;
            result.problems.add(StoreOutcome::failureFor(kind.unreadableKey, path, kLimitReachedKey));
        }
    });
    if (malformed.lineCount > 0)
        result.problems.add(std::move(malformed));
    releaseLargeBuffer();
    return result;
}

} // namespace

FolderFileRead readFolderFile(const std::string& path)
{
    return readRecords<DirMap, QlrDirModel>(
        path, kFolderFile, [] { return std::make_shared<QlrDirModel>(); },
        [](std::string_view line, QlrDirModel& record, bool* extra) { return parseDirLine(line, record, extra); },
        &QlrDirModel::dirId);
}

IndexFileRead readIndexFile(const std::string& path, RootPathSource* root)
{
    return readRecords<ContentMap, QlrDirContentModel>(
        path, kIndexFile, [root] { return std::make_shared<QlrDirContentModel>(root); },
        [](std::string_view line, QlrDirContentModel& record, bool* extra) { return parseContentLine(line, record, extra); },
        &QlrDirContentModel::cId);
}

} // namespace quillory
