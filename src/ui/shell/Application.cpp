#include "ui/shell/Application.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "ui/catalog_window/MainForm.h"
#include "core/CoreContext.h"
#include "ui/dialogs/AboutForm.h"
#include "ui/platform/SingleInstance.h"
#include "ui/shell/HotKey.h"
#include "ui/shell/MDIMainForm.h"

namespace quillory {

Application::Application(CoreContext& core, QString instanceName)
    : core_(core), instanceName_(std::move(instanceName)), quit_([] { QCoreApplication::quit(); })
{
}

Application::~Application()
{
    delete mainFormWindow_.data();
    delete about_.data();
    delete frame_.data();
}

MDIMainForm* Application::frame() const
{
    return frame_.data();
}

MainForm* Application::mainForm() const
{
    return mainForm_.data();
}

int Application::start()
{
    if (!core_.conf.loadSysConf())
        return 1;
    instance_ = std::make_unique<SingleInstance>(instanceName_);
    if (!instance_->acquire()) {
        core_.messages.show("Msg015");
        return 2;
    }
    frame_ = new MDIMainForm(core_, *this);
    frame_->ComeIn();
    frame_->show();
    // The floating launcher and the change monitor start here once they exist.
    showMainForm();
    registerHotKeyLoop(*frame_);
    return 0;
}

void Application::showMainForm()
{
    if (!frame_)
        return;
    if (mainForm_) {
        mainFormWindow_->showMaximized();
        return;
    }
    auto* form = new MainForm(core_, *this);
    mainForm_ = form;
    mainFormWindow_ = frame_->mdiArea()->addSubWindow(form, Qt::FramelessWindowHint);
    mainFormWindow_->setAttribute(Qt::WA_DeleteOnClose);
    form->Form_Load();
    mainFormWindow_->showMaximized();
    frame_->setStatusText(QString::fromStdString(core_.store.getDirFilePath()));
}

void Application::unloadMainForm()
{
    if (mainFormWindow_) {
        QMdiSubWindow* window = mainFormWindow_;
        mainForm_->Form_Unload();
        window->hide();
        frame_->mdiArea()->removeSubWindow(window);
        // Deferred: this may run inside one of the window's own commands (Close).
        window->deleteLater();
    }
    mainForm_ = nullptr;
    mainFormWindow_ = nullptr;
    if (frame_)
        frame_->setStatusText(QString());
}

void Application::showAbout()
{
    if (!about_)
        about_ = new AboutForm(core_.conf, frame_);
    about_->exec();
}

void Application::frameHidden()
{
    // The launcher's "show the frame" button is enabled here once the launcher exists.
}

void Application::exitProgram()
{
    if (!frame_)
        return;
    frame_->isExit = true;
    delete about_.data();
    unloadMainForm();
    unloadFrame();
}

void Application::unloadFrame()
{
    unregisterHotKey(*frame_);
    frame_->close();
    frame_->deleteLater();
    frame_ = nullptr;
    instance_.reset();
    if (quit_)
        quit_();
}

} // namespace quillory
