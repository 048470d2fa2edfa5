#pragma once

#include "core/catalog_window/PanelRoutes.h"

namespace quillory {

// Lengths of the catalog window's layout are kept in twips, 1/1440 inch: 15 twips to one
// device-independent pixel.
inline constexpr double kTwipsPerPixel = 15.0;
inline int twipsToPixels(double twips)
{
    return static_cast<int>(twips / kTwipsPerPixel + (twips >= 0 ? 0.5 : -0.5));
}
inline double pixelsToTwips(double pixels)
{
    return pixels * kTwipsPerPixel;
}

struct TwipRect {
    double left = 0, top = 0, width = 0, height = 0;
    double right() const { return left + width; }
};

struct TwipPoint {
    double x = 0, y = 0;
};

// Tree on the left, the splitter bar, the index list on the right.
struct WindowLayout {
    TwipRect tree, splitter, list;
};

namespace geometry {
inline constexpr double kTreeMargin = 20;
inline constexpr double kSplitterWidth = 80;
inline constexpr double kListRightMargin = 200;
inline constexpr double kSplitterMinLeft = 1000;
inline constexpr double kSplitterRightReserve = 2000;
inline constexpr double kPanelOffsetBelowSplitterTop = 1000;
inline constexpr double kPanelWidth = 7000;
inline constexpr double kPanelHeight = 6000;
inline constexpr double kSearchPanelHeight = 12000.0 / 3;
inline constexpr double kPanelMinLeft = 1000;
inline constexpr double kPanelRightReserve = 1000;
inline constexpr double kPanelMinTop = 1000.0 / 2;
inline constexpr double kPanelBottomReserve = 1000;
} // namespace geometry

// The tree's share of the window's width, unless the user gave it another by moving the splitter.
inline constexpr double kDefaultTreeShare = 0.25;

// The layout for a window of the given size: the tree takes treeShare of the width.
WindowLayout fullLayout(double windowWidth, double windowHeight, double treeShare = kDefaultTreeShare);
// The share of the width a splitter at this place gives the tree, kept within reason.
double treeShareOf(const TwipRect& splitter, double windowWidth);
// Where the splitter's left edge may go while it is dragged.
double clampSplitterLeft(double proposedLeft, double windowWidth);
// The layout once a splitter drag ends with the splitter at splitterLeft.
WindowLayout layoutAroundSplitter(const TwipRect& splitter, double windowWidth, double innerHeight);
// Where a panel opens: at the splitter's right edge, below its top; the search panel is lower
// than the others.
TwipRect panelPlacement(Panel panel, const TwipRect& splitter);
// A panel moved left and up, then made smaller, as far as it takes to lie wholly inside a window of
// this size, so that all of its controls can be reached; never smaller than the minimum size (the
// panel then starts at the window's top-left corner).
TwipRect fitPanel(const TwipRect& panel, double windowWidth, double windowHeight, double minimumWidth,
                  double minimumHeight);
// A panel's top-left corner kept inside the window's limits; on a window too small for both
// limits the upper one wins.
TwipPoint clampPanel(TwipPoint proposed, double windowWidth, double windowHeight);

} // namespace quillory
