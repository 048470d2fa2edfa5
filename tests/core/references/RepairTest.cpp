// Documents moved, renamed and deleted while the program was closed, on real files: what the
// check of the catalog then finds, the repairs it offers (a folder's move offered for what it
// took along), what applying them writes into the index files, and Undo putting them back.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/references/CatalogCheck.h"
#include "core/references/RepairPlan.h"
#include "core/references/StoreRepairs.h"
#include "support/FakeDisk.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

namespace fs = std::filesystem;

void moveTo(const std::string& from, const std::string& to)
{
    fs::create_directories(fs::path(to).parent_path());
    fs::rename(from, to);
}

class RepairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        disk.unmounted = {fx.dir / "volume"};
        writeBytes(fx.dirFile(), "D1|Work|0|||False||\r\nD2|Away|0|||False||\r\n");
        for (const char* name : {"docs/a.txt", "projects/p/one.txt", "projects/p/sub/two.txt", "docs/gone.txt"})
            writeBytes(fx.dir / name, std::string("content of ") + name);
        writeBytes(fx.dir / "docs/twin.txt", "twin");
        writeBytes(fx.contentFile("D1"),
                   pathLine("D1!C1", "QLRR$/docs/a.txt") + pathLine("D1!C2", "QLRR$/projects/p/one.txt")
                       + pathLine("D1!C3", "QLRR$/projects/p/sub") // a folder
                       + pathLine("D1!C4", "QLRR$/docs/gone.txt") + pathLine("D1!C5", "QLRR$/docs/twin.txt"));
        writeBytes(fx.contentFile("D2"), pathLine("D2!C1", fx.dir / "volume/report.txt"));
    }

    // A whole check, to its end.
    std::unique_ptr<CatalogCheck> check()
    {
        StoreProblems problems;
        auto check = std::make_unique<CatalogCheck>(planCatalogCheck(fx.core->store, disk, problems));
        EXPECT_TRUE(runToEnd(*check));
        EXPECT_TRUE(check->completed());
        return check;
    }

    static std::vector<std::string> problemsOf(const CatalogCheck& check)
    {
        std::vector<std::string> ids;
        for (const ReferenceProblem& problem : check.problems())
            ids.push_back(problem.cId + (problem.state == ReferenceState::Offline ? " offline" : " missing"));
        return ids;
    }

    RepairPlan planOf(const CatalogCheck& check)
    {
        std::vector<IndexReference> missing;
        for (const ReferenceProblem& problem : check.problems()) {
            if (problem.state == ReferenceState::Missing)
                missing.push_back({problem.dirId, problem.cId, problem.place});
        }
        return planRepairs(check.offers(), missing);
    }

    // "id -> new path relative to the catalog's root, ticked or not" for each line.
    std::vector<std::string> linesOf(const RepairPlan& plan)
    {
        std::vector<std::string> lines;
        for (const RepairLine& line : plan.lines)
            lines.push_back(line.offer.reference.indexId + " -> "
                            + fs::path(line.offer.newPath).lexically_relative(fx.dir.path()).string()
                            + (line.ticked ? " [x]" : " [ ]"));
        return lines;
    }

    CoreFixture fx;
    ScopedEnvironment cacheHome{"XDG_CACHE_HOME", fx.dir / "cache"};
    RealDisk disk; // the folder "volume" stands for a volume that is not mounted
};

