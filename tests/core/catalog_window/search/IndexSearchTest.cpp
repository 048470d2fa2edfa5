// Searching a catalog: which folders, which fields, in what order, and the document scan on its
// own thread.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <unistd.h>

#include "core/catalog_window/search/DocumentScan.h"
#include "core/catalog_window/search/FileScan.h"
#include "core/catalog_window/search/IndexSearch.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Ids = std::vector<std::string>;

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
    CatalogStore& store = fx.core->store;
};

// The scopes with a folder chosen, and a text of blanks, are walked through in the search panel's suite.
TEST_F(IndexSearch, withoutAFolder_onlyTheWholeCatalogIsAScope)
{
    EXPECT_TRUE(searchScope(store, "", true, false, fx.told()).empty());
    EXPECT_EQ(searchScope(store, "", false, true, fx.told()), (Ids{"D1", "D4", "D2", "D3"}));
}

// Waits until ready() holds, for at most 20 seconds.
template <class Ready>
bool waitFor(Ready ready)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

Ids idsOf(const std::vector<DocumentScan::Found>& found)
{
    Ids ids;
    for (const auto& f : found)
        ids.push_back(f.cId);
    return ids;
}

// Makes a folder the working folder while it lives.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& path) : before_(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingFolder() { std::filesystem::current_path(before_); }

private:
    std::filesystem::path before_;
};

TEST_F(IndexSearch, scanReadsTheIndexFilesNotTheCaches_andSkipsWhatTheTitlesFound)
{
    // The cache says one thing, the file another: the scan goes by the file, as it stands.
    store.getDirContentMap("D1", fx.told())->removeMap("D1!C1");
    DocumentScan complete(planDocumentScan(store, fx.core->session.getRootPath(), {"D1"}, "report", {}));
    ASSERT_TRUE(runToEnd(complete));
    EXPECT_EQ(idsOf(complete.found()), (Ids{"D1!C1", "D1!C2"}));
    EXPECT_EQ(complete.documentsRead(), 3u);
    EXPECT_EQ(complete.documentsToRead(), 3u);
    EXPECT_TRUE(complete.completed());

    // An index found by its title is not read again, nor found twice.
    store.resetStoreCache();
    ContentCollection byTitle;
    StoreProblems problems;
    searchTitlesAndDescriptions(store, {"D1"}, "report", {true, false}, byTitle, problems);
    ASSERT_EQ(byTitle.count(), 1);
    DocumentScan rest(planDocumentScan(store, fx.core->session.getRootPath(), {"D1"}, "report", byTitle));
    ASSERT_TRUE(runToEnd(rest));
    EXPECT_EQ(idsOf(rest.found()), (Ids{"D1!C2"}));
    EXPECT_EQ(rest.documentsToRead(), 2u);
    EXPECT_EQ(rest.documentsRead(), 2u);
}

TEST_F(IndexSearch, scanReadsRelativePathsUnderTheRoot_andNeverAWebAddressAsAFile)
{
    // Files that a wrong reading would find: the relative path and the web address taken as
    // paths under the working folder, and the web address taken as a path under the root.
    TempDir elsewhere;
    writeBytes(elsewhere / "docs/d.TXT", "nothing of note");
    writeBytes(elsewhere / "https:/example.org/report.txt", "a report");
    writeBytes(fx.dir / "https:/example.org/report.txt", "a report");
    const WorkingFolder working(elsewhere.path());
    DocumentScan scan(planDocumentScan(store, fx.core->session.getRootPath(), {"D2"}, "REPORT", {}));
    ASSERT_TRUE(runToEnd(scan));
    EXPECT_EQ(idsOf(scan.found()), (Ids{"D2!C1"}));
    EXPECT_EQ(scan.documentsRead(), 3u);
}

TEST_F(IndexSearch, stoppedScanKeepsWhatItFoundBefore_andEndsWithinABlock)
{
    // A first document that matches, then a long one to read: 64 GB that are mostly a hole
    // (they read as zeros and take no disk).
    writeBytes(fx.contentFile("D4"), indexLine("D4!C1", "x", "QLRR$/docs/g.txt")
                                         + indexLine("D4!C2", "y", "QLRR$/big.txt")
                                         + indexLine("D4!C3", "z", "QLRR$/docs/a.txt"));
    {
        std::FILE* big = std::fopen((fx.dir / "big.txt").c_str(), "w");
        ASSERT_NE(big, nullptr);
        ASSERT_EQ(::ftruncate(::fileno(big), 64'000'000'000LL), 0);
        std::fclose(big);
    }
    DocumentScan scan(planDocumentScan(store, fx.core->session.getRootPath(), {"D4"}, "report", {}));
    // Held before the long document: the first has surely been read, and the scan runs on.
    scan.holdBefore(1);
    scan.start({});
    ASSERT_TRUE(waitFor([&] { return scan.holding(); })); // (what a held scan shows: the search panel's suite)

    // Let go, it reads the long document; a stop ends that within a block.
    scan.release();
    ASSERT_TRUE(waitFor([&] { return !scan.holding(); }));
    const auto began = std::chrono::steady_clock::now();
    scan.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
    EXPECT_TRUE(scan.wasStopped());
    EXPECT_FALSE(scan.running());
    EXPECT_FALSE(scan.completed());
    EXPECT_EQ(idsOf(scan.found()), (Ids{"D4!C1"}));
    EXPECT_EQ(scan.documentsRead(), 1u);

    // A scan stopped while held ends at once.
    DocumentScan held(planDocumentScan(store, fx.core->session.getRootPath(), {"D4"}, "report", {}));
    held.holdBefore(0);
    held.start({});
    ASSERT_TRUE(waitFor([&] { return held.holding(); }));
    held.stop();
    EXPECT_FALSE(held.running());
    EXPECT_TRUE(held.found().empty());
}

} // namespace
} // namespace quillory::test
