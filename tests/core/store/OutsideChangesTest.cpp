// Another program (a sync tool, a restored backup, a second editor) changes catalog files while
// the store holds them: whatever it wrote survives the user's next change, and no id repeats.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "core/catalog_window/CatalogEdits.h"
#include "core/catalog_window/editors/FolderEditing.h"
#include "core/catalog_window/editors/IndexEditing.h"
#include "core/store/TextSplit.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Keys = std::vector<std::string>;

void appendOutside(const std::string& path, const std::string& line)
{
    std::ofstream(path, std::ios::binary | std::ios::app) << line;
}

// The ids of a file's lines in file order, each as often as it occurs.
Keys idsIn(const std::string& path)
{
    Keys ids;
    forEachLine(readBytes(path), [&ids](std::string_view line) { ids.emplace_back(line.substr(0, line.find('|'))); });
    return ids;
}

class OutsideChanges : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|0|||False||\r\n");
        writeBytes(fx.contentFile("D1"), docLine("D1!C1", "a") + docLine("D1!C2", "b"));
        writeBytes(fx.contentFile("D2"), "");
        // What the window shows: both files read into the caches.
        store.getAllDirMap(fx.told());
        store.getDirContentMap("D1", fx.told());
        store.getDirContentMap("D2", fx.told());
    }
    bool deleteIndex(const std::string& id)
    {
        return deleteContents(
                   store, fx.core->messages, [](const std::string&) { return true; }, "D1", {id}, MsgAnswer::No)
               == 1;
    }

    CoreFixture fx;
    CatalogStore& store = fx.core->store;
};

TEST_F(OutsideChanges, anotherWriterAppends_thenEditDeleteAddFolderAndIndex_keepEveryOutsideRecordAndNoIdRepeats)
{
    const std::string d1 = fx.contentFile("D1");
    appendOutside(d1, docLine("D1!C3", "outside1"));
    IndexFields fields = indexFieldsOf(store, fx.core->messages, "D1", "D1!C1");
    fields.title = "edited";
    ASSERT_TRUE(updateIndexFromPanel(store, fx.core->messages, "D1", fields).written());
    EXPECT_EQ(idsIn(d1), (Keys{"D1!C1", "D1!C2", "D1!C3"}));
    EXPECT_TRUE(fileHolds(d1, "D1!C1|edited|") && fileHolds(d1, "D1!C3|outside1|"));

    appendOutside(d1, docLine("D1!C4", "outside2"));
    ASSERT_TRUE(deleteIndex("D1!C2"));
    EXPECT_EQ(idsIn(d1), (Keys{"D1!C1", "D1!C3", "D1!C4"}));

    // The smallest free number in the cache is 2; the other program has taken it meanwhile.
    appendOutside(d1, docLine("D1!C2", "outside3"));
    IndexFields added;
    added.title = "mine";
    EXPECT_EQ(addIndexFromPanel(store, fx.core->messages, "D1", added).id, "D1!C5");
    EXPECT_EQ(idsIn(d1), (Keys{"D1!C1", "D1!C3", "D1!C4", "D1!C2", "D1!C5"}));
    EXPECT_TRUE(fileHolds(d1, "D1!C2|outside3|") && fileHolds(d1, "D1!C5|mine|"));
    EXPECT_EQ(store.getDirContentMap("D1", fx.told())->getKeyCol(), idsIn(d1));

    // Folders: another program adds D3 and an index file for D4 that holds a line.
    appendOutside(fx.dirFile(), "D3|Outside|0|||False||\r\n");
    writeBytes(fx.contentFile("D4"), docLine("D4!C1", "kept"));
    FolderFields folder = newFolderFields(store, fx.core->messages, "0");
    folder.dirName = "Mine";
    EXPECT_EQ(addDirFromPanel(store, fx.core->files, fx.core->messages, folder), "D4");
    EXPECT_EQ(readBytes(fx.contentFile("D4")), docLine("D4!C1", "kept"));
    FolderFields renamed = folderFieldsOf(store, fx.core->messages, "D2");
    renamed.dirName = "Renamed";
    appendOutside(fx.dirFile(), "D5|Outside too|0|||False||\r\n");
    ASSERT_EQ(updateFolder(store, fx.core->messages, renamed), FolderUpdate::Written);
    EXPECT_EQ(idsIn(fx.dirFile()), (Keys{"D1", "D2", "D3", "D4", "D5"}));
    EXPECT_TRUE(fileHolds(fx.dirFile(), "D2|Renamed|") && fileHolds(fx.dirFile(), "D3|Outside|")
                && fileHolds(fx.dirFile(), "D5|Outside too|"));

    // Delete Folder looks at the index file on disk: D2's was read empty, and has an index now.
    appendOutside(fx.contentFile("D2"), docLine("D2!C1", "late"));
    EXPECT_EQ(folderDeletable(store, fx.core->messages, "D2"), FolderDeletion::HoldsIndexes);
    EXPECT_EQ(readBytes(fx.contentFile("D2")), docLine("D2!C1", "late"));
    EXPECT_TRUE(fileHolds(fx.dirFile(), "D2|Renamed|"));
}

