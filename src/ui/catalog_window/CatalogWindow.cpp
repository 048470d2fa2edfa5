#include "ui/catalog_window/CatalogWindow.h"

#include <QKeyEvent>
#include <QPointer>

#include "core/CoreContext.h"
#include "core/catalog_window/DisplayText.h"
#include "core/catalog_window/PanelRoutes.h"
#include "core/config/StoreReport.h"
#include "ui/catalog_window/CatalogCheckRunner.h"
#include "ui/catalog_window/FolderTreePane.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/catalog_window/IndexListPane.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/SplitterBar.h"
#include "ui/catalog_window/panels/ClipboardImportPanel.h"
#include "ui/catalog_window/panels/FolderEditorPanel.h"
#include "ui/catalog_window/panels/IndexEditorPanel.h"
#include "ui/catalog_window/panels/SearchPanel.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/platform/FileTypes.h"
#include "ui/platform/Preferences.h"
#include "ui/shell/CommandDispatcher.h"

namespace quillory {

CatalogWindow::CatalogWindow(CoreContext& core, CommandDispatcher& commands, DesktopOpener& opener,
                             Preferences& preferences, Clipboard& clipboard, const DiskProbe& disk)
    : core_(core), commands_(commands), opener_(opener), preferences_(preferences), clipboard_(clipboard)
{
    if (const double share = preferences_.treeShare(); share > 0)
        treeShare_ = share;
    setObjectName(QStringLiteral("CatalogWindow"));
    types_ = std::make_unique<FileTypes>(QString::fromStdString(core_.conf.getAppBasePath())
                                         + QStringLiteral("/resource/conf/a.html"));
    tree_ = new FolderTreePane(core_, commands_, this);
    picSplit = new SplitterBar(this);
    list_ = new IndexListPane(core_, commands_, opener_, *types_, disk, this);
    checkRunner_ = new CatalogCheckRunner(core_, disk, this);
    checkRunner_->listProblems = [this](const std::vector<ReferenceProblem>& problems, const std::string& note) {
        listCheckProblems(problems, note);
    };
    checkRunner_->summary = [this](size_t moved, size_t missing, size_t offline) {
        emit checkSummary(moved + missing + offline == 0
                              ? QString()
                              : QString::fromStdString(withValues(
                                  core_.conf.text("MF_Check_Status"),
                                  {std::to_string(moved), std::to_string(missing), std::to_string(offline)})));
    };
    picSplit->onPressed = [this](double x) { picSplit_MouseDown(x); };
    picSplit->onDragged = [this](double x) { picSplit_MouseMove(x); };
    picSplit->onReleased = [this] { picSplit_MouseUp(); };
    // A new window starts with nothing chosen.
    states().clearSelection();
    registerCommands();
    connectPanes();
}

CatalogWindow::~CatalogWindow() = default;

void CatalogWindow::connectPanes()
{
    connect(tree_, &FolderTreePane::folderChosen, this, &CatalogWindow::onFolderChosen);
    connect(tree_, &FolderTreePane::contextMenuRequested, this, &CatalogWindow::showPopupMenu);
    connect(list_, &IndexListPane::indexChosen, this, &CatalogWindow::setCurrentContent);
    connect(list_, &IndexListPane::contextMenuRequested, this, &CatalogWindow::showPopupMenu);
    // Every drag starts with nothing left of an earlier one.
    connect(&list_->view(), &IndexListView::dragStarting, &tree_->view(), &FolderTreeView::resetDragState);
    connect(&list_->view(), &IndexListView::dragFinished, &tree_->view(), &FolderTreeView::resetDragState);
}

void CatalogWindow::onFolderChosen(const std::string& dirId)
{
    if (dirId.empty()) {
        list_->clear();
        return;
    }
    // The list is to show this folder, not the results of a search still reading documents.
    if (searchPanel)
        searchPanel->folderChosen();
    list_->refreshContentList();
}

void CatalogWindow::makePanels()
{
    if (folderPanel)
        return;
    folderPanel = new FolderEditorPanel(core_, *this, this);
    indexPanel = new IndexEditorPanel(core_, *this, this);
    searchPanel = new SearchPanel(core_, *this, this);
    clipboardPanel = new ClipboardImportPanel(core_, *this, clipboard_, this);
    for (FloatingPanel* frame : panels()) {
        frame->clamp = [this](QPoint proposed) {
            const TwipPoint p = clampPanel({pixelsToTwips(proposed.x()), pixelsToTwips(proposed.y())},
                                           pixelsToTwips(width()), pixelsToTwips(height()));
            return QPoint(twipsToPixels(p.x), twipsToPixels(p.y));
        };
    }
}

void CatalogWindow::registerCommands()
{
    const std::pair<Command, void (CatalogWindow::*)()> handlers[] = {
        {Command::AddRoot, &CatalogWindow::mnuDAddRoot_Click},
        {Command::AddChild, &CatalogWindow::mnuDAddChild_Click},
        {Command::UpdateFolder, &CatalogWindow::mnuDUpdate_Click},
        {Command::DeleteFolder, &CatalogWindow::mnuDDelete_Click},
        {Command::RenameFolder, &CatalogWindow::mnuDRename_Click},
        {Command::FolderProperty, &CatalogWindow::mnuDProperty_Click},
        {Command::OpenIndex, &CatalogWindow::mnuCOpenFile_Click},
        {Command::AddIndex, &CatalogWindow::mnuCAddFile_Click},
        {Command::UpdateIndex, &CatalogWindow::mnuCUpdate_Click},
        {Command::DeleteIndex, &CatalogWindow::mnuCDelete_Click},
        {Command::IndexProperty, &CatalogWindow::mnuCProperty_Click},
        {Command::Search, &CatalogWindow::mnuSSearchFile_Click},
        {Command::ClipDataIn, &CatalogWindow::mnuClipDataIn_Click},
        {Command::CheckCatalog, &CatalogWindow::mnuCheckCatalog_Click},
        {Command::RepairReferences, &CatalogWindow::mnuRepairRefs_Click},
        {Command::Options, &CatalogWindow::mnuSysOption_Click},
    };
    for (const auto& [command, handler] : handlers)
        commands_.setHandler(command, this, [this, handler = handler] { (this->*handler)(); });
}

CommandStates& CatalogWindow::states() const
{
    return core_.session.states();
}

const std::string& CatalogWindow::currentDirId() const
{
    return states().currentDirId();
}

const std::string& CatalogWindow::currentContentId() const
{
    return states().currentContentId();
}

std::string CatalogWindow::caption(const std::string& key) const
{
    return core_.conf.text(key);
}

std::array<FloatingPanel*, 4> CatalogWindow::panels() const
{
    return {folderPanel, indexPanel, searchPanel, clipboardPanel};
}

FloatingPanel* CatalogWindow::panel(Panel which) const
{
    switch (which) {
    case Panel::FolderEditor: return folderPanel;
    case Panel::IndexEditor: return indexPanel;
    case Panel::Search: return searchPanel;
    case Panel::ClipboardImport: return clipboardPanel;
    }
    return nullptr;
}

void CatalogWindow::load()
{
    hidePanels();
    tree_->loadDirTree();
    list_->initListView();
    list_->refreshContentList();
    fitToSize();
    states().applyLoadStates();
    states().setLauncherForWindowLoad();
}

void CatalogWindow::holdTypeIcons()
{
    types_->holdIcons();
}

void CatalogWindow::showTypeIcons()
{
    types_->releaseIcons();
    list_->view().viewport()->update();
}

void CatalogWindow::unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    if (searchPanel)
        searchPanel->abandonSearch(); // nothing is read for a window that is going
    checkRunner_->abandon();
    states().setRepairAvailable(false); // what the last check found was this catalog's
    tree_->stopFollowing();
    list_->stopFollowing();
    states().setLauncherForWindowUnload();
    core_.store.resetStoreCache();
}

