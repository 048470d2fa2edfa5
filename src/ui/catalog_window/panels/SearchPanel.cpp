#include "ui/catalog_window/panels/SearchPanel.h"

#include <QCheckBox>
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

SearchPanel::~SearchPanel() = default; // the scan stops and its thread ends with it

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
        // Pressed again while the documents are read: stop, and show what was found so far.
        if (scan_)
            scan_->stop();
        finishSearch();
        return;
    }
    searching_ = true;
    results_ = {};
    host_.showSearchNote("");
    MessageBatch batch(core_.messages);
    const std::string text = txt_search->text().toStdString();
    if (isBlankSearchText(text)) {
        // Nothing was looked for, so there is nothing to tell.
        endSearching();
        host_.showSearchResults({});
        return;
    }
    SearchOptions options;
    options.titles = check_sTitle->isChecked();
    options.descriptions = check_sDesc->isChecked();
    options.documents = check_sContent->isChecked();
    options.subtree = check_sNowNest->isChecked();
    options.wholeCatalog = check_sAll->isChecked();
    StoreProblems problems;
    const std::vector<std::string> scope = searchScope(core_.store, host_.currentDirId(), options.subtree,
                                                       options.wholeCatalog, problems);
    searchTitlesAndDescriptions(core_.store, scope, text, options, results_, problems);
    report(core_.messages, problems);
    if (!options.documents || scope.empty()) {
        finishSearch();
        return;
    }
    // The index files are read by the scan itself; the maps it needs for the results are read
    // here, on this thread, once it is done.
    scan_ = std::make_unique<DocumentScan>(
        planDocumentScan(core_.store, core_.session.getRootPath(), scope, text, results_));
    if (scanStarting)
        scanStarting(*scan_);
    // The scan's thread ends before this panel goes, so the panel is there to be told; the end
    // of a scan that was stopped meanwhile finishes nothing.
    const unsigned number = ++scanNumber_;
    scan_->start([this, number] {
        QMetaObject::invokeMethod(
            this,
            [this, number] {
                if (scan_ && scanNumber_ == number)
                    finishSearch();
            },
            Qt::QueuedConnection);
    });
    progressTimer_->start();
}

void SearchPanel::stopSearch()
{
    if (searching_)
        runSearch(); // a press while searching stops it
}

void SearchPanel::abandonSearch()
{
    if (scan_) {
        scan_->stop();
        scan_.reset();
    }
    results_ = {};
    if (searching_)
        endSearching();
}

void SearchPanel::folderChosen()
{
    if (!scan_) {
        // The list shows a folder again: what was said of a search is past.
        host_.showSearchNote("");
        return;
    }
    abandonSearch();
    hide();
    host_.showSearchNote(core_.conf.text("MF_F3_StoppedForFolder"));
}

void SearchPanel::finishSearch()
{
    // Also run when the scan's thread is done, outside any command: its own user action.
    MessageBatch batch(core_.messages);
    std::string note;
    if (scan_) {
        scan_->stop(); // it has ended, or ends within one block: its thread is done with
        StoreProblems problems;
        for (const auto& found : scan_->found()) {
            if (auto index = core_.store.getQlrDirContentById(found.dirId, found.cId, problems))
                results_.add(found.cId, std::move(index));
        }
        report(core_.messages, problems);
        if (!scan_->completed()) {
            note = withValues(core_.conf.text("MF_F3_Stopped"),
                              {std::to_string(scan_->documentsRead()), std::to_string(scan_->documentsToRead())});
        }
        scan_.reset();
    }
    const auto results = results_.values();
    results_ = {};
    if (note.empty() && results.empty())
        note = core_.conf.text("MF_F3_NothingFound");
    endSearching();
    // Stopped or not, the panel closes and the list shows what was found.
    host_.showSearchResults(results);
    host_.showSearchNote(note);
}

void SearchPanel::endSearching()
{
    searching_ = false;
    progressTimer_->stop();
    lbl_progress->clear();
    cmd_search->setText(caption("MF_F3_cmd_Search"));
    cmd_sback->setEnabled(true);
}

void SearchPanel::showProgress()
{
    if (!scan_ || scan_->documentsToRead() == 0)
        return;
    lbl_progress->setText(QString::fromStdString(
        withValues(core_.conf.text("MF_F3_lbl_progress"),
                   {std::to_string(scan_->documentsRead()), std::to_string(scan_->documentsToRead())})));
}

} // namespace quillory
