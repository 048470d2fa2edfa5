#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Keys = std::vector<std::string>;

class FolderStore : public ::testing::Test {
protected:
    Keys keysBelow(const std::string& parent, bool subtree)
    {
        FolderMap map;
        store.getQlrDirsByParentId(parent, subtree, map, fx.told());
        return map.getKeyCol();
    }

    CoreFixture fx;
    CatalogStore& store = fx.core->store;
};

TEST_F(FolderStore, newDirId_takesTheSmallestFreeNumber_andTheFileIsReadOnce)
{
    EXPECT_EQ(store.getNewDirId(fx.told()), "D1");
    store.resetStoreCache();
    // "D03" and "D4x" are not the numbers 3 and 4.
    writeBytes(fx.dirFile(), folderLine("D1", "0") + folderLine("D2", "0") + folderLine("D03", "0")
                                 + folderLine("D4x", "0") + folderLine("X3", "0") + folderLine("D4", "0"));
    EXPECT_EQ(store.getNewDirId(fx.told()), "D3");

    const auto cache = store.getAllDirMap(fx.told());
    writeBytes(fx.dirFile(), folderLine("D3", "0"));
    EXPECT_EQ(store.getAllDirMap(fx.told()), cache);
    // A new id is free in the file as another program left it; the cache follows the file.
    EXPECT_EQ(store.getNewDirId(fx.told()), "D1");
    EXPECT_EQ(cache->getKeyCol(), Keys{"D3"});
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(FolderStore, treeQueries_giveChildrenFirstThenEachChildsSubtree)
{
    writeBytes(fx.dirFile(), folderLine("D1", "0") + folderLine("D2", "D1") + folderLine("D3", "D1")
                                 + folderLine("D4", "D2") + folderLine("D5", "D3") + folderLine("D6", "D4"));
    EXPECT_EQ(keysBelow("0", true), (Keys{"D1", "D2", "D3", "D4", "D6", "D5"}));
    EXPECT_EQ(keysBelow("D1", false), (Keys{"D2", "D3"}));
    EXPECT_EQ(keysBelow("D2", true), (Keys{"D4", "D6"}));
    EXPECT_TRUE(keysBelow("d1", true).empty());

    FolderMap map;
    map.addMap("X", std::make_shared<FolderRecord>());
    store.getQlrDirsByParentId("D9", true, map, fx.told());
    store.getQlrDirsByParentId("D9", false, map, fx.told());
    EXPECT_EQ(map.getKeyCol(), Keys{"X"});
    store.getQlrDirsByParentId("D1", false, map, fx.told());
    EXPECT_EQ(map.getKeyCol(), (Keys{"X", "D2", "D3"}));

    Keys ids{"D3"};
    store.getDirIdsByParentId("0", true, ids, fx.told());
    EXPECT_EQ(ids, (Keys{"D3", "D1", "D2", "D4", "D6", "D5"}));
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(FolderStore, parentCycle_walksEveryFolderOnce_aChainOfThirtyTwoThousandIsWalkedWhole)
{
    writeBytes(fx.dirFile(), folderLine("D1", "0") + folderLine("D2", "D3") + folderLine("D3", "D2")
                                 + folderLine("D4", "D4") + folderLine("D5", "D2"));
    EXPECT_EQ(keysBelow("0", true), Keys{"D1"});
    EXPECT_EQ(keysBelow("D2", true), (Keys{"D3", "D5", "D2"}));
    EXPECT_EQ(keysBelow("D4", true), Keys{"D4"});
    Keys ids;
    store.getDirIdsByParentId("D3", true, ids, fx.told());
    EXPECT_EQ(ids, (Keys{"D2", "D3", "D5"}));

    std::string lines = folderLine("D1", "0");
    for (int i = 2; i <= 32000; ++i)
        lines += folderLine("D" + std::to_string(i), "D" + std::to_string(i - 1));
    writeBytes(fx.dirFile(), lines);
    store.resetStoreCache();
    const Keys below = keysBelow("0", true);
    ASSERT_EQ(below.size(), 32000u);
    EXPECT_EQ(below.back(), "D32000");
}

TEST_F(FolderStore, malformedLines_showOneErr003NamingEachLineAndKeepPartialFolders)
{
    writeBytes(fx.dirFile(), "D5|Notes|0\r\nD1|Good|0|||False||a_#_b\r\nD6|A|0|ic|cf|yes|pw|d\r\n"
                                 + folderLine("D2", "0") + folderLine("D1", "0", "Second"));
    const auto map = store.getAllDirMap(fx.told());
    ASSERT_EQ(map->getKeyCol(), (Keys{"D5", "D1", "D6", "D2"}));
    EXPECT_EQ(map->getValueByKey("D5")->dirName, "Notes");
    EXPECT_EQ(map->getValueByKey("D6")->contentFile, "cf");
    EXPECT_EQ(map->getValueByKey("D6")->pwd, "");
    EXPECT_EQ(map->getValueByKey("D1")->dirName, "Second"); // a later line replaces in place
    EXPECT_EQ(store.getNewDirId(fx.told()), "D3");
    ASSERT_EQ(fx.recorder.keys(), Keys{"Err003"});
    EXPECT_TRUE(fx.recorder.shown[0].text.ends_with(" : " + fx.dirFile() + ":1, 3")) << fx.recorder.shown[0].text;

    // Empty lines count in the numbers, as an editor numbers them.
    writeBytes(fx.dirFile(), "\r\n\r\nD5|Notes|0\r\n");
    store.resetStoreCache();
    store.getAllDirMap(fx.told());
    EXPECT_TRUE(fx.recorder.shown.back().text.ends_with(fx.dirFile() + ":3")) << fx.recorder.shown.back().text;
}

TEST_F(FolderStore, addFolder_endsAnUnterminatedLastLineAndCachesTheRecord)
{
    writeBytes(fx.dirFile(), "D1|A|0|||False||old");
    const auto added = std::make_shared<FolderRecord>(FolderRecord{"D2", "B|x", "D1", "l1\rl2", "", true, "p", ""});
    EXPECT_TRUE(fx.told(store.writeAddQlrDbDir(added)));
    EXPECT_EQ(readBytes(fx.dirFile()), "D1|A|0|||False||old\rD2|B_#!_x|D1|||True|p|l1_#_l2\r\n");
    EXPECT_EQ(store.getQlrDirById("D2", fx.told()), added);
    EXPECT_EQ(store.getAllDirMap(fx.told())->getKeyCol(), (Keys{"D1", "D2"}));

    store.resetStoreCache();
    const auto map = store.getAllDirMap(fx.told());
    ASSERT_EQ(map->getKeyCol(), (Keys{"D1", "D2"}));
    EXPECT_EQ(map->getValueByKey("D1")->dirDescription, "old");
    EXPECT_EQ(map->getValueByKey("D2")->dirName, "B|x");
    EXPECT_EQ(map->getValueByKey("D2")->dirDescription, "l1\rl2");
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(FolderStore, writeAll_rewritesWhatWasReadByteForByte)
{
    const std::string tail = "D3|\xC4rger _#=_ 100_#!_|D1||x.qlr|True|pw|\r\n";
    writeBytes(fx.dirFile(), "D1|Top|0|icon|D1.qlr|False||first_#_second\nthird\r\n" + folderLine("D2", "D1") + tail);
    const auto map = store.getAllDirMap(fx.told());
    ASSERT_EQ(map->getKeyCol(), (Keys{"D1", "D2", "D3"}));
    EXPECT_EQ(map->getValueByKey("D3")->dirName, "\xC4rger _# 100|");
    EXPECT_TRUE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *map)));
    EXPECT_EQ(readBytes(fx.dirFile()),
              "D1|Top|0|icon|D1.qlr|False||first_#_second\nthird\r\n" + folderLine("D2", "D1") + tail);

    map->removeMap("D2");
    map->getValueByKey("D1")->dirName = "New";
    EXPECT_TRUE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *map)));
    EXPECT_EQ(readBytes(fx.dirFile()), "D1|New|0|icon|D1.qlr|False||first_#_second\nthird\r\n" + tail);
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(FolderStore, unreadableFolderFile_isNotRewrittenFromWhatWasRead)
{
    makeFolders(fx.dirFile()); // a folder stands where the file should be
    const auto partial = store.getAllDirMap(fx.told());
    EXPECT_EQ(partial->getCount(), 0);
    store.getAllDirMap(fx.told());
    EXPECT_EQ(fx.recorder.keys(), Keys{"Err002"});

    std::filesystem::remove(fx.dirFile());
    writeBytes(fx.dirFile(), folderLine("D1", "0"));
    EXPECT_FALSE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *partial)));
    EXPECT_EQ(fx.recorder.keys(), (Keys{"Err002", "Err004"}));
    EXPECT_EQ(readBytes(fx.dirFile()), folderLine("D1", "0"));

    // Read whole again (the empty cache is read anew): it may be rewritten again.
    EXPECT_TRUE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *store.getAllDirMap(fx.told()))));
    EXPECT_EQ(readBytes(fx.dirFile()), folderLine("D1", "0"));
}

} // namespace
} // namespace quillory::test
