#include "ui/catalog_window/MainForm.h"

#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include <QTreeWidgetItem>

#include "core/CoreContext.h"
#include "core/catalog_window/PanelRoutes.h"
#include "ui/catalog_window/panels/ClipboardImportPanel.h"
#include "ui/catalog_window/ContentListView.h"
#include <QItemSelectionModel>
#include "ui/catalog_window/DirTreeView.h"
#include "ui/catalog_window/panels/FolderEditorPanel.h"
#include "ui/catalog_window/panels/IndexEditorPanel.h"
#include "ui/catalog_window/panels/SearchPanel.h"
#include "ui/catalog_window/SplitterBar.h"
#include "ui/dialogs/OptionForm.h"
#include "ui/platform/FileTypes.h"
#include "ui/platform/Preferences.h"
#include "ui/shell/CommandDispatcher.h"

namespace quillory {

MainForm::MainForm(CoreContext& core, CommandDispatcher& commands, DesktopOpener& opener, Preferences& preferences,
                   Clipboard& clipboard)
    : core_(core), commands_(commands), opener_(opener), preferences_(preferences), clipboard_(clipboard)
{
    if (const double share = preferences_.treeShare(); share > 0)
        treeShare_ = share;
    setObjectName(QStringLiteral("MainForm"));
    types_ = std::make_unique<FileTypes>(QString::fromStdString(core_.conf.getAppBasePath()) + QStringLiteral("/resource/conf/a.html"));
    dirTreeView = new DirTreeView(this);
    picSplit = new SplitterBar(this);
    ListView = new ContentListView(
        *types_, [this](const std::string& dirId) { return folderNameOf(dirId); }, this);
    makePanels();
    picSplit->onPressed = [this](double x) { picSplit_MouseDown(x); };
    picSplit->onDragged = [this](double x) { picSplit_MouseMove(x); };
    picSplit->onReleased = [this] { picSplit_MouseUp(); };
    // A new window starts with nothing chosen.
    states().clearSelection();
    registerCommands();
    connectTree();
    connectList();
    storeListener_ = core_.store.addChangeListener([this](const StoreChange& change) { onStoreChanged(change); });
}

MainForm::~MainForm()
{
    // An unloaded window may be deleted later than the core it worked on: it let go of the
    // store when it was unloaded.
    if (!unloaded_)
        core_.store.removeChangeListener(storeListener_);
}

void MainForm::makePanels()
{
    Frame1 = new FolderEditorPanel(core_, *this, this);
    Frame2 = new IndexEditorPanel(core_, *this, this);
    Frame3 = new SearchPanel(core_, *this, this);
    Frame4 = new ClipboardImportPanel(core_, *this, clipboard_, this);
    frames_ = {Frame1, Frame2, Frame3, Frame4};
    for (PanelFrame* frame : frames_) {
        frame->clamp = [this](QPoint proposed) {
            const TwipPoint p = clampPanel({pixelsToTwips(proposed.x()), pixelsToTwips(proposed.y())},
                                           pixelsToTwips(width()), pixelsToTwips(height()));
            return QPoint(twipsToPixels(p.x), twipsToPixels(p.y));
        };
    }
}

void MainForm::registerCommands()
{
    const std::pair<Command, void (MainForm::*)()> handlers[] = {
        {Command::AddRoot, &MainForm::mnuDAddRoot_Click},         {Command::AddChild, &MainForm::mnuDAddChild_Click},
        {Command::UpdateFolder, &MainForm::mnuDUpdate_Click},     {Command::DeleteFolder, &MainForm::mnuDDelete_Click},
        {Command::RenameFolder, &MainForm::mnuDRename_Click},     {Command::FolderProperty, &MainForm::mnuDProperty_Click},
        {Command::OpenIndex, &MainForm::mnuCOpenFile_Click},      {Command::AddIndex, &MainForm::mnuCAddFile_Click},
        {Command::UpdateIndex, &MainForm::mnuCUpdate_Click},      {Command::DeleteIndex, &MainForm::mnuCDelete_Click},
        {Command::IndexProperty, &MainForm::mnuCProperty_Click},  {Command::Search, &MainForm::mnuSSearchFile_Click},
        {Command::ClipDataIn, &MainForm::mnuClipDataIn_Click},    {Command::Sync, &MainForm::mnuSyncData_Click},
        {Command::Options, &MainForm::mnuSysOption_Click},
    };
    for (const auto& [command, handler] : handlers)
        commands_.setHandler(command, this, [this, handler = handler] { (this->*handler)(); });
}

CommandStates& MainForm::states() const
{
    return core_.session.states();
}

const std::string& MainForm::currentDirId() const
{
    return states().currentDirId();
}

const std::string& MainForm::currentContentId() const
{
    return states().currentContentId();
}

std::string MainForm::caption(const std::string& key) const
{
    return core_.conf.text(key);
}

void MainForm::Form_Load()
{
    frameSize_init(199);
    loadDirTree();
    initListView();
    refreshContentList();
    Form_Resize();
    states().applyLoadStates();
    states().setLauncherForWindowLoad();
}

void MainForm::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    Frame3->abandonSearch(); // nothing is read for a window that is going
    core_.store.removeChangeListener(storeListener_);
    states().setLauncherForWindowUnload();
    core_.store.resetStoreCache();
}

