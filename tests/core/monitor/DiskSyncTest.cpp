#include <gtest/gtest.h>

#include <map>

#include "core/monitor/DiskSync.h"
#include "core/monitor/StoreSyncCatalog.h"
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

TEST(DiskSync, aRecordAppliesOnlyWhereTheCatalogAndTheDiskAgree)
{
    FakeDisk disk;
    for (const char* path : {"/h/a2.txt", "/h/d.txt", "/h/g2.txt"})
        disk.add(path);
    disk.unmounted = {"/media/usb"};
    TableCatalog catalog;
    catalog.paths = {{"D1!C1", "/h/a.txt"}, {"D1!C2", "/h/b.txt"},         {"D2!C1", "/h/c.txt"}, {"D2!C2", "/h/d.txt"},
                     {"D3!C1", "/h/E.txt"}, {"D4!C1", "/media/usb/f.txt"}, {"D7!C1", "/h/g.txt"}};
    const SyncResult result = synchroniseWithDisk(
        {
            "D2!C1|/h/c.txt|",          // deleted, and gone: applies
            "D1!C1|/h/a.txt|/h/a2.txt", // renamed, and there: applies
            "D1!C2|/h/b.txt|/h/b2.txt", // renamed, but nothing at the new path
            "D2!C2|/h/d.txt|",          // "deleted", but still there (written anew)
            "D3!C1|/h/e.txt|",          // the index's path differs (in letter case)
            "D9!C1|/h/x.txt|",          // no such index
            "D4!C1|/media/usb/f.txt|",  // its volume is not mounted
            "D7!C1|/h/g.txt|/h/g2.txt", // applies, but the folder cannot be written
        },
        catalog, disk);

    EXPECT_EQ(result.applied, 3);
    EXPECT_EQ(result.dropped, 2);
    EXPECT_EQ(result.stale, 2);
    EXPECT_EQ(result.keptPending, (std::vector<PendingChange>{{"D4!C1", "/media/usb/f.txt", ""}}));
    EXPECT_EQ(catalog.written, (std::vector<std::string>{"D2", "D1", "D7"}));
    ASSERT_EQ(result.problems.size(), 1u);
    EXPECT_EQ(result.problems.all()[0].key, "Err009");
    EXPECT_EQ(catalog.paths, (std::map<std::string, std::string>{{"D1!C1", "/h/a2.txt"},
                                                                 {"D1!C2", "/h/b.txt"},
                                                                 {"D2!C2", "/h/d.txt"},
                                                                 {"D3!C1", "/h/E.txt"},
                                                                 {"D4!C1", "/media/usb/f.txt"},
                                                                 {"D7!C1", "/h/g2.txt"}}));
}

TEST(DiskSync, theStoresIndexFilesTakeTheAppliedRecords)
{
    CoreFixture fx;
    const std::string a = fx.dir / "docs/a.txt", moved = fx.dir / "docs/moved.txt", c = fx.dir / "docs/c.txt";
    writeBytes(moved, "x");
    writeBytes(fx.contentFile("D1"),
               crlfText({"D1!C1|A||False||2024-3-1 10:00:00|", "D1!C2|C||False||2024-3-1 10:00:00|"}));
    StoreProblems problems;
    auto map = fx.core->store.getDirContentMap("D1", problems);
    map->getValueByKey("D1!C1")->setCContentPath(a);
    map->getValueByKey("D1!C2")->setCContentPath(c);
    ASSERT_TRUE(fx.core->store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *map));

    struct RealDisk : FakeDisk {
        bool exists(const std::string& path) const override { return pathExists(path); }
    } disk;
    StoreSyncCatalog catalog(fx.core->store);
    const SyncResult result = synchroniseWithDisk({"D1!C1|" + a + "|" + moved, "D1!C2|" + c + "|"}, catalog, disk);
    EXPECT_EQ(result.applied, 2);
    EXPECT_TRUE(result.problems.empty() && catalog.readProblems().empty());

    fx.core->store.resetStoreCache();
    map = fx.core->store.getDirContentMap("D1", problems);
    EXPECT_EQ(map->getKeyCol(), std::vector<std::string>{"D1!C1"});
    EXPECT_EQ(map->getValueByKey("D1!C1")->cContentPath(), moved);
}

} // namespace
} // namespace quillory::test
