#include "core/store/CatalogFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <type_traits>
#include <vector>

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

// Records made in blocks: the records of one file lie side by side in one allocation, their
// texts in another, and each record handed out keeps the block alive. The block is sized for the
// most records and texts the file can hold (one record per line; texts no longer than the file
// and the roots that stored paths stand for), so it never moves.
template <class Record>
class RecordBlock {
public:
    RecordBlock(size_t records, size_t textBytes) : block_(std::make_shared<Block>(textBytes))
    {
        block_->records.reserve(records);
    }
    template <class... Args>
    std::shared_ptr<Record> next(Args... args)
    {
        if (block_->records.size() == block_->records.capacity())
            return std::make_shared<Record>(args...);
        block_->records.emplace_back(args...);
        return std::shared_ptr<Record>(block_, &block_->records.back());
    }
    TextArena* texts() { return &block_->texts; }

private:
    struct Block {
        explicit Block(size_t textBytes) : texts(textBytes) {}
        TextArena texts;
        std::vector<Record> records; // after the texts: they go first
    };
    std::shared_ptr<Block> block_;
};

template <class Map, class Record, class Parse, class IdOf, class... RecordArgs>
CatalogFileRead<Map> readRecords(const std::string& path, const FileKind& kind, Parse parse, IdOf idOf,
                                 RecordArgs... recordArgs)
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
    // At most one record per line: the map and the records are sized once rather than grown
    // step by step.
    const size_t lines = lineCountAtMost(content);
    result.map->reserve(std::min(lines, static_cast<size_t>(Map::kMaxEntries)));
    RecordBlock<Record> block(lines, std::is_same_v<Record, QlrDirModel> ? 0 : content.size() + lines * 16);

    StoreOutcome malformed = StoreOutcome::failure(kind.malformedKey, path);
    bool full = false;
    fileOpe::forEachNumberedLine(content, [&](std::string_view line, int lineNumber) {
        if (full)
            return;
        std::shared_ptr<Record> record = block.next(recordArgs...);
        bool extraFields = false;
        if (!parse(line, *record, &extraFields, block.texts())) {
            if (malformed.lines.size() < StoreOutcome::kLinesKept)
                malformed.lines.push_back(lineNumber);
            ++malformed.lineCount;
            result.lossy = true;
        }
        const std::string key(idOf(*record));
        const int before = result.map->getCount();
        if (!result.map->addMap(key, std::move(record))) {
            full = true;
            result.complete = false;
            result.incompleteReasonKey = kLimitReachedKey;
            result.problems.add(StoreOutcome::failureFor(kind.unreadableKey, path, kLimitReachedKey));
        } else if (extraFields || result.map->getCount() == before) {
            result.lossy = true; // fields dropped, or an earlier line of the same id
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
        path, kFolderFile,
        [](std::string_view line, QlrDirModel& record, bool* extra, TextArena*) { return parseDirLine(line, record, extra); },
        [](const QlrDirModel& record) -> std::string_view { return record.dirId; });
}

IndexFileRead readIndexFile(const std::string& path, RootPathSource* root)
{
    return readRecords<ContentMap, QlrDirContentModel>(
        path, kIndexFile,
        [](std::string_view line, QlrDirContentModel& record, bool* extra, TextArena* texts) {
            return parseContentLine(line, record, extra, texts);
        },
        [](const QlrDirContentModel& record) { return record.cId(); }, root);
}

} // namespace quillory
