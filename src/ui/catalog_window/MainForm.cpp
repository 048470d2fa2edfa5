#include "ui/catalog_window/MainForm.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include "ui/catalog_window/ContentListView.h"
#include "ui/catalog_window/DirTreeView.h"
#include "ui/catalog_window/DragHandles.h"
#include "core/CoreContext.h"
#include "ui/platform/FileTypes.h"
#include "ui/shell/Application.h"
#include "ui/shell/FrameMenus.h"
#include "ui/shell/MDIMainForm.h"

namespace quillory {

MainForm::MainForm(CoreContext& core, Application& app) : core_(core), app_(app)
{
    setObjectName(QStringLiteral("MainForm"));
    types_ = std::make_unique<FileTypes>(QString::fromStdString(core_.conf.getAppBasePath()) + QStringLiteral("/resource/conf/a.html"));
    dirTreeView = new DirTreeView(this);
    picSplit = new SplitterBar(this);
    ListView = new ContentListView(this);
    for (int i = 1; i <= 4; ++i) {
        auto* frame = new PanelFrame(QStringLiteral("Frame%1").arg(i), this);
        frame->clamp = [this](QPoint proposed) {
            const TwipPoint p = clampPanel({pixelsToTwips(proposed.x()), pixelsToTwips(proposed.y())},
                                           pixelsToTwips(width()), pixelsToTwips(height()));
            return QPoint(twipsToPixels(p.x), twipsToPixels(p.y));
        };
        frames_[static_cast<size_t>(i - 1)] = frame;
    }
    picSplit->onPressed = [this](double x) { picSplit_MouseDown(x); };
    picSplit->onDragged = [this](double x) { picSplit_MouseMove(x); };
    picSplit->onReleased = [this] { picSplit_MouseUp(); };
    states_.setListener([this] { frame().applyCommandStates(states_); });
    connectTree();
    connectList();
}

MainForm::~MainForm()
{
    states_.setListener(nullptr);
}

MDIMainForm& MainForm::frame() const
{
    return *app_.frame();
}

std::string MainForm::caption(const std::string& key) const
{
    return core_.conf.text(key);
}

void MainForm::Form_Load()
{
    frame().showCatalogToolbar();
    frameSize_init(199);
    loadDirTree();
    initListView();
    refreshContentList();
    Form_Resize();
    frame().setCatalogCaptions();
    states_.applyLoadStates();
    frame().mnueIconChange(2);
    states_.setLauncherForWindowLoad();
}

void MainForm::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    states_.setLauncherForWindowUnload();
    core_.store.resetStoreCache();
}

void MainForm::setCurrentDir(const std::string& id)
{
    states_.setCurrentDir(id);
}

void MainForm::setCurrentContent(const std::string& id)
{
    states_.setCurrentContent(id);
}

// ---- commands ----

void MainForm::mnuDAddRoot_Click() { frameSize_init(1); }
void MainForm::mnuDAddChild_Click() { frameSize_init(1); }
void MainForm::mnuDUpdate_Click() { frameSize_init(1); }
void MainForm::mnuDProperty_Click() { mnuDUpdate_Click(); }
void MainForm::mnuDDelete_Click() { frameSize_init(1); }
void MainForm::mnuCUpdate_Click() { frameSize_init(2); }
void MainForm::mnuCProperty_Click() { frameSize_init(2); }
void MainForm::mnuSSearchFile_Click() { frameSize_init(3); }
void MainForm::mnuClipDataIn_Click() { frameSize_init(4); }
void MainForm::mnuSyncData_Click() {}
void MainForm::mnuSysOption_Click() {}

void MainForm::mnuCAddFile_Click()
{
    setCurrentContent("");
    frameSize_init(2);
}

void MainForm::mnuHContents_Click()
{
    frame().mnuHContents_Click();
}

void MainForm::mnuClose_Click()
{
    core_.catalog.closeCatalog();
    MDIMainForm& frameForm = frame();
    app_.unloadMainForm(); // this window goes; touch nothing of it below
    frameForm.init_Caption();
}

