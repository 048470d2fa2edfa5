#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "core/config/SysConfKeys.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

std::vector<std::string> defaultsPlus(std::initializer_list<std::string> extra)
{
    auto lines = CoreFixture::defaultConfLines();
    lines.insert(lines.end(), extra);
    return lines;
}

TEST(SysConf, load_valueIsEverythingAfterFirstEquals_laterLineWins_valueThatDoesNotConvertKeepsTheSetting)
{
    CoreFixture g(defaultsPlus({"MonitorAutoWriteInterval=+12", "IsRunning=10"}));
    ASSERT_TRUE(g.core->conf.loadSysConf());
    EXPECT_EQ(g.core->conf.getMonitorAutoWriteInterval(), 12);
    EXPECT_TRUE(g.core->conf.isRunning());

    CoreFixture f(
        defaultsPlus({"IsRunning=2.5", "IsRunning=maybe", "NeedBackTwo=yes", "FontSize=32767", "FontSize=32768",
                      "FontSize=9pt", "FontSize = 7", "fontsize=12", "MonitorAutoWriteInterval=+12",
                      "MonitorAutoWriteInterval=-32768", "MonitorAutoWriteInterval=", "Msg001=a=b",
                      "Msg002=", "Err002=second", "   ", "Msg003", "=orphan", "Msg004 =spaced"}));
    SysConf& conf = f.core->conf;
    ASSERT_TRUE(conf.loadSysConf());

    EXPECT_TRUE(conf.isRunning());
    EXPECT_FALSE(conf.needBackTwo());
    EXPECT_EQ(conf.fontSize(), 32767);
    EXPECT_EQ(conf.getMonitorAutoWriteInterval(), -32768);
    EXPECT_EQ(conf.text("Msg001"), "a=b");
    EXPECT_EQ(conf.text("Msg002"), "");
    EXPECT_EQ(conf.text("Err002"), "second");
    EXPECT_EQ(conf.text("Msg003"), "Msg003 text");
    EXPECT_EQ(conf.text("Msg004"), "Msg004 text");
    EXPECT_TRUE(f.recorder.shown.empty());
}

TEST(CatalogSession, load_fillsOnlyEmptyOpenCatalogValues_andEmptyRootFallsBackToProgramFolder)
{
    CoreFixture f;
    SysConf& conf = f.core->conf;
    CatalogSession& session = f.core->session;
    f.core->layout.openCatalog("", "other", "");
    conf.forgetLoaded();
    ASSERT_TRUE(conf.loadSysConf());

    EXPECT_EQ(conf.text("QlrdbFolder"), "cat");
    EXPECT_EQ(session.currentQlrdbFolder(), "other");
    EXPECT_EQ(session.currentDirFileName(), "cat.qlr");
    EXPECT_EQ(f.core->layout.getDirFilePath(), f.programFolder() + "/other/cat.qlr");
}

TEST(CatalogSession, closingCatalog_rereadsTheFile_recordPathsReadNothing)
{
    CoreFixture f(defaultsPlus({"DefaultRootPath=/srv/first"}));
    SysConf& conf = f.core->conf;
    CatalogSession& session = f.core->session;
    ASSERT_EQ(session.getRootPath(), "/srv/first");
    writeBytes(f.dir / "resource/conf/SysConf.properties",
               crlfText(defaultsPlus({"DefaultRootPath=/srv/second", "FontSize=12"})));
    EXPECT_EQ(session.getRootPath(), "/srv/first");

    f.core->catalog.closeCatalog();
    // Read on closing: an index's path, made afterwards, reads nothing (the file is gone now).
    std::filesystem::remove(f.dir / "resource/conf/SysConf.properties");
    const auto index = f.core->store.newContentRecord();
    index->setStoredPath("QLRR$/a.txt");
    EXPECT_EQ(index->cContentPath(), "/srv/second/a.txt");
    EXPECT_EQ(session.getRootPath(), "/srv/second");
    EXPECT_EQ(conf.fontSize(), 12);
    EXPECT_TRUE(f.recorder.shown.empty());
}

TEST(SysConf, fileOnlyTwoLevelsUp_isFoundOnSecondTryAndSavedThere_missingEverywhere_isSaidOnceAndLoadFails)
{
    TempDir dir;
    {
        CoreContext core(dir.path());
        MessageRecorder recorder;
        recorder.install(core.messages);
        EXPECT_FALSE(core.conf.loadSysConf());
        EXPECT_FALSE(core.conf.loadSysConf());
        core.session.getRootPath();
        EXPECT_TRUE(core.conf.configMissing());
        ASSERT_EQ(recorder.shown.size(), 1u);
        EXPECT_EQ(recorder.shown[0].key, "");
        EXPECT_EQ(recorder.shown[0].text, "Error:Can't find config file,the system will exit.");
    }
    const std::string confPath = dir / "x/resource/conf/SysConf.properties";
    writeBytes(confPath, crlfText(CoreFixture::defaultConfLines()));
    makeFolders(dir / "x/bin/run");
    CoreContext core(dir / "x/bin/run");
    MessageRecorder recorder;
    recorder.install(core.messages);

    ASSERT_TRUE(core.conf.loadSysConf());
    EXPECT_TRUE(core.conf.needBackTwo());
    EXPECT_EQ(core.conf.getAppBasePath(), dir / "x");
    EXPECT_EQ(core.session.getRootPath(), dir / "x");
    EXPECT_EQ(core.conf.text("QlrdbFolder"), "cat");

    core.conf.setFontSize(14);
    ASSERT_TRUE(core.conf.saveSysConf());
    const std::string saved = readBytes(confPath);
    EXPECT_NE(saved.find("\r\nNeedBackTwo=True\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nFontSize=14\r\n"), std::string::npos);
    EXPECT_FALSE(pathExists(dir / "x/bin/run/resource"));
    EXPECT_TRUE(recorder.shown.empty());
}

TEST(SysConf, loadThenSave_writesEveryKeyInFixedOrderWithoutBlankOrForeignLines)
{
    // Each key's value as the file holds it, and as saving writes it back.
    const std::map<std::string, std::pair<std::string, std::string>> special = {
        {"IsRunning", {"true", "True"}},
        {"NeedBackTwo", {"0", "False"}},
        {"FontSize", {"11", "11"}},
        {"MonitorAutoWriteInterval", {"-3", "-3"}},
        {"Msg001", {"a=b", "a=b"}}};
    std::vector<std::string> lines;
    std::string expected;
    for (const auto& key : sysConfKeys()) {
        const auto it = special.find(key.name);
        const std::string plain = key.name + " value";
        const auto [value, written] = it != special.end() ? it->second : std::pair(plain, plain);
        lines.push_back(key.name + "=" + value);
        expected += key.name + "=" + written + "\r\n";
    }
    std::reverse(lines.begin(), lines.end());
    lines.insert(lines.begin() + 3, {"", "   ", "# a comment", "Colour=red"});
    CoreFixture f(lines);
    ASSERT_TRUE(f.core->conf.loadSysConf());
    // The catalog open now is not the configured one; the file keeps the configured one.
    f.core->catalog.openCatalog(f.dir / "elsewhere/books/lib.qlr");

    ASSERT_TRUE(f.core->conf.saveSysConf());
    EXPECT_EQ(readBytes(f.dir / "resource/conf/SysConf.properties"), expected);
}

} // namespace
} // namespace quillory::test
