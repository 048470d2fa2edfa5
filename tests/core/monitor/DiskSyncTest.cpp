#include <gtest/gtest.h>

#include <map>

#include "core/monitor/DiskSync.h"
#include "core/monitor/StoreSyncCatalog.h"
#include "core/monitor/SyncPlan.h"
#include "core/monitor/SyncUndo.h"
#include "support/FakeDisk.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

// A catalog as a table of index ids and paths, telling which folders were written.
struct TableCatalog : SyncCatalog {
    std::map<std::string, std::string> paths;
    std::vector<std::string> written;

    std::optional<std::string> indexPath(const std::string& folderId, const std::string& indexId) override
    {
        const auto found = paths.find(indexId);
        EXPECT_EQ(folderId, indexId.substr(0, indexId.find('!')));
        return found == paths.end() ? std::nullopt : std::optional(found->second);
    }
    void setIndexPath(const std::string&, const std::string& indexId, const std::string& path) override
    {
        paths[indexId] = path;
    }
    void removeIndex(const std::string&, const std::string& indexId) override { paths.erase(indexId); }
    StoreOutcome writeFolder(const std::string& folderId) override
    {
        written.push_back(folderId);
        return folderId == "D7" ? StoreOutcome::failure("Err009", "D7.qlr") : StoreOutcome{};
    }
};

TEST(DiskSync, theLastLineOfEachIndexCountsInTheOrderOfTheLastLines)
{
    EXPECT_EQ(reduceMonitorRecords({"D1!C1|/a|/b", "", "D2!C1|/c|", "D1!C1|/a|/z", "D3!C1"}),
              (std::vector<PendingChange>{{"D2!C1", "/c", ""}, {"D1!C1", "/a", "/z"}, {"D3!C1", "", ""}}));
}

// The whole synchronisation at once (what each record does is the plan's, below): a path of
// another letter case is no match, each changed folder is written once, and a failed write is told.
TEST(DiskSync, appliesEveryLineOfThePlan_writesEachChangedFolder_aFailedWriteIsTold)
{
    FakeDisk disk;
    for (const char* path : {"/h/a2.txt", "/h/d.txt", "/h/g2.txt"})
        disk.add(path);
    TableCatalog catalog;
    catalog.paths = {{"D1!C1", "/h/a.txt"},
                     {"D2!C1", "/h/c.txt"},
                     {"D2!C2", "/h/d.txt"},
                     {"D3!C1", "/h/E.txt"},
                     {"D7!C1", "/h/g.txt"}};
    const SyncResult result = synchroniseWithDisk({"D2!C1|/h/c.txt|", "D1!C1|/h/a.txt|/h/a2.txt", "D2!C2|/h/d.txt|",
                                                   "D3!C1|/h/e.txt|", "D9!C1|/h/x.txt|", "D7!C1|/h/g.txt|/h/g2.txt"},
                                                  catalog, disk);
    EXPECT_EQ(result.applied, 3);
    EXPECT_EQ(result.dropped, 1);
    EXPECT_EQ(result.stale, 2);
    EXPECT_EQ(catalog.written, (std::vector<std::string>{"D2", "D1", "D7"}));
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems.all()[0].key, "Err009");
    EXPECT_EQ(catalog.paths,
              (std::map<std::string, std::string>{
                  {"D1!C1", "/h/a2.txt"}, {"D2!C2", "/h/d.txt"}, {"D3!C1", "/h/E.txt"}, {"D7!C1", "/h/g2.txt"}}));
}