const std::vector<MainForm::CommandRoute>& MainForm::commandRoutes()
{
    static const std::vector<CommandRoute> routes = {
        {"", "tClose", &MainForm::mnuClose_Click},
        {"mnuDAddRoot", "tDAddRoot", &MainForm::mnuDAddRoot_Click},
        {"mnuDAddChild", "tDAddChild", &MainForm::mnuDAddChild_Click},
        {"mnuDUpdate", "tDUpdate", &MainForm::mnuDUpdate_Click},
        {"mnuDDelete", "tDDelete", &MainForm::mnuDDelete_Click},
        {"mnuDRename", "tDRename", &MainForm::mnuDRename_Click},
        {"mnuDProperty", "tDProperty", &MainForm::mnuDProperty_Click},
        {"mnuCOpenFile", "tCOpenFile", &MainForm::mnuCOpenFile_Click},
        {"mnuCAddFile", "tCAdd", &MainForm::mnuCAddFile_Click},
        {"mnuCUpdate", "tCUpdate", &MainForm::mnuCUpdate_Click},
        {"mnuCDelete", "tCDelete", &MainForm::mnuCDelete_Click},
        {"mnuCProperty", "tCProperty", &MainForm::mnuCProperty_Click},
        {"mnuSSearchFile", "tTSearch", &MainForm::mnuSSearchFile_Click},
        {"mnuClipDataIn", "tTClipDataIn", &MainForm::mnuClipDataIn_Click},
        {"mnuSyncData", "tTSynchData", &MainForm::mnuSyncData_Click},
        {"mnuSysOption", "tSOption", &MainForm::mnuSysOption_Click},
        {"", "tHHelpContent", &MainForm::mnuHContents_Click},
    };
    return routes;
}

void MainForm::toolBarOpe(const std::string& key)
{
    for (const CommandRoute& route : commandRoutes()) {
        if (key == route.toolKey) {
            (this->*route.handler)();
            return;
        }
    }
}

void MainForm::fillPopupMenu(int16_t context)
{
    popup_.fillPopupMenu(context, states_, [this](const std::string& key) { return caption(key); });
    FrameMenus& menus = frame().menus();
    for (int i = 0; i < PopupMenuModel::kItemCount; ++i) {
        QAction* item = menus.popupItem(i);
        const std::string& text = popup_.caption(i);
        const bool separator = text == "-";
        item->setSeparator(separator);
        item->setText(separator ? QString() : QString::fromStdString(text));
        item->setVisible(popup_.isVisible(i));
    }
}

void MainForm::showPopupMenu(int16_t context, const QPoint& globalPos)
{
    fillPopupMenu(context);
    frame().menus().popupMenu()->popup(globalPos);
}

void MainForm::mnuPop_Click(int index)
{
    const auto command = popup_.commandAt(index, [this](const std::string& key) { return caption(key); });
    if (!command)
        return;
    switch (*command) {
    case PopupCommand::AddIndex: mnuCAddFile_Click(); break;
    case PopupCommand::DeleteIndex: mnuCDelete_Click(); break;
    case PopupCommand::ClipDataIn: mnuClipDataIn_Click(); break;
    case PopupCommand::OpenIndex: mnuCOpenFile_Click(); break;
    case PopupCommand::IndexProperty: mnuCProperty_Click(); break;
    case PopupCommand::UpdateIndex: mnuCUpdate_Click(); break;
    case PopupCommand::AddChild: mnuDAddChild_Click(); break;
    case PopupCommand::AddRoot: mnuDAddRoot_Click(); break;
    case PopupCommand::DeleteFolder: mnuDDelete_Click(); break;
    case PopupCommand::FolderProperty: mnuDProperty_Click(); break;
    case PopupCommand::UpdateFolder: mnuDUpdate_Click(); break;
    case PopupCommand::Exit: frame().mnuExit1_Click(); break;
    case PopupCommand::Search: mnuSSearchFile_Click(); break;
    case PopupCommand::RenameFolder: mnuDRename_Click(); break;
    }
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
