#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QMdiSubWindow;

namespace quillory {

class AboutForm;
class MDIMainForm;
class MainForm;
class SingleInstance;
struct CoreContext;

// Owns the program's windows and runs its start-up and exit in their fixed order.
class Application : public QObject {
public:
    // instanceName: the single-instance lock and socket name (tests pass their own).
    Application(CoreContext& core, QString instanceName);
    ~Application() override;

    // Start-up: configuration (its missing-file message ends the program), single instance
    // (a second copy says so and ends), captions, frame, catalog window on the configured
    // catalog. Returns 0 when the program is to run its event loop, else the exit code.
    int start();

    MDIMainForm* frame() const;
    MainForm* mainForm() const;

    // Shows the catalog window on the open catalog (a new window reads the catalog).
    void showMainForm();
    // Unloads the catalog window; its store caches go with it.
    void unloadMainForm();
    void showAbout();
    // The frame was hidden by its close box.
    void frameHidden();
    // The exit command: unloads every window in order and ends the event loop.
    void exitProgram();

    // What ends the event loop; tests replace it.
    void setQuit(std::function<void()> quit) { quit_ = std::move(quit); }

private:
    void unloadFrame();

    CoreContext& core_;
    QString instanceName_;
    std::unique_ptr<SingleInstance> instance_;
    QPointer<MDIMainForm> frame_;
    QPointer<MainForm> mainForm_;
    QPointer<QMdiSubWindow> mainFormWindow_;
    QPointer<AboutForm> about_;
    std::function<void()> quit_;
};

} // namespace quillory
