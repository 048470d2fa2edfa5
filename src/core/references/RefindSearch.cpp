#include "core/references/RefindSearch.h"

#include "core/catalog_window/search/WorkerGate.h"

#include <algorithm>

#include "core/base/Paths.h"

namespace quillory {

namespace {

std::string_view parentOf(std::string_view path)
{
    const size_t at = path.rfind(kPathSep);
    return at == std::string_view::npos ? std::string_view() : path.substr(0, at == 0 ? 1 : at);
}

std::string_view nameOf(std::string_view path)
{
    const size_t at = path.rfind(kPathSep);
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

bool liesBelow(std::string_view path, std::string_view folder)
{
    if (folder == kPathSepStr)
        return true;
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == kPathSep);
}

std::string withoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == kPathSep)
        path.pop_back();
    return path;
}

} // namespace

RefindSearch::RefindSearch(std::vector<IndexReference> missing, std::string root, const FingerprintCache* cache,
                           FileIo& io)
    : root_(withoutTrailingSeparators(std::move(root))), io_(io)
{
    documents_.reserve(missing.size());
    for (IndexReference& reference : missing) {
        Document document{std::move(reference), std::nullopt, std::nullopt, {}};
        if (const FingerprintCache::Entry* known = cache ? cache->find(document.reference.path) : nullptr) {
            document.size = known->size;
            document.hash = known->hash;
        }
        const size_t at = documents_.size();
        byName_.emplace(std::string(nameOf(document.reference.path)), at);
        if (document.hash)
            bySize_.emplace(*document.size, at);
        documents_.push_back(std::move(document));
    }
}

std::vector<std::string> RefindSearch::walkRoots() const
{
    std::vector<std::string> roots;
    if (!root_.empty())
        roots.push_back(root_);
    for (const Document& document : documents_) {
        // A document that lay at the top of the file system is looked for under the root only.
        const std::string folder(parentOf(document.reference.path));
        struct stat info {};
        if (!folder.empty() && folder != kPathSepStr && io_.stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            roots.push_back(folder);
    }
    // Each folder once: one that lies below another is walked with it.
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    std::vector<std::string> kept;
    for (const std::string& folder : roots) {
        if (std::none_of(kept.begin(), kept.end(), [&](const std::string& above) { return liesBelow(folder, above); }))
            kept.push_back(folder);
    }
    return kept;
}

std::vector<RepairOffer> RefindSearch::run(WorkerGate* gate)
{
    // Each folder with the file system of its walk's root: another one mounted below (a drive,
    // a network share, /proc) is not walked into.
    std::vector<std::pair<std::string, dev_t>> folders;
    for (std::string& root : walkRoots()) {
        struct stat info {};
        if (io_.stat(root.c_str(), &info) == 0)
            folders.emplace_back(std::move(root), info.st_dev);
    }
    std::vector<std::string> names;
    while (!folders.empty() && (!gate || gate->proceed())) {
        const auto [folder, device] = std::move(folders.back());
        folders.pop_back();
        names.clear();
        if (!io_.listFolder(folder.c_str(), names))
            continue;
        for (const std::string& name : names) {
            std::string path = joinPath(folder, name);
            struct stat info {};
            if (io_.lstat(path.c_str(), &info) != 0)
                continue;
            if (S_ISDIR(info.st_mode)) {
                // Hidden folders hold caches, settings and the trash, not documents that moved.
                if (name.front() != '.' && info.st_dev == device)
                    folders.emplace_back(std::move(path), device);
            } else if (S_ISREG(info.st_mode)) {
                filesSeen_.fetch_add(1, std::memory_order_relaxed);
                look(name, path, static_cast<uint64_t>(info.st_size));
            }
        }
    }
    std::vector<RepairOffer> offers;
    for (Document& document : documents_) {
        std::stable_sort(document.offers.begin(), document.offers.end(),
                         [](const RepairOffer& a, const RepairOffer& b) {
                             return a.reason != b.reason ? a.reason < b.reason : a.newPath < b.newPath;
                         });
        const size_t count = std::min(document.offers.size(), kOffersPerDocument);
        std::move(document.offers.begin(), document.offers.begin() + static_cast<ptrdiff_t>(count),
                  std::back_inserter(offers));
        document.offers.clear();
    }
    return offers;
}

void RefindSearch::look(const std::string& name, const std::string& path, uint64_t size)
{
    // Read at most once, and only when a document with a known fingerprint has this size.
    std::optional<std::optional<Fingerprint>> read;
    const auto sameContent = [&](const Document& document) {
        if (!read)
            read = fingerprintOf(io_, path);
        return *read && (*read)->size == size && (*read)->hash == *document.hash;
    };
    const auto [nameFrom, nameTo] = byName_.equal_range(name);
    for (auto it = nameFrom; it != nameTo; ++it) {
        Document& document = documents_[it->second];
        if (!document.size)
            offer(document, path, RepairReason::SameName);
        else if (*document.size == size)
            offer(document, path,
                  document.hash && sameContent(document) ? RepairReason::NameAndContent : RepairReason::NameAndSize);
    }
    const auto [sizeFrom, sizeTo] = bySize_.equal_range(size);
    for (auto it = sizeFrom; it != sizeTo; ++it) {
        Document& document = documents_[it->second];
        if (nameOf(document.reference.path) != name && sameContent(document))
            offer(document, path, RepairReason::SameContent);
    }
}

void RefindSearch::offer(Document& document, const std::string& path, RepairReason reason)
{
    if (path != document.reference.path)
        document.offers.push_back({document.reference, path, reason});
}

std::optional<PrefixChange> prefixChangeOf(const std::string& oldPath, const std::string& newPath)
{
    std::string_view from = parentOf(oldPath);
    std::string_view to = parentOf(newPath);
    if (from == to || from.empty() || to.empty())
        return std::nullopt;
    // Folder names both end with stay; neither is cut back to the top folder.
    while (nameOf(from) == nameOf(to)) {
        const std::string_view fromParent = parentOf(from);
        const std::string_view toParent = parentOf(to);
        if (fromParent.size() <= 1 || toParent.size() <= 1)
            break;
        from = fromParent;
        to = toParent;
    }
    return PrefixChange{std::string(from), std::string(to)};
}

std::vector<RepairOffer> prefixRepairs(const PrefixChange& change, const std::vector<IndexReference>& missing,
                                       FileIo& io)
{
    std::vector<RepairOffer> offers;
    for (const IndexReference& reference : missing) {
        if (!liesBelow(reference.path, change.from) || reference.path.size() == change.from.size())
            continue;
        std::string newPath = change.to == kPathSepStr ? std::string() : change.to;
        newPath.append(reference.path, change.from == kPathSepStr ? 0 : change.from.size());
        struct stat info {};
        if (io.stat(newPath.c_str(), &info) == 0)
            offers.push_back({reference, std::move(newPath), RepairReason::SamePrefix});
    }
    return offers;
}

std::vector<RepairOffer> prefixRepairs(const RepairOffer& accepted, const std::vector<IndexReference>& missing,
                                       FileIo& io)
{
    const std::optional<PrefixChange> change = prefixChangeOf(accepted.reference.path, accepted.newPath);
    if (!change)
        return {};
    std::vector<RepairOffer> offers = prefixRepairs(*change, missing, io);
    std::erase_if(offers, [&](const RepairOffer& offer) {
        return offer.reference.folderId == accepted.reference.folderId
               && offer.reference.indexId == accepted.reference.indexId;
    });
    return offers;
}

} // namespace quillory