TEST_F(OutsideChanges, editsOfAnIndexOrFolderAnotherProgramRemoved_areRefused_andTheCacheFollowsTheFile)
{
    const std::string outside = docLine("D1!C2", "b") + docLine("D1!C7", "restored from a backup");
    writeBytes(fx.contentFile("D1"), outside);
    IndexFields fields = indexFieldsOf(store, fx.core->messages, "D1", "D1!C1");
    fields.title = "edited";
    EXPECT_EQ(updateIndexFromPanel(store, fx.core->messages, "D1", fields).outcome, IndexSave::Failed);
    EXPECT_EQ(fx.recorder.keys(), Keys{"Err022"});
    EXPECT_EQ(readBytes(fx.contentFile("D1")), outside);
    EXPECT_EQ(store.getDirContentMap("D1", fx.told())->getKeyCol(), (Keys{"D1!C2", "D1!C7"}));

    // A folder renamed here and removed there: refused as well.
    writeBytes(fx.dirFile(), "D2|Two|0|||False||\r\n");
    FolderFields folder = folderFieldsOf(store, fx.core->messages, "D1");
    folder.dirName = "Gone";
    EXPECT_EQ(updateFolder(store, fx.core->messages, folder), FolderUpdate::Failed);
    EXPECT_EQ(readBytes(fx.dirFile()), "D2|Two|0|||False||\r\n");

    // A subfolder another program gave D2 keeps it from being deleted.
    appendOutside(fx.dirFile(), "D8|Sub|D2|||False||\r\n");
    EXPECT_EQ(folderDeletable(store, fx.core->messages, "D2"), FolderDeletion::HasSubfolders);
    EXPECT_EQ(fx.recorder.keys(), (Keys{"Err022", "Err022"}));

    // An index added to the folder removed there is refused, and no index file is written.
    const std::string folders = readBytes(fx.dirFile());
    ::unlink(fx.contentFile("D1").c_str());
    IndexFields added;
    added.title = "into a folder that went";
    EXPECT_EQ(addIndexFromPanel(store, fx.core->messages, "D1", added).outcome, IndexSave::FolderGone);
    EXPECT_FALSE(pathExists(fx.contentFile("D1")));
    EXPECT_EQ(readBytes(fx.dirFile()), folders);
}

TEST_F(OutsideChanges, anIndexWrittenWhileTheDeletionIsConfirmed_keepsTheFolderAndItsIndexFile)
{
    // D2 can go; while the user is asked, a sync tool puts an index in its file.
    const std::string d2 = fx.contentFile("D2");
    ASSERT_EQ(folderDeletable(store, fx.core->messages, "D2"), FolderDeletion::Deleted);
    appendOutside(d2, docLine("D2!C1", "synced"));
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D2"), FolderDeletion::HoldsIndexes);
    EXPECT_EQ(readBytes(d2), docLine("D2!C1", "synced"));
    EXPECT_TRUE(fileHolds(fx.dirFile(), "D2|Two|"));
    EXPECT_TRUE(store.getQlrDirById("D2", fx.told()));
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(OutsideChanges, aDeletionThatCannotBeWritten_afterAnotherProgramRemovedAnIndex_neverBringsThatIndexBack)
{
    // Another program removes D1!C2; the file is then write-protected, so the user's deletion of
    // D1!C1 fails; once it may be written again, the user's next edit keeps D1!C2 away.
    const std::string d1 = fx.contentFile("D1");
    writeBytes(d1, docLine("D1!C1", "a"));
    ASSERT_EQ(::chmod(d1.c_str(), 0444), 0);
    EXPECT_FALSE(deleteIndex("D1!C1"));
    ASSERT_EQ(::chmod(d1.c_str(), 0644), 0);
    EXPECT_EQ(store.getDirContentMap("D1", fx.told())->getKeyCol(), Keys{"D1!C1"});
    IndexFields fields = indexFieldsOf(store, fx.core->messages, "D1", "D1!C1");
    fields.title = "edited";
    ASSERT_TRUE(updateIndexFromPanel(store, fx.core->messages, "D1", fields).written());
    EXPECT_EQ(idsIn(d1), Keys{"D1!C1"});
}

TEST_F(OutsideChanges, draggedIndexes_takeFreeIdsOfTheTargetOnDisk_andKeepWhatChangedInTheSource)
{
    // Another program retitles D1!C2 and adds to D2 while the user drags D1!C1 to D2.
    writeBytes(fx.contentFile("D1"), docLine("D1!C1", "a") + docLine("D1!C2", "b retitled outside"));
    appendOutside(fx.contentFile("D2"), docLine("D2!C1", "outside"));
    ASSERT_TRUE(
        moveIndexes(store, fx.core->messages, {{"D1", {store.getQlrDirContentById("D1", "D1!C1", fx.told())}}}, "D2"));
    EXPECT_EQ(readBytes(fx.contentFile("D2")), docLine("D2!C1", "outside") + docLine("D2!C2", "a"));
    EXPECT_EQ(readBytes(fx.contentFile("D1")), docLine("D1!C2", "b retitled outside"));
    EXPECT_TRUE(fx.recorder.shown.empty());
}

} // namespace
} // namespace quillory::test
