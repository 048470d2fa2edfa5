#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "core/catalog_window/search/IndexSearch.h"

#include "core/catalog_window/search/IndexFileSearch.h"
#include "core/store/CatalogStore.h"
#include "core/store/TextMatch.h"
#include "ui/catalog_window/panels/FloatingPanel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace quillory {

class DocumentScan;
class PanelHost;
struct CoreContext;

// The search panel (object name "Frame3"). It finds indexes by title, description and document text in the
// current folder, its subtree or the whole catalog, and shows them in the index list. The index
// files, then the documents, are read on threads of their own: the window answers meanwhile,
// the list grows as indexes are found, the panel shows how far the reading is, and the search
// button stops it.
class SearchPanel : public FloatingPanel {
public:
    SearchPanel(CoreContext& core, PanelHost& host, QWidget* parent);
    ~SearchPanel() override;

    // Empties the search text and puts the scope and fields back to their start.
    void open();
    // Starts a search, or stops the one running.
    void cmd_search_Click();
    void cmd_sback_Click();
    void runSearch();
    // Ends a running search as the stop button does: what was found so far is listed.
    void stopSearch();
    // Ends a running search and lists nothing (the window is going).
    void abandonSearch();
    // The user chose a folder, so the list is to show it: a search still reading ends as
    // stopped, and its results are dropped.
    void folderChosen();
    // True while a search runs.
    bool searching() const { return searching_; }
    // The document scan of the running search (null when none runs).
    const DocumentScan* scan() const { return scan_.get(); }
    // The title and description search running (null when none runs).
    const IndexFileSearch* indexSearch() const { return indexSearch_.get(); }
    // Called with each document scan, and each title and description search, before it starts
    // (tests hold one with it).
    std::function<void(DocumentScan&)> scanStarting;
    std::function<void(IndexFileSearch&)> indexSearchStarting;

    QLineEdit* txt_search = nullptr;
    QCheckBox* check_sTitle = nullptr;
    QCheckBox* check_sDesc = nullptr;
    QCheckBox* check_sContent = nullptr;
    QCheckBox* check_sNowNest = nullptr;
    QCheckBox* check_sAll = nullptr;
    // How many documents have been read, of how many, while they are read.
    QLabel* lbl_progress = nullptr;
    QPushButton* cmd_search = nullptr;
    QPushButton* cmd_sback = nullptr;

private:
    void build();
    // Lists the folders the title and description search has read, for a while at most, and
    // goes on to the documents once it has ended.
    void takeFolders();
    void listFolder(IndexFileSearch::FolderRead& folder, std::vector<ContentCollection::Ptr>& byTitle,
                    std::vector<ContentCollection::Ptr>& byDescription);
    void startDocumentScan();
    // The search has ended (stopped or not): the document results follow the others.
    void finishSearch();
    void endSearching();
    void showProgress();
    // What reading the index files came upon, told once for the search.
    void tellProblems();

    CoreContext& core_;
    PanelHost& host_;
    bool searching_ = false;
    std::string text_;
    SearchOptions options_;
    std::vector<std::string> scope_;
    // Every index found, and how many rows the list shows of the title matches, and in all.
    ContentCollection results_;
    int titleRows_ = 0;
    int listedRows_ = 0;
    std::unique_ptr<IndexFileSearch> indexSearch_;
    std::deque<IndexFileSearch::FolderRead> toList_; // read, not listed yet
    size_t foldersListed_ = 0;
    std::optional<CaseInsensitiveMatcher> matcher_;
    StoreProblems problems_;
    std::unique_ptr<DocumentScan> scan_;
    // Counts the searches started, so that what one hands over late never reaches a later one.
    unsigned searchNumber_ = 0;
    // A take of the folders read waits that long, to list them in batches.
    static constexpr int kTakeEveryMs = 25;
    bool takeWaiting_ = false;
    QTimer* progressTimer_ = nullptr;
};

} // namespace quillory
