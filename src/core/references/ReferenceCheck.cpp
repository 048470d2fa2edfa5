#include "core/references/ReferenceCheck.h"

#include <cerrno>

#include "core/base/Paths.h"
#include "core/catalog_window/IndexRows.h"
#include "core/references/DocumentPresence.h"

namespace quillory {

namespace {

bool liesInside(const std::string& path, const std::string& root)
{
    if (root.empty())
        return true; // a catalog without a root folder has no outside
    std::string_view folder = root;
    while (!folder.empty() && folder.back() == kPathSep)
        folder.remove_suffix(1);
    if (!path.starts_with(folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == kPathSep;
}

int64_t nanosecondsOf(const struct timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

} // namespace

void appendReferences(const std::string& folderId, const IndexMap& indexes, std::vector<IndexReference>& references)
{
    indexes.forEach([&](const std::string& indexId, const auto& record) {
        std::string path = record->cContentPath();
        if (!isWebAddress(path))
            references.push_back({folderId, indexId, std::move(path)});
    });
}

ReferenceState checkReference(const std::string& path, const std::string& root, const VolumeMounted& mounted,
                              FileIo& io, FileStamp* stamp)
{
    if (mounted && !mounted(path))
        return ReferenceState::Offline;
    struct stat info {};
    if (io.stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? ReferenceState::Missing : ReferenceState::Unreadable;
    if (stamp)
        *stamp = FileStamp::of(info);
    // Only documents and folders are opened: a device or a pipe is not to be woken.
    const bool folder = S_ISDIR(info.st_mode);
    if (folder || S_ISREG(info.st_mode)) {
        const int fd = io.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (folder ? O_DIRECTORY : 0), 0);
        if (fd < 0)
            return ReferenceState::Unreadable;
        io.close(fd);
    }
    return liesInside(path, root) ? ReferenceState::Ok : ReferenceState::OutsideRoot;
}

ReferenceCheck::ReferenceCheck(std::vector<IndexReference> references, std::string root, VolumeMounted mounted,
                               FileIo& io)
    : root_(std::move(root)), mounted_(std::move(mounted)), io_(io)
{
    add(std::move(references));
}

void ReferenceCheck::add(std::vector<IndexReference> references)
{
    references_.reserve(references_.size() + references.size());
    for (IndexReference& reference : references) {
        reference.path = placeOnDisk(reference.path, root_);
        if (!reference.path.empty())
            references_.push_back(std::move(reference));
    }
}

void ReferenceCheck::forgetChecked()
{
    references_.erase(references_.begin(), references_.begin() + static_cast<ptrdiff_t>(checked()));
    checked_.store(0, std::memory_order_relaxed);
}

bool ReferenceCheck::step(size_t count)
{
    size_t at = checked();
    const size_t end = std::min(references_.size(), at + count);
    for (; at < end; ++at) {
        const IndexReference& reference = references_[at];
        FileStamp stamp;
        const ReferenceState state = checkReference(reference.path, root_, mounted_, io_, &stamp);
        if (state != ReferenceState::Ok)
            findings_.push_back({reference, state});
        if (cache_ && stamp.exists)
            remember(reference.path, stamp);
        else if (cache_)
            cache_->markUsed(reference.path);
        checked_.store(at + 1, std::memory_order_relaxed);
    }
    return at < references_.size();
}

void ReferenceCheck::remember(const std::string& path, const FileStamp& stamp)
{
    if (!stamp.regular) {
        cache_->markUsed(path);
        return;
    }
    const auto size = static_cast<uint64_t>(stamp.size);
    const int64_t modified = nanosecondsOf(stamp.modified);
    const FingerprintCache::Entry* known = cache_->find(path);
    const bool same = known && known->size == size && known->modified == modified;
    if (same && (known->hash || fingerprintBytes_ >= kFingerprintBytesPerCheck)) {
        cache_->markUsed(path);
        return;
    }
    FingerprintCache::Entry entry{size, modified, std::nullopt};
    if (fingerprintBytes_ < kFingerprintBytesPerCheck) {
        fingerprintBytes_ += std::min<uint64_t>(size, 2 * kFingerprintSpan);
        // Only a fingerprint of the version that was stamped is kept.
        const std::optional<Fingerprint> fingerprint = fingerprintOf(io_, path);
        if (fingerprint && fingerprint->size == size)
            entry.hash = fingerprint->hash;
    }
    cache_->put(path, entry);
}

} // namespace quillory
