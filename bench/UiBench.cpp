// How long the user waits on the catalog window with large catalogs, measured on the real
// widgets (run headless: QT_QPA_PLATFORM=offscreen). Each figure is the median of several runs,
// printed next to its limit.
#include <QApplication>
#include <QElapsedTimer>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "CatalogGenerator.h"
#include "ui/catalog_window/ContentListView.h"
#include "ui/catalog_window/DirTreeView.h"
#include "ui/catalog_window/MainForm.h"
#include "core/CoreContext.h"
#include "app/Application.h"
#include "ui/platform/FakeClipboard.h"
#include "ui/platform/FakeDesktopOpener.h"
#include "ui/platform/FakeFolderWatcher.h"
#include "ui/platform/FakeGlobalHotKey.h"
#include "ui/platform/Preferences.h"

using namespace quillory;
using namespace quillory::bench;

namespace {

double medianMs(int runs, const std::function<void()>& prepare, const std::function<void()>& measured)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        measured();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* name, double ms, double limitMs)
{
    std::printf("%-58s %9.1f ms   limit %6.0f ms   %s\n", name, ms, limitMs, ms <= limitMs ? "OK" : "OVER");
}

// A program running on a generated catalog, as the user starts it.
struct RunningProgram {
    explicit RunningProgram(const std::string& folder)
        : core(folder),
          preferences(QString::fromStdString(folder + "/preferences.ini")),
          app(core, QStringLiteral("quillory-bench-") + QUuid::createUuid().toString(QUuid::Id128),
              {opener, hotKey, clipboard, watcher, preferences})
    {
        core.messages.setHook([](const Message&) { return MsgAnswer::Ok; });
        app.setQuit([] {});
        app.start();
    }
    CoreContext core;
    FakeDesktopOpener opener;
    FakeGlobalHotKey hotKey;
    FakeClipboard clipboard;
    FakeFolderWatcher watcher;
    Preferences preferences;
    Application app;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    constexpr int kRuns = 5;

    ScratchFolder many;
    const GeneratedCatalog folders = generateCatalog(many.path(), {5000, 0, 7});
    RunningProgram onFolders(folders.programFolder);
    const double openMs = medianMs(
        kRuns,
        [&] {
            onFolders.app.unloadCatalogWindow();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        },
        [&] { onFolders.app.showCatalogWindow(); });
    std::printf("catalog window on %d folders: %d nodes\n", static_cast<int>(folders.folderIds.size()),
                onFolders.app.mainForm()->dirTreeView->nodeCount());
    report("open the catalog window on 5,000 folders", openMs, 1000);

    ScratchFolder big;
    const GeneratedCatalog oneFolder = generateCatalog(big.path(), {1, 32000, 11});
    RunningProgram onIndexes(oneFolder.programFolder);
    MainForm* form = onIndexes.app.mainForm();
    const double coldMs = medianMs(
        kRuns, [&] { onIndexes.core.store.resetStoreCache(); },
        [&] { form->refreshContentList(); });
    const double warmMs = medianMs(kRuns, [] {}, [&] { form->refreshContentList(); });
    std::printf("index list: %d rows\n", form->ListView->rowCount());
    report("list a folder of 32,000 indexes (file read, icons)", coldMs, 1000);
    report("list a folder of 32,000 indexes (cached)", warmMs, 1000);

    ScratchFolder sortable;
    const GeneratedCatalog sortFolder = generateCatalog(sortable.path(), {1, 30000, 13});
    RunningProgram onSort(sortFolder.programFolder);
    ContentListView* list = onSort.app.mainForm()->ListView;
    for (int column : {1, 3}) {
        const double sortMs = medianMs(kRuns, [] {}, [&] { list->sortByColumn(column); });
        report(column == 1 ? "sort 30,000 rows by title" : "sort 30,000 rows by path", sortMs, 300);
    }
    return 0;
}
