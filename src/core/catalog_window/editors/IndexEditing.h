#pragma once

#include <memory>
#include <string>

#include "core/store/QlrDirContentModel.h"

namespace quillory {

class qlrDbOpe;

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
IndexFields indexFieldsOf(qlrDbOpe& store, const std::string& dirId, const std::string& cId);

// Now, as an index's add time is written: "2026-12-06 15:30:00", local time.
std::string addTimeNow();

// The index record the fields make for folder dirId: title, path and description trimmed, the
// password as typed, the add time now, and a new id when the fields have none.
std::shared_ptr<QlrDirContentModel> readContentPanel(qlrDbOpe& store, const std::string& dirId,
                                                     const IndexFields& fields);

// Adds an index to the folder. Returns its id, or "" when the index file could not be written
// (the store has told why).
std::string addIndexFromPanel(qlrDbOpe& store, const std::string& dirId, const IndexFields& fields);

struct IndexUpdate {
    bool written = false;
    bool titleOrPathChanged = false; // what the list shows of it
};
// Stores the fields over the index fields.cId of the folder, with a new add time. A failed write
// leaves the index as it was.
IndexUpdate updateIndexFromPanel(qlrDbOpe& store, const std::string& dirId, const IndexFields& fields);

} // namespace quillory
