// Catalog files that another program changed while the store held them.
#include "core/store/CatalogStore.h"

#include <optional>

#include "core/store/RecordFormat.h"
#include "core/store/TextFiles.h"

namespace quillory {
namespace {

// Another program changed the file, and the user's change no longer fits it.
constexpr const char* kChangedMeanwhileKey = "Err022";

// Puts into out the fresh content with what changed from base to mine applied: mine's deletions,
// edits and additions. Records that the user left alone come from fresh (another program may
// have changed them), as the very records of mine where fresh still holds them as they were.
// Strict: an edit of a record fresh no longer holds, or an addition whose id fresh holds with
// other content, stops it: that id is returned and out is unspecified. Otherwise fresh wins there.
template <class Map, class Format>
std::optional<std::string> applyChanges(const Map& base, const Map& mine, const Map& fresh, Map& out, Format format,
                                        bool strict)
{
    using Ptr = typename Map::Ptr;
    std::unordered_map<std::string, Ptr> changed; // edited or added by the user
    std::vector<std::string> added;
    mine.forEach([&](const std::string& key, const Ptr& record) {
        const Ptr was = base.getValueByKey(key);
        if (!was) {
            added.push_back(key);
            changed.emplace(key, record);
        } else if (format(*was) != format(*record)) {
            changed.emplace(key, record);
        }
    });
    if (strict) {
        for (const auto& [key, record] : changed) {
            const Ptr now = fresh.getValueByKey(key);
            if (base.contains(key) ? !now : (now && format(*now) != format(*record)))
                return key;
        }
    }
    out = Map();
    out.reserve(static_cast<size_t>(fresh.getCount()) + added.size());
    fresh.forEach([&](const std::string& key, const Ptr& record) {
        const bool wasRead = base.contains(key);
        if (wasRead && !mine.contains(key))
            return; // the user deleted it
        if (const auto it = changed.find(key); it != changed.end() && (wasRead || strict)) {
            out.addMap(key, it->second);
            return;
        }
        const Ptr kept = wasRead ? mine.getValueByKey(key) : nullptr;
        const bool unchanged = kept && format(*base.getValueByKey(key)) == format(*record);
        out.addMap(key, unchanged ? kept : record);
    });
    for (const auto& key : added) {
        if (!out.contains(key))
            out.addMap(key, changed[key]);
    }
    return std::nullopt;
}

std::string formatFolder(const FolderRecord& record)
{
    return formatDirLine(record);
}
std::string formatIndex(const IndexRecord& record)
{
    return formatContentLine(record);
}

} // namespace

template <class Read>
void CatalogStore::rememberRead(const std::string& path, const Read& read)
{
    if (read.complete)
        snapshots_.insert_or_assign(path, FileSnapshot{read.stamp, read.textOwner, read.text});
    else
        snapshots_.erase(path);
}
template void CatalogStore::rememberRead(const std::string&, const FolderFileRead&);
template void CatalogStore::rememberRead(const std::string&, const IndexFileRead&);

void CatalogStore::rememberWritten(const std::string& path, std::string content)
{
    auto text = std::make_shared<const std::string>(std::move(content));
    const std::string_view view = *text;
    snapshots_.insert_or_assign(path, FileSnapshot{stampOf(files_.io(), path), std::move(text), view});
}

void CatalogStore::rememberAppended(const std::string& path, const std::string& line)
{
    const auto it = snapshots_.find(path);
    std::string content = it == snapshots_.end() ? std::string() : std::string(it->second.text);
    content.append(line).append(kLineEnd);
    rememberWritten(path, std::move(content));
}

bool CatalogStore::changedOnDisk(const std::string& path) const
{
    const FileStamp now = stampOf(files_.io(), path);
    // A file that is gone (or whose folder is) has nothing to keep: the write puts the cache back,
    // or says that the folder is missing.
    if (!now.exists)
        return false;
    const auto it = snapshots_.find(path);
    // A file never read is taken as empty: whatever it holds was put there by someone else.
    return it == snapshots_.end() || !(now == it->second.stamp);
}

template <class Map, class ReadFresh, class ParseBase, class Format>
StoreOutcome CatalogStore::takeOutsideChanges(const std::string& path, const char* errorKey, Map& cache,
                                              const Map* mine, Map& toWrite, StoreProblems& problems,
                                              ReadFresh readFresh, ParseBase parseBase, Format format)
{
    // The file as it was read (its text stays while base lives), then as it is now.
    std::shared_ptr<const void> baseOwner;
    std::string_view baseText;
    if (const auto it = snapshots_.find(path); it != snapshots_.end()) {
        baseOwner = it->second.owner;
        baseText = it->second.text;
    }
    const auto base = parseBase(baseText);
    const auto fresh = readFresh();
    takeRead(path, fresh, problems);
    rememberRead(path, fresh);
    if (!fresh.complete)
        return refuseIfIncomplete(path, errorKey);

    const bool mineIsCache = mine == &cache;
    std::optional<std::string> gone;
    if (mine && !mineIsCache)
        gone = applyChanges(*base.map, *mine, *fresh.map, toWrite, format, true);
    Map refreshed;
    if (!gone && mineIsCache)
        gone = applyChanges(*base.map, cache, *fresh.map, refreshed, format, true);
    if (gone || !mineIsCache)
        applyChanges(*base.map, cache, *fresh.map, refreshed, format, false);
    cache = std::move(refreshed);
    if (gone)
        return StoreOutcome::failure(kChangedMeanwhileKey, path);
    return {};
}

StoreOutcome CatalogStore::takeOutsideFolderChanges(const FolderMap* mine, FolderMap& toWrite, StoreProblems& problems)
{
    const std::string path = getDirFilePath();
    FolderMap unread;
    return takeOutsideChanges(
        path, "Err004", dirsRead_ ? *dirMapCache_ : unread, mine, toWrite, problems,
        [&] { return readFolderFile(files_.io(), path); },
        [&](std::string_view text) { return parseFolderText(path, text); }, formatFolder);
}

StoreOutcome CatalogStore::takeOutsideIndexChanges(const std::string& dirId, const IndexMap* mine, IndexMap& toWrite,
                                                   StoreProblems& problems)
{
    const std::string path = getContentFilePath(dirId);
    IndexMap unread;
    const auto cached = contentMapCache_.getValueByKey(dirId);
    return takeOutsideChanges(
        path, "Err006", cached ? *cached : unread, mine, toWrite, problems,
        [&] { return readIndexFile(files_.io(), path, &paths_.root()); },
        [&](std::string_view text) { return parseIndexText(path, text, &paths_.root()); }, formatIndex);
}

std::shared_ptr<FolderMap> CatalogStore::getCurrentDirMap(StoreProblems& problems)
{
    auto map = getAllDirMap(problems);
    if (changedOnDisk(getDirFilePath())) {
        FolderMap unused;
        if (takeOutsideFolderChanges(nullptr, unused, problems))
            notify(StoreChange::Kind::FolderFile);
    }
    return map;
}

std::shared_ptr<IndexMap> CatalogStore::getCurrentContentMap(const std::string& dirId, StoreProblems& problems)
{
    auto map = getDirContentMap(dirId, problems);
    if (changedOnDisk(getContentFilePath(dirId))) {
        IndexMap unused;
        if (takeOutsideIndexChanges(dirId, nullptr, unused, problems))
            notify(StoreChange::Kind::IndexFile, dirId);
    }
    return map;
}

} // namespace quillory
