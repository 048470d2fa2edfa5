#pragma once

#include <memory>

#include "core/store/qlrDbOpe.h"
#include "ui/catalog_window/panels/PanelFrame.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quillory {

class DocumentScan;
class PanelHost;
struct CoreContext;

// Panel Frame3, the search. It finds indexes by title, description and document text in the
// current folder, its subtree or the whole catalog, and shows them in the index list. The
// documents are read on a thread of their own: the window answers meanwhile, and the search
// button stops the reading.
class SearchPanel : public PanelFrame {
public:
    SearchPanel(CoreContext& core, PanelHost& host, QWidget* parent);
    ~SearchPanel() override;

    void frame3_init();
    // Starts a search, or stops the one running.
    void cmd_search_Click();
    void cmd_sback_Click();
    void runSearch();
    // Ends a running search as the stop button does: what was found so far is listed.
    void stopSearch();
    // Ends a running search and lists nothing (the window is going).
    void abandonSearch();
    // True while a search runs.
    bool searching() const { return searching_; }
    // The document scan of the running search (null when none runs).
    const DocumentScan* scan() const { return scan_.get(); }

    QLineEdit* txt_search = nullptr;
    QCheckBox* check_sTitle = nullptr;
    QCheckBox* check_sDesc = nullptr;
    QCheckBox* check_sContent = nullptr;
    QCheckBox* check_sNowNest = nullptr;
    QCheckBox* check_sAll = nullptr;
    QPushButton* cmd_search = nullptr;
    QPushButton* cmd_sback = nullptr;

private:
    void build();
    // The scan has ended (stopped or not): its results follow the title and description results.
    void finishSearch();
    void endSearching();

    CoreContext& core_;
    PanelHost& host_;
    bool searching_ = false;
    ContentCollection results_;
    std::unique_ptr<DocumentScan> scan_;
};

} // namespace quillory
