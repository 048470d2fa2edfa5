#pragma once

#include <string>
#include <vector>

#include "core/monitor/PendingChange.h"
#include "core/store/FileIo.h"
#include "core/store/StoreOutcome.h"

namespace quillory {

// The index files of a catalog's last synchronisation as they were before it, kept in a folder
// of the user's own (never in the catalog), so that the synchronisation can be undone. Undo puts
// them back only while each is still exactly as the synchronisation wrote it (the same stamp):
// when anything changed one since, putting the old one back would lose that change, and Undo
// refuses. The records the synchronisation applied are kept too: Undo hands them back, to be
// pending again.
//
// The folder holds two files: "before", every file's old content one after another, and
// "manifest", written once the changed files are in place: where each file's content lies in
// "before", the stamp each file got, and the records. An undo is kept while the manifest is
// there. The old contents are written (and flushed) as "before.new" before anything is changed,
// and take the place of "before" only when the synchronisation has written something: one that
// changed nothing, or a crash on the way, leaves the undo kept so far as it was.
class SyncUndo {
public:
    SyncUndo(FileIo& io, std::string folder) : io_(io), folder_(std::move(folder)) {}

    const std::string& folder() const { return folder_; }
    bool isKept() const;

    // Before a synchronisation changes files: the files (as they are on disk) are copied aside.
    // Fails with Err036 (the synchronisation must then change nothing).
    StoreOutcome keepAside(const std::vector<std::string>& files);
    // Once it changed them: the files actually written (of those kept aside) and the records
    // applied. From here on this undo is kept in place of the one before; when nothing was
    // written, the one before stays.
    StoreOutcome seal(const std::vector<std::string>& written, const std::vector<PendingChange>& applied);
    void forget();

    struct Restore {
        StoreOutcome outcome;               // Msg031: nothing kept; Err037: a file changed since
        std::vector<std::string> files;     // put back, in the order kept
        std::vector<PendingChange> records; // applied by the synchronisation undone
    };
    // Puts the files back, all of them or (when one changed since) none, and forgets the undo.
    // When a write fails midway, the files not yet put back stay kept for another try.
    Restore restore();

private:
    struct Entry {
        std::string path;
        size_t offset = 0;
        size_t length = 0;
    };
    std::string file(const char* name) const { return folder_ + "/" + name; }
    bool makeFolder() const;

    FileIo& io_;
    std::string folder_;
    std::vector<Entry> aside_; // copied aside, waiting for seal()
};

// The user's state folder: $XDG_STATE_HOME when it is an absolute path, else ~/.local/state; ""
// without a home.
std::string userStateHome();
// Where the undo of the catalog whose folder file is catalogFile is kept, under stateHome.
std::string syncUndoFolder(const std::string& stateHome, const std::string& catalogFile);

} // namespace quillory
