// The store's caches as a whole, and its rewrites.
#include "core/store/CatalogStore.h"

#include <cstring>
#include <ctime>

#include "core/store/TextFiles.h"

namespace quillory {

namespace {
// Why a file that was not read whole is not changed.
constexpr const char* kNotReadWholeKey = "Err011";
// Where a copy of a damaged file was kept.
constexpr const char* kDamagedCopyKey = "Err012";
} // namespace

void CatalogStore::resetStoreCache()
{
    dirMapCache_ = std::make_shared<FolderMap>();
    dirsRead_ = false;
    contentMapCache_ = OrderedMap<IndexMap>();
    incompleteFiles_.clear();
    damagedFiles_.clear();
    snapshots_.clear();
    notify(StoreChange::Kind::CachesDropped);
}

bool CatalogStore::needsReading(const std::string& path, const std::shared_ptr<void>& cached, bool cachedEmpty) const
{
    // A file that could not be read is tried again; one read whole is not, even when it is empty.
    return !cached || (cachedEmpty && !incompleteFiles_.empty() && incompleteFiles_.count(path));
}

template <class Read>
void CatalogStore::takeRead(const std::string& path, const Read& read, StoreProblems& problems)
{
    // (Most reads find nothing wrong and the sets empty: a path is hashed only when it matters.)
    if (read.lossy)
        damagedFiles_.insert(path);
    else if (!damagedFiles_.empty())
        damagedFiles_.erase(path);
    if (read.complete) {
        if (!incompleteFiles_.empty())
            incompleteFiles_.erase(path); // the cache now holds the whole file
        problems.append(read.problems);
        return;
    }
    // Read again and again while its cached copy is empty: told the first time only.
    const std::string reasonKey = read.incompleteReasonKey.empty() ? kNotReadWholeKey : read.incompleteReasonKey;
    if (incompleteFiles_.insert_or_assign(path, reasonKey).second)
        problems.append(read.problems);
}
template void CatalogStore::takeRead(const std::string&, const FolderFileRead&, StoreProblems&);
template void CatalogStore::takeRead(const std::string&, const IndexFileRead&, StoreProblems&);

StoreOutcome CatalogStore::refuseIfIncomplete(const std::string& path, const char* errorKey) const
{
    const auto it = incompleteFiles_.find(path);
    return it == incompleteFiles_.end() ? StoreOutcome{} : StoreOutcome::failureFor(errorKey, path, it->second);
}

StoreOutcome CatalogStore::keepDamagedFile(const std::string& path, const char* errorKey)
{
    if (!damagedFiles_.count(path))
        return {};
    int error = 0;
    const auto bytes = readWholeFile(files_.io(), path, &error);
    if (!bytes)
        return StoreOutcome::failure(errorKey, path, std::strerror(error));
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::string copy = path + ".damaged-" + stamp;
    struct stat st {};
    for (int n = 2; files_.io().lstat(copy.c_str(), &st) == 0; ++n)
        copy = path + ".damaged-" + stamp + "-" + std::to_string(n);
    const WriteOutcome written = replaceFileAtomically(files_.io(), copy, *bytes);
    if (!written)
        return StoreOutcome::failure(errorKey, copy, written.reason());
    damagedFiles_.erase(path);
    StoreOutcome kept;
    kept.notices.push_back(StoreOutcome::failure(kDamagedCopyKey, copy));
    return kept;
}

StoreOutcome CatalogStore::rewrite(const std::string& path, WriteMode mode, const std::vector<std::string>& lines,
                                   const char* errorKey, StoreChange change)
{
    if (StoreOutcome refused = refuseIfIncomplete(path, errorKey); !refused)
        return refused;
    StoreOutcome outcome = keepDamagedFile(path, errorKey);
    if (!outcome)
        return outcome;
    StoreOutcome written = outcomeOf(files_.writeFile(path, mode, 1, lines), path, errorKey);
    if (!written)
        return written;
    if (mode == FILE_OUTPUT) {
        std::string content;
        for (const auto& line : lines)
            content.append(line).append(kLineEnd);
        rememberWritten(path, std::move(content));
    } else {
        snapshots_.erase(path);
    }
    changes_.notify(change);
    return outcome;
}

StoreOutcome CatalogStore::outcomeOf(const WriteOutcome& written, const std::string& path, const char* errorKey)
{
    if (written)
        return {};
    return StoreOutcome::failure(written.folderMissing ? "Err009" : errorKey, path, written.reason());
}

} // namespace quillory
