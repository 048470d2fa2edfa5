#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "core/config/CatalogCommands.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

namespace fs = std::filesystem;

// A catalog on disk: folder file <root>/<folder>/lib.qlr with one folder D1, and one index.
std::string makeCatalog(const std::string& root, const std::string& folderName, const std::string& name)
{
    const std::string catalog = root + "/" + folderName;
    writeBytes(catalog + "/lib.qlr", "D1|" + name + "|0|||False||\r\n");
    writeBytes(catalog + "/idx/D1.qlr", "D1!C1|" + name + " index|QLRR$/" + name + ".pdf|False||2024-05-01|\r\n");
    return catalog + "/lib.qlr";
}

// A core over the default settings; the tests of CatalogCommandsOwnSettings add lines of their own.
class CatalogCommands : public ::testing::Test {
protected:
    CoreFixture f;
    CoreContext& c = *f.core;
};

// Made as the first thing done, the catalog takes the configured index folder and pending file
// names, read first.
TEST_F(CatalogCommands, doAddNew_asTheFirstThingDone_createsEmptyCatalogFilesAndOpensIt_anEmptyOrBadNameCreatesNothing)
{
    const std::string shelf = f.dir / "shelf";
    makeFolders(shelf);
    const std::string file = c.catalog.doAddNew(shelf, "lib", "main.qlr");
    EXPECT_EQ(file, shelf + "/lib/main.qlr");
    EXPECT_TRUE(fs::is_directory(shelf + "/lib/idx"));
    EXPECT_TRUE(fs::is_regular_file(file) && fs::is_empty(file));
    EXPECT_TRUE(fs::is_regular_file(shelf + "/lib/idx/pending.qlr") && fs::is_empty(shelf + "/lib/idx/pending.qlr"));
    EXPECT_EQ(c.layout.getTempContentFilePath(), shelf + "/lib/idx/pending.qlr");

    EXPECT_EQ(c.catalog.doAddNew(shelf, "", "main.qlr"), "");
    EXPECT_EQ(c.catalog.doAddNew(shelf, "other", ""), "");
    EXPECT_EQ(c.catalog.doAddNew("", "quillory-test-lib", "main.qlr"), "");
    EXPECT_FALSE(pathExists(shelf + "/other") || pathExists("/quillory-test-lib"));
    EXPECT_EQ(c.store.getDirFilePath(), file);
    ASSERT_TRUE(f.told(c.store.writeAddQlrDbDir(newFolder(c.store.getNewDirId(f.told()), "First"))));
    EXPECT_EQ(readBytes(file), "\rD1|First|0|||False||\r\n");
    EXPECT_TRUE(f.recorder.shown.empty());

    // A name that is not one name is refused, and nothing is made.
    const std::string other = f.dir / "other";
    makeFolders(other + "/inner");
    const std::pair<const char*, const char*> refused[] = {
        {"a/b", "main.qlr"}, {"lib", "x/main.qlr"}, {"..", "main.qlr"}, {"lib", "../main.qlr"}, {"li\nb", "main.qlr"}};
    for (const auto& [folder, name] : refused) {
        f.recorder.shown.clear();
        EXPECT_EQ(c.catalog.doAddNew(other + "/inner", folder, name), "") << folder << " " << name;
        EXPECT_EQ(f.recorder.keys(), std::vector<std::string>{"Msg016"}) << folder << " " << name;
    }
    EXPECT_TRUE(fs::is_empty(other + "/inner"));
    EXPECT_EQ(std::distance(fs::directory_iterator(other), fs::directory_iterator()), 1);
    EXPECT_EQ(c.store.getDirFilePath(), file);
}

