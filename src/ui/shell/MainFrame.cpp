#include "ui/shell/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "core/CoreContext.h"
#include "core/catalog_window/DisplayText.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/dialogs/NewCatalogDialog.h"
#include "ui/platform/ConfiguredFont.h"
#include "ui/platform/DesktopOpener.h"
#include "ui/platform/FileDialogs.h"
#include "ui/platform/Preferences.h"
#include "ui/shell/CommandDispatcher.h"
#include "ui/shell/FrameHost.h"
#include "ui/shell/FrameMenus.h"
#include "ui/shell/FrameToolbar.h"

namespace quillory {

namespace {
const QString kProgramName = QStringLiteral("Quillory");
} // namespace

MainFrame::MainFrame(CoreContext& core, CommandDispatcher& commands, FrameHost& host, DesktopOpener& opener,
                     Preferences& preferences)
    : core_(core), commands_(commands), host_(host), opener_(opener), preferences_(preferences)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(kProgramName);
    // Smaller, and the editing panels would have no room for their controls and buttons.
    setMinimumSize(640, 480);

    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);

    menus_ = new FrameMenus(
        menuBar(), commands_,
        QString::fromStdString(core_.conf.getAppBasePath()) + QStringLiteral("/resource/images/menu"), this);
    toolbar_ = new FrameToolbar(
        QString::fromStdString(core_.conf.getAppBasePath()) + QStringLiteral("/resource/images"), commands_, this);
    addToolBar(Qt::TopToolBarArea, toolbar_);

    statusText_ = new QLabel(this);
    checkNote_ = new QLabel(this);
    checkNote_->setObjectName(QStringLiteral("CheckNote"));
    checkNote_->hide();
    connect(checkNote_, &QLabel::linkActivated, this, [this] {
        if (onCheckNoteClicked)
            onCheckNoteClicked();
    });
    statusDate_ = new QLabel(this);
    statusTime_ = new QLabel(this);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(statusText_, 1);
    statusBar()->addPermanentWidget(checkNote_);
    statusBar()->addPermanentWidget(statusDate_);
    statusBar()->addPermanentWidget(statusTime_);
    clock_ = new QTimer(this);
    connect(clock_, &QTimer::timeout, this, &MainFrame::updateClock);
    clock_->start(1000);
    updateClock();

    registerCommands();
}

MainFrame::~MainFrame() = default;

void MainFrame::registerCommands()
{
    commands_.setHandler(Command::New, this, [this] { mnuNew_Click(); });
    commands_.setHandler(Command::Open, this, [this] { mnuOpen_Click(); });
    commands_.setHandler(Command::Close, this, [this] { mnuClose_Click(); });
    commands_.setHandler(Command::Exit, this, [this] { mnuExit_Click(); });
    commands_.setHandler(Command::HelpContents, this, [this] { mnuHContents_Click(); });
    commands_.setHandler(Command::About, this, [this] { mnuAbout_Click(); });
}

QAction* MainFrame::action(const QString& name) const
{
    if (QAction* item = menus_->action(name))
        return item;
    return commands_.action(name);
}

void MainFrame::setStatusText(const QString& text)
{
    statusText_->setText(text);
}

void MainFrame::setCheckNote(const QString& text)
{
    // A link, so that it looks like something to click and answers a click.
    checkNote_->setText(text.isEmpty() ? QString()
                                       : QStringLiteral("<a href=\"check\">%1</a>").arg(text.toHtmlEscaped()));
    checkNote_->setVisible(!text.isEmpty());
}

void MainFrame::updateClock()
{
    const QLocale locale;
    statusDate_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    statusTime_->setText(locale.toString(QTime::currentTime(), QLocale::LongFormat));
}

void MainFrame::applyFont()
{
    applyConfiguredFont(statusBar(), core_.conf);
}

void MainFrame::start()
{
    applyCaptions();
}

void MainFrame::applyCaptions()
{
    setWindowTitle(kProgramName);
    applyFont();
    menus_->setNoCatalogCaptions(core_.conf);
    toolbar_->showStartToolbar(core_.conf);
}

void MainFrame::catalogShown()
{
    toolbar_->showCatalogToolbar(core_.conf);
    menus_->setCatalogCaptions(core_.conf);
    showCatalogMenus(true);
    const std::string name = shownText(core_.session.currentQlrdbFolder(), 200);
    setWindowTitle(QString::fromStdString(name) + QStringLiteral(" — ") + kProgramName);
}

