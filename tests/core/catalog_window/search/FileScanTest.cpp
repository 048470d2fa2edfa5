// Searching documents for a text: which documents are read, blocks and their borders, and the
// fast block search against the plain folding comparison it stands in for.
#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "core/catalog_window/search/BlockSearcher.h"
#include "core/catalog_window/search/FileScan.h"
#include "support/TestSupport.h"

using namespace quillory;
using namespace quillory::test;

TEST(FileScan, readsTextDocumentsOfAnyLetterCaseOnly_neverMissingOnesFoldersPipesOrWebAddresses)
{
    TempDir dir;
    for (const char* name : {"a.txt", "B.TXT", "c.Html", "d.log", "e.pdf", "f", "g.txt.bak"})
        writeBytes(dir / name, "the Needle is here");
    makeFolders(dir / "folder.txt");
    ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0600), 0); // a pipe named like a document: never waited on
    EXPECT_TRUE(isTextFileExt(".CPP"));
    EXPECT_FALSE(isTextFileExt("txt"));
    // Web addresses are never read (IndexSearch puts files where a wrong reading would find them).
    const std::tuple<std::string, const char*, bool> cases[] = {{dir / "a.txt", "NEEDLE", true},
                                                                {dir / "B.TXT", "needle", true},
                                                                {dir / "c.Html", "needle", true},
                                                                {dir / "d.log", "needle is", true},
                                                                {dir / "e.pdf", "needle", false},
                                                                {dir / "f", "needle", false},
                                                                {dir / "g.txt.bak", "needle", false},
                                                                {dir / "a.txt", "needles", false},
                                                                {dir / "missing.txt", "needle", false},
                                                                {dir / "a.txt/inner.txt", "needle", false},
                                                                {dir / "folder.txt", "needle", false},
                                                                {dir / "pipe.txt", "needle", false},
                                                                {"https://example.org/needle.txt", "needle", false},
                                                                {"HTTP://example.org/needle.txt", "needle", false}};
    for (const auto& [path, text, contains] : cases)
        EXPECT_EQ(fileContainsText(path, text), contains) << path << " " << text;
}

TEST(FileScan, foldsEveryAsciiLetterAndNoOtherByte_findsTextInsideAndAcrossBlocks)
{
    TempDir dir;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const std::string small(2, letter), capital(2, static_cast<char>(letter - 32));
        writeBytes(dir / "letter.txt", "." + capital + "." + small.substr(1) + capital.substr(1) + ".");
        EXPECT_TRUE(fileContainsText(dir / "letter.txt", small)) << letter;
        EXPECT_TRUE(fileContainsText(dir / "letter.txt", capital)) << letter;
    }
    // The bytes beside the letters are no letters: '@' is not '`', '[' is not '{'.
    writeBytes(dir / "marks.txt", "x@[\\]^_x");
    for (const char* other : {"`", "{", "|", "}", "~", "x`", "x{"})
        EXPECT_FALSE(fileContainsText(dir / "marks.txt", other)) << other;
    EXPECT_TRUE(fileContainsText(dir / "marks.txt", "X@["));

    const std::string filler(kScanBlockSize, 'x');
    // Wholly inside the second block.
    writeBytes(dir / "second.txt", filler + "..needle..");
    EXPECT_TRUE(fileContainsText(dir / "second.txt", "Needle"));
    // Across the border: the first block ends in "nee", the second starts with "dle".
    writeBytes(dir / "across.txt", std::string(kScanBlockSize - 3, 'x') + "needle" + filler);
    EXPECT_TRUE(fileContainsText(dir / "across.txt", "NEEDLE"));
    // A character outside ASCII split by the border.
    writeBytes(dir / "split.txt", std::string(kScanBlockSize - 1, 'x') + "Ä" + filler);
    EXPECT_TRUE(fileContainsText(dir / "split.txt", "xä"));
    // Far into a long document, and the very end.
    writeBytes(dir / "late.txt", filler + filler + filler + "end needle");
    EXPECT_TRUE(fileContainsText(dir / "late.txt", "END NEEDLE"));
    EXPECT_FALSE(fileContainsText(dir / "late.txt", "needle!"));
}

