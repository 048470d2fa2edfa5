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
    // A folder was added: its node is shown once the tree has it.
    virtual void folderAdded(const std::string& dirId) = 0;
    // An index was added to the current folder: it becomes the current index, chosen in the list.
    virtual void indexAdded(const std::string& id) = 0;
    // A folder was deleted: when it was the current folder, the folder the tree highlights in its
    // place becomes current.
    virtual void folderDeleted(const std::string& dirId) = 0;
    // The list shows the current folder's indexes again.
    virtual void refreshContentList() = 0;
    // The list shows these indexes (a search's results); every panel is closed.
    virtual void showSearchResults(const std::vector<std::shared_ptr<IndexRecord>>& indexes) = 0;
    // Tells the user what a search came to, where the window says such things ("": nothing to
    // say; an earlier note goes).
    virtual void showSearchNote(const std::string& text) = 0;
    // Opens the index editor for a new index of the current folder with this path, when there is
    // a current folder. Returns whether it opened.
    virtual bool addIndexWithPath(const std::string& path) = 0;
};

} // namespace quillory
