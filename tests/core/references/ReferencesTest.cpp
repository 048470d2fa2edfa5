// Checking a catalog's references and finding moved documents again, on real files in a
// temporary folder: documents moved, renamed and deleted while nobody looked, a volume taken
// away, a folder moved with everything in it, a fingerprint cache lost or damaged.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/catalog_window/search/WorkerGate.h"
#include "core/references/FingerprintCache.h"
#include "core/references/ReferenceCheck.h"
#include "core/references/RefindSearch.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

namespace fs = std::filesystem;

// The real file system, except that one path cannot be opened (as root, permissions cannot
// refuse anything).
class RefusingIo : public FileIo {
public:
    std::string refused;
    int open(const char* path, int flags, mode_t mode) override
    {
        if (path == refused) {
            errno = EACCES;
            return -1;
        }
        return FileIo::open(path, flags, mode);
    }
};

using Found = std::vector<std::pair<std::string, ReferenceState>>;

Found foundIn(const ReferenceCheck& check)
{
    Found found;
    for (const ReferenceFinding& finding : check.findings())
        found.emplace_back(finding.reference.indexId, finding.state);
    return found;
}

const char* const kReasons[] = {"name, content", "content", "name, size", "name", "prefix"};

// "index id -> new path (reason)" for each offer.
std::vector<std::string> described(const std::vector<RepairOffer>& offers, const std::string& base)
{
    std::vector<std::string> lines;
    for (const RepairOffer& offer : offers)
        lines.push_back(offer.reference.indexId + " -> " + fs::path(offer.newPath).lexically_relative(base).string()
                        + " (" + kReasons[static_cast<size_t>(offer.reason)] + ")");
    return lines;
}

std::vector<IndexReference> missingOf(const std::vector<ReferenceFinding>& findings)
{
    std::vector<IndexReference> missing;
    for (const ReferenceFinding& finding : findings) {
        if (finding.state == ReferenceState::Missing)
            missing.push_back(finding.reference);
    }
    return missing;
}

std::vector<ReferenceFinding> checkAll(const std::vector<IndexReference>& references, const std::string& root,
                                       FingerprintCache* cache)
{
    ReferenceCheck check(references, root, {});
    check.useFingerprintCache(cache);
    while (check.step(2)) {}
    return check.findings();
}

// Offline documents, those outside the root, relative paths, folders and web addresses are in the
// catalog check's tests, which go through this check.
TEST(References, checkTellsMissingAndUnreadable_aStepAtATime)
{
    TempDir temp;
    const std::string root = temp / "root";
    writeBytes(root + "/ok.txt", "fine");
    writeBytes(root + "/locked.txt", "secret");
    RefusingIo io;
    io.refused = root + "/locked.txt";
    const std::vector<IndexReference> references = {
        {"D1", "D1!C1", root + "/ok.txt"},          {"D1", "D1!C2", root + "/gone.txt"},
        {"D1", "D1!C3", "https://example.org/a"},   {"D1", "D1!C4", root + "/locked.txt"},
        {"D2", "D2!C1", root + "/gone/folder/doc"},
    };
    ReferenceCheck check(
        references, root, [](const std::string&) { return true; }, io);
    EXPECT_EQ(check.total(), 4u); // the web address is left out
    EXPECT_TRUE(check.step(3));
    EXPECT_EQ(check.checked(), 3u);
    EXPECT_EQ(foundIn(check), (Found{{"D1!C2", ReferenceState::Missing}, {"D1!C4", ReferenceState::Unreadable}}));
    while (check.step(3)) {}
    EXPECT_TRUE(check.done());
    EXPECT_EQ(foundIn(check), (Found{{"D1!C2", ReferenceState::Missing},
                                     {"D1!C4", ReferenceState::Unreadable},
                                     {"D2!C1", ReferenceState::Missing}}));
    EXPECT_EQ(check.findings().back().reference.path, root + "/gone/folder/doc");
}

