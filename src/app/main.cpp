#include <QAbstractItemView>
#include <QApplication>
#include <cstdlib>

#include "app/Application.h"
#include "app/PaintReport.h"
#include "core/CoreContext.h"
#include "core/config/SysConf.h"
#include "ui/catalog_window/CatalogWindow.h"
#include "ui/monitor/MonitorService.h"
#include "ui/platform/GlobalHotKey.h"
#include "ui/platform/InotifyFolderWatcher.h"
#include "ui/platform/MessageBoxes.h"
#include "ui/platform/Preferences.h"
#include "ui/platform/QtClipboard.h"
#include "ui/platform/QtDesktopOpener.h"
#include "ui/platform/SingleInstance.h"
#include "ui/platform/SystemDiskProbe.h"
#include "ui/platform/TerminationSignals.h"

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillory"));
    QApplication::setQuitOnLastWindowClosed(false); // closing the frame only hides it
    // The desktop finds the program's entry, and its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("quillory"));

    quillory::installDiagnosticsLog();
    quillory::CoreContext core(quillory::SysConf::executableFolder());
    quillory::installMessageBoxes(core.messages, [] { return QApplication::activeWindow(); });

    quillory::QtDesktopOpener opener;
    const std::unique_ptr<quillory::GlobalHotKey> hotKey = quillory::makeGlobalHotKey();
    quillory::QtClipboard clipboard;
    quillory::InotifyFolderWatcher watcher;
    quillory::Preferences preferences;
    quillory::SystemDiskProbe disk;

    quillory::Application app(core, quillory::SingleInstance::defaultName(),
                              {opener, *hotKey, clipboard, watcher, preferences, disk});
    quillory::reportPaintsWhenAsked([&app] {
        const auto* list = app.catalogWindow()
                               ? app.catalogWindow()->findChild<QAbstractItemView*>(QStringLiteral("ListView"))
                               : nullptr;
        return list && list->model() ? list->model()->rowCount() : -1;
    });
    switch (const int code = app.start()) {
    case 0: {
        // Asked by the system to end (logout, shutdown): as File > Exit, with nothing left unwritten.
        const quillory::TerminationSignals termination([&app] { app.exitWhenFree(); });
        // Ended from below instead (the X server went away: the window system library calls
        // exit()): the change monitor's records are written on the way out.
        static quillory::Application* running = nullptr;
        running = &app;
        std::atexit([] {
            if (running)
                running->monitor().writeRecordsAtExit();
        });
        const int code = QApplication::exec();
        running = nullptr; // ended as it should: everything was written
        return code;
    }
    case 3: return 0; // the copy that runs has come forward
    default: return code;
    }
}
