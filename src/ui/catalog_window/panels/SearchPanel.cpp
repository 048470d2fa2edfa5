#include "ui/catalog_window/panels/SearchPanel.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "core/CoreContext.h"
#include "core/catalog_window/DisplayText.h"
#include "core/catalog_window/search/DocumentScan.h"
#include "core/catalog_window/search/IndexSearch.h"
#include "core/config/StoreReport.h"
#include "ui/catalog_window/panels/PanelHost.h"

namespace quillory {

SearchPanel::SearchPanel(CoreContext& core, PanelHost& host, QWidget* parent)
    : FloatingPanel(QStringLiteral("Frame3"), core.conf, "MF_F3_Title", parent), core_(core), host_(host)
{
    build();
}

SearchPanel::~SearchPanel() = default; // the searches stop and their threads end with them

void SearchPanel::build()
{
    txt_search = control<QLineEdit>("txt_search");
    txt_search->setClearButtonEnabled(true);
    content()->addWidget(txt_search);
    connect(txt_search, &QLineEdit::returnPressed, this, [this] {
        if (!searching_)
            cmd_search_Click();
    });

    auto* boxes = new QGridLayout;
    auto box = [this](const char* key, const char* name) { return control<QCheckBox>(name, caption(key)); };
    check_sTitle = box("MF_F3_check_sTitle", "check_sTitle");
    check_sDesc = box("MF_F3_check_sDesc", "check_sDesc");
    check_sContent = box("MF_F3_check_sContent", "check_sContent");
    check_sNowNest = box("MF_F3_check_sNowNest", "check_sNowNest");
    check_sAll = box("MF_F3_check_sAll", "check_sAll");
    // What to look at on the left, where on the right.
    boxes->addWidget(check_sTitle, 0, 0);
    boxes->addWidget(check_sDesc, 1, 0);
    boxes->addWidget(check_sContent, 2, 0);
    boxes->addWidget(check_sNowNest, 0, 1);
    boxes->addWidget(check_sAll, 1, 1);
    content()->addLayout(boxes);
    lbl_progress = control<QLabel>("lbl_progress");
    content()->addWidget(lbl_progress);
    content()->addStretch(1);
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, [this] { showProgress(); });

    cmd_search = footButton("MF_F3_cmd_Search", "cmd_search", [this] { cmd_search_Click(); });
    cmd_sback = footButton("MF_F3_cmd_sback", "cmd_sback", [this] { cmd_sback_Click(); });
}

void SearchPanel::open()
{
    cmd_sback->setEnabled(true);
    cmd_search->setEnabled(true);
    txt_search->clear();
    check_sTitle->setChecked(true);
    check_sDesc->setChecked(true);
    check_sContent->setChecked(false);
    check_sNowNest->setChecked(false);
    check_sAll->setChecked(false);
    txt_search->setFocus();
}

void SearchPanel::cmd_search_Click()
{
    if (!searching_) {
        cmd_search->setText(caption("MF_F3_cmd_Search2"));
        cmd_sback->setEnabled(false);
    }
    runSearch();
}

void SearchPanel::cmd_sback_Click()
{
    hide();
}