TEST(References, movedAndRenamedDocumentsAreFoundAgainDeletedOnesNot)
{
    TempDir temp;
    const std::string root = temp / "root";
    ScopedEnvironment cacheHome("XDG_CACHE_HOME", temp / "cache");
    const std::string cacheFile = FingerprintCache::fileFor(root + "/catalog");
    ASSERT_EQ(cacheFile.rfind(temp / "cache/quillory/", 0), 0u);

    // A large report (its fingerprint reads its two ends), notes, a picture, and a letter kept
    // outside the root.
    std::string report(300 * 1024, 'r');
    report.replace(150 * 1024, 6, "middle");
    writeBytes(root + "/a/report.txt", report);
    writeBytes(root + "/a/notes.txt", "notes of the meeting");
    writeBytes(root + "/a/photo.bin", "pixels");
    writeBytes(temp / "elsewhere/letter.txt", "dear reader");
    const std::vector<IndexReference> references = {{"D1", "D1!C1", root + "/a/report.txt"},
                                                    {"D1", "D1!C2", root + "/a/notes.txt"},
                                                    {"D1", "D1!C3", root + "/a/photo.bin"},
                                                    {"D2", "D2!C1", temp / "elsewhere/letter.txt"}};
    {
        FingerprintCache cache;
        EXPECT_FALSE(cache.load(defaultFileIo(), cacheFile));     // none yet
        EXPECT_EQ(checkAll(references, root, &cache).size(), 1u); // the letter lies outside
        EXPECT_TRUE(cache.changed());
        ASSERT_TRUE(cache.save(defaultFileIo(), cacheFile));
    }
    {
        // Checked again with nothing changed on disk: nothing new to write.
        FingerprintCache cache;
        EXPECT_TRUE(cache.load(defaultFileIo(), cacheFile));
        checkAll(references, root, &cache);
        cache.dropUnused();
        EXPECT_FALSE(cache.changed());
    }

    // While the program is closed: the report moves, the notes are renamed, the picture is
    // deleted, the letter goes into a folder below its own. Another "notes.txt" of another size
    // and a copy of the report with a changed middle (the fingerprint does not read it) appear.
    fs::create_directories(root + "/b");
    fs::rename(root + "/a/report.txt", root + "/b/report.txt");
    fs::rename(root + "/a/notes.txt", root + "/a/minutes.txt");
    fs::remove(root + "/a/photo.bin");
    fs::create_directories(temp / "elsewhere/2024");
    fs::rename(temp / "elsewhere/letter.txt", temp / "elsewhere/2024/letter.txt");
    writeBytes(root + "/c/notes.txt", "other notes");
    report.replace(150 * 1024, 6, "MIDDLE");
    writeBytes(root + "/c/report-copy.txt", report);

    FingerprintCache cache;
    EXPECT_TRUE(cache.load(defaultFileIo(), cacheFile));
    const std::vector<IndexReference> missing = missingOf(checkAll(references, root, &cache));
    ASSERT_EQ(missing.size(), 4u);
    RefindSearch search(missing, root, &cache);
    EXPECT_EQ(described(search.run(), temp.path()),
              (std::vector<std::string>{
                  "D1!C1 -> root/b/report.txt (name, content)", "D1!C1 -> root/c/report-copy.txt (content)",
                  "D1!C2 -> root/a/minutes.txt (content)", "D2!C1 -> elsewhere/2024/letter.txt (name, content)"}));
    EXPECT_EQ(search.filesSeen(), 5u);

    // Stopped before it began, the search finds nothing.
    WorkerGate stopped;
    stopped.stop();
    EXPECT_TRUE(RefindSearch(missing, root, &cache).run(&stopped).empty());

    // A damaged cache keeps the lines that can be read; a foreign one is not read at all. Without
    // what it knew, only names match: the notes' new name is not found, another "notes.txt" is
    // offered.
    std::string text = readBytes(cacheFile);
    const size_t secondLine = text.find('\n') + 1;
    text.insert(secondLine, "12\tnot a time\t-\t/x\n\x01garbage\n");
    writeBytes(cacheFile, text);
    FingerprintCache damaged;
    EXPECT_FALSE(damaged.load(defaultFileIo(), cacheFile));
    EXPECT_EQ(damaged.size(), cache.size());
    writeBytes(cacheFile, "something else\n" + text.substr(secondLine));
    FingerprintCache foreign;
    EXPECT_FALSE(foreign.load(defaultFileIo(), cacheFile));
    EXPECT_EQ(foreign.size(), 0u);
    EXPECT_EQ(described(RefindSearch(missing, root, &foreign).run(), temp.path()),
              (std::vector<std::string>{"D1!C1 -> root/b/report.txt (name)", "D1!C2 -> root/c/notes.txt (name)",
                                        "D2!C1 -> elsewhere/2024/letter.txt (name)"}));
}

TEST(References, aFolderMovedWithItsDocumentsIsRepairedForAllOfThem)
{
    TempDir temp;
    for (const char* name : {"place/x.txt", "place/y.txt", "place/deeper/z.txt", "other/w.txt"})
        writeBytes(temp / "new/" + name, name);
    fs::remove(temp / "new/other/w.txt");
    writeBytes(temp / "newer/place/v.txt", "a sibling of new whose name begins alike");
    const std::vector<IndexReference> missing = {{"D1", "D1!C1", temp / "old/place/x.txt"},
                                                 {"D1", "D1!C2", temp / "old/place/y.txt"},
                                                 {"D2", "D2!C1", temp / "old/place/deeper/z.txt"},
                                                 {"D2", "D2!C2", temp / "old/other/w.txt"},
                                                 {"D2", "D2!C3", temp / "older/place/v.txt"}};
    const RepairOffer accepted{missing[0], temp / "new/place/x.txt", RepairReason::NameAndContent};
    const std::optional<PrefixChange> change = prefixChangeOf(accepted.reference.path, accepted.newPath);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->from, temp / "old");
    EXPECT_EQ(change->to, temp / "new");
    EXPECT_EQ(
        described(prefixRepairs(accepted, missing), temp.path()),
        (std::vector<std::string>{"D1!C2 -> new/place/y.txt (prefix)", "D2!C1 -> new/place/deeper/z.txt (prefix)"}));
    // A rename in its own folder moves no folder.
    EXPECT_FALSE(prefixChangeOf(temp / "old/a.txt", temp / "old/b.txt"));
    EXPECT_TRUE(prefixRepairs(RepairOffer{missing[0], temp / "old/place/renamed.txt"}, missing).empty());
}

} // namespace
} // namespace quillory::test
