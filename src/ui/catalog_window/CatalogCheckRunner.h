#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/references/CatalogCheck.h"

class QProgressDialog;
class QTimer;
class QWidget;

namespace quillory {

class DiskProbe;
struct CoreContext;

// Runs the check of the whole catalog, on its thread, in two ways: for the user (a window says
// how far it is and stops it, and what it found is listed), and quietly once a catalog has
// opened (at low priority, and only the count of documents missing is told). It changes
// nothing; the problems of the last check are kept to be listed on request.
class CatalogCheckRunner : public QObject {
public:
    CatalogCheckRunner(CoreContext& core, const DiskProbe& disk, QWidget* window);
    ~CatalogCheckRunner() override;

    // The user's check: the problems found are handed to listProblems with a note for the
    // status line, or Msg023 says there are none. A quiet check under way gives way to it.
    void checkForUser();
    // The check of a catalog just opened; summary tells its count when it has ended.
    void checkQuietly();
    // Ends a check and tells nothing (the window is going).
    void abandon();
    bool checking() const { return check_ != nullptr; }
    const CatalogCheck* check() const { return check_.get(); }
    QProgressDialog* progressWindow() const { return progress_; }
    const std::vector<ReferenceProblem>& lastProblems() const { return last_; }

    // Called with each check before it starts (tests hold one with it).
    std::function<void(CatalogCheck&)> checkStarting;
    std::function<void(const std::vector<ReferenceProblem>& problems, const std::string& note)> listProblems;
    std::function<void(size_t missing, size_t offline)> summary;

private:
    void start(bool forUser);
    void finish(unsigned number);
    void showProgress();

    CoreContext& core_;
    const DiskProbe& disk_;
    QWidget* window_;
    std::unique_ptr<CatalogCheck> check_;
    bool forUser_ = false;
    // Counts the checks started, so that the end of one stopped never reaches a later one.
    unsigned number_ = 0;
    std::vector<ReferenceProblem> last_;
    QProgressDialog* progress_ = nullptr;
    QTimer* progressTimer_ = nullptr;
};

} // namespace quillory
