#pragma once

#include <functional>
#include <memory>

#include "core/store/CatalogStore.h"
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
// current folder, its subtree or the whole catalog, and shows them in the index list. The
// documents are read on a thread of their own: the window answers meanwhile, the panel shows
// how many have been read, and the search button stops the reading.
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
    // The user chose a folder, so the list is to show it: a search still reading documents
    // ends as stopped, and its results are dropped.
    void folderChosen();
    // True while a search runs.
    bool searching() const { return searching_; }
    // The document scan of the running search (null when none runs).
    const DocumentScan* scan() const { return scan_.get(); }
    // Called with each document scan before it starts (tests hold a scan with it).
    std::function<void(DocumentScan&)> scanStarting;

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
    // The scan has ended (stopped or not): its results follow the title and description results.
    void finishSearch();
    void endSearching();
    void showProgress();

    CoreContext& core_;
    PanelHost& host_;
    bool searching_ = false;
    ContentCollection results_;
    std::unique_ptr<DocumentScan> scan_;
    // Counts the scans started, so that the end of one never finishes a later one.
    unsigned scanNumber_ = 0;
    QTimer* progressTimer_ = nullptr;
};

} // namespace quillory
