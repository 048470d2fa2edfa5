#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/references/FingerprintCache.h"
#include "core/references/ReferenceCheck.h"

namespace quillory {

class WorkerGate;

// Why a document is offered as the one an index lost, the surest first.
enum class RepairReason : uint8_t {
    NameAndContent, // the same name and the missing document's fingerprint
    SameContent,    // another name, but the missing document's fingerprint
    NameAndSize,    // the same name and size (its fingerprint unknown, or another: changed since?)
    SameName,       // the same name; the missing document's size was never seen
    SamePrefix,     // another missing document below the same folder was found moved with its folder
};

// A change offered to the user, never applied without them: the index's reference (its old
// path) and the path that may replace it.
struct RepairOffer {
    IndexReference reference;
    std::string newPath;
    RepairReason reason = RepairReason::NameAndContent;
};

// Looks for missing documents where they may have gone: under the catalog's root and under each
// document's old folder where that is still there (outside the root), walking each folder once for
// all of them. What the fingerprint cache knows of a document (its size, its fingerprint) narrows
// the match; without it, only its name can. Links are not followed, nor hidden folders (caches,
// the trash), nor other file systems mounted below; the top of the file system is never walked.
// Any one thread may run it.
class RefindSearch {
public:
    static constexpr size_t kOffersPerDocument = 5;

    // cache may be nullptr (nothing known of the documents); it must outlive the search.
    RefindSearch(std::vector<IndexReference> missing, std::string root, const FingerprintCache* cache,
                 FileIo& io = defaultFileIo());

    // Walks the folders. The offers come in the order of the missing documents, each one's best
    // first, at most kOffersPerDocument each; a document for which nothing is found has none.
    // Ends early (with what was found so far) once gate is stopped, and waits while it is
    // paused; it is looked at between folders.
    std::vector<RepairOffer> run(WorkerGate* gate = nullptr);
    // How many files the walk has looked at so far (any thread may ask).
    size_t filesSeen() const { return filesSeen_.load(std::memory_order_relaxed); }

private:
    struct Document {
        IndexReference reference;
        std::optional<uint64_t> size;
        std::optional<uint64_t> hash;
        std::vector<RepairOffer> offers;
    };
    std::vector<std::string> walkRoots() const;
    void look(const std::string& name, const std::string& path, uint64_t size);
    void offer(Document& document, const std::string& path, RepairReason reason);

    std::vector<Document> documents_;
    std::string root_;
    FileIo& io_;
    std::unordered_multimap<std::string, size_t> byName_;
    std::unordered_multimap<uint64_t, size_t> bySize_; // documents with a known fingerprint
    std::atomic<size_t> filesSeen_{0};
};

// A folder that moved: every path below from now lies below to. Neither ends in a separator.
struct PrefixChange {
    std::string from;
    std::string to;
};

// The folder change that a repair from oldPath to newPath makes: the two paths' folders, less the
// folder names at their ends that both share (a repair of /old/place/a/x to /new/place/a/x
// moved /old to /new). std::nullopt when the folder stayed (a rename).
std::optional<PrefixChange> prefixChangeOf(const std::string& oldPath, const std::string& newPath);

// The same change for every one of the missing documents below change.from whose path below
// change.to is there, in the given order.
std::vector<RepairOffer> prefixRepairs(const PrefixChange& change, const std::vector<IndexReference>& missing,
                                       FileIo& io = defaultFileIo());
// After the user accepted a repair: the change of its folder offered for every other one of the
// missing documents (none when the repair kept the folder).
std::vector<RepairOffer> prefixRepairs(const RepairOffer& accepted, const std::vector<IndexReference>& missing,
                                       FileIo& io = defaultFileIo());

} // namespace quillory
