// The check of a catalog's references on real files: which indexes it lists and why, that
// it stops where it is told, and the row marks' worker that looks at places off the caller's
// thread.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <future>

#include "core/references/CatalogCheck.h"
#include "core/references/PresenceWorker.h"
#include "support/FakeDisk.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

namespace fs = std::filesystem;

using Found = std::vector<std::tuple<std::string, ReferenceState, std::string>>;

Found found(const CatalogCheck& check)
{
    Found all;
    for (const ReferenceProblem& problem : check.problems())
        all.emplace_back(problem.cId, problem.state, problem.place);
    return all;
}

class CatalogCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string volume = fx.dir / "volume";
        disk.unmounted = {volume};
        writeBytes(fx.dirFile(), "D1|One|0|||False||\r\nD2|Two|D1|||False||\r\n");
        writeBytes(fx.dir / "docs/here.txt", "x");
        writeBytes(fx.dir / "docs/deleted.txt", "x");
        fs::remove(fx.dir / "docs/deleted.txt");
        writeBytes(outside / "there.txt", "x");
        writeBytes(fx.contentFile("D1"), pathLine("D1!C1", "QLRR$/docs/here.txt")          // there
                                             + pathLine("D1!C2", "QLRR$/docs/deleted.txt") // deleted
                                             + pathLine("D1!C3", "docs/never.txt")         // relative, missing
                                             + pathLine("D1!C4", "https://example.org/gone") + pathLine("D1!C5", "")
                                             + pathLine("D1!C6", "QLRR$/docs")); // a folder, there
        // A volume away: nothing is said of what would be on it, even what surely is not there.
        writeBytes(fx.contentFile("D2"), pathLine("D2!C1", volume + "/a.txt") + pathLine("D2!C2", outside / "there.txt")
                                             + pathLine("D2!C3", outside / "gone.txt"));
    }

    CoreFixture fx;
    ScopedEnvironment cacheHome{"XDG_CACHE_HOME", fx.dir / "cache"};
    TempDir outside;
    RealDisk disk;
};

// A check held before its second folder and stopped is walked through in the missing documents' suite.
TEST_F(CatalogCheckTest, listsExactlyTheReferencesNotThere)
{
    const std::string root = fx.core->store.getRootPath();
    StoreProblems problems;
    CatalogCheck check(planCatalogCheck(fx.core->store, disk, problems));
    ASSERT_TRUE(runToEnd(check));
    EXPECT_TRUE(check.completed());
    EXPECT_EQ(check.foldersChecked(), 2u);
    EXPECT_EQ(found(check), (Found{{"D1!C2", ReferenceState::Missing, root + "/docs/deleted.txt"},
                                   {"D1!C3", ReferenceState::Missing, root + "/docs/never.txt"},
                                   {"D2!C1", ReferenceState::Offline, fx.dir / "volume/a.txt"},
                                   {"D2!C2", ReferenceState::OutsideRoot, outside / "there.txt"},
                                   {"D2!C3", ReferenceState::Missing, outside / "gone.txt"}}));
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(check.readProblems().empty());
}

TEST_F(CatalogCheckTest, aCheckThatGivesWayWaitsBeforeItsNextFolder_andAStopStillEndsIt)
{
    StoreProblems problems;
    CatalogCheck check(planCatalogCheck(fx.core->store, disk, problems));
    check.giveWay(true);
    std::promise<void> ended;
    check.start([&] { ended.set_value(); });
    auto end = ended.get_future();
    EXPECT_EQ(end.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(check.foldersChecked(), 0u);
    check.giveWay(false);
    ASSERT_EQ(end.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_TRUE(check.completed());
    EXPECT_EQ(found(check).size(), 5u);

    CatalogCheck waiting(planCatalogCheck(fx.core->store, disk, problems));
    waiting.giveWay(true);
    waiting.start({});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    waiting.stop(); // returns: the stop wakes it
    EXPECT_TRUE(waiting.ended());
    EXPECT_FALSE(waiting.completed());
}

TEST_F(CatalogCheckTest, theRowWorkerAnswersEveryPlaceAskedOffTheCallersThread)
{
    std::mutex mutex;
    std::condition_variable told;
    std::thread::id answeredOn;
    PresenceWorker worker(disk, [&] {
        std::lock_guard lock(mutex);
        answeredOn = std::this_thread::get_id();
        told.notify_all();
    });
    worker.ask({fx.dir / "docs/here.txt", fx.dir / "docs/deleted.txt"});
    worker.ask({fx.dir / "volume/a.txt", ""});
    std::vector<PresenceWorker::Answer> answers;
    for (int i = 0; i < 200 && answers.size() < 4; ++i) {
        std::unique_lock lock(mutex);
        told.wait_for(lock, std::chrono::milliseconds(50));
        lock.unlock();
        for (auto& answer : worker.take())
            answers.push_back(std::move(answer));
    }
    EXPECT_EQ(answers, (std::vector<PresenceWorker::Answer>{{fx.dir / "docs/here.txt", Presence::Present},
                                                            {fx.dir / "docs/deleted.txt", Presence::Missing},
                                                            {fx.dir / "volume/a.txt", Presence::Offline},
                                                            {"", Presence::Present}}));
    EXPECT_NE(answeredOn, std::this_thread::get_id());
}

} // namespace
} // namespace quillory::test