TEST_F(CatalogCommands, doAddNew_existingCatalog_leavesEveryFileAsItWasAndOpensIt)
{
    const std::string file = makeCatalog(f.dir / "shelf", "lib", "Kept");
    writeBytes(f.dir / "shelf/lib/idx/pending.qlr", "1|/home/a.txt\r\n");
    const std::string indexes = readBytes(f.dir / "shelf/lib/idx/D1.qlr");
    // (The message naming it, and its folder file kept: the new catalog dialog's suite.)
    EXPECT_EQ(c.catalog.doAddNew(f.dir / "shelf", "lib", "lib.qlr"), file);
    EXPECT_EQ(readBytes(f.dir / "shelf/lib/idx/D1.qlr"), indexes);
    EXPECT_EQ(readBytes(f.dir / "shelf/lib/idx/pending.qlr"), "1|/home/a.txt\r\n");
    EXPECT_EQ(c.store.getDirContentMap("D1", f.told())->getKeyCol(), std::vector<std::string>{"D1!C1"});
}

TEST_F(CatalogCommands, openCatalog_aMissingFolderFileShowsErr001AndOpensEmpty_aFolderUnderTheTopHasItAsRoot)
{
    const std::string file = "/quillory-test-no-such-catalog/lib.qlr";
    ASSERT_FALSE(pathExists("/quillory-test-no-such-catalog"));
    ASSERT_TRUE(c.catalog.openCatalog(file));
    EXPECT_EQ(f.recorder.keys(), std::vector<std::string>{"Err001"});
    EXPECT_EQ(c.session.getRootPath(), "/");
    EXPECT_EQ(c.session.currentQlrdbFolder(), "quillory-test-no-such-catalog");
    EXPECT_EQ(c.store.getDirFilePath(), file);
    EXPECT_EQ(c.store.getContentFilePath("D1"), "/quillory-test-no-such-catalog/idx/D1.qlr");
    EXPECT_FALSE(c.catalog.openCatalog("/lib.qlr"));

    // A folder file missing where its folders are: said by name, and the catalog opens empty.
    makeFolders(f.dir / "new/lib/idx");
    const std::string made = f.dir / "new/lib/lib.qlr";
    f.recorder.shown.clear();
    ASSERT_TRUE(c.catalog.openCatalog(made));
    ASSERT_EQ(f.recorder.keys(), std::vector<std::string>{"Err001"});
    EXPECT_EQ(f.recorder.shown[0].text, "error 1 : " + made);
    EXPECT_EQ(c.store.getAllDirMap(f.told())->getCount(), 0);
    ASSERT_TRUE(f.told(c.store.writeAddQlrDbDir(newFolder("D1", "First"))));
    EXPECT_NE(readBytes(made).find("D1|First|"), std::string::npos);
}

TEST_F(CatalogCommands, folderFileOfIndexFile_theCatalogsOwnName_elseTheFirstFolderFileByName)
{
    const std::string lib = f.dir / "shelf/lib";
    writeBytes(lib + "/idx/D1.qlr", "D1!C1|Guide|QLRR$/a.pdf|False||2024-05-01|\r\n");
    writeBytes(lib + "/other/D1.qlr", "");
    // Names that sort before the folder files, but are none.
    writeBytes(lib + "/0.txt", "");
    writeBytes(lib + "/00", "");
    makeFolders(lib + "/0.qlr");
    writeBytes(lib + "/b.qlr", "");
    writeBytes(lib + "/c.qlr", "");
    writeBytes(lib + "/a.qlr", "");
    EXPECT_EQ(c.catalog.folderFileOfIndexFile(lib + "/idx/D1.qlr"), lib + "/a.qlr");
    writeBytes(lib + "/lib.qlr", "");
    EXPECT_EQ(c.catalog.folderFileOfIndexFile(lib + "/idx/D1.qlr"), lib + "/lib.qlr");
    // Not in a folder named like the index folder: no index file, whatever lies beside it.
    EXPECT_EQ(c.catalog.folderFileOfIndexFile(lib + "/other/D1.qlr"), std::nullopt);
    EXPECT_EQ(c.catalog.folderFileOfIndexFile(lib + "/lib.qlr"), std::nullopt);
    // An index folder whose catalog folder holds no folder file at all.
    writeBytes(f.dir / "bare/idx/D1.qlr", "");
    writeBytes(f.dir / "bare/notes.txt", "");
    EXPECT_EQ(c.catalog.folderFileOfIndexFile(f.dir / "bare/idx/D1.qlr"), std::nullopt);
}

