#pragma once

#include <QString>
#include <deque>
#include <memory>
#include <mutex>

#include "app/Application.h"
#include "support/TestSupport.h"
#include "ui/dialogs/ChangePreviewDialog.h"
#include "ui/platform/FakeClipboard.h"
#include "ui/platform/FakeDesktopOpener.h"
#include "ui/platform/FakeFolderWatcher.h"
#include "ui/platform/FakeGlobalHotKey.h"
#include "ui/platform/Preferences.h"
#include "ui/platform/SystemDiskProbe.h"

namespace quillory::test {

// A running program over a temporary installation: the shipped configuration and demo catalog
// (or a catalog the test writes before start()), its own single-instance name, fake platform
// services, messages recorded and answered from a queue, Sync's preview answered from a queue
// too, a state folder of its own, and an exit that records instead of ending the process.
class UiFixture {
public:
    // watcherToUse, hotKeyToUse: the folder watcher and the hot key the program runs on (the
    // fake ones by default).
    explicit UiFixture(FolderWatcher* watcherToUse = nullptr, GlobalHotKey* hotKeyToUse = nullptr);
    ~UiFixture();

    // Starts the program as main() does; returns its start-up code (0: running).
    int start() { return app_->start(); }
    // Ends the program and starts it again over the same installation, as a user does.
    int restart();

    std::string programFolder() const { return dir.path(); }
    std::string demoFolder() const { return dir / "QuilloryDemo"; }
    CoreContext& core() { return *core_; }
    Application& app() { return *app_; }
    MainFrame& frame() { return *app_->frame(); }
    CatalogWindow& catalogWindow() { return *app_->catalogWindow(); }
    QString instanceName() const { return instanceName_; }
    PlatformServices platform() { return {opener, *hotKeyUsed_, clipboard, *watching_, preferences, disk}; }
    // Paths handed to the desktop.
    const std::vector<std::string>& opened() const { return opener.requests; }

    TempDir dir;
    ScopedEnvironment stateHome{"XDG_STATE_HOME", dir / "state"}; // where Sync keeps its undo
    ScopedEnvironment cacheHome{"XDG_CACHE_HOME", dir / "cache"}; // what checks saw of documents
    ScopedEnvironment runtimeDir{"XDG_RUNTIME_DIR", dir / "run"}; // the single-instance lock
    MessageRecorder messages;
    // The answers to Sync's next previews (each may untick lines of the dialog and says whether
    // OK is pressed); with none queued, OK as it stands.
    std::deque<ChangePreviewDialog::Answerer> previewAnswers;
    FakeDesktopOpener opener;
    FakeGlobalHotKey hotKey;
    FakeClipboard clipboard;
    FakeFolderWatcher watcher;
    Preferences preferences{QString::fromStdString(dir / "preferences.ini")};
    // The real disk, but for the folders named as volumes not mounted (the windows look from
    // threads of their own).
    struct Disk : SystemDiskProbe {
        void setUnmounted(std::vector<std::string> folders)
        {
            std::lock_guard lock(mutex);
            unmounted = std::move(folders);
        }
        bool isVolumeMounted(const std::string& path) const override
        {
            {
                std::lock_guard lock(mutex);
                for (const std::string& folder : unmounted) {
                    if (path.starts_with(folder + "/"))
                        return false;
                }
            }
            return SystemDiskProbe::isVolumeMounted(path);
        }

    private:
        mutable std::mutex mutex;
        std::vector<std::string> unmounted;
    } disk;
    int quitRequests = 0;

private:
    void makeProgram();

    FolderWatcher* watching_;
    GlobalHotKey* hotKeyUsed_;
    std::unique_ptr<CoreContext> core_;
    std::unique_ptr<Application> app_; // goes before core_
    QString instanceName_;
};

} // namespace quillory::test
