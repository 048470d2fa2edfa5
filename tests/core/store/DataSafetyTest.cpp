// Nothing the user has is lost or duplicated: by the caches, by appends to files read in part,
// by rewrites of damaged files, through links or write-protected files, by deleting documents.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/catalog_window/CatalogEdits.h"
#include "core/catalog_window/editors/FolderEditing.h"
#include "core/catalog_window/editors/IndexEditing.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

namespace fs = std::filesystem;
using Keys = std::vector<std::string>;

// Files in folder whose name starts with prefix.
Keys filesStartingWith(const std::string& folder, const std::string& prefix)
{
    Keys names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            names.push_back(entry.path().string());
    return names;
}

class DataSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|0|||False||\r\n");
        writeBytes(fx.contentFile("D1"), docLine("D1!C1", "a"));
        writeBytes(fx.contentFile("D2"), docLine("D2!C1", "b"));
    }

    FailingIo io;
    CoreFixture fx{CoreFixture::defaultConfLines(), io};
    CatalogStore& store = fx.core->store;
};

TEST_F(DataSafety, movingEveryIndexOutOfAFolder_leavesItEmptyOnDiskAndInTheCache)
{
    const auto only = store.getQlrDirContentById("D1", "D1!C1", fx.told());
    ASSERT_TRUE(moveIndexes(store, fx.core->messages, {{"D1", {only}}}, "D2"));
    EXPECT_EQ(readBytes(fx.contentFile("D1")), "");
    EXPECT_TRUE(store.getDirContentMap("D1", fx.told())->getKeyCol().empty());
    EXPECT_EQ(store.getDirContentMap("D2", fx.told())->getKeyCol(), (Keys{"D2!C1", "D2!C2"}));

    // The same for folders: a folder cache emptied by edits is written empty, not read again.
    const auto folders = store.getAllDirMap(fx.told());
    for (const auto& key : folders->getKeyCol())
        folders->removeMap(key);
    ASSERT_TRUE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *store.getAllDirMap(fx.told()))));
    EXPECT_EQ(readBytes(fx.dirFile()), "");
    EXPECT_TRUE(fx.recorder.shown.empty());
}

TEST_F(DataSafety, appendToAFolderFileBeyondTheLimit_isRefusedWithItsReason)
{
    // A folder file beyond the map's limit: the limit is named, and every edit says so.
    std::string lines;
    for (int i = 1; i <= 32768; ++i)
        lines += "D" + std::to_string(i) + "|F|0|||False||\r\n";
    writeBytes(fx.dirFile(), lines);
    store.resetStoreCache();
    fx.recorder.shown.clear();
    EXPECT_EQ(store.getAllDirMap(fx.told())->getCount(), 32767);
    EXPECT_EQ(store.getAllDirMap(fx.told())->checkKey("D32768"), 0);
    auto folder = std::make_shared<FolderRecord>(FolderRecord{"D40000", "x", "0", "", "", false, "", ""});
    EXPECT_FALSE(fx.told(store.writeAddQlrDbDir(folder)));
    EXPECT_FALSE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *store.getAllDirMap(fx.told()))));
    ASSERT_EQ(fx.recorder.keys(), (Keys{"Err002", "Err005", "Err004"}));
    for (const Message& message : fx.recorder.shown)
        EXPECT_NE(message.text.find(fx.core->conf.text("Err010")), std::string::npos) << message.text;
    EXPECT_EQ(readBytes(fx.dirFile()), lines);
}