TEST(CatalogCommandsOwnSettings, openCatalog_splitsPathIntoRootFolderAndFile_andCloseKeepsNamesButNotRoot)
{
    auto lines = CoreFixture::defaultConfLines();
    lines.push_back("DefaultRootPath=/srv/default");
    CoreFixture f(lines);
    CoreContext& c = *f.core;
    const std::string data = f.dir / "data";
    const std::string file = makeCatalog(data, "books", "Novels");

    ASSERT_TRUE(c.catalog.openCatalog(data + "/./books/lib.qlr"));
    EXPECT_EQ(c.session.getRootPath(), data);
    EXPECT_EQ(c.store.getDirFilePath(), file);
    const auto index = c.store.getQlrDirContentById("D1", "D1!C1", f.told());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->cContentPath(), data + "/Novels.pdf");

    c.catalog.closeCatalog();
    EXPECT_EQ(c.store.getDirFilePath(), "/srv/default/books/lib.qlr");
    EXPECT_EQ(c.store.getQlrDirContentById("D1", "D1!C1", f.told()), nullptr);
    EXPECT_TRUE(f.recorder.shown.empty());
}

TEST_F(CatalogCommands, openingAnotherCatalog_dropsCachesSoWritesLandOnlyInTheOpenOne)
{
    const std::string a = makeCatalog(f.dir / "a", "lib", "Alpha");
    const std::string b = makeCatalog(f.dir / "b", "lib", "Beta");
    const std::string aFolders = readBytes(a);
    const std::string aIndexes = readBytes(f.dir / "a/lib/idx/D1.qlr");
    ASSERT_TRUE(c.catalog.openCatalog(a));
    ASSERT_EQ(c.store.getQlrDirById("D1", f.told())->dirName, "Alpha");
    ASSERT_EQ(c.store.getDirContentMap("D1", f.told())->getCount(), 1);

    ASSERT_TRUE(c.catalog.openCatalog(b));
    const auto folders = c.store.getAllDirMap(f.told());
    ASSERT_EQ(folders->getValueByKey("D1")->dirName, "Beta");
    folders->getValueByKey("D1")->dirName = "Renamed";
    ASSERT_TRUE(f.told(c.store.writeAllQlrDbDir(FILE_OUTPUT, *folders)));
    auto index = c.store.newContentRecord();
    index->setCId(c.store.getNewDirContentId("D1", f.told()));
    ASSERT_TRUE(f.told(c.store.writeAddQlrDbDirContent("D1", index)));
    EXPECT_EQ(c.store.getQlrDirContentById("D1", "D1!C1", f.told())->cTitle(), "Beta index");

    EXPECT_EQ(readBytes(a), aFolders);
    EXPECT_EQ(readBytes(f.dir / "a/lib/idx/D1.qlr"), aIndexes);
    EXPECT_EQ(readBytes(b), "D1|Renamed|0|||False||\r\n");
    EXPECT_NE(readBytes(f.dir / "b/lib/idx/D1.qlr").find("\rD1!C2|"), std::string::npos);
    EXPECT_TRUE(f.recorder.shown.empty());
}

