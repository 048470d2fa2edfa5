// The folder and index editors' work on the store: what they read, what they write to disk, and
// what they refuse.
#include <gtest/gtest.h>

#include <regex>

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
    qlrDbOpe& store = fx.core->store;
};

TEST_F(FolderEditing, fieldsShowTheStoredFolderWithItsParentsNameAndPassword)
{
    const FolderFields top = folderFieldsOf(store, "D1");
    EXPECT_EQ(top.dirName, "Work");
    EXPECT_EQ(top.parentName, "");
    EXPECT_TRUE(top.needPwd);
    EXPECT_EQ(top.pwd, "secret");
    const FolderFields child = folderFieldsOf(store, "D2");
    EXPECT_EQ(child.parentDirId, "D1");
    EXPECT_EQ(child.parentName, "Work");
    EXPECT_EQ(folderFieldsOf(store, "").dirId, "");
    EXPECT_EQ(newFolderFields(store, "D2").parentName, "Projects");
    EXPECT_EQ(newFolderFields(store, "0").parentName, "");
}

TEST_F(FolderEditing, addWritesTrimmedFolderWithItsIndexFile_childAndTopLevel)
{
    FolderFields child = newFolderFields(store, "D2");
    child.dirName = "  Reports  ";
    child.description = "\n yearly \n";
    EXPECT_EQ(addDirFromPanel(store, fx.core->files, child), "D4");
    FolderFields top = newFolderFields(store, "0");
    top.dirName = "";
    top.needPwd = true;
    top.pwd = " pw ";
    EXPECT_EQ(addDirFromPanel(store, fx.core->files, top), "D5");
    EXPECT_NE(folderFile().find("D4|Reports|D2|||False||yearly"), std::string::npos) << folderFile();
    EXPECT_NE(folderFile().find("D5||0|||True| pw |\r\n"), std::string::npos) << folderFile();
    EXPECT_TRUE(pathExists(fx.contentFile("D4")));
    EXPECT_TRUE(pathExists(fx.contentFile("D5")));
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(FolderEditing, updateKeepsIdIconAndPasswordUntouched_clearingTheFlagDropsThePassword)
{
    FolderFields fields = folderFieldsOf(store, "D1");
    fields.dirName = "Work and play";
    ASSERT_EQ(updateFolder(store, fields), FolderUpdate::Written);
    EXPECT_NE(folderFile().find("D1|Work and play|0|icon.gif|D1.qlr|True|secret|desc"), std::string::npos) << folderFile();

    fields.needPwd = false;
    ASSERT_EQ(updateFolder(store, fields), FolderUpdate::Written);
    EXPECT_NE(folderFile().find("D1|Work and play|0|icon.gif|D1.qlr|False||desc"), std::string::npos) << folderFile();

    fields.parentDirId = " ";
    EXPECT_EQ(updateFolder(store, fields), FolderUpdate::Skipped);
    fields.dirId = "";
    EXPECT_EQ(updateFolder(store, fields), FolderUpdate::Skipped);
}

TEST_F(FolderEditing, failedUpdateLeavesFileAndCacheAsTheyWere)
{
    const std::string before = folderFile();
    FolderFields fields = folderFieldsOf(store, "D3");
    fields.dirName = "Renamed";
    std::filesystem::remove_all(fx.catalogFolder() + "/idx");
    std::filesystem::rename(fx.dirFile(), fx.dir / "moved.qlr");
    std::filesystem::remove_all(fx.catalogFolder());
    EXPECT_EQ(updateFolder(store, fields), FolderUpdate::Failed);
    EXPECT_EQ(store.getQlrDirById("D3")->dirName, "Empty");
    EXPECT_EQ(fx.recorder.shown.size(), 1u);
    EXPECT_EQ(readBytes(fx.dir / "moved.qlr"), before);
}

TEST_F(FolderEditing, deleteRefusesFoldersWithIndexesOrSubfolders_andAsksBeforeDeletingAnEmptyOne)
{
    fx.recorder.answers = {MsgAnswer::Ok};
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D2"), FolderDeletion::HoldsIndexes);
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D1"), FolderDeletion::HasSubfolders);
    fx.recorder.answers = {MsgAnswer::No};
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::Declined);
    EXPECT_TRUE(pathExists(fx.contentFile("D3")));
    fx.recorder.answers = {MsgAnswer::Yes};
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::Deleted);
    EXPECT_EQ(fx.recorder.keys(), (std::vector<std::string>{"Msg002", "Msg003", "Msg004", "Msg004"}));
    EXPECT_EQ(folderFile().find("D3|"), std::string::npos);
    EXPECT_FALSE(pathExists(fx.contentFile("D3")));
    EXPECT_EQ(store.getQlrDirById("D3"), nullptr);
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::Skipped);
}