void CatalogWindow::setCurrentDir(const std::string& id)
{
    states().setCurrentDir(id);
    tree_->highlightCurrentDir();
}

void CatalogWindow::setCurrentContent(const std::string& id)
{
    // An index of another folder (a search result) makes that folder current: the tree shows it.
    states().setCurrentContent(id);
    tree_->highlightCurrentDir();
}

void CatalogWindow::indexAdded(const std::string& id)
{
    setCurrentContent(id);
    list_->chooseIndex(id);
}

// ---- commands ----

void CatalogWindow::mnuDAddRoot_Click()
{
    showPanel(Panel::FolderEditor);
    folderPanel->open(folderEditorModeFor(Command::AddRoot));
}

void CatalogWindow::mnuDAddChild_Click()
{
    showPanel(Panel::FolderEditor);
    folderPanel->open(folderEditorModeFor(Command::AddChild));
}

void CatalogWindow::mnuDUpdate_Click()
{
    showPanel(Panel::FolderEditor);
    folderPanel->open(folderEditorModeFor(Command::UpdateFolder));
}

void CatalogWindow::mnuDProperty_Click()
{
    mnuDUpdate_Click();
}

void CatalogWindow::mnuDRename_Click()
{
    tree_->renameCurrent();
}

void CatalogWindow::mnuDDelete_Click()
{
    // Asks and deletes without showing the editor.
    makePanels();
    folderPanel->deleteFolder(currentDirId());
}

