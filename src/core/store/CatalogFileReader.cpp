#include "core/store/CatalogFileReader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/store/RecordFormat.h"
#include "core/store/SafeFile.h"

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

// Records made in blocks: the records of one file lie together in one allocation with the file's
// text (copied after them, or kept where it was read), the records' texts in the file's text,
// and each record handed out keeps the block alive. The block has room for the most records the
// file can hold (one per line), so nothing in it moves.
template <class Record>
class RecordBlock {
public:
    // ownedText: memory that holds text already, taken over rather than copied.
    RecordBlock(size_t capacity, std::string_view text, std::unique_ptr<char[]> ownedText = nullptr)
    {
        const bool copy = !ownedText;
        const size_t header = (sizeof(Block) + alignof(Record) - 1) / alignof(Record) * alignof(Record);
        char* raw = static_cast<char*>(::operator new(header + capacity * sizeof(Record) + (copy ? text.size() : 0)));
        Record* records = reinterpret_cast<Record*>(raw + header);
        const char* kept = text.data();
        if (copy) {
            char* place = reinterpret_cast<char*>(records + capacity);
            if (!text.empty())
                std::memcpy(place, text.data(), text.size());
            kept = place;
        }
        Block* block = new (raw)
            Block{records, 0, capacity, TextArena(std::string_view(kept, text.size())), std::move(ownedText)};
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
        std::unique_ptr<char[]> ownedText;
        ~Block()
        {
            for (size_t i = used; i > 0; --i)
                records[i - 1].~Record();
        }
    };
    std::shared_ptr<Block> block_;
};

// How a file's text is held while it is parsed: in the thread's buffer, in memory of its own that
// the records take over, or given by the caller.
enum class TextSource { Buffer, Owned, Given };

template <class Map, class Record, class Parse, class IdOf, class... RecordArgs>
CatalogFileRead<Map> parseRecords(CatalogFileRead<Map> result, std::string_view content, TextSource source,
                                  std::unique_ptr<char[]> owned, const std::string& path, const FileKind& kind,
                                  Parse parse, IdOf idOf, RecordArgs... recordArgs);

template <class Map, class Record, class Parse, class IdOf, class... RecordArgs>
CatalogFileRead<Map> readRecords(FileIo& io, const std::string& path, const FileKind& kind, Parse parse, IdOf idOf,
                                 RecordArgs... recordArgs)
{
    CatalogFileRead<Map> result;
    // Index records keep their texts in the file's text: it is read into memory of its own, which
    // the records take over. Folder records copy theirs, and the buffer is used again.
    constexpr bool keepText = !std::is_same_v<Record, FolderRecord>;
    std::unique_ptr<char[]> owned;
    size_t ownedSize = 0;
    std::string& buffer = readBuffer();
    int error = 0;
    const bool read = keepText ? readWholeFileOwned(io, path, owned, ownedSize, &error, &result.stamp)
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
    const std::string_view content = keepText ? std::string_view(owned.get(), ownedSize) : std::string_view(buffer);
    return parseRecords<Map, Record>(std::move(result), content, keepText ? TextSource::Owned : TextSource::Buffer,
                                     std::move(owned), path, kind, parse, idOf, recordArgs...);
}

// Where the lines and the fields of a file's text lie, found in one pass over it.
struct TextMarks {
    std::unique_ptr<size_t[]> at; // every line end (CR) and every separator, in order
    size_t count = 0;
    size_t capacity = 0;
    size_t lineEnds = 0; // how many of them are line ends
    bool hash = false;   // the text holds a '#' (so it may hold escapes)

    // Room for n more marks.
    size_t* roomFor(size_t n)
    {
        if (count + n > capacity) {
            const size_t grown = std::max(capacity * 2, count + n);
            std::unique_ptr<size_t[]> more(new size_t[grown]);
            std::copy(at.get(), at.get() + count, more.get());
            at = std::move(more);
            capacity = grown;
        }
        return at.get() + count;
    }
};