TEST_F(DataSafety, firstRewriteOfADamagedFile_keepsItAsItWasBeside_andSaysWhereOnce_neverOverAnEarlierCopy)
{
    // A line one field short, fields after the last, an id taken again by a later line.
    const std::string damaged = "D1!C1|short\r\n" + docLine("D1!C2", "b") + "D1!C3|c|p|False||t|d|extra\r\n"
                                + docLine("D1!C2", "again");
    writeBytes(fx.contentFile("D1"), damaged);
    const auto map = store.getDirContentMap("D1", fx.told());
    ASSERT_EQ(fx.recorder.keys(), Keys{"Err007"});
    fx.recorder.shown.clear();

    ASSERT_TRUE(fx.told(store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *map)));
    const Keys copies = filesStartingWith(fx.dir / "cat/idx", "D1.qlr.damaged-");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(readBytes(copies[0]), damaged);
    ASSERT_EQ(fx.recorder.keys(), Keys{"Err012"});
    EXPECT_TRUE(fx.recorder.shown[0].text.ends_with(" : " + copies[0]));

    ASSERT_TRUE(fx.told(store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *map))); // once only
    EXPECT_EQ(filesStartingWith(fx.dir / "cat/idx", "D1.qlr.damaged-").size(), 1u);
    EXPECT_EQ(fx.recorder.shown.size(), 1u);

    // A line with a field too many and one with a field too few: their separators add up to
    // those of whole lines, and the lines are read as what they are all the same.
    writeBytes(fx.contentFile("D2"), "D2!C1|a|p|False||t|d|extra\r\nD2!C2|b|p|False||t\r\n");
    store.resetStoreCache();
    EXPECT_EQ(store.getQlrDirContentById("D2", "D2!C1", fx.told())->cDesc(), "d");
    EXPECT_EQ(store.getQlrDirContentById("D2", "D2!C2", fx.told())->addTime(), "t");
    ASSERT_TRUE(fx.told(store.writeAllQlrDbDirContent("D2", FILE_OUTPUT, *store.getDirContentMap("D2", fx.told()))));
    EXPECT_EQ(filesStartingWith(fx.dir / "cat/idx", "D2.qlr.damaged-").size(), 1u);
    writeBytes(fx.contentFile("D2"), docLine("D2!C1", "b"));
    store.resetStoreCache();
    for (const auto& copy : filesStartingWith(fx.dir / "cat/idx", "D2.qlr.damaged-"))
        std::filesystem::remove(copy);

    // A whole file is rewritten without a copy; a copy that cannot be made stops the rewrite.
    ASSERT_TRUE(fx.told(store.writeAllQlrDbDirContent("D2", FILE_OUTPUT, *store.getDirContentMap("D2", fx.told()))));
    EXPECT_TRUE(filesStartingWith(fx.dir / "cat/idx", "D2.qlr.damaged").empty());
    writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD1|One again|0|||False||\r\n");
    store.resetStoreCache();
    io.failNth(Op::Write, 1, ENOSPC);
    EXPECT_FALSE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *store.getAllDirMap(fx.told()))));
    EXPECT_EQ(fx.recorder.keys().back(), "Err004");
    EXPECT_EQ(readBytes(fx.dirFile()), "D1|One|0|||False||\r\nD1|One again|0|||False||\r\n");

    // A second damaged copy in the same second never replaces the first: copies already there under
    // the names of this second and the next ones stay as they are.
    const std::string file = fx.contentFile("D3");
    Keys earlier;
    for (int ahead = 0; ahead < 3; ++ahead) {
        const std::time_t when = std::time(nullptr) + ahead;
        std::tm local{};
        ::localtime_r(&when, &local);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        earlier.push_back(file + ".damaged-" + stamp);
        writeBytes(earlier.back(), "an earlier copy");
    }
    const std::string damagedD3 = "D3!C1|short\r\n" + docLine("D3!C2", "b");
    writeBytes(file, damagedD3);
    store.resetStoreCache();
    ASSERT_TRUE(fx.told(store.writeAllQlrDbDirContent("D3", FILE_OUTPUT, *store.getDirContentMap("D3", fx.told()))));
    for (const auto& copy : earlier)
        EXPECT_EQ(readBytes(copy), "an earlier copy") << copy;
    const Keys copiesD3 = filesStartingWith(fx.dir / "cat/idx", "D3.qlr.damaged-");
    ASSERT_EQ(copiesD3.size(), 4u);
    EXPECT_EQ(std::count_if(copiesD3.begin(), copiesD3.end(),
                            [&](const std::string& c) { return readBytes(c) == damagedD3; }),
              1);
}

TEST_F(DataSafety, linksAreFollowed_writeProtectedFilesRefused_modeAndOwnerKept)
{
    // The folder file is a link to a file elsewhere: the file changes, the link stays.
    const std::string elsewhere = fx.dir / "elsewhere/real.qlr";
    writeBytes(elsewhere, readBytes(fx.dirFile()));
    fs::remove(fx.dirFile());
    fs::create_symlink(elsewhere, fx.dirFile());
    store.resetStoreCache();
    store.getAllDirMap(fx.told())->getValueByKey("D1")->dirName = "Renamed";
    ASSERT_TRUE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *store.getAllDirMap(fx.told()))));
    EXPECT_TRUE(fs::is_symlink(fx.dirFile()));
    EXPECT_TRUE(fileHolds(elsewhere, "D1|Renamed|0|"));

    // Nobody may write it: neither rewritten nor appended to, for root too.
    ASSERT_EQ(::chmod(fx.contentFile("D1").c_str(), 0444), 0);
    const std::string before = readBytes(fx.contentFile("D1"));
    EXPECT_FALSE(fx.told(store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *store.getDirContentMap("D1", fx.told()))));
    EXPECT_FALSE(fx.told(store.writeAddQlrDbDirContent("D1", fx.newIndex("D1!C2"))));
    EXPECT_EQ(fx.recorder.keys(), (Keys{"Err006", "Err008"}));
    EXPECT_NE(fx.recorder.shown[0].text.find(std::strerror(EACCES)), std::string::npos);
    EXPECT_EQ(readBytes(fx.contentFile("D1")), before);

    // A file anybody may write stays so under a narrower umask, and keeps its owner.
    ASSERT_EQ(::chmod(fx.contentFile("D2").c_str(), 0666), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(fx.contentFile("D2").c_str(), 4321, 4321), 0);
    }
    const mode_t oldMask = ::umask(022);
    EXPECT_TRUE(fx.told(store.writeAllQlrDbDirContent("D2", FILE_OUTPUT, *store.getDirContentMap("D2", fx.told()))));
    ::umask(oldMask);
    struct stat st {};
    ASSERT_EQ(::stat(fx.contentFile("D2").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
    }
}

