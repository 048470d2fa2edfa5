// The folder and index editors' work on the store where the panels' own suites cannot reach it:
// what is kept that the editor does not show, and files that could not be read (failed writes are
// in the data-safety tests).
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

// What the folder editor shows and a password kept or dropped are walked through in the panels' suite.
TEST_F(FolderEditing, updateKeepsIdIconAndContentFileUntouched_withoutAnIdOrParentItIsSkipped)
{
    FolderFields fields = folderFieldsOf(store, fx.core->messages, "D1");
    fields.dirName = "Work and play";
    ASSERT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Written);
    EXPECT_TRUE(fileHolds(fx.dirFile(), "D1|Work and play|0|icon.gif|D1.qlr|True|secret|desc")) << folderFile();

    fields.parentDirId = " ";
    EXPECT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Skipped);
    fields.dirId = "";
    EXPECT_EQ(updateFolder(store, fx.core->messages, fields), FolderUpdate::Skipped);
}

// An index file of damaged lines only, or a folder where the file belongs: no index could be read,
// but it may hold anything. Why the folder stays, and any question, is the window's to tell.
TEST_F(FolderEditing, folderWhoseIndexFileCannotBeRead_isNotDeletedNeitherTheFirstTimeNorTheNext)
{
    writeBytes(fx.contentFile("D3"), "not an index line\r\n");
    EXPECT_EQ(folderDeletable(store, fx.core->messages, "D3"), FolderDeletion::HoldsIndexes);
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::HoldsIndexes);
    EXPECT_TRUE(pathExists(fx.contentFile("D3")));
    EXPECT_TRUE(fx.recorder.shown.empty());

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

} // namespace
} // namespace quillory::test
