// The folder and index editors' work on the store where the panels' own suites cannot reach it:
// what is kept that the editor does not show, failed writes, and files that could not be read.
#include <gtest/gtest.h>

#include "core/catalog_window/editors/FolderEditing.h"
#include "core/catalog_window/editors/IndexEditing.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

class FolderEditing : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(fx.dirFile(), "D1|Work|0|icon.gif|D1.qlr|True|secret|desc\r\n"
                                 "D2|Projects|D1|||False||\r\n"
                                 "D3|Empty|D1|||False||\r\n");
        writeBytes(fx.contentFile("D1"), "");
        writeBytes(fx.contentFile("D2"), "D2!C1|Plan|QLRR$/plan.txt|False||2026-01-01 10:00:00|\r\n");
        writeBytes(fx.contentFile("D3"), "");
    }
    std::string folderFile() { return readBytes(fx.dirFile()); }

    CoreFixture fx;
    CatalogStore& store = fx.core->store;
};

TEST_F(FolderEditing, updateKeepsIdIconAndPasswordUntouched_clearingTheFlagDropsThePassword)
{
    FolderFields fields = folderFieldsOf(store, fx.core->messages, "D1");
    fields.dirName = "Work and play";
    ASSERT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Written);
    EXPECT_NE(folderFile().find("D1|Work and play|0|icon.gif|D1.qlr|True|secret|desc"), std::string::npos)
        << folderFile();

    fields.needPwd = false;
    ASSERT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Written);
    EXPECT_NE(folderFile().find("D1|Work and play|0|icon.gif|D1.qlr|False||desc"), std::string::npos) << folderFile();

    fields.parentDirId = " ";
    EXPECT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Skipped);
    fields.dirId = "";
    EXPECT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Skipped);
}

TEST_F(FolderEditing, failedUpdateLeavesFileAndCacheAsTheyWere)
{
    const std::string before = folderFile();
    FolderFields fields = folderFieldsOf(store, fx.core->messages, "D3");
    fields.dirName = "Renamed";
    std::filesystem::remove_all(fx.catalogFolder() + "/idx");
    std::filesystem::rename(fx.dirFile(), fx.dir / "moved.qlr");
    std::filesystem::remove_all(fx.catalogFolder());
    EXPECT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Failed);
    EXPECT_EQ(store.getQlrDirById("D3", fx.told())->dirName, "Empty");
    EXPECT_EQ(fx.recorder.shown.size(), 1u);
    EXPECT_EQ(readBytes(fx.dir / "moved.qlr"), before);
}

TEST_F(FolderEditing, folderWhoseIndexFileCannotBeReadIsNotDeleted_andTheUserIsNotAskedHere)
{
    // Only damaged lines: no index could be read, but the file holds something.
    writeBytes(fx.contentFile("D3"), "not an index line\r\n");
    EXPECT_EQ(folderDeletable(store, fx.core->messages, "D3"), FolderDeletion::HoldsIndexes);
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::HoldsIndexes);
    EXPECT_TRUE(pathExists(fx.contentFile("D3")));
    // Why it stays, and any question, is the window's to tell.
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(FolderEditing, folderWhoseIndexFileIsUnreadable_isNotDeletedNeitherTheFirstTimeNorTheNext)
{
    // A folder where the index file belongs: it cannot be read, and may hold anything.
    std::filesystem::remove(fx.contentFile("D3"));
    makeFolders(fx.contentFile("D3"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::HoldsIndexes)
            << attempt;
    }
    EXPECT_NE(folderFile().find("D3|Empty|D1|"), std::string::npos);
    EXPECT_TRUE(store.getQlrDirById("D3", fx.told()));
}

TEST_F(FolderEditing, indexPasswordFlagWrittenAsAnyBoolean_isKeptWhenTheIndexIsEdited)
{
    for (const char* flag : {"true", "TRUE", "1"}) {
        writeBytes(fx.contentFile("D1"),
                   std::string("D1!C1|Plan|QLRR$/plan.txt|") + flag + "|secret|2001-01-01 00:00:00|\r\n");
        store.resetStoreCache();
        IndexFields fields = indexFieldsOf(store, fx.core->messages, "D1", "D1!C1");
        EXPECT_TRUE(fields.needPwd) << flag;
        fields.title = "Changed";
        ASSERT_TRUE(updateIndexFromPanel(store, fx.core->messages, "D1", fields).written());
        EXPECT_NE(readBytes(fx.contentFile("D1")).find("D1!C1|Changed|QLRR$/plan.txt|True|secret|"), std::string::npos)
            << flag << ": " << readBytes(fx.contentFile("D1"));
    }
}

class DeletingFolders : public ::testing::Test {
protected:
    FailingIo io;
    CoreFixture fx{CoreFixture::defaultConfLines(), io};
    CatalogStore& store = fx.core->store;
};

TEST_F(DeletingFolders, aFailedWriteKeepsTheFolderInTheCacheAndItsIndexFile)
{
    writeBytes(fx.dirFile(), "D1|Work|0|||False||\r\nD2|Empty|0|||False||\r\n");
    writeBytes(fx.contentFile("D2"), "");
    store.resetStoreCache();
    io.failNth(Op::Rename, 1, ENOSPC);
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D2"), FolderDeletion::Failed);
    ASSERT_TRUE(store.getQlrDirById("D2", fx.told()));
    EXPECT_EQ(store.getAllDirMap(fx.told())->getKeyCol(), (std::vector<std::string>{"D1", "D2"}));
    EXPECT_TRUE(pathExists(fx.contentFile("D2")));
    EXPECT_EQ(readBytes(fx.dirFile()), "D1|Work|0|||False||\r\nD2|Empty|0|||False||\r\n");
}

class IndexEditing : public FolderEditing {};

TEST_F(IndexEditing, failedUpdateLeavesTheCachedIndexAsItWas)
{
    writeBytes(fx.contentFile("D1"), "D1!C1|Plan|QLRR$/plan.txt|False||2001-01-01 00:00:00|old\r\n");
    IndexFields fields = indexFieldsOf(store, fx.core->messages, "D1", "D1!C1");
    fields.title = "Changed";
    std::filesystem::remove_all(fx.catalogFolder() + "/idx");
    EXPECT_EQ(updateIndexFromPanel(store, fx.core->messages, "D1", fields).outcome, IndexSave::Failed);
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C1", fx.told())->cTitle(), "Plan");
    EXPECT_EQ(fx.recorder.shown.size(), 1u);
}

TEST_F(IndexEditing, aFolderOrIndexGoneMeanwhile_isNotWrittenTo)
{
    IndexFields fields;
    fields.title = "Late";
    EXPECT_EQ(addIndexFromPanel(store, fx.core->messages, "D9", fields).outcome, IndexSave::FolderGone);
    EXPECT_FALSE(pathExists(fx.contentFile("D9")));
    fields.cId = "D2!C7";
    EXPECT_EQ(updateIndexFromPanel(store, fx.core->messages, "D2", fields).outcome, IndexSave::IndexGone);
    EXPECT_EQ(readBytes(fx.contentFile("D2")), "D2!C1|Plan|QLRR$/plan.txt|False||2026-01-01 10:00:00|\r\n");
    const IndexAdd added = addIndexFromPanel(store, fx.core->messages, "D2", fields);
    EXPECT_EQ(added.outcome, IndexSave::Written);
    EXPECT_EQ(added.id, "D2!C2");
}

} // namespace
} // namespace quillory::test
