#pragma once

#include <string>
#include <vector>

#include "core/monitor/SyncUndo.h"
#include "core/references/RepairPlan.h"
#include "core/store/CatalogStore.h"

namespace quillory {

struct RepairResult {
    int applied = 0;
    // Ticked lines that no longer fit: the index is gone or points elsewhere now, or nothing is
    // at the new path any more.
    int stale = 0;
    std::vector<IndexReference> repaired; // in plan order
    StoreProblems problems;               // what reading and writing the folders came upon
    bool notApplied = false;              // the index files could not be kept aside: nothing changed
};

// Gives each ticked line's index its new path in the open catalog's store and writes the folders
// changed. Each line is judged again first, as the plan may have been on show for a while. With
// undo, the index files to be changed are copied aside first, so that "Undo last
// synchronisation" puts them back; when that fails nothing is changed.
RepairResult applyRepairPlan(CatalogStore& store, const RepairPlan& plan, SyncUndo* undo);

} // namespace quillory
