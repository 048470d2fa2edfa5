#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/references/CatalogCheck.h"
#include "core/references/RepairPlan.h"

class QProgressDialog;
class QTimer;
class QWidget;

namespace quillory {

class DiskProbe;
struct CoreContext;

// Runs the check of the whole catalog, on its thread, in two ways: for the user (a window says
// how far it is and stops it, and what it found is listed), and quietly once a catalog has
// opened (at low priority, and only the counts of documents moved, missing and offline are told).
// It changes nothing; the problems of the last check, and where its missing documents were found,
// are kept to be listed and offered as repairs on request.
class CatalogCheckRunner : public QObject {
public:
    CatalogCheckRunner(CoreContext& core, const DiskProbe& disk, QWidget* window);
    ~CatalogCheckRunner() override;

    // The user's check: the problems found are handed to listProblems with a note for the
    // status line, or Msg023 says there are none. A quiet check under way gives way to it.
    void checkForUser();
    // The check of a catalog just opened; summary tells its count when it has ended.
    void checkQuietly();
    // After the catalog's references changed (Sync, its Undo, a repair): a check under way read
    // them before, so it starts again, the user's as the user's, else a quiet one.
    void checkAgain();
    // Ends a check and tells nothing (the window is going).
    void abandon();
    // While the user's search runs, a quiet check waits where it is (one started meanwhile
    // waits from its start); the user's own check goes on.
    void giveWay(bool yes);
    bool checking() const { return check_ != nullptr; }
    const CatalogCheck* check() const { return check_.get(); }
    QProgressDialog* progressWindow() const { return progress_; }
    const std::vector<ReferenceProblem>& lastProblems() const { return last_; }
    // Where the last check found missing documents, each one's best first.
    const std::vector<RepairOffer>& lastOffers() const { return offers_; }
    // The repairs to offer for what the last check found.
    RepairPlan repairPlan() const;
    // Forgets the problems of these indexes, now repaired, and tells the counts again.
    void forgetRepaired(const std::vector<IndexReference>& repaired);

    // Called with each check before it starts (tests hold one with it).
    std::function<void(CatalogCheck&)> checkStarting;
    std::function<void(const std::vector<ReferenceProblem>& problems, const std::string& note)> listProblems;
    // The documents the last check found moved (found elsewhere), missing (not found) and offline.
    std::function<void(size_t moved, size_t missing, size_t offline)> summary;

private:
    void start(bool forUser);
    void finish(unsigned number);
    void showProgress();
    void tellCounts();
    size_t foundCount() const; // missing documents with an offer

    CoreContext& core_;
    const DiskProbe& disk_;
    QWidget* window_;
    std::unique_ptr<CatalogCheck> check_;
    bool forUser_ = false;
    bool givingWay_ = false;
    // Counts the checks started, so that the end of one stopped never reaches a later one.
    unsigned number_ = 0;
    std::vector<ReferenceProblem> last_;
    std::vector<RepairOffer> offers_;
    QProgressDialog* progress_ = nullptr;
    QTimer* progressTimer_ = nullptr;
};

} // namespace quillory
