// What the monitor may rely on from the folder watcher while paused, held by the fake that its
// tests run on: pausing loses nothing but what overflowed the queue and then says so, and what
// waited is reported from the event loop in the order it happened.
#include <QtTest>

#include "ui/platform/FakeFolderWatcher.h"

using namespace quillory;

class FolderWatcherTest : public QObject {
    Q_OBJECT

private slots:
    void paused_queuesInOrderUntilResumed_andAnOverflowEndsInEventsLost()
    {
        FakeFolderWatcher watcher;
        watcher.queueLimit = 3;
        QStringList seen;
        connect(&watcher, &FolderWatcher::noticed, this, [&](const WatchNotice& notice) {
            seen << (notice.kind == WatchNotice::Kind::EventsLost ? QStringLiteral("lost")
                                                                  : QString::fromStdString(notice.name));
        });
        const WatchStart started = watcher.start({"/docs"});
        QCOMPARE(started.watched, size_t{1});
        QCOMPARE(started.watches, std::vector<int>({watcher.watchOf("/docs")}));
        const auto created = [&](const char* name) { watcher.happen(WatchNotice::Kind::Created, "/docs", name); };

        watcher.pause();
        created("1");
        created("2");
        watcher.resume();
        created("3");            // before the queue was read: it comes after what waited
        QVERIFY(seen.isEmpty()); // reported from the event loop, not from within resume()
        QTRY_COMPARE(seen, QStringList({"1", "2", "3"}));

        seen.clear();
        watcher.pause();
        for (const char* path : {"4", "5", "6", "7", "8"})
            created(path);
        watcher.resume();
        QTRY_COMPARE(seen, QStringList({"4", "5", "6", "lost"}));

        seen.clear();
        watcher.pause();
        created("9");
        watcher.stop(); // what waited goes with the watches
        watcher.start({"/docs"});
        created("10");
        QCoreApplication::processEvents();
        QCOMPARE(seen, QStringList({"10"}));
    }
};

QTEST_MAIN(FolderWatcherTest)
#include "FolderWatcherTest.moc"
