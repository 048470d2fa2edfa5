#include "ui/catalog_window/CatalogCheckRunner.h"

#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <unordered_set>

#include "core/CoreContext.h"
#include "core/catalog_window/DisplayText.h"
#include "core/config/StoreReport.h"
#include "ui/platform/ThreadPriority.h"

namespace quillory {

CatalogCheckRunner::CatalogCheckRunner(CoreContext& core, const DiskProbe& disk, QWidget* window)
    : QObject(window), core_(core), disk_(disk), window_(window)
{
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] { showProgress(); });
}

CatalogCheckRunner::~CatalogCheckRunner() = default; // the check stops and its thread ends with it

void CatalogCheckRunner::checkForUser()
{
    if (check_ && forUser_) {
        progress_->raise();
        return;
    }
    abandon(); // a quiet check gives way
    start(true);
}

void CatalogCheckRunner::checkQuietly()
{
    if (!check_)
        start(false);
}

void CatalogCheckRunner::checkAgain()
{
    const bool forUser = check_ && forUser_;
    abandon();
    start(forUser);
}

void CatalogCheckRunner::abandon()
{
    check_.reset();
    progressTimer_->stop();
    if (progress_)
        progress_->hide();
}

void CatalogCheckRunner::start(bool forUser)
{
    forUser_ = forUser;
    StoreProblems problems;
    check_ = std::make_unique<CatalogCheck>(planCatalogCheck(core_.store, disk_, problems));
    if (!forUser && givingWay_)
        check_->giveWay(true);
    if (forUser) {
        report(core_.messages, problems); // the folder file, told with the command
        if (!progress_) {
            progress_ = new QProgressDialog(window_);
            progress_->setObjectName(QStringLiteral("CheckProgress"));
            progress_->setWindowModality(Qt::NonModal); // the window answers meanwhile
            progress_->setAutoClose(false);
            progress_->setAutoReset(false);
            progress_->setMinimumDuration(0);
            connect(progress_, &QProgressDialog::canceled, this, [this] {
                if (check_ && forUser_) {
                    check_->stop();
                    finish(number_);
                }
            });
        }
        progress_->setWindowTitle(QString::fromStdString(core_.conf.text("MF_Check_Title")));
        progress_->setCancelButtonText(QString::fromStdString(core_.conf.text("MF_Check_Stop")));
        progress_->setRange(0, static_cast<int>(check_->foldersToCheck()));
        showProgress();
        progress_->show();
        progressTimer_->start();
    }
    if (checkStarting)
        checkStarting(*check_);
    // The check's thread ends before this object goes, so there is someone to tell.
    const unsigned number = ++number_;
    check_->start(
        [this, number] {
            QMetaObject::invokeMethod(
                this, [this, number] { finish(number); }, Qt::QueuedConnection);
        },
        forUser ? std::function<void()>() : [] { lowerThisThreadPriority(); });
}

void CatalogCheckRunner::giveWay(bool yes)
{
    givingWay_ = yes;
    if (check_ && !forUser_)
        check_->giveWay(yes);
}

void CatalogCheckRunner::showProgress()
{
    if (!check_ || !progress_)
        return;
    const size_t checked = check_->foldersChecked();
    const bool finding = check_->stage() == CatalogCheck::Stage::Finding;
    if (finding)
        progress_->setRange(0, 0); // how many files there are to look at is not known: a busy bar
    else
        progress_->setValue(static_cast<int>(checked));
    const std::string label = finding ? withValues(core_.conf.text("MF_Check_Finding"),
                                                   {std::to_string(check_->filesSeen())})
                                      : withValues(core_.conf.text("MF_Check_Progress"),
                                                   {std::to_string(checked), std::to_string(check_->foldersToCheck())});
    progress_->setLabelText(QString::fromStdString(label));
}

RepairPlan CatalogCheckRunner::repairPlan() const
{
    std::vector<IndexReference> missing;
    for (const ReferenceProblem& problem : last_) {
        if (problem.state == ReferenceState::Missing)
            missing.push_back({problem.dirId, problem.cId, problem.place});
    }
    return planRepairs(offers_, missing, core_.store.fileIo());
}

void CatalogCheckRunner::forgetRepaired(const std::vector<IndexReference>& repaired)
{
    std::unordered_set<std::string> gone;
    for (const IndexReference& reference : repaired)
        gone.insert(reference.folderId + '\n' + reference.indexId);
    std::erase_if(last_, [&](const ReferenceProblem& p) { return gone.contains(p.dirId + '\n' + p.cId); });
    std::erase_if(offers_, [&](const RepairOffer& offer) {
        return gone.contains(offer.reference.folderId + '\n' + offer.reference.indexId);
    });
    tellCounts();
}

size_t CatalogCheckRunner::foundCount() const
{
    std::unordered_set<std::string> found;
    for (const RepairOffer& offer : offers_)
        found.insert(offer.reference.folderId + '\n' + offer.reference.indexId);
    return found.size();
}

void CatalogCheckRunner::tellCounts()
{
    const size_t found = foundCount();
    size_t missing = 0;
    size_t offline = 0;
    for (const ReferenceProblem& problem : last_) {
        missing += problem.state == ReferenceState::Missing;
        offline += problem.state == ReferenceState::Offline;
    }
    core_.session.states().setRepairAvailable(found > 0);
    if (summary)
        summary(found, missing - found, offline);
}

void CatalogCheckRunner::finish(unsigned number)
{
    if (!check_ || number != number_)
        return;
    check_->stop(); // it has ended: its thread is done with
    last_ = check_->problems();
    offers_ = check_->offers();
    const StoreProblems readProblems = check_->readProblems();
    const bool completed = check_->completed();
    const size_t checked = check_->foldersChecked();
    const size_t all = check_->foldersToCheck();
    const bool forUser = forUser_;
    abandon();
    tellCounts();
    if (!forUser)
        return; // what reading the index files comes upon is told when the user opens those folders
    // Run when the check's thread is done, outside any command: its own user action.
    MessageBatch batch(core_.messages);
    report(core_.messages, readProblems);
    if (completed && last_.empty()) {
        core_.messages.show("Msg023");
        return;
    }
    const size_t moved = foundCount();
    const std::string note = !completed ? withValues(core_.conf.text("MF_Check_Stopped"),
                                                     {std::to_string(checked), std::to_string(all)})
                             : moved > 0
                                 ? withValues(core_.conf.text("MF_Check_FoundMoved"),
                                              {std::to_string(last_.size()), std::to_string(moved)})
                                 : withValues(core_.conf.text("MF_Check_Found"), {std::to_string(last_.size())});
    if (listProblems)
        listProblems(last_, note);
}

} // namespace quillory
