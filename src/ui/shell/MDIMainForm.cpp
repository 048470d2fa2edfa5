#include "ui/shell/MDIMainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

#include "core/catalog_window/CommandStates.h"
#include "ui/catalog_window/MainForm.h"
#include "core/CoreContext.h"
#include "ui/dialogs/AboutForm.h"
#include "ui/dialogs/ProperTyForm.h"
#include "ui/platform/DesktopOpener.h"
#include "ui/platform/FileDialogs.h"
#include "ui/shell/Application.h"
#include "ui/shell/FrameMenus.h"
#include "ui/shell/FrameToolbar.h"

namespace quillory {

MDIMainForm::MDIMainForm(CoreContext& core, Application& app) : core_(core), app_(app)
{
    setObjectName(QStringLiteral("MDIMainForm"));
    setWindowTitle(QStringLiteral("Quillory"));
    resize(1100, 720);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);

    menus_ = new FrameMenus(menuBar(), this);
    toolbar_ = new FrameToolbar(QString::fromStdString(core_.conf.getAppBasePath()) + QStringLiteral("/resource/images"), this);
    addToolBar(Qt::TopToolBarArea, toolbar_);

    statusText_ = new QLabel(this);
    statusDate_ = new QLabel(this);
    statusTime_ = new QLabel(this);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(statusDate_);
    statusBar()->addPermanentWidget(statusTime_);
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &MDIMainForm::updateClock);
    clock_->start(1000);
    updateClock();

    connectMenus();
    connectToolbar();
}

MDIMainForm::~MDIMainForm() = default;

QAction* MDIMainForm::action(const QString& name) const
{
    if (QAction* item = menus_->action(name))
        return item;
    return toolbar_->button(name);
}

void MDIMainForm::setStatusText(const QString& text)
{
    statusText_->setText(text);
}

void MDIMainForm::updateClock()
{
    const QLocale locale;
    statusDate_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    statusTime_->setText(locale.toString(QTime::currentTime(), QLocale::LongFormat));
}

void MDIMainForm::connectMenus()
{
    FrameMenus& m = *menus_;
    m.onTriggered(QStringLiteral("mnuNew"), [this] { mnuNew_Click(); });
    m.onTriggered(QStringLiteral("mnuOpen"), [this] { mnuOpen_Click(); });
    m.onTriggered(QStringLiteral("mnuExit1"), [this] { mnuExit1_Click(); });
    m.onTriggered(QStringLiteral("mnuExit"), [this] { mnuExit_Click(); });
    m.onTriggered(QStringLiteral("mnuClose"), [this] { mnuClose_Click(); });
    m.onTriggered(QStringLiteral("mnuHContents"), [this] { mnuHContents_Click(); });
    m.onTriggered(QStringLiteral("mnuAbout"), [this] { mnuAbout_Click(); });

    // Catalog commands run in the catalog window.
    for (const MainForm::CommandRoute& route : MainForm::commandRoutes()) {
        if (route.menuItem[0] == '\0')
            continue;
        m.onTriggered(QString::fromLatin1(route.menuItem), [this, handler = route.handler] {
            if (MainForm* form = app_.mainForm())
                (form->*handler)();
        });
    }
    for (int i = 0; i < FrameMenus::kPopupItems; ++i)
        connect(m.popupItem(i), &QAction::triggered, this, [this, i] { mnuPop_Click(i); });
}

void MDIMainForm::connectToolbar()
{
    toolbar_->setHandler([this](const QString& name, const QString& commandKey) {
        if (name == QLatin1String("tNew"))
            mnuNew_Click();
        else if (name == QLatin1String("tOpen"))
            mnuOpen_Click();
        else if (MainForm* form = app_.mainForm())
            form->toolBarOpe(commandKey.toStdString());
    });
}

void MDIMainForm::applyFont()
{
    if (core_.conf.FontSize <= 0 || core_.conf.text("FontName").empty())
        return;
    const QFont font(QString::fromStdString(core_.conf.text("FontName")), core_.conf.FontSize);
    statusBar()->setFont(font);
}

