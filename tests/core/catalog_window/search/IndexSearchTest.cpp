// Searching a catalog: which folders, which fields, in what order, and the document scan on its
// own thread.
#include <gtest/gtest.h>

#include <condition_variable>

#include "core/catalog_window/search/DocumentScan.h"
#include "core/catalog_window/search/FileScan.h"
#include "core/catalog_window/search/IndexSearch.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Ids = std::vector<std::string>;

std::string indexLine(const std::string& id, const std::string& title, const std::string& path,
                      const std::string& desc = "")
{
    return id + "|" + title + "|" + path + "|False||2026-01-01 10:00:00|" + desc + "\r\n";
}

class IndexSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        // D1 > D2 > D3, and D4 at the top level.
        writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|D1|||False||\r\nD3|Three|D2|||False||\r\n"
                                 "D4|Four|0|||False||\r\n");
        writeBytes(fx.contentFile("D1"), indexLine("D1!C1", "Annual REPORT", "QLRR$/docs/a.txt")
                                             + indexLine("D1!C2", "Notes", "QLRR$/docs/b.txt", "see the report")
                                             + indexLine("D1!C3", "Letters", "QLRR$/docs/c.txt"));
        writeBytes(fx.contentFile("D2"), indexLine("D2!C1", "Minutes", "docs/d.TXT") // relative to the root
                                             + indexLine("D2!C2", "Site", "https://example.org/report.txt")
                                             + indexLine("D2!C3", "Picture", "QLRR$/docs/e.png"));
        writeBytes(fx.contentFile("D3"), indexLine("D3!C1", "Reporting", "QLRR$/docs/f.txt"));
        writeBytes(fx.contentFile("D4"), indexLine("D4!C1", "Other", "QLRR$/docs/g.txt", "report"));
        for (const char* doc : {"a.txt", "b.txt", "c.txt", "d.TXT", "e.png", "f.txt", "g.txt"})
            writeBytes(fx.dir / (std::string("docs/") + doc), "this document mentions a Report");
        writeBytes(fx.dir / "docs/c.txt", "nothing here");
    }

    CoreFixture fx;
    qlrDbOpe& store = fx.core->store;
};

TEST_F(IndexSearch, scopesAreTheFolderItsSubtreeOrTheWholeCatalog)
{
    EXPECT_EQ(searchScope(store, "D2", false, false), (Ids{"D2"}));
    EXPECT_EQ(searchScope(store, "D1", true, false), (Ids{"D1", "D2", "D3"}));
    EXPECT_EQ(searchScope(store, "D2", true, true), (Ids{"D1", "D4", "D2", "D3"}));
    EXPECT_TRUE(searchScope(store, "", true, false).empty());
    EXPECT_EQ(searchScope(store, "", false, true).size(), 4u);
    EXPECT_TRUE(isBlankSearchText("  \t "));
    EXPECT_FALSE(isBlankSearchText(" a "));
}

TEST_F(IndexSearch, scanReadsTheIndexFilesNotTheCaches)
{
    // The cache says one thing, the file another: the scan goes by the file, as it stands.
    store.getDirContentMap("D1")->removeMap("D1!C1");
    const auto plan = planDocumentScan(store, fx.core->session.getRootPath(), {"D1"}, "report", {});
    DocumentScan complete(plan);
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    complete.start([&] {
        std::lock_guard lock(mutex);
        finished = true;
        done.notify_all();
    });
    std::unique_lock lock(mutex);
    ASSERT_TRUE(done.wait_for(lock, std::chrono::seconds(20), [&] { return finished; }));
    ASSERT_EQ(complete.found().size(), 2u);
    EXPECT_EQ(complete.found()[0].cId, "D1!C1");
    EXPECT_EQ(complete.documentsRead(), 3u);
}

TEST_F(IndexSearch, stoppedScanKeepsWhatItFoundBeforeAndEndsWithinABlock)
{
    // A first document that matches, then a long one to read.
    writeBytes(fx.contentFile("D4"), indexLine("D4!C1", "x", "QLRR$/docs/g.txt") + indexLine("D4!C2", "y", "QLRR$/big.txt"));
    {
        std::FILE* big = std::fopen((fx.dir / "big.txt").c_str(), "w");
        ASSERT_NE(big, nullptr);
        ::ftruncate(::fileno(big), 4'000'000'000LL); // mostly a hole: reads as zeros
        std::fclose(big);
    }
    DocumentScan scan(planDocumentScan(store, fx.core->session.getRootPath(), {"D4"}, "report", {}));
    scan.start({});
    while (scan.found().empty())
        std::this_thread::yield();
    const auto began = std::chrono::steady_clock::now();
    scan.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(2));
    EXPECT_TRUE(scan.wasStopped());
    EXPECT_FALSE(scan.running());
    ASSERT_EQ(scan.found().size(), 1u);
    EXPECT_EQ(scan.found()[0].cId, "D4!C1");
}

} // namespace
} // namespace quillory::test