// Large documents are searched mapped, a window at a time: matches across the borders of the
// windows and of the blocks inside them, the end, and a document cut short by another program
// while it is searched, which must end the search of it rather than the program.
TEST(FileScan, largeDocumentsAreSearchedMapped_acrossWindowBorders_andOneCutShortMeanwhileContainsNothing)
{
    TempDir dir;
    const size_t size = kMapWindow * 2 + kMapWindow / 2;
    ASSERT_GE(size, kMapFrom);
    for (const size_t at : {kMapWindow - 3, kMapWindow + kScanBlockSize - 2, 2 * kMapWindow - 1, size - 6}) {
        std::string text(size, 'x');
        text.replace(at, 6, "Needle");
        writeBytes(dir / "large.txt", text);
        EXPECT_TRUE(fileContainsText(dir / "large.txt", "NEEDLE")) << at;
        EXPECT_FALSE(fileContainsText(dir / "large.txt", "needle!")) << at;
    }

    // Another program cuts the document to nothing once its first window is mapped.
    writeBytes(dir / "cut.txt", std::string(size, 'x') + "needle");
    struct CuttingIo : FileIo {
        std::string path;
        int windows = 0;
        MappedAnswer lookMapped(int fd, off_t offset, size_t length,
                                const std::function<bool(std::string_view)>& look) override
        {
            return FileIo::lookMapped(fd, offset, length, [&](std::string_view bytes) {
                if (windows++ == 0)
                    ::truncate(path.c_str(), 0);
                return look(bytes);
            });
        }
    } io;
    io.path = dir / "cut.txt";
    EXPECT_FALSE(DocumentSearcher("needle", io).fileContains(io.path));
    EXPECT_EQ(io.windows, 1);
    // The next document is searched as ever.
    EXPECT_TRUE(fileContainsText(dir / "large.txt", "needle"));
}

TEST(BlockSearcher, agreesWithTheFoldingComparisonOnLettersOfEveryKind)
{
    // Letters with variants of another length (KELVIN SIGN, capital I with dot, capital sharp s),
    // two- and three-byte letters, bytes that are not UTF-8 (lone continuation bytes among them),
    // and plain ASCII.
    const std::vector<std::string> pieces = {
        "a", "A", "k",  "K", "\xE2\x84\xAA", "i",    "I", "\xC4\xB0", "ß", "\xE1\xBA\x9E", "é",   "É", "ö", "Ö",
        "я", "Я", "東", " ", "\xFF",         "\xC3", "s", "S",        "x", "\xBF",         "\xAA"};
    std::mt19937 random(7);
    auto text = [&](int length) {
        std::string out;
        for (int i = 0; i < length; ++i)
            out += pieces[random() % pieces.size()];
        return out;
    };
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string needle = text(1 + static_cast<int>(random() % 4));
        const std::string haystack = text(static_cast<int>(random() % 90));
        const bool expected = CaseInsensitiveMatcher(needle).matches(haystack);
        ASSERT_EQ(BlockSearcher(needle).contains(haystack), expected)
            << "needle \"" << needle << "\" in \"" << haystack << "\"";
        found += expected;
    }
    EXPECT_GT(found, 1500); // the rounds did find matches, not only misses
}

TEST(BlockSearcher, findsMatchesAtEveryPlaceOfALongBlock_goingOnWhereItsRareByteTurnsOutCommon)
{
    // Every start place of the vector loop and of its tail, with letters whose other case takes
    // another number of bytes before, inside and after the run the search is anchored on, up to
    // the block's first and last byte.
    const std::pair<std::string, std::string> cases[] = {
        {"Qu", "qU"},
        {"x y", "X Y"},
        {"Größe", "GRÖ\xE1\xBA\x9E"
                  "E"},                  // capital sharp s: three bytes for two
        {"quokka", "QUO\xE2\x84\xAAkA"}, // KELVIN SIGN: three bytes for one
        {"istanbul", "\xC4\xB0STANBUL"}, // capital I with dot: two bytes for one
        {"kelvin", "\xE2\x84\xAA"
                   "ELVIN"},
        {"ßk", "\xE1\xBA\x9E\xE2\x84\xAA"}, // no letter of one length at all
    };
    for (const auto& [needle, written] : cases) {
        const BlockSearcher searcher(needle);
        for (size_t at = 0; at + written.size() <= 100; ++at) {
            std::string block(100, '.');
            block.replace(at, written.size(), written);
            ASSERT_TRUE(searcher.contains(block)) << needle << " at " << at;
            ASSERT_FALSE(searcher.contains(block.substr(0, at + written.size() - 1) + "#"))
                << needle << " cut at " << at;
            std::string broken = block;
            broken[at] = '#'; // the first letter's lead byte: its continuation bytes stay, alone
            ASSERT_FALSE(searcher.contains(broken)) << needle << " broken at " << at;
        }
    }

    // The lead byte of ö is looked for alone until it turns out frequent in the block (German
    // text): the vector loop takes over from there, missing no place before or after.
    const BlockSearcher german("größe");
    std::string umlauts;
    for (int i = 0; i < 700; ++i)
        umlauts += "ä ";
    for (size_t at = 0; at <= umlauts.size(); at += 3) {
        std::string block = umlauts;
        block.insert(at, "GRÖ\xE1\xBA\x9E"
                         "E");
        ASSERT_TRUE(german.contains(block)) << at;
        block[at + 1] = 'x';
        ASSERT_FALSE(german.contains(block)) << at;
    }
}
