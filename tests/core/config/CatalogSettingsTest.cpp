// The options' catalog settings: what a picked catalog file names, what is shown, the checks and
// what is written.
#include <gtest/gtest.h>

#include "core/config/CatalogSettings.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

TEST(CatalogSettings, pickedFileNamesRootFolderAndFile_onlyWithACatalogFolderAboveIt_shownWithoutQlr)
{
    // (A catalog deeper down is picked in the options dialog's suite.)
    const auto top = catalogOfFolderFile("/B/dirs.qlr");
    ASSERT_TRUE(top);
    EXPECT_EQ(top->rootPath, "/");
    EXPECT_EQ(top->catalogFolder, "B");
    EXPECT_EQ(top->folderFile, "dirs.qlr");
    EXPECT_FALSE(catalogOfFolderFile("/dirs.qlr"));
    EXPECT_FALSE(catalogOfFolderFile("dirs.qlr"));
    EXPECT_FALSE(catalogOfFolderFile("/A/B/"));
    // A catalog file in any letter case is shown without .qlr, and stored under its own name.
    for (const char* name : {"lib.qlr", "LIB.QLR", "Lib.Qlr", "a.b.qlr"})
        EXPECT_TRUE(isCatalogFileName(name)) << name;
    for (const char* name : {"lib.txt", "lib", "libqlr", "lib.qlr.txt", "lib.qlrx", "", "lib.ql"})
        EXPECT_FALSE(isCatalogFileName(name)) << name;
    const std::pair<const char*, const char*> shown[] = {{"dirs.qlr", "dirs"},   {"a.qlr", "a"},
                                                         {".qlr", ".qlr"},       {"qlr", "qlr"},
                                                         {"catalog", "catalog"}, {"notes.txt", "notes.txt"}};
    for (const auto& [name, without] : shown)
        EXPECT_EQ(nameWithoutQlr(name), without) << name;
    EXPECT_EQ(nameWithQlr("LIB.QLR"), "LIB.QLR");
    EXPECT_EQ(nameWithQlr("Lib.Qlr"), "Lib.Qlr");
    EXPECT_EQ(nameWithQlr("lib"), "lib.qlr");
    EXPECT_EQ(nameWithQlr(nameWithoutQlr("LIB.QLR")), "LIB.QLR");
}

TEST(CatalogSettings, aBlankNameIsMissing_intervalMustBeAWholeNumberFrom1To32767)
{
    // (The order of the checks is walked through in the options dialog's suite.)
    CatalogSettingsFields fields{"", " ", "idx", "cat", "temp", "x"};
    EXPECT_EQ(checkCatalogSettings(fields), "Msg007"); // a name of blanks is none
    fields.catalogFolder = "cat";
    for (const char* missing : {"", " ", "\r\n"}) {
        fields.interval = missing;
        EXPECT_EQ(checkCatalogSettings(fields), "Msg011") << missing;
    }
    // 0 or less would mean the monitor never writes its records.
    for (const char* wrong : {"x", "1.5", "0", "-1", "-32768", "32768", "40000", "12 min", "0x10", "1\n2"}) {
        fields.interval = wrong;
        EXPECT_EQ(checkCatalogSettings(fields), "Msg017") << wrong;
    }
    for (const char* right : {"1", " 5 ", "32767", "+12", "\t3\r\n"}) {
        fields.interval = right;
        EXPECT_EQ(checkCatalogSettings(fields), "") << right;
    }
}

