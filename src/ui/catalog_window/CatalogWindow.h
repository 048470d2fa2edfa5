#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/catalog_window/PanelGeometry.h"
#include "core/catalog_window/PanelRoutes.h"
#include "core/catalog_window/PopupMenu.h"
#include "core/store/CatalogStore.h"
#include "ui/catalog_window/panels/PanelHost.h"

class QTreeWidgetItem;

namespace quillory {

class Clipboard;
class ClipboardImportPanel;
class CommandDispatcher;
class CommandStates;
class DesktopOpener;
class FileTypes;
class FloatingPanel;
class FolderEditorPanel;
class FolderTreeView;
class IndexEditorPanel;
class IndexListView;
class Preferences;
class SearchPanel;
class SplitterBar;
struct CoreContext;

// The catalog window: the folder tree, the splitter, the index list and the four editing
// panels. It changes the session's selection (current folder, current index) and carries out
// the catalog commands it registers with the dispatcher.
class CatalogWindow : public QWidget, public PanelHost {
    Q_OBJECT
public:
    CatalogWindow(CoreContext& core, CommandDispatcher& commands, DesktopOpener& opener, Preferences& preferences,
                  Clipboard& clipboard);
    ~CatalogWindow() override;

    // Opens the catalog in the window: panels hidden, tree, list, layout, command states.
    void load();
    // Drops the store caches and turns the launcher's catalog buttons off.
    void unload();

    // ---- selection ----
    const std::string& currentDirId() const override;
    const std::string& currentContentId() const override;
    void setCurrentDir(const std::string& id);
    void setCurrentContent(const std::string& id) override;

    // ---- tree ----
    void loadDirTree();
    // Adds nodes for folders and, level by level, everything below them that has none yet.
    // Returns the folders too deep to show (they get no node).
    std::vector<std::string> addDirNodes(const std::vector<std::shared_ptr<FolderRecord>>& folders,
                                         const FolderChildren& children);
    void setNodeText(const std::string& dirId, const std::string& text);
    // A click on a folder: it becomes current and the list shows its indexes.
    void dirTreeView_NodeClick(QTreeWidgetItem* node);

    // ---- list ----
    void initListView();
    // The list shows the current folder's indexes.
    void refreshContentList();
    void fillContentList(const std::vector<std::shared_ptr<IndexRecord>>& indexes);

    // ---- what the panels ask for ----
    void folderAdded(const std::string& dirId) override;
    void indexAdded(const std::string& id) override;
    void showSearchResults(const std::vector<std::shared_ptr<IndexRecord>>& indexes) override;
    void showSearchNote(const std::string& text) override;
    bool addIndexWithPath(const std::string& path) override;

    // ---- commands ----
    void mnuDAddRoot_Click();
    void mnuDAddChild_Click();
    void mnuDUpdate_Click();
    void mnuDDelete_Click();
    void mnuDRename_Click();
    void mnuDProperty_Click();
    void mnuCOpenFile_Click();
    void mnuCAddFile_Click();
    void mnuCUpdate_Click();
    void mnuCDelete_Click();
    void mnuCProperty_Click();
    void mnuSSearchFile_Click();
    void mnuClipDataIn_Click();
    void cmd_clipboard_Click();
    void mnuSyncData_Click();
    void mnuSysOption_Click();
    void mnuHContents_Click();
    // Closes the catalog; the window is then unloaded by its owner (catalogClosed).
    void mnuClose_Click();
    // Runs the command of a toolbar button by its key; unknown keys do nothing.
    void runToolbarKey(const std::string& key);
    // Fills the context menu for the place it was asked for.
    void fillPopupMenu(PopupContext context);
    void mnuPop_Click(int index);

    // ---- layout ----
    // Shows the panel at its opening place and hides the others.
    void showPanel(Panel which);
    void hidePanels();
    void picSplit_MouseDown(double x);
    void picSplit_MouseMove(double x);
    void picSplit_MouseUp();
    FloatingPanel* panel(Panel which) const;
    FolderEditorPanel* folderPanel = nullptr;
    IndexEditorPanel* indexPanel = nullptr;
    SearchPanel* searchPanel = nullptr;
    ClipboardImportPanel* clipboardPanel = nullptr;

    FolderTreeView* dirTreeView = nullptr;
    IndexListView* ListView = nullptr;
    SplitterBar* picSplit = nullptr;

signals:
    // The catalog was closed: the window is to be unloaded.
    void catalogClosed();
    // A note for the frame's status line ("": none).
    void statusNote(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // ---- following the store ----
    void onStoreChanged(const StoreChange& change);
    // Brings the tree and the list in line with the store for the files that changed.
    void refreshViews();
    void refreshTree();
    void refreshIndexList(const std::set<std::string>& changedFolders, bool folderNamesChanged);
    void showAddedFolder();
    void chooseAddedIndex();

    void registerCommands();
    void makePanels();
    void connectTree();
    void connectList();
    void fitToSize();
    void applyLayout(const WindowLayout& layout);
    void placePanel(FloatingPanel* frame, const TwipRect& wanted);
    TwipRect splitterRect() const;
    void showPopupMenu(PopupContext context, const QPoint& globalPos);
    void showContentPanel();
    // The current folder is the folder the tree highlights: these keep the two together.
    void followTreeHighlight();
    void highlightCurrentDir();
    void onTreeLabelEdited(QTreeWidgetItem* item, const QString& text);
    void onFolderDropped(const QString& folderId, QTreeWidgetItem* target);
    void onIndexesDropped(const QStringList& indexIds, QTreeWidgetItem* target);
    void onListLabelEdited(const QString& key, const QString& text);
    void onRowPressed(const QString& key, Qt::MouseButton button, const QPoint& globalPos);
    static void collectSubtree(const std::string& dirId, const FolderChildren& children, std::vector<std::string>& into);
    // The name of a folder as the list shows it.
    std::string_view folderNameOf(const std::string& dirId) const;
    std::string caption(const std::string& key) const;
    CommandStates& states() const;

    CoreContext& core_;
    CommandDispatcher& commands_;
    DesktopOpener& opener_;
    Preferences& preferences_;
    Clipboard& clipboard_;
    // The tree's share of the width: the user's, kept between runs, or a quarter.
    double treeShare_ = kDefaultTreeShare;
    PopupMenuModel popup_;
    std::unique_ptr<FileTypes> types_;
    // The four panels, in the order of kPanels.
    std::array<FloatingPanel*, 4> panels() const;
    double splitGrabX = 0;
    bool unloaded_ = false;
    int storeListener_ = 0;
    // The folder whose indexes the list shows ("" when it shows something else).
    std::string listedFolder_;
    // Changes the views have not followed yet.
    bool folderFileChanged_ = false;
    std::set<std::string> changedIndexFiles_;
    bool refreshPending_ = false;
    bool followingStore_ = false; // while the views follow the store
    // What to bring into sight once the views have followed the write that made it.
    std::string folderToShow_;
    std::string indexToChoose_;
};

} // namespace quillory