TEST_F(RepairTest, documentsMovedWhileClosedAreOfferedAgain_appliedToTheIndexFile_onlyWhileTheyStillFit)
{
    // An earlier session's check saw every document (and remembered their content).
    EXPECT_EQ(problemsOf(*check()), (std::vector<std::string>{"D2!C1 offline"}));

    // Then, while the program was closed: a rename, a folder moved with all it holds, a deletion,
    // and a document moved where two copies of it now stand.
    fs::rename(fx.dir / "docs/a.txt", fx.dir / "docs/a-renamed.txt");
    moveTo(fx.dir / "projects", fx.dir / "archive/projects");
    fs::remove(fx.dir / "docs/gone.txt");
    writeBytes(fx.dir / "t1/twin.txt", "twin");
    moveTo(fx.dir / "docs/twin.txt", fx.dir / "t2/twin.txt");
    // Renamed copies of a document found under its own name do not make that a guess; a copy of
    // the deleted one in a hidden folder (a trash) is not offered.
    writeBytes(fx.dir / "copies/one (1).txt", "content of projects/p/one.txt");
    writeBytes(fx.dir / "copies/one copy.txt", "content of projects/p/one.txt");
    writeBytes(fx.dir / ".trash/gone.txt", "content of docs/gone.txt");

    const auto found = check();
    EXPECT_EQ(problemsOf(*found), (std::vector<std::string>{"D1!C1 missing", "D1!C2 missing", "D1!C3 missing",
                                                            "D1!C4 missing", "D1!C5 missing", "D2!C1 offline"}));
    RepairPlan plan = planOf(*found);
    // The folder, which no search by name finds, comes with the document moved along with it;
    // the deleted document has nothing; the twins are a guess, left unticked.
    EXPECT_EQ(linesOf(plan),
              (std::vector<std::string>{"D1!C1 -> docs/a-renamed.txt [x]", "D1!C2 -> archive/projects/p/one.txt [x]",
                                        "D1!C3 -> archive/projects/p/sub [x]", "D1!C5 -> t1/twin.txt [ ]"}));

    // The user ticks the guess too, but that copy goes before OK: it changes nothing.
    const std::string otherBefore = readBytes(fx.contentFile("D2"));
    plan.lines.back().ticked = true;
    fs::remove(fx.dir / "t1/twin.txt");
    SyncUndo undo(fx.core->store.fileIo(), fx.dir / "state/undo");
    const RepairResult result = applyRepairPlan(fx.core->store, plan, &undo);
    EXPECT_EQ(result.applied, 3);
    EXPECT_EQ(result.stale, 1);
    EXPECT_TRUE(result.problems.empty());
    EXPECT_EQ(readBytes(fx.contentFile("D1")),
              pathLine("D1!C1", "QLRR$/docs/a-renamed.txt") + pathLine("D1!C2", "QLRR$/archive/projects/p/one.txt")
                  + pathLine("D1!C3", "QLRR$/archive/projects/p/sub") + pathLine("D1!C4", "QLRR$/docs/gone.txt")
                  + pathLine("D1!C5", "QLRR$/docs/twin.txt"));
    EXPECT_EQ(readBytes(fx.contentFile("D2")), otherBefore);
    EXPECT_EQ(problemsOf(*check()), (std::vector<std::string>{"D1!C4 missing", "D1!C5 missing", "D2!C1 offline"}));

    // The same repairs again fit nothing now: nothing is written, and the undo stays as it was.
    const std::string repaired = readBytes(fx.contentFile("D1"));
    const RepairResult again = applyRepairPlan(fx.core->store, plan, &undo);
    EXPECT_EQ(again.applied, 0);
    EXPECT_EQ(again.stale, 4);
    EXPECT_EQ(readBytes(fx.contentFile("D1")), repaired);
    EXPECT_TRUE(undo.isKept()); // Undo putting the file back: the missing documents' suite
}

TEST_F(RepairTest, withoutWhatAnEarlierCheckSaw_aDocumentIsFoundByItsNameOnly_andNotTicked)
{
    moveTo(fx.dir / "docs/a.txt", fx.dir / "elsewhere/a.txt");
    moveTo(fx.dir / "projects", fx.dir / "archive/projects");
    const auto found = check();
    // Nothing known of their sizes: names alone are a guess, and a guess moves no folder.
    EXPECT_EQ(linesOf(planOf(*found)),
              (std::vector<std::string>{"D1!C1 -> elsewhere/a.txt [ ]", "D1!C2 -> archive/projects/p/one.txt [ ]"}));
}

} // namespace
} // namespace quillory::test
