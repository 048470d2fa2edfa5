#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

#include "ui/shell/FrameHost.h"

class QMdiSubWindow;

namespace quillory {

class Clipboard;
class CommandDispatcher;
class DesktopOpener;
class DiskProbe;
class FloatForm;
class FolderWatcher;
class GlobalHotKey;
class HotKey;
class MainFrame;
class MonitorService;
class CatalogWindow;
class Preferences;
class SingleInstance;
struct CoreContext;
struct WatchNotice;

// The platform services the program runs on: the real ones in the program, fakes in tests.
struct PlatformServices {
    DesktopOpener& opener;
    GlobalHotKey& hotKey;
    Clipboard& clipboard;
    FolderWatcher& watcher;
    Preferences& preferences;
    DiskProbe& disk; // where the windows look whether documents are there
};

// The program: owns its windows and the command dispatcher, wires them to the core's session
// and runs start-up and exit in their fixed order. The frame and the catalog window know
// nothing of each other; this is where they meet.
class Application : public QObject, public FrameHost {
public:
    // instanceName: the single-instance lock and socket name (tests pass their own).
    Application(CoreContext& core, QString instanceName, PlatformServices platform);
    ~Application() override;

    // Start-up: configuration (its missing-file message ends the program), single instance
    // (a second copy says so and ends), captions, frame, catalog window on the catalog opened
    // last while it is there, else on the configured one (Err001 when that is missing), hot
    // key. Returns 0 when the program is to run its event loop, else the exit code: 1 no
    // configuration, 2 another copy runs but does not answer, 3 another copy runs and has
    // shown itself, 4 the lock file's place is taken.
    int start();

    MainFrame* frame() const;
    CatalogWindow* catalogWindow() const;
    // The floating launcher; made once the window is first on screen, or now when asked first.
    FloatForm* launcher();
    CommandDispatcher& commands() const { return *commands_; }
    MonitorService& monitor() const { return *monitor_; }
    const PlatformServices& platform() const { return platform_; }

    void showCatalogWindow() override;
    void unloadCatalogWindow() override;
    void closeCatalog() override;
    void exitProgram() override;
    // Exit as asked from outside (the system ending the session): a dialog waiting for an answer
    // is closed first, so that no command is left halfway through a window that is gone (tried
    // every 50 ms, triesLeft times at most).
    void exitWhenFree(int triesLeft = 40);
    void frameHidden() override;

    // The frame comes back as the user left it (a second start asks for this), raised.
    void showFrame();

    // How long after the window is on screen (or after a catalog opens later) the quiet check of
    // the catalog starts: the user's first actions, and their measures, go before it.
    std::chrono::milliseconds quietCheckDelay{3000};

    // What ends the event loop; tests replace it.
    void setQuit(std::function<void()> quit) { quit_ = std::move(quit); }

private:
    void unloadFrame();
    // The launcher's ShowFrame: a shown frame hides as with its close box, a hidden one comes
    // back maximised.
    void showOrHideFrame();
    // Before the launcher's other commands: a hidden or minimised frame comes back maximised, a
    // shown one comes to the front.
    void bringFrameForward();
    void frameShown();
    // The global hot key (the clipboard import's key): the frame and the catalog window come
    // forward, maximised, before the import runs; a window gone with Close comes back on the
    // catalog opened last.
    void bringForwardForHotKey();
    // The catalog opened last while its folder file is there, else the configured one, in the
    // catalog window, with the change monitor following it.
    void openLastCatalog();
    // The change monitor follows the catalog open, and Sync with it.
    void loadMonitor();
    // Makes and starts the launcher, once.
    void startLauncher();
    void unloadMonitor();
    // The catalog window checks its catalog quietly after quietCheckDelay.
    void checkQuietlySoon();
    // The rows of the place the monitor saw change are looked at again.
    void followNotice(const WatchNotice& notice);

    CoreContext& core_;
    QString instanceName_;
    PlatformServices platform_;
    std::unique_ptr<CommandDispatcher> commands_;
    std::unique_ptr<HotKey> hotKey_;
    std::unique_ptr<MonitorService> monitor_;
    std::unique_ptr<SingleInstance> instance_;
    QPointer<MainFrame> frame_;
    QPointer<CatalogWindow> catalogWindow_;
    QPointer<QMdiSubWindow> catalogSubWindow_;
    QPointer<FloatForm> launcher_;
    std::function<void()> quit_;
    int statesListener_ = 0;
    bool startPainted_ = false; // the window has been on screen since start-up
};

} // namespace quillory