void MainForm::setCurrentDir(const std::string& id)
{
    states().setCurrentDir(id);
    highlightCurrentDir();
}

void MainForm::setCurrentContent(const std::string& id)
{
    // An index of another folder (a search result) makes that folder current: the tree shows it.
    states().setCurrentContent(id);
    highlightCurrentDir();
}

void MainForm::indexAdded(const std::string& id)
{
    setCurrentContent(id);
    // The new index is shown chosen.
    if (const QString key = QString::fromStdString(id); ListView->hasRow(key)) {
        const QModelIndex row = ListView->indexOf(key);
        ListView->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        ListView->scrollTo(row);
    }
}

// ---- commands ----

void MainForm::mnuDAddRoot_Click()
{
    frameSize_init(static_cast<int16_t>(Panel::FolderEditor));
    Frame1->open(folderEditorModeFor(Command::AddRoot));
}

void MainForm::mnuDAddChild_Click()
{
    frameSize_init(static_cast<int16_t>(Panel::FolderEditor));
    Frame1->open(folderEditorModeFor(Command::AddChild));
}

void MainForm::mnuDUpdate_Click()
{
    frameSize_init(static_cast<int16_t>(Panel::FolderEditor));
    Frame1->open(folderEditorModeFor(Command::UpdateFolder));
}

void MainForm::mnuDProperty_Click()
{
    mnuDUpdate_Click();
}

void MainForm::mnuDDelete_Click()
{
    // Asks and deletes without showing the editor.
    Frame1->deleteFolder(currentDirId());
}

void MainForm::showContentPanel()
{
    const auto mode = indexEditorModeFor(currentDirId(), currentContentId());
    if (!mode)
        return;
    frameSize_init(static_cast<int16_t>(Panel::IndexEditor));
    Frame2->open(*mode);
}

void MainForm::mnuCAddFile_Click()
{
    setCurrentContent("");
    showContentPanel();
}

void MainForm::mnuCUpdate_Click()
{
    showContentPanel();
}

void MainForm::mnuCProperty_Click()
{
    showContentPanel();
}

void MainForm::mnuSSearchFile_Click()
{
    frameSize_init(static_cast<int16_t>(Panel::Search));
    Frame3->frame3_init();
}

void MainForm::mnuClipDataIn_Click()
{
    cmd_clipboard_Click();
}

void MainForm::cmd_clipboard_Click()
{
    frameSize_init(static_cast<int16_t>(Panel::ClipboardImport));
    Frame4->frame4_init();
}

// ---- what the panels ask for ----

void MainForm::folderAdded(const std::string& dirId)
{
    QTimer::singleShot(0, this, [this, key = QString::fromStdString(dirId)] {
        if (QTreeWidgetItem* node = unloaded_ ? nullptr : dirTreeView->node(key)) {
            for (QTreeWidgetItem* above = node->parent(); above; above = above->parent())
                above->setExpanded(true);
            dirTreeView->scrollToItem(node);
        }
    });
}

void MainForm::folderDeleted(const std::string& dirId)
{
    // The tree follows at once. When the folder was the highlighted one, the highlight moves to a
    // folder beside it (or its parent), and that folder is current from now on.
    removeNodeByKey(dirId);
    followTreeHighlight();
}

void MainForm::showSearchResults(const std::vector<std::shared_ptr<IndexRecord>>& indexes)
{
    frameSize_init(199);
    ListView->clearRows();
    listedFolder_.clear();
    fillContentList(indexes);
}

void MainForm::showSearchNote(const std::string& text)
{
    emit statusNote(QString::fromStdString(text));
}

bool MainForm::addIndexWithPath(const std::string& path)
{
    if (currentDirId().empty())
        return false;
    mnuCAddFile_Click();
    Frame2->setPath(QString::fromStdString(path));
    return true;
}

void MainForm::mnuSyncData_Click() {}
void MainForm::mnuSysOption_Click()
{
    OptionForm options(core_, window());
    // Settings confirmed with OK name the catalog the next start opens, before the one opened last.
    if (options.exec() == QDialog::Accepted)
        preferences_.setLastCatalogFile(QString());
}

void MainForm::mnuHContents_Click()
{
    commands_.run(Command::HelpContents);
}

void MainForm::mnuClose_Click()
{
    core_.catalog.closeCatalog();
    emit catalogClosed(); // this window goes; touch nothing of it below
}

void MainForm::toolBarOpe(const std::string& key)
{
    if (const auto command = commandByToolKey(key))
        commands_.run(*command);
}

void MainForm::fillPopupMenu(int16_t context)
{
    popup_.fillPopupMenu(context, states(), [this](const std::string& key) { return caption(key); });
    commands_.fillPopup(popup_, [form = QPointer<MainForm>(this)](int index) {
        if (form)
            form->mnuPop_Click(index);
    });
}

void MainForm::showPopupMenu(int16_t context, const QPoint& globalPos)
{
    fillPopupMenu(context);
    commands_.showPopup(globalPos);
}

void MainForm::mnuPop_Click(int index)
{
    if (const auto command = popup_.commandAt(index, [this](const std::string& key) { return caption(key); }))
        commands_.run(*command);
}

void MainForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        frameSize_init(99);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace quillory
