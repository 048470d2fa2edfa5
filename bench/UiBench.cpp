// How long the user waits on the catalog window with large catalogs, measured on the real
// widgets (headless: QT_QPA_PLATFORM=offscreen). The figures about the first time are taken in a
// fresh process each, as the user meets them: the catalog window listing a folder, and the
// program starting until its window has painted. Each figure is printed as a LIMIT line.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QUuid>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

#include "CatalogGenerator.h"
#include "Limits.h"
#include "app/Application.h"
#include "core/CoreContext.h"
#include "support/TempDir.h"
#include "ui/catalog_window/CatalogWindow.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/panels/SearchPanel.h"
#include "ui/monitor/MonitorService.h"
#include "ui/platform/FakeClipboard.h"
#include "ui/platform/FakeDesktopOpener.h"
#include "ui/platform/FakeFolderWatcher.h"
#include "ui/platform/FakeGlobalHotKey.h"
#include "ui/platform/Preferences.h"
#include "ui/platform/SystemDiskProbe.h"
#include "ui/shell/MainFrame.h"

using namespace quillory;
using namespace quillory::bench;

namespace {

using Clock = std::chrono::steady_clock;
const Clock::time_point processStart = Clock::now();

// The CPU time the process has used, all its threads: a busy machine does not change it much.
double cpuMilliseconds()
{
    timespec used{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
}

// The CPU time of run, all threads counted.
double cpuMillisecondsOf(const std::function<void()>& run)
{
    const double before = cpuMilliseconds();
    run();
    return cpuMilliseconds() - before;
}

double millisecondsOf(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// A program running on a catalog, as the user starts it.
struct RunningProgram {
    explicit RunningProgram(const std::string& folder)
        : core(folder), preferences(QString::fromStdString(folder + "/preferences.ini")),
          app(core, QStringLiteral("quillory-bench-") + QUuid::createUuid().toString(QUuid::Id128),
              {opener, hotKey, clipboard, watcher, preferences, disk})
    {
        core.messages.setHook([](const Message&) { return MsgAnswer::Ok; });
        app.setQuit([] {});
        app.start();
    }
    CatalogWindow& form() { return *app.catalogWindow(); }
    // The window's parts, found by their object names.
    FolderTreeView* tree() { return form().findChild<FolderTreeView*>(QStringLiteral("dirTreeView")); }
    IndexListView* list() { return form().findChild<IndexListView*>(QStringLiteral("ListView")); }
    SearchPanel* searchPanel() { return form().findChild<SearchPanel*>(QStringLiteral("Frame3")); }
    // Chooses a folder as the keyboard does: the tree's highlight moves to it.
    void chooseFolder(const char* id) { tree()->setCurrentItem(tree()->node(QString::fromLatin1(id))); }
    // Lets the window come on screen (the platform exposes it from the event loop).
    void waitUntilShown()
    {
        QElapsedTimer waited;
        waited.start();
        while (!(app.frame()->windowHandle() && app.frame()->windowHandle()->isExposed()) && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
    }
    // The same, and then lets the change monitor, which starts once the window is on screen,
    // read the catalog: what is measured next is the program's only work.
    void waitUntilQuiet()
    {
        waitUntilShown();
        QElapsedTimer waited;
        waited.start();
        while (app.monitor().isLoading() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    // Paints the whole window now, every widget of it, and returns when it is done.
    void paint() { benchmark(app.frame()->grab()); }
    void paintList() { benchmark(list()->viewport()->grab()); }
    static void benchmark(const QPixmap& painted)
    {
        volatile int width = painted.width();
        (void)width;
    }

    CoreContext core;
    FakeDesktopOpener opener;
    FakeGlobalHotKey hotKey;
    FakeClipboard clipboard;
    FakeFolderWatcher watcher;
    Preferences preferences;
    SystemDiskProbe disk;
    Application app;
};

// ---- the figures of a fresh process ----

// From the process's start until the window on 5,000 folders has painted.
int measureStartup(const std::string& folder)
{
    RunningProgram program(folder);
    program.waitUntilShown();
    program.paint();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - processStart).count();
    std::printf("startup_ms %f\nstartup_cpu_ms %f\nnodes %d\n", ms, cpuMilliseconds(), program.tree()->nodeCount());
    return 0;
}

// The first click on the big folder: its file read, its 32,000 rows listed and painted.
int measureFirstList(const std::string& folder)
{
    RunningProgram program(folder);
    program.waitUntilQuiet();
    program.paint();
    const double cpuBefore = cpuMilliseconds();
    const double ms = millisecondsOf([&] {
        program.chooseFolder("D2");
        program.paintList();
    });
    std::printf("list_ms %f\nlist_cpu_ms %f\nrows %d\n", ms, cpuMilliseconds() - cpuBefore, program.list()->rowCount());
    return 0;
}

// What the rows of the big folder take beyond what the store holds of it.
int measureListMemory(const std::string& folder)
{
    RunningProgram program(folder);
    program.waitUntilQuiet();
    program.paint();
    StoreProblems problems;
    program.core.store.getDirContentMap("D2", problems); // the store's part, not counted
    program.paintList();
    const size_t before = heapInUse();
    program.chooseFolder("D2");
    program.paintList();
    std::printf("rows_bytes %zu\nrows %d\n", heapInUse() - before, program.list()->rowCount());
    return 0;
}

double cpuMilliseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// What a search over the whole catalog took, from Return until its results are listed and
// painted: on the clock and in the CPU time of the whole process (every thread); and the longest
// time the window's event loop did not turn meanwhile, on the clock and in the window thread's
// CPU time (what the window itself spent between two turns, whatever else the machine runs).
struct SearchTimes {
    double wallMs = 0;
    double cpuMs = 0;
    double longestGapMs = 0;
    double longestGapCpuMs = 0;
    double windowCpuMs = 0; // of the window thread alone
};

SearchTimes searchWholeCatalog(RunningProgram& program, const char* text)
{
    program.form().mnuSSearchFile_Click();
    SearchPanel* panel = program.searchPanel();
    panel->txt_search->setText(QString::fromUtf8(text));
    panel->check_sAll->setChecked(true);
    SearchTimes times;
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    double lastTurn = 0;
    double lastTurnCpu = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    const double windowCpuStart = lastTurnCpu;
    QEventLoop loop;
    // Fires every few milliseconds while the loop turns (a timer of no interval would keep the
    // window thread busy and count in its CPU time).
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(2);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const double now = static_cast<double>(wall.nsecsElapsed()) / 1e6;
        const double nowCpu = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
        times.longestGapMs = std::max(times.longestGapMs, now - lastTurn);
        times.longestGapCpuMs = std::max(times.longestGapCpuMs, nowCpu - lastTurnCpu);
        lastTurn = now;
        lastTurnCpu = nowCpu;
        if (!panel->searching())
            loop.quit();
    });
    turns.start();
    QTimer::singleShot(0, [&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(panel->txt_search, &press);
    });
    loop.exec();
    program.paintList();
    times.wallMs = static_cast<double>(wall.nsecsElapsed()) / 1e6;
    times.cpuMs = cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
    times.windowCpuMs = cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - windowCpuStart;
    return times;
}

// A search of titles and descriptions over the whole catalog, the first in the process (the index
// files are read by it), then the same again.
int measureSearch(const std::string& folder)
{
    RunningProgram program(folder);
    program.waitUntilQuiet();
    program.paint();
    const SearchTimes first = searchWholeCatalog(program, kCommonWord);
    const int rows = program.list()->rowCount();
    const SearchTimes again = searchWholeCatalog(program, kCommonWord);
    std::printf("search_ms %f\nsearch_cpu_ms %f\nwindow_cpu_ms %f\ngap_ms %f\ngap_cpu_ms %f\nagain_ms %f\nrows "
                "%d\nsearching %d\n",
                first.wallMs, first.cpuMs, first.windowCpuMs, first.longestGapMs, first.longestGapCpuMs, again.wallMs,
                rows, program.searchPanel()->searching());
    return 0;
}

// The catalog of 1,000,000 indexes (10,000 folders of 100): made once, kept in the temporary
// folder for the next run.
std::string millionIndexCatalog()
{
    const std::string folder = (std::filesystem::temp_directory_path() / "quillory-ui-bench-1000000-indexes-v1")
                                   .string();
    const std::string made = folder + "/made";
    if (!std::filesystem::exists(made)) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        generateCatalog(folder, {10000, 100, 23});
        writeTextFile(made, "");
    }
    return folder;
}

double medianOfFresh(int runs, const std::string& arg, const std::string& key)
{
    std::vector<double> values;
    for (int i = 0; i < runs; ++i) {
        std::string out = runFresh({arg});
        values.push_back(valueAfter(out, key));
        if (i == 0) { // what the first run saw, on one line
            std::replace(out.begin(), out.end(), '\n', ' ');
            std::printf("(%s)\n", out.c_str());
        }
    }
    return median(values);
}

// ---- the figures of a running program ----

double sortInFileOrder(const std::string& folder)
{
    RunningProgram program(folder);
    program.waitUntilQuiet();
    IndexListView* list = program.list();
    StoreProblems problems;
    const auto records = program.core.store.getDirContentMap("D1", problems)->getValueCol();
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        list->rows().clear();
        list->rows().appendRecords(records); // file order, not sorted by any column
        program.paintList();
        times.push_back(cpuMillisecondsOf([&] {
            list->sortByColumn(1);
            program.paintList();
        }));
    }
    std::printf("(sorted %d rows)\n", list->rowCount());
    return median(times);
}

double repaintWithHugeNames(const std::string& folder)
{
    const std::string huge(50 * 1024 * 1024, 'n');
    writeTextFile(folder + "/cat/cat.qlr", "D1|" + huge + "|0|||False||" + huge + "\r\n");
    writeTextFile(folder + "/cat/idx/D1.qlr", "D1!C1|" + huge + "|QLRR$/" + huge + ".txt|False||t|" + huge + "\r\n");
    RunningProgram program(folder);
    program.app.frame()->resize(1200, 800);
    program.waitUntilQuiet();
    std::vector<double> times;
    for (int i = 0; i < 7; ++i)
        times.push_back(cpuMillisecondsOf([&] { program.paint(); }));
    std::printf("(painted %s: %d folder, %d index; name shown in %lld characters)\n",
                program.app.frame()->isVisible() ? "the window" : "nothing", program.tree()->nodeCount(),
                program.list()->rowCount(),
                static_cast<long long>(program.tree()->node(QStringLiteral("D1"))->text(0).size()));
    return median(times);
}

// Five first searches over the catalog of 1,000,000 indexes, each in a fresh process.
void searchMillionIndexes()
{
    const std::string million = millionIndexCatalog();
    std::vector<std::string> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(runFresh({"--search=" + million}));
    const auto medianOf = [&runs](const char* key) {
        std::vector<double> values;
        for (const auto& out : runs)
            values.push_back(valueAfter(out, key));
        return median(values);
    };
    std::printf("(search_1000000: %.0f ms on the clock, longest event-loop gap %.0f ms on the clock; %.0f rows)\n",
                medianOf("search_ms"), medianOf("gap_ms"), medianOf("rows"));
    printLimit("search_1000000_painted", medianOf("search_cpu_ms"), 1000, "ms_cpu");
    printLimit("search_1000000_longest_loop_gap", medianOf("gap_cpu_ms"), 25, "ms_cpu");
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    if (argc == 2) {
        const std::string arg = argv[1];
        if (arg.rfind("--startup=", 0) == 0)
            return measureStartup(arg.substr(10));
        if (arg.rfind("--first-list=", 0) == 0)
            return measureFirstList(arg.substr(13));
        if (arg.rfind("--list-memory=", 0) == 0)
            return measureListMemory(arg.substr(14));
        if (arg.rfind("--search=", 0) == 0)
            return measureSearch(arg.substr(9));
        if (arg == "--search-1000000") { // that figure alone
            searchMillionIndexes();
            return 0;
        }
    }

    test::TempDir many;
    generateCatalog(many.path(), {5000, 0, 7});
    printLimit("offscreen_start_5000_folders", medianOfFresh(5, "--startup=" + many.path(), "startup_cpu_ms"), 110,
               "ms CPU");

    // A small folder first (shown at start), then the big one of every kind of path.
    test::TempDir big;
    generateCatalog(big.path(), {1, 0, 11});
    writeTextFile(big.path() + "/cat/cat.qlr", "D1|Small|0|||False||\r\nD2|Big|0|||False||\r\n");
    generateIndexFile(big.path(), "D1", 20, 10);
    generateIndexFile(big.path(), "D2", 32000, 11);
    printLimit("offscreen_list_32000_first_paint", medianOfFresh(5, "--first-list=" + big.path(), "list_cpu_ms"), 50,
               "ms CPU");
    printLimit("list_32000_rows_memory", medianOfFresh(5, "--list-memory=" + big.path(), "rows_bytes") / 1e6, 7.5,
               "MB");

    test::TempDir searchable;
    generateCatalog(searchable.path(), {5000, 20, 19});
    printLimit("search_100000_painted", medianOfFresh(5, "--search=" + searchable.path(), "search_cpu_ms"), 200,
               "ms_cpu");

    searchMillionIndexes();

    test::TempDir sortable;
    generateCatalog(sortable.path(), {1, 30000, 13, true});
    printLimit("sort_30000_file_order", sortInFileOrder(sortable.path()), 60, "ms_cpu");

    test::TempDir hugeNames;
    generateCatalog(hugeNames.path(), {1, 1, 17});
    printLimit("repaint_50mb_name", repaintWithHugeNames(hugeNames.path()), 13, "ms_cpu");
    return 0;
}
