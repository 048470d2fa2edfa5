#include <gtest/gtest.h>

#include <filesystem>

#include "core/catalog_window/IndexRows.h"
#include "core/config/SysConfKeys.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

// The configuration and demo catalog that ship with the program, laid out as the build lays
// them out, must load without a single message, lead to real documents and save back unchanged.
TEST(ShippedInstallation, demoCatalogLoadsEveryIndexFindsItsDocumentAndConfigurationSavesBackUnchanged)
{
    TempDir dir;
    copyShippedInstallation(dir.path());
    CoreContext core(dir.path());
    MessageRecorder recorder;
    recorder.install(core.messages);
    const std::string confPath = dir / "resource/conf/SysConf.properties";
    const std::string confText = readBytes(confPath);

    ASSERT_TRUE(core.conf.loadSysConf());
    for (const auto& key : sysConfKeys()) {
        if (key.type == SysConfValueType::Text && key.name != "DefaultRootPath") {
            EXPECT_FALSE(core.conf.text(key.name).empty()) << key.name;
        }
    }
    EXPECT_GT(core.conf.fontSize(), 0);
    EXPECT_EQ(core.session.getRootPath(), dir.path());

    std::vector<std::string> allFolders;
    StoreProblems problems;
    core.store.getDirIdsByParentId("0", true, allFolders, problems);
    ASSERT_GE(allFolders.size(), 5u);
    EXPECT_EQ(static_cast<int>(allFolders.size()), core.store.getAllDirMap(problems)->getCount());
    ContentCollection indexes;
    core.store.getDirContentByIdS(allFolders, indexes, problems);
    EXPECT_TRUE(problems.empty());
    int web = 0;
    indexes.forEach([&](const std::string& id, const ContentCollection::Ptr& index) {
        const std::string path = index->cContentPath();
        if (isWebAddress(path))
            return void(++web);
        EXPECT_TRUE(std::filesystem::exists(path)) << id << " -> " << path;
        EXPECT_EQ(index->storedPath().rfind("QLRR$/", 0), 0u) << id;
    });
    EXPECT_GE(web, 2);
    EXPECT_GE(indexes.count() - web, 4);
    EXPECT_TRUE(recorder.shown.empty()) << recorder.shown.front().key;

    ASSERT_TRUE(core.conf.saveSysConf());
    EXPECT_EQ(readBytes(confPath), confText);
}

} // namespace
} // namespace quillory::test