TEST(SyncPlan, eachRecordGetsTheLineOfWhatItWillDo_andOnlyTheTickedLinesChangeTheCatalog)
{
    FakeDisk disk;
    for (const char* path : {"/h/a2.txt", "/h/c.txt", "/h/e.txt", "/h/f2.txt", "/h/h2.txt"})
        disk.add(path);
    disk.unmounted = {"/media/usb"};
    TableCatalog catalog;
    catalog.paths = {{"D1!C1", "/h/a.txt"},         {"D1!C2", "/h/b.txt"}, {"D1!C3", "/h/c.txt"},
                     {"D1!C4", "/h/h.txt"},         {"D2!C1", "/h/d.txt"}, {"D2!C2", "/h/e.txt"},
                     {"D2!C3", "/media/usb/g.txt"}, {"D3!C1", "/h/f.txt"}};
    const std::map<std::string, std::string> before = catalog.paths;
    SyncPlan plan = planSynchronisation({"D1!C1|/h/a.txt|/h/a2.txt", "D1!C2|/h/b.txt|", "D1!C3|/h/c.txt|",
                                         "D2!C1|/h/d.txt|/h/d2.txt", "D2!C2|/h/e.txt|/h/e.txt",
                                         "D2!C3|/media/usb/g.txt|", "D3!C1|/h/f.txt|/h/f2.txt", "D9!C1|/h/x.txt|",
                                         "D1!C4|/h/h.txt|/h/h2.txt"},
                                        catalog, disk);
    using K = SyncLineKind;
    std::vector<std::pair<K, std::string>> kinds;
    for (const SyncLine& line : plan.lines)
        kinds.emplace_back(line.kind, captionKeyOf(line));
    EXPECT_EQ(kinds, (std::vector<std::pair<K, std::string>>{{K::Moved, "MF_SyncPreview_Moved"},
                                                             {K::Deleted, "MF_SyncPreview_Deleted"},
                                                             {K::Kept, "MF_SyncPreview_Kept"},
                                                             {K::Kept, "MF_SyncPreview_KeptNoTarget"},
                                                             {K::Kept, "MF_SyncPreview_Kept"},
                                                             {K::Offline, "MF_SyncPreview_Offline"},
                                                             {K::Moved, "MF_SyncPreview_Moved"},
                                                             {K::Moved, "MF_SyncPreview_Moved"}}));
    EXPECT_EQ(plan.lines[0].change, (PendingChange{"D1!C1", "/h/a.txt", "/h/a2.txt"}));
    EXPECT_EQ(plan.stale, 1);         // D9!C1: no such index
    EXPECT_EQ(catalog.paths, before); // planning changes nothing
    EXPECT_TRUE(catalog.written.empty());

    plan.lines[1].ticked = false; // the deletion of b
    plan.lines[6].ticked = false; // the move of f
    disk.remove("/h/h2.txt");     // gone again while the plan was on show
    const SyncApplied applied = applySyncPlan(plan, catalog, disk);
    EXPECT_EQ(applied.applied, (std::vector<PendingChange>{{"D1!C1", "/h/a.txt", "/h/a2.txt"}}));
    EXPECT_EQ(applied.changedFolders, std::vector<std::string>{"D1"});
    EXPECT_EQ(applied.dropped, 3);
    EXPECT_EQ(applied.stillPending, (std::vector<PendingChange>{{"D1!C2", "/h/b.txt", ""},
                                                                {"D2!C3", "/media/usb/g.txt", ""},
                                                                {"D3!C1", "/h/f.txt", "/h/f2.txt"},
                                                                {"D1!C4", "/h/h.txt", "/h/h2.txt"}}));
    std::map<std::string, std::string> expected = before;
    expected["D1!C1"] = "/h/a2.txt";
    EXPECT_EQ(catalog.paths, expected);
}

