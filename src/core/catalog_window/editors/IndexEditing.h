#pragma once

#include <memory>
#include <string>

#include "core/store/IndexRecord.h"

namespace quillory {

class CatalogStore;
class Messages;

// What the index editor shows and takes, as typed.
struct IndexFields {
    std::string cId; // "" for a new index
    std::string title;
    std::string path;
    std::string description;
    bool needPwd = false;
    std::string pwd;
};

// The stored index to view and change; empty fields when there is none. The password flag and
// password are shown as stored, so that saving keeps them.
IndexFields indexFieldsOf(CatalogStore& store, Messages& messages, const std::string& dirId, const std::string& cId);

// Now, as an index's add time is written: "2026-12-06 15:30:00", local time.
std::string addTimeNow();

// The index record the fields make for folder dirId: title, path and description trimmed, the
// password as typed, the add time now, and a new id when the fields have none.
std::shared_ptr<IndexRecord> readContentPanel(CatalogStore& store, Messages& messages, const std::string& dirId,
                                              const IndexFields& fields);

// What became of what the index editor was to store. The catalog may have changed while the
// editor was open: its folder deleted, the index deleted or moved to another folder.
enum class IndexSave {
    Written,
    FolderGone, // the folder is no longer in the catalog: nothing was written
    IndexGone,  // the index is no longer in its folder, or its folder has gone: nothing was written
    Failed,     // the index file could not be written (the user has been told why)
};

struct IndexAdd {
    IndexSave outcome = IndexSave::Failed;
    std::string id; // the new index's id when written
};
// Adds an index to the folder, when the folder is still in the catalog.
IndexAdd addIndexFromPanel(CatalogStore& store, Messages& messages, const std::string& dirId,
                           const IndexFields& fields);

struct IndexUpdate {
    IndexSave outcome = IndexSave::Failed;
    bool titleOrPathChanged = false; // what the list shows of it
    bool written() const { return outcome == IndexSave::Written; }
};
// Stores the fields over the index fields.cId of the folder, with a new add time, when the index
// is still there. A failed write leaves the index as it was.
IndexUpdate updateIndexFromPanel(CatalogStore& store, Messages& messages, const std::string& dirId,
                                 const IndexFields& fields);

} // namespace quillory
