#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/references/Fingerprint.h"
#include "core/store/SafeFile.h"

namespace quillory {

// What was last seen of the documents of one catalog: each one's size, when it last changed and,
// once read, its fingerprint. It lets a document be found again by its content after it moved
// while nobody looked. Kept in the user's cache folder, one file per catalog, never among the
// catalog's own files; a lost or damaged file only means that fewer documents are found again.
// One thread at a time.
class FingerprintCache {
public:
    struct Entry {
        uint64_t size = 0;
        int64_t modified = 0; // nanoseconds since the epoch
        std::optional<uint64_t> hash;
    };

    // The cache file of the catalog whose folder file is catalogFile:
    // <$XDG_CACHE_HOME or ~/.cache>/quillory/<hash of catalogFile>/fingerprints; "" when the
    // environment names no home.
    static std::string fileFor(const std::string& catalogFile);
    // The same under the given cache folder.
    static std::string fileFor(const std::string& catalogFile, const std::string& cacheFolder);

    // Reads the file; the entries read replace those held. False when it is missing, unreadable
    // or held lines that could not be read (those are left out, the others kept).
    bool load(FileIo& io, const std::string& file);
    // Writes every entry to the file, safely, making its folders first.
    WriteOutcome save(FileIo& io, const std::string& file) const;

    // The entry of the document at path, or nullptr.
    const Entry* find(const std::string& path) const;
    void put(const std::string& path, const Entry& entry);
    // Notes that path is still a document of the catalog (see dropUnused).
    void markUsed(const std::string& path);
    // Forgets the entries not put or marked since load: documents the catalog no longer has.
    void dropUnused();
    size_t size() const { return entries_.size(); }
    // Whether anything was put or dropped since load (else saving would write the same again).
    bool changed() const { return changed_; }

private:
    struct Held {
        Entry entry;
        bool used = false;
    };
    std::unordered_map<std::string, Held> entries_;
    bool changed_ = false;
};

} // namespace quillory
