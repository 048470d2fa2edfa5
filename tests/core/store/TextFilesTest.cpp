#include <gtest/gtest.h>

#include <array>

#include "core/store/TextSplit.h"
#include "support/TestSupport.h"

namespace quillory::test {
namespace {

using Lines = std::vector<std::string>;

class TextFilesReading : public ::testing::Test {
protected:
    CoreFixture fx;
    TextFiles& files = fx.core->files;
    const std::string path = fx.dir / "file.txt";
};

TEST_F(TextFilesReading, crLfOrLoneCrEndALine_onlyReadLinesSkipsEmptyOnes_writesEndEachItemInCrLf)
{
    writeBytes(path, "x\r\n\r\n \r\ny");
    Lines lines{"kept"};
    files.readLines(path, lines);
    EXPECT_EQ(lines, (Lines{"kept", "x", " ", "y"}));
    EXPECT_EQ(files.readFileToStr(path), "x\r\r \ry\r");

    writeBytes(path, "a\nb\r\n\nc\rd\r\r\ne\r");
    lines.clear();
    files.readLines(path, lines);
    EXPECT_EQ(lines, (Lines{"a\nb", "\nc", "d", "e"}));
    EXPECT_EQ(files.readFileToStr(path), "a\nb\r\nc\rd\r\re\r");

    lines.clear();
    files.readLines(fx.dir / "missing.txt", lines);
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(files.readFileToStr(fx.dir / "missing.txt").has_value());
    EXPECT_TRUE(fx.recorder.shown.empty());

    // Output and append write each item followed by CR LF.
    EXPECT_TRUE(files.writeFile(path, FILE_OUTPUT, 1, {"a", "", "b|c"}));
    EXPECT_TRUE(files.writeFile(path, FILE_APPEND, 1, {"d"}));
    EXPECT_TRUE(files.writeFile(path, FILE_APPEND, 1, {}));
    // A mode the program does not know writes nothing, and the user is told so.
    EXPECT_EQ(fileWriteOutcome(files.writeFile(path, static_cast<WriteMode>(9), 1, {"ignored"}), path).key, "Err014");
    EXPECT_EQ(readBytes(path), "a\r\n\r\nb|c\r\nd\r\n");
    EXPECT_TRUE(files.writeFile(path, FILE_OUTPUT, 1, {}));
    EXPECT_TRUE(pathExists(path));
    EXPECT_EQ(readBytes(path), "");

    const std::string created = fx.dir / "created.txt";
    EXPECT_TRUE(files.writeFile(created, FILE_APPEND, 1, {}));
    EXPECT_TRUE(pathExists(created));
}

TEST(TextSplit, splittingFunctions_takeTheTextAroundTheSeparator)
{
    // text, separator: the text before its first place, after its first place, after its last place
    const std::array<const char*, 5> cases[] = {{"Msg001=a=b", "=", "Msg001", "a=b", "b"},
                                                {"abc", "=", "", "abc", "abc"},
                                                {"=x", "=", "", "x", "x"},
                                                {"aXbxc", "x", "aXb", "c", "c"},
                                                {"a::b::c", "::", "a", "b::c", "c"}};
    for (const auto& [text, separator, first, notFirst, last] : cases) {
        EXPECT_EQ(getFirstStrs(text, separator), first) << text;
        EXPECT_EQ(getNotFirstStrs(text, separator), notFirst) << text;
        EXPECT_EQ(getLastStrs(text, separator), last) << text;
    }
    // Pieces ended by "|" become lines; text after the last "|" is dropped.
    EXPECT_EQ(getNewLinesStr("a||b|c"), "a\r\n\r\nb");
    EXPECT_EQ(getNewLinesStr("abc"), "");
}

} // namespace
} // namespace quillory::test
