#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Keys = std::vector<std::string>;

class IndexStore : public ::testing::Test {
protected:
    Keys found(bool inDescription, const Keys& dirIds, std::string_view text)
    {
        ContentCollection result;
        if (inDescription)
            store.getDirContentByDesc(dirIds, text, result, fx.told());
        else
            store.getDirContentByTitle(dirIds, text, result, fx.told());
        return result.keys();
    }

    CoreFixture fx;
    CatalogStore& store = fx.core->store;
};

// Malformed lines are in the data-safety tests (a damaged file's first rewrite).
TEST_F(IndexStore, newDirContentId_takesTheSmallestFreeNumberOfThatFolder)
{
    EXPECT_EQ(store.getNewDirContentId("D3", fx.told()), "D3!C1");
    writeBytes(fx.contentFile("D2"), docLine("D2!C1", "a") + docLine("D20!C2", "b") + docLine("D2!C3", "c"));
    EXPECT_EQ(store.getNewDirContentId("D2", fx.told()), "D2!C2");
    EXPECT_EQ(store.getNewDirContentId("D20", fx.told()), "D20!C1");
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(IndexStore, titleAndDescriptionSearch_ignoreCaseAndKeepFolderThenFileOrder_skippingWhatIsInTheResult)
{
    // Two folders whose files list their indexes out of id order.
    writeBytes(fx.contentFile("D1"), indexLine("D1!C2", "Tax report", "", "ÄRGER im Büro") + docLine("D1!C1", "X-ray"));
    writeBytes(fx.contentFile("D2"), indexLine("D2!C1", "Box", "", "ärger") + docLine("D2!C2", "Other"));
    EXPECT_EQ(found(false, {"D1", "D2"}, "REP"), Keys{"D1!C2"});
    EXPECT_EQ(found(false, {"D2", "D1"}, "x"), (Keys{"D2!C1", "D1!C2", "D1!C1"}));
    EXPECT_EQ(found(true, {"D1", "D2"}, "ärger"), (Keys{"D1!C2", "D2!C1"}));
    EXPECT_EQ(found(true, {"D1", "D2"}, "ÄRGER"), (Keys{"D1!C2", "D2!C1"}));
    EXPECT_EQ(found(true, {"D1", "D2"}, "bÜRO"), Keys{"D1!C2"});
    EXPECT_EQ(found(true, {"D1", "D2"}, "arger"), Keys{});
    EXPECT_EQ(found(false, {"D1", "D2"}, ""), (Keys{"D1!C2", "D1!C1", "D2!C1", "D2!C2"}));
    EXPECT_EQ(found(false, {"D1", "D1", "D9"}, ""), (Keys{"D1!C2", "D1!C1"}));
    EXPECT_TRUE(fx.recorder.shown.empty());

    // An index already in the result is skipped by searches, and stops the listing.
    const auto earlier = std::make_shared<IndexRecord>();
    ContentCollection searched;
    searched.add("D1!C2", earlier);
    store.getDirContentByTitle({"D1", "D2"}, "", searched, fx.told());
    EXPECT_EQ(searched.keys(), (Keys{"D1!C2", "D1!C1", "D2!C1", "D2!C2"}));
    EXPECT_EQ(searched.get("D1!C2"), earlier);

    ContentCollection all;
    store.getDirContentByIdS({"D1", "D2"}, all, fx.told());
    EXPECT_EQ(all.keys(), (Keys{"D1!C2", "D1!C1", "D2!C1", "D2!C2"}));
    EXPECT_EQ(all.get("D2!C1"), store.getQlrDirContentById("D2", "D2!C1", fx.told()));

    ContentCollection listed;
    listed.add("D1!C1", earlier);
    store.getDirContentByIdS({"D1", "D2"}, listed, fx.told());
    EXPECT_EQ(listed.keys(), (Keys{"D1!C1", "D1!C2"}));
}

TEST_F(IndexStore, pathSearch_readsTheFileOrTheProviderAndMatchesThePathWithItsRoot)
{
    writeBytes(fx.contentFile("D3"), indexLine("D3!C1", "doc", "QLRR$/docs/Report.pdf")
                                         + indexLine("D3!C2", "web", "https://example.org/report"));
    const std::string rootName = std::filesystem::path(fx.programFolder()).filename().string();
    ContentCollection result;
    store.getDirContentByPath({"D3"}, rootName + "/DOCS", nullptr, result, fx.told());
    EXPECT_EQ(result.keys(), Keys{"D3!C1"});

    // Without a provider the file is read, not the cache.
    const auto cached = store.getQlrDirContentById("D3", "D3!C1", fx.told());
    cached->setCContentPath("/elsewhere/x.txt");
    ContentCollection fromFile;
    store.getDirContentByPath({"D3"}, "report.pdf", nullptr, fromFile, fx.told());
    ASSERT_EQ(fromFile.keys(), Keys{"D3!C1"});
    EXPECT_NE(fromFile.get("D3!C1"), cached);

    Keys asked;
    ContentCollection provided;
    store.getDirContentByPath(
        {"D8", "D7"}, "/p/Q",
        [&](const std::string& dirId, IndexMap& map) {
            asked.push_back(dirId);
            auto index = store.newContentRecord();
            index->setCId(dirId + "!C1");
            index->setCContentPath(fx.programFolder() + (dirId == "D7" ? "/P/q.txt" : "/r.txt"));
            map.addMap(std::string(index->cId()), index);
        },
        provided, fx.told());
    EXPECT_EQ(asked, (Keys{"D8", "D7"}));
    EXPECT_EQ(provided.keys(), Keys{"D7!C1"});
}

TEST_F(IndexStore, addIndex_appendsItsLineAndCachesTheVeryRecord)
{
    const std::string root = fx.programFolder();
    const std::string first = "D2!C1|Old|" + root + "/a.txt|False||t|d";
    writeBytes(fx.contentFile("D2"), first); // no line end after the last line
    auto index = store.newContentRecord();
    index->setCId(store.getNewDirContentId("D2", fx.told()));
    index->setCTitle("New|x");
    index->setCContentPath(root + "/docs/b|c.txt");
    index->setNeedPwd("True");
    index->setAddTime("2024-3-1 10:00:00");
    index->setCDesc("a\rb_#_c");
    EXPECT_TRUE(fx.told(store.writeAddQlrDbDirContent("D2", index)));
    const std::string added = "D2!C2|New_#!_x|QLRR$/docs/b_#!_c.txt|True||2024-3-1 10:00:00|a_#_b_#=__c\r\n";
    EXPECT_EQ(readBytes(fx.contentFile("D2")), first + "\r" + added);
    EXPECT_EQ(store.getQlrDirContentById("D2", "D2!C2", fx.told()), index);

    writeBytes(fx.contentFile("D3"), docLine("D3!C1", "t")); // not cached yet
    auto uncached = fx.newIndex("D3!C2");
    EXPECT_TRUE(fx.told(store.writeAddQlrDbDirContent("D3", uncached)));
    EXPECT_EQ(store.getQlrDirContentById("D3", "D3!C2", fx.told()), uncached);
    EXPECT_EQ(store.getDirContentMap("D3", fx.told())->getKeyCol(), (Keys{"D3!C1", "D3!C2"}));

    // The root written out in full in the first line is taken back to the placeholder.
    EXPECT_TRUE(fx.told(store.writeAllQlrDbDirContent("D2", FILE_OUTPUT, *store.getDirContentMap("D2", fx.told()))));
    EXPECT_EQ(readBytes(fx.contentFile("D2")), "D2!C1|Old|QLRR$/a.txt|False||t|d\r\n" + added);
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(IndexStore, fullFolder_refusesANewIndexWithErr008AndAnOverlongFileIsNotRewritten)
{
    std::string bytes;
    for (int i = 1; i <= 32767; ++i)
        bytes += docLine("D1!C" + std::to_string(i), "t");
    writeBytes(fx.contentFile("D1"), bytes);
    EXPECT_EQ(store.getNewDirContentId("D1", fx.told()), "D1!C32768");
    auto index = fx.newIndex("D1!C32768");
    EXPECT_FALSE(fx.told(store.writeAddQlrDbDirContent("D1", index)));
    EXPECT_EQ(fx.recorder.keys(), Keys{"Err008"});
    EXPECT_EQ(readBytes(fx.contentFile("D1")), bytes);
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C32768", fx.told()), nullptr);
    // An index that is there already may still be written again.
    auto again = fx.newIndex("D1!C7", "replaced");
    EXPECT_TRUE(fx.told(store.writeAddQlrDbDirContent("D1", again)));
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C7", fx.told()), again);
    EXPECT_EQ(store.getDirContentMap("D1", fx.told())->getCount(), 32767);
    bytes = readBytes(fx.contentFile("D1"));

    bytes += docLine("D1!C32768", "t");
    writeBytes(fx.contentFile("D1"), bytes);
    store.resetStoreCache();
    const auto map = store.getDirContentMap("D1", fx.told());
    EXPECT_EQ(map->getCount(), 32767);
    EXPECT_FALSE(fx.told(store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *map)));
    EXPECT_EQ(fx.recorder.keys(), (Keys{"Err008", "Err006", "Err006"}));
    EXPECT_EQ(readBytes(fx.contentFile("D1")), bytes);
}

} // namespace
} // namespace quillory::test
