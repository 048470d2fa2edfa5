#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/references/FingerprintCache.h"
#include "core/store/CatalogFileReader.h"
#include "core/store/FileIo.h"

namespace quillory {

// One index and the document or folder it refers to, as a full path.
struct IndexReference {
    std::string folderId;
    std::string indexId;
    std::string path;
};

// Appends the references of a folder's indexes to references, their paths with the catalog's
// root in place; web addresses are left out (nothing on this machine can tell about them).
void appendReferences(const std::string& folderId, const IndexMap& indexes, std::vector<IndexReference>& references);

enum class ReferenceState : uint8_t {
    Ok,
    Missing,     // nothing is there
    Offline,     // it lies on a volume that is not mounted now: nothing can be said of it
    Unreadable,  // something is there that the program may not read
    OutsideRoot, // it is there, but outside the catalog's root folder
};

// Whether path lies where a volume is expected that is not mounted now (the monitor's
// DiskProbe::isVolumeMounted answers this for the program).
using VolumeMounted = std::function<bool(const std::string& path)>;

// The state of the document or folder at path (a full path) of a catalog whose root is root. The
// first that holds is told: offline, missing, unreadable, outside the root. With stamp, the stamp
// of what is there is put there.
ReferenceState checkReference(const std::string& path, const std::string& root, const VolumeMounted& mounted,
                              FileIo& io, FileStamp* stamp = nullptr);

struct ReferenceFinding {
    IndexReference reference;
    ReferenceState state = ReferenceState::Ok;
};

// Checks every reference of a catalog, a few at a time: a worker thread calls step() until it
// returns false, tells checked() of total() as progress in between, and ends early by no longer
// calling it. Only the worker's thread touches the check while it runs, except checked(), which
// any thread may read (and total() while no references are being added).
//
// With a fingerprint cache, each document that is there is remembered in it (its size and time of
// change, and its fingerprint while the check has read fewer than kFingerprintBytesPerCheck
// bytes for them: the rest are read by later checks), and every path checked is marked used.
class ReferenceCheck {
public:
    static constexpr size_t kStep = 256;
    static constexpr uint64_t kFingerprintBytesPerCheck = uint64_t(512) << 20;

    // Relative paths are taken as lying under root; web addresses and blank paths are left out.
    ReferenceCheck(std::vector<IndexReference> references, std::string root, VolumeMounted mounted,
                   FileIo& io = defaultFileIo());

    // More references to check, after those given so far (as the constructor takes them).
    void add(std::vector<IndexReference> references);
    // Lets go of the references checked so far (their findings stay): checked() and total()
    // count from here on. A check fed folder by folder holds one folder at a time.
    void forgetChecked();

    // Remembers what it sees in cache (which must outlive the check); before the first step.
    void useFingerprintCache(FingerprintCache* cache) { cache_ = cache; }

    // Checks up to count more references; false once every reference is checked.
    bool step(size_t count = kStep);
    size_t checked() const { return checked_.load(std::memory_order_relaxed); }
    size_t total() const { return references_.size(); }
    bool done() const { return checked() == total(); }

    // Every reference checked so far that is not ok, in the order given.
    const std::vector<ReferenceFinding>& findings() const { return findings_; }

private:
    void remember(const std::string& path, const FileStamp& stamp);

    std::vector<IndexReference> references_;
    std::string root_;
    VolumeMounted mounted_;
    FileIo& io_;
    FingerprintCache* cache_ = nullptr;
    uint64_t fingerprintBytes_ = 0;
    std::atomic<size_t> checked_{0};
    std::vector<ReferenceFinding> findings_;
};

} // namespace quillory
