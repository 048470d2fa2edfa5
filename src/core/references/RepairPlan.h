#pragma once

#include <string>
#include <vector>

#include "core/references/RefindSearch.h"

namespace quillory {

// One repair offered to the user: the index's reference, the path that may replace it, and
// whether it is ticked. It is ticked at first when the match is sure enough to take as it stands
// (the same content, or the same name and size, or the same move of a folder) and no other
// document matches as well.
struct RepairLine {
    RepairOffer offer;
    bool ticked = true;
};

// The repairs offered for a catalog's missing documents, in the order of the missing documents.
struct RepairPlan {
    std::vector<RepairLine> lines;
};

// The plan for the offers of a search (each document's best first) among the missing documents:
// each document's best offer; and when such a repair moves a folder, the same move for every
// other missing document below the old folder that nothing else was found for and that is there
// below the new one.
RepairPlan planRepairs(const std::vector<RepairOffer>& offers, const std::vector<IndexReference>& missing,
                       FileIo& io = defaultFileIo());

} // namespace quillory
