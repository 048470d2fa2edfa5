// What the monitor may rely on from the folder watcher, held by the fake that its tests run on:
// pausing loses nothing but what overflowed the queue and then says so, reports come from the
// event loop in the order things happened, and the watch limit refuses folders one at a time.
#include <QtTest>

#include "ui/platform/FakeFolderWatcher.h"

using namespace quillory;

class FolderWatcherTest : public QObject {
    Q_OBJECT

    static WatchEvent created(const char* path) { return {WatchEventKind::Created, {}, path}; }

private slots:
    void paused_queuesInOrderUntilResumed_andAnOverflowEndsInEventsLost()
    {
        FakeFolderWatcher watcher;
        watcher.queueLimit = 3;
        QStringList seen;
        connect(&watcher, &FolderWatcher::changed, this, [&](const WatchEvent& event) {
            seen << (event.kind == WatchEventKind::EventsLost ? QStringLiteral("lost") : QString::fromStdString(event.newPath));
        });
        QCOMPARE(watcher.start({"/docs"}).watched, size_t{1});

        watcher.pause();
        watcher.happen(created("1"));
        watcher.happen(created("2"));
        watcher.resume();
        watcher.happen(created("3")); // before the queue was read: it comes after what waited
        QVERIFY(seen.isEmpty());      // reported from the event loop, not from within resume()
        QTRY_COMPARE(seen, QStringList({"1", "2", "3"}));

        seen.clear();
        watcher.pause();
        for (const char* path : {"4", "5", "6", "7", "8"})
            watcher.happen(created(path));
        watcher.resume();
        QTRY_COMPARE(seen, QStringList({"4", "5", "6", "lost"}));

        seen.clear();
        watcher.pause();
        watcher.happen(created("9"));
        watcher.stop(); // what waited goes with the watches
        watcher.start({"/docs"});
        watcher.happen(created("10"));
        QCoreApplication::processEvents();
        QCOMPARE(seen, QStringList({"10"}));
    }

    void theWatchLimit_refusesFolderByFolder_andLeavesTheOthersWatched()
    {
        FakeFolderWatcher watcher;
        watcher.watchLimit = 2;
        watcher.unavailable = {"/gone"};
        const WatchStart start = watcher.start({"/a", "/gone", "/b", "/c"});
        QCOMPARE(start.watched, size_t{2});
        QCOMPARE(start.refused, (std::vector<std::string>{"/gone", "/c"}));
        QVERIFY(start.limitReached);

        QCOMPARE(watcher.watch("/a"), WatchOutcome::Watched); // watched once, whatever the asking
        QCOMPARE(watcher.watch("/c"), WatchOutcome::LimitReached);
        watcher.unwatch("/a");
        QCOMPARE(watcher.watch("/c"), WatchOutcome::Watched);
        QCOMPARE(watcher.watched, (std::vector<std::string>{"/b", "/c"}));
    }
};

QTEST_MAIN(FolderWatcherTest)
#include "FolderWatcherTest.moc"