TEST_F(DataSafety, deletingWithYes_removesRegularFilesAndLinksOnly_underTheRoot_namingWhatCouldNotGoOnce)
{
    writeBytes(fx.dir / "docs/a.txt", "a");
    ASSERT_EQ(::mkfifo((fx.dir / "docs/pipe").c_str(), 0644), 0);
    fs::create_symlink(fx.dir / "docs/a.txt", fx.dir / "docs/link");
    // A link is judged by itself, not by what it names: one to nothing, one to a folder.
    fs::create_symlink(fx.dir / "docs/nothing.txt", fx.dir / "docs/dangling");
    fs::create_symlink(fx.dir / "docs", fx.dir / "docs/folderlink");
    // A path stored relative (a file edited by hand) names a document under the root, as when it
    // is opened or searched: never one under the program's working folder.
    writeBytes(fx.dir / "docs/relative.txt", "r");
    writeBytes(fx.contentFile("D1"), docLine("D1!C1", "a") + "D1!C2|pipe|QLRR$/docs/pipe|False||t|\r\n"
                                         + "D1!C3|link|QLRR$/docs/link|False||t|\r\n"
                                         + "D1!C4|dangling|QLRR$/docs/dangling|False||t|\r\n"
                                         + "D1!C5|folder link|QLRR$/docs/folderlink|False||t|\r\n"
                                         + "D1!C6|relative|docs/relative.txt|False||t|\r\n");
    store.resetStoreCache();
    Keys removed;
    const auto remover = [&](const std::string& path) {
        removed.push_back(path);
        return !path.ends_with("/a.txt") && !path.ends_with("/dangling"); // these cannot go to the trash
    };
    EXPECT_EQ(deleteContents(store, fx.core->messages, remover, "D1",
                             {"D1!C1", "D1!C2", "D1!C3", "D1!C4", "D1!C5", "D1!C6"}, MsgAnswer::Yes),
              6);
    EXPECT_EQ(removed, (Keys{fx.dir / "docs/a.txt", fx.dir / "docs/link", fx.dir / "docs/dangling",
                             fx.dir / "docs/folderlink", fx.dir / "docs/relative.txt"}));
    // What could not go is named in one message.
    ASSERT_EQ(fx.recorder.keys(), Keys{"Err023"});
    EXPECT_TRUE(fx.recorder.shown[0].text.ends_with(" : " + fx.dir / "docs/a.txt, " + fx.dir / "docs/dangling"))
        << fx.recorder.shown[0].text;
}

TEST_F(DataSafety, anIndexFileThatCouldNotBeRead_refusesAppends_andIsReadAgainWhenAskedNext)
{
    // A folder where the file belongs: no id may be drawn from its empty copy.
    fs::remove(fx.contentFile("D1"));
    makeFolders(fx.contentFile("D1"));
    EXPECT_EQ(store.getNewDirContentId("D1", fx.told()), "D1!C1");
    EXPECT_FALSE(fx.told(store.writeAddQlrDbDirContent("D1", fx.newIndex("D1!C1"))));
    ASSERT_EQ(fx.recorder.keys(), (Keys{"Err006", "Err008"}));
    EXPECT_TRUE(fx.recorder.shown[1].text.ends_with(fx.contentFile("D1") + " (" + fx.core->conf.text("Err011") + ")"))
        << fx.recorder.shown[1].text;
    fs::remove(fx.contentFile("D1"));
    writeBytes(fx.contentFile("D1"), docLine("D1!C1", "a") + docLine("D1!C2", "b"));
    EXPECT_EQ(store.getDirContentMap("D1", fx.told())->getKeyCol(), (Keys{"D1!C1", "D1!C2"}));
    EXPECT_TRUE(fx.told(store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *store.getDirContentMap("D1", fx.told()))));
    EXPECT_EQ(readBytes(fx.contentFile("D1")), docLine("D1!C1", "a") + docLine("D1!C2", "b"));

    // A read the disk fails is told the same way, and the file is read again next time.
    store.resetStoreCache();
    io.failNth(Op::Read, 1, EIO);
    EXPECT_EQ(store.getDirContentMap("D1", fx.told())->getCount(), 0);
    EXPECT_EQ(fx.recorder.keys(), (Keys{"Err006", "Err008", "Err006"}));
    EXPECT_EQ(store.getDirContentMap("D1", fx.told())->getCount(), 2);
}

