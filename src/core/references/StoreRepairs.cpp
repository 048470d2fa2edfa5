#include "core/references/StoreRepairs.h"

#include <unordered_set>

#include "core/monitor/StoreSyncCatalog.h"
#include "core/references/DocumentPresence.h"
#include "core/store/SafeFile.h"

namespace quillory {

namespace {

bool stillFits(StoreSyncCatalog& catalog, const std::string& root, const RepairOffer& offer, FileIo& io)
{
    const std::optional<std::string> path = catalog.indexPath(offer.reference.folderId, offer.reference.indexId);
    struct stat info {};
    return path && placeOnDisk(*path, root) == offer.reference.path && io.stat(offer.newPath.c_str(), &info) == 0;
}

} // namespace

RepairResult applyRepairPlan(CatalogStore& store, const RepairPlan& plan, SyncUndo* undo)
{
    RepairResult result;
    // The lines that still fit, judged before anything is kept aside or changed: a repair that
    // is to change nothing leaves the undo kept so far as it is.
    StoreSyncCatalog catalog(store);
    std::vector<const RepairLine*> fitting;
    std::vector<std::string> changed; // folder ids, once each
    std::unordered_set<std::string> changedOnce;
    for (const RepairLine& line : plan.lines) {
        if (!line.ticked)
            continue;
        if (!stillFits(catalog, store.getRootPath(), line.offer, store.fileIo())) {
            ++result.stale;
            continue;
        }
        fitting.push_back(&line);
        if (changedOnce.insert(line.offer.reference.folderId).second)
            changed.push_back(line.offer.reference.folderId);
    }
    if (fitting.empty()) {
        result.problems = catalog.readProblems();
        return result;
    }
    if (undo) {
        std::vector<std::string> files;
        for (const std::string& folderId : changed)
            files.push_back(store.getContentFilePath(folderId));
        if (StoreOutcome aside = undo->keepAside(files); !aside) {
            result.problems.add(std::move(aside));
            result.notApplied = true;
            return result;
        }
    }
    const LeftoverSweepPerAction sweep;
    for (const RepairLine* line : fitting) {
        const IndexReference& reference = line->offer.reference;
        catalog.setIndexPath(reference.folderId, reference.indexId, line->offer.newPath);
        result.repaired.push_back(reference);
    }
    std::vector<std::string> written;
    std::unordered_set<std::string> unwritten;
    for (const std::string& folderId : changed) {
        if (StoreOutcome outcome = catalog.writeFolder(folderId); outcome) {
            written.push_back(store.getContentFilePath(folderId));
        } else {
            result.problems.add(std::move(outcome));
            unwritten.insert(folderId);
        }
    }
    std::erase_if(result.repaired,
                  [&](const IndexReference& reference) { return unwritten.contains(reference.folderId); });
    if (undo) {
        if (StoreOutcome sealed = undo->seal(written, {}); !sealed)
            result.problems.add(std::move(sealed));
    }
    StoreProblems problems = catalog.readProblems();
    problems.append(result.problems);
    result.problems = std::move(problems);
    result.applied = static_cast<int>(result.repaired.size());
    return result;
}

} // namespace quillory
