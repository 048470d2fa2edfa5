#include "app/Application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>

#include "app/AfterFirstPaint.h"
#include "app/ProgramIcon.h"
#include "core/CoreContext.h"
#include "ui/catalog_window/CatalogWindow.h"
#include "ui/dialogs/ChangePreviewDialog.h"
#include "ui/launcher/FloatForm.h"
#include "ui/monitor/MonitorService.h"
#include "ui/platform/Preferences.h"
#include "ui/platform/SingleInstance.h"
#include "ui/shell/CommandDispatcher.h"
#include "ui/shell/HotKey.h"
#include "ui/shell/MainFrame.h"

namespace quillory {

Application::Application(CoreContext& core, QString instanceName, PlatformServices platform)
    : core_(core), instanceName_(std::move(instanceName)), platform_(platform),
      commands_(std::make_unique<CommandDispatcher>(core.messages)),
      hotKey_(std::make_unique<HotKey>(platform.hotKey, *commands_, core.messages)),
      monitor_(std::make_unique<MonitorService>(core, platform.watcher)), quit_([] { QCoreApplication::quit(); })
{
    // The commands that are the program's own rather than a window's.
    commands_->setHandler(Command::ShowFrame, this, [this] { showOrHideFrame(); });
    // Both change where indexes point: what the last check of the catalog found is looked at again.
    commands_->setHandler(Command::Sync, this, [this] {
        if (!monitor_->isLoaded())
            return;
        monitor_->synchronise([this](SyncPlan& plan) { return askSyncPreview(core_.conf, plan, frame_.data()); });
        if (catalogWindow_)
            catalogWindow_->checkAgain();
    });
    commands_->setHandler(Command::UndoSync, this, [this] {
        if (!monitor_->isLoaded())
            return;
        monitor_->undoSynchronisation();
        if (catalogWindow_)
            catalogWindow_->checkAgain();
    });
    // Sync is on only while the monitor is loaded: off while it loads, and during Sync. Undo
    // last synchronisation too, and only while an undo is kept.
    connect(monitor_.get(), &MonitorService::loadedChanged, this, [this](bool loaded) {
        core_.session.states().setSyncAvailable(loaded);
        core_.session.states().setUndoSyncAvailable(loaded && monitor_->isUndoKept());
    });
    connect(monitor_.get(), &MonitorService::noticeTaken, this, &Application::followNotice);
    CommandStates& states = core_.session.states();
    statesListener_ = states.addListener([this, &states] { commands_->applyStates(states); });
    // The catalog opened last (New or Open) is the one the next start opens.
    core_.catalog.setOpenedListener([this](const std::string& folderFile) {
        const QString file = QString::fromStdString(folderFile);
        platform_.preferences.setLastCatalogFile(file);
        platform_.preferences.setLastCatalogFolder(QFileInfo(file).absolutePath());
        if (frame_)
            loadMonitor(); // from start-up on, whenever a catalog is opened
    });
}

Application::~Application()
{
    core_.catalog.setOpenedListener(nullptr);
    monitor_.reset(); // its records written
    core_.session.states().removeListener(statesListener_);
    delete catalogSubWindow_.data();
    delete frame_.data();
    delete launcher_.data();
}

MainFrame* Application::frame() const
{
    return frame_.data();
}

CatalogWindow* Application::catalogWindow() const
{
    return catalogWindow_.data();
}

void Application::startLauncher()
{
    if (launcher_ || !frame_)
        return;
    launcher_ = new FloatForm(core_.conf, *commands_, platform_.preferences,
                              QString::fromStdString(core_.conf.getAppBasePath()) + QStringLiteral("/resource/images"),
                              [this] { bringFrameForward(); });
    launcher_->start();
}

FloatForm* Application::launcher()
{
    startLauncher();
    return launcher_.data();
}

int Application::start()
{
    MessageBatch batch(core_.messages);
    if (!core_.conf.loadSysConf())
        return 1;
    instance_ = std::make_unique<SingleInstance>(instanceName_);
    switch (instance_->acquire()) {
    case SingleInstance::Outcome::Primary: break;
    case SingleInstance::Outcome::OtherShown: return 3; // the running copy shows itself; nothing to say
    case SingleInstance::Outcome::OtherSilent: core_.messages.show("Msg015"); return 2;
    case SingleInstance::Outcome::LockInTheWay:
        core_.messages.show("Err017", MsgButtons::Ok, instance_->lockPath().toStdString());
        return 4;
    }
    instance_->setShowRequested([this] { showFrame(); });
    frame_ = new MainFrame(core_, *commands_, *this, platform_.opener, platform_.preferences);
    frame_->start();
    frame_->placeOnScreen();
    frame_->showFrame();
    commands_->applyStates(core_.session.states());
    // What can wait until the window is on screen: the sweep of temporary files a crash left,
    // the launcher, the program's icon, the monitor's reading of every index file and the icon
    // theme.
    monitor_->holdWorker(true);
    openLastCatalog();
    afterFirstPaint(
        frame_, this,
        [this] {
            if (!frame_)
                return; // the program ended first
            startPainted_ = true;
            core_.catalog.removeLeftoverTempFiles(); // of saves a crash cut short
            setProgramIcon(core_.conf.getAppBasePath());
            startLauncher();
            if (catalogWindow_) {
                catalogWindow_->makePanels(); // hidden, ready for the first command
                catalogWindow_->showTypeIcons();
                checkQuietlySoon(); // what changed while the program was closed
            }
            monitor_->holdWorker(false);
        },
        std::chrono::seconds(5));
    hotKey_->take(Command::ClipDataIn, [this] { bringForwardForHotKey(); });
    return 0;
}

void Application::openLastCatalog()
{
    core_.catalog.openAtStart(platform_.preferences.lastCatalogFile().toStdString());
    if (!monitor_->isLoaded() && !monitor_->isLoading())
        loadMonitor(); // the configured catalog, which opens without a word
    showCatalogWindow();
}

void Application::showCatalogWindow()
{
    if (!frame_)
        return;
    if (catalogWindow_) {
        catalogSubWindow_->showMaximized();
        return;
    }
    auto* form = new CatalogWindow(core_, *commands_, platform_.opener, platform_.preferences, platform_.clipboard,
                                   platform_.disk);
    catalogWindow_ = form;
    form->applyRepairs = [this](const RepairPlan& plan) { return monitor_->repair(plan); };
    connect(form, &CatalogWindow::catalogClosed, this, [this] {
        unloadMonitor();
        unloadCatalogWindow();
        if (frame_)
            frame_->applyCaptions();
    });
    connect(form, &CatalogWindow::statusNote, frame_, [this](const QString& text) {
        if (frame_)
            frame_->statusBar()->showMessage(text); // over the catalog's path until cleared
    });
    connect(form, &CatalogWindow::checkSummary, frame_, [this](const QString& text) {
        if (frame_)
            frame_->setCheckNote(text);
    });
    frame_->onCheckNoteClicked = [this] {
        if (catalogWindow_)
            catalogWindow_->showLastCheck();
    };
    catalogSubWindow_ = frame_->mdiArea()->addSubWindow(form, Qt::FramelessWindowHint);
    catalogSubWindow_->setAttribute(Qt::WA_DeleteOnClose);
    if (!startPainted_)
        form->holdTypeIcons(); // the rows first, their icons once the window is on screen
    form->load();
    frame_->catalogShown();
    catalogSubWindow_->showMaximized();
    frame_->setStatusText(QString::fromStdString(core_.store.getDirFilePath()));
    if (startPainted_) // else once the program's window is first on screen
        checkQuietlySoon();
}

void Application::unloadCatalogWindow()
{
    if (catalogSubWindow_) {
        QMdiSubWindow* window = catalogSubWindow_;
        catalogWindow_->unload();
        window->hide();
        frame_->mdiArea()->removeSubWindow(window);
        // Deferred: this may run inside one of the window's own commands (Close).
        window->deleteLater();
    }
    catalogWindow_ = nullptr;
    catalogSubWindow_ = nullptr;
    if (frame_) {
        frame_->statusBar()->clearMessage(); // a note on the window's last search
        frame_->setStatusText(QString());
        frame_->setCheckNote(QString());
    }
}

void Application::closeCatalog()
{
    if (catalogWindow_)
        catalogWindow_->mnuClose_Click();
}

void Application::frameHidden()
{
    core_.session.states().setFrameHidden(true);
}

void Application::showFrame()
{
    if (!frame_)
        return;
    if (frame_->isMinimized())
        frame_->showNormal();
    else
        frame_->show();
    frameShown();
}

void Application::showOrHideFrame()
{
    if (!frame_)
        return;
    if (frame_->isVisible()) {
        frame_->close(); // hides it, as its close box does
        return;
    }
    bringFrameForward();
}

void Application::bringFrameForward()
{
    if (!frame_)
        return;
    if (!frame_->isVisible() || frame_->isMinimized())
        frame_->showMaximized();
    frameShown();
}

void Application::frameShown()
{
    frame_->raise();
    frame_->activateWindow();
    core_.session.states().setFrameHidden(false);
}

void Application::bringForwardForHotKey()
{
    if (!frame_)
        return;
    frame_->showMaximized();
    frameShown();
    if (catalogWindow_)
        showCatalogWindow();
    else
        openLastCatalog(); // the window went with Close
    if (catalogSubWindow_)
        catalogSubWindow_->showMaximized();
}

void Application::loadMonitor()
{
    monitor_->load();
    core_.session.states().setSyncAvailable(false); // until the monitor is loaded
    core_.session.states().setUndoSyncAvailable(false);
}

void Application::unloadMonitor()
{
    monitor_->unload();
    core_.session.states().setSyncAvailable(false);
    core_.session.states().setUndoSyncAvailable(false);
}

void Application::checkQuietlySoon()
{
    QTimer::singleShot(quietCheckDelay, catalogWindow_, [form = catalogWindow_] {
        if (form)
            form->checkQuietly();
    });
}

void Application::followNotice(const WatchNotice& notice)
{
    if (!catalogWindow_)
        return;
    const WatchedFolderTree& folders = monitor_->monitor().folders();
    const FolderNode folder = folders.nodeOfWatch(notice.watch);
    if (notice.kind == WatchNotice::Kind::EventsLost || folder == kNoFolder) {
        catalogWindow_->documentChanged(""); // anything may have changed
        return;
    }
    const std::string path = folders.pathOf(folder);
    catalogWindow_->documentChanged((path == "/" ? path : path + "/") + notice.name);
}

void Application::exitProgram()
{
    if (!frame_)
        return;
    frame_->isExit = true;
    if (frame_->isVisible())
        frame_->rememberPlace();
    unloadMonitor();
    unloadCatalogWindow();
    unloadFrame();
}

void Application::exitWhenFree(int triesLeft)
{
    if (QWidget* modal = QApplication::activeModalWidget(); modal && triesLeft > 0) {
        modal->close(); // its command goes on as if it had been cancelled, and ends
        QTimer::singleShot(50, this, [this, triesLeft] { exitWhenFree(triesLeft - 1); });
        return;
    }
    // (A dialog that would not close is left behind: leaving ends every event loop.)
    exitProgram();
}

void Application::unloadFrame()
{
    hotKey_->release();
    if (launcher_) {
        launcher_->hide();
        launcher_->deleteLater(); // its exit button is still on the stack
        launcher_ = nullptr;
    }
    frame_->close();
    frame_->deleteLater();
    frame_ = nullptr;
    instance_.reset();
    if (quit_)
        quit_();
}

} // namespace quillory
