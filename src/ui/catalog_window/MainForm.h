#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/catalog_window/CommandStates.h"
#include "core/catalog_window/PanelGeometry.h"
#include "core/catalog_window/PopupMenu.h"
#include "core/store/qlrDbOpe.h"

class QTreeWidgetItem;

namespace quillory {

class Application;
class ContentListView;
class DirTreeView;
class FileTypes;
class MDIMainForm;
class PanelFrame;
class SplitterBar;
struct CoreContext;

// The catalog window: the folder tree, the splitter, the index list and the four editing
// panels. It owns the program's selection (current folder, current index) and carries out
// every catalog command of the frame's menus, toolbar and context menu.
class MainForm : public QWidget {
public:
    MainForm(CoreContext& core, Application& app);
    ~MainForm() override;

    // Opens the catalog in the window: panels hidden, tree, list, layout, command states.
    void Form_Load();
    // Drops the store caches and turns the launcher's catalog buttons off.
    void Form_Unload();

    // ---- selection ----
    const std::string& currentDirId() const { return states_.currentDirId(); }
    const std::string& currentContentId() const { return states_.currentContentId(); }
    void setCurrentDir(const std::string& id);
    void setCurrentContent(const std::string& id);
    const CommandStates& commandStates() const { return states_; }

    // ---- tree ----
    void loadDirTree();
    void addDirNodes(const std::vector<std::shared_ptr<QlrDirModel>>& folders, const FolderChildren& children);
    void setNodeText(const std::string& dirId, const std::string& text);
    void removeNodeByKey(const std::string& dirId);
    // A click on a folder: it becomes current and the list shows its indexes.
    void dirTreeView_NodeClick(QTreeWidgetItem* node);

    // ---- list ----
    void initListView();
    void refreshContentList();
    void fillContentList(const std::vector<std::shared_ptr<QlrDirContentModel>>& indexes);

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
    void mnuSyncData_Click();
    void mnuSysOption_Click();
    void mnuHContents_Click();
    void mnuClose_Click();
    // Runs the command of a toolbar button by its key; unknown keys do nothing.
    void toolBarOpe(const std::string& key);

    // The window's commands by the frame menu item and the toolbar key that run them ("" where
    // none does: Close and help have menu items of the frame's own).
    struct CommandRoute {
        const char* menuItem;
        const char* toolKey;
        void (MainForm::*handler)();
    };
    static const std::vector<CommandRoute>& commandRoutes();
    // Fills the frame's context menu for context 1 to 4.
    void fillPopupMenu(int16_t context);
    void mnuPop_Click(int index);

    // ---- layout ----
    // 1 to 4: shows that panel at its opening place and hides the others; 99: hides the
    // visible panel; 199: hides all panels.
    void frameSize_init(int16_t panel);
    void picSplit_MouseDown(double x);
    void picSplit_MouseMove(double x);
    void picSplit_MouseUp();
    PanelFrame* panel(int number) const { return frames_[static_cast<size_t>(number - 1)]; }

    DirTreeView* dirTreeView = nullptr;
    ContentListView* ListView = nullptr;
    SplitterBar* picSplit = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void connectTree();
    void connectList();
    void Form_Resize();
    void applyLayout(const WindowLayout& layout);
    TwipRect splitterRect() const;
    void showPopupMenu(int16_t context, const QPoint& globalPos);
    void onTreeLabelEdited(QTreeWidgetItem* item, const QString& text);
    void onFolderDropped(const QString& folderId, QTreeWidgetItem* target);
    void onIndexesDropped(const QStringList& indexIds, QTreeWidgetItem* target);
    void onListLabelEdited(QTreeWidgetItem* item, const QString& text);
    void onRowPressed(QTreeWidgetItem* item, Qt::MouseButton button, const QPoint& globalPos);
    std::string caption(const std::string& key) const;
    MDIMainForm& frame() const;

    CoreContext& core_;
    Application& app_;
    CommandStates states_;
    PopupMenuModel popup_;
    std::unique_ptr<FileTypes> types_;
    std::array<PanelFrame*, 4> frames_{};
    double splitGrabX = 0;
    bool unloaded_ = false;
};

} // namespace quillory