void markText(std::string_view text, TextMarks& marks)
{
    marks.count = 0;
    const char* const p = text.data();
    const size_t size = text.size();
    size_t i = 0;
    size_t lineEnds = 0; // (kept here, not in the thread's marks, while the loop runs)
    bool hashFound = false;
#if defined(__SSE2__)
    // Sixteen bytes at a time, four times over: one mask of the line ends and separators of 64
    // bytes, whose set bits are taken lowest first.
    const __m128i lineEnd = _mm_set1_epi8('\r');
    const __m128i separator = _mm_set1_epi8('|');
    const __m128i hash = _mm_set1_epi8('#');
    __m128i hashes = _mm_setzero_si128();
    auto maskOf = [&](size_t at) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
        hashes = _mm_or_si128(hashes, _mm_cmpeq_epi8(chunk, hash));
        return static_cast<uint64_t>(static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, lineEnd), _mm_cmpeq_epi8(chunk, separator)))));
    };
    for (; i + 64 <= size; i += 64) {
        uint64_t mask = maskOf(i) | maskOf(i + 16) << 16 | maskOf(i + 32) << 32 | maskOf(i + 48) << 48;
        if (mask == 0)
            continue;
        size_t* const first = marks.roomFor(64);
        size_t* out = first;
        for (; mask != 0; mask &= mask - 1) {
            const size_t at = i + static_cast<size_t>(std::countr_zero(mask));
            *out++ = at;
            lineEnds += p[at] == '\r';
        }
        marks.count += static_cast<size_t>(out - first);
    }
    hashFound = _mm_movemask_epi8(hashes) != 0;
#endif
    for (; i < size; ++i) {
        if (p[i] == '\r' || p[i] == '|') {
            *marks.roomFor(1) = i;
            ++marks.count;
            lineEnds += p[i] == '\r';
        } else if (p[i] == '#') {
            hashFound = true;
        }
    }
    marks.lineEnds = lineEnds;
    marks.hash = hashFound;
}

// Calls onLine(line start, line end, separators, separator count, line number) with each
// non-empty line of the marked text, as forEachNumberedLine gives them: a line ends at CR LF or
// at a lone CR, and a lone LF stays inside the line.
template <class OnLine>
void forEachMarkedLine(std::string_view text, const TextMarks& marks, OnLine&& onLine)
{
    const size_t size = text.size();
    const size_t* const at = marks.at.get();
    const size_t count = marks.count;
    size_t start = 0;
    size_t firstSeparator = 0;
    int number = 0;
    for (size_t k = 0; k <= count && start < size; ++k) {
        const size_t end = k == count ? size : at[k];
        if (end < size && text[end] == '|')
            continue;
        ++number;
        if (end > start)
            onLine(start, end, at + firstSeparator, k - firstSeparator, number);
        start = end + 1;
        if (start < size && text[start] == '\n')
            ++start;
        firstSeparator = k + 1;
    }
}

bool parseFolderLine(std::string_view line, const char*, const size_t*, size_t, FolderRecord& record, bool* extra,
                     TextArena*, bool)
{
    return parseDirLine(line, record, extra);
}
std::string_view folderIdOf(const FolderRecord& record)
{
    return record.dirId;
}