TEST(CatalogCommandsOwnSettings, aPipeOrALinkToADevice_isNeverOpenedReadOrWritten_andTheOpenCatalogStays)
{
    auto lines = CoreFixture::defaultConfLines();
    lines.push_back("Err021=not a plain file"); // the reason told, which the default lines leave empty
    CoreFixture f(lines);
    CoreContext& c = *f.core;
    const std::string good = makeCatalog(f.dir / "good", "lib", "Good");
    ASSERT_TRUE(c.catalog.openCatalog(good));
    makeFolders(f.dir / "odd/lib/idx");
    const std::string pipe = f.dir / "odd/lib/pipe.qlr";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const std::string zero = f.dir / "odd/lib/zero.qlr";
    fs::create_symlink("/dev/zero", zero);
    for (const std::string& file : {pipe, zero}) {
        f.recorder.shown.clear();
        EXPECT_FALSE(c.catalog.openCatalog(file)) << file;
        EXPECT_EQ(f.recorder.keys(), std::vector<std::string>{"Err020"}) << file;
        EXPECT_EQ(c.store.getDirFilePath(), good);
    }
    // File > New onto the pipe says only that it is refused, not that the catalog was there.
    f.recorder.shown.clear();
    c.catalog.doAddNew(f.dir / "odd", "lib", "pipe.qlr");
    EXPECT_EQ(f.recorder.keys(), std::vector<std::string>{"Err020"});
    EXPECT_EQ(c.store.getDirFilePath(), good);

    // The open catalog's own files replaced so: read as nothing with their reason, never written.
    writeBytes(f.dirFile(), "");
    ASSERT_TRUE(c.catalog.openCatalog(f.dirFile()));
    fs::remove(f.dirFile());
    ASSERT_EQ(::mkfifo(f.contentFile("D1").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", f.contentFile("D2"));
    ASSERT_EQ(::mkfifo(f.dirFile().c_str(), 0644), 0);
    c.store.resetStoreCache();
    f.recorder.shown.clear();
    const std::string reason = "not a plain file";
    EXPECT_EQ(c.store.getAllDirMap(f.told())->getCount(), 0);
    EXPECT_EQ(c.store.getDirContentMap("D1", f.told())->getCount(), 0);
    EXPECT_EQ(c.store.getDirContentMap("D2", f.told())->getCount(), 0);
    ASSERT_EQ(f.recorder.keys(), (std::vector<std::string>{"Err002", "Err006", "Err006"}));
    for (const auto& message : f.recorder.shown)
        EXPECT_NE(message.text.find(reason), std::string::npos) << message.text;
    f.recorder.shown.clear();
    EXPECT_FALSE(f.told(c.store.writeAllQlrDbDirContent("D2", FILE_OUTPUT, IndexMap())));
    EXPECT_TRUE(fs::is_symlink(f.contentFile("D2")));
    EXPECT_TRUE(fs::is_fifo(f.dirFile()));
}

TEST_F(CatalogCommands, openCatalog_removesTempFilesLeftByInterruptedSaves)
{
    writeBytes(f.dirFile(), "D1|Books|0|||False||\r\n");
    // What saves killed before their rename leave, beside files of the user's own, some named
    // almost like them.
    writeBytes(f.catalogFolder() + "/.cat.qlr.qtmp-a1B2c3", "D1|Bo");
    writeBytes(f.catalogFolder() + "/idx/.D1.qlr.qtmp-x9Y8z7", "D1!C1|Gu");
    const char* mine[] = {".notes", "notes.qtmp-abcdef", ".notes.qtmp-abcde", ".notes.qtmp-abcdefg",
                          ".notes.qtmp_abcdef"};
    for (const char* name : mine)
        writeBytes(f.catalogFolder() + "/" + name, "the user's own file");
    ASSERT_EQ(tempFileCount(f.catalogFolder()) + tempFileCount(f.catalogFolder() + "/idx"), 2);

    ASSERT_TRUE(f.core->catalog.openCatalog(f.dirFile()));
    EXPECT_EQ(tempFileCount(f.catalogFolder()) + tempFileCount(f.catalogFolder() + "/idx"), 0);
    for (const char* name : mine)
        EXPECT_EQ(readBytes(f.catalogFolder() + "/" + name), "the user's own file") << name;
    EXPECT_EQ(f.core->store.getAllDirMap(f.told())->getCount(), 1);
}

} // namespace
} // namespace quillory::test
