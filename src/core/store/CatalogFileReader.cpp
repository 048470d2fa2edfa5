#include "core/store/CatalogFileReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <type_traits>
#include <vector>

#include "core/store/ByteCount.h"
#include "core/store/RecordFormat.h"
#include "core/store/SafeFile.h"
#include "core/store/TextSplit.h"

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
// A pipe, a device or a link to one where a catalog file belongs.
constexpr const char* kNotPlainFileKey = "Err021";

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

// Records made in blocks: the records of one file and the file's text lie together in one
// allocation, the records' texts in the file's text, and each record handed out keeps the block
// alive. The block has room for the most records the file can hold (one per line), so nothing in
// it moves.
template <class Record>
class RecordBlock {
public:
    RecordBlock(size_t capacity, std::string_view text)
    {
        const size_t header = (sizeof(Block) + alignof(Record) - 1) / alignof(Record) * alignof(Record);
        char* raw = static_cast<char*>(::operator new(header + capacity * sizeof(Record) + text.size()));
        Record* records = reinterpret_cast<Record*>(raw + header);
        char* copy = reinterpret_cast<char*>(records + capacity);
        if (!text.empty())
            std::memcpy(copy, text.data(), text.size());
        Block* block = new (raw) Block{records, 0, capacity, TextArena(std::string_view(copy, text.size()))};
        block_ = std::shared_ptr<Block>(block, [](Block* b) {
            b->~Block();
            ::operator delete(static_cast<void*>(b));
        });
    }
    template <class... Args>
    std::shared_ptr<Record> next(Args... args)
    {
        Block& b = *block_;
        if (b.used == b.capacity)
            return std::make_shared<Record>(args...);
        Record* record = new (b.records + b.used) Record(args...);
        ++b.used;
        return std::shared_ptr<Record>(block_, record);
    }
    TextArena* texts() { return &block_->texts; }
    std::shared_ptr<const void> owner() const { return block_; }
    std::string_view text() const { return block_->texts.text(); }

private:
    struct Block {
        Record* records;
        size_t used;
        size_t capacity;
        TextArena texts;
        ~Block()
        {
            for (size_t i = used; i > 0; --i)
                records[i - 1].~Record();
        }
    };
    std::shared_ptr<Block> block_;
};

// How a file's text is held while it is parsed.
enum class TextSource { Buffer, Shared, Given };

template <class Map, class Record, class Parse, class IdOf, class... RecordArgs>
CatalogFileRead<Map> parseRecords(CatalogFileRead<Map> result, std::string_view content, TextSource source,
                                  const std::string& path, const FileKind& kind, Parse parse, IdOf idOf,
                                  RecordArgs... recordArgs);

template <class Map, class Record, class Parse, class IdOf, class... RecordArgs>
CatalogFileRead<Map> readRecords(FileIo& io, const std::string& path, const FileKind& kind, Parse parse, IdOf idOf,
                                 RecordArgs... recordArgs)
{
    CatalogFileRead<Map> result;
    // Index records keep their texts in the file's text: it is read into a string of its own.
    // Folder records copy theirs, and the buffer is used again.
    constexpr bool keepText = !std::is_same_v<Record, FolderRecord>;
    std::string_view fileText;
    std::string& buffer = readBuffer();
    int error = 0;
    const bool read = keepText ? readWholeFileShared(io, path, fileText, &error, &result.stamp)
                               : readWholeFileInto(io, path, buffer, &error, &result.stamp);
    if (!read) {
        // A missing file is an empty one.
        if (error == EINVAL && result.stamp.exists && !result.stamp.regular) {
            result.complete = false;
            result.incompleteReasonKey = kNotPlainFileKey;
            result.problems.add(StoreOutcome::failureFor(kind.unreadableKey, path, kNotPlainFileKey));
        } else if (error != ENOENT) {
            result.complete = false;
            result.problems.add(StoreOutcome::failure(kind.unreadableKey, path, std::strerror(error)));
        }
        releaseLargeBuffer();
        return result;
    }
    return parseRecords<Map, Record>(std::move(result), keepText ? fileText : std::string_view(buffer),
                                     keepText ? TextSource::Shared : TextSource::Buffer, path, kind, parse, idOf,
                                     recordArgs...);
}

