#include "core/store/IndexRecord.h"

#include <cstring>
#include <utility>

#include "core/store/TextFiles.h"

namespace quillory {

IndexRecord::IndexRecord(const IndexRecord& other) : rawPath(other.rawPath), root_(other.root_)
{
    assignFields(other.fields());
}

IndexRecord& IndexRecord::operator=(const IndexRecord& other)
{
    if (this != &other) {
        rawPath = other.rawPath;
        root_ = other.root_;
        assignFields(other.fields());
    }
    return *this;
}

IndexRecord& IndexRecord::operator=(IndexRecord&& other) noexcept
{
    if (this != &other) {
        rawPath = other.rawPath;
        root_ = other.root_;
        text_ = std::exchange(other.text_, nullptr);
        ownText_ = std::move(other.ownText_);
        ends_ = std::exchange(other.ends_, {});
    }
    return *this;
}

std::array<std::string_view, IndexRecord::kFields> IndexRecord::fields() const
{
    std::array<std::string_view, kFields> all;
    for (uint8_t f = 0; f < kFields; ++f)
        all[f] = field(static_cast<Field>(f));
    return all;
}

void IndexRecord::assignFields(const std::array<std::string_view, kFields>& fields, TextArena* arena)
{
    // The fields with one byte between each two; fields that lie so already (the fields of a
    // line read from a file, with their separators) are one piece.
    size_t total = kFields - 1;
    bool onePiece = true;
    for (uint8_t f = 0; f < kFields; ++f) {
        total += fields[f].size();
        // An empty field may have no data at all: nothing may be added to its null pointer.
        if (f > 0
            && (fields[f].data() == nullptr || fields[f - 1].data() == nullptr
                || fields[f].data() != fields[f - 1].data() + fields[f - 1].size() + 1))
            onePiece = false;
    }
    std::array<uint32_t, kFields> ends{};
    if (onePiece && arena && arena->holds({fields[0].data(), total})) {
        size_t at = 0;
        for (uint8_t f = 0; f < kFields; ++f) {
            at += fields[f].size();
            ends[f] = static_cast<uint32_t>(at);
            ++at;
        }
        text_ = fields[0].data();
        ownText_.reset();
        ends_ = ends;
        return;
    }
    // Made before the old block goes: a value may lie in it.
    std::unique_ptr<char[]> own(new char[total]);
    char* const text = own.get();
    if (onePiece) {
        std::memcpy(text, fields[0].data(), total);
        size_t at = 0;
        for (uint8_t f = 0; f < kFields; ++f) {
            at += fields[f].size();
            ends[f] = static_cast<uint32_t>(at);
            ++at;
        }
    } else {
        size_t at = 0;
        for (uint8_t f = 0; f < kFields; ++f) {
            if (!fields[f].empty())
                std::memcpy(text + at, fields[f].data(), fields[f].size());
            at += fields[f].size();
            ends[f] = static_cast<uint32_t>(at);
            if (f + 1 < kFields)
                text[at++] = '|';
        }
    }
    text_ = text;
    ownText_ = std::move(own);
    ends_ = ends;
}

void IndexRecord::setField(Field f, std::string_view value)
{
    std::array<std::string_view, kFields> all = fields();
    all[f] = value;
    assignFields(all);
}

void IndexRecord::assign(std::string_view id, std::string_view title, std::string_view storedPath,
                         std::string_view needPwd, std::string_view pwd, std::string_view addTime,
                         std::string_view desc, TextArena* arena)
{
    assignFields({id, title, storedPath, needPwd, pwd, addTime, desc}, arena);
}

void IndexRecord::assignLine(std::string_view line, const std::array<uint32_t, kFieldCount>& ends, TextArena* arena)
{
    if (!arena || !arena->holds(line)) {
        std::array<std::string_view, kFields> fields;
        uint32_t start = 0;
        for (uint8_t f = 0; f < kFields; ++f) {
            fields[f] = line.substr(start, ends[f] - start);
            start = ends[f] + 1;
        }
        assignFields(fields);
        return;
    }
    text_ = line.data();
    ownText_.reset();
    ends_ = ends;
}

namespace {

// The root without separators at its end ("" for "/"): what a stored path continues with a
// separator of its own.
std::string_view rootWithoutTrailingSeparator(std::string_view root)
{
    while (!root.empty() && root.back() == kPathSep)
        root.remove_suffix(1);
    return root;
}

} // namespace

// Every placeholder is replaced, wherever it stands, as files have always been read. Where the
// stored path goes on with a separator, the root is joined to it without a second one (a root
// of "/" or one written with a trailing "/").
std::string IndexRecord::cContentPath() const
{
    const std::string_view stored = storedPath();
    if (rawPath || !root_)
        return std::string(stored);
    if (stored.find(kRootPlaceholder) == std::string_view::npos)
        return std::string(stored);
    const std::string& root = *root_;
    const std::string_view trimmedRoot = rootWithoutTrailingSeparator(root);
    std::string result;
    size_t from = 0;
    for (size_t at = stored.find(kRootPlaceholder); at != std::string_view::npos;
         at = stored.find(kRootPlaceholder, from)) {
        result.append(stored.substr(from, at - from));
        from = at + kRootPlaceholder.size();
        const bool separatorFollows = from < stored.size() && stored[from] == kPathSep;
        result += separatorFollows ? trimmedRoot : std::string_view(root);
    }
    result.append(stored.substr(from));
    return result;
}

// Only a root that is the whole first part of the path is replaced: a path that merely
// contains the root's text elsewhere (a web address, a sibling folder whose name starts like
// the root's) is stored as it is, so it does not change when the catalog moves. The stored
// path keeps the separator after the root, so it reads back right under any root, "/" too.
size_t IndexRecord::rootLengthIn(std::string_view value) const
{
    if (!root_)
        return std::string_view::npos;
    const std::string& root = *root_;
    const std::string_view trimmedRoot = rootWithoutTrailingSeparator(root);
    const bool inside = !root.empty() && value.substr(0, trimmedRoot.size()) == trimmedRoot
                        && (value.size() == trimmedRoot.size() ? !trimmedRoot.empty()
                                                               : value[trimmedRoot.size()] == kPathSep);
    return inside ? trimmedRoot.size() : std::string_view::npos;
}

std::string IndexRecord::storedFormOf(std::string_view value) const
{
    const size_t rootLength = rootLengthIn(value);
    if (rootLength == std::string_view::npos)
        return std::string(value);
    std::string stored(kRootPlaceholder);
    stored.append(value.substr(rootLength));
    return stored;
}

void IndexRecord::setCContentPath(std::string_view value)
{
    setStoredPath(storedFormOf(value));
}

} // namespace quillory
