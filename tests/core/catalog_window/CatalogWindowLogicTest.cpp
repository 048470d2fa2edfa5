#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "core/catalog_window/CatalogEdits.h"
#include "core/catalog_window/CommandStates.h"
#include "core/catalog_window/DisplayText.h"
#include "core/catalog_window/IndexRows.h"
#include "core/catalog_window/PanelGeometry.h"
#include "core/catalog_window/PopupMenu.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Strings = std::vector<std::string>;

// The commands that follow the selection, in the order of the catalog window's groups.
const std::vector<Command> kSelectionCommands = {
    Command::AddRoot,       Command::AddChild, Command::UpdateFolder, Command::DeleteFolder, Command::FolderProperty,
    Command::RenameFolder,  Command::AddIndex, Command::OpenIndex,    Command::UpdateIndex,  Command::DeleteIndex,
    Command::IndexProperty, Command::Search,   Command::ClipDataIn,   Command::Sync};

Strings enabledCommands(const CommandStates& s)
{
    Strings on;
    for (const Command command : kSelectionCommands)
        if (s.isEnabled(command))
            on.push_back(std::string(commandRow(command).menuItem));
    return on;
}

// The launcher's buttons left to right (Change AddIndex Search Clipboard Sync Exit), 1 for on.
std::string launcherStates(const CommandStates& s)
{
    std::string on;
    for (size_t b = 0; b < kLauncherButtonCount; ++b)
        on += s.isLauncherEnabled(static_cast<LauncherButton>(b)) ? '1' : '0';
    return on;
}

const Strings kAllCommands = {"mnuDAddRoot",  "mnuDAddChild",   "mnuDUpdate",    "mnuDDelete", "mnuDProperty",
                              "mnuDRename",   "mnuCAddFile",    "mnuCOpenFile",  "mnuCUpdate", "mnuCDelete",
                              "mnuCProperty", "mnuSSearchFile", "mnuClipDataIn", "mnuSyncData"};

TEST(CatalogWindowStates, followTheFolderAndIndex_anIndexIdMakesItsFolderCurrent_loadStatesNeedBothIds)
{
    CommandStates none;
    int changes = 0;
    none.addListener([&] { ++changes; });
    none.setCurrentDir("");
    EXPECT_EQ(enabledCommands(none), (Strings{"mnuDAddRoot", "mnuSSearchFile"}));
    // The launcher too: only Search and Exit without a folder; Sync and the clipboard need one.
    EXPECT_EQ(launcherStates(none), "001001");
    EXPECT_EQ(changes, 1);

    CommandStates s; // choosing a folder leaves the index commands as they were
    s.setCurrentContent("D2!C1");
    EXPECT_EQ(s.currentDirId(), "D2");
    EXPECT_FALSE(s.isEnabled(Command::Sync)); // until the change monitor runs, on the launcher too
    EXPECT_EQ(launcherStates(s), "011101");
    s.setSyncAvailable(true);
    EXPECT_EQ(enabledCommands(s), kAllCommands);
    s.setCurrentDir("");
    EXPECT_EQ(s.currentContentId(), "D2!C1");
    EXPECT_EQ(enabledCommands(s),
              (Strings{"mnuDAddRoot", "mnuCOpenFile", "mnuCUpdate", "mnuCDelete", "mnuCProperty", "mnuSSearchFile"}));
    s.setCurrentDir("D3");
    s.setCurrentContent(""); // clearing the index keeps add index with the folder
    EXPECT_EQ(s.currentDirId(), "D3");
    EXPECT_TRUE(s.isEnabled(Command::AddIndex) && s.isLauncherEnabled(LauncherButton::AddIndex));
    EXPECT_FALSE(s.isEnabled(Command::DeleteIndex));
    EXPECT_EQ(launcherStates(s), "011111");
    s.setCurrentDir("");
    s.setCurrentContent("");
    EXPECT_FALSE(s.isEnabled(Command::AddIndex) || s.isLauncherEnabled(LauncherButton::AddIndex));

    s.setCurrentContent("D1!C1");
    s.setCurrentDir(""); // an index id with no folder
    s.applyLoadStates();
    EXPECT_EQ(enabledCommands(s), (Strings{"mnuDAddRoot", "mnuSSearchFile"}));
    s.setCurrentDir("D1");
    s.applyLoadStates();
    EXPECT_EQ(enabledCommands(s), kAllCommands);

    s.setCurrentDir("");
    s.setLauncherForWindowLoad();
    EXPECT_EQ(launcherStates(s), "011111");
    s.setCurrentDir(""); // a folder deleted or the tree emptied after the window loaded
    EXPECT_EQ(launcherStates(s), "001001");
    s.setLauncherForWindowUnload();
    EXPECT_EQ(launcherStates(s), "000001");
}