// The fields are cut where the separators were found; base is where the text the separators'
// positions count from lies.
bool parseIndexLine(std::string_view line, const char* base, const size_t* separators, size_t separatorCount,
                    IndexRecord& record, bool* extra, TextArena* texts, bool mayHoldEscapes)
{
    *extra = separatorCount >= IndexRecord::kFieldCount;
    // The common line: every field there, no escape, a path that does not name the root in full.
    // The record keeps the line where it lies.
    if (separatorCount >= IndexRecord::kFieldCount - 1 && line.size() <= UINT32_MAX
        && (!mayHoldEscapes || !mayNeedUnescape(line))) {
        const size_t lineStart = static_cast<size_t>(line.data() - base);
        std::array<uint32_t, IndexRecord::kFieldCount> ends;
        for (size_t i = 0; i < IndexRecord::kFieldCount; ++i)
            ends[i] = static_cast<uint32_t>(i < separatorCount ? separators[i] - lineStart : line.size());
        const std::string_view path = line.substr(ends[1] + 1, ends[2] - ends[1] - 1);
        if (record.rootLengthIn(path) == std::string_view::npos) {
            record.assignLine(line, ends, texts);
            return true;
        }
    }
    std::array<std::string_view, IndexRecord::kFieldCount> fields;
    const size_t count = std::min(separatorCount + 1, IndexRecord::kFieldCount);
    const char* from = line.data();
    for (size_t i = 0; i < count; ++i) {
        const char* to = i < separatorCount ? base + separators[i] : line.data() + line.size();
        fields[i] = std::string_view(from, static_cast<size_t>(to - from));
        from = to + 1;
    }
    return parseContentFields(line, fields, count, record, texts, mayHoldEscapes);
}
std::string_view indexIdOf(const IndexRecord& record)
{
    return record.cId();
}

template <class Map, class Record, class Parse, class IdOf, class... RecordArgs>
CatalogFileRead<Map> parseRecords(CatalogFileRead<Map> result, std::string_view content, TextSource source,
                                  std::unique_ptr<char[]> owned, const std::string& path, const FileKind& kind,
                                  Parse parse, IdOf idOf, RecordArgs... recordArgs)
{
    constexpr bool keepText = !std::is_same_v<Record, FolderRecord>;
    // The lines and separators first, in one pass, so that the map and the records are sized
    // once rather than grown step by step (at most one record per line); the text they lie in
    // goes with the block, which does not move it.
    thread_local TextMarks marks;
    markText(content, marks);
    // (Text after the last line end is one more line; a line end's LF is no line.)
    const bool endsWithLineEnd = !content.empty() && (content.back() == '\r' || content.ends_with("\r\n"));
    const size_t lineCount = marks.lineEnds + (endsWithLineEnd ? 0 : 1);

    std::vector<int> malformedLines;
    int malformedCount = 0;
    result.map = std::make_shared<Map>();
    result.map->reserve(std::min(lineCount, static_cast<size_t>(Map::kMaxEntries)));
    RecordBlock<Record> block(lineCount, keepText ? content : std::string_view(), std::move(owned));
    const char* const blockText = keepText ? block.text().data() : content.data();
    std::string key;
    forEachMarkedLine(
        content, marks, [&](size_t start, size_t end, const size_t* separators, size_t separatorCount, int lineNumber) {
            if (!result.complete)
                return;
            // The line as it lies in the block's copy of the text.
            const std::string_view line(blockText + start, end - start);
            std::shared_ptr<Record> record = block.next(recordArgs...);
            bool extraFields = false;
            if (!parse(line, blockText, separators, separatorCount, *record, &extraFields, block.texts(), marks.hash)) {
                if (malformedLines.size() < StoreOutcome::kLinesKept)
                    malformedLines.push_back(lineNumber);
                ++malformedCount;
                result.lossy = true;
            }
            key.assign(idOf(*record));
            const int before = result.map->getCount();
            if (!result.map->addMap(key, std::move(record))) {
                result.complete = false;
                result.incompleteReasonKey = kLimitReachedKey;
                result.problems.add(StoreOutcome::failureFor(kind.unreadableKey, path, kLimitReachedKey));
                return;
            }
            if (extraFields || result.map->getCount() == before)
                result.lossy = true; // fields dropped, or an earlier line of the same id
        });
    if (keepText) {
        result.textOwner = block.owner();
        result.text = block.text();
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
    return parseRecords<FolderMap, FolderRecord>(FolderFileRead{}, text, TextSource::Given, nullptr, path, kFolderFile,
                                                 parseFolderLine, folderIdOf);
}

IndexFileRead parseIndexText(const std::string& path, std::string_view text, const std::string* root)
{
    return parseRecords<IndexMap, IndexRecord>(IndexFileRead{}, text, TextSource::Given, nullptr, path, kIndexFile,
                                               parseIndexLine, indexIdOf, root);
}

} // namespace quillory