// Sync on a real catalog with one line unticked, then undone; then synchronised again and undone
// after a later edit of one of its files, which Undo refuses.
TEST(SyncUndo, putsTheIndexFilesBackExactly_andTheirRecordsPending_butNotOverALaterChange)
{
    CoreFixture fx;
    CatalogStore& store = fx.core->store;
    const std::string docs = fx.dir / "docs";
    writeBytes(docs + "/a2.txt", "x");
    writeBytes(docs + "/c2.txt", "x");
    StoreProblems problems;
    for (const char* folder : {"D1", "D2", "D3"}) {
        writeBytes(fx.contentFile(folder), crlfText({std::string(folder) + "!C1|T||False||2024-3-1 10:00:00|"}));
        auto map = store.getDirContentMap(folder, problems);
        map->getValueByKey(std::string(folder) + "!C1")->setCContentPath(docs + "/" + folder + ".txt");
        ASSERT_TRUE(store.writeAllQlrDbDirContent(folder, FILE_OUTPUT, *map));
    }
    const std::string pendingFile = fx.core->layout.getTempContentFilePath();
    const std::vector<std::string> records = {"D1!C1|" + docs + "/D1.txt|" + docs + "/a2.txt",  // moved
                                              "D2!C1|" + docs + "/D2.txt|",                     // deleted
                                              "D3!C1|" + docs + "/D3.txt|" + docs + "/c2.txt"}; // unticked
    writeBytes(pendingFile, crlfText(records));
    std::map<std::string, std::string> before;
    for (const char* folder : {"D1", "D2", "D3"})
        before[folder] = readBytes(fx.contentFile(folder));
    RealDisk disk;
    const auto sync = [&](SyncUndo& undo, bool untickLast) {
        SyncPlan plan = planPendingFile(fx.core->files, store, pendingFile, disk, problems);
        EXPECT_EQ(plan.lines.size(), 3u);
        plan.lines.back().ticked = !untickLast;
        return applyPendingPlan(fx.core->files, store, pendingFile, plan, disk, &undo);
    };

    // The undo folder cannot be made (a file is in its way): nothing changes.
    writeBytes(fx.dir / "blocker", "");
    SyncUndo blocked(store.fileIo(), fx.dir / "blocker/undo");
    const SyncResult refused = sync(blocked, true);
    EXPECT_TRUE(refused.notApplied);
    ASSERT_EQ(refused.problems.size(), 1u);
    EXPECT_EQ(refused.problems.all()[0].key, "Err036");
    EXPECT_EQ(readBytes(fx.contentFile("D1")), before["D1"]);
    EXPECT_EQ(readBytes(pendingFile), crlfText(records));

    // Applied with the last line unticked, then undone (the windows' suite walks this through
    // with one folder): every file back byte for byte, the applied records pending again first.
    SyncUndo undo(store.fileIo(), fx.dir / "state/undo");
    EXPECT_EQ(sync(undo, true).applied, 2);
    EXPECT_EQ(readBytes(pendingFile), crlfText({records[2]}));
    // A later synchronisation that ends up writing nothing leaves this undo as it is.
    ASSERT_TRUE(undo.keepAside({fx.contentFile("D3")}));
    EXPECT_TRUE(undo.seal({}, {}));
    EXPECT_TRUE(undoLastSynchronisation(fx.core->files, store, pendingFile, undo).outcome);
    for (const char* folder : {"D1", "D2", "D3"})
        EXPECT_EQ(readBytes(fx.contentFile(folder)), before[folder]) << folder;
    EXPECT_EQ(readBytes(pendingFile), crlfText(records));
    EXPECT_EQ(undoLastSynchronisation(fx.core->files, store, pendingFile, undo).outcome.key, "Msg031");

    // Synchronised again, every line; then D2's file changed by a later edit.
    EXPECT_EQ(sync(undo, false).applied, 3);
    const std::string d1Synced = readBytes(fx.contentFile("D1"));
    auto added = fx.newIndex("D2!C2");
    added->setCContentPath(docs + "/new.txt");
    ASSERT_TRUE(store.writeAddQlrDbDirContent("D2", added));
    const SyncUndo::Restore refusedUndo = undoLastSynchronisation(fx.core->files, store, pendingFile, undo);
    EXPECT_EQ(refusedUndo.outcome.key, "Err037");
    EXPECT_EQ(refusedUndo.outcome.path, fx.contentFile("D2"));
    EXPECT_EQ(readBytes(fx.contentFile("D1")), d1Synced); // none put back
    EXPECT_TRUE(fileHolds(fx.contentFile("D2"), "new.txt"));
    EXPECT_EQ(readBytes(pendingFile), "");
    EXPECT_TRUE(undo.isKept());
}

} // namespace
} // namespace quillory::test
