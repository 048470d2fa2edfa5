// The catalog window's geometry: tree, splitter and list, and the four floating panels.
#include "ui/catalog_window/CatalogWindow.h"

#include "ui/catalog_window/FolderTreePane.h"
#include "ui/catalog_window/FolderTreeView.h"
#include "ui/catalog_window/IndexListPane.h"
#include "ui/catalog_window/IndexListView.h"
#include "ui/catalog_window/SplitterBar.h"
#include "ui/catalog_window/panels/FloatingPanel.h"
#include "ui/catalog_window/panels/SearchPanel.h"
#include "ui/platform/Preferences.h"

namespace quillory {

namespace {
QRect toPixels(const TwipRect& r)
{
    return QRect(twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width), twipsToPixels(r.height));
}
} // namespace

TwipRect CatalogWindow::splitterRect() const
{
    const QRect g = picSplit->geometry();
    return {pixelsToTwips(g.x()), pixelsToTwips(g.y()), pixelsToTwips(g.width()), pixelsToTwips(g.height())};
}

void CatalogWindow::applyLayout(const WindowLayout& layout)
{
    // A size that does not fit (a window smaller than the margins) is left as it was.
    auto place = [](QWidget* widget, const TwipRect& r) {
        if (r.width >= 0 && r.height >= 0)
            widget->setGeometry(toPixels(r));
    };
    place(&tree_->view(), layout.tree);
    place(picSplit, layout.splitter);
    place(&list_->view(), layout.list);
}

void CatalogWindow::placePanel(FloatingPanel* frame, const TwipRect& wanted)
{
    // A window too small for the panel where it is wanted gets it moved, or smaller, so that
    // none of its buttons is out of reach.
    const QSize minimum = frame->minimumSizeHint();
    frame->setGeometry(toPixels(fitPanel(wanted, pixelsToTwips(width()), pixelsToTwips(height()),
                                         pixelsToTwips(minimum.width()), pixelsToTwips(minimum.height()))));
}

void CatalogWindow::fitToSize()
{
    if (isMinimized())
        return;
    applyLayout(fullLayout(pixelsToTwips(width()), pixelsToTwips(height()), treeShare_));
    for (const Panel which : kPanels) {
        FloatingPanel* frame = panel(which);
        if (frame && frame->isVisible()) {
            const QPoint corner = frame->clamp(frame->pos());
            const TwipRect size = panelPlacement(which, splitterRect());
            placePanel(frame, {pixelsToTwips(corner.x()), pixelsToTwips(corner.y()), size.width, size.height});
            break;
        }
    }
}

void CatalogWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitToSize();
}

void CatalogWindow::showPanel(Panel which)
{
    // Another panel, or none (hidePanels): a search still reading documents ends with what it
    // found, so that its results do not close the panel the user turned to when they come.
    makePanels();
    if (which != Panel::Search && searchPanel->searching())
        searchPanel->stopSearch();
    FloatingPanel* shown = panel(which);
    for (FloatingPanel* frame : panels()) {
        if (frame != shown)
            frame->hide();
    }
    placePanel(shown, panelPlacement(which, splitterRect()));
    shown->show();
    shown->raise();
}

void CatalogWindow::hidePanels()
{
    if (!searchPanel)
        return; // none made yet, none shown
    if (searchPanel->searching())
        searchPanel->stopSearch();
    for (FloatingPanel* frame : panels())
        frame->hide();
}

void CatalogWindow::picSplit_MouseDown(double x)
{
    splitGrabX = pixelsToTwips(x);
}

void CatalogWindow::picSplit_MouseMove(double x)
{
    const TwipRect splitter = splitterRect();
    const double left = clampSplitterLeft(splitter.left + pixelsToTwips(x) - splitGrabX, pixelsToTwips(width()));
    picSplit->move(twipsToPixels(left), picSplit->y());
}

void CatalogWindow::picSplit_MouseUp()
{
    splitGrabX = 0;
    applyLayout(layoutAroundSplitter(splitterRect(), pixelsToTwips(width()), pixelsToTwips(height())));
    // A resize keeps the tree's share the user gave it, in this run and the next.
    treeShare_ = treeShareOf(splitterRect(), pixelsToTwips(width()));
    preferences_.setTreeShare(treeShare_);
}

} // namespace quillory