class CatalogWindowPopup : public ::testing::Test {
protected:
    Strings shown() const
    {
        Strings items;
        for (int i = 0; i < PopupMenuModel::kItemCount && menu.isVisible(i); ++i)
            items.push_back(menu.caption(i));
        return items;
    }
    static CommandStates allOn()
    {
        CommandStates s;
        s.setCurrentContent("D1!C1");
        return s;
    }

    std::map<std::string, std::string> captions;
    PopupMenuModel::CaptionOf captionOf = [this](const std::string& key) {
        const auto it = captions.find(key);
        return it == captions.end() ? key : it->second;
    };
    PopupMenuModel menu;
};

TEST_F(CatalogWindowPopup, noFolderShowsAddRootSearchAndCheck_listContextsLeaveNoSeparatorAtTheEnd)
{
    CommandStates none;
    none.setCurrentDir("");
    for (const PopupContext context : {PopupContext::TreeSpace, PopupContext::FolderNode}) {
        menu.fillPopupMenu(context, none, captionOf);
        EXPECT_EQ(shown(), (Strings{"DAddRoot", "-", "SSearch", "mnuCheckCatalog"}));
        EXPECT_EQ(menu.visibleCount(), 4);
    }
    // With the clipboard import off:
    CommandStates s;
    s.setCurrentContent("D1!C1");
    s.setCurrentDir(""); // the index commands stay on, the folder ones go off
    menu.fillPopupMenu(PopupContext::IndexRow, s, captionOf);
    EXPECT_EQ(shown(), (Strings{"COpenFile", "CUpdate", "CDelete", "CProperty", "-", "SSearch", "mnuCheckCatalog"}));
    menu.fillPopupMenu(PopupContext::ListSpace, s, captionOf);
    EXPECT_EQ(shown(), (Strings{"SSearch", "mnuCheckCatalog"}));
}

TEST_F(CatalogWindowPopup, dispatch_byCaptionFirstMatchWins_separatorAndStaleCaptionRunNothing)
{
    captions["CUpdate"] = captions["DUpdate"] = "Edit";
    menu.fillPopupMenu(PopupContext::FolderNode, allOn(), captionOf);
    ASSERT_EQ(menu.caption(2), "Edit");
    EXPECT_EQ(menu.commandAt(2, captionOf), Command::UpdateIndex);
    EXPECT_EQ(menu.commandAt(0, captionOf), Command::AddChild);
    EXPECT_EQ(menu.commandAt(6, captionOf), Command::RenameFolder);
    EXPECT_EQ(menu.commandAt(5, captionOf), std::nullopt);
    EXPECT_EQ(menu.commandAt(19, captionOf), std::nullopt);
    captions["DAddChild"] = "New subfolder"; // the entry now holds a caption no command has
    EXPECT_EQ(menu.commandAt(0, captionOf), std::nullopt);
}

using Box = std::array<double, 4>;
Box box(const TwipRect& r)
{
    return {r.left, r.top, r.width, r.height};
}