TEST(CatalogSettings, eachNameIsOneFolderOrFileName_withoutSlashOrLineBreak_andNotADotName)
{
    const CatalogSettingsFields good{"/data", "books", "idx", "lib", "temp", "3"};
    ASSERT_EQ(checkCatalogSettings(good), "");
    for (std::string CatalogSettingsFields::*name :
         {&CatalogSettingsFields::catalogFolder, &CatalogSettingsFields::indexFolder,
          &CatalogSettingsFields::folderFile, &CatalogSettingsFields::pendingFile}) {
        for (const char* wrong : {"a/b", "/books", "books/", "..", ".", "bo\nok", "bo\rok", " .. "}) {
            CatalogSettingsFields fields = good;
            fields.*name = wrong;
            EXPECT_EQ(checkCatalogSettings(fields), "Msg016") << wrong;
        }
        for (const char* right : {"...", "a..b", ".hidden", "a b", " books\r\n"}) {
            CatalogSettingsFields fields = good;
            fields.*name = right;
            EXPECT_EQ(checkCatalogSettings(fields), "") << right;
        }
    }
    // The pending-changes file lies among the index files: never under a folder's index file name.
    const std::pair<const char*, const char*> pending[] = {
        {"D1", "Msg021"}, {"D1.qlr", "Msg021"}, {"D27", "Msg021"}, {" D3 ", "Msg021"}, {"D", ""},
        {"Dx1", ""},      {"d1", ""},           {"D1a", ""},       {"temp1", ""}};
    for (const auto& [name, expected] : pending) {
        CatalogSettingsFields fields = good;
        fields.pendingFile = name;
        EXPECT_EQ(checkCatalogSettings(fields), expected) << name;
    }
}

TEST(CatalogSettings, storedTrimmedOfAllWhiteSpace_withQlrAddedOnce_fieldsThatFailAChecksStoreNothing)
{
    CoreFixture fx;
    ASSERT_TRUE(fx.core->conf.loadSysConf());
    const std::string confPath = fx.dir / "resource/conf/SysConf.properties";
    // Line ends and tabs pasted around a value are no part of it.
    ASSERT_TRUE(
        storeCatalogSettings(fx.core->conf, {"\t/data\r\n", "books\r", "\nidx", " lib\t", "temp.qlr\r\n", "\t7\r\n"}));
    EXPECT_EQ(fx.core->conf.text("DefaultRootPath"), "/data");
    EXPECT_EQ(fx.core->conf.text("QlrdbFolder"), "books");
    EXPECT_EQ(fx.core->conf.text("QlrdbContentFolder"), "idx");
    EXPECT_EQ(fx.core->conf.text("DirFileName"), "lib.qlr");
    EXPECT_EQ(fx.core->conf.text("TempContentFileName"), "temp.qlr");
    EXPECT_EQ(fx.core->conf.getMonitorAutoWriteInterval(), 7);
    const CatalogSettingsFields shown = catalogSettingsOf(fx.core->conf);
    EXPECT_EQ(shown.folderFile, "lib");
    EXPECT_EQ(shown.pendingFile, "temp");
    const std::string written = readBytes(confPath); // every key in its order: see the SysConf tests
    EXPECT_NE(written.find("\r\nDefaultRootPath=/data\r\n"), std::string::npos);
    EXPECT_NE(written.find("\r\nDirFileName=lib.qlr\r\n"), std::string::npos);

    // Fields that fail a check store nothing; a line break inside a value would write a settings
    // line of its own.
    const CatalogSettingsFields pasted{"/other\rQlrdbFolder=evil", "books", "idx", "lib", "temp", "7"};
    EXPECT_EQ(checkCatalogSettings(pasted), "Msg018");
    EXPECT_FALSE(storeCatalogSettings(fx.core->conf, pasted));
    EXPECT_FALSE(storeCatalogSettings(fx.core->conf, {"/other\n", "books", "idx\nDirFileName=x", "lib", "temp", "7"}));
    EXPECT_FALSE(storeCatalogSettings(fx.core->conf, {"", "", "idx", "lib", "temp", "1"}));
    EXPECT_EQ(readBytes(confPath), written);
    EXPECT_EQ(fx.core->conf.text("DefaultRootPath"), "/data");
    EXPECT_EQ(fx.core->conf.text("QlrdbFolder"), "books");
}

// A settings file that cannot be written is walked through in the options dialog's suite.
TEST(CatalogSettings, newNamesWaitForTheNextCatalog)
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
}

} // namespace
} // namespace quillory::test
