#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/catalog_window/PanelGeometry.h"
#include "core/catalog_window/PanelRoutes.h"
#include "core/catalog_window/PopupMenu.h"
#include "core/references/CatalogCheck.h"
#include "core/references/StoreRepairs.h"
#include "ui/catalog_window/panels/PanelHost.h"

namespace quillory {

class CatalogCheckRunner;
class Clipboard;
class ClipboardImportPanel;
class CommandDispatcher;
class CommandStates;
class DesktopOpener;
class DiskProbe;
class FileTypes;
class FloatingPanel;
class FolderEditorPanel;
class FolderTreePane;
class IndexEditorPanel;
class IndexListPane;
class Preferences;
class SearchPanel;
class SplitterBar;
struct CoreContext;

// The catalog window: the folder tree pane, the splitter, the index list pane and the four
// editing panels, put together. It changes the session's selection (current folder, current
// index), lays its parts out, and carries out the catalog commands it registers with the
// dispatcher. Its parts are found by their object names, as a user finds them by sight.
class CatalogWindow : public QWidget, public PanelHost {
    Q_OBJECT
public:
    // disk: where the list and the catalog check look whether documents are there.
    CatalogWindow(CoreContext& core, CommandDispatcher& commands, DesktopOpener& opener, Preferences& preferences,
                  Clipboard& clipboard, const DiskProbe& disk);
    ~CatalogWindow() override;

    // Opens the catalog in the window: panels hidden, tree, list, layout, command states.
    void load();
    // Drops the store caches and turns the launcher's catalog buttons off.
    void unload();
    // The documents' type icons wait until showTypeIcons() (the program's start shows the rows
    // first).
    void holdTypeIcons();
    void showTypeIcons();

    // ---- selection ----
    const std::string& currentDirId() const override;
    const std::string& currentContentId() const override;
    void setCurrentDir(const std::string& id);
    void setCurrentContent(const std::string& id) override;

    // ---- what the panels ask for ----
    void folderAdded(const std::string& dirId) override;
    void indexAdded(const std::string& id) override;
    void showSearchResults(const std::vector<std::shared_ptr<IndexRecord>>& indexes) override;
    void beginSearchResults() override;
    void searchRunning(bool running) override;
    void insertSearchResults(int row, const std::vector<std::shared_ptr<IndexRecord>>& indexes) override;
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
    // Checks every index of the catalog and lists those whose document is not there.
    void mnuCheckCatalog_Click();
    // The quiet check of a catalog just opened (checkSummary tells what it found).
    void checkQuietly();
    // The catalog's references changed behind the window (Sync, its Undo): its check looks again.
    void checkAgain();
    // Makes the floating panels, hidden, unless they are made already: the first command that
    // needs one makes them, or the program once the window is first on screen.
    void makePanels();
    // Lists the problems the last check found (a click on its note in the status line).
    void showLastCheck();
    // Offers the moved documents the last check found as repairs, and has the ticked ones applied.
    void mnuRepairRefs_Click();
    // Applies repairs the user chose (the program sets it: the monitor stands aside meanwhile).
    std::function<RepairResult(const RepairPlan& plan)> applyRepairs;
    // Something changed on disk at place, or below it (the change monitor saw it).
    void documentChanged(const std::string& place);
    CatalogCheckRunner& checkRunner() const { return *checkRunner_; }
    void cmd_clipboard_Click();
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

signals:
    // The catalog was closed: the window is to be unloaded.
    void catalogClosed();
    // A note for the frame's status line ("": none).
    void statusNote(const QString& text);
    // What the quiet check found, for the status line ("": nothing to tell).
    void checkSummary(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void registerCommands();
    void connectPanes();
    void fitToSize();
    void applyLayout(const WindowLayout& layout);
    void placePanel(FloatingPanel* frame, const TwipRect& wanted);
    TwipRect splitterRect() const;
    void showPopupMenu(PopupContext context, const QPoint& globalPos);
    void showContentPanel();
    // A folder became current by the user's choice: the list shows its indexes.
    void onFolderChosen(const std::string& dirId);
    void listCheckProblems(const std::vector<ReferenceProblem>& problems, const std::string& note);
    std::string caption(const std::string& key) const;
    CommandStates& states() const;
    // The four panels, in the order of kPanels.
    std::array<FloatingPanel*, 4> panels() const;
    FloatingPanel* panel(Panel which) const;

    CoreContext& core_;
    CommandDispatcher& commands_;
    DesktopOpener& opener_;
    Preferences& preferences_;
    Clipboard& clipboard_;
    std::unique_ptr<FileTypes> types_;
    FolderTreePane* tree_ = nullptr;
    IndexListPane* list_ = nullptr;
    CatalogCheckRunner* checkRunner_ = nullptr;
    SplitterBar* picSplit = nullptr;
    FolderEditorPanel* folderPanel = nullptr;
    IndexEditorPanel* indexPanel = nullptr;
    SearchPanel* searchPanel = nullptr;
    ClipboardImportPanel* clipboardPanel = nullptr;
    // The tree's share of the width: the user's, kept between runs, or a quarter.
    double treeShare_ = kDefaultTreeShare;
    PopupMenuModel popup_;
    double splitGrabX = 0;
    bool unloaded_ = false;
};

} // namespace quillory