void SearchPanel::runSearch()
{
    if (searching_) {
        // Pressed again while the index files or the documents are read: stop, and show what
        // was found so far.
        finishSearch();
        return;
    }
    searching_ = true;
    host_.searchRunning(true);
    results_ = {};
    titleRows_ = listedRows_ = 0;
    foldersListed_ = 0;
    problems_ = {};
    host_.showSearchNote("");
    MessageBatch batch(core_.messages);
    text_ = txt_search->text().toStdString();
    if (isBlankSearchText(text_)) {
        // Nothing was looked for, so there is nothing to tell.
        endSearching();
        host_.showSearchResults({});
        return;
    }
    options_.titles = check_sTitle->isChecked();
    options_.descriptions = check_sDesc->isChecked();
    options_.documents = check_sContent->isChecked();
    options_.subtree = check_sNowNest->isChecked();
    options_.wholeCatalog = check_sAll->isChecked();
    scope_ = searchScope(core_.store, host_.currentDirId(), options_.subtree, options_.wholeCatalog, problems_);
    host_.beginSearchResults();
    progressTimer_->start();
    if (!options_.titles && !options_.descriptions) {
        startDocumentScan();
        return;
    }
    // The index files are read and matched on the search's thread; the window takes each folder
    // read into the store's cache and lists what it found, a batch at a time.
    matcher_.emplace(text_);
    indexSearch_ = std::make_unique<IndexFileSearch>(planIndexFileSearch(core_.store, scope_, text_, options_));
    if (indexSearchStarting)
        indexSearchStarting(*indexSearch_);
    // The search's thread ends before this panel goes, so the panel is there to be told; what a
    // search stopped meanwhile hands over is left.
    const unsigned number = ++searchNumber_;
    indexSearch_->start([this, number] {
        QMetaObject::invokeMethod(
            this,
            [this, number] {
                if (!indexSearch_ || searchNumber_ != number || takeWaiting_)
                    return;
                // Folders are taken some at a time: each batch listed lays the list out anew.
                takeWaiting_ = true;
                QTimer::singleShot(kTakeEveryMs, this, [this, number] {
                    takeWaiting_ = false;
                    if (indexSearch_ && searchNumber_ == number)
                        takeFolders();
                });
            },
            Qt::QueuedConnection);
    });
}

void SearchPanel::takeFolders()
{
    // Each turn lists for a short while only, so that the window repaints and answers between.
    constexpr qint64 kTurnMs = 15;
    const bool ended = indexSearch_->ended(); // asked first: then the take holds every folder
    for (auto& folder : indexSearch_->take())
        toList_.push_back(std::move(folder));
    QElapsedTimer turn;
    turn.start();
    std::vector<ContentCollection::Ptr> byTitle;
    std::vector<ContentCollection::Ptr> byDescription;
    while (!toList_.empty() && turn.elapsed() < kTurnMs) {
        listFolder(toList_.front(), byTitle, byDescription);
        toList_.pop_front();
        ++foldersListed_;
    }
    // Title matches before the description matches, as a search made at once lists them.
    host_.insertSearchResults(titleRows_, byTitle);
    titleRows_ += static_cast<int>(byTitle.size());
    listedRows_ += static_cast<int>(byTitle.size());
    host_.insertSearchResults(listedRows_, byDescription);
    listedRows_ += static_cast<int>(byDescription.size());
    if (!toList_.empty()) {
        const unsigned number = searchNumber_;
        QTimer::singleShot(0, this, [this, number] {
            if (indexSearch_ && searchNumber_ == number)
                takeFolders();
        });
        return;
    }
    if (!ended)
        return;
    indexSearch_.reset();
    startDocumentScan();
}

void SearchPanel::listFolder(IndexFileSearch::FolderRead& folder, std::vector<ContentCollection::Ptr>& byTitle,
                             std::vector<ContentCollection::Ptr>& byDescription)
{
    const auto map = core_.store.takeIndexFileRead(folder.dirId, folder.read, problems_);
    if (map != folder.read.map) {
        // The cache held this folder already: its records are the ones to list, as they are now.
        folder.byTitle.clear();
        folder.byDescription.clear();
        map->forEach([&](const std::string&, const IndexMap::Ptr& record) {
            if (options_.titles && matcher_->matches(record->cTitle()))
                folder.byTitle.push_back(record);
            else if (options_.descriptions && matcher_->matches(record->cDesc()))
                folder.byDescription.push_back(record);
        });
    }
    for (auto& record : folder.byTitle) {
        if (results_.add(std::string(record->cId()), record))
            byTitle.push_back(std::move(record));
    }
    for (auto& record : folder.byDescription) {
        if (results_.add(std::string(record->cId()), record))
            byDescription.push_back(std::move(record));
    }
}

