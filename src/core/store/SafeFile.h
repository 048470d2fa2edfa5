#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/store/FileIo.h"

namespace quillory {

// Outcome of a write: errorNumber is 0 on success, else the errno that stopped it.
struct WriteOutcome {
    int errorNumber = 0;
    bool folderMissing = false;
    explicit operator bool() const { return errorNumber == 0; }
    std::string reason() const;
};

// What identifies one version of a file: where it lies on disk, its size and when it was last
// changed. Another program that rewrites, appends to or replaces the file changes one of them.
struct FileStamp {
    bool exists = false;
    bool regular = false; // a plain file (not a folder, a pipe, a device or a socket)
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified {};

    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists
               && (!exists
                   || (device == other.device && inode == other.inode && size == other.size
                       && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec));
    }
    static FileStamp of(const struct stat& st);
};

// The stamp of the file at path as it is now (a link is followed); a missing file's does not
// exist.
FileStamp stampOf(FileIo& io, const std::string& path);

// Replaces the file at path with data so that a crash, a kill or a full disk leaves either the
// old file or the new one, never a torn one: an unnamed temporary file in the same folder (with
// the old file's permissions and, where the process may, its owner) is written completely,
// flushed to disk, given a name and renamed over the old file, and the folder is flushed. A kill
// before the rename leaves nothing behind. Where the file system has no unnamed files, the
// temporary file is named from the start (created exclusively); what a kill left of those for
// the same file is removed by the next save into that folder. On failure the temporary file is
// removed and the old file is untouched. A symbolic link is
// followed: the file it names is replaced and the link stays. A file nobody may write (no write
// permission bit) is refused with EACCES, also for root.
WriteOutcome replaceFileAtomically(FileIo& io, const std::string& path, std::string_view data);

// While one lives on a thread, replaceFileAtomically on that thread reads each folder for
// leftovers once, at its first save there, instead of at every save: for one action that saves
// many files into one folder (Sync writing a thousand index files), which would otherwise read
// that folder once per file. What is removed stays the same: the leftovers of a save are what a
// kill left before, and the action makes none. Nested, the outermost one counts.
class LeftoverSweepPerAction {
public:
    LeftoverSweepPerAction();
    ~LeftoverSweepPerAction();
    LeftoverSweepPerAction(const LeftoverSweepPerAction&) = delete;
    LeftoverSweepPerAction& operator=(const LeftoverSweepPerAction&) = delete;

    // The temporary files found in folder (read at the first call for it), less those removed.
    std::vector<std::string>& leftoversIn(FileIo& io, const std::string& folder);
    // The one living on this thread, or nullptr.
    static LeftoverSweepPerAction* current();

private:
    std::unordered_map<std::string, std::vector<std::string>> leftovers_; // by folder
};

// Appends data with one write call and flushes it. A write that cannot complete is cut back to
// the file's previous length, so the file never ends in half a record written by us. A file
// nobody may write is refused as by replaceFileAtomically.
WriteOutcome appendToFile(FileIo& io, const std::string& path, std::string_view data);

// The whole content of a file; std::nullopt when it cannot be opened or read.
// errorNumber receives the reason (ENOENT for a missing file).
std::optional<std::string> readWholeFile(FileIo& io, const std::string& path, int* errorNumber = nullptr);
// The same into content, whose memory is reused; false when the file cannot be opened or read
// (content is then unspecified). With stamp, the stamp of the file read is put there, and a file
// that is not a plain file (a pipe, a device, a link to one) is not read at all: false, with
// stamp->regular false and EINVAL.
bool readWholeFileInto(FileIo& io, const std::string& path, std::string& content, int* errorNumber = nullptr,
                       FileStamp* stamp = nullptr);

// The same into memory of its own, sized by the file: text lies in data and stays there. (A
// catalog's index files are read this way: thousands of them, each kept where it was read.)
bool readWholeFileOwned(FileIo& io, const std::string& path, std::unique_ptr<char[]>& data, size_t& size,
                        int* errorNumber = nullptr, FileStamp* stamp = nullptr);

// Removes the temporary files that an interrupted replaceFileAtomically left in folder.
// Returns how many were removed.
int removeStaleTempFiles(FileIo& io, const std::string& folder);

// True when name is a temporary file of replaceFileAtomically.
bool isSafeFileTempName(std::string_view name);
// True when name is a temporary file of replaceFileAtomically for the file called target.
bool isSafeFileTempNameFor(std::string_view name, std::string_view target);

} // namespace quillory
