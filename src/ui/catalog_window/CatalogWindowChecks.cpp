// The catalog window's commands on the catalog's references: the check, the listing of what it
// found and the repair of moved documents.
#include "core/CoreContext.h"
#include "core/catalog_window/DisplayText.h"
#include "core/config/StoreReport.h"
#include "ui/catalog_window/CatalogCheckRunner.h"
#include "ui/catalog_window/CatalogWindow.h"
#include "ui/catalog_window/IndexListPane.h"
#include "ui/dialogs/ChangePreviewDialog.h"

namespace quillory {

void CatalogWindow::mnuCheckCatalog_Click()
{
    checkRunner_->checkForUser();
}

void CatalogWindow::checkQuietly()
{
    if (!unloaded_)
        checkRunner_->checkQuietly();
}

void CatalogWindow::checkAgain()
{
    if (!unloaded_)
        checkRunner_->checkAgain();
}

void CatalogWindow::showLastCheck()
{
    MessageBatch batch(core_.messages);
    listCheckProblems(checkRunner_->lastProblems(), "");
}

namespace {

const char* reasonKeyOf(ReferenceState state)
{
    switch (state) {
    case ReferenceState::Offline: return "MF_Check_Offline";
    case ReferenceState::OutsideRoot: return "MF_Check_Outside";
    case ReferenceState::Unreadable: return "MF_Check_Unreadable";
    case ReferenceState::Ok:
    case ReferenceState::Missing: break;
    }
    return "MF_Check_Missing";
}

} // namespace

void CatalogWindow::listCheckProblems(const std::vector<ReferenceProblem>& problems, const std::string& note)
{
    // Listed like a search's results: the list no longer shows a folder.
    hidePanels();
    std::unordered_map<std::string, std::string> foundAt; // each missing document's best offer
    for (const RepairOffer& offer : checkRunner_->lastOffers())
        foundAt.emplace(offer.reference.indexId, offer.newPath);
    StoreProblems storeProblems;
    std::vector<std::shared_ptr<IndexRecord>> indexes;
    std::unordered_map<std::string, QString> reasons;
    for (const ReferenceProblem& problem : problems) {
        auto index = core_.store.getQlrDirContentById(problem.dirId, problem.cId, storeProblems);
        if (!index)
            continue; // deleted since
        const auto found = foundAt.find(problem.cId);
        const std::string reason = found != foundAt.end() ? withValues(caption("MF_Check_FoundAt"), {found->second})
                                                          : caption(reasonKeyOf(problem.state));
        reasons.emplace(problem.cId, QString::fromStdString(reason));
        indexes.push_back(std::move(index));
    }
    report(core_.messages, storeProblems);
    list_->showIndexesWithReasons(indexes, std::move(reasons));
    emit statusNote(QString::fromStdString(note));
}

void CatalogWindow::mnuRepairRefs_Click()
{
    MessageBatch batch(core_.messages);
    RepairPlan plan = checkRunner_->repairPlan();
    if (plan.lines.empty()) {
        core_.messages.show("Msg024");
        return;
    }
    if (!askRepairPreview(core_.conf, plan, window()) || !applyRepairs)
        return;
    const RepairResult result = applyRepairs(plan);
    checkRunner_->forgetRepaired(result.repaired);
    if (list_->showsReasons())
        listCheckProblems(checkRunner_->lastProblems(), "");
    checkAgain(); // what else changed meanwhile, and a check under way read the old paths
}

} // namespace quillory
