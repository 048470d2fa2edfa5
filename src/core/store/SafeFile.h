#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/store/FileIo.h"

namespace quillory {

// Outcome of a write: errorNumber is 0 on success, else the errno that stopped it.
struct WriteOutcome {
    int errorNumber = 0;
    bool folderMissing = false;
    explicit operator bool() const { return errorNumber == 0; }
    std::string reason() const;
};

// Replaces the file at path with data so that a crash, a kill or a full disk leaves either the
// old file or the new one, never a torn one: a temporary file in the same folder (created
// exclusively, with the old file's permissions and, where the process may, its owner) is
// written completely, flushed to disk, renamed over the old file, and the folder is flushed. On
// failure the temporary file is removed and the old file is untouched. A symbolic link is
// followed: the file it names is replaced and the link stays. A file nobody may write (no write
// permission bit) is refused with EACCES, also for root.
WriteOutcome replaceFileAtomically(FileIo& io, const std::string& path, std::string_view data);

// Appends data with one write call and flushes it. A write that cannot complete is cut back to
// the file's previous length, so the file never ends in half a record written by us. A file
// nobody may write is refused as by replaceFileAtomically.
WriteOutcome appendToFile(FileIo& io, const std::string& path, std::string_view data);

// The whole content of a file; std::nullopt when it cannot be opened or read.
// errorNumber receives the reason (ENOENT for a missing file).
std::optional<std::string> readWholeFile(const std::string& path, int* errorNumber = nullptr);
// The same into content, whose memory is reused; false when the file cannot be opened or read
// (content is then unspecified).
bool readWholeFileInto(const std::string& path, std::string& content, int* errorNumber = nullptr);

// The same into a buffer of this thread's that the next call reads over: text is valid until
// then. (A catalog's index files are read this way: thousands of them, each copied once, to
// where its records keep it.)
bool readWholeFileShared(const std::string& path, std::string_view& text, int* errorNumber = nullptr);

// Removes the temporary files that an interrupted replaceFileAtomically left in folder.
// Returns how many were removed.
int removeStaleTempFiles(const std::string& folder);

// True when name is a temporary file of replaceFileAtomically.
bool isSafeFileTempName(std::string_view name);

} // namespace quillory