void CatalogWindow::showContentPanel()
{
    const auto mode = indexEditorModeFor(currentDirId(), currentContentId());
    if (!mode)
        return;
    showPanel(Panel::IndexEditor);
    indexPanel->open(*mode);
}

void CatalogWindow::mnuCOpenFile_Click()
{
    list_->openCurrentIndex();
}

void CatalogWindow::mnuCDelete_Click()
{
    list_->deleteChosen();
}

void CatalogWindow::mnuCAddFile_Click()
{
    setCurrentContent("");
    showContentPanel();
}

void CatalogWindow::mnuCUpdate_Click()
{
    showContentPanel();
}

void CatalogWindow::mnuCProperty_Click()
{
    showContentPanel();
}

void CatalogWindow::mnuSSearchFile_Click()
{
    showPanel(Panel::Search);
    searchPanel->open();
}

void CatalogWindow::mnuClipDataIn_Click()
{
    cmd_clipboard_Click();
}

void CatalogWindow::cmd_clipboard_Click()
{
    showPanel(Panel::ClipboardImport);
    clipboardPanel->open();
}

void CatalogWindow::documentChanged(const std::string& place)
{
    list_->documentChanged(place);
}

// ---- what the panels ask for ----

void CatalogWindow::folderAdded(const std::string& dirId)
{
    tree_->showFolder(dirId);
}

void CatalogWindow::showSearchResults(const std::vector<std::shared_ptr<IndexRecord>>& indexes)
{
    hidePanels();
    list_->showIndexes(indexes);
}

void CatalogWindow::beginSearchResults()
{
    list_->showIndexes({});
}

void CatalogWindow::searchRunning(bool running)
{
    // The user's search goes first: a quiet check waits meanwhile.
    checkRunner_->giveWay(running);
}

void CatalogWindow::insertSearchResults(int row, const std::vector<std::shared_ptr<IndexRecord>>& indexes)
{
    list_->insertIndexes(row, indexes);
}

void CatalogWindow::showSearchNote(const std::string& text)
{
    emit statusNote(QString::fromStdString(text));
}

bool CatalogWindow::addIndexWithPath(const std::string& path)
{
    if (currentDirId().empty())
        return false;
    mnuCAddFile_Click();
    makePanels();
    indexPanel->setPath(QString::fromStdString(path));
    return true;
}

void CatalogWindow::mnuSysOption_Click()
{
    OptionsDialog options(core_, window());
    // Settings confirmed with OK name the catalog the next start opens, before the one opened last.
    if (options.exec() == QDialog::Accepted)
        preferences_.setLastCatalogFile(QString());
}

void CatalogWindow::mnuHContents_Click()
{
    commands_.run(Command::HelpContents);
}

void CatalogWindow::mnuClose_Click()
{
    core_.catalog.closeCatalog();
    emit catalogClosed(); // this window goes; touch nothing of it below
}

void CatalogWindow::runToolbarKey(const std::string& key)
{
    if (const auto command = commandByToolKey(key))
        commands_.run(*command);
}

void CatalogWindow::fillPopupMenu(PopupContext context)
{
    popup_.fillPopupMenu(context, states(), [this](const std::string& key) { return caption(key); });
    commands_.fillPopup(popup_, [form = QPointer<CatalogWindow>(this)](int index) {
        if (form)
            form->mnuPop_Click(index);
    });
}

void CatalogWindow::showPopupMenu(PopupContext context, const QPoint& globalPos)
{
    fillPopupMenu(context);
    commands_.showPopup(globalPos);
}

void CatalogWindow::mnuPop_Click(int index)
{
    if (const auto command = popup_.commandAt(index, [this](const std::string& key) { return caption(key); }))
        commands_.run(*command);
}

void CatalogWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hidePanels();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quillory
