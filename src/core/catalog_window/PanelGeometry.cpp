#include "core/catalog_window/PanelGeometry.h"

#include <algorithm>

namespace quillory {

using namespace geometry;

WindowLayout fullLayout(double windowWidth, double windowHeight, double treeShare)
{
    WindowLayout layout;
    layout.tree = {kTreeMargin, kTreeMargin, windowWidth * treeShare, windowHeight - kTreeMargin};
    layout.splitter = {layout.tree.right(), layout.tree.top, kSplitterWidth, layout.tree.height};
    layout.list = {layout.splitter.right(), layout.tree.top,
                   windowWidth - layout.tree.width - kSplitterWidth - kListRightMargin, layout.tree.height};
    return layout;
}

double treeShareOf(const TwipRect& splitter, double windowWidth)
{
    if (windowWidth <= 0)
        return kDefaultTreeShare;
    return std::clamp((splitter.left - kTreeMargin) / windowWidth, 0.05, 0.95);
}

double clampSplitterLeft(double proposedLeft, double windowWidth)
{
    double left = std::max(proposedLeft, kSplitterMinLeft);
    return std::min(left, windowWidth - kSplitterRightReserve);
}

WindowLayout layoutAroundSplitter(const TwipRect& splitter, double windowWidth, double innerHeight)
{
    WindowLayout layout;
    layout.splitter = splitter;
    layout.splitter.height = innerHeight - splitter.top;
    layout.tree = {kTreeMargin, splitter.top, splitter.left - kTreeMargin, layout.splitter.height};
    layout.list = {splitter.left + kSplitterWidth, splitter.top,
                   windowWidth - layout.tree.width - kSplitterWidth - kListRightMargin, layout.splitter.height};
    return layout;
}

TwipRect panelPlacement(Panel panel, const TwipRect& splitter)
{
    return {splitter.right(), splitter.top + kPanelOffsetBelowSplitterTop, kPanelWidth,
            panel == Panel::Search ? kSearchPanelHeight : kPanelHeight};
}

TwipRect fitPanel(const TwipRect& panel, double windowWidth, double windowHeight, double minimumWidth,
                  double minimumHeight)
{
    TwipRect fitted = panel;
    fitted.width = std::max(std::min(panel.width, windowWidth), minimumWidth);
    fitted.height = std::max(std::min(panel.height, windowHeight), minimumHeight);
    fitted.left = std::max(std::min(panel.left, windowWidth - fitted.width), 0.0);
    fitted.top = std::max(std::min(panel.top, windowHeight - fitted.height), 0.0);
    return fitted;
}

TwipPoint clampPanel(TwipPoint proposed, double windowWidth, double windowHeight)
{
    TwipPoint p = proposed;
    p.x = std::max(p.x, kPanelMinLeft);
    p.x = std::min(p.x, windowWidth - kPanelRightReserve);
    p.y = std::max(p.y, kPanelMinTop);
    p.y = std::min(p.y, windowHeight - kPanelBottomReserve);
    return p;
}

} // namespace quillory