void MDIMainForm::ComeIn()
{
    init_Caption();
}

void MDIMainForm::init_Caption()
{
    applyFont();
    menus_->setCaptions(core_.conf, {"mnufile1", "mnuNew", "mnuOpen", "mnuExit1", "mnuHelp", "mnuHContents", "mnuAbout"});
    toolbar_->showStartToolbar(core_.conf);
}

void MDIMainForm::setCatalogCaptions()
{
    menus_->setCaptions(core_.conf, {"mnuFile", "mnuClose", "mnuExit", "mnuDirectory", "mnuDAddRoot", "mnuDAddChild",
                                     "mnuDUpdate", "mnuDDelete", "mnuDRename", "mnuDProperty", "mnuFileList",
                                     "mnuCOpenFile", "mnuCAddFile", "mnuCUpdate", "mnuCDelete", "mnuCProperty", "mnuTool",
                                     "mnuSSearchFile", "mnuClipDataIn", "mnuSyncData", "mnuSystem", "mnuSysOption",
                                     "mnuHelp", "mnuHContents", "mnuAbout"});
}

void MDIMainForm::showCatalogToolbar()
{
    toolbar_->showCatalogToolbar(core_.conf);
}

void MDIMainForm::mnueIconChange(int mode)
{
    menus_->showSet(mode);
    if (mode == 1)
        toolbar_->showStartToolbar(core_.conf);
}

void MDIMainForm::applyCommandStates(const CommandStates& states)
{
    for (const CommandInfo& info : commandTable()) {
        const bool on = states.isEnabled(info.command);
        if (QAction* item = menus_->action(QString::fromLatin1(info.menuItem)))
            item->setEnabled(on);
        if (QAction* button = toolbar_->button(QString::fromLatin1(info.toolButton)))
            button->setEnabled(on);
    }
}

void MDIMainForm::mnuNew_Click()
{
    ProperTyForm dialog(core_, this);
    if (dialog.exec() == QDialog::Accepted)
        doAddNew(dialog.location(), dialog.folderName(), dialog.fileName());
}

void MDIMainForm::doAddNew(const std::string& location, const std::string& folderName, const std::string& fileName)
{
    if (location.empty() || folderName.empty() || fileName.empty())
        return;
    app_.unloadMainForm();
    const std::string path = core_.catalog.doAddNew(location, folderName, fileName);
    if (!path.empty())
        app_.showMainForm();
}

void MDIMainForm::mnuOpen_Click()
{
    const QString path = FileDialogs::getOpenFileName(this, QStringLiteral("Qlr Files(*.qlr)"));
    openCatalog(path.toStdString());
}

void MDIMainForm::openCatalog(const std::string& path)
{
    if (path.empty())
        return;
    // The catalog shown so far is closed first, so that nothing of it is written into the other.
    app_.unloadMainForm();
    if (core_.catalog.openCatalog(path))
        app_.showMainForm();
    else
        mnueIconChange(1); // no catalog is shown now: offer New and Open again
}

void MDIMainForm::mnuClose_Click()
{
    if (MainForm* form = app_.mainForm())
        form->mnuClose_Click();
    mnueIconChange(1);
}

void MDIMainForm::mnuExit_Click()
{
    app_.exitProgram();
}

void MDIMainForm::mnuExit1_Click()
{
    mnuExit_Click();
}

void MDIMainForm::mnuHContents_Click()
{
    core_.files.winOpenFile(core_.conf.getAppBasePath() + "/resource/help/index.html");
}

void MDIMainForm::mnuAbout_Click()
{
    app_.showAbout();
}

void MDIMainForm::mnuPop_Click(int index)
{
    if (MainForm* form = app_.mainForm())
        form->mnuPop_Click(index);
}

void MDIMainForm::closeEvent(QCloseEvent* event)
{
    if (!isExit) {
        // Closing only hides the frame: the program goes on until the exit command.
        event->ignore();
        hide();
        app_.frameHidden();
        return;
    }
    event->accept();
}

} // namespace quillory
