// The launcher strip's rules on a desktop of two screens side by side, the strip on the second:
// when it opens and collapses, where its handle is, how closely the pointer is watched, where a
// drag takes it and where it rests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/LauncherStrip.h"

namespace quillory {
namespace {

const StripRect kLeftScreen{0, 0, 1280, 800};
const StripRect kScreen{1280, 0, 1920, 1080};
const StripRect kCollapsed{2000, 0, strip::kWidth, strip::kLineHeight};
const StripRect kOpen{2000, 0, strip::kWidth, strip::kOpenHeight};

// "open/collapsed handle fast/slow" for the pointer at (x, y).
std::string shown(int x, int y, const StripRect& now, bool dragging = false)
{
    const StripState s = followPointer({x, y}, kScreen, now, dragging);
    EXPECT_EQ(s.height, s.open ? strip::kOpenHeight : strip::kLineHeight);
    return std::string(s.open ? "open" : "collapsed") + (s.overHandle ? " handle" : "")
           + (s.watch == PointerWatch::Fast ? " fast" : " slow");
}

TEST(LauncherStrip, opensAtTheTopEdgeOfItsScreenAnywhere_staysOpenOverItself_collapsesWhenLeft)
{
    EXPECT_EQ(shown(2050, 500, kCollapsed), "collapsed slow");
    // The top edge far from the strip, at both ends of the screen and at the edge's last pixel.
    EXPECT_EQ(shown(1280, 0, kCollapsed), "open fast");
    EXPECT_EQ(shown(3199, 3, kCollapsed), "open fast");
    EXPECT_EQ(shown(1500, 4, kCollapsed), "collapsed fast"); // near the edge: watched closely
    EXPECT_EQ(shown(1500, 63, kCollapsed), "collapsed fast");
    EXPECT_EQ(shown(1500, 64, kCollapsed), "collapsed slow");
    // The other screen's top edge is not this strip's.
    EXPECT_EQ(shown(100, 0, kCollapsed), "collapsed slow");

    // Open, it stays open while the pointer is over it, and shows its handle at its left end.
    EXPECT_EQ(shown(2000, 2, kCollapsed), "open handle fast");
    EXPECT_EQ(shown(2009, 20, kOpen), "open handle fast");
    EXPECT_EQ(shown(2010, 20, kOpen), "open fast");
    EXPECT_EQ(shown(2000 + strip::kWidth - 1, 31, kOpen), "open fast");
    // Under the collapsed line nothing opens it but the edge.
    EXPECT_EQ(shown(2050, 20, kCollapsed), "collapsed fast");
    // The pointer leaves: below it, or beside it.
    EXPECT_EQ(shown(2050, 32, kOpen), "collapsed fast");
    EXPECT_EQ(shown(1999, 20, kOpen), "collapsed fast");
    EXPECT_EQ(shown(2050, 300, kOpen), "collapsed slow");
    // A drag keeps it open and on its handle wherever the pointer goes.
    EXPECT_EQ(shown(2900, 700, kOpen, true), "open handle fast");
}

TEST(LauncherStrip, dragFollowsThePointerOnItsScreen_restsAtTheTopWhollyOnIt_lineCyclesFiveColours)
{
    const int w = strip::kWidth, h = strip::kOpenHeight;
    EXPECT_EQ(dragPlace({2400, 300}, {5, 10}, kScreen, w, h), (StripPoint{2395, 290}));
    EXPECT_EQ(dragPlace({3300, -40}, {5, 10}, kScreen, w, h), (StripPoint{3200 - w, 0}));
    EXPECT_EQ(dragPlace({1000, 2000}, {5, 10}, kScreen, w, h), (StripPoint{1280, 1080 - h}));

    EXPECT_EQ(restingPlace(2395, kScreen, w), (StripPoint{2395, 0}));
    EXPECT_EQ(restingPlace(100, kScreen, w), (StripPoint{1280, 0}));
    EXPECT_EQ(restingPlace(5000, kScreen, w), (StripPoint{3200 - w, 0}));
    EXPECT_EQ(restingPlace(500, StripRect{0, 300, 100, 80}, w), (StripPoint{0, 300})); // narrower than the strip
    EXPECT_EQ(restingPlace(-50, kLeftScreen, w), (StripPoint{0, 0}));

    const StripColour black{0, 0, 0}, white{255, 255, 255}, yellow{255, 255, 0}, magenta{255, 0, 255}, red{255, 0, 0};
    const std::vector<StripColour> cycle = {black, white, yellow, magenta, red, black, white};
    for (size_t second = 0; second < cycle.size(); ++second)
        EXPECT_EQ(lineColour(static_cast<long long>(second)), cycle[second]) << "second " << second;
    EXPECT_EQ(lineColour(5 * 1000000 + 3), magenta);
}

} // namespace
} // namespace quillory
