#include <gtest/gtest.h>

#include <algorithm>

#include "core/catalog_window/IndexRows.h"
#include "core/store/CatalogFileReader.h"
#include "core/store/RecordFormat.h"
#include "core/store/TextSplit.h"

namespace quillory {
namespace {

// The lines the file reader would make of text.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    forEachLine(text, [&lines](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

using Fields = std::vector<std::string>;

Fields fieldsOf(const FolderRecord& r)
{
    return {r.dirId, r.dirName,       r.parentDirId, r.dirIcon, r.contentFile, r.needPwd ? "T" : "F",
            r.pwd,   r.dirDescription};
}

Fields fieldsOf(const IndexRecord& r)
{
    return {std::string(r.cId()), std::string(r.cTitle()),  r.cContentPath(),      std::string(r.needPwd()),
            std::string(r.pwd()), std::string(r.addTime()), std::string(r.cDesc())};
}

TEST(RecordFormat, awkwardTexts_roundTripThroughBothLineFormats)
{
    std::vector<std::string> texts = {"",     "plain", "a|b", "|",  "one\rtwo", "\r\n", "a\nb", "_#_",  "_#",
                                      "_#!_", "_#=_",  "_",   "x_", "__#__",    "\r#",  "|_#",  "\r=_", "_#_#_"};
    texts.insert(texts.end(), {"\xC4rger \xFF\x80\xE4", "\xC3\x84RGER|\xC3\xA4rger"}); // not UTF-8, and UTF-8
    for (const auto& text : texts) {
        SCOPED_TRACE(::testing::PrintToString(text));
        FolderRecord folder{text, text, text, text, text, true, text, text};
        const std::string dirLine = formatDirLine(folder);
        EXPECT_EQ(std::count(dirLine.begin(), dirLine.end(), '|'), 7);
        EXPECT_EQ(linesOf(dirLine), std::vector<std::string>{dirLine});
        FolderRecord dirBack;
        EXPECT_TRUE(parseDirLine(dirLine, dirBack));
        EXPECT_EQ(fieldsOf(dirBack), fieldsOf(folder));

        IndexRecord index;
        index.assign(text, text, text, text, text, text, text);
        index.setCContentPath(text);
        const std::string indexLine = formatContentLine(index);
        EXPECT_EQ(std::count(indexLine.begin(), indexLine.end(), '|'), 6);
        EXPECT_EQ(linesOf(indexLine), std::vector<std::string>{indexLine});
        IndexRecord indexBack;
        EXPECT_TRUE(parseContentLine(indexLine, indexBack));
        EXPECT_EQ(fieldsOf(indexBack), fieldsOf(index));
    }
}

TEST(RecordFormat, escapes_haveTheirWrittenFormAndOlderFilesReadAsBefore)
{
    EXPECT_EQ(escapeField("a|b\rc_#d\ne"), "a_#!_b_#_c_#=_d\ne");
    // "_#" followed by anything but the three escapes is text, as files without them hold it.
    EXPECT_EQ(unescapeField("a_#b_#_c_#"), "a_#b\rc_#");
    EXPECT_EQ(escapeField(unescapeField("a_#b")), "a_#=_b");
}

// Lines cut short or holding a flag that does not read are in the folder and index store tests.
TEST(RecordFormat, flagsAnyCaseOrNumber_parseAndFieldsBeyondTheLastAreIgnored)
{
    for (const std::string flag : {"true", "FALSE", "tRuE", "1", "-2", "0", "10", "1.0", "0.0"}) {
        FolderRecord r;
        EXPECT_TRUE(parseDirLine("D7|A|0|||" + flag + "|pw|d|extra|more", r)) << flag;
        EXPECT_EQ(r.needPwd, flag != "FALSE" && flag != "0" && flag != "0.0") << flag;
        EXPECT_EQ(r.dirDescription, "d");
    }

    // One field short is malformed, for both kinds of line.
    FolderRecord shortFolder;
    EXPECT_FALSE(parseDirLine("D7|A|0|||True|pw", shortFolder));
    EXPECT_EQ(shortFolder.pwd, "pw");
    std::string root = "/home/u/cat";
    IndexRecord shortIndex(&root);
    EXPECT_FALSE(parseContentLine("D2!C1|Report|QLRR$/r.doc|False||2024-3-1 10:00:00", shortIndex));
    EXPECT_EQ(shortIndex.addTime(), "2024-3-1 10:00:00");
    // Far too short: the fields that are missing are empty, and the record writes itself whole.
    IndexRecord titleOnly(&root);
    EXPECT_FALSE(parseContentLine("D1!C1|title", titleOnly));
    EXPECT_EQ(fieldsOf(titleOnly), (Fields{"D1!C1", "title", "", "", "", "", ""}));
    EXPECT_EQ(formatContentLine(titleOnly), "D1!C1|title|||||");

    IndexRecord full(&root);
    EXPECT_TRUE(parseContentLine("D2!C1|Report|QLRR$/docs/r.doc|False||2024-3-1 10:00:00|first|extra", full));
    EXPECT_EQ(full.cContentPath(), "/home/u/cat/docs/r.doc");
    EXPECT_EQ(formatContentLine(full), "D2!C1|Report|QLRR$/docs/r.doc|False||2024-3-1 10:00:00|first");
}

// A whole index file is split in one pass over its text, sixteen bytes at a time: it reads as its
// lines read one by one, whatever falls on either side of a block's edge.
TEST(RecordFormat, aWholeIndexFile_readsAsItsLinesOneByOne)
{
    const std::vector<std::string> pieces = {"|", "\r\n", "\r", "\n", "_#!_", "_#_", "#", "x", "QLRR$/d/a.txt", "D1!C",
                                             "1", "2", "|True|", std::string(40, 'w'), "\xC3\x9F", "/home/u/cat/x",
                                             // whole lines, as most files hold them
                                             "\r\nD1!C1|t|QLRR$/a|False||2024|d\r\n",
                                             "\r\nD1!C2|t|/home/u/cat/x|True||t|d",
                                             "\rD1!C3|a_#!_b|p|False||t|d|extra\r\n"};
    std::string root = "/home/u/cat";
    uint64_t state = 7;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int length = 1 + round % 60;
        for (int i = 0; i < length; ++i) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            text += pieces[(state >> 33) % pieces.size()];
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        IndexMap expected;
        std::vector<int> malformed;
        bool lossy = false;
        forEachNumberedLine(text, [&](std::string_view line, int number) {
            auto record = std::make_shared<IndexRecord>(&root);
            bool extra = false;
            const bool whole = parseContentLine(line, *record, &extra);
            if (!whole && malformed.size() < StoreOutcome::kLinesKept)
                malformed.push_back(number);
            const int before = expected.getCount();
            expected.addMap(std::string(record->cId()), record);
            lossy = lossy || !whole || extra || expected.getCount() == before;
        });
        const IndexFileRead read = parseIndexText("f", text, &root);
        ASSERT_EQ(read.map->getKeyCol(), expected.getKeyCol());
        for (const auto& key : expected.getKeyCol())
            EXPECT_EQ(formatContentLine(*read.map->getValueByKey(key)),
                      formatContentLine(*expected.getValueByKey(key)));
        EXPECT_EQ(read.lossy, lossy);
        EXPECT_EQ(read.problems.empty() ? std::vector<int>{} : read.problems.all().front().lines, malformed);
        EXPECT_EQ(read.text, text);
    }
}

TEST(IndexPath, pathInsideRootIsStoredWithThePlaceholderAndFollowsAMovedRoot_relativePathsOpenInsideIt)
{
    std::string root = "/home/u/cat";
    IndexRecord index(&root);
    index.setCContentPath("/home/u/cat/docs/a.txt");
    EXPECT_EQ(index.storedPath(), "QLRR$/docs/a.txt");
    EXPECT_EQ(index.cContentPath(), "/home/u/cat/docs/a.txt");
    index.rawPath = true;
    EXPECT_EQ(index.cContentPath(), "QLRR$/docs/a.txt");
    index.rawPath = false;
    root = "/media/new";
    EXPECT_EQ(index.cContentPath(), "/media/new/docs/a.txt");
    index.setCContentPath("/media/new");
    EXPECT_EQ(index.storedPath(), "QLRR$");

    root = "/home/u/cat";
    for (const std::string path : {"/home/u/Cat/a.txt", "/home/u/catalog/b.txt", "https://example.org/home/u/cat/x",
                                   "/x/home/u/cat/y", "/home/u/ca", ""}) {
        index.setCContentPath(path);
        EXPECT_EQ(index.storedPath(), path);
        EXPECT_EQ(index.cContentPath(), path);
    }
    // A root ending in a separator stores paths that follow it when it moves.
    for (const char* top : {"/", "/home/u/", "/home/u//"}) {
        root = top;
        index.setCContentPath("/home/u/cat/a.txt");
        root = "/media/x";
        EXPECT_EQ(index.cContentPath(),
                  std::string("/media/x") + (std::string(top) == "/" ? "/home/u/cat/a.txt" : "/cat/a.txt"))
            << top;
    }
    // Placeholders that do not start the path, or stand twice, read as they always did.
    root = "/r";
    index.setStoredPath("x/QLRR$/a/QLRR$b");
    EXPECT_EQ(index.cContentPath(), "x//r/a//rb");
    // A relative path opens inside the catalog's root.
    EXPECT_EQ(openablePath("docs/a.txt", "/srv/cat"), "/srv/cat/docs/a.txt");
    EXPECT_EQ(openablePath("/abs/a.txt", "/srv/cat"), "/abs/a.txt");
    EXPECT_EQ(openablePath("HTTPS://x.org/a", "/srv/cat"), "HTTPS://x.org/a");
    EXPECT_EQ(openablePath("a.txt", "/"), "/a.txt");
}

} // namespace
} // namespace quillory