TEST_F(DataSafety, aDeletedIndexDraggedAfterwards_doesNotComeBack)
{
    const auto stale = store.getQlrDirContentById("D1", "D1!C1", fx.told());
    ASSERT_EQ(deleteContents(
                  store, fx.core->messages, [](const std::string&) { return true; }, "D1", {"D1!C1"}, MsgAnswer::No),
              1);
    ASSERT_TRUE(moveIndexes(store, fx.core->messages, {{"D1", {stale}}}, "D2"));
    EXPECT_EQ(store.getDirContentMap("D2", fx.told())->getKeyCol(), Keys{"D2!C1"});
    EXPECT_FALSE(fileHolds(fx.contentFile("D2"), "|a|"));
}

// Each edit whose write fails tells so once and leaves the files and the caches as they were.
TEST_F(DataSafety, failedWritesOfEdits_leaveFilesAndCachesAsTheyWere)
{
    writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|D1|||False||\r\nD3|Empty|0|||False||\r\n");
    writeBytes(fx.contentFile("D3"), "");
    store.resetStoreCache();
    const std::string folders = readBytes(fx.dirFile()), indexes = readBytes(fx.contentFile("D1"));
    io.failNth(Op::Rename, 1);
    EXPECT_FALSE(renameFolder(store, fx.core->messages, "D1", "New name"));
    EXPECT_EQ(store.getQlrDirById("D1", fx.told())->dirName, "One");
    io.failNth(Op::Rename, 1);
    EXPECT_EQ(moveFolder(store, fx.core->messages, "D2", "0"), FolderMove::Failed);
    EXPECT_EQ(store.getQlrDirById("D2", fx.told())->parentDirId, "D1");
    FolderFields folder = folderFieldsOf(store, fx.core->messages, "D3");
    folder.dirName = "Renamed";
    io.failNth(Op::Rename, 1);
    EXPECT_EQ(updateFolder(store, fx.core->messages, folder), FolderUpdate::Failed);
    EXPECT_EQ(store.getQlrDirById("D3", fx.told())->dirName, "Empty");
    io.failNth(Op::Rename, 1);
    EXPECT_EQ(deleteFolder(store, fx.core->files, fx.core->messages, "D3"), FolderDeletion::Failed);
    EXPECT_TRUE(store.getQlrDirById("D3", fx.told()));
    EXPECT_TRUE(pathExists(fx.contentFile("D3")));

    io.failNth(Op::Rename, 1);
    EXPECT_FALSE(renameContentFile(store, fx.core->messages, "D1", "D1!C1", "other.txt"));
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C1", fx.told())->storedPath(), "QLRR$/docs/a.txt");
    IndexFields index = indexFieldsOf(store, fx.core->messages, "D1", "D1!C1");
    index.title = "Changed";
    io.failNth(Op::Rename, 1);
    EXPECT_EQ(updateIndexFromPanel(store, fx.core->messages, "D1", index).outcome, IndexSave::Failed);
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C1", fx.told())->cTitle(), "a");
    EXPECT_EQ(readBytes(fx.dirFile()), folders);
    EXPECT_EQ(readBytes(fx.contentFile("D1")), indexes);
    EXPECT_EQ(fx.recorder.keys(), (Keys{"Err004", "Err004", "Err004", "Err004", "Err006", "Err006"}));
}

TEST(CatalogLayout, folderIdsNeverNameAFileOutsideTheIndexFolder)
{
    CoreFixture fx;
    const std::string folder = fx.core->layout.getContentFolderPath();
    for (const char* id : {"..", "../../x", ".", "a/b", "/etc/passwd"}) {
        const fs::path file = fs::path(fx.core->layout.getContentFilePath(id)).lexically_normal();
        EXPECT_EQ(file.parent_path(), fs::path(folder).lexically_normal()) << id;
    }
}

} // namespace
} // namespace quillory::test
