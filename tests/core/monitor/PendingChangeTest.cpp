#include <gtest/gtest.h>

#include "core/monitor/PendingChange.h"

namespace quillory {
namespace {

TEST(PendingChange, linesReadAsWritten_awkwardNamesRoundTrip_shortLinesKeepWhatTheyHave)
{
    PendingChange moved;
    ASSERT_TRUE(parsePendingChange("D3!C7|/home/u/docs/a.txt|/home/u/old/a.txt", moved));
    EXPECT_EQ(moved, (PendingChange{"D3!C7", "/home/u/docs/a.txt", "/home/u/old/a.txt"}));
    EXPECT_EQ(formatPendingChange(moved), "D3!C7|/home/u/docs/a.txt|/home/u/old/a.txt");

    PendingChange deleted;
    ASSERT_TRUE(parsePendingChange("D3!C8|/home/u/b.txt|", deleted));
    EXPECT_EQ(deleted.newPath, "");

    // Names a Linux file system allows: a "|", a line end, the escape's own characters.
    const PendingChange awkward{"D1!C2", "/tmp/a|b\r\nc_#=_.txt", "/tmp/new|_#!_"};
    const std::string line = formatPendingChange(awkward);
    EXPECT_EQ(line.find('\r'), std::string::npos); // a lone LF ends no line
    PendingChange back;
    ASSERT_TRUE(parsePendingChange(line, back));
    EXPECT_EQ(back, awkward);

    // Short lines keep what they have; extra fields give the last as the new path.
    PendingChange change{"x", "y", "z"};
    EXPECT_FALSE(parsePendingChange("D1!C1", change));
    EXPECT_EQ(change, (PendingChange{"D1!C1", "", ""}));
    EXPECT_FALSE(parsePendingChange("D1!C1|/a", change));
    EXPECT_EQ(change, (PendingChange{"D1!C1", "/a", ""}));
    EXPECT_TRUE(parsePendingChange("D1!C1|/a|/b|/c", change));
    EXPECT_EQ(change, (PendingChange{"D1!C1", "/a", "/c"}));
}

} // namespace
} // namespace quillory
