// What the store tells: a change notice for each file it wrote, an outcome for each write that
// failed, and the problems of a batch of reads shown once.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/catalog_window/CatalogEdits.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Changes = std::vector<StoreChange>;
constexpr auto kFolders = StoreChange::Kind::FolderFile;
constexpr auto kIndexes = StoreChange::Kind::IndexFile;

class StoreOutcomes : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|0|||False||\r\n");
        writeBytes(fx.contentFile("D1"), docLine("D1!C1", "a") + docLine("D1!C2", "b"));
        writeBytes(fx.contentFile("D2"), docLine("D2!C1", "c"));
        listener = store.addChangeListener([this](const StoreChange& change) { heard.push_back(change); });
    }
    void TearDown() override { store.removeChangeListener(listener); }

    FailingIo io;
    CoreFixture fx{CoreFixture::defaultConfLines(), io};
    CatalogStore& store = fx.core->store;
    Changes heard;
    int listener = 0;
};

TEST_F(StoreOutcomes, eachWrite_notifiesExactlyTheFileItWrote)
{
    fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *store.getAllDirMap(fx.told())));
    EXPECT_EQ(heard, (Changes{{kFolders, ""}}));
    fx.told(store.writeAddQlrDbDir(newFolder("D3")));
    fx.told(store.writeAllQlrDbDirContent("D2", FILE_OUTPUT, *store.getDirContentMap("D2", fx.told())));
    fx.told(store.writeAddQlrDbDirContent("D1", fx.newIndex("D1!C3")));
    EXPECT_EQ(heard, (Changes{{kFolders, ""}, {kFolders, ""}, {kIndexes, "D2"}, {kIndexes, "D1"}}));

    // An edit notifies the files it rewrote: the target's first, then the source's.
    heard.clear();
    ASSERT_TRUE(
        moveIndexes(store, fx.core->messages, {{"D1", {store.getQlrDirContentById("D1", "D1!C1", fx.told())}}}, "D2"));
    EXPECT_EQ(heard, (Changes{{kIndexes, "D2"}, {kIndexes, "D1"}}));

    heard.clear();
    store.resetStoreCache();
    EXPECT_EQ(heard, (Changes{{StoreChange::Kind::CachesDropped, ""}}));
    EXPECT_TRUE(fx.recorder.shown.empty());
}

// Each write against each way a write fails: the key, the file and the reason come back,
// nothing is shown and nothing is notified.
TEST_F(StoreOutcomes, failedWrites_returnKeyPathAndReason_showAndNotifyNothing)
{
    struct Failure {
        const char* name;
        std::function<void()> arrange;
        int error;
    };
    const std::vector<Failure> failures = {
        {"full disk", [this] { io.failNth(Op::Write, 1, ENOSPC); }, ENOSPC},
        {"denied write", [this] { io.failNth(Op::Open, 1, EACCES); }, EACCES},
        {"missing folder", [this] { std::filesystem::remove_all(fx.catalogFolder()); }, ENOENT},
    };
    struct Write {
        const char* key;
        std::string path;
        std::function<StoreOutcome()> run;
    };
    for (const Failure& failure : failures) {
        store.resetStoreCache();
        const auto folders = store.getAllDirMap(fx.told());
        const auto indexes = store.getDirContentMap("D1", fx.told());
        const std::vector<Write> writes = {
            {"Err004", fx.dirFile(), [&] { return store.writeAllQlrDbDir(FILE_OUTPUT, *folders); }},
            {"Err005", fx.dirFile(), [&] { return store.writeAddQlrDbDir(newFolder("D9")); }},
            {"Err006", fx.contentFile("D1"),
             [&] { return store.writeAllQlrDbDirContent("D1", FILE_OUTPUT, *indexes); }},
            {"Err008", fx.contentFile("D1"), [&] { return store.writeAddQlrDbDirContent("D1", fx.newIndex("D1!C9")); }},
        };
        const std::string before = readBytes(fx.contentFile("D1")), foldersBefore = readBytes(fx.dirFile());
        for (const Write& write : writes) {
            heard.clear();
            failure.arrange();
            const StoreOutcome outcome = write.run();
            const std::string expectedKey = failure.error == ENOENT ? "Err009" : write.key;
            EXPECT_EQ(outcome.key, expectedKey) << failure.name << " " << write.key;
            EXPECT_EQ(outcome.path, write.path) << failure.name << " " << write.key;
            EXPECT_EQ(outcome.reason, std::strerror(failure.error)) << failure.name << " " << write.key;
            EXPECT_TRUE(heard.empty()) << failure.name << " " << write.key;
        }
        if (failure.error != ENOENT) {
            EXPECT_EQ(readBytes(fx.contentFile("D1")), before) << failure.name;
            EXPECT_EQ(readBytes(fx.dirFile()), foldersBefore) << failure.name;
            EXPECT_EQ(tempFileCount(fx.catalogFolder()) + tempFileCount(fx.catalogFolder() + "/idx"), 0);
        }
        EXPECT_FALSE(folders->contains("D9"));
        EXPECT_FALSE(indexes->contains("D1!C9"));
        if (failure.error == ENOENT)
            writeBytes(fx.contentFile("D1"), before); // the catalog back for the next round
    }
    EXPECT_TRUE(fx.recorder.shown.empty());

    // Told the user, the outcome is one message.
    io.failNth(Op::Write, 1, ENOSPC);
    EXPECT_FALSE(fx.told(store.writeAllQlrDbDir(FILE_OUTPUT, *store.getAllDirMap(fx.told()))));
    ASSERT_EQ(fx.recorder.keys(), std::vector<std::string>{"Err004"});
    EXPECT_TRUE(fx.recorder.shown[0].text.ends_with(fx.dirFile() + " (" + std::strerror(ENOSPC) + ")"));
}

TEST_F(StoreOutcomes, searchOverManyUnreadableIndexFiles_showsOneMessage)
{
    std::string folders;
    std::vector<std::string> ids;
    for (int i = 1; i <= 100; ++i) {
        const std::string id = "D" + std::to_string(i);
        folders += id + "|F|0|||False||\r\n";
        ids.push_back(id);
        // A folder in place of the file: it opens, but reading it fails (as root, permissions
        // would not stop a read).
        std::filesystem::remove(fx.contentFile(id));
        makeFolders(fx.contentFile(id));
    }
    writeBytes(fx.dirFile(), folders);
    store.resetStoreCache();

    ContentCollection found;
    store.getDirContentByTitle(ids, "a", found, fx.told());
    EXPECT_EQ(found.count(), 0);
    ASSERT_EQ(fx.recorder.shown.size(), 1u);
    EXPECT_EQ(fx.recorder.shown[0].key, "Err006");
    EXPECT_NE(fx.recorder.shown[0].text.find(fx.contentFile("D1") + " (" + std::strerror(EISDIR) + ")"),
              std::string::npos);

    // The search hands every file's problem to the caller, each once.
    StoreProblems problems;
    store.resetStoreCache();
    store.getDirContentByDesc(ids, "a", found, problems);
    EXPECT_EQ(problems.size(), 100u);
    store.getDirContentByDesc(ids, "a", found, problems);
    EXPECT_EQ(problems.size(), 100u);
    EXPECT_EQ(fx.recorder.shown.size(), 1u);
}

} // namespace
} // namespace quillory::test
