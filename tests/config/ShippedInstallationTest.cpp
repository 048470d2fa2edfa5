#include <gtest/gtest.h>

#include <filesystem>

#include "config/SysConfKeys.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

// The configuration and demo catalog that ship with the program, laid out as the build lays
// them out, must load without a single message and lead to real documents.
TEST(ShippedInstallation, demoCatalogLoadsAndEveryIndexFindsItsDocument)
{
    TempDir dir;
    copyShippedInstallation(dir.path());
    CoreContext core(dir.path());
    MessageRecorder recorder;
    recorder.install(core.messages);

    ASSERT_TRUE(core.conf.loadSysConf());
    for (const auto& key : sysConfKeys()) {
        if (key.type == SysConfValueType::Text && key.name != "DefaultRootPath") {
            EXPECT_FALSE(core.conf.text(key.name).empty()) << key.name;
        }
    }
    EXPECT_GT(core.conf.FontSize, 0);
    EXPECT_EQ(core.conf.getRootPath(), dir.path());

    std::vector<std::string> allFolders;
    core.store.getDirIdsByParentId("0", true, allFolders);
    ASSERT_GE(allFolders.size(), 5u);
    EXPECT_EQ(static_cast<int>(allFolders.size()), core.store.getAllDirMap()->getCount());

    ContentCollection indexes;
    core.store.getDirContentByIdS(allFolders, indexes);
    ASSERT_GE(indexes.count(), 6);
    int web = 0;
    int local = 0;
    indexes.forEach([&](const std::string& id, const ContentCollection::Ptr& index) {
        const std::string path = index->cContentPath();
        if (path.rfind("http://", 0) == 0 || path.rfind("https://", 0) == 0) {
            ++web;
            return;
        }
        ++local;
        EXPECT_TRUE(std::filesystem::exists(path)) << id << " -> " << path;
        EXPECT_EQ(index->storedPath().rfind("QLRR$/", 0), 0u) << id;
    });
    EXPECT_GE(web, 2);
    EXPECT_GE(local, 4);
    EXPECT_TRUE(recorder.shown.empty()) << recorder.shown.front().key;
}

TEST(ShippedInstallation, configurationSavesBackUnchanged)
{
    TempDir dir;
    copyShippedInstallation(dir.path());
    const std::string path = dir / "resource/conf/SysConf.properties";
    const std::string before = readBytes(path);
    CoreContext core(dir.path());
    ASSERT_TRUE(core.conf.loadSysConf());
    ASSERT_TRUE(core.conf.saveSysConf());
    EXPECT_EQ(readBytes(path), before);
}

} // namespace
} // namespace quillory::test
