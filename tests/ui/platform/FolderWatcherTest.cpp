// What the monitor may rely on from the folder watcher while paused, held by the fake that its
// tests run on: pausing loses nothing but what overflowed the queue and then says so, and what
// waited is reported from the event loop in the order it happened.
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
            seen << (event.kind == WatchEventKind::EventsLost ? QStringLiteral("lost")
                                                              : QString::fromStdString(event.newPath));
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
};

QTEST_MAIN(FolderWatcherTest)
#include "FolderWatcherTest.moc"
