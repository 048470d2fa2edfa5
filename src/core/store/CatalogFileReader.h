#pragma once

#include <memory>
#include <string>

#include "core/store/FolderRecord.h"
#include "core/store/IndexRecord.h"
#include "core/store/OrderedMap.h"
#include "core/store/SafeFile.h"
#include "core/store/StoreOutcome.h"

namespace quillory {

using FolderMap = OrderedMap<FolderRecord>;
using IndexMap = OrderedMap<IndexRecord>;

// What reading one catalog file gave.
template <class Map>
struct CatalogFileRead {
    std::shared_ptr<Map> map = std::make_shared<Map>(); // empty for a missing or unreadable file
    // False when the file could not be read, or not whole (more records than a map holds): it
    // must not be rewritten from this copy, or what was not read would be lost.
    bool complete = true;
    // The copy read differs from the file in something a rewrite would drop: a damaged line,
    // fields after the last, an id that a later line takes again.
    bool lossy = false;
    // Why the file is not complete, by message key ("" when it is, or the reason is the
    // system's and stands in the problem).
    std::string incompleteReasonKey;
    StoreProblems problems;
    // The file as it was read: its stamp (not existing for a missing file), and its text, which
    // textOwner keeps (for an index file, the memory its records keep their texts in anyway).
    FileStamp stamp;
    std::shared_ptr<const void> textOwner;
    std::string_view text;
};
using FolderFileRead = CatalogFileRead<FolderMap>;
using IndexFileRead = CatalogFileRead<IndexMap>;

// Reading catalog files, record by record, in file order; a later line with the same id
// replaces the earlier one in its place. A missing file reads as empty, without a problem.
// These touch nothing shared (each thread reuses a read buffer of its own), so any thread may
// call them; the records of an index file read the catalog's root path from root, so root must
// outlive them and be safe to ask from the thread that uses them.
// A file that is not a plain file (a pipe, a device, a link to one) is not read: it could hang
// the program or never end.
FolderFileRead readFolderFile(FileIo& io, const std::string& path);
IndexFileRead readIndexFile(FileIo& io, const std::string& path, const std::string* root);
// The records of text that was read from path before (path names the file in problems).
FolderFileRead parseFolderText(const std::string& path, std::string_view text);
IndexFileRead parseIndexText(const std::string& path, std::string_view text, const std::string* root);

} // namespace quillory
