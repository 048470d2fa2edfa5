#pragma once

#include <string>
#include <vector>

#include "core/monitor/DiskSync.h"

namespace quillory {

// What the synchronisation will do with one index, judged from its record, the catalog and the
// disk.
enum class SyncLineKind {
    Moved,   // renamed or moved: the index takes the new path
    Deleted, // the document is gone: the index is taken out of its folder
    Kept,    // the disk says otherwise (the document is still at its old path, or nothing is at
             // the new one): the index stays as it is and the record is dropped
    Offline, // the document's volume is not mounted: nothing can be judged, the record stays
};

// One index's line of the plan. Unticked, it changes nothing and its record stays pending, to
// be offered again by the next synchronisation (a record is never lost by unticking it). An
// Offline line stays pending whether ticked or not.
struct SyncLine {
    SyncLineKind kind = SyncLineKind::Kept;
    PendingChange change;
    bool ticked = true;

    // Whether ticking or unticking it makes a difference.
    bool choosable() const { return kind != SyncLineKind::Offline; }
};

// What the synchronisation would do, computed without changing anything: one line per index
// of the reduced records, in their order. Records that no longer fit the catalog (the index is
// gone, or its path changed since) have no line: they are dropped when the plan is applied.
struct SyncPlan {
    std::vector<SyncLine> lines;
    int stale = 0;
};

// The configuration key of the caption that says what the line does.
const char* captionKeyOf(const SyncLine& line);

// The plan for the pending-changes file's lines.
SyncPlan planSynchronisation(const std::vector<std::string>& lines, SyncCatalog& catalog, const DiskProbe& disk);

// What applying a plan did to the catalog (in memory: the folders are not written yet).
struct SyncApplied {
    std::vector<PendingChange> applied;      // in plan order
    std::vector<std::string> changedFolders; // once each, in the order of their first change
    std::vector<PendingChange> stillPending; // unticked, Offline, or changed while on show
    int dropped = 0;                         // Kept lines ticked
    int stale = 0;
};

// Applies the ticked Moved and Deleted lines. Each is judged again first: a line whose record
// the catalog or the disk no longer bears out as it did when the plan was made (the plan was on
// show meanwhile) changes nothing, and its record stays pending unless it has gone stale.
SyncApplied applySyncPlan(const SyncPlan& plan, SyncCatalog& catalog, const DiskProbe& disk);

} // namespace quillory
