#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/catalog_window/PanelRoutes.h"

namespace quillory {

class IndexRecord;

// What the editing panels ask of the catalog window they float in.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    virtual const std::string& currentDirId() const = 0;
    virtual const std::string& currentContentId() const = 0;
    virtual void setCurrentContent(const std::string& id) = 0;
    // The views follow every write by themselves, from the store's change notices. These say what
    // to show of a write once they have followed it:
    // a folder was added: its node is brought into sight;
    virtual void folderAdded(const std::string& dirId) = 0;
    // an index was added to the current folder: it becomes the current index, chosen in the list.
    virtual void indexAdded(const std::string& id) = 0;
    // The list shows these indexes (a search's results); every panel is closed.
    virtual void showSearchResults(const std::vector<std::shared_ptr<IndexRecord>>& indexes) = 0;
    // A running search's results as they are found: the list shows none, then takes indexes
    // not listed yet before row (the panels stay).
    virtual void beginSearchResults() = 0;
    // A search has started (true) or ended, stopped or not (false).
    virtual void searchRunning(bool running) = 0;
    virtual void insertSearchResults(int row, const std::vector<std::shared_ptr<IndexRecord>>& indexes) = 0;
    // Tells the user what a search came to, where the window says such things ("": nothing to
    // say; an earlier note goes).
    virtual void showSearchNote(const std::string& text) = 0;
    // Opens the index editor for a new index of the current folder with this path, when there is
    // a current folder. Returns whether it opened.
    virtual bool addIndexWithPath(const std::string& path) = 0;
};

} // namespace quillory