TEST_F(FolderEditing, folderWhoseIndexFileCannotBeReadIsNotDeleted)
{
    // Only damaged lines: no index could be read, but the file holds something.
    writeBytes(fx.contentFile("D3"), "not an index line\r\n");
    fx.recorder.answers = {MsgAnswer::Yes};
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::HoldsIndexes);
    EXPECT_TRUE(pathExists(fx.contentFile("D3")));
    EXPECT_EQ(fx.recorder.keys(), (std::vector<std::string>{"Msg002"}));
}

class IndexEditing : public FolderEditing {};

TEST_F(IndexEditing, addStoresTrimmedFieldsWithTheRootReplacedAndTimeInOneLocalForm)
{
    IndexFields fields;
    fields.title = "  Budget ";
    fields.path = " " + fx.dir / "docs/budget.txt" + " ";
    fields.description = "line one\nline two\n";
    EXPECT_EQ(addIndexFromPanel(store, "D1", fields), "D1!C1");
    const std::string file = readBytes(fx.contentFile("D1"));
    const std::regex line(R"(D1!C1\|Budget\|QLRR\$/docs/budget\.txt\|False\|\|\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\|line one)");
    EXPECT_TRUE(std::regex_search(file, line)) << file;
    EXPECT_EQ(indexFieldsOf(store, "D1", "D1!C1").path, fx.dir / "docs/budget.txt");
    EXPECT_EQ(indexFieldsOf(store, "D1", "D1!C1").description, "line one\nline two");
}

TEST_F(IndexEditing, updateRenewsTheTimeKeepsThePassword_andTellsWhetherTheListChanges)
{
    writeBytes(fx.contentFile("D1"), "D1!C1|Plan|QLRR$/plan.txt|True|pw|2001-01-01 00:00:00|old\r\n");
    IndexFields fields = indexFieldsOf(store, "D1", "D1!C1");
    EXPECT_TRUE(fields.needPwd);
    fields.description = "new";
    const IndexUpdate descOnly = updateIndexFromPanel(store, "D1", fields);
    EXPECT_TRUE(descOnly.written);
    EXPECT_FALSE(descOnly.titleOrPathChanged);
    const std::string file = readBytes(fx.contentFile("D1"));
    EXPECT_NE(file.find("D1!C1|Plan|QLRR$/plan.txt|True|pw|"), std::string::npos) << file;
    EXPECT_EQ(file.find("2001-01-01"), std::string::npos);
    EXPECT_NE(file.find("|new\r\n"), std::string::npos);

    fields.title = "Plan B";
    EXPECT_TRUE(updateIndexFromPanel(store, "D1", fields).titleOrPathChanged);
    fields.path = fx.dir / "other.txt";
    EXPECT_TRUE(updateIndexFromPanel(store, "D1", fields).titleOrPathChanged);
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C1")->cTitle(), "Plan B");
}

TEST_F(IndexEditing, failedUpdateLeavesTheCachedIndexAsItWas)
{
    writeBytes(fx.contentFile("D1"), "D1!C1|Plan|QLRR$/plan.txt|False||2001-01-01 00:00:00|old\r\n");
    IndexFields fields = indexFieldsOf(store, "D1", "D1!C1");
    fields.title = "Changed";
    std::filesystem::remove_all(fx.catalogFolder() + "/idx");
    EXPECT_FALSE(updateIndexFromPanel(store, "D1", fields).written);
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C1")->cTitle(), "Plan");
    EXPECT_EQ(fx.recorder.shown.size(), 1u);
}

} // namespace
} // namespace quillory::test
