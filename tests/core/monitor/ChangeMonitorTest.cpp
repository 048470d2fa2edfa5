#include <gtest/gtest.h>

#include <atomic>
#include <map>

#include "core/monitor/ChangeMonitor.h"
#include "core/monitor/DiskSync.h"
#include "core/monitor/MinuteCounter.h"
#include "support/FakeDisk.h"

namespace quillory::test {
namespace {

using namespace std::chrono_literals;
using Kind = WatchNotice::Kind;

struct CollectingSink : PendingChangeSink {
    bool works = true;
    std::vector<std::string> lines;
    bool appendPendingChanges(const std::vector<PendingChange>& changes) override
    {
        if (works) {
            for (const PendingChange& change : changes)
                lines.push_back(formatPendingChange(change));
        }
        return works;
    }
};

// The monitor with a watcher played by the test: every folder the monitor asks for is watched
// under a number of its own.
class Monitor : public ::testing::Test {
protected:
    FakeDisk disk;
    MonitorClock::time_point now{};
    ChangeMonitor monitor{disk, [this] { return now; }, 100ms};
    std::map<std::string, int> watches;
    int nextWatch = 1;

    WatchChanges load(const std::vector<IndexedDocument>& documents) { return follow(monitor.load(documents)); }
    WatchChanges follow(WatchChanges changes)
    {
        for (const std::string& folder : changes.foldersToWatch) {
            watches[folder] = nextWatch;
            monitor.setWatch(folder, nextWatch++);
        }
        return changes;
    }
    WatchChanges event(WatchEventKind kind, const std::string& oldPath, const std::string& newPath = {})
    {
        return follow(monitor.HandleShellNotify(WatchEvent{kind, oldPath, newPath}));
    }
    WatchChanges notice(Kind kind, const std::string& folder, const std::string& name, uint32_t cookie = 0)
    {
        return follow(monitor.take(WatchNotice{kind, watches.at(folder), name, false, cookie}));
    }
    void moveByNotices(const std::string& fromFolder, const std::string& from, const std::string& toFolder,
                       const std::string& to, uint32_t cookie)
    {
        notice(Kind::MovedFrom, fromFolder, from, cookie);
        notice(Kind::MovedTo, toFolder, to, cookie);
    }
    void renameByNotices(const std::string& folder, const std::string& from, const std::string& to, uint32_t cookie)
    {
        moveByNotices(folder, from, folder, to, cookie);
    }
    std::vector<PendingChange> records() const { return monitor.pendingRecords().inOrder(); }
    std::string newPathOf(const std::string& indexId) const
    {
        const PendingChange* record = monitor.pendingRecords().find(indexId);
        return record ? record->newPath : "(no record)";
    }
};

TEST_F(Monitor, notificationsMatchExactPathsAndLeaveOneRecordPerIndex)
{
    load({{"D1!C1", "/home/u/docs/a.txt"},
          {"D1!C2", "/home/u/docs/a.txt.bak"},
          {"D2!C1", "/home/u/other/b.txt"},
          {"D2!C2", "http://example.org/b.txt"},
          {"D3!C1", "/home/u/other/b.txt"},
          {"D4!C1", "/home/u//other/./e.txt"}});
    EXPECT_EQ(monitor.documentCount(), 5u); // a web address is not followed
    EXPECT_EQ(monitor.findMonitorEntry("/home/u/docs/a.txt"), "D1!C1|/home/u/docs/a.txt");
    EXPECT_EQ(monitor.findMonitorEntry("/home/u/other/b.txt"), "D2!C1|/home/u/other/b.txt");
    EXPECT_EQ(monitor.findMonitorEntry("/home/u/docs/a"), "");
    EXPECT_EQ(monitor.findMonitorEntry("/home/u/DOCS/a.txt.bak"), "");

    event(WatchEventKind::Created, "", "/home/u/docs/new.txt");
    event(WatchEventKind::RenamedFile, "/home/u/docs/new.txt", "/home/u/docs/a.txt.b");
    event(WatchEventKind::DeletedFile, "/home/u/docs/a.txt.b");
    event(WatchEventKind::DeletedFile, "/home/u/docs/a.tx");
    EXPECT_TRUE(records().empty());

    event(WatchEventKind::DeletedFile, "/home/u/docs/a.txt"); // never a.txt.bak's
    event(WatchEventKind::RenamedFile, "/home/u/other/b.txt", "/home/u/other/c.txt");
    event(WatchEventKind::RenamedFile, "/home/u/other/c.txt", "/home/u/other/d.txt"); // before any write
    event(WatchEventKind::RenamedFile, "/home/u/docs/a.txt.bak", "/home/u/other/a.txt.bak");
    event(WatchEventKind::RenamedFile, "/home/u/other/e.txt", "/home/u/other/f.txt"); // and back: nothing to tell
    EXPECT_EQ(newPathOf("D4!C1"), "/home/u/other/f.txt");
    event(WatchEventKind::RenamedFile, "/home/u/other/f.txt", "/home/u/other/e.txt");
    EXPECT_EQ(records(), (std::vector<PendingChange>{
                             {"D1!C1", "/home/u/docs/a.txt", ""},
                             {"D2!C1", "/home/u/other/b.txt", "/home/u/other/d.txt"},
                             {"D3!C1", "/home/u/other/b.txt", "/home/u/other/d.txt"},
                             {"D1!C2", "/home/u/docs/a.txt.bak", "/home/u/other/a.txt.bak"},
                         }));
    EXPECT_EQ(monitor.currentPathOf("D1!C1"), "");
    EXPECT_EQ(monitor.findMonitorEntry("/home/u/other/d.txt"), "D2!C1|/home/u/other/d.txt");

    // Written in order and forgotten; a write that fails keeps them all.
    CollectingSink sink;
    sink.works = false;
    EXPECT_FALSE(monitor.writePendingRecords(sink));
    EXPECT_EQ(records().size(), 4u);
    sink.works = true;
    EXPECT_TRUE(monitor.writePendingRecords(sink));
    EXPECT_TRUE(records().empty());
    EXPECT_EQ(sink.lines.front(), "D1!C1|/home/u/docs/a.txt|");
    EXPECT_EQ(sink.lines.size(), 4u);
}

TEST_F(Monitor, aFolderRenameChangesOneNodeAndRecordsEveryIndexBelowIt)
{
    load({{"D1!C1", "/home/u/proj/x.txt"},
          {"D1!C2", "/home/u/proj/sub/y.txt"},
          {"D1!C3", "/home/u/proj/sub/z.txt"},
          {"D1!C4", "/home/u/projects/w.txt"}});
    const int projWatch = watches.at("/home/u/proj");
    const size_t watched = monitor.folders().watchCount();

    EXPECT_TRUE(event(WatchEventKind::RenamedFolder, "/home/u/proj", "/home/u/work").empty());
    EXPECT_EQ(monitor.folders().watchCount(), watched);
    EXPECT_EQ(monitor.folders().pathOf(monitor.folders().nodeOfWatch(projWatch)), "/home/u/work");
    EXPECT_EQ(newPathOf("D1!C1"), "/home/u/work/x.txt");
    EXPECT_EQ(newPathOf("D1!C2"), "/home/u/work/sub/y.txt");
    EXPECT_EQ(newPathOf("D1!C3"), "/home/u/work/sub/z.txt");
    EXPECT_EQ(records().size(), 3u); // "projects" only begins like "proj"

    // Paths below are computed from the new name; a folder deleted takes its documents along.
    event(WatchEventKind::RenamedFile, "/home/u/work/x.txt", "/home/u/work/x2.txt");
    EXPECT_EQ(newPathOf("D1!C1"), "/home/u/work/x2.txt");
    const int subWatch = watches.at("/home/u/proj/sub");
    EXPECT_EQ(event(WatchEventKind::DeletedFolder, "/home/u/work/sub").watchesToRemove, std::vector<int>{subWatch});
    EXPECT_EQ(newPathOf("D1!C2"), "");
    EXPECT_EQ(newPathOf("D1!C3"), "");
    EXPECT_EQ(records().front().oldPath, "/home/u/proj/x.txt");

    // Back out of the trash with one of its documents: watched again, and that one followed.
    disk.add("/home/u/work/sub/y.txt");
    EXPECT_EQ(event(WatchEventKind::Created, "", "/home/u/work/sub").foldersToWatch,
              std::vector<std::string>{"/home/u/work/sub"});
    EXPECT_EQ(newPathOf("D1!C2"), "/home/u/work/sub/y.txt");
    EXPECT_EQ(newPathOf("D1!C3"), "");
}

TEST_F(Monitor, eachNeededFolderIsWatchedOnceAndOnlyChangesAreAskedFor)
{
    const WatchChanges loaded = load({{"D1!C1", "/a/b/c/d.txt"}, {"D1!C2", "/a/b/e.txt"}, {"D1!C3", "/a/b/c/f.txt"}});
    EXPECT_EQ(loaded.foldersToWatch, (std::vector<std::string>{"/", "/a", "/a/b", "/a/b/c"}));

    EXPECT_EQ(follow(monitor.addDocument({"D2!C1", "/a/x/y.txt"})).foldersToWatch, std::vector<std::string>{"/a/x"});
    EXPECT_TRUE(monitor.addDocument({"D2!C2", "/a/b/g.txt"}).empty());
    EXPECT_TRUE(monitor.removeDocument("D1!C1").empty()); // f.txt still needs /a/b/c
    EXPECT_EQ(monitor.removeDocument("D1!C3").watchesToRemove, std::vector<int>{watches.at("/a/b/c")});
    EXPECT_EQ(monitor.removeDocument("D2!C1").watchesToRemove, std::vector<int>{watches.at("/a/x")});
    EXPECT_EQ(monitor.folders().watchCount(), 3u);

    // A document that moves to a folder not watched yet brings it in; the folder it left stays
    // watched a moment, so that its coming back is seen.
    const WatchChanges moved = event(WatchEventKind::RenamedFile, "/a/b/e.txt", "/q/e.txt");
    EXPECT_EQ(moved.foldersToWatch, (std::vector<std::string>{"/q"}));
    EXPECT_TRUE(moved.watchesToRemove.empty());
    event(WatchEventKind::Created, "", "/a/b/e.txt");
    EXPECT_EQ(monitor.currentPathOf("D1!C2"), "/a/b/e.txt");
    EXPECT_TRUE(records().empty());
}

TEST_F(Monitor, editorSavesNeverMoveAnIndexAwayFromItsDocument)
{
    load({{"D1!C1", "/home/u/a.txt"}, {"D1!C2", "/home/u/in/c.txt"}});
    // Renamed to a.txt~, written anew, the backup deleted; the record written midway is taken
    // back by a later one.
    renameByNotices("/home/u", "a.txt", "a.txt~", 1);
    EXPECT_EQ(newPathOf("D1!C1"), "/home/u/a.txt~");
    CollectingSink file;
    monitor.writePendingRecords(file);
    notice(Kind::Created, "/home/u", "a.txt");
    notice(Kind::Deleted, "/home/u", "a.txt~");
    monitor.writePendingRecords(file);
    // Renamed aside with the backup kept.
    renameByNotices("/home/u", "a.txt", "a.txt~", 3);
    notice(Kind::Created, "/home/u", "a.txt");
    monitor.writePendingRecords(file);
    EXPECT_EQ(monitor.currentPathOf("D1!C1"), "/home/u/a.txt");

    struct OneIndex : SyncCatalog {
        std::string path = "/home/u/a.txt";
        std::optional<std::string> indexPath(const std::string&, const std::string& id) override
        {
            return id == "D1!C1" ? std::optional(path) : std::nullopt;
        }
        void setIndexPath(const std::string&, const std::string&, const std::string& p) override { path = p; }
        void removeIndex(const std::string&, const std::string&) override { path.clear(); }
        StoreOutcome writeFolder(const std::string&) override { return {}; }
    } catalog;
    disk.add("/home/u/a.txt");
    disk.add("/home/u/a.txt~");
    EXPECT_EQ(synchroniseWithDisk(file.lines, catalog, disk).applied, 0);
    EXPECT_EQ(catalog.path, "/home/u/a.txt");

    // Moved to another folder and straight back: nothing to tell. Moved there again and saved
    // there the vim way: it stays where it was moved to.
    moveByNotices("/home/u/in", "c.txt", "/home/u", "c.txt", 4);
    moveByNotices("/home/u", "c.txt", "/home/u/in", "c.txt", 5);
    EXPECT_FALSE(monitor.pendingRecords().find("D1!C2"));
    moveByNotices("/home/u/in", "c.txt", "/home/u", "c.txt", 6);
    renameByNotices("/home/u", "c.txt", "c.txt~", 7);
    notice(Kind::Created, "/home/u", "c.txt");
    notice(Kind::Deleted, "/home/u", "c.txt~");
    EXPECT_EQ(newPathOf("D1!C2"), "/home/u/c.txt");

    // Still followed afterwards; a file made where it was, long after, is another one.
    renameByNotices("/home/u", "a.txt", "b.txt", 8);
    now += 20s;
    notice(Kind::Created, "/home/u", "a.txt");
    EXPECT_EQ(newPathOf("D1!C1"), "/home/u/b.txt");
}

TEST_F(Monitor, movesArePairedByCookieWithinTheGracePeriodAndKeepTheirPlaceInLine)
{
    load({{"D1!C1", "/p/a/doc.txt"}, {"D1!C2", "/p/a/gone.txt"}, {"D1!C3", "/p/b/other.txt"}, {"D1!C4", "/p/a/v.txt"}});
    notice(Kind::MovedFrom, "/p/a", "doc.txt", 7);
    EXPECT_EQ(monitor.moveDeadline(), now + 100ms);
    now += 60ms;
    notice(Kind::MovedTo, "/p/b", "doc.txt", 7);
    EXPECT_EQ(records(), (std::vector<PendingChange>{{"D1!C1", "/p/a/doc.txt", "/p/b/doc.txt"}}));

    // A half whose other half does not come in time: moved out of sight, taken as a deletion.
    notice(Kind::MovedFrom, "/p/a", "gone.txt", 8);
    now += 99ms;
    monitor.expireMoves();
    EXPECT_EQ(records().size(), 1u);
    now += 1ms;
    monitor.expireMoves();
    EXPECT_EQ(newPathOf("D1!C2"), "");
    EXPECT_FALSE(monitor.moveDeadline());

    // The halves of a rename read apart, with the new file written in between: the rename is
    // still taken first, so the index stays with the file under its name.
    notice(Kind::MovedFrom, "/p/a", "v.txt", 9);
    notice(Kind::Created, "/p/a", "v.txt");
    EXPECT_FALSE(monitor.pendingRecords().find("D1!C4"));
    notice(Kind::MovedTo, "/p/a", "v.txt~", 9);
    EXPECT_EQ(monitor.currentPathOf("D1!C4"), "/p/a/v.txt");
    EXPECT_FALSE(monitor.pendingRecords().find("D1!C4"));
}

TEST_F(Monitor, lostEventsAreMadeUpForByComparingWithTheDisk)
{
    // (A document renamed or deleted unseen is walked through in the monitor's suite.)
    for (const char* path : {"/d", "/d/three.txt", "/d/sub", "/d/sub/four.txt"})
        disk.add(path);
    load({{"D1!C3", "/d/three.txt"}, {"D1!C4", "/d/sub/four.txt"}});
    monitor.rememberIdentities();
    const FolderNode sub = monitor.folders().find("/d/sub");

    disk.move("/d/sub", "/d/lower"); // the folder's node follows it, with its documents
    monitor.take(WatchNotice{Kind::EventsLost, kNoWatch, {}, false, 0});
    EXPECT_EQ(newPathOf("D1!C4"), "/d/lower/four.txt");
    EXPECT_EQ(monitor.folders().find("/d/lower"), sub);
    EXPECT_EQ(records().size(), 1u);

    // A notice from a watch the monitor never knew means notices were lost as well.
    disk.move("/d/three.txt", "/d/tres.txt");
    monitor.take(WatchNotice{Kind::Created, 999, "x.txt", false, 0});
    EXPECT_EQ(newPathOf("D1!C3"), "/d/tres.txt");
}

TEST(MonitorIdentities, askingForThemStopsAtOnceWhenTheLoadIsGivenUp)
{
    // A disk that gives the load up while answering its third question, as closing the catalog does.
    struct GivingUpDisk : FakeDisk {
        mutable std::atomic<bool> stop{false};
        mutable int asked = 0;
        FileIdentity identify(const std::string& path) const override
        {
            stop = stop || ++asked == 3;
            return FakeDisk::identify(path);
        }
    } disk;
    std::vector<IndexedDocument> documents;
    for (const char* id : {"D1!C1", "D1!C2", "D1!C3", "D1!C4", "D1!C5", "D1!C6"}) {
        documents.push_back({id, std::string("/d/") + id});
        disk.add(documents.back().path);
    }
    ChangeMonitor monitor(disk, [] { return MonitorClock::time_point{}; });
    monitor.load(documents);
    EXPECT_FALSE(monitor.rememberIdentities(&disk.stop));
    EXPECT_EQ(disk.asked, 3);
    disk.stop = false;
    disk.asked = 100;
    EXPECT_TRUE(monitor.rememberIdentities(&disk.stop));
    EXPECT_EQ(disk.asked, 100 + 6 + 2); // every document, then the folders "/" and "/d"
}

TEST(MinuteCounter, writesOnTheIntervalsTickThenWaitsForTheNextChangeAndNeverRunsOver)
{
    MinuteCounter every3(3);
    EXPECT_EQ(every3.firstDelay(), 1000ms);
    EXPECT_FALSE(every3.tick().write);
    const MinuteCounter::Tick second = every3.tick();
    EXPECT_TRUE(!second.write && second.running && second.next == 1min);
    const MinuteCounter::Tick third = every3.tick();
    EXPECT_TRUE(third.write && !third.running);
    EXPECT_EQ(every3.count(), 0);
    EXPECT_EQ(every3.firstDelay(), 1ms);

    MinuteCounter never(0); // an interval the count cannot reach
    for (int i = 0; i < 40000; ++i)
        ASSERT_FALSE(never.tick().write);
    EXPECT_EQ(never.count(), MinuteCounter::kLimit);
}

} // namespace
} // namespace quillory::test
