#include "core/references/FingerprintCache.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "core/base/Paths.h"

namespace quillory {

namespace {

constexpr std::string_view kFirstLine = "quillory fingerprints 1";
constexpr char kFieldSep = '\t';

// Reads one unsigned number in hexadecimal (base 16) or decimal from field; false when field is
// not one whole number.
template <class Number>
bool parseNumber(std::string_view field, Number& value, int base = 10)
{
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value, base);
    return error == std::errc() && end == field.data() + field.size() && !field.empty();
}

// The next field of line (up to a tab), taken off the line; false when no tab follows it.
bool takeField(std::string_view& line, std::string_view& field)
{
    const size_t tab = line.find(kFieldSep);
    if (tab == std::string_view::npos)
        return false;
    field = line.substr(0, tab);
    line.remove_prefix(tab + 1);
    return true;
}

// Makes folder and those above it that are missing.
void makeFolders(FileIo& io, const std::string& folder)
{
    for (size_t at = folder.find(kPathSep, 1); at != std::string::npos; at = folder.find(kPathSep, at + 1))
        io.mkdir(folder.substr(0, at).c_str(), 0700);
    io.mkdir(folder.c_str(), 0700);
}

} // namespace

std::string FingerprintCache::fileFor(const std::string& catalogFile)
{
    // A relative cache folder is to be ignored, as if none were set.
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome && cacheHome[0] == kPathSep)
        return fileFor(catalogFile, cacheHome);
    const char* home = std::getenv("HOME");
    if (home && home[0] == kPathSep)
        return fileFor(catalogFile, joinPath(home, ".cache"));
    return {};
}

std::string FingerprintCache::fileFor(const std::string& catalogFile, const std::string& cacheFolder)
{
    char name[17];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(hashOfText(catalogFile)));
    return joinPath(joinPath(joinPath(cacheFolder, "quillory"), name), "fingerprints");
}

bool FingerprintCache::load(FileIo& io, const std::string& file)
{
    const std::optional<std::string> text = readWholeFile(io, file);
    if (!text)
        return false;
    std::string_view rest = *text;
    bool whole = true;
    bool first = true;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (first) {
            first = false;
            if (line != kFirstLine)
                return false; // another format, or garbage: nothing in it can be trusted
            continue;
        }
        // size, time of change, hash ("-" when not read), path
        std::string_view size;
        std::string_view modified;
        std::string_view hash;
        Entry entry;
        uint64_t hashValue = 0;
        if (!takeField(line, size) || !takeField(line, modified) || !takeField(line, hash) || line.empty()
            || line.front() != kPathSep || !parseNumber(size, entry.size) || !parseNumber(modified, entry.modified)
            || (hash != "-" && !parseNumber(hash, hashValue, 16))) {
            whole = false;
            continue;
        }
        if (hash != "-")
            entry.hash = hashValue;
        entries_[std::string(line)] = Held{entry, false};
    }
    changed_ = !whole || first; // a damaged file is written anew
    return whole && !first;
}

WriteOutcome FingerprintCache::save(FileIo& io, const std::string& file) const
{
    std::string text(kFirstLine);
    text += '\n';
    text.reserve(entries_.size() * 80);
    char numbers[80];
    for (const auto& [path, held] : entries_) {
        if (path.find('\n') != std::string::npos)
            continue; // a line break in a path would end its line: such a document goes unremembered
        const Entry& entry = held.entry;
        if (entry.hash)
            std::snprintf(numbers, sizeof numbers, "%llu\t%lld\t%llx\t", static_cast<unsigned long long>(entry.size),
                          static_cast<long long>(entry.modified), static_cast<unsigned long long>(*entry.hash));
        else
            std::snprintf(numbers, sizeof numbers, "%llu\t%lld\t-\t", static_cast<unsigned long long>(entry.size),
                          static_cast<long long>(entry.modified));
        text += numbers;
        text += path;
        text += '\n';
    }
    const size_t folderEnd = file.rfind(kPathSep);
    if (folderEnd != std::string::npos && folderEnd > 0)
        makeFolders(io, file.substr(0, folderEnd));
    return replaceFileAtomically(io, file, text);
}

const FingerprintCache::Entry* FingerprintCache::find(const std::string& path) const
{
    const auto found = entries_.find(path);
    return found == entries_.end() ? nullptr : &found->second.entry;
}

void FingerprintCache::put(const std::string& path, const Entry& entry)
{
    entries_[path] = Held{entry, true};
    changed_ = true;
}

void FingerprintCache::markUsed(const std::string& path)
{
    const auto found = entries_.find(path);
    if (found != entries_.end())
        found->second.used = true;
}

void FingerprintCache::dropUnused()
{
    changed_ |= std::erase_if(entries_, [](const auto& item) { return !item.second.used; }) > 0;
}

} // namespace quillory