// The frame suite drags the splitter and a panel to their other limits; these are the sizes it
// cannot see, and windows too small for both limits.
TEST(CatalogWindowGeometry, treeTakesAQuarter_listTheRest_panelsMoveThenShrinkToBeSeenWholeDownToTheirMinimum)
{
    EXPECT_EQ(box(layoutAroundSplitter({4000, 20, 80, 100}, 12000, 9000).list), (Box{4080, 20, 7740, 8980}));

    for (const Panel panel : kPanels)
        EXPECT_EQ(box(panelPlacement(panel, {3020, 20, 80, 8980})),
                  (Box{3100, 1020, 7000, panel == Panel::Search ? 4000.0 : 6000.0}));
    EXPECT_EQ(clampSplitterLeft(5000, 12000), 5000);
    EXPECT_EQ(clampSplitterLeft(0, 2500), 500);
    const auto corner = [](TwipPoint p, double w, double h) {
        const TwipPoint c = clampPanel(p, w, h);
        return std::pair(c.x, c.y);
    };
    EXPECT_EQ(corner({-50, 20000}, 12000, 9000), std::pair(1000.0, 8000.0));
    EXPECT_EQ(corner({0, 0}, 1500, 1200), std::pair(500.0, 200.0));

    // A panel opened or kept in a window too small for it is seen whole: moved first, then made
    // smaller, down to its minimum.
    const TwipRect panel{3100, 1020, 7000, 6000};
    EXPECT_EQ(box(fitPanel(panel, 12000, 9000, 4000, 2000)), box(panel));
    EXPECT_EQ(box(fitPanel(panel, 9000, 9000, 4000, 2000)), (Box{2000, 1020, 7000, 6000}));
    EXPECT_EQ(box(fitPanel(panel, 12000, 6500, 4000, 2000)), (Box{3100, 500, 7000, 6000}));
    EXPECT_EQ(box(fitPanel(panel, 6000, 5000, 4000, 2000)), (Box{0, 0, 6000, 5000}));
    EXPECT_EQ(box(fitPanel(panel, 3000, 1000, 4000, 2000)), (Box{0, 0, 4000, 2000}));
}

class CatalogWindowEdits : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(fx.contentFile("D1"), docLine("D1!C1", "a") + docLine("D1!C2", "b")
                                             + indexLine("D1!C3", "folder", "QLRR$/docs")
                                             + indexLine("D1!C4", "web", "https://x.org/"));
        writeBytes(fx.contentFile("D2"), indexLine("D2!C1", "two", "QLRR$/two.txt"));
        writeBytes(fx.dir / "docs/a.txt", "a");
        writeBytes(fx.dir / "docs/b.txt", "b");
    }
    Strings keysOf(const std::string& dirId) { return store.getDirContentMap(dirId, fx.told())->getKeyCol(); }
    DraggedIndexes drag(const Strings& ids)
    {
        DraggedIndexes d{{"D1", {}}};
        for (const auto& id : ids)
            d[0].second.push_back(store.getQlrDirContentById("D1", id, fx.told()));
        return d;
    }
    int remove(const Strings& keys, MsgAnswer answer)
    {
        return deleteContents(
            store, fx.core->messages, [this](const std::string& path) { return fx.core->files.deleteFile(path); }, "D1",
            keys, answer);
    }

    const Strings allOfD1 = {"D1!C1", "D1!C2", "D1!C3", "D1!C4"};
    FailingIo io;
    CoreFixture fx{CoreFixture::defaultConfLines(), io};
    CatalogStore& store = fx.core->store;
};

// The folder tree never offers these moves; the store refuses them all the same.
TEST_F(CatalogWindowEdits, moveFolderIntoItsOwnSubtree_orRenameToTheSameOrNoName_isRefusedAndWritesNothing)
{
    writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|D1|||False||\r\n");
    EXPECT_EQ(moveFolder(store, fx.core->messages, "D1", "D1"), FolderMove::Refused);
    EXPECT_EQ(moveFolder(store, fx.core->messages, "D1", "D2"), FolderMove::Refused);
    EXPECT_EQ(store.getQlrDirById("D1", fx.told())->parentDirId, "0");
    EXPECT_FALSE(renameContentFile(store, fx.core->messages, "D1", "D1!C1", "a.txt")); // the same name
    EXPECT_FALSE(renameContentFile(store, fx.core->messages, "D1", "D1!C1", ""));
    EXPECT_TRUE(io.renamedTo.empty());
}

TEST_F(CatalogWindowEdits, moveIndexes_newIdsWithTargetWrittenFirst_ownFolderKeepsIdsAndIsRewritten)
{
    const auto moved = store.getQlrDirContentById("D1", "D1!C3", fx.told());
    ASSERT_TRUE(moveIndexes(store, fx.core->messages, drag({"D1!C1", "D1!C3"}), "D2"));
    EXPECT_EQ(io.renamedTo, (Strings{"D2.qlr", "D1.qlr"}));
    EXPECT_EQ(moved->cId(), "D2!C3");
    EXPECT_EQ(readBytes(fx.contentFile("D2")), indexLine("D2!C1", "two", "QLRR$/two.txt") + docLine("D2!C2", "a")
                                                   + indexLine("D2!C3", "folder", "QLRR$/docs"));
    EXPECT_EQ(keysOf("D1"), (Strings{"D1!C2", "D1!C4"}));

    ASSERT_TRUE(moveIndexes(store, fx.core->messages, drag({"D1!C4"}), "D1"));
    EXPECT_EQ(io.renamedTo, (Strings{"D2.qlr", "D1.qlr", "D1.qlr"}));
    EXPECT_EQ(keysOf("D1"), (Strings{"D1!C2", "D1!C4"}));
}