void SearchPanel::startDocumentScan()
{
    if (!options_.documents || scope_.empty()) {
        finishSearch();
        return;
    }
    // The index files are read by the scan itself; the maps it needs for the results are read
    // here, on this thread, once it is done.
    scan_ = std::make_unique<DocumentScan>(
        planDocumentScan(core_.store, core_.session.getRootPath(), scope_, text_, results_));
    if (scanStarting)
        scanStarting(*scan_);
    const unsigned number = ++searchNumber_;
    scan_->start([this, number] {
        QMetaObject::invokeMethod(
            this,
            [this, number] {
                if (scan_ && searchNumber_ == number)
                    finishSearch();
            },
            Qt::QueuedConnection);
    });
}

void SearchPanel::stopSearch()
{
    if (searching_)
        runSearch(); // a press while searching stops it
}

void SearchPanel::abandonSearch()
{
    indexSearch_.reset(); // stops it and waits for its thread
    toList_.clear();
    if (scan_) {
        scan_->stop();
        scan_.reset();
    }
    results_ = {};
    problems_ = {};
    if (searching_)
        endSearching();
}

void SearchPanel::folderChosen()
{
    if (!indexSearch_ && !scan_) {
        // The list shows a folder again: what was said of a search is past.
        host_.showSearchNote("");
        return;
    }
    tellProblems();
    abandonSearch();
    hide();
    host_.showSearchNote(core_.conf.text("MF_F3_StoppedForFolder"));
}

void SearchPanel::tellProblems()
{
    report(core_.messages, problems_);
    problems_ = {};
}

void SearchPanel::finishSearch()
{
    // Also run when the scan's thread is done, outside any command: its own user action.
    MessageBatch batch(core_.messages);
    std::string note;
    if (indexSearch_) {
        // Stopped while the index files were read: the list keeps what it shows.
        const size_t all = indexSearch_->foldersToRead();
        indexSearch_.reset();
        toList_.clear();
        note = withValues(core_.conf.text("MF_F3_StoppedFolders"),
                          {std::to_string(foldersListed_), std::to_string(all)});
    }
    if (scan_) {
        scan_->stop(); // it has ended, or ends within one block: its thread is done with
        std::vector<ContentCollection::Ptr> byDocument;
        for (const auto& found : scan_->found()) {
            if (auto index = core_.store.getQlrDirContentById(found.dirId, found.cId, problems_);
                index && results_.add(found.cId, index))
                byDocument.push_back(std::move(index));
        }
        host_.insertSearchResults(listedRows_, byDocument);
        listedRows_ += static_cast<int>(byDocument.size());
        if (!scan_->completed()) {
            note = withValues(core_.conf.text("MF_F3_Stopped"),
                              {std::to_string(scan_->documentsRead()), std::to_string(scan_->documentsToRead())});
        }
        scan_.reset();
    }
    tellProblems();
    if (note.empty() && results_.count() == 0)
        note = core_.conf.text("MF_F3_NothingFound");
    results_ = {};
    endSearching();
    // Stopped or not, the panel closes and the list shows what was found.
    hide();
    host_.showSearchNote(note);
}

void SearchPanel::endSearching()
{
    searching_ = false;
    host_.searchRunning(false);
    progressTimer_->stop();
    lbl_progress->clear();
    cmd_search->setText(caption("MF_F3_cmd_Search"));
    cmd_sback->setEnabled(true);
}

void SearchPanel::showProgress()
{
    if (indexSearch_) {
        lbl_progress->setText(QString::fromStdString(
            withValues(core_.conf.text("MF_F3_lbl_progressFolders"),
                       {std::to_string(foldersListed_), std::to_string(indexSearch_->foldersToRead())})));
        return;
    }
    if (!scan_ || scan_->documentsToRead() == 0)
        return;
    lbl_progress->setText(QString::fromStdString(
        withValues(core_.conf.text("MF_F3_lbl_progress"),
                   {std::to_string(scan_->documentsRead()), std::to_string(scan_->documentsToRead())})));
}

} // namespace quillory