void MainFrame::placeOnScreen()
{
    if (restoreGeometry(preferences_.frameGeometry()))
        return;
    // The first time: a size that fits the screen's free area, in its middle.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect free = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    const QSize size(std::min(1100, free.width() * 9 / 10), std::min(720, free.height() * 9 / 10));
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, free));
}

void MainFrame::showFrame()
{
    if (preferences_.frameMaximized())
        showMaximized();
    else
        show();
}

void MainFrame::rememberPlace()
{
    preferences_.setFrame(saveGeometry(), isMaximized());
}

void MainFrame::showCatalogMenus(bool catalog)
{
    menus_->showSet(catalog);
    if (!catalog)
        toolbar_->showStartToolbar(core_.conf);
}

void MainFrame::mnuNew_Click()
{
    // Made on first use and only hidden afterwards, so that it keeps what the user typed.
    if (!property_)
        property_ = new NewCatalogDialog(core_, this);
    if (property_->exec() == QDialog::Accepted)
        doAddNew(property_->location(), property_->folderName(), property_->fileName());
}

void MainFrame::doAddNew(const std::string& location, const std::string& folderName, const std::string& fileName)
{
    if (!location.empty() && !folderName.empty() && !fileName.empty()) {
        host_.unloadCatalogWindow();
        if (!core_.catalog.doAddNew(location, folderName, fileName).empty())
            host_.showCatalogWindow();
    }
    unloadNewCatalogDialog();
}

void MainFrame::unloadNewCatalogDialog()
{
    delete property_;
}

NewCatalogDialog* MainFrame::newCatalogDialog() const
{
    return property_;
}

void MainFrame::mnuOpen_Click()
{
    // Where the catalog opened last lies.
    QString start = preferences_.lastCatalogFolder();
    if (start.isEmpty())
        start = QString::fromStdString(core_.layout.getCatalogFolderPath());
    const QString path = FileDialogs::getOpenFileName(this, QStringLiteral("Qlr Files(*.qlr)"), start);
    openCatalog(path.toStdString());
}

void MainFrame::openCatalog(const std::string& path)
{
    if (path.empty())
        return;
    // An index file picked by mistake would be read as a folder file: say which file is meant.
    if (const auto folderFile = core_.catalog.folderFileOfIndexFile(path)) {
        core_.messages.show("Err016", MsgButtons::Ok, *folderFile);
        return;
    }
    // The catalog shown so far is closed first, so that nothing of it is written into the other.
    host_.unloadCatalogWindow();
    if (core_.catalog.openCatalog(path)) {
        preferences_.setLastCatalogFolder(QFileInfo(QString::fromStdString(path)).absolutePath());
        host_.showCatalogWindow();
    } else
        showCatalogMenus(false); // no catalog is shown now: offer New and Open again
}

void MainFrame::mnuClose_Click()
{
    host_.closeCatalog();
    unloadNewCatalogDialog();
    showCatalogMenus(false);
}

void MainFrame::mnuExit_Click()
{
    host_.exitProgram();
}

void MainFrame::mnuHContents_Click()
{
    openWithDesktop(core_.conf.getAppBasePath() + "/resource/help/index.html");
}

void MainFrame::openWithDesktop(const std::string& path)
{
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        core_.messages.show("Err015", MsgButtons::Ok, path + " (" + std::strerror(ENOENT) + ")");
        return;
    }
    openOrTell(opener_, core_.messages, path);
}

AboutDialog* MainFrame::aboutDialog() const
{
    return about_;
}

void MainFrame::mnuAbout_Click()
{
    if (!about_)
        about_ = new AboutDialog(
            core_.conf, core_.messages, [this](const std::string& path) { openWithDesktop(path); }, this);
    about_->exec();
}

void MainFrame::mnuPop_Click(int index)
{
    commands_.popupChosen(index);
}

void MainFrame::closeEvent(QCloseEvent* event)
{
    if (!isExit) {
        // Closing only hides the frame: the program goes on until the exit command.
        rememberPlace();
        event->ignore();
        hide();
        host_.frameHidden();
        return;
    }
    event->accept();
}

} // namespace quillory
