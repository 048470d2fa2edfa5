// The options' catalog settings: what a picked catalog file names, what is shown, the checks and
// what is written.
#include <gtest/gtest.h>

#include "core/config/CatalogSettings.h"
#include "core/config/SysConfKeys.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

TEST(CatalogSettings, pickedFileNamesRootFolderAndFile_onlyWithACatalogFolderAboveIt)
{
    const auto deep = catalogOfFolderFile("/home/u/A/B/dirs.qlr");
    ASSERT_TRUE(deep);
    EXPECT_EQ(deep->rootPath, "/home/u/A");
    EXPECT_EQ(deep->catalogFolder, "B");
    EXPECT_EQ(deep->folderFile, "dirs.qlr");
    const auto top = catalogOfFolderFile("/B/dirs.qlr");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->rootPath, "/");
    EXPECT_EQ(top->catalogFolder, "B");
    EXPECT_FALSE(catalogOfFolderFile("/dirs.qlr"));
    EXPECT_FALSE(catalogOfFolderFile("dirs.qlr"));
    EXPECT_FALSE(catalogOfFolderFile("/A/B/"));
}

TEST(CatalogSettings, namesAreShownWithoutQlr_shortOrOtherNamesAsTheyAre)
{
    EXPECT_EQ(nameWithoutQlr("dirs.qlr"), "dirs");
    EXPECT_EQ(nameWithoutQlr("a.qlr"), "a");
    EXPECT_EQ(nameWithoutQlr(".qlr"), ".qlr");
    EXPECT_EQ(nameWithoutQlr("qlr"), "qlr");
    EXPECT_EQ(nameWithoutQlr("catalog"), "catalog");
    EXPECT_EQ(nameWithoutQlr("notes.txt"), "notes.txt");
}

TEST(CatalogSettings, checksInTheirOrder_intervalMustBeAWhole16BitNumber)
{
    CatalogSettingsFields fields{"", " ", "", "", "", "x"};
    EXPECT_EQ(checkCatalogSettings(fields), "Msg007");
    fields.catalogFolder = "cat";
    EXPECT_EQ(checkCatalogSettings(fields), "Msg008");
    fields.indexFolder = "idx";
    EXPECT_EQ(checkCatalogSettings(fields), "Msg009");
    fields.folderFile = "cat";
    EXPECT_EQ(checkCatalogSettings(fields), "Msg010");
    fields.pendingFile = "temp";
    for (const char* wrong : {"x", "", "1.5", "40000", "-32769", "12 min", "0x10"}) {
        fields.interval = wrong;
        EXPECT_EQ(checkCatalogSettings(fields), "Msg011") << wrong;
    }
    for (const char* right : {"0", " 5 ", "-32768", "32767", "+12"}) {
        fields.interval = right;
        EXPECT_EQ(checkCatalogSettings(fields), "") << right;
    }
}

TEST(CatalogSettings, storedWithQlrAddedOnce_andWrittenInTheWrittenOrder)
{
    CoreFixture fx;
    ASSERT_TRUE(fx.core->conf.loadSysConf());
    ASSERT_TRUE(storeCatalogSettings(fx.core->conf, {" /data ", "books", "idx", "lib", "temp.qlr", " -5 "}));
    EXPECT_EQ(fx.core->conf.text("DefaultRootPath"), "/data");
    EXPECT_EQ(fx.core->conf.text("DirFileName"), "lib.qlr");
    EXPECT_EQ(fx.core->conf.text("TempContentFileName"), "temp.qlr");
    EXPECT_EQ(fx.core->conf.getMonitorAutoWriteInterval(), -5);
    const CatalogSettingsFields shown = catalogSettingsOf(fx.core->conf);
    EXPECT_EQ(shown.folderFile, "lib");
    EXPECT_EQ(shown.pendingFile, "temp");

    // The file holds every key, in the written order.
    const std::string file = readBytes(fx.dir / "resource/conf/SysConf.properties");
    size_t at = 0;
    for (const auto& key : sysConfKeys()) {
        const size_t found = file.find(key.name + "=", at);
        ASSERT_NE(found, std::string::npos) << key.name;
        at = found;
    }
    EXPECT_NE(file.find("\r\nDirFileName=lib.qlr\r\n"), std::string::npos);
    EXPECT_FALSE(storeCatalogSettings(fx.core->conf, {"", "", "idx", "lib", "temp", "1"}));
    EXPECT_EQ(fx.core->conf.text("QlrdbFolder"), "books");
}

TEST(CatalogSettings, aFileThatCannotBeWrittenLeavesTheSettings_newNamesWaitForTheNextCatalog)
{
    CoreFixture fx;
    ASSERT_TRUE(fx.core->conf.loadSysConf());
    writeBytes(fx.dirFile(), "");
    fx.core->catalog.openCatalog(fx.dirFile());
    const std::string indexFile = fx.core->store.getContentFilePath("D1");
    EXPECT_EQ(indexFile, fx.contentFile("D1"));

    // Another index folder, written: the open catalog keeps its own until it is closed.
    ASSERT_TRUE(storeCatalogSettings(fx.core->conf, {"", "cat", "other", "cat", "pending", "3"}));
    EXPECT_EQ(fx.core->store.getContentFilePath("D1"), indexFile);
    fx.core->catalog.closeCatalog();
    EXPECT_EQ(fx.core->store.getContentFilePath("D1"), fx.dir / "cat/other/D1.qlr");

    // The configuration's folder gone: nothing is taken.
    std::filesystem::remove_all(fx.dir / "resource/conf");
    EXPECT_FALSE(storeCatalogSettings(fx.core->conf, {"/x", "books", "idx", "lib", "temp", "9"}));
    EXPECT_EQ(fx.core->conf.text("QlrdbFolder"), "cat");
    EXPECT_EQ(fx.core->conf.text("DefaultRootPath"), "");
    EXPECT_EQ(fx.core->conf.getMonitorAutoWriteInterval(), 3);
    EXPECT_EQ(fx.recorder.count("Err009"), 1);
}

} // namespace
} // namespace quillory::test
