#pragma once

#include <QObject>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/catalog_window/PopupMenu.h"
#include "core/store/StoreOutcome.h"
#include "core/store/StoreSubscription.h"

namespace quillory {

class CommandDispatcher;
class CommandStates;
class DesktopOpener;
class DiskProbe;
class FileTypes;
class IndexListView;
class IndexRecord;
class RowPresence;
struct CoreContext;

// The catalog window's index list: the current folder's indexes or a search's results;
// choosing, opening, renaming in place and deleting indexes; following the index files (and the
// folder names the rows show) from the store's change notices; marking the rows whose document
// is not there.
class IndexListPane : public QObject {
    Q_OBJECT
public:
    IndexListPane(CoreContext& core, CommandDispatcher& commands, DesktopOpener& opener, FileTypes& types,
                  const DiskProbe& disk, QWidget* window);
    ~IndexListPane() override;

    IndexListView& view() const { return *view_; }

    // The columns' headers and widths, made once.
    void initListView();
    // The list shows the current folder's indexes.
    void refreshContentList();
    // The list shows these indexes (a search's results), or nothing.
    void showIndexes(const std::vector<std::shared_ptr<IndexRecord>>& indexes);
    // Adds indexes not listed yet before row (a running search's results).
    void insertIndexes(int row, const std::vector<std::shared_ptr<IndexRecord>>& indexes);
    // The list shows these indexes, each with the reason it is listed for (a check's results).
    void showIndexesWithReasons(const std::vector<std::shared_ptr<IndexRecord>>& indexes,
                                std::unordered_map<std::string, QString> reasons);
    // Whether the list shows a check's results.
    bool showsReasons() const;
    // Something changed on disk at place (or below it): its rows are looked at again.
    void documentChanged(const std::string& place);
    void clear();
    // The index is chosen in the list, once the list has its row (an index just added).
    void chooseIndex(std::string id);
    // Opens the current index's document, folder or web address with the desktop.
    void openCurrentIndex();
    // Deletes the chosen indexes after asking.
    void deleteChosen();
    // The window is unloaded: the store is no longer followed.
    void stopFollowing();

signals:
    // The index became current by the user's choice ("": none).
    void indexChosen(const std::string& id);
    void contextMenuRequested(PopupContext context, const QPoint& globalPos);

private:
    void connectView();
    CommandStates& states() const;
    void fillContentList(const std::vector<std::shared_ptr<IndexRecord>>& indexes);
    // The name of a folder as the list shows it.
    std::string_view folderNameOf(const std::string& dirId) const;
    void onRowPressed(const QString& key, Qt::MouseButton button, const QPoint& globalPos);
    void onListLabelEdited(const QString& key, const QString& text);
    void onStoreChanged(const StoreChange& change);
    // Brings the rows in line with the index files that changed.
    void refreshIndexList(const std::set<std::string>& changedFolders, bool folderNamesChanged);

    CoreContext& core_;
    CommandDispatcher& commands_;
    DesktopOpener& opener_;
    IndexListView* view_;
    RowPresence* presence_;
    StoreSubscription storeChanges_;
    // The folder whose indexes the list shows ("" when it shows something else).
    std::string listedFolder_;
    // Changes the list has not followed yet.
    bool folderFileChanged_ = false;
    std::set<std::string> changedIndexFiles_;
    bool refreshPending_ = false;
    bool followingStore_ = false; // while rows follow the store, a row moving is not the user's
    std::string indexToChoose_;
};

} // namespace quillory