TEST_F(CatalogWindowEdits, moveIndexes_failedTargetWriteChangesNothing_failedSourceWriteLosesNothing)
{
    io.failNth(Op::Rename, 1); // the target's file
    EXPECT_FALSE(moveIndexes(store, fx.core->messages, drag({"D1!C1"}), "D2"));
    EXPECT_EQ(keysOf("D1"), allOfD1);
    EXPECT_EQ(keysOf("D2"), Strings{"D2!C1"});

    io.failNth(Op::Rename, 2); // the source's file, after the target's
    EXPECT_TRUE(moveIndexes(store, fx.core->messages, drag({"D1!C1"}), "D2"));
    EXPECT_TRUE(fileHolds(fx.contentFile("D2"), docLine("D2!C2", "a")));
    EXPECT_TRUE(fileHolds(fx.contentFile("D1"), "D1!C1|a|")); // twice for now, never lost
}

// The real disk, except that a rename can be made to fail.
struct RenameFailing : DocumentFiles {
    int failWith = 0;
    int rename(const std::string& from, const std::string& to) override
    {
        return failWith != 0 ? failWith : DocumentFiles::rename(from, to);
    }
};

class DocumentRenames : public CatalogWindowEdits {
protected:
    void SetUp() override
    {
        CatalogWindowEdits::SetUp();
        writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|0|||False||\r\n");
    }
    DocumentRename rename(const char* cId, const char* name)
    {
        return renameDocument(store, fx.core->messages, files, fx.core->session.getRootPath(), "D1", cId, name).outcome;
    }
    std::string doc(const char* name) { return fx.dir / ("docs/" + std::string(name)); }
    RenameFailing files;
};

// A rename on disk, and one onto a name taken, are walked through in the list's suite.
TEST_F(DocumentRenames, aBadOrTheSameNameChangesNothing_aWebAddressTakesTheText)
{
    EXPECT_EQ(rename("D1!C1", "../c.txt"), DocumentRename::BadName);
    EXPECT_EQ(rename("D1!C1", ".."), DocumentRename::BadName);
    EXPECT_EQ(rename("D1!C1", "a.txt"), DocumentRename::Unchanged);
    EXPECT_EQ(readBytes(doc("a.txt")), "a");
    EXPECT_FALSE(pathExists(fx.dir / "c.txt"));
    EXPECT_EQ(rename("D1!C4", "https://y.org/"), DocumentRename::Renamed);
    EXPECT_TRUE(fileHolds(fx.contentFile("D1"), indexLine("D1!C4", "web", "https://y.org/")));
    EXPECT_TRUE(fileHolds(fx.contentFile("D1"), docLine("D1!C1", "a")));
}

TEST_F(DocumentRenames, whatOtherIndexesPointAtOrInto_staysWhereItIs)
{
    // D1!C3 is the folder docs, which D1!C1 and D1!C2 point into.
    EXPECT_EQ(rename("D1!C3", "papers"), DocumentRename::Shared);
    EXPECT_TRUE(pathExists(fx.dir / "docs/a.txt"));
    writeBytes(fx.contentFile("D2"), indexLine("D2!C1", "also b", "QLRR$/docs/b.txt"));
    store.resetStoreCache();
    EXPECT_EQ(rename("D1!C2", "c.txt"), DocumentRename::Shared);
    EXPECT_TRUE(pathExists(doc("b.txt")));
    EXPECT_TRUE(fileHolds(fx.contentFile("D1"), docLine("D1!C2", "b")));
    // A folder nothing else points into is renamed like a document.
    writeBytes(fx.contentFile("D1"), indexLine("D1!C1", "notes", "QLRR$/notes"));
    makeFolders(fx.dir / "notes");
    store.resetStoreCache();
    EXPECT_EQ(rename("D1!C1", "notes-2026"), DocumentRename::Renamed);
    EXPECT_TRUE(pathExists(fx.dir / "notes-2026"));
}