template <class Map, class Record, class Parse, class IdOf, class... RecordArgs>
CatalogFileRead<Map> parseRecords(CatalogFileRead<Map> result, std::string_view content, TextSource source,
                                  const std::string& path, const FileKind& kind, Parse parse, IdOf idOf,
                                  RecordArgs... recordArgs)
{
    constexpr bool keepText = !std::is_same_v<Record, FolderRecord>;
    // At most one record per line: the map and the records are sized once rather than grown
    // step by step.
    // The lines first, so that the map and the records are sized once rather than grown step
    // by step; the text they lie in moves into the block, which does not move it.
    struct Line {
        std::string_view text;
        int number;
    };
    thread_local std::vector<Line> lines;
    lines.clear();
    forEachNumberedLine(content, [](std::string_view line, int number) { lines.push_back({line, number}); });
    // A file of whole lines has as many separators as its lines have between fields; one that
    // holds no '#' holds no escape.
    LineHints hints;
    hints.noExtraFields = countByte(content, '|') == lines.size() * (Record::kFieldCount - 1);
    hints.noEscapes = content.find('#') == std::string_view::npos;

    std::vector<int> malformedLines;
    int malformedCount = 0;
    auto parseLines = [&](const LineHints& given) {
        result.map = std::make_shared<Map>();
        result.map->reserve(std::min(lines.size(), static_cast<size_t>(Map::kMaxEntries)));
        result.lossy = false;
        malformedLines.clear();
        malformedCount = 0;
        RecordBlock<Record> block(lines.size(), keepText ? content : std::string_view());
        const char* const blockText = keepText ? block.text().data() : content.data();
        for (const auto& [fileLine, lineNumber] : lines) {
            // The line as it lies in the block's copy of the text.
            const std::string_view line(blockText + (fileLine.data() - content.data()), fileLine.size());
            std::shared_ptr<Record> record = block.next(recordArgs...);
            bool extraFields = false;
            if (!parse(line, *record, &extraFields, block.texts(), given)) {
                if (malformedLines.size() < StoreOutcome::kLinesKept)
                    malformedLines.push_back(lineNumber);
                ++malformedCount;
                result.lossy = true;
            }
            const std::string key(idOf(*record));
            const int before = result.map->getCount();
            if (!result.map->addMap(key, std::move(record))) {
                result.complete = false;
                result.incompleteReasonKey = kLimitReachedKey;
                result.problems.add(StoreOutcome::failureFor(kind.unreadableKey, path, kLimitReachedKey));
                break;
            }
            if (extraFields || result.map->getCount() == before)
                result.lossy = true; // fields dropped, or an earlier line of the same id
        }
        if (keepText) {
            result.textOwner = block.owner();
            result.text = block.text();
        }
    };
    parseLines(hints);
    // The separators added up only by chance (a line short of some, another with more): read
    // again, looking at every line.
    if (hints.noExtraFields && malformedCount > 0) {
        result.problems = StoreProblems();
        result.complete = true;
        result.incompleteReasonKey.clear();
        parseLines(LineHints{false, hints.noEscapes});
    }
    if (malformedCount > 0) {
        StoreOutcome malformed = StoreOutcome::failure(kind.malformedKey, path);
        malformed.lines = std::move(malformedLines);
        malformed.lineCount = malformedCount;
        result.problems.add(std::move(malformed));
    }
    if (!keepText) {
        auto copy = std::make_shared<const std::string>(content);
        result.text = *copy;
        result.textOwner = std::move(copy);
        if (source == TextSource::Buffer)
            releaseLargeBuffer();
    }
    return result;
}

bool parseFolderLine(std::string_view line, FolderRecord& record, bool* extra, TextArena*, LineHints)
{
    return parseDirLine(line, record, extra);
}
std::string_view folderIdOf(const FolderRecord& record)
{
    return record.dirId;
}

bool parseIndexLine(std::string_view line, IndexRecord& record, bool* extra, TextArena* texts, LineHints hints)
{
    return parseContentLine(line, record, extra, texts, hints);
}
std::string_view indexIdOf(const IndexRecord& record)
{
    return record.cId();
}

} // namespace

FolderFileRead readFolderFile(FileIo& io, const std::string& path)
{
    return readRecords<FolderMap, FolderRecord>(io, path, kFolderFile, parseFolderLine, folderIdOf);
}

IndexFileRead readIndexFile(FileIo& io, const std::string& path, const std::string* root)
{
    return readRecords<IndexMap, IndexRecord>(io, path, kIndexFile, parseIndexLine, indexIdOf, root);
}

FolderFileRead parseFolderText(const std::string& path, std::string_view text)
{
    return parseRecords<FolderMap, FolderRecord>(FolderFileRead{}, text, TextSource::Given, path, kFolderFile,
                                                 parseFolderLine, folderIdOf);
}

IndexFileRead parseIndexText(const std::string& path, std::string_view text, const std::string* root)
{
    return parseRecords<IndexMap, IndexRecord>(IndexFileRead{}, text, TextSource::Given, path, kIndexFile,
                                               parseIndexLine, indexIdOf, root);
}

} // namespace quillory