TEST_F(DocumentRenames, aGoneDocumentIsRepointedAtOneOfTheNewName_withNeitherThereNothingChanges)
{
    std::filesystem::rename(doc("a.txt"), doc("a-moved.txt"));
    EXPECT_EQ(rename("D1!C1", "a-moved.txt"), DocumentRename::Repointed);
    EXPECT_TRUE(fileHolds(fx.contentFile("D1"), indexLine("D1!C1", "a", "QLRR$/docs/a-moved.txt")));
    std::filesystem::remove(doc("b.txt"));
    EXPECT_EQ(rename("D1!C2", "nowhere.txt"), DocumentRename::Missing);
    EXPECT_TRUE(fileHolds(fx.contentFile("D1"), docLine("D1!C2", "b")));
}

TEST_F(DocumentRenames, aFailedRenameOrIndexWrite_leavesTheDiskAndTheIndexAsTheyWere)
{
    files.failWith = EACCES;
    const DocumentRenameResult refused = renameDocument(store, fx.core->messages, files, fx.core->session.getRootPath(),
                                                        "D1", "D1!C1", "c.txt");
    EXPECT_EQ(refused.outcome, DocumentRename::NotRenamed);
    EXPECT_EQ(refused.reason, std::strerror(EACCES));
    files.failWith = 0;
    io.failNth(Op::Rename, 1); // the index file
    EXPECT_EQ(rename("D1!C1", "c.txt"), DocumentRename::NotWritten);
    EXPECT_EQ(readBytes(doc("a.txt")), "a");
    EXPECT_FALSE(pathExists(doc("c.txt")));
    EXPECT_EQ(store.getQlrDirContentById("D1", "D1!C1", fx.told())->storedPath(), "QLRR$/docs/a.txt");
    EXPECT_TRUE(fileHolds(fx.contentFile("D1"), docLine("D1!C1", "a")));
}

TEST_F(CatalogWindowEdits, deleteContents_failedIndexWriteDeletesNoDocument_yesSkipsOtherFoldersRowsFoldersAndWeb)
{
    io.failNth(Op::Rename, 1);
    EXPECT_EQ(remove({"D1!C2", "D1!C1"}, MsgAnswer::Yes), 0);
    EXPECT_TRUE(io.unlinked.empty());
    EXPECT_EQ(keysOf("D1"), allOfD1);
    EXPECT_EQ(fx.recorder.shown.size(), 1u);

    EXPECT_EQ(remove({"D1!C2", "D2!C1", "D1!C3", "D1!C4"}, MsgAnswer::Yes), 3);
    EXPECT_EQ(io.unlinked, Strings{fx.dir / "docs/b.txt"});
    EXPECT_EQ(keysOf("D1"), Strings{"D1!C1"});
    EXPECT_EQ(keysOf("D2"), Strings{"D2!C1"});
}

TEST(CatalogWindowRows, webAddressIsHttpOrHttpsInAnyCase_rowNameIsTheLastPart_textTakesItsValues)
{
    for (const char* web : {"http://a.org", "https://a.org/x", "HTTP://A.ORG", "hTtPs:x"})
        EXPECT_TRUE(isWebAddress(web)) << web;
    for (const char* path : {"", "http", "https//a", "ftp://a.org", "/srv/http://a", "httpx://a"})
        EXPECT_FALSE(isWebAddress(path)) << path;
    const std::pair<const char*, const char*> rows[] = {
        {"/home/u/a b.txt", "a b.txt"}, {"a.txt", "a.txt"}, {"/home/u/", ""}, {"HTTPS://a.org/x/", "HTTPS://a.org/x/"}};
    for (const auto& [path, name] : rows)
        EXPECT_EQ(rowFileName(path), name) << path;
    EXPECT_EQ(renamedPath("/home/u/a.txt", "b.txt"), "/home/u/b.txt");
    // Configured text takes its values in any order; missing places or values are left out.
    EXPECT_EQ(withValues("Read %1 of %2", {"3", "40"}), "Read 3 of 40");
    EXPECT_EQ(withValues("%2 documents, %1 read: 100%%", {"3", "40"}), "40 documents, 3 read: 100%");
    EXPECT_EQ(withValues("Stopped.", {"3", "40"}), "Stopped.");
    EXPECT_EQ(withValues("%1 %3 50% %", {"a"}), "a  50% %");
}

} // namespace
} // namespace quillory::test
